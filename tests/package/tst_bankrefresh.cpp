// A package upgrade brings the learner's own bank up to the new questions: the learner's
// exam paper and every other table stay, and a failure leaves the bank as it was.
#include "tests/package/KeyedBank.h"
#include "tests/support/TestSupport.h"
#include "tools/refresh/BankRefresh.h"

#include <QProcess>

using namespace testing;

class TestBankRefresh : public QObject
{
    Q_OBJECT

private slots:
    void questionsAreTakenAndThePaperKept()
    {
        AppFolder learner;
        learner.writeBank();
        writeLearnerBank(learner.file(QStringLiteral("Drive.mdb")));
        AppFolder package;
        package.writeBank(newQuestions());

        QString error;
        QCOMPARE(refreshBank(learner.file(QStringLiteral("Drive.mdb")),
                             package.file(QStringLiteral("Drive.mdb")), &error),
                 4);
        QVERIFY2(error.isEmpty(), qPrintable(error));

        Bank bank(learner.file(QStringLiteral("Drive.mdb")));
        QCOMPARE(bank.column("SELECT ID FROM T_Topic ORDER BY ID"), QStringLiteral("1|2|3|9"));
        QVERIFY(bank.column("SELECT Content FROM T_Topic WHERE ID = 1").startsWith("新题一"));
        QCOMPARE(bank.column(kPaper), QStringLiteral("1:1:B:11|2:2:错:22"));
        QCOMPARE(bank.column("SELECT ID || ':' || Times FROM T_WrongBook"), QStringLiteral("2:3"));
        // The learner's version stays, so the program's own migration still sees it.
        QCOMPARE(bank.column("PRAGMA user_version"), QStringLiteral("5"));
        // The index the paper's draw reads comes along.
        QCOMPARE(bank.column("SELECT name FROM sqlite_master WHERE type = 'index' "
                             "AND tbl_name = 'T_Topic'"),
                 QStringLiteral("T_Topic_Type"));
        QCOMPARE(bank.column("PRAGMA integrity_check"), QStringLiteral("ok"));
    }

    void aChangedQuestionTableComesAlong()
    {
        AppFolder learner;
        learner.writeBank();
        writeLearnerBank(learner.file(QStringLiteral("Drive.mdb")));
        AppFolder package;
        package.writeBank(newQuestions());
        {
            Bank fresh(package.file(QStringLiteral("Drive.mdb")));
            QVERIFY(fresh.exec("ALTER TABLE T_Topic ADD COLUMN Chapter INTEGER DEFAULT 4"));
        }
        QString error;
        QCOMPARE(refreshBank(learner.file(QStringLiteral("Drive.mdb")),
                             package.file(QStringLiteral("Drive.mdb")), &error),
                 4);
        Bank bank(learner.file(QStringLiteral("Drive.mdb")));
        QCOMPARE(bank.column("SELECT Chapter FROM T_Topic WHERE ID = 9"), QStringLiteral("4"));
        QCOMPARE(bank.column(kPaper), QStringLiteral("1:1:B:11|2:2:错:22"));
    }

    void aFailureLeavesTheLearnersBank_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << QStringLiteral("missing");
        QTest::newRow("not a bank") << QStringLiteral("garbage");
        QTest::newRow("no questions") << QStringLiteral("noquestions");
    }

    void aFailureLeavesTheLearnersBank()
    {
        QFETCH(QString, kind);
        AppFolder learner;
        learner.writeBank();
        writeLearnerBank(learner.file(QStringLiteral("Drive.mdb")));
        const QByteArray before = learner.readFile(QStringLiteral("Drive.mdb"));
        AppFolder package;
        if (kind == QLatin1String("garbage")) {
            package.writeFile(QStringLiteral("Drive.mdb"), QByteArray(8192, 'x'));
        } else if (kind == QLatin1String("noquestions")) {
            package.writeBank(newQuestions());
            Bank fresh(package.file(QStringLiteral("Drive.mdb")));
            QVERIFY(fresh.exec("DROP TABLE T_Topic"));
        }
        QString error;
        QCOMPARE(refreshBank(learner.file(QStringLiteral("Drive.mdb")),
                             package.file(QStringLiteral("Drive.mdb")), &error),
                 -1);
        QVERIFY(!error.isEmpty());
        QCOMPARE(learner.readFile(QStringLiteral("Drive.mdb")), before);
        Bank bank(learner.file(QStringLiteral("Drive.mdb")));
        QCOMPARE(bank.column("SELECT count(*) FROM T_Topic"), QString::number(smallBank().size()));
    }

    void aLearnerBankThatIsNoBankIsReported()
    {
        AppFolder learner;
        learner.writeFile(QStringLiteral("Drive.mdb"), QByteArray("not a bank"));
        AppFolder package;
        package.writeBank(newQuestions());
        QString error;
        QCOMPARE(refreshBank(learner.file(QStringLiteral("Drive.mdb")),
                             package.file(QStringLiteral("Drive.mdb")), &error),
                 -1);
        QVERIFY(!error.isEmpty());
        QCOMPARE(learner.readFile(QStringLiteral("Drive.mdb")), QByteArray("not a bank"));
    }

    void theHelperProgram()
    {
        AppFolder learner;
        learner.writeBank();
        writeLearnerBank(learner.file(QStringLiteral("Drive.mdb")));
        AppFolder package;
        package.writeBank(newQuestions());
        QProcess helper;
        helper.start(QStringLiteral(TAVIRO_REFRESH), {learner.file(QStringLiteral("Drive.mdb")),
                                                      package.file(QStringLiteral("Drive.mdb"))});
        QVERIFY(helper.waitForFinished(60000));
        QCOMPARE(helper.exitCode(), 0);
        QCOMPARE(helper.readAllStandardOutput().trimmed(), QByteArray("4"));

        helper.start(QStringLiteral(TAVIRO_REFRESH),
                     {learner.file(QStringLiteral("Drive.mdb")), learner.file("absent.mdb")});
        QVERIFY(helper.waitForFinished(60000));
        QCOMPARE(helper.exitCode(), 1);
        QVERIFY(helper.readAllStandardError().contains("absent.mdb"));

        helper.start(QStringLiteral(TAVIRO_REFRESH), {learner.file(QStringLiteral("Drive.mdb"))});
        QVERIFY(helper.waitForFinished(60000));
        QCOMPARE(helper.exitCode(), 2);

        // Without a display the message goes to stderr only and nothing waits for a click.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        helper.setProcessEnvironment(env);
        helper.start(QStringLiteral(TAVIRO_REFRESH), {QStringLiteral("--message"), "无法建立"});
        QVERIFY(helper.waitForFinished(60000));
        QCOMPARE(helper.exitCode(), 0);
        QVERIFY(QString::fromLocal8Bit(helper.readAllStandardError()).contains("无法建立"));
    }
};

TAVIRO_TEST_MAIN(TestBankRefresh)
#include "tst_bankrefresh.moc"
