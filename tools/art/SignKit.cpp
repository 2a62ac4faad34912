#include "tools/art/SignKit.h"

#include "tools/art/Paint.h"

#include <QPolygonF>
#include <cmath>

namespace signkit {

Units::Units(QPainter& p, const QRectF& box)
    : m_p(p)
{
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 100.0, box.height() / 100.0);
}

Units::~Units()
{
    m_p.restore();
}

Mirror::Mirror(QPainter& p, bool on)
    : m_p(p)
    , m_on(on)
{
    if (on) {
        p.save();
        p.translate(100, 0);
        p.scale(-1, 1);
    }
}

Mirror::~Mirror()
{
    if (m_on) {
        m_p.restore();
    }
}

QRectF warningTriangle(QPainter& p, const QRectF& r)
{
    const qreal h = r.width() * std::sqrt(3.0) / 2;
    const qreal top = r.top() + (r.height() - h) / 2;
    QPolygonF outer;
    outer << QPointF(r.center().x(), top) << QPointF(r.right(), top + h)
          << QPointF(r.left(), top + h);
    p.setPen(QPen(kBlack, r.width() * 0.03, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kBlack);
    p.drawPolygon(outer);
    const qreal inset = r.width() * 0.09;
    QPolygonF inner;
    inner << QPointF(r.center().x(), top + inset * 2)
          << QPointF(r.right() - inset * 1.73, top + h - inset)
          << QPointF(r.left() + inset * 1.73, top + h - inset);
    p.setPen(Qt::NoPen);
    p.setBrush(kYellow);
    p.drawPolygon(inner);
    const qreal s = r.width() * 0.46;
    return QRectF(r.center().x() - s / 2, top + h * 0.38, s, s);
}

QRectF prohibitionRing(QPainter& p, const QRectF& r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawEllipse(r);
    const qreal ring = r.width() * 0.1;
    p.setBrush(kWhite);
    p.drawEllipse(r.adjusted(ring, ring, -ring, -ring));
    const qreal in = r.width() * 0.19;
    return r.adjusted(in, in, -in, -in);
}

void prohibitionSlash(QPainter& p, const QRectF& r)
{
    const qreal ring = r.width() * 0.1;
    const QRectF inner = r.adjusted(ring, ring, -ring, -ring);
    p.save();
    QPainterPath clip;
    clip.addEllipse(inner);
    p.setClipPath(clip);
    p.setPen(QPen(kRed, r.width() * 0.08, Qt::SolidLine, Qt::FlatCap));
    const qreal d = inner.width() / 2 * 0.7071;
    p.drawLine(inner.center() + QPointF(-d, -d), inner.center() + QPointF(d, d));
    p.restore();
}

QRectF mandatoryDisc(QPainter& p, const QRectF& r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawEllipse(r);
    const qreal rim = r.width() * 0.035;
    p.setBrush(kBlue);
    p.drawEllipse(r.adjusted(rim, rim, -rim, -rim));
    const qreal in = r.width() * 0.14;
    return r.adjusted(in, in, -in, -in);
}

QRectF plate(QPainter& p, const QRectF& r, qreal heightRatio, const QColor& fill, const QColor& rim)
{
    const qreal h = r.height() * heightRatio;
    const QRectF box(r.left(), r.center().y() - h / 2, r.width(), h);
    const qreal radius = std::min(box.width(), box.height()) * 0.07;
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawRoundedRect(box, radius, radius);
    const qreal w = std::max<qreal>(1.0, std::min(box.width(), box.height()) * 0.035);
    p.setBrush(fill);
    p.drawRoundedRect(box.adjusted(w, w, -w, -w), radius * 0.8, radius * 0.8);
    return box.adjusted(w * 2.5, w * 2.5, -w * 2.5, -w * 2.5);
}

QPainterPath line(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    bool first = true;
    for (const QPointF& pt : points) {
        if (first) {
            path.moveTo(pt);
            first = false;
        } else {
            path.lineTo(pt);
        }
    }
    return path;
}

void arrow(QPainter& p, const QPainterPath& shaft, qreal width, const QColor& color, qreal head)
{
    if (head <= 0) {
        head = width * 1.9;
    }
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shaft);
    const QPointF end = shaft.pointAtPercent(1);
    const qreal a = shaft.angleAtPercent(1) * M_PI / 180;
    const QPointF d(std::cos(a), -std::sin(a));
    const QPointF n(-d.y(), d.x());
    QPolygonF tip;
    tip << end + d * head * 1.15 << end + n * head * 1.05 << end - n * head * 1.05;
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(tip);
}

namespace {

// Text in device pixels: the unit box may be scaled unevenly (a wide plate), and glyphs
// must keep their shape and take whole pixel sizes.
void deviceText(QPainter& p, const QRectF& box, const QString& s, const QColor& color, QFont font,
                qreal pixel, int flags)
{
    const QTransform t = p.transform();
    const QRectF device = t.mapRect(box);
    const qreal scale = std::min(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22()));
    font.setPixelSize(std::max(1, int(std::lround(pixel * scale))));
    p.save();
    p.resetTransform();
    p.setFont(font);
    p.setPen(color);
    p.drawText(device, flags, s);
    p.restore();
}

} // namespace

void text(QPainter& p, const QRectF& box, const QString& s, const QColor& color, qreal pixel,
          bool bold, int flags)
{
    deviceText(p, box, s, color, paint::font(QStringLiteral("Noto Sans CJK SC"), 10, bold), pixel,
               flags);
}

void digits(QPainter& p, const QRectF& box, const QString& s, const QColor& color, qreal pixel)
{
    QFont f(QStringLiteral("DejaVu Sans Condensed"));
    f.setBold(true);
    f.setStretch(QFont::SemiCondensed);
    deviceText(p, box, s, color, f, pixel, Qt::AlignCenter);
}

namespace {

void fill(QPainter& p, const QColor& c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
}

void wheel(QPainter& p, const QPointF& c, qreal r, const QColor& color)
{
    fill(p, color);
    p.drawEllipse(c, r, r);
}

QColor hole(const QColor& c)
{
    // Holes in a pictogram show the sign's ground: white under black, blue under white.
    return c == kWhite ? kBlue : kWhite;
}

} // namespace

void car(QPainter& p, const QColor& c)
{
    fill(p, c);
    QPainterPath body;
    body.moveTo(6, 64);
    body.lineTo(6, 50);
    body.quadTo(8, 44, 18, 43);
    body.lineTo(30, 42);
    body.lineTo(40, 30);
    body.lineTo(68, 30);
    body.lineTo(80, 42);
    body.quadTo(94, 44, 94, 52);
    body.lineTo(94, 64);
    body.closeSubpath();
    p.drawPath(body);
    fill(p, hole(c));
    QPolygonF glass;
    glass << QPointF(36, 41) << QPointF(43, 34) << QPointF(53, 34) << QPointF(53, 41);
    p.drawPolygon(glass);
    QPolygonF glass2;
    glass2 << QPointF(57, 41) << QPointF(57, 34) << QPointF(66, 34) << QPointF(73, 41);
    p.drawPolygon(glass2);
    p.drawEllipse(QPointF(25, 65), 11, 11);
    p.drawEllipse(QPointF(75, 65), 11, 11);
    wheel(p, QPointF(25, 65), 8, c);
    wheel(p, QPointF(75, 65), 8, c);
}

void truck(QPainter& p, const QColor& c)
{
    fill(p, c);
    p.drawRect(QRectF(4, 24, 62, 38));
    QPainterPath cab;
    cab.moveTo(69, 62);
    cab.lineTo(69, 34);
    cab.lineTo(86, 34);
    cab.lineTo(96, 48);
    cab.lineTo(96, 62);
    cab.closeSubpath();
    p.drawPath(cab);
    fill(p, hole(c));
    p.drawPolygon(QPolygonF({QPointF(76, 38), QPointF(85, 38), QPointF(91, 47), QPointF(76, 47)}));
    p.drawEllipse(QPointF(20, 68), 10, 10);
    p.drawEllipse(QPointF(82, 68), 10, 10);
    wheel(p, QPointF(20, 68), 7.5, c);
    wheel(p, QPointF(82, 68), 7.5, c);
}

void bus(QPainter& p, const QColor& c)
{
    fill(p, c);
    p.drawRoundedRect(QRectF(3, 26, 94, 38), 5, 5);
    fill(p, hole(c));
    for (int i = 0; i < 5; ++i) {
        p.drawRect(QRectF(9 + i * 16, 32, 12, 12));
    }
    p.drawRect(QRectF(88, 32, 5, 18));
    p.drawEllipse(QPointF(22, 67), 10, 10);
    p.drawEllipse(QPointF(76, 67), 10, 10);
    wheel(p, QPointF(22, 67), 7.5, c);
    wheel(p, QPointF(76, 67), 7.5, c);
}

void motorcycle(QPainter& p, const QColor& c)
{
    p.setPen(QPen(c, 6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(20, 66), 14, 14);
    p.drawEllipse(QPointF(80, 66), 14, 14);
    fill(p, c);
    QPainterPath body;
    body.moveTo(20, 66);
    body.lineTo(36, 46);
    body.lineTo(64, 46);
    body.lineTo(70, 36);
    body.lineTo(76, 38);
    body.lineTo(80, 66);
    body.lineTo(72, 66);
    body.lineTo(62, 56);
    body.lineTo(34, 58);
    body.closeSubpath();
    p.drawPath(body);
    p.setPen(QPen(c, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(70, 36), QPointF(62, 28));
}

void bicycle(QPainter& p, const QColor& c)
{
    p.setPen(QPen(c, 5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(22, 64), 16, 16);
    p.drawEllipse(QPointF(78, 64), 16, 16);
    p.setPen(QPen(c, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(22, 64), QPointF(40, 40), QPointF(66, 40), QPointF(78, 64)}));
    p.drawPolyline(QPolygonF({QPointF(40, 40), QPointF(50, 64), QPointF(66, 40)}));
    p.drawLine(QPointF(22, 64), QPointF(50, 64));
    p.drawLine(QPointF(36, 32), QPointF(46, 32));
    p.drawLine(QPointF(66, 40), QPointF(62, 28));
    p.drawLine(QPointF(58, 28), QPointF(68, 26));
}

void electricBicycle(QPainter& p, const QColor& c)
{
    p.setPen(QPen(c, 5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(22, 66), 14, 14);
    p.drawEllipse(QPointF(78, 66), 14, 14);
    p.setPen(QPen(c, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF(
        {QPointF(22, 66), QPointF(34, 50), QPointF(58, 58), QPointF(66, 24), QPointF(78, 66)}));
    p.drawLine(QPointF(60, 22), QPointF(74, 20));
    p.drawLine(QPointF(34, 50), QPointF(30, 36));
    p.drawLine(QPointF(22, 34), QPointF(40, 34));
    fill(p, c);
    p.drawRoundedRect(QRectF(24, 40, 26, 12), 2, 2);
}

void tractor(QPainter& p, const QColor& c)
{
    fill(p, c);
    p.drawRect(QRectF(30, 40, 44, 20));
    p.drawRect(QRectF(52, 20, 20, 22));
    p.drawRect(QRectF(36, 26, 5, 16));
    fill(p, hole(c));
    p.drawRect(QRectF(56, 24, 12, 10));
    p.drawEllipse(QPointF(70, 64), 22, 22);
    p.drawEllipse(QPointF(24, 72), 13, 13);
    wheel(p, QPointF(70, 64), 19, c);
    wheel(p, QPointF(24, 72), 10, c);
    fill(p, hole(c));
    p.drawEllipse(QPointF(70, 64), 6, 6);
}

void tricycle(QPainter& p, const QColor& c)
{
    fill(p, c);
    p.drawRect(QRectF(6, 36, 46, 24));
    QPainterPath front;
    front.moveTo(54, 60);
    front.lineTo(56, 40);
    front.lineTo(70, 30);
    front.lineTo(78, 30);
    front.lineTo(84, 62);
    front.closeSubpath();
    p.drawPath(front);
    fill(p, hole(c));
    p.drawEllipse(QPointF(26, 66), 10, 10);
    p.drawEllipse(QPointF(84, 66), 10, 10);
    wheel(p, QPointF(26, 66), 7.5, c);
    wheel(p, QPointF(84, 66), 7.5, c);
}

void trailerTruck(QPainter& p, const QColor& c)
{
    fill(p, c);
    p.drawRect(QRectF(2, 28, 58, 32));
    p.drawRect(QRectF(58, 56, 14, 4));
    QPainterPath cab;
    cab.moveTo(70, 62);
    cab.lineTo(70, 36);
    cab.lineTo(88, 36);
    cab.lineTo(98, 48);
    cab.lineTo(98, 62);
    cab.closeSubpath();
    p.drawPath(cab);
    fill(p, hole(c));
    for (const QPointF& w : {QPointF(14, 66), QPointF(34, 66), QPointF(86, 67)}) {
        p.drawEllipse(w, 9, 9);
    }
    for (const QPointF& w : {QPointF(14, 66), QPointF(34, 66), QPointF(86, 67)}) {
        wheel(p, w, 6.5, c);
    }
}

void cow(QPainter& p, const QColor& c)
{
    fill(p, c);
    p.drawRoundedRect(QRectF(14, 34, 58, 28), 10, 10);
    QPainterPath head;
    head.moveTo(68, 38);
    head.lineTo(80, 30);
    head.lineTo(94, 40);
    head.lineTo(90, 50);
    head.lineTo(76, 48);
    head.closeSubpath();
    p.drawPath(head);
    p.setPen(QPen(c, 6, Qt::SolidLine, Qt::RoundCap));
    for (qreal x : {20.0, 30.0, 58.0, 66.0}) {
        p.drawLine(QPointF(x, 58), QPointF(x, 82));
    }
    p.setPen(QPen(c, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(80, 30), QPointF(76, 20));
    p.drawLine(QPointF(84, 32), QPointF(90, 22));
    p.drawLine(QPointF(14, 40), QPointF(8, 62));
}

void deer(QPainter& p, const QColor& c)
{
    fill(p, c);
    p.drawEllipse(QRectF(18, 38, 50, 24));
    QPainterPath neck;
    neck.moveTo(58, 44);
    neck.lineTo(70, 22);
    neck.lineTo(84, 24);
    neck.lineTo(78, 32);
    neck.lineTo(68, 50);
    neck.closeSubpath();
    p.drawPath(neck);
    p.setPen(QPen(c, 5, Qt::SolidLine, Qt::RoundCap));
    for (const auto& leg : {QLineF(24, 56, 16, 84), QLineF(32, 58, 34, 84), QLineF(56, 58, 56, 84),
                            QLineF(62, 56, 70, 84)}) {
        p.drawLine(leg);
    }
    p.setPen(QPen(c, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawPolyline(QPolygonF({QPointF(72, 22), QPointF(66, 8), QPointF(60, 4)}));
    p.drawLine(QPointF(68, 13), QPointF(74, 6));
    p.drawPolyline(QPolygonF({QPointF(76, 22), QPointF(82, 8), QPointF(88, 4)}));
}

void animalCart(QPainter& p, const QColor& c)
{
    {
        // The animal in front, the cart behind.
        p.save();
        p.translate(34, 10);
        p.scale(0.66, 0.66);
        cow(p, c);
        p.restore();
    }
    fill(p, c);
    p.drawRect(QRectF(4, 40, 36, 14));
    p.setPen(QPen(c, 4));
    p.drawLine(QPointF(38, 46), QPointF(50, 40));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(22, 64), 12, 12);
}

void walker(QPainter& p, const QColor& c, const QPointF& at, qreal s)
{
    fill(p, c);
    p.drawEllipse(at, 8 * s, 8 * s);
    p.setPen(QPen(c, 11 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF neck = at + QPointF(-1 * s, 14 * s);
    const QPointF hip = at + QPointF(-3 * s, 42 * s);
    p.drawLine(neck, hip);
    p.setPen(QPen(c, 8 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({hip, hip + QPointF(12 * s, 18 * s), hip + QPointF(16 * s, 38 * s)}));
    p.drawPolyline(QPolygonF({hip, hip + QPointF(-8 * s, 20 * s), hip + QPointF(-18 * s, 36 * s)}));
    p.setPen(QPen(c, 6 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF shoulder = neck + QPointF(0, 4 * s);
    p.drawPolyline(QPolygonF(
        {shoulder, shoulder + QPointF(12 * s, 10 * s), shoulder + QPointF(18 * s, 22 * s)}));
    p.drawPolyline(QPolygonF(
        {shoulder, shoulder + QPointF(-10 * s, 12 * s), shoulder + QPointF(-14 * s, 24 * s)}));
}

void wheelchair(QPainter& p, const QColor& c)
{
    fill(p, c);
    p.drawEllipse(QPointF(38, 12), 8, 8);
    p.setPen(QPen(c, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(36, 26), QPointF(38, 52), QPointF(62, 52), QPointF(72, 76)}));
    p.drawLine(QPointF(38, 36), QPointF(58, 36));
    p.setPen(QPen(c, 6));
    p.setBrush(Qt::NoBrush);
    QPainterPath ring;
    ring.arcMoveTo(QRectF(16, 38, 48, 48), 110);
    ring.arcTo(QRectF(16, 38, 48, 48), 110, 280);
    p.drawPath(ring);
}

void trafficLights(QPainter& p)
{
    fill(p, kBlack);
    p.drawRoundedRect(QRectF(32, 0, 36, 98), 6, 6);
    const QColor lamps[3] = {kRed, kYellow, QColor(0, 160, 80)};
    for (int i = 0; i < 3; ++i) {
        fill(p, lamps[i]);
        p.drawEllipse(QPointF(50, 17 + i * 32), 12, 12);
    }
}

void horn(QPainter& p, const QColor& c)
{
    QPainterPath h;
    h.moveTo(14, 44);
    h.lineTo(40, 44);
    h.lineTo(70, 26);
    h.lineTo(70, 74);
    h.lineTo(40, 56);
    h.lineTo(14, 56);
    h.closeSubpath();
    fill(p, c);
    p.drawPath(h);
    p.drawRect(QRectF(8, 38, 8, 24));
    p.setPen(QPen(c, 4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(64, 24, 20, 52), -55 * 16, 110 * 16);
    p.drawArc(QRectF(70, 14, 26, 72), -50 * 16, 100 * 16);
}

QPainterPath straightShaft()
{
    return line({{50, 98}, {50, 26}});
}

QPainterPath leftShaft()
{
    QPainterPath path;
    path.moveTo(62, 98);
    path.lineTo(62, 62);
    path.quadTo(62, 42, 42, 42);
    path.lineTo(30, 42);
    return path;
}

QPainterPath uTurnShaft()
{
    QPainterPath path;
    path.moveTo(66, 98);
    path.lineTo(66, 46);
    path.arcTo(QRectF(30, 28, 36, 36), 0, 180);
    path.lineTo(30, 66);
    return path;
}

} // namespace signkit
