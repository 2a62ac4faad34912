#include "app/Program.h"

#include "app/MainUnit.h"
#include "app/Unt_Flash.h"
#include "data/Clock.h"
#include "data/DMUnit.h"
#include "data/Paths.h"
#include "data/Swallowed.h"
#include "gui/Fonts.h"
#include "toolkit/AppDir.h"
#include "toolkit/Application.h"
#include "toolkit/FolderLock.h"
#include "toolkit/MessageBox.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <memory>

namespace {

const char kDataOption[] = "--data-dir";
// Long enough for a program that is still starting (a compaction day, a slow disk) to
// begin answering.
constexpr int kHandOverMs = 8000;

// Tells the learner that the bank cannot be opened and ends the program.
class StartupHost : public TDM::Host
{
public:
    void connectionFailed() override
    {
        MessageBox(QStringLiteral("连接数据库失败！系统将终止运行."), QStringLiteral("连接数据库"),
                   16);
        Application::terminate();
    }
};

StartupHost g_host;

QString programName()
{
    return QStringLiteral("机动车驾驶人理论学习系统");
}

// The message of a start that shows no menu; it needs the environment of the screens,
// but nothing of the folder.
int tell(const QString& text, int flags, int code)
{
    prepareEnvironment();
    std::fprintf(stderr, "taviro: %s\n", qPrintable(text));
    MessageBox(text, programName(), flags);
    return code;
}

int tellAndEnd(int argc, char** argv, const QString& text, int flags, int code)
{
    GuardedApplication app(argc, argv);
    return tell(text, flags, code);
}

QString alreadyRunning()
{
    return programName() + QStringLiteral("已经在运行。");
}

// The window a learner works in: the screen open over the menu, or the menu.
void bringToFront()
{
    QWidget* window = QApplication::activeModalWidget();
    if (!window) {
        window = MainForm;
    }
    if (window && window->isVisible()) {
        window->raise();
        window->activateWindow();
    }
}

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

} // namespace

TMainForm* startUp(const QString& applicationDirectory, const Clock& clock,
                   const QString& programDirectory)
{
    auto splash = std::make_unique<TFrm_Flash>();
    Frm_Flash = splash.get();
    try {
        splash->showAtOnce();
        setApplicationDirectory(applicationDirectory);
        if (!programDirectory.isEmpty()) {
            setProgramDirectory(programDirectory);
        }
        Application::setTitle(QStringLiteral("Taviro"));
        DM = new TDM(applicationDirectory, clock, g_host);
        DM->DataModuleCreate();
        MainForm = new TMainForm();
    } catch (...) {
        Frm_Flash = nullptr;
        throw;
    }
    Frm_Flash = nullptr;
    return MainForm;
}

StartFolders startFolders(const QStringList& arguments, const QString& environmentValue,
                          const QString& programDirectory)
{
    StartFolders folders;
    folders.program = programDirectory;
    QString given = environmentValue;
    const QString option = QLatin1String(kDataOption);
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == option) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                folders.problem = QStringLiteral("选项 %1 后面缺少数据文件夹。").arg(option);
                return folders;
            }
            given = arguments[++i];
        } else if (arguments[i].startsWith(option + QLatin1Char('='))) {
            given = arguments[i].mid(option.size() + 1);
        }
    }
    if (given.isEmpty()) {
        folders.data = programDirectory;
        return folders;
    }
    const QFileInfo info(QDir::cleanPath(QDir(given).absolutePath()));
    folders.data = info.absoluteFilePath();
    if (!info.exists()) {
        folders.problem = QStringLiteral("数据文件夹“%1”不存在。").arg(folders.data);
    } else if (!info.isDir()) {
        folders.problem = QStringLiteral("“%1”不是文件夹，不能作为数据文件夹。").arg(folders.data);
    }
    return folders;
}

int runProgram(int argc, char** argv)
{
    return runProgram(argc, argv, Clock::system());
}

int runProgram(int argc, char** argv, const Clock& clock)
{
    const QString early = executablePathBeforeApplication();
    StartFolders folders =
        startFolders(argumentsOf(argc, argv), qEnvironmentVariable("TAVIRO_DATA_DIR"),
                     early.isEmpty() ? QString() : directoryOfExecutable(early));
    if (!folders.problem.isEmpty()) {
        return tellAndEnd(argc, argv, folders.problem, MB_OK | MB_ICONERROR, 1);
    }
    // Nothing of the folder is touched before its lock is ours: not the compaction, not
    // the bank, not the paper.
    std::unique_ptr<FolderLock> lock;
    if (!folders.data.isEmpty()) {
        lock = std::make_unique<FolderLock>(folders.data);
        if (lock->state() == FolderLock::State::Running) {
            switch (lock->handOver(kHandOverMs)) {
            case FolderLock::HandOver::Raised:
                return 0;
            case FolderLock::HandOver::NoAnswer:
                return tellAndEnd(argc, argv, alreadyRunning(), MB_OK | MB_ICONINFORMATION, 0);
            case FolderLock::HandOver::NowOwner:
                break;
            }
        }
        if (lock->state() == FolderLock::State::Unlocked) {
            reportSwallowed(QStringLiteral("the data folder is not locked"), lock->problem());
        }
        // The bank's key derivation and the reading of the font configuration run while
        // the display connects; the connection takes the bank's handle if it asks for
        // the same file.
        TDM::openBankAhead(folders.data, clock);
    }
    FontConfigurationReader fonts;
    // Docks match the window to its menu entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("cn.quorin.Taviro"));
    GuardedApplication app(argc, argv);
    if (folders.program.isEmpty()) {
        folders.program = directoryOfExecutable(QCoreApplication::applicationFilePath());
        if (folders.data.isEmpty()) {
            folders.data = folders.program;
            lock = std::make_unique<FolderLock>(folders.data);
            if (lock->state() == FolderLock::State::Running) {
                return tell(alreadyRunning(), MB_OK | MB_ICONINFORMATION, 0);
            }
        }
    }
    fonts.wait();
    prepareEnvironment();
    if (lock) {
        lock->serve(bringToFront);
    }
    int code = 1;
    try {
        TMainForm* menu = startUp(folders.data, clock, folders.program);
        code = Application::run(menu);
    } catch (...) {
        Application::handleException();
    }
    // A start from now on waits for the lock rather than asking a program that is ending.
    if (lock) {
        lock->stopServing();
    }
    delete MainForm;
    MainForm = nullptr;
    delete DM;
    DM = nullptr;
    return code;
}
