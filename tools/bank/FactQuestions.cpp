#include "tools/bank/FactQuestions.h"

#include "tools/art/Artwork.h"
#include "tools/bank/BankKeys.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <functional>

namespace {

const QString kRight = QStringLiteral("√");
const QString kWrong = QStringLiteral("×");
const QString kPlaceholder = QStringLiteral("每小时{}公里");

// FNV-1a over the UTF-8 bytes: the same on every run and every machine, unlike qHash.
quint32 stableHash(const QString& text)
{
    quint32 h = 2166136261u;
    for (const char c : text.toUtf8()) {
        h ^= quint8(c);
        h *= 16777619u;
    }
    return h;
}

QString withoutFullStop(QString text)
{
    while (text.endsWith(QStringLiteral("。"))) {
        text.chop(1);
    }
    return text;
}

QStringList words(const QString& text)
{
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The questions of one table as they are made; choices and statements apart.
struct Made
{
    std::vector<SourceQuestion> choices;
    std::vector<SourceQuestion> statements;
};

class TableMaker
{
public:
    TableMaker(const FactTable& table, QStringList* errors)
        : m_table(table)
        , m_errors(errors)
    {}

    bool make(Made* made)
    {
        m_made = made;
        if (m_table.kind == FactTable::Kind::Pictures && !checkPictureTable()) {
            return false;
        }
        bool ok = checkKeyNames();
        for (const Fact& fact : m_table.facts) {
            for (const QString& code : words(fact.columns.last())) {
                ok = makeOne(fact, code) && ok;
            }
        }
        return ok;
    }

private:
    QString key(const Fact& f) const
    {
        return f.columns[m_table.kind == FactTable::Kind::Pictures ? 0 : 1];
    }

    void fail(const Fact& f, const QString& what)
    {
        *m_errors << m_table.where(f.line) + what;
        m_ok = false;
    }

    // A question is named by its fact and its code: a picture fact by its drawing, which
    // no other fact of the bank may show, a fact of points or speeds by its 键, since its
    // text and value are what a reviewer corrects.
    SourceQuestion base(const Fact& f, const QString& code) const
    {
        SourceQuestion q;
        q.type = code.startsWith(QStringLiteral("选")) ? 0 : 1;
        const QString name =
            m_table.kind == FactTable::Kind::Pictures ? key(f) : f.tag(QStringLiteral("键"));
        if (!name.isEmpty()) {
            q.key = factQuestionKey(name, code);
        }
        q.fromFact = true;
        q.source = f.source;
        q.file = m_table.file;
        q.line = f.line;
        return q;
    }

    // Other facts that may stand beside f as wrong options or a wrong statement, best
    // first: those its 混 names if it names any, else those of its own group, then the
    // rest; never one that 不混 keeps apart from it, nor one with the same text.
    std::vector<const Fact*> rivals(const Fact& f, const std::function<QString(const Fact&)>& text,
                                    const QString& salt) const
    {
        const QStringList only = words(f.tag(QStringLiteral("混")));
        const QStringList apart = words(f.tag(QStringLiteral("不混")));
        std::vector<std::pair<std::pair<int, quint32>, const Fact*>> ranked;
        QSet<QString> seen = {normalisedText(text(f))};
        for (const Fact& c : m_table.facts) {
            if (&c == &f || apart.contains(key(c)) ||
                words(c.tag(QStringLiteral("不混"))).contains(key(f))) {
                continue;
            }
            if (!only.isEmpty() && !only.contains(key(c))) {
                continue;
            }
            const int tier = only.isEmpty() && c.group != f.group ? 1 : 0;
            ranked.push_back({{tier, stableHash(salt + key(f) + QLatin1Char('|') + key(c))}, &c});
        }
        std::sort(ranked.begin(), ranked.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<const Fact*> out;
        for (const auto& [rank, c] : ranked) {
            const QString n = normalisedText(text(*c));
            if (!seen.contains(n)) {
                seen.insert(n);
                out.push_back(c);
            }
        }
        return out;
    }

    // A choice question whose right option goes where the hash puts it.
    void addChoice(SourceQuestion q, const QString& right, const QStringList& wrong,
                   const QString& salt)
    {
        q.options = wrong;
        const int at = int(stableHash(salt) % 4);
        q.options.insert(at, right);
        q.answer = QString(QLatin1Char(char('A' + at)));
        m_made->choices.push_back(q);
    }

    // A choice question of numbers, in ascending order.
    void addNumberChoice(SourceQuestion q, int right, const QList<int>& wrong,
                         const QString& format)
    {
        QList<int> all = wrong;
        all << right;
        std::sort(all.begin(), all.end());
        for (int v : all) {
            q.options << format.arg(v);
        }
        q.answer = QString(QLatin1Char(char('A' + all.indexOf(right))));
        m_made->choices.push_back(q);
    }

    void addStatement(SourceQuestion q, bool right)
    {
        q.answer = right ? kRight : kWrong;
        m_made->statements.push_back(q);
    }

    // Other numbers of the table, best first: those of the same group, then the rest.
    QList<int> otherNumbers(const Fact& f, int value, const QString& salt) const
    {
        std::vector<std::pair<std::pair<int, quint32>, int>> ranked;
        QSet<int> seen = {value};
        for (const Fact& c : m_table.facts) {
            const int v = c.columns[0].toInt();
            if (!seen.contains(v)) {
                seen.insert(v);
                const int tier = c.group == f.group ? 0 : 1;
                ranked.push_back({{tier, stableHash(salt + key(f) + QString::number(v))}, v});
            }
        }
        std::sort(ranked.begin(), ranked.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        QList<int> out;
        for (const auto& [rank, v] : ranked) {
            out << v;
        }
        return out;
    }

    // Three wrong speeds next to the right one, on the 10 km/h steps a learner mixes up,
    // with the right one at the place the hash gives among the four: taken from the other
    // facts, the right speed was the lowest of its options in every question of a group.
    static QList<int> neighbourSpeeds(int speed, const QString& salt)
    {
        QList<int> below;
        QList<int> above;
        for (int v = (speed - 1) / 10 * 10; v >= 10; v -= 10) {
            below << v;
        }
        for (int v = speed / 10 * 10 + 10; v <= 130; v += 10) {
            above << v;
        }
        const int lower = std::min<int>(int((stableHash(salt) >> 16) % 4), int(below.size()));
        return below.mid(0, lower) + above.mid(0, 3 - lower);
    }

    bool checkPictureTable()
    {
        const QStringList drawn = questionPictureNames();
        const QSet<QString> known(drawn.begin(), drawn.end());
        QSet<QString> names;
        bool ok = true;
        for (const Fact& f : m_table.facts) {
            if (!known.contains(key(f))) {
                *m_errors << m_table.where(f.line) +
                                 QStringLiteral("no drawing named %1").arg(key(f));
                ok = false;
            }
            if (names.contains(key(f))) {
                *m_errors << m_table.where(f.line) +
                                 QStringLiteral("%1 is listed twice").arg(key(f));
                ok = false;
            }
            names.insert(key(f));
        }
        for (const Fact& f : m_table.facts) {
            for (const QString& tag : {QStringLiteral("混"), QStringLiteral("不混")}) {
                for (const QString& other : words(f.tag(tag))) {
                    if (!names.contains(other)) {
                        *m_errors << m_table.where(f.line) +
                                         QStringLiteral("%1 names %2, which is not in this table")
                                             .arg(tag, other);
                        ok = false;
                    }
                }
            }
        }
        return ok;
    }

    bool checkKeyNames() const
    {
        bool ok = true;
        for (const Fact& f : m_table.facts) {
            const QString name = f.tag(QStringLiteral("键"));
            if (name.isEmpty()) {
                continue;
            }
            if (m_table.kind == FactTable::Kind::Pictures) {
                *m_errors << m_table.where(f.line) +
                                 QStringLiteral("a picture fact is named by its drawing and "
                                                "takes no 键");
                ok = false;
            } else if (!isKeyName(name)) {
                *m_errors << m_table.where(f.line) +
                                 QStringLiteral("the 键 %1 is not six of "
                                                "abcdefghijkmnpqrstuvwxyz23456789")
                                     .arg(name);
                ok = false;
            }
        }
        return ok;
    }

    QString filled(const QString& settingKey, const Fact& f, const QString& name,
                   const QString& meaning)
    {
        QString text = m_table.setting(settingKey);
        if (text.isEmpty()) {
            fail(f, QStringLiteral("the table has no @%1 for this question").arg(settingKey));
            return QString();
        }
        QString pointer = f.tag(QStringLiteral("指"));
        if (pointer.isEmpty()) {
            pointer = m_table.setting(QStringLiteral("指"));
        }
        text.replace(QStringLiteral("{名称}"), name);
        text.replace(QStringLiteral("{含义}"), withoutFullStop(meaning));
        text.replace(QStringLiteral("{指}"), pointer);
        text.replace(QStringLiteral("{说明}"), withoutFullStop(f.tag(QStringLiteral("说明"))));
        return text;
    }

    bool makePicture(const Fact& f, const QString& code)
    {
        const QString name = f.columns[1];
        const QString meaning = f.columns[2];
        auto nameOf = [](const Fact& c) { return c.columns[1]; };
        auto meaningOf = [](const Fact& c) { return withoutFullStop(c.columns[2]); };
        const bool byName = code.contains(QStringLiteral("名"));
        const auto textOf = byName ? std::function<QString(const Fact&)>(nameOf)
                                   : std::function<QString(const Fact&)>(meaningOf);
        const QString salt = key(f) + code;
        const std::vector<const Fact*> others = rivals(f, textOf, code);
        SourceQuestion q = base(f, code);
        q.picture = key(f);
        q.explain = filled(QStringLiteral("解释"), f, name, meaning);
        if (code == QStringLiteral("选名") || code == QStringLiteral("选义")) {
            if (others.size() < 3) {
                fail(f, QStringLiteral("fewer than three other facts can be wrong options (%1)")
                            .arg(code));
                return false;
            }
            q.question =
                filled(byName ? QStringLiteral("问名") : QStringLiteral("问义"), f, name, meaning);
            addChoice(q, textOf(f), {textOf(*others[0]), textOf(*others[1]), textOf(*others[2])},
                      salt);
            return true;
        }
        const bool right = code.endsWith(kRight);
        if (!right && others.empty()) {
            fail(f, QStringLiteral("no other fact can make a wrong statement (%1)").arg(code));
            return false;
        }
        // A wrong statement names a fact that no other statement of its kind names:
        // otherwise two questions read alike and only their pictures tell them apart.
        const QString rightCode = code.left(1) + kRight;
        QSet<QString>& stated = m_stated[code.left(1)];
        const auto unsaid = std::find_if(others.begin(), others.end(), [&](const Fact* c) {
            return !words(c->columns.last()).contains(rightCode) && !stated.contains(key(*c));
        });
        const Fact& said = right ? f : unsaid != others.end() ? **unsaid : *others[0];
        if (!right) {
            stated.insert(key(said));
        }
        q.question = filled(byName ? QStringLiteral("判名") : QStringLiteral("判义"), f,
                            said.columns[1], said.columns[2]);
        addStatement(q, right);
        return true;
    }

    bool makePoints(const Fact& f, const QString& code)
    {
        const int points = f.columns[0].toInt();
        const QString deed = withoutFullStop(f.columns[1]);
        SourceQuestion q = base(f, code);
        q.explain = QStringLiteral("%1的，一次记%2分。").arg(deed).arg(points);
        if (code == QStringLiteral("选分")) {
            const QList<int> others = otherNumbers(f, points, code);
            if (others.size() < 3) {
                fail(f, QStringLiteral("the table has fewer than four point values"));
                return false;
            }
            q.question = QStringLiteral("%1的，一次记几分？").arg(deed);
            addNumberChoice(q, points, others.mid(0, 3), QStringLiteral("%1分"));
            return true;
        }
        if (code == QStringLiteral("选行")) {
            // Three deeds of three other point values: exactly one option is right.
            QStringList wrong;
            QSet<int> used = {points};
            const auto candidates = rivals(
                f, [](const Fact& c) { return c.columns[1]; }, code);
            for (const Fact* c : candidates) {
                const int v = c->columns[0].toInt();
                if (!used.contains(v) && wrong.size() < 3) {
                    used.insert(v);
                    wrong << withoutFullStop(c->columns[1]);
                }
            }
            if (wrong.size() < 3) {
                fail(f, QStringLiteral("fewer than three deeds of other point values"));
                return false;
            }
            q.question = QStringLiteral("下列哪种交通违法行为，一次记%1分？").arg(points);
            addChoice(q, deed, wrong, key(f) + code);
            return true;
        }
        const bool right = code == QStringLiteral("判√");
        const QList<int> others = otherNumbers(f, points, code);
        if (!right && others.isEmpty()) {
            fail(f, QStringLiteral("no other point value for a wrong statement"));
            return false;
        }
        q.question = QStringLiteral("%1的，一次记%2分。").arg(deed).arg(right ? points : others[0]);
        addStatement(q, right);
        return true;
    }

    bool makeSpeed(const Fact& f, const QString& code)
    {
        const int speed = f.columns[0].toInt();
        const QString statement = withoutFullStop(f.columns[1]);
        if (statement.count(kPlaceholder) != 1) {
            fail(f, QStringLiteral("the statement holds '%1' once").arg(kPlaceholder));
            return false;
        }
        auto with = [&](int v) {
            return QString(statement).replace(kPlaceholder, QStringLiteral("每小时%1公里").arg(v));
        };
        SourceQuestion q = base(f, code);
        q.explain = with(speed) + QStringLiteral("。");
        const QList<int> others = otherNumbers(f, speed, code);
        if (code == QStringLiteral("选速")) {
            if (others.size() < 3) {
                fail(f, QStringLiteral("the table has fewer than four speeds"));
                return false;
            }
            q.question = QString(statement).replace(kPlaceholder, QStringLiteral("多少")) +
                         QStringLiteral("？");
            addNumberChoice(q, speed, neighbourSpeeds(speed, statement + code),
                            QStringLiteral("每小时%1公里"));
            return true;
        }
        const bool right = code == QStringLiteral("判√");
        if (!right && others.isEmpty()) {
            fail(f, QStringLiteral("no other speed for a wrong statement"));
            return false;
        }
        q.question = with(right ? speed : others[0]) + QStringLiteral("。");
        addStatement(q, right);
        return true;
    }

    bool makeOne(const Fact& f, const QString& code)
    {
        static const std::map<FactTable::Kind, QStringList> codes = {
            {FactTable::Kind::Pictures,
             {QStringLiteral("选名"), QStringLiteral("选义"), QStringLiteral("名√"),
              QStringLiteral("名×"), QStringLiteral("义√"), QStringLiteral("义×")}},
            {FactTable::Kind::Points,
             {QStringLiteral("选分"), QStringLiteral("选行"), QStringLiteral("判√"),
              QStringLiteral("判×")}},
            {FactTable::Kind::Speeds,
             {QStringLiteral("选速"), QStringLiteral("判√"), QStringLiteral("判×")}},
        };
        const QStringList& allowed = codes.at(m_table.kind);
        if (!allowed.contains(code)) {
            fail(f, QStringLiteral("unknown question code %1 (this table takes %2)")
                        .arg(code, allowed.join(QLatin1Char(' '))));
            return false;
        }
        if (m_table.kind != FactTable::Kind::Pictures) {
            bool number = false;
            const int v = f.columns[0].toInt(&number);
            if (!number || v <= 0) {
                fail(f, QStringLiteral("the first column is a positive number"));
                return false;
            }
        }
        m_ok = true;
        bool made = false;
        switch (m_table.kind) {
        case FactTable::Kind::Pictures:
            made = makePicture(f, code);
            break;
        case FactTable::Kind::Points:
            made = makePoints(f, code);
            break;
        case FactTable::Kind::Speeds:
            made = makeSpeed(f, code);
            break;
        }
        return made && m_ok;
    }

    const FactTable& m_table;
    std::map<QString, QSet<QString>> m_stated; // facts named by wrong statements, by kind
    QStringList* m_errors;
    Made* m_made = nullptr;
    bool m_ok = true;
};

} // namespace

QString normalisedText(const QString& text)
{
    const QString folded = text.normalized(QString::NormalizationForm_KC).toCaseFolded();
    QString out;
    out.reserve(folded.size());
    for (const QChar c : folded) {
        if (!c.isSpace() && !c.isPunct() && !c.isSymbol()) {
            out += c;
        }
    }
    return out;
}

bool tableQuestions(const FactTable& table, std::vector<SourceQuestion>* questions,
                    QStringList* errors)
{
    Made made;
    TableMaker maker(table, errors);
    const bool ok = maker.make(&made);
    questions->insert(questions->end(), made.choices.begin(), made.choices.end());
    questions->insert(questions->end(), made.statements.begin(), made.statements.end());
    return ok;
}

bool questionsFromTables(const std::vector<FactTable>& tables,
                         std::vector<SourceQuestion>* questions, QStringList* errors)
{
    bool ok = true;
    // Blocks in ID order; the tables of one block in the order given.
    std::map<std::pair<int, int>, std::vector<const FactTable*>> blocks;
    for (const FactTable& t : tables) {
        blocks[{t.firstId, t.lastId}].push_back(&t);
    }
    int previousLast = 0;
    const FactTable* previous = nullptr;
    for (const auto& [range, members] : blocks) {
        if (previous && range.first <= previousLast) {
            *errors << members.front()->where(1) +
                           QStringLiteral("IDs %1-%2 overlap IDs %3-%4 of %5")
                               .arg(range.first)
                               .arg(range.second)
                               .arg(previous->firstId)
                               .arg(previousLast)
                               .arg(QFileInfo(previous->file).fileName());
            ok = false;
        }
        previous = members.front();
        previousLast = range.second;
        std::vector<SourceQuestion> block;
        for (const FactTable* t : members) {
            ok = tableQuestions(*t, &block, errors) && ok;
        }
        const int size = range.second - range.first + 1;
        if (int(block.size()) != size) {
            QStringList files;
            for (const FactTable* t : members) {
                files << QFileInfo(t->file).fileName();
            }
            *errors << members.front()->where(1) +
                           QStringLiteral("the facts for IDs %1-%2 (%3) make %4 questions; the "
                                          "block needs exactly %5: add facts or question codes, "
                                          "or remove some")
                               .arg(range.first)
                               .arg(range.second)
                               .arg(files.join(QStringLiteral(", ")))
                               .arg(block.size())
                               .arg(size);
            ok = false;
            continue;
        }
        int pictures = 0;
        for (std::size_t i = 0; i < block.size(); ++i) {
            block[i].id = range.first + int(i);
            if (!block[i].picture.isEmpty()) {
                block[i].pictureHeader = pictures++ % 2 == 1;
            }
        }
        questions->insert(questions->end(), block.begin(), block.end());
    }
    return ok;
}

bool factQuestions(const QString& folder, std::vector<SourceQuestion>* questions,
                   QStringList* errors)
{
    const QDir dir(folder);
    const QStringList files = dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    std::vector<FactTable> tables(files.size());
    bool ok = true;
    for (int i = 0; i < files.size(); ++i) {
        ok = parseFactFile(dir.filePath(files[i]), &tables[std::size_t(i)], errors) && ok;
    }
    return questionsFromTables(tables, questions, errors) && ok;
}
