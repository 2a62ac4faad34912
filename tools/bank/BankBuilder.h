#pragma once

#include "tools/bank/BankSource.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>
#include <vector>

// One row of T_Topic, or of subject four's T_SafeTopic, as it is written.
struct BankRow
{
    int id = 0;
    int type = 0;
    int chapter = 0; // T_SafeTopic's Chapter; T_Topic has none
    QString content;
    std::optional<QByteArray> picture; // none: NULL
    std::optional<QByteArray> clip;    // T_SafeTopic's Clip, an AVI file; none: NULL
    QString result;
    QString source;
    QString explain;
    QString key; // QKey: the question's name for ever; empty when read from a bank of 1.0
};

// A picture as the bank stores it: a 24-bit BMP file image (8-bit with its palette for a
// picture of 256 colours), optionally behind the 8-byte header (count 1, type 0x0100,
// length of the bitmap).
QByteArray pictureBlob(const QImage& image, bool withHeader);

// The rows of the sources, pictures and clips drawn; a question with a clip and no picture
// takes the clip's still as its picture. Returns false with messages for pictures that no
// drawing has and clips that no record has or that have faults.
bool rowsFromSources(const std::vector<SourceQuestion>& questions, std::vector<BankRow>* rows,
                     QStringList* errors);

// Writes a new keyed bank with the given rows of subject one (T_Topic) and of subject four
// (T_SafeTopic, with its clips), and both exam papers empty. Subject four's tables
// are made even without its rows. The file is built beside the target and then renamed
// over it, so a failed build leaves the old one.
bool writeBank(const QString& path, const std::vector<BankRow>& rows,
               const std::vector<BankRow>& safeRows, QString* error);
bool writeBank(const QString& path, const std::vector<BankRow>& rows, QString* error);

// Reads the questions of a keyed bank back, in ID order; a bank of 1.0 has no QKey column
// and gives rows without keys.
bool readBank(const QString& path, std::vector<BankRow>* rows, QString* error);
// Reads subject four's questions (T_SafeTopic) back, in ID order, with their chapters and
// clips.
bool readSubjectFour(const QString& path, std::vector<BankRow>* rows, QString* error);
