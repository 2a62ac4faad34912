// Sequential practice driven as a learner drives it: clicks at the controls' places on
// the shown screen, over a bank of choice and true/false questions with good and damaged
// pictures.
#include "app/MainUnit.h"
#include "data/Clock.h"
#include "data/DMUnit.h"
#include "exampaper/StudyRecord.h"
#include "practice/Unt_JianPan.h"
#include "practice/Unt_ShunXuLianXi.h"
#include "sharedscreens/ExplainNote.h"
#include "sharedscreens/ScreenParts.h"
#include "sharedscreens/Unt_Wait.h"
#include "tests/support/ExamSupport.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/TestSupport.h"
#include "toolkit/AppDir.h"
#include "toolkit/MediaPlayer.h"
#include "toolkit/Resources.h"
#include "tools/bank/BankBuilder.h"

#include <QPointer>
#include <QtEndian>
#include <algorithm>

using namespace testing;

namespace {

struct QuietHost : TDM::Host
{
    void connectionFailed() override { QFAIL("the test bank cannot be opened"); }
};

QImage picture()
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(30, 160, 60));
    return image;
}

std::vector<BankRow> practiceBank()
{
    std::vector<BankRow> rows = {
        choiceRow(1, QStringLiteral("实习期是多长？"), QStringLiteral("B")),
        choiceRow(2, QStringLiteral("最高车速是多少？"), QStringLiteral(" b\t")),
        trueFalseRow(3, QStringLiteral("如图，这个标志表示禁止驶入。"), QStringLiteral("√")),
        trueFalseRow(4, QStringLiteral("饮酒后可以驾驶机动车。"), QStringLiteral("×")),
        choiceRow(5, QStringLiteral("截断的图片"), QStringLiteral("D")),
        choiceRow(6, QStringLiteral("不是位图的图片"), QStringLiteral("A")),
        choiceRow(7, QStringLiteral("尺寸虚报的图片"), QStringLiteral("C")),
    };
    rows[2].picture = pictureBlob(picture(), true);
    const QByteArray good = pictureBlob(picture(), false);
    rows[4].picture = good.left(good.size() - 100);
    rows[5].picture = QByteArray("GIF89a not a bitmap at all");
    QByteArray liar = good;
    qToLittleEndian<qint32>(4000, liar.data() + 18);
    qToLittleEndian<qint32>(3000, liar.data() + 22);
    rows[6].picture = liar;
    for (int id = 8; id <= 12; ++id) {
        rows.push_back(choiceRow(id, QStringLiteral("第%1道练习题").arg(id), QStringLiteral("A")));
    }
    return rows;
}

std::vector<BankRow> allAnswerA(int count)
{
    std::vector<BankRow> rows;
    for (int id = 1; id <= count; ++id) {
        rows.push_back(choiceRow(id, QStringLiteral("题%1").arg(id), QStringLiteral("A")));
    }
    return rows;
}

// Watches the wait screens that show: the last position and maximum of each one's bar
// just before the screen goes.
class WaitWatcher : public QObject
{
public:
    WaitWatcher() { qApp->installEventFilter(this); }
    ~WaitWatcher() override { qApp->removeEventFilter(this); }

    QList<QPair<int, int>> finalPositions;
    QList<int> positions;
    QList<bool> withFrame; // at each step, whether the clock showed a frame

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* wait = qobject_cast<TFrm_Wait*>(watched);
        if (wait && event->type() == QEvent::Show) {
            ProgressBar* bar = wait->pb;
            connect(bar, &QProgressBar::valueChanged, this, [this, wait](int v) {
                positions << v;
                withFrame << !wait->MediaPlayer1->currentFrame().isNull();
            });
            connect(wait, &QObject::destroyed, this, [this, bar] {
                Q_UNUSED(bar);
                finalPositions << m_last;
            });
            connect(bar, &QProgressBar::valueChanged, this, [this, bar](int v) {
                m_last = {v, bar->maximum()};
            });
        }
        return false;
    }

private:
    QPair<int, int> m_last{-1, -1};
};

} // namespace

class TestPractice : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFolder> m_folder;
    FixedClock m_clock{QDate(2026, 3, 3)};
    QuietHost m_host;
    QPointer<TFrm_ShunXuLianXi> m_screen;

    void useBank(const std::vector<BankRow>& rows)
    {
        delete DM;
        m_folder->writeBank(rows);
        DM = new TDM(m_folder->path(), m_clock, m_host);
        DM->DataModuleCreate();
    }

    TFrm_ShunXuLianXi* openScreen()
    {
        m_screen = new TFrm_ShunXuLianXi();
        m_screen->show();
        return m_screen;
    }

    void closeScreen()
    {
        clickControl(m_screen->sbtnReturn);
        settle();
        QVERIFY(!m_screen);
        QVERIFY(!DM->ADOQryTopic.active());
    }

    QString numberLine() const { return m_screen->DBText1->text(); }

    // The number typed on the keypad, then OK.
    void jump(const QString& digits)
    {
        whenModal([&](QWidget* modal) {
            auto* pad = qobject_cast<TFrm_JianPan*>(modal);
            QVERIFY(pad);
            for (const QChar d : digits) {
                clickControl(pad->findChild<FlatButton*>(QStringLiteral("sbtn") + d));
            }
            clickControl(pad->sbtnOK);
        });
        clickControl(m_screen->sbtnLuRu);
        settle();
    }

    bool showsMark(const QString& file) const
    {
        return m_screen->imgResult->image() == QImage(m_folder->file(file));
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<AppFolder>();
        for (const char* name : {"Yes.bmp", "No.bmp", "CLOCK.AVI"}) {
            m_folder->copyFromBuild(QString::fromLatin1(name));
        }
        setApplicationDirectory(m_folder->path());
        Application::setTitle(QStringLiteral("Taviro"));
        useBank(practiceBank());
    }

    void cleanup()
    {
        checkModalActions();
        if (m_screen) {
            m_screen->close();
        }
        settle();
        QVERIFY(!m_screen);
        QVERIFY(!Frm_Wait);
        delete DM;
        DM = nullptr;
        m_folder.reset();
        QVERIFY(visibleWindows().isEmpty());
    }

    void opensFromTheMainMenu()
    {
        MainForm = new TMainForm();
        MainForm->show();
        QString seen;
        whenModal([&](QWidget* modal) {
            m_screen = qobject_cast<TFrm_ShunXuLianXi*>(modal);
            QVERIFY(m_screen);
            seen = numberLine();
            clickControl(m_screen->sbtnReturn);
        });
        clickControl(MainForm->lblShunXuLianXi);
        QCOMPARE(seen, QStringLiteral("第1题 (请从下列ABCD中选择出该题的正确答案)"));
        settle();
        QVERIFY(!m_screen);
        delete MainForm;
        MainForm = nullptr;
    }

    void loadsBehindAFullWaitScreen()
    {
        WaitWatcher watcher;
        MessageBoxWatcher boxes;
        openScreen();
        QCOMPARE(watcher.finalPositions, (QList<QPair<int, int>>{{10, 10}}));
        QCOMPARE(watcher.positions, (QList<int>{8, 9, 10}));
        QCOMPARE(watcher.withFrame, (QList<bool>{true, true, true}));
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(m_screen->lblTiHao->caption(), QStringLiteral("1"));
        QCOMPARE(m_screen->lbllv->caption(), QString());
        QCOMPARE(m_screen->lblAddress->caption(), loadStr(StringId::Contact));
        closeScreen();
    }

    void missingClipIsReportedOnceAndTheBankStillLoads()
    {
        QFile::remove(m_folder->file(QStringLiteral("CLOCK.AVI")));
        MessageBoxWatcher boxes;
        WaitWatcher watcher;
        openScreen();
        QCOMPARE(boxes.count(), 1);
        QVERIFY(boxes.texts[0].contains(QStringLiteral("CLOCK.AVI")));
        QCOMPARE(watcher.finalPositions, (QList<QPair<int, int>>{{10, 10}}));
        QCOMPARE(numberLine(), QStringLiteral("第1题 (请从下列ABCD中选择出该题的正确答案)"));
        closeScreen();
    }

    void numberLineAndAnswerAreaFollowTheQuestionKind()
    {
        openScreen();
        QVERIFY(m_screen->sbtnD->isVisible());
        QVERIFY(!m_screen->imgvx->isVisible());
        QVERIFY(!m_screen->DBImage1->isVisible());
        clickControl(m_screen->sbtnXia);
        clickControl(m_screen->sbtnXia);
        QCOMPARE(numberLine(), QStringLiteral("第3题 (请判断该题的正确性)"));
        QVERIFY(m_screen->imgvx->isVisible());
        QVERIFY(!m_screen->sbtnD->isVisible());
        QVERIFY(m_screen->sbtnA->isVisible() && m_screen->sbtnB->isVisible());
        QVERIFY(m_screen->DBImage1->isVisible());
        QCOMPARE(m_screen->DBImage1->picture().size(), QSize(40, 30));
        clickControl(m_screen->sbtnShang);
        QCOMPARE(numberLine(), QStringLiteral("第2题 (请从下列ABCD中选择出该题的正确答案)"));
        QVERIFY(!m_screen->imgvx->isVisible());
        QVERIFY(!m_screen->DBImage1->isVisible());
        closeScreen();
    }

    void trueFalseAnswersAndTheDeadBArea()
    {
        openScreen();
        jump(QStringLiteral("3"));     // "√"
        clickControl(m_screen->sbtnB); // lies under the strip: nothing happens
        QVERIFY(m_screen->imgResult->isEmpty());
        QCOMPARE(AnsweredCount, 0);
        QVERIFY(FirstTry);
        clickControl(m_screen->sbtnC);
        QVERIFY(showsMark(QStringLiteral("No.bmp")));
        clickControl(m_screen->sbtnA);
        QVERIFY(showsMark(QStringLiteral("Yes.bmp")));
        QCOMPARE(AnsweredCount, 1);
        QCOMPARE(RightCount, 0); // the first try was the wrong one

        clickControl(m_screen->sbtnXia); // "×"
        QVERIFY(m_screen->imgResult->isEmpty());
        clickControl(m_screen->sbtnC);
        QVERIFY(showsMark(QStringLiteral("Yes.bmp")));
        QCOMPARE(RightCount, 1);
        clickControl(m_screen->sbtnA);
        QVERIFY(showsMark(QStringLiteral("No.bmp")));
        QCOMPARE(m_screen->lbllv->caption(), QStringLiteral("50"));
        closeScreen();
    }

    void storedAnswerIsTrimmedAndUpperCased()
    {
        openScreen();
        clickControl(m_screen->sbtnXia); // " b\t"
        clickControl(m_screen->sbtnB);
        QVERIFY(showsMark(QStringLiteral("Yes.bmp")));
        QCOMPARE(RightCount, 1);
        QCOMPARE(m_screen->lbllv->caption(), QStringLiteral("100"));
        closeScreen();
    }

    void rateRoundsHalvesToEven_data()
    {
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("answered");
        QTest::addColumn<QString>("shown");
        QTest::newRow("1 of 8") << 1 << 8 << QStringLiteral("12");
        QTest::newRow("3 of 8") << 3 << 8 << QStringLiteral("38");
        QTest::newRow("2 of 3") << 2 << 3 << QStringLiteral("67");
    }

    void rateRoundsHalvesToEven()
    {
        QFETCH(int, right);
        QFETCH(int, answered);
        QFETCH(QString, shown);
        useBank(allAnswerA(answered));
        openScreen();
        for (int i = 0; i < answered; ++i) {
            clickControl(i < right ? m_screen->sbtnA : m_screen->sbtnD);
            clickControl(m_screen->sbtnXia);
        }
        QCOMPARE(AnsweredCount, answered);
        QCOMPARE(RightCount, right);
        QCOMPARE(m_screen->lbllv->caption(), shown);
        closeScreen();
    }

    void rateArithmetic()
    {
        const struct
        {
            int right, answered, rate;
        } cases[] = {{1, 8, 12},
                     {3, 8, 38},
                     {5, 8, 62},
                     {7, 8, 88},
                     {2, 3, 67},
                     {1, 3, 33},
                     {0, 1, 0},
                     {1, 1, 100},
                     {7, 40, 18},
                     {1, 200, 0},
                     {3, 200, 2},
                     {0, 0, 0},
                     {2147483647, 2147483647, 100}};
        for (const auto& c : cases) {
            QCOMPARE(firstTryRate(c.right, c.answered), c.rate);
        }
    }

    void onlyTheFirstTryAfterNextCounts()
    {
        openScreen();
        // Two clicks on one question: the first counts, the second only replaces the mark.
        clickControl(m_screen->sbtnA); // wrong, "B" is right
        clickControl(m_screen->sbtnB);
        QCOMPARE(AnsweredCount, 1);
        QCOMPARE(RightCount, 0);
        QCOMPARE(m_screen->lbllv->caption(), QStringLiteral("0"));

        // Prior and a jump do not start a new first try.
        clickControl(m_screen->sbtnXia);
        clickControl(m_screen->sbtnShang);
        clickControl(m_screen->sbtnB); // right, counted: Next came before
        QCOMPARE(AnsweredCount, 2);
        QCOMPARE(RightCount, 1);
        clickControl(m_screen->sbtnShang);
        clickControl(m_screen->sbtnB);
        QCOMPARE(AnsweredCount, 2);
        jump(QStringLiteral("8"));
        clickControl(m_screen->sbtnA);
        QCOMPARE(AnsweredCount, 2);
        QCOMPARE(m_screen->lbllv->caption(), QStringLiteral("50"));

        // Without an answer since Next, the next answer counts wherever it is given.
        clickControl(m_screen->sbtnXia);
        jump(QStringLiteral("1"));
        clickControl(m_screen->sbtnShang); // already first: stays
        QCOMPARE(numberLine(), QStringLiteral("第1题 (请从下列ABCD中选择出该题的正确答案)"));
        clickControl(m_screen->sbtnB);
        QCOMPARE(AnsweredCount, 3);
        QCOMPARE(RightCount, 2);
        closeScreen();
    }

    void nextOnTheLastQuestionStaysAndCountsAgain()
    {
        openScreen();
        jump(QStringLiteral("12"));
        clickControl(m_screen->sbtnA);
        QCOMPARE(AnsweredCount, 1);
        clickControl(m_screen->sbtnXia);
        QCOMPARE(numberLine(), QStringLiteral("第12题 (请从下列ABCD中选择出该题的正确答案)"));
        QVERIFY(FirstTry);
        clickControl(m_screen->sbtnA);
        QCOMPARE(AnsweredCount, 2);
        QCOMPARE(RightCount, 2);
        closeScreen();
    }

    void keypadJumps()
    {
        openScreen();
        QPoint placed;
        whenModal([&](QWidget* modal) {
            placed = modal->pos();
            auto* pad = qobject_cast<TFrm_JianPan*>(modal);
            QCOMPARE(m_screen->lblTiHao->caption(), QString()); // cleared for typing
            clickControl(pad->sbtn0);
            clickControl(pad->sbtn0);
            clickControl(pad->sbtn7);
            QCOMPARE(m_screen->lblTiHao->caption(), QStringLiteral("007"));
            clickControl(pad->sbtnOK);
        });
        clickControl(m_screen->sbtnLuRu);
        QCOMPARE(placed, m_screen->pos() + QPoint(731 - 245, 19 + 35));
        QCOMPARE(numberLine(), QStringLiteral("第7题 (请从下列ABCD中选择出该题的正确答案)"));

        jump(QString()); // OK alone means question 1
        QCOMPARE(m_screen->lblTiHao->caption(), QStringLiteral("1"));
        QCOMPARE(numberLine(), QStringLiteral("第1题 (请从下列ABCD中选择出该题的正确答案)"));

        // A number no question has stays in the box, and the line under the buttons says
        // so without a box to close, until another question is shown.
        MessageBoxWatcher boxes;
        jump(QStringLiteral("999"));
        QCOMPARE(m_screen->lblTiHao->caption(), QStringLiteral("999"));
        QCOMPARE(numberLine(), QStringLiteral("第1题 (请从下列ABCD中选择出该题的正确答案)"));
        QVERIFY(m_screen->lblHint->isVisible());
        QVERIFY(m_screen->lblHint->caption().startsWith(QStringLiteral("没有第999题：本练习共")));
        const QString thirty(30, QLatin1Char('4'));
        jump(thirty);
        QCOMPARE(m_screen->lblTiHao->caption(), thirty);
        QCOMPARE(numberLine(), QStringLiteral("第1题 (请从下列ABCD中选择出该题的正确答案)"));
        QVERIFY(m_screen->lblHint->caption().startsWith(QStringLiteral("没有这个题号：")));
        jump(QStringLiteral("2"));
        QVERIFY(!m_screen->lblHint->isVisible());
        settle();
        QCOMPARE(boxes.count(), 0);
        closeScreen();
    }

    void damagedPicturesShowNothing()
    {
        MessageBoxWatcher boxes;
        openScreen();
        for (const char* id : {"5", "6", "7"}) {
            jump(QString::fromLatin1(id));
            QVERIFY(m_screen->DBImage1->isVisible()); // a picture is stored
            QVERIFY(m_screen->DBImage1->picture().isNull());
            m_screen->grab(); // painting it is harmless
        }
        QCOMPARE(boxes.count(), 0);
        closeScreen();
    }

    void missingMarkIsReportedAndNotCounted_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("button");
        QTest::newRow("Yes.bmp") << QStringLiteral("Yes.bmp") << QStringLiteral("sbtnB");
        QTest::newRow("No.bmp") << QStringLiteral("No.bmp") << QStringLiteral("sbtnC");
    }

    void missingMarkIsReportedAndNotCounted()
    {
        QFETCH(QString, missing);
        QFETCH(QString, button);
        QFile::remove(m_folder->file(missing));
        openScreen();
        MessageBoxWatcher boxes;
        clickControl(m_screen->findChild<FlatButton*>(button));
        QCOMPARE(boxes.count(), 1);
        QVERIFY(boxes.texts[0].contains(missing));
        QCOMPARE(AnsweredCount, 0);
        QCOMPARE(RightCount, 0);
        QVERIFY(FirstTry);
        QCOMPARE(m_screen->lbllv->caption(), QString());
        closeScreen();
    }

    void emptyBankCountsNothing()
    {
        useBank({});
        MessageBoxWatcher boxes;
        openScreen();
        QVERIFY(m_screen->isVisible());
        QCOMPARE(numberLine(), QString());
        for (FlatButton* b : {m_screen->sbtnA, m_screen->sbtnB, m_screen->sbtnC, m_screen->sbtnD,
                              m_screen->sbtnXia, m_screen->sbtnShang}) {
            clickControl(b);
        }
        jump(QStringLiteral("1"));
        QCOMPARE(AnsweredCount, 0);
        QCOMPARE(m_screen->lbllv->caption(), QString());
        QCOMPARE(boxes.count(), 0);
        closeScreen();
    }

    // Subject four's questions 1 to 7 are single choices (B), 8 to 14 statements (×), 15
    // to 21 multiple answers (ACD); its book holds 15 and 16, subject one's book 15.
    void subjectFourMultipleAnswersAreMarkedWhenConfirmed_data()
    {
        QTest::addColumn<bool>("book");
        QTest::newRow("sequential") << false;
        QTest::newRow("wrong-question book") << true;
    }

    void subjectFourMultipleAnswersAreMarkedWhenConfirmed()
    {
        QFETCH(bool, book);
        m_folder->exec(safeBankSql(1));
        QString error;
        QVERIFY2(StudyRecord::upgradeSchema(DM->ADOCon, &error), qPrintable(error));
        m_folder->exec(QStringLiteral("INSERT INTO T_WrongBook (Subject, ID, Misses) VALUES "
                                      "(4, 15, 1), (4, 16, 1), (1, 15, 1)"));
        const auto inBook = [&](int subject, int id) {
            return m_folder
                       ->scalar(QStringLiteral("SELECT COUNT(*) FROM T_WrongBook WHERE "
                                               "Subject=%1 AND ID=%2")
                                    .arg(subject)
                                    .arg(id))
                       .toInt() == 1;
        };
        m_screen = new TFrm_ShunXuLianXi();
        m_screen->setFormat(subjectFour());
        m_screen->WrongBook = book;
        m_screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_screen));
        QVERIFY(m_screen->imgSafeTitle->isVisible() && !m_screen->imgCuoTi->isVisible());
        if (!book) {
            QVERIFY(!m_screen->sbtnConfirm->isEnabled()); // a single choice needs none
            jump(QStringLiteral("8"));
            QVERIFY(m_screen->imgvx->isVisible() && !m_screen->sbtnD->isVisible());
            clickControl(m_screen->sbtnC);
            QVERIFY(showsMark(QStringLiteral("Yes.bmp")));
            clickControl(m_screen->sbtnXia);
            jump(QStringLiteral("15"));
        }
        QVERIFY(numberLine().startsWith(QStringLiteral("第15题 (多选题")));
        const int before = AnsweredCount;
        const auto down = [&] {
            QString letters;
            for (int i = 0; i < 4; ++i) {
                letters += m_screen->imgDown[size_t(i)]->isVisible() ? QChar(u'A' + i) : u'-';
            }
            return letters;
        };
        for (FlatButton* key : {m_screen->sbtnD, m_screen->sbtnA, m_screen->sbtnB, m_screen->sbtnC,
                                m_screen->sbtnB}) {
            clickControl(key);
        }
        QCOMPARE(down(), QStringLiteral("A-CD"));
        QVERIFY(m_screen->imgResult->isEmpty());
        QCOMPARE(AnsweredCount, before);
        clickControl(m_screen->sbtnConfirm);
        QVERIFY(showsMark(QStringLiteral("Yes.bmp")));
        QCOMPARE(AnsweredCount, before + 1);
        QCOMPARE(inBook(4, 15), !book);
        QVERIFY(inBook(1, 15));

        clickControl(m_screen->sbtnXia); // 16
        QCOMPARE(down(), QStringLiteral("----"));
        clickControl(m_screen->sbtnA);
        clickControl(m_screen->sbtnConfirm); // one letter: refused, not counted
        QVERIFY(m_screen->imgResult->isEmpty());
        QVERIFY(m_screen->lblHint->caption().contains(QStringLiteral("至少要选两个")));
        QCOMPARE(AnsweredCount, before + 1);
        clickControl(m_screen->sbtnB);
        clickControl(m_screen->sbtnConfirm); // AB: wrong
        QVERIFY(showsMark(QStringLiteral("No.bmp")));
        QVERIFY(m_screen->lblJieXi->text().startsWith(QStringLiteral("正确答案：ACD")));
        QCOMPARE(AnsweredCount, before + 2);
        QCOMPARE(m_screen->lbllv->caption(), book ? QStringLiteral("50") : QStringLiteral("67"));
        QVERIFY(inBook(4, 16));
        closeScreen();
    }

    // A clip of the build plays in the picture's place and a click plays it again from its
    // start; a cut one leaves the question's picture, and neither is told.
    void subjectFourClipPlaysAndAClickReplaysIt_data()
    {
        QTest::addColumn<bool>("playable");
        QTest::newRow("a clip") << true;
        QTest::newRow("a cut clip") << false;
    }

    void subjectFourClipPlaysAndAClickReplaysIt()
    {
        QFETCH(bool, playable);
        std::vector<BankRow> built;
        QString error;
        QVERIFY2(readSubjectFour(QStringLiteral(TAVIRO_APP_DIR "/Drive.mdb"), &built, &error),
                 qPrintable(error));
        const auto withClip = std::find_if(built.begin(), built.end(),
                                           [](const BankRow& r) { return r.clip.has_value(); });
        QVERIFY(withClip != built.end());
        const QByteArray clip =
            playable ? *withClip->clip : withClip->clip->left(withClip->clip->size() / 2);
        m_folder->exec(safeBankSql(1));
        m_folder->exec(QStringLiteral("UPDATE T_SafeTopic SET Picture=X'%1', Clip=X'%2' WHERE ID=1")
                           .arg(QString::fromLatin1(withClip->picture->toHex()),
                                QString::fromLatin1(clip.toHex())));
        MessageBoxWatcher boxes;
        m_screen = new TFrm_ShunXuLianXi();
        m_screen->setFormat(subjectFour());
        m_screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_screen));
        QCOMPARE(!m_screen->imgClip->isHidden(), playable);
        QCOMPARE(m_screen->DBImage1->isVisible(), !playable);
        if (playable) {
            MediaPlayer* player = m_screen->imgClip->player();
            QTRY_VERIFY(player->position() >= 3);
            clickControl(m_screen->imgClip);
            QCOMPARE(player->mode(), MediaPlayer::Mode::Playing);
            QVERIFY(player->position() < 3);
        }
        clickControl(m_screen->sbtnXia);
        QVERIFY(m_screen->imgClip->isHidden());
        QCOMPARE(boxes.count(), 0);
        closeScreen();
    }

    void loadingErrorIsReportedAndTheScreenStillOpens()
    {
        Query drop(&DM->ADOCon);
        drop.SQL.add(QStringLiteral("DROP TABLE T_Topic"));
        drop.execSQL();
        MessageBoxWatcher boxes;
        openScreen();
        QCOMPARE(boxes.count(), 1);
        QVERIFY(m_screen->isVisible());
        QVERIFY(!Frm_Wait);
        for (FlatButton* b : {m_screen->sbtnA, m_screen->sbtnXia, m_screen->sbtnShang}) {
            clickControl(b);
        }
        QCOMPARE(AnsweredCount, 0);
        QCOMPARE(boxes.count(), 1);
        closeScreen();
    }
};

TAVIRO_TEST_MAIN(TestPractice)
#include "tst_practice.moc"
