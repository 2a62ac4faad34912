// What practice keeps, in the core: the review schedule of the book, the random order,
// the readiness figure, the exam-hall mode's end, and a hand-in that leaves unanswered
// questions out of the book.
#include "data/DMUnit.h"
#include "data/Query.h"
#include "exam/Unt_MoLiKaoShiPingFen.h"
#include "exam/Unt_SimulateExam.h"
#include "exampaper/StudyLog.h"
#include "exampaper/StudyRecord.h"
#include "sharedscreens/ExplainNote.h"
#include "tests/support/ExamSupport.h"
#include "tests/support/TestSupport.h"

#include <QSet>

using namespace testing;
using StudyLog::Mode;

namespace {

const QDate kDay0(2026, 12, 1);

bool answer(int id, Mode mode, bool right, QDate day, bool firstTry = true)
{
    StudyLog::Answer a;
    a.id = id;
    a.mode = mode;
    a.given = right ? QStringLiteral("A") : QStringLiteral("B");
    a.right = right;
    a.firstTry = firstTry;
    QString error;
    const bool ok =
        StudyLog::recordAnswer(DM->ADOCon, subjectOne(), a, QDateTime(day, QTime(9, 0)), &error);
    if (!ok) {
        qWarning("%s", qPrintable(error));
    }
    return ok;
}

std::vector<int> due(QDate day)
{
    std::vector<int> ids;
    QString error;
    StudyLog::dueQuestions(DM->ADOCon, subjectOne(), day, &ids, &error);
    return ids;
}

std::vector<int> bankIds()
{
    std::vector<int> ids;
    Query q(&DM->ADOCon);
    q.SQL.add(QStringLiteral("SELECT ID FROM T_Topic ORDER BY ID"));
    q.open();
    for (q.first(); !q.eof(); q.next()) {
        ids.push_back(q.fields(0).asInteger());
    }
    return ids;
}

StudyLog::Progress progressOf(int questions, int seen, int right, int mastered, int answers)
{
    StudyLog::Progress p;
    p.answers = answers;
    for (size_t i = 0; i < subjectOne().chapters.size(); ++i) {
        p.chapters.push_back({questions, seen, right, mastered});
    }
    return p;
}

} // namespace

class TestStudyLog : public QObject
{
    Q_OBJECT

    std::unique_ptr<ExamFixture> f;

private slots:
    void init() { f = std::make_unique<ExamFixture>(); }
    void cleanup()
    {
        f.reset();
        settle();
    }

    void reviewComesBackAfterOneThreeSevenAndFifteenDays()
    {
        const std::vector<int> none;
        QVERIFY(answer(1, Mode::Sequential, false, kDay0));
        QVERIFY(answer(1, Mode::Sequential, false, kDay0, false)); // not a first try
        QCOMPARE(f->count(QStringLiteral("SELECT Misses FROM T_WrongBook WHERE ID=1")), 1);
        QCOMPARE(due(kDay0), none);
        // Right at each step: back after 3, 7 and 15 days, then out of the book.
        QDate day = kDay0.addDays(1);
        for (const int wait : {3, 7, 15}) {
            QCOMPARE(due(day), std::vector<int>{1});
            QVERIFY(answer(1, Mode::Due, true, day));
            QCOMPARE(due(day.addDays(wait - 1)), none);
            day = day.addDays(wait);
        }
        QCOMPARE(due(day), std::vector<int>{1});
        QVERIFY(answer(1, Mode::Due, true, day));
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_WrongBook")), 0);

        // Wrong on the way: the schedule starts over at one day.
        QVERIFY(answer(2, Mode::Chapter, false, kDay0));
        QVERIFY(answer(2, Mode::Due, true, kDay0.addDays(1)));
        QVERIFY(answer(2, Mode::Due, false, kDay0.addDays(4)));
        QCOMPARE(f->count(QStringLiteral("SELECT Step FROM T_WrongBook WHERE ID=2")), 0);
        QCOMPARE(f->count(QStringLiteral("SELECT Misses FROM T_WrongBook WHERE ID=2")), 2);
        QCOMPARE(due(kDay0.addDays(4)), none);
        QCOMPARE(due(kDay0.addDays(5)), std::vector<int>{2});

        // Every answer is in the log by its question's key.
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_AnswerLog")), 9);
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_AnswerLog l INNER JOIN T_Topic t "
                                         "ON t.QKey=l.QKey WHERE t.ID=1 AND l.Subject=1")),
                 6);
        QCOMPARE(f->count(QStringLiteral("PRAGMA user_version")), StudyRecord::kUserVersion);
    }

    void randomOrderRepeatsNothingAndOutlivesARestart()
    {
        std::vector<int> order;
        QString error;
        QVERIFY2(StudyLog::randomOrder(DM->ADOCon, subjectOne(), &order, &error),
                 qPrintable(error));
        std::vector<int> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, bankIds()); // every question once
        QVERIFY(order != bankIds());

        // A new start reads the same order; a question new to the bank comes at its end.
        f->exec(QStringLiteral("INSERT INTO T_Topic (ID, Type, Content, Result, QKey) VALUES "
                               "(1700, 0, 'new', 'A', 'study-new')"));
        DM->ADOCon.close();
        DM->ADOCon.open();
        std::vector<int> again;
        QVERIFY2(StudyLog::randomOrder(DM->ADOCon, subjectOne(), &again, &error),
                 qPrintable(error));
        QCOMPARE(again.size(), order.size() + 1);
        QVERIFY(std::equal(order.begin(), order.end(), again.begin()));
        QCOMPARE(again.back(), 1700);

        QVERIFY2(StudyLog::newRandomRound(DM->ADOCon, subjectOne(), &order, &error),
                 qPrintable(error));
        QCOMPARE(QSet<int>(order.begin(), order.end()).size(), int(again.size()));
        QCOMPARE(order.size(), again.size());
    }

    void readinessRisesWithMasteryAndNeedsEnoughAnswers()
    {
        const ExamFormat& one = subjectOne();
        QVERIFY(!StudyLog::readiness(one, progressOf(100, 4, 4, 4, 40)).enough);
        const StudyLog::Readiness weak =
            StudyLog::readiness(one, progressOf(100, 100, 60, 20, 300));
        const StudyLog::Readiness half =
            StudyLog::readiness(one, progressOf(100, 100, 90, 60, 300));
        const StudyLog::Readiness strong =
            StudyLog::readiness(one, progressOf(100, 100, 99, 95, 300));
        QVERIFY(weak.enough);
        QVERIFY(weak.chance < 0.01);
        QVERIFY(weak.chance < half.chance && half.chance < strong.chance);
        QVERIFY(strong.chance > 0.8);
        QVERIFY(half.low <= half.chance && half.chance <= half.high && half.low < half.high);

        // From the log: the same questions answered right rather than wrong.
        QVERIFY(answer(1, Mode::Sequential, false, kDay0));
        StudyLog::Progress before;
        QString error;
        QVERIFY(StudyLog::readProgress(DM->ADOCon, one, &before, &error));
        QCOMPARE(before.chapters[0].seen, 1);
        QCOMPARE(before.chapters[0].rightLast, 0);
        QVERIFY(answer(1, Mode::Sequential, true, kDay0));
        QVERIFY(answer(1, Mode::Random, true, kDay0));
        StudyLog::Progress after;
        QVERIFY(StudyLog::readProgress(DM->ADOCon, one, &after, &error));
        QCOMPARE(after.chapters[0].mastered, 1);
        QCOMPARE(after.answers, 3);
        QVERIFY(StudyLog::readiness(one, after).chance > StudyLog::readiness(one, before).chance);
        QVERIFY(!StudyLog::readiness(one, after).enough);

        // The drill keeps the paper's size and leans on the weaker chapter.
        StudyLog::Progress uneven = progressOf(100, 100, 99, 95, 300);
        uneven.chapters[1] = {100, 100, 30, 10};
        const std::vector<TExam> drill = StudyLog::drillPlan(one, uneven);
        int total = 0;
        for (const TExam& row : drill) {
            total += row.Count;
        }
        QCOMPARE(total, one.questions);
        QVERIFY(drill[1].Count > one.plan[1].Count);
        QVERIFY(drill[1].Count <= 2 * one.plan[1].Count);
    }

    void examHallEndsAtEachSubjectsLimit()
    {
        for (const ExamFormat* format : {&subjectOne(), &subjectFour()}) {
            const int limit = format == &subjectOne() ? 11 : 6;
            QCOMPARE(StudyLog::examHallLimit(*format), limit);
            ExamHallMarks hall;
            hall.start();
            QVERIFY(!hall.answer(*format, AnswerKind::Single, QStringLiteral("A"),
                                 QStringLiteral("A")));
            for (int i = 1; i < limit; ++i) {
                QVERIFY(!hall.answer(*format, AnswerKind::Single, QStringLiteral("B"),
                                     QStringLiteral("A")));
            }
            QVERIFY(hall.answer(*format, AnswerKind::TrueFalse, QStringLiteral("×"),
                                QStringLiteral("√")));
            QVERIFY(hall.endText(*format).contains(QString::number(limit)));
        }

        // On the screen: the eleventh wrong answer hands the paper in.
        TFrm_SimulateExam* exam = f->showExam(QStringLiteral("考场模式"));
        exam->ExamMode = Mode::ExamHall;
        exam->FormShow();
        bool handedIn = false;
        whenModal([&](QWidget* modal) {
            // The end's message, then the result screen.
            modal->close();
            whenModal([&](QWidget* result) {
                handedIn = true;
                result->close();
            });
        });
        for (int i = 0; i < 11; ++i) {
            Query& paper = DM->ADOQryTopic;
            const bool statement = paper.fieldByName(QStringLiteral("Type")).asInteger() != 0;
            const QString right = paper.fieldByName(QStringLiteral("Result")).asString();
            // A wrong answer of the question's kind.
            Label* wrongArea =
                statement
                    ? (right == QStringLiteral("√") ? exam->lblC : exam->lblA)
                    : (right.trimmed().toUpper() == QStringLiteral("A") ? exam->lblB : exam->lblA);
            clickControl(wrongArea);
            if (i == 0) {
                const QString given = exam->lblResult->caption();
                clickControl(statement ? exam->lblA : exam->lblD); // final: nothing changes
                QCOMPARE(exam->lblResult->caption(), given);
                QVERIFY(exam->lblJieXi->text().startsWith(QStringLiteral("回答错误")));
            }
            if (i < 10) {
                clickControl(exam->lblNext);
            }
        }
        QTRY_VERIFY(handedIn);
        QCOMPARE(f->count(QStringLiteral("SELECT Mode FROM T_ExamHistory")), 1);
        ExamFixture::closeExam(exam);
    }

    void handInLeavesUnansweredQuestionsOutOfTheBook()
    {
        f->exec(QStringLiteral("DELETE FROM T_TopicTmp"));
        f->exec(QStringLiteral("INSERT INTO T_TopicTmp (ID, Type, TopicNo) SELECT ID, Type, ID "
                               "FROM T_Topic WHERE ID<=10"));
        f->exec(QStringLiteral("UPDATE T_TopicTmp SET Result=(SELECT Result FROM T_Topic WHERE "
                               "T_Topic.ID=T_TopicTmp.ID) WHERE ID<=4"));
        f->exec(QStringLiteral("UPDATE T_TopicTmp SET Result='Q' WHERE ID IN (5, 6)"));
        f->exec(QStringLiteral("UPDATE T_TopicTmp SET Result='' WHERE ID=7"));
        QString error;
        StudyRecord::ExamEntry entry;
        QVERIFY2(StudyRecord::recordExam(DM->ADOCon, subjectOne(), nullptr,
                                         QDateTime(kDay0, QTime(10, 0)), QStringLiteral("1"),
                                         &entry, &error),
                 qPrintable(error));
        QCOMPARE(entry.unanswered, 4);
        QCOMPARE(f->scalar(QStringLiteral("SELECT group_concat(ID) FROM (SELECT ID FROM "
                                          "T_WrongBook ORDER BY ID)"))
                     .toString(),
                 QStringLiteral("5,6"));
        QCOMPARE(f->count(QStringLiteral("SELECT Unanswered FROM T_ExamHistory")), 4);
        QCOMPARE(f->count(QStringLiteral("SELECT COUNT(*) FROM T_AnswerLog WHERE Mode=9")), 6);
        StudyRecord::Summary summary;
        QVERIFY(StudyRecord::readSummary(DM->ADOCon, subjectOne(), &summary, &error));
        QCOMPARE(summary.unanswered, 4);
        QCOMPARE(summary.bookSize, 2);
        // The missed ones are due for review the next day.
        QCOMPARE(due(kDay0.addDays(1)), (std::vector<int>{5, 6}));
    }
};

TAVIRO_TEST_MAIN(TestStudyLog)
#include "tst_studylog.moc"
