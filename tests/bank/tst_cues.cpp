// Cues that let a learner pass without knowing the rules: the real bank shows none, and
// the check finds each kind in a small bank made to show it, in either subject.
#include "exampaper/ExamFormat.h"
#include "exampaper/ExamPaper.h"
#include "tests/support/TestSupport.h"
#include "tools/bank/BankSource.h"
#include "tools/bank/CueCheck.h"
#include "tools/bank/FactQuestions.h"
#include "tools/bank/FactTable.h"

#include <QDir>
#include <random>

using namespace testing;

namespace {

const QString kSources = QStringLiteral(TAVIRO_SOURCE_DIR "/assets/bank");

// 1600 questions without cues: letters and ticks drawn at random, options of one length,
// statements of varied words.
std::vector<BankRow> cueFreeBank()
{
    std::mt19937 random(20261209);
    const QStringList fillers = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"),
                                 QStringLiteral("丁"), QStringLiteral("戊"), QStringLiteral("己")};
    std::vector<BankRow> rows;
    for (int id = 1; id <= 1600; ++id) {
        if (id % 2) {
            const QString letter(QChar(u'A' + int(random() % 4)));
            BankRow r = choiceRow(id, QStringLiteral("选择题%1").arg(id), letter);
            r.content =
                QStringLiteral("选择题%1\r\nA、甲%1\r\nB、乙%1\r\nC、丙%1\r\nD、丁%1").arg(id);
            r.source = QStringLiteral("《道路交通安全法》第%1条").arg(id % 100 + 1);
            rows.push_back(r);
        } else {
            const QString a = fillers[int(random() % fillers.size())];
            const QString b = fillers[int(random() % fillers.size())];
            BankRow r = trueFalseRow(id, QStringLiteral("判断%1%2%3。").arg(a, b).arg(id),
                                     random() % 2 ? QStringLiteral("√") : QStringLiteral("×"));
            r.source = QStringLiteral("安全驾驶常识");
            rows.push_back(r);
        }
    }
    return rows;
}

// Subject four's seven chapters without cues: random letters and ticks, and multiple
// answers whose right sets go round the ten of two and three letters.
std::vector<BankRow> cueFreeSubjectFour()
{
    std::mt19937 random(20261210);
    static const char* sets[] = {"AB", "ACD", "BD", "AC", "BCD", "CD", "ABD", "AD", "ABC", "BC"};
    std::vector<BankRow> rows;
    for (int id = 1; id <= 140; ++id) {
        const int kind = id % 5; // two statements, two single choices, one multiple answer
        BankRow r = kind < 2
                        ? trueFalseRow(id, QStringLiteral("判断%1。").arg(id),
                                       random() % 2 ? QStringLiteral("√") : QStringLiteral("×"))
                        : choiceRow(id, QStringLiteral("选择题%1").arg(id),
                                    QString(QChar(u'A' + int(random() % 4))));
        if (kind >= 2) {
            r.content =
                QStringLiteral("选择题%1\r\nA、甲%1\r\nB、乙%1\r\nC、丙%1\r\nD、丁%1").arg(id);
        }
        if (kind == 4) {
            r.type = 2;
            r.result = QString::fromLatin1(sets[(id / 5) % 10]);
        }
        r.chapter = (id - 1) / 20 + 1;
        r.source = QStringLiteral("安全驾驶常识");
        rows.push_back(r);
    }
    return rows;
}

std::vector<PlanShare> subjectFourShares()
{
    std::vector<PlanShare> shares;
    for (const TExam& row : subjectFour().plan) {
        shares.push_back({row.Count, row.Condition});
    }
    return shares;
}

} // namespace

class TestCues : public QObject
{
    Q_OBJECT

private slots:
    void realBankShowsNoCue()
    {
        std::vector<SourceQuestion> questions;
        QStringList errors;
        QVERIFY2(parseBankFolder(kSources, &questions, &errors), qPrintable(joined(errors)));
        std::vector<BankRow> rows;
        QVERIFY2(rowsFromSources(questions, &rows, &errors), qPrintable(joined(errors)));
        const CueReport report = checkCues(rows, examPlanShares());
        QVERIFY2(report.problems.isEmpty(), qPrintable(joined(report.problems)));
        // Every chapter of the plan is measured, and the reviewer's lines name them all:
        // a heading, the chapters, the pictures, the strongest words of the statements and
        // of the options.
        QCOMPARE(report.chapters.size(), std::size_t(11));
        QCOMPARE(describeCues(report).size(), 15);
        // The pictures are counted where they are, in both stored forms.
        int pictures = 0;
        int behind = 0;
        for (const ChapterFigures& f : report.chapters) {
            pictures += f.pictures;
            behind += f.picturesBehindHeader;
        }
        int expected = 0;
        int expectedBehind = 0;
        for (const BankRow& r : rows) {
            if (r.picture && r.id != 1066 && r.id != 1450 && r.id != 1501) {
                ++expected;
                expectedBehind += r.picture->startsWith("BM") ? 0 : 1;
            }
        }
        QCOMPARE(pictures, expected);
        QCOMPARE(behind, expectedBehind);
    }

    void cueFreeBankPasses()
    {
        const CueReport report = checkCues(cueFreeBank(), examPlanShares());
        QVERIFY2(report.problems.isEmpty(), qPrintable(joined(report.problems)));
    }

    void longestRightOption()
    {
        std::vector<BankRow> rows = cueFreeBank();
        int made = 0;
        for (BankRow& r : rows) {
            if (r.type == 0 && r.id <= 441 && made < 100) {
                const int keyed = r.result.at(0).unicode() - 'A';
                QStringList options = {QStringLiteral("甲"), QStringLiteral("乙"),
                                       QStringLiteral("丙"), QStringLiteral("丁")};
                options[keyed] = QStringLiteral("按照道路标线行驶通过");
                r.content = QStringLiteral("题%1\r\nA、%2\r\nB、%3\r\nC、%4\r\nD、%5")
                                .arg(r.id)
                                .arg(options[0], options[1], options[2], options[3]);
                ++made;
            }
        }
        const CueReport report = checkCues(rows, examPlanShares());
        QCOMPARE(report.problems.size(), 1);
        QVERIFY2(report.problems[0].startsWith(QStringLiteral("chapter 1-441: the right option "
                                                              "is strictly the longest")),
                 qPrintable(report.problems[0]));
        // A tie with a distractor tells nothing: the learner cannot pick by length.
        for (BankRow& r : rows) {
            r.content.replace(QStringLiteral("、甲\r"), QStringLiteral("、按照道路标线行驶停下\r"));
        }
        QVERIFY(checkCues(rows, examPlanShares()).problems.size() <= 1);
    }

    // A careful word that only the right option holds singles it out; held by the right
    // option and one distractor it still wins half, which passes; in a wrong option alone
    // it wins nothing; in too few questions it tells nothing.
    void carefulWordOfTheRightOption()
    {
        auto bank = [](int questions, int where) {
            std::vector<BankRow> rows = cueFreeBank();
            int made = 0;
            for (BankRow& r : rows) {
                if (r.type != 0 || made == questions) {
                    continue;
                }
                const int keyed = r.result.at(0).unicode() - 'A';
                QStringList options = {QStringLiteral("甲甲"), QStringLiteral("乙乙"),
                                       QStringLiteral("丙丙"), QStringLiteral("丁丁")};
                const int other = (keyed + 1) % 4;
                if (where == 0 || where == 1) {
                    options[keyed] = QStringLiteral("减速");
                }
                if (where == 1 || where == 2) {
                    options[other] = QStringLiteral("减速");
                }
                r.content = QStringLiteral("题%1\r\nA、%2\r\nB、%3\r\nC、%4\r\nD、%5")
                                .arg(r.id)
                                .arg(options[0], options[1], options[2], options[3]);
                ++made;
            }
            return checkCues(rows, examPlanShares());
        };
        const CueReport singled = bank(12, 0);
        QCOMPARE(singled.problems.size(), 1);
        QVERIFY2(singled.problems[0].startsWith(QStringLiteral("\"减速\" stands in some options "
                                                               "of 12 choice questions")),
                 qPrintable(singled.problems[0]));
        QCOMPARE(singled.optionWords.front().word, QStringLiteral("减速"));
        QCOMPARE(singled.optionWords.front().share(), 1.0);
        QCOMPARE(singled.optionWords.front().rightAlone, 12);
        const CueReport shared = bank(12, 1);
        QVERIFY2(shared.problems.isEmpty(), qPrintable(joined(shared.problems)));
        QCOMPARE(shared.optionWords.front().share(), 0.5);
        const CueReport ruledOut = bank(12, 2);
        QVERIFY2(ruledOut.problems.isEmpty(), qPrintable(joined(ruledOut.problems)));
        QCOMPARE(ruledOut.optionWords.front().share(), 0.0);
        QVERIFY(bank(cue::kOptionWordQuestions - 1, 0).problems.isEmpty());
    }

    void rotations_data()
    {
        QTest::addColumn<int>("shift");
        QTest::addColumn<bool>("statements");
        QTest::addColumn<QString>("message");
        QTest::newRow("same letter") << 0 << false << QStringLiteral("moved by 0");
        QTest::newRow("next letter") << 1 << false << QStringLiteral("moved by 1");
        QTest::newRow("letter after next") << 2 << false << QStringLiteral("moved by 2");
        QTest::newRow("alternating ticks") << 1 << true << QStringLiteral("alternation");
        QTest::newRow("repeated ticks") << 0 << true << QStringLiteral("repetition");
    }

    void rotations()
    {
        QFETCH(int, shift);
        QFETCH(bool, statements);
        QFETCH(QString, message);
        std::vector<BankRow> rows = cueFreeBank();
        // A hand rotation over most of a chapter, broken now and then as writers do.
        int letter = 0;
        bool tick = true;
        int n = 0;
        for (BankRow& r : rows) {
            if (r.id < 700 || r.id > 938 || (++n % 7) == 0) {
                continue;
            }
            if (!statements && r.type == 0) {
                letter = (letter + shift) % 4;
                r.result = QString(QChar(u'A' + letter));
            } else if (statements && r.type == 1) {
                tick = shift ? !tick : (n % 40 < 20);
                r.result = tick ? QStringLiteral("√") : QStringLiteral("×");
            }
        }
        const CueReport report = checkCues(rows, examPlanShares());
        QVERIFY2(joined(report.problems).contains(QStringLiteral("chapter 700-938")),
                 qPrintable(joined(report.problems)));
        QVERIFY2(joined(report.problems).contains(message), qPrintable(joined(report.problems)));
    }

    void tellingWords_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("statements");
        QTest::addColumn<int>("right");
        QTest::addColumn<bool>("cue");
        QTest::newRow("listed word, always false") << QStringLiteral("只要") << 12 << 0 << true;
        QTest::newRow("listed word, 8 of 10") << QStringLiteral("不得") << 10 << 8 << true;
        QTest::newRow("listed word, 7 of 10") << QStringLiteral("不得") << 10 << 7 << false;
        QTest::newRow("listed word, 9 statements") << QStringLiteral("一律") << 9 << 0 << false;
        QTest::newRow("any phrase, far beyond chance")
            << QStringLiteral("红灯") << 40 << 40 << true;
        QTest::newRow("any phrase, within chance") << QStringLiteral("红灯") << 10 << 8 << false;
    }

    void tellingWords()
    {
        QFETCH(QString, word);
        QFETCH(int, statements);
        QFETCH(int, right);
        QFETCH(bool, cue);
        std::vector<BankRow> rows = cueFreeBank();
        int made = 0;
        for (BankRow& r : rows) {
            if (r.type == 1 && made < statements && r.id % 6 == 0) {
                r.content = QStringLiteral("判断%1%2。").arg(word).arg(r.id);
                r.result = made < right ? QStringLiteral("√") : QStringLiteral("×");
                ++made;
            }
        }
        QCOMPARE(made, statements);
        const CueReport report = checkCues(rows, examPlanShares());
        const QString named = QStringLiteral("\"%1\" stands in %2").arg(word).arg(statements);
        QVERIFY2(joined(report.problems).contains(named) == cue,
                 qPrintable(joined(report.problems)));
    }

    void sourcesNameTheirArticle_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("fine");
        QTest::newRow("law and article") << QStringLiteral("《道路交通安全法》第四十二条") << true;
        QTest::newRow("article and clause")
            << QStringLiteral("《道路交通安全法实施条例》第五十九条第一款") << true;
        QTest::newRow("article in figures")
            << QStringLiteral("《机动车驾驶证申领和使用规定》第76条") << true;
        QTest::newRow("law alone") << QStringLiteral("《机动车驾驶证申领和使用规定》") << false;
        QTest::newRow("second law without article")
            << QStringLiteral("《道路交通安全法》第五十一条；《道路交通安全违法行为记分管理办法》")
            << false;
        QTest::newRow("standard by name") << QStringLiteral("GB 5768.2《道路交通标志和标线 第2部"
                                                            "分：道路交通标志》")
                                          << true;
        QTest::newRow("no law") << QStringLiteral("安全驾驶常识") << true;
    }

    void sourcesNameTheirArticle()
    {
        QFETCH(QString, source);
        QFETCH(bool, fine);
        std::vector<BankRow> rows = cueFreeBank();
        rowOf(rows, 41)->source = source;
        const CueReport report =
            checkCues(rows, examPlanShares(), {{41, QStringLiteral("01_laws.txt:200")}});
        if (fine) {
            QVERIFY2(report.problems.isEmpty(), qPrintable(joined(report.problems)));
        } else {
            QCOMPARE(report.problems.size(), 1);
            QVERIFY2(report.problems[0].startsWith(QStringLiteral("01_laws.txt:200: ID 41: the "
                                                                  "source names")),
                     qPrintable(report.problems[0]));
        }
    }

    // Subject four's multiple answers: a careful word in exactly the right options, one right
    // set that stands too often, right sets all of one size, a letter never right.
    void subjectFourMultipleAnswers_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("message"); // empty: no problem
        QTest::newRow("sound") << 0 << QString();
        QTest::newRow("careful word in the right options")
            << 1 << QStringLiteral("\"减速\" stands in some options of 12 choice questions");
        QTest::newRow("one set too often")
            << 2 << QStringLiteral("the right letters ABD stand in 14 of the 28 multiple answers");
        QTest::newRow("all of two letters")
            << 3 << QStringLiteral("28 of the 28 multiple answers have 2 right letters");
        QTest::newRow("a letter never right")
            << 4 << QStringLiteral("D is right in 0 of the 28 multiple answers");
    }

    void subjectFourMultipleAnswers()
    {
        QFETCH(int, fault);
        QFETCH(QString, message);
        std::vector<BankRow> rows = cueFreeSubjectFour();
        int made = 0;
        for (BankRow& r : rows) {
            if (r.type != 2) {
                continue;
            }
            ContentParts parts = splitContent(r.content);
            switch (fault) {
            case 1:
                if (made++ < 12) {
                    for (const QChar letter : r.result) {
                        parts.options[letter.unicode() - 'A'] += QStringLiteral("减速");
                    }
                    r.content = parts.stem;
                    for (int i = 0; i < 4; ++i) {
                        r.content +=
                            QStringLiteral("\r\n%1、%2").arg(QChar(u'A' + i)).arg(parts.options[i]);
                    }
                }
                break;
            case 2:
                r.result = made++ % 2 ? r.result : QStringLiteral("ABD");
                break;
            case 3:
                r.result = r.result.left(2);
                break;
            case 4:
                r.result.remove(QLatin1Char('D'));
                r.result = r.result.size() < 2 ? QStringLiteral("ABC") : r.result;
                break;
            }
        }
        const CueReport report = checkSubjectFourCues(rows, subjectFourShares());
        if (message.isEmpty()) {
            QVERIFY2(report.problems.isEmpty(), qPrintable(joined(report.problems)));
            QCOMPARE(report.multiples.questions, 28);
            QCOMPARE(report.chapters.size(), std::size_t(7));
        } else {
            QVERIFY2(joined(report.problems).contains(message),
                     qPrintable(joined(report.problems)));
        }
    }

    // Two statements of a picture table that read the same differ only by their pictures;
    // a learner then answers one by remembering the other.
    void factStatementsReadApart()
    {
        QDir dir(kSources + QStringLiteral("/facts"));
        int compared = 0;
        for (const QString& file : dir.entryList({QStringLiteral("*.txt")}, QDir::Files)) {
            FactTable table;
            QStringList errors;
            QVERIFY2(parseFactFile(dir.filePath(file), &table, &errors),
                     qPrintable(joined(errors)));
            std::vector<SourceQuestion> made;
            QVERIFY2(tableQuestions(table, &made, &errors), qPrintable(joined(errors)));
            QSet<QString> texts;
            for (const SourceQuestion& q : made) {
                if (q.type == 1) {
                    QVERIFY2(!texts.contains(q.question), qPrintable(file + q.question));
                    texts.insert(q.question);
                    ++compared;
                }
            }
        }
        // The tables are found where the sources stand, or nothing was compared.
        QVERIFY2(compared > 0, qPrintable(dir.path()));
    }

    // The right speed stands at every place among its options, not always first.
    void speedOptionsDoNotPointAtTheRightOne()
    {
        FactTable table;
        QStringList errors;
        QVERIFY(parseFactFile(kSources + QStringLiteral("/facts/02_speed_limits.txt"), &table,
                              &errors));
        std::vector<SourceQuestion> made;
        QVERIFY2(tableQuestions(table, &made, &errors), qPrintable(joined(errors)));
        QSet<QString> letters;
        for (const SourceQuestion& q : made) {
            if (q.type != 0) {
                continue;
            }
            letters.insert(q.answer);
            // 15 km/h is the limit of tractors in the same cases: never a wrong option of
            // the other vehicles' limits.
            if (!q.question.contains(QStringLiteral("拖拉机"))) {
                QVERIFY2(!q.options.contains(QStringLiteral("每小时15公里")),
                         qPrintable(q.question));
            }
        }
        QVERIFY(letters.size() >= 3);
    }
};

TAVIRO_TEST_MAIN(TestCues)
#include "tst_cues.moc"
