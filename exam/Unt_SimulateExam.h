#pragma once

#include "exam/Unt_MoLiKaoShiPingFen.h"
#include "exampaper/ExamPaper.h"
#include "exampaper/StudyLog.h"
#include "sharedscreens/ScreenParts.h"
#include "sharedscreens/Unt_Father.h"
#include "toolkit/DBCtrlGrid.h"
#include "toolkit/DataControls.h"

#include <QPointer>
#include <QString>
#include <vector>

class DBImage;
class ExplainNote;
class PictureZoom;
class StarToggle;

// Question numbers 0 to 103 answered wrongly or not at all, painted red in the review.
extern TTopicSet WrongTopicSet;

// The question's lines stop this many pixels short of the text box's right side, which
// reaches past the frame drawn around it.
inline constexpr int kExamTextRightMargin = 9;

// The mock exam of subject one: one question at a time, the answer sheet, the clock.
class TFrm_SimulateExam : public TFrm_Father
{
    Q_OBJECT
public:
    explicit TFrm_SimulateExam(QWidget* owner = nullptr);
    ~TFrm_SimulateExam() override;

    Label* lblContent;
    DBImage* DBImage1;
    DBMemo* dbMemContent;
    Picture* imgvx;
    Label* lblA;
    Label* lblB;
    Label* lblC;
    Label* lblD;
    Label* lblResult;
    Label* lblNext;
    Label* lblPrior;
    Label* lblSelect;
    Label* lblEndExam;
    DBCtrlGrid* DBCtrlGrid1;
    DBText* DBText2;
    DBText* DBText3;
    Label* lblNo;
    Label* Label1;
    Label* Label2;
    Label* lblTime;
    Label* lblAddress;
    Label* lblXueYuanBan = nullptr; // made by FormCreate
    // In the review: the explanation and source of the question shown, over the title.
    ExplainNote* lblJieXi;
    ::Timer* Timer;
    ::DataSource* DataSource;  // the paper
    ::DataSource* DataSource1; // the answer sheet

    int MinutesLeft = subjectOne().minutes;

    // Set before showing: a mock exam, a final drill, or the exam-hall way.
    StudyLog::Mode ExamMode = StudyLog::Mode::Exam;
    // In the review: the caption under the answer box says it shows the right answer, the
    // question can be starred, and its picture opens at twice its size.
    QWidget* lblZhengQue;
    StarToggle* imgShouCang;
    PictureZoom* imgZoom;

    // Starts a new exam: a new paper, question 1, the clock at the format's minutes.
    void FormShow() override;

    bool CreateExamPaper(const std::vector<TExam>& plan);

    void DataSourceDataChange(QObject* sender, Field* field);
    void DataSource1DataChange(QObject* sender, Field* field);
    void UpdateTopicView();
    void lblAClick(QObject* sender);
    void lblNextClick(QObject* sender);
    void lblPriorClick(QObject* sender);
    void lblSelectClick(QObject* sender);
    void lblEndExamClick(QObject* sender);
    void TimerTimer(QObject* sender);
    void TopicNoGetText(Field& sender, QString& text, bool displayText);
    void DBCtrlGrid1PaintPanel(DBCtrlGrid* sender, int index);
    void HandInExam();

protected:
    void FormCreate();
    void FormClose(CloseAction& action) override;

private:
    void detachDataSources();
    void attachDataSources();
    void enterReview();
    void showReviewExplanation();
    // Once per paper, at its first hand-in: the history and the wrong-question book.
    void recordPaper();
    bool m_paperRecorded = false;
    void showHallNote();
    ExamHallMarks m_hall;

    // The clock closes the hand-in question when time runs out.
    HandInQuestion m_handIn;
};

extern TFrm_SimulateExam* Frm_SimulateExam;
