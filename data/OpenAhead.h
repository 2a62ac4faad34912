#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;

// Opens a keyed database on a thread of its own while the caller goes on (the key
// derivation alone takes several milliseconds); the next Connection::open of the same
// file with the same key takes the handle instead of opening again. One at a time.
namespace openahead {

void start(const QString& path, const QByteArray& key);

// The handle opened ahead for path and key, or nullptr when none was started for them or
// it failed to open (the caller then opens as usual and reports its own error). Waits
// for the thread.
sqlite3* take(const QString& path, const QByteArray& key);

// Closes a handle opened ahead and not taken, as before the file is replaced.
void discard();

} // namespace openahead
