#pragma once

#include <QImage>
#include <QStringList>

// The eight hand signals of a traffic police officer, drawn as an officer in uniform
// (cap, reflective vest, white gloves) seen from the front and a little to one side,
// so that an arm stretched forward reads as forward. A red arrow shows where the moving
// arm swings. Names: "hand/<id>" (stop, straight, left_turn, left_turn_wait,
// right_turn, lane_change, slow_down, pull_over). Every picture is 200 x 150.
QImage drawHandSignal(const QString& name);
bool isKnownHandSignal(const QString& name);
QStringList handSignalNames();
