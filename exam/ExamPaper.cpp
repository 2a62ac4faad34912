#include "exam/ExamPaper.h"

#include "data/Query.h"

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

QStringList clearSql()
{
    return {QStringLiteral(" DELETE FROM T_TopicTmp")};
}

QStringList copyBankSql()
{
    return {QStringLiteral(" INSERT INTO T_TopicTmp(ID,Type)"),
            QStringLiteral(" SELECT ID,Type FROM T_Topic")};
}

QStringList drawSql(const QString& condition, int count)
{
    return {QStringLiteral("SELECT TOP ") + QString::number(count) +
                QStringLiteral(" ID,TopicNo FROM T_TopicTmp"),
            QStringLiteral(" WHERE ") + condition, QStringLiteral(" ORDER BY RandomID")};
}

QStringList dropUndrawnSql()
{
    return {QStringLiteral("DELETE FROM T_TopicTmp"), QStringLiteral(" WHERE TopicNo = 0")};
}

QStringList paperSql()
{
    return {
        QStringLiteral("SELECT [T_TopicTmp].[ID], [T_Topic].[Content], [T_Topic].[Picture],"),
        QStringLiteral("       [T_Topic].[Result], [T_Topic].[Type],[T_TopicTmp].[TopicNo]"),
        QStringLiteral("  FROM T_Topic INNER JOIN T_TopicTmp ON [T_Topic].[ID]=[T_TopicTmp].[ID]"),
        QStringLiteral(" ORDER BY [T_TopicTmp].[TopicNo]")};
}

QStringList answerSheetSql()
{
    return {QStringLiteral("SELECT TopicNo,Result"), QStringLiteral("  FROM T_TopicTmp"),
            QStringLiteral(" ORDER BY TopicNo")};
}

QStringList unansweredSql()
{
    return {QStringLiteral("SELECT TopicNo FROM T_TopicTmp"),
            QStringLiteral(" WHERE Result IS NULL OR Result=''"),
            QStringLiteral(" ORDER BY TopicNo")};
}

QStringList paperSizeSql()
{
    return {QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp")};
}

QStringList markingSql()
{
    return {QStringLiteral("SELECT COUNT(*) FROM T_Topic a,T_TopicTmp b"),
            QStringLiteral(" WHERE a.ID=b.ID AND a.Result=b.Result")};
}

QStringList wrongSql()
{
    return {QStringLiteral("SELECT b.TopicNo FROM T_Topic a,T_TopicTmp b "),
            QStringLiteral(" WHERE a.ID=b.ID AND (a.Result<>b.Result OR b.Result IS NULL)"),
            QStringLiteral(" ORDER BY b.TopicNo")};
}

QStringList reviewSheetSql()
{
    return {QStringLiteral("SELECT b.TopicNo,a.Result AS Result,b.Result AS bResult"),
            QStringLiteral("  FROM T_Topic a,T_TopicTmp b WHERE a.ID=b.ID "),
            QStringLiteral(" ORDER BY b.TopicNo")};
}

void clear(Query& q)
{
    setSql(q, clearSql());
    q.execSQL();
}

void copyBank(Query& q)
{
    setSql(q, copyBankSql());
    q.execSQL();
}

void drawCategory(Query& q, const QString& condition, int count, int& nextNumber)
{
    setSql(q, drawSql(condition, count));
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

void dropUndrawn(Query& q)
{
    setSql(q, dropUndrawnSql());
    q.execSQL();
}

void draw(Query& q, const std::vector<TExam>& plan)
{
    clear(q);
    copyBank(q);
    int next = 1;
    for (const TExam& row : plan) {
        drawCategory(q, row.Condition, row.Count, next);
    }
    dropUndrawn(q);
}

void openPaper(Query& q)
{
    setSql(q, paperSql());
    q.open();
}

void openAnswerSheet(Query& sheet)
{
    setSql(sheet, answerSheetSql());
    sheet.open();
}

QString unansweredNumbers(Query& q)
{
    setSql(q, unansweredSql());
    q.open();
    QString list;
    for (q.first(); !q.eof(); q.next()) {
        list += q.fieldByName(QStringLiteral("TopicNo")).asString() + QStringLiteral(" ");
    }
    list.chop(1);
    return list;
}

int paperSize(Query& q)
{
    setSql(q, paperSizeSql());
    q.open();
    const int questions = q.fields(0).asInteger();
    q.close();
    return questions;
}

QString rightAnswers(Query& q)
{
    setSql(q, markingSql());
    q.open();
    return q.fields(0).asString();
}

TTopicSet wrongTopics(Query& q)
{
    setSql(q, wrongSql());
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

void openReviewSheet(Query& sheet)
{
    setSql(sheet, reviewSheetSql());
    sheet.open();
}

} // namespace ExamPaper
