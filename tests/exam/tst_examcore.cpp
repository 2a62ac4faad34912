// The exam core under both subjects: the marking of every kind of answer, subject four's
// draw by its plan, the record's upgrade from a bank of version 2 with a book per subject,
// and a paper marked by the core as the result screen counts it.
#include "data/DataError.h"
#include "data/Query.h"
#include "exam/Unt_MoLiKaoShiPingFen.h"
#include "exampaper/ExamMarking.h"
#include "exampaper/ExamPaper.h"
#include "exampaper/StudyRecord.h"
#include "tests/support/ExamSupport.h"

#include <QSet>
#include <sqlite3.h>

using namespace testing;
using ExamMarking::Mark;

Q_DECLARE_METATYPE(AnswerKind)
Q_DECLARE_METATYPE(ExamMarking::Mark)

namespace {

// The result screen as it fills itself when shown, without its modal loop.
struct ResultScreen : TFrm_MoLiKaoShiPingFen
{
    using TFrm_MoLiKaoShiPingFen::FormShow;
};

void run(const QString& sql)
{
    char* message = nullptr;
    const int rc =
        sqlite3_exec(DM->ADOCon.handle(), sql.toUtf8().constData(), nullptr, nullptr, &message);
    const QString text = QString::fromUtf8(message ? message : "");
    sqlite3_free(message);
    QVERIFY2(rc == SQLITE_OK, qPrintable(sql + QStringLiteral(": ") + text));
}

int number(const QString& sql)
{
    Query q(&DM->ADOCon);
    q.SQL.add(sql);
    q.open();
    return q.fields(0).asInteger();
}

QString schemaText()
{
    Query q(&DM->ADOCon);
    q.SQL.add(QStringLiteral("SELECT group_concat(type || name || COALESCE(sql, ''), ';') FROM "
                             "(SELECT * FROM sqlite_master ORDER BY name)"));
    q.open();
    return q.fields(0).asString() + QString::number(number(QStringLiteral("PRAGMA user_version")));
}

// Subject four's bank: perCell questions of each type and chapter, the multiple answers
// of chapter 1 cut to one; single choices answer B, statements ×, multiple answers ACD.
void writeSafeBank(int perCell)
{
    for (const QString& sql : safeBankSql(perCell)) {
        run(sql);
    }
    if (perCell > 0) {
        run(QStringLiteral("DELETE FROM T_SafeTopic WHERE Type=2 AND Chapter=1 AND ID > "
                           "(SELECT MIN(ID) FROM T_SafeTopic WHERE Type=2 AND Chapter=1)"));
    }
}

// The record's tables as release 1.1 made them, with rows.
void writeVersionTwoRecord()
{
    run(QStringLiteral("CREATE TABLE T_ExamHistory (HistoryID INTEGER PRIMARY KEY, TakenAt "
                       "TEXT NOT NULL, CandidateNo TEXT, Score INTEGER NOT NULL, Passed INTEGER "
                       "NOT NULL, Questions INTEGER NOT NULL)"));
    run(QStringLiteral("CREATE TABLE T_ExamChapter (HistoryID INTEGER NOT NULL, Chapter INTEGER "
                       "NOT NULL, Asked INTEGER NOT NULL, Correct INTEGER NOT NULL, PRIMARY KEY "
                       "(HistoryID, Chapter))"));
    run(QStringLiteral("CREATE TABLE T_WrongBook (ID INTEGER PRIMARY KEY, Misses INTEGER NOT NULL "
                       "DEFAULT 0, LastMissed TEXT)"));
    run(QStringLiteral("INSERT INTO T_ExamHistory VALUES (1, '2026-05-01 09:00:00', '7', 91, 1, "
                       "100), (2, '2026-05-02 09:00:00', '7', 80, 0, 100)"));
    run(QStringLiteral("INSERT INTO T_ExamChapter VALUES (1, 0, 17, 16), (2, 0, 17, 12)"));
    run(QStringLiteral("INSERT INTO T_WrongBook VALUES (1, 3, '2026-05-02 09:00:00'), "
                       "(2, 1, '2026-05-02 09:00:00'), (442, 2, '2026-05-01 09:00:00')"));
    run(QStringLiteral("CREATE INDEX T_WrongBook_Missed ON T_WrongBook (LastMissed)"));
    run(QStringLiteral("PRAGMA user_version=2"));
}

StudyRecord::Summary summaryOf(const ExamFormat& format)
{
    StudyRecord::Summary s;
    QString error;
    const bool read = StudyRecord::readSummary(DM->ADOCon, format, &s, &error);
    if (!read) {
        qWarning("%s", qPrintable(error));
    }
    return s;
}

} // namespace

class TestExamCore : public QObject
{
    Q_OBJECT

    std::unique_ptr<ExamFixture> f;

private slots:
    void cleanup()
    {
        f.reset();
        settle();
    }

    void marksEachKindOfAnswer_data()
    {
        QTest::addColumn<AnswerKind>("kind");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("right");
        QTest::addColumn<Mark>("expected");
        QTest::addColumn<QString>("stored"); // what normalised makes of given
        const auto S = AnswerKind::Single;
        const auto T = AnswerKind::TrueFalse;
        const auto M = AnswerKind::Multiple;
        const auto R = Mark::Right;
        const auto W = Mark::Wrong;
        const auto U = Mark::Unanswered;
        const struct
        {
            const char* name;
            AnswerKind kind;
            const char* given; // null: NULL
            const char* right;
            Mark expected;
            const char* stored;
        } rows[] = {
            {"single right", S, "B", "B", R, "B"},
            {"single lower case", S, "b", "B", R, "b"},
            {"single against a lower-case bank", S, "B", "b", R, "B"},
            {"single wrong", S, "C", "B", W, "C"},
            {"single E", S, "E", "A", W, ""},
            {"single with a blank", S, "B ", "B", W, ""},
            {"single as an odd bank holds it", S, " b\t", " B\t", R, ""},
            {"single tick", S, "√", "B", W, ""},
            {"single blanks", S, " \t", "B", U, ""},
            {"single null", S, nullptr, "B", U, ""},
            {"statement right", T, "×", "×", R, "×"},
            {"statement wrong", T, "√", "×", W, "√"},
            {"statement letter", T, "A", "×", W, ""},
            {"statement empty", T, "", "√", U, ""},
            {"multiple exact", M, "ACD", "ACD", R, "ACD"},
            {"multiple lower case", M, "acd", "ACD", R, "ACD"},
            {"multiple other order", M, "DCA", "ACD", W, "ACD"},
            {"multiple missing a letter", M, "AC", "ACD", W, "AC"},
            {"multiple extra letter", M, "ABCD", "ACD", W, "ABCD"},
            {"multiple doubled", M, "AA", "AB", W, ""},
            {"multiple doubled inside", M, "ACCD", "ACD", W, "ACD"},
            {"multiple one letter", M, "A", "AB", W, ""},
            {"multiple E", M, "AE", "ACD", W, ""},
            {"multiple empty", M, "", "ACD", U, ""},
        };
        for (const auto& r : rows) {
            QTest::newRow(r.name) << r.kind << (r.given ? QString::fromUtf8(r.given) : QString())
                                  << QString::fromUtf8(r.right) << r.expected
                                  << QString::fromUtf8(r.stored);
        }
    }

    void marksEachKindOfAnswer()
    {
        QFETCH(AnswerKind, kind);
        QFETCH(QString, given);
        QFETCH(QString, right);
        QFETCH(Mark, expected);
        QFETCH(QString, stored);
        QCOMPARE(ExamMarking::mark(kind, given, right), expected);
        QCOMPARE(ExamMarking::normalised(kind, given), stored);
    }

    // Subject four on a small bank: counts per chapter and kind as the plan says where the
    // bank has them, fewer where it has not, each question once, numbered without gaps;
    // the paper reads no clip; the result screen and the record mark it with its points.
    void subjectFourIsDrawnByItsPlanAndMarkedWithItsPoints()
    {
        f = std::make_unique<ExamFixture>(planBank(1));
        writeSafeBank(5);
        run(QStringLiteral("UPDATE T_SafeTopic SET Clip=zeroblob(300000) WHERE ID=1"));
        Query& q = DM->ADOQryTopic;
        const ExamFormat& four = subjectFour();
        ExamPaper::draw(q, four);
        QCOMPARE(number(QStringLiteral("PRAGMA user_version")), StudyRecord::kUserVersion);
        // The plan's 50 less the multiple answer chapter 1 lacks.
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM T_SafePaper")), 49);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(DISTINCT ID) FROM T_SafePaper")), 49);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(DISTINCT TopicNo) FROM T_SafePaper")), 49);
        QCOMPARE(number(QStringLiteral("SELECT MIN(TopicNo) FROM T_SafePaper")), 1);
        QCOMPARE(number(QStringLiteral("SELECT MAX(TopicNo) FROM T_SafePaper")), 49);
        // Statements first, then single choices, then multiple answers.
        QCOMPARE(number(QStringLiteral("SELECT MAX(TopicNo) FROM T_SafePaper WHERE Type=1")), 20);
        QCOMPARE(number(QStringLiteral("SELECT MIN(TopicNo) FROM T_SafePaper WHERE Type=2")), 41);
        for (const TExam& row : four.plan) {
            const int expected =
                row.Condition == QLatin1String("Type=2 AND Chapter=1") ? 1 : row.Count;
            QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM T_SafePaper p, T_SafeTopic t "
                                           "WHERE p.ID=t.ID AND t.") +
                            QString(row.Condition)
                                .replace(QLatin1String(" AND "), QLatin1String(" AND t."))),
                     expected);
        }
        // Subject one's paper is another table's.
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp")), 0);

        ExamPaper::openPaper(q, four);
        QCOMPARE(q.recordCount(), 49);
        QVERIFY(!q.findField(QStringLiteral("Clip")));
        QByteArray clip;
        QString error;
        QVERIFY2(ExamPaper::clipOf(DM->ADOCon, four, 1, &clip, &error), qPrintable(error));
        QCOMPARE(clip.size(), 300000);
        QVERIFY(ExamPaper::clipOf(DM->ADOCon, four, 2, &clip, &error));
        QVERIFY(clip.isEmpty());

        // 40 of the 49 right: 80 points, no pass; the multiple answers in another order.
        run(QStringLiteral("UPDATE T_SafePaper SET Result=(SELECT Result FROM T_SafeTopic t "
                           "WHERE t.ID=T_SafePaper.ID) WHERE TopicNo<=40"));
        run(QStringLiteral("UPDATE T_SafePaper SET Result='DCA' WHERE TopicNo>40"));
        ExamMarking::MarkedPaper marked;
        QVERIFY2(ExamMarking::markPaper(DM->ADOCon, four, &marked, &error), qPrintable(error));
        QCOMPARE(marked.right, 40);
        QCOMPARE(marked.score, 80);
        QVERIFY(!marked.passed);
        ResultScreen result;
        result.setFormat(four);
        result.FormShow();
        QCOMPARE(result.lblRight->caption(), QStringLiteral("40"));
        QCOMPARE(result.lblError->caption(), QStringLiteral("9"));
        QCOMPARE(result.lblGrade->caption(), QStringLiteral("80"));
        QVERIFY(!result.imgPingYu->isVisibleTo(&result));
        // 45 right: 90 points pass.
        run(QStringLiteral("UPDATE T_SafePaper SET Result='ACD' WHERE TopicNo BETWEEN 41 AND 45"));
        result.FormShow();
        QCOMPARE(result.lblGrade->caption(), QStringLiteral("90"));
        QVERIFY(result.imgPingYu->isVisibleTo(&result));

        StudyRecord::ExamEntry entry;
        QVERIFY2(StudyRecord::recordExam(DM->ADOCon, four, nullptr, QDateTime::currentDateTime(),
                                         QStringLiteral("4"), &entry, &error),
                 qPrintable(error));
        QCOMPARE(entry.score, 90);
        QVERIFY(entry.passed);
        QCOMPARE(entry.questions, 49);
        QCOMPARE(summaryOf(four).bookSize, 4);
        QCOMPARE(summaryOf(subjectOne()).exams, 0);
    }

    void subjectFourNeedsItsQuestions_data()
    {
        QTest::addColumn<bool>("table");
        QTest::newRow("no table") << false;
        QTest::newRow("an empty table") << true;
    }

    void subjectFourNeedsItsQuestions()
    {
        QFETCH(bool, table);
        f = std::make_unique<ExamFixture>(planBank(1));
        if (table) {
            writeSafeBank(0);
        }
        const QString before = schemaText();
        QString error;
        try {
            ExamPaper::draw(DM->ADOQryTopic, subjectFour());
        } catch (const DatabaseError& e) {
            error = e.message();
        }
        QVERIFY2(error.startsWith(QStringLiteral("题库中还没有科目四的题目")), qPrintable(error));
        QCOMPARE(schemaText(), before);
    }

    // A learner's bank of release 1.1: reading it writes nothing, the first hand-in keeps
    // every row as subject one's, a second upgrade changes nothing, and the books of the
    // two subjects keep apart the questions that share a number.
    void versionTwoRecordIsKeptAndSubjectsStayApart()
    {
        f = std::make_unique<ExamFixture>(planBank(1));
        writeVersionTwoRecord();
        const QString before = schemaText();
        const int changes = sqlite3_total_changes(DM->ADOCon.handle());
        StudyRecord::Summary one = summaryOf(subjectOne());
        QCOMPARE(one.exams, 2);
        QCOMPARE(one.passes, 1);
        QCOMPARE(one.chapters[0].asked, 34);
        QCOMPARE(one.bookSize, 3);
        QCOMPARE(summaryOf(subjectFour()).exams, 0);
        QCOMPARE(StudyRecord::wrongBookPracticeSql(DM->ADOCon)[1],
                 QStringLiteral(" WHERE ID IN (1,2,442)"));
        QCOMPARE(StudyRecord::wrongBookPracticeSql(DM->ADOCon, subjectFour())[1],
                 QStringLiteral(" WHERE ID IN ()"));
        QCOMPARE(schemaText(), before);
        QCOMPARE(sqlite3_total_changes(DM->ADOCon.handle()), changes);

        QString error;
        QVERIFY2(StudyRecord::upgradeSchema(DM->ADOCon, &error), qPrintable(error));
        const QString upgraded = schemaText();
        QVERIFY(!DM->ADOCon.inTransaction());
        QVERIFY2(StudyRecord::upgradeSchema(DM->ADOCon, &error), qPrintable(error));
        QCOMPARE(schemaText(), upgraded);
        QCOMPARE(number(QStringLiteral("PRAGMA user_version")), StudyRecord::kUserVersion);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM T_ExamHistory WHERE Subject=1")), 2);
        QCOMPARE(number(QStringLiteral("SELECT SUM(Misses) FROM T_WrongBook WHERE Subject=1")), 6);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE "
                                       "name='T_WrongBook_Missed'")),
                 1);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM T_SafeTopic")), 0);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM T_SafePaper")), 0);
        QCOMPARE(summaryOf(subjectOne()).bookSize, 3);

        // Subject four misses its questions 1 and 2; subject one's 1 and 2 stay as they were.
        writeSafeBank(2);
        run(QStringLiteral("INSERT INTO T_SafePaper (ID, Type, Chapter, TopicNo, Result) "
                           "SELECT ID, Type, Chapter, ID, 'A' FROM T_SafeTopic WHERE ID<=2"));
        QVERIFY2(StudyRecord::recordExam(DM->ADOCon, subjectFour(), nullptr,
                                         QDateTime::currentDateTime(), QStringLiteral("4"), nullptr,
                                         &error),
                 qPrintable(error));
        QCOMPARE(number(QStringLiteral("SELECT Misses FROM T_WrongBook WHERE Subject=1 AND ID=1")),
                 3);
        QCOMPARE(number(QStringLiteral("SELECT Misses FROM T_WrongBook WHERE Subject=4 AND ID=1")),
                 1);
        QCOMPARE(summaryOf(subjectOne()).exams, 2);
        QCOMPARE(summaryOf(subjectFour()).exams, 1);
        QCOMPARE(summaryOf(subjectFour()).bookSize, 2);
        QCOMPARE(summaryOf(subjectFour()).chapters[0].asked, 2);
        QCOMPARE(summaryOf(subjectOne()).chapters[0].asked, 34);
        QCOMPARE(
            StudyRecord::wrongBookPracticeSql(DM->ADOCon, subjectFour()),
            QStringList({QStringLiteral("SELECT * FROM T_SafeTopic"),
                         QStringLiteral(" WHERE ID IN (1,2)"), QStringLiteral(" ORDER BY ID ")}));
        // Mastered in subject one: only subject one's entry leaves.
        QVERIFY(StudyRecord::recordMastered(DM->ADOCon, 1, 1, &error));
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM T_WrongBook WHERE ID=1")), 1);
        QCOMPARE(summaryOf(subjectOne()).bookSize, 2);
    }

    // Answers of every sort on a paper of subject one: the core marks it as the result
    // screen's count, and the record holds the score the screen shows.
    void subjectOneMarkedByTheCoreAgreesWithTheResultScreen()
    {
        f = std::make_unique<ExamFixture>();
        ExamPaper::draw(DM->ADOQryTopic, ExamPlan);
        // Numbers 1 to 60 are choices, 61 to 100 statements.
        f->answerRight(QStringLiteral("TopicNo<=50 OR TopicNo BETWEEN 61 AND 90"));
        run(QStringLiteral("UPDATE T_TopicTmp SET Result=lower(Result) WHERE TopicNo<=10"));
        const char* const others[][2] = {{"51", "' '"}, {"52", "''"},   {"53", "'E'"},
                                         {"54", "'√'"}, {"55", "'AB'"}, {"91", "'A'"},
                                         {"92", "'b'"}};
        for (const auto& [topicNo, answer] : others) {
            run(QStringLiteral("UPDATE T_TopicTmp SET Result=%1 WHERE TopicNo=%2")
                    .arg(QLatin1String(answer), QLatin1String(topicNo)));
        }
        ResultScreen result;
        result.FormShow();
        QCOMPARE(result.lblRight->caption(), QStringLiteral("80"));
        ExamMarking::MarkedPaper marked;
        QString error;
        QVERIFY2(ExamMarking::markPaper(DM->ADOCon, subjectOne(), &marked, &error),
                 qPrintable(error));
        QCOMPARE(QString::number(marked.right), result.lblRight->caption());
        QCOMPARE(QString::number(marked.wrong + marked.unanswered), result.lblError->caption());
        QCOMPARE(QString::number(marked.score), result.lblGrade->caption());
        QCOMPARE(int(marked.questions.size()), 100);
        QCOMPARE(marked.unanswered, 15); // blank, empty, and 13 never answered
        QCOMPARE(marked.wrong, 5);
        int asked = 0;
        for (const ExamMarking::ChapterFigures& c : marked.chapters) {
            asked += c.asked;
        }
        QCOMPARE(asked, 100);
        StudyRecord::ExamEntry entry;
        QVERIFY2(StudyRecord::recordExam(DM->ADOCon, subjectOne(), &marked,
                                         QDateTime::currentDateTime(), QStringLiteral("1"), &entry,
                                         &error),
                 qPrintable(error));
        QCOMPARE(QString::number(entry.score), result.lblGrade->caption());
        // The missed ones go into the book; those left unanswered are counted apart.
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM T_WrongBook")), 5);
        QCOMPARE(entry.unanswered, 15);
    }
};

TAVIRO_TEST_MAIN(TestExamCore)
#include "tst_examcore.moc"
