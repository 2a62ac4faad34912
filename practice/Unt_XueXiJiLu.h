#pragma once

#include "exampaper/StudyLog.h"
#include "exampaper/StudyRecord.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"

#include <functional>

// The scores of the last exams as points on a line, with the pass line; a friendly
// text instead while there is no exam.
class ScorePlot : public QWidget
{
    Q_OBJECT
public:
    explicit ScorePlot(QWidget* parent);
    // The exams of a subject, whose full score and pass mark the plot's lines show.
    void setExams(std::vector<StudyRecord::ExamEntry> exams,
                  const ExamFormat& format = subjectOne());
    const std::vector<StudyRecord::ExamEntry>& exams() const { return m_exams; }
    // Where the point of an exam lies, for tests and for the labels.
    QPointF pointOf(size_t index) const;
    QRectF plotArea() const;

    // A text the plot writes beside its points, where it is written.
    struct PlotLabel
    {
        QRectF rect;
        QString text;
    };
    // The days under the axis: an exam's day where it differs from the exam before, as
    // room allows, the first and the last day first.
    std::vector<PlotLabel> dateLabels() const;
    // The scores over (or under) their points, the latest first, each only where it
    // covers no point and no other score.
    std::vector<PlotLabel> scoreLabels() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF markOf(size_t index) const;
    QRectF passCaption() const;

    std::vector<StudyRecord::ExamEntry> m_exams;
    const ExamFormat* m_format = &subjectOne();
};

// The share right of each chapter over all exams, one bar a chapter, and beside it the
// chapter's practice: seen, right at the last try and mastered. A click on a chapter
// tells OnChapterClick.
class ChapterBars : public QWidget
{
    Q_OBJECT
public:
    explicit ChapterBars(QWidget* parent);
    // One share a chapter of the subject.
    void setShares(std::vector<StudyRecord::ChapterShare> shares,
                   const ExamFormat& format = subjectOne());
    void setProgress(const StudyLog::Progress& progress);
    // "法律法规 85%", or "法律法规 —" for a chapter no exam asked.
    QStringList captions() const;
    QRect slotRect(int chapter) const;
    std::function<void(int chapter)> OnChapterClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::vector<StudyRecord::ChapterShare> m_shares;
    StudyLog::Progress m_progress;
    const ExamFormat* m_format = &subjectOne();
};

// The study record of a subject: the score plot, the counts, the chapters and the
// wrong-question book; its title band names the subject.
class TFrm_XueXiJiLu : public Form
{
    Q_OBJECT
public:
    explicit TFrm_XueXiJiLu(QWidget* owner = nullptr);

    Picture* Image1;
    ScorePlot* imgChengJi;
    Label* lblKaoShi;
    Label* lblTongGuo;
    Label* lblCuoTi;
    Label* lblWeiDa;    // left unanswered in the exams, apart from the book
    Label* lblZhunBei;  // the chance of passing now, or "数据不足"
    Label* lblShuoMing; // how that chance is worked out
    ChapterBars* pnlZhangJie;
    FlatButton* sbtnLianXiCuoTi;
    FlatButton* sbtnReturn;
    Label* lblAddress;
    Picture* imgKeMu; // the subject's tag on the title band

    // Before showing: the subject shown, subject one unless told.
    void setFormat(const ExamFormat& format);
    const ExamFormat& format() const { return *m_format; }

    void sbtnLianXiCuoTiClick(QObject* sender);
    void sbtnReturnClick(QObject* sender);

protected:
    void FormShow() override;
    void FormClose(CloseAction& action) override;

private:
    void showSummary();
    void showReadiness();
    StudyRecord::Summary m_summary;
    const ExamFormat* m_format = &subjectOne();
};
