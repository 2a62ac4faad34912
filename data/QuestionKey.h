#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>
#include <QStringList>
#include <vector>

// A question is named for ever by its key (T_Topic.QKey); its ID only orders the bank
// and may change from one version to the next. Banks of the first release carried no
// keys: their questions are recognised by this digest of what the learner saw (kind,
// text with its options, right answer), which the record of that release's questions
// pairs with their keys.
namespace QuestionKey {

inline QString legacyDigest(int type, const QString& content, const QString& result)
{
    const QByteArray text =
        (QString::number(type) + QLatin1Char('\n') + content + QLatin1Char('\n') + result).toUtf8();
    return QString::fromLatin1(
        QCryptographicHash::hash(text, QCryptographicHash::Sha1).toHex().left(16));
}

// One line of a record of keys: the question's ID and digest in the release the record
// was made of, and its key. A key of the list of retired keys has neither ID nor digest.
struct Entry
{
    int id = 0;
    QString digest;
    QString key;
    int line = 0;
};

enum class ListForm
{
    Released, // "ID<TAB>digest<TAB>key", the questions of a release as shipped
    Retired   // "key", the keys of removed questions, never given again
};

// Reads the text of such a record, named name in messages; blank lines and lines starting
// with '#' are left out. Every bad line, and an ID or key given twice, gets a message
// "name:N: what"; the good lines are taken all the same, and the result says whether
// there was none.
bool parseList(const QString& name, const QString& text, ListForm form, std::vector<Entry>* entries,
               QStringList* errors);

} // namespace QuestionKey
