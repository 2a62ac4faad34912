#pragma once

#include "exam/ExamFormat.h"

#include <QString>
#include <QStringList>
#include <bitset>
#include <vector>

class Query;

// Question numbers 0 to 103.
using TTopicSet = std::bitset<104>;

// The exam paper in T_TopicTmp: its draw, the queries the exam runs on, the marking and
// the review. Each function closes the query it is given and replaces its statement;
// errors of the database are thrown.
namespace ExamPaper {

// The statements, as the lines they are sent in.
QStringList clearSql();
QStringList copyBankSql();
QStringList drawSql(const QString& condition, int count);
QStringList dropUndrawnSql();
QStringList paperSql();
QStringList answerSheetSql();
QStringList unansweredSql();
QStringList paperSizeSql();
QStringList markingSql();
QStringList wrongSql();
QStringList reviewSheetSql();

// The draw, step by step: empty the paper, copy the whole bank into it, number the
// questions of each plan row, then remove the questions no row drew.
void clear(Query& q);
void copyBank(Query& q);
// Numbers at most count candidates of condition in random order, from nextNumber on,
// which it advances by one for each; the query is closed afterwards.
void drawCategory(Query& q, const QString& condition, int count, int& nextNumber);
void dropUndrawn(Query& q);
// All four steps with the rows of plan, for callers that show no progress.
void draw(Query& q, const std::vector<TExam>& plan);

// The paper with its texts in the order of the numbers, and the answer sheet.
void openPaper(Query& q);
void openAnswerSheet(Query& sheet);

// The numbers of the questions not answered, ascending, each but the last followed by
// one blank; the query is left open on them.
QString unansweredNumbers(Query& q);
// The number of questions on the paper; the query is closed afterwards.
int paperSize(Query& q);
// The number of right answers, as the text of the count; the query is left open.
QString rightAnswers(Query& q);
// The numbers answered wrongly or not at all, those outside 0 to 103 left out; the
// query is closed afterwards.
TTopicSet wrongTopics(Query& q);
// The answer sheet of the review: Result the bank's answer, bResult the candidate's.
void openReviewSheet(Query& sheet);

} // namespace ExamPaper
