// The main menu: its click areas at their places, the exit question, the optional
// background file and the registration of the data-access library.
#include "app/MainUnit.h"
#include "data/Clock.h"
#include "data/DMUnit.h"
#include "exam/Unt_SafeExam.h"
#include "exam/Unt_SimulateExam.h"
#include "exam/Unt_StudentLogin.h"
#include "practice/Unt_ShunXuLianXi.h"
#include "practice/Unt_XueXiJiLu.h"
#include "tests/support/ExamSupport.h"
#include "tests/support/TestSupport.h"
#include "toolkit/AppDir.h"
#include "toolkit/OsLibrary.h"
#include "toolkit/Resources.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <dlfcn.h>
#include <memory>

using namespace testing;

namespace {

// The real loader with a system directory of the test's choosing, counting what it does.
class FakeOs : public OsLibraryCalls
{
public:
    QString systemDirectory;
    unsigned reportedLength = 0; // when set, the length reported instead of the real one
    QStringList loaded;
    int freed = 0;

    unsigned getSystemDirectory(char* buffer, unsigned size) override
    {
        const QByteArray dir = QFile::encodeName(systemDirectory);
        if (reportedLength) {
            return reportedLength;
        }
        if (dir.isEmpty()) {
            return 0;
        }
        if (unsigned(dir.size()) + 1 > size) {
            return unsigned(dir.size()) + 1;
        }
        memcpy(buffer, dir.constData(), size_t(dir.size()) + 1);
        return unsigned(dir.size());
    }
    void* loadLibrary(const QString& path) override
    {
        loaded << path;
        return dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    }
    void* getProcAddress(void* module, const char* name) override { return dlsym(module, name); }
    void freeLibrary(void* module) override
    {
        ++freed;
        dlclose(module);
    }
};

struct NoHost : TDM::Host
{
    void connectionFailed() override {}
};

QString testLibrary(const char* variant)
{
    return QStringLiteral(TAVIRO_MIDAS_DIR "/libmidas_%1.so").arg(QLatin1String(variant));
}

} // namespace

class TestMainMenu : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFolder> m_folder;
    std::unique_ptr<AppFolder> m_system;
    FakeOs m_os;
    FixedClock m_clock{QDate(2026, 12, 8)};
    NoHost m_host;
    QString m_trace;

    TMainForm* makeMenu()
    {
        MainForm = new TMainForm();
        return MainForm;
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<AppFolder>();
        m_system = std::make_unique<AppFolder>();
        m_folder->writeBank();
        setApplicationDirectory(m_folder->path());
        Application::setTitle(QStringLiteral("Taviro"));
        m_os = FakeOs();
        m_os.systemDirectory = m_system->path();
        OsLibraryCalls::setCurrent(&m_os);
        m_trace = m_folder->file(QStringLiteral("trace.txt"));
        qputenv("TAVIRO_MIDAS_TRACE", QFile::encodeName(m_trace));
        DM = new TDM(m_folder->path(), m_clock, m_host);
        DM->DataModuleCreate();
    }

    void cleanup()
    {
        checkModalActions();
        delete MainForm;
        MainForm = nullptr;
        delete DM;
        DM = nullptr;
        OsLibraryCalls::setCurrent(nullptr);
        settle();
        QVERIFY2(visibleWindows().isEmpty(), "a window was left open");
    }

    void menuHasItsControlsInPlace()
    {
        TMainForm* menu = makeMenu();
        menu->show();
        QCOMPARE(menu->size(), QSize(800, 600));
        const struct
        {
            const char* name;
            QRect rect;
        } areas[] = {
            {"lblJiaoTongBiaoZhi", QRect(29, 79, 234, 78)},
            {"lblJiaoTongFaGui", QRect(29, 170, 234, 78)},
            {"lblShunXuLianXi", QRect(25, 261, 234, 78)},
            {"lblMoLiKaoShi", QRect(25, 352, 234, 78)},
            {"lblExit", QRect(29, 492, 234, 78)},
        };
        for (const auto& a : areas) {
            auto* l = menu->findChild<Label*>(QLatin1String(a.name));
            QVERIFY2(l, a.name);
            QCOMPARE(l->geometry(), a.rect);
            QCOMPARE(l->cursor().shape(), Qt::PointingHandCursor);
        }
        QCOMPARE(menu->imgXueYuanBan->geometry(), QRect(642, 531, 116, 48));
        QCOMPARE(menu->lblAddress->caption(), loadStr(StringId::Contact));
        QCOMPARE(menu->lblAddress->pos(), QPoint(31, 583));
        QVERIFY(!menu->Image1->isEmpty());
        QCOMPARE(menu->Image1->image().size(), QSize(800, 600));
        menu->close();
    }

    void eachAreaTakesTheClickAtItsPlace()
    {
        TMainForm* menu = makeMenu();
        menu->show();
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QStringList hits;
        const QList<Label*> areas = {menu->lblJiaoTongBiaoZhi, menu->lblJiaoTongFaGui,
                                     menu->lblShunXuLianXi, menu->lblMoLiKaoShi, menu->lblExit};
        for (Label* l : areas) {
            l->OnClick = [&hits](QObject* s) { hits << s->objectName(); };
        }
        // The middle of each drawn button, not of the control: the picture decides.
        for (const QPoint p : {QPoint(146, 118), QPoint(146, 209), QPoint(142, 300),
                               QPoint(142, 391), QPoint(146, 531)}) {
            clickWindowAt(menu, p);
        }
        QCOMPARE(hits, QStringList({"lblJiaoTongBiaoZhi", "lblJiaoTongFaGui", "lblShunXuLianXi",
                                    "lblMoLiKaoShi", "lblExit"}));
        menu->close();
    }

    void exitAsksAndClosesOnYesOnly()
    {
        TMainForm* menu = makeMenu();
        menu->show();
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QString text, title;
        int icon = 0;
        answerMessageBox(QMessageBox::No, &text, &title, &icon);
        clickControl(menu->lblExit);
        QCOMPARE(text, QStringLiteral("现在关闭Taviro吗？"));
        QCOMPARE(title, QStringLiteral("关闭询问"));
        QCOMPARE(icon, int(QMessageBox::Question));
        QVERIFY(menu->isVisible());
        answerMessageBox(QMessageBox::Yes);
        clickControl(menu->lblExit);
        QVERIFY(!menu->isVisible());
    }

    void replacementBackgroundIsShown()
    {
        QImage replacement(800, 600, QImage::Format_RGB32);
        replacement.fill(QColor(10, 120, 30));
        QVERIFY(replacement.save(m_folder->file(QStringLiteral("Drive.bmp"))));
        TMainForm* menu = makeMenu();
        menu->show();
        QCOMPARE(menu->Image1->image().pixelColor(400, 300), QColor(10, 120, 30));
        menu->close();
    }

    void unreadableBackgroundIsIgnoredSilently()
    {
        m_folder->writeFile(QStringLiteral("Drive.bmp"), QByteArray("BM not really a bitmap"));
        TMainForm* menu = makeMenu();
        const QImage designed = menu->Image1->image();
        bool boxShown = false;
        // Any modal window that opens is noted and closed, so that the test goes on.
        QTimer guard;
        QObject::connect(&guard, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                boxShown = true;
                modal->close();
            }
        });
        guard.start(10);
        menu->show();
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        settle();
        QVERIFY(!boxShown);
        QCOMPARE(menu->Image1->image(), designed);
        menu->close();
    }

    void libraryInTheSystemDirectoryIsNotLoaded()
    {
        m_system->writeFile(QStringLiteral("midas.dll"), "system copy");
        QVERIFY(QFile::copy(testLibrary("ok"), m_folder->file(QStringLiteral("midas.dll"))));
        makeMenu();
        QVERIFY(m_os.loaded.isEmpty());
        QVERIFY(!QFile::exists(m_trace));
    }

    void libraryOfTheProgramFolderIsRegistered()
    {
        QVERIFY(QFile::copy(testLibrary("ok"), m_folder->file(QStringLiteral("midas.dll"))));
        makeMenu();
        QCOMPARE(m_os.loaded, QStringList({m_folder->file(QStringLiteral("midas.dll"))}));
        QCOMPARE(m_os.freed, 1);
        QCOMPARE(m_folder->readFile(QStringLiteral("trace.txt")), QByteArray("registered\n"));
    }

    void theSubjectTabsChooseTheTest()
    {
        TMainForm* menu = makeMenu();
        menu->show();
        QCOMPARE(menu->Subject, 1);
        for (const auto& [tab, centre] : {std::pair{menu->imgKeMuYi, QPoint(680, 24)},
                                          std::pair{menu->imgKeMuSi, QPoint(760, 24)}}) {
            QVERIFY(tab->width() >= 60 && tab->height() >= 30);
            QVERIFY((tab->geometry().center() - centre).manhattanLength() <= 4);
        }
        // A bank without subject four's questions says so, and subject one stays.
        QString text;
        answerMessageBox(QMessageBox::Ok, &text);
        clickControl(menu->imgKeMuSi);
        QVERIFY2(text.contains(QStringLiteral("科目四")), qPrintable(text));
        QCOMPARE(menu->Subject, 1);

        m_folder->exec(QStringLiteral("INSERT INTO T_SafeTopic (ID, QKey, Type, Chapter, Content, "
                                      "Result) VALUES (1, 's4-x', 1, 1, '判', '√')"));
        clickControl(menu->imgKeMuSi);
        QCOMPARE(menu->Subject, 4);
        clickControl(menu->imgKeMuYi);
        QCOMPARE(menu->Subject, 1);
        menu->close();
    }

    // With 科目四 the practice, exam and record areas open subject four's screens, the exam
    // through the candidate-number pad; back on 科目一, the exam is subject one's again.
    void theChosenSubjectLeadsToItsScreens()
    {
        m_folder->exec(safeBankSql(4));
        m_folder->copyFromBuild(QStringLiteral("CLOCK.AVI"));
        TMainForm* menu = makeMenu();
        menu->show();
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        clickControl(menu->imgKeMuSi);
        QCOMPARE(menu->Subject, 4);

        QString practised;
        whenModal([&](QWidget* modal) {
            auto* practice = qobject_cast<TFrm_ShunXuLianXi*>(modal);
            QVERIFY(practice);
            practised = practice->format().title + practice->DBText1->text();
            clickControl(practice->sbtnReturn);
        });
        clickControl(menu->lblShunXuLianXi);
        QCOMPARE(practised, QStringLiteral("科目四第1题 (请从下列ABCD中选择出该题的正确答案)"));

        const auto sitExam = [&](const char* examClass) {
            QString seen;
            whenModal([&seen, examClass](QWidget* modal) {
                auto* pad = qobject_cast<TFrm_StudentLogin*>(modal);
                QVERIFY(pad);
                clickControl(pad->Label4);
                clickControl(pad->lblOk);
                whenModal([&seen, examClass](QWidget* exam) {
                    seen = QString::fromLatin1(exam->metaObject()->className()) +
                           QString::number(DM->ADOQryTopic.recordCount()) +
                           exam->findChild<Label*>(QStringLiteral("lblNo"))->caption();
                    QVERIFY(exam->inherits(examClass));
                    exam->close();
                });
            });
            clickControl(menu->lblMoLiKaoShi);
            settle();
            return seen;
        };
        QCOMPARE(sitExam("TFrm_SafeExam"), QStringLiteral("TFrm_SafeExam504"));

        QStringList chapters;
        whenModal([&](QWidget* modal) {
            auto* record = qobject_cast<TFrm_XueXiJiLu*>(modal);
            QVERIFY(record);
            chapters = record->pnlZhangJie->captions();
            QCOMPARE(record->format().subject, 4);
            clickControl(record->sbtnReturn);
        });
        clickControl(menu->lblXueXiJiLu);
        QCOMPARE(chapters.size(), 7);
        QCOMPARE(chapters.first(), QStringLiteral("安全文明驾驶 —"));

        clickControl(menu->imgKeMuYi);
        QVERIFY(sitExam("TFrm_SimulateExam").startsWith(QStringLiteral("TFrm_SimulateExam")));
        menu->close();
    }

    void aDataFolderOfItsOwnIsNeverALibraryFolder()
    {
        // The learner may write the data folder: a library put there is not code to run.
        AppFolder program;
        setProgramDirectory(program.path());
        QVERIFY(QFile::copy(testLibrary("ok"), m_folder->file(QStringLiteral("midas.dll"))));
        makeMenu();
        QVERIFY(m_os.loaded.isEmpty());
        delete MainForm;
        MainForm = nullptr;
        QVERIFY(QFile::copy(testLibrary("ok"), program.file(QStringLiteral("midas.dll"))));
        makeMenu();
        QCOMPARE(m_os.loaded, QStringList({program.file(QStringLiteral("midas.dll"))}));
    }

    void unknownSystemDirectoryFallsBackToTheProgramFolder_data()
    {
        QTest::addColumn<unsigned>("reported");
        QTest::newRow("call failed") << 0u;
        QTest::newRow("buffer too small") << 300u;
    }

    void unknownSystemDirectoryFallsBackToTheProgramFolder()
    {
        QFETCH(unsigned, reported);
        m_system->writeFile(QStringLiteral("midas.dll"), "system copy");
        m_os.reportedLength = reported;
        if (reported == 0) {
            m_os.systemDirectory.clear();
        }
        QVERIFY(QFile::copy(testLibrary("ok"), m_folder->file(QStringLiteral("midas.dll"))));
        makeMenu();
        QCOMPARE(m_os.loaded.size(), 1);
    }

    void noLibraryAnywhereIsSilent()
    {
        makeMenu();
        QVERIFY(m_os.loaded.isEmpty());
        QVERIFY(MainForm);
    }

    void registrationResultFollowsTheExport()
    {
        const QString target = m_folder->file(QStringLiteral("midas.dll"));
        QVERIFY(!RegisterServerDll(target)); // no file
        m_folder->writeFile(QStringLiteral("midas.dll"), "MZ this is no library");
        QVERIFY(!RegisterServerDll(target));
        QFile::remove(target);
        QVERIFY(QFile::copy(testLibrary("noexport"), target));
        QVERIFY(!RegisterServerDll(target));
        QFile::remove(target);
        QVERIFY(QFile::copy(testLibrary("fails"), target));
        QVERIFY(!RegisterServerDll(target));
        QFile::remove(target);
        QVERIFY(QFile::copy(testLibrary("ok"), target));
        QVERIFY(RegisterServerDll(target));
        // Every library that loaded was unloaded again.
        QCOMPARE(m_os.freed, 3);
        QCOMPARE(m_folder->readFile(QStringLiteral("trace.txt")),
                 QByteArray("failed\nregistered\n"));
    }
};

TAVIRO_TEST_MAIN(TestMainMenu)
#include "tst_mainmenu.moc"
