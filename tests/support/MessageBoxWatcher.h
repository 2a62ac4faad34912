#pragma once

#include <QObject>
#include <QStringList>

class QTimer;

namespace testing {

// While it lives, answers every message box that opens with its OK (or only) button and
// keeps what each one said: for counting error reports that must come exactly once, or
// never.
class MessageBoxWatcher : public QObject
{
public:
    MessageBoxWatcher();
    int count() const { return int(texts.size()); }

    QStringList texts;
    QStringList titles;
    QList<int> icons;

private:
    void look();
    QTimer* m_timer;
};

} // namespace testing
