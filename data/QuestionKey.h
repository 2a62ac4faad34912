#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

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

} // namespace QuestionKey
