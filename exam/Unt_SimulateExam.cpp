#include "exam/Unt_SimulateExam.h"

#include "data/Clock.h"
#include "data/DMUnit.h"
#include "exam/Unt_MoLiKaoShiPingFen.h"
#include "sharedscreens/ExplainNote.h"
#include "sharedscreens/MsgDialogs.h"
#include "sharedscreens/ScreenParts.h"
#include "sharedscreens/StudyParts.h"
#include "toolkit/ClickArea.h"
#include "toolkit/MessageBox.h"
#include "toolkit/Resources.h"
#include "toolkit/TextTrim.h"

#include <QMetaObject>
#include <QPainter>

TFrm_SimulateExam* Frm_SimulateExam = nullptr;
TTopicSet WrongTopicSet;

namespace {

// Attaches a data-change handler again when the block that took it off ends, also when
// it ends by an error.
class Reattach
{
public:
    Reattach(::DataSource* source, ::DataSource::DataChangeEvent handler)
        : m_source(source)
        , m_handler(std::move(handler))
    {
        m_source->OnDataChange = nullptr;
    }
    ~Reattach() { m_source->OnDataChange = m_handler; }
    Reattach(const Reattach&) = delete;
    Reattach& operator=(const Reattach&) = delete;

private:
    ::DataSource* m_source;
    ::DataSource::DataChangeEvent m_handler;
};

} // namespace

TFrm_SimulateExam::TFrm_SimulateExam(QWidget* owner)
    : TFrm_Father(owner)
{
    setObjectName(QStringLiteral("Frm_SimulateExam"));
    imgPicture->loadFromResource(artPath(QStringLiteral("SimulateExam.rgb32")));

    DataSource = new ::DataSource(this);
    DataSource->setObjectName(QStringLiteral("DataSource"));
    DataSource1 = new ::DataSource(this);
    DataSource1->setObjectName(QStringLiteral("DataSource1"));

    lblContent = textLabel(this, "lblContent", QRect(9, 61, 550, 179), QStringLiteral("宋体"), 21,
                           QColor(0, 128, 128), QString());
    lblContent->setWordWrap(true);
    lblContent->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblContent->setContentsMargins(0, 0, kExamTextRightMargin, 0);

    DBImage1 = named(new DBImage(this), "DBImage1");
    DBImage1->setGeometry(558, 60, 230, 178);
    DBImage1->setColor(colorFromBgr(16759765));
    DBImage1->setEnabled(false);
    DBImage1->setDataSource(DataSource);
    DBImage1->setDataField(QStringLiteral("Picture"));

    dbMemContent = named(new DBMemo(this), "dbMemContent");
    dbMemContent->setGeometry(265, 78, 200, 51);
    dbMemContent->hide();
    dbMemContent->setDataSource(DataSource);
    dbMemContent->setDataField(QStringLiteral("Content"));

    imgvx = named(new Picture(this), "imgvx");
    imgvx->setGeometry(9, 234, 328, 79);
    imgvx->loadFromResource(artPath(QStringLiteral("ExamTickCross.rgb32")));
    imgvx->hide();

    lblA = clickArea<Label>(this, "lblA", {9, 235, 81, 78});
    lblB = clickArea<Label>(this, "lblB", {90, 235, 81, 78});
    lblC = clickArea<Label>(this, "lblC", {172, 235, 81, 78});
    lblD = clickArea<Label>(this, "lblD", {254, 235, 81, 78});
    for (Label* answer : {lblA, lblB, lblC, lblD}) {
        answer->OnClick = [this](QObject* s) { lblAClick(s); };
    }
    lblResult = textLabel(this, "lblResult", QRect(339, 243, 61, 65), QStringLiteral("隶书"), 73,
                          QColor(0, 128, 0), QStringLiteral("A"));
    lblResult->setAlignment(Qt::AlignCenter);

    makeNavigationAreas(this, 410, 98);
    makeAnswerSheet(this, 10, 216, QRect(-1, 1, 37, 17), QRect(35, 0, 13, 20));
    DBCtrlGrid1->OnPaintPanel = [this](DBCtrlGrid* g, int i) { DBCtrlGrid1PaintPanel(g, i); };
    makeCandidatePanel(this, subjectOne().minutes);
    lblJieXi = titleBandNote(this);
    lblZhengQue = reviewCaption(this);
    imgShouCang = reviewStar(this, subjectOne(), [] {
        return DM->ADOQryTopic.fieldByName(QStringLiteral("ID")).asInteger();
    });
    imgZoom = named(new PictureZoom(this), "imgZoom");
    zoomArea(this, "lblFangDa", DBImage1->geometry(), imgZoom, [this] {
        // Not while the exam runs: only in the review.
        return !lblA->isEnabled() && DBImage1->isVisible() ? DBImage1->picture() : QImage();
    });
    imgZoom->raise();

    Timer = new ::Timer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(60000);
    Timer->OnTimer = [this](QObject* s) { TimerTimer(s); };

    FormCreate();
}

TFrm_SimulateExam::~TFrm_SimulateExam()
{
    if (DM) {
        dropTextHandler(DM->ADOQuery1, QStringLiteral("TopicNo"));
    }
    if (Frm_SimulateExam == this) {
        Frm_SimulateExam = nullptr;
    }
}

void TFrm_SimulateExam::FormCreate()
{
    lblAddress->setCaption(loadStr(StringId::Contact));

    lblXueYuanBan = editionBadge(this);

    detachDataSources();
}

void TFrm_SimulateExam::detachDataSources()
{
    DataSource->setDataSet(nullptr);
    DataSource1->setDataSet(nullptr);
    DataSource->OnDataChange = nullptr;
    DataSource1->OnDataChange = nullptr;
}

void TFrm_SimulateExam::attachDataSources()
{
    DataSource->setDataSet(&DM->ADOQryTopic);
    DataSource1->setDataSet(&DM->ADOQuery1);
    DataSource->OnDataChange = [this](QObject* s, Field* f) { DataSourceDataChange(s, f); };
    DataSource1->OnDataChange = [this](QObject* s, Field* f) { DataSource1DataChange(s, f); };
}

void TFrm_SimulateExam::FormShow()
{
    resize(800, 600);
    detachDataSources();
    if (!CreateExamPaper(planOf(subjectOne(), ExamMode))) {
        refuseExam(this, QStringLiteral("生成模拟考试题失败!请重新进入."));
        return;
    }
    attachDataSources();
    m_paperRecorded = false;
    m_hall.start();
    lblJieXi->clearNote();
    lblZhengQue->hide();
    imgShouCang->hide();
    DM->ADOQryTopic.first();
    WrongTopicSet.reset();
    startExamClock(Timer, lblTime, MinutesLeft, subjectOne().minutes);
}

bool TFrm_SimulateExam::CreateExamPaper(const std::vector<TExam>& plan)
{
    // The candidate is told only that no paper could be drawn.
    return behindWaitScreen(
        this, ExamPaper::drawSteps(plan), QStringLiteral("paper not drawn"),
        [&](const std::function<void()>& step) {
            ExamPaper::drawAndOpen(DM->ADOQryTopic, DM->ADOQuery1, subjectOne(), plan, step);
            DM->ADOQuery1.fieldByName(QStringLiteral("TopicNo")).OnGetText =
                [this](Field& f, QString& text, bool display) { TopicNoGetText(f, text, display); };
        });
}

void TFrm_SimulateExam::DataSourceDataChange(QObject*, Field*)
{
    {
        Reattach sheet(DataSource1, [this](QObject* s, Field* f) { DataSource1DataChange(s, f); });
        Query& paper = DM->ADOQryTopic;
        const QString number = paper.fieldByName(QStringLiteral("TopicNo")).asString();
        DM->ADOQuery1.locate(QStringLiteral("TopicNo"), number);
        UpdateTopicView();
        lblContent->setCaption(questionHeading(number, imgvx->isVisible()) +
                               QStringLiteral("\r\n") + QStringLiteral("  ") +
                               dbMemContent->text());
    }
    imgZoom->hide();
    if (!lblA->isEnabled()) {
        showReviewExplanation();
    } else if (ExamMode == StudyLog::Mode::ExamHall) {
        showHallNote();
    }
}

void TFrm_SimulateExam::showReviewExplanation()
{
    const int id = DM->ADOQryTopic.fieldByName(QStringLiteral("ID")).asInteger();
    showReviewNote(
        lblJieXi, subjectOne(), id,
        reviewAnswerLine(
            subjectOne().kindOf(DM->ADOQryTopic.fieldByName(QStringLiteral("Type")).asInteger()),
            DM->ADOQuery1.fieldByName(QStringLiteral("bResult")).asString(),
            DM->ADOQuery1.fieldByName(QStringLiteral("Result")).asString()));
    showReviewStar(imgShouCang, subjectOne(), id);
}

void TFrm_SimulateExam::showHallNote()
{
    const QString given = lblResult->caption();
    if (given.isEmpty()) {
        lblJieXi->clearNote();
        return;
    }
    Query& paper = DM->ADOQryTopic;
    lblJieXi->setNote(
        ExamHallMarks::markLine(
            subjectOne().kindOf(paper.fieldByName(QStringLiteral("Type")).asInteger()), given,
            paper.fieldByName(QStringLiteral("Result")).asString()),
        QString(), QString());
    lblJieXi->fitFont(QStringLiteral("宋体"), {16, 14}, true);
    lblJieXi->raise();
}

void TFrm_SimulateExam::UpdateTopicView()
{
    Query& paper = DM->ADOQryTopic;
    DBImage1->setVisible(!paper.fieldByName(QStringLiteral("Picture")).isNull());
    if (paper.fieldByName(QStringLiteral("Type")).asInteger() != 0) {
        imgvx->show();
        lblB->hide();
        lblD->hide();
        lblA->move(66, lblA->y());
        lblC->move(200, lblC->y());
        lblA->show();
        lblC->show();
    } else {
        imgvx->hide();
        for (Label* l : {lblA, lblB, lblC, lblD}) {
            l->show();
        }
        lblA->move(9, lblA->y());
        lblC->move(172, lblC->y());
    }
    lblResult->setCaption(DM->ADOQuery1.fieldByName(QStringLiteral("Result")).asString());
}

void TFrm_SimulateExam::lblAClick(QObject* sender)
{
    const Reattach paper(DataSource, [this](QObject* s, Field* f) { DataSourceDataChange(s, f); });
    const Reattach sheet(DataSource1,
                         [this](QObject* s, Field* f) { DataSource1DataChange(s, f); });
    const bool trueFalse = DM->ADOQryTopic.fieldByName(QStringLiteral("Type")).asInteger() != 0;
    const bool hall = ExamMode == StudyLog::Mode::ExamHall;
    if (hall && !lblResult->caption().isEmpty()) {
        return; // in the exam hall an answer given is final
    }
    lblResult->setCaption(answerOfArea(sender->objectName().mid(3, 1), trueFalse));
    if (!lblResult->caption().isEmpty()) {
        Query& answers = DM->ADOQuery1;
        try {
            answers.edit();
            answers.fieldByName(QStringLiteral("Result")).setAsString(lblResult->caption());
            answers.post();
        } catch (...) {
            // What was not stored must not show as the answer.
            lblResult->setCaption(answers.active()
                                      ? answers.fieldByName(QStringLiteral("Result")).asString()
                                      : QString());
            throw;
        }
    }
    if (hall) {
        showHallNote();
        Query& paper = DM->ADOQryTopic;
        if (m_hall.answer(
                subjectOne(),
                subjectOne().kindOf(paper.fieldByName(QStringLiteral("Type")).asInteger()),
                lblResult->caption(), paper.fieldByName(QStringLiteral("Result")).asString())) {
            // After the click has returned: the hand-in rebuilds what the click is using.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    MessageBox(m_hall.endText(subjectOne()), QStringLiteral("考场模式"), 64);
                    HandInExam();
                },
                Qt::QueuedConnection);
        }
    }
}

void TFrm_SimulateExam::lblNextClick(QObject*)
{
    DM->ADOQryTopic.next();
}

void TFrm_SimulateExam::lblPriorClick(QObject*)
{
    DM->ADOQryTopic.prior();
}

void TFrm_SimulateExam::lblSelectClick(QObject*)
{
    chooseQuestion(this, subjectOne());
}

void TFrm_SimulateExam::DataSource1DataChange(QObject*, Field*)
{
    Query& paper = DM->ADOQryTopic;
    if (paper.active()) {
        paper.locate(QStringLiteral("TopicNo"),
                     DM->ADOQuery1.fieldByName(QStringLiteral("TopicNo")).asString());
        UpdateTopicView();
    }
}

void TFrm_SimulateExam::TopicNoGetText(Field& sender, QString& text, bool)
{
    const QString answer = sender.dataSet().fieldByName(QStringLiteral("Result")).asString();
    text = (trimBlanks(answer).isEmpty() ? QStringLiteral("○") : QStringLiteral("⊙")) +
           sender.asString();
}

void TFrm_SimulateExam::DBCtrlGrid1PaintPanel(DBCtrlGrid* sender, int)
{
    const int number = DM->ADOQuery1.fieldByName(QStringLiteral("TopicNo")).asInteger();
    paintSheetPanel(sender, number >= 0 && number <= 103 && WrongTopicSet.test(size_t(number)),
                    DBText2, DBText3);
}

void TFrm_SimulateExam::TimerTimer(QObject*)
{
    if (examClockMinute(Timer, lblTime, MinutesLeft)) {
        return;
    }
    m_handIn.timeUp();
    HandInExam();
}

void TFrm_SimulateExam::lblEndExamClick(QObject*)
{
    if (!lblA->isEnabled()) {
        close();
        return;
    }
    if (m_handIn.ask(ExamPaper::unansweredNumbers(DM->ADOQuery2, subjectOne()))) {
        HandInExam();
    }
}

void TFrm_SimulateExam::HandInExam()
{
    Timer->setEnabled(false);
    recordPaper();
    showResult(subjectOne(), {[this] {
                                  FormShow();
                                  lblResult->setCaption(QString());
                              },
                              [this] { enterReview(); }, [this] { close(); }});
}

void TFrm_SimulateExam::recordPaper()
{
    if (m_paperRecorded) {
        return;
    }
    m_paperRecorded = true;
    recordHandIn(subjectOne(), lblNo->caption(), ExamMode);
}

void TFrm_SimulateExam::enterReview()
{
    WrongTopicSet = ExamPaper::wrongTopics(DM->ADOQuery2, subjectOne());

    Query& sheet = DM->ADOQuery1;
    ExamPaper::openReviewSheet(sheet, subjectOne());
    sheet.fieldByName(QStringLiteral("TopicNo")).OnGetText =
        [this](Field& f, QString& text, bool display) { TopicNoGetText(f, text, display); };
    sheet.first();
    for (Label* l : {lblA, lblB, lblC, lblD}) {
        l->setEnabled(false);
    }
    lblZhengQue->show();
    showReviewExplanation();
}

void TFrm_SimulateExam::FormClose(CloseAction& action)
{
    Timer->setEnabled(false);
    DM->ADOQryTopic.close();
    TFrm_Father::FormClose(action);
}
