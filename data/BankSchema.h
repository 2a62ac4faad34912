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
        // The picture comes last: the columns after a picture can only be read by walking
        // through the picture's pages, which every pass over the bank would then do.
        QStringLiteral("CREATE TABLE T_Topic (ID INTEGER PRIMARY KEY, Type INTEGER NOT NULL, "
                       "Content TEXT, Result TEXT COLLATE NOCASE, Source TEXT, Explain TEXT, "
                       "QKey TEXT NOT NULL UNIQUE, Picture BLOB)"),
        QStringLiteral("CREATE TABLE T_TopicTmp (ID INTEGER, Type INTEGER, "
                       "TopicNo INTEGER NOT NULL DEFAULT 0, Result TEXT COLLATE NOCASE, "
                       "RandomID INTEGER DEFAULT (random()))"),
        // A paper copies every question's number and type, then picks by type and
        // range of numbers: with these the copy reads a small index instead of every
        // question, and each pick reads its range instead of the whole copy, so that
        // the cost grows no faster than the bank.
        QStringLiteral("CREATE INDEX T_Topic_Type ON T_Topic (Type)"),
        QStringLiteral("CREATE INDEX T_TopicTmp_TypeID ON T_TopicTmp (Type, ID)"),
    };
}

// Subject four's questions and paper. Type 0 is a single choice, 1 a true/false
// statement, 2 a multiple answer (Result holds its letters in ascending order); Chapter is
// the chapter of the test's outline the draw plan counts by. A question may carry a short
// clip (an AVI file's bytes) that plays in its picture's place.
inline QStringList subjectFourStatements()
{
    return {
        QStringLiteral("CREATE TABLE T_SafeTopic (ID INTEGER PRIMARY KEY, Type INTEGER NOT NULL, "
                       "Chapter INTEGER NOT NULL, Content TEXT, Result TEXT COLLATE NOCASE, "
                       "Source TEXT, Explain TEXT, QKey TEXT NOT NULL UNIQUE, Picture BLOB, "
                       "Clip BLOB)"),
        QStringLiteral("CREATE TABLE T_SafePaper (ID INTEGER, Type INTEGER, Chapter INTEGER, "
                       "TopicNo INTEGER NOT NULL DEFAULT 0, Result TEXT COLLATE NOCASE, "
                       "RandomID INTEGER DEFAULT (random()))"),
        QStringLiteral("CREATE INDEX T_SafeTopic_TypeChapter ON T_SafeTopic (Type, Chapter)"),
        QStringLiteral("CREATE INDEX T_SafePaper_TypeChapter ON T_SafePaper (Type, Chapter)"),
    };
}

} // namespace BankSchema
