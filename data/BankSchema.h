#pragma once

#include <QStringList>

// The tables of Drive.mdb. Text compares without regard to case, as the bank's first
// engine did; the exam paper's rows get their TopicNo 0 and a random RandomID from the
// column defaults.
namespace BankSchema {

constexpr int kUserVersion = 1;

inline QStringList createStatements()
{
    return {
        QStringLiteral("CREATE TABLE T_Topic (ID INTEGER PRIMARY KEY, Type INTEGER NOT NULL, "
                       "Content TEXT, Picture BLOB, Result TEXT COLLATE NOCASE, "
                       "Source TEXT, Explain TEXT)"),
        QStringLiteral("CREATE TABLE T_TopicTmp (ID INTEGER, Type INTEGER, "
                       "TopicNo INTEGER NOT NULL DEFAULT 0, Result TEXT COLLATE NOCASE, "
                       "RandomID INTEGER DEFAULT (random()))"),
    };
}

} // namespace BankSchema
