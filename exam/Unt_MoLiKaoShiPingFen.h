#pragma once

#include "exampaper/ExamFormat.h"
#include "exampaper/StudyLog.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"

#include <functional>

class ExplainNote;
class StarToggle;

// The result screen of a paper of a format (subject one unless told): right, wrong and
// score, the pass picture at the pass mark or more, and the choice of review, redo or
// exit.
class TFrm_MoLiKaoShiPingFen : public Form
{
    Q_OBJECT
public:
    explicit TFrm_MoLiKaoShiPingFen(QWidget* owner = nullptr);

    Picture* Image1;
    FlatButton* sbtnJiaoDui;
    FlatButton* sbtnChongLianXi;
    FlatButton* sbtnTuiChu;
    Label* lblNum;
    Label* lblRight;
    Label* lblError;
    Label* lblGrade;
    Label* lblPingYu;
    Picture* imgPingYu;

    // The Tag of the button that closed the screen: 20 review, 10 redo, 30 exit.
    int SelectedTag = 0;

    void sbtnChongLianXiClick(QObject* sender);

    // Before the screen is shown: the paper's format, whose background and marking it takes.
    void setFormat(const ExamFormat& format);
    const ExamFormat& format() const { return *m_format; }

protected:
    void FormShow() override;
    void FormClose(CloseAction& action) override;

private:
    void showMarkedPaper();
    const ExamFormat* m_format = &subjectOne();
};

// What an exam screen does on each choice of its result screen.
struct ResultChoices
{
    std::function<void()> redo;
    std::function<void()> review;
    std::function<void()> exit;
};
// The result of the handed-in paper of a format, and the choice made there; closed
// without a choice, nothing follows.
void showResult(const ExamFormat& format, const ResultChoices& choices);

// The handed-in paper of a format in the study record. When it cannot be written, one
// message says so; the paper and the result are untouched.
void recordHandIn(const ExamFormat& format, const QString& candidateNo,
                  StudyLog::Mode mode = StudyLog::Mode::Exam);

// The plan of a paper in an exam screen's way: a final drill leans on the weak chapters.
std::vector<TExam> planOf(const ExamFormat& format, StudyLog::Mode mode);

// The exam-hall way of an exam screen: an answer is final once given and marked at once,
// and the paper ends when so many are wrong that the pass mark is out of reach.
class ExamHallMarks
{
public:
    void start() { m_wrong = 0; }
    // The line of the note for an answer: right or wrong, and the right answer.
    static QString markLine(AnswerKind kind, const QString& given, const QString& right);
    // One answer given; true when the paper is over.
    bool answer(const ExamFormat& format, AnswerKind kind, const QString& given,
                const QString& right);
    int wrong() const { return m_wrong; }
    // The message at the end.
    QString endText(const ExamFormat& format) const;

private:
    int m_wrong = 0;
};

// In the review, over the exam screen's title band: the answer line (may be empty), the
// explanation and the source of a question of the format, in the largest face that fits.
void showReviewNote(ExplainNote* note, const ExamFormat& format, int id, const QString& answerLine);

// The review's line of a question: the right answer, and beside it the learner's own
// where it was not right ("未答" for none).
QString reviewAnswerLine(AnswerKind kind, const QString& given, const QString& right);

// In the review of subject one, over the caption below the answer box, which shows the
// right answer there: "正确答案". Hidden until the review.
QWidget* reviewCaption(QWidget* screen);
// The star of the question shown in a review, on the answer sheet's heading; id gives
// the question's ID at the click. Hidden until the review.
StarToggle* reviewStar(QWidget* screen, const ExamFormat& format, std::function<int()> id);
void showReviewStar(StarToggle* star, const ExamFormat& format, int id);

// The number pad over an exam screen, with the range of the format's paper: the paper
// moves to the number given, a number it does not hold leaves it.
void chooseQuestion(QWidget* screen, const ExamFormat& format);
