// Subject four's exam driven through its screen: answers of its three kinds, the clock's
// hand-in at 30 minutes, the marking at 2 points, the review, the clip in the picture's
// place, and a bank without its questions.
#include "data/BankSchema.h"
#include "exam/Unt_MoLiKaoShiPingFen.h"
#include "exam/Unt_SafeExam.h"
#include "sharedscreens/ExplainNote.h"
#include "tests/support/ExamSupport.h"
#include "tests/support/MessageBoxWatcher.h"
#include "toolkit/MediaPlayer.h"

#include <QMessageBox>

using namespace testing;

namespace {

int currentNumber()
{
    return DM->ADOQryTopic.fieldByName(QStringLiteral("TopicNo")).asInteger();
}

void goTo(int number)
{
    QVERIFY(DM->ADOQryTopic.locate(QStringLiteral("TopicNo"), number));
}

// The paper's numbers 1 to 20 are statements, 21 to 40 single choices, 41 to 50
// multiple answers, as the plan draws them.
constexpr int kStatement = 1;
constexpr int kSingle = 21;
constexpr int kMultiple = 41;

} // namespace

class TestSafeExam : public QObject
{
    Q_OBJECT

    std::unique_ptr<ExamFixture> f;
    QPointer<TFrm_SafeExam> exam;

    void start(int perCell = 4)
    {
        exam = f->showSafeExam(perCell);
        QVERIFY(QTest::qWaitForWindowExposed(exam));
    }

    QString stored(int number) const
    {
        return f
            ->scalar(QStringLiteral("SELECT Result FROM T_SafePaper WHERE TopicNo=%1").arg(number))
            .toString();
    }

    void click(int letter) { clickControl(exam->Keys->lblKey[size_t(letter - 'A')]); }

    QString downKeys() const
    {
        QString down;
        for (int i = 0; i < 4; ++i) {
            down += exam->Keys->imgDown[size_t(i)]->isVisible() ? QChar(u'A' + i) : QChar(u'-');
        }
        return down;
    }

private slots:
    void init() { f = std::make_unique<ExamFixture>(planBank(1)); }

    void cleanup()
    {
        checkModalActions();
        ExamFixture::closeExam(exam);
        f.reset();
        QVERIFY2(visibleWindows().isEmpty(), "a window was left open");
    }

    void answersOfEachKind()
    {
        start();
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_SafePaper")), 50);
        QCOMPARE(exam->lblTime->caption(), QStringLiteral("剩余时间:30分钟"));
        MessageBoxWatcher boxes;

        goTo(kStatement);
        QVERIFY(exam->Keys->imgvx->isVisible());
        QVERIFY(!exam->Keys->lblKey[1]->isVisible() && !exam->Keys->lblKey[3]->isVisible());
        QVERIFY(!exam->Keys->sbtnConfirm->isEnabled());
        click('A');
        QCOMPARE(stored(kStatement), QStringLiteral("√"));
        click('C');
        QCOMPARE(stored(kStatement), QStringLiteral("×"));

        goTo(kSingle);
        QVERIFY(exam->lblContent->caption().startsWith(
            QStringLiteral("第21题 (请从下列ABCD中选择出该题的正确答案)")));
        click('B');
        click('D');
        QCOMPARE(stored(kSingle), QStringLiteral("D"));
        QCOMPARE(exam->Keys->lblResult->caption(), QStringLiteral("D"));
        QCOMPARE(downKeys(), QStringLiteral("----")); // a single choice toggles nothing

        // A multiple answer: toggled in any order, stored only when confirmed, ascending.
        goTo(kMultiple);
        QVERIFY(exam->lblContent->caption().startsWith(QStringLiteral("第41题 (多选题")));
        QVERIFY(exam->Keys->lblKey[3]->isVisible() && !exam->Keys->imgvx->isVisible());
        for (int letter : {'D', 'B', 'A', 'B', 'C'}) {
            click(letter);
        }
        QCOMPARE(downKeys(), QStringLiteral("A-CD"));
        QCOMPARE(stored(kMultiple), QString());
        clickControl(exam->Keys->sbtnConfirm);
        QCOMPARE(stored(kMultiple), QStringLiteral("ACD"));
        QCOMPARE(exam->Keys->lblResult->caption(), QStringLiteral("ACD"));
        QCOMPARE(DM->ADOQuery1.fieldByName(QStringLiteral("TopicNo")).displayText(),
                 QStringLiteral("⊙41"));
        // Changed to two letters, then refused with one: the two stay, said on the screen.
        click('D');
        clickControl(exam->Keys->sbtnConfirm);
        QCOMPARE(stored(kMultiple), QStringLiteral("AC"));
        click('C');
        clickControl(exam->Keys->sbtnConfirm);
        QCOMPARE(stored(kMultiple), QStringLiteral("AC"));
        QVERIFY(exam->Keys->lblHint->caption().contains(QStringLiteral("至少要选两个")));
        // Back on the question, its stored letters are the keys held down.
        clickControl(exam->lblNext);
        QCOMPARE(downKeys(), QStringLiteral("----"));
        clickControl(exam->lblPrior);
        QCOMPARE(currentNumber(), kMultiple);
        QCOMPARE(downKeys(), QStringLiteral("A-C-"));
        // A click on the sheet's panel of question 21 (column 2, row 0).
        const QRect panel = exam->DBCtrlGrid1->panelRect(20);
        clickWindowAt(exam, exam->DBCtrlGrid1->mapTo(exam, panel.center()));
        QCOMPARE(currentNumber(), kSingle);
        QCOMPARE(exam->Keys->lblResult->caption(), QStringLiteral("D"));
        QCOMPARE(boxes.count(), 0);
    }

    void clockHandsInAtThirtyMinutes_data()
    {
        QTest::addColumn<int>("right");
        QTest::addColumn<QString>("grade");
        QTest::addColumn<bool>("passed");
        QTest::newRow("45 right") << 45 << QStringLiteral("90") << true;
        QTest::newRow("44 right") << 44 << QStringLiteral("88") << false;
    }

    void clockHandsInAtThirtyMinutes()
    {
        QFETCH(int, right);
        QFETCH(QString, grade);
        QFETCH(bool, passed);
        start();
        // The rest of the multiple answers in another order: not well formed, so wrong.
        f->exec(QStringLiteral("UPDATE T_SafePaper SET Result=(SELECT Result FROM T_SafeTopic t "
                               "WHERE t.ID=T_SafePaper.ID) WHERE TopicNo<=%1")
                    .arg(right));
        f->exec(QStringLiteral("UPDATE T_SafePaper SET Result='DCA' WHERE TopicNo>%1").arg(right));
        for (int minute = 1; minute <= 29; ++minute) {
            exam->Timer->OnTimer(exam->Timer);
        }
        QCOMPARE(exam->lblTime->caption(), QStringLiteral("剩余时间:1分钟"));
        QVERIFY(exam->Timer->enabled());
        QString seenRight, seenWrong, seenGrade;
        bool seenPassed = false;
        whenModal([&](QWidget* modal) {
            // No question comes first: the result screen is the first window.
            auto* result = qobject_cast<TFrm_MoLiKaoShiPingFen*>(modal);
            QVERIFY2(result, "no result screen");
            seenRight = result->lblRight->caption();
            seenWrong = result->lblError->caption();
            seenGrade = result->lblGrade->caption();
            seenPassed = result->imgPingYu->isVisible();
            clickControl(result->sbtnTuiChu);
        });
        exam->Timer->OnTimer(exam->Timer);
        QCOMPARE(seenRight, QString::number(right));
        QCOMPARE(seenWrong, QString::number(50 - right));
        QCOMPARE(seenGrade, grade);
        QCOMPARE(seenPassed, passed);
        QVERIFY(exam.isNull() || !exam->isVisible());
        QCOMPARE(f->scalar(QStringLiteral("SELECT Score||'/'||Passed||'/'||CandidateNo FROM "
                                          "T_ExamHistory WHERE Subject=4"))
                     .toString(),
                 grade + QStringLiteral("/%1/44").arg(passed ? 1 : 0));
    }

    void reviewShowsTheAnswersAndTakesNone()
    {
        start();
        goTo(kStatement);
        click('C'); // right: ×
        goTo(kSingle);
        click('C'); // wrong: B
        goTo(kMultiple);
        click('A');
        click('C');
        clickControl(exam->Keys->sbtnConfirm); // wrong: ACD
        whenModal([](QWidget* modal) {
            clickControl(qobject_cast<TFrm_MoLiKaoShiPingFen*>(modal)->sbtnJiaoDui);
        });
        exam->HandInExam();
        QVERIFY(exam->reviewing());
        QVERIFY(!exam->Timer->enabled());
        // Red: the two wrong ones and the 47 not answered.
        QCOMPARE(int(exam->WrongTopics.count()), 49);
        QVERIFY(!exam->WrongTopics.test(kStatement));
        QVERIFY(exam->WrongTopics.test(kSingle) && exam->WrongTopics.test(kMultiple));

        QCOMPARE(currentNumber(), 1);
        const QString note = exam->lblJieXi->text();
        QVERIFY2(note.startsWith(QStringLiteral("正确答案：×\n解析：第")), qPrintable(note));
        QVERIFY(note.contains(QStringLiteral("依据：《道路交通安全法实施条例》")));
        goTo(kMultiple);
        QCOMPARE(exam->Keys->lblResult->caption(), QStringLiteral("AC"));
        QVERIFY(exam->lblJieXi->text().startsWith(QStringLiteral("正确答案：ACD　您的答案：AC\n")));
        QCOMPARE(DM->ADOQuery1.fieldByName(QStringLiteral("TopicNo")).displayText(),
                 QStringLiteral("⊙41"));
        goTo(2);
        QVERIFY(exam->lblJieXi->text().startsWith(QStringLiteral("正确答案：×　您的答案：未答")));
        QCOMPARE(DM->ADOQuery1.fieldByName(QStringLiteral("TopicNo")).displayText(),
                 QStringLiteral("○2"));
        // No answer can be given or changed; the end button closes without asking.
        goTo(kMultiple);
        QVERIFY(!exam->Keys->lblKey[1]->isEnabled() && !exam->Keys->sbtnConfirm->isEnabled());
        click('B');
        exam->Keys->keyClick(1);
        exam->Keys->confirmClick();
        QCOMPARE(stored(kMultiple), QStringLiteral("AC"));
        const QImage sheet = exam->DBCtrlGrid1->grab().toImage();
        const auto red = [&](int index) {
            const QPoint centre = exam->DBCtrlGrid1->panelRect(index).topLeft() + QPoint(80, 4);
            return sheet.pixelColor(centre) == QColor(Qt::red);
        };
        QVERIFY(red(kMultiple - 1) && red(1) && !red(kStatement - 1));
        MessageBoxWatcher boxes;
        clickControl(exam->lblEndExam);
        QVERIFY(exam.isNull() || !exam->isVisible());
        QCOMPARE(boxes.count(), 0);
    }

    void clipPlaysInThePicturesPlace_data()
    {
        QTest::addColumn<bool>("playable");
        QTest::newRow("a clip") << true;
        QTest::newRow("a damaged clip") << false;
    }

    void clipPlaysInThePicturesPlace()
    {
        QFETCH(bool, playable);
        f->folder.exec(safeBankSql(4));
        // Every question has a picture and a clip.
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        f->exec(QStringLiteral("UPDATE T_SafeTopic SET Picture=X'%1', Clip=%2")
                    .arg(QString::fromLatin1(pictureBlob(picture, false).toHex()),
                         playable ? playableClipLiteral()
                                  : QStringLiteral("X'52494646000100004156492000'")));
        MessageBoxWatcher boxes;
        start(0);
        QCOMPARE(!exam->imgClip->isHidden(), playable);
        QCOMPARE(exam->DBImage1->isVisible(), !playable);
        if (playable) {
            MediaPlayer* player = exam->imgClip->player();
            QTRY_COMPARE(player->mode(), MediaPlayer::Mode::Stopped); // it ran to its end
            clickControl(exam->imgClip);
            QCOMPARE(player->mode(), MediaPlayer::Mode::Playing);
        }
        clickControl(exam->lblNext);
        QCOMPARE(!exam->imgClip->isHidden(), playable);
        QCOMPARE(boxes.count(), 0);
    }

    void bankWithoutSubjectFourSaysSoAndCloses()
    {
        QString text;
        answerMessageBox(QMessageBox::Ok, &text);
        exam = new TFrm_SafeExam(nullptr);
        exam->show();
        QTRY_VERIFY(exam.isNull() || !exam->isVisible());
        QVERIFY2(text.startsWith(QStringLiteral("题库中还没有科目四的题目。")), qPrintable(text));
        // Nothing was drawn or migrated.
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_SafePaper")), 0);
        QCOMPARE(f->count(QStringLiteral("PRAGMA user_version")), BankSchema::kUserVersion);
    }
};

TAVIRO_TEST_MAIN(TestSafeExam)
#include "tst_safeexam.moc"
