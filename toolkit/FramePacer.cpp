#include "toolkit/FramePacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

FramePacer::FramePacer()
{
    m_clock.start();
}

bool FramePacer::putOff(QWidget* window)
{
    const auto it = m_windows.find(window);
    if (it == m_windows.end()) {
        return false;
    }
    const qint64 early = it->lastPaintMs + kFrameMs - m_clock.elapsed();
    if (early <= 0) {
        return false;
    }
    if (!it->pending) {
        it->pending = true;
        QTimer::singleShot(int(early), window, [this, window] {
            const auto w = m_windows.find(window);
            if (w != m_windows.end()) {
                w->pending = false;
            }
            QCoreApplication::postEvent(window, new QEvent(QEvent::UpdateRequest),
                                        Qt::LowEventPriority);
        });
    }
    return true;
}

void FramePacer::painted(QWidget* window)
{
    auto it = m_windows.find(window);
    if (it == m_windows.end()) {
        it = m_windows.insert(window, Window());
        connect(window, &QObject::destroyed, this,
                [this](QObject* gone) { m_windows.remove(gone); });
    }
    it->lastPaintMs = m_clock.elapsed();
}
