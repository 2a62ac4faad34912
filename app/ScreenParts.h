#pragma once

#include "toolkit/Controls.h"

#include <QRect>
#include <QString>

// The background colour of the question panels and of the wait screen.
inline constexpr unsigned kLavender = 15783899;

// The picture that fills a full-screen form with its artwork.
Picture* screenPicture(QWidget* parent, const char* name, const QString& artName);

// A fixed label in a bold face of the old screens.
Label* textLabel(QWidget* parent, const char* name, const QRect& place, const QString& face,
                 int pixelSize, const QColor& color, const QString& caption = QString());

// The label lblAddress at the foot of a screen; its creation handler gives it the
// contact line.
Label* contactLabel(QWidget* parent, int x, int y);

// "第" number "题 " and the hint that says how a question of its kind is answered.
QString questionHeading(const QString& number, bool trueFalse);

// The answer that a click on an answer area gives: its letter, or for a true/false
// question the tick for A and the cross for any other.
QString answerOfArea(const QString& letter, bool trueFalse);
