#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Holds the mouse, touch and keys off one window while it lives: work that lets the
// window messages run (to animate a wait screen) must not act on what it is rebuilding.
class InputBlocker : public QObject
{
public:
    explicit InputBlocker(QWidget* window);
    ~InputBlocker() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
};
