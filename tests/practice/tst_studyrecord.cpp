// Learning from mistakes on the practice side: the explanation after an answer, the
// study-record screen from the main menu, and wrong-question practice over the book.
#include "app/MainUnit.h"
#include "data/Clock.h"
#include "data/DMUnit.h"
#include "exampaper/StudyRecord.h"
#include "practice/Unt_ShunXuLianXi.h"
#include "practice/Unt_XueXiJiLu.h"
#include "practice/Unt_XueXiMoShi.h"
#include "sharedscreens/ExplainNote.h"
#include "sharedscreens/StudyParts.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/TestSupport.h"
#include "toolkit/AppDir.h"

#include <QCryptographicHash>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

using namespace testing;

namespace {

struct QuietHost : TDM::Host
{
    void connectionFailed() override { QFAIL("the test bank cannot be opened"); }
};

BankRow explained(BankRow row)
{
    row.explain = QStringLiteral("第%1题：这是一段比较长的解析，说明为什么这样答才对，"
                                 "在屏幕上要能折行并且读得清楚。")
                      .arg(row.id);
    row.source = QStringLiteral("《道路交通安全法实施条例》第%1条").arg(row.id);
    return row;
}

std::vector<BankRow> bank()
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(30, 160, 60));
    std::vector<BankRow> rows = {
        explained(choiceRow(1, QStringLiteral("实习期是多长？"), QStringLiteral("B"))),
        explained(choiceRow(2, QStringLiteral("最高车速是多少？"), QStringLiteral(" b\t"))),
        explained(
            trueFalseRow(3, QStringLiteral("如图，这个标志表示禁止驶入。"), QStringLiteral("√"))),
        explained(choiceRow(442, QStringLiteral("如图，这个标志是何含义？"), QStringLiteral("C"))),
        explained(choiceRow(700, QStringLiteral("雨天行车应当怎样？"), QStringLiteral("A"))),
    };
    rows[2].picture = pictureBlob(image, true);
    return rows;
}

QByteArray fileHash(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

} // namespace

class TestStudyRecord : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFolder> m_folder;
    FixedClock m_clock{QDate(2026, 3, 3)};
    QuietHost m_host;
    QPointer<TFrm_ShunXuLianXi> m_practice;

    void openBank()
    {
        delete DM;
        DM = new TDM(m_folder->path(), m_clock, m_host);
        DM->DataModuleCreate();
    }

    void exec(const QString& sql) { m_folder->exec(sql); }
    int count(const QString& sql) { return m_folder->scalar(sql).toInt(); }

    // Hands in a paper of the bank's questions with the first right ones answered right and
    // the others wrong.
    void recordExam(int right, const QDateTime& when)
    {
        exec(QStringLiteral("DELETE FROM T_TopicTmp"));
        exec(QStringLiteral("INSERT INTO T_TopicTmp (ID, Type, TopicNo, Result) SELECT ID, Type, "
                            "ID, 'Q' FROM T_Topic"));
        exec(QStringLiteral("UPDATE T_TopicTmp SET Result=(SELECT Result FROM T_Topic WHERE "
                            "T_Topic.ID=T_TopicTmp.ID) WHERE ID IN (SELECT ID FROM T_Topic "
                            "ORDER BY ID LIMIT %1)")
                 .arg(right));
        QString error;
        QVERIFY2(StudyRecord::recordExam(DM->ADOCon, subjectOne(), nullptr, when,
                                         QStringLiteral("1"), nullptr, &error),
                 qPrintable(error));
    }

    QString bankFile() const { return m_folder->file(QStringLiteral("Drive.mdb")); }

private slots:
    void init()
    {
        m_folder = std::make_unique<AppFolder>();
        for (const char* name : {"Yes.bmp", "No.bmp", "CLOCK.AVI"}) {
            m_folder->copyFromBuild(QString::fromLatin1(name));
        }
        setApplicationDirectory(m_folder->path());
        Application::setTitle(QStringLiteral("Taviro"));
        m_folder->writeBank(bank());
        openBank();
    }

    void cleanup()
    {
        checkModalActions();
        if (m_practice) {
            m_practice->close();
        }
        if (MainForm) {
            MainForm->close();
            delete MainForm;
            MainForm = nullptr;
        }
        settle();
        delete DM;
        DM = nullptr;
        m_folder.reset();
        QVERIFY2(visibleWindows().isEmpty(), "a window was left open");
    }

    void answerShowsTheExplanationBesideThePicture()
    {
        m_practice = new TFrm_ShunXuLianXi();
        m_practice->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_practice));
        ExplainNote* note = m_practice->lblJieXi;
        QVERIFY(!note->isVisible());
        QVERIFY(!m_practice->imgCuoTi->isVisible());

        clickControl(m_practice->sbtnA); // wrong: B is right
        QVERIFY(note->isVisible());
        QVERIFY(note->text().startsWith(QStringLiteral("正确答案：B\n")));
        QVERIFY(note->text().contains(QStringLiteral("解析：第1题：")));
        QVERIFY(note->text().contains(QStringLiteral("依据：《道路交通安全法实施条例》第1条")));
        // Below the question's lines, inside the panel, all of its text shown.
        const QRect place = note->geometry();
        QVERIFY(m_practice->Panel1->rect().contains(place));
        QVERIFY(place.top() > m_practice->DBMemo1->y() + 40);
        QVERIFY(note->textHeight(place.width()) <= place.height());

        clickControl(m_practice->sbtnB); // right: only the explanation
        QVERIFY(!note->text().contains(QStringLiteral("正确答案")));
        QVERIFY(note->text().startsWith(QStringLiteral("解析：第1题：")));

        clickControl(m_practice->sbtnXia);
        QVERIFY(!note->isVisible());
        clickControl(m_practice->sbtnXia); // the true/false question with a picture
        clickControl(m_practice->sbtnC);
        QVERIFY(note->text().startsWith(QStringLiteral("正确答案：√\n")));
        QVERIFY(m_practice->DBImage1->isVisible());
        QVERIFY(!note->geometry().intersects(m_practice->DBImage1->geometry()));
        QVERIFY(note->textHeight(note->width()) <= note->height());
        // The answer buttons still take their clicks.
        clickControl(m_practice->sbtnA);
        QVERIFY(!note->text().contains(QStringLiteral("正确答案")));
        QCOMPARE(m_practice->lbllv->caption(), QStringLiteral("0"));

        // Every answer is recorded; the wrong first ones put their questions in the book.
        clickControl(m_practice->sbtnReturn);
        settle();
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_AnswerLog WHERE Mode=0")), 4);
        QCOMPARE(m_folder
                     ->scalar(QStringLiteral("SELECT group_concat(ID) FROM (SELECT ID FROM "
                                             "T_WrongBook ORDER BY ID)"))
                     .toString(),
                 QStringLiteral("1,3"));
        QCOMPARE(count(QStringLiteral("PRAGMA user_version")), StudyRecord::kUserVersion);
    }

    void wrongFirstAnswerInSequentialPracticePutsTheQuestionInTheBook()
    {
        m_practice = new TFrm_ShunXuLianXi();
        m_practice->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_practice));
        QCOMPARE(m_practice->lblJinDu->caption(), QStringLiteral("1 / 5"));
        clickControl(m_practice->sbtnB); // question 1 right at once: not in the book
        QVERIFY(m_practice->imgPicked->isVisible());
        clickControl(m_practice->sbtnXia);
        QVERIFY(!m_practice->imgPicked->isVisible());
        QCOMPARE(m_practice->lblJinDu->caption(), QStringLiteral("2 / 5"));
        clickControl(m_practice->sbtnA); // question 2 wrong first, then right
        clickControl(m_practice->sbtnB);
        clickControl(m_practice->sbtnXia);
        clickControl(m_practice->sbtnA); // question 3 right first, then wrong: not a first try
        clickControl(m_practice->sbtnC);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_AnswerLog")), 5);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_AnswerLog WHERE IsRight=0")), 2);
        QCOMPARE(count(QStringLiteral("SELECT group_concat(ID) FROM T_WrongBook")), 2);
        QCOMPARE(m_folder->scalar(QStringLiteral("SELECT DueOn FROM T_WrongBook")).toString(),
                 QStringLiteral("2026-03-04"));
        // The star, kept by the question's key.
        clickControl(m_practice->imgShouCang);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_Starred s INNER JOIN T_Topic t ON "
                                      "t.QKey=s.QKey WHERE t.ID=3")),
                 1);
    }

    void aStudyModeFromTheMenuToAnAnswerAndBack()
    {
        MainForm = new TMainForm();
        MainForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(MainForm));
        QString progress;
        QString dueBefore;
        QString missedAfter;
        bool back = false;
        whenModal([&](QWidget* modal) {
            auto* modes = qobject_cast<TFrm_XueXiMoShi*>(modal);
            QVERIFY(modes);
            dueBefore = modes->lblZhuangTai[TFrm_XueXiMoShi::Due]->caption();
            whenModal([&, modes](QWidget* practiceModal) {
                auto* practice = qobject_cast<TFrm_ShunXuLianXi*>(practiceModal);
                QVERIFY(practice);
                QCOMPARE(practice->StudyMode, StudyLog::Mode::Random);
                progress = practice->lblJinDu->caption();
                clickControl(practice->sbtnA); // an answer of either kind
                const QPointer<TFrm_ShunXuLianXi> open(practice);
                auto* poll = new QTimer(modes);
                poll->setInterval(10);
                connect(poll, &QTimer::timeout, modes, [&, modes, poll, open] {
                    if (open) {
                        return;
                    }
                    poll->stop();
                    back = true;
                    missedAfter = modes->lblZhuangTai[TFrm_XueXiMoShi::Missed]->caption();
                    clickControl(modes->sbtnReturn);
                });
                poll->start();
                clickControl(practice->sbtnReturn);
            });
            clickControl(modes->lblMoShi[TFrm_XueXiMoShi::Random]);
        });
        clickControl(MainForm->imgXueXiMoShi);
        QTRY_VERIFY(back);
        settle();
        QCOMPARE(dueBefore, QStringLiteral("今天到期0题"));
        QCOMPARE(progress, QStringLiteral("1 / 5"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_AnswerLog WHERE Mode=3")), 1);
        // The cards count what the practice just recorded, not what was there before it.
        QCOMPARE(missedAfter, QStringLiteral("%1题").arg(count(QStringLiteral(
                                  "SELECT COUNT(*) FROM T_AnswerLog WHERE Mode=3 AND IsRight=0"))));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_RandomOrder")), 5);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_StudyPlace")), 0);
    }

    void emptyHistoryShowsAFriendlyStateAndWritesNothing()
    {
        const QByteArray before = fileHash(bankFile());
        MainForm = new TMainForm();
        MainForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(MainForm));
        QString info;
        bool seen = false;
        whenModal([&](QWidget* modal) {
            auto* record = qobject_cast<TFrm_XueXiJiLu*>(modal);
            QVERIFY(record);
            seen = true;
            QVERIFY(record->imgChengJi->exams().empty());
            QCOMPARE(record->lblKaoShi->caption(), QStringLiteral("0"));
            QCOMPARE(record->lblTongGuo->caption(), QStringLiteral("0"));
            QCOMPARE(record->lblCuoTi->caption(), QStringLiteral("0"));
            QCOMPARE(record->pnlZhangJie->captions().first(), QStringLiteral("法律法规 —"));
            // An empty book: a message, no practice screen.
            whenModal([&, record](QWidget* box) {
                info = qobject_cast<QMessageBox*>(box) ? qobject_cast<QMessageBox*>(box)->text()
                                                       : QString();
                box->close();
                QTimer::singleShot(0, record, [record] { clickControl(record->sbtnReturn); });
            });
            clickControl(record->sbtnLianXiCuoTi);
        });
        clickControl(MainForm->lblXueXiJiLu);
        QVERIFY(seen);
        QVERIFY(info.contains(QStringLiteral("错题本")));
        settle();
        delete DM;
        DM = nullptr;
        QCOMPARE(fileHash(bankFile()), before);
    }

    void recordOfADozenExams()
    {
        for (int i = 0; i < 12; ++i) {
            recordExam(i % 6, QDateTime(QDate(2026, 3, 1 + i), QTime(9, 30)));
        }
        if (!qEnvironmentVariableIsEmpty("TAVIRO_SHOT_BANK")) {
            // For a look at the screen: scores of full papers.
            exec(QStringLiteral("UPDATE T_ExamHistory SET Questions=100, Score=68+(HistoryID*"
                                "HistoryID*7)%31"));
            exec(QStringLiteral("UPDATE T_ExamHistory SET Passed=(Score>=90)"));
            openBank();
            QFile::copy(bankFile(), qEnvironmentVariable("TAVIRO_SHOT_BANK"));
            return;
        }
        auto* record = new TFrm_XueXiJiLu();
        QPointer<TFrm_XueXiJiLu> alive(record);
        record->show();
        QVERIFY(QTest::qWaitForWindowExposed(record));
        QCOMPARE(record->lblKaoShi->caption(), QStringLiteral("12"));
        // Five questions a paper: none reaches the pass mark.
        QCOMPARE(record->lblTongGuo->caption(), QStringLiteral("0"));
        QCOMPARE(record->imgChengJi->exams().size(), size_t(12));
        QCOMPARE(record->imgChengJi->exams().front().takenAt.date(), QDate(2026, 3, 1));
        // A score of none lies on the bottom line, higher scores above.
        const QRectF area = record->imgChengJi->plotArea();
        QCOMPARE(record->imgChengJi->pointOf(6).y(), area.bottom());
        QVERIFY(record->imgChengJi->pointOf(5).y() < record->imgChengJi->pointOf(4).y());
        // Chapter 1 holds IDs 1 to 3, asked 12 times each.
        const QStringList chapters = record->pnlZhangJie->captions();
        QCOMPARE(chapters.size(), 11);
        QCOMPARE(chapters[0], QStringLiteral("法律法规 67%")); // 24 of 36
        QCOMPARE(chapters[3], QStringLiteral("驾驶操作 —"));
        // The last paper had all five right: the book is empty again.
        QCOMPARE(record->lblCuoTi->caption(), QStringLiteral("0"));
        clickControl(record->sbtnReturn);
        settle();
        QVERIFY(!alive);
    }

    // Exams of one day name that day once, and no score covers a point or another score,
    // scores near the top of the plot and close together included.
    void chartLabelsKeepApart()
    {
        for (int i = 0; i < 5; ++i) {
            recordExam(5, QDateTime(QDate(2026, 3, i < 3 ? 2 : 3), QTime(9, 10 + i)));
        }
        exec(QStringLiteral("UPDATE T_ExamHistory SET Questions=100, Score=95+HistoryID"));
        openBank();
        auto* record = new TFrm_XueXiJiLu();
        QPointer<TFrm_XueXiJiLu> alive(record);
        record->show();
        QVERIFY(QTest::qWaitForWindowExposed(record));
        const ScorePlot* plot = record->imgChengJi;
        QCOMPARE(plot->exams().size(), size_t(5));
        const auto days = plot->dateLabels();
        QCOMPARE(days.size(), size_t(2));
        QCOMPARE(days[0].text, QStringLiteral("3月2日"));
        QCOMPARE(days[1].text, QStringLiteral("3月3日"));
        QVERIFY(!days[0].rect.intersects(days[1].rect));
        const auto scores = plot->scoreLabels();
        QVERIFY(!scores.empty());
        QCOMPARE(scores.front().text, QStringLiteral("100")); // the latest always
        for (size_t i = 0; i < scores.size(); ++i) {
            QVERIFY(plot->rect().contains(scores[i].rect.toAlignedRect()));
            for (size_t j = i + 1; j < scores.size(); ++j) {
                QVERIFY(!scores[i].rect.intersects(scores[j].rect));
            }
            for (size_t k = 0; k < plot->exams().size(); ++k) {
                const QPointF c = plot->pointOf(k);
                QVERIFY(!scores[i].rect.intersects(QRectF(c.x() - 5, c.y() - 5, 10, 10)));
            }
        }
        clickControl(record->sbtnReturn);
        settle();
        QVERIFY(!alive);
    }

    void recordIsCappedAtThirtyExams()
    {
        for (int i = 0; i < 33; ++i) {
            recordExam(i % 2 ? 5 : 0, QDateTime(QDate(2026, 1, 1).addDays(i), QTime(8, 0)));
        }
        exec(QStringLiteral("UPDATE T_ExamHistory SET Passed=1 WHERE Score=5"));
        StudyRecord::Summary s;
        QString error;
        QVERIFY(StudyRecord::readSummary(DM->ADOCon, subjectOne(), &s, &error));
        QCOMPARE(s.exams, 33);
        QCOMPARE(s.passes, 16);
        QCOMPARE(int(s.recent.size()), StudyRecord::kRecentExams);
        QCOMPARE(s.recent.front().takenAt.date(), QDate(2026, 1, 4));
        QCOMPARE(s.recent.back().takenAt.date(), QDate(2026, 2, 2));
    }

    void wrongQuestionPracticeWorksThroughTheBook()
    {
        recordExam(0, QDateTime(QDate(2026, 3, 2), QTime(10, 0))); // all five missed
        // A question the bank no longer holds is not shown.
        exec(QStringLiteral("INSERT INTO T_WrongBook (ID, Misses, LastMissed) VALUES (9999, 1, "
                            "'2026-03-01 10:00:00')"));
        MainForm = new TMainForm();
        MainForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(MainForm));
        QStringList lines;
        QString bookAfter;
        whenModal([&](QWidget* modal) {
            auto* record = qobject_cast<TFrm_XueXiJiLu*>(modal);
            QVERIFY(record);
            QCOMPARE(record->lblCuoTi->caption(), QStringLiteral("5"));
            whenModal([&, record](QWidget* practiceModal) {
                auto* practice = qobject_cast<TFrm_ShunXuLianXi*>(practiceModal);
                QVERIFY(practice);
                QVERIFY(practice->WrongBook);
                QVERIFY(practice->imgCuoTi->isVisible());
                lines << practice->DBText1->text();
                clickControl(practice->sbtnB); // question 1, right at the first try
                QVERIFY(practice->lblJieXi->text().startsWith(QStringLiteral("解析：")));
                clickControl(practice->sbtnXia);
                lines << practice->DBText1->text();
                clickControl(practice->sbtnA); // question 2, wrong first
                QVERIFY(practice->lblJieXi->text().startsWith(QStringLiteral("正确答案：B")));
                clickControl(practice->sbtnB); // right, but not at the first try
                for (int i = 0; i < 4; ++i) {
                    clickControl(practice->sbtnXia);
                }
                lines << practice->DBText1->text();
                // Once the practice screen is gone, the record screen shows the book again.
                const QPointer<TFrm_ShunXuLianXi> open(practice);
                auto* poll = new QTimer(record);
                poll->setInterval(10);
                connect(poll, &QTimer::timeout, record, [&, record, poll, open] {
                    if (open) {
                        return;
                    }
                    poll->stop();
                    bookAfter = record->lblCuoTi->caption();
                    clickControl(record->sbtnReturn);
                });
                poll->start();
                clickControl(practice->sbtnReturn);
            });
            clickControl(record->sbtnLianXiCuoTi);
        });
        clickControl(MainForm->lblXueXiJiLu);
        QTRY_VERIFY(!bookAfter.isEmpty());
        QCOMPARE(lines.value(0), QStringLiteral("第1题 (请从下列ABCD中选择出该题的正确答案)"));
        QVERIFY(lines.value(1).startsWith(QStringLiteral("第2题")));
        QVERIFY(lines.value(2).startsWith(QStringLiteral("第700题"))); // the last of the book
        QCOMPARE(bookAfter, QStringLiteral("4"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_WrongBook WHERE ID=1")), 0);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_WrongBook WHERE ID=2")), 1);
    }

    // The book's practice is a query of one table, so that its pictures are read only
    // when a question is shown (a subquery would read every picture of the book at the
    // opening); questions no longer in the bank drop out, and without a book the
    // statement still opens as an empty practice.
    void wrongQuestionPracticeIsAQueryOfOneTable()
    {
        Query q(&DM->ADOCon);
        auto openBook = [&] {
            q.close();
            q.SQL.clear();
            for (const QString& line : StudyRecord::wrongBookPracticeSql(DM->ADOCon)) {
                q.SQL.add(line);
            }
            q.open();
        };
        auto ids = [&] {
            QStringList seen;
            for (q.first(); !q.eof(); q.next()) {
                seen << q.fieldByName(QStringLiteral("ID")).asString();
            }
            return seen.join(QLatin1Char(' '));
        };
        openBook();
        QVERIFY(q.isEmpty());
        recordExam(3, QDateTime(QDate(2026, 3, 2), QTime(10, 0)));
        exec(QStringLiteral("INSERT INTO T_WrongBook (ID, Misses, LastMissed) VALUES (9999, 1, "
                            "'2026-03-01 10:00:00')"));
        openBook();
        QVERIFY(q.canModify());
        QCOMPARE(ids(), QStringLiteral("442 700"));
    }

    void aBookThatRefusesChangesIsReportedOnce()
    {
        recordExam(0, QDateTime(QDate(2026, 3, 2), QTime(10, 0)));
        exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON T_WrongBook BEGIN SELECT "
                            "RAISE(ABORT, 'refused'); END"));
        MessageBoxWatcher boxes;
        m_practice = new TFrm_ShunXuLianXi();
        m_practice->WrongBook = true;
        m_practice->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_practice));
        clickControl(m_practice->sbtnB); // question 1, right
        QTRY_COMPARE(boxes.count(), 1);
        clickControl(m_practice->sbtnXia);
        clickControl(m_practice->sbtnB); // question 2, right
        settle();
        QCOMPARE(boxes.count(), 1);
        QVERIFY(boxes.texts[0].contains(QStringLiteral("refused")));
        // The practice goes on: marks and rate as ever.
        QCOMPARE(m_practice->lbllv->caption(), QStringLiteral("100"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_WrongBook")), 5);
    }

    void damagedRecordTablesAreReportedOnce()
    {
        exec(QStringLiteral("CREATE TABLE T_ExamHistory (Name TEXT)"));
        exec(QStringLiteral("CREATE TABLE T_WrongBook (Other TEXT)"));
        MessageBoxWatcher boxes;
        auto* record = new TFrm_XueXiJiLu();
        record->show();
        QVERIFY(QTest::qWaitForWindowExposed(record));
        QTRY_COMPARE(boxes.count(), 1);
        QVERIFY(boxes.texts[0].contains(QStringLiteral("学习记录")));
        QVERIFY(record->imgChengJi->exams().empty());
        QCOMPARE(record->lblCuoTi->caption(), QStringLiteral("0"));
        clickControl(record->sbtnReturn);
        settle();
        QCOMPARE(boxes.count(), 1);
    }
};

TAVIRO_TEST_MAIN(TestStudyRecord)
#include "tst_studyrecord.moc"
