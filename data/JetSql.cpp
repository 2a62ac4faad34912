#include "data/JetSql.h"

#include <QRegularExpression>

QString toSqliteDialect(const QString& jetSql)
{
    static const QRegularExpression top(
        QStringLiteral(R"(^(\s*SELECT\s+(?:DISTINCT\s+)?)TOP\s+(\d+)\s+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = top.match(jetSql);
    if (!m.hasMatch()) {
        return jetSql;
    }
    QString rest = jetSql.mid(m.capturedEnd());
    // The limit goes after everything else, before a closing semicolon if there is one.
    int end = rest.size();
    while (end > 0 && (rest.at(end - 1).isSpace() || rest.at(end - 1) == QLatin1Char(';'))) {
        --end;
    }
    return m.captured(1) + rest.left(end) + QStringLiteral(" LIMIT ") + m.captured(2) +
           rest.mid(end);
}
