#include "sharedscreens/MsgConsts.h"

namespace MsgConsts {

const QString SMsgDlgWarning = QStringLiteral("交卷询问");
const QString SMsgDlgError = QStringLiteral("Error");
const QString SMsgDlgInformation = QStringLiteral("Information");
const QString SMsgDlgConfirm = QStringLiteral("交卷询问");
const QString SMsgDlgYes = QStringLiteral("结束考试");
const QString SMsgDlgNo = QStringLiteral("继续考试");
const QString SMsgDlgOK = QStringLiteral("确定");
const QString SMsgDlgCancel = QStringLiteral("取消");
const QString SMsgDlgHelp = QStringLiteral("&Help");
const QString SMsgDlgAbort = QStringLiteral("&Abort");
const QString SMsgDlgRetry = QStringLiteral("&Retry");
const QString SMsgDlgIgnore = QStringLiteral("&Ignore");
const QString SMsgDlgAll = QStringLiteral("&All");
const QString SMsgDlgNoToAll = QStringLiteral("N&o to All");
const QString SMsgDlgYesToAll = QStringLiteral("Yes to &All");

} // namespace MsgConsts
