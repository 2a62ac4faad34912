#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

// Helpers shared by the drawings.
namespace paint {

// A 24-bit picture filled with one colour.
QImage canvas(int width, int height, const QColor& fill);

QFont font(const QString& face, int pixelSize, bool bold = false);

// Text centred in a box with a soft shadow below and to the right.
void shadowedText(QPainter& p, const QRectF& box, const QString& text, const QColor& color,
                  const QColor& shadow, int flags = Qt::AlignCenter, qreal offset = 2);

// A raised oval button face with its caption, as the menus show them.
void ovalButton(QPainter& p, const QRectF& box, const QString& caption, const QColor& base,
                const QColor& textColor, const QFont& captionFont);

// A rounded frame with a light inner area, as behind question areas and pages.
void framedPanel(QPainter& p, const QRectF& box, const QColor& fill, const QColor& border,
                 qreal radius = 12);

} // namespace paint
