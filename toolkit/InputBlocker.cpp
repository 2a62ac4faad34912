#include "toolkit/InputBlocker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

InputBlocker::InputBlocker(QWidget* window)
    : m_window(window)
{
    QCoreApplication::instance()->installEventFilter(this);
}

InputBlocker::~InputBlocker()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Shortcut:
    case QEvent::Close:
        break;
    default:
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !m_window) {
        return false;
    }
    // Only events for the held window and what lies in it; the wait screen in front
    // keeps working.
    return widget == m_window || m_window->isAncestorOf(widget);
}
