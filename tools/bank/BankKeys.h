#pragma once

#include "data/QuestionKey.h"
#include "tools/bank/BankBuilder.h"
#include "tools/bank/BankSource.h"

#include <QString>
#include <QStringList>
#include <vector>

// The files of a sources folder that record keys rather than questions: the questions of
// 1.0 with their digests and keys, and the keys of removed questions.
QString releasedKeysFile(); // keys-1.0.txt
QString retiredKeysFile();  // retired-keys.txt

// The keys a bank must account for. Learners' rows of 1.0 find their questions through
// the released keys, so none of them may silently vanish; a retired key must never name
// another question, or old rows would find the wrong one.
struct KeyRecords
{
    std::vector<QuestionKey::Entry> released;
    std::vector<QuestionKey::Entry> retired;
};

// Reads both files of a sources folder. Messages "file:line: what".
bool readKeyRecords(const QString& folder, KeyRecords* records, QStringList* errors);

// Six characters of abcdefghijkmnpqrstuvwxyz23456789 (no l, o, 0 or 1, which a reviewer
// misreads): a record's key after "s1-", or the 键 of a fact of points or speeds.
bool isKeyName(const QString& text);

// The key of the question a fact makes: "s1-sign/stop/选名", "s1-k7mq2x/判√".
QString factQuestionKey(const QString& factName, const QString& code);

// Every key problem of the questions of both subjects, one message each naming the place
// and the ID: a record without Key or a fact making questions without 键 (each told a
// fresh name to take), a record's key not "s1-" (subject four's: "s4-") and a key name, a
// key or its name used twice (over both subjects), a retired key used again, and a
// question of 1.0 gone from the bank without its key retired.
QStringList checkKeys(const std::vector<SourceQuestion>& questions, const KeyRecords& records);

// The lines of a record of released questions for the rows of a bank, in their order:
// "ID<TAB>digest<TAB>key".
QStringList releasedKeyLines(const std::vector<BankRow>& rows);
