#pragma once

#include "exampaper/StudyLog.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"

#include <array>
#include <functional>

class TFrm_ShunXuLianXi;

// The chapters of a subject as rows to choose from, each with its practice progress.
class ChapterList : public QWidget
{
    Q_OBJECT
public:
    explicit ChapterList(QWidget* parent);
    void setProgress(const ExamFormat& format, const StudyLog::Progress& progress);
    QRect rowRect(int chapter) const;
    std::function<void(int chapter)> OnChoose;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const ExamFormat* m_format = &subjectOne();
    StudyLog::Progress m_progress;
};

// The ways of study of a subject: a card each, with what it holds now. The practices
// open the practice screen over the questions of their way; the final drill and the
// exam-hall mode are exams, which the menu's OnExam opens.
class TFrm_XueXiMoShi : public Form
{
    Q_OBJECT
public:
    explicit TFrm_XueXiMoShi(QWidget* owner = nullptr);

    enum Card
    {
        Continue,
        Chapter,
        Random,
        Missed,
        Due,
        Starred,
        Drill,
        ExamHall,
        Cards
    };

    Picture* Image1;
    std::array<Label*, Cards> lblMoShi;     // the click areas over the cards
    std::array<Label*, Cards> lblZhuangTai; // what each way holds now
    FlatButton* sbtnReturn;
    ChapterList* pnlZhangJie;
    Picture* imgKeMu;
    Label* lblAddress;

    void setFormat(const ExamFormat& format);
    const ExamFormat& format() const { return *m_format; }
    // Opens an exam of the subject in the way given (a final drill, the exam hall).
    std::function<void(const ExamFormat& format, StudyLog::Mode mode)> OnExam;

    void lblMoShiClick(QObject* sender);
    void sbtnReturnClick(QObject* sender);
    // The practice screen of a chapter, as the record screen opens it too.
    static void practiseChapter(const ExamFormat& format, int chapter);

protected:
    void FormShow() override;
    void FormClose(CloseAction& action) override;

private:
    void showCounts();
    void practise(StudyLog::Mode mode, std::vector<int> order, const QString& place,
                  const QString& empty);
    const ExamFormat* m_format = &subjectOne();
};
