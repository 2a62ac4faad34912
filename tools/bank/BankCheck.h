#pragma once

#include "tools/bank/BankBuilder.h"

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

// One row of the exam plan as the check reads it: how many questions it draws and the
// condition on Type and ID (subject one) or on Type and Chapter (subject four) that
// selects them.
struct PlanShare
{
    int count = 0;
    QString condition;
};

// What a plan row's condition selects: "Type=0 AND ID>=1 AND ID<=441", and the strict
// bounds some rows use; or "Type=2 AND Chapter=3".
struct PlanCondition
{
    int type = 0;
    int low = 0; // inclusive
    int high = 0;
    int chapter = 0; // the chapter of a condition on Chapter; 0 for a range of IDs
    bool holds(const BankRow& row) const;     // of the type, in the range or chapter
    bool inChapter(const BankRow& row) const; // in the range or chapter, of any type
};
bool parseCondition(const QString& text, PlanCondition* c);

// The source of each question, for messages ("01_laws.txt:12"), by ID.
using QuestionPlaces = std::map<int, QString>;
// The places of the questions of a sources folder, relative to it ("km4/01_conduct.txt:5").
QuestionPlaces placesOf(const QString& folder, const std::vector<SourceQuestion>& questions);

// Every problem of a bank, one message each, naming the question's place and ID; empty
// when there is none. A bank is sound when every answer fits its type, every choice
// question shows four distinct options, no two questions are alike (same text, same
// options in any order, same picture), every picture decodes, the IDs are exactly 1 to
// 1600, and every row of the plan finds at least three times as many questions as it
// draws.
QStringList checkBank(const std::vector<BankRow>& rows, const std::vector<PlanShare>& plan,
                      const QuestionPlaces& places = {});

// Every problem of subject four's questions, as checkBank tells them: an ID that is not
// positive or used twice, a single choice not answered A to D, a statement not √ or ×, a
// multiple answer not two or three letters in ascending order, options that are not
// four distinct texts, a Chapter that no row of the plan draws from, two questions alike,
// a picture that does not decode, a clip that does not decode or lasts less than 3 or more
// than 8 seconds, and a row of the plan that finds fewer than three times
// as many questions as it draws. While a chapter holds no question at all its rows are
// told in warnings instead, so that the bank builds while its chapters are written.
QStringList checkSubjectFour(const std::vector<BankRow>& rows, const std::vector<PlanShare>& plan,
                             const QuestionPlaces& places, QStringList* warnings);

// The stem and the options of a stored Content ("A、..." to "D、..." lines).
struct ContentParts
{
    QString stem;
    QStringList letters; // "A", "B", ... as they stand
    QStringList options;
};
ContentParts splitContent(const QString& content);

// Why a clip's bytes are not a clip the player plays through, of 3 to 8 seconds; empty when
// they are.
QString clipFault(const QByteArray& bytes);
