#include "exampaper/StudyLog.h"

#include "data/Connection.h"
#include "exampaper/BankSql.h"
#include "exampaper/StudyRecord.h"

#include <QHash>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <sqlite3.h>

namespace StudyLog {

namespace {

using BankSql::fail;
using BankSql::Statement;

const char kTimeFormat[] = "yyyy-MM-dd HH:mm:ss";

sqlite3* handleOf(Connection& connection, QString* error)
{
    sqlite3* db = connection.handle();
    if (!db) {
        fail(error, QStringLiteral("题库没有打开"));
    }
    return db;
}

// A change of the learner's tables: the schema brought up first, all in one transaction.
bool write(Connection& connection, const std::function<bool(sqlite3*, QString*)>& work,
           QString* error)
{
    sqlite3* db = handleOf(connection, error);
    if (!db) {
        return false;
    }
    if (connection.inTransaction()) {
        return fail(error, QStringLiteral("题库正忙于另一项写入"));
    }
    return BankSql::inOneTransaction(
        connection,
        [&](QString* failure) {
            return StudyRecord::upgradeSchema(connection, failure) && work(db, failure);
        },
        error);
}

// The IDs a query of one integer column gives, in its order.
bool readIds(sqlite3* db, const QString& sql, int subject, std::vector<int>* ids, QString* error)
{
    ids->clear();
    Statement q(db, sql);
    q.bind(1, subject);
    int rc;
    while ((rc = q.step()) == SQLITE_ROW) {
        ids->push_back(int(q.integer(0)));
    }
    return rc == SQLITE_DONE || fail(error, q.error());
}

// Reading a learner's table that an older bank does not have yet: nothing in it.
bool present(sqlite3* db, const char* table, bool* exists, QString* error)
{
    return BankSql::tableExists(db, QString::fromLatin1(table), exists, error);
}

bool idsFromTable(Connection& connection, const char* table, const QString& sql, int subject,
                  std::vector<int>* ids, QString* error)
{
    ids->clear();
    sqlite3* db = handleOf(connection, error);
    bool exists = false;
    if (!db || !present(db, table, &exists, error)) {
        return false;
    }
    return !exists || readIds(db, sql, subject, ids, error);
}

bool moveBook(sqlite3* db, const ExamFormat& format, const Answer& a, const QDateTime& when,
              QString* error)
{
    const QDate today = when.date();
    if (!a.right) {
        // Into the book with no miss yet where it is not, then one more miss for it.
        for (const char* sql :
             {"INSERT OR IGNORE INTO T_WrongBook (Subject, ID, Misses, LastMissed, Step, DueOn) "
              "VALUES (?3, ?4, 0, ?1, 0, ?2)",
              "UPDATE T_WrongBook SET Misses=Misses+1, LastMissed=?1, Step=0, DueOn=?2 WHERE "
              "Subject=?3 AND ID=?4"}) {
            Statement q(db, QString::fromLatin1(sql));
            q.bind(1, when.toString(QString::fromLatin1(kTimeFormat)));
            q.bind(2, dueText(dueAfter(0, today)));
            q.bind(3, format.subject);
            q.bind(4, a.id);
            if (!q.run(error)) {
                return false;
            }
        }
        return true;
    }
    Statement step(db, QStringLiteral("SELECT Step FROM T_WrongBook WHERE Subject=? AND ID=?"));
    step.bind(1, format.subject);
    step.bind(2, a.id);
    const int rc = step.step();
    if (rc == SQLITE_DONE) {
        return true; // not in the book
    }
    if (rc != SQLITE_ROW) {
        return fail(error, step.error());
    }
    const int next = int(step.integer(0)) + 1;
    Statement moved(db, next >= kReviewSteps
                            ? QStringLiteral("DELETE FROM T_WrongBook WHERE Subject=?1 AND ID=?2")
                            : QStringLiteral("UPDATE T_WrongBook SET Step=?3, DueOn=?4 WHERE "
                                             "Subject=?1 AND ID=?2"));
    moved.bind(1, format.subject);
    moved.bind(2, a.id);
    moved.bind(3, next);
    moved.bind(4, dueText(dueAfter(next, today)));
    return moved.run(error);
}

// The learner's answers to a question of the subject: how many, and the last two.
struct Tries
{
    int chapter = -1;
    int count = 0;
    bool last = false;
    bool beforeLast = false;
};

std::vector<double> chapterShares(const Progress& progress, std::vector<double>* spread)
{
    std::vector<double> shares;
    for (const ChapterProgress& c : progress.chapters) {
        const double seenShare = double(c.rightLast + 1) / double(c.seen + 2);
        const double cover = c.questions > 0 ? double(c.seen) / double(c.questions) : 0.0;
        const double share = cover * seenShare + (1 - cover) * 0.5;
        shares.push_back(share);
        if (spread) {
            spread->push_back(std::sqrt(share * (1 - share) / double(c.seen + 2)));
        }
    }
    return shares;
}

} // namespace

QDate dueAfter(int step, QDate answeredOn)
{
    return answeredOn.addDays(kReviewDays[std::clamp(step, 0, kReviewSteps - 1)]);
}

QString dueText(QDate day)
{
    return day.toString(Qt::ISODate);
}

bool recordAnswer(Connection& connection, const ExamFormat& format, const Answer& answer,
                  const QDateTime& when, QString* error)
{
    return write(
        connection,
        [&](sqlite3* db, QString* failure) {
            Statement log(db, QStringLiteral("INSERT INTO T_AnswerLog (Subject, QKey, Mode, "
                                             "Answer, IsRight, AnsweredAt) SELECT ?, QKey, ?, ?, "
                                             "?, ? FROM %1 WHERE ID=?")
                                  .arg(format.bankTable));
            log.bind(1, format.subject);
            log.bind(2, qint64(answer.mode));
            log.bind(3, answer.given);
            log.bind(4, answer.right ? 1 : 0);
            log.bind(5, when.toString(QString::fromLatin1(kTimeFormat)));
            log.bind(6, answer.id);
            if (!log.run(failure)) {
                return false;
            }
            if (sqlite3_changes(db) == 0) {
                return fail(failure, QStringLiteral("题库中没有第%1题").arg(answer.id));
            }
            if (!answer.firstTry) {
                return true;
            }
            if (answer.right && answer.mode == Mode::WrongBook) {
                Statement out(db, QStringLiteral("DELETE FROM T_WrongBook WHERE Subject=? AND "
                                                 "ID=?"));
                out.bind(1, format.subject);
                out.bind(2, answer.id);
                return out.run(failure);
            }
            if (answer.right && answer.mode != Mode::Due) {
                return true;
            }
            return moveBook(db, format, answer, when, failure);
        },
        error);
}

bool logPaper(sqlite3* db, const ExamFormat& format, const ExamMarking::MarkedPaper& paper,
              Mode mode, const QDateTime& when, QString* error)
{
    Statement log(db, QStringLiteral("INSERT INTO T_AnswerLog (Subject, QKey, Mode, Answer, "
                                     "IsRight, AnsweredAt) SELECT ?, QKey, ?, ?, ?, ? FROM %1 "
                                     "WHERE ID=?")
                          .arg(format.bankTable));
    const QString at = when.toString(QString::fromLatin1(kTimeFormat));
    for (const ExamMarking::MarkedQuestion& q : paper.questions) {
        if (!q.inBank || q.mark == ExamMarking::Mark::Unanswered) {
            continue;
        }
        log.bind(1, format.subject);
        log.bind(2, qint64(mode));
        log.bind(3, q.given);
        log.bind(4, q.mark == ExamMarking::Mark::Right ? 1 : 0);
        log.bind(5, at);
        log.bind(6, q.id);
        if (!log.run(error)) {
            return false;
        }
        log.reset();
    }
    return true;
}

bool dueQuestions(Connection& connection, const ExamFormat& format, QDate today,
                  std::vector<int>* ids, QString* error)
{
    ids->clear();
    sqlite3* db = handleOf(connection, error);
    bool exists = false;
    bool scheduled = false;
    bool bySubject = false;
    if (!db || !present(db, "T_WrongBook", &exists, error) ||
        (exists && (!BankSql::hasColumn(db, QStringLiteral("T_WrongBook"), QStringLiteral("DueOn"),
                                        &scheduled, error) ||
                    !BankSql::hasColumn(db, QStringLiteral("T_WrongBook"),
                                        QStringLiteral("Subject"), &bySubject, error)))) {
        return false;
    }
    if (!exists || (!bySubject && format.subject != subjectOne().subject)) {
        return true;
    }
    // A question the book had before its schedule is due at once.
    const QString due =
        scheduled ? QStringLiteral(" AND (w.DueOn IS NULL OR w.DueOn<='%1')").arg(dueText(today))
                  : QString();
    return readIds(db,
                   QStringLiteral("SELECT t.ID FROM T_WrongBook w INNER JOIN %1 t ON t.ID=w.ID "
                                  "WHERE %2%3 ORDER BY t.ID")
                       .arg(format.bankTable,
                            bySubject ? QStringLiteral("w.Subject=?1") : QStringLiteral("?1=?1"),
                            due),
                   format.subject, ids, error);
}

bool mostMissed(Connection& connection, const ExamFormat& format, std::vector<int>* ids,
                QString* error)
{
    return idsFromTable(connection, "T_AnswerLog",
                        QStringLiteral("SELECT t.ID FROM T_AnswerLog l INNER JOIN %1 t ON "
                                       "t.QKey=l.QKey WHERE l.Subject=? GROUP BY t.ID HAVING "
                                       "SUM(l.IsRight=0)>0 ORDER BY SUM(l.IsRight=0) DESC, "
                                       "AVG(l.IsRight), t.ID")
                            .arg(format.bankTable),
                        format.subject, ids, error);
}

bool starredQuestions(Connection& connection, const ExamFormat& format, std::vector<int>* ids,
                      QString* error)
{
    return idsFromTable(connection, "T_Starred",
                        QStringLiteral("SELECT t.ID FROM T_Starred s INNER JOIN %1 t ON "
                                       "t.QKey=s.QKey WHERE s.Subject=? ORDER BY t.ID")
                            .arg(format.bankTable),
                        format.subject, ids, error);
}

bool isStarred(Connection& connection, const ExamFormat& format, int id, bool* starred,
               QString* error)
{
    *starred = false;
    std::vector<int> ids;
    if (!idsFromTable(connection, "T_Starred",
                      QStringLiteral("SELECT t.ID FROM T_Starred s INNER JOIN %1 t ON "
                                     "t.QKey=s.QKey WHERE s.Subject=? AND t.ID=%2")
                          .arg(format.bankTable)
                          .arg(id),
                      format.subject, &ids, error)) {
        return false;
    }
    *starred = !ids.empty();
    return true;
}

bool setStarred(Connection& connection, const ExamFormat& format, int id, bool starred,
                const QDateTime& when, QString* error)
{
    return write(
        connection,
        [&](sqlite3* db, QString* failure) {
            Statement q(db, starred ? QStringLiteral("INSERT OR REPLACE INTO T_Starred (Subject, "
                                                     "QKey, StarredAt) SELECT ?1, QKey, ?3 FROM "
                                                     "%1 WHERE ID=?2")
                                          .arg(format.bankTable)
                                    : QStringLiteral("DELETE FROM T_Starred WHERE Subject=?1 AND "
                                                     "QKey=(SELECT QKey FROM %1 WHERE ID=?2)")
                                          .arg(format.bankTable));
            q.bind(1, format.subject);
            q.bind(2, id);
            q.bind(3, when.toString(QString::fromLatin1(kTimeFormat)));
            return q.run(failure);
        },
        error);
}

bool placeOf(Connection& connection, const ExamFormat& format, const QString& place, int* id,
             QString* error)
{
    *id = 0;
    std::vector<int> ids;
    QString quoted = place;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    if (!idsFromTable(connection, "T_StudyPlace",
                      QStringLiteral("SELECT t.ID FROM T_StudyPlace p INNER JOIN %1 t ON "
                                     "t.QKey=p.QKey WHERE p.Subject=? AND p.Place='%2'")
                          .arg(format.bankTable, quoted),
                      format.subject, &ids, error)) {
        return false;
    }
    *id = ids.empty() ? 0 : ids.front();
    return true;
}

bool savePlace(Connection& connection, const ExamFormat& format, const QString& place, int id,
               QString* error)
{
    return write(
        connection,
        [&](sqlite3* db, QString* failure) {
            Statement q(db, QStringLiteral("INSERT OR REPLACE INTO T_StudyPlace (Subject, Place, "
                                           "QKey) SELECT ?, ?, QKey FROM %1 WHERE ID=?")
                                .arg(format.bankTable));
            q.bind(1, format.subject);
            q.bind(2, place);
            q.bind(3, id);
            return q.run(failure);
        },
        error);
}

namespace {

bool appendToOrder(Connection& connection, const ExamFormat& format, std::vector<int> added,
                   bool anew, std::vector<int>* ids, QString* error)
{
    std::shuffle(added.begin(), added.end(), *QRandomGenerator::global());
    return write(
        connection,
        [&](sqlite3* db, QString* failure) {
            Statement cleared(db, QStringLiteral("DELETE FROM T_RandomOrder WHERE Subject=?"));
            cleared.bind(1, format.subject);
            if (anew && !cleared.run(failure)) {
                return false;
            }
            Statement last(db, QStringLiteral("SELECT COALESCE(MAX(Seq),0) FROM T_RandomOrder "
                                              "WHERE Subject=?"));
            last.bind(1, format.subject);
            if (!last.row(failure)) {
                return false;
            }
            qint64 seq = last.integer(0);
            Statement put(db, QStringLiteral("INSERT INTO T_RandomOrder (Subject, Seq, QKey) "
                                             "SELECT ?, ?, QKey FROM %1 WHERE ID=?")
                                  .arg(format.bankTable));
            for (const int id : added) {
                put.bind(1, format.subject);
                put.bind(2, ++seq);
                put.bind(3, id);
                if (!put.run(failure)) {
                    return false;
                }
                put.reset();
            }
            if (anew) {
                ids->clear();
            }
            ids->insert(ids->end(), added.begin(), added.end());
            return true;
        },
        error);
}

} // namespace

bool randomOrder(Connection& connection, const ExamFormat& format, std::vector<int>* ids,
                 QString* error)
{
    std::vector<int> missing;
    if (!idsFromTable(connection, "T_RandomOrder",
                      QStringLiteral("SELECT t.ID FROM T_RandomOrder r INNER JOIN %1 t ON "
                                     "t.QKey=r.QKey WHERE r.Subject=? ORDER BY r.Seq")
                          .arg(format.bankTable),
                      format.subject, ids, error)) {
        return false;
    }
    sqlite3* db = connection.handle();
    bool exists = false;
    if (!present(db, "T_RandomOrder", &exists, error) ||
        !readIds(
            db,
            exists
                ? QStringLiteral("SELECT ID FROM %1 WHERE QKey NOT IN (SELECT QKey FROM "
                                 "T_RandomOrder WHERE Subject=?) ORDER BY ID")
                      .arg(format.bankTable)
                : QStringLiteral("SELECT ID FROM %1 WHERE ?=?1 ORDER BY ID").arg(format.bankTable),
            format.subject, &missing, error)) {
        return false;
    }
    return missing.empty() || appendToOrder(connection, format, missing, false, ids, error);
}

bool newRandomRound(Connection& connection, const ExamFormat& format, std::vector<int>* ids,
                    QString* error)
{
    std::vector<int> all;
    sqlite3* db = handleOf(connection, error);
    return db &&
           readIds(db,
                   QStringLiteral("SELECT ID FROM %1 WHERE ?=?1 ORDER BY ID").arg(format.bankTable),
                   format.subject, &all, error) &&
           appendToOrder(connection, format, all, true, ids, error);
}

bool chapterQuestions(Connection& connection, const ExamFormat& format, int chapter,
                      std::vector<int>* ids, QString* error)
{
    ids->clear();
    sqlite3* db = handleOf(connection, error);
    if (!db || chapter < 0 || chapter >= int(format.chapters.size())) {
        return db != nullptr;
    }
    const ExamChapter& c = format.chapters[size_t(chapter)];
    const QString where =
        format.chapterColumn.isEmpty()
            ? QStringLiteral("ID>=%1 AND ID<=%2 AND ?=?1").arg(c.firstId).arg(c.lastId)
            : QStringLiteral("%1=%2 AND ?=?1").arg(format.chapterColumn).arg(c.number);
    return readIds(
        db, QStringLiteral("SELECT ID FROM %1 WHERE %2 ORDER BY ID").arg(format.bankTable, where),
        format.subject, ids, error);
}

bool readProgress(Connection& connection, const ExamFormat& format, Progress* progress,
                  QString* error)
{
    *progress = Progress();
    progress->chapters.assign(format.chapters.size(), ChapterProgress());
    sqlite3* db = handleOf(connection, error);
    bool logged = false;
    if (!db || !present(db, "T_AnswerLog", &logged, error)) {
        return false;
    }
    QHash<QString, Tries> tries;
    {
        const QString chapterColumn =
            format.chapterColumn.isEmpty() ? QStringLiteral("0") : format.chapterColumn;
        Statement bank(
            db, QStringLiteral("SELECT ID, QKey, %1 FROM %2").arg(chapterColumn, format.bankTable));
        int rc;
        while ((rc = bank.step()) == SQLITE_ROW) {
            const int chapter = format.chapterOf(int(bank.integer(0)), int(bank.integer(2)));
            if (chapter >= 0) {
                ++progress->chapters[size_t(chapter)].questions;
                tries[bank.text(1)].chapter = chapter;
            }
        }
        if (rc != SQLITE_DONE) {
            return fail(error, bank.error());
        }
    }
    if (!logged) {
        return true;
    }
    // Per question its count and its last two answers, the engine walking the log's index
    // by question: far fewer rows than answers reach the loop.
    Statement log(db, QStringLiteral("SELECT g.QKey, g.n, (SELECT IsRight FROM T_AnswerLog WHERE "
                                     "LogID=g.last), (SELECT c.IsRight FROM T_AnswerLog c WHERE "
                                     "c.Subject=?1 AND c.QKey=g.QKey AND c.LogID<g.last ORDER BY "
                                     "c.LogID DESC LIMIT 1) FROM (SELECT QKey, COUNT(*) AS n, "
                                     "MAX(LogID) AS last FROM T_AnswerLog WHERE Subject=?1 GROUP "
                                     "BY QKey) g"));
    log.bind(1, format.subject);
    int rc;
    while ((rc = log.step()) == SQLITE_ROW) {
        const int count = int(log.integer(1));
        progress->answers += count;
        const auto found = tries.find(log.text(0));
        if (found == tries.end()) {
            continue; // a question that has left the bank
        }
        Tries& t = found.value();
        t.count = count;
        t.last = log.integer(2) != 0;
        t.beforeLast = !log.isNull(3) && log.integer(3) != 0;
    }
    if (rc != SQLITE_DONE) {
        return fail(error, log.error());
    }
    for (const Tries& t : std::as_const(tries)) {
        if (t.count == 0 || t.chapter < 0) {
            continue;
        }
        ChapterProgress& c = progress->chapters[size_t(t.chapter)];
        ++c.seen;
        c.rightLast += t.last ? 1 : 0;
        c.mastered += t.last && t.beforeLast && t.count >= 2 ? 1 : 0;
    }
    return true;
}

std::vector<int> planPerChapter(const ExamFormat& format)
{
    // A plan lists its rows kind by kind, each kind over the chapters in their order.
    std::vector<int> perChapter(format.chapters.size(), 0);
    if (perChapter.empty()) {
        return perChapter;
    }
    for (size_t i = 0; i < format.plan.size(); ++i) {
        perChapter[i % perChapter.size()] += format.plan[i].Count;
    }
    return perChapter;
}

double chanceOfAtLeast(const std::vector<int>& perChapter, const std::vector<double>& shares,
                       int rightNeeded)
{
    // The distribution of the number right, chapter by chapter.
    std::vector<double> ways{1.0};
    for (size_t c = 0; c < perChapter.size() && c < shares.size(); ++c) {
        const double p = std::clamp(shares[c], 0.0, 1.0);
        for (int k = 0; k < perChapter[c]; ++k) {
            std::vector<double> next(ways.size() + 1, 0.0);
            for (size_t r = 0; r < ways.size(); ++r) {
                next[r] += ways[r] * (1 - p);
                next[r + 1] += ways[r] * p;
            }
            ways.swap(next);
        }
    }
    double chance = 0;
    for (size_t r = size_t(std::max(0, rightNeeded)); r < ways.size(); ++r) {
        chance += ways[r];
    }
    return std::clamp(chance, 0.0, 1.0);
}

Readiness readiness(const ExamFormat& format, const Progress& progress)
{
    Readiness r;
    r.enough = progress.answers >= kReadinessAnswers;
    std::vector<double> spread;
    const std::vector<double> shares = chapterShares(progress, &spread);
    const std::vector<int> perChapter = planPerChapter(format);
    const int needed = (format.passMark + format.points - 1) / std::max(1, format.points);
    std::vector<double> low = shares;
    std::vector<double> high = shares;
    for (size_t c = 0; c < shares.size(); ++c) {
        low[c] = std::max(0.0, shares[c] - spread[c]);
        high[c] = std::min(1.0, shares[c] + spread[c]);
    }
    r.chance = chanceOfAtLeast(perChapter, shares, needed);
    r.low = chanceOfAtLeast(perChapter, low, needed);
    r.high = chanceOfAtLeast(perChapter, high, needed);
    return r;
}

std::vector<TExam> drillPlan(const ExamFormat& format, const Progress& progress)
{
    std::vector<TExam> plan = format.plan;
    const size_t chapters = format.chapters.size();
    if (chapters == 0 || progress.chapters.size() != chapters) {
        return plan;
    }
    const std::vector<double> shares = chapterShares(progress, nullptr);
    for (size_t block = 0; block + chapters <= plan.size(); block += chapters) {
        int total = 0;
        double weights = 0;
        std::vector<double> weight(chapters);
        for (size_t c = 0; c < chapters; ++c) {
            const int count = format.plan[block + c].Count;
            total += count;
            weight[c] = count * (1.5 - shares[c]);
            weights += weight[c];
        }
        if (weights <= 0) {
            continue;
        }
        // Whole numbers by the largest remainders, none above twice its usual number.
        std::vector<double> rest(chapters);
        int given = 0;
        for (size_t c = 0; c < chapters; ++c) {
            const double want =
                std::min(total * weight[c] / weights, 2.0 * format.plan[block + c].Count);
            plan[block + c].Count = int(want);
            rest[c] = want - int(want);
            given += int(want);
        }
        while (given < total) {
            size_t best = chapters;
            for (size_t c = 0; c < chapters; ++c) {
                const bool room = plan[block + c].Count < 2 * format.plan[block + c].Count;
                if (room && (best == chapters || rest[c] > rest[best])) {
                    best = c;
                }
            }
            if (best == chapters) {
                break;
            }
            ++plan[block + best].Count;
            rest[best] = -1;
            ++given;
        }
    }
    return plan;
}

int examHallLimit(const ExamFormat& format)
{
    return (format.maxScore() - format.passMark) / std::max(1, format.points) + 1;
}

} // namespace StudyLog
