#pragma once

#include "toolkit/Controls.h"

#include <QRect>

// An invisible click area over a button face of the artwork: a label or a flat button,
// named, placed, with the hand cursor; its tag tells a shared handler which one it is.
template <class Area>
Area* clickArea(QWidget* parent, const char* name, const QRect& place, int tag = 0)
{
    Area* area = named(new Area(parent), name);
    area->setGeometry(place);
    area->setHandCursor();
    area->setTag(tag);
    return area;
}
