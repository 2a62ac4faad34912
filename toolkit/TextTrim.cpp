#include "toolkit/TextTrim.h"

QString trimBlanks(const QString& text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from).unicode() <= 0x20) {
        ++from;
    }
    while (to > from && text.at(to - 1).unicode() <= 0x20) {
        --to;
    }
    return text.mid(from, to - from);
}
