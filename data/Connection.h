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

// A value as the connection string carries it: as it is where it can be, otherwise in
// double quotes with its double quotes doubled, so that any path reads back whole.
QString connectionStringValue(const QString& value);

// Splits "key=value;key=value" into settings. A value that starts with " or ' runs to
// its closing quote (the quote written twice inside stands for itself) and may hold
// semicolons; an unquoted value runs to the next semicolon, blanks around it dropped.
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
    // statement and every post is on the disk when it returns. Throw DatabaseError, a
    // rollback too when the engine refuses it.
    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const;
    // Whether any open connection of the program is inside a transaction: no event loop
    // may run then, or a handler could write in the middle of it.
    static bool anyInTransaction();

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
// that ends by an error or an early return leave the file as it was. The commit throws
// when the engine has already ended the transaction, as it does after some failures:
// nothing of it would reach the disk.
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
// hold for the whole process, and compaction may key the first handle of a run. False
// with an error text when the engine does not take them.
bool useBankCipher(sqlite3* db, QString* error);

// For tests: the engine refuses a statement of settings or of a transaction's end
// (synchronous, cipher, COMMIT, ROLLBACK) when this answers true for its text, as a
// failing disk or another build of the engine would. Null restores the engine.
using StorageRefusal = bool (*)(const char* sql);
void setStorageRefusal(StorageRefusal refusal);
// The same test hook, for the other units of the data layer that make such statements.
int execStorageStatement(sqlite3* db, const char* sql);

QString sqliteMessage(sqlite3* db);
