#pragma once

#include "tools/bank/BankSource.h"
#include "tools/bank/FactTable.h"

// Questions made from the fact tables of assets/bank/facts. Each fact line names the
// questions it gives (its 出题 column); the wrong options and the wrong statements come
// from other facts of the same table, chosen by a fixed hash, so the same tables always
// give the same questions.
//
// Every table names the block of IDs it fills (@题号). Tables sharing a block fill it in
// file-name order, each with its choice questions first and its true/false ones after;
// together they must fill the block exactly. Picture questions alternate between the
// plain bitmap and the bitmap behind the picture header.

// The questions of one table, without IDs.
bool tableQuestions(const FactTable& table, std::vector<SourceQuestion>* questions,
                    QStringList* errors);

// The questions of several tables, numbered into their blocks.
bool questionsFromTables(const std::vector<FactTable>& tables,
                         std::vector<SourceQuestion>* questions, QStringList* errors);

// Reads every *.txt of a folder as a fact table and makes their questions.
bool factQuestions(const QString& folder, std::vector<SourceQuestion>* questions,
                   QStringList* errors);

// Text as two questions or options are compared: width-folded, lower case, without
// blanks or punctuation.
QString normalisedText(const QString& text);
