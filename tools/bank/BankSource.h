#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// One question as its source file gives it.
struct SourceQuestion
{
    int id = 0;
    int type = 0; // 0 choice, 1 true/false
    QString question;
    QStringList options; // A to D, choice questions only
    QString answer;      // "A".."D", "√" or "×"
    QString picture;     // drawing name, empty for none
    bool pictureHeader = false;
    QString source;
    QString explain;
    QString key;           // empty when the source gives none (the key check says so)
    bool fromFact = false; // made from a fact table, whose key comes from the fact's name
    QString file;
    int line = 0;
};

// Reads one source file; appends its questions and returns false with messages
// ("file:line: what") for every record it cannot take.
bool parseBankFile(const QString& path, std::vector<SourceQuestion>* questions,
                   QStringList* errors);

// Reads every *.txt of a folder but the records of keys, in name order, adds the questions
// of the fact tables in its "facts" folder, and checks that IDs are unique.
bool parseBankFolder(const QString& folder, std::vector<SourceQuestion>* questions,
                     QStringList* errors);

// The text stored as Content: the question, then for a choice question its options on
// their own lines ("A、..." to "D、...").
QString contentOf(const SourceQuestion& question);
