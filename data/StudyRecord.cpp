#include "data/StudyRecord.h"

#include "data/Connection.h"
#include "data/DataError.h"

#include <sqlite3.h>

namespace StudyRecord {

namespace {

const char kTimeFormat[] = "yyyy-MM-dd HH:mm:ss";

// A prepared statement that is finalized with its block.
class Statement
{
public:
    Statement(sqlite3* db, const char* sql)
        : m_db(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK) {
            m_error = sqliteMessage(db);
            sqlite3_finalize(m_stmt);
            m_stmt = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return m_stmt != nullptr; }
    QString error() const { return m_error.isEmpty() ? sqliteMessage(m_db) : m_error; }
    void bind(int index, qint64 value) { sqlite3_bind_int64(m_stmt, index, value); }
    void bind(int index, const QString& text)
    {
        const QByteArray bytes = text.toUtf8();
        sqlite3_bind_text(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step() { return sqlite3_step(m_stmt); }
    void reset()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    qint64 integer(int column) const { return sqlite3_column_int64(m_stmt, column); }
    QString text(int column) const
    {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column)),
                                 sqlite3_column_bytes(m_stmt, column));
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_error;
};

bool fail(QString* error, const QString& text)
{
    if (error) {
        *error = text;
    }
    return false;
}

bool exec(sqlite3* db, const char* sql, QString* error)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        return fail(error, sqliteMessage(db));
    }
    return true;
}

bool tableExists(sqlite3* db, const char* name, bool* exists, QString* error)
{
    Statement q(db, "SELECT COUNT(*) FROM sqlite_master WHERE type='table' AND name=?");
    if (!q.ok()) {
        return fail(error, q.error());
    }
    q.bind(1, QString::fromLatin1(name));
    if (q.step() != SQLITE_ROW) {
        return fail(error, q.error());
    }
    *exists = q.integer(0) > 0;
    return true;
}

// Inside the transaction of each record: the tables where they are missing (also in a
// bank whose version claims them), then the raised version. Tables that stand are left.
bool migrate(sqlite3* db, QString* error)
{
    if (!exec(db,
              "CREATE TABLE IF NOT EXISTS T_ExamHistory (HistoryID INTEGER PRIMARY KEY, "
              "TakenAt TEXT NOT NULL, CandidateNo TEXT, Score INTEGER NOT NULL, "
              "Passed INTEGER NOT NULL, Questions INTEGER NOT NULL)",
              error) ||
        !exec(db,
              "CREATE TABLE IF NOT EXISTS T_ExamChapter (HistoryID INTEGER NOT NULL, "
              "Chapter INTEGER NOT NULL, Asked INTEGER NOT NULL, Correct INTEGER NOT NULL, "
              "PRIMARY KEY (HistoryID, Chapter))",
              error) ||
        !exec(db,
              "CREATE TABLE IF NOT EXISTS T_WrongBook (ID INTEGER PRIMARY KEY, "
              "Misses INTEGER NOT NULL DEFAULT 0, LastMissed TEXT)",
              error)) {
        return false;
    }
    Statement version(db, "PRAGMA user_version");
    if (!version.ok() || version.step() != SQLITE_ROW) {
        return fail(error, version.error());
    }
    if (version.integer(0) >= kUserVersion) {
        return true;
    }
    return exec(db,
                (QByteArray("PRAGMA user_version=") + QByteArray::number(kUserVersion)).constData(),
                error);
}

struct PaperAnswer
{
    int id;
    bool right;
};

bool writeRecord(sqlite3* db, const QDateTime& takenAt, const QString& candidateNo,
                 ExamEntry* entry, QString* error)
{
    if (!migrate(db, error)) {
        return false;
    }
    // Marked as the result screen marks: equal to the bank's answer as the database
    // compares text; NULL and '' are wrong.
    std::vector<PaperAnswer> answers;
    {
        Statement paper(db, "SELECT b.ID, COALESCE(a.Result=b.Result,0) FROM T_Topic a, "
                            "T_TopicTmp b WHERE a.ID=b.ID ORDER BY b.TopicNo");
        if (!paper.ok()) {
            return fail(error, paper.error());
        }
        int rc;
        while ((rc = paper.step()) == SQLITE_ROW) {
            answers.push_back({int(paper.integer(0)), paper.integer(1) != 0});
        }
        if (rc != SQLITE_DONE) {
            return fail(error, paper.error());
        }
    }
    int questions = 0;
    {
        Statement count(db, "SELECT COUNT(*) FROM T_TopicTmp");
        if (!count.ok() || count.step() != SQLITE_ROW) {
            return fail(error, count.error());
        }
        questions = int(count.integer(0));
    }
    int score = 0;
    std::vector<ChapterShare> tally(chapters().size());
    for (const PaperAnswer& a : answers) {
        score += a.right ? 1 : 0;
        const int chapter = chapterOf(a.id);
        if (chapter >= 0) {
            ++tally[size_t(chapter)].asked;
            tally[size_t(chapter)].right += a.right ? 1 : 0;
        }
    }
    const QString when = takenAt.toString(QString::fromLatin1(kTimeFormat));

    Statement history(db, "INSERT INTO T_ExamHistory (TakenAt, CandidateNo, Score, Passed, "
                          "Questions) VALUES (?, ?, ?, ?, ?)");
    if (!history.ok()) {
        return fail(error, history.error());
    }
    history.bind(1, when);
    history.bind(2, candidateNo);
    history.bind(3, score);
    history.bind(4, score >= kPassMark ? 1 : 0);
    history.bind(5, questions);
    if (history.step() != SQLITE_DONE) {
        return fail(error, history.error());
    }
    const qint64 historyId = sqlite3_last_insert_rowid(db);

    Statement chapter(db, "INSERT INTO T_ExamChapter (HistoryID, Chapter, Asked, Correct) "
                          "VALUES (?, ?, ?, ?)");
    if (!chapter.ok()) {
        return fail(error, chapter.error());
    }
    for (size_t i = 0; i < tally.size(); ++i) {
        if (tally[i].asked == 0) {
            continue;
        }
        chapter.bind(1, historyId);
        chapter.bind(2, qint64(i));
        chapter.bind(3, tally[i].asked);
        chapter.bind(4, tally[i].right);
        if (chapter.step() != SQLITE_DONE) {
            return fail(error, chapter.error());
        }
        chapter.reset();
    }

    Statement missed(db, "UPDATE T_WrongBook SET Misses=Misses+1, LastMissed=? WHERE ID=?");
    Statement added(db, "INSERT INTO T_WrongBook (ID, Misses, LastMissed) VALUES (?, 1, ?)");
    Statement mastered(db, "DELETE FROM T_WrongBook WHERE ID=?");
    for (const Statement* s : {&missed, &added, &mastered}) {
        if (!s->ok()) {
            return fail(error, s->error());
        }
    }
    for (const PaperAnswer& a : answers) {
        if (a.right) {
            mastered.bind(1, a.id);
            if (mastered.step() != SQLITE_DONE) {
                return fail(error, mastered.error());
            }
            mastered.reset();
            continue;
        }
        missed.bind(1, when);
        missed.bind(2, a.id);
        if (missed.step() != SQLITE_DONE) {
            return fail(error, missed.error());
        }
        missed.reset();
        if (sqlite3_changes(db) == 0) {
            added.bind(1, a.id);
            added.bind(2, when);
            if (added.step() != SQLITE_DONE) {
                return fail(error, added.error());
            }
            added.reset();
        }
    }
    if (entry) {
        *entry = {takenAt, candidateNo, score, score >= kPassMark, questions};
    }
    return true;
}

} // namespace

const std::vector<Chapter>& chapters()
{
    static const std::vector<Chapter> list = {
        {1, 441, QStringLiteral("法律法规")},     {442, 699, QStringLiteral("交通信号")},
        {700, 938, QStringLiteral("安全行车")},   {939, 1065, QStringLiteral("驾驶操作")},
        {1066, 1207, QStringLiteral("高速公路")}, {1208, 1271, QStringLiteral("复杂条件")},
        {1272, 1320, QStringLiteral("紧急情况")}, {1321, 1379, QStringLiteral("事故急救")},
        {1380, 1449, QStringLiteral("车辆构造")}, {1450, 1500, QStringLiteral("夜间山区")},
        {1501, 1600, QStringLiteral("新规定")},
    };
    return list;
}

int chapterOf(int id)
{
    const std::vector<Chapter>& list = chapters();
    for (size_t i = 0; i < list.size(); ++i) {
        if (id >= list[i].firstId && id <= list[i].lastId) {
            return int(i);
        }
    }
    return -1;
}

bool recordExam(Connection& connection, const QDateTime& takenAt, const QString& candidateNo,
                ExamEntry* recorded, QString* error)
{
    sqlite3* db = connection.handle();
    if (!db) {
        return fail(error, QStringLiteral("题库没有打开"));
    }
    if (connection.inTransaction()) {
        return fail(error, QStringLiteral("题库正忙于另一项写入"));
    }
    // The connection's own transaction statements: a refused end fails the record with
    // the engine's words, a refused rollback among them.
    try {
        connection.beginTransaction();
    } catch (const DatabaseError& e) {
        return fail(error, e.message());
    }
    QString failure;
    if (!writeRecord(db, takenAt, candidateNo, recorded, &failure)) {
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

bool recordMastered(Connection& connection, int id, QString* error)
{
    sqlite3* db = connection.handle();
    if (!db) {
        return fail(error, QStringLiteral("题库没有打开"));
    }
    bool exists = false;
    if (!tableExists(db, "T_WrongBook", &exists, error)) {
        return false;
    }
    if (!exists) {
        return true; // no book yet: nothing to take out, and nothing written
    }
    Statement q(db, "DELETE FROM T_WrongBook WHERE ID=?");
    if (!q.ok()) {
        return fail(error, q.error());
    }
    q.bind(1, id);
    if (q.step() != SQLITE_DONE) {
        return fail(error, q.error());
    }
    return true;
}

bool readSummary(Connection& connection, Summary* summary, QString* error)
{
    *summary = Summary();
    summary->chapters.assign(chapters().size(), ChapterShare());
    sqlite3* db = connection.handle();
    if (!db) {
        return fail(error, QStringLiteral("题库没有打开"));
    }
    bool history = false;
    bool book = false;
    bool chapterTable = false;
    if (!tableExists(db, "T_ExamHistory", &history, error) ||
        !tableExists(db, "T_WrongBook", &book, error) ||
        !tableExists(db, "T_ExamChapter", &chapterTable, error)) {
        return false;
    }
    if (history) {
        Statement totals(db, "SELECT COUNT(*), COALESCE(SUM(Passed<>0),0) FROM T_ExamHistory");
        if (!totals.ok() || totals.step() != SQLITE_ROW) {
            return fail(error, totals.error());
        }
        summary->exams = int(totals.integer(0));
        summary->passes = int(totals.integer(1));
        Statement recent(db, "SELECT TakenAt, CandidateNo, Score, Passed, Questions "
                             "FROM T_ExamHistory ORDER BY HistoryID DESC LIMIT 30");
        if (!recent.ok()) {
            return fail(error, recent.error());
        }
        int rc;
        while ((rc = recent.step()) == SQLITE_ROW) {
            ExamEntry e;
            e.takenAt = QDateTime::fromString(recent.text(0), QString::fromLatin1(kTimeFormat));
            e.candidateNo = recent.text(1);
            e.score = int(recent.integer(2));
            e.passed = recent.integer(3) != 0;
            e.questions = int(recent.integer(4));
            summary->recent.insert(summary->recent.begin(), e);
        }
        if (rc != SQLITE_DONE) {
            return fail(error, recent.error());
        }
    }
    if (chapterTable) {
        Statement shares(db, "SELECT Chapter, SUM(Asked), SUM(Correct) FROM T_ExamChapter "
                             "GROUP BY Chapter");
        if (!shares.ok()) {
            return fail(error, shares.error());
        }
        int rc;
        while ((rc = shares.step()) == SQLITE_ROW) {
            const qint64 chapter = shares.integer(0);
            if (chapter >= 0 && chapter < qint64(summary->chapters.size())) {
                summary->chapters[size_t(chapter)] = {int(shares.integer(1)),
                                                      int(shares.integer(2))};
            }
        }
        if (rc != SQLITE_DONE) {
            return fail(error, shares.error());
        }
    }
    if (book) {
        Statement size(db, "SELECT COUNT(*) FROM T_WrongBook w INNER JOIN T_Topic t ON t.ID=w.ID");
        if (!size.ok() || size.step() != SQLITE_ROW) {
            return fail(error, size.error());
        }
        summary->bookSize = int(size.integer(0));
    }
    return true;
}

QStringList wrongBookPracticeSql(Connection& connection)
{
    // The book's numbers written into the statement keep it a query of one table, whose
    // pictures are read only when a question shows one; with a subquery every picture of
    // the book would be read at the opening.
    sqlite3* db = connection.handle();
    bool exists = false;
    QString error;
    QStringList ids;
    // No book yet: an empty practice.
    bool read = db && tableExists(db, "T_WrongBook", &exists, &error);
    if (read && exists) {
        Statement q(db, "SELECT ID FROM T_WrongBook ORDER BY ID");
        int rc = q.ok() ? q.step() : SQLITE_ERROR;
        while (rc == SQLITE_ROW) {
            ids << QString::number(q.integer(0));
            rc = q.step();
        }
        read = rc == SQLITE_DONE;
    }
    if (!read) {
        // The statement then meets the same fault when it is opened, and says so.
        return {QStringLiteral("SELECT * FROM T_Topic"),
                QStringLiteral(" WHERE ID IN (SELECT ID FROM T_WrongBook)"),
                QStringLiteral(" ORDER BY ID ")};
    }
    return {QStringLiteral("SELECT * FROM T_Topic"),
            QStringLiteral(" WHERE ID IN (%1)").arg(ids.join(QLatin1Char(','))),
            QStringLiteral(" ORDER BY ID ")};
}

bool explanationOf(Connection& connection, int id, QString* explain, QString* source,
                   QString* error)
{
    explain->clear();
    source->clear();
    sqlite3* db = connection.handle();
    if (!db) {
        return fail(error, QStringLiteral("题库没有打开"));
    }
    Statement q(db, "SELECT Explain, Source FROM T_Topic WHERE ID=?");
    if (!q.ok()) {
        return fail(error, q.error());
    }
    q.bind(1, id);
    const int rc = q.step();
    if (rc == SQLITE_ROW) {
        *explain = q.text(0);
        *source = q.text(1);
    } else if (rc != SQLITE_DONE) {
        return fail(error, q.error());
    }
    return true;
}

} // namespace StudyRecord
