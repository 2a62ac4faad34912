#include "exam/Unt_MoLiKaoShiPingFen.h"

#include "data/Clock.h"
#include "data/DMUnit.h"
#include "exam/Unt_StudentLogin.h"
#include "exampaper/ExamMarking.h"
#include "exampaper/ExamPaper.h"
#include "exampaper/StudyRecord.h"
#include "sharedscreens/ExplainNote.h"
#include "sharedscreens/ScreenParts.h"
#include "sharedscreens/StudyParts.h"
#include "toolkit/ClickArea.h"
#include "toolkit/MessageBox.h"
#include "toolkit/Resources.h"
#include "toolkit/TextTrim.h"

#include <QPainter>

namespace {

Label* scoreLabel(QWidget* parent, const char* name, QRect r, int px, const QColor& color,
                  const QString& caption = QString())
{
    Label* l = textLabel(parent, name, r, QStringLiteral("隶书"), px, color, caption);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

FlatButton* choice(QWidget* parent, const char* name, int x, int tag)
{
    return clickArea<FlatButton>(parent, name, {x, 327, 164, 68}, tag);
}

} // namespace

TFrm_MoLiKaoShiPingFen::TFrm_MoLiKaoShiPingFen(QWidget* owner)
    : Form(owner)
{
    setObjectName(QStringLiteral("Frm_MoLiKaoShiPingFen"));
    setCaption(QStringLiteral("Dialog"));
    setClientSize(800, 600);
    setColor(palette().color(QPalette::Button));

    Image1 = screenPicture(this, "Image1", m_format->resultPicture);

    sbtnJiaoDui = choice(this, "sbtnJiaoDui", 186, 20);
    sbtnChongLianXi = choice(this, "sbtnChongLianXi", 359, 10);
    sbtnTuiChu = choice(this, "sbtnTuiChu", 532, 30);
    for (FlatButton* b : {sbtnJiaoDui, sbtnChongLianXi, sbtnTuiChu}) {
        b->OnClick = [this](QObject* s) { sbtnChongLianXiClick(s); };
    }

    lblNum = scoreLabel(this, "lblNum", QRect(59, 166, 156, 50), 56, Qt::black,
                        QString::number(m_format->questions));
    lblRight = scoreLabel(this, "lblRight", QRect(193, 263, 156, 50), 56, QColor(0, 128, 0));
    lblError = scoreLabel(this, "lblError", QRect(364, 263, 156, 50), 56, Qt::red);
    lblGrade = scoreLabel(this, "lblGrade", QRect(538, 263, 156, 50), 56, Qt::blue);
    lblPingYu = scoreLabel(this, "lblPingYu", QRect(62, 362, 634, 68), 64, QColor(0, 128, 0),
                           QStringLiteral("恭喜你！过关了。"));

    imgPingYu = named(new Picture(this), "imgPingYu");
    imgPingYu->setAutoSize(true);
    imgPingYu->move(270, 397);
    imgPingYu->loadFromResource(artPath(QStringLiteral("ExamPassed.rgb32")));
}

void TFrm_MoLiKaoShiPingFen::setFormat(const ExamFormat& format)
{
    m_format = &format;
    Image1->loadFromResource(artPath(format.resultPicture));
    lblNum->setCaption(QString::number(format.questions));
}

void TFrm_MoLiKaoShiPingFen::FormShow()
{
    if (m_format->subject == subjectOne().subject) {
        // A sparse bank draws a shorter paper: what it lacks was never asked, so it is not
        // wrong.
        lblNum->setCaption(QString::number(ExamPaper::paperSize(DM->ADOQuery2, *m_format)));
        lblRight->setCaption(ExamPaper::rightAnswers(DM->ADOQuery2, *m_format));
        lblError->setCaption(
            QString::number(lblNum->caption().toInt() - lblRight->caption().toInt()));
        lblGrade->setCaption(QString::number(m_format->scoreOf(lblRight->caption().toInt())));
        imgPingYu->setVisible(m_format->passes(lblGrade->caption().toInt()));
    } else {
        showMarkedPaper();
    }
    lblNum->hide();
    lblPingYu->hide();
}

void TFrm_MoLiKaoShiPingFen::showMarkedPaper()
{
    // Marked question by question by the core, as the record marks it: a blank answer is
    // never right, and the points per answer are the format's.
    ExamMarking::MarkedPaper paper;
    QString error;
    if (!ExamMarking::markPaper(DM->ADOCon, *m_format, &paper, &error)) {
        for (Label* l : {lblNum, lblRight, lblError, lblGrade}) {
            l->setCaption(QString());
        }
        imgPingYu->hide();
        MessageBox(QStringLiteral("本次考试的成绩无法算出：") + error +
                       QStringLiteral("\r\n答卷完好，可以查看答案。"),
                   QStringLiteral("考试成绩"), 16);
        return;
    }
    lblNum->setCaption(QString::number(paper.questions.size()));
    lblRight->setCaption(QString::number(paper.right));
    lblError->setCaption(QString::number(paper.wrong + paper.unanswered));
    lblGrade->setCaption(QString::number(paper.score));
    imgPingYu->setVisible(paper.passed);
}

void TFrm_MoLiKaoShiPingFen::sbtnChongLianXiClick(QObject* sender)
{
    SelectedTag = dynamic_cast<Clickable*>(sender)->tag();
    close();
}

void TFrm_MoLiKaoShiPingFen::FormClose(CloseAction& action)
{
    action = CloseAction::Free;
}

void showResult(const ExamFormat& format, const ResultChoices& choices)
{
    auto* result = new TFrm_MoLiKaoShiPingFen(nullptr);
    result->setFormat(format);
    result->showModal();
    const int choice = result->SelectedTag;
    const std::function<void()>* chosen = choice == 10   ? &choices.redo
                                          : choice == 20 ? &choices.review
                                          : choice == 30 ? &choices.exit
                                                         : nullptr;
    if (chosen && *chosen) {
        (*chosen)();
    }
}

void recordHandIn(const ExamFormat& format, const QString& candidateNo, StudyLog::Mode mode)
{
    QString error;
    // The learner's own drills are recorded apart from the mock exams.
    const StudyRecord::PaperKind kind =
        mode == StudyLog::Mode::Exam ? StudyRecord::PaperKind::Exam : StudyRecord::PaperKind::Drill;
    if (!StudyRecord::recordExam(DM->ADOCon, format, nullptr, DM->clock().currentDateTime(),
                                 candidateNo, nullptr, &error, kind)) {
        MessageBox(QStringLiteral("本次考试没能记入学习记录：") + error +
                       QStringLiteral("\r\n成绩照常显示，答卷完好。"),
                   QStringLiteral("学习记录"), 16);
    }
}

void showReviewNote(ExplainNote* note, const ExamFormat& format, int id, const QString& answerLine)
{
    QString explain;
    QString source;
    QString error;
    if (!StudyRecord::explanationOf(DM->ADOCon, format, id, &explain, &source, &error)) {
        explain = QStringLiteral("（本题的解析无法读出：") + error + QStringLiteral("）");
    }
    note->setNote(answerLine, explain, source);
    note->fitFont(QStringLiteral("宋体"), {14, 13, 12}, true);
    note->raise();
}

void chooseQuestion(QWidget* screen, const ExamFormat& format)
{
    auto* pad = new TFrm_StudentLogin(screen);
    if (format.subject != subjectOne().subject) {
        pad->imgTitle->loadFromResource(artPath(QStringLiteral("ExamTitleFour.bmp")));
        pad->imgXT->loadFromResource(artPath(QStringLiteral("QuestionPromptFour.jpg")));
    }
    pad->imgXT->show();
    if (pad->showModal() == mrOk && !pad->lblNo->caption().isEmpty()) {
        DM->ADOQryTopic.locate(QStringLiteral("TopicNo"), pad->lblNo->caption());
    }
}

std::vector<TExam> planOf(const ExamFormat& format, StudyLog::Mode mode)
{
    if (mode != StudyLog::Mode::Drill) {
        return format.plan;
    }
    StudyLog::Progress progress;
    QString error;
    // Without a readable record the drill is an ordinary paper.
    if (!StudyLog::readProgress(DM->ADOCon, format, &progress, &error)) {
        return format.plan;
    }
    return StudyLog::drillPlan(format, progress);
}

QString ExamHallMarks::markLine(AnswerKind kind, const QString& given, const QString& right)
{
    const QString shown = trimBlanks(right);
    return ExamMarking::mark(kind, given, right) == ExamMarking::Mark::Right
               ? QStringLiteral("回答正确：") + shown
               : QStringLiteral("回答错误　正确答案：") + shown + QStringLiteral("　您的答案：") +
                     given;
}

bool ExamHallMarks::answer(const ExamFormat& format, AnswerKind kind, const QString& given,
                           const QString& right)
{
    if (ExamMarking::mark(kind, given, right) != ExamMarking::Mark::Right) {
        ++m_wrong;
    }
    return m_wrong >= StudyLog::examHallLimit(format);
}

QString ExamHallMarks::endText(const ExamFormat& format) const
{
    return QStringLiteral("已经答错%1题，本次考试不能再及格（%2分及格），考试结束。")
        .arg(m_wrong)
        .arg(format.passMark);
}

QString reviewAnswerLine(AnswerKind kind, const QString& given, const QString& right)
{
    QString line = QStringLiteral("正确答案：") + trimBlanks(right);
    if (ExamMarking::mark(kind, given, right) != ExamMarking::Mark::Right) {
        line += QStringLiteral("　您的答案：") +
                (trimBlanks(given).isEmpty() ? QStringLiteral("未答") : trimBlanks(given));
    }
    return line;
}

namespace {

// A caption on the screen's ground, covering the one drawn beneath it.
class CaptionPatch : public QWidget
{
public:
    CaptionPatch(QWidget* parent, const QString& text)
        : QWidget(parent)
        , m_text(text)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), colorFromBgr(kLavender));
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(screenFont(QStringLiteral("宋体"), 12, true));
        p.setPen(QColor(60, 120, 70));
        p.drawText(rect(), Qt::AlignCenter, m_text);
    }

private:
    QString m_text;
};

} // namespace

QWidget* reviewCaption(QWidget* screen)
{
    auto* caption = new CaptionPatch(screen, QStringLiteral("正确答案"));
    caption->setObjectName(QStringLiteral("lblZhengQue"));
    caption->setGeometry(330, 311, 80, 18);
    caption->hide();
    return caption;
}

StarToggle* reviewStar(QWidget* screen, const ExamFormat& format, std::function<int()> id)
{
    auto* star = new StarToggle(screen);
    star->setObjectName(QStringLiteral("imgShouCang"));
    star->setGeometry(92, 332, 26, 26);
    star->OnToggle = [star, &format, id = std::move(id)](bool on) {
        QString error;
        if (!StudyLog::setStarred(DM->ADOCon, format, id(), on, DM->clock().currentDateTime(),
                                  &error)) {
            star->setOn(!on);
            MessageBox(QStringLiteral("收藏没能保存：") + error, QStringLiteral("收藏"), 16);
        }
    };
    star->hide();
    return star;
}

void showReviewStar(StarToggle* star, const ExamFormat& format, int id)
{
    bool on = false;
    QString error;
    StudyLog::isStarred(DM->ADOCon, format, id, &on, &error);
    star->setOn(on);
    star->show();
    star->raise();
}
