#pragma once

#include <QString>

// The strings of the program's own message dialog, fitted to the mock exam: the warning
// asks whether to hand in, and Yes and No end or continue the exam.
namespace MsgConsts {

extern const QString SMsgDlgWarning;
extern const QString SMsgDlgError;
extern const QString SMsgDlgInformation;
extern const QString SMsgDlgConfirm;
extern const QString SMsgDlgYes;
extern const QString SMsgDlgNo;
extern const QString SMsgDlgOK;
extern const QString SMsgDlgCancel;
extern const QString SMsgDlgHelp;
extern const QString SMsgDlgAbort;
extern const QString SMsgDlgRetry;
extern const QString SMsgDlgIgnore;
extern const QString SMsgDlgAll;
extern const QString SMsgDlgNoToAll;
extern const QString SMsgDlgYesToAll;

} // namespace MsgConsts
