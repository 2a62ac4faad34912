// A package upgrade brings the learner's own bank up to the new questions: the learner's
// exam paper, wrong-question book and every other table stay and keep naming the same
// questions, whatever their new IDs; a failure leaves the bank as it was.
#include "data/Connection.h"
#include "tests/package/KeyedBank.h"
#include "tests/support/TestSupport.h"
#include "tools/refresh/BankRefresh.h"

#include <QDir>
#include <QProcess>
#include <QThread>
#include <cstring>

using namespace testing;

namespace {

BankRow keyed(BankRow row, const char* key)
{
    row.key = QString::fromLatin1(key);
    return row;
}

// The learner's bank before the upgrade: five questions, a paper of all five, three of
// them in the wrong-question book.
std::vector<BankRow> before()
{
    return {
        keyed(choiceRow(1, QStringLiteral("题一"), QStringLiteral("A")), "k-a"),
        keyed(trueFalseRow(2, QStringLiteral("题二"), QStringLiteral("√")), "k-b"),
        keyed(choiceRow(3, QStringLiteral("题三"), QStringLiteral("C")), "k-c"),
        keyed(choiceRow(4, QStringLiteral("题四"), QStringLiteral("D")), "k-d"),
        keyed(choiceRow(5, QStringLiteral("题五"), QStringLiteral("B")), "k-e"),
    };
}

// The new bank renumbers every question: a new one comes first, the fourth is gone and
// the fifth is now a true/false statement.
std::vector<BankRow> renumbered()
{
    return {
        keyed(trueFalseRow(1, QStringLiteral("新题"), QStringLiteral("×")), "k-new"),
        keyed(choiceRow(2, QStringLiteral("题一"), QStringLiteral("A")), "k-a"),
        keyed(trueFalseRow(3, QStringLiteral("题二"), QStringLiteral("√")), "k-b"),
        keyed(choiceRow(4, QStringLiteral("题三，改了措辞"), QStringLiteral("C")), "k-c"),
        keyed(trueFalseRow(5, QStringLiteral("题五"), QStringLiteral("×")), "k-e"),
    };
}

void writeRecord(const QString& path)
{
    Bank bank(path);
    QVERIFY(bank.exec("DELETE FROM T_TopicTmp"));
    QVERIFY(bank.exec("INSERT INTO T_TopicTmp (ID, Type, TopicNo, Result, RandomID) VALUES "
                      "(1, 0, 1, 'A', 11), (2, 1, 2, '√', 22), (3, 0, 3, 'B', 33), "
                      "(4, 0, 4, 'D', 44), (5, 0, 5, 'B', 55)"));
    QVERIFY(bank.exec("CREATE TABLE T_WrongBook (ID INTEGER PRIMARY KEY, "
                      "Misses INTEGER NOT NULL DEFAULT 0, LastMissed TEXT)"));
    QVERIFY(bank.exec("INSERT INTO T_WrongBook VALUES (2, 1, 'x'), (3, 2, 'y'), (4, 1, 'z')"));
}

// A bank as the first release wrote it: the same questions, without their keys.
void dropKeys(const QString& path)
{
    Bank bank(path);
    QVERIFY(bank.exec("CREATE TABLE T_Old AS SELECT ID, Type, Content, Result, Source, Explain, "
                      "Picture FROM T_Topic"));
    QVERIFY(bank.exec("DROP TABLE T_Topic"));
    QVERIFY(bank.exec("ALTER TABLE T_Old RENAME TO T_Topic"));
    // And without its log, as a refresh cut off after its commit would leave the file:
    // the next refresh gives it the new bank's.
    QCOMPARE(bank.column("PRAGMA journal_mode=DELETE"), QStringLiteral("delete"));
}

std::vector<QuestionKey::Entry> firstReleaseOf(const std::vector<BankRow>& rows)
{
    std::vector<QuestionKey::Entry> entries;
    for (const BankRow& r : rows) {
        entries.push_back({r.id, QuestionKey::legacyDigest(r.type, r.content, r.result), r.key, 0});
    }
    return entries;
}

// Each learner row by the key of the question it names.
const char kPaperByKey[] = "SELECT b.TopicNo || ':' || t.QKey || ':' || b.Type || ':' || "
                           "COALESCE(b.Result, '-') || ':' || b.RandomID FROM T_TopicTmp b "
                           "JOIN T_Topic t ON t.ID = b.ID ORDER BY b.TopicNo";
const char kBookByKey[] = "SELECT t.QKey || ':' || w.Misses || ':' || w.LastMissed "
                          "FROM T_WrongBook w JOIN T_Topic t ON t.ID = w.ID ORDER BY t.QKey";
const char kUnnamed[] = "SELECT (SELECT count(*) FROM T_TopicTmp WHERE ID NOT IN "
                        "(SELECT ID FROM T_Topic)) + (SELECT count(*) FROM T_WrongBook WHERE ID "
                        "NOT IN (SELECT ID FROM T_Topic))";

// Subject four's questions of (ID, key, type, chapter) in the bank's table of them.
void addSubjectFour(const QString& path, const char* questions)
{
    Bank bank(path);
    QVERIFY(bank.exec((QByteArray("INSERT INTO T_SafeTopic (ID, QKey, Type, Chapter, Content, "
                                  "Result) VALUES ") +
                       questions)
                          .constData()));
}

bool refuseCommit(const char* sql)
{
    return std::strcmp(sql, "COMMIT") == 0;
}

QStringList leftovers(const AppFolder& folder)
{
    return QDir(folder.path())
        .entryList({QStringLiteral(".Drive.mdb.new*")}, QDir::Files | QDir::Hidden);
}

} // namespace

class TestBankRefresh : public QObject
{
    Q_OBJECT

private slots:
    void learnerRowsKeepTheirQuestions_data()
    {
        QTest::addColumn<bool>("firstRelease");
        QTest::newRow("a keyed bank") << false;
        QTest::newRow("a bank of the first release") << true;
    }

    void learnerRowsKeepTheirQuestions()
    {
        QFETCH(bool, firstRelease);
        AppFolder learner;
        learner.writeBank(before());
        const QString path = learner.file(QStringLiteral("Drive.mdb"));
        writeRecord(path);
        if (firstRelease) {
            dropKeys(path);
        }
        AppFolder package;
        package.writeBank(renumbered());

        QString error;
        RefreshReport report;
        QVERIFY2(refreshBank(path, package.file(QStringLiteral("Drive.mdb")),
                             firstReleaseOf(before()), &report, &error),
                 qPrintable(error));
        QCOMPARE(report.questions, 5);
        QCOMPARE(report.dropped, 2); // the paper's and the book's row of the removed question
        QCOMPARE(report.cleared, 1); // the choice answer to what is now a statement

        Bank bank(path);
        QCOMPARE(bank.column(kPaperByKey),
                 QStringLiteral("1:k-a:0:A:11|2:k-b:1:√:22|3:k-c:0:B:33|5:k-e:1:-:55"));
        QCOMPARE(bank.column(kBookByKey), QStringLiteral("k-b:1:x|k-c:2:y"));
        QCOMPARE(bank.column(kUnnamed), QStringLiteral("0"));
        QCOMPARE(bank.column("SELECT Content FROM T_Topic WHERE QKey = 'k-c'"),
                 QStringLiteral("题三，改了措辞\r\nA、一\r\nB、二\r\nC、三\r\nD、四"));
        QCOMPARE(bank.column("PRAGMA integrity_check"), QStringLiteral("ok"));
        QVERIFY(leftovers(learner).isEmpty());
        // The copy went through the rollback journal; the file has its log after it.
        QCOMPARE(bank.column("PRAGMA journal_mode"), QStringLiteral("wal"));
        QCOMPARE(bank.column("SELECT count(*) FROM sqlite_master WHERE name LIKE 'refresh%'"),
                 QStringLiteral("0"));

        // A second refresh into the same bank changes nothing.
        QVERIFY(refreshBank(path, package.file(QStringLiteral("Drive.mdb")), {}, &report, &error));
        QCOMPARE(report.dropped + report.cleared, 0);
        QCOMPARE(bank.column(kPaperByKey),
                 QStringLiteral("1:k-a:0:A:11|2:k-b:1:√:22|3:k-c:0:B:33|5:k-e:1:-:55"));
    }

    void subjectFourRowsKeepTheirQuestions()
    {
        AppFolder learner;
        learner.writeBank(before());
        const QString path = learner.file(QStringLiteral("Drive.mdb"));
        addSubjectFour(path, "(1, 's4-a', 2, 1, '多', 'AB'), (2, 's4-b', 1, 2, '判', '√'), "
                             "(3, 's4-c', 0, 3, '单', 'C')");
        {
            Bank bank(path);
            QVERIFY(bank.exec("INSERT INTO T_SafePaper (ID, Type, Chapter, TopicNo, Result, "
                              "RandomID) VALUES (1, 2, 1, 1, 'AB', 1), (2, 1, 2, 2, '√', 2), "
                              "(3, 0, 3, 3, 'C', 3)"));
            // The book of both subjects; subject one's question 2 and subject four's 1 and 3.
            QVERIFY(bank.exec("CREATE TABLE T_WrongBook (Subject INTEGER NOT NULL DEFAULT 1, "
                              "ID INTEGER NOT NULL, Misses INTEGER, LastMissed TEXT, "
                              "PRIMARY KEY (Subject, ID))"));
            QVERIFY(bank.exec("INSERT INTO T_WrongBook VALUES (1, 2, 1, 'x'), (4, 1, 1, 'y'), "
                              "(4, 3, 2, 'z')"));
        }
        AppFolder package;
        package.writeBank(renumbered());
        addSubjectFour(package.file(QStringLiteral("Drive.mdb")),
                       "(1, 's4-new', 1, 1, '新', '×'), (2, 's4-a', 2, 1, '多', 'AB'), "
                       "(3, 's4-c', 0, 4, '单', 'C')");

        QString error;
        RefreshReport report;
        QVERIFY2(refreshBank(path, package.file(QStringLiteral("Drive.mdb")), {}, &report, &error),
                 qPrintable(error));
        QCOMPARE(report.dropped, 1); // the paper's row of the removed statement
        Bank bank(path);
        QCOMPARE(bank.column("SELECT b.TopicNo || ':' || t.QKey || ':' || b.Type || ':' || "
                             "b.Chapter || ':' || b.Result FROM T_SafePaper b JOIN T_SafeTopic t "
                             "ON t.ID = b.ID ORDER BY b.TopicNo"),
                 QStringLiteral("1:s4-a:2:1:AB|3:s4-c:0:4:C"));
        QCOMPARE(bank.column("SELECT w.Subject || ':' || COALESCE(a.QKey, b.QKey) || ':' || "
                             "w.Misses FROM T_WrongBook w LEFT JOIN T_Topic a ON w.Subject = 1 "
                             "AND a.ID = w.ID LEFT JOIN T_SafeTopic b ON w.Subject = 4 AND "
                             "b.ID = w.ID ORDER BY w.Subject, w.ID"),
                 QStringLiteral("1:k-b:1|4:s4-a:1|4:s4-c:2"));
    }

    // The answer log, the stars, the places and the random order name questions by key:
    // the rows of a removed question go, the others stay as they were, whatever the IDs.
    void tablesByKeyKeepTheQuestionsStillThere()
    {
        AppFolder learner;
        learner.writeBank(before());
        const QString path = learner.file(QStringLiteral("Drive.mdb"));
        {
            Bank bank(path);
            QVERIFY(bank.exec("CREATE TABLE T_AnswerLog (LogID INTEGER PRIMARY KEY, Subject "
                              "INTEGER NOT NULL, QKey TEXT NOT NULL, Mode INTEGER NOT NULL, "
                              "Answer TEXT, IsRight INTEGER NOT NULL, AnsweredAt TEXT NOT NULL)"));
            QVERIFY(bank.exec("INSERT INTO T_AnswerLog VALUES (1, 1, 'k-a', 0, 'A', 1, 't'), "
                              "(2, 1, 'k-d', 0, 'A', 0, 't'), (3, 4, 'k-d', 3, 'A', 0, 't')"));
            QVERIFY(bank.exec("CREATE TABLE T_Starred (Subject INTEGER NOT NULL, QKey TEXT NOT "
                              "NULL, StarredAt TEXT, PRIMARY KEY (Subject, QKey))"));
            QVERIFY(bank.exec("INSERT INTO T_Starred VALUES (1, 'k-d', 't'), (1, 'k-e', 't')"));
            QVERIFY(bank.exec("CREATE TABLE T_StudyPlace (Subject INTEGER NOT NULL, Place TEXT "
                              "NOT NULL, QKey TEXT NOT NULL, PRIMARY KEY (Subject, Place))"));
            QVERIFY(bank.exec("INSERT INTO T_StudyPlace VALUES (1, 'sequential', 'k-c')"));
            QVERIFY(bank.exec("CREATE TABLE T_RandomOrder (Subject INTEGER NOT NULL, Seq "
                              "INTEGER NOT NULL, QKey TEXT NOT NULL, PRIMARY KEY (Subject, "
                              "Seq))"));
            QVERIFY(bank.exec("INSERT INTO T_RandomOrder VALUES (1, 1, 'k-d'), (1, 2, 'k-a')"));
        }
        AppFolder package;
        package.writeBank(renumbered());
        QString error;
        RefreshReport report;
        QVERIFY2(refreshBank(path, package.file(QStringLiteral("Drive.mdb")), {}, &report, &error),
                 qPrintable(error));
        // k-d's two answers (neither bank's subject four has it), its star and its place in
        // the order.
        QCOMPARE(report.dropped, 4);
        Bank bank(path);
        QCOMPARE(bank.column("SELECT LogID || ':' || Subject || ':' || QKey FROM T_AnswerLog "
                             "ORDER BY LogID"),
                 QStringLiteral("1:1:k-a"));
        QCOMPARE(bank.column("SELECT QKey FROM T_Starred"), QStringLiteral("k-e"));
        QCOMPARE(bank.column("SELECT t.ID FROM T_StudyPlace p JOIN T_Topic t ON t.QKey = p.QKey"),
                 QStringLiteral("4"));
        QCOMPARE(bank.column("SELECT Seq || ':' || QKey FROM T_RandomOrder"),
                 QStringLiteral("2:k-a"));
    }

    void questionsAreTakenAndTheRestKept()
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
        RefreshReport report;
        QVERIFY(refreshBank(learner.file(QStringLiteral("Drive.mdb")),
                            package.file(QStringLiteral("Drive.mdb")), {}, &report, &error));
        QCOMPARE(report.questions, 4);

        Bank bank(learner.file(QStringLiteral("Drive.mdb")));
        QCOMPARE(bank.column("SELECT ID FROM T_Topic ORDER BY ID"), QStringLiteral("1|2|3|9"));
        QVERIFY(bank.column("SELECT Content FROM T_Topic WHERE ID = 1").startsWith("新题一"));
        QCOMPARE(bank.column(kPaper), QStringLiteral("1:1:B:11|2:2:错:22"));
        QCOMPARE(bank.column("SELECT ID || ':' || Times FROM T_WrongBook"), QStringLiteral("2:3"));
        // A changed layout of the questions comes along, with the index the draw reads.
        QCOMPARE(bank.column("SELECT Chapter FROM T_Topic WHERE ID = 9"), QStringLiteral("4"));
        QCOMPARE(bank.column("SELECT name FROM sqlite_master WHERE type = 'index' "
                             "AND tbl_name = 'T_Topic' AND sql IS NOT NULL"),
                 QStringLiteral("T_Topic_Type"));
        // The learner's version stays, so the program's own migration still sees it.
        QCOMPARE(bank.column("PRAGMA user_version"), QStringLiteral("5"));
    }

    void aFailureLeavesTheLearnersBank_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << QStringLiteral("missing");
        QTest::newRow("not a bank") << QStringLiteral("garbage");
        QTest::newRow("no questions") << QStringLiteral("noquestions");
        QTest::newRow("questions without keys") << QStringLiteral("nokeys");
        QTest::newRow("refused at the commit") << QStringLiteral("commit");
    }

    void aFailureLeavesTheLearnersBank()
    {
        QFETCH(QString, kind);
        AppFolder learner;
        learner.writeBank();
        writeLearnerBank(learner.file(QStringLiteral("Drive.mdb")));
        AppFolder package;
        if (kind == QLatin1String("garbage")) {
            package.writeFile(QStringLiteral("Drive.mdb"), QByteArray(8192, 'x'));
        } else if (kind != QLatin1String("missing")) {
            package.writeBank(newQuestions());
            Bank fresh(package.file(QStringLiteral("Drive.mdb")));
            if (kind == QLatin1String("noquestions")) {
                QVERIFY(fresh.exec("DROP TABLE T_Topic"));
            } else if (kind == QLatin1String("nokeys")) {
                fresh.exec("CREATE TABLE T_Old AS SELECT ID, Type, Content FROM T_Topic");
                QVERIFY(fresh.exec("DROP TABLE T_Topic"));
                QVERIFY(fresh.exec("ALTER TABLE T_Old RENAME TO T_Topic"));
            }
        }
        if (kind == QLatin1String("commit")) {
            setStorageRefusal(refuseCommit);
        }
        QString error;
        RefreshReport report;
        const bool done =
            refreshBank(learner.file(QStringLiteral("Drive.mdb")),
                        package.file(QStringLiteral("Drive.mdb")), {}, &report, &error);
        setStorageRefusal(nullptr);
        QVERIFY(!done);
        QVERIFY(!error.isEmpty());
        QVERIFY(leftovers(learner).isEmpty());
        Bank bank(learner.file(QStringLiteral("Drive.mdb")));
        QCOMPARE(bank.column("SELECT ID FROM T_Topic ORDER BY ID"),
                 QStringLiteral("1|2|3|4|442|443"));
        QCOMPARE(bank.column(kPaper), QStringLiteral("1:1:B:11|2:2:错:22"));
        QCOMPARE(bank.column("PRAGMA integrity_check"), QStringLiteral("ok"));
        QCOMPARE(bank.column("PRAGMA journal_mode"), QStringLiteral("wal"));
    }

    void aLearnerBankThatIsNoBankIsReported()
    {
        AppFolder learner;
        learner.writeFile(QStringLiteral("Drive.mdb"), QByteArray("not a bank"));
        AppFolder package;
        package.writeBank(newQuestions());
        QString error;
        RefreshReport report;
        QVERIFY(!refreshBank(learner.file(QStringLiteral("Drive.mdb")),
                             package.file(QStringLiteral("Drive.mdb")), {}, &report, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(learner.readFile(QStringLiteral("Drive.mdb")), QByteArray("not a bank"));
    }

    // A refresh killed at any moment leaves a whole bank with the learner's paper, which a
    // refresh started again then completes. On the built bank, whose copy takes about a
    // second, the kills fall before, during and after the commit.
    void aKilledRefreshLeavesTheBankWhole()
    {
        const QString built = QStringLiteral(TAVIRO_APP_DIR "/Drive.mdb");
        AppFolder learner;
        const QString path = learner.file(QStringLiteral("Drive.mdb"));
        for (const int ms : {150, 500, 900, 1300}) {
            QFile::remove(path);
            QVERIFY(QFile::copy(built, path));
            {
                Bank bank(path);
                QVERIFY(bank.exec("DELETE FROM T_TopicTmp"));
                QVERIFY(bank.exec("INSERT INTO T_TopicTmp (ID, Type, TopicNo, Result, RandomID) "
                                  "VALUES (1, 0, 1, 'B', 11)"));
            }
            QProcess helper;
            helper.start(QStringLiteral(TAVIRO_REFRESH), {path, built});
            QVERIFY(helper.waitForStarted());
            QThread::msleep(ms);
            helper.kill();
            QVERIFY(helper.waitForFinished(60000));
            {
                Bank bank(path);
                QCOMPARE(bank.column("PRAGMA integrity_check"), QStringLiteral("ok"));
                QCOMPARE(bank.column(kPaper), QStringLiteral("1:1:B:11"));
                QCOMPARE(bank.column("SELECT count(*) FROM T_Topic"), QStringLiteral("1600"));
                QCOMPARE(bank.column("SELECT count(*) FROM sqlite_master WHERE name LIKE "
                                     "'refresh%'"),
                         QStringLiteral("0"));
            }
            helper.start(QStringLiteral(TAVIRO_REFRESH), {path, built});
            QVERIFY(helper.waitForFinished(60000));
            QCOMPARE(helper.exitCode(), 0);
            QCOMPARE(Bank(path).column("PRAGMA journal_mode"), QStringLiteral("wal"));
        }
    }

    void theHelperProgram()
    {
        // It knows the first release's questions by heart.
        QVERIFY(firstReleaseKeys().size() >= 1600);

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
        QCOMPARE(helper.readAllStandardOutput(), QByteArray("questions=4\ndropped=0\ncleared=0\n"));

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
