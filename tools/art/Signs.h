#pragma once

#include <QColor>
#include <QImage>
#include <QStringList>

// Road signs drawn by code, after the shapes, colours and symbols of the national
// standard. The same drawings serve the sign pages and the questions of the bank.
//
// Names: "sign/<id>"; a speed sign carries its number ("sign/speed_limit_40").
QImage drawSign(const QString& name, int size, const QColor& background = Qt::white);
bool isKnownSign(const QString& name);
QStringList signNames();
