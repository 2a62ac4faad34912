#include "tools/art/Paint.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace paint {

namespace {
qreal g_scale = 1;
}

void setScale(qreal scale)
{
    g_scale = scale;
}

qreal scale()
{
    return g_scale;
}

QImage canvas(int width, int height, const QColor& fill)
{
    QImage image(qRound(width * g_scale), qRound(height * g_scale), QImage::Format_RGB32);
    image.setDevicePixelRatio(g_scale);
    image.fill(fill);
    return image;
}

QImage crop(const QImage& image, const QRect& logical)
{
    const qreal s = image.devicePixelRatio();
    QImage part = image.copy(
        QRectF(QPointF(logical.topLeft()) * s, QSizeF(logical.size()) * s).toAlignedRect());
    part.setDevicePixelRatio(s);
    return part;
}

QFont font(const QString& face, int pixelSize, bool bold)
{
    QFont f(face);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void shadowedText(QPainter& p, const QRectF& box, const QString& text, const QColor& color,
                  const QColor& shadow, int flags, qreal offset)
{
    p.setPen(shadow);
    p.drawText(box.translated(offset, offset), flags, text);
    p.setPen(color);
    p.drawText(box, flags, text);
}

void ovalButton(QPainter& p, const QRectF& box, const QString& caption, const QColor& base,
                const QColor& textColor, const QFont& captionFont)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF face = box.adjusted(3, 3, -5, -6);

    // Shadow under the button.
    QRadialGradient shade(face.center() + QPointF(3, 5), face.width() / 2);
    shade.setColorAt(0.0, QColor(0, 0, 0, 90));
    shade.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawEllipse(face.translated(3, 5));

    // Rim and body.
    QLinearGradient rim(face.topLeft(), face.bottomLeft());
    rim.setColorAt(0.0, base.lighter(150));
    rim.setColorAt(1.0, base.darker(170));
    p.setBrush(rim);
    p.setPen(QPen(base.darker(220), 1.2));
    p.drawEllipse(face);

    const QRectF body = face.adjusted(5, 4, -5, -4);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0.0, base.lighter(135));
    fill.setColorAt(0.45, base);
    fill.setColorAt(1.0, base.darker(125));
    p.setBrush(fill);
    p.setPen(Qt::NoPen);
    p.drawEllipse(body);

    // Gloss on the upper half.
    const QRectF gloss(body.left() + body.width() * 0.12, body.top() + 2, body.width() * 0.76,
                       body.height() * 0.42);
    QLinearGradient g(gloss.topLeft(), gloss.bottomLeft());
    g.setColorAt(0.0, QColor(255, 255, 255, 170));
    g.setColorAt(1.0, QColor(255, 255, 255, 10));
    p.setBrush(g);
    p.drawEllipse(gloss);

    p.setFont(captionFont);
    shadowedText(p, body, caption, textColor, QColor(255, 255, 255, 200), Qt::AlignCenter, 1.5);
    p.restore();
}

void framedPanel(QPainter& p, const QRectF& box, const QColor& fill, const QColor& border,
                 qreal radius)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawRoundedRect(box.translated(3, 4), radius, radius);
    p.setBrush(fill);
    p.setPen(QPen(border, 2));
    p.drawRoundedRect(box, radius, radius);
    p.setPen(QPen(border.lighter(160), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(box.adjusted(4, 4, -4, -4), radius - 3, radius - 3);
    p.restore();
}

void titledGround(QPainter& p, int height, const QString& title, const QString& subtitle,
                  qreal subtitleWidth)
{
    QLinearGradient ground(0, 78, 0, height);
    ground.setColorAt(0, QColor(229, 226, 247));
    ground.setColorAt(1, QColor(203, 198, 234));
    p.fillRect(QRect(0, 78, 800, height - 78), ground);

    QLinearGradient band(0, 0, 0, 76);
    band.setColorAt(0, QColor(70, 96, 178));
    band.setColorAt(1, QColor(34, 52, 120));
    p.fillRect(QRect(0, 0, 800, 76), band);
    p.fillRect(QRect(0, 76, 800, 3), QColor(244, 196, 60));
    p.setFont(font(QStringLiteral("隶书"), 46, true));
    shadowedText(p, QRectF(24, 4, 300, 68), title, QColor(255, 255, 255), QColor(10, 20, 60, 170),
                 Qt::AlignLeft | Qt::AlignVCenter, 2.5);
    p.setFont(font(QStringLiteral("幼圆"), 15));
    p.setPen(QColor(214, 224, 255));
    p.drawText(QRectF(236, 40, subtitleWidth, 24), Qt::AlignLeft | Qt::AlignVCenter, subtitle);
}

} // namespace paint
