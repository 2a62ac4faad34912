#pragma once

#include "tools/bank/BankBuilder.h"
#include "tools/bank/BankCheck.h"

#include <QPoint>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>
#include <functional>
#include <source_location>
#include <vector>

class QWidget;
class QMessageBox;

namespace testing {

// A fresh application folder in a temporary place.
class AppFolder
{
public:
    AppFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const;
    // Writes Drive.mdb with these rows (the small bank when none are given).
    void writeBank(const std::vector<BankRow>& rows);
    void writeBank();
    // Copies a file the build writes into the application folder (Yes.bmp, CLOCK.AVI).
    void copyFromBuild(const QString& name);
    void writeFile(const QString& name, const QByteArray& bytes);
    QByteArray readFile(const QString& name) const;
    // Statements on its bank through a connection of their own, as another program would.
    void exec(const QString& sql) const;
    void exec(const QStringList& statements) const;
    QVariant scalar(const QString& sql) const; // the first column of the first row

private:
    QTemporaryDir m_dir;
};

// Folder names a learner may install into, each with a character that the connection
// string or a statement could take for syntax: a blank, ";", "'", '"', "=", Chinese, a
// long path of several levels. Rows of (tag, path relative to a folder).
QList<QPair<QString, QString>> awkwardFolderNames();
// Makes that folder under base with the small bank in it; returns its full path.
QString makeBankFolder(const QString& base, const QString& relative);

// Rows of a test bank, keyed "t-<id>".
BankRow choiceRow(int id, const QString& question, const QString& answer);
BankRow trueFalseRow(int id, const QString& statement, const QString& answer);

// Ends a start-up a test ran: the main menu and the data module go, and the program may
// be started again.
void endStartedProgram();

// The row of a bank with that ID, or null.
BankRow* rowOf(std::vector<BankRow>& rows, int id);

// The exam plan as the bank's check takes it.
std::vector<PlanShare> examPlanShares();
// Lines of messages, for a failing check's text.
QString joined(const QStringList& lines);

// A few questions of both kinds: one with a plain bitmap, one behind the picture header.
std::vector<BankRow> smallBank();

// Runs action on the next modal window that opens (a message box, a dialog, a screen)
// once it is shown; fails the test when none opens within the timeout. When a check in
// the action fails, the window is closed so that the modal call returns. The action
// belongs to the test that arms it: it never acts in a later test, and a test that ends
// before its window opened fails in checkModalActions(), which cleanup() calls.
void whenModal(std::function<void(QWidget* modal)> action, int timeoutMs = 5000,
               std::source_location where = std::source_location::current());
// Fails the current test for each modal action it armed that has not run.
void checkModalActions();
// Prints each action a test left without checking it; the test program fails on them.
int unsettledModalActions();
// Ends a modal window as its cancel would: a dialog is rejected, any other window closed.
void closeModal(QWidget* modal);
// Answers the next message box by clicking the button with this text or role.
void answerMessageBox(int standardButton, QString* seenText = nullptr, QString* seenTitle = nullptr,
                      int* seenIcon = nullptr,
                      std::source_location where = std::source_location::current());

// A click of the left button at a place of a shown window, delivered through the window
// so that whatever lies on top there takes it.
void clickWindowAt(QWidget* window, const QPoint& position);
// A click at the middle of a control, through its window.
void clickControl(QWidget* control);

// Every top-level widget that is still visible.
QList<QWidget*> visibleWindows();

// Lets deferred deletes and pending events run.
void settle();

} // namespace testing

// The test program's main: our application object and the program's environment.
#define TAVIRO_TEST_MAIN(TestClass)                                                                \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        GuardedApplication app(argc, argv);                                                        \
        prepareEnvironment();                                                                      \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        TestClass test;                                                                            \
        const int failed = QTest::qExec(&test, argc, argv);                                        \
        return failed + testing::unsettledModalActions();                                          \
    }

#include "app/Program.h"
#include "toolkit/Application.h"
