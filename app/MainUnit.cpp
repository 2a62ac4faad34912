#include "app/MainUnit.h"

#include "data/DMUnit.h"
#include "data/Swallowed.h"
#include "exam/Unt_SafeExam.h"
#include "exam/Unt_SimulateExam.h"
#include "exam/Unt_StudentLogin.h"
#include "exampaper/ExamPaper.h"
#include "practice/Unt_JiaoTongBiaoZhi.h"
#include "practice/Unt_JiaoTongFaGui.h"
#include "practice/Unt_ShunXuLianXi.h"
#include "practice/Unt_XueXiJiLu.h"
#include "practice/Unt_XueXiMoShi.h"
#include "sharedscreens/ScreenParts.h"
#include "toolkit/AppDir.h"
#include "toolkit/Application.h"
#include "toolkit/ClickArea.h"
#include "toolkit/MessageBox.h"
#include "toolkit/OsLibrary.h"
#include "toolkit/Resources.h"

#include <QDir>
#include <QFileInfo>
#include <cstdint>

TMainForm* MainForm = nullptr;

namespace {

bool fileExists(const QString& path)
{
    return QFileInfo(path).isFile();
}

// Subject four needs its questions in the bank: a learner's bank from before them (its
// refresh failed) or a damaged table has none, and subject one goes on all the same.
bool subjectFourReady(QString* why)
{
    QString cause;
    if (ExamPaper::checkBank(DM->ADOCon, subjectFour(), &cause)) {
        return true;
    }
    *why = cause + QStringLiteral("暂时不能练习和考试科目四。") +
           QStringLiteral("\r\n请安装新版本的软件后再试；科目一照常可用。");
    return false;
}

} // namespace

bool RegisterServerDll(const QString& path)
{
    if (!fileExists(path)) {
        return false;
    }
    OsLibraryCalls& os = OsLibraryCalls::current();
    void* module = os.loadLibrary(path);
    if (!module) {
        return false;
    }
    struct Unload
    {
        OsLibraryCalls& os;
        void* module;
        ~Unload() { os.freeLibrary(module); }
    } unload{os, module};
    using RegisterFunction = std::int32_t (*)();
    auto registerServer =
        reinterpret_cast<RegisterFunction>(os.getProcAddress(module, "DllRegisterServer"));
    if (!registerServer) {
        return false;
    }
    return registerServer() == 0;
}

TMainForm::TMainForm(QWidget* owner)
    : Form(owner)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(Application::title());
    setClientSize(800, 600);
    setColor(palette().color(QPalette::Button));
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(16);
    setFont(f);

    Image1 = screenPicture(this, "Image1", QStringLiteral("MainMenu.rgb32"));

    lblJiaoTongBiaoZhi = clickArea<Label>(this, "lblJiaoTongBiaoZhi", {29, 79, 234, 78});
    lblJiaoTongFaGui = clickArea<Label>(this, "lblJiaoTongFaGui", {29, 170, 234, 78});
    lblShunXuLianXi = clickArea<Label>(this, "lblShunXuLianXi", {25, 261, 234, 78});
    lblMoLiKaoShi = clickArea<Label>(this, "lblMoLiKaoShi", {25, 352, 234, 78});
    lblExit = clickArea<Label>(this, "lblExit", {29, 492, 234, 78});
    lblJiaoTongBiaoZhi->OnClick = [this](QObject* s) { sbtnJiaoTongBiaoZhiClick(s); };
    lblJiaoTongFaGui->OnClick = [this](QObject* s) { sbtnJiaoTongFaGuiClick(s); };
    lblShunXuLianXi->OnClick = [this](QObject* s) { sbtnShunXuLianXiClick(s); };
    lblMoLiKaoShi->OnClick = [this](QObject* s) { sbtnMoLiKaoShiClick(s); };
    lblExit->OnClick = [this](QObject* s) { sbtnExitClick(s); };
    // The study areas' buttons are pictures, so that a replacement background keeps them;
    // the record's click area lies over its picture.
    imgXueXiJiLu = named(new Picture(this), "imgXueXiJiLu");
    imgXueXiJiLu->setGeometry(548, 428, 234, 78);
    imgXueXiJiLu->loadFromResource(artPath(QStringLiteral("MenuRecord.rgb32")));
    lblXueXiJiLu = clickArea<Label>(this, "lblXueXiJiLu", {548, 428, 234, 78});
    lblXueXiJiLu->OnClick = [this](QObject* s) { sbtnXueXiJiLuClick(s); };

    lblAddress = contactLabel(this, 31, 583);

    // Controls, not part of the picture, so that a replacement background keeps them.
    imgKeMuYi = named(new Picture(this), "imgKeMuYi");
    imgKeMuYi->setGeometry(647, 8, 66, 32);
    imgKeMuSi = named(new Picture(this), "imgKeMuSi");
    imgKeMuSi->setGeometry(727, 8, 66, 32);
    for (Picture* tab : {imgKeMuYi, imgKeMuSi}) {
        tab->setCursor(Qt::PointingHandCursor);
    }
    imgKeMuYi->OnClick = [this](QObject*) { chooseSubject(1); };
    imgKeMuSi->OnClick = [this](QObject*) { chooseSubject(4); };
    showSubject();

    imgXueXiMoShi = named(new Picture(this), "imgXueXiMoShi");
    imgXueXiMoShi->setGeometry(304, 428, 234, 78);
    imgXueXiMoShi->loadFromResource(artPath(QStringLiteral("MenuStudyModes.rgb32")));
    imgXueXiMoShi->setCursor(Qt::PointingHandCursor);
    imgXueXiMoShi->OnClick = [this](QObject* s) { sbtnXueXiMoShiClick(s); };

    guarded([this] { FormCreate(); });
}

void TMainForm::FormCreate()
{
    lblAddress->setCaption(loadStr(StringId::Contact));

    imgXueYuanBan = named(new Picture(this), "imgXueYuanBan");
    imgXueYuanBan->setAutoSize(true);
    imgXueYuanBan->move(642, 531);
    imgXueYuanBan->setImage(loadBitmapResource(QStringLiteral("XueYuanBan")));

    // The data-access library is registered from the program's folder only where the
    // system does not already have one; never from a data folder, which is the
    // learner's to write.
    char buffer[201] = {};
    const unsigned length = OsLibraryCalls::current().getSystemDirectory(buffer, sizeof buffer);
    if (length != 0 && length < sizeof buffer) {
        const QString systemCopy = QString::fromLocal8Bit(buffer, int(length)) + QDir::separator() +
                                   QStringLiteral("midas.dll");
        if (fileExists(systemCopy)) {
            return;
        }
    }
    RegisterServerDll(programFile(QStringLiteral("midas.dll")));
}

void TMainForm::chooseSubject(int subject)
{
    if (subject == 4 && Subject != 4) {
        QString why;
        if (!subjectFourReady(&why)) {
            MessageBox(why, QStringLiteral("科目四"), MB_OK | MB_ICONINFORMATION);
            return;
        }
    }
    Subject = subject == 4 ? 4 : 1;
    showSubject();
}

void TMainForm::showSubject()
{
    imgKeMuYi->loadFromResource(artPath(Subject == 1 ? QStringLiteral("SubjectOneOn.rgb32")
                                                     : QStringLiteral("SubjectOne.rgb32")));
    imgKeMuSi->loadFromResource(artPath(Subject == 4 ? QStringLiteral("SubjectFourOn.rgb32")
                                                     : QStringLiteral("SubjectFour.rgb32")));
}

void TMainForm::FormShow()
{
    try {
        resize(800, 600);
        const QString replacement = appFile(QStringLiteral("Drive.bmp"));
        if (fileExists(replacement)) {
            Image1->loadFromFile(replacement);
        }
    } catch (...) {
        // A replacement background that cannot be read leaves the designed one.
        reportSwallowed(QStringLiteral("menu picture not loaded"), std::current_exception());
    }
}

void TMainForm::sbtnJiaoTongBiaoZhiClick(QObject* sender)
{
    Q_UNUSED(sender);
    auto* viewer = new TFrm_JiaoTongBiaoZhi(nullptr);
    viewer->showModal();
}

void TMainForm::sbtnJiaoTongFaGuiClick(QObject* sender)
{
    Q_UNUSED(sender);
    auto* viewer = new TFrm_JiaoTongFaGui(nullptr);
    viewer->showModal();
}

void TMainForm::sbtnShunXuLianXiClick(QObject* sender)
{
    Q_UNUSED(sender);
    // The screen frees itself when it closes.
    auto* practice = new TFrm_ShunXuLianXi();
    practice->setFormat(formatOf(Subject));
    practice->Place = QStringLiteral("sequential"); // where 继续练习 takes it up
    practice->showModal();
}

void TMainForm::sbtnXueXiMoShiClick(QObject*)
{
    auto* modes = new TFrm_XueXiMoShi();
    modes->setFormat(formatOf(Subject));
    modes->OnExam = [this](const ExamFormat& format, StudyLog::Mode mode) {
        // No candidate number: these papers are the learner's own drills.
        const QString number =
            mode == StudyLog::Mode::Drill ? QStringLiteral("考前冲刺") : QStringLiteral("考场模式");
        if (format.subject == 4) {
            auto* exam = new TFrm_SafeExam(this);
            exam->ExamMode = mode;
            exam->lblNo->setCaption(number);
            exam->showModal();
            return;
        }
        Frm_SimulateExam = new TFrm_SimulateExam(this);
        Frm_SimulateExam->ExamMode = mode;
        Frm_SimulateExam->lblNo->setCaption(number);
        Frm_SimulateExam->showModal();
    };
    modes->showModal();
}

void TMainForm::sbtnXueXiJiLuClick(QObject* sender)
{
    Q_UNUSED(sender);
    auto* record = new TFrm_XueXiJiLu();
    record->setFormat(formatOf(Subject));
    record->showModal();
}

void TMainForm::sbtnMoLiKaoShiClick(QObject* sender)
{
    Q_UNUSED(sender);
    Frm_StudentLogin = new TFrm_StudentLogin(this);
    if (Subject == 4) {
        Frm_StudentLogin->imgTitle->loadFromResource(artPath(QStringLiteral("ExamTitleFour.bmp")));
    }
    QString number = QStringLiteral("-1");
    if (Frm_StudentLogin->showModal() == mrOk) {
        number = Frm_StudentLogin->lblNo->caption();
    }
    // The pad yields digits only: "-1" means it was closed without its confirm key.
    if (number == QLatin1String("-1")) {
        return;
    }
    if (Subject == 4) {
        auto* exam = new TFrm_SafeExam(this);
        exam->lblNo->setCaption(number);
        exam->showModal();
        return;
    }
    Frm_SimulateExam = new TFrm_SimulateExam(this);
    Frm_SimulateExam->lblNo->setCaption(number);
    Frm_SimulateExam->showModal();
}

void TMainForm::sbtnExitClick(QObject* sender)
{
    Q_UNUSED(sender);
    if (MessageBox(QStringLiteral("现在关闭Taviro吗？"), QStringLiteral("关闭询问"), 36) == IDYES) {
        close();
    }
}
