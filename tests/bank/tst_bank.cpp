// The question bank as the learner gets it: the real sources and the built Drive.mdb pass
// the check, the check finds each kind of fault, and the questions made from the fact
// tables are right, deterministic and drawn; subject four's records are checked and
// built into T_SafeTopic.
#include "exam/Unt_SimulateExam.h"
#include "exampaper/ExamFormat.h"
#include "exampaper/StudyRecord.h"
#include "gui/BitmapBlob.h"
#include "tests/support/TestSupport.h"
#include "toolkit/Controls.h"
#include "tools/art/Artwork.h"
#include "tools/art/DashLights.h"
#include "tools/art/HandSignals.h"
#include "tools/bank/BankCheck.h"
#include "tools/bank/BankKeys.h"
#include "tools/bank/CueCheck.h"
#include "tools/bank/FactQuestions.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextLayout>
#include <algorithm>

using namespace testing;

namespace {

const QString kSources = QStringLiteral(TAVIRO_SOURCE_DIR "/assets/bank");
const QString kFacts = QStringLiteral(TAVIRO_SOURCE_DIR "/assets/bank/facts");

// A sound bank of 1600 questions: odd IDs choice, even IDs true/false.
std::vector<BankRow> soundBank()
{
    std::vector<BankRow> rows;
    for (int id = 1; id <= 1600; ++id) {
        if (id % 2) {
            BankRow r = choiceRow(id, QStringLiteral("选择题%1").arg(id), QStringLiteral("C"));
            r.content =
                QStringLiteral("选择题%1\r\nA、甲%1\r\nB、乙%1\r\nC、丙%1\r\nD、丁%1").arg(id);
            rows.push_back(r);
        } else {
            rows.push_back(trueFalseRow(id, QStringLiteral("判断题%1。").arg(id),
                                        id % 4 ? QStringLiteral("√") : QStringLiteral("×")));
        }
    }
    return rows;
}

void writeText(const QString& path, const QString& text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
}

const QString kSignHead = QStringLiteral("@类别: 图示\n@来源: 测试标准\n"
                                         "@问名: 如图所示，这个标志是何含义？\n"
                                         "@判名: 如图所示，这个标志是“{名称}”标志。\n"
                                         "@解释: {名称}：{含义}。\n");

// Subject four's plan as the check takes it; with drawing false its rows draw nothing, so
// that a few records make a sound bank and only the chapters count.
std::vector<PlanShare> safePlanShares(bool drawing = true)
{
    std::vector<PlanShare> shares;
    for (const TExam& row : subjectFour().plan) {
        shares.push_back({drawing ? row.Count : 0, row.Condition});
    }
    return shares;
}

bool sameQuestions(const std::vector<SourceQuestion>& a, const std::vector<SourceQuestion>& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].id != b[i].id || a[i].type != b[i].type || a[i].question != b[i].question ||
            a[i].options != b[i].options || a[i].answer != b[i].answer ||
            a[i].picture != b[i].picture || a[i].pictureHeader != b[i].pictureHeader ||
            a[i].explain != b[i].explain || a[i].source != b[i].source) {
            return false;
        }
    }
    return true;
}

// A bank read back holds the rows it was built from, each with its kind, chapter, text,
// answer, key and picture.
void compareRows(const std::vector<BankRow>& built, const std::vector<BankRow>& expected)
{
    QCOMPARE(built.size(), expected.size());
    for (std::size_t i = 0; i < built.size(); ++i) {
        const BankRow& a = built[i];
        const BankRow& b = expected[i];
        QCOMPARE(a.id, b.id);
        QCOMPARE(a.type, b.type);
        QCOMPARE(a.chapter, b.chapter);
        QCOMPARE(a.content, b.content);
        QCOMPARE(a.result, b.result);
        QCOMPARE(a.key, b.key);
        QCOMPARE(a.picture.has_value(), b.picture.has_value());
        if (a.picture) {
            QVERIFY2(*a.picture == *b.picture, qPrintable(QString::number(a.id)));
        }
    }
}

// The boxes of the lines of a question's text in sequential practice, laid out as its
// memo lays them out: 578 pixels wide, 宋体 21 pixels bold, a margin of 2.
std::vector<QRectF> practiceLines(const QString& content)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(21);
    font.setBold(true);
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    std::vector<QRectF> lines;
    qreal y = 2;
    for (const QString& paragraph : QString(content)
                                        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                        .split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(578 - 4);
            line.setPosition(QPointF(2, y));
            lines.push_back(QRectF(2, y, line.naturalTextWidth(), line.height()));
            y += line.height();
        }
        layout.endLayout();
    }
    return lines;
}

} // namespace

class TestBank : public QObject
{
    Q_OBJECT

    std::vector<SourceQuestion> m_questions;
    std::vector<BankRow> m_rows;

private slots:
    void initTestCase()
    {
        QStringList errors;
        QVERIFY2(parseBankFolder(kSources, &m_questions, &errors), qPrintable(joined(errors)));
        QVERIFY2(rowsFromSources(m_questions, &m_rows, &errors), qPrintable(joined(errors)));
        std::sort(m_rows.begin(), m_rows.end(),
                  [](const BankRow& a, const BankRow& b) { return a.id < b.id; });
    }

    void realSourcesPassTheCheck()
    {
        QCOMPARE(m_rows.size(), std::size_t(1600));
        KeyRecords keys;
        QStringList errors;
        QVERIFY2(readKeyRecords(kSources, &keys, &errors), qPrintable(joined(errors)));
        QCOMPARE(keys.released.size(), std::size_t(1600));
        const QStringList problems =
            checkBank(m_rows, examPlanShares()) + checkKeys(m_questions, keys);
        QVERIFY2(problems.isEmpty(), qPrintable(joined(problems)));
    }

    void builtBankIsTheSourcesAndPassesTheCheck()
    {
        std::vector<BankRow> built;
        QString error;
        QVERIFY2(readBank(QStringLiteral(TAVIRO_APP_DIR "/Drive.mdb"), &built, &error),
                 qPrintable(error));
        const QStringList problems = checkBank(built, examPlanShares());
        QVERIFY2(problems.isEmpty(), qPrintable(joined(problems)));
        // Built in another process: the questions made from the facts, their options and
        // pictures come out the same there as here.
        compareRows(built, m_rows);
        if (QTest::currentTestFailed()) {
            return;
        }
        // Some pictures behind the header, some without, all readable by the screens.
        int header = 0;
        int plain = 0;
        for (const BankRow& r : built) {
            if (r.picture) {
                (r.picture->startsWith("BM") ? plain : header) += 1;
                QVERIFY(!readBitmapBlob(*r.picture).isNull());
            }
        }
        QVERIFY(header > 50 && plain > 50);
    }

    void everyFactBlockHoldsBothTypesWithPictures()
    {
        struct Block
        {
            int first, last;
            bool pictures;
        };
        for (const Block& b :
             {Block{400, 441, false}, Block{600, 699, true}, Block{1425, 1449, true}}) {
            int choices = 0;
            int statements = 0;
            for (const BankRow& r : m_rows) {
                if (r.id >= b.first && r.id <= b.last) {
                    (r.type == 0 ? choices : statements) += 1;
                    QCOMPARE(r.picture.has_value(), b.pictures);
                }
            }
            QCOMPARE(choices + statements, b.last - b.first + 1);
            QVERIFY(choices > 5 && statements > 5);
        }
    }

    void everyPictureNameIsADrawing()
    {
        const QStringList names = questionPictureNames();
        const QSet<QString> known(names.begin(), names.end());
        QCOMPARE(known.size(), names.size());
        for (const SourceQuestion& q : m_questions) {
            if (!q.picture.isEmpty()) {
                QVERIFY2(known.contains(q.picture), qPrintable(q.picture));
            }
        }
        // The officer's signals and the lamps are pictures of their own, each fitting the
        // 200 x 150 picture box, no two alike.
        QCOMPARE(handSignalNames().size(), 8);
        QVERIFY(dashLightNames().size() >= 20);
        QSet<QByteArray> seen;
        for (const QString& n : handSignalNames() + dashLightNames()) {
            QVERIFY2(known.contains(n), qPrintable(n));
            const QImage image = drawQuestionPicture(n);
            QCOMPARE(image.size(), QSize(200, 150));
            const QByteArray bytes = pictureBlob(image, false);
            QVERIFY2(!seen.contains(bytes), qPrintable(n));
            seen.insert(bytes);
        }
        // A turn-indicator lamp lights the arrow of its side only: both lit is the hazard
        // warning.
        for (const auto& [name, leftLit] : {std::pair{QStringLiteral("dash/turn_left"), true},
                                            {QStringLiteral("dash/turn_right"), false}}) {
            const QImage image = drawQuestionPicture(name);
            int lit[2] = {0, 0};
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    lit[x >= image.width() / 2] += c.green() > 150 && c.green() > c.red() + 60;
                }
            }
            QVERIFY2(lit[leftLit ? 0 : 1] > 200 && lit[leftLit ? 1 : 0] * 10 < lit[leftLit ? 0 : 1],
                     qPrintable(name));
        }
    }

    // A quarter of the bank shows a picture, most of the new ones road scenes, spread
    // over the chapters; each scene serves one question, and no scene question shows a
    // scene kept only to show the kit.
    void scenesCoverTheChapters()
    {
        int pictures = 0;
        QMap<QString, int> scenes;
        QMap<int, int> scenesPerChapter;
        for (const SourceQuestion& q : m_questions) {
            if (q.picture.isEmpty()) {
                continue;
            }
            ++pictures;
            if (q.picture.startsWith(QLatin1String("scene/"))) {
                QVERIFY2(!q.picture.startsWith(QLatin1String("scene/kit-")), qPrintable(q.picture));
                ++scenes[q.picture];
                int chapter = 0;
                for (const StudyRecord::Chapter& c : StudyRecord::chapters()) {
                    chapter = q.id >= c.firstId && q.id <= c.lastId ? c.firstId : chapter;
                }
                ++scenesPerChapter[chapter];
            }
        }
        QVERIFY2(pictures >= 400, qPrintable(QString::number(pictures)));
        QVERIFY2(scenes.size() >= 200, qPrintable(QString::number(scenes.size())));
        for (auto it = scenes.cbegin(); it != scenes.cend(); ++it) {
            QVERIFY2(it.value() == 1, qPrintable(it.key()));
        }
        // Every chapter has road scenes.
        for (const StudyRecord::Chapter& c : StudyRecord::chapters()) {
            QVERIFY2(scenesPerChapter.value(c.firstId) >= 3, qPrintable(c.name));
        }
    }

    // Every wrong option of a picture question is the name or meaning of another fact of
    // the table, never one kept apart from it, never the right text.
    void distractorsAreOtherFactsAndNeverRight()
    {
        QDir dir(kFacts);
        int checked = 0;
        for (const QString& file : dir.entryList({QStringLiteral("*.txt")}, QDir::Files)) {
            FactTable table;
            QStringList errors;
            QVERIFY2(parseFactFile(dir.filePath(file), &table, &errors),
                     qPrintable(joined(errors)));
            std::vector<SourceQuestion> made;
            QVERIFY2(tableQuestions(table, &made, &errors), qPrintable(joined(errors)));
            for (const SourceQuestion& q : made) {
                if (q.type != 0) {
                    continue;
                }
                const int right = q.answer.at(0).unicode() - 'A';
                QVERIFY(right >= 0 && right < 4);
                QSet<QString> texts;
                for (const QString& o : q.options) {
                    texts.insert(normalisedText(o));
                }
                QCOMPARE(texts.size(), 4);
                if (table.kind != FactTable::Kind::Pictures) {
                    continue;
                }
                const Fact* own = nullptr;
                for (const Fact& f : table.facts) {
                    own = f.line == q.line ? &f : own;
                }
                QVERIFY(own);
                const int column = q.options.contains(own->columns[1]) ? 1 : 2;
                QCOMPARE(q.options[right], column == 1 ? own->columns[1] : own->columns[2]);
                const QStringList apart =
                    own->tag(QStringLiteral("不混")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
                for (int i = 0; i < 4; ++i) {
                    if (i == right) {
                        continue;
                    }
                    const Fact* other = nullptr;
                    for (const Fact& f : table.facts) {
                        other = f.columns[column] == q.options[i] && &f != own ? &f : other;
                    }
                    QVERIFY2(other, qPrintable(q.options[i]));
                    QVERIFY2(!apart.contains(other->columns[0]), qPrintable(q.options[i]));
                    QVERIFY(!other->tag(QStringLiteral("不混"))
                                 .split(QLatin1Char(' '), Qt::SkipEmptyParts)
                                 .contains(own->columns[0]));
                    ++checked;
                }
            }
        }
        QVERIFY(checked > 150);
    }

    void pointAndSpeedQuestionsAgreeWithTheirFacts()
    {
        for (const char* name : {"01_penalty_points.txt", "02_speed_limits.txt"}) {
            FactTable table;
            QStringList errors;
            QVERIFY(
                parseFactFile(kFacts + QLatin1Char('/') + QLatin1String(name), &table, &errors));
            std::vector<SourceQuestion> made;
            QVERIFY2(tableQuestions(table, &made, &errors), qPrintable(joined(errors)));
            for (const SourceQuestion& q : made) {
                const Fact* own = nullptr;
                for (const Fact& f : table.facts) {
                    own = f.line == q.line ? &f : own;
                }
                QVERIFY(own);
                const QString value = own->columns[0];
                if (q.type == 1) {
                    // The explanation states the fact; the statement is right only when it
                    // says the same.
                    QCOMPARE(q.answer == QStringLiteral("√"), q.question == q.explain);
                    QVERIFY(q.explain.contains(value));
                } else if (q.question.startsWith(QStringLiteral("下列哪种"))) {
                    QCOMPARE(q.options[q.answer.at(0).unicode() - 'A'] +
                                 QStringLiteral("的，一次记") + value + QStringLiteral("分。"),
                             q.explain);
                } else {
                    QVERIFY(q.options[q.answer.at(0).unicode() - 'A'].contains(value));
                }
            }
        }
    }

    // A question shows whole: in the exam the number line and the question fit the text
    // box (550 x 179, less the margin that keeps lines off its frame); in sequential
    // practice no line of a question made from the facts runs under the picture (200 x 150
    // at 378, 160 of the memo).
    void questionsFitTheScreens()
    {
        Label exam(nullptr);
        exam.setTextFont(QStringLiteral("宋体"), 21, true, Qt::black);
        exam.setWordWrap(true);
        const QRectF picture(378, 160, 200, 150);
        QStringList tooLong;
        for (const BankRow& r : m_rows) {
            const bool fact = (r.id >= 400 && r.id <= 441) || (r.id >= 600 && r.id <= 699) ||
                              (r.id >= 1425 && r.id <= 1449);
            bool under = false;
            if (fact) {
                for (const QRectF& line : practiceLines(r.content)) {
                    under = under || (r.picture && line.intersects(picture));
                }
            }
            exam.setCaption(QStringLiteral("第100题 (请从下列ABCD中选择出该题的正确答案)\r\n  ") +
                            r.content);
            const int height = exam.heightForWidth(550 - kExamTextRightMargin);
            if (under || height > 179) {
                tooLong << QStringLiteral("%1 (%2, %3 px)")
                               .arg(r.id)
                               .arg(under ? QStringLiteral("under the picture")
                                          : QStringLiteral("fits practice"))
                               .arg(height);
            }
        }
        QVERIFY2(tooLong.isEmpty(), qPrintable(tooLong.join(QStringLiteral("; "))));
    }

    void factQuestionsAreDeterministic()
    {
        std::vector<SourceQuestion> first;
        std::vector<SourceQuestion> second;
        QStringList errors;
        QVERIFY(factQuestions(kFacts, &first, &errors));
        QVERIFY(factQuestions(kFacts, &second, &errors));
        QCOMPARE(first.size(), std::size_t(42 + 100 + 25));
        QVERIFY(sameQuestions(first, second));
    }

    void factTableMistakesAreNamed_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString three = QStringLiteral("sign/warn_slow | 慢行 | 减速 | 名√\n"
                                             "sign/warn_danger | 注意危险 | 危险 | 名√\n"
                                             "sign/warn_fog | 注意雾天 | 雾 | 名√\n");
        QTest::newRow("block too small")
            << kSignHead + QStringLiteral("@题号: 10-13\n") + three
            << QStringLiteral("make 3 questions; the block needs exactly 4");
        QTest::newRow("unknown code")
            << kSignHead + QStringLiteral("@题号: 10-12\n") +
                   QStringLiteral("sign/warn_ice | 结冰 | 冰 | 选图\n")
            << QStringLiteral("facts/t.txt:7: unknown question code 选图");
        QTest::newRow("unknown drawing")
            << kSignHead + QStringLiteral("@题号: 10-12\n") + three.left(three.size() - 1) +
                   QStringLiteral("\nsign/nothing | 无 | 无 | \n")
            << QStringLiteral("facts/t.txt:10: no drawing named sign/nothing");
        QTest::newRow("too few wrong options")
            << kSignHead + QStringLiteral("@题号: 10-10\n") +
                   QStringLiteral("sign/warn_slow | 慢行 | 减速 | 选名 | 不混：sign/warn_fog\n"
                                  "sign/warn_danger | 注意危险 | 危险 |\n"
                                  "sign/warn_fog | 注意雾天 | 雾 |\n"
                                  "sign/warn_ice | 注意路面结冰 | 冰 |\n")
            << QStringLiteral("facts/t.txt:7: fewer than three other facts");
        QTest::newRow("kind missing") << QStringLiteral("@题号: 1-2\nsign/stop | 停 | 停 | 名√\n")
                                      << QStringLiteral("@类别 must come before the first fact");
        QTest::newRow("no source") << QStringLiteral("@类别: 记分\n@题号: 1-1\n12 | 某行为 | 判√\n")
                                   << QStringLiteral("facts/t.txt:3: no source");
        QTest::newRow("speed without its place")
            << QStringLiteral("@类别: 限速\n@题号: 1-1\n@来源: 条例\n30 | 最高30公里 | 判√\n")
            << QStringLiteral("facts/t.txt:4: the statement holds '每小时{}公里' once");
        QTest::newRow("name of a fact")
            << QStringLiteral(
                   "@类别: 记分\n@题号: 1-1\n@来源: 办法\n12 | 某行为 | 判√ | 键：k7mql0\n")
            << QStringLiteral("facts/t.txt:4: the 键 k7mql0 is not six of");
        QTest::newRow("name of a picture fact")
            << kSignHead + QStringLiteral("@题号: 10-10\n") +
                   QStringLiteral("sign/warn_slow | 慢行 | 减速 | 名√ | 键：k7mq2x\n")
            << QStringLiteral("facts/t.txt:7: a picture fact is named by its drawing");
    }

    void factTableMistakesAreNamed()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        QTemporaryDir dir;
        writeText(dir.filePath(QStringLiteral("t.txt")), text);
        std::vector<SourceQuestion> made;
        QStringList errors;
        QVERIFY(!factQuestions(dir.path(), &made, &errors));
        QVERIFY2(joined(errors).contains(message), qPrintable(joined(errors)));
    }

    // 不混 keeps two facts apart in both directions; 混 limits the wrong options.
    void keptApartAndLimitedOptions()
    {
        QTemporaryDir dir;
        writeText(dir.filePath(QStringLiteral("t.txt")),
                  kSignHead + QStringLiteral(
                                  "@题号: 1-3\n"
                                  "sign/warn_slow | 慢行 | 减速 | 选名 名× | 不混：sign/warn_fog\n"
                                  "sign/warn_danger | 注意危险 | 危险 |\n"
                                  "sign/warn_fog | 注意雾天 | 雾 |\n"
                                  "sign/warn_ice | 注意路面结冰 | 冰 |\n"
                                  "sign/warn_ford | 过水路面 | 水 |\n"
                                  "sign/warn_tunnel | 隧道 | 洞 | 名× | 混：sign/warn_ice\n"));
        std::vector<SourceQuestion> made;
        QStringList errors;
        QVERIFY2(factQuestions(dir.path(), &made, &errors), qPrintable(joined(errors)));
        QCOMPARE(made.size(), std::size_t(3));
        QVERIFY(!made[0].options.contains(QStringLiteral("注意雾天")));
        QCOMPARE(made[0].options[made[0].answer.at(0).unicode() - 'A'], QStringLiteral("慢行"));
        QCOMPARE(made[1].answer, QStringLiteral("×"));
        QVERIFY(!made[1].question.contains(QStringLiteral("雾")));
        QVERIFY(!made[1].question.contains(QStringLiteral("慢行")));
        QVERIFY(made[2].question.contains(QStringLiteral("注意路面结冰")));
        QCOMPARE(made[0].id, 1);
        QCOMPARE(made[2].id, 3);
        QVERIFY(!made[0].pictureHeader);
        QVERIFY(made[1].pictureHeader);
        QVERIFY(!made[2].pictureHeader);
    }

    void soundBankHasNoProblems()
    {
        const QStringList problems = checkBank(soundBank(), examPlanShares());
        QVERIFY2(problems.isEmpty(), qPrintable(joined(problems)));
    }

    void checkFindsEachFault_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("message");
        QTest::newRow("choice answer") << 0 << QStringLiteral("x.txt:7: ID 11: the answer \"E\"");
        QTest::newRow("true/false answer") << 1 << QStringLiteral("ID 12: the answer \"A\"");
        QTest::newRow("three options") << 2 << QStringLiteral("ID 13: a choice question shows");
        QTest::newRow("repeated option") << 3 << QStringLiteral("ID 15: the four options");
        QTest::newRow("same options reordered")
            << 4 << QStringLiteral("ID 17: the question is alike to ID 15");
        QTest::newRow("same statement")
            << 5 << QStringLiteral("ID 20: the question is alike to ID 18");
        QTest::newRow("damaged picture")
            << 6 << QStringLiteral("ID 21: the picture does not decode");
        QTest::newRow("missing IDs")
            << 7 << QStringLiteral("IDs missing from the bank: 30, 400-402");
        QTest::newRow("ID above 1600")
            << 8 << QStringLiteral("ID 1601: the bank holds only IDs 1 to 1600");
        QTest::newRow("thin plan row")
            << 9 << QStringLiteral("exam plan row 7 (Type=0 AND ID>=1272 AND ID<=1320)");
        QTest::newRow("odd type") << 10 << QStringLiteral("ID 25: Type 2");
    }

    void checkFindsEachFault()
    {
        QFETCH(int, fault);
        QFETCH(QString, message);
        std::vector<BankRow> rows = soundBank();
        switch (fault) {
        case 0:
            rowOf(rows, 11)->result = QStringLiteral("E");
            break;
        case 1:
            rowOf(rows, 12)->result = QStringLiteral("A");
            break;
        case 2:
            rowOf(rows, 13)->content = QStringLiteral("题\r\nA、一\r\nB、二\r\nC、三");
            break;
        case 3:
            rowOf(rows, 15)->content = QStringLiteral("题15\r\nA、一\r\nB、二\r\nC、三\r\nD、 二");
            break;
        case 4:
            rowOf(rows, 15)->content = QStringLiteral("同一题\r\nA、一\r\nB、二\r\nC、三\r\nD、四");
            rowOf(rows, 17)->content =
                QStringLiteral("同一题？\r\nA、四\r\nB、三\r\nC、一\r\nD、二");
            break;
        case 5:
            rowOf(rows, 18)->content = QStringLiteral("同一句话。");
            rowOf(rows, 20)->content = QStringLiteral("同 一句话");
            break;
        case 6:
            rowOf(rows, 21)->picture = QByteArray("BM\x10\x00", 4);
            break;
        case 7:
            rows.erase(std::remove_if(rows.begin(), rows.end(),
                                      [](const BankRow& r) {
                                          return r.id == 30 || (r.id >= 400 && r.id <= 402);
                                      }),
                       rows.end());
            break;
        case 8:
            rows.push_back(trueFalseRow(1601, QStringLiteral("多余"), QStringLiteral("√")));
            break;
        case 9:
            for (BankRow& r : rows) {
                if (r.id >= 1272 && r.id <= 1320 && r.type == 0 && r.id > 1280) {
                    r.type = 1;
                    r.result = QStringLiteral("√");
                    r.content = QStringLiteral("改成判断%1").arg(r.id);
                }
            }
            break;
        case 10:
            rowOf(rows, 25)->type = 2;
            break;
        }
        const QStringList problems =
            checkBank(rows, examPlanShares(), {{11, QStringLiteral("x.txt:7")}});
        QVERIFY2(joined(problems).contains(message), qPrintable(joined(problems)));
        QCOMPARE(problems.size(), 1);
    }

    // Keys name questions for ever: the build refuses a question without one or with one
    // of another form, one key for two questions, a retired key given again, and a 1.0
    // question gone without its key retired. The sound folder: records 1 and 2 (new since
    // 1.0, which had record 1 and a question since removed, s1-dddddd).
    void keysAreChecked_data()
    {
        QTest::addColumn<QString>("second"); // the Key line of record 2
        QTest::addColumn<QString>("released");
        QTest::addColumn<QString>("fact");
        QTest::addColumn<QString>("message"); // a pattern; empty: no problem
        const QString released = QStringLiteral("1\t0123456789abcdef\ts1-aaaaaa\n"
                                                "3\t23456789abcdef01\ts1-dddddd\n");
        const QString key = QStringLiteral("Key: s1-bbbbbb\n");
        QTest::newRow("sound") << key << released << QString() << QString();
        QTest::newRow("missing")
            << QString() << released << QString()
            << QStringLiteral("^x\\.txt:9: ID 2: the record has no Key: add after its ID "
                              "the line \"Key: s1-[a-km-np-z2-9]{6}\" \\(a fresh key\\)$");
        QTest::newRow("missing from a 1.0 question")
            << QString() << released + QStringLiteral("2\t3456789abcdef012\ts1-bbbbbb\n")
            << QString()
            << QStringLiteral("^x\\.txt:9: ID 2: the record has no Key: add after its ID the line "
                              "\"Key: s1-bbbbbb\" if it is still the question 1\\.0 had as ID 2 "
                              "\\(keys-1\\.0\\.txt:4\\), else \"Key: s1-[a-km-np-z2-9]{6}\"");
        QTest::newRow("not of the form")
            << QStringLiteral("Key: s1-bbbbl0\n") << released << QString()
            << QStringLiteral("^x\\.txt:9: ID 2: the key s1-bbbbl0 is not s1- and six of");
        QTest::newRow("twice") << QStringLiteral("Key: s1-aaaaaa\n") << released << QString()
                               << QStringLiteral(
                                      "x\\.txt:9: ID 2: the key s1-aaaaaa is also the key of ID 1 "
                                      "\\(x\\.txt:1\\)");
        QTest::newRow("retired given again")
            << QStringLiteral("Key: s1-cccccc\n") << released << QString()
            << QStringLiteral("ID 2: the key s1-cccccc is retired \\(retired-keys\\.txt:2\\)");
        QTest::newRow("1.0 question dropped")
            << key << released + QStringLiteral("4\t3456789abcdef012\ts1-eeeeee\n") << QString()
            << QStringLiteral("^keys-1\\.0\\.txt:4: ID 4: the question s1-eeeeee of 1\\.0 is "
                              "no longer in the bank");
        QTest::newRow("bad line of the 1.0 record")
            << key << released + QStringLiteral("4\tE456789abcdef012\ts1-eeeeee\n") << QString()
            << QStringLiteral("^keys-1\\.0\\.txt:4: the digest");
        QTest::newRow("fact without its name")
            << key << released
            << QStringLiteral("@类别: 记分\n@题号: 3-3\n@来源: 办法\n12 | 某行为 | 判√\n")
            << QStringLiteral("^facts/t\\.txt:4: ID 3: the fact makes questions but has no 键: "
                              "add the column \"键：[a-km-np-z2-9]{6}\" \\(a fresh name\\)$");
        QTest::newRow("fact names a record")
            << key << released
            << QStringLiteral(
                   "@类别: 记分\n@题号: 3-3\n@来源: 办法\n12 | 某行为 | 判√ | 键：aaaaaa\n")
            << QStringLiteral("^facts/t\\.txt:4: ID 3: the name aaaaaa of the key s1-aaaaaa/判√ is "
                              "also that of ID 1");
    }

    void keysAreChecked()
    {
        QFETCH(QString, second);
        QFETCH(QString, released);
        QFETCH(QString, fact);
        QFETCH(QString, message);
        const QString record = QStringLiteral("ID: %1\n%2Type: 判断\nQuestion: 第%1题。\n"
                                              "Answer: √\nSource: 测试\nExplain: 测试\n");
        QTemporaryDir dir;
        writeText(dir.filePath(QStringLiteral("x.txt")),
                  record.arg(1).arg(QStringLiteral("Key: s1-aaaaaa\n")) + QLatin1Char('\n') +
                      record.arg(2).arg(second));
        writeText(dir.filePath(QStringLiteral("keys-1.0.txt")),
                  QStringLiteral("# 1.0\n") + released);
        writeText(dir.filePath(QStringLiteral("retired-keys.txt")),
                  QStringLiteral("# removed\ns1-cccccc\ns1-dddddd\n"));
        if (!fact.isEmpty()) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("facts")));
            writeText(dir.filePath(QStringLiteral("facts/t.txt")), fact);
        }
        std::vector<SourceQuestion> questions;
        KeyRecords keys;
        QStringList problems;
        QVERIFY2(parseBankFolder(dir.path(), &questions, &problems), qPrintable(joined(problems)));
        readKeyRecords(dir.path(), &keys, &problems);
        problems += checkKeys(questions, keys);
        if (message.isEmpty()) {
            QVERIFY2(problems.isEmpty(), qPrintable(joined(problems)));
            QCOMPARE(questions.size(), std::size_t(2));
            return;
        }
        QCOMPARE(problems.size(), 1);
        QVERIFY2(QRegularExpression(message).match(problems[0]).hasMatch(),
                 qPrintable(problems[0]));
    }

    // Subject four's records go through the checks of the build: each fault is refused with
    // its place, and the sound folder passes. The folder: subject one's record 1 (key
    // s1-aaaaaa), and in km4 a statement (s4-bbbbbb), a single choice and a multiple answer
    // (record 3, whose lines after its ID each row gives).
    void subjectFourRecordsAreChecked_data()
    {
        QTest::addColumn<QString>("third");
        QTest::addColumn<QString>("message"); // a pattern; empty: no problem
        auto multiple = [](const QString& answer, const QString& key = QStringLiteral("s4-cccccc"),
                           const QString& chapter = QStringLiteral("Chapter: 3\n")) {
            return QStringLiteral("Key: %1\nType: 多选\n%2Question: 哪些做法对？\nA: 甲\nB: 乙\n"
                                  "C: 丙\nD: 丁\nAnswer: %3\nSource: 安全驾驶常识\n"
                                  "Explain: 测试\n")
                .arg(key, chapter, answer);
        };
        QTest::newRow("sound") << multiple(QStringLiteral("AC")) << QString();
        QTest::newRow("one letter")
            << multiple(QStringLiteral("B"))
            << QStringLiteral("^km4/a\\.txt:23: the multiple answer \"B\" has one letter");
        QTest::newRow("all four") << multiple(QStringLiteral("ABCD"))
                                  << QStringLiteral("^km4/a\\.txt:23: the multiple answer "
                                                    "\"ABCD\" holds all four options");
        QTest::newRow("out of order")
            << multiple(QStringLiteral("DB"))
            << QStringLiteral("^km4/a\\.txt:23: the multiple answer \"DB\" is out of order: "
                              "write \"BD\" \\(ID 3\\)$");
        QTest::newRow("chapter 8") << multiple(QStringLiteral("AC"), QStringLiteral("s4-cccccc"),
                                               QStringLiteral("Chapter: 8\n"))
                                   << QStringLiteral("^km4/a\\.txt:23: ID 3: Chapter 8 is none of "
                                                     "the chapters the exam plan draws from "
                                                     "\\(1-7\\)$");
        QTest::newRow("no chapter")
            << multiple(QStringLiteral("AC"), QStringLiteral("s4-cccccc"), QString())
            << QStringLiteral("^km4/a\\.txt:23: Chapter must be the number of a chapter");
        QTest::newRow("key of subject one")
            << multiple(QStringLiteral("AC"), QStringLiteral("s1-cccccc"))
            << QStringLiteral("^km4/a\\.txt:23: ID 3: the key s1-cccccc is not s4- and six of");
        QTest::newRow("key of subject one's question")
            << multiple(QStringLiteral("AC"), QStringLiteral("s4-aaaaaa"))
            << QStringLiteral("^km4/a\\.txt:23: ID 3: the name aaaaaa of the key s4-aaaaaa is "
                              "also that of ID 1 \\(x\\.txt:1\\)$");
        QTest::newRow("key of another question")
            << multiple(QStringLiteral("AC"), QStringLiteral("s4-bbbbbb"))
            << QStringLiteral("^km4/a\\.txt:23: ID 3: the key s4-bbbbbb is also the key of ID 1 "
                              "\\(km4/a\\.txt:1\\)$");
        QTest::newRow("retired key") << multiple(QStringLiteral("AC"), QStringLiteral("s4-dddddd"))
                                     << QStringLiteral("ID 3: the key s4-dddddd is retired");
        QTest::newRow("source without its ground")
            << multiple(QStringLiteral("AC"))
                   .replace(QStringLiteral("安全驾驶常识"), QStringLiteral("驾驶经验"))
            << QStringLiteral("^km4/a\\.txt:23: ID 3: the source names neither an article");
    }

    void subjectFourRecordsAreChecked()
    {
        QFETCH(QString, third);
        QFETCH(QString, message);
        QTemporaryDir dir;
        writeText(dir.filePath(QStringLiteral("x.txt")),
                  QStringLiteral("ID: 1\nKey: s1-aaaaaa\nType: 判断\nQuestion: 第一题。\n"
                                 "Answer: √\nSource: 测试\nExplain: 测试\n"));
        writeText(dir.filePath(QStringLiteral("keys-1.0.txt")), QStringLiteral("# 1.0\n"));
        writeText(dir.filePath(QStringLiteral("retired-keys.txt")), QStringLiteral("s4-dddddd\n"));
        QVERIFY(QDir(dir.path()).mkdir(subjectFourFolder()));
        writeText(dir.filePath(QStringLiteral("km4/a.txt")),
                  QStringLiteral("ID: 1\nKey: s4-bbbbbb\nType: 判断\nChapter: 1\n"
                                 "Question: 驾驶时应当系好安全带。\nAnswer: √\n"
                                 "Source: 《道路交通安全法》第五十一条\nExplain: 测试\n\n"
                                 "ID: 2\nKey: s4-eeeeee\nType: 选择\nChapter: 2\n"
                                 "Question: 哪一个？\nA: 甲\nB: 乙\nC: 丙\nD: 丁\nAnswer: D\n"
                                 "Source: 应急救护常识\nExplain: 测试\n\nID: 3\n") +
                      third);
        std::vector<SourceQuestion> questions;
        std::vector<SourceQuestion> safe;
        QStringList problems;
        QVERIFY(parseBankFolder(dir.path(), &questions, &problems));
        if (parseSubjectFourFolder(dir.path(), &safe, &problems)) {
            std::vector<BankRow> rows;
            QVERIFY2(rowsFromSources(safe, &rows, &problems), qPrintable(joined(problems)));
            const QuestionPlaces places = placesOf(dir.path(), safe);
            QStringList warnings;
            problems += checkSubjectFour(rows, safePlanShares(false), places, &warnings) +
                        checkSubjectFourCues(rows, safePlanShares(false), places).problems;
            QVERIFY(warnings.isEmpty());
            KeyRecords keys;
            QVERIFY2(readKeyRecords(dir.path(), &keys, &problems), qPrintable(joined(problems)));
            questions.insert(questions.end(), safe.begin(), safe.end());
            problems += checkKeys(questions, keys);
        }
        if (message.isEmpty()) {
            QVERIFY2(problems.isEmpty(), qPrintable(joined(problems)));
            QCOMPARE(safe.size(), std::size_t(3));
            QCOMPARE(safe[2].type, 2);
            QCOMPARE(safe[2].chapter, 3);
            return;
        }
        QCOMPARE(problems.size(), 1);
        QVERIFY2(QRegularExpression(message).match(problems[0]).hasMatch(),
                 qPrintable(problems[0]));
    }

    // The built bank's T_SafeTopic is the km4 records, each with its kind, chapter, answer,
    // key and clip, and the paper empty; and it passes the check.
    void builtBankHoldsSubjectFour()
    {
        std::vector<SourceQuestion> safe;
        QStringList errors;
        QVERIFY2(parseSubjectFourFolder(kSources, &safe, &errors), qPrintable(joined(errors)));
        QVERIFY(safe.size() >= 81);
        std::vector<BankRow> rows;
        QVERIFY2(rowsFromSources(safe, &rows, &errors), qPrintable(joined(errors)));
        std::sort(rows.begin(), rows.end(),
                  [](const BankRow& a, const BankRow& b) { return a.id < b.id; });
        std::vector<BankRow> built;
        QString error;
        QVERIFY2(readSubjectFour(QStringLiteral(TAVIRO_APP_DIR "/Drive.mdb"), &built, &error),
                 qPrintable(error));
        compareRows(built, rows);
        if (QTest::currentTestFailed()) {
            return;
        }
        QSet<int> kinds;
        for (const BankRow& r : built) {
            kinds.insert(r.type);
        }
        QCOMPARE(kinds.size(), 3);
        QStringList warnings;
        const QStringList problems = checkSubjectFour(built, safePlanShares(), {}, &warnings) +
                                     checkSubjectFourCues(built, safePlanShares()).problems;
        QVERIFY2(problems.isEmpty(), qPrintable(joined(problems)));
        AppFolder folder;
        folder.copyFromBuild(QStringLiteral("Drive.mdb"));
        const auto clips = std::count_if(safe.begin(), safe.end(),
                                         [](const SourceQuestion& q) { return !q.clip.isEmpty(); });
        QCOMPARE(folder
                     .scalar(QStringLiteral("SELECT COUNT(*) FROM T_SafeTopic WHERE Clip IS NOT "
                                            "NULL"))
                     .toInt(),
                 int(clips));
        QCOMPARE(folder.scalar(QStringLiteral("SELECT COUNT(*) FROM T_SafePaper")).toInt(), 0);
    }

    // The same text under another picture is another question.
    void samePictureTextWithOtherPicturesIsNotAlike()
    {
        std::vector<BankRow> rows = soundBank();
        for (int id : {31, 33}) {
            rowOf(rows, id)->content =
                QStringLiteral("如图所示，这个标志是何含义？\r\nA、甲\r\nB、乙\r\nC、丙\r\nD、丁");
        }
        rowOf(rows, 31)->picture =
            pictureBlob(drawQuestionPicture(QStringLiteral("sign/stop")), false);
        rowOf(rows, 33)->picture =
            pictureBlob(drawQuestionPicture(QStringLiteral("sign/yield")), true);
        QVERIFY(checkBank(rows, examPlanShares()).isEmpty());
        rowOf(rows, 33)->picture =
            pictureBlob(drawQuestionPicture(QStringLiteral("sign/stop")), true);
        QCOMPARE(checkBank(rows, examPlanShares()).size(), 1);
    }
};

TAVIRO_TEST_MAIN(TestBank)
#include "tst_bank.moc"
