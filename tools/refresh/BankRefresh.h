#pragma once

#include <QString>

// Brings a learner's own bank up to the questions of a newer bank: the learner's copy
// keeps its exam paper and every table besides the questions, since those hold what
// the learner did; the questions table, with its indexes, is taken whole from the new
// bank, so a changed layout of it comes along too. The change is one transaction:
// on any failure the learner's bank is left as it was. Returns the number of
// questions now in the learner's bank, or -1 with an error text.
int refreshBank(const QString& learnerBank, const QString& newBank, QString* error);
