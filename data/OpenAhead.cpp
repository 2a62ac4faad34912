#include "data/OpenAhead.h"

#include "data/Connection.h"
#include "data/Swallowed.h"

#include <mutex>
#include <sqlite3.h>
#include <thread>

namespace {

struct Ahead
{
    std::mutex lock;
    std::thread worker;
    QString path;
    QByteArray key;
    sqlite3* db = nullptr;

    // Waits for the thread; afterwards db is what it opened.
    void join()
    {
        if (worker.joinable()) {
            worker.join();
        }
    }
    void close()
    {
        join();
        if (db) {
            sqlite3_close(db);
            db = nullptr;
        }
        path.clear();
        key.clear();
    }
    // A handle still pending when the program ends is closed before SQLite goes away.
    ~Ahead() { close(); }
};

Ahead& ahead()
{
    static Ahead a;
    return a;
}

} // namespace

void openahead::start(const QString& path, const QByteArray& key)
{
    Ahead& a = ahead();
    const std::lock_guard<std::mutex> guard(a.lock);
    a.close();
    a.path = path;
    a.key = key;
    a.worker = std::thread([&a, path, key] {
        QString error;
        a.db = openKeyedDatabase(path, key, false, &error);
        if (!a.db) {
            // The open on the main thread meets the same fault and reports it.
            reportSwallowed(QStringLiteral("opening the bank ahead failed"), error);
        }
    });
}

sqlite3* openahead::take(const QString& path, const QByteArray& key)
{
    Ahead& a = ahead();
    const std::lock_guard<std::mutex> guard(a.lock);
    a.join();
    sqlite3* db = nullptr;
    if (a.db && a.path == path && a.key == key) {
        db = a.db;
        a.db = nullptr;
    }
    a.close();
    return db;
}

void openahead::discard()
{
    Ahead& a = ahead();
    const std::lock_guard<std::mutex> guard(a.lock);
    a.close();
}
