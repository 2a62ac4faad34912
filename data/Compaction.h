#pragma once

#include <QString>

// Compacts the keyed database file in place through a temporary copy. Silent: every
// failure leaves the file as it was and is swallowed.
void CompactDataFile(const QString& path);
