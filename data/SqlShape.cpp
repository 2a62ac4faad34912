#include "data/SqlShape.h"

#include <QSet>

namespace {

struct Token
{
    enum Kind
    {
        Word,   // a keyword or a bare name, upper-cased in text
        Name,   // a quoted name ("x", [x], `x`), unquoted in text
        String, // 'text'
        Number,
        Punct, // one character
        Other  // a parameter
    };
    Kind kind;
    qsizetype start;
    QString text;
};

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') ||
           c.unicode() > 0x7f;
}

// False when a quote or comment is left open: such a text is no statement to trust.
bool tokenize(const QString& sql, std::vector<Token>* tokens)
{
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            while (i < n && sql[i] != QLatin1Char('\n')) {
                ++i;
            }
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0) {
                return false;
            }
            i = end + 2;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`') ||
                   c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            const qsizetype start = i++;
            QString text;
            bool closed = false;
            while (i < n) {
                if (sql[i] == close) {
                    if (close != QLatin1Char(']') && i + 1 < n && sql[i + 1] == close) {
                        text += close;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                text += sql[i++];
            }
            if (!closed) {
                return false;
            }
            tokens->push_back({c == QLatin1Char('\'') ? Token::String : Token::Name, start, text});
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && sql[i + 1].isDigit())) {
            const qsizetype start = i;
            while (i < n &&
                   (isWordChar(sql[i]) || sql[i] == QLatin1Char('.') ||
                    ((sql[i] == QLatin1Char('+') || sql[i] == QLatin1Char('-')) &&
                     (sql[i - 1] == QLatin1Char('e') || sql[i - 1] == QLatin1Char('E'))))) {
                ++i;
            }
            tokens->push_back({Token::Number, start, sql.mid(start, i - start)});
        } else if (isWordChar(c)) {
            const qsizetype start = i;
            while (i < n && isWordChar(sql[i])) {
                ++i;
            }
            tokens->push_back({Token::Word, start, sql.mid(start, i - start).toUpper()});
        } else if (c == QLatin1Char('?') || c == QLatin1Char(':') || c == QLatin1Char('@')) {
            const qsizetype start = i++;
            while (i < n && isWordChar(sql[i])) {
                ++i;
            }
            tokens->push_back({Token::Other, start, sql.mid(start, i - start)});
        } else {
            tokens->push_back({Token::Punct, i, QString(c)});
            ++i;
        }
    }
    return true;
}

bool isWord(const Token& t, const char* word)
{
    return t.kind == Token::Word && t.text == QLatin1String(word);
}

bool isPunct(const Token& t, char c)
{
    return t.kind == Token::Punct && t.text == QLatin1Char(c);
}

} // namespace

SelectShape analyseSelect(const QString& sql)
{
    SelectShape shape;
    std::vector<Token> tokens;
    if (!tokenize(sql, &tokens) || tokens.empty() || !isWord(tokens[0], "SELECT")) {
        return shape;
    }
    // Words that make rows that are not one table's rows, wherever they stand.
    static const QSet<QString> refused = {
        QStringLiteral("SELECT"),    QStringLiteral("DISTINCT"),  QStringLiteral("ALL"),
        QStringLiteral("GROUP"),     QStringLiteral("HAVING"),    QStringLiteral("UNION"),
        QStringLiteral("INTERSECT"), QStringLiteral("EXCEPT"),    QStringLiteral("JOIN"),
        QStringLiteral("NATURAL"),   QStringLiteral("CROSS"),     QStringLiteral("WITH"),
        QStringLiteral("VALUES"),    QStringLiteral("OVER"),      QStringLiteral("WINDOW"),
        QStringLiteral("INDEXED"),   QStringLiteral("RECURSIVE"),
    };
    static const QSet<QString> aggregates = {
        QStringLiteral("COUNT"),        QStringLiteral("SUM"), QStringLiteral("TOTAL"),
        QStringLiteral("AVG"),          QStringLiteral("MIN"), QStringLiteral("MAX"),
        QStringLiteral("GROUP_CONCAT"),
    };
    int depth = 0;
    qsizetype from = -1;
    std::vector<qsizetype> commas;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind == Token::Word) {
            if (i > 0 && refused.contains(t.text)) {
                return shape;
            }
            if (aggregates.contains(t.text) && i + 1 < tokens.size() &&
                isPunct(tokens[i + 1], '(')) {
                return shape;
            }
            if (depth == 0 && from < 0 && t.text == QLatin1String("FROM")) {
                from = qsizetype(i);
            }
        } else if (isPunct(t, '(')) {
            ++depth;
        } else if (isPunct(t, ')')) {
            if (--depth < 0) {
                return shape;
            }
        } else if (isPunct(t, ';')) {
            if (i + 1 != tokens.size()) {
                return shape; // another statement follows
            }
        } else if (isPunct(t, ',') && depth == 0 && from < 0) {
            commas.push_back(qsizetype(i));
        }
    }
    if (from < 2 || depth != 0) {
        return shape;
    }
    // FROM name [[AS] alias], then the conditions, the order and the limit.
    size_t end = size_t(from) + 1;
    while (end < tokens.size() && !isWord(tokens[end], "WHERE") && !isWord(tokens[end], "ORDER") &&
           !isWord(tokens[end], "LIMIT") && !isPunct(tokens[end], ';')) {
        ++end;
    }
    const size_t count = end - size_t(from) - 1;
    auto isName = [&](size_t i) {
        return tokens[i].kind == Token::Name ||
               (tokens[i].kind == Token::Word && !isWord(tokens[i], "AS"));
    };
    const size_t first = size_t(from) + 1;
    const bool plainTable =
        (count == 1 && isName(first)) || (count == 2 && isName(first) && isName(first + 1)) ||
        (count == 3 && isName(first) && isWord(tokens[first + 1], "AS") && isName(first + 2));
    if (!plainTable) {
        return shape;
    }

    shape.singleTable = true;
    shape.fromStart = tokens[size_t(from)].start;
    qsizetype itemStart = tokens[1].start;
    for (const qsizetype comma : commas) {
        shape.items << sql.mid(itemStart, tokens[size_t(comma)].start - itemStart).trimmed();
        itemStart = tokens[size_t(comma)].start + 1;
    }
    shape.items << sql.mid(itemStart, shape.fromStart - itemStart).trimmed();
    bool inOrder = false;
    for (size_t i = size_t(from) + 1; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (isWord(t, "ORDER")) {
            inOrder = true;
        } else if (isWord(t, "LIMIT")) {
            inOrder = false;
        }
        if (t.kind == Token::Word || t.kind == Token::Name) {
            shape.namesAfterFrom << t.text;
        } else if (t.kind == Token::Number && inOrder) {
            shape.numbersInOrder = true;
        }
    }
    return shape;
}
