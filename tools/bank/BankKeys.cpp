#include "tools/bank/BankKeys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <map>
#include <set>

namespace {

const QString kAlphabet = QStringLiteral("abcdefghijkmnpqrstuvwxyz23456789");
const QString kPrefix = QStringLiteral("s1-");

// Subject four's keys are "s4-" and a name; both subjects draw their names from one pool,
// so that a name says one question of either.
QString prefixOf(const SourceQuestion& q)
{
    return q.subject == 4 ? QStringLiteral("s4-") : kPrefix;
}

bool readList(const QString& folder, const QString& name, QuestionKey::ListForm form,
              std::vector<QuestionKey::Entry>* entries, QStringList* errors)
{
    QFile file(QDir(folder).filePath(name));
    if (!file.open(QIODevice::ReadOnly)) {
        *errors << QStringLiteral("%1: cannot be read").arg(name);
        return false;
    }
    return QuestionKey::parseList(name, QString::fromUtf8(file.readAll()), form, entries, errors);
}

// "01_laws.txt:12", "facts/01_penalty_points.txt:17", "km4/01_conduct.txt:5".
QString fileLine(const SourceQuestion& q)
{
    const QString folder = q.fromFact       ? QStringLiteral("facts/")
                           : q.subject == 4 ? subjectFourFolder() + QLatin1Char('/')
                                            : QString();
    return QStringLiteral("%1%2:%3").arg(folder, QFileInfo(q.file).fileName()).arg(q.line);
}

// What a key names: a record ("s1-abc234", "s4-abc234"), or a fact and one of its
// questions ("s1-abc234/判√", "s1-sign/stop/选名").
QString nameOf(const QString& key)
{
    const QString rest = key.mid(kPrefix.size());
    return rest.contains(QLatin1Char('/')) ? rest.section(QLatin1Char('/'), 0, -2) : rest;
}

// A key name no question, fact, retired or released key has, nor an earlier suggestion.
QString freshName(QSet<QString>* taken)
{
    for (;;) {
        QString name;
        for (int i = 0; i < 6; ++i) {
            name += kAlphabet.at(int(QRandomGenerator::global()->bounded(kAlphabet.size())));
        }
        if (!taken->contains(name)) {
            taken->insert(name);
            return name;
        }
    }
}

} // namespace

QString releasedKeysFile()
{
    return QStringLiteral("keys-1.0.txt");
}

QString retiredKeysFile()
{
    return QStringLiteral("retired-keys.txt");
}

bool readKeyRecords(const QString& folder, KeyRecords* records, QStringList* errors)
{
    const bool released = readList(folder, releasedKeysFile(), QuestionKey::ListForm::Released,
                                   &records->released, errors);
    const bool retired = readList(folder, retiredKeysFile(), QuestionKey::ListForm::Retired,
                                  &records->retired, errors);
    return released && retired;
}

bool isKeyName(const QString& text)
{
    if (text.size() != 6) {
        return false;
    }
    for (const QChar c : text) {
        if (!kAlphabet.contains(c)) {
            return false;
        }
    }
    return true;
}

QString factQuestionKey(const QString& factName, const QString& code)
{
    return kPrefix + factName + QLatin1Char('/') + code;
}

QStringList checkKeys(const std::vector<SourceQuestion>& questions, const KeyRecords& records)
{
    QStringList problems;
    QSet<QString> names;
    std::map<QString, const SourceQuestion*> used;
    std::map<QString, const SourceQuestion*> named;
    // A fact's key is made by the builder; a record's is written by hand.
    auto wellFormed = [](const SourceQuestion& q) {
        return q.fromFact ||
               (q.key.startsWith(prefixOf(q)) && isKeyName(q.key.mid(prefixOf(q).size())));
    };
    for (const SourceQuestion& q : questions) {
        names.insert(nameOf(q.key));
        if (!q.key.isEmpty() && wellFormed(q)) {
            used.emplace(q.key, &q);
            named.emplace(nameOf(q.key), &q);
        }
    }
    std::map<QString, int> retired;
    for (const QuestionKey::Entry& e : records.retired) {
        names.insert(nameOf(e.key));
        retired.emplace(e.key, e.line);
    }
    std::map<int, const QuestionKey::Entry*> releasedAt;
    for (const QuestionKey::Entry& e : records.released) {
        names.insert(nameOf(e.key));
        releasedAt.emplace(e.id, &e);
    }
    // A question that lost its key may be the one 1.0 had at its ID, whose learners' rows
    // a fresh key would orphan: the message offers the old name first, and says no more
    // of that 1.0 question.
    QSet<QString> offered;
    auto formerName = [&](const SourceQuestion& q) {
        const auto it = releasedAt.find(q.id);
        if (q.subject != 1 || it == releasedAt.end() || used.count(it->second->key) ||
            retired.count(it->second->key) ||
            it->second->key.contains(QLatin1Char('/')) != q.fromFact ||
            !isKeyName(nameOf(it->second->key))) {
            return QString();
        }
        offered.insert(it->second->key);
        return QStringLiteral("\"%1\" if it is still the question 1.0 had as ID %2 (%3:%4), else ")
            .arg(q.fromFact ? QStringLiteral("键：") + nameOf(it->second->key)
                            : QStringLiteral("Key: ") + it->second->key)
            .arg(q.id)
            .arg(releasedKeysFile())
            .arg(it->second->line);
    };
    std::set<std::pair<QString, int>> factsTold;
    for (const SourceQuestion& q : questions) {
        const QString at = QStringLiteral("%1: ID %2: ").arg(fileLine(q)).arg(q.id);
        if (q.key.isEmpty()) {
            // A fact gives several questions; it is told once.
            if (!q.fromFact) {
                problems << at + QStringLiteral("the record has no Key: add after its ID the "
                                                "line %1\"Key: %2%3\" (a fresh key)")
                                     .arg(formerName(q), prefixOf(q), freshName(&names));
            } else if (factsTold.insert({q.file, q.line}).second) {
                problems << at + QStringLiteral("the fact makes questions but has no 键: add the "
                                                "column %1\"键：%2\" (a fresh name)")
                                     .arg(formerName(q), freshName(&names));
            }
            continue;
        }
        if (!wellFormed(q)) {
            problems << at + QStringLiteral("the key %1 is not %2 and six of %3, such as %2%4")
                                 .arg(q.key, prefixOf(q), kAlphabet, freshName(&names));
            continue;
        }
        const SourceQuestion* first = used.at(q.key);
        const SourceQuestion* owner = named.at(nameOf(q.key));
        if (first != &q) {
            problems << at + QStringLiteral("the key %1 is also the key of ID %2 (%3)")
                                 .arg(q.key)
                                 .arg(first->id)
                                 .arg(fileLine(*first));
        } else if (owner->file != q.file || owner->line != q.line) {
            // The questions of one fact share its name; nothing else may.
            problems << at + QStringLiteral("the name %1 of the key %2 is also that of ID %3 (%4)")
                                 .arg(nameOf(q.key), q.key)
                                 .arg(owner->id)
                                 .arg(fileLine(*owner));
        }
        const auto gone = retired.find(q.key);
        if (gone != retired.end()) {
            problems << at + QStringLiteral("the key %1 is retired (%2:%3): the key of a removed "
                                            "question never names another")
                                 .arg(q.key, retiredKeysFile())
                                 .arg(gone->second);
        }
    }
    for (const QuestionKey::Entry& e : records.released) {
        if (!used.count(e.key) && !retired.count(e.key) && !offered.contains(e.key)) {
            problems << QStringLiteral("%1:%2: ID %3: the question %4 of 1.0 is no longer in "
                                       "the bank: a question removed on purpose has its key "
                                       "added to %5, so that it is never given again")
                            .arg(releasedKeysFile())
                            .arg(e.line)
                            .arg(e.id)
                            .arg(e.key, retiredKeysFile());
        }
    }
    return problems;
}

QStringList releasedKeyLines(const std::vector<BankRow>& rows)
{
    QStringList lines;
    for (const BankRow& r : rows) {
        lines << QStringLiteral("%1\t%2\t%3")
                     .arg(r.id)
                     .arg(QuestionKey::legacyDigest(r.type, r.content, r.result), r.key);
    }
    return lines;
}
