#pragma once

#include "exampaper/ExamFormat.h"

#include <QString>
#include <vector>

class Connection;

// Marking a paper: what each question's stored answer is worth. Nothing here opens a
// window; functions that read the bank answer success and, on failure, an error text.
namespace ExamMarking {

enum class Mark
{
    Right,
    Wrong,
    Unanswered, // NULL, empty or only blanks
};

// The answer as it is stored for a kind: a single letter or √/× as given; for a multiple
// answer the distinct letters in ascending order ("DBA" -> "ABD"). Anything that is not
// an answer of the kind (a letter for a statement, "E", one letter for a multiple
// answer) comes back empty.
QString normalised(AnswerKind kind, const QString& answer);

// The mark of one stored answer against the bank's: right when it equals the bank's
// answer as the database compares text (ASCII letters without regard to case), as the
// result screen's count of subject one does, except that a blank answer is never right.
// Answers are stored in their kind's form, so a multiple answer is right only when it
// holds exactly the right letters, in ascending order; a stored answer that is not well
// formed is wrong, never an error.
Mark mark(AnswerKind kind, const QString& given, const QString& right);

struct MarkedQuestion
{
    int topicNo = 0;
    int id = 0;
    int type = 0;
    int chapter = -1; // index into the format's chapters, -1 for none
    QString given;
    QString right;
    Mark mark = Mark::Unanswered;
    bool inBank = true; // false for a paper row whose question the bank no longer holds
};

struct ChapterFigures
{
    int asked = 0;
    int right = 0;
};

struct MarkedPaper
{
    std::vector<MarkedQuestion> questions; // in the order of TopicNo
    int right = 0;
    int wrong = 0;
    int unanswered = 0;
    int score = 0; // right answers times the format's points
    bool passed = false;
    std::vector<ChapterFigures> chapters; // one per chapter of the format
};

// Marks the paper of a format as it stands in its paper table: every row of the paper, a
// row whose question has left the bank marked wrong or unanswered.
bool markPaper(Connection& connection, const ExamFormat& format, MarkedPaper* paper,
               QString* error);

} // namespace ExamMarking
