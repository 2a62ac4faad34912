// The program starts from any folder a learner may install it into: the folder's name
// reaches the bank whole, through the open made ahead, the compaction and the connection.
#include "app/MainUnit.h"
#include "app/Program.h"
#include "data/Clock.h"
#include "data/DMUnit.h"
#include "tests/support/TestSupport.h"
#include "toolkit/Application.h"

#include <QFile>
#include <QRegularExpression>

using namespace testing;

class TestStartFolders : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        checkModalActions();
        endStartedProgram();
        settle();
        QVERIFY2(visibleWindows().isEmpty(), "a window was left open");
    }

    void reachesTheMenuFromEveryFolder_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QDate>("date");
        for (const auto& [tag, relative] : awkwardFolderNames()) {
            QTest::newRow(qPrintable(tag)) << relative << QDate(2026, 12, 8);
            QTest::newRow(qPrintable(tag + QStringLiteral(", compaction day")))
                << relative << QDate(2026, 12, 10);
        }
    }

    void reachesTheMenuFromEveryFolder()
    {
        QFETCH(QString, relative);
        QFETCH(QDate, date);
        AppFolder base;
        const QString folder = makeBankFolder(base.path(), relative);
        const FixedClock clock(date);
        // Nothing on the way may fail, not even the compaction that would be silent.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("^taviro: ")));
        // As the program does before its display connects.
        TDM::openBankAhead(folder, clock);
        TMainForm* menu = startUp(folder, clock);
        QVERIFY(menu);
        QVERIFY(!Application::terminated());
        QVERIFY(DM && DM->ADOCon.connected());
        QCOMPARE(DM->ADOCon.databasePath(), folder + QStringLiteral("/Drive.mdb"));
        // The compaction replaced the file and left no copy behind.
        QVERIFY(!QFile::exists(folder + QStringLiteral("/Drive.mdb#####")));
        menu->show();
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        menu->close();
    }

    void skippedCompactionSaysWhy()
    {
        AppFolder folder;
        folder.writeBank();
        folder.writeFile(QStringLiteral("Drive.mdb#####"), QByteArray("left by a crash"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^taviro: compaction skipped: .+"));
        const FixedClock clock(QDate(2026, 12, 20));
        TMainForm* menu = startUp(folder.path(), clock);
        QVERIFY(menu);
        QVERIFY(DM->ADOCon.connected());
        QCOMPARE(folder.readFile(QStringLiteral("Drive.mdb#####")), QByteArray("left by a crash"));
    }

    void unopenableBankSaysWhy()
    {
        AppFolder folder;
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("^taviro: the bank cannot be opened: .+"));
        answerMessageBox(0x00000400); // OK
        const FixedClock clock(QDate(2026, 12, 8));
        startUp(folder.path(), clock);
        QVERIFY(Application::terminated());
    }
};

TAVIRO_TEST_MAIN(TestStartFolders)
#include "tst_startfolders.moc"
