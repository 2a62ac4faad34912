#pragma once

#include <QString>

// The statements of the program are written in the Jet dialect. SQLite runs all of
// them as written except the row limit: "SELECT TOP n ..." becomes "SELECT ... LIMIT n".
QString toSqliteDialect(const QString& jetSql);
