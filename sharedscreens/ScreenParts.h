#pragma once

#include "toolkit/ClickArea.h"
#include "toolkit/Controls.h"
#include "toolkit/DBCtrlGrid.h"

class MediaPlayer;
class Query;

#include <QRect>
#include <QString>
#include <algorithm>
#include <functional>
#include <vector>

// The background colour of the question panels and of the wait screen.
inline constexpr unsigned kLavender = 15783899;

// The picture that fills a full-screen form with its artwork.
Picture* screenPicture(QWidget* parent, const char* name, const QString& artName);

// A fixed label in a bold face of the old screens.
Label* textLabel(QWidget* parent, const char* name, const QRect& place, const QString& face,
                 int pixelSize, const QColor& color, const QString& caption = QString());

// The label lblAddress at the foot of a screen; its creation handler gives it the
// contact line.
Label* contactLabel(QWidget* parent, int x, int y);

// "第" number "题 " and the hint that says how a question of its kind is answered.
QString questionHeading(const QString& number, bool trueFalse);

// The answer that a click on an answer area gives: its letter, or for a true/false
// question the tick for A and the cross for any other.
QString answerOfArea(const QString& letter, bool trueFalse);

// The heading of a multiple-answer question, with how it is answered.
QString multipleAnswerHeading(const QString& number);

// Long work of steps behind the wait screen, with the screen's input held off meanwhile:
// the messages that run for the wait screen must not reach what the work rebuilds. work
// gets the step to call after each of its steps; a step only paints the wait screen while
// a write transaction is open, so that no click, clock or other statement comes between
// the steps of a write. False when the work threw: the learner is told by the caller,
// standard error gets what it threw under what.
bool behindWaitScreen(QWidget* screen, int steps, const QString& what,
                      const std::function<void(const std::function<void()>& step)>& work);

// "剩余时间:30分钟", as an exam's clock shows it.
QString clockCaption(int minutesLeft);
// One minute of an exam's clock: the minutes left shown, then one counted off and the
// timer running on. False when none was left: time is up, the timer stays stopped and
// the paper is handed in without a question.
bool examClockMinute(::Timer* timer, Label* shown, int& minutesLeft);
// A new exam's clock: minutes to go, shown at once and counted from now, a minute a tick.
void startExamClock(::Timer* timer, Label* shown, int& minutesLeft, int minutes);

// An exam that cannot start: the message, then the screen closes once it has returned.
void refuseExam(QWidget* screen, const QString& message);

// The display handler of a field of a shared query goes with the screen that set it; the
// query stays open for its next user.
void dropTextHandler(Query& query, const QString& field);

// The hand-in question of an exam, which lists the numbers not answered; when time runs
// out while it is open, the clock answers it.
class HandInQuestion
{
public:
    // True when the candidate said yes and the clock had not handed in meanwhile.
    bool ask(const QString& unansweredNumbers);
    // Time is up: an open question is closed as unanswered.
    void timeUp();

private:
    bool m_open = false;
    bool m_overruled = false;
};

// The letters of a multiple answer toggled on the answer keys before they are confirmed:
// "A" to "D", given back in ascending order.
class LetterToggles
{
public:
    void toggle(QChar letter);
    bool isOn(QChar letter) const;
    void set(const QString& letters);
    void clear() { m_on = 0; }
    QString letters() const;

private:
    unsigned m_on = 0;
};

// A question's clip playing over its picture box, fitted to it; a click plays it again
// from the start. A clip that cannot be read is not shown, never told: the picture box
// beneath keeps the question's picture.
class ClipView : public QWidget
{
    Q_OBJECT
public:
    ClipView(QWidget* parent, const QColor& background);
    // Shows and plays the clip; false, and hidden, when there is none or it is no clip.
    bool play(const QByteArray& clip);
    void stop();
    MediaPlayer* player() const { return m_player; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    MediaPlayer* m_player;
    QColor m_background;
};

// The colours of a sheet panel's number and answer.
inline const QColor kSheetNumberColor = Qt::blue;
inline const QColor kSheetAnswerColor = QColor(0, 128, 0);

// The parts both exam screens have, made alike into a screen's members of the same names:
// the click areas of the buttons next, prior, select and hand-in at y 240 from x at a
// pitch, tied to the screen's handlers of the same names.
template <class Screen> void makeNavigationAreas(Screen* s, int x, int pitch)
{
    s->lblNext = clickArea<Label>(s, "lblNext", {x, 240, 81, 78});
    s->lblPrior = clickArea<Label>(s, "lblPrior", {x + pitch, 240, 81, 78});
    s->lblSelect = clickArea<Label>(s, "lblSelect", {x + 2 * pitch, 240, 81, 78});
    s->lblEndExam = clickArea<Label>(s, "lblEndExam", {x + 3 * pitch, 240, 81, 78});
    s->lblNext->OnClick = [s](QObject* o) { s->lblNextClick(o); };
    s->lblPrior->OnClick = [s](QObject* o) { s->lblPriorClick(o); };
    s->lblSelect->OnClick = [s](QObject* o) { s->lblSelectClick(o); };
    s->lblEndExam->OnClick = [s](QObject* o) { s->lblEndExamClick(o); };
}

// The answer sheet under the answer row: columns by ten rows of panels of the sheet's
// data source, each with its number (the field TopicNo) and the answer given (Result).
template <class Screen>
void makeAnswerSheet(Screen* s, int columns, int height, const QRect& number, const QRect& answer)
{
    s->DBCtrlGrid1 = named(new DBCtrlGrid(s), "DBCtrlGrid1");
    s->DBCtrlGrid1->setGeometry(22, 360, 470, height);
    s->DBCtrlGrid1->setPanels(columns, 10, QSize(470 / columns, 20));
    s->DBCtrlGrid1->setColor(colorFromBgr(kLavender));
    s->DBCtrlGrid1->setSelectedColor(QColor(255, 228, 140));
    s->DBCtrlGrid1->setDividerColor(QColor(176, 168, 218));
    s->DBCtrlGrid1->setDataSource(s->DataSource1);
    s->DBText2 = named(new DBText(s), "DBText2");
    s->DBText2->setGeometry(number);
    // The number ends a pixel before the answer begins, which may lie inside its box.
    s->DBText2->setFitWidth(std::min(number.width(), answer.left() - number.left() - 1));
    s->DBText2->setTextFont(QStringLiteral("隶书"), 16, true, kSheetNumberColor);
    s->DBText2->setDataField(QStringLiteral("TopicNo"));
    s->DBText3 = named(new DBText(s), "DBText3");
    s->DBText3->setGeometry(answer);
    s->DBText3->setTextFont(QStringLiteral("宋体"), 14, true, kSheetAnswerColor);
    s->DBText3->setDataField(QStringLiteral("Result"));
    s->DBCtrlGrid1->addPanelText(s->DBText2);
    s->DBCtrlGrid1->addPanelText(s->DBText3);
}

// The candidate's panel: number, name, vehicle, the clock of minutes, the contact line.
template <class Screen> void makeCandidatePanel(Screen* s, int minutes)
{
    const QString li = QStringLiteral("隶书");
    s->lblNo = textLabel(s, "lblNo", QRect(607, 361, 178, 21), li, 21, Qt::blue,
                         QStringLiteral("12345678"));
    s->Label1 = textLabel(s, "Label1", QRect(607, 389, 178, 21), li, 21, Qt::blue,
                          QStringLiteral("Quorin软件"));
    s->Label2 =
        textLabel(s, "Label2", QRect(630, 446, 178, 21), li, 21, Qt::blue, QStringLiteral("汽车"));
    s->lblTime = textLabel(s, "lblTime", QRect(523, 557, 138, 21), QStringLiteral("幼圆"), 16,
                           Qt::blue, clockCaption(minutes));
    s->lblAddress = contactLabel(s, 392, 585);
}

// In the review: the panel being painted marked red, as wrong or not answered.
void markPanelWrong(DBCtrlGrid* sheet);
// A panel of the sheet, marked red when wrong; its number and answer are then drawn in
// white, which stays legible on the red, and in their own colours elsewhere.
void paintSheetPanel(DBCtrlGrid* sheet, bool wrong, DBText* number, DBText* answer);

// The edition's badge on the candidate's panel: "学员版" in a column.
Label* editionBadge(QWidget* screen);

// Sets a word-wrapped label's text in the largest of the sizes (pixels, largest first)
// at which it fits the label's height; the smallest when none does.
void fitWrappedText(Label* label, const std::vector<int>& sizes);
