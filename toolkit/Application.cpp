#include "toolkit/Application.h"

#include "data/Connection.h"
#include "data/Swallowed.h"
#include "toolkit/MessageBox.h"

#include <QCoreApplication>
#include <QThread>
#include <QWidget>

namespace {
QString g_title;
bool g_terminated = false;
} // namespace

QString Application::title()
{
    return g_title;
}

void Application::setTitle(const QString& title)
{
    g_title = title;
}

void Application::terminate()
{
    g_terminated = true;
    // Outside a running loop an exit would also end the next modal box at once: the
    // flag alone stops the loop that run() is about to start.
    if (QThread::currentThread()->loopLevel() > 0) {
        QCoreApplication::exit(0);
    }
}

bool Application::terminated()
{
    return g_terminated;
}

void Application::clearTermination()
{
    g_terminated = false;
}

void Application::processMessages()
{
    // A click, a timer or a queued handler that runs now could write in the middle of the
    // transaction, or be rolled back with it. The caller's fault, told where tests see it.
    if (Connection::anyInTransaction()) {
        reportSwallowed(QStringLiteral("messages run inside a transaction"),
                        QStringLiteral("a handler could write in the middle of it"));
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

QString Application::describe(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("发生了未知的错误。");
    }
}

void Application::showException(const std::exception_ptr& error)
{
    const QString text = describe(error);
    try {
        MessageBox(text, title(), MB_OK | MB_ICONERROR);
    } catch (...) {
        // Nothing is left to report the report's own failure to.
    }
}

void Application::handleException()
{
    showException(std::current_exception());
}

int Application::run(QWidget* mainForm)
{
    if (g_terminated) {
        return 1;
    }
    mainForm->show();
    const int code = QCoreApplication::exec();
    return g_terminated ? 1 : code;
}

GuardedApplication::GuardedApplication(int& argc, char** argv)
    : QApplication(argc, argv)
    , m_pacer(new FramePacer)
{}

GuardedApplication::~GuardedApplication()
{
    delete m_pacer;
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        // Every paint of a window, asked for at once or later, comes as its update request.
        if (event->type() == QEvent::UpdateRequest && receiver->isWidgetType() &&
            static_cast<QWidget*>(receiver)->isWindow()) {
            auto* window = static_cast<QWidget*>(receiver);
            if (m_pacer->putOff(window)) {
                return true;
            }
            const bool done = QApplication::notify(receiver, event);
            m_pacer->painted(window);
            return done;
        }
        return QApplication::notify(receiver, event);
    } catch (...) {
        Application::handleException();
        return false;
    }
}
