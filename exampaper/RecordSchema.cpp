// The schema of the records of learning and its upgrades: version 2 added the history and
// the book, version 3 the subject to both and the tables of subject four, version 4 the
// log of every answer, the review schedule of the book, the starred questions, the
// places and orders of practice, and the unanswered count and mode of an exam.
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
                          "LastMissed TEXT, Step INTEGER NOT NULL DEFAULT 0, DueOn TEXT, "
                          "PRIMARY KEY (Subject, ID))";

// Columns a table of an older version lacks, added in place with their defaults.
struct AddedColumn
{
    const char* table;
    const char* column;
    const char* definition;
};
const AddedColumn kAddedColumns[] = {
    {"T_ExamHistory", "Subject", "Subject INTEGER NOT NULL DEFAULT 1"},
    {"T_ExamHistory", "Unanswered", "Unanswered INTEGER NOT NULL DEFAULT 0"},
    {"T_ExamHistory", "Mode", "Mode INTEGER NOT NULL DEFAULT 0"},
    {"T_WrongBook", "Step", "Step INTEGER NOT NULL DEFAULT 0"},
    {"T_WrongBook", "DueOn", "DueOn TEXT"},
};

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
        // The learner's own tables name a question by its key, which outlives its ID.
        QStringLiteral("CREATE TABLE T_AnswerLog (LogID INTEGER PRIMARY KEY, "
                       "Subject INTEGER NOT NULL, QKey TEXT NOT NULL, Mode INTEGER NOT NULL, "
                       "Answer TEXT, IsRight INTEGER NOT NULL, AnsweredAt TEXT NOT NULL)"),
        QStringLiteral("CREATE INDEX T_AnswerLog_Question ON T_AnswerLog (Subject, QKey)"),
        QStringLiteral("CREATE TABLE T_Starred (Subject INTEGER NOT NULL, QKey TEXT NOT NULL, "
                       "StarredAt TEXT, PRIMARY KEY (Subject, QKey))"),
        QStringLiteral("CREATE TABLE T_StudyPlace (Subject INTEGER NOT NULL, Place TEXT NOT NULL, "
                       "QKey TEXT NOT NULL, PRIMARY KEY (Subject, Place))"),
        QStringLiteral("CREATE TABLE T_RandomOrder (Subject INTEGER NOT NULL, "
                       "Seq INTEGER NOT NULL, QKey TEXT NOT NULL, PRIMARY KEY (Subject, Seq))"),
    };
    for (const QString& sql : create + BankSchema::subjectFourStatements()) {
        if (!exec(db, ifMissing(sql), error)) {
            return false;
        }
    }
    bool has = false;
    if (!BankSql::hasColumn(db, QStringLiteral("T_WrongBook"), QStringLiteral("Subject"), &has,
                            error)) {
        return false;
    }
    if (!has && !rebuildBook(db, error)) {
        return false;
    }
    for (const AddedColumn& c : kAddedColumns) {
        const QString table = QString::fromLatin1(c.table);
        if (!BankSql::hasColumn(db, table, QString::fromLatin1(c.column), &has, error)) {
            return false;
        }
        if (!has && !exec(db,
                          QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                              .arg(table, QString::fromLatin1(c.definition)),
                          error)) {
            return false;
        }
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
