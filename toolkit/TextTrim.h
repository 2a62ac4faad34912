#pragma once

#include <QString>

// The text without the blanks and control characters (all up to U+0020) at its ends:
// stored answers may carry them, and such characters alone are no answer.
QString trimBlanks(const QString& text);
