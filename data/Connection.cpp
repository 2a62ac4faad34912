#include "data/Connection.h"

#include "data/DataError.h"
#include "data/OpenAhead.h"
#include "data/Swallowed.h"

#include <QFileInfo>
#include <QStringEncoder>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <sqlite3.h>

namespace {

const QString kJetProvider = QStringLiteral("Microsoft.Jet.OLEDB.4.0");

// Readers of the bank wait this long for another process's write to finish.
constexpr int kBusyTimeoutMs = 3000;

// The key is derived from the password with fewer rounds than the engine's default: the
// password ships inside the program, so rounds would not protect it, while every round
// delays the start-up. Banks built, opened and copied by the program all use this.
const char kCipherDefaults[] = "PRAGMA cipher_default_kdf_iter = 4000";
const QByteArray kCipherKdfIter = QByteArrayLiteral("4000");

bool isBlank(QChar c)
{
    return c.isSpace();
}

// The open connections, for the question whether any of them is in a transaction. Never
// freed: a connection that outlives the other statics still leaves it at its close.
struct OpenConnections
{
    std::mutex mutex;
    std::vector<const Connection*> list;
};

OpenConnections& openConnections()
{
    static auto* open = new OpenConnections;
    return *open;
}

// The engine's answer to a statement of settings, unless a test makes it refuse.
std::atomic<StorageRefusal> g_refusal{nullptr};

int execSetting(sqlite3* db, const char* sql)
{
    const StorageRefusal refusal = g_refusal.load();
    if (refusal && refusal(sql)) {
        return SQLITE_IOERR;
    }
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

// The first column of a one-row statement as text, empty when it gives none.
QByteArray settingValue(sqlite3* db, const char* sql)
{
    sqlite3_stmt* stmt = nullptr;
    QByteArray value;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && stmt &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        value = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    return value;
}

// A setting the bank's promises rest on: the statement must run and the engine must
// then report the value asked for. An engine that does not know a pragma ignores it
// without an error, so the value read back is what counts.
bool applySetting(sqlite3* db, const char* sql, const char* readBack, const QByteArray& expected,
                  QString* error)
{
    if (execSetting(db, sql) != SQLITE_OK) {
        *error = QStringLiteral("无法设置数据库（%1）：%2")
                     .arg(QString::fromUtf8(sql), sqliteMessage(db));
        return false;
    }
    const QByteArray actual = settingValue(db, readBack);
    if (actual.compare(expected, Qt::CaseInsensitive) != 0) {
        *error = QStringLiteral("无法设置数据库（%1）：数据库引擎报告的值是“%2”。")
                     .arg(QString::fromUtf8(sql), QString::fromUtf8(actual));
        return false;
    }
    return true;
}

} // namespace

QString connectionStringValue(const QString& value)
{
    const bool plain = !value.isEmpty() && !isBlank(value.front()) && !isBlank(value.back()) &&
                       !value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('"')) &&
                       !value.contains(QLatin1Char('\''));
    if (plain) {
        return value;
    }
    QString inner = value;
    inner.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

bool parseConnectionString(const QString& text, ConnectionSettings* settings, QString* error)
{
    ConnectionSettings result;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        // One "key=value" up to the next semicolon outside quotes; empty pieces are skipped.
        const qsizetype keyStart = i;
        while (i < n && text[i] != QLatin1Char('=') && text[i] != QLatin1Char(';')) {
            ++i;
        }
        const QString key = text.mid(keyStart, i - keyStart).trimmed();
        if (i >= n || text[i] == QLatin1Char(';')) {
            if (!key.isEmpty()) {
                *error = QStringLiteral("连接字符串的格式不正确：%1").arg(key);
                return false;
            }
            ++i;
            continue;
        }
        ++i; // the equals sign
        while (i < n && isBlank(text[i]) && text[i] != QLatin1Char(';')) {
            ++i;
        }
        QString value;
        if (i < n && (text[i] == QLatin1Char('"') || text[i] == QLatin1Char('\''))) {
            // A quoted value holds anything; its own quote is written twice inside.
            const QChar quote = text[i++];
            bool closed = false;
            while (i < n) {
                if (text[i] == quote) {
                    if (i + 1 < n && text[i + 1] == quote) {
                        value += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += text[i++];
            }
            if (!closed) {
                *error = QStringLiteral("连接字符串中的引号不成对。");
                return false;
            }
            while (i < n && isBlank(text[i])) {
                ++i;
            }
            if (i < n && text[i] != QLatin1Char(';')) {
                *error = QStringLiteral("连接字符串的格式不正确：%1").arg(key);
                return false;
            }
        } else {
            const qsizetype valueStart = i;
            while (i < n && text[i] != QLatin1Char(';')) {
                ++i;
            }
            value = text.mid(valueStart, i - valueStart).trimmed();
        }
        ++i; // the semicolon, or past the end
        if (key.compare(QLatin1String("Provider"), Qt::CaseInsensitive) == 0) {
            result.provider = value;
        } else if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0) {
            result.dataSource = value;
        } else if (key.compare(QLatin1String("Jet OLEDB:Database Password"), Qt::CaseInsensitive) ==
                   0) {
            result.password = value;
        }
    }
    if (result.provider.compare(kJetProvider, Qt::CaseInsensitive) != 0) {
        *error = QStringLiteral("未找到数据库提供程序“%1”。").arg(result.provider);
        return false;
    }
    if (result.dataSource.isEmpty()) {
        *error = QStringLiteral("连接字符串中没有数据源。");
        return false;
    }
    *settings = result;
    return true;
}

bool passwordKey(const QString& password, QByteArray* key, QString* error)
{
    QStringEncoder gbk("GBK");
    if (!gbk.isValid()) {
        *error = QStringLiteral("系统缺少 GBK 字符集，无法使用数据库密码。");
        return false;
    }
    QByteArray bytes = gbk(password);
    if (gbk.hasError()) {
        *error = QStringLiteral("数据库密码含有 GBK 字符集以外的字符。");
        return false;
    }
    *key = bytes;
    return true;
}

bool useBankCipher(sqlite3* db, QString* error)
{
    return applySetting(db, kCipherDefaults, "PRAGMA cipher_default_kdf_iter", kCipherKdfIter,
                        error);
}

void setStorageRefusal(StorageRefusal refusal)
{
    g_refusal.store(refusal);
}

QString sqliteMessage(sqlite3* db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

sqlite3* openKeyedDatabase(const QString& path, const QByteArray& key, bool create, QString* error)
{
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    auto fail = [&](const QString& what) {
        *error = what;
        sqlite3_close(db);
        return nullptr;
    };
    if (rc != SQLITE_OK) {
        return fail(QStringLiteral("无法打开数据库文件“%1”：%2").arg(path, sqliteMessage(db)));
    }
    if (sqlite3_db_readonly(db, "main") == 1) {
        return fail(QStringLiteral("数据库文件“%1”是只读的。").arg(path));
    }
    QString setting;
    if (!useBankCipher(db, &setting)) {
        return fail(setting);
    }
    if (!key.isEmpty() && sqlite3_key(db, key.constData(), int(key.size())) != SQLITE_OK) {
        return fail(QStringLiteral("无法设置数据库密码：%1").arg(sqliteMessage(db)));
    }
    if (sqlite3_busy_timeout(db, kBusyTimeoutMs) != SQLITE_OK) {
        return fail(QStringLiteral("无法设置数据库的等待时间：%1").arg(sqliteMessage(db)));
    }
    // A wrong key or a file that is no database shows only at the first read.
    sqlite3_stmt* stmt = nullptr;
    rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master", -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
    }
    const int tables = rc == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW) {
        return fail(
            QStringLiteral("无法识别的数据库格式（“%1”）：%2").arg(path, sqliteMessage(db)));
    }
    if (!create && tables == 0) {
        return fail(QStringLiteral("无法识别的数据库格式（“%1”）：文件中没有数据表。").arg(path));
    }
    // Every post is on the disk when it returns: a crash a moment later loses nothing.
    // Without that promise the bank is not opened at all.
    if (!applySetting(db, "PRAGMA synchronous=FULL", "PRAGMA synchronous", "2", &setting)) {
        return fail(setting);
    }
    // A paper of a large bank works on more pages than the default cache holds, and
    // spilling them in the middle of the draw would make its cost grow faster than the
    // bank. The cache takes memory only for the pages that are read.
    sqlite3_exec(db, "PRAGMA cache_size=-16384", nullptr, nullptr, nullptr);
    return db;
}

Connection::~Connection()
{
    close();
}

void Connection::open()
{
    if (m_db) {
        return;
    }
    QString text = connectionString;
    QString userId;
    QString password;
    int options = 0;
    EventStatus status = EventStatus::OK;
    if (OnWillConnect) {
        OnWillConnect(*this, text, userId, password, options, status);
    }
    if (status == EventStatus::Cancel) {
        throw DatabaseError(QStringLiteral("连接数据库的操作已取消。"));
    }
    ConnectionSettings settings;
    QString error;
    if (!parseConnectionString(text, &settings, &error)) {
        throw DatabaseError(error);
    }
    QByteArray key;
    if (!passwordKey(settings.password, &key, &error)) {
        throw DatabaseError(error);
    }
    if (!QFileInfo(settings.dataSource).isFile()) {
        throw DatabaseError(QStringLiteral("找不到数据库文件“%1”。").arg(settings.dataSource));
    }
    sqlite3* db = openahead::take(settings.dataSource, key);
    if (!db) {
        db = openKeyedDatabase(settings.dataSource, key, false, &error);
    }
    if (!db) {
        throw DatabaseError(error);
    }
    m_db = db;
    m_path = settings.dataSource;
    OpenConnections& open = openConnections();
    const std::lock_guard<std::mutex> lock(open.mutex);
    open.list.push_back(this);
}

namespace {

// Statements kept for reuse; posts use one or two texts, so a few suffice.
constexpr size_t kCachedStatements = 8;

void execOrThrow(sqlite3* db, const char* sql, const QString& what)
{
    if (!db) {
        throw DatabaseError(QStringLiteral("数据库连接没有打开。"));
    }
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        throw DatabaseError(QStringLiteral("%1：%2").arg(what, sqliteMessage(db)));
    }
}

} // namespace

void Connection::beginTransaction()
{
    // The write lock is taken at once, so that the transaction cannot fail half-way
    // for a writer in another process.
    execOrThrow(m_db, "BEGIN IMMEDIATE", QStringLiteral("无法开始事务"));
}

void Connection::commit()
{
    if (!inTransaction()) {
        return;
    }
    if (execSetting(m_db, "COMMIT") != SQLITE_OK) {
        QString message = sqliteMessage(m_db);
        if (inTransaction() && execSetting(m_db, "ROLLBACK") != SQLITE_OK) {
            message += QStringLiteral("；撤销事务也失败了：") + sqliteMessage(m_db);
        }
        throw DatabaseError(QStringLiteral("提交事务失败：%1").arg(message));
    }
}

void Connection::rollback()
{
    if (inTransaction() && execSetting(m_db, "ROLLBACK") != SQLITE_OK) {
        throw DatabaseError(QStringLiteral("撤销事务失败：%1").arg(sqliteMessage(m_db)));
    }
}

bool Connection::inTransaction() const
{
    return m_db && sqlite3_get_autocommit(m_db) == 0;
}

bool Connection::anyInTransaction()
{
    OpenConnections& open = openConnections();
    const std::lock_guard<std::mutex> lock(open.mutex);
    return std::any_of(open.list.begin(), open.list.end(),
                       [](const Connection* c) { return c->inTransaction(); });
}

sqlite3_stmt* Connection::cachedStatement(const QByteArray& sql)
{
    if (!m_db) {
        throw DatabaseError(QStringLiteral("数据库连接没有打开。"));
    }
    for (size_t i = 0; i < m_statements.size(); ++i) {
        if (m_statements[i].first == sql) {
            // The most recent first, so that the oldest is the one to go.
            std::rotate(m_statements.begin(), m_statements.begin() + qsizetype(i),
                        m_statements.begin() + qsizetype(i) + 1);
            return m_statements.front().second;
        }
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK ||
        !stmt) {
        sqlite3_finalize(stmt);
        throw DatabaseError(QStringLiteral("语句执行失败：%1").arg(sqliteMessage(m_db)));
    }
    if (m_statements.size() >= kCachedStatements) {
        sqlite3_finalize(m_statements.back().second);
        m_statements.pop_back();
    }
    m_statements.insert(m_statements.begin(), {sql, stmt});
    return stmt;
}

Transaction::Transaction(Connection& connection)
    : m_connection(connection)
{
    m_connection.beginTransaction();
}

Transaction::~Transaction()
{
    if (m_open) {
        try {
            m_connection.rollback();
        } catch (...) {
            // A destructor cannot pass it on; what the block raised is already on its way.
            reportSwallowed(QStringLiteral("rollback failed"), std::current_exception());
        }
    }
}

void Transaction::commit()
{
    m_open = false;
    if (!m_connection.inTransaction()) {
        throw DatabaseError(QStringLiteral("提交事务失败：数据库已撤销了这项事务。"));
    }
    m_connection.commit();
}

void Connection::close()
{
    for (auto& cached : m_statements) {
        sqlite3_finalize(cached.second);
    }
    m_statements.clear();
    if (m_db) {
        {
            OpenConnections& open = openConnections();
            const std::lock_guard<std::mutex> lock(open.mutex);
            std::erase(open.list, this);
        }
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        m_path.clear();
    }
}

int execStorageStatement(sqlite3* db, const char* sql)
{
    return execSetting(db, sql);
}
