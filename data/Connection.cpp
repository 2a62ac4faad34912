#include "data/Connection.h"

#include "data/DataError.h"
#include "data/OpenAhead.h"

#include <QFileInfo>
#include <QStringEncoder>
#include <algorithm>
#include <sqlite3.h>

namespace {

const QString kJetProvider = QStringLiteral("Microsoft.Jet.OLEDB.4.0");

// Readers of the bank wait this long for another process's write to finish.
constexpr int kBusyTimeoutMs = 3000;

// The key is derived from the password with fewer rounds than the engine's default: the
// password ships inside the program, so rounds would not protect it, while every round
// delays the start-up. Banks built, opened and copied by the program all use this.
const char kCipherDefaults[] = "PRAGMA cipher_default_kdf_iter = 4000";

QString unquote(const QString& value)
{
    const QString v = value.trimmed();
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
        v.back() == v.front()) {
        return v.mid(1, v.size() - 2);
    }
    return v;
}

} // namespace

bool parseConnectionString(const QString& text, ConnectionSettings* settings, QString* error)
{
    ConnectionSettings result;
    QString piece;
    QChar quote;
    QStringList pieces;
    for (const QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
            }
            piece += c;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            piece += c;
        } else if (c == QLatin1Char(';')) {
            pieces << piece;
            piece.clear();
        } else {
            piece += c;
        }
    }
    if (!quote.isNull()) {
        *error = QStringLiteral("连接字符串中的引号不成对。");
        return false;
    }
    pieces << piece;

    for (const QString& p : std::as_const(pieces)) {
        if (p.trimmed().isEmpty()) {
            continue;
        }
        const qsizetype eq = p.indexOf(QLatin1Char('='));
        if (eq < 0) {
            *error = QStringLiteral("连接字符串的格式不正确：%1").arg(p.trimmed());
            return false;
        }
        const QString key = p.left(eq).trimmed();
        const QString value = unquote(p.mid(eq + 1));
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

void useBankCipher(sqlite3* db)
{
    sqlite3_exec(db, kCipherDefaults, nullptr, nullptr, nullptr);
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
    useBankCipher(db);
    if (!key.isEmpty() && sqlite3_key(db, key.constData(), int(key.size())) != SQLITE_OK) {
        return fail(QStringLiteral("无法设置数据库密码：%1").arg(sqliteMessage(db)));
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
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
    sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
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
    if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString message = sqliteMessage(m_db);
        if (inTransaction()) {
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        throw DatabaseError(QStringLiteral("提交事务失败：%1").arg(message));
    }
}

void Connection::rollback()
{
    if (inTransaction()) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

bool Connection::inTransaction() const
{
    return m_db && sqlite3_get_autocommit(m_db) == 0;
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
        m_connection.rollback();
    }
}

void Transaction::commit()
{
    m_open = false;
    m_connection.commit();
}

void Connection::close()
{
    for (auto& cached : m_statements) {
        sqlite3_finalize(cached.second);
    }
    m_statements.clear();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        m_path.clear();
    }
}
