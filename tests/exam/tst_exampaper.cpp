// Drawing a paper: the plan, the numbering, the independence of papers, and what a
// short bank, an empty bank or a failing database do to it; no message runs while the
// paper is written; the candidate-number pad.
#include "app/MainUnit.h"
#include "exam/Unt_MoLiKaoShiPingFen.h"
#include "exam/Unt_SimulateExam.h"
#include "exam/Unt_StudentLogin.h"
#include "sharedscreens/Unt_Wait.h"
#include "tests/support/ExamSupport.h"
#include "tests/support/MessageBoxWatcher.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTimer>

using namespace testing;

namespace {

// The positions of the wait screen's bar, step by step.
class WaitSteps : public QObject
{
public:
    WaitSteps() { qApp->installEventFilter(this); }
    ~WaitSteps() override { qApp->removeEventFilter(this); }
    QList<int> positions;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* wait = qobject_cast<TFrm_Wait*>(watched);
        if (wait && event->type() == QEvent::Show) {
            connect(wait->pb, &QProgressBar::valueChanged, this, [this](int v) { positions << v; });
        }
        return false;
    }
};

} // namespace

class TestExamPaper : public QObject
{
    Q_OBJECT

    // The paper as (TopicNo, ID, Type) in number order.
    static QList<QList<int>> paper(const ExamFixture& f)
    {
        Connection c;
        c.connectionString = bankConnectionString(f.folder.path());
        c.open();
        Query q(&c);
        q.SQL.add(
            QStringLiteral("SELECT TopicNo, ID, Type, Result FROM T_TopicTmp ORDER BY TopicNo"));
        q.open();
        QList<QList<int>> rows;
        for (q.first(); !q.eof(); q.next()) {
            rows.append({q.fields(0).asInteger(), q.fields(1).asInteger(), q.fields(2).asInteger(),
                         q.fields(3).isNull() ? 0 : 1});
        }
        return rows;
    }

private slots:
    void cleanup()
    {
        checkModalActions();
        settle();
        QVERIFY2(visibleWindows().isEmpty(), "a window was left open");
    }

    void planHasItsRowsInOrder()
    {
        QCOMPARE(int(ExamPlan.size()), 22);
        int choice = 0, trueFalse = 0;
        for (size_t i = 0; i < ExamPlan.size(); ++i) {
            (i < 11 ? choice : trueFalse) += ExamPlan[i].Count;
        }
        QCOMPARE(choice, 60);
        QCOMPARE(trueFalse, 40);
        QCOMPARE(ExamPlan[0].Condition, QStringLiteral("Type=0 AND ID>=1 AND ID<=441"));
        QCOMPARE(ExamPlan[4].Condition, QStringLiteral("Type=0 AND ID>1066 AND ID<=1207"));
        QCOMPARE(ExamPlan[9].Condition, QStringLiteral("Type=0 AND ID>1450 AND ID<=1500"));
        QCOMPARE(ExamPlan[21].Condition, QStringLiteral("Type=1 AND ID>1501 AND ID<=1600"));
        QCOMPARE(ExamPlan[17].Count, 1);
    }

    void paperFollowsThePlan()
    {
        ExamFixture f;
        f.exec(QStringLiteral("UPDATE T_TopicTmp SET Result='A'")); // an old paper's answers
        TFrm_SimulateExam* exam = f.showExam();
        const QList<QList<int>> rows = paper(f);
        QCOMPARE(rows.size(), 100);
        // Which plan row each number belongs to, and the ranges it may draw from.
        int number = 1;
        for (const TExam& row : ExamPlan) {
            const int type = row.Condition.startsWith(QLatin1String("Type=0")) ? 0 : 1;
            for (int i = 0; i < row.Count; ++i, ++number) {
                const QList<int>& r = rows[number - 1];
                QCOMPARE(r[0], number);
                QCOMPARE(r[2], type);
                QCOMPARE(r[3], 0); // no answer yet
            }
        }
        for (const QList<int>& r : rows) {
            QVERIFY2(!QList<int>({1066, 1450, 1501, 1601}).contains(r[1]),
                     qPrintable(QString::number(r[1])));
        }
        QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE TopicNo=0")), 0);
        QCOMPARE(
            f.count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE TopicNo<=17 AND ID>441")),
            0);
        QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE TopicNo BETWEEN 57 "
                                        "AND 60 AND (ID<=1501 OR ID>1600)")),
                 0);

        // The screen is on question 1 with the clock at 45 minutes.
        QCOMPARE(DM->ADOQryTopic.fieldByName(QStringLiteral("TopicNo")).asInteger(), 1);
        QVERIFY(exam->lblContent->caption().startsWith(
            QStringLiteral("第1题 (请从下列ABCD中选择出该题的正确答案)\r\n  ")));
        QCOMPARE(exam->lblTime->caption(), QStringLiteral("剩余时间:45分钟"));
        QVERIFY(exam->Timer->enabled());
        QCOMPARE(exam->Timer->interval(), 60000);
        QCOMPARE(exam->MinutesLeft, 44);
        QCOMPARE(exam->lblNo->caption(), QStringLiteral("12345678"));
        exam->close();
    }

    void papersAreDrawnIndependently()
    {
        ExamFixture f(planBank(4));
        TFrm_SimulateExam* exam = f.showExam();
        const QList<QList<int>> first = paper(f);
        exam->FormShow(); // a new exam on the same screen
        const QList<QList<int>> second = paper(f);
        QCOMPARE(second.size(), 100);
        QVERIFY(first != second);
        exam->close();
    }

    void shortCategoriesGiveAShorterPaperWithoutGaps()
    {
        std::vector<BankRow> rows = planBank(1);
        // Only 3 of the 17 choice questions of the first range remain.
        std::erase_if(rows,
                      [](const BankRow& r) { return r.type == 0 && r.id > 3 && r.id <= 441; });
        ExamFixture f(rows);
        TFrm_SimulateExam* exam = f.showExam();
        const QList<QList<int>> drawn = paper(f);
        QCOMPARE(drawn.size(), 86);
        for (int i = 0; i < drawn.size(); ++i) {
            QCOMPARE(drawn[i][0], i + 1);
        }
        QCOMPARE(drawn[2][1] <= 3, true);
        QVERIFY(drawn[3][1] >= 442); // the next row follows at number 4
        exam->close();
    }

    void shortPaperIsMarkedOutOfItsOwnQuestions()
    {
        // The first plan row keeps 3 of its 17 choice questions: a paper of 86.
        std::vector<BankRow> rows = planBank(1);
        std::erase_if(rows,
                      [](const BankRow& r) { return r.type == 0 && r.id > 3 && r.id <= 441; });
        ExamFixture f(rows);
        QPointer<TFrm_SimulateExam> exam = f.showExam();
        const auto closing = qScopeGuard([&] { ExamFixture::closeExam(exam); });
        f.answerRight(QStringLiteral("TopicNo<=80")); // the last six left unanswered
        QString questions, right, wrong;
        whenModal([&](QWidget* modal) {
            auto* result = qobject_cast<TFrm_MoLiKaoShiPingFen*>(modal);
            QVERIFY(result);
            questions = result->lblNum->caption();
            right = result->lblRight->caption();
            wrong = result->lblError->caption();
            clickControl(result->sbtnTuiChu);
        });
        exam->HandInExam();
        QCOMPARE(questions, QStringLiteral("86"));
        QCOMPARE(right, QStringLiteral("80"));
        QCOMPARE(wrong, QStringLiteral("6"));
    }

    void noMessageRunsWhileThePaperIsWritten()
    {
        ExamFixture f;
        QPointer<TFrm_SimulateExam> exam = f.showExam();
        const auto closing = qScopeGuard([&] { ExamFixture::closeExam(exam); });
        // What waits for the event loop during the next draw: a queued handler, a timer.
        QList<bool> ranInTransaction;
        auto note = [&] { ranInTransaction << DM->ADOCon.inTransaction(); };
        QMetaObject::invokeMethod(qApp, note, Qt::QueuedConnection);
        QTimer due;
        connect(&due, &QTimer::timeout, note);
        due.start(0);
        WaitSteps steps;
        exam->FormShow();
        due.stop();
        QVERIFY(!ranInTransaction.isEmpty()); // they ran, once the paper stood
        QVERIFY(!ranInTransaction.contains(true));
        QList<int> expected;
        for (int i = 1; i <= int(ExamPlan.size()) + 5; ++i) {
            expected << i;
        }
        QCOMPARE(steps.positions, expected);
        QCOMPARE(DM->ADOQryTopic.recordCount(), 100);

        // Any caller that lets messages run inside a transaction is told of.
        {
            Transaction open(DM->ADOCon);
            QTest::ignoreMessage(
                QtWarningMsg, QRegularExpression("^taviro: messages run inside a transaction: "));
            Application::processMessages();
        }
    }

    void emptyBankOpensWithoutAPaper()
    {
        ExamFixture f(std::vector<BankRow>{});
        MessageBoxWatcher boxes;
        TFrm_SimulateExam* exam = f.showExam();
        QVERIFY(exam->isVisible());
        QCOMPARE(DM->ADOQryTopic.recordCount(), 0);
        clickControl(exam->lblNext);
        clickControl(exam->lblPrior);
        exam->close();
        settle();
        QCOMPARE(boxes.count(), 0);
    }

    void failureMidwayWarnsAndCloses()
    {
        ExamFixture f;
        // The disk refuses the 31st number: the draw fails in the middle of a category.
        f.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE OF TopicNo ON T_TopicTmp "
                              "WHEN NEW.TopicNo > 30 BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
        QString text, title;
        whenModal([&](QWidget* modal) {
            title = modal->windowTitle();
            if (auto* message = modal->findChild<Label*>(QStringLiteral("Message"))) {
                text = message->caption();
            }
            QTest::keyClick(modal, Qt::Key_Return);
        });
        TFrm_SimulateExam* exam = f.showExam();
        QPointer<TFrm_SimulateExam> guard(exam);
        QTRY_VERIFY(!guard || !guard->isVisible());
        QCOMPARE(text, QStringLiteral("生成模拟考试题失败!请重新进入."));
        QCOMPARE(title, QStringLiteral("交卷询问"));
        QVERIFY(!guard || !guard->Timer->enabled());
        settle();
        QVERIFY(guard.isNull()); // freed on its close
    }

    void failedDrawLeavesTheLastPaperWhole()
    {
        ExamFixture f;
        TFrm_SimulateExam* exam = f.showExam();
        f.exec(QStringLiteral("UPDATE T_TopicTmp SET Result='A' WHERE TopicNo<=5"));
        const QList<QList<int>> before = paper(f);
        QCOMPARE(before.size(), 100);
        // The next paper fails in its middle: nothing of it reaches the file.
        f.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE OF TopicNo ON T_TopicTmp "
                              "WHEN NEW.TopicNo > 30 BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
        QString text;
        whenModal([&](QWidget* modal) {
            if (auto* message = modal->findChild<Label*>(QStringLiteral("Message"))) {
                text = message->caption();
            }
            QTest::keyClick(modal, Qt::Key_Return);
        });
        QPointer<TFrm_SimulateExam> guard(exam);
        exam->FormShow(); // a new exam on the same screen
        QCOMPARE(text, QStringLiteral("生成模拟考试题失败!请重新进入."));
        QVERIFY(!DM->ADOCon.inTransaction());
        QCOMPARE(paper(f), before);
        QTRY_VERIFY(!guard || !guard->isVisible());
        settle();
    }

    void missingTableWarnsAndTheMenuIsBack()
    {
        ExamFixture f;
        f.exec(QStringLiteral("ALTER TABLE T_TopicTmp RENAME TO Gone"));
        MainForm = new TMainForm();
        MainForm->show();
        whenModal([](QWidget* pad) {
            auto* login = qobject_cast<TFrm_StudentLogin*>(pad);
            QVERIFY(login);
            clickControl(login->Label7);
            clickControl(login->lblOk);
            whenModal([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
        });
        clickControl(MainForm->lblMoLiKaoShi);
        // Back on the menu: the exam screen has gone.
        settle();
        QCOMPARE(visibleWindows(), QList<QWidget*>({MainForm}));
        delete MainForm;
        MainForm = nullptr;
    }

    void inputIsHeldOffWhileANewPaperIsDrawn()
    {
        ExamFixture f;
        MessageBoxWatcher boxes;
        TFrm_SimulateExam* exam = f.showExam();
        QVERIFY(QTest::qWaitForWindowExposed(exam));
        DM->ADOQryTopic.last();
        // Clicks that wait in the queue reach the screen only once the paper stands.
        QWindow* window = exam->windowHandle();
        const QPoint next = exam->lblNext->geometry().center();
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::postEvent(
                window, new QMouseEvent(QEvent::MouseButtonPress, next, window->mapToGlobal(next),
                                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
            QCoreApplication::postEvent(
                window, new QMouseEvent(QEvent::MouseButtonRelease, next, window->mapToGlobal(next),
                                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        }
        exam->FormShow();
        QCOMPARE(DM->ADOQryTopic.fieldByName(QStringLiteral("TopicNo")).asInteger(), 1);
        QCOMPARE(boxes.count(), 0);
        exam->close();
    }

    void padKeysBuildTheNumber()
    {
        auto* pad = new TFrm_StudentLogin(nullptr);
        QPointer<TFrm_StudentLogin> guard(pad);
        whenModal([pad](QWidget*) {
            clickControl(pad->Label10);
            clickControl(pad->Label1);
            clickControl(pad->Label2);
            QCOMPARE(pad->lblNo->caption(), QStringLiteral("012"));
            clickControl(pad->lblReset);
            QCOMPARE(pad->lblNo->caption(), QString());
            for (Label* key : {pad->Label3, pad->Label4, pad->Label5, pad->Label6, pad->Label7,
                               pad->Label8, pad->Label9}) {
                clickControl(key);
            }
            QTest::keyClick(pad, Qt::Key_Escape); // no keyboard on this screen
            QTest::keyClick(pad, Qt::Key_5);
            clickControl(pad->lblOk);
        });
        QCOMPARE(pad->showModal(), int(mrOk));
        QCOMPARE(pad->lblNo->caption(), QStringLiteral("3456789"));
        QVERIFY(!pad->imgXT->isVisible());
        settle();
        QVERIFY(guard.isNull());
    }

    void menuStartsTheExamWithTheEnteredNumber_data()
    {
        QTest::addColumn<int>("digits");
        QTest::newRow("no digits") << 0;
        QTest::newRow("forty digits") << 40;
    }

    void menuStartsTheExamWithTheEnteredNumber()
    {
        QFETCH(int, digits);
        ExamFixture f;
        MainForm = new TMainForm();
        MainForm->show();
        QString shown;
        whenModal([&](QWidget* modal) {
            auto* pad = qobject_cast<TFrm_StudentLogin*>(modal);
            for (int i = 0; i < digits; ++i) {
                clickControl(i % 2 ? pad->Label1 : pad->Label10);
            }
            clickControl(pad->lblOk);
            whenModal([&](QWidget* exam) {
                auto* screen = qobject_cast<TFrm_SimulateExam*>(exam);
                QVERIFY(screen);
                shown = screen->lblNo->caption();
                screen->close();
            });
        });
        clickControl(MainForm->lblMoLiKaoShi);
        QString expected;
        for (int i = 0; i < digits; ++i) {
            expected += i % 2 ? QLatin1Char('1') : QLatin1Char('0');
        }
        QCOMPARE(shown, expected);
        delete MainForm;
        MainForm = nullptr;
    }

    void padClosedWithoutConfirmStartsNoExam()
    {
        ExamFixture f;
        MainForm = new TMainForm();
        MainForm->show();
        whenModal([](QWidget* pad) { pad->close(); });
        clickControl(MainForm->lblMoLiKaoShi);
        settle();
        QCOMPARE(visibleWindows(), QList<QWidget*>({MainForm}));
        QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp")), 0);
        delete MainForm;
        MainForm = nullptr;
    }
};

TAVIRO_TEST_MAIN(TestExamPaper)
#include "tst_exampaper.moc"
