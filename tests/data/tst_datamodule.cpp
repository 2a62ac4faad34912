// The data module at start-up: compaction on the 10th, 20th and 30th only, then the
// connection, perhaps opened ahead on a thread; a bank that cannot be opened is reported
// once.
#include "data/Clock.h"
#include "data/DMUnit.h"
#include "data/OpenAhead.h"
#include "tests/support/TestSupport.h"

#include <sqlite3.h>

using namespace testing;

namespace {
struct RecordingHost : TDM::Host
{
    int failures = 0;
    void connectionFailed() override { ++failures; }
};
} // namespace

class TestDataModule : public QObject
{
    Q_OBJECT

private slots:
    void compactsOnTheTenthsOnly_data()
    {
        QTest::addColumn<int>("day");
        QTest::addColumn<bool>("compacts");
        for (int day : {1, 9, 10, 11, 19, 20, 21, 29, 30, 31}) {
            QTest::addRow("day %d", day) << day << (day % 10 == 0);
        }
    }

    void compactsOnTheTenthsOnly()
    {
        QFETCH(int, day);
        QFETCH(bool, compacts);
        AppFolder folder;
        folder.writeBank();
        FixedClock clock(QDate(2026, day == 31 ? 1 : 3, day));
        RecordingHost host;
        TDM dm(folder.path(), clock, host);
        QStringList compacted;
        auto watch = [&](TDM& module) {
            module.compactor = [&](const QString& path) {
                QVERIFY(!module.ADOCon.connected()); // before the connection opens
                compacted << path;
            };
        };
        watch(dm);
        dm.DataModuleCreate();
        QCOMPARE(compacted.size(), compacts ? 1 : 0);
        if (compacts) {
            QCOMPARE(compacted[0], folder.file(QStringLiteral("Drive.mdb")));
        }
        QVERIFY(dm.ADOCon.connected());
        QCOMPARE(host.failures, 0);
        // Every start of such a day compacts again.
        TDM again(folder.path(), clock, host);
        watch(again);
        again.DataModuleCreate();
        QCOMPARE(compacted.size(), compacts ? 2 : 0);
    }

    void missingBankIsReportedOnce()
    {
        AppFolder folder;
        FixedClock clock(QDate(2026, 3, 10));
        RecordingHost host;
        TDM dm(folder.path(), clock, host);
        dm.compactor = [](const QString&) {};
        dm.DataModuleCreate();
        QCOMPARE(host.failures, 1);
        QVERIFY(!dm.ADOCon.connected());
        QVERIFY(!QFile::exists(folder.file(QStringLiteral("Drive.mdb"))));
    }

    void compactionThatThrowsStillOpens()
    {
        AppFolder folder;
        folder.writeBank();
        FixedClock clock(QDate(2026, 3, 20));
        RecordingHost host;
        TDM dm(folder.path(), clock, host);
        // A failing compaction must not be mistaken for an unopenable bank... unless it
        // escapes: then the start-up reports it like any other error of these steps.
        dm.compactor = [](const QString&) { throw std::runtime_error("engine missing"); };
        dm.DataModuleCreate();
        QCOMPARE(host.failures, 1);
    }

    void queriesBelongToTheConnection()
    {
        AppFolder folder;
        folder.writeBank();
        FixedClock clock(QDate(2026, 3, 2));
        RecordingHost host;
        TDM dm(folder.path(), clock, host);
        dm.DataModuleCreate();
        QCOMPARE(dm.ADOQryTopic.SQL.text(),
                 QStringLiteral("SELECT * FROM T_Topic\r\n ORDER BY ID"));
        QVERIFY(dm.ADOQuery1.SQL.lines().isEmpty());
        QVERIFY(dm.ADOQuery2.SQL.lines().isEmpty());
        dm.ADOQryTopic.open();
        QCOMPARE(dm.ADOQryTopic.recordCount(), int(smallBank().size()));
    }

    // The bank opened ahead is the one the data module uses; on a compaction day nothing
    // is opened ahead, since the file is about to be replaced.
    void opensTheBankAheadExceptOnCompactionDays()
    {
        AppFolder folder;
        folder.writeBank();
        RecordingHost host;
        const QString path = folder.file(QStringLiteral("Drive.mdb"));
        QByteArray key;
        QString error;
        QVERIFY(passwordKey(TDM::kPassword, &key, &error));

        FixedClock ninth(QDate(2026, 3, 9));
        TDM::openBankAhead(folder.path(), ninth);
        sqlite3* ahead = openahead::take(path, key);
        QVERIFY(ahead);
        sqlite3_close(ahead);

        TDM::openBankAhead(folder.path(), ninth);
        TDM dm(folder.path(), ninth, host);
        dm.DataModuleCreate();
        QVERIFY(dm.ADOCon.connected());
        QVERIFY(!openahead::take(path, key)); // taken by the connection
        dm.ADOQryTopic.open();
        QVERIFY(dm.ADOQryTopic.recordCount() > 0);

        FixedClock tenth(QDate(2026, 3, 10));
        TDM::openBankAhead(folder.path(), tenth);
        QVERIFY(!openahead::take(path, key));
        QCOMPARE(host.failures, 0);
    }

    // A handle opened ahead for another file or key is never handed out, and a bank that
    // fails to open ahead fails again, with its own message, when the connection opens.
    void handleOpenedAheadOnlyForTheSameFileAndKey()
    {
        AppFolder folder;
        folder.writeBank();
        const QString path = folder.file(QStringLiteral("Drive.mdb"));
        QByteArray key;
        QString error;
        QVERIFY(passwordKey(TDM::kPassword, &key, &error));

        openahead::start(path, key);
        QVERIFY(!openahead::take(path, QByteArray("another")));
        QVERIFY(!openahead::take(path, key)); // closed by the mismatch

        openahead::start(path, key);
        QVERIFY(!openahead::take(path + QStringLiteral("x"), key));

        openahead::start(path, key);
        openahead::discard();
        QVERIFY(!openahead::take(path, key));

        AppFolder unfit;
        unfit.writeFile(QStringLiteral("Drive.mdb"), QByteArray(4096, 'x'));
        FixedClock ninth(QDate(2026, 3, 9));
        RecordingHost host;
        TDM::openBankAhead(unfit.path(), ninth);
        TDM dm(unfit.path(), ninth, host);
        dm.DataModuleCreate();
        QVERIFY(!dm.ADOCon.connected());
        QCOMPARE(host.failures, 1);
        QCOMPARE(unfit.readFile(QStringLiteral("Drive.mdb")), QByteArray(4096, 'x'));

        AppFolder empty;
        TDM::openBankAhead(empty.path(), ninth);
        QVERIFY(!openahead::take(empty.file(QStringLiteral("Drive.mdb")), key));
        QVERIFY(!QFile::exists(empty.file(QStringLiteral("Drive.mdb"))));

        // Started and never taken: closed when the program ends, without a leak.
        openahead::start(path, key);
    }
};

TAVIRO_TEST_MAIN(TestDataModule)
#include "tst_datamodule.moc"
