#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class Connection;
struct sqlite3;
struct sqlite3_stmt;

// The core's own statements through the sqlite3 API: prepared, run and finalized in one
// block, each failure answered with the engine's words. None of them opens a window.
namespace BankSql {

class Statement
{
public:
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return m_stmt != nullptr; }
    QString error() const;
    // A parameter the statement does not have is left alone, so that one binding serves
    // the statement with and without its filter.
    void bind(int index, qint64 value);
    void bind(int index, const QString& text);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    // Steps a statement that returns no rows; false with the error text.
    bool run(QString* error);
    // Steps to the single row of a query; false with the error text when there is none.
    bool row(QString* error);
    void reset();
    qint64 integer(int column) const;
    bool isNull(int column) const;
    // NULL reads as a null string.
    QString text(int column) const;
    QByteArray bytes(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_error;
};

// Sets the error text and answers false, for the one-line failures of a function.
bool fail(QString* error, const QString& text);
bool exec(sqlite3* db, const QString& sql, QString* error);
// Whether the schema holds a table of that name (a view does not count).
bool tableExists(sqlite3* db, const QString& name, bool* exists, QString* error);
bool hasColumn(sqlite3* db, const QString& table, const QString& column, bool* has, QString* error);

// Runs work in a transaction of the connection's own, committed when work answers true and
// rolled back otherwise; a refused end fails it with the engine's words.
bool inOneTransaction(Connection& connection, const std::function<bool(QString*)>& work,
                      QString* error);

} // namespace BankSql
