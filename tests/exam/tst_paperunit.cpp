// The exam paper without its screens: the draw on any query of the bank, the list of
// unanswered numbers, the marking, the wrong numbers and the review sheet.
#include "data/Query.h"
#include "exampaper/ExamPaper.h"
#include "tests/support/ExamSupport.h"

#include <memory>

using namespace testing;

class TestPaperUnit : public QObject
{
    Q_OBJECT

    std::unique_ptr<ExamFixture> m_fixture;

    // Choice questions 1..8 (answer A), true/false 9..12 (answer √), and 1066, which no
    // row of the plan takes.
    static std::vector<BankRow> bank()
    {
        std::vector<BankRow> rows;
        for (int id = 1; id <= 8; ++id) {
            rows.push_back(choiceRow(id, QStringLiteral("选择题%1").arg(id), QStringLiteral("A")));
        }
        for (int id = 9; id <= 12; ++id) {
            rows.push_back(
                trueFalseRow(id, QStringLiteral("判断题%1").arg(id), QStringLiteral("√")));
        }
        rows.push_back(choiceRow(1066, QStringLiteral("不在考试范围"), QStringLiteral("A")));
        return rows;
    }

    int count(const QString& sql) { return m_fixture->count(sql); }
    void exec(const QString& sql) { m_fixture->exec(sql); }

    // Three choice questions and two true/false ones, numbered 1 to 5.
    void drawFive(Query& q)
    {
        ExamPaper::draw(q, {{3, QStringLiteral("Type=0 AND ID>=1 AND ID<=441")},
                            {2, QStringLiteral("Type=1 AND ID>=1 AND ID<=441")}});
    }

private slots:
    void init() { m_fixture = std::make_unique<ExamFixture>(bank()); }
    void cleanup() { m_fixture.reset(); }

    void drawStatementOfARow()
    {
        QCOMPARE(ExamPaper::drawSql(ExamPlan[0].Condition, ExamPlan[0].Count),
                 QStringList({QStringLiteral("SELECT TOP 17 ID,TopicNo FROM T_TopicTmp"),
                              QStringLiteral(" WHERE Type=0 AND ID>=1 AND ID<=441"),
                              QStringLiteral(" ORDER BY RandomID")}));
    }

    void drawNumbersThePlanInOrderWithoutGaps()
    {
        Query& q = DM->ADOQryTopic;
        drawFive(q);
        QVERIFY(!q.active());
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp")), 5);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(DISTINCT TopicNo) FROM T_TopicTmp")), 5);
        QCOMPARE(count(QStringLiteral("SELECT MIN(TopicNo) FROM T_TopicTmp")), 1);
        QCOMPARE(count(QStringLiteral("SELECT MAX(TopicNo) FROM T_TopicTmp")), 5);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE TopicNo<=3 AND "
                                      "Type=0")),
                 3);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE TopicNo>3 AND "
                                      "Type=1")),
                 2);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE Result IS NOT "
                                      "NULL")),
                 0);
    }

    void aShortRowGivesAllItHasAndTheNextGoesOn()
    {
        Query& q = DM->ADOQryTopic;
        int next = 1;
        ExamPaper::clear(q);
        ExamPaper::copyBank(q);
        ExamPaper::drawCategory(q, QStringLiteral("Type=1 AND ID>=1 AND ID<=441"), 10, next);
        QCOMPARE(next, 5);
        ExamPaper::drawCategory(q, QStringLiteral("Type=0 AND ID>1066 AND ID<=1207"), 5, next);
        QCOMPARE(next, 5);
        ExamPaper::drawCategory(q, QStringLiteral("Type=0 AND ID>=1 AND ID<=441"), 2, next);
        QCOMPARE(next, 7);
        ExamPaper::dropUndrawn(q);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp")), 6);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE TopicNo=0")), 0);
    }

    void aNewDrawReplacesTheOldPaperAndItsAnswers()
    {
        Query& q = DM->ADOQryTopic;
        drawFive(q);
        exec(QStringLiteral("UPDATE T_TopicTmp SET Result='A'"));
        drawFive(q);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp")), 5);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE Result IS NOT "
                                      "NULL")),
                 0);
    }

    void paperAndSheetFollowTheNumbers()
    {
        Query& q = DM->ADOQryTopic;
        Query& sheet = DM->ADOQuery1;
        drawFive(q);
        ExamPaper::openPaper(q);
        ExamPaper::openAnswerSheet(sheet);
        QCOMPARE(q.recordCount(), 5);
        QCOMPARE(sheet.recordCount(), 5);
        int expected = 1;
        for (sheet.first(); !sheet.eof(); sheet.next()) {
            QCOMPARE(sheet.fieldByName(QStringLiteral("TopicNo")).asInteger(), expected++);
            QVERIFY(sheet.fieldByName(QStringLiteral("Result")).isNull());
        }
        q.last();
        QCOMPARE(q.fieldByName(QStringLiteral("Type")).asInteger(), 1);
        QVERIFY(q.fieldByName(QStringLiteral("Content"))
                    .asString()
                    .startsWith(QStringLiteral("判断题")));
    }

    void unansweredNumbersAreListedWithSingleBlanks()
    {
        Query& q = DM->ADOQryTopic;
        drawFive(q);
        QCOMPARE(ExamPaper::unansweredNumbers(q), QStringLiteral("1 2 3 4 5"));
        QVERIFY(q.active());
        exec(QStringLiteral("UPDATE T_TopicTmp SET Result='B' WHERE TopicNo IN (1,3)"));
        exec(QStringLiteral("UPDATE T_TopicTmp SET Result='' WHERE TopicNo=4"));
        QCOMPARE(ExamPaper::unansweredNumbers(q), QStringLiteral("2 4 5"));
        exec(QStringLiteral("UPDATE T_TopicTmp SET Result='A'"));
        QCOMPARE(ExamPaper::unansweredNumbers(q), QString());
    }

    void markingCountsTheRightAnswersWithoutRegardToCase()
    {
        Query& q = DM->ADOQryTopic;
        drawFive(q);
        QCOMPARE(ExamPaper::rightAnswers(q), QStringLiteral("0"));
        exec(QStringLiteral("UPDATE T_TopicTmp SET Result='a' WHERE TopicNo=1"));
        exec(QStringLiteral("UPDATE T_TopicTmp SET Result='A' WHERE TopicNo=2"));
        exec(QStringLiteral("UPDATE T_TopicTmp SET Result='B' WHERE TopicNo=3"));
        exec(QStringLiteral("UPDATE T_TopicTmp SET Result='√' WHERE TopicNo=4"));
        QCOMPARE(ExamPaper::rightAnswers(q), QStringLiteral("3"));
        QVERIFY(q.active());
    }

    void wrongTopicsTakeWrongEmptyAndMissingAnswersUpTo103()
    {
        Query& q = DM->ADOQryTopic;
        drawFive(q);
        exec(QStringLiteral("UPDATE T_TopicTmp SET Result='A' WHERE TopicNo=1"));
        exec(QStringLiteral("UPDATE T_TopicTmp SET Result='C' WHERE TopicNo=2"));
        exec(QStringLiteral("UPDATE T_TopicTmp SET Result='' WHERE TopicNo=3"));
        // Number 5 stays unanswered; a number past the set is never put in.
        exec(QStringLiteral("UPDATE T_TopicTmp SET TopicNo=104 WHERE TopicNo=4"));
        const TTopicSet wrong = ExamPaper::wrongTopics(q);
        QVERIFY(!q.active());
        QCOMPARE(int(wrong.count()), 3);
        QVERIFY(wrong.test(2));
        QVERIFY(wrong.test(3));
        QVERIFY(wrong.test(5));
        QVERIFY(!wrong.test(1));
    }

    void reviewSheetShowsTheBanksAnswerBesideTheCandidates()
    {
        Query& q = DM->ADOQryTopic;
        Query& sheet = DM->ADOQuery1;
        drawFive(q);
        exec(QStringLiteral("UPDATE T_TopicTmp SET Result='D' WHERE TopicNo=1"));
        ExamPaper::openReviewSheet(sheet);
        QCOMPARE(sheet.recordCount(), 5);
        sheet.first();
        QCOMPARE(sheet.fieldByName(QStringLiteral("TopicNo")).asInteger(), 1);
        QCOMPARE(sheet.fieldByName(QStringLiteral("Result")).asString(), QStringLiteral("A"));
        QCOMPARE(sheet.fieldByName(QStringLiteral("bResult")).asString(), QStringLiteral("D"));
        sheet.last();
        QCOMPARE(sheet.fieldByName(QStringLiteral("TopicNo")).asInteger(), 5);
        QCOMPARE(sheet.fieldByName(QStringLiteral("Result")).asString(), QStringLiteral("√"));
        QVERIFY(sheet.fieldByName(QStringLiteral("bResult")).isNull());
    }
};

TAVIRO_TEST_MAIN(TestPaperUnit)
#include "tst_paperunit.moc"
