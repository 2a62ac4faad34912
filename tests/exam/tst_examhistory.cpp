// What a hand-in leaves for learning: the exam history, the wrong-question book, the
// migration of a bank without them, the explanation in the review, and banks whose
// record tables are damaged or foreign.
#include "data/Compaction.h"
#include "exam/Unt_MoLiKaoShiPingFen.h"
#include "exam/Unt_SimulateExam.h"
#include "exampaper/StudyRecord.h"
#include "sharedscreens/ExplainNote.h"
#include "tests/support/ExamSupport.h"

#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <csignal>
#include <sqlite3.h>

using namespace testing;

namespace {

struct HandIn
{
    bool resultShown = false;
    QString grade;
    int historyRowsWhenShown = -1;
    QStringList boxes; // the message boxes before the result screen
};

// Answers the windows after the hand-in question; a copy of itself waits for the next
// one, so nothing holds itself alive.
struct AfterHandIn
{
    ExamFixture* f;
    int tag;
    HandIn* seen;

    void operator()(QWidget* modal) const
    {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen->boxes << box->text();
            box->button(QMessageBox::Ok)->click();
            whenModal(*this);
            return;
        }
        auto* screen = qobject_cast<TFrm_MoLiKaoShiPingFen*>(modal);
        QVERIFY2(screen, "no result screen");
        seen->resultShown = true;
        seen->grade = screen->lblGrade->caption();
        seen->historyRowsWhenShown =
            f->count(
                QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name='T_ExamHistory'"))
                ? f->count(QStringLiteral("SELECT COUNT(*) FROM T_ExamHistory"))
                : 0;
        clickControl(tag == 20   ? screen->sbtnJiaoDui
                     : tag == 10 ? screen->sbtnChongLianXi
                                 : screen->sbtnTuiChu);
    }
};

// Hands the paper in by the end button and its question, answers any message box with
// OK on the way, and leaves the result screen with the button of tag.
void handIn(TFrm_SimulateExam* exam, ExamFixture* f, int tag, HandIn* seen)
{
    const AfterHandIn after{f, tag, seen};
    // The hand-in question first: Enter ends the exam.
    whenModal([after](QWidget* question) {
        whenModal(after);
        QTest::keyClick(question, Qt::Key_Return);
    });
    clickControl(exam->lblEndExam);
}

int pragma(ExamFixture& f, const char* name)
{
    return f.count(QString::fromLatin1(name));
}

} // namespace

class TestExamHistory : public QObject
{
    Q_OBJECT

    std::unique_ptr<ExamFixture> f;
    QPointer<TFrm_SimulateExam> exam;

    // The answer sheet reads the answers again, as after clicks.
    void reopenSheet() { DM->ADOQuery1.close(), DM->ADOQuery1.open(); }

    void start()
    {
        f = std::make_unique<ExamFixture>();
        exam = f->showExam(QStringLiteral("44010203"));
        QVERIFY(QTest::qWaitForWindowExposed(exam));
    }

private slots:
    void cleanup()
    {
        checkModalActions();
        ExamFixture::closeExam(exam);
        f.reset();
        QVERIFY2(visibleWindows().isEmpty(), "a window was left open");
    }

    void firstHandInMigratesAndRecords()
    {
        start();
        // Every learner's bank of today: the first schema, no record tables.
        QCOMPARE(pragma(*f, "PRAGMA user_version"), 1);
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name IN "
                                         "('T_ExamHistory','T_WrongBook')")),
                 0);
        f->answerRight(QStringLiteral("TopicNo<=92"));
        f->exec(QStringLiteral("UPDATE T_TopicTmp SET Result='' WHERE TopicNo=93"));
        reopenSheet();
        HandIn seen;
        handIn(exam, f.get(), 30, &seen);
        QTRY_VERIFY(seen.resultShown);
        QVERIFY(seen.boxes.isEmpty());
        QCOMPARE(seen.grade, QStringLiteral("92"));
        // On the disk while the result screen showed.
        QCOMPARE(seen.historyRowsWhenShown, 1);
        QCOMPARE(pragma(*f, "PRAGMA user_version"), StudyRecord::kUserVersion);
        QCOMPARE(f->count(QStringLiteral("SELECT Score FROM T_ExamHistory")), 92);
        QCOMPARE(f->count(QStringLiteral("SELECT Passed FROM T_ExamHistory")), 1);
        QCOMPARE(f->count(QStringLiteral("SELECT Questions FROM T_ExamHistory")), 100);
        QCOMPARE(f->scalar(QStringLiteral("SELECT CandidateNo FROM T_ExamHistory")).toString(),
                 QStringLiteral("44010203"));
        QVERIFY(f->scalar(QStringLiteral("SELECT TakenAt FROM T_ExamHistory"))
                    .toString()
                    .startsWith(QStringLiteral("2026-12-08 ")));
        // The eight left unanswered, the empty answer among them, are counted apart and
        // stay out of the book.
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_WrongBook")), 0);
        QCOMPARE(f->count(QStringLiteral("SELECT Unanswered FROM T_ExamHistory")), 8);
        QCOMPARE(f->count(QStringLiteral("SELECT SUM(Asked) FROM T_ExamChapter")), 100);
        QCOMPARE(f->count(QStringLiteral("SELECT SUM(Correct) FROM T_ExamChapter")), 92);
        // The paper and its answers stay.
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE TopicNo<=92 AND "
                                         "Result<>''")),
                 92);
    }

    void redoAddsAnExamAndRightAnswersLeaveTheBook()
    {
        start();
        f->exec(QStringLiteral("UPDATE T_TopicTmp SET Result='Q'"));
        reopenSheet();
        HandIn first;
        handIn(exam, f.get(), 10, &first); // everything wrong, then a new paper
        QTRY_VERIFY(first.resultShown);
        QTRY_COMPARE(exam->lblResult->caption(), QString());
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_WrongBook")), 100);
        QCOMPARE(f->count(QStringLiteral("SELECT Passed FROM T_ExamHistory")), 0);
        const int both = f->count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp b, T_WrongBook "
                                                 "w WHERE b.ID=w.ID"));
        f->answerRight(QStringLiteral("TopicNo<=50"));
        reopenSheet();
        const int leaving = f->count(QStringLiteral(
            "SELECT COUNT(*) FROM T_TopicTmp b, T_WrongBook w WHERE b.ID=w.ID AND b.TopicNo<=50"));
        HandIn second;
        handIn(exam, f.get(), 30, &second);
        QTRY_VERIFY(second.resultShown);
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_ExamHistory")), 2);
        // The right ones left; the other fifty, unanswered, changed nothing.
        QVERIFY(both >= leaving);
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_WrongBook")), 100 - leaving);
        QCOMPARE(f->count(QStringLiteral("SELECT MAX(Misses) FROM T_WrongBook")), 1);
    }

    void reviewShowsExplanationsAndRecordsNothing()
    {
        std::vector<BankRow> rows = planBank();
        // As long as the longest of the bank: 69 characters and a source of 37.
        for (BankRow& r : rows) {
            r.explain = (QStringLiteral("第%1题的解析，说明为什么这样答。").arg(r.id) +
                         QString(69, QChar(0x5B57)))
                            .left(69);
            r.source =
                (QStringLiteral("《道路交通安全法》第%1条").arg(r.id) + QString(37, QChar(0x6B3E)))
                    .left(37);
        }
        f = std::make_unique<ExamFixture>(rows);
        exam = f->showExam();
        QVERIFY(QTest::qWaitForWindowExposed(exam));
        QVERIFY(!exam->lblJieXi->isVisible());
        HandIn seen;
        handIn(exam, f.get(), 20, &seen);
        QTRY_VERIFY(seen.resultShown);
        QTRY_VERIFY(!exam->lblA->isEnabled());
        const auto idShown = [] {
            return DM->ADOQryTopic.fieldByName(QStringLiteral("ID")).asInteger();
        };
        QVERIFY(exam->lblJieXi->isVisible());
        QVERIFY(exam->lblJieXi->text().contains(QStringLiteral("第%1题的解析").arg(idShown())));
        QVERIFY(exam->lblJieXi->text().contains(QStringLiteral("《道路交通安全法》")));
        // All of it readable in its place.
        QVERIFY(exam->lblJieXi->textHeight(exam->lblJieXi->width()) <= exam->lblJieXi->height());
        QVERIFY(exam->lblJieXi->font().pixelSize() >= 12);
        clickControl(exam->lblNext);
        QVERIFY(exam->lblJieXi->text().contains(QStringLiteral("第%1题的解析").arg(idShown())));
        // It covers no control of the screen.
        for (QWidget* w : exam->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (w != exam->lblJieXi && w != exam->imgPicture && w->isVisible()) {
                QVERIFY2(!w->geometry().intersects(exam->lblJieXi->geometry()),
                         qPrintable(w->objectName()));
            }
        }
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_ExamHistory")), 1);
        const int book = f->count(QStringLiteral("SELECT SUM(Misses) FROM T_WrongBook"));
        clickControl(exam->lblEndExam); // the review ends: the screen closes
        QTRY_VERIFY(!exam);
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_ExamHistory")), 1);
        QCOMPARE(f->count(QStringLiteral("SELECT SUM(Misses) FROM T_WrongBook")), book);
    }

    void recordsOutliveACompactionAndARestart()
    {
        start();
        f->answerRight(QStringLiteral("TopicNo<=60"));
        f->exec(QStringLiteral("UPDATE T_TopicTmp SET Result='Q' WHERE TopicNo>60"));
        reopenSheet();
        HandIn seen;
        handIn(exam, f.get(), 30, &seen);
        QTRY_VERIFY(seen.resultShown);
        QTRY_VERIFY(!exam);
        settle();
        const int book = f->count(QStringLiteral("SELECT COUNT(*) FROM T_WrongBook"));
        QCOMPARE(book, 40);
        // A start on the 20th compacts the bank before it opens it.
        delete DM;
        DM = nullptr;
        struct Host : TDM::Host
        {
            void connectionFailed() override { QFAIL("the compacted bank does not open"); }
        } host;
        FixedClock clock(QDate(2026, 12, 20));
        bool compacted = false;
        DM = new TDM(f->folder.path(), clock, host);
        DM->compactor = [&compacted](const QString& path) {
            compacted = true;
            CompactDataFile(path);
        };
        DM->DataModuleCreate();
        QVERIFY(compacted);
        QCOMPARE(pragma(*f, "PRAGMA user_version"), StudyRecord::kUserVersion);
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_ExamHistory")), 1);
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_WrongBook")), book);
        QCOMPARE(f->count(QStringLiteral("SELECT SUM(Asked) FROM T_ExamChapter")), 100);
        // The next exam adds to them.
        exam = f->showExam();
        QVERIFY(QTest::qWaitForWindowExposed(exam));
        HandIn next;
        handIn(exam, f.get(), 30, &next);
        QTRY_VERIFY(next.resultShown);
        QTRY_VERIFY(!exam);
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_ExamHistory")), 2);
        delete DM;
        DM = nullptr;
    }

    void damagedRecordTablesNeverStopTheExam_data()
    {
        QTest::addColumn<QStringList>("damage");
        QTest::newRow("foreign columns")
            << QStringList{QStringLiteral("CREATE TABLE T_ExamHistory (Name TEXT, Note TEXT)")};
        QTest::newRow("trigger refusing writes")
            << QStringList{QStringLiteral("CREATE TABLE T_WrongBook (ID INTEGER PRIMARY KEY, "
                                          "Misses INTEGER, LastMissed TEXT)"),
                           QStringLiteral("CREATE TRIGGER no_book BEFORE INSERT ON T_WrongBook "
                                          "BEGIN SELECT RAISE(ABORT, 'refused'); END")};
        QTest::newRow("full disk") << QStringList();
        QTest::newRow("a view in the place of the book")
            << QStringList{QStringLiteral("CREATE VIEW T_WrongBook AS SELECT ID FROM T_Topic")};
    }

    void damagedRecordTablesNeverStopTheExam()
    {
        QFETCH(QStringList, damage);
        start();
        for (const QString& sql : damage) {
            f->exec(sql);
        }
        if (damage.isEmpty()) {
            // No page more may be written: the bank's disk is full.
            const int pages = pragma(*f, "PRAGMA page_count");
            sqlite3_exec(
                DM->ADOCon.handle(),
                QByteArray("PRAGMA max_page_count=" + QByteArray::number(pages)).constData(),
                nullptr, nullptr, nullptr);
        }
        f->answerRight(QStringLiteral("TopicNo<=95"));
        f->exec(QStringLiteral("UPDATE T_TopicTmp SET Result='Q' WHERE TopicNo>95"));
        reopenSheet();
        const int historyBefore = f->count(
            QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name='T_ExamHistory'"));
        HandIn seen;
        handIn(exam, f.get(), 20, &seen);
        QTRY_VERIFY(seen.resultShown);
        QCOMPARE(seen.grade, QStringLiteral("95"));
        QCOMPARE(seen.boxes.size(), 1);
        QVERIFY(seen.boxes[0].contains(QStringLiteral("学习记录")));
        // Nothing half-written, the paper whole, and the review still works.
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE "
                                         "name='T_ExamHistory'")),
                 historyBefore);
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE Result<>''")), 100);
        QTRY_VERIFY(!exam->lblA->isEnabled());
        exam->close();
        settle();
        // The next start works.
        delete DM;
        DM = nullptr;
        struct Host : TDM::Host
        {
            void connectionFailed() override { QFAIL("the bank no longer opens"); }
        } host;
        FixedClock clock(QDate(2026, 12, 9));
        DM = new TDM(f->folder.path(), clock, host);
        DM->DataModuleCreate();
        QVERIFY(DM->ADOCon.connected());
        exam = f->showExam();
        QVERIFY(QTest::qWaitForWindowExposed(exam));
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp")), 100);
        exam->close();
        settle();
        delete DM;
        DM = nullptr;
        f.reset();
    }

    void historyIsOnTheDiskWhenTheResultShows()
    {
        start();
        exam->close();
        settle();
        QProcess child;
        child.setProgram(QStringLiteral(TAVIRO_EXAM_CHILD));
        child.setArguments({f->folder.path(), QStringLiteral("30"), QStringLiteral("handin")});
        child.setProcessEnvironment([] {
            auto env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            return env;
        }());
        child.start();
        QVERIFY(child.waitForStarted());
        QStringList lines;
        while (!lines.contains(QStringLiteral("shown"))) {
            QVERIFY(child.waitForReadyRead(20000));
            while (child.canReadLine()) {
                lines << QString::fromUtf8(child.readLine()).trimmed();
            }
        }
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished();
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_ExamHistory")), 1);
        QCOMPARE(f->count(QStringLiteral("SELECT Questions FROM T_ExamHistory")), 100);
        const int right = f->count(QStringLiteral(
            "SELECT COUNT(*) FROM T_Topic a, T_TopicTmp b WHERE a.ID=b.ID AND a.Result=b.Result"));
        QCOMPARE(f->count(QStringLiteral("SELECT Score FROM T_ExamHistory")), right);
        const int unanswered = f->count(
            QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE Result IS NULL OR Result=''"));
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_WrongBook")),
                 100 - right - unanswered);
    }

    void chaptersFollowTheExamPlan()
    {
        // Every range of the plan is one chapter, and no drawn question is outside one.
        for (const TExam& row : ExamPlan) {
            const QRegularExpression bounds(QStringLiteral("ID>=?(\\d+) AND ID<=(\\d+)"));
            const auto m = bounds.match(row.Condition);
            QVERIFY(m.hasMatch());
            const int low = m.captured(1).toInt();
            const int high = m.captured(2).toInt();
            const int chapter = StudyRecord::chapterOf(high);
            QVERIFY(chapter >= 0);
            QCOMPARE(StudyRecord::chapters()[size_t(chapter)].lastId, high);
            QCOMPARE(StudyRecord::chapterOf(low + 1), chapter);
        }
        QCOMPARE(StudyRecord::chapters().size(), size_t(11));
        QCOMPARE(StudyRecord::chapterOf(0), -1);
        QCOMPARE(StudyRecord::chapterOf(1601), -1);
    }
};

TAVIRO_TEST_MAIN(TestExamHistory)
#include "tst_examhistory.moc"
