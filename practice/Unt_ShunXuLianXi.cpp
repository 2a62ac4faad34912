#include "practice/Unt_ShunXuLianXi.h"

#include "data/Clock.h"
#include "data/DMUnit.h"
#include "exampaper/ExamMarking.h"
#include "exampaper/StudyRecord.h"
#include "practice/Unt_JianPan.h"
#include "sharedscreens/ExplainNote.h"
#include "sharedscreens/ScreenParts.h"
#include "sharedscreens/StudyParts.h"
#include "sharedscreens/Unt_Wait.h"
#include "toolkit/AppDir.h"
#include "toolkit/ClickArea.h"
#include "toolkit/MessageBox.h"
#include "toolkit/Resources.h"
#include "toolkit/TextTrim.h"

#include <algorithm>
#include <memory>

std::int32_t AnsweredCount = 0;
std::int32_t RightCount = 0;
bool FirstTry = true;

namespace {

// Only the ASCII letters: the tick and the cross must stay what they are.
QString asciiUpper(QString text)
{
    for (QChar& c : text) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) {
            c = QChar(c.unicode() - 'a' + 'A');
        }
    }
    return text;
}

} // namespace

int firstTryRate(std::int32_t right, std::int32_t answered)
{
    if (answered <= 0) {
        return 0;
    }
    // Exact in integers, so that a true half (1 of 8 is 12.5) always goes to the even
    // neighbour.
    const qint64 scaled = qint64(right) * 100;
    qint64 rate = scaled / answered;
    const qint64 twiceRest = (scaled % answered) * 2;
    if (twiceRest > answered || (twiceRest == answered && rate % 2 != 0)) {
        ++rate;
    }
    return int(rate);
}

TFrm_ShunXuLianXi::TFrm_ShunXuLianXi(QWidget* owner)
    : Form(owner)
{
    setObjectName(QStringLiteral("Frm_ShunXuLianXi"));
    setCaption(QStringLiteral("Dialog"));
    setClientSize(800, 600);
    setColor(palette().color(QPalette::Button));
    setFont(screenFont(QStringLiteral("宋体"), 16));

    Image1 = screenPicture(this, "Image1", QStringLiteral("ShunXuLianXi.rgb32"));

    sbtnReturn = clickArea<FlatButton>(this, "sbtnReturn", {414, 440, 199, 47});
    sbtnXia = clickArea<FlatButton>(this, "sbtnXia", {202, 438, 157, 47});
    sbtnShang = clickArea<FlatButton>(this, "sbtnShang", {26, 437, 157, 47});
    sbtnB = clickArea<FlatButton>(this, "sbtnB", {645, 220, 97, 92});

    imgResult = named(new Picture(this), "imgResult");
    imgResult->setGeometry(488, 498, 96, 88);
    imgResult->setCenter(true);
    imgResult->setStretch(true);
    imgResult->setTransparent(true);

    sbtnLuRu = named(new FlatButton(this), "sbtnLuRu");
    sbtnLuRu->setGeometry(731, 19, 35, 35);
    sbtnLuRu->setGlyph(loadResourcePicture(artPath(QStringLiteral("LuRu.png"))), 2);

    lblTiHao = named(new Label(this), "lblTiHao");
    lblTiHao->setGeometry(619, 21, 106, 35);
    lblTiHao->setAlignment(Qt::AlignCenter);
    lblTiHao->setTextFont(QStringLiteral("隶书"), 35, true, Qt::yellow);
    lblTiHao->setCaption(QStringLiteral("1"));

    imgvx = named(new Picture(this), "imgvx");
    imgvx->setAutoSize(true);
    imgvx->setGeometry(620, 88, 179, 521);
    imgvx->loadFromResource(artPath(QStringLiteral("ShunXuLianXi_vx.rgb32")));
    imgvx->hide();

    sbtnA = clickArea<FlatButton>(this, "sbtnA", {645, 102, 97, 92});
    sbtnC = clickArea<FlatButton>(this, "sbtnC", {644, 341, 97, 92});

    lbllv = named(new Label(this), "lbllv");
    lbllv->setGeometry(308, 534, 71, 35);
    lbllv->setAlignment(Qt::AlignCenter);
    lbllv->setTextFont(QStringLiteral("隶书"), 35, true, Qt::blue);

    sbtnD = clickArea<FlatButton>(this, "sbtnD", {644, 462, 97, 92});

    lblAddress = contactLabel(this, 23, 583);

    imgCuoTi = named(new Picture(this), "imgCuoTi");
    imgCuoTi->setAutoSize(true);
    imgCuoTi->move(0, 0);
    imgCuoTi->loadFromResource(artPath(QStringLiteral("CuoTiTitle.rgb32")));
    imgCuoTi->hide();
    imgSafeTitle = named(new Picture(this), "imgSafeTitle");
    imgSafeTitle->setAutoSize(true);
    imgSafeTitle->move(0, 0);
    imgSafeTitle->hide();

    Panel1 = named(new Panel(this), "Panel1");
    Panel1->setGeometry(29, 91, 578, 337);
    Panel1->setColor(colorFromBgr(kLavender));
    Panel1->setEnabled(false);

    DataSource = named(new ::DataSource(this), "DataSource");

    DBText1 = named(new DBText(Panel1), "DBText1");
    DBText1->setGeometry(0, 0, 578, 23);
    DBText1->setTextFont(QStringLiteral("宋体"), 21, true, QColor(0, 0, 128));
    DBText1->setDataField(QStringLiteral("ID"));
    DBText1->setDataSource(DataSource);

    DBMemo1 = named(new DBMemo(Panel1), "DBMemo1");
    DBMemo1->setGeometry(0, 24, 578, 310);
    DBMemo1->setColor(colorFromBgr(kLavender));
    DBMemo1->setTextFont(QStringLiteral("宋体"), 21, true, Qt::black);
    DBMemo1->setDataField(QStringLiteral("Content"));
    DBMemo1->setDataSource(DataSource);

    DBImage1 = named(new DBImage(Panel1), "DBImage1");
    DBImage1->setGeometry(378, 184, 200, 150);
    DBImage1->setColor(colorFromBgr(kLavender));
    DBImage1->setDataField(QStringLiteral("Picture"));
    DBImage1->setDataSource(DataSource);

    // Last in the panel; it is placed beside the picture, never over it.
    lblJieXi = named(new ExplainNote(Panel1), "lblJieXi");
    lblJieXi->setGeometry(0, 184, 376, 150);

    imgZoom = named(new PictureZoom(this), "imgZoom");
    zoomArea(this, "lblFangDa", QRect(Panel1->pos() + DBImage1->pos(), DBImage1->size()), imgZoom,
             [this] { return DBImage1->isVisible() ? DBImage1->picture() : QImage(); });

    // Over the picture box of the panel, which takes no clicks.
    imgClip = new ClipView(this, colorFromBgr(kLavender));
    imgClip->setGeometry(QRect(Panel1->pos() + DBImage1->pos(), DBImage1->size()));
    const char* const down[] = {"PracticeKeyDownA.rgb32", "PracticeKeyDownB.rgb32",
                                "PracticeKeyDownC.rgb32", "PracticeKeyDownD.rgb32"};
    FlatButton* const keys[] = {sbtnA, sbtnB, sbtnC, sbtnD};
    for (size_t i = 0; i < imgDown.size(); ++i) {
        imgDown[i] = named(new Picture(this), down[i]);
        imgDown[i]->setGeometry(keys[i]->geometry());
        imgDown[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
        imgDown[i]->loadFromResource(artPath(QString::fromLatin1(down[i])));
        imgDown[i]->hide();
    }
    sbtnConfirm = clickArea<FlatButton>(this, "sbtnConfirm", {634, 557, 156, 38});
    sbtnConfirm->setGlyph(loadResourcePicture(artPath(QStringLiteral("PracticeConfirm.rgb32"))), 2);
    sbtnConfirm->OnClick = [this](QObject* s) { sbtnConfirmClick(s); };
    sbtnConfirm->hide();
    lblHint = textLabel(this, "lblHint", QRect(26, 490, 450, 38), QStringLiteral("宋体"), 16,
                        QColor(170, 40, 40));
    lblHint->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblHint->hide();

    lblJinDu = textLabel(this, "lblJinDu", QRect(12, 540, 108, 30), QStringLiteral("宋体"), 18,
                         QColor(38, 58, 128));
    lblJinDu->setAlignment(Qt::AlignCenter);
    imgShouCang = named(new StarToggle(this), "imgShouCang");
    imgShouCang->setGeometry(118, 538, 34, 34);
    imgShouCang->OnToggle = [this](bool on) {
        QString error;
        if (hasQuestion() && !StudyLog::setStarred(DM->ADOCon, *m_format, currentId(), on,
                                                   DM->clock().currentDateTime(), &error)) {
            imgShouCang->setOn(!on);
            reportOnce(QStringLiteral("收藏"), error);
        }
    };
    imgPicked = new PickRing(this);
    imgZoom->raise();

    sbtnReturn->OnClick = [this](QObject* s) { sbtnReturnClick(s); };
    sbtnXia->OnClick = [this](QObject* s) { sbtnXiaClick(s); };
    sbtnShang->OnClick = [this](QObject* s) { sbtnShangClick(s); };
    sbtnLuRu->OnClick = [this](QObject* s) { sbtnLuRuClick(s); };
    for (FlatButton* answer : {sbtnA, sbtnB, sbtnC, sbtnD}) {
        answer->OnClick = [this](QObject* s) { sbtnAClick(s); };
    }

    if (DM) {
        DataSource->setDataSet(&DM->ADOQryTopic);
    }
    DataSource->OnDataChange = [this](QObject* s, Field* f) { DataSourceDataChange(s, f); };

    guarded([this] { FormCreate(); });
}

void TFrm_ShunXuLianXi::FormCreate()
{
    lblAddress->setCaption(loadStr(StringId::Contact));
    AnsweredCount = 0;
    RightCount = 0;
    FirstTry = true;
}

void TFrm_ShunXuLianXi::FormShow()
{
    resize(800, 600);
    std::unique_ptr<TFrm_Wait> wait(new TFrm_Wait());
    Frm_Wait = wait.get();
    wait->pb->setMin(0);
    wait->pb->setMax(10);
    wait->show();
    wait->pb->setPosition(8);
    Application::processMessages();

    Query& topics = DM->ADOQryTopic;
    topics.close();
    topics.SQL.clear();
    const bool four = m_format->subject != subjectOne().subject;
    imgCuoTi->setVisible(WrongBook && !four);
    if (four) {
        imgSafeTitle->loadFromResource(artPath(WrongBook
                                                   ? QStringLiteral("SafeCuoTiTitle.rgb32")
                                                   : QStringLiteral("SafePracticeTitle.rgb32")));
        imgSafeTitle->show();
    }
    if (!TitleArt.isEmpty()) {
        imgCuoTi->hide();
        imgSafeTitle->loadFromResource(artPath(TitleArt));
        imgSafeTitle->show();
    }
    if (!Order.empty()) {
        QStringList ids;
        for (const int id : Order) {
            ids << QString::number(id);
        }
        topics.SQL.add(QStringLiteral("SELECT * FROM ") + m_format->bankTable);
        topics.SQL.add(QStringLiteral(" WHERE ID IN (%1)").arg(ids.join(QLatin1Char(','))));
        topics.SQL.add(QStringLiteral(" ORDER BY ID "));
    } else if (WrongBook) {
        for (const QString& line : StudyRecord::wrongBookPracticeSql(DM->ADOCon, *m_format)) {
            topics.SQL.add(line);
        }
    } else {
        topics.SQL.add(QStringLiteral("SELECT * FROM ") + m_format->bankTable);
        topics.SQL.add(QStringLiteral(" ORDER BY ID "));
    }
    topics.open();
    wait->pb->setPosition(9);
    Application::processMessages();

    topics.fieldByName(QStringLiteral("ID")).OnGetText = [this](Field& f, QString& t, bool d) {
        ADOQryTopicIDGetText(f, t, d);
    };
    topics.first();
    const int start = StartAt > 0 ? StartAt : Order.empty() ? 0 : Order.front();
    if (start > 0) {
        topics.locate(QStringLiteral("ID"), QString::number(start));
    }
    wait->pb->setPosition(10);
    Application::processMessages();

    AnsweredCount = 0;
    RightCount = 0;
    FirstTry = true;
}

void TFrm_ShunXuLianXi::FormClose(CloseAction& action)
{
    imgClip->stop();
    if (DM) {
        DM->ADOQryTopic.close();
    }
    action = CloseAction::Free;
}

bool TFrm_ShunXuLianXi::hasQuestion() const
{
    return DM && DM->ADOQryTopic.active() && !DM->ADOQryTopic.isEmpty();
}

void TFrm_ShunXuLianXi::ADOQryTopicIDGetText(Field& sender, QString& text, bool displayText)
{
    if (!displayText || sender.isNull()) {
        return; // an empty bank has no number to show
    }
    const AnswerKind kind =
        m_format->kindOf(sender.dataSet().fieldByName(QStringLiteral("Type")).asInteger());
    text = kind == AnswerKind::Multiple
               ? multipleAnswerHeading(sender.asString())
               : questionHeading(sender.asString(), kind == AnswerKind::TrueFalse);
}

AnswerKind TFrm_ShunXuLianXi::kindShown() const
{
    return hasQuestion()
               ? m_format->kindOf(DM->ADOQryTopic.fieldByName(QStringLiteral("Type")).asInteger())
               : AnswerKind::Single;
}

void TFrm_ShunXuLianXi::DataSourceDataChange(QObject* sender, Field* field)
{
    Q_UNUSED(sender);
    Q_UNUSED(field);
    imgResult->clear();
    lblJieXi->clearNote();
    imgPicked->clear();
    imgZoom->hide();
    m_fresh = true;
    showProgress();
    const bool shown = hasQuestion();
    Query* topics = shown ? &DM->ADOQryTopic : nullptr;
    showClip();
    DBImage1->setVisible(shown && imgClip->isHidden() &&
                         !topics->fieldByName(QStringLiteral("Picture")).isNull());
    const AnswerKind kind = kindShown();
    const bool choice = kind != AnswerKind::TrueFalse;
    imgvx->setVisible(!choice);
    sbtnD->setVisible(choice);
    sbtnA->show();
    sbtnB->show();
    sbtnC->show();
    m_toggles.clear();
    showToggles();
    // Subject one's hint line shows only what the keypad reports, until the next question.
    const bool hints = m_format->subject != subjectOne().subject;
    lblHint->setVisible(hints);
    if (hints) {
        sbtnConfirm->show();
        sbtnConfirm->setEnabled(kind == AnswerKind::Multiple);
        lblHint->setCaption(kind == AnswerKind::Multiple
                                ? QStringLiteral("多选题：点选两个以上答案，再按“确定”")
                                : QString());
    }
}

void TFrm_ShunXuLianXi::showClip()
{
    imgClip->stop();
    const Field* clip = hasQuestion() && !m_format->clipColumn.isEmpty()
                            ? DM->ADOQryTopic.findField(m_format->clipColumn)
                            : nullptr;
    if (clip && !clip->isNull()) {
        imgClip->play(clip->asBytes());
    }
}

void TFrm_ShunXuLianXi::showToggles()
{
    for (int i = 0; i < int(imgDown.size()); ++i) {
        imgDown[size_t(i)]->setVisible(m_toggles.isOn(QChar(u'A' + i)));
    }
}

void TFrm_ShunXuLianXi::sbtnAClick(QObject* sender)
{
    if (!hasQuestion() || !sender) {
        return; // no bank: nothing to mark, nothing counted
    }
    const QString letter = sender->objectName().mid(4, 1);
    const AnswerKind kind = kindShown();
    if (kind == AnswerKind::Multiple) {
        // Marked when confirmed.
        m_toggles.toggle(letter[0]);
        showToggles();
        return;
    }
    imgPicked->ring(qobject_cast<QWidget*>(sender)->geometry());
    markAnswer(answerOfArea(letter, kind == AnswerKind::TrueFalse));
}

void TFrm_ShunXuLianXi::sbtnConfirmClick(QObject*)
{
    if (!hasQuestion() || kindShown() != AnswerKind::Multiple) {
        return;
    }
    const QString letters = ExamMarking::normalised(AnswerKind::Multiple, m_toggles.letters());
    if (letters.isEmpty()) {
        lblHint->setCaption(QStringLiteral("多选题至少要选两个答案，请再选。"));
        return;
    }
    markAnswer(letters);
}

void TFrm_ShunXuLianXi::markAnswer(const QString& chosen)
{
    Query& topics = DM->ADOQryTopic;
    const QString expected =
        asciiUpper(trimBlanks(topics.fieldByName(QStringLiteral("Result")).asString()));
    const bool right = asciiUpper(chosen) == expected;
    if (right) {
        imgResult->loadFromFile(appFile(QStringLiteral("Yes.bmp")));
        if (FirstTry) {
            ++RightCount;
        }
    } else {
        imgResult->loadFromFile(appFile(QStringLiteral("No.bmp")));
    }
    showExplanation(expected, right);
    recordAnswer(chosen, right);
    if (FirstTry) {
        ++AnsweredCount;
        FirstTry = false;
    }
    lbllv->setCaption(QString::number(firstTryRate(RightCount, AnsweredCount)));
}

void TFrm_ShunXuLianXi::recordAnswer(const QString& chosen, bool right)
{
    StudyLog::Answer answer;
    answer.id = currentId();
    answer.mode = WrongBook && StudyMode == StudyLog::Mode::Sequential ? StudyLog::Mode::WrongBook
                                                                       : StudyMode;
    answer.given = chosen;
    answer.right = right;
    // Wrong-question practice has always taken a question out at the first try counted.
    answer.firstTry = answer.mode == StudyLog::Mode::WrongBook ? FirstTry : m_fresh;
    m_fresh = false;
    QString error;
    if (!StudyLog::recordAnswer(DM->ADOCon, *m_format, answer, DM->clock().currentDateTime(),
                                &error)) {
        reportOnce(WrongBook ? QStringLiteral("错题本无法更新：")
                             : QStringLiteral("答题记录无法写入："),
                   error);
    }
}

void TFrm_ShunXuLianXi::reportOnce(const QString& what, const QString& error)
{
    // Practice goes on without its record; one message says so.
    if (!m_bookFailureShown) {
        m_bookFailureShown = true;
        MessageBox(what + error, WrongBook ? QStringLiteral("错题练习") : QStringLiteral("练习"),
                   16);
    }
}

int TFrm_ShunXuLianXi::currentId() const
{
    return hasQuestion() ? DM->ADOQryTopic.fieldByName(QStringLiteral("ID")).asInteger() : 0;
}

void TFrm_ShunXuLianXi::showProgress()
{
    bool starred = false;
    QString error;
    const int id = currentId();
    imgShouCang->setVisible(id > 0);
    if (id > 0 && StudyLog::isStarred(DM->ADOCon, *m_format, id, &starred, &error)) {
        imgShouCang->setOn(starred);
    }
    if (!hasQuestion()) {
        lblJinDu->setCaption(QString());
        return;
    }
    if (Order.empty()) {
        lblJinDu->setCaption(QStringLiteral("%1 / %2")
                                 .arg(DM->ADOQryTopic.recNo())
                                 .arg(DM->ADOQryTopic.recordCount()));
        return;
    }
    const auto at = std::find(Order.begin(), Order.end(), id);
    m_position = at == Order.end() ? -1 : int(at - Order.begin());
    lblJinDu->setCaption(m_position < 0
                             ? QStringLiteral("— / %1").arg(Order.size())
                             : QStringLiteral("%1 / %2").arg(m_position + 1).arg(Order.size()));
}

void TFrm_ShunXuLianXi::moveInOrder(int step)
{
    Query& topics = DM->ADOQryTopic;
    if (Order.empty()) {
        step < 0 ? topics.prior() : topics.next();
    } else {
        const int to = m_position + step;
        if (to >= int(Order.size()) && StudyMode == StudyLog::Mode::Random) {
            // Every question seen: a new round in a new order.
            QString error;
            std::vector<int> order;
            if (StudyLog::newRandomRound(DM->ADOCon, *m_format, &order, &error)) {
                Order = order;
                topics.locate(QStringLiteral("ID"), QString::number(Order.front()));
                showProgress();
            } else {
                reportOnce(QStringLiteral("随机顺序无法保存："), error);
            }
        } else if (to >= 0 && to < int(Order.size())) {
            topics.locate(QStringLiteral("ID"), QString::number(Order[size_t(to)]));
        }
    }
    keepPlace();
}

void TFrm_ShunXuLianXi::keepPlace()
{
    QString error;
    if (!Place.isEmpty() && hasQuestion() &&
        !StudyLog::savePlace(DM->ADOCon, *m_format, Place, currentId(), &error)) {
        reportOnce(QStringLiteral("练习的位置无法保存："), error);
    }
}

void TFrm_ShunXuLianXi::showExplanation(const QString& expected, bool right)
{
    Query& topics = DM->ADOQryTopic;
    const Field* explain = topics.findField(QStringLiteral("Explain"));
    const Field* source = topics.findField(QStringLiteral("Source"));
    lblJieXi->setNote(right ? QString() : QStringLiteral("正确答案：") + expected,
                      explain ? explain->asString() : QString(),
                      source ? source->asString() : QString());
    placeExplanation();
}

void TFrm_ShunXuLianXi::placeExplanation()
{
    // Below the question's lines and left of its picture, down to the panel's foot.
    const int width =
        DBImage1->isVisible() || !imgClip->isHidden() ? DBImage1->x() - 4 : Panel1->width();
    const int bottom = Panel1->height() - 2;
    const int textBottom = DBMemo1->y() + DBMemo1->textHeight() + 4;
    lblJieXi->resize(width, qMax(0, bottom - textBottom));
    lblJieXi->fitFont(QStringLiteral("宋体"), {16, 14}, true);
    const int height = lblJieXi->textHeight(width);
    const int top = qMax(DBMemo1->y(), qMin(textBottom, bottom - height));
    lblJieXi->setGeometry(0, top, width, bottom - top);
    lblJieXi->raise();
}

void TFrm_ShunXuLianXi::sbtnShangClick(QObject* sender)
{
    Q_UNUSED(sender);
    if (hasQuestion()) {
        moveInOrder(-1);
    }
}

void TFrm_ShunXuLianXi::sbtnXiaClick(QObject* sender)
{
    Q_UNUSED(sender);
    FirstTry = true;
    if (hasQuestion()) {
        moveInOrder(1);
    }
}

void TFrm_ShunXuLianXi::sbtnLuRuClick(QObject* sender)
{
    Q_UNUSED(sender);
    auto* keypad = new TFrm_JianPan();
    const QPoint place = geometry().topLeft();
    keypad->move(place.x() + sbtnLuRu->x() - 245, place.y() + sbtnLuRu->y() + 35);
    keypad->TargetControl = lblTiHao;
    lblTiHao->setCaption(QString());
    keypad->showModal();

    const QString number = lblTiHao->caption();
    if (number.isEmpty() || !hasQuestion()) {
        return;
    }
    // A number that no question has (or one too long for any) leaves the question.
    if (!DM->ADOQryTopic.locate(QStringLiteral("ID"), number)) {
        reportNoSuchNumber(number);
    }
    keepPlace();
}

void TFrm_ShunXuLianXi::reportNoSuchNumber(const QString& number)
{
    const QString asked =
        number.size() <= 6 ? QStringLiteral("第%1题").arg(number) : QStringLiteral("这个题号");
    lblHint->setCaption(QStringLiteral("没有%1：本练习共%2题，仍是第%3题")
                            .arg(asked)
                            .arg(DM->ADOQryTopic.recordCount())
                            .arg(currentId()));
    lblHint->show();
}

void TFrm_ShunXuLianXi::sbtnReturnClick(QObject* sender)
{
    Q_UNUSED(sender);
    close();
}
