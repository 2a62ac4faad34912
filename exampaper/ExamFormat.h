#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// One row of the draw plan: how many questions, and the condition on the paper table's
// columns (Type and ID, or Type and Chapter) that selects their candidates.
struct TExam
{
    int Count;
    QString Condition;
};

// How a question of a kind is answered, and so how its answer is stored and marked.
enum class AnswerKind
{
    Single,    // one of "A" to "D"
    TrueFalse, // "√" or "×"
    Multiple,  // two or more of "A" to "D", stored in ascending order ("ABD")
};

// A chapter of a subject: the questions a row of the record's chapter bars counts. In
// subject one a chapter is a range of IDs; in subject four the question's Chapter column.
struct ExamChapter
{
    QString name;
    int firstId = 0; // subject one
    int lastId = 0;
    int number = 0; // subject four: the value of T_SafeTopic.Chapter
};

// A written test: its bank and paper tables, its size, clock, points and pass mark, the
// draw plan by chapter and kind, and how each kind is answered. Every rule of an exam
// stands here once; the screens, the record and the bank's check read it from here.
struct ExamFormat
{
    int subject = 1;    // 1 or 4, as the record stores it
    QString title;      // "科目一", "科目四"
    QString bankTable;  // T_Topic, T_SafeTopic
    QString paperTable; // T_TopicTmp, T_SafePaper
    // The columns a paper copies from the bank for its draw.
    QString copyColumns;
    // The bank's column that names a question's chapter; empty where its ID does.
    QString chapterColumn;
    // The bank's column of a question's clip; empty where questions have none.
    QString clipColumn;
    // The result screen's background, which names the paper's size, points and pass mark.
    QString resultPicture;
    int questions = 0; // on a full paper
    int minutes = 0;
    int points = 0;   // per right answer
    int passMark = 0; // the least passing score
    std::vector<TExam> plan;
    std::vector<ExamChapter> chapters;

    AnswerKind kindOf(int type) const;
    // The index in chapters of a question, from its ID and the value of its Chapter
    // column; -1 for none.
    int chapterOf(int id, int chapterValue) const;
    int maxScore() const { return questions * points; }
    int scoreOf(int rightAnswers) const { return rightAnswers * points; }
    bool passes(int score) const { return score >= passMark; }
};

// Subject one, the rules: 100 questions in 45 minutes, a point each, pass at 90, the draw
// of 22 rows by type and ID range.
const ExamFormat& subjectOne();
// Subject four, safe and civil driving: 50 questions in 30 minutes, 2 points each, pass at
// 90; true/false, single and multiple-answer questions drawn by chapter.
const ExamFormat& subjectFour();
// The format of a subject number (1 or 4); subject one for any other.
const ExamFormat& formatOf(int subject);

// Subject one's plan, as the exam screen and the bank's check have always named it:
// 60 choice questions, then 40 true/false ones, by eleven ranges of ID.
extern const std::vector<TExam> ExamPlan;
