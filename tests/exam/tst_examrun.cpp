// The running exam: answering, moving, the answer sheet, the clock; hand-in, marking,
// the result screen and the review.
#include "exam/Unt_MoLiKaoShiPingFen.h"
#include "exam/Unt_SimulateExam.h"
#include "exam/Unt_StudentLogin.h"
#include "sharedscreens/MsgDialogs.h"
#include "tests/support/ExamSupport.h"
#include "tests/support/MessageBoxWatcher.h"

#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <csignal>

using namespace testing;

namespace {

struct ResultSeen
{
    int screens = 0;
    QString right, wrong, grade;
    bool passed = false;
};

// Answers the next result screen with one of its buttons (20 review, 10 redo, 30 exit).
void chooseOnResult(int tag, ResultSeen* seen)
{
    whenModal([=](QWidget* modal) {
        auto* result = qobject_cast<TFrm_MoLiKaoShiPingFen*>(modal);
        QVERIFY2(result, "no result screen");
        ++seen->screens;
        seen->right = result->lblRight->caption();
        seen->wrong = result->lblError->caption();
        seen->grade = result->lblGrade->caption();
        seen->passed = result->imgPingYu->isVisible();
        QVERIFY(!result->lblNum->isVisible());
        QVERIFY(!result->lblPingYu->isVisible());
        FlatButton* button = tag == 20   ? result->sbtnJiaoDui
                             : tag == 10 ? result->sbtnChongLianXi
                                         : result->sbtnTuiChu;
        clickControl(button);
    });
}

int currentNumber()
{
    return DM->ADOQryTopic.fieldByName(QStringLiteral("TopicNo")).asInteger();
}

void goTo(int number)
{
    QVERIFY(DM->ADOQryTopic.locate(QStringLiteral("TopicNo"), number));
}

// The text of the hand-in question, answered with a key (0: the close box).
void answerHandIn(int key, QString* text)
{
    whenModal([=](QWidget* modal) {
        if (auto* message = modal->findChild<Label*>(QStringLiteral("Message"))) {
            *text = message->caption();
        }
        if (key) {
            QTest::keyClick(modal, Qt::Key(key));
        } else {
            modal->close();
        }
    });
}

} // namespace

class TestExamRun : public QObject
{
    Q_OBJECT

    std::unique_ptr<ExamFixture> f;
    QPointer<TFrm_SimulateExam> exam;

private slots:
    void init()
    {
        f = std::make_unique<ExamFixture>();
        exam = f->showExam();
        QVERIFY(QTest::qWaitForWindowExposed(exam));
    }

    void cleanup()
    {
        checkModalActions();
        ExamFixture::closeExam(exam);
        f.reset();
        QVERIFY2(visibleWindows().isEmpty(), "a window was left open");
    }

    void laterAnswerReplacesTheEarlierOne()
    {
        QCOMPARE(currentNumber(), 1);
        clickControl(exam->lblB);
        QCOMPARE(f->storedAnswer(1), QStringLiteral("B"));
        clickControl(exam->lblD);
        QCOMPARE(exam->lblResult->caption(), QStringLiteral("D"));
        QCOMPARE(f->storedAnswer(1), QStringLiteral("D"));
        QCOMPARE(DM->ADOQuery1.fieldByName(QStringLiteral("TopicNo")).displayText(),
                 QStringLiteral("⊙1"));
        QCOMPARE(DM->ADOQuery1.fieldByName(QStringLiteral("Result")).asString(),
                 QStringLiteral("D"));
        // The paper stays on the question.
        QCOMPARE(currentNumber(), 1);
    }

    void trueFalseTakesTickAndCrossOnly()
    {
        goTo(61);
        QVERIFY(exam->imgvx->isVisible());
        QVERIFY(!exam->lblB->isVisible() && !exam->lblD->isVisible());
        QCOMPARE(exam->lblA->x(), 66);
        QCOMPARE(exam->lblC->x(), 200);
        QVERIFY(
            exam->lblContent->caption().startsWith(QStringLiteral("第61题 (请判断该题的正确性)")));
        clickControl(exam->lblA);
        QCOMPARE(f->storedAnswer(61), QStringLiteral("√"));
        clickControl(exam->lblC);
        QCOMPARE(f->storedAnswer(61), QStringLiteral("×"));
        // Where B and D were and no other area lies now, the strip takes the click.
        clickWindowAt(exam, QPoint(160, 300));
        clickWindowAt(exam, QPoint(310, 300));
        QCOMPARE(f->storedAnswer(61), QStringLiteral("×"));
        // Back to a choice question: the four areas return to their places.
        clickControl(exam->lblPrior);
        QCOMPARE(currentNumber(), 60);
        QVERIFY(!exam->imgvx->isVisible());
        QCOMPARE(exam->lblA->x(), 9);
        QCOMPARE(exam->lblC->x(), 172);
        QVERIFY(exam->lblD->isVisible());
    }

    void movingStopsAtBothEnds()
    {
        clickControl(exam->lblPrior);
        QCOMPARE(currentNumber(), 1);
        clickControl(exam->lblNext);
        QCOMPARE(currentNumber(), 2);
        goTo(100);
        clickControl(exam->lblNext);
        QCOMPARE(currentNumber(), 100);
    }

    void numberPadJumps_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("expected");
        QTest::newRow("57") << QStringLiteral("57") << 57;
        QTest::newRow("057") << QStringLiteral("057") << 57;
        QTest::newRow("0") << QStringLiteral("0") << 3;
        QTest::newRow("101") << QStringLiteral("101") << 3;
        QTest::newRow("nothing") << QString() << 3;
    }

    void numberPadJumps()
    {
        QFETCH(QString, typed);
        QFETCH(int, expected);
        goTo(3);
        bool prompted = false;
        whenModal([&](QWidget* modal) {
            auto* pad = qobject_cast<TFrm_StudentLogin*>(modal);
            QVERIFY(pad);
            prompted = pad->imgXT->isVisible();
            Label* digits[] = {pad->Label10, pad->Label1, pad->Label2, pad->Label3, pad->Label4,
                               pad->Label5,  pad->Label6, pad->Label7, pad->Label8, pad->Label9};
            for (QChar c : typed) {
                clickControl(digits[c.digitValue()]);
            }
            clickControl(pad->lblOk);
        });
        clickControl(exam->lblSelect);
        QVERIFY(prompted);
        QCOMPARE(currentNumber(), expected);
    }

    void answerSheetMovesThePaper()
    {
        clickControl(exam->lblC);
        goTo(23);
        clickControl(exam->lblA);
        // A click on the panel of question 1 (column 0, row 0).
        const QRect panel = exam->DBCtrlGrid1->panelRect(0);
        clickWindowAt(exam, exam->DBCtrlGrid1->mapTo(exam, panel.center()));
        QCOMPARE(currentNumber(), 1);
        QCOMPARE(exam->lblResult->caption(), QStringLiteral("C"));
        // The sheet's keys: a column right is ten questions on, End the last one.
        exam->DBCtrlGrid1->setFocus();
        QTest::keyClick(exam->DBCtrlGrid1, Qt::Key_Right);
        QTest::keyClick(exam->DBCtrlGrid1, Qt::Key_Right);
        QTest::keyClick(exam->DBCtrlGrid1, Qt::Key_Down);
        QTest::keyClick(exam->DBCtrlGrid1, Qt::Key_Down);
        QCOMPARE(currentNumber(), 23);
        QCOMPARE(exam->lblResult->caption(), QStringLiteral("A"));
        QTest::keyClick(exam->DBCtrlGrid1, Qt::Key_End);
        QCOMPARE(currentNumber(), 100);
        QTest::keyClick(exam->DBCtrlGrid1, Qt::Key_PageUp);
        QCOMPARE(currentNumber(), 1);
        QTest::keyClick(exam->DBCtrlGrid1, Qt::Key_Delete);
        QCOMPARE(DM->ADOQuery1.recordCount(), 100);
    }

    void blankAnswerCountsAsUnanswered()
    {
        goTo(5);
        DM->ADOQuery1.edit();
        DM->ADOQuery1.fieldByName(QStringLiteral("Result")).setAsString(QStringLiteral("  "));
        DM->ADOQuery1.post();
        QCOMPARE(DM->ADOQuery1.fieldByName(QStringLiteral("TopicNo")).displayText(),
                 QStringLiteral("○5"));
        QCOMPARE(DM->ADOQuery1.fieldByName(QStringLiteral("TopicNo")).text(), QStringLiteral("○5"));
    }

    void handInQuestionListsTheUnanswered_data()
    {
        QTest::addColumn<QString>("answered");
        QTest::addColumn<QString>("message");
        QString all;
        for (int i = 1; i <= 100; ++i) {
            all += QString::number(i) + (i < 100 ? QStringLiteral(" ") : QString());
        }
        QTest::newRow("none left")
            << QStringLiteral("1=1") << QStringLiteral("请问你是否要结束考试？");
        QTest::newRow("three left")
            << QStringLiteral("TopicNo NOT IN (3,17,100)")
            << QStringLiteral("您还有3 17 100未做。\r\n请问你是否要结束考试？");
        QTest::newRow("all left") << QStringLiteral("0=1")
                                  << QStringLiteral("您还有") + all +
                                         QStringLiteral("未做。\r\n请问你是否要结束考试？");
    }

    void handInQuestionListsTheUnanswered()
    {
        QFETCH(QString, answered);
        QFETCH(QString, message);
        f->answerRight(answered);
        QString text;
        answerHandIn(Qt::Key_Escape, &text);
        clickControl(exam->lblEndExam);
        QCOMPARE(text, message);
    }

    void handInAnswers_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("handsIn");
        QTest::newRow("enter") << int(Qt::Key_Return) << true;
        QTest::newRow("escape") << int(Qt::Key_Escape) << false;
        QTest::newRow("close box") << 0 << false;
    }

    void handInAnswers()
    {
        QFETCH(int, key);
        QFETCH(bool, handsIn);
        ResultSeen seen;
        whenModal([&](QWidget* question) {
            if (handsIn) {
                chooseOnResult(30, &seen); // the result screen follows the question
            }
            if (key) {
                QTest::keyClick(question, Qt::Key(key));
            } else {
                question->close();
            }
        });
        clickControl(exam->lblEndExam);
        QTRY_COMPARE(seen.screens, handsIn ? 1 : 0);
        QCOMPARE(exam.isNull() || !exam->isVisible(), handsIn);
        if (!handsIn) {
            QVERIFY(exam->Timer->enabled()); // the exam goes on
        }
    }

    void clockHandsInAfterFortyFiveMinutes()
    {
        QCOMPARE(exam->lblTime->caption(), QStringLiteral("剩余时间:45分钟"));
        for (int minute = 1; minute <= 44; ++minute) {
            exam->Timer->OnTimer(exam->Timer);
            QCOMPARE(exam->lblTime->caption(), QStringLiteral("剩余时间:%1分钟").arg(45 - minute));
        }
        QVERIFY(exam->Timer->enabled());
        ResultSeen seen;
        QString timeAtHandIn;
        whenModal([&](QWidget*) { timeAtHandIn = exam->lblTime->caption(); });
        chooseOnResult(30, &seen);
        exam->Timer->OnTimer(exam->Timer);
        QCOMPARE(seen.screens, 1);
        QCOMPARE(timeAtHandIn, QStringLiteral("剩余时间:0分钟"));
        QVERIFY(exam.isNull() || !exam->isVisible());
    }

    void marking_data()
    {
        QTest::addColumn<int>("right");
        QTest::addColumn<bool>("passed");
        QTest::newRow("90") << 90 << true;
        QTest::newRow("89") << 89 << false;
        QTest::newRow("100") << 100 << true;
        QTest::newRow("0") << 0 << false;
    }

    void marking()
    {
        QFETCH(int, right);
        QFETCH(bool, passed);
        f->answerRight(QStringLiteral("TopicNo<=%1").arg(right));
        // The rest answered wrongly: a letter for choice, the other mark for true/false.
        f->exec(
            QStringLiteral("UPDATE T_TopicTmp SET Result=(SELECT CASE a.Result WHEN 'A' THEN 'B' "
                           "WHEN '√' THEN '×' WHEN '×' THEN '√' ELSE 'A' END FROM T_Topic a "
                           "WHERE a.ID=T_TopicTmp.ID) WHERE TopicNo>%1 AND TopicNo<=95")
                .arg(right));
        ResultSeen seen;
        chooseOnResult(30, &seen);
        exam->HandInExam();
        QCOMPARE(seen.right, QString::number(right));
        QCOMPARE(seen.wrong, QString::number(100 - right));
        QCOMPARE(seen.grade, QString::number(right));
        QCOMPARE(seen.passed, passed);
    }

    void reviewMarksWrongAndLocksAnswers()
    {
        f->answerRight(QStringLiteral("TopicNo>2"));
        f->exec(QStringLiteral("UPDATE T_TopicTmp SET Result='' WHERE TopicNo=1"));
        f->exec(QStringLiteral("UPDATE T_TopicTmp SET Result=NULL WHERE TopicNo=2"));
        ResultSeen seen;
        chooseOnResult(20, &seen);
        exam->HandInExam();
        QCOMPARE(seen.right, QStringLiteral("98"));
        QVERIFY(WrongTopicSet.test(1) && WrongTopicSet.test(2));
        QCOMPARE(int(WrongTopicSet.count()), 2);
        QVERIFY(!exam->lblA->isEnabled());
        QVERIFY(!exam->Timer->enabled());
        // The sheet shows the right answers, every question marked as answered.
        QCOMPARE(currentNumber(), 1);
        const QString correct =
            f
                ->scalar(QStringLiteral(
                    "SELECT a.Result FROM T_Topic a, T_TopicTmp b WHERE a.ID=b.ID AND b.TopicNo=1"))
                .toString();
        QCOMPARE(exam->lblResult->caption(), correct);
        QCOMPARE(DM->ADOQuery1.fieldByName(QStringLiteral("TopicNo")).displayText(),
                 QStringLiteral("⊙1"));
        // Wrong panels are painted red, right ones are not.
        const QImage sheet = exam->DBCtrlGrid1->grab().toImage();
        auto redShare = [&](int index) {
            const QRect panel = exam->DBCtrlGrid1->panelRect(index);
            int red = 0;
            for (int y = panel.top(); y <= panel.bottom(); ++y) {
                for (int x = panel.left(); x <= panel.right(); ++x) {
                    red += sheet.pixelColor(x, y) == QColor(Qt::red);
                }
            }
            return 100 * red / (panel.width() * panel.height());
        };
        QVERIFY(redShare(0) > 30);
        QVERIFY(redShare(1) > 30);
        QCOMPARE(redShare(2), 0);
        // Answers cannot be changed; moving still works.
        clickControl(exam->lblB);
        QCOMPARE(f->storedAnswer(1), QString(""));
        clickControl(exam->lblNext);
        QCOMPARE(currentNumber(), 2);
        // The end button closes the screen without asking.
        MessageBoxWatcher boxes;
        clickControl(exam->lblEndExam);
        QVERIFY(exam.isNull() || !exam->isVisible());
        QCOMPARE(boxes.count(), 0);
    }

    void redoStartsAFreshExam()
    {
        clickControl(exam->lblA);
        for (int i = 0; i < 10; ++i) {
            exam->Timer->OnTimer(exam->Timer);
        }
        ResultSeen seen;
        chooseOnResult(10, &seen);
        exam->HandInExam();
        QCOMPARE(exam->lblTime->caption(), QStringLiteral("剩余时间:45分钟"));
        QVERIFY(exam->Timer->enabled());
        QCOMPARE(exam->lblResult->caption(), QString());
        QVERIFY(WrongTopicSet.none());
        QCOMPARE(
            f->count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE Result IS NOT NULL")),
            0);
        QCOMPARE(currentNumber(), 1);
        QVERIFY(exam->lblA->isEnabled());
    }

    void resultScreenClosedWithoutChoiceLeavesTheExamStopped()
    {
        whenModal([](QWidget* modal) { modal->close(); });
        exam->HandInExam();
        QVERIFY(exam->isVisible());
        QVERIFY(!exam->Timer->enabled());
        clickControl(exam->lblB);
        QCOMPARE(f->storedAnswer(1), QStringLiteral("B"));
    }

    void clockRunningOutClosesTheOpenQuestion()
    {
        for (int minute = 1; minute <= 44; ++minute) {
            exam->Timer->OnTimer(exam->Timer);
        }
        ResultSeen seen;
        bool questionGone = false;
        whenModal([&](QWidget* question) {
            QVERIFY(qobject_cast<TMessageForm*>(question));
            // Time runs out while the candidate thinks about the question.
            whenModal([&](QWidget*) { questionGone = !question->isVisible(); });
            chooseOnResult(10, &seen);
            exam->Timer->OnTimer(exam->Timer);
        });
        clickControl(exam->lblEndExam);
        QVERIFY(questionGone);
        // One hand-in only: the new exam that the redo started is running, unmarked.
        QCOMPARE(seen.screens, 1);
        QVERIFY(exam->isVisible());
        QVERIFY(exam->Timer->enabled());
        QCOMPARE(exam->lblTime->caption(), QStringLiteral("剩余时间:45分钟"));
    }

    void failedPostIsReportedAndTheExamGoesOn()
    {
        f->exec(QStringLiteral(
            "CREATE TRIGGER readonly BEFORE UPDATE OF Result ON T_TopicTmp "
            "BEGIN SELECT RAISE(ABORT, 'attempt to write a readonly database'); END"));
        MessageBoxWatcher boxes;
        clickControl(exam->lblC);
        QTRY_COMPARE(boxes.count(), 1);
        QVERIFY(boxes.texts[0].contains(QStringLiteral("readonly")));
        QCOMPARE(boxes.titles[0], QStringLiteral("Taviro"));
        QVERIFY(
            f->scalar(QStringLiteral("SELECT Result FROM T_TopicTmp WHERE TopicNo=1")).isNull());
        QCOMPARE(exam->lblResult->caption(), QString()); // nothing shows as recorded
        // Both handlers are attached: moving the paper moves the sheet, and back.
        clickControl(exam->lblNext);
        QCOMPARE(DM->ADOQuery1.fieldByName(QStringLiteral("TopicNo")).asInteger(), 2);
        QVERIFY(exam->lblContent->caption().startsWith(QStringLiteral("第2题")));
        const QRect panel = exam->DBCtrlGrid1->panelRect(4);
        clickWindowAt(exam, exam->DBCtrlGrid1->mapTo(exam, panel.center()));
        QCOMPARE(currentNumber(), 5);
    }

    void answersSurviveAKilledProgram()
    {
        exam->close();
        settle();
        int checked = 0;
        for (int run = 0; run < 5; ++run) {
            QProcess child;
            child.setProgram(QStringLiteral(TAVIRO_EXAM_CHILD));
            child.setArguments({f->folder.path(), QString::number(10 + run * 7)});
            child.setProcessEnvironment([] {
                auto env = QProcessEnvironment::systemEnvironment();
                env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
                return env;
            }());
            child.start();
            QVERIFY(child.waitForStarted());
            QStringList answered;
            while (answered.size() < 10 + run * 7) {
                QVERIFY(child.waitForReadyRead(20000));
                while (child.canReadLine()) {
                    answered << QString::fromUtf8(child.readLine()).trimmed();
                }
            }
            // Killed the moment it said the answers were given.
            ::kill(pid_t(child.processId()), SIGKILL);
            child.waitForFinished();
            for (const QString& line : std::as_const(answered)) {
                const QStringList parts = line.split(QLatin1Char(' '));
                QCOMPARE(parts.size(), 2);
                QCOMPARE(f->storedAnswer(parts[0].toInt()), parts[1]);
                ++checked;
            }
        }
        QVERIFY(checked >= 50);
    }
};

TAVIRO_TEST_MAIN(TestExamRun)
#include "tst_examrun.moc"
