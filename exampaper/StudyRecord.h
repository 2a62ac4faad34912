#pragma once

#include "exampaper/ExamFormat.h"
#include "exampaper/ExamMarking.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

class Connection;

// The records of learning in Drive.mdb beside the papers, per subject: one row of
// T_ExamHistory per hand-in with its tally per chapter in T_ExamChapter, and T_WrongBook,
// the questions missed and not yet answered right again. A bank of an older schema is
// brought up to this one inside the transaction of the first write that needs it (a
// hand-in, a draw of subject four); opening or reading never writes. Every function
// answers success and, on failure, an error text; none opens a window.
namespace StudyRecord {

// The schema with the records of learning per subject, the tables of subject four, and
// the answer log with what practice keeps (see RecordSchema).
constexpr int kUserVersion = 4;
// The exams the record shows, the latest ones.
constexpr int kRecentExams = 30;

// Inside the caller's transaction, or alone as one change: the record's tables and
// subject four's where they are missing, the subject added to the history and the book
// where they lack it (every row kept, as subject one's), then the raised version. Run
// again, it changes nothing.
bool upgradeSchema(Connection& connection, QString* error);

// Subject one's chapters by the names the record has always used.
using Chapter = ExamChapter;
const std::vector<Chapter>& chapters(const ExamFormat& format = subjectOne());
// The chapter of a question of subject one, from its ID; -1 for none.
int chapterOf(int id);

struct ExamEntry
{
    QDateTime takenAt;
    QString candidateNo;
    int score = 0;
    bool passed = false;
    int questions = 0;
    int unanswered = 0;
};

// What a handed-in paper was: a mock exam, or a final drill that the exam figures leave
// out. The number is stored in T_ExamHistory.Mode.
enum class PaperKind
{
    Exam = 0,
    Drill = 1,
};

// The handed-in paper of the format: the history row with its unanswered count, its
// chapters, every answer given into the answer log, and the book (a miss adds to it and
// starts its review schedule over, a right answer takes the question out, a question left
// unanswered leaves the book as it was). The
// paper is marked inside the record's transaction when marked is null; otherwise marked
// is the paper as markPaper found it just before. All or nothing in one transaction, on
// the disk when it returns true.
bool recordExam(Connection& connection, const ExamFormat& format,
                const ExamMarking::MarkedPaper* marked, const QDateTime& takenAt,
                const QString& candidateNo, ExamEntry* recorded, QString* error,
                PaperKind kind = PaperKind::Exam);

// A question answered right at its first try in wrong-question practice leaves the book
// of its subject.
bool recordMastered(Connection& connection, int subject, int id, QString* error);

using ChapterShare = ExamMarking::ChapterFigures;

struct Summary
{
    int exams = 0;
    int passes = 0;
    std::vector<ExamEntry> recent;      // the last kRecentExams, oldest first
    std::vector<ChapterShare> chapters; // one per chapter of the format
    int bookSize = 0;                   // the questions of the book still in the bank
    int unanswered = 0;                 // left unanswered over all the exams
};

// The record of one subject.
bool readSummary(Connection& connection, const ExamFormat& format, Summary* summary,
                 QString* error);

// The statement of wrong-question practice: the book's questions of the format's bank
// by ID.
QStringList wrongBookPracticeSql(Connection& connection, const ExamFormat& format = subjectOne());

// The explanation and source of one question; empty texts when the bank has none.
bool explanationOf(Connection& connection, const ExamFormat& format, int id, QString* explain,
                   QString* source, QString* error);

} // namespace StudyRecord
