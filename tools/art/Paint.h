#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRectF>
#include <QString>

// Helpers shared by the drawings.
namespace paint {

// The screens' lavender ground and the deep blue of their frames and captions.
inline const QColor kLavender(219, 215, 240);
inline const QColor kDeepBlue(38, 58, 128);

// A button's face as a screen's background draws it, and its caption.
struct CaptionedBox
{
    QRect box;
    const char* caption;
};

// The density the drawings are made at: 1 for the screens' own pixels, 2 for screens of
// twice their density. A canvas has that many pixels per logical pixel, and a painter on
// it draws in logical pixels, so the drawings need not know.
void setScale(qreal scale);
qreal scale();

// A 24-bit picture of width x height logical pixels filled with one colour.
QImage canvas(int width, int height, const QColor& fill);

// The part of a drawing at a place in logical pixels, at the drawing's density.
QImage crop(const QImage& image, const QRect& logical);

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

// The ground of the study screens (practice, the record) down to height, under the blue
// title band with the screen's title and a line of what it offers.
void titledGround(QPainter& p, int height, const QString& title, const QString& subtitle,
                  qreal subtitleWidth);

} // namespace paint
