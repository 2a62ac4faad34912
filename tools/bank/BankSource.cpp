#include "tools/bank/BankSource.h"

#include "tools/bank/BankKeys.h"
#include "tools/bank/FactQuestions.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <algorithm>
#include <map>

namespace {

const QString kChoice = QStringLiteral("选择");
const QString kTrueFalse = QStringLiteral("判断");
const QString kMultiple = QStringLiteral("多选");

struct Record
{
    std::map<QString, QString> values;
    QStringList order;
    int line = 0;
};

// A file as messages name it: subject four's with its folder, which also holds a file of
// that name at the top ("01_laws.txt", "km4/01_conduct.txt").
QString shownName(const QString& file, int subject)
{
    const QString name = QFileInfo(file).fileName();
    return subject == 4 ? subjectFourFolder() + QLatin1Char('/') + name : name;
}

QString where(const QString& file, int line, int subject = 1)
{
    return QStringLiteral("%1:%2: ").arg(shownName(file, subject)).arg(line);
}

bool takeRecord(const Record& r, const QString& file, int subject, std::vector<SourceQuestion>* out,
                QStringList* errors)
{
    const QString at = where(file, r.line, subject);
    auto value = [&](const char* key) {
        const auto it = r.values.find(QString::fromLatin1(key));
        return it == r.values.end() ? QString() : it->second;
    };
    SourceQuestion q;
    q.subject = subject;
    q.file = file;
    q.line = r.line;
    bool ok = false;
    q.id = value("ID").toInt(&ok);
    if (!ok || q.id <= 0) {
        *errors << at + QStringLiteral("ID must be a positive number");
        return false;
    }
    const QString type = value("Type");
    if (type == kChoice) {
        q.type = 0;
    } else if (type == kTrueFalse) {
        q.type = 1;
    } else if (type == kMultiple && subject == 4) {
        q.type = 2;
    } else {
        *errors << at + (subject == 4 ? QStringLiteral("Type must be 判断, 选择 or 多选 (ID %1)")
                                      : QStringLiteral("Type must be 选择 or 判断 (ID %1)"))
                            .arg(q.id);
        return false;
    }
    if (subject == 4) {
        // The draw counts by chapter: a question without one would never be drawn.
        q.chapter = value("Chapter").toInt(&ok);
        if (!ok || q.chapter <= 0) {
            *errors << at + QStringLiteral("Chapter must be the number of a chapter of the "
                                           "outline, 1 to 7 (ID %1)")
                                .arg(q.id);
            return false;
        }
    }
    q.question = value("Question");
    q.answer = value("Answer");
    q.source = value("Source");
    q.explain = value("Explain");
    q.key = value("Key");
    for (const char* key : {"Question", "Answer", "Source", "Explain"}) {
        if (value(key).isEmpty()) {
            *errors
                << at + QStringLiteral("%1 is missing (ID %2)").arg(QLatin1String(key)).arg(q.id);
            return false;
        }
    }
    if (q.type != 1) {
        for (const char* key : {"A", "B", "C", "D"}) {
            const QString option = value(key);
            if (option.isEmpty()) {
                *errors << at + QStringLiteral("option %1 is missing (ID %2)")
                                    .arg(QLatin1String(key))
                                    .arg(q.id);
                return false;
            }
            q.options << option;
        }
    } else {
        for (const char* key : {"A", "B", "C", "D"}) {
            if (!value(key).isEmpty()) {
                *errors << at + QStringLiteral("a true/false question has no options (ID %1)")
                                    .arg(q.id);
                return false;
            }
        }
    }
    if (q.type == 0 &&
        (q.answer.size() != 1 || q.answer < QLatin1String("A") || q.answer > QLatin1String("D"))) {
        *errors << at + QStringLiteral("a choice answer is A, B, C or D (ID %1)").arg(q.id);
        return false;
    }
    if (q.type == 1 && q.answer != QStringLiteral("√") && q.answer != QStringLiteral("×")) {
        *errors << at + QStringLiteral("a true/false answer is √ or × (ID %1)").arg(q.id);
        return false;
    }
    if (q.type == 2 && !multipleAnswerFault(q.answer).isEmpty()) {
        *errors << at + multipleAnswerFault(q.answer) + QStringLiteral(" (ID %1)").arg(q.id);
        return false;
    }
    QString picture = value("Picture");
    if (picture.endsWith(QLatin1String("+header"))) {
        q.pictureHeader = true;
        picture.chop(7);
    }
    q.picture = picture.trimmed();
    q.clip = value("Clip");
    for (const QString& key : r.order) {
        static const QSet<QString> known = {
            QStringLiteral("ID"),       QStringLiteral("Key"),    QStringLiteral("Type"),
            QStringLiteral("Question"), QStringLiteral("A"),      QStringLiteral("B"),
            QStringLiteral("C"),        QStringLiteral("D"),      QStringLiteral("Answer"),
            QStringLiteral("Picture"),  QStringLiteral("Source"), QStringLiteral("Explain")};
        if (!known.contains(key) &&
            !(subject == 4 && (key == QLatin1String("Chapter") || key == QLatin1String("Clip")))) {
            *errors << at + QStringLiteral("unknown key %1 (ID %2)").arg(key).arg(q.id);
            return false;
        }
    }
    out->push_back(q);
    return true;
}

// Every question has its own ID within its subject.
bool uniqueIds(const std::vector<SourceQuestion>& questions, QStringList* errors)
{
    bool ok = true;
    std::map<int, const SourceQuestion*> seen;
    for (const SourceQuestion& q : questions) {
        const auto [it, fresh] = seen.emplace(q.id, &q);
        if (!fresh) {
            *errors << where(q.file, q.line, q.subject) +
                           QStringLiteral("ID %1 is also used by %2:%3")
                               .arg(q.id)
                               .arg(shownName(it->second->file, q.subject))
                               .arg(it->second->line);
            ok = false;
        }
    }
    return ok;
}

} // namespace

bool parseBankFile(const QString& path, std::vector<SourceQuestion>* questions, QStringList* errors,
                   int subject)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *errors << QStringLiteral("%1: cannot be read").arg(path);
        return false;
    }
    const QString text = QString::fromUtf8(file.readAll());
    const QStringList lines = text.split(QLatin1Char('\n'));
    bool ok = true;
    Record record;
    QString lastKey;
    auto finish = [&] {
        if (!record.values.empty()) {
            ok = takeRecord(record, path, subject, questions, errors) && ok;
        }
        record = Record();
        lastKey.clear();
    };
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        if (line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (line.trimmed().isEmpty()) {
            finish();
            continue;
        }
        if (line.startsWith(QLatin1String("  ")) && !lastKey.isEmpty()) {
            record.values[lastKey] += line.trimmed();
            continue;
        }
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon <= 0) {
            *errors << where(path, i + 1) + QStringLiteral("expected 'Key: value'");
            ok = false;
            continue;
        }
        const QString key = line.left(colon).trimmed();
        if (record.values.count(key)) {
            *errors << where(path, i + 1) + QStringLiteral("%1 given twice").arg(key);
            ok = false;
        }
        if (record.values.empty()) {
            record.line = i + 1;
        }
        record.values[key] = line.mid(colon + 1).trimmed();
        record.order << key;
        lastKey = key;
    }
    finish();
    return ok;
}

bool parseBankFolder(const QString& folder, std::vector<SourceQuestion>* questions,
                     QStringList* errors)
{
    const QDir dir(folder);
    QStringList files = dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    files.removeAll(releasedKeysFile());
    files.removeAll(retiredKeysFile());
    bool ok = true;
    for (const QString& f : files) {
        ok = parseBankFile(dir.filePath(f), questions, errors) && ok;
    }
    if (dir.exists(QStringLiteral("facts"))) {
        ok = factQuestions(dir.filePath(QStringLiteral("facts")), questions, errors) && ok;
    }
    return uniqueIds(*questions, errors) && ok;
}

QString subjectFourFolder()
{
    return QStringLiteral("km4");
}

bool parseSubjectFourFolder(const QString& folder, std::vector<SourceQuestion>* questions,
                            QStringList* errors)
{
    const QDir dir(QDir(folder).filePath(subjectFourFolder()));
    if (!dir.exists()) {
        return true;
    }
    bool ok = true;
    for (const QString& f : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
        ok = parseBankFile(dir.filePath(f), questions, errors, 4) && ok;
    }
    return uniqueIds(*questions, errors) && ok;
}

QString multipleAnswerFault(const QString& answer)
{
    for (const QChar c : answer) {
        if (c < QLatin1Char('A') || c > QLatin1Char('D')) {
            return QStringLiteral("a multiple answer is letters of A to D, not \"%1\"").arg(answer);
        }
    }
    for (qsizetype i = 1; i < answer.size(); ++i) {
        if (answer[i] == answer[i - 1]) {
            return QStringLiteral("the multiple answer \"%1\" names a letter twice").arg(answer);
        }
        if (answer[i] < answer[i - 1]) {
            QString sorted = answer;
            std::sort(sorted.begin(), sorted.end());
            return QStringLiteral("the multiple answer \"%1\" is out of order: write \"%2\"")
                .arg(answer, sorted);
        }
    }
    if (answer.size() < 2) {
        return QStringLiteral("the multiple answer \"%1\" has one letter: a question of one "
                              "right option is a single choice (选择)")
            .arg(answer);
    }
    if (answer.size() > 3) {
        return QStringLiteral("the multiple answer \"%1\" holds all four options: two or three "
                              "are right, never all four")
            .arg(answer);
    }
    return QString();
}

QString contentOf(const SourceQuestion& question)
{
    QString content = question.question;
    static const char* letters[] = {"A", "B", "C", "D"};
    for (int i = 0; i < question.options.size() && i < 4; ++i) {
        content += QStringLiteral("\r\n") + QLatin1String(letters[i]) + QStringLiteral("、") +
                   question.options[i];
    }
    return content;
}
