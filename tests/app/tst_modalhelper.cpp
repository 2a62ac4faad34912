// The tests' modal helper itself: a check that fails inside its action closes the modal
// window, so the failing test ends within moments instead of hanging until the time
// limit. The failing tests run in a child process (this program with "--child"), whose
// failure is the expected outcome.
#include "tests/support/TestSupport.h"
#include "toolkit/Application.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <cstring>

using namespace testing;

// Fails inside the action of every kind of modal window the tests drive.
class FailingChild : public QObject
{
    Q_OBJECT

private slots:
    void failsInAMessageBox()
    {
        whenModal([](QWidget*) { QVERIFY2(false, "expected failure in a message box"); });
        QMessageBox box(QMessageBox::Question, QStringLiteral("标题"), QStringLiteral("文字"),
                        QMessageBox::Yes | QMessageBox::No);
        box.exec();
    }

    void failsInADialog()
    {
        whenModal([](QWidget*) { QCOMPARE(1, 2); });
        QDialog dialog;
        dialog.exec();
    }

    void failsAfterANestedCheck()
    {
        answerMessageBox(QMessageBox::Cancel); // the box has no such button
        QMessageBox box(QMessageBox::Information, QStringLiteral("标题"), QStringLiteral("文字"),
                        QMessageBox::Ok);
        box.exec();
    }
};

// A test whose modal window never opens, and the next test's own window.
class UnopenedChild : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { checkModalActions(); }

    void armsAnActionNoWindowAnswers()
    {
        whenModal([](QWidget* modal) { closeModal(modal); });
    }

    void answersItsOwnBox()
    {
        answerMessageBox(QMessageBox::Yes);
        QMessageBox box(QMessageBox::Question, QStringLiteral("标题"), QStringLiteral("文字"),
                        QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.exec(), int(QMessageBox::Yes));
    }
};

class TestModalHelper : public QObject
{
    Q_OBJECT

private slots:
    void failingActionEndsTheTestQuickly()
    {
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        QElapsedTimer timer;
        timer.start();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child")});
        QVERIFY(child.waitForStarted());
        const bool finished = child.waitForFinished(30000);
        if (!finished) {
            child.kill();
            child.waitForFinished();
        }
        const QString output = QString::fromUtf8(child.readAll());
        QVERIFY2(finished, "a failing check in a modal action left the window open");
        QVERIFY2(timer.elapsed() < 20000, qPrintable(output));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 3); // one failure for each test of the child
        QVERIFY2(output.contains(QStringLiteral("expected failure in a message box")),
                 qPrintable(output));
        QCOMPARE(output.count(QStringLiteral("FAIL!")), 3);
    }

    // An action left waiting fails the test that armed it, at once and with its own
    // message, and acts on no window of the next test.
    void unopenedModalFailsItsOwnTest()
    {
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--unopened")});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForFinished(30000));
        const QString output = QString::fromUtf8(child.readAll());
        QCOMPARE(child.exitCode(), 1);
        QVERIFY2(
            output.contains(QStringLiteral("FAIL!  : UnopenedChild::armsAnActionNoWindowAnswers() "
                                           "the test ended before a modal window opened")),
            qPrintable(output));
        QVERIFY2(output.contains(QStringLiteral("PASS   : UnopenedChild::answersItsOwnBox()")),
                 qPrintable(output));
    }
};

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
    prepareEnvironment();
    QTEST_SET_MAIN_SOURCE_PATH
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0) {
        FailingChild test;
        return QTest::qExec(&test, QStringList{QString::fromLocal8Bit(argv[0])});
    }
    if (argc > 1 && std::strcmp(argv[1], "--unopened") == 0) {
        UnopenedChild test;
        const int failed = QTest::qExec(&test, QStringList{QString::fromLocal8Bit(argv[0])});
        return failed + unsettledModalActions();
    }
    TestModalHelper test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_modalhelper.moc"
