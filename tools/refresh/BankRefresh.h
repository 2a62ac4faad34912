#pragma once

#include "data/QuestionKey.h"

#include <QString>
#include <vector>

// Brings a learner's own bank up to the questions of a newer bank. The questions table,
// with its indexes, is taken whole from the new bank, so a changed layout of it comes
// along too; every other table stays, since those hold what the learner did. A question
// is the same one in both banks when it has the same key, whatever its ID: each learner
// row that names a question by ID is carried over to that question's new ID (and its
// kind to the new one), and a row whose question is gone is dropped, never left to name
// another. A bank of the first release, whose questions have no keys, is matched to the
// record of that release's questions by what each question says.
//
// All of it is one transaction: on any failure, or a kill half-way, the learner's bank
// is left as it was. Nothing is left beside it.
struct RefreshReport
{
    int questions = 0; // the questions now in the learner's bank
    int dropped = 0;   // learner rows whose question the new bank no longer has
    int cleared = 0;   // answers on the paper that no longer fit their question's new kind
};

bool refreshBank(const QString& learnerBank, const QString& newBank,
                 const std::vector<QuestionKey::Entry>& firstRelease, RefreshReport* report,
                 QString* error);

// The record of the first release's questions that the program ships with.
const std::vector<QuestionKey::Entry>& firstReleaseKeys();
