#pragma once

#include "tools/bank/BankBuilder.h"

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

// One row of the exam plan as the check reads it: how many questions it draws and the
// condition on Type and ID that selects them.
struct PlanShare
{
    int count = 0;
    QString condition;
};

// What a plan row's condition selects: "Type=0 AND ID>=1 AND ID<=441", and the strict
// bounds some rows use.
struct PlanCondition
{
    int type = 0;
    int low = 0; // inclusive
    int high = 0;
};
bool parseCondition(const QString& text, PlanCondition* c);

// The source of each question, for messages ("01_laws.txt:12"), by ID.
using QuestionPlaces = std::map<int, QString>;

// Every problem of a bank, one message each, naming the question's place and ID; empty
// when there is none. A bank is sound when every answer fits its type, every choice
// question shows four distinct options, no two questions are alike (same text, same
// options in any order, same picture), every picture decodes, the IDs are exactly 1 to
// 1600, and every row of the plan finds at least three times as many questions as it
// draws.
QStringList checkBank(const std::vector<BankRow>& rows, const std::vector<PlanShare>& plan,
                      const QuestionPlaces& places = {});

// The stem and the options of a stored Content ("A、..." to "D、..." lines).
struct ContentParts
{
    QString stem;
    QStringList letters; // "A", "B", ... as they stand
    QStringList options;
};
ContentParts splitContent(const QString& content);
