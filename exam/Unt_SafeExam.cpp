#include "exam/Unt_SafeExam.h"

#include "data/DMUnit.h"
#include "exam/Unt_MoLiKaoShiPingFen.h"
#include "exampaper/ExamMarking.h"
#include "sharedscreens/ExplainNote.h"
#include "sharedscreens/StudyParts.h"
#include "toolkit/ClickArea.h"
#include "toolkit/MessageBox.h"
#include "toolkit/Resources.h"
#include "toolkit/TextTrim.h"

#include <QScopedValueRollback>
#include <utility>

namespace {

const ExamFormat& four()
{
    return subjectFour();
}

// The letter keys lie at this pitch from the left; for a statement the tick takes A's
// area at the first place, the cross C's at the second.
constexpr int kKeyLeft = 9;
constexpr int kKeyPitch = 74;
constexpr int kTickX = 33;
constexpr int kCrossX = 163;

const char* const kDownPictures[] = {"SafeKeyDownA.rgb32", "SafeKeyDownB.rgb32",
                                     "SafeKeyDownC.rgb32", "SafeKeyDownD.rgb32"};

QString multipleHint()
{
    return QStringLiteral("点选两个以上答案，再按确定");
}

} // namespace

// ---- SafeAnswerKeys ----------------------------------------------------------------------

SafeAnswerKeys::SafeAnswerKeys(QWidget* screen)
    : QObject(screen)
{
    for (int i = 0; i < 4; ++i) {
        imgDown[size_t(i)] = named(new Picture(screen), "imgDown");
        imgDown[size_t(i)]->setObjectName(QStringLiteral("imgDown") + QChar(u'A' + i));
        imgDown[size_t(i)]->setGeometry(kKeyLeft + i * kKeyPitch, 238, 74, 74);
        imgDown[size_t(i)]->loadFromResource(artPath(QString::fromLatin1(kDownPictures[i])));
        imgDown[size_t(i)]->hide();
    }
    imgvx = named(new Picture(screen), "imgvx");
    imgvx->setGeometry(kKeyLeft, 234, 4 * kKeyPitch, 79);
    imgvx->loadFromResource(artPath(QStringLiteral("SafeTickCross.rgb32")));
    imgvx->hide();
    const char* const names[] = {"lblA", "lblB", "lblC", "lblD"};
    for (int i = 0; i < 4; ++i) {
        lblKey[size_t(i)] =
            clickArea<Label>(screen, names[i], {kKeyLeft + i * kKeyPitch, 238, 74, 74}, i);
        lblKey[size_t(i)]->OnClick = [this](QObject* s) {
            keyClick(dynamic_cast<Label*>(s)->tag());
        };
    }

    sbtnConfirm = clickArea<FlatButton>(screen, "sbtnConfirm", {386, 240, 70, 70});
    sbtnConfirm->setGlyph(loadResourcePicture(artPath(QStringLiteral("SafeConfirm.rgb32"))), 2);
    sbtnConfirm->OnClick = [this](QObject*) { confirmClick(); };

    lblResult = textLabel(screen, "lblResult", QRect(306, 243, 74, 65), QStringLiteral("隶书"), 60,
                          QColor(0, 128, 0));
    lblResult->setAlignment(Qt::AlignCenter);
    lblHint = textLabel(screen, "lblHint", QRect(102, 334, 224, 24), QStringLiteral("宋体"), 14,
                        QColor(170, 40, 40));
    lblHint->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void SafeAnswerKeys::showQuestion(AnswerKind kind, const QString& stored, bool locked)
{
    m_kind = kind;
    const bool statement = kind == AnswerKind::TrueFalse;
    imgvx->setVisible(statement);
    for (int i = 0; i < 4; ++i) {
        Label* key = lblKey[size_t(i)];
        key->setVisible(!statement || i % 2 == 0);
        key->move(statement ? (i == 0 ? kTickX : kCrossX) : kKeyLeft + i * kKeyPitch, key->y());
        key->setEnabled(!locked);
    }
    // A stored answer that is no multiple answer toggles nothing: it is shown as it is.
    m_toggles.set(kind == AnswerKind::Multiple ? ExamMarking::normalised(kind, stored) : QString());
    showToggles();
    sbtnConfirm->setEnabled(kind == AnswerKind::Multiple && !locked);
    lblHint->setCaption(kind == AnswerKind::Multiple && !locked ? multipleHint() : QString());
    // One letter fills the box; the letters of a multiple answer share it.
    const int sizes[] = {60, 60, 34, 24, 19};
    lblResult->setTextFont(QStringLiteral("隶书"), sizes[qBound(0, int(stored.size()), 4)], true,
                           QColor(0, 128, 0));
    lblResult->setCaption(stored);
}

void SafeAnswerKeys::showToggles()
{
    for (int i = 0; i < 4; ++i) {
        imgDown[size_t(i)]->setVisible(m_kind == AnswerKind::Multiple &&
                                       m_toggles.isOn(QChar(u'A' + i)));
    }
}

void SafeAnswerKeys::keyClick(int index)
{
    const QString letter(QChar(u'A' + index));
    switch (m_kind) {
    case AnswerKind::Single:
        OnAnswer(letter);
        break;
    case AnswerKind::TrueFalse:
        OnAnswer(answerOfArea(letter, true));
        break;
    case AnswerKind::Multiple:
        m_toggles.toggle(letter[0]);
        showToggles();
        lblHint->setCaption(multipleHint());
        break;
    }
}

void SafeAnswerKeys::confirmClick()
{
    const QString letters = ExamMarking::normalised(AnswerKind::Multiple, m_toggles.letters());
    if (letters.isEmpty()) {
        lblHint->setCaption(QStringLiteral("至少要选两个答案，答案未改"));
        return;
    }
    OnAnswer(letters);
}

// ---- TFrm_SafeExam -----------------------------------------------------------------------

TFrm_SafeExam::TFrm_SafeExam(QWidget* owner)
    : TFrm_Father(owner)
{
    setObjectName(QStringLiteral("Frm_SafeExam"));
    imgPicture->loadFromResource(artPath(QStringLiteral("SafeExam.rgb32")));

    DataSource = named(new ::DataSource(this), "DataSource");
    DataSource1 = named(new ::DataSource(this), "DataSource1");

    lblContent = textLabel(this, "lblContent", QRect(9, 61, 550, 179), QStringLiteral("宋体"), 21,
                           QColor(0, 128, 128));
    lblContent->setWordWrap(true);
    lblContent->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblContent->setContentsMargins(0, 0, 9, 0);

    const QRect picture(558, 60, 230, 178);
    DBImage1 = named(new DBImage(this), "DBImage1");
    DBImage1->setGeometry(picture);
    DBImage1->setColor(colorFromBgr(16759765));
    DBImage1->setEnabled(false);
    DBImage1->setDataSource(DataSource);
    DBImage1->setDataField(QStringLiteral("Picture"));
    imgClip = new ClipView(this, colorFromBgr(16759765));
    imgClip->setGeometry(picture);

    Keys = new SafeAnswerKeys(this);
    Keys->OnAnswer = [this](const QString& answer) { storeAnswer(answer); };

    makeNavigationAreas(this, 462, 82);
    makeAnswerSheet(this, 5, 200, QRect(4, 1, 44, 18), QRect(48, 0, 44, 20));
    DBCtrlGrid1->OnPaintPanel = [this](DBCtrlGrid* g, int) {
        const int number = DM->ADOQuery1.fieldByName(QStringLiteral("TopicNo")).asInteger();
        paintSheetPanel(g, number >= 0 && number <= 103 && WrongTopics.test(size_t(number)),
                        DBText2, DBText3);
    };
    makeCandidatePanel(this, four().minutes);
    lblNo->setCaption(QString());
    lblAddress->setCaption(loadStr(StringId::Contact));
    lblXueYuanBan = editionBadge(this);
    lblJieXi = titleBandNote(this);
    imgShouCang = reviewStar(
        this, four(), [] { return DM->ADOQryTopic.fieldByName(QStringLiteral("ID")).asInteger(); });
    imgZoom = named(new PictureZoom(this), "imgZoom");
    zoomArea(this, "lblFangDa", picture, imgZoom, [this] {
        // Not while the exam runs: only in the review.
        return m_reviewing && DBImage1->isVisible() ? DBImage1->picture() : QImage();
    });
    imgClip->raise();
    imgZoom->raise();

    Timer = named(new ::Timer(this), "Timer");
    Timer->setInterval(60000);
    Timer->OnTimer = [this](QObject* s) { TimerTimer(s); };
}

TFrm_SafeExam::~TFrm_SafeExam()
{
    if (DM) {
        dropTextHandler(DM->ADOQuery1, QStringLiteral("TopicNo"));
    }
}

void TFrm_SafeExam::attachDataSources(bool attach)
{
    DataSource->setDataSet(attach ? &DM->ADOQryTopic : nullptr);
    DataSource1->setDataSet(attach ? &DM->ADOQuery1 : nullptr);
    DataSource->OnDataChange = nullptr;
    DataSource1->OnDataChange = nullptr;
    if (attach) {
        DataSource->OnDataChange = [this](QObject*, Field*) { paperMoved(); };
        DataSource1->OnDataChange = [this](QObject*, Field*) { sheetMoved(); };
    }
}

void TFrm_SafeExam::FormShow()
{
    resize(800, 600);
    attachDataSources(false);
    imgClip->stop();
    QString why;
    if (!ExamPaper::checkBank(DM->ADOCon, four(), &why)) {
        // Nothing was written: the bank of a learner whose refresh failed keeps all it has.
        MessageBox(why + QStringLiteral("\r\n请安装新版本的软件后再试；科目一照常可用。"),
                   QStringLiteral("科目四模拟考试"), MB_OK | MB_ICONINFORMATION);
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    if (!CreateExamPaper()) {
        refuseExam(this, QStringLiteral("生成模拟考试题失败!请重新进入."));
        return;
    }
    m_recorded = false;
    m_reviewing = false;
    m_hall.start();
    imgShouCang->hide();
    m_answerField = QStringLiteral("Result");
    DBText3->setDataField(m_answerField);
    WrongTopics.reset();
    lblJieXi->clearNote();
    attachDataSources(true);
    DM->ADOQryTopic.first();
    startExamClock(Timer, lblTime, MinutesLeft, four().minutes);
}

bool TFrm_SafeExam::CreateExamPaper()
{
    const std::vector<TExam> plan = planOf(four(), ExamMode);
    // The candidate is told only that no paper could be drawn.
    return behindWaitScreen(
        this, ExamPaper::drawSteps(plan), QStringLiteral("subject four paper not drawn"),
        [&](const std::function<void()>& step) {
            ExamPaper::drawAndOpen(DM->ADOQryTopic, DM->ADOQuery1, four(), plan, step);
            watchSheetNumbers();
        });
}

void TFrm_SafeExam::paperMoved()
{
    if (m_moving) {
        return;
    }
    const QScopedValueRollback<bool> moving(m_moving, true);
    DM->ADOQuery1.locate(QStringLiteral("TopicNo"),
                         DM->ADOQryTopic.fieldByName(QStringLiteral("TopicNo")).asString());
    showQuestion();
}

void TFrm_SafeExam::sheetMoved()
{
    if (m_moving) {
        return;
    }
    const QScopedValueRollback<bool> moving(m_moving, true);
    if (DM->ADOQryTopic.active()) {
        DM->ADOQryTopic.locate(QStringLiteral("TopicNo"),
                               DM->ADOQuery1.fieldByName(QStringLiteral("TopicNo")).asString());
        showQuestion();
    }
}

QString TFrm_SafeExam::givenAnswer() const
{
    return DM->ADOQuery1.active() ? DM->ADOQuery1.fieldByName(m_answerField).asString() : QString();
}

void TFrm_SafeExam::showQuestion()
{
    Query& paper = DM->ADOQryTopic;
    if (!paper.active() || paper.isEmpty()) {
        return;
    }
    const AnswerKind kind = four().kindOf(paper.fieldByName(QStringLiteral("Type")).asInteger());
    const QString number = paper.fieldByName(QStringLiteral("TopicNo")).asString();
    const QString heading = kind == AnswerKind::Multiple
                                ? multipleAnswerHeading(number)
                                : questionHeading(number, kind == AnswerKind::TrueFalse);
    lblContent->setCaption(heading + QStringLiteral("\r\n  ") +
                           paper.fieldByName(QStringLiteral("Content")).asString());
    // A case with its four options may be longer than the box holds at the screens' size:
    // it is set smaller rather than cut off.
    fitWrappedText(lblContent, {21, 19, 17, 15});
    const QString given = givenAnswer();
    const bool hall = ExamMode == StudyLog::Mode::ExamHall && !m_reviewing;
    // In the exam hall an answer given is final.
    Keys->showQuestion(kind, given, m_reviewing || (hall && !trimBlanks(given).isEmpty()));
    imgZoom->hide();

    const int id = paper.fieldByName(QStringLiteral("ID")).asInteger();
    QByteArray clip;
    QString error;
    // A clip that cannot be read leaves the picture, as a damaged one does.
    const bool playing =
        ExamPaper::clipOf(DM->ADOCon, four(), id, &clip, &error) && imgClip->play(clip);
    DBImage1->setVisible(!playing && !paper.fieldByName(QStringLiteral("Picture")).isNull());

    if (m_reviewing) {
        showReviewNote(
            lblJieXi, four(), id,
            reviewAnswerLine(kind, given, paper.fieldByName(QStringLiteral("Result")).asString()));
        showReviewStar(imgShouCang, four(), id);
    } else if (hall && !trimBlanks(given).isEmpty()) {
        lblJieXi->setNote(ExamHallMarks::markLine(
                              kind, given, paper.fieldByName(QStringLiteral("Result")).asString()),
                          QString(), QString());
        lblJieXi->fitFont(QStringLiteral("宋体"), {16, 14}, true);
        lblJieXi->raise();
    } else if (hall) {
        lblJieXi->clearNote();
    }
}

void TFrm_SafeExam::storeAnswer(const QString& answer)
{
    if (m_reviewing || !DM->ADOQuery1.active() || DM->ADOQuery1.isEmpty()) {
        return;
    }
    const QScopedValueRollback<bool> moving(m_moving, true);
    Query& sheet = DM->ADOQuery1;
    try {
        sheet.edit();
        sheet.fieldByName(QStringLiteral("Result")).setAsString(answer);
        sheet.post();
    } catch (...) {
        // What was not stored must not show as the answer.
        if (sheet.active()) {
            sheet.cancel();
        }
        showQuestion();
        throw;
    }
    showQuestion();
    Query& paper = DM->ADOQryTopic;
    if (ExamMode == StudyLog::Mode::ExamHall &&
        m_hall.answer(four(), four().kindOf(paper.fieldByName(QStringLiteral("Type")).asInteger()),
                      answer, paper.fieldByName(QStringLiteral("Result")).asString())) {
        // After the click has returned: the hand-in rebuilds what the click is using.
        QMetaObject::invokeMethod(
            this,
            [this] {
                MessageBox(m_hall.endText(four()), QStringLiteral("考场模式"), 64);
                HandInExam();
            },
            Qt::QueuedConnection);
    }
}

void TFrm_SafeExam::lblNextClick(QObject*)
{
    DM->ADOQryTopic.next();
}

void TFrm_SafeExam::lblPriorClick(QObject*)
{
    DM->ADOQryTopic.prior();
}

void TFrm_SafeExam::lblSelectClick(QObject*)
{
    chooseQuestion(this, four());
}

void TFrm_SafeExam::TimerTimer(QObject*)
{
    if (examClockMinute(Timer, lblTime, MinutesLeft)) {
        return;
    }
    m_handIn.timeUp();
    HandInExam();
}

void TFrm_SafeExam::lblEndExamClick(QObject*)
{
    if (m_reviewing) {
        close();
    } else if (m_handIn.ask(ExamPaper::unansweredNumbers(DM->ADOQuery2, four()))) {
        HandInExam();
    }
}

void TFrm_SafeExam::HandInExam()
{
    Timer->setEnabled(false);
    imgClip->stop();
    if (!std::exchange(m_recorded, true)) {
        recordHandIn(four(), lblNo->caption(), ExamMode);
    }
    showResult(four(), {[this] { FormShow(); }, [this] { enterReview(); }, [this] { close(); }});
}

void TFrm_SafeExam::enterReview()
{
    WrongTopics = ExamPaper::wrongTopics(DM->ADOQuery2, four());
    m_reviewing = true;
    m_answerField = QStringLiteral("bResult");
    DBText3->setDataField(m_answerField);
    {
        const QScopedValueRollback<bool> moving(m_moving, true);
        ExamPaper::openReviewSheet(DM->ADOQuery1, four());
        watchSheetNumbers();
        DM->ADOQryTopic.first();
        DM->ADOQuery1.first();
    }
    showQuestion();
}

void TFrm_SafeExam::watchSheetNumbers()
{
    // A number shows whether the candidate answered it.
    DM->ADOQuery1.fieldByName(QStringLiteral("TopicNo")).OnGetText = [this](Field& f, QString& text,
                                                                            bool) {
        const QString given = f.dataSet().fieldByName(m_answerField).asString();
        text = (trimBlanks(given).isEmpty() ? QStringLiteral("○") : QStringLiteral("⊙")) +
               f.asString();
    };
}

void TFrm_SafeExam::FormClose(CloseAction& action)
{
    Timer->setEnabled(false);
    imgClip->stop();
    DM->ADOQryTopic.close();
    TFrm_Father::FormClose(action);
}
