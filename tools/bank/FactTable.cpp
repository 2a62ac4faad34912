#include "tools/bank/FactTable.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

QString Fact::tag(const QString& key) const
{
    const auto it = tags.find(key);
    return it == tags.end() ? QString() : it->second;
}

QString FactTable::setting(const QString& key) const
{
    const auto it = settings.find(key);
    return it == settings.end() ? QString() : it->second;
}

QString FactTable::where(int line) const
{
    return QStringLiteral("facts/%1:%2: ").arg(QFileInfo(file).fileName()).arg(line);
}

namespace {

// "键: 值" or "键：值"; false when there is no colon.
bool splitPair(const QString& text, QString* key, QString* value)
{
    static const QRegularExpression colon(QStringLiteral("[:：]"));
    const qsizetype at = text.indexOf(colon);
    if (at <= 0) {
        return false;
    }
    *key = text.left(at).trimmed();
    *value = text.mid(at + 1).trimmed();
    return true;
}

int fixedColumns(FactTable::Kind kind)
{
    return kind == FactTable::Kind::Pictures ? 4 : 3;
}

} // namespace

bool parseFactFile(const QString& path, FactTable* table, QStringList* errors)
{
    table->file = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *errors << QStringLiteral("%1: cannot be read").arg(path);
        return false;
    }
    static const QSet<QString> kSettings = {QStringLiteral("问名"), QStringLiteral("问义"),
                                            QStringLiteral("判名"), QStringLiteral("判义"),
                                            QStringLiteral("解释"), QStringLiteral("指")};
    static const QSet<QString> kTags = {QStringLiteral("指"),   QStringLiteral("不混"),
                                        QStringLiteral("混"),   QStringLiteral("说明"),
                                        QStringLiteral("来源"), QStringLiteral("键")};
    static const QRegularExpression block(QStringLiteral("^(\\d+)\\s*[-–~]\\s*(\\d+)$"));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    bool ok = true;
    bool kindGiven = false;
    QString group;
    QString source;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        const QString at = table->where(i + 1);
        const QString text = line.trimmed();
        if (text.isEmpty()) {
            continue;
        }
        if (text.startsWith(QLatin1String("##"))) {
            group = text.mid(2).trimmed();
            continue;
        }
        if (text.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (text.startsWith(QLatin1Char('@'))) {
            QString key;
            QString value;
            if (!splitPair(text.mid(1), &key, &value) || value.isEmpty()) {
                *errors << at + QStringLiteral("expected '@键: 值'");
                ok = false;
            } else if (key == QStringLiteral("类别")) {
                static const std::map<QString, FactTable::Kind> kinds = {
                    {QStringLiteral("图示"), FactTable::Kind::Pictures},
                    {QStringLiteral("记分"), FactTable::Kind::Points},
                    {QStringLiteral("限速"), FactTable::Kind::Speeds}};
                const auto it = kinds.find(value);
                if (it == kinds.end()) {
                    *errors << at + QStringLiteral("@类别 is 图示, 记分 or 限速");
                    ok = false;
                } else {
                    table->kind = it->second;
                    kindGiven = true;
                }
            } else if (key == QStringLiteral("题号")) {
                const auto m = block.match(value);
                if (!m.hasMatch() || m.captured(1).toInt() < 1 ||
                    m.captured(1).toInt() > m.captured(2).toInt()) {
                    *errors << at + QStringLiteral("@题号 is a range of IDs such as 600-699");
                    ok = false;
                } else {
                    table->firstId = m.captured(1).toInt();
                    table->lastId = m.captured(2).toInt();
                }
            } else if (key == QStringLiteral("来源")) {
                source = value;
            } else if (kSettings.contains(key)) {
                table->settings[key] = value;
            } else {
                *errors << at + QStringLiteral("unknown setting @%1").arg(key);
                ok = false;
            }
            continue;
        }
        if (!kindGiven) {
            *errors << at + QStringLiteral("@类别 must come before the first fact");
            ok = false;
            continue;
        }
        const QStringList cells = line.split(QLatin1Char('|'));
        const int fixed = fixedColumns(table->kind);
        if (cells.size() < fixed) {
            *errors << at + QStringLiteral("a fact has %1 columns separated by '|'").arg(fixed);
            ok = false;
            continue;
        }
        Fact fact;
        fact.line = i + 1;
        fact.group = group;
        fact.source = source;
        bool factOk = true;
        for (int c = 0; c < cells.size(); ++c) {
            const QString cell = cells[c].trimmed();
            if (c < fixed) {
                fact.columns << cell;
                if (cell.isEmpty() && c < fixed - 1) {
                    *errors << at + QStringLiteral("column %1 is empty").arg(c + 1);
                    factOk = false;
                }
                continue;
            }
            if (cell.isEmpty()) {
                continue;
            }
            QString key;
            QString value;
            if (!splitPair(cell, &key, &value) || !kTags.contains(key)) {
                *errors << at + QStringLiteral("'%1' is not one of 指, 不混, 混, 说明, 来源, 键")
                                    .arg(cell);
                factOk = false;
            } else if (fact.tags.count(key)) {
                *errors << at + QStringLiteral("%1 given twice").arg(key);
                factOk = false;
            } else {
                fact.tags[key] = value;
            }
        }
        if (!fact.tag(QStringLiteral("来源")).isEmpty()) {
            fact.source = fact.tag(QStringLiteral("来源"));
        }
        if (fact.source.isEmpty()) {
            *errors << at + QStringLiteral("no source: give @来源 before the fact or 来源：");
            factOk = false;
        }
        if (factOk) {
            table->facts.push_back(fact);
        }
        ok = ok && factOk;
    }
    if (!kindGiven) {
        *errors << table->where(1) + QStringLiteral("@类别 is missing");
        ok = false;
    }
    if (table->firstId == 0) {
        *errors << table->where(1) + QStringLiteral("@题号 is missing");
        ok = false;
    }
    return ok;
}
