#pragma once

#include <QColor>
#include <QImage>
#include <QStringList>

// Road signs drawn by code, after the shapes, colours and symbols of the national
// standard. The same drawings serve the sign pages and the questions of the bank.
//
// Names: "sign/<id>"; a numbered sign carries its number ("sign/speed_limit_40",
// "sign/limit_height_3.5"). Every picture is square; a wide sign is centred in it.
QImage drawSign(const QString& name, int size, const QColor& background = Qt::white);
bool isKnownSign(const QString& name);
// Every sign with the numbers the pages show for the numbered ones.
QStringList signNames();
// The size of a sign's picture on the sign pages.
int signPageSize(const QString& name);

// Road markings as seen from above, on a square of road surface: "marking/<id>".
QImage drawMarking(const QString& name, int size);
bool isKnownMarking(const QString& name);
QStringList markingNames();
