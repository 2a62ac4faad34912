#include "exampaper/BankSql.h"

#include "data/Connection.h"
#include "data/DataError.h"

#include <sqlite3.h>

namespace BankSql {

Statement::Statement(sqlite3* db, const QString& sql)
    : m_db(db)
{
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK) {
        m_error = sqliteMessage(db);
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

QString Statement::error() const
{
    return m_error.isEmpty() ? sqliteMessage(m_db) : m_error;
}

void Statement::bind(int index, qint64 value)
{
    if (m_stmt) {
        sqlite3_bind_int64(m_stmt, index, value);
    }
}

void Statement::bind(int index, const QString& text)
{
    if (m_stmt) {
        const QByteArray bytes = text.toUtf8();
        sqlite3_bind_text(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    }
}

int Statement::step()
{
    return m_stmt ? sqlite3_step(m_stmt) : SQLITE_MISUSE;
}

bool Statement::run(QString* error)
{
    if (!ok() || step() != SQLITE_DONE) {
        return fail(error, this->error());
    }
    return true;
}

bool Statement::row(QString* error)
{
    if (!ok() || step() != SQLITE_ROW) {
        return fail(error, this->error());
    }
    return true;
}

void Statement::reset()
{
    if (m_stmt) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

QString Statement::text(int column) const
{
    const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return chars ? QString::fromUtf8(chars, sqlite3_column_bytes(m_stmt, column)) : QString();
}

QByteArray Statement::bytes(int column) const
{
    const void* data = sqlite3_column_blob(m_stmt, column);
    return data ? QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(m_stmt, column))
                : QByteArray();
}

bool fail(QString* error, const QString& text)
{
    if (error) {
        *error = text;
    }
    return false;
}

bool exec(sqlite3* db, const QString& sql, QString* error)
{
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        return fail(error, sqliteMessage(db));
    }
    return true;
}

bool tableExists(sqlite3* db, const QString& name, bool* exists, QString* error)
{
    Statement q(db, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type='table' "
                                   "AND name=?"));
    q.bind(1, name);
    if (!q.row(error)) {
        return false;
    }
    *exists = q.integer(0) > 0;
    return true;
}

bool hasColumn(sqlite3* db, const QString& table, const QString& column, bool* has, QString* error)
{
    // The engine of the bank has no table-valued pragmas: the name goes into the text.
    QString quoted = table;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    Statement q(db, QStringLiteral("PRAGMA table_info(\"%1\")").arg(quoted));
    *has = false;
    int rc = q.step();
    for (; rc == SQLITE_ROW; rc = q.step()) {
        *has = *has || q.text(1).compare(column, Qt::CaseInsensitive) == 0;
    }
    return rc == SQLITE_DONE || fail(error, q.error());
}

bool inOneTransaction(Connection& connection, const std::function<bool(QString*)>& work,
                      QString* error)
{
    // The connection's own transaction statements: a refused end fails the work with the
    // engine's words, a refused rollback among them.
    try {
        connection.beginTransaction();
    } catch (const DatabaseError& e) {
        return fail(error, e.message());
    }
    QString failure;
    if (!work(&failure)) {
        try {
            connection.rollback();
        } catch (const DatabaseError& e) {
            failure += QStringLiteral("；") + e.message();
        }
        return fail(error, failure);
    }
    try {
        connection.commit();
    } catch (const DatabaseError& e) {
        return fail(error, e.message());
    }
    return true;
}

} // namespace BankSql
