#include "exampaper/ExamMarking.h"

#include "data/Connection.h"
#include "exampaper/BankSql.h"

#include <bitset>
#include <sqlite3.h>

namespace ExamMarking {

namespace {

const int kLetters = 4; // A to D

bool blank(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x20) {
            return false;
        }
    }
    return true;
}

// The bank's text columns compare as the engine's NOCASE does: only ASCII letters fold.
QChar foldAscii(QChar c)
{
    return c >= QLatin1Char('a') && c <= QLatin1Char('z') ? QChar(c.unicode() - 0x20) : c;
}

bool sameAsTheDatabase(const QString& a, const QString& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

int letterIndex(QChar c)
{
    const char16_t u = foldAscii(c).unicode();
    return u >= u'A' && u < u'A' + kLetters ? int(u - u'A') : -1;
}

} // namespace

QString normalised(AnswerKind kind, const QString& answer)
{
    switch (kind) {
    case AnswerKind::Single:
        return answer.size() == 1 && letterIndex(answer[0]) >= 0 ? answer : QString();
    case AnswerKind::TrueFalse:
        return answer == QStringLiteral("√") || answer == QStringLiteral("×") ? answer : QString();
    case AnswerKind::Multiple: {
        std::bitset<kLetters> letters;
        for (const QChar c : answer) {
            const int i = letterIndex(c);
            if (i < 0) {
                return QString();
            }
            letters.set(size_t(i));
        }
        if (letters.count() < 2) {
            return QString();
        }
        QString stored;
        for (int i = 0; i < kLetters; ++i) {
            if (letters.test(size_t(i))) {
                stored += QChar(u'A' + i);
            }
        }
        return stored;
    }
    }
    return QString();
}

Mark mark(AnswerKind, const QString& given, const QString& right)
{
    if (blank(given)) {
        return Mark::Unanswered;
    }
    // Equal to the bank's answer as the database compares, for every kind: an answer is
    // stored in its kind's form, so a multiple answer in another order or with a letter
    // missing, doubled or extra never equals its letters. A bank's answer the builder let
    // through with odd blanks is matched as the result screen's count matches it.
    return sameAsTheDatabase(given, right) ? Mark::Right : Mark::Wrong;
}

bool markPaper(Connection& connection, const ExamFormat& format, MarkedPaper* paper, QString* error)
{
    *paper = MarkedPaper();
    paper->chapters.assign(format.chapters.size(), ChapterFigures());
    MarkedPaper marked = *paper;
    sqlite3* db = connection.handle();
    if (!db) {
        return BankSql::fail(error, QStringLiteral("题库没有打开"));
    }
    // Every row of the paper, also one whose question has left the bank, as the result
    // screen counts the paper's rows.
    const QString chapter = format.chapterColumn.isEmpty()
                                ? QStringLiteral("0")
                                : QStringLiteral("t.") + format.chapterColumn;
    BankSql::Statement q(db, QStringLiteral("SELECT p.TopicNo, p.ID, COALESCE(t.Type, p.Type), "
                                            "%1, p.Result, t.Result, t.ID IS NOT NULL "
                                            "FROM %2 p LEFT JOIN %3 t ON t.ID=p.ID "
                                            "ORDER BY p.TopicNo")
                                 .arg(chapter, format.paperTable, format.bankTable));
    if (!q.ok()) {
        return BankSql::fail(error, q.error());
    }
    int rc;
    while ((rc = q.step()) == SQLITE_ROW) {
        MarkedQuestion m;
        m.topicNo = int(q.integer(0));
        m.id = int(q.integer(1));
        m.type = int(q.integer(2));
        m.chapter = format.chapterOf(m.id, int(q.integer(3)));
        m.given = q.text(4);
        m.right = q.text(5);
        m.inBank = q.integer(6) != 0;
        m.mark = mark(format.kindOf(m.type), m.given, m.right);
        const bool right = m.mark == Mark::Right;
        marked.right += right ? 1 : 0;
        marked.wrong += m.mark == Mark::Wrong ? 1 : 0;
        marked.unanswered += m.mark == Mark::Unanswered ? 1 : 0;
        if (m.chapter >= 0) {
            ChapterFigures& figures = marked.chapters[size_t(m.chapter)];
            ++figures.asked;
            figures.right += right ? 1 : 0;
        }
        marked.questions.push_back(std::move(m));
    }
    if (rc != SQLITE_DONE) {
        return BankSql::fail(error, q.error());
    }
    marked.score = format.scoreOf(marked.right);
    marked.passed = format.passes(marked.score);
    *paper = std::move(marked);
    return true;
}

} // namespace ExamMarking
