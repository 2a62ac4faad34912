// Opening the keyed bank: the connection string, the password and every way the file
// can be unfit. A file that cannot be opened is never replaced by a new empty one. The
// ends of transactions that the engine refuses, and who says so.
#include "data/Connection.h"
#include "data/DBEngine.h"
#include "data/DMUnit.h"
#include "data/DataError.h"
#include "data/Paths.h"
#include "exampaper/StudyRecord.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testing;

namespace {

// The statements the engine is made to refuse, matched by their start.
QStringList g_refused;

bool refused(const char* sql)
{
    const QString text = QString::fromUtf8(sql);
    return std::any_of(g_refused.begin(), g_refused.end(),
                       [&](const QString& start) { return text.startsWith(start); });
}

struct Refusal
{
    explicit Refusal(const QStringList& statements)
    {
        g_refused = statements;
        setStorageRefusal(refused);
    }
    explicit Refusal(const char* sql)
        : Refusal(QStringList{QString::fromLatin1(sql)})
    {}
    ~Refusal()
    {
        setStorageRefusal(nullptr);
        g_refused.clear();
    }
};

} // namespace

class TestConnection : public QObject
{
    Q_OBJECT

    // Opens the bank of a folder as the program does; returns the error text, empty
    // when it opened.
    static QString tryOpen(const QString& folder)
    {
        Connection c;
        c.connectionString = bankConnectionString(folder);
        try {
            c.open();
        } catch (const DatabaseError& e) {
            return e.message();
        }
        return c.connected() ? QString() : QStringLiteral("not connected");
    }

private slots:
    void parsesTheBankConnectionString()
    {
        ConnectionSettings s;
        QString error;
        QVERIFY(
            parseConnectionString(bankConnectionString(QStringLiteral("/opt/study")), &s, &error));
        QCOMPARE(s.provider, QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
        QCOMPARE(s.dataSource, QStringLiteral("/opt/study/Drive.mdb"));
        QCOMPARE(s.password, QStringLiteral("※题库数据·仅供练习※"));
        QCOMPARE(bankConnectionString(QStringLiteral("/opt/study")),
                 QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;"
                                "Jet OLEDB:Database Password=※题库数据·仅供练习※;"
                                "Data Source=/opt/study/Drive.mdb"));
    }

    void rejectsUnfitConnectionStrings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("no data source") << QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0");
        QTest::newRow("other provider") << QStringLiteral("Provider=SQLOLEDB;Data Source=x");
        QTest::newRow("open quote")
            << QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"x");
        QTest::newRow("no equals sign")
            << QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;junk;Data Source=x");
    }

    void rejectsUnfitConnectionStrings()
    {
        QFETCH(QString, text);
        ConnectionSettings s;
        QString error;
        QVERIFY(!parseConnectionString(text, &s, &error));
        QVERIFY(!error.isEmpty());
    }

    void quotedValuesMayHoldSemicolons()
    {
        ConnectionSettings s;
        QString error;
        QVERIFY(parseConnectionString(
            QStringLiteral("provider=microsoft.jet.oledb.4.0; Data Source=\"/a;b/Drive.mdb\" ;"),
            &s, &error));
        QCOMPARE(s.dataSource, QStringLiteral("/a;b/Drive.mdb"));
    }

    void anyFolderReadsBackFromTheConnectionString_data()
    {
        QTest::addColumn<QString>("folder");
        for (const auto& [tag, relative] : awkwardFolderNames()) {
            QTest::newRow(qPrintable(tag)) << QStringLiteral("/home/学员/") + relative;
        }
        QTest::newRow("doubled quotes") << QStringLiteral("/a\"\"b\"");
        QTest::newRow("quote first") << QStringLiteral("'quoted'");
        QTest::newRow("very long") << QStringLiteral("/") + QString(5000, QChar(0x9A7E));
    }

    void anyFolderReadsBackFromTheConnectionString()
    {
        QFETCH(QString, folder);
        ConnectionSettings s;
        QString error;
        QVERIFY2(parseConnectionString(bankConnectionString(folder), &s, &error),
                 qPrintable(error));
        QCOMPARE(s.dataSource, joinPath(folder, QStringLiteral("Drive.mdb")));
        QCOMPARE(s.password, TDM::kPassword);
        QCOMPARE(s.provider, QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
    }

    void quotingFollowsTheConnectionStringConvention()
    {
        QCOMPARE(connectionStringValue(QStringLiteral("/opt/a b/Drive.mdb")),
                 QStringLiteral("/opt/a b/Drive.mdb"));
        QCOMPARE(connectionStringValue(QStringLiteral("/a;b/Drive.mdb")),
                 QStringLiteral("\"/a;b/Drive.mdb\""));
        QCOMPARE(connectionStringValue(QStringLiteral("/say \"hi\"")),
                 QStringLiteral("\"/say \"\"hi\"\"\""));
        ConnectionSettings s;
        QString error;
        const QString head = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=");
        // Single quotes serve too, doubled inside; a quote inside an unquoted value is
        // part of it.
        QVERIFY(parseConnectionString(head + QStringLiteral("'/it''s;x/Drive.mdb'"), &s, &error));
        QCOMPARE(s.dataSource, QStringLiteral("/it's;x/Drive.mdb"));
        QVERIFY(parseConnectionString(head + QStringLiteral("/it's mine/Drive.mdb"), &s, &error));
        QCOMPARE(s.dataSource, QStringLiteral("/it's mine/Drive.mdb"));
        QVERIFY(parseConnectionString(head + QStringLiteral(" \" a=b \" ;"), &s, &error));
        QCOMPARE(s.dataSource, QStringLiteral(" a=b "));
        // Text after the closing quote is no part of any value.
        QVERIFY(!parseConnectionString(head + QStringLiteral("\"/a\"b"), &s, &error));
        QVERIFY(!error.isEmpty());
    }

    void opensTheBankOfAnyFolder_data()
    {
        QTest::addColumn<QString>("relative");
        for (const auto& [tag, relative] : awkwardFolderNames()) {
            QTest::newRow(qPrintable(tag)) << relative;
        }
    }

    void opensTheBankOfAnyFolder()
    {
        QFETCH(QString, relative);
        AppFolder base;
        const QString folder = makeBankFolder(base.path(), relative);
        QCOMPARE(tryOpen(folder), QString());
    }

    void passwordIsKeyedAsGbk()
    {
        QByteArray key;
        QString error;
        QVERIFY(passwordKey(TDM::kPassword, &key, &error));
        QCOMPARE(key.size(), 22);
        QCOMPARE(key.toHex(), QByteArray("a1f9cce2bfe2cafdbedda1a4bdf6b9a9c1b7cfb0a1f9"));
        QVERIFY(!passwordKey(QStringLiteral("😀"), &key, &error));
    }

    void opensAGoodBankAndWritesNothing()
    {
        AppFolder folder;
        folder.writeBank();
        const QByteArray before = folder.readFile(QStringLiteral("Drive.mdb"));
        QCOMPARE(tryOpen(folder.path()), QString());
        QCOMPARE(folder.readFile(QStringLiteral("Drive.mdb")), before);
    }

    void willConnectHandlerSuppliesTheString()
    {
        AppFolder folder;
        folder.writeBank();
        Connection c;
        int calls = 0;
        c.OnWillConnect = [&](Connection&, QString& cs, QString&, QString&, int&, EventStatus& st) {
            ++calls;
            QCOMPARE(st, EventStatus::OK);
            cs = bankConnectionString(folder.path());
        };
        c.open();
        QVERIFY(c.connected());
        QCOMPARE(calls, 1);
        QVERIFY(c.connectionString.isEmpty()); // the password is never kept
        c.open();                              // already open: no second connect
        QCOMPARE(calls, 1);
    }

    void unfitFilesFailAndStayAsTheyWere_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("present");
        QByteArray random(8192, '\0');
        QRandomGenerator gen(7);
        for (char& c : random) {
            c = char(gen.bounded(256));
        }
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("zero bytes") << QByteArray() << true;
        QTest::newRow("random bytes") << random << true;
        QTest::newRow("plain text") << QByteArray("Standard Jet DB\n") << true;
    }

    void unfitFilesFailAndStayAsTheyWere()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, present);
        AppFolder folder;
        if (present) {
            folder.writeFile(QStringLiteral("Drive.mdb"), bytes);
        }
        QVERIFY(!tryOpen(folder.path()).isEmpty());
        QCOMPARE(QFile::exists(folder.file(QStringLiteral("Drive.mdb"))), present);
        if (present) {
            QCOMPARE(folder.readFile(QStringLiteral("Drive.mdb")), bytes);
        }
    }

    void bankKeyedWithAnotherPasswordFails()
    {
        AppFolder folder;
        QString error;
        sqlite3* db =
            openKeyedDatabase(folder.file(QStringLiteral("Drive.mdb")), "another", true, &error);
        QVERIFY2(db, qPrintable(error));
        QCOMPARE(sqlite3_exec(db, "CREATE TABLE T_Topic(ID INTEGER)", nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(db);
        const QByteArray before = folder.readFile(QStringLiteral("Drive.mdb"));
        QVERIFY(!tryOpen(folder.path()).isEmpty());
        QCOMPARE(folder.readFile(QStringLiteral("Drive.mdb")), before);
    }

    void folderInPlaceOfTheFileFails()
    {
        AppFolder folder;
        QDir(folder.path()).mkdir(QStringLiteral("Drive.mdb"));
        QVERIFY(!tryOpen(folder.path()).isEmpty());
    }

    void readOnlyFileFails()
    {
        AppFolder folder;
        folder.writeBank();
        const QString bank = folder.file(QStringLiteral("Drive.mdb"));
        QFile::setPermissions(bank, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        if (geteuid() != 0) {
            QVERIFY(!tryOpen(folder.path()).isEmpty());
            return;
        }
        // Root writes read-only files anyway: look with the eyes of an ordinary user,
        // who can open the same bank once it is writable.
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ExeOwner | QFile::ReadOther |
                                                 QFile::ExeOther | QFile::WriteOther);
        auto opensAsNobody = [&] {
            const pid_t child = fork();
            if (child == 0) {
                if (setgid(65534) != 0 || setuid(65534) != 0) {
                    _exit(3);
                }
                _exit(tryOpen(folder.path()).isEmpty() ? 0 : 1);
            }
            int status = 0;
            waitpid(child, &status, 0);
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        };
        QCOMPARE(opensAsNobody(), 1);
        QFile::setPermissions(bank, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther |
                                        QFile::WriteOther);
        QCOMPARE(opensAsNobody(), 0);
    }

    void refusedSettingsFailTheOpen_data()
    {
        QTest::addColumn<QByteArray>("refused");
        QTest::newRow("synchronous writes") << QByteArray("PRAGMA synchronous=FULL");
        QTest::newRow("key derivation") << QByteArray("PRAGMA cipher_default_kdf_iter");
    }

    void refusedSettingsFailTheOpen()
    {
        QFETCH(QByteArray, refused);
        AppFolder folder;
        folder.writeBank();
        const QByteArray before = folder.readFile(QStringLiteral("Drive.mdb"));
        {
            const Refusal refusal(refused.constData());
            const QString error = tryOpen(folder.path());
            QVERIFY2(error.contains(QString::fromLatin1(refused)), qPrintable(error));
        }
        QCOMPARE(folder.readFile(QStringLiteral("Drive.mdb")), before);
        QCOMPARE(tryOpen(folder.path()), QString());
    }

    void refusedTransactionEndsAreReported()
    {
        AppFolder folder;
        folder.writeBank();
        Connection c;
        c.connectionString = bankConnectionString(folder.path());
        c.open();
        auto rows = [&] {
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(c.handle(), "SELECT count(*) FROM T_TopicTmp", -1, &st, nullptr);
            sqlite3_step(st);
            const int n = sqlite3_column_int(st, 0);
            sqlite3_finalize(st);
            return n;
        };
        auto insert = [&] {
            return sqlite3_exec(c.handle(), "INSERT INTO T_TopicTmp(ID,Type) VALUES(1,0)", nullptr,
                                nullptr, nullptr);
        };
        {
            // A refused commit is an error, and what the transaction wrote is gone.
            const Refusal refusal("COMMIT");
            c.beginTransaction();
            QCOMPARE(insert(), SQLITE_OK);
            QVERIFY_THROWS_EXCEPTION(DatabaseError, c.commit());
            QVERIFY(!c.inTransaction());
            QCOMPARE(rows(), 0);
        }
        {
            const Refusal refusal("ROLLBACK");
            // A transaction block that ends without its commit cannot throw; it says why.
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^taviro: rollback failed: "));
            {
                Transaction t(c);
                QCOMPARE(insert(), SQLITE_OK);
            }
            QVERIFY(c.inTransaction());
            QVERIFY_THROWS_EXCEPTION(DatabaseError, c.rollback());
        }
        c.rollback();
        QVERIFY(!c.inTransaction());
        QCOMPARE(rows(), 0);
    }

    void refusedEndsFailTheRecordAndTheCompaction_data()
    {
        QTest::addColumn<QString>("work");
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<QString>("told");
        const QString commit = QStringLiteral("COMMIT");
        const QString rollback = QStringLiteral("ROLLBACK");
        QTest::newRow("record, commit") << "record" << QStringList{commit} << "提交事务失败";
        QTest::newRow("record, commit and rollback")
            << "record" << QStringList{commit, rollback} << "撤销事务也失败了";
        QTest::newRow("record, write and rollback")
            << "broken record" << QStringList{rollback} << "撤销事务失败";
        QTest::newRow("compaction, commit") << "compaction" << QStringList{commit} << "COMMIT";
        QTest::newRow("compaction, commit and rollback")
            << "compaction" << QStringList{commit, rollback} << "撤销事务也失败了";
    }

    void refusedEndsFailTheRecordAndTheCompaction()
    {
        QFETCH(QString, work);
        QFETCH(QStringList, refused);
        QFETCH(QString, told);
        AppFolder folder;
        folder.writeBank();
        folder.exec(QStringLiteral("INSERT INTO T_TopicTmp(ID,Type,TopicNo) "
                                   "SELECT ID,Type,ID FROM T_Topic"));
        if (work == QLatin1String("broken record")) {
            folder.exec(QStringLiteral("ALTER TABLE T_TopicTmp RENAME TO Gone"));
        }
        if (work == QLatin1String("compaction")) {
            const QString copy = folder.file(QStringLiteral("copy.mdb"));
            QString error;
            {
                const Refusal refusal(refused);
                try {
                    DBEngine().CompactDatabase(folder.file(QStringLiteral("Drive.mdb")), copy,
                                               QString(), 0,
                                               QStringLiteral(";Pwd=") + TDM::kPassword);
                } catch (const DatabaseError& e) {
                    error = e.message();
                }
            }
            QVERIFY2(error.contains(told), qPrintable(error));
            QVERIFY(!QFile::exists(copy));
            QCOMPARE(tryOpen(folder.path()), QString());
            return;
        }
        Connection c;
        c.connectionString = bankConnectionString(folder.path());
        c.open();
        QString error;
        {
            const Refusal refusal(refused);
            QVERIFY(!StudyRecord::recordExam(c, subjectOne(), nullptr,
                                             QDateTime(QDate(2026, 3, 1), QTime(9, 0)),
                                             QStringLiteral("1"), nullptr, &error));
        }
        QVERIFY2(error.contains(told), qPrintable(error));
        c.rollback(); // what the refused rollback left open
        QCOMPARE(folder
                     .scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master "
                                            "WHERE name='T_ExamHistory'"))
                     .toInt(),
                 0);
    }

    void joinsPathsWithTheNativeSeparator()
    {
        QCOMPARE(joinPath(QStringLiteral("/opt/taviro"), QStringLiteral("Drive.mdb")),
                 QStringLiteral("/opt/taviro/Drive.mdb"));
        QCOMPARE(directoryOfExecutable(QStringLiteral("/opt/taviro/taviro")),
                 QStringLiteral("/opt/taviro"));
        // At the root the separator stays, so joined paths hold it twice.
        QCOMPARE(directoryOfExecutable(QStringLiteral("/taviro")), QStringLiteral("/"));
        QCOMPARE(
            joinPath(directoryOfExecutable(QStringLiteral("/taviro")), QStringLiteral("Drive.mdb")),
            QStringLiteral("//Drive.mdb"));
        // Known before the application object, and the same file it names afterwards.
        QCOMPARE(executablePathBeforeApplication(), QCoreApplication::applicationFilePath());
        QCOMPARE(nativeRelativePath(QStringLiteral("\\html\\Trafficrg1.htm")),
                 QStringLiteral("/html/Trafficrg1.htm"));
    }
};

TAVIRO_TEST_MAIN(TestConnection)
#include "tst_connection.moc"
