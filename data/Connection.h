#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// What a will-connect handler may answer.
enum class EventStatus
{
    OK,
    ErrorsOccured,
    CantDeny,
    Cancel,
    UnwantedEvent
};

// The pieces of a Jet-style connection string that the engine needs.
struct ConnectionSettings
{
    QString provider;
    QString dataSource;
    QString password;
};

// Splits "key=value;key=value" (values may be quoted with " or ') into settings.
// Returns false with an error text when the string cannot serve for a connection.
bool parseConnectionString(const QString& text, ConnectionSettings* settings, QString* error);

// The password's bytes in the GBK code page, as the bank is keyed with them.
bool passwordKey(const QString& password, QByteArray* key, QString* error);

// The one connection to the keyed question bank.
class Connection
{
public:
    using WillConnectHandler =
        std::function<void(Connection& sender, QString& connectionString, QString& userId,
                           QString& password, int& options, EventStatus& status)>;

    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs the will-connect handler, then opens the existing file of the connection
    // string's Data Source with its password. Throws DatabaseError on failure; a
    // missing file is an error, never a new empty bank.
    void open();
    void close();
    bool connected() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db; }
    QString databasePath() const { return m_path; }

    // Several statements as one change: what they write reaches the disk whole at the
    // commit, or not at all (rollback, an error, a crash). Without a transaction every
    // statement and every post is on the disk when it returns. Throw DatabaseError.
    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const;

    // A prepared statement for this text, kept for its next use while the connection is
    // open; the caller resets it after use. Throws DatabaseError.
    sqlite3_stmt* cachedStatement(const QByteArray& sql);

    QString connectionString;
    WillConnectHandler OnWillConnect;

private:
    sqlite3* m_db = nullptr;
    QString m_path;
    std::vector<std::pair<QByteArray, sqlite3_stmt*>> m_statements;
};

// A transaction that is rolled back unless it was committed: the writes of a block
// that ends by an error or an early return leave the file as it was.
class Transaction
{
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& m_connection;
    bool m_open = true;
};

// Opens a keyed database file the way the connection does, without a connection
// string: for the tools that build and copy banks. Returns null with an error text.
sqlite3* openKeyedDatabase(const QString& path, const QByteArray& key, bool create, QString* error);

// The cipher settings of every bank, for a handle of its own before it is keyed. They
// hold for the whole process, and compaction may key the first handle of a run.
void useBankCipher(sqlite3* db);

QString sqliteMessage(sqlite3* db);
