#pragma once

#include <QColor>
#include <QImage>
#include <QStringList>

// Road signs drawn by code, after the shapes, colours and symbols of the national
// standard. The same drawings serve the sign pages and the questions of the bank.
//
// Names: "sign/<id>"; a numbered sign carries its number ("sign/speed_limit_40",
// "sign/limit_height_3.5"). A square picture, the sign centred in it in its own
// proportions.
QImage drawSign(const QString& name, int size, const QColor& background = Qt::white);
// A picture of the sign's own proportions, width pixels wide.
QImage drawSignAtWidth(const QString& name, int width, const QColor& background);
// Width over height of the sign's outline, as the standard draws it; 0 for an unknown name.
qreal signAspect(const QString& name);
bool isKnownSign(const QString& name);
// Every sign with the numbers the pages show for the numbered ones.
QStringList signNames();
// The width of a sign's or marking's picture on the sign pages.
int signPageSize(const QString& name);

// Road markings as seen from above, on a square of road surface: "marking/<id>".
QImage drawMarking(const QString& name, int size);
bool isKnownMarking(const QString& name);
QStringList markingNames();
