#include "tools/bank/CueCheck.h"

#include "tools/bank/FactQuestions.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <bit>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

namespace {

const QString kRight = QStringLiteral("√");

bool isHan(QChar c)
{
    return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF;
}

// Two-sided exact binomial test: the chance of a count at least as far from n * p as k.
double binomialP(int k, int n, double p)
{
    if (n == 0 || p <= 0 || p >= 1) {
        return 1;
    }
    auto logPmf = [&](int i) {
        return std::lgamma(n + 1.0) - std::lgamma(i + 1.0) - std::lgamma(n - i + 1.0) +
               i * std::log(p) + (n - i) * std::log(1 - p);
    };
    const double observed = logPmf(k);
    double total = 0;
    for (int i = 0; i <= n; ++i) {
        const double l = logPmf(i);
        if (l <= observed + 1e-9) {
            total += std::exp(l);
        }
    }
    return std::min(1.0, total);
}

// Lengths as a learner sees them: characters, without blanks.
int visibleLength(const QString& text)
{
    int n = 0;
    for (QChar c : text) {
        n += c.isSpace() ? 0 : 1;
    }
    return n;
}

const QRegularExpression& articleForm()
{
    static const QRegularExpression article(
        QStringLiteral("第[0-9一二三四五六七八九十百零〇两]+条"));
    return article;
}

// The titles of laws and rules a source names, each with the text up to the next title.
QStringList lawsWithoutArticle(const QString& source)
{
    static const QRegularExpression title(QStringLiteral("《([^》]*)》"));
    static const QRegularExpression law(QStringLiteral("(法|条例|规定|办法|细则)$"));
    QStringList missing;
    auto it = title.globalMatch(source);
    std::vector<QRegularExpressionMatch> titles;
    while (it.hasNext()) {
        titles.push_back(it.next());
    }
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const QString name = titles[i].captured(1);
        if (!law.match(name).hasMatch()) {
            continue;
        }
        const qsizetype from = titles[i].capturedEnd();
        const qsizetype to = i + 1 < titles.size() ? titles[i + 1].capturedStart() : source.size();
        if (!articleForm().match(source.mid(from, to - from)).hasMatch()) {
            missing << name;
        }
    }
    return missing;
}

// The chapters of the plan, each once: ranges of IDs (subject one) or Chapter numbers
// (subject four), whatever the type of the rows that draw from them.
std::vector<PlanCondition> chaptersOf(const std::vector<PlanShare>& plan)
{
    std::set<std::tuple<int, int, int>> seen;
    for (const PlanShare& share : plan) {
        PlanCondition c;
        if (parseCondition(share.condition, &c)) {
            seen.insert({c.chapter, c.low, c.high});
        }
    }
    std::vector<PlanCondition> out;
    for (const auto& [number, low, high] : seen) {
        PlanCondition c;
        c.chapter = number;
        c.low = low;
        c.high = high;
        out.push_back(c);
    }
    return out;
}

// The right option's index of a single choice, or the right options of a multiple answer
// as bits (A = 1, B = 2 ...); -1 / 0 for an answer the bank check names.
int keyedIndex(const BankRow& r)
{
    const int keyed = r.result.size() == 1 ? r.result.at(0).unicode() - 'A' : -1;
    return keyed >= 0 && keyed <= 3 ? keyed : -1;
}
int keyedSet(const BankRow& r)
{
    int set = 0;
    for (const QChar c : r.result) {
        const int i = c.unicode() - 'A';
        set |= i >= 0 && i <= 3 ? 1 << i : 0;
    }
    return set;
}

// Subject four cites what its answer rests on: an article, a standard, or, for what no
// law states, one of the honest names of common knowledge.
bool namesItsGround(const QString& source)
{
    static const QRegularExpression standard(QStringLiteral("\\b(GB|GA)(/T)?\\s*\\d"));
    static const QStringList knowledge = {QStringLiteral("安全驾驶常识"),
                                          QStringLiteral("应急救护常识"),
                                          QStringLiteral("机动车构造常识")};
    return articleForm().match(source).hasMatch() || standard.match(source).hasMatch() ||
           std::any_of(knowledge.begin(), knowledge.end(),
                       [&](const QString& k) { return source.contains(k); });
}

// "01_laws.txt:12: ID 5: ", or "ID 5: " where the place is not known.
QString placeOf(const QuestionPlaces& places, int id)
{
    const auto it = places.find(id);
    return (it == places.end() ? QString() : it->second + QStringLiteral(": ")) +
           QStringLiteral("ID %1: ").arg(id);
}

QString letterSet(int set)
{
    QString letters;
    for (int i = 0; i < 4; ++i) {
        if (set & (1 << i)) {
            letters += QChar(u'A' + i);
        }
    }
    return letters;
}

} // namespace

double CueWord::rate() const
{
    return statements == 0 ? 0 : double(std::max(right, statements - right)) / statements;
}

const QStringList& cueWords()
{
    static const QStringList words = {
        QStringLiteral("只要"),   QStringLiteral("就可以"), QStringLiteral("可以"),
        QStringLiteral("不必"),   QStringLiteral("一律"),   QStringLiteral("不得"),
        QStringLiteral("应当"),   QStringLiteral("应"),     QStringLiteral("必须"),
        QStringLiteral("禁止"),   QStringLiteral("严禁"),   QStringLiteral("一定"),
        QStringLiteral("所有"),   QStringLiteral("任何"),   QStringLiteral("总是"),
        QStringLiteral("只能"),   QStringLiteral("只需"),   QStringLiteral("无论"),
        QStringLiteral("随意"),   QStringLiteral("即使"),   QStringLiteral("立即"),
        QStringLiteral("直接"),   QStringLiteral("不要"),   QStringLiteral("不能"),
        QStringLiteral("不需要"), QStringLiteral("无需"),   QStringLiteral("无须"),
        QStringLiteral("即可"),   QStringLiteral("允许"),   QStringLiteral("完全"),
        QStringLiteral("绝对"),   QStringLiteral("全部"),   QStringLiteral("可能"),
        QStringLiteral("容易"),   QStringLiteral("为了"),   QStringLiteral("防止"),
        QStringLiteral("注意"),   QStringLiteral("或者"),   QStringLiteral("仅"),
    };
    return words;
}

double OptionWord::share() const
{
    return questions == 0 ? 0 : wins / questions;
}

const QStringList& carefulWords()
{
    static const QStringList words = {
        QStringLiteral("减速"), QStringLiteral("安全"), QStringLiteral("确认"),
        QStringLiteral("提前"), QStringLiteral("距离"), QStringLiteral("车距"),
        QStringLiteral("让行"), QStringLiteral("加大"), QStringLiteral("或者"),
        QStringLiteral("靠右"), QStringLiteral("注意"), QStringLiteral("观察"),
        QStringLiteral("停车"), QStringLiteral("慢行"), QStringLiteral("鸣喇叭"),
        QStringLiteral("开启"), QStringLiteral("及时"), QStringLiteral("立即"),
        QStringLiteral("保持"), QStringLiteral("依次"), QStringLiteral("谨慎"),
    };
    return words;
}

CueReport checkCues(const std::vector<BankRow>& rows, const std::vector<PlanShare>& plan,
                    const QuestionPlaces& places)
{
    CueReport report;
    auto at = [&](int id) { return placeOf(places, id); };
    std::vector<const BankRow*> sorted;
    for (const BankRow& r : rows) {
        sorted.push_back(&r);
    }
    std::sort(sorted.begin(), sorted.end(),
              [](const BankRow* a, const BankRow* b) { return a->id < b->id; });

    for (const BankRow* r : sorted) {
        for (const QString& name : lawsWithoutArticle(r->source)) {
            report.problems
                << at(r->id) +
                       QStringLiteral("the source names 《%1》 without its article").arg(name);
        }
    }

    for (const PlanCondition& chapter : chaptersOf(plan)) {
        ChapterFigures f;
        f.low = chapter.low;
        f.high = chapter.high;
        f.number = chapter.chapter;
        std::vector<int> letters;
        std::vector<bool> ticks;
        for (const BankRow* r : sorted) {
            if (!chapter.inChapter(*r)) {
                continue;
            }
            f.withoutArticle += lawsWithoutArticle(r->source).isEmpty() ? 0 : 1;
            f.article22 +=
                r->source.contains(QStringLiteral("《道路交通安全法》第二十二条")) ? 1 : 0;
            if (r->picture) {
                ++f.pictures;
                f.picturesBehindHeader += r->picture->startsWith("BM") ? 0 : 1;
            }
            if (r->type == 0) {
                const ContentParts parts = splitContent(r->content);
                const int keyed = keyedIndex(*r);
                if (parts.options.size() != 4 || keyed < 0) {
                    continue; // the bank check names these
                }
                ++f.choices;
                letters.push_back(keyed);
                const int own = visibleLength(parts.options[keyed]);
                bool longest = true;
                for (int i = 0; i < 4; ++i) {
                    longest = longest && (i == keyed || visibleLength(parts.options[i]) < own);
                }
                f.keyedLongest += longest ? 1 : 0;
            } else if (r->type == 2) {
                ++f.multiples;
            } else {
                ++f.statements;
                const bool right = r->result == kRight;
                f.rightStatements += right ? 1 : 0;
                ticks.push_back(right);
            }
        }
        const QString name = f.number != 0
                                 ? QStringLiteral("chapter %1: ").arg(f.number)
                                 : QStringLiteral("chapter %1-%2: ").arg(f.low).arg(f.high);
        if (f.choices > 0 && double(f.keyedLongest) / f.choices > cue::kLongestShare) {
            report.problems << name + QStringLiteral("the right option is strictly the longest "
                                                     "in %1 of %2 choice questions (at most "
                                                     "%3 %)")
                                          .arg(f.keyedLongest)
                                          .arg(f.choices)
                                          .arg(cue::kLongestShare * 100);
        }
        const int pairs = int(letters.size()) - 1;
        if (pairs >= cue::kRotationMinimum) {
            for (int shift = 0; shift < 4; ++shift) {
                int hits = 0;
                for (int i = 0; i < pairs; ++i) {
                    hits += (letters[i] + shift) % 4 == letters[i + 1] ? 1 : 0;
                }
                const double rate = double(hits) / pairs;
                if (rate > f.bestShiftRate) {
                    f.bestShiftRate = rate;
                    f.bestShift = shift;
                }
            }
            const double limit = 0.25 + cue::kRotationSigmas * std::sqrt(0.25 * 0.75 / pairs);
            if (f.bestShiftRate > limit) {
                report.problems << name + QStringLiteral(
                                              "the letter of each answer is the previous one "
                                              "moved by %1 in %2 % of the questions (chance: "
                                              "25 %, limit %3 %)")
                                              .arg(f.bestShift)
                                              .arg(f.bestShiftRate * 100, 0, 'f', 0)
                                              .arg(limit * 100, 0, 'f', 0);
            }
        }
        const int tickPairs = int(ticks.size()) - 1;
        if (tickPairs >= cue::kRotationMinimum) {
            int changes = 0;
            for (int i = 0; i < tickPairs; ++i) {
                changes += ticks[i] != ticks[i + 1] ? 1 : 0;
            }
            f.tickPatternRate = double(std::max(changes, tickPairs - changes)) / tickPairs;
            const double limit = 0.5 + cue::kRotationSigmas * std::sqrt(0.25 / tickPairs);
            if (f.tickPatternRate > limit) {
                report.problems << name + QStringLiteral(
                                              "%1 predicts the next true/false answer in %2 % "
                                              "of the statements (chance: 50 %, limit %3 %)")
                                              .arg(changes * 2 > tickPairs
                                                       ? QStringLiteral("alternation")
                                                       : QStringLiteral("repetition"))
                                              .arg(f.tickPatternRate * 100, 0, 'f', 0)
                                              .arg(limit * 100, 0, 'f', 0);
            }
        }
        report.chapters.push_back(f);
    }

    // Careful words that single out the right option: picking at random among the single
    // choice's options that hold one, or ticking exactly the multiple answer's options that
    // hold it.
    for (const QString& w : carefulWords()) {
        OptionWord o{w};
        for (const BankRow* r : sorted) {
            if (r->type != 0 && r->type != 2) {
                continue;
            }
            const ContentParts parts = splitContent(r->content);
            const int keyed = r->type == 0 ? keyedIndex(*r) : keyedSet(*r);
            if (parts.options.size() != 4 || keyed < 0 || (r->type == 2 && keyed == 0)) {
                continue;
            }
            int holders = 0;
            int held = 0;
            for (int i = 0; i < 4; ++i) {
                holders += parts.options[i].contains(w) ? 1 : 0;
                held |= parts.options[i].contains(w) ? 1 << i : 0;
            }
            if (holders == 0 || holders == 4) {
                continue;
            }
            ++o.questions;
            if (r->type == 2) {
                o.wins += held == keyed ? 1 : 0;
                o.rightAlone += held == keyed ? 1 : 0;
            } else if (parts.options[keyed].contains(w)) {
                o.wins += 1.0 / holders;
                o.rightAlone += holders == 1 ? 1 : 0;
            }
        }
        if (o.questions == 0) {
            continue;
        }
        if (o.questions >= cue::kOptionWordQuestions && o.share() > cue::kOptionWordShare) {
            report.problems << QStringLiteral("\"%1\" stands in some options of %2 choice "
                                              "questions; picking among those options wins "
                                              "%3 % of them (at most %4 %; the right option "
                                              "alone holds it in %5)")
                                   .arg(w)
                                   .arg(o.questions)
                                   .arg(o.share() * 100, 0, 'f', 0)
                                   .arg(cue::kOptionWordShare * 100)
                                   .arg(o.rightAlone);
        }
        report.optionWords.push_back(o);
    }
    std::sort(report.optionWords.begin(), report.optionWords.end(),
              [](const OptionWord& a, const OptionWord& b) { return a.share() > b.share(); });

    // Words and phrases of the statements.
    std::vector<const BankRow*> statements;
    for (const BankRow* r : sorted) {
        if (r->type == 1) {
            statements.push_back(r);
        }
    }
    int right = 0;
    for (const BankRow* r : statements) {
        right += r->result == kRight ? 1 : 0;
    }
    const double base = statements.empty() ? 0.5 : double(right) / statements.size();
    std::map<QString, std::pair<int, int>> phrases; // statements, right ones
    for (const BankRow* r : statements) {
        const QString text = splitContent(r->content).stem;
        QSet<QString> seen;
        for (const QString& w : cueWords()) {
            if (text.contains(w)) {
                seen.insert(w);
            }
        }
        for (int n = 2; n <= 3; ++n) {
            for (qsizetype i = 0; i + n <= text.size(); ++i) {
                const QString g = text.mid(i, n);
                if (std::all_of(g.begin(), g.end(), isHan)) {
                    seen.insert(g);
                }
            }
        }
        for (const QString& g : seen) {
            auto& [count, rightCount] = phrases[g];
            ++count;
            rightCount += r->result == kRight ? 1 : 0;
        }
    }
    const QSet<QString> listed(cueWords().begin(), cueWords().end());
    for (const auto& [phrase, counts] : phrases) {
        if (counts.first < cue::kWordStatements) {
            continue;
        }
        const CueWord w{phrase, counts.first, counts.second};
        const bool isListed = listed.contains(phrase);
        const bool cue = w.rate() > cue::kWordRate &&
                         (isListed || binomialP(w.right, w.statements, base) < cue::kPhraseP);
        if (isListed || cue) {
            report.words.push_back(w);
        }
        if (cue) {
            report.problems << QStringLiteral("\"%1\" stands in %2 true/false statements, %3 of "
                                              "them right: it predicts the answer in %4 % (at "
                                              "most %5 %)")
                                   .arg(phrase)
                                   .arg(w.statements)
                                   .arg(w.right)
                                   .arg(w.rate() * 100, 0, 'f', 0)
                                   .arg(cue::kWordRate * 100);
        }
    }
    std::sort(report.words.begin(), report.words.end(), [](const CueWord& a, const CueWord& b) {
        return a.rate() != b.rate() ? a.rate() > b.rate() : a.statements > b.statements;
    });
    return report;
}

CueReport checkSubjectFourCues(const std::vector<BankRow>& rows, const std::vector<PlanShare>& plan,
                               const QuestionPlaces& places)
{
    CueReport report = checkCues(rows, plan, places);
    report.subjectFour = true;
    std::map<int, int> sets;
    MultipleFigures& m = report.multiples;
    for (const BankRow& r : rows) {
        if (!namesItsGround(r.source) && lawsWithoutArticle(r.source).isEmpty()) {
            report.problems << placeOf(places, r.id) +
                                   QStringLiteral("the source names neither an article (第…条), "
                                                  "a standard (GB, GA) nor 安全驾驶常识, "
                                                  "应急救护常识 or 机动车构造常识");
            for (ChapterFigures& f : report.chapters) {
                f.withoutArticle += f.number == r.chapter ? 1 : 0;
            }
        }
        const int set = keyedSet(r);
        const int size = std::popcount(unsigned(set));
        if (r.type != 2 || size < 2 || size > 3) {
            continue; // the bank check names a multiple answer of another size
        }
        ++m.questions;
        m.twoLetters += size == 2 ? 1 : 0;
        ++sets[set];
        for (int i = 0; i < 4; ++i) {
            m.letterRight[i] += set & (1 << i) ? 1 : 0;
        }
    }
    for (const auto& [set, count] : sets) {
        if (count > m.commonestCount) {
            m.commonest = letterSet(set);
            m.commonestCount = count;
        }
    }
    if (m.questions < cue::kMultipleQuestions) {
        return report;
    }
    const int common = std::max(m.twoLetters, m.questions - m.twoLetters);
    if (common > cue::kMultipleSizeShare * m.questions) {
        report.problems << QStringLiteral("%1 of the %2 multiple answers have %3 right letters "
                                          "(at most %4 %)")
                               .arg(common)
                               .arg(m.questions)
                               .arg(common == m.twoLetters ? 2 : 3)
                               .arg(cue::kMultipleSizeShare * 100);
    }
    if (m.commonestCount > cue::kMultipleSetShare * m.questions) {
        report.problems << QStringLiteral("the right letters %1 stand in %2 of the %3 multiple "
                                          "answers (at most %4 %)")
                               .arg(m.commonest)
                               .arg(m.commonestCount)
                               .arg(m.questions)
                               .arg(cue::kMultipleSetShare * 100, 0, 'f', 0);
    }
    for (int i = 0; i < 4; ++i) {
        const double share = double(m.letterRight[i]) / m.questions;
        if (share < cue::kMultipleLetterLow || share > cue::kMultipleLetterHigh) {
            report.problems << QStringLiteral("%1 is right in %2 of the %3 multiple answers "
                                              "(%4 %; from %5 to %6 %)")
                                   .arg(QChar(u'A' + i))
                                   .arg(m.letterRight[i])
                                   .arg(m.questions)
                                   .arg(share * 100, 0, 'f', 0)
                                   .arg(cue::kMultipleLetterLow * 100)
                                   .arg(cue::kMultipleLetterHigh * 100);
        }
    }
    return report;
}

QStringList describeCues(const CueReport& report)
{
    QStringList lines;
    lines << (report.subjectFour
                  ? QStringLiteral("chapter statements right  ticks  single longest  letters   "
                                   "multiple no-source pictures (behind the header)")
                  : QStringLiteral("chapter    choice longest  letters   statements right  ticks  "
                                   "no-article art.22 pictures (behind the header)"));
    int questions = 0;
    int pictures = 0;
    int behind = 0;
    for (const ChapterFigures& f : report.chapters) {
        questions += f.choices + f.statements + f.multiples;
        pictures += f.pictures;
        behind += f.picturesBehindHeader;
        if (report.subjectFour) {
            lines << QStringLiteral("%1 %2 %3 % %4 % %5 %6 % %7 % (+%8) %9 %10 %11 (%12)")
                         .arg(f.number, 7)
                         .arg(f.statements, 10)
                         .arg(f.statements ? 100.0 * f.rightStatements / f.statements : 0, 6, 'f',
                              1)
                         .arg(f.tickPatternRate * 100, 5, 'f', 1)
                         .arg(f.choices, 6)
                         .arg(f.choices ? 100.0 * f.keyedLongest / f.choices : 0, 6, 'f', 1)
                         .arg(f.bestShiftRate * 100, 6, 'f', 1)
                         .arg(f.bestShift)
                         .arg(f.multiples, 8)
                         .arg(f.withoutArticle, 9)
                         .arg(f.pictures, 8)
                         .arg(f.picturesBehindHeader);
            continue;
        }
        lines << QStringLiteral("%1-%2 %3 %4 % %5 % (+%6) %7 %8 % %9 % %10 %11 %12 (%13)")
                     .arg(f.low, 4)
                     .arg(f.high, -4)
                     .arg(f.choices, 6)
                     .arg(f.choices ? 100.0 * f.keyedLongest / f.choices : 0, 6, 'f', 1)
                     .arg(f.bestShiftRate * 100, 6, 'f', 1)
                     .arg(f.bestShift)
                     .arg(f.statements, 8)
                     .arg(f.statements ? 100.0 * f.rightStatements / f.statements : 0, 6, 'f', 1)
                     .arg(f.tickPatternRate * 100, 5, 'f', 1)
                     .arg(f.withoutArticle, 9)
                     .arg(f.article22, 6)
                     .arg(f.pictures, 8)
                     .arg(f.picturesBehindHeader);
    }
    lines << QStringLiteral("pictures: %1 of %2 questions (%3 %), %4 behind the header")
                 .arg(pictures)
                 .arg(questions)
                 .arg(questions ? 100.0 * pictures / questions : 0, 0, 'f', 1)
                 .arg(behind);
    QStringList strongest;
    for (std::size_t i = 0; i < report.words.size() && i < 8; ++i) {
        const CueWord& w = report.words[i];
        strongest << QStringLiteral("%1 %2/%3 (%4 %)")
                         .arg(w.word)
                         .arg(w.right)
                         .arg(w.statements)
                         .arg(w.rate() * 100, 0, 'f', 0);
    }
    lines << QStringLiteral("strongest true/false words (right/statements): ") +
                 strongest.join(QStringLiteral(", "));
    QStringList options;
    for (std::size_t i = 0; i < report.optionWords.size() && i < 8; ++i) {
        const OptionWord& o = report.optionWords[i];
        options << QStringLiteral("%1 %2 % of %3")
                       .arg(o.word)
                       .arg(o.share() * 100, 0, 'f', 0)
                       .arg(o.questions);
    }
    lines << QStringLiteral("careful words of the options (picking among the options that hold "
                            "one wins, chance 25 %): ") +
                 options.join(QStringLiteral(", "));
    if (report.subjectFour) {
        const MultipleFigures& m = report.multiples;
        QStringList letters;
        for (int i = 0; i < 4; ++i) {
            letters << QStringLiteral("%1 %2 %")
                           .arg(QChar(u'A' + i))
                           .arg(m.questions ? 100.0 * m.letterRight[i] / m.questions : 0, 0, 'f',
                                0);
        }
        lines << QStringLiteral("multiple answers: %1, %2 of two right letters and %3 of three; "
                                "the commonest right letters %4 in %5; each letter right in: %6")
                     .arg(m.questions)
                     .arg(m.twoLetters)
                     .arg(m.questions - m.twoLetters)
                     .arg(m.commonest.isEmpty() ? QStringLiteral("-") : m.commonest)
                     .arg(m.commonestCount)
                     .arg(letters.join(QStringLiteral(", ")));
    }
    return lines;
}
