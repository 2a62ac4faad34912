#include "exampaper/StudyRecord.h"

#include "data/Connection.h"
#include "exampaper/BankSql.h"
#include "exampaper/StudyLog.h"

#include <sqlite3.h>

namespace StudyRecord {

namespace {

using BankSql::fail;
using BankSql::Statement;

const char kTimeFormat[] = "yyyy-MM-dd HH:mm:ss";

// Which rows of a table of the record are a subject's. A table of version 2 has no
// subject: all its rows are subject one's.
enum class Rows
{
    None,
    All,
    OfSubject,
};

bool rowsOf(sqlite3* db, const QString& table, int subject, Rows* rows, QString* error)
{
    bool exists = false;
    bool bySubject = false;
    if (!BankSql::tableExists(db, table, &exists, error) ||
        (exists && !BankSql::hasColumn(db, table, QStringLiteral("Subject"), &bySubject, error))) {
        return false;
    }
    *rows = !exists                           ? Rows::None
            : bySubject                       ? Rows::OfSubject
            : subject == subjectOne().subject ? Rows::All
                                              : Rows::None;
    return true;
}

QString subjectFilter(Rows rows, const QString& column)
{
    return rows == Rows::OfSubject ? QStringLiteral(" WHERE %1=?").arg(column) : QString();
}

bool writeBook(sqlite3* db, const ExamFormat& format, const ExamMarking::MarkedPaper& paper,
               const QDateTime& takenAt, QString* error)
{
    const QString when = takenAt.toString(QString::fromLatin1(kTimeFormat));
    const QString due = StudyLog::dueText(StudyLog::dueAfter(0, takenAt.date()));
    Statement missed(db, QStringLiteral("UPDATE T_WrongBook SET Misses=Misses+1, LastMissed=?1, "
                                        "Step=0, DueOn=?4 WHERE Subject=?2 AND ID=?3"));
    Statement added(db, QStringLiteral("INSERT INTO T_WrongBook (Subject, ID, Misses, "
                                       "LastMissed, Step, DueOn) VALUES (?, ?, 1, ?, 0, ?4)"));
    Statement mastered(db, QStringLiteral("DELETE FROM T_WrongBook WHERE Subject=? AND ID=?"));
    for (const Statement* s : {&missed, &added, &mastered}) {
        if (!s->ok()) {
            return fail(error, s->error());
        }
    }
    for (const ExamMarking::MarkedQuestion& q : paper.questions) {
        // A question never answered was perhaps never read: it is counted apart.
        if (!q.inBank || q.mark == ExamMarking::Mark::Unanswered) {
            continue;
        }
        if (q.mark == ExamMarking::Mark::Right) {
            mastered.bind(1, format.subject);
            mastered.bind(2, q.id);
            if (!mastered.run(error)) {
                return false;
            }
            mastered.reset();
            continue;
        }
        missed.bind(1, when);
        missed.bind(2, format.subject);
        missed.bind(3, q.id);
        missed.bind(4, due);
        if (!missed.run(error)) {
            return false;
        }
        missed.reset();
        if (sqlite3_changes(db) == 0) {
            added.bind(1, format.subject);
            added.bind(2, q.id);
            added.bind(3, when);
            added.bind(4, due);
            if (!added.run(error)) {
                return false;
            }
            added.reset();
        }
    }
    return true;
}

bool writeRecord(sqlite3* db, const ExamFormat& format, const ExamMarking::MarkedPaper& paper,
                 const QDateTime& takenAt, const QString& candidateNo, PaperKind kind,
                 ExamEntry* entry, QString* error)
{
    const QString when = takenAt.toString(QString::fromLatin1(kTimeFormat));
    const int questions = int(paper.questions.size());
    Statement history(db, QStringLiteral("INSERT INTO T_ExamHistory (TakenAt, CandidateNo, "
                                         "Score, Passed, Questions, Subject, Unanswered, Mode) "
                                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    history.bind(1, when);
    history.bind(2, candidateNo);
    history.bind(3, paper.score);
    history.bind(4, paper.passed ? 1 : 0);
    history.bind(5, questions);
    history.bind(6, format.subject);
    history.bind(7, paper.unanswered);
    history.bind(8, qint64(kind));
    if (!history.run(error)) {
        return false;
    }
    const qint64 historyId = sqlite3_last_insert_rowid(db);

    Statement chapter(db, QStringLiteral("INSERT INTO T_ExamChapter (HistoryID, Chapter, Asked, "
                                         "Correct) VALUES (?, ?, ?, ?)"));
    for (size_t i = 0; i < paper.chapters.size(); ++i) {
        if (paper.chapters[i].asked == 0) {
            continue;
        }
        chapter.bind(1, historyId);
        chapter.bind(2, qint64(i));
        chapter.bind(3, paper.chapters[i].asked);
        chapter.bind(4, paper.chapters[i].right);
        if (!chapter.run(error)) {
            return false;
        }
        chapter.reset();
    }
    const StudyLog::Mode mode =
        kind == PaperKind::Drill ? StudyLog::Mode::Drill : StudyLog::Mode::Exam;
    if (!writeBook(db, format, paper, takenAt, error) ||
        !StudyLog::logPaper(db, format, paper, mode, takenAt, error)) {
        return false;
    }
    if (entry) {
        *entry = {takenAt, candidateNo, paper.score, paper.passed, questions, paper.unanswered};
    }
    return true;
}

// The mock exams of a history, without the drills; a history from before them has none.
bool examsOnly(sqlite3* db, QString* filter, QString* error)
{
    bool modes = false;
    if (!BankSql::hasColumn(db, QStringLiteral("T_ExamHistory"), QStringLiteral("Mode"), &modes,
                            error)) {
        return false;
    }
    if (modes) {
        *filter += (filter->isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) +
                   QStringLiteral("Mode=0");
    }
    return true;
}

bool readHistory(sqlite3* db, Rows rows, int subject, Summary* summary, QString* error)
{
    QString filter = subjectFilter(rows, QStringLiteral("Subject"));
    bool counted = false;
    if (!examsOnly(db, &filter, error) ||
        !BankSql::hasColumn(db, QStringLiteral("T_ExamHistory"), QStringLiteral("Unanswered"),
                            &counted, error)) {
        return false;
    }
    Statement totals(db, QStringLiteral("SELECT COUNT(*), COALESCE(SUM(Passed<>0),0), %1 "
                                        "FROM T_ExamHistory")
                                 .arg(counted ? QStringLiteral("COALESCE(SUM(Unanswered),0)")
                                              : QStringLiteral("0")) +
                             filter);
    totals.bind(1, subject);
    if (!totals.row(error)) {
        return false;
    }
    summary->exams = int(totals.integer(0));
    summary->passes = int(totals.integer(1));
    summary->unanswered = int(totals.integer(2));
    Statement recent(db, QStringLiteral("SELECT TakenAt, CandidateNo, Score, Passed, Questions, %3 "
                                        "FROM T_ExamHistory%1 ORDER BY HistoryID DESC LIMIT %2")
                             .arg(filter)
                             .arg(kRecentExams)
                             .arg(counted ? QStringLiteral("Unanswered") : QStringLiteral("0")));
    recent.bind(1, subject);
    int rc;
    while ((rc = recent.step()) == SQLITE_ROW) {
        ExamEntry e;
        e.takenAt = QDateTime::fromString(recent.text(0), QString::fromLatin1(kTimeFormat));
        e.candidateNo = recent.text(1);
        e.score = int(recent.integer(2));
        e.passed = recent.integer(3) != 0;
        e.questions = int(recent.integer(4));
        e.unanswered = int(recent.integer(5));
        summary->recent.insert(summary->recent.begin(), e);
    }
    return rc == SQLITE_DONE || fail(error, recent.error());
}

bool readChapters(sqlite3* db, Rows history, int subject, Summary* summary, QString* error)
{
    // The tally of version 2 is subject one's; later it is the subject of its exam's, and
    // the drills are not the exams'.
    bool modes = false;
    if (!BankSql::hasColumn(db, QStringLiteral("T_ExamHistory"), QStringLiteral("Mode"), &modes,
                            error)) {
        return false;
    }
    const QString sql =
        history == Rows::OfSubject
            ? QStringLiteral("SELECT c.Chapter, SUM(c.Asked), SUM(c.Correct) FROM T_ExamChapter c "
                             "INNER JOIN T_ExamHistory h ON h.HistoryID=c.HistoryID "
                             "WHERE h.Subject=?%1 GROUP BY c.Chapter")
                  .arg(modes ? QStringLiteral(" AND h.Mode=0") : QString())
            : QStringLiteral("SELECT Chapter, SUM(Asked), SUM(Correct) FROM T_ExamChapter "
                             "GROUP BY Chapter");
    Statement shares(db, sql);
    shares.bind(1, subject);
    int rc;
    while ((rc = shares.step()) == SQLITE_ROW) {
        const qint64 chapter = shares.integer(0);
        if (chapter >= 0 && chapter < qint64(summary->chapters.size())) {
            summary->chapters[size_t(chapter)] = {int(shares.integer(1)), int(shares.integer(2))};
        }
    }
    return rc == SQLITE_DONE || fail(error, shares.error());
}

} // namespace

const std::vector<Chapter>& chapters(const ExamFormat& format)
{
    return format.chapters;
}

int chapterOf(int id)
{
    return subjectOne().chapterOf(id, 0);
}

bool recordExam(Connection& connection, const ExamFormat& format,
                const ExamMarking::MarkedPaper* marked, const QDateTime& takenAt,
                const QString& candidateNo, ExamEntry* recorded, QString* error, PaperKind kind)
{
    sqlite3* db = connection.handle();
    if (!db) {
        return fail(error, QStringLiteral("题库没有打开"));
    }
    if (connection.inTransaction()) {
        return fail(error, QStringLiteral("题库正忙于另一项写入"));
    }
    const auto write = [&](QString* failure) {
        ExamMarking::MarkedPaper own;
        return upgradeSchema(connection, failure) &&
               (marked || ExamMarking::markPaper(connection, format, &own, failure)) &&
               writeRecord(db, format, marked ? *marked : own, takenAt, candidateNo, kind, recorded,
                           failure);
    };
    return BankSql::inOneTransaction(connection, write, error);
}

bool recordMastered(Connection& connection, int subject, int id, QString* error)
{
    sqlite3* db = connection.handle();
    if (!db) {
        return fail(error, QStringLiteral("题库没有打开"));
    }
    Rows rows = Rows::None;
    if (!rowsOf(db, QStringLiteral("T_WrongBook"), subject, &rows, error)) {
        return false;
    }
    if (rows == Rows::None) {
        return true; // no book of the subject yet: nothing to take out, and nothing written
    }
    Statement q(db, QStringLiteral("DELETE FROM T_WrongBook WHERE ID=?") +
                        (rows == Rows::OfSubject ? QStringLiteral(" AND Subject=?") : QString()));
    q.bind(1, id);
    q.bind(2, subject);
    return q.run(error);
}

bool readSummary(Connection& connection, const ExamFormat& format, Summary* summary, QString* error)
{
    *summary = Summary();
    summary->chapters.assign(format.chapters.size(), ChapterShare());
    sqlite3* db = connection.handle();
    if (!db) {
        return fail(error, QStringLiteral("题库没有打开"));
    }
    const int subject = format.subject;
    Rows history = Rows::None;
    Rows book = Rows::None;
    bool chapterTable = false;
    bool bank = false;
    if (!rowsOf(db, QStringLiteral("T_ExamHistory"), subject, &history, error) ||
        !rowsOf(db, QStringLiteral("T_WrongBook"), subject, &book, error) ||
        !BankSql::tableExists(db, QStringLiteral("T_ExamChapter"), &chapterTable, error) ||
        !BankSql::tableExists(db, format.bankTable, &bank, error)) {
        return false;
    }
    if (history != Rows::None && !readHistory(db, history, subject, summary, error)) {
        return false;
    }
    const bool chaptersOfSubject =
        history == Rows::OfSubject || format.subject == subjectOne().subject;
    if (chapterTable && chaptersOfSubject && !readChapters(db, history, subject, summary, error)) {
        return false;
    }
    if (book != Rows::None && bank) {
        Statement size(db, QStringLiteral("SELECT COUNT(*) FROM T_WrongBook w INNER JOIN %1 t "
                                          "ON t.ID=w.ID")
                                   .arg(format.bankTable) +
                               subjectFilter(book, QStringLiteral("w.Subject")));
        size.bind(1, subject);
        if (!size.row(error)) {
            return false;
        }
        summary->bookSize = int(size.integer(0));
    }
    return true;
}

QStringList wrongBookPracticeSql(Connection& connection, const ExamFormat& format)
{
    // The book's numbers written into the statement keep it a query of one table, whose
    // pictures are read only when a question shows one; with a subquery every picture of
    // the book would be read at the opening.
    sqlite3* db = connection.handle();
    Rows rows = Rows::None;
    QString error;
    QStringList ids;
    // No book yet: an empty practice.
    bool read = db && rowsOf(db, QStringLiteral("T_WrongBook"), format.subject, &rows, &error);
    if (read && rows != Rows::None) {
        Statement q(db, QStringLiteral("SELECT ID FROM T_WrongBook%1 ORDER BY ID")
                            .arg(subjectFilter(rows, QStringLiteral("Subject"))));
        q.bind(1, format.subject);
        int rc = q.step();
        while (rc == SQLITE_ROW) {
            ids << QString::number(q.integer(0));
            rc = q.step();
        }
        read = rc == SQLITE_DONE;
    }
    const QString select = QStringLiteral("SELECT * FROM ") + format.bankTable;
    if (!read) {
        // The statement then meets the same fault when it is opened, and says so.
        return {select,
                format.subject == subjectOne().subject
                    ? QStringLiteral(" WHERE ID IN (SELECT ID FROM T_WrongBook)")
                    : QStringLiteral(" WHERE ID IN (SELECT ID FROM T_WrongBook WHERE Subject=%1)")
                          .arg(format.subject),
                QStringLiteral(" ORDER BY ID ")};
    }
    return {select, QStringLiteral(" WHERE ID IN (%1)").arg(ids.join(QLatin1Char(','))),
            QStringLiteral(" ORDER BY ID ")};
}

bool explanationOf(Connection& connection, const ExamFormat& format, int id, QString* explain,
                   QString* source, QString* error)
{
    explain->clear();
    source->clear();
    sqlite3* db = connection.handle();
    if (!db) {
        return fail(error, QStringLiteral("题库没有打开"));
    }
    Statement q(db,
                QStringLiteral("SELECT Explain, Source FROM %1 WHERE ID=?").arg(format.bankTable));
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
