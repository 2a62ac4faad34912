#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

class Connection;

// The records of learning in Drive.mdb beside the paper: one row of T_ExamHistory per
// hand-in with its tally per chapter in T_ExamChapter, and T_WrongBook, the questions
// missed and not yet answered right again. A bank of the first schema gets the tables
// at the first hand-in, in the same transaction as the record; reading never writes.
// Every function answers success and, on failure, an error text; none opens a window.
namespace StudyRecord {

// The schema with the records of learning.
constexpr int kUserVersion = 2;
// The lowest score that passes, for the history and the result screen alike.
constexpr int kPassMark = 90;

// The chapters of the bank: the ID ranges that the exam plan draws from.
struct Chapter
{
    int firstId;
    int lastId;
    QString name;
};
const std::vector<Chapter>& chapters();
// The index of the chapter that holds a question, or -1.
int chapterOf(int id);

struct ExamEntry
{
    QDateTime takenAt;
    QString candidateNo;
    int score = 0;
    bool passed = false;
    int questions = 0;
};

// The handed-in paper of T_TopicTmp, marked as the result screen marks it: the history
// row, its chapters, and the book (a miss adds to it, a right answer takes the question
// out). All or nothing in one transaction, on the disk when it returns true.
bool recordExam(Connection& connection, const QDateTime& takenAt, const QString& candidateNo,
                ExamEntry* recorded, QString* error);

// A question answered right at its first try in wrong-question practice leaves the book.
bool recordMastered(Connection& connection, int id, QString* error);

struct ChapterShare
{
    int asked = 0;
    int right = 0;
};

struct Summary
{
    int exams = 0;
    int passes = 0;
    std::vector<ExamEntry> recent;      // the last 30, oldest first
    std::vector<ChapterShare> chapters; // one per chapter of chapters()
    int bookSize = 0;                   // the questions of the book still in the bank
};
constexpr int kRecentExams = 30;

bool readSummary(Connection& connection, Summary* summary, QString* error);

// The statement of wrong-question practice: the book's questions of the bank by ID.
QStringList wrongBookPracticeSql(Connection& connection);

// The explanation and source of one question; empty texts when the bank has none.
bool explanationOf(Connection& connection, int id, QString* explain, QString* source,
                   QString* error);

} // namespace StudyRecord
