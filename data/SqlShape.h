#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// What a SELECT statement is, read from its text without running it: whether its rows
// are rows of one table that a post can write back by their rowid. The reading is
// conservative: anything it does not know for certain makes the rows read-only.
struct SelectShape
{
    // One table, no join, grouping, aggregate, DISTINCT, compound, subquery or CTE.
    bool singleTable = false;
    // Where the FROM keyword starts; the select list ends just before it.
    qsizetype fromStart = -1;
    // The text of each item of the select list, as written.
    QStringList items;
    // The names and numbers after FROM (the table, the conditions, the order, the limit),
    // unquoted: a column that one of them names must keep its value in the statement.
    QStringList namesAfterFrom;
    bool numbersInOrder = false; // ORDER BY 2 and the like
};

SelectShape analyseSelect(const QString& sql);
