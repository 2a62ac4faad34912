#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>

class QWidget;

// Paints each window at most once per display frame. Long work that repaints its wait
// screen at every step would otherwise spend more time on frames that the display never
// shows than on the work itself. A paint asked for too early is put off to the end of
// the frame, so whatever changed is still painted.
class FramePacer : public QObject
{
public:
    static constexpr qint64 kFrameMs = 16;

    FramePacer();

    // True when the window's paint was put off; it is asked for again at the frame's end.
    bool putOff(QWidget* window);
    void painted(QWidget* window);

private:
    struct Window
    {
        qint64 lastPaintMs = -kFrameMs;
        bool pending = false;
    };

    QElapsedTimer m_clock;
    QHash<const QObject*, Window> m_windows;
};
