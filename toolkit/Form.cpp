#include "toolkit/Form.h"

#include "toolkit/Application.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>

QRect screenRect()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

Form::Form(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void Form::setClientSize(int width, int height)
{
    setFixedSize(width, height);
}

void Form::setColor(const QColor& color)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
    setAutoFillBackground(true);
}

int Form::showModal()
{
    QPointer<Form> self(this);
    m_freeAfterClose = false;
    m_inModalLoop = true;
    const int result = exec();
    if (!self) {
        return mrCancel;
    }
    m_inModalLoop = false;
    if (m_freeAfterClose) {
        deleteLater();
    }
    return result;
}

void Form::setModalResult(int result)
{
    setResult(result);
    if (result != mrNone) {
        done(result);
    }
}

void Form::reject()
{
    done(mrCancel);
}

void Form::FormClose(CloseAction& action)
{
    Q_UNUSED(action);
}

void Form::done(int result)
{
    if (m_closing) {
        return;
    }
    CloseAction action = CloseAction::Hide;
    bool ok = true;
    m_closing = true;
    guarded([&] {
        try {
            FormClose(action);
        } catch (...) {
            ok = false; // a close handler that fails keeps the form open
            throw;
        }
    });
    m_closing = false;
    if (!ok || action == CloseAction::None) {
        setResult(mrNone);
        return;
    }
    m_freeAfterClose = action == CloseAction::Free;
    QDialog::done(result);
    if (m_freeAfterClose && !m_inModalLoop) {
        deleteLater();
    }
}

void Form::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        if (m_position == FormPosition::ScreenCenter) {
            const QRect screen = screenRect();
            move(screen.x() + (screen.width() - width()) / 2,
                 screen.y() + (screen.height() - height()) / 2);
        }
        guarded([this] { FormShow(); });
    }
    QDialog::showEvent(event);
}

void Form::keyPressEvent(QKeyEvent* event)
{
    // A screen is worked with the mouse: Esc and Enter do not close it.
    QWidget::keyPressEvent(event);
}
