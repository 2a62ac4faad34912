// The dataset layer against a small bank: every statement the program runs, with the
// results the screens rely on, and the cursor's moves, edits and notifications.
#include "data/Connection.h"
#include "data/DMUnit.h"
#include "data/DataError.h"
#include "data/JetSql.h"
#include "data/Query.h"
#include "exampaper/ExamPaper.h"
#include "tests/support/TestSupport.h"

#include <QSet>
#include <memory>
#include <sqlite3.h>

using namespace testing;

namespace {

struct Recorder : DataSetObserver
{
    QList<DataEvent> events;
    void dataSetEvent(Query&, DataEvent e, Field*) override { events << e; }
};

void setSql(Query& q, const QStringList& lines)
{
    q.close();
    q.SQL.clear();
    for (const QString& l : lines) {
        q.SQL.add(l);
    }
}

} // namespace

class TestQuery : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFolder> m_folder;
    std::unique_ptr<Connection> m_con;

    // Questions 1..12 of both kinds in two ID ranges, and 1066 outside every range.
    static std::vector<BankRow> bank()
    {
        std::vector<BankRow> rows;
        for (int id = 1; id <= 6; ++id) {
            rows.push_back(choiceRow(id, QStringLiteral("选择题%1").arg(id), QStringLiteral("A")));
        }
        for (int id = 7; id <= 10; ++id) {
            rows.push_back(trueFalseRow(id, QStringLiteral("判断题%1").arg(id),
                                        id % 2 ? QStringLiteral("√") : QStringLiteral("×")));
        }
        rows.push_back(choiceRow(442, QStringLiteral("标志题"), QStringLiteral("b")));
        rows.push_back(trueFalseRow(443, QStringLiteral("标志判断"), QStringLiteral("√")));
        rows.push_back(choiceRow(1066, QStringLiteral("不在考试范围"), QStringLiteral("C")));
        return rows;
    }

    int count(const QString& sql)
    {
        Query q(m_con.get());
        q.SQL.add(sql);
        q.open();
        return q.fields(0).asInteger();
    }

    // Draws the paper the way the exam does: copy, number one range, drop the rest.
    void drawPaper(Query& q)
    {
        ExamPaper::draw(q, {{3, QStringLiteral("Type=0 AND ID>=1 AND ID<=441")},
                            {3, QStringLiteral("Type=1 AND ID>=1 AND ID<=441")}});
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<AppFolder>();
        m_folder->writeBank(bank());
        m_con = std::make_unique<Connection>();
        m_con->connectionString = bankConnectionString(m_folder->path());
        m_con->open();
    }

    void cleanup()
    {
        m_con.reset();
        m_folder.reset();
    }

    void translatesTheRowLimit_data()
    {
        QTest::addColumn<QString>("jet");
        QTest::addColumn<QString>("sqlite");
        QTest::newRow("draw") << QStringLiteral("SELECT TOP 17 ID,TopicNo FROM T_TopicTmp\r\n "
                                                "WHERE Type=0\r\n ORDER BY RandomID")
                              << QStringLiteral("SELECT ID,TopicNo FROM T_TopicTmp\r\n WHERE "
                                                "Type=0\r\n ORDER BY RandomID LIMIT 17");
        QTest::newRow("lower case, semicolon") << QStringLiteral("  select top 5 * from t;")
                                               << QStringLiteral("  select * from t LIMIT 5;");
        QTest::newRow("distinct") << QStringLiteral("SELECT DISTINCT TOP 2 a FROM t")
                                  << QStringLiteral("SELECT DISTINCT a FROM t LIMIT 2");
        QTest::newRow("no top") << QStringLiteral("SELECT TopicNo FROM T_TopicTmp")
                                << QStringLiteral("SELECT TopicNo FROM T_TopicTmp");
        QTest::newRow("column named top")
            << QStringLiteral("SELECT topx FROM t") << QStringLiteral("SELECT topx FROM t");
    }

    void translatesTheRowLimit()
    {
        QFETCH(QString, jet);
        QFETCH(QString, sqlite);
        QCOMPARE(toSqliteDialect(jet), sqlite);
    }

    void wholeBankInIdOrder()
    {
        Query q(m_con.get());
        setSql(q, {QStringLiteral("SELECT * FROM T_Topic"), QStringLiteral(" ORDER BY ID ")});
        q.open();
        QCOMPARE(q.recordCount(), 13);
        QCOMPARE(q.SQL.text(), QStringLiteral("SELECT * FROM T_Topic\r\n ORDER BY ID "));
        for (const char* name : {"ID", "Type", "Content", "Picture", "Result"}) {
            QVERIFY2(q.findField(QString::fromLatin1(name)), name);
        }
        QCOMPARE(q.fieldByName(QStringLiteral("ID")).asInteger(), 1);
        QVERIFY(q.fieldByName(QStringLiteral("Picture")).isNull());
        q.last();
        QCOMPARE(q.fieldByName(QStringLiteral("ID")).asInteger(), 1066);
    }

    void paperStatementsDrawAndNumber()
    {
        Query q(m_con.get());
        drawPaper(q);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp")), 6);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE TopicNo = 0")), 0);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE Result IS NULL")), 6);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(DISTINCT TopicNo) FROM T_TopicTmp")), 6);
        QCOMPARE(
            count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE TopicNo<=3 AND Type=0")),
            3);
        QCOMPARE(
            count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE TopicNo>=4 AND Type=1")),
            3);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE ID>441")), 0);
    }

    void copiedRowsGetDefaultsAndFreshRandomIds()
    {
        Query q(m_con.get());
        setSql(q, {QStringLiteral(" INSERT INTO T_TopicTmp(ID,Type)"),
                   QStringLiteral(" SELECT ID,Type FROM T_Topic")});
        QCOMPARE(q.execSQL(), 13);
        setSql(q, {QStringLiteral("SELECT TopicNo,Result,RandomID FROM T_TopicTmp")});
        q.open();
        QSet<qint64> randoms;
        for (q.first(); !q.eof(); q.next()) {
            QCOMPARE(q.fields(0).asInteger(), 0);
            QVERIFY(q.fields(1).isNull());
            QVERIFY(!q.fields(2).isNull());
            randoms << q.fields(2).asLargeInt();
        }
        QVERIFY(randoms.size() >= 12); // independent values, not one shared one
    }

    void topReturnsAtMostCountInRandomOrder()
    {
        Query q(m_con.get());
        setSql(q, {QStringLiteral(" INSERT INTO T_TopicTmp(ID,Type)"),
                   QStringLiteral(" SELECT ID,Type FROM T_Topic")});
        q.execSQL();
        setSql(q, {QStringLiteral("SELECT TOP 4 ID,TopicNo FROM T_TopicTmp"),
                   QStringLiteral(" WHERE Type=0 AND ID>=1 AND ID<=441"),
                   QStringLiteral(" ORDER BY RandomID")});
        q.open();
        QCOMPARE(q.recordCount(), 4);
        QVERIFY(q.canModify());
        // A category with fewer candidates than asked gives what it has.
        setSql(q, {QStringLiteral("SELECT TOP 17 ID,TopicNo FROM T_TopicTmp"),
                   QStringLiteral(" WHERE Type=1 AND ID>=442 AND ID<=699"),
                   QStringLiteral(" ORDER BY RandomID")});
        q.open();
        QCOMPARE(q.recordCount(), 1);
        // Strict lower bounds leave 1066 out.
        setSql(q, {QStringLiteral("SELECT TOP 5 ID,TopicNo FROM T_TopicTmp"),
                   QStringLiteral(" WHERE Type=0 AND ID>1066 AND ID<=1207"),
                   QStringLiteral(" ORDER BY RandomID")});
        q.open();
        QVERIFY(q.isEmpty());
        QVERIFY(q.eof() && q.bof());
    }

    void paperJoinIsOrderedAndReadOnly()
    {
        Query q(m_con.get());
        drawPaper(q);
        ExamPaper::openPaper(q);
        QCOMPARE(q.recordCount(), 6);
        QCOMPARE(q.fieldCount(), 6);
        int expected = 1;
        for (q.first(); !q.eof(); q.next()) {
            QCOMPARE(q.fieldByName(QStringLiteral("TopicNo")).asInteger(), expected++);
            QVERIFY(
                q.fieldByName(QStringLiteral("Content")).asString().contains(QStringLiteral("题")));
        }
        QVERIFY(!q.canModify());
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q.edit());
        // The number entered on a pad finds its question, leading zeros or not.
        QVERIFY(q.locate(QStringLiteral("TopicNo"), QStringLiteral("004")));
        QCOMPARE(q.fieldByName(QStringLiteral("TopicNo")).asInteger(), 4);
    }

    void answersArePostedAtOnceAndMarked()
    {
        Query q(m_con.get());
        drawPaper(q);
        Query sheet(m_con.get());
        setSql(sheet, {QStringLiteral("SELECT TopicNo,Result"), QStringLiteral("  FROM T_TopicTmp"),
                       QStringLiteral(" ORDER BY TopicNo")});
        sheet.open();
        QCOMPARE(sheet.recordCount(), 6);
        // Answer 1..3 with their right letter (A), 4 right, 5 wrong, 6 left empty.
        QStringList answers;
        Query right(m_con.get());
        setSql(right, {QStringLiteral("SELECT b.TopicNo,a.Result AS Result,b.Result AS bResult"),
                       QStringLiteral("  FROM T_Topic a,T_TopicTmp b WHERE a.ID=b.ID "),
                       QStringLiteral(" ORDER BY b.TopicNo")});
        right.open();
        for (right.first(); !right.eof(); right.next()) {
            answers << right.fieldByName(QStringLiteral("Result")).asString();
        }
        QCOMPARE(right.fieldByName(QStringLiteral("bResult")).fieldName(),
                 QStringLiteral("bResult"));
        const QString wrong =
            answers[4] == QStringLiteral("√") ? QStringLiteral("×") : QStringLiteral("√");
        const QStringList given = {answers[0].toLower(), answers[1], answers[2],
                                   answers[3],           wrong,      QString()};
        for (int i = 0; i < 5; ++i) {
            QVERIFY(sheet.locate(QStringLiteral("TopicNo"), i + 1));
            sheet.edit();
            sheet.fieldByName(QStringLiteral("Result")).setAsString(given[i]);
            sheet.post();
        }
        // Another connection sees every answer at once.
        Connection other;
        other.connectionString = bankConnectionString(m_folder->path());
        other.open();
        Query seen(&other);
        setSql(seen, {QStringLiteral("SELECT TopicNo,Result FROM T_TopicTmp ORDER BY TopicNo")});
        seen.open();
        for (int i = 0; i < 6; ++i, seen.next()) {
            QCOMPARE(seen.fields(1).asString(), given[i]);
        }
        // An empty answer counts as unanswered, like NULL.
        QVERIFY(sheet.locate(QStringLiteral("TopicNo"), 6));
        sheet.edit();
        sheet.fieldByName(QStringLiteral("Result")).setAsString(QString(""));
        sheet.post();

        Query q2(m_con.get());
        setSql(q2, {QStringLiteral("SELECT TopicNo FROM T_TopicTmp"),
                    QStringLiteral(" WHERE Result IS NULL OR Result=''"),
                    QStringLiteral(" ORDER BY TopicNo")});
        q2.open();
        QCOMPARE(q2.recordCount(), 1);
        QCOMPARE(q2.fields(0).asInteger(), 6);

        // Marking: a lower-case letter counts, as the bank compares text without case.
        setSql(q2, {QStringLiteral("SELECT COUNT(*) FROM T_Topic a,T_TopicTmp b"),
                    QStringLiteral(" WHERE a.ID=b.ID AND a.Result=b.Result")});
        q2.open();
        QCOMPARE(q2.fields(0).asString(), QStringLiteral("4"));

        setSql(q2, {QStringLiteral("SELECT b.TopicNo FROM T_Topic a,T_TopicTmp b "),
                    QStringLiteral(" WHERE a.ID=b.ID AND (a.Result<>b.Result OR b.Result IS NULL)"),
                    QStringLiteral(" ORDER BY b.TopicNo")});
        q2.open();
        QList<int> wrongOnes;
        for (q2.first(); !q2.eof(); q2.next()) {
            wrongOnes << q2.fields(0).asInteger();
        }
        QCOMPARE(wrongOnes, QList<int>({5, 6}));
    }

    void cursorMovesLikeTheOldOne()
    {
        Query q(m_con.get());
        setSql(q, {QStringLiteral("SELECT ID FROM T_Topic WHERE ID<=3 ORDER BY ID")});
        Recorder r;
        q.addObserver(&r);
        q.open();
        QCOMPARE(r.events, QList<DataEvent>({DataEvent::ActiveChanged, DataEvent::DataSetChanged}));
        QVERIFY(q.bof() && !q.eof());
        r.events.clear();
        q.prior(); // on the first row: stays, nothing told
        QCOMPARE(q.recNo(), 1);
        QVERIFY(r.events.isEmpty());
        q.next();
        q.next();
        QCOMPARE(q.fields(0).asInteger(), 3);
        QVERIFY(!q.eof());
        q.next(); // past the last row: stays on it
        QVERIFY(q.eof());
        QCOMPARE(q.fields(0).asInteger(), 3);
        QCOMPARE(r.events, QList<DataEvent>({DataEvent::Scrolled, DataEvent::Scrolled}));
        q.prior();
        QVERIFY(!q.eof());
        QCOMPARE(q.fields(0).asInteger(), 2);
        r.events.clear();
        QVERIFY(!q.locate(QStringLiteral("ID"), QStringLiteral("999")));
        QVERIFY(!q.locate(QStringLiteral("ID"), QStringLiteral("123456789012345678901234567890")));
        QVERIFY(!q.locate(QStringLiteral("ID"), QStringLiteral("abc")));
        QVERIFY(r.events.isEmpty());
        QCOMPARE(q.fields(0).asInteger(), 2);
        QVERIFY(q.locate(QStringLiteral("ID"), QStringLiteral("001")));
        QCOMPARE(q.fields(0).asInteger(), 1);
        QCOMPARE(r.events, QList<DataEvent>({DataEvent::DataSetChanged}));
        q.close();
        QVERIFY(!q.active());
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q.next());
        q.removeObserver(&r);
    }

    void changingTheTextClosesTheQuery()
    {
        Query q(m_con.get());
        setSql(q, {QStringLiteral("SELECT ID FROM T_Topic")});
        q.open();
        q.SQL.add(QStringLiteral(" ORDER BY ID"));
        QVERIFY(!q.active());
    }

    void displayTextHandlerServesDisplayOnly()
    {
        Query q(m_con.get());
        setSql(q, {QStringLiteral("SELECT ID,Type FROM T_Topic ORDER BY ID")});
        q.open();
        Field& id = q.fieldByName(QStringLiteral("ID"));
        id.OnGetText = [](Field& f, QString& text, bool display) {
            if (display) {
                text = QStringLiteral("第%1题").arg(f.asInteger());
            }
        };
        QCOMPARE(id.displayText(), QStringLiteral("第1题"));
        QCOMPARE(id.text(), QString());
        QCOMPARE(id.asString(), QStringLiteral("1"));
        // Fields are made anew at each opening: the handler goes with them.
        q.close();
        q.open();
        QCOMPARE(q.fieldByName(QStringLiteral("ID")).displayText(), QStringLiteral("1"));
    }

    void failedPostKeepsTheStoredRow()
    {
        Query q(m_con.get());
        drawPaper(q);
        Query sheet(m_con.get());
        setSql(sheet, {QStringLiteral("SELECT TopicNo,Result FROM T_TopicTmp ORDER BY TopicNo")});
        sheet.open();
        // The table goes away underneath: the post fails and the row stays as it was.
        setSql(q, {QStringLiteral("DROP TABLE T_TopicTmp")});
        q.execSQL();
        sheet.edit();
        sheet.fieldByName(QStringLiteral("Result")).setAsString(QStringLiteral("A"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, sheet.post());
        QCOMPARE(sheet.state(), DataSetState::Browse);
        QVERIFY(sheet.fieldByName(QStringLiteral("Result")).isNull());
    }

    void movingPostsAPendingEdit()
    {
        Query q(m_con.get());
        drawPaper(q);
        Query sheet(m_con.get());
        setSql(sheet, {QStringLiteral("SELECT TopicNo,Result FROM T_TopicTmp ORDER BY TopicNo")});
        sheet.open();
        sheet.edit();
        sheet.fieldByName(QStringLiteral("Result")).setAsString(QStringLiteral("C"));
        sheet.next();
        QCOMPARE(sheet.state(), DataSetState::Browse);
        QCOMPARE(
            count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE TopicNo=1 AND Result='C'")),
            1);
        // An expression column cannot be written.
        Query counted(m_con.get());
        setSql(counted, {QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp")});
        counted.open();
        counted.edit();
        QVERIFY_THROWS_EXCEPTION(DatabaseError, counted.fields(0).setAsInteger(1));
        counted.cancel();
    }

    void picturesAreReadWhenAsked()
    {
        std::vector<BankRow> rows = bank();
        rows[0].picture = QByteArray("BM plain");
        rows[2].picture = QByteArray(300000, 'x'); // overflows many pages
        m_folder = std::make_unique<AppFolder>();
        m_folder->writeBank(rows);
        m_con = std::make_unique<Connection>();
        m_con->connectionString = bankConnectionString(m_folder->path());
        m_con->open();

        Query q(m_con.get());
        setSql(q, {QStringLiteral("SELECT * FROM T_Topic"), QStringLiteral(" ORDER BY ID ")});
        q.open();
        Field& picture = q.fieldByName(QStringLiteral("Picture"));
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.asBytes(), QByteArray("BM plain"));
        q.next();
        QVERIFY(picture.isNull());
        QVERIFY(picture.value().isNull());
        q.next();
        QCOMPARE(picture.asBytes(), rows[2].picture.value());
        {
            const Query::RowPeek first(q, 0);
            QCOMPARE(picture.asBytes(), QByteArray("BM plain"));
        }
        QCOMPARE(picture.asBytes().size(), 300000);
        QVERIFY(q.locate(QStringLiteral("Picture"), QByteArray("BM plain")));
        QCOMPARE(q.fieldByName(QStringLiteral("ID")).asInteger(), 1);
        // The other columns are as they were read.
        QCOMPARE(q.fieldByName(QStringLiteral("Result")).asString(), QStringLiteral("A"));

        // Written through the query, the new picture is what is read back.
        q.edit();
        QCOMPARE(picture.asBytes(), QByteArray("BM plain"));
        picture.setValue(QByteArray("BM new"));
        q.post();
        QCOMPARE(picture.asBytes(), QByteArray("BM new"));
        QCOMPARE(
            count(QStringLiteral("SELECT COUNT(*) FROM T_Topic WHERE Picture=x'424d206e6577'")), 1);
        // Changing another column leaves the picture alone.
        q.edit();
        q.fieldByName(QStringLiteral("Result")).setAsString(QStringLiteral("D"));
        q.post();
        QCOMPARE(picture.asBytes(), QByteArray("BM new"));

        // Columns of the same name cannot be folded: both are read at once, as they are.
        Query twice(m_con.get());
        setSql(twice, {QStringLiteral("SELECT Picture, Picture FROM T_Topic WHERE ID=3")});
        twice.open();
        QCOMPARE(twice.fields(0).asBytes(), rows[2].picture.value());
        QCOMPARE(twice.fields(1).asBytes(), rows[2].picture.value());
        // A joined query holds its pictures itself.
        Query joined(m_con.get());
        setSql(joined, {QStringLiteral("SELECT a.Picture FROM T_Topic a, T_Topic b "
                                       "WHERE a.ID=b.ID AND a.ID=3")});
        joined.open();
        QCOMPARE(joined.fields(0).asBytes(), rows[2].picture.value());
    }

    void transactionsWriteWholeOrNothing()
    {
        Query q(m_con.get());
        drawPaper(q);
        const int paper = count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp"));
        QVERIFY(paper > 0);
        {
            Transaction t(*m_con);
            QVERIFY(m_con->inTransaction());
            setSql(q, {QStringLiteral(" DELETE FROM T_TopicTmp")});
            q.execSQL();
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp")), 0);
            // Left without a commit, as an error or an early return leaves it.
        }
        QVERIFY(!m_con->inTransaction());
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp")), paper);

        // Another connection sees nothing before the commit, everything after it.
        Connection other;
        other.connectionString = m_con->connectionString;
        other.open();
        auto seen = [&other] {
            Query o(&other);
            o.SQL.add(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE Result='B'"));
            o.open();
            return o.fields(0).asInteger();
        };
        Query sheet(m_con.get());
        setSql(sheet, {QStringLiteral("SELECT TopicNo,Result FROM T_TopicTmp ORDER BY TopicNo")});
        sheet.open();
        Transaction t(*m_con);
        for (sheet.first(); !sheet.eof(); sheet.next()) {
            sheet.edit();
            sheet.fieldByName(QStringLiteral("Result")).setAsString(QStringLiteral("B"));
            sheet.post();
        }
        QCOMPARE(seen(), 0);
        t.commit();
        QCOMPARE(seen(), paper);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, [&] {
            m_con->beginTransaction();
            m_con->beginTransaction(); // no nesting
        }());
        m_con->rollback();
        QVERIFY(!m_con->inTransaction());
    }

    void postsStillWorkAfterTheSchemaChanges()
    {
        Query q(m_con.get());
        drawPaper(q);
        Query sheet(m_con.get());
        setSql(sheet, {QStringLiteral("SELECT TopicNo,Result FROM T_TopicTmp ORDER BY TopicNo")});
        sheet.open();
        sheet.edit();
        sheet.fieldByName(QStringLiteral("Result")).setAsString(QStringLiteral("A"));
        sheet.post();
        // Another program changes the file's schema between two answers.
        Connection other;
        other.connectionString = m_con->connectionString;
        other.open();
        Query o(&other);
        o.SQL.add(QStringLiteral("CREATE INDEX Later ON T_TopicTmp(TopicNo)"));
        o.execSQL();
        sheet.next();
        sheet.edit();
        sheet.fieldByName(QStringLiteral("Result")).setAsString(QStringLiteral("C"));
        sheet.fieldByName(QStringLiteral("TopicNo")).setAsInteger(50);
        sheet.post();
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE Result='A' AND "
                                      "TopicNo=1")),
                 1);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE Result='C' AND "
                                      "TopicNo=50")),
                 1);
    }

    void onlyRowsOfOneTableCanBeEdited_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("editable");
        QTest::newRow("answer sheet")
            << QStringLiteral("SELECT TopicNo,Result\r\n  FROM T_TopicTmp\r\n ORDER BY TopicNo")
            << true;
        QTest::newRow("draw") << QStringLiteral(
                                     "SELECT TOP 3 ID,TopicNo,Result FROM T_TopicTmp WHERE "
                                     "Type=0 AND ID>=1 AND ID<=441 ORDER BY RandomID")
                              << true;
        QTest::newRow("alias and star")
            << QStringLiteral("SELECT t.* FROM T_TopicTmp AS t") << true;
        QTest::newRow("quoted names and a comment")
            << QStringLiteral("SELECT [TopicNo], \"Result\" FROM `T_TopicTmp` -- GROUP BY\n")
            << true;
        QTest::newRow("keywords in a text")
            << QStringLiteral(
                   "SELECT TopicNo, Result FROM T_TopicTmp WHERE TopicNo>0 OR Type='DISTINCT; "
                   "SELECT count(*) GROUP BY'")
            << true;
        QTest::newRow("group by") << QStringLiteral(
                                         "SELECT Type, count(*) FROM T_TopicTmp GROUP BY Type")
                                  << false;
        QTest::newRow("aggregate")
            << QStringLiteral("SELECT max(TopicNo), Result FROM T_TopicTmp") << false;
        QTest::newRow("distinct") << QStringLiteral("SELECT DISTINCT Type FROM T_TopicTmp")
                                  << false;
        QTest::newRow("join in the from list")
            << QStringLiteral("SELECT b.TopicNo, b.Result FROM T_Topic a,T_TopicTmp b "
                              "WHERE a.ID=b.ID")
            << false;
        QTest::newRow("inner join")
            << QStringLiteral("SELECT b.Result FROM T_Topic a INNER JOIN T_TopicTmp b ON a.ID=b.ID")
            << false;
        QTest::newRow("compound") << QStringLiteral("SELECT TopicNo, Result FROM T_TopicTmp UNION "
                                                    "ALL SELECT ID, Result FROM T_Topic")
                                  << false;
        QTest::newRow("subquery in from")
            << QStringLiteral(
                   "SELECT TopicNo, Result FROM (SELECT TopicNo, Result FROM T_TopicTmp)")
            << false;
        QTest::newRow("subquery in the list")
            << QStringLiteral("SELECT TopicNo, (SELECT Result FROM T_Topic WHERE ID=1) AS Result "
                              "FROM T_TopicTmp")
            << false;
        QTest::newRow("common table") << QStringLiteral("WITH p AS (SELECT TopicNo, Result FROM "
                                                        "T_TopicTmp) SELECT TopicNo, Result FROM p")
                                      << false;
    }

    void onlyRowsOfOneTableCanBeEdited()
    {
        QFETCH(QString, sql);
        QFETCH(bool, editable);
        Query q(m_con.get());
        drawPaper(q);
        const int before =
            count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE Result='D'"));
        setSql(q, {sql});
        q.open();
        QVERIFY(!q.isEmpty());
        QCOMPARE(q.canModify(), editable);
        if (!editable) {
            QVERIFY_THROWS_EXCEPTION(DatabaseError, q.edit());
            QCOMPARE(q.state(), DataSetState::Browse);
            return;
        }
        q.last();
        const int topicNo = q.fields(0).asInteger();
        q.edit();
        q.fieldByName(QStringLiteral("Result")).setAsString(QStringLiteral("D"));
        q.post();
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE Result='D'")),
                 before + 1);
        // The row written is the row shown.
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_TopicTmp WHERE Result='D' AND %1=%2")
                           .arg(q.fields(0).fieldName())
                           .arg(topicNo)),
                 1);
    }

    void theStatementsOwnOrderHolds()
    {
        std::vector<BankRow> rows = bank();
        for (size_t i = 0; i < rows.size(); ++i) {
            rows[i].picture = QByteArray("BM ") + QByteArray::number(rows[i].id);
        }
        m_folder = std::make_unique<AppFolder>();
        m_folder->writeBank(rows);
        m_con = std::make_unique<Connection>();
        m_con->connectionString = bankConnectionString(m_folder->path());
        m_con->open();
        auto engineOrder = [&](const char* sql) {
            QList<int> ids;
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(m_con->handle(), sql, -1, &st, nullptr);
            while (sqlite3_step(st) == SQLITE_ROW) {
                ids << sqlite3_column_int(st, 0);
            }
            sqlite3_finalize(st);
            return ids;
        };
        const char* statements[] = {
            "SELECT ID, Picture, Result FROM T_Topic ORDER BY Result DESC, ID DESC",
            "SELECT * FROM T_Topic ORDER BY Type, Content DESC",
            "SELECT ID, Picture FROM T_Topic ORDER BY 1 DESC",
            "SELECT ID, Picture FROM T_Topic ORDER BY Picture DESC",
            "SELECT ID, Picture FROM T_Topic WHERE ID>5 ORDER BY -ID LIMIT 4",
        };
        for (const char* sql : statements) {
            Query q(m_con.get());
            setSql(q, {QString::fromUtf8(sql)});
            q.open();
            QList<int> ids;
            for (q.first(); !q.eof(); q.next()) {
                ids << q.fieldByName(QStringLiteral("ID")).asInteger();
                QCOMPARE(q.fieldByName(QStringLiteral("Picture")).asBytes(),
                         QByteArray("BM ") + QByteArray::number(ids.last()));
            }
            QCOMPARE(ids, engineOrder(sql));
            QVERIFY(q.canModify());
        }
    }

    void badStatementsRaise()
    {
        Query q(m_con.get());
        setSql(q, {QStringLiteral("SELECT * FROM NoSuchTable")});
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q.open());
        QVERIFY(!q.active());
        setSql(q, {QStringLiteral("DELETE FROM T_TopicTmp")});
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q.open()); // returns no rows
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q.fieldByName(QStringLiteral("x")));
        Query unconnected;
        unconnected.SQL.add(QStringLiteral("SELECT 1"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, unconnected.open());
    }
};

TAVIRO_TEST_MAIN(TestQuery)
#include "tst_query.moc"
