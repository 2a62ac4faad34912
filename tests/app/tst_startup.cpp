// The start-up sequence: a good bank leads to the main menu; a bank that cannot be
// opened gives its message once and ends the program without a usable menu.
#include "app/MainUnit.h"
#include "app/Program.h"
#include "app/Unt_Flash.h"
#include "data/Clock.h"
#include "data/Connection.h"
#include "data/DMUnit.h"
#include "tests/support/TestSupport.h"
#include "toolkit/AppDir.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QRandomGenerator>
#include <sqlite3.h>

using namespace testing;

class TestStartup : public QObject
{
    Q_OBJECT

    FixedClock m_clock{QDate(2026, 12, 8)};

private slots:
    void cleanup()
    {
        checkModalActions();
        endStartedProgram();
        settle();
        QVERIFY2(visibleWindows().isEmpty(), "a window was left open");
    }

    void goodBankLeadsToTheMenu()
    {
        AppFolder folder;
        folder.writeBank();
        TMainForm* menu = startUp(folder.path(), m_clock);
        QVERIFY(menu);
        QCOMPARE(MainForm, menu);
        QVERIFY(!Frm_Flash);
        QVERIFY(DM && DM->ADOCon.connected());
        QVERIFY(!Application::terminated());
        QCOMPARE(applicationDirectory(), folder.path());
        QCOMPARE(Application::title(), QStringLiteral("Taviro"));
        QVERIFY(visibleWindows().isEmpty()); // the splash is gone, the menu not yet shown
    }

    void theDataFolderIsTheProgramsUnlessGiven_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("data"); // "%d": the existing folder, "%p": the program's
        QTest::addColumn<bool>("problem");
        const QString d = QStringLiteral("%d");
        QTest::newRow("none") << QStringList() << QString() << QStringLiteral("%p") << false;
        QTest::newRow("option") << QStringList{QStringLiteral("--data-dir"), d} << QString() << d
                                << false;
        QTest::newRow("option=") << QStringList{QStringLiteral("--data-dir=%d")} << QString() << d
                                 << false;
        QTest::newRow("environment") << QStringList() << d << d << false;
        QTest::newRow("option before environment") << QStringList{QStringLiteral("--data-dir"), d}
                                                   << QStringLiteral("/nowhere") << d << false;
        QTest::newRow("empty environment")
            << QStringList() << QString() << QStringLiteral("%p") << false;
        QTest::newRow("trailing separator")
            << QStringList{QStringLiteral("--data-dir=%d/")} << QString() << d << false;
        QTest::newRow("missing value")
            << QStringList{QStringLiteral("--data-dir")} << QString() << QString() << true;
        QTest::newRow("no such folder") << QStringList{QStringLiteral("--data-dir=%d/absent")}
                                        << QString() << QStringLiteral("%d/absent") << true;
        QTest::newRow("a file") << QStringList{QStringLiteral("--data-dir=%d/Drive.mdb")}
                                << QString() << QStringLiteral("%d/Drive.mdb") << true;
    }

    void theDataFolderIsTheProgramsUnlessGiven()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, environment);
        QFETCH(QString, data);
        QFETCH(bool, problem);
        AppFolder folder;
        folder.writeBank();
        const QString program = QStringLiteral("/usr/lib/taviro");
        auto fill = [&](QString text) {
            return text.replace(QLatin1String("%d"), folder.path())
                .replace(QLatin1String("%p"), program);
        };
        for (QString& a : arguments) {
            a = fill(a);
        }
        const StartFolders folders = startFolders(arguments, fill(environment), program);
        QCOMPARE(folders.program, program);
        if (!data.isEmpty()) {
            QCOMPARE(folders.data, fill(data));
        }
        QCOMPARE(!folders.problem.isEmpty(), problem);
    }

    void unopenableBankEndsTheProgram_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << QStringLiteral("missing");
        QTest::newRow("zero bytes") << QStringLiteral("zero");
        QTest::newRow("random bytes") << QStringLiteral("random");
        QTest::newRow("other password") << QStringLiteral("password");
    }

    void unopenableBankEndsTheProgram()
    {
        QFETCH(QString, kind);
        AppFolder folder;
        const QString bank = folder.file(QStringLiteral("Drive.mdb"));
        if (kind == QLatin1String("zero")) {
            folder.writeFile(QStringLiteral("Drive.mdb"), QByteArray());
        } else if (kind == QLatin1String("random")) {
            QByteArray bytes(4096, '\0');
            for (char& c : bytes) {
                c = char(QRandomGenerator::global()->bounded(256));
            }
            folder.writeFile(QStringLiteral("Drive.mdb"), bytes);
        } else if (kind == QLatin1String("password")) {
            QString error;
            sqlite3* db = openKeyedDatabase(bank, "not the password", true, &error);
            QVERIFY(db);
            sqlite3_exec(db, "CREATE TABLE T_Topic(ID INTEGER)", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }
        const QByteArray before = folder.readFile(QStringLiteral("Drive.mdb"));
        QString text, title;
        int icon = 0;
        int boxes = 0;
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            ++boxes;
            text = box->text();
            title = box->windowTitle();
            icon = int(box->icon());
            box->button(QMessageBox::Ok)->click();
        });
        TMainForm* menu = startUp(folder.path(), m_clock);
        QCOMPARE(boxes, 1);
        QCOMPARE(text, QStringLiteral("连接数据库失败！系统将终止运行."));
        QCOMPARE(title, QStringLiteral("连接数据库"));
        QCOMPARE(icon, int(QMessageBox::Critical));
        QVERIFY(Application::terminated());
        // The loop ends at once: the menu is never shown.
        QVERIFY(Application::run(menu) != 0);
        QVERIFY(!menu->isVisible());
        QCOMPARE(QFile::exists(bank), kind != QLatin1String("missing"));
        QCOMPARE(folder.readFile(QStringLiteral("Drive.mdb")), before);
    }
};

TAVIRO_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
