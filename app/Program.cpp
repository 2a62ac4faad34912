#include "app/Program.h"

#include "app/MainUnit.h"
#include "app/Unt_Flash.h"
#include "data/Clock.h"
#include "data/DMUnit.h"
#include "data/Paths.h"
#include "toolkit/AppDir.h"
#include "toolkit/Application.h"
#include "toolkit/Fonts.h"
#include "toolkit/MessageBox.h"

#include <memory>

namespace {

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

} // namespace

TMainForm* startUp(const QString& applicationDirectory, const Clock& clock)
{
    auto splash = std::make_unique<TFrm_Flash>();
    Frm_Flash = splash.get();
    try {
        splash->showAtOnce();
        setApplicationDirectory(applicationDirectory);
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

int runProgram(int argc, char** argv)
{
    // The bank's key derivation and the reading of the font configuration run while the
    // display connects; the connection takes the bank's handle if it asks for the same file.
    const QString early = executablePathBeforeApplication();
    if (!early.isEmpty()) {
        TDM::openBankAhead(directoryOfExecutable(early), Clock::system());
    }
    FontConfigurationReader fonts;
    GuardedApplication app(argc, argv);
    const QString folder = directoryOfExecutable(QCoreApplication::applicationFilePath());
    fonts.wait();
    prepareEnvironment();
    int code = 1;
    try {
        TMainForm* menu = startUp(folder, Clock::system());
        code = Application::run(menu);
    } catch (...) {
        Application::handleException();
    }
    delete MainForm;
    MainForm = nullptr;
    delete DM;
    DM = nullptr;
    return code;
}
