#pragma once

#include "exampaper/ExamFormat.h"
#include "exampaper/ExamMarking.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <vector>

class Connection;
struct sqlite3;

// What practice keeps: every answer in T_AnswerLog, the review schedule of the wrong
// book, the starred questions, where each way of practice was left and the random order.
// The learner's rows name a question by its QKey, never by its ID, which may change with
// the bank. Writes bring an older schema up first and are on the disk when they return;
// reads never write. Every function answers success and, on failure, an error text.
namespace StudyLog {

// The way a question was practised, as T_AnswerLog.Mode stores it.
enum class Mode
{
    Sequential = 0,
    WrongBook = 1,
    Chapter = 2,
    Random = 3,
    Missed = 4,
    Due = 5,
    Starred = 6,
    Drill = 7,
    ExamHall = 8,
    Exam = 9,
};

// A question of the book comes back after these days, one step after the other; right at
// the last step, it leaves the book.
inline constexpr int kReviewDays[] = {1, 3, 7, 15};
inline constexpr int kReviewSteps = int(std::size(kReviewDays));
QDate dueAfter(int step, QDate answeredOn);
QString dueText(QDate day);

struct Answer
{
    int id = 0; // the question's ID in the format's bank
    Mode mode = Mode::Sequential;
    QString given;
    bool right = false;
    // The first answer since the question was shown: only that one moves the book.
    bool firstTry = true;
};

// One answer into the log. A wrong first try puts the question into the book (or starts
// its schedule over); a right first try in the review of due questions moves it on a
// step, out of the book after the last; in wrong-question practice it leaves the book.
bool recordAnswer(Connection& connection, const ExamFormat& format, const Answer& answer,
                  const QDateTime& when, QString* error);

// Inside the caller's transaction: a handed-in paper's answers into the log, the
// unanswered questions left out.
bool logPaper(sqlite3* db, const ExamFormat& format, const ExamMarking::MarkedPaper& paper,
              Mode mode, const QDateTime& when, QString* error);

// The book's questions due on a day (a question the schedule has not reached yet is not),
// by ID.
bool dueQuestions(Connection& connection, const ExamFormat& format, QDate today,
                  std::vector<int>* ids, QString* error);
// The questions this learner missed, the most missed first (then the worse share right,
// then the number).
bool mostMissed(Connection& connection, const ExamFormat& format, std::vector<int>* ids,
                QString* error);

bool starredQuestions(Connection& connection, const ExamFormat& format, std::vector<int>* ids,
                      QString* error);
bool isStarred(Connection& connection, const ExamFormat& format, int id, bool* starred,
               QString* error);
bool setStarred(Connection& connection, const ExamFormat& format, int id, bool starred,
                const QDateTime& when, QString* error);

// Where a way of practice was left ("sequential", "chapter3", "random"): the ID of its
// question, 0 when there is none or it has left the bank.
bool placeOf(Connection& connection, const ExamFormat& format, const QString& place, int* id,
             QString* error);
bool savePlace(Connection& connection, const ExamFormat& format, const QString& place, int id,
               QString* error);

// The whole bank in a random order kept in the bank, so that it survives a restart: made
// at the first use, questions new to the bank added at its end, and made anew by
// newRandomRound once every question has been seen.
bool randomOrder(Connection& connection, const ExamFormat& format, std::vector<int>* ids,
                 QString* error);
bool newRandomRound(Connection& connection, const ExamFormat& format, std::vector<int>* ids,
                    QString* error);

// The bank's questions of a chapter by ID.
bool chapterQuestions(Connection& connection, const ExamFormat& format, int chapter,
                      std::vector<int>* ids, QString* error);

// Per chapter, from the log: how many questions the bank has, how many of them were
// answered, right at their last try, and mastered (right at the last two tries).
struct ChapterProgress
{
    int questions = 0;
    int seen = 0;
    int rightLast = 0;
    int mastered = 0;
};
struct Progress
{
    std::vector<ChapterProgress> chapters; // one per chapter of the format
    int answers = 0;                       // rows of the log of the subject
};
bool readProgress(Connection& connection, const ExamFormat& format, Progress* progress,
                  QString* error);

// The chance of passing a real paper now, with its range of one standard deviation of each
// chapter's share either way. Each chapter's share right is its questions' last answers
// (with one right and one wrong added, so that a few answers do not say everything), the
// questions not yet seen counted at half; the plan says how many of each chapter a paper
// asks; the chance is that of reaching the pass mark with those shares.
struct Readiness
{
    bool enough = false; // fewer than kReadinessAnswers answers say nothing yet
    double chance = 0;
    double low = 0;
    double high = 0;
};
inline constexpr int kReadinessAnswers = 50;
Readiness readiness(const ExamFormat& format, const Progress& progress);
// The questions a paper of the format asks of each chapter.
std::vector<int> planPerChapter(const ExamFormat& format);
// The chance that a paper of these questions per chapter with these shares right reaches
// at least rightNeeded right answers.
double chanceOfAtLeast(const std::vector<int>& perChapter, const std::vector<double>& shares,
                       int rightNeeded);

// The plan of a final drill: a paper of the format's size and kinds whose questions lean
// towards the chapters of the lower share right (up to twice a chapter's usual number).
std::vector<TExam> drillPlan(const ExamFormat& format, const Progress& progress);

// The exam-hall mode's end: the wrong answers after which the pass mark is out of reach.
int examHallLimit(const ExamFormat& format);

} // namespace StudyLog
