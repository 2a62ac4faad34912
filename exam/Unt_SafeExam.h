#pragma once

#include "exam/Unt_MoLiKaoShiPingFen.h"
#include "exampaper/ExamPaper.h"
#include "exampaper/StudyLog.h"
#include "sharedscreens/ScreenParts.h"
#include "sharedscreens/Unt_Father.h"
#include "toolkit/DBCtrlGrid.h"
#include "toolkit/DataControls.h"

#include <array>
#include <functional>

class ExplainNote;
class PictureZoom;
class StarToggle;

// The answer keys of subject four's exam: the letters A to D, the tick and the cross of a
// statement, the toggles and the confirm key of a multiple answer, the box of the answer
// given and a quiet line of hints beside the answer sheet's title.
class SafeAnswerKeys : public QObject
{
    Q_OBJECT
public:
    explicit SafeAnswerKeys(QWidget* screen);

    std::array<Picture*, 4> imgDown; // a letter toggled on: its key held down
    Picture* imgvx;                  // the tick and the cross over the letters
    std::array<Label*, 4> lblKey;    // the click areas of A to D
    FlatButton* sbtnConfirm;
    Label* lblResult;
    Label* lblHint;

    // The keys of a question of this kind with the answer stored for it; locked, no
    // answer can be given (the review).
    void showQuestion(AnswerKind kind, const QString& stored, bool locked);
    // What the screen stores when an answer is given: a letter, "√" or "×", or the
    // confirmed letters of a multiple answer in ascending order.
    std::function<void(const QString& answer)> OnAnswer;

    void keyClick(int index);
    void confirmClick();
    QString toggled() const { return m_toggles.letters(); }

private:
    void showToggles();

    AnswerKind m_kind = AnswerKind::Single;
    LetterToggles m_toggles;
};

// The mock exam of subject four: 50 questions on a sheet of five columns, the clock of
// the format, answers of its three kinds, a clip in the picture's place where the
// question has one.
class TFrm_SafeExam : public TFrm_Father
{
    Q_OBJECT
public:
    explicit TFrm_SafeExam(QWidget* owner = nullptr);
    ~TFrm_SafeExam() override;

    Label* lblContent;
    DBImage* DBImage1;
    ClipView* imgClip; // a question's clip over its picture
    SafeAnswerKeys* Keys;
    Label* lblNext;
    Label* lblPrior;
    Label* lblSelect;
    Label* lblEndExam;
    DBCtrlGrid* DBCtrlGrid1;
    DBText* DBText2; // the number with its mark of answered
    DBText* DBText3; // the answer given
    Label* lblNo;
    Label* Label1;
    Label* Label2;
    Label* lblTime;
    Label* lblAddress;
    Label* lblXueYuanBan;
    // In the review: the right answer, the explanation and the source, over the title.
    ExplainNote* lblJieXi;
    ::Timer* Timer;
    ::DataSource* DataSource;  // the paper
    ::DataSource* DataSource1; // the answer sheet

    int MinutesLeft = subjectFour().minutes;
    // Set before showing: a mock exam, a final drill, or the exam-hall way.
    StudyLog::Mode ExamMode = StudyLog::Mode::Exam;
    // In the review: the star of the question, and its picture at twice its size.
    StarToggle* imgShouCang;
    PictureZoom* imgZoom;
    // The numbers answered wrongly or not at all, red on the sheet in the review.
    TTopicSet WrongTopics;
    bool reviewing() const { return m_reviewing; }

    // Starts a new exam: a new paper, question 1, the clock at the format's minutes.
    void FormShow() override;
    bool CreateExamPaper();

    void lblNextClick(QObject* sender);
    void lblPriorClick(QObject* sender);
    void lblSelectClick(QObject* sender);
    void lblEndExamClick(QObject* sender);
    void TimerTimer(QObject* sender);
    void HandInExam();

protected:
    void FormClose(CloseAction& action) override;

private:
    void attachDataSources(bool attach);
    void paperMoved();
    void sheetMoved();
    void showQuestion();
    void storeAnswer(const QString& answer);
    void enterReview();
    void watchSheetNumbers();
    QString givenAnswer() const;

    HandInQuestion m_handIn;
    ExamHallMarks m_hall;
    bool m_recorded = false;
    bool m_reviewing = false;
    bool m_moving = false; // the paper and the sheet follow each other, once
    // The sheet's column of the candidate's answer: Result while the exam runs, bResult
    // in the review, whose Result is the bank's.
    QString m_answerField = QStringLiteral("Result");
};
