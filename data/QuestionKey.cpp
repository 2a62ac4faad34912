#include "data/QuestionKey.h"

#include <QSet>

namespace QuestionKey {

namespace {

bool isDigest(const QString& text)
{
    if (text.size() != 16) {
        return false;
    }
    for (const QChar c : text) {
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
              (c >= QLatin1Char('a') && c <= QLatin1Char('f')))) {
            return false;
        }
    }
    return true;
}

bool isKey(const QString& text)
{
    if (text.isEmpty()) {
        return false;
    }
    for (const QChar c : text) {
        if (c.isSpace()) {
            return false;
        }
    }
    return true;
}

// The entry of a line, or why the line gives none.
QString readLine(const QString& line, ListForm form, Entry* entry)
{
    if (form == ListForm::Retired) {
        entry->key = line.trimmed();
        return isKey(entry->key) ? QString()
                                 : QStringLiteral("a line holds one key, without blanks");
    }
    const QStringList cells = line.split(QLatin1Char('\t'));
    if (cells.size() != 3) {
        return QStringLiteral("a line is ID, digest and key, apart by tabs");
    }
    bool number = false;
    entry->id = cells[0].toInt(&number);
    entry->digest = cells[1];
    entry->key = cells[2];
    if (!number || entry->id <= 0) {
        return QStringLiteral("the ID \"%1\" is not a positive number").arg(cells[0]);
    }
    if (!isDigest(entry->digest)) {
        return QStringLiteral("the digest \"%1\" is not 16 hexadecimal digits").arg(cells[1]);
    }
    if (!isKey(entry->key)) {
        return QStringLiteral("the key \"%1\" is empty or holds blanks").arg(cells[2]);
    }
    return QString();
}

} // namespace

bool parseList(const QString& name, const QString& text, ListForm form, std::vector<Entry>* entries,
               QStringList* errors)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    QSet<int> ids;
    QSet<QString> keys;
    bool ok = true;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        Entry entry;
        entry.line = i + 1;
        QString why = readLine(line, form, &entry);
        if (why.isEmpty() && entry.id > 0 && ids.contains(entry.id)) {
            why = QStringLiteral("ID %1 is given twice").arg(entry.id);
        } else if (why.isEmpty() && keys.contains(entry.key)) {
            why = QStringLiteral("the key %1 is given twice").arg(entry.key);
        }
        if (!why.isEmpty()) {
            *errors << QStringLiteral("%1:%2: %3").arg(name).arg(entry.line).arg(why);
            ok = false;
            continue;
        }
        ids.insert(entry.id);
        keys.insert(entry.key);
        entries->push_back(entry);
    }
    return ok;
}

} // namespace QuestionKey
