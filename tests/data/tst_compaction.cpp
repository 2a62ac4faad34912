// Compaction of the bank at start-up: the copy holds everything committed, including the
// last exam still in the WAL a killed program leaves, and nothing that can go wrong on
// the way (a kill at any moment, a leftover copy, a read-only folder, a damaged or busy
// file, a full disk) loses the bank or the last exam.
#include "app/MainUnit.h"
#include "app/Program.h"
#include "data/Clock.h"
#include "data/Compaction.h"
#include "data/Connection.h"
#include "data/DBEngine.h"
#include "data/DMUnit.h"
#include "data/DataError.h"
#include "data/Query.h"
#include "tests/support/TestSupport.h"
#include "toolkit/Application.h"

#include <QCryptographicHash>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QThread>
#include <limits>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testing;

namespace {

const QString kBank = QStringLiteral("Drive.mdb");
const QString kCopy = QStringLiteral("Drive.mdb#####");
const QStringList kBankFiles = {QStringLiteral("Drive.mdb"), QStringLiteral("Drive.mdb-wal"),
                                QStringLiteral("Drive.mdb-shm")};

struct RecordingHost : TDM::Host
{
    int failures = 0;
    void connectionFailed() override { ++failures; }
};

// What the learner must never lose: the whole bank and the last exam's answers.
struct BankState
{
    int topics = 0;
    QByteArray topicDigest;
    QStringList answers; // "TopicNo ID Result" of the last paper
    QString integrity;   // what integrity_check says
    bool operator==(const BankState&) const = default;
};

QByteArray text(sqlite3_stmt* st, int column)
{
    return QByteArray(static_cast<const char*>(sqlite3_column_blob(st, column)),
                      sqlite3_column_bytes(st, column));
}

BankState stateOf(sqlite3* db)
{
    BankState state;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT ID, Type, Content, Picture, Result FROM T_Topic ORDER BY ID", -1,
                       &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        ++state.topics;
        for (int c = 0; c < 5; ++c) {
            const QByteArray v = text(st, c);
            hash.addData(QByteArray::number(sqlite3_column_type(st, c)) + ':' +
                         QByteArray::number(v.size()) + ':' + v);
        }
    }
    sqlite3_finalize(st);
    state.topicDigest = hash.result().toHex();
    sqlite3_prepare_v2(
        db, "SELECT TopicNo, ID, Result FROM T_TopicTmp WHERE TopicNo > 0 ORDER BY TopicNo", -1,
        &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        state.answers << QString::fromUtf8(text(st, 0) + ' ' + text(st, 1) + ' ' + text(st, 2));
    }
    sqlite3_finalize(st);
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        state.integrity += QString::fromUtf8(text(st, 0));
    }
    sqlite3_finalize(st);
    return state;
}

int pragma(sqlite3* db, const char* sql)
{
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    const int value = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
    return value;
}

// Opens the bank of a folder with the program's own connection string.
struct OpenedBank
{
    explicit OpenedBank(const QString& folder)
    {
        connection.connectionString = bankConnectionString(folder);
        try {
            connection.open();
        } catch (const DatabaseError& e) {
            error = e.message();
        }
    }
    Connection connection;
    QString error;
};

BankState stateOfFolder(const QString& folder, QString* error)
{
    OpenedBank bank(folder);
    *error = bank.error;
    return bank.error.isEmpty() ? stateOf(bank.connection.handle()) : BankState();
}

ino_t inodeOf(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

void copyFiles(const QString& from, const QString& to, const QStringList& names)
{
    for (const QString& name : names) {
        QFile::remove(to + QLatin1Char('/') + name);
        if (QFile::exists(from + QLatin1Char('/') + name) &&
            !QFile::copy(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name)) {
            qFatal("cannot copy %s", qPrintable(name));
        }
    }
}

void runSql(Query& q, const QStringList& lines)
{
    q.close();
    q.SQL.clear();
    for (const QString& line : lines) {
        q.SQL.add(line);
    }
}

// A bank whose questions carry pictures of pictureBytes each, so that a copy of it takes
// a while.
std::vector<BankRow> bankWithPictures(int questions, int pictureBytes)
{
    std::vector<BankRow> rows;
    QRandomGenerator random(1600);
    for (int id = 1; id <= questions; ++id) {
        BankRow row = id % 3
                          ? choiceRow(id, QStringLiteral("第%1题").arg(id), QStringLiteral("B"))
                          : trueFalseRow(id, QStringLiteral("第%1题").arg(id), QStringLiteral("√"));
        if (pictureBytes > 0) {
            QByteArray picture(pictureBytes, Qt::Uninitialized);
            random.fillRange(reinterpret_cast<quint32*>(picture.data()), pictureBytes / 4);
            picture[0] = 'B';
            picture[1] = 'M';
            row.picture = picture;
        }
        rows.push_back(row);
    }
    return rows;
}

// Sits a mock exam on the bank of folder the way the exam screen writes it, and copies
// the files while the program still has them open: what a program killed right after
// the last answer leaves, with that answer only in the WAL. Returns what must survive.
BankState leaveLastExamInTheWal(const QString& folder, const QString& crashedCopy)
{
    Connection con;
    con.connectionString = bankConnectionString(folder);
    con.open();
    // Nothing moves the answers into the main file before the copy is taken.
    sqlite3_exec(con.handle(), "PRAGMA wal_autocheckpoint=0", nullptr, nullptr, nullptr);
    Query q(&con);
    runSql(q, {QStringLiteral(" DELETE FROM T_TopicTmp")});
    q.execSQL();
    runSql(q, {QStringLiteral(" INSERT INTO T_TopicTmp(ID,Type)"),
               QStringLiteral(" SELECT ID,Type FROM T_Topic")});
    q.execSQL();
    runSql(q, {QStringLiteral("SELECT TOP 100 ID,TopicNo FROM T_TopicTmp"),
               QStringLiteral(" WHERE ID > 0"), QStringLiteral(" ORDER BY RandomID")});
    q.open();
    for (int no = 1; !q.eof(); ++no, q.next()) {
        q.edit();
        q.fieldByName(QStringLiteral("TopicNo")).setAsInteger(no);
        q.post();
    }
    runSql(q, {QStringLiteral("DELETE FROM T_TopicTmp"), QStringLiteral(" WHERE TopicNo = 0")});
    q.execSQL();
    runSql(q, {QStringLiteral("SELECT TopicNo,Result"), QStringLiteral("  FROM T_TopicTmp"),
               QStringLiteral(" ORDER BY TopicNo")});
    q.open();
    const QStringList answers = {QStringLiteral("A"), QStringLiteral("√"), QStringLiteral("C"),
                                 QStringLiteral("×"), QString()};
    for (int i = 0; !q.eof(); ++i, q.next()) {
        if (!answers[i % answers.size()].isEmpty()) {
            q.edit();
            q.fieldByName(QStringLiteral("Result")).setAsString(answers[i % answers.size()]);
            q.post();
        }
    }
    q.close();
    if (pragma(con.handle(), "PRAGMA freelist_count") <= 0) {
        qFatal("the test bank has no free pages to compact");
    }
    copyFiles(folder, crashedCopy, kBankFiles);
    return stateOf(con.handle());
}

// A started-up data module in a process of its own.
struct ChildStart
{
    QProcess process;

    void start(const QString& folder, const QString& date, const QStringList& extra = {})
    {
        process.start(QStringLiteral(TAVIRO_STARTUP_CHILD), QStringList{folder, date} + extra);
        if (!process.waitForStarted()) {
            qFatal("cannot start the start-up child");
        }
        while (!process.canReadLine() && process.waitForReadyRead(10000)) {
        }
        if (process.readLine().trimmed() != "go") {
            qFatal("the start-up child did not start: %s",
                   process.readAllStandardError().constData());
        }
    }
    // "open" or "failed" and the milliseconds, once it has finished.
    QList<QByteArray> finish()
    {
        process.waitForFinished(60000);
        return process.readAll().trimmed().split(' ');
    }
};

} // namespace

class TestCompaction : public QObject
{
    Q_OBJECT

    // A small bank and a big one, each as a killed program left it.
    AppFolder m_small;
    AppFolder m_big;
    BankState m_smallState;
    BankState m_bigState;

    void restore(const AppFolder& crashed, const AppFolder& into)
    {
        copyFiles(crashed.path(), into.path(), kBankFiles);
    }

    // Leaves the main file alone, so that its bytes can be compared: any open folds a
    // WAL into it.
    static void forgetTheWal(const AppFolder& folder)
    {
        QFile::remove(folder.file(QStringLiteral("Drive.mdb-wal")));
        QFile::remove(folder.file(QStringLiteral("Drive.mdb-shm")));
    }

private slots:
    void initTestCase()
    {
        AppFolder work;
        std::vector<BankRow> rows = bankWithPictures(1600, 0);
        const std::vector<BankRow> pictures = smallBank();
        rows.insert(rows.end(), pictures.begin(), pictures.end());
        for (size_t i = rows.size() - pictures.size(); i < rows.size(); ++i) {
            rows[i].id = 2000 + int(i);
            rows[i].key = QStringLiteral("t-%1").arg(rows[i].id);
        }
        work.writeBank(rows);
        m_smallState = leaveLastExamInTheWal(work.path(), m_small.path());

        AppFolder bigWork;
        bigWork.writeBank(bankWithPictures(1600, 6 * 1024));
        m_bigState = leaveLastExamInTheWal(bigWork.path(), m_big.path());

        QCOMPARE(m_smallState.integrity, QStringLiteral("ok"));
        QCOMPARE(m_smallState.answers.size(), 100);
        QVERIFY(QFileInfo(m_small.file(QStringLiteral("Drive.mdb-wal"))).size() > 0);
    }

    void cleanup()
    {
        checkModalActions();
        QVERIFY(visibleWindows().isEmpty());
    }

    void engineCopiesEverythingCommitted()
    {
        AppFolder source;
        AppFolder target;
        restore(m_small, source);
        // A bank shared by the learners of a classroom stays shared.
        const auto shared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                            QFile::WriteGroup | QFile::ReadOther;
        QVERIFY(QFile::setPermissions(source.file(kBank), shared));
        DBEngine engine;
        engine.CompactDatabase(source.file(kBank), target.file(kBank), QString(), 0,
                               QStringLiteral(";Pwd=") + TDM::kPassword);
        struct stat info;
        QCOMPARE(::stat(QFile::encodeName(target.file(kBank)).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0664u);
        // The WAL went into the source, nothing stale stays beside it or the copy.
        QVERIFY(!QFile::exists(source.file(QStringLiteral("Drive.mdb-wal"))));
        QCOMPARE(QDir(target.path()).entryList(QDir::Files), QStringList{kBank});

        OpenedBank copy(target.path());
        QCOMPARE(copy.error, QString());
        QCOMPARE(stateOf(copy.connection.handle()), m_smallState);
        QCOMPARE(pragma(copy.connection.handle(), "PRAGMA user_version"), 1);
        QCOMPARE(pragma(copy.connection.handle(), "PRAGMA freelist_count"), 0);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(copy.connection.handle(), "PRAGMA journal_mode", -1, &st, nullptr);
        QCOMPARE(sqlite3_step(st), SQLITE_ROW);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))),
                 QByteArray("wal"));
        sqlite3_finalize(st);
        QVERIFY(QFileInfo(target.file(kBank)).size() < QFileInfo(source.file(kBank)).size());

        // A password in the destination locale keys the copy with it instead.
        AppFolder rekeyed;
        engine.CompactDatabase(source.file(kBank), rekeyed.file(kBank), QStringLiteral(";pwd=新"),
                               0, QStringLiteral(";Pwd=") + TDM::kPassword);
        QVERIFY(!OpenedBank(rekeyed.path()).error.isEmpty());
        QString error;
        sqlite3* db = openKeyedDatabase(rekeyed.file(kBank), QByteArray("\xd0\xc2"), false, &error);
        QVERIFY2(db, qPrintable(error));
        QCOMPARE(stateOf(db), m_smallState);
        sqlite3_close(db);
    }

    void engineRefusalsLeaveEverythingAsItWas_data()
    {
        QTest::addColumn<QString>("why");
        QTest::newRow("destination exists") << QStringLiteral("destination exists");
        QTest::newRow("other options") << QStringLiteral("options");
        QTest::newRow("wrong password") << QStringLiteral("wrong password");
        QTest::newRow("no password") << QStringLiteral("no password");
        QTest::newRow("no source") << QStringLiteral("no source");
        QTest::newRow("source is garbage") << QStringLiteral("garbage");
        QTest::newRow("source is empty") << QStringLiteral("empty");
        QTest::newRow("source damaged inside") << QStringLiteral("damaged");
        QTest::newRow("open in another connection") << QStringLiteral("busy");
        QTest::newRow("no folder for the copy") << QStringLiteral("no folder");
    }

    void engineRefusalsLeaveEverythingAsItWas()
    {
        QFETCH(QString, why);
        AppFolder source;
        AppFolder target;
        restore(m_small, source);
        QString destination = target.file(kBank);
        QString sourceLocale = QStringLiteral(";Pwd=") + TDM::kPassword;
        int options = 0;
        QByteArray garbage;
        std::unique_ptr<OpenedBank> holder;
        if (why == QLatin1String("destination exists")) {
            target.writeFile(kBank, "not to be touched");
        } else if (why == QLatin1String("options")) {
            options = 2;
        } else if (why == QLatin1String("wrong password")) {
            sourceLocale = QStringLiteral(";Pwd=另一个");
        } else if (why == QLatin1String("no password")) {
            sourceLocale.clear();
        } else if (why == QLatin1String("no source")) {
            QFile::remove(source.file(kBank));
        } else if (why == QLatin1String("garbage")) {
            garbage = QByteArray(20000, 'x');
            source.writeFile(kBank, garbage);
            forgetTheWal(source);
        } else if (why == QLatin1String("empty")) {
            source.writeFile(kBank, QByteArray());
            forgetTheWal(source);
        } else if (why == QLatin1String("damaged")) {
            restore(m_big, source);
            forgetTheWal(source);
            QFile f(source.file(kBank));
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(f.size() / 2);
            f.write(QByteArray(4096, '\0'));
            f.close();
            garbage = source.readFile(kBank);
        } else if (why == QLatin1String("busy")) {
            holder = std::make_unique<OpenedBank>(source.path());
            QCOMPARE(holder->error, QString());
        } else if (why == QLatin1String("no folder")) {
            destination = target.file(QStringLiteral("gone/Drive.mdb"));
        }
        const QStringList targetBefore = QDir(target.path()).entryList(QDir::Files);

        DBEngine engine;
        QVERIFY_THROWS_EXCEPTION(DatabaseError,
                                 engine.CompactDatabase(source.file(kBank), destination, QString(),
                                                        options, sourceLocale));

        QCOMPARE(QDir(target.path()).entryList(QDir::Files), targetBefore);
        if (why == QLatin1String("destination exists")) {
            QCOMPARE(target.readFile(kBank), QByteArray("not to be touched"));
        }
        if (!garbage.isEmpty() || why == QLatin1String("empty")) {
            QCOMPARE(source.readFile(kBank), garbage);
        } else if (holder) {
            QCOMPARE(stateOf(holder->connection.handle()), m_smallState);
        } else if (why != QLatin1String("no source")) {
            QString error;
            QCOMPARE(stateOfFolder(source.path(), &error), m_smallState);
            QCOMPARE(error, QString());
        }
    }

    void startsCompactOnTheTenthsOnly_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<bool>("compacts");
        for (int day : {9, 10, 11, 20, 30, 31}) {
            QTest::addRow("day %d", day) << QDate(2026, 1, day) << (day % 10 == 0);
        }
    }

    void startsCompactOnTheTenthsOnly()
    {
        QFETCH(QDate, date);
        QFETCH(bool, compacts);
        AppFolder folder;
        restore(m_small, folder);
        const QByteArray before = folder.readFile(kBank);
        const ino_t inode = inodeOf(folder.file(kBank));
        FixedClock clock(date);
        RecordingHost host;
        TDM dm(folder.path(), clock, host);
        dm.DataModuleCreate();
        QVERIFY(dm.ADOCon.connected());
        QCOMPARE(host.failures, 0);
        QVERIFY(!QFile::exists(folder.file(kCopy)));
        QCOMPARE(stateOf(dm.ADOCon.handle()), m_smallState);
        if (compacts) {
            QVERIFY(inodeOf(folder.file(kBank)) != inode);
            QCOMPARE(pragma(dm.ADOCon.handle(), "PRAGMA freelist_count"), 0);
        } else {
            QCOMPARE(inodeOf(folder.file(kBank)), inode);
            QCOMPARE(folder.readFile(kBank), before);
            QVERIFY(pragma(dm.ADOCon.handle(), "PRAGMA freelist_count") > 0);
        }
    }

    void leftoverCopyBlocksCompactionQuietly_data()
    {
        QTest::addColumn<QString>("bankName");
        QTest::newRow("plain name") << kBank;
        // The copy's name is made from the trimmed name.
        QTest::newRow("blanks at the end") << QStringLiteral("Drive.mdb \t");
    }

    void leftoverCopyBlocksCompactionQuietly()
    {
        QFETCH(QString, bankName);
        AppFolder folder;
        restore(m_small, folder);
        if (bankName != kBank) {
            QVERIFY(QFile::rename(folder.file(kBank), folder.file(bankName)));
            QVERIFY(QFile::rename(folder.file(QStringLiteral("Drive.mdb-wal")),
                                  folder.file(bankName + QStringLiteral("-wal"))));
            QFile::remove(folder.file(QStringLiteral("Drive.mdb-shm")));
        }
        folder.writeFile(kCopy, "half a copy");
        const QByteArray before = folder.readFile(bankName);
        const ino_t inode = inodeOf(folder.file(bankName));

        if (bankName == kBank) {
            // Through the start-up, twice: the leftover blocks every start alike.
            for (int start = 0; start < 2; ++start) {
                FixedClock clock(QDate(2026, 3, 10));
                RecordingHost host;
                TDM dm(folder.path(), clock, host);
                dm.DataModuleCreate();
                QVERIFY(dm.ADOCon.connected());
                QCOMPARE(host.failures, 0);
                QCOMPARE(stateOf(dm.ADOCon.handle()), m_smallState);
                if (start == 0) {
                    QCOMPARE(folder.readFile(kBank), before);
                }
            }
        } else {
            CompactDataFile(folder.file(bankName));
            QCOMPARE(folder.readFile(bankName), before);
        }
        QCOMPARE(inodeOf(folder.file(bankName)), inode);
        QCOMPARE(folder.readFile(kCopy), QByteArray("half a copy"));

        // Once it is gone, the next compaction goes through.
        QFile::remove(folder.file(kCopy));
        CompactDataFile(folder.file(bankName));
        QVERIFY(inodeOf(folder.file(bankName)) != inode);
        QVERIFY(!QFile::exists(folder.file(kCopy)));
    }

    void damagedBankFailsWithTheUsualMessage()
    {
        AppFolder folder;
        const QByteArray garbage(64 * 1024, '\x5a');
        folder.writeFile(kBank, garbage);
        FixedClock clock(QDate(2026, 3, 30));
        QString message;
        QString title;
        answerMessageBox(QMessageBox::Ok, &message, &title);
        startUp(folder.path(), clock);
        QCOMPARE(message, QStringLiteral("连接数据库失败！系统将终止运行."));
        QCOMPARE(title, QStringLiteral("连接数据库"));
        QVERIFY(Application::terminated());
        QCOMPARE(folder.readFile(kBank), garbage);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{kBank});
        delete MainForm;
        MainForm = nullptr;
        delete DM;
        DM = nullptr;
        Application::clearTermination();
        settle();
    }

    void readOnlyFolderLeavesTheBankInPlace()
    {
        AppFolder folder;
        restore(m_small, folder);
        // The learner may write the bank and its journals but not create files beside
        // them: the start-up must still open the bank.
        for (const QString& name : kBankFiles) {
            QFile::setPermissions(folder.file(name), QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ReadOther | QFile::WriteOther);
        }
        QStringList asUser;
        if (geteuid() == 0) {
            // Root writes anywhere: start as nobody, for whom the folder is read-only.
            QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ReadOther |
                                                     QFile::ExeOther);
            asUser << QStringLiteral("65534");
        } else {
            QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner |
                                                     QFile::ReadOther | QFile::ExeOther);
        }
        const ino_t inode = inodeOf(folder.file(kBank));
        ChildStart child;
        child.start(folder.path(), QStringLiteral("2026-03-20"), asUser);
        const QList<QByteArray> result = child.finish();
        QFile::setPermissions(folder.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(result.value(0), QByteArray("open"));
        QCOMPARE(inodeOf(folder.file(kBank)), inode);
        QVERIFY(!QFile::exists(folder.file(kCopy)));
        QString error;
        QCOMPARE(stateOfFolder(folder.path(), &error), m_smallState);
        QCOMPARE(error, QString());
    }

    void fullDiskLeavesTheBankAndNoCopy()
    {
        if (geteuid() != 0) {
            QSKIP("a small file system can be mounted only as root");
        }
        AppFolder bankOnly;
        bankOnly.writeBank(bankWithPictures(200, 2048));
        const qint64 size = QFileInfo(bankOnly.file(kBank)).size();
        // Room for the bank and its journals, not for a second copy.
        const qint64 room = (size + 160 * 1024) / 4096 * 4096;
        QVERIFY(room < 2 * size);

        AppFolder disk;
        const QByteArray options = "size=" + QByteArray::number(room) + ",mode=0700";
        if (::mount("tmpfs", QFile::encodeName(disk.path()).constData(), "tmpfs", 0,
                    options.constData()) != 0) {
            QSKIP("no tmpfs could be mounted here");
        }
        auto unmount =
            qScopeGuard([&] { ::umount2(QFile::encodeName(disk.path()).constData(), MNT_DETACH); });
        QVERIFY(QFile::copy(bankOnly.file(kBank), disk.file(kBank)));
        QString error;
        const BankState expected = stateOfFolder(bankOnly.path(), &error);
        const QByteArray before = disk.readFile(kBank);

        FixedClock clock(QDate(2026, 4, 10));
        RecordingHost host;
        {
            TDM dm(disk.path(), clock, host);
            dm.DataModuleCreate();
            QVERIFY(dm.ADOCon.connected());
            QCOMPARE(host.failures, 0);
            QCOMPARE(stateOf(dm.ADOCon.handle()), expected);
        }
        QCOMPARE(disk.readFile(kBank), before);
        // The failed copy gave its room back.
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files), QStringList{kBank});

        // With room for the copy, the same start compacts.
        const QByteArray roomier = "size=" + QByteArray::number(3 * room);
        QCOMPARE(::mount("tmpfs", QFile::encodeName(disk.path()).constData(), "tmpfs", MS_REMOUNT,
                         roomier.constData()),
                 0);
        const ino_t inode = inodeOf(disk.file(kBank));
        TDM dm(disk.path(), clock, host);
        dm.DataModuleCreate();
        QVERIFY(dm.ADOCon.connected());
        QVERIFY(inodeOf(disk.file(kBank)) != inode);
        QCOMPARE(stateOf(dm.ADOCon.handle()), expected);
    }

    void killedCompactionNeverLosesTheBank()
    {
        // How long a start-up with compaction takes, untouched: the quicker of two, so
        // that a slow moment does not let most runs below finish before their kill.
        qint64 startMs = std::numeric_limits<qint64>::max();
        for (int calibration = 0; calibration < 2; ++calibration) {
            AppFolder folder;
            restore(m_big, folder);
            const ino_t inode = inodeOf(folder.file(kBank));
            ChildStart child;
            child.start(folder.path(), QStringLiteral("2026-03-10"));
            const QList<QByteArray> done = child.finish();
            QCOMPARE(done.value(0), QByteArray("open"));
            QVERIFY(inodeOf(folder.file(kBank)) != inode); // compacted, in a fresh process
            QVERIFY(!QFile::exists(folder.file(kCopy)));
            startMs = qMin(startMs, qMax<qint64>(done.value(1).toLongLong(), 1));
        }

        // Kills spread evenly over the start-up and a little beyond it.
        constexpr int kRuns = 40;
        QRandomGenerator random(2026);
        int killed = 0;
        int opened = 0;
        int untouched = 0;
        int leftovers = 0;
        int replaced = 0;
        for (int run = 0; run < kRuns; ++run) {
            AppFolder folder;
            restore(m_big, folder);
            const ino_t inode = inodeOf(folder.file(kBank));
            const auto delayUs = qint64((run + random.generateDouble()) / kRuns * startMs * 1200);
            ChildStart child;
            child.start(folder.path(), QStringLiteral("2026-03-10"));
            QThread::usleep(quint64(delayUs));
            child.process.kill();
            child.process.waitForFinished();
            if (child.process.exitStatus() == QProcess::CrashExit) {
                ++killed;
            }

            QString error;
            const BankState state = stateOfFolder(folder.path(), &error);
            QVERIFY2(
                error.isEmpty(),
                qPrintable(QStringLiteral("run %1 (%2 µs): %3").arg(run).arg(delayUs).arg(error)));
            QVERIFY2(state == m_bigState,
                     qPrintable(QStringLiteral("run %1 (%2 µs): %3 questions, %4 answers, %5")
                                    .arg(run)
                                    .arg(delayUs)
                                    .arg(state.topics)
                                    .arg(state.answers.size())
                                    .arg(state.integrity)));
            ++opened;
            if (inodeOf(folder.file(kBank)) != inode) {
                ++replaced;
            } else if (QFile::exists(folder.file(kCopy))) {
                ++leftovers;
            } else {
                ++untouched;
            }
        }
        qInfo("start-up with compaction: %lld ms; %d runs, %d killed, %d opened intact "
              "(%d untouched, %d with a leftover copy, %d already compacted)",
              startMs, kRuns, killed, opened, untouched, leftovers, replaced);
        QCOMPARE(opened, kRuns);
        QVERIFY(killed > kRuns / 2);
    }
};

TAVIRO_TEST_MAIN(TestCompaction)
#include "tst_compaction.moc"
