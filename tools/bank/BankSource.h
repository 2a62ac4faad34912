#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// One question as its source file gives it.
struct SourceQuestion
{
    int subject = 1; // 1, or 4 for the records of the km4 folder
    int id = 0;
    int type = 0;    // 0 (single) choice, 1 true/false, 2 multiple answer (subject four only)
    int chapter = 0; // subject four: the chapter of the test's outline
    QString question;
    QStringList options; // A to D, choice and multiple-answer questions only
    QString answer;      // "A".."D", "√" or "×"; a multiple answer's letters ("ABD")
    QString picture;     // drawing name, empty for none
    bool pictureHeader = false;
    QString clip; // subject four: the name of a clip of assets/scenes/clips, empty for none
    QString source;
    QString explain;
    QString key;           // empty when the source gives none (the key check says so)
    bool fromFact = false; // made from a fact table, whose key comes from the fact's name
    QString file;
    int line = 0;
};

// Reads one source file of subject one's records, or of subject four's (which carry a
// Chapter and may be multiple answers); appends its questions and returns false with
// messages ("file:line: what") for every record it cannot take.
bool parseBankFile(const QString& path, std::vector<SourceQuestion>* questions, QStringList* errors,
                   int subject = 1);

// Reads every *.txt of a folder but the records of keys, in name order, adds the questions
// of the fact tables in its "facts" folder, and checks that IDs are unique.
bool parseBankFolder(const QString& folder, std::vector<SourceQuestion>* questions,
                     QStringList* errors);

// The folder of a sources folder that holds subject four's records: "km4".
QString subjectFourFolder();

// Reads every *.txt of the sources folder's km4 folder as subject four's records, in name
// order, and checks that their IDs are unique. Without a km4 folder there are none.
bool parseSubjectFourFolder(const QString& folder, std::vector<SourceQuestion>* questions,
                            QStringList* errors);

// Why the letters of a multiple answer are not two or three distinct letters of A to D in
// ascending order; empty when they are.
QString multipleAnswerFault(const QString& answer);

// The text stored as Content: the question, then for a question with options those on
// their own lines ("A、..." to "D、...").
QString contentOf(const SourceQuestion& question);
