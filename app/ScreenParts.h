#pragma once

#include "toolkit/Controls.h"

class MediaPlayer;
class Query;

#include <QRect>
#include <QString>
#include <functional>

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
