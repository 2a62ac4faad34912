#include "tools/refresh/BankRefresh.h"

#include "data/Connection.h"
#include "data/DMUnit.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <sqlite3.h>

namespace {

// A table of questions and the learner's tables that name its questions by ID. Type
// (and Chapter), where a table keeps them, are taken from the new bank; an answer on a
// paper whose question changed its kind is cleared. The wrong-question book holds both
// subjects, told apart by its Subject column (a book without it is subject one's).
struct LearnerTable
{
    const char* table;
    bool paper; // keeps Type and the learner's answer in Result (and Chapter in subject four)
};
struct QuestionTable
{
    const char* table;
    int subject;
    std::vector<LearnerTable> learner;
};
const QuestionTable kQuestionTables[] = {
    {"T_Topic", 1, {{"T_TopicTmp", true}, {"T_WrongBook", false}}},
    {"T_SafeTopic", 4, {{"T_SafePaper", true}, {"T_WrongBook", false}}},
};

// The learner's tables that name a question by its key: they need no new ID, but a row
// whose question the new bank no longer has is dropped, as in the tables by ID.
const char* const kKeyedTables[] = {"T_AnswerLog", "T_Starred", "T_StudyPlace", "T_RandomOrder"};

struct Handle
{
    sqlite3* db = nullptr;
    ~Handle() { sqlite3_close_v2(db); }
};

bool exec(sqlite3* db, const QString& sql, QString* error)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK) {
        return true;
    }
    *error = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    return false;
}

// Runs sql and hands each row to take; false with the engine's message.
template <class Take> bool eachRow(sqlite3* db, const char* sql, QString* error, Take take)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        *error = sqliteMessage(db);
        sqlite3_finalize(stmt);
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        take(stmt);
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        *error = sqliteMessage(db);
        return false;
    }
    return true;
}

QString text(sqlite3_stmt* stmt, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                             sqlite3_column_bytes(stmt, column));
}

int count(sqlite3* db, const QByteArray& sql)
{
    int n = -1;
    QString ignored;
    eachRow(db, sql.constData(), &ignored, [&](sqlite3_stmt* s) { n = sqlite3_column_int(s, 0); });
    return n;
}

bool hasColumn(sqlite3* db, const char* schema, const char* table, const char* column)
{
    bool found = false;
    QString ignored;
    const QByteArray sql = QByteArray("PRAGMA ") + schema + ".table_info(" + table + ")";
    eachRow(db, sql.constData(), &ignored, [&](sqlite3_stmt* s) {
        found = found || text(s, 1).compare(QLatin1String(column), Qt::CaseInsensitive) == 0;
    });
    return found;
}

bool tableExists(sqlite3* db, const char* table)
{
    return count(db, QByteArray("SELECT count(*) FROM main.sqlite_master WHERE type = 'table' "
                                "AND name = '") +
                         table + "'") > 0;
}

// The statements that make a questions table and its indexes in the new bank.
bool questionSchema(sqlite3* db, const char* table, QStringList* statements, QString* error)
{
    const QByteArray sql = QByteArray("SELECT sql FROM fresh.sqlite_master WHERE tbl_name = '") +
                           table + "' AND sql IS NOT NULL ORDER BY type = 'table' DESC, rowid";
    if (!eachRow(db, sql.constData(), error, [&](sqlite3_stmt* s) { *statements << text(s, 0); })) {
        return false;
    }
    if (statements->isEmpty() || !statements->first().startsWith(QLatin1String("CREATE TABLE"))) {
        *error = QStringLiteral("新题库中没有题目表 %1。").arg(QLatin1String(table));
        return false;
    }
    if (!hasColumn(db, "fresh", table, "QKey")) {
        *error = QStringLiteral("新题库的题目没有编号（QKey），不能用来更新。");
        return false;
    }
    return true;
}

struct Target
{
    qint64 id;
    int type;
    int chapter;
};

// Every learner ID of a questions table whose question the new bank still has, with its
// new ID, kind and chapter. A learner bank without the table names none of its questions.
bool mapQuestions(sqlite3* db, const char* table,
                  const std::vector<QuestionKey::Entry>& firstRelease, QHash<qint64, Target>* map,
                  QString* error)
{
    const QByteArray name(table);
    const bool chapters = hasColumn(db, "fresh", table, "Chapter");
    QHash<QString, Target> fresh;
    const QByteArray freshSql =
        "SELECT QKey, ID, Type, " + QByteArray(chapters ? "Chapter" : "0") + " FROM fresh." + name;
    if (!eachRow(db, freshSql.constData(), error, [&](sqlite3_stmt* s) {
            fresh.insert(text(s, 0), {sqlite3_column_int64(s, 1), sqlite3_column_int(s, 2),
                                      sqlite3_column_int(s, 3)});
        })) {
        return false;
    }
    if (!tableExists(db, table)) {
        return true;
    }
    QHash<qint64, QString> keys; // learner ID -> key
    if (hasColumn(db, "main", table, "QKey")) {
        const QByteArray sql = "SELECT ID, QKey FROM main." + name;
        if (!eachRow(db, sql.constData(), error, [&](sqlite3_stmt* s) {
                keys.insert(sqlite3_column_int64(s, 0), text(s, 1));
            })) {
            return false;
        }
    } else if (name == "T_Topic") {
        // The first release: its question of the same ID if it says the same, else the one
        // question anywhere in it that says the same.
        QHash<QString, QString> byIdAndDigest;
        QHash<QString, QStringList> byDigest;
        for (const QuestionKey::Entry& e : firstRelease) {
            byIdAndDigest.insert(QString::number(e.id) + QLatin1Char(' ') + e.digest, e.key);
            byDigest[e.digest] << e.key;
        }
        if (!eachRow(db, "SELECT ID, Type, Content, Result FROM main.T_Topic", error,
                     [&](sqlite3_stmt* s) {
                         const qint64 id = sqlite3_column_int64(s, 0);
                         const QString digest = QuestionKey::legacyDigest(sqlite3_column_int(s, 1),
                                                                          text(s, 2), text(s, 3));
                         const QString exact =
                             byIdAndDigest.value(QString::number(id) + QLatin1Char(' ') + digest);
                         if (!exact.isEmpty()) {
                             keys.insert(id, exact);
                         } else if (byDigest.value(digest).size() == 1) {
                             keys.insert(id, byDigest.value(digest).first());
                         }
                     })) {
            return false;
        }
    }
    for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
        const auto found = fresh.constFind(it.value());
        if (found != fresh.cend()) {
            map->insert(it.key(), found.value());
        }
    }
    return true;
}

bool writeMap(sqlite3* db, const QHash<qint64, Target>& map, QString* error)
{
    if (!exec(db,
              QStringLiteral("DROP TABLE IF EXISTS temp.refresh_map; CREATE TEMP TABLE "
                             "refresh_map (old INTEGER PRIMARY KEY, new INTEGER NOT NULL, "
                             "type INTEGER NOT NULL, chapter INTEGER NOT NULL)"),
              error)) {
        return false;
    }
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(db, "INSERT INTO temp.refresh_map VALUES (?, ?, ?, ?)", -1, &insert,
                           nullptr) != SQLITE_OK) {
        *error = sqliteMessage(db);
        return false;
    }
    bool ok = true;
    for (auto it = map.cbegin(); ok && it != map.cend(); ++it) {
        sqlite3_bind_int64(insert, 1, it.key());
        sqlite3_bind_int64(insert, 2, it.value().id);
        sqlite3_bind_int(insert, 3, it.value().type);
        sqlite3_bind_int(insert, 4, it.value().chapter);
        ok = sqlite3_step(insert) == SQLITE_DONE;
        sqlite3_reset(insert);
    }
    if (!ok) {
        *error = sqliteMessage(db);
    }
    sqlite3_finalize(insert);
    return ok;
}

// Carries one learner table's rows of one subject over to the new IDs; counts what it
// drops and clears.
bool carryOver(sqlite3* db, const QuestionTable& q, const LearnerTable& t, RefreshReport* report,
               QString* error)
{
    if (!tableExists(db, t.table)) {
        return true;
    }
    const QString table = QString::fromLatin1(t.table);
    // The rows of this subject: all of a table of one subject, the subject's of the book.
    QString rows = QStringLiteral("1");
    if (hasColumn(db, "main", t.table, "Subject")) {
        rows = QStringLiteral("Subject = %1").arg(q.subject);
    } else if (q.subject != 1 && !t.paper) {
        return true; // a book from before subject four holds none of its questions
    }
    const QString mapped = QStringLiteral("(SELECT %2 FROM temp.refresh_map WHERE old = %1.ID)");
    auto run = [&](const QString& sql, int* changes) {
        if (!exec(db, sql, error)) {
            return false;
        }
        if (changes) {
            *changes += sqlite3_changes(db);
        }
        return true;
    };
    if (!run(QStringLiteral("DELETE FROM main.%1 WHERE (%2) AND (ID IS NULL OR ID NOT IN "
                            "(SELECT old FROM temp.refresh_map))")
                 .arg(table, rows),
             &report->dropped)) {
        return false;
    }
    QString set = QStringLiteral("ID = -") + mapped.arg(table, QStringLiteral("new"));
    if (t.paper) {
        // An answer given to the question as it was: once its kind changed (a choice to a
        // statement, a single to a multiple answer) it answers nothing.
        if (!run(QStringLiteral("UPDATE main.%1 SET Result = NULL WHERE (%2) AND Result <> '' "
                                "AND Type IS NOT %3")
                     .arg(table, rows, mapped.arg(table, QStringLiteral("type"))),
                 &report->cleared)) {
            return false;
        }
        set += QStringLiteral(", Type = ") + mapped.arg(table, QStringLiteral("type"));
        if (hasColumn(db, "main", t.table, "Chapter")) {
            set += QStringLiteral(", Chapter = ") + mapped.arg(table, QStringLiteral("chapter"));
        }
    }
    // Through the negative numbers, so that no two rows share an ID half-way (the book
    // keys its rows by ID).
    return run(QStringLiteral("UPDATE main.%1 SET %2 WHERE %3").arg(table, set, rows), nullptr) &&
           run(QStringLiteral("UPDATE main.%1 SET ID = -ID WHERE (%2) AND ID < 0").arg(table, rows),
               nullptr);
}

// The table a questions table of the new bank is copied into before the learner's own is
// dropped.
QString stagingName(const QuestionTable& q)
{
    return QStringLiteral("refresh_new_") + QLatin1String(q.table);
}

// The new bank's CREATE TABLE statement for the staging table. The engine keeps the
// statement as written but for its first words, "CREATE TABLE " and the name.
bool stagingStatement(const QuestionTable& q, const QString& create, QString* staged,
                      QString* error)
{
    static const QRegularExpression name(
        QStringLiteral("^CREATE TABLE ([\"`\\[]?)(\\w+)[\"`\\]]?\\s*\\("),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = name.match(create);
    if (!m.hasMatch() || m.captured(2).compare(QLatin1String(q.table), Qt::CaseInsensitive) != 0) {
        *error = QStringLiteral("新题库中题目表 %1 的定义无法识别。").arg(QLatin1String(q.table));
        return false;
    }
    *staged = create;
    staged->replace(m.capturedStart(2), m.capturedLength(2), stagingName(q));
    return true;
}

// The first half of taking one questions table of the new bank into the learner's: the
// rows that name its questions carried over to the new IDs, and the new questions copied
// in beside the learner's. The copy goes to pages the file did not use when the
// transaction began (its free pages or new ones at its end), which the rollback journal
// need not save; the learner's questions are dropped only once every table is copied
// (swapTable), else the copy of the next table would reuse their pages and journal them.
bool stageTable(sqlite3* db, const QuestionTable& q,
                const std::vector<QuestionKey::Entry>& firstRelease, QStringList* schema,
                RefreshReport* report, QString* error)
{
    QHash<qint64, Target> map;
    QString staged;
    if (!questionSchema(db, q.table, schema, error) ||
        !stagingStatement(q, schema->first(), &staged, error) ||
        !mapQuestions(db, q.table, firstRelease, &map, error) || !writeMap(db, map, error)) {
        return false;
    }
    for (const LearnerTable& t : q.learner) {
        if (!carryOver(db, q, t, report, error)) {
            return false;
        }
    }
    // The new bank's statements name no schema, so they make the table in the learner's.
    return exec(db, QStringLiteral("DROP TABLE IF EXISTS main.%1").arg(stagingName(q)), error) &&
           exec(db, staged, error) &&
           exec(db,
                QStringLiteral("INSERT INTO main.%1 SELECT * FROM fresh.%2")
                    .arg(stagingName(q), QLatin1String(q.table)),
                error);
}

// The second half: the learner's questions dropped, the copy named in their place and
// given the new bank's indexes, and the rows of the tables by key whose question is gone
// dropped too.
bool swapTable(sqlite3* db, const QuestionTable& q, const QStringList& schema,
               RefreshReport* report, QString* error)
{
    const QString table = QLatin1String(q.table);
    // The legacy form renames the table alone: a view or trigger elsewhere that names the
    // learner's table by its name finds the new one under it.
    if (!exec(db, QStringLiteral("DROP TABLE IF EXISTS main.%1").arg(table), error) ||
        !exec(db, QStringLiteral("PRAGMA legacy_alter_table=ON"), error) ||
        !exec(db, QStringLiteral("ALTER TABLE main.%1 RENAME TO %2").arg(stagingName(q), table),
              error) ||
        !exec(db, QStringLiteral("PRAGMA legacy_alter_table=OFF"), error)) {
        return false;
    }
    for (const QString& statement : schema.mid(1)) {
        if (!exec(db, statement, error)) {
            return false;
        }
    }
    for (const char* keyed : kKeyedTables) {
        if (!tableExists(db, keyed)) {
            continue;
        }
        if (!exec(db,
                  QStringLiteral("DELETE FROM main.%1 WHERE Subject = %2 AND QKey NOT IN "
                                 "(SELECT QKey FROM main.%3)")
                      .arg(QLatin1String(keyed))
                      .arg(q.subject)
                      .arg(table),
                  error)) {
            return false;
        }
        report->dropped += sqlite3_changes(db);
    }
    return true;
}

// The end of the transaction, through the data layer's own statements so that tests can
// have the engine refuse it as a failing disk would.
bool finish(sqlite3* db, const char* statement, QString* error)
{
    if (execStorageStatement(db, statement) == SQLITE_OK) {
        return true;
    }
    *error = sqliteMessage(db);
    return false;
}

void removeDatabaseFiles(const QString& path)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        QFile::remove(path + QLatin1String(suffix));
    }
}

// The new bank is read from a copy beside the learner's: the package's own folder is
// not the learner's to write, and the engine writes its journal beside what it opens.
class FreshCopy
{
public:
    explicit FreshCopy(const QString& learnerBank)
        : m_path(QFileInfo(learnerBank).dir().filePath(QStringLiteral(".Drive.mdb.new")))
    {}
    ~FreshCopy() { removeDatabaseFiles(m_path); }
    FreshCopy(const FreshCopy&) = delete;
    FreshCopy& operator=(const FreshCopy&) = delete;

    bool make(const QString& from, QString* error)
    {
        removeDatabaseFiles(m_path);
        QFile source(from);
        if (!source.copy(m_path)) {
            *error = QStringLiteral("无法把新题库复制到学员文件夹：%1").arg(source.errorString());
            return false;
        }
        return true;
    }
    QString path() const { return m_path; }

private:
    QString m_path;
};

} // namespace

bool refreshBank(const QString& learnerBank, const QString& newBank,
                 const std::vector<QuestionKey::Entry>& firstRelease, RefreshReport* report,
                 QString* error)
{
    *report = RefreshReport();
    QString failure;
    auto fail = [&](const QString& what) {
        *error = what;
        return false;
    };
    if (!QFileInfo(newBank).isFile()) {
        return fail(QStringLiteral("找不到新题库文件“%1”。").arg(newBank));
    }
    QByteArray key;
    if (!passwordKey(TDM::kPassword, &key, &failure)) {
        return fail(failure);
    }
    FreshCopy copy(learnerBank);
    Handle learner;
    learner.db = openKeyedDatabase(learnerBank, key, false, &failure);
    if (!learner.db) {
        return fail(failure);
    }
    if (!copy.make(newBank, &failure)) {
        return fail(failure);
    }
    sqlite3_stmt* attach = nullptr;
    if (sqlite3_prepare_v2(learner.db, "ATTACH DATABASE ?1 AS fresh KEY ?2", -1, &attach,
                           nullptr) != SQLITE_OK) {
        return fail(sqliteMessage(learner.db));
    }
    const QByteArray path = QFile::encodeName(copy.path());
    sqlite3_bind_text(attach, 1, path.constData(), int(path.size()), SQLITE_TRANSIENT);
    sqlite3_bind_blob(attach, 2, key.constData(), int(key.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(attach);
    sqlite3_finalize(attach);
    if (rc != SQLITE_DONE) {
        return fail(
            QStringLiteral("无法打开新题库“%1”：%2").arg(newBank, sqliteMessage(learner.db)));
    }
    // A wrong key or a file that is no bank shows only at the first read.
    if (count(learner.db, "SELECT count(*) FROM fresh.sqlite_master") < 0) {
        return fail(
            QStringLiteral("“%1”不是本程序的题库：%2").arg(newBank, sqliteMessage(learner.db)));
    }
    if (!tableExists(learner.db, "T_Topic")) {
        return fail(QStringLiteral("学员题库中没有题目表 T_Topic，无法对应学员的记录。"));
    }
    // The copy goes faster through the rollback journal than through the log, which
    // writes every page twice (and once more at its checkpoint): a new page needs no
    // journal at all (stageTable). A copy cut off half-way is rolled back from whichever
    // the file has at its next open. The old questions are no secret, so the pages they
    // leave need not be wiped, a write each.
    QString ignored;
    auto journalMode = [&](const char* sql) {
        QByteArray mode;
        eachRow(learner.db, sql, &ignored,
                [&](sqlite3_stmt* s) { mode = text(s, 0).toLatin1().toLower(); });
        return mode;
    };
    const bool wal = journalMode("PRAGMA main.journal_mode") == "wal";
    // The file's mode after the copy: its own, or the log of the new bank where the file
    // was left without its own by a refresh cut off before.
    const bool walAfter = wal || journalMode("PRAGMA fresh.journal_mode") == "wal";
    // Where the file cannot leave its log, the copy goes through it, only slower.
    if (wal) {
        exec(learner.db, QStringLiteral("PRAGMA main.journal_mode=DELETE"), &ignored);
    }
    exec(learner.db, QStringLiteral("PRAGMA secure_delete=OFF"), &ignored);
    // The journal's removal is the commit: on the disk too before the refresh returns.
    exec(learner.db, QStringLiteral("PRAGMA main.synchronous=EXTRA"), &ignored);
    auto ownMode = [&] {
        // A file left in the other mode works as well, only its writes are slower.
        if (walAfter) {
            exec(learner.db, QStringLiteral("PRAGMA main.journal_mode=WAL"), &ignored);
        }
    };
    if (!exec(learner.db, QStringLiteral("BEGIN IMMEDIATE"), &failure)) {
        ownMode();
        return fail(QStringLiteral("无法修改学员题库：%1").arg(failure));
    }
    bool ok = true;
    std::vector<std::pair<const QuestionTable*, QStringList>> staged;
    for (const QuestionTable& q : kQuestionTables) {
        // Subject one's questions must come; a bank from before subject four brings none
        // of its, and the learner's stay as they are.
        const bool present =
            count(learner.db, QByteArray("SELECT count(*) FROM fresh.sqlite_master "
                                         "WHERE type = 'table' AND name = '") +
                                  q.table + "'") > 0;
        if (ok && (present || q.subject == 1)) {
            staged.emplace_back(&q, QStringList());
            ok = stageTable(learner.db, q, firstRelease, &staged.back().second, report, &failure);
        }
    }
    for (const auto& [q, schema] : staged) {
        ok = ok && swapTable(learner.db, *q, schema, report, &failure);
    }
    ok = ok && finish(learner.db, "COMMIT", &failure);
    if (!ok) {
        QString undone;
        if (!sqlite3_get_autocommit(learner.db) && !finish(learner.db, "ROLLBACK", &undone)) {
            // The engine rolls the journal back at the next open all the same.
            failure += QStringLiteral("；撤销也失败了：") + undone;
        }
        *report = RefreshReport();
        ownMode();
        return fail(QStringLiteral("题库更新失败，学员题库保持原样：%1").arg(failure));
    }
    ownMode();
    if (!exec(learner.db, QStringLiteral("DETACH DATABASE fresh"), &failure)) {
        return fail(QStringLiteral("新题库已经取用，但无法关闭它：%1").arg(failure));
    }
    report->questions = count(learner.db, "SELECT count(*) FROM main.T_Topic");
    return true;
}

const std::vector<QuestionKey::Entry>& firstReleaseKeys()
{
    static const std::vector<QuestionKey::Entry> entries = [] {
        std::vector<QuestionKey::Entry> list;
        QFile file(QStringLiteral(":/refresh/keys-1.0.txt"));
        QStringList errors;
        if (!file.open(QIODevice::ReadOnly) ||
            !QuestionKey::parseList(QStringLiteral("keys-1.0.txt"),
                                    QString::fromUtf8(file.readAll()),
                                    QuestionKey::ListForm::Released, &list, &errors)) {
            // The build checks the record; a program without it maps only keyed banks.
            list.clear();
        }
        return list;
    }();
    return entries;
}
