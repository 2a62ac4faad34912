#include "exampaper/ExamPaper.h"

#include "data/Connection.h"
#include "data/DataError.h"
#include "data/Query.h"
#include "exampaper/BankSql.h"
#include "exampaper/StudyRecord.h"

#include <sqlite3.h>

namespace ExamPaper {

namespace {

void setSql(Query& q, const QStringList& lines)
{
    q.close();
    q.SQL.clear();
    for (const QString& line : lines) {
        q.SQL.add(line);
    }
}

} // namespace

QStringList clearSql(const ExamFormat& format)
{
    return {QStringLiteral(" DELETE FROM ") + format.paperTable};
}

QStringList copyBankSql(const ExamFormat& format)
{
    return {QStringLiteral(" INSERT INTO %1(%2)").arg(format.paperTable, format.copyColumns),
            QStringLiteral(" SELECT %1 FROM %2").arg(format.copyColumns, format.bankTable)};
}

QStringList drawSql(const QString& condition, int count, const ExamFormat& format)
{
    return {QStringLiteral("SELECT TOP ") + QString::number(count) +
                QStringLiteral(" ID,TopicNo FROM ") + format.paperTable,
            QStringLiteral(" WHERE ") + condition, QStringLiteral(" ORDER BY RandomID")};
}

QStringList dropUndrawnSql(const ExamFormat& format)
{
    return {QStringLiteral("DELETE FROM ") + format.paperTable,
            QStringLiteral(" WHERE TopicNo = 0")};
}

QStringList paperSql(const ExamFormat& format)
{
    // No clip: a clip may be large, and only the question shown needs one.
    const QString& b = format.bankTable;
    const QString& p = format.paperTable;
    return {QStringLiteral("SELECT [%1].[ID], [%2].[Content], [%2].[Picture],").arg(p, b),
            QStringLiteral("       [%2].[Result], [%2].[Type],[%1].[TopicNo]").arg(p, b),
            QStringLiteral("  FROM %2 INNER JOIN %1 ON [%2].[ID]=[%1].[ID]").arg(p, b),
            QStringLiteral(" ORDER BY [%1].[TopicNo]").arg(p)};
}

QStringList answerSheetSql(const ExamFormat& format)
{
    return {QStringLiteral("SELECT TopicNo,Result"), QStringLiteral("  FROM ") + format.paperTable,
            QStringLiteral(" ORDER BY TopicNo")};
}

QStringList unansweredSql(const ExamFormat& format)
{
    return {QStringLiteral("SELECT TopicNo FROM ") + format.paperTable,
            QStringLiteral(" WHERE Result IS NULL OR Result=''"),
            QStringLiteral(" ORDER BY TopicNo")};
}

QStringList paperSizeSql(const ExamFormat& format)
{
    return {QStringLiteral("SELECT COUNT(*) FROM ") + format.paperTable};
}

QStringList markingSql(const ExamFormat& format)
{
    return {
        QStringLiteral("SELECT COUNT(*) FROM %1 a,%2 b").arg(format.bankTable, format.paperTable),
        QStringLiteral(" WHERE a.ID=b.ID AND a.Result=b.Result")};
}

QStringList wrongSql(const ExamFormat& format)
{
    return {
        QStringLiteral("SELECT b.TopicNo FROM %1 a,%2 b ").arg(format.bankTable, format.paperTable),
        QStringLiteral(" WHERE a.ID=b.ID AND (a.Result<>b.Result OR b.Result IS NULL)"),
        QStringLiteral(" ORDER BY b.TopicNo")};
}

QStringList reviewSheetSql(const ExamFormat& format)
{
    return {QStringLiteral("SELECT b.TopicNo,a.Result AS Result,b.Result AS bResult"),
            QStringLiteral("  FROM %1 a,%2 b WHERE a.ID=b.ID ")
                .arg(format.bankTable, format.paperTable),
            QStringLiteral(" ORDER BY b.TopicNo")};
}

bool checkBank(Connection& connection, const ExamFormat& format, QString* error)
{
    sqlite3* db = connection.handle();
    if (!db) {
        return BankSql::fail(error, QStringLiteral("题库没有打开"));
    }
    const QString none = QStringLiteral("题库中还没有%1的题目。").arg(format.title);
    bool exists = false;
    if (!BankSql::tableExists(db, format.bankTable, &exists, error)) {
        return false;
    }
    if (!exists) {
        return BankSql::fail(error, none);
    }
    BankSql::Statement q(db,
                         QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1)").arg(format.bankTable));
    if (!q.row(error)) {
        return false;
    }
    return q.integer(0) != 0 || BankSql::fail(error, none);
}

void preparePaper(Query& q, const ExamFormat& format)
{
    if (format.subject == subjectOne().subject) {
        return;
    }
    q.close();
    QString error;
    if (!q.connection() || !StudyRecord::upgradeSchema(*q.connection(), &error)) {
        throw DatabaseError(QStringLiteral("题库无法为%1的试卷做好准备：").arg(format.title) +
                            error);
    }
}

void clear(Query& q, const ExamFormat& format)
{
    setSql(q, clearSql(format));
    q.execSQL();
}

void copyBank(Query& q, const ExamFormat& format)
{
    setSql(q, copyBankSql(format));
    q.execSQL();
}

void drawCategory(Query& q, const QString& condition, int count, int& nextNumber,
                  const ExamFormat& format)
{
    setSql(q, drawSql(condition, count, format));
    q.open();
    q.first();
    // The database may return more than count rows when RandomID ties at the cut.
    int i = 1;
    while (!q.eof() && i <= count) {
        q.edit();
        q.fieldByName(QStringLiteral("TopicNo")).setAsInteger(nextNumber);
        q.post();
        q.next();
        ++nextNumber;
        ++i;
    }
    q.close();
}

void dropUndrawn(Query& q, const ExamFormat& format)
{
    setSql(q, dropUndrawnSql(format));
    q.execSQL();
}

namespace {

// The paper drawn by the plan, with a call after each step the wait screen counts.
void fill(Query& q, const std::vector<TExam>& plan, const ExamFormat& format,
          const std::function<void()>& afterStep)
{
    clear(q, format);
    afterStep();
    copyBank(q, format);
    afterStep();
    int next = 1;
    for (const TExam& row : plan) {
        drawCategory(q, row.Condition, row.Count, next, format);
        afterStep();
    }
    dropUndrawn(q, format);
}

} // namespace

void draw(Query& q, const std::vector<TExam>& plan, const ExamFormat& format)
{
    fill(q, plan, format, [] {});
}

void draw(Query& q, const ExamFormat& format)
{
    QString error;
    if (!q.connection() || !checkBank(*q.connection(), format, &error)) {
        throw DatabaseError(error.isEmpty() ? QStringLiteral("题库没有打开") : error);
    }
    preparePaper(q, format);
    draw(q, format.plan, format);
}

void drawAndOpen(Query& q, Query& sheet, const ExamFormat& format, const std::vector<TExam>& plan,
                 const std::function<void()>& afterStep)
{
    if (!q.connection()) {
        throw DatabaseError(QStringLiteral("题库没有打开"));
    }
    // The paper is written whole or not at all: a failure or a crash part-way leaves the
    // last paper with its answers, and the disk is written once, not per number.
    Transaction paper(*q.connection());
    preparePaper(q, format);
    fill(q, plan, format, afterStep);
    paper.commit();
    afterStep();
    openPaper(q, format);
    afterStep();
    openAnswerSheet(sheet, format);
    afterStep();
}

int drawSteps(const std::vector<TExam>& plan)
{
    return int(plan.size()) + 5;
}

void openPaper(Query& q, const ExamFormat& format)
{
    setSql(q, paperSql(format));
    q.open();
}

void openAnswerSheet(Query& sheet, const ExamFormat& format)
{
    setSql(sheet, answerSheetSql(format));
    sheet.open();
}

QString unansweredNumbers(Query& q, const ExamFormat& format)
{
    setSql(q, unansweredSql(format));
    q.open();
    QString list;
    for (q.first(); !q.eof(); q.next()) {
        list += q.fieldByName(QStringLiteral("TopicNo")).asString() + QStringLiteral(" ");
    }
    list.chop(1);
    return list;
}

int paperSize(Query& q, const ExamFormat& format)
{
    setSql(q, paperSizeSql(format));
    q.open();
    const int questions = q.fields(0).asInteger();
    q.close();
    return questions;
}

QString rightAnswers(Query& q, const ExamFormat& format)
{
    setSql(q, markingSql(format));
    q.open();
    return q.fields(0).asString();
}

TTopicSet wrongTopics(Query& q, const ExamFormat& format)
{
    setSql(q, wrongSql(format));
    q.open();
    TTopicSet wrong;
    for (q.first(); !q.eof(); q.next()) {
        const int n = q.fields(0).asInteger();
        if (n >= 0 && n <= 103) {
            wrong.set(size_t(n));
        }
    }
    q.close();
    return wrong;
}

void openReviewSheet(Query& sheet, const ExamFormat& format)
{
    setSql(sheet, reviewSheetSql(format));
    sheet.open();
}

bool clipOf(Connection& connection, const ExamFormat& format, int id, QByteArray* clip,
            QString* error)
{
    clip->clear();
    if (format.clipColumn.isEmpty()) {
        return true;
    }
    sqlite3* db = connection.handle();
    if (!db) {
        return BankSql::fail(error, QStringLiteral("题库没有打开"));
    }
    BankSql::Statement q(
        db,
        QStringLiteral("SELECT %1 FROM %2 WHERE ID=?").arg(format.clipColumn, format.bankTable));
    q.bind(1, id);
    const int rc = q.step();
    if (rc == SQLITE_ROW) {
        *clip = q.bytes(0);
    } else if (rc != SQLITE_DONE) {
        return BankSql::fail(error, QStringLiteral("本题的视频无法读出：") + q.error());
    }
    return true;
}

} // namespace ExamPaper
