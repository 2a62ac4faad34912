#include "data/DBEngine.h"

#include "data/Connection.h"
#include "data/DataError.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Another program that holds the file keeps it for longer than a start-up should wait.
constexpr int kBusyTimeoutMs = 1000;

// The password a Jet connect fragment names (";Pwd=secret;..."), if it names one.
std::optional<QString> passwordOf(const QString& locale)
{
    std::optional<QString> password;
    const QStringList pieces = locale.split(QLatin1Char(';'));
    for (const QString& piece : pieces) {
        const qsizetype eq = piece.indexOf(QLatin1Char('='));
        if (eq >= 0 &&
            piece.left(eq).trimmed().compare(QLatin1String("pwd"), Qt::CaseInsensitive) == 0) {
            password = piece.mid(eq + 1);
        }
    }
    return password;
}

QByteArray keyOf(const QString& password)
{
    QByteArray key;
    QString error;
    if (!passwordKey(password, &key, &error)) {
        throw DatabaseError(error);
    }
    return key;
}

// lstat, so that a dangling link counts as taken too.
bool pathTaken(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Creates the empty file of the copy, refusing one that exists, with the permissions and
// (as root) the owner of the source: the copy takes its place for every user of the bank.
void createCopy(const QString& source, const QString& destination)
{
    struct stat st;
    if (::stat(QFile::encodeName(source).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        throw DatabaseError(QStringLiteral("压缩数据库失败：找不到数据库文件“%1”。").arg(source));
    }
    const mode_t mode = st.st_mode & 0777;
    const int fd = ::open(QFile::encodeName(destination).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        throw DatabaseError(QStringLiteral("压缩数据库失败：无法建立文件“%1”：%2")
                                .arg(destination, QString::fromLocal8Bit(std::strerror(errno))));
    }
    ::fchmod(fd, mode); // past the umask
    if (::geteuid() == 0) {
        const int owned = ::fchown(fd, st.st_uid, st.st_gid);
        Q_UNUSED(owned); // failing that, the copy is root's, who could replace the file
    }
    ::close(fd);
}

void removeJournals(const QString& path)
{
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        ::unlink(QFile::encodeName(path + QLatin1String(suffix)).constData());
    }
}

// One engine connection; closing it is where SQLite folds a WAL back into its database.
class Session
{
public:
    explicit Session(const QString& path)
    {
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db,
                                       SQLITE_OPEN_READWRITE, nullptr);
        if (rc != SQLITE_OK) {
            // A failed open still made a handle, and the destructor will not run.
            const QString message = sqliteMessage(m_db);
            sqlite3_close(m_db);
            m_db = nullptr;
            throw DatabaseError(
                QStringLiteral("压缩数据库失败（无法打开数据库文件“%1”）：%2").arg(path, message));
        }
        if (sqlite3_busy_timeout(m_db, kBusyTimeoutMs) != SQLITE_OK) {
            const QString message = sqliteMessage(m_db);
            sqlite3_close(m_db);
            m_db = nullptr;
            throw DatabaseError(
                QStringLiteral("压缩数据库失败（无法设置等待时间）：%1").arg(message));
        }
    }
    ~Session() { sqlite3_close_v2(m_db); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void key(const QByteArray& key)
    {
        QString error;
        if (!useBankCipher(m_db, &error)) {
            throw DatabaseError(QStringLiteral("压缩数据库失败：%1").arg(error));
        }
        if (!key.isEmpty() && sqlite3_key(m_db, key.constData(), int(key.size())) != SQLITE_OK) {
            fail(QStringLiteral("无法设置数据库密码"));
        }
    }

    void exec(const QString& sql)
    {
        if (execStorageStatement(m_db, sql.toUtf8().constData()) != SQLITE_OK) {
            fail(sql);
        }
    }

    // Runs work between begin and COMMIT. On a failure the transaction is rolled back
    // here rather than by the close, so that a refused rollback is told with the fault.
    template <class Work> void transaction(const QString& begin, Work work)
    {
        exec(begin);
        try {
            work();
            exec(QStringLiteral("COMMIT"));
        } catch (const DatabaseError& e) {
            if (sqlite3_get_autocommit(m_db) == 0 &&
                execStorageStatement(m_db, "ROLLBACK") != SQLITE_OK) {
                throw DatabaseError(e.message() + QStringLiteral("；撤销事务也失败了：") +
                                    sqliteMessage(m_db));
            }
            throw;
        }
    }

    // A setting the copy's promises rest on: it must run and read back as asked.
    void setting(const QString& sql, const QString& readBack, const QByteArray& expected)
    {
        exec(sql);
        const QByteArray actual = value(readBack);
        if (actual.compare(expected, Qt::CaseInsensitive) != 0) {
            throw DatabaseError(QStringLiteral("压缩数据库失败（%1）：数据库引擎报告的值是“%2”。")
                                    .arg(sql, QString::fromUtf8(actual)));
        }
    }

    // The first column of the first row; binds are blobs for ?1, ?2...
    QByteArray value(const QString& sql, const QList<QByteArray>& binds = {})
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
            fail(sql);
        }
        int rc = SQLITE_OK;
        for (int i = 0; i < binds.size() && rc == SQLITE_OK; ++i) {
            rc = sqlite3_bind_blob(st, i + 1, binds[i].constData(), int(binds[i].size()),
                                   SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK) {
            // Unbound, a KEY ?2 would attach the copy without its password.
            const QString message = sqliteMessage(m_db);
            sqlite3_finalize(st);
            throw DatabaseError(QStringLiteral("压缩数据库失败（%1）：%2").arg(sql, message));
        }
        rc = sqlite3_step(st);
        QByteArray result;
        if (rc == SQLITE_ROW) {
            result = QByteArray(static_cast<const char*>(sqlite3_column_blob(st, 0)),
                                sqlite3_column_bytes(st, 0));
            while (rc == SQLITE_ROW) {
                rc = sqlite3_step(st);
            }
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) {
            fail(sql);
        }
        return result;
    }

    void close()
    {
        if (sqlite3_close(m_db) != SQLITE_OK) {
            fail(QStringLiteral("无法关闭数据库"));
        }
        m_db = nullptr;
    }

private:
    [[noreturn]] void fail(const QString& what)
    {
        throw DatabaseError(
            QStringLiteral("压缩数据库失败（%1）：%2").arg(what, sqliteMessage(m_db)));
    }

    sqlite3* m_db = nullptr;
};

void exportCopy(const QString& source, const QByteArray& sourceKey, const QString& destination,
                const QByteArray& destinationKey, bool* copyStarted)
{
    Session db(source);
    db.key(sourceKey);
    // Held until the source closes: nobody else reads or writes a file that is about to
    // be replaced, and a holder elsewhere makes the first read fail.
    db.setting(QStringLiteral("PRAGMA main.locking_mode=EXCLUSIVE"),
               QStringLiteral("PRAGMA main.locking_mode"), "exclusive");
    db.setting(QStringLiteral("PRAGMA main.synchronous=FULL"),
               QStringLiteral("PRAGMA main.synchronous"), "2");
    // The first read: a wrong key or a file that is no database shows here. An empty
    // file reads as an empty database, which no bank is.
    if (db.value(QStringLiteral("SELECT count(*) FROM sqlite_master")).toInt() == 0) {
        throw DatabaseError(QStringLiteral("压缩数据库失败：“%1”中没有数据表。").arg(source));
    }
    const QByteArray userVersion = db.value(QStringLiteral("PRAGMA main.user_version"));
    const bool wal = db.value(QStringLiteral("PRAGMA main.journal_mode")).toLower() == "wal";

    // ATTACH opens files as the source was opened, without creating them.
    createCopy(source, destination);
    *copyStarted = true;
    db.value(QStringLiteral("ATTACH DATABASE ?1 AS compacted KEY ?2"),
             {QFile::encodeName(destination), destinationKey});
    db.setting(QStringLiteral("PRAGMA compacted.synchronous=FULL"),
               QStringLiteral("PRAGMA compacted.synchronous"), "2");
    db.transaction(QStringLiteral("BEGIN EXCLUSIVE"), [&] {
        db.value(QStringLiteral("SELECT sqlcipher_export('compacted')"));
        db.exec(QStringLiteral("PRAGMA compacted.user_version=%1").arg(userVersion.toInt()));
    });
    if (wal && db.value(QStringLiteral("PRAGMA compacted.journal_mode=WAL")).toLower() != "wal") {
        throw DatabaseError(QStringLiteral("压缩数据库失败：副本无法使用 WAL 日志。"));
    }
    db.exec(QStringLiteral("DETACH DATABASE compacted"));
    db.close();

    // The last connection folds the WAL into the file and removes it. A WAL still there
    // holds writes the copy may lack, and would be replayed into the copy once it takes
    // the file's name.
    if (pathTaken(source + QStringLiteral("-wal"))) {
        throw DatabaseError(QStringLiteral("压缩数据库失败：数据库正被其他程序使用。"));
    }

    // The copy must open the way the program opens its bank.
    Session check(destination);
    check.key(destinationKey);
    check.value(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    if (check.value(QStringLiteral("PRAGMA main.user_version")).toInt() != userVersion.toInt()) {
        throw DatabaseError(QStringLiteral("压缩数据库失败：副本的版本号不符。"));
    }
    check.close();
    if (pathTaken(destination + QStringLiteral("-wal"))) {
        throw DatabaseError(QStringLiteral("压缩数据库失败：副本的日志无法并入。"));
    }
}

} // namespace

void DBEngine::CompactDatabase(const QString& source, const QString& destination,
                               const QString& locale, int options, const QString& sourceLocale)
{
    if (options != 0) {
        throw DatabaseError(QStringLiteral("压缩数据库失败：不支持的选项 %1。").arg(options));
    }
    const QByteArray sourceKey = keyOf(passwordOf(sourceLocale).value_or(QString()));
    const std::optional<QString> newPassword = passwordOf(locale);
    const QByteArray destinationKey = newPassword ? keyOf(*newPassword) : sourceKey;
    if (pathTaken(destination)) {
        throw DatabaseError(QStringLiteral("压缩数据库失败：文件“%1”已存在。").arg(destination));
    }
    // Journals of an earlier copy whose file has gone would be replayed into this one.
    removeJournals(destination);
    bool copyStarted = false;
    try {
        exportCopy(source, sourceKey, destination, destinationKey, &copyStarted);
    } catch (...) {
        if (copyStarted) {
            ::unlink(QFile::encodeName(destination).constData());
            removeJournals(destination);
        }
        throw;
    }
}
