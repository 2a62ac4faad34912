#pragma once

#include "exampaper/ExamFormat.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <bitset>
#include <functional>
#include <vector>

class Connection;
class Query;

// Question numbers 0 to 103.
using TTopicSet = std::bitset<104>;

// The exam paper in a format's paper table (T_TopicTmp, T_SafePaper): its draw, the
// queries the exam runs on, the marking and the review. Each function of a query closes
// the query it is given and replaces its statement; errors of the database are thrown.
// Without a format they are subject one's.
namespace ExamPaper {

// The statements, as the lines they are sent in.
QStringList clearSql(const ExamFormat& format = subjectOne());
QStringList copyBankSql(const ExamFormat& format = subjectOne());
QStringList drawSql(const QString& condition, int count, const ExamFormat& format = subjectOne());
QStringList dropUndrawnSql(const ExamFormat& format = subjectOne());
QStringList paperSql(const ExamFormat& format = subjectOne());
QStringList answerSheetSql(const ExamFormat& format = subjectOne());
QStringList unansweredSql(const ExamFormat& format = subjectOne());
QStringList paperSizeSql(const ExamFormat& format = subjectOne());
QStringList markingSql(const ExamFormat& format = subjectOne());
QStringList wrongSql(const ExamFormat& format = subjectOne());
QStringList reviewSheetSql(const ExamFormat& format = subjectOne());

// Whether the bank holds questions of the format; when it does not, a text for the
// learner ("题库中还没有科目四的题目。"). Writes nothing.
bool checkBank(Connection& connection, const ExamFormat& format, QString* error);
// Inside the draw's transaction: the tables of a format newer than the bank where they
// are missing (the record's schema brought up to date). Nothing for subject one, whose
// paper is as old as the bank.
void preparePaper(Query& q, const ExamFormat& format);

// The draw, step by step: empty the paper, copy the whole bank into it, number the
// questions of each plan row, then remove the questions no row drew.
void clear(Query& q, const ExamFormat& format = subjectOne());
void copyBank(Query& q, const ExamFormat& format = subjectOne());
// Numbers at most count candidates of condition in random order, from nextNumber on,
// which it advances by one for each; the query is closed afterwards.
void drawCategory(Query& q, const QString& condition, int count, int& nextNumber,
                  const ExamFormat& format = subjectOne());
void dropUndrawn(Query& q, const ExamFormat& format = subjectOne());
// All four steps with the rows of plan, for callers that show no progress.
void draw(Query& q, const std::vector<TExam>& plan, const ExamFormat& format = subjectOne());
// A paper of the format by its plan: the bank checked (its text thrown as a
// DatabaseError), the paper prepared, then the four steps.
void draw(Query& q, const ExamFormat& format);
// What an exam screen does to start an exam, for a wait screen to follow: the paper of
// plan drawn in one transaction (prepared, emptied, the bank copied, each row, the
// undrawn dropped, committed), then the paper opened in q and its answer sheet in sheet.
// afterStep runs after each of drawSteps(plan) steps; no message may run in it while
// the transaction is open.
void drawAndOpen(Query& q, Query& sheet, const ExamFormat& format, const std::vector<TExam>& plan,
                 const std::function<void()>& afterStep);
int drawSteps(const std::vector<TExam>& plan);

// The paper with its texts in the order of the numbers, and the answer sheet. The paper
// holds no clip: fetch the one of the question shown with clipOf.
void openPaper(Query& q, const ExamFormat& format = subjectOne());
void openAnswerSheet(Query& sheet, const ExamFormat& format = subjectOne());

// The numbers of the questions not answered, ascending, each but the last followed by
// one blank; the query is left open on them.
QString unansweredNumbers(Query& q, const ExamFormat& format = subjectOne());
// The number of questions on the paper; the query is closed afterwards.
int paperSize(Query& q, const ExamFormat& format = subjectOne());
// The number of right answers, as the text of the count; the query is left open.
QString rightAnswers(Query& q, const ExamFormat& format = subjectOne());
// The numbers answered wrongly or not at all, those outside 0 to 103 left out; the
// query is closed afterwards.
TTopicSet wrongTopics(Query& q, const ExamFormat& format = subjectOne());
// The answer sheet of the review: Result the bank's answer, bResult the candidate's.
void openReviewSheet(Query& sheet, const ExamFormat& format = subjectOne());

// The clip of a question, empty when it has none or its format has no clips.
bool clipOf(Connection& connection, const ExamFormat& format, int id, QByteArray* clip,
            QString* error);

} // namespace ExamPaper
