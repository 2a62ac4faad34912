#pragma once

#include <QImage>
#include <QStringList>

// Warning and indicator lamps of a car's instrument panel, after the symbols of GB 4094
// (ISO 2575), lit in their usual colour (red, amber, green or blue) on a dark panel.
// Names: "dash/<id>". Every picture is 200 x 150.
QImage drawDashLight(const QString& name);
bool isKnownDashLight(const QString& name);
QStringList dashLightNames();
