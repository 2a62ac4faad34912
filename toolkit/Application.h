#pragma once

#include "toolkit/FramePacer.h"

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>

class QObject;

// The event handler type of the screens: the control that raised the event.
using NotifyEvent = std::function<void(QObject* sender)>;

// The application object of the old component model, over QApplication: the title,
// the termination request and the default error report.
class Application
{
public:
    static QString title();
    static void setTitle(const QString& title);

    // Asks the program to end; the message loop then ends at its first turn.
    static void terminate();
    static bool terminated();
    static void clearTermination();

    // Lets the window messages that are waiting run. Never inside a transaction of the
    // bank: a call then is reported as a fault (and the messages still run).
    static void processMessages();

    // The default error report: a modal box with the error's text, the application
    // title and an error icon. Call it from a catch block.
    static void handleException();
    static void showException(const std::exception_ptr& error);
    static QString describe(const std::exception_ptr& error);

    // Runs the message loop with mainForm as the main window; returns at once after a
    // termination request.
    static int run(QWidget* mainForm);
};

// Runs an event handler; an exception that escapes it goes to the default error report
// and the program goes on.
template <class F> void guarded(F&& handler) noexcept
{
    try {
        handler();
    } catch (...) {
        Application::handleException();
    }
}

inline void fire(const NotifyEvent& event, QObject* sender) noexcept
{
    if (event) {
        guarded([&] { event(sender); });
    }
}

// QApplication that reports any exception reaching the event loop instead of letting it
// cross Qt's frames.
class GuardedApplication : public QApplication
{
public:
    GuardedApplication(int& argc, char** argv);
    ~GuardedApplication() override;
    bool notify(QObject* receiver, QEvent* event) override;

private:
    FramePacer* m_pacer;
};
