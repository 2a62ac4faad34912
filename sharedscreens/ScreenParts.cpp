#include "sharedscreens/ScreenParts.h"

#include "data/Connection.h"
#include "data/Query.h"
#include "data/Swallowed.h"
#include "sharedscreens/MsgDialogs.h"
#include "sharedscreens/Unt_Wait.h"
#include "toolkit/InputBlocker.h"
#include "toolkit/MediaPlayer.h"
#include "toolkit/Resources.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

Picture* screenPicture(QWidget* parent, const char* name, const QString& artName)
{
    Picture* picture = named(new Picture(parent), name);
    picture->setGeometry(0, 0, 800, 600);
    picture->loadFromResource(artPath(artName));
    return picture;
}

Label* textLabel(QWidget* parent, const char* name, const QRect& place, const QString& face,
                 int pixelSize, const QColor& color, const QString& caption)
{
    Label* l = named(new Label(parent), name);
    l->setGeometry(place);
    l->setTextFont(face, pixelSize, true, color);
    l->setCaption(caption);
    return l;
}

Label* contactLabel(QWidget* parent, int x, int y)
{
    Label* l = named(new Label(parent), "lblAddress");
    l->move(x, y);
    l->resize(244, 14);
    l->setAutoSize(true);
    l->setTextFont(QStringLiteral("宋体"), 14, true, Qt::blue);
    return l;
}

QString questionHeading(const QString& number, bool trueFalse)
{
    return QStringLiteral("第") + number + QStringLiteral("题 ") +
           (trueFalse ? QStringLiteral("(请判断该题的正确性)")
                      : QStringLiteral("(请从下列ABCD中选择出该题的正确答案)"));
}

QString answerOfArea(const QString& letter, bool trueFalse)
{
    if (!trueFalse) {
        return letter;
    }
    return letter == QLatin1String("A") ? QStringLiteral("√") : QStringLiteral("×");
}

QString multipleAnswerHeading(const QString& number)
{
    return QStringLiteral("第") + number + QStringLiteral("题 ") +
           QStringLiteral("(多选题：选出全部正确答案后按“确定”)");
}

bool behindWaitScreen(QWidget* screen, int steps, const QString& what,
                      const std::function<void(const std::function<void()>& step)>& work)
{
    bool result = true;
    InputBlocker holdInput(screen);
    Frm_Wait = new TFrm_Wait(nullptr);
    try {
        Frm_Wait->pb->setMin(0);
        Frm_Wait->pb->setMax(steps);
        Frm_Wait->showAtOnce();
        work([] {
            if (!Frm_Wait) {
                return;
            }
            if (Connection::anyInTransaction()) {
                // No message may run while the paper is written: a click, the clock or
                // another screen's statement would come between its steps.
                Frm_Wait->paintNow();
            } else {
                Frm_Wait->repaint();
                Application::processMessages();
            }
            if (Frm_Wait) {
                Frm_Wait->pb->stepIt();
            }
        });
    } catch (...) {
        reportSwallowed(what, std::current_exception());
        result = false;
    }
    delete Frm_Wait;
    Frm_Wait = nullptr;
    return result;
}

QString clockCaption(int minutesLeft)
{
    return QStringLiteral("剩余时间:") + QString::number(minutesLeft) + QStringLiteral("分钟");
}

bool examClockMinute(::Timer* timer, Label* shown, int& minutesLeft)
{
    timer->setEnabled(false);
    shown->setCaption(clockCaption(minutesLeft));
    if (minutesLeft > 0) {
        --minutesLeft;
        timer->setEnabled(true);
        return true;
    }
    return false;
}

void startExamClock(::Timer* timer, Label* shown, int& minutesLeft, int minutes)
{
    minutesLeft = minutes;
    timer->setInterval(60000);
    timer->setEnabled(true);
    examClockMinute(timer, shown, minutesLeft);
}

void refuseExam(QWidget* screen, const QString& message)
{
    ShowMsgDialog(message, mtWarning, msgButton(mbOK), 0);
    QMetaObject::invokeMethod(screen, &QWidget::close, Qt::QueuedConnection);
}

void dropTextHandler(Query& query, const QString& field)
{
    if (query.active()) {
        if (Field* f = query.findField(field)) {
            f->OnGetText = nullptr;
        }
    }
}

bool HandInQuestion::ask(const QString& unansweredNumbers)
{
    const QString message = unansweredNumbers.isEmpty()
                                ? QStringLiteral("请问你是否要结束考试？")
                                : QStringLiteral("您还有") + unansweredNumbers +
                                      QStringLiteral("未做。") + QStringLiteral("\r\n") +
                                      QStringLiteral("请问你是否要结束考试？");
    m_open = true;
    m_overruled = false;
    const int answer = ShowMsgDialog(message, mtWarning, msgButton(mbYes) | msgButton(mbNo), 0);
    m_open = false;
    return answer == mrYes && !m_overruled;
}

void HandInQuestion::timeUp()
{
    if (!m_open) {
        return;
    }
    m_overruled = true;
    if (auto* question = qobject_cast<TMessageForm*>(QApplication::activeModalWidget())) {
        question->done(mrCancel);
    }
}

namespace {

int letterBit(QChar letter)
{
    const char16_t u = letter.toUpper().unicode();
    return u >= u'A' && u <= u'D' ? int(u - u'A') : -1;
}

} // namespace

void LetterToggles::toggle(QChar letter)
{
    const int bit = letterBit(letter);
    if (bit >= 0) {
        m_on ^= 1u << bit;
    }
}

bool LetterToggles::isOn(QChar letter) const
{
    const int bit = letterBit(letter);
    return bit >= 0 && (m_on & (1u << bit)) != 0;
}

void LetterToggles::set(const QString& letters)
{
    m_on = 0;
    for (const QChar c : letters) {
        if (!isOn(c)) {
            toggle(c);
        }
    }
}

QString LetterToggles::letters() const
{
    QString text;
    for (int bit = 0; bit < 4; ++bit) {
        if (m_on & (1u << bit)) {
            text += QChar(u'A' + bit);
        }
    }
    return text;
}

ClipView::ClipView(QWidget* parent, const QColor& background)
    : QWidget(parent)
    , m_player(new MediaPlayer(this))
    , m_background(background)
{
    setObjectName(QStringLiteral("ClipView"));
    setCursor(Qt::PointingHandCursor);
    m_player->setDisplay(this);
    hide();
}

bool ClipView::play(const QByteArray& clip)
{
    stop();
    if (clip.isEmpty()) {
        return false;
    }
    try {
        m_player->open(clip);
    } catch (...) {
        // A damaged clip is the question's picture alone; standard error keeps the cause.
        reportSwallowed(QStringLiteral("clip not shown"), std::current_exception());
        return false;
    }
    const QImage first = m_player->currentFrame();
    const QSize frame = first.isNull() ? size() : first.size().scaled(size(), Qt::KeepAspectRatio);
    m_player->setDisplayRect(
        QRect(QPoint((width() - frame.width()) / 2, (height() - frame.height()) / 2), frame));
    show();
    raise();
    m_player->play();
    return true;
}

void ClipView::stop()
{
    m_player->close();
    hide();
}

void ClipView::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), m_background);
}

void ClipView::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void ClipView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        m_player->stop();
        m_player->rewind();
        m_player->play();
    }
    event->accept();
}

Label* editionBadge(QWidget* screen)
{
    Label* badge = named(new Label(screen), "lblXueYuanBan");
    badge->setGeometry(697, 436, 48, 141);
    badge->setWordWrap(true);
    badge->setTextFont(QStringLiteral("华文行楷"), 48, true, Qt::red);
    badge->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    badge->setCaption(QStringLiteral("学员版"));
    badge->setLineHeight(47);
    return badge;
}

void markPanelWrong(DBCtrlGrid* sheet)
{
    const QSize panel = sheet->panelSize();
    sheet->canvas()->fillRect(QRect(QPoint(2, 2), QPoint(panel.width() - 3, panel.height() - 3)),
                              Qt::red);
}

void paintSheetPanel(DBCtrlGrid* sheet, bool wrong, DBText* number, DBText* answer)
{
    if (wrong) {
        markPanelWrong(sheet);
    }
    number->setColor(wrong ? QColor(Qt::white) : kSheetNumberColor);
    answer->setColor(wrong ? QColor(255, 255, 200) : kSheetAnswerColor);
}

void fitWrappedText(Label* label, const std::vector<int>& sizes)
{
    QFont font = label->font();
    for (const int size : sizes) {
        font.setPixelSize(size);
        label->setFont(font);
        if (label->heightForWidth(label->width()) <= label->height()) {
            return;
        }
    }
}
