// The schema of the records of learning and its upgrades: version 2 added the history and
// the book, version 3 the subject to both and the tables of subject four.
#include "data/BankSchema.h"
#include "data/Connection.h"
#include "exampaper/BankSql.h"
#include "exampaper/StudyRecord.h"

#include <QRegularExpression>
#include <sqlite3.h>

namespace StudyRecord {

namespace {

using BankSql::exec;
using BankSql::fail;

const char kBookTable[] = "CREATE TABLE T_WrongBook (Subject INTEGER NOT NULL DEFAULT 1, "
                          "ID INTEGER NOT NULL, Misses INTEGER NOT NULL DEFAULT 0, "
                          "LastMissed TEXT, PRIMARY KEY (Subject, ID))";

// "CREATE TABLE T" and "CREATE INDEX I" as statements that leave one that stands.
QString ifMissing(QString create)
{
    static const QRegularExpression head(QStringLiteral("^CREATE (TABLE|INDEX) "));
    return create.replace(head, QStringLiteral("CREATE \\1 IF NOT EXISTS "));
}

// The book of version 2 was keyed by the question alone, and a key cannot change in
// place: the old table is set aside, the new one filled from it, and what the bank held on
// the old one (its triggers and indexes) is made again on the new one.
bool rebuildBook(sqlite3* db, QString* error)
{
    QStringList dependants;
    {
        BankSql::Statement q(db, QStringLiteral("SELECT sql FROM sqlite_master WHERE "
                                                "tbl_name='T_WrongBook' AND type IN "
                                                "('index','trigger') AND sql IS NOT NULL "
                                                "ORDER BY rowid"));
        int rc = q.ok() ? q.step() : SQLITE_ERROR;
        for (; rc == SQLITE_ROW; rc = q.step()) {
            dependants << q.text(0);
        }
        if (rc != SQLITE_DONE) {
            return fail(error, q.error());
        }
    }
    if (!exec(db, QStringLiteral("ALTER TABLE T_WrongBook RENAME TO T_WrongBook_v2"), error) ||
        !exec(db, QString::fromLatin1(kBookTable), error) ||
        !exec(db,
              QStringLiteral("INSERT INTO T_WrongBook (Subject, ID, Misses, LastMissed) "
                             "SELECT 1, ID, COALESCE(Misses, 0), LastMissed FROM T_WrongBook_v2"),
              error) ||
        !exec(db, QStringLiteral("DROP TABLE T_WrongBook_v2"), error)) {
        return false;
    }
    for (const QString& sql : dependants) {
        if (!exec(db, sql, error)) {
            return false;
        }
    }
    return true;
}

// Tables that stand are left (also in a bank whose version claims them), and what an
// older version's tables lack is added.
bool upgrade(sqlite3* db, QString* error)
{
    const QStringList create = {
        QStringLiteral("CREATE TABLE T_ExamHistory (HistoryID INTEGER PRIMARY KEY, "
                       "TakenAt TEXT NOT NULL, CandidateNo TEXT, Score INTEGER NOT NULL, "
                       "Passed INTEGER NOT NULL, Questions INTEGER NOT NULL, "
                       "Subject INTEGER NOT NULL DEFAULT 1)"),
        QStringLiteral("CREATE TABLE T_ExamChapter (HistoryID INTEGER NOT NULL, "
                       "Chapter INTEGER NOT NULL, Asked INTEGER NOT NULL, "
                       "Correct INTEGER NOT NULL, PRIMARY KEY (HistoryID, Chapter))"),
        QString::fromLatin1(kBookTable),
    };
    for (const QString& sql : create + BankSchema::subjectFourStatements()) {
        if (!exec(db, ifMissing(sql), error)) {
            return false;
        }
    }
    bool has = false;
    if (!BankSql::hasColumn(db, QStringLiteral("T_ExamHistory"), QStringLiteral("Subject"), &has,
                            error)) {
        return false;
    }
    if (!has && !exec(db,
                      QStringLiteral("ALTER TABLE T_ExamHistory ADD COLUMN "
                                     "Subject INTEGER NOT NULL DEFAULT 1"),
                      error)) {
        return false;
    }
    if (!BankSql::hasColumn(db, QStringLiteral("T_WrongBook"), QStringLiteral("Subject"), &has,
                            error)) {
        return false;
    }
    if (!has && !rebuildBook(db, error)) {
        return false;
    }
    BankSql::Statement version(db, QStringLiteral("PRAGMA user_version"));
    if (!version.row(error)) {
        return false;
    }
    if (version.integer(0) >= kUserVersion) {
        return true;
    }
    return exec(db, QStringLiteral("PRAGMA user_version=%1").arg(kUserVersion), error);
}

} // namespace

bool upgradeSchema(Connection& connection, QString* error)
{
    sqlite3* db = connection.handle();
    if (!db) {
        return fail(error, QStringLiteral("题库没有打开"));
    }
    if (!connection.inTransaction()) {
        return BankSql::inOneTransaction(
            connection, [db](QString* e) { return upgrade(db, e); }, error);
    }
    // Within the caller's transaction: a failure takes back the upgrade alone, and the
    // caller decides about the rest.
    if (!exec(db, QStringLiteral("SAVEPOINT record_schema"), error)) {
        return false;
    }
    QString failure;
    if (!upgrade(db, &failure)) {
        exec(db, QStringLiteral("ROLLBACK TO record_schema"), nullptr);
        exec(db, QStringLiteral("RELEASE record_schema"), nullptr);
        return fail(error, failure);
    }
    return exec(db, QStringLiteral("RELEASE record_schema"), error);
}

} // namespace StudyRecord
