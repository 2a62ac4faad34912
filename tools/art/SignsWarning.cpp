// Warning signs: a yellow triangle with a black border and a black symbol.
#include "tools/art/SignKit.h"

#include <QPolygonF>
#include <cmath>

namespace signkit {

namespace {

using Symbol = std::function<void(QPainter&)>;

void black(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kBlack);
}

QPen thick(qreal width, Qt::PenCapStyle cap = Qt::FlatCap)
{
    return QPen(kBlack, width, Qt::SolidLine, cap, Qt::MiterJoin);
}

void crossroads(QPainter& p, const QRectF& r, const QString&)
{
    const QRectF s = warningTriangle(p, r);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlack);
    const qreal w = s.width() * 0.2;
    p.drawRect(QRectF(s.center().x() - w / 2, s.top(), w, s.height()));
    p.drawRect(QRectF(s.left(), s.center().y() - w / 2, s.width(), w));
}

void person(QPainter& p, const QPointF& head, qreal size, bool stepLeft)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kBlack);
    p.drawEllipse(head, size * 0.14, size * 0.14);
    p.setPen(QPen(kBlack, size * 0.16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF hip = head + QPointF(0, size * 0.62);
    p.drawLine(head + QPointF(0, size * 0.2), hip);
    const qreal sw = stepLeft ? -1 : 1;
    p.drawLine(hip, hip + QPointF(sw * size * 0.22, size * 0.4));
    p.drawLine(hip, hip + QPointF(-sw * size * 0.14, size * 0.42));
    const QPointF shoulder = head + QPointF(0, size * 0.28);
    p.setPen(QPen(kBlack, size * 0.1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(shoulder, shoulder + QPointF(sw * size * 0.24, size * 0.26));
    p.drawLine(shoulder, shoulder + QPointF(-sw * size * 0.2, size * 0.3));
}

void children(QPainter& p, const QRectF& r, const QString&)
{
    const QRectF s = warningTriangle(p, r);
    person(p, QPointF(s.left() + s.width() * 0.34, s.top() + s.height() * 0.1), s.height() * 0.88,
           true);
    person(p, QPointF(s.left() + s.width() * 0.72, s.top() + s.height() * 0.3), s.height() * 0.68,
           true);
}

// A triangle with a symbol in its unit box, mirrored when asked.
Drawer triangle(Symbol symbol, bool mirrored = false)
{
    return [symbol, mirrored](QPainter& p, const QRectF& r, const QString&) {
        const QRectF s = warningTriangle(p, r);
        Units u(p, s);
        Mirror m(p, mirrored);
        symbol(p);
    };
}

// A smaller triangle above a white plate with a few words, as the standard adds them.
Drawer triangleWithPlate(Symbol symbol, const QString& words)
{
    return [symbol, words](QPainter& p, const QRectF& r, const QString&) {
        const qreal side = r.height() * 0.7 * kTriangle;
        const QRectF top(r.center().x() - side / 2, r.top(), side, r.height() * 0.7);
        const QRectF s = warningTriangle(p, top);
        {
            Units u(p, s);
            symbol(p);
        }
        const qreal edge = r.width() * 0.02;
        const QRectF board =
            QRectF(r.left(), r.top() + r.height() * 0.75, r.width(), r.height() * 0.25)
                .adjusted(edge / 2, edge / 2, -edge / 2, -edge / 2);
        p.setPen(QPen(kBlack, edge));
        p.setBrush(kWhite);
        p.drawRect(board);
        text(p, board, words, kBlack, board.height() * 0.62);
    };
}

void road(QPainter& p, std::initializer_list<QPointF> points, qreal width = 20)
{
    p.setPen(thick(width));
    p.setBrush(Qt::NoBrush);
    p.drawPath(line(points));
}

void bentArrow(QPainter& p)
{
    QPainterPath a;
    a.moveTo(62, 100);
    a.lineTo(62, 56);
    a.cubicTo(62, 30, 44, 22, 26, 34);
    arrow(p, a, 15, kBlack, 15);
}

void reverseBend(QPainter& p)
{
    QPainterPath a;
    a.moveTo(62, 100);
    a.cubicTo(62, 74, 30, 74, 30, 52);
    a.cubicTo(30, 34, 58, 32, 60, 14);
    arrow(p, a, 13, kBlack, 13);
}

void winding(QPainter& p)
{
    QPainterPath a;
    a.moveTo(56, 100);
    a.cubicTo(30, 90, 30, 78, 50, 68);
    a.cubicTo(72, 58, 70, 46, 48, 38);
    a.cubicTo(28, 30, 34, 20, 46, 14);
    arrow(p, a, 12, kBlack, 12);
}

void slope(QPainter& p, bool up)
{
    // The car drives to the right: uphill on a rising slope, downhill on a falling one.
    black(p);
    p.drawPolygon(up ? QPolygonF({QPointF(0, 96), QPointF(100, 96), QPointF(100, 40)})
                     : QPolygonF({QPointF(0, 96), QPointF(100, 96), QPointF(0, 40)}));
    p.save();
    p.translate(up ? 44 : 56, 70);
    p.rotate(up ? -29 : 29);
    p.scale(0.5, 0.5);
    p.translate(-50, -80);
    car(p, kBlack);
    p.restore();
}

void narrowing(QPainter& p, bool left, bool right)
{
    p.setPen(thick(9));
    p.setBrush(Qt::NoBrush);
    p.drawPath(left ? line({{20, 100}, {20, 64}, {36, 40}, {36, 0}}) : line({{24, 100}, {24, 0}}));
    p.drawPath(right ? line({{80, 100}, {80, 64}, {64, 40}, {64, 0}}) : line({{76, 100}, {76, 0}}));
}

// Two lanes, the right one ending: its edge closes in on the lane line, which stops.
void lanesReduce(QPainter& p)
{
    p.setPen(thick(9));
    p.setBrush(Qt::NoBrush);
    p.drawPath(line({{18, 100}, {18, 0}}));
    p.drawPath(line({{82, 100}, {82, 54}, {56, 28}, {56, 0}}));
    p.setPen(QPen(kBlack, 5, Qt::SolidLine, Qt::FlatCap));
    for (qreal y : {100.0, 80.0}) {
        p.drawLine(QPointF(50, y), QPointF(50, y - 10));
    }
}

void narrowBridge(QPainter& p)
{
    p.setPen(thick(9));
    p.setBrush(Qt::NoBrush);
    p.drawPath(line({{22, 100}, {22, 78}, {36, 64}, {36, 36}, {22, 22}, {22, 0}}));
    p.drawPath(line({{78, 100}, {78, 78}, {64, 64}, {64, 36}, {78, 22}, {78, 0}}));
}

void twoWay(QPainter& p)
{
    arrow(p, line({{64, 100}, {64, 22}}), 12, kBlack, 12);
    arrow(p, line({{36, 0}, {36, 78}}), 12, kBlack, 12);
}

void pedestrians(QPainter& p)
{
    walker(p, kBlack, {50, 8}, 1.05);
}

void fallingRocks(QPainter& p)
{
    black(p);
    p.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(36, 0), QPointF(42, 30), QPointF(32, 64),
                             QPointF(38, 100), QPointF(0, 100)}));
    p.drawPolygon(QPolygonF({QPointF(52, 28), QPointF(64, 24), QPointF(68, 36), QPointF(56, 40)}));
    p.drawPolygon(QPolygonF({QPointF(62, 52), QPointF(78, 48), QPointF(80, 62), QPointF(66, 66)}));
    p.drawPolygon(QPolygonF({QPointF(52, 78), QPointF(70, 76), QPointF(74, 92), QPointF(50, 94)}));
}

void crosswind(QPainter& p)
{
    p.setPen(thick(6));
    p.drawLine(QPointF(18, 4), QPointF(18, 100));
    black(p);
    p.drawPolygon(QPolygonF({QPointF(20, 8), QPointF(92, 22), QPointF(92, 40), QPointF(20, 52)}));
    p.setBrush(kYellow);
    p.drawPolygon(QPolygonF({QPointF(40, 16), QPointF(54, 19), QPointF(54, 43), QPointF(40, 46)}));
    p.drawPolygon(QPolygonF({QPointF(68, 22), QPointF(80, 25), QPointF(80, 38), QPointF(68, 40)}));
}

void slippery(QPainter& p)
{
    p.save();
    p.translate(18, -8);
    p.scale(0.64, 0.64);
    car(p, kBlack);
    p.restore();
    p.setPen(thick(6, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath t1;
    t1.moveTo(30, 48);
    t1.cubicTo(10, 64, 50, 74, 30, 96);
    QPainterPath t2 = t1.translated(38, 0);
    p.drawPath(t1);
    p.drawPath(t2);
}

void mountainRoad(QPainter& p)
{
    black(p);
    p.drawPolygon(QPolygonF({QPointF(0, 100), QPointF(0, 0), QPointF(30, 0), QPointF(46, 100)}));
    p.drawPolygon(QPolygonF({QPointF(58, 100), QPointF(64, 0), QPointF(72, 0), QPointF(70, 100)}));
    p.drawPolygon(QPolygonF({QPointF(84, 40), QPointF(94, 36), QPointF(98, 48), QPointF(86, 50)}));
    p.drawPolygon(QPolygonF({QPointF(80, 70), QPointF(92, 68), QPointF(92, 80), QPointF(82, 82)}));
}

void embankment(QPainter& p)
{
    black(p);
    p.drawPolygon(QPolygonF({QPointF(0, 100), QPointF(18, 40), QPointF(44, 40), QPointF(62, 100)}));
    p.setPen(thick(5, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        QPainterPath w;
        const qreal y = 56 + i * 16;
        w.moveTo(66, y);
        w.quadTo(74, y - 7, 82, y);
        w.quadTo(90, y + 7, 98, y);
        p.drawPath(w);
    }
}

void village(QPainter& p)
{
    black(p);
    p.drawPolygon(QPolygonF({QPointF(4, 60), QPointF(30, 34), QPointF(56, 60), QPointF(50, 60),
                             QPointF(50, 96), QPointF(10, 96), QPointF(10, 60)}));
    p.drawPolygon(QPolygonF({QPointF(48, 40), QPointF(72, 14), QPointF(96, 40), QPointF(90, 40),
                             QPointF(90, 96), QPointF(56, 96), QPointF(56, 40)}));
    p.setBrush(kYellow);
    p.drawRect(QRectF(24, 72, 12, 24));
    p.drawRect(QRectF(66, 52, 12, 12));
}

void tunnel(QPainter& p)
{
    black(p);
    QPainterPath arch;
    arch.moveTo(0, 100);
    arch.lineTo(0, 50);
    arch.arcTo(QRectF(0, 0, 100, 100), 180, -180);
    arch.lineTo(100, 100);
    arch.lineTo(80, 100);
    arch.lineTo(80, 52);
    arch.arcTo(QRectF(20, 22, 60, 60), 0, 180);
    arch.lineTo(20, 100);
    arch.closeSubpath();
    p.drawPath(arch);
}

void ferry(QPainter& p)
{
    black(p);
    p.drawPolygon(QPolygonF({QPointF(4, 56), QPointF(96, 56), QPointF(84, 72), QPointF(16, 72)}));
    p.save();
    p.translate(22, 14);
    p.scale(0.56, 0.56);
    car(p, kBlack);
    p.restore();
    p.setPen(thick(5, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 2; ++i) {
        QPainterPath w;
        const qreal y = 82 + i * 12;
        w.moveTo(4, y);
        for (int k = 0; k < 4; ++k) {
            w.quadTo(16 + k * 24, y - 7, 28 + k * 24, y);
        }
        p.drawPath(w);
    }
}

void profile(QPainter& p, const QPainterPath& top)
{
    black(p);
    QPainterPath shape = top;
    shape.lineTo(100, 100);
    shape.lineTo(0, 100);
    shape.closeSubpath();
    p.drawPath(shape);
}

void humpBridge(QPainter& p)
{
    QPainterPath t;
    t.moveTo(0, 80);
    t.cubicTo(30, 80, 30, 30, 50, 30);
    t.cubicTo(70, 30, 70, 80, 100, 80);
    profile(p, t);
    p.setBrush(kYellow);
    p.drawEllipse(QRectF(36, 66, 28, 40));
}

void uneven(QPainter& p)
{
    QPainterPath t;
    t.moveTo(0, 76);
    t.lineTo(14, 76);
    t.quadTo(28, 46, 42, 76);
    t.lineTo(58, 76);
    t.quadTo(72, 46, 86, 76);
    t.lineTo(100, 76);
    profile(p, t);
}

void bump(QPainter& p, bool up)
{
    QPainterPath t;
    t.moveTo(0, 70);
    t.lineTo(24, 70);
    t.quadTo(50, up ? 26 : 114, 76, 70);
    t.lineTo(100, 70);
    profile(p, t);
}

void waves(QPainter& p, std::initializer_list<qreal> heights)
{
    p.setPen(thick(6, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (qreal y : heights) {
        QPainterPath w;
        w.moveTo(2, y);
        for (int k = 0; k < 4; ++k) {
            w.quadTo(14 + k * 24, y - 8, 26 + k * 24, y);
        }
        p.drawPath(w);
    }
}

// The road under water: the car stands in the waves up to its axles.
void ford(QPainter& p)
{
    p.save();
    p.setClipRect(QRectF(-20, -20, 140, 62));
    p.translate(13, -4);
    p.scale(0.74, 0.74);
    car(p, kBlack);
    p.restore();
    waves(p, {50, 68, 86});
}
void gatedRailway(QPainter& p)
{
    black(p);
    p.drawRect(QRectF(4, 40, 92, 14));
    p.drawRect(QRectF(10, 54, 8, 44));
    p.drawRect(QRectF(82, 54, 8, 44));
    p.setBrush(kYellow);
    for (int i = 0; i < 4; ++i) {
        p.drawRect(QRectF(14 + i * 22, 43, 10, 8));
    }
}

void locomotive(QPainter& p)
{
    black(p);
    p.drawRect(QRectF(6, 40, 60, 34));
    p.drawRect(QRectF(62, 24, 32, 50));
    p.drawRect(QRectF(14, 22, 10, 18));
    p.drawRect(QRectF(2, 74, 96, 6));
    p.setBrush(kYellow);
    p.drawRect(QRectF(68, 30, 18, 14));
    black(p);
    for (qreal x : {20.0, 44.0, 76.0}) {
        p.drawEllipse(QPointF(x, 86), 9, 9);
    }
    p.drawEllipse(QPointF(26, 12), 10, 7);
}

void cyclists(QPainter& p)
{
    bicycle(p, kBlack);
}

void disabled(QPainter& p)
{
    wheelchair(p, kBlack);
}

void collision(QPainter& p)
{
    p.save();
    p.translate(-2, 20);
    p.rotate(-20);
    p.scale(0.55, 0.55);
    car(p, kBlack);
    p.restore();
    p.save();
    p.translate(100, 2);
    p.scale(-0.55, 0.55);
    p.translate(0, 40);
    p.rotate(-20);
    car(p, kBlack);
    p.restore();
    black(p);
    QPolygonF star;
    for (int i = 0; i < 16; ++i) {
        const qreal a = i * M_PI / 8;
        const qreal rr = i % 2 ? 8 : 20;
        star << QPointF(52 + rr * std::cos(a), 76 + rr * std::sin(a));
    }
    p.drawPolygon(star);
}

void slow(QPainter& p)
{
    text(p, QRectF(0, 4, 100, 96), QStringLiteral("慢"), kBlack, 78);
}

void detour(QPainter& p, bool left, bool right)
{
    black(p);
    p.drawRect(QRectF(36, 2, 28, 30));
    if (left) {
        QPainterPath a;
        a.moveTo(44, 100);
        a.lineTo(44, 64);
        a.cubicTo(44, 46, 18, 54, 18, 30);
        a.lineTo(18, 18);
        arrow(p, a, 10, kBlack, 10);
    }
    if (right) {
        QPainterPath a;
        a.moveTo(56, 100);
        a.lineTo(56, 64);
        a.cubicTo(56, 46, 82, 54, 82, 30);
        a.lineTo(82, 18);
        arrow(p, a, 10, kBlack, 10);
    }
}

void danger(QPainter& p)
{
    black(p);
    p.drawPolygon(QPolygonF({QPointF(41, 0), QPointF(59, 0), QPointF(55, 68), QPointF(45, 68)}));
    p.drawEllipse(QPointF(50, 86), 10, 10);
}

void roadworks(QPainter& p)
{
    walker(p, kBlack, {34, 10}, 0.95);
    p.setPen(thick(5, Qt::RoundCap));
    p.drawLine(QPointF(48, 40), QPointF(76, 82));
    black(p);
    p.drawPolygon(QPolygonF({QPointF(70, 80), QPointF(84, 76), QPointF(86, 88), QPointF(74, 92)}));
    QPainterPath heap;
    heap.moveTo(60, 100);
    heap.quadTo(82, 60, 100, 100);
    heap.closeSubpath();
    p.drawPath(heap);
}

void tunnelLights(QPainter& p)
{
    p.save();
    p.translate(0, 18);
    p.scale(0.62, 0.82);
    tunnel(p);
    p.restore();
    black(p);
    QPainterPath lamp;
    lamp.moveTo(66, 40);
    lamp.arcTo(QRectF(56, 40, 20, 30), 90, 180);
    lamp.closeSubpath();
    p.drawPath(lamp);
    p.setPen(thick(4, Qt::RoundCap));
    for (int i = 0; i < 4; ++i) {
        p.drawLine(QPointF(74, 44 + i * 7), QPointF(96, 44 + i * 7));
    }
}

void merge(QPainter& p)
{
    arrow(p, line({{60, 100}, {60, 18}}), 13, kBlack, 13);
    p.setPen(thick(10));
    p.setBrush(Qt::NoBrush);
    QPainterPath side;
    side.moveTo(16, 100);
    side.cubicTo(16, 70, 52, 66, 56, 40);
    p.drawPath(side);
}

void queue(QPainter& p)
{
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(22, 4 + i * 32);
        p.scale(0.56, 0.4);
        car(p, kBlack);
        p.restore();
    }
}

void snowflake(QPainter& p)
{
    p.setPen(thick(6, Qt::RoundCap));
    const QPointF c(50, 50);
    for (int i = 0; i < 6; ++i) {
        const qreal a = i * M_PI / 3;
        const QPointF d(std::cos(a), std::sin(a));
        const QPointF n(-d.y(), d.x());
        p.drawLine(c, c + d * 46);
        p.drawLine(c + d * 28, c + d * 38 + n * 10);
        p.drawLine(c + d * 28, c + d * 38 - n * 10);
    }
}

void cloud(QPainter& p)
{
    black(p);
    p.drawEllipse(QRectF(6, 14, 40, 30));
    p.drawEllipse(QRectF(28, 0, 46, 40));
    p.drawEllipse(QRectF(56, 14, 40, 30));
    p.drawRect(QRectF(26, 28, 52, 16));
}

void rainSnow(QPainter& p)
{
    cloud(p);
    p.setPen(thick(5, Qt::RoundCap));
    for (int i = 0; i < 4; ++i) {
        p.drawLine(QPointF(22 + i * 18, 56), QPointF(16 + i * 18, 72));
    }
    black(p);
    for (int i = 0; i < 3; ++i) {
        p.drawEllipse(QPointF(30 + i * 20, 90), 5, 5);
    }
}

void fog(QPainter& p)
{
    p.setPen(thick(7, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 4; ++i) {
        QPainterPath w;
        const qreal y = 18 + i * 22;
        w.moveTo(6, y);
        w.cubicTo(30, y - 10, 40, y + 10, 60, y);
        w.cubicTo(76, y - 8, 84, y + 6, 94, y);
        p.drawPath(w);
    }
}

// A car drives through water lying on the road: spray thrown up from both wheels, the
// road flat, no waves.
void standingWater(QPainter& p)
{
    p.save();
    p.translate(20, 14);
    p.scale(0.6, 0.6);
    car(p, kBlack);
    p.restore();
    black(p);
    p.drawRect(QRectF(0, 62, 100, 7));
    for (const auto& [wheel, side] : {std::pair{QPointF(35, 60), -1.0}, {QPointF(65, 60), 1.0}}) {
        for (int i = 0; i < 3; ++i) {
            const qreal a = (24 + i * 28) * M_PI / 180;
            const QPointF d(side * std::cos(a), -std::sin(a));
            const QPointF n(-d.y(), d.x());
            const qreal reach = 40 - i * 6;
            const QPointF from = wheel + d * 8;
            const QPointF tip = from + d * reach;
            p.drawPolygon(QPolygonF({from + n * 1.5, tip + n * 5, tip - n * 5, from - n * 1.5}));
            p.drawEllipse(tip, 5, 5);
        }
    }
}

void keepDistance(QPainter& p)
{
    for (qreal x : {0.0, 54.0}) {
        p.save();
        p.translate(x, 6);
        p.scale(0.46, 0.46);
        car(p, kBlack);
        p.restore();
    }
    // The gap between them, measured by a double arrow.
    p.setPen(thick(4));
    p.drawLine(QPointF(26, 64), QPointF(74, 64));
    black(p);
    p.drawPolygon(QPolygonF({QPointF(16, 64), QPointF(28, 56), QPointF(28, 72)}));
    p.drawPolygon(QPolygonF({QPointF(84, 64), QPointF(72, 56), QPointF(72, 72)}));
}

void advisorySpeed(QPainter& p, const QRectF& r, const QString& number)
{
    const QRectF inner = plate(p, r, 1.0, kYellow, kBlack);
    digits(p, QRectF(inner.left(), inner.top(), inner.width(), inner.height() * 0.7), number,
           kBlack, inner.height() * 0.55);
    text(p,
         QRectF(inner.left(), inner.top() + inner.height() * 0.66, inner.width(),
                inner.height() * 0.34),
         QStringLiteral("建议速度"), kBlack, inner.height() * 0.2);
}

// The escape lane's board: black on yellow, where a long descent leaves a lane uphill into
// a bed of gravel for a vehicle whose brakes have failed.
void escapeLane(QPainter& p, const QRectF& r, const QString&)
{
    const QRectF s = plate(p, r, 1.0, kYellow, kBlack);
    Units u(p, s);
    text(p, QRectF(2, 4, 54, 40), QStringLiteral("避险车道"), kBlack, 20);
    digits(p, QRectF(2, 48, 54, 40), QStringLiteral("500 m"), kBlack, 20);
    p.setPen(thick(6));
    p.drawLine(QPointF(58, 94), QPointF(58, 10));
    arrow(p, line({{62, 94}, {62, 70}, {86, 30}}), 7, kBlack, 7);
    black(p);
    for (int i = 0; i < 4; ++i) {
        p.drawEllipse(QPointF(78 + (i % 2) * 10, 14 + i * 5), 3, 3);
    }
}

// The basic unit of the chevron boards set along a bend, pointing the way the road turns
// (left here): white on blue to guide, white on red where the bend is a danger.
Drawer chevron(const QColor& ground)
{
    return [ground](QPainter& p, const QRectF& r, const QString&) {
        const QRectF s = plate(p, r, 1.0, ground);
        Units u(p, s);
        p.setPen(Qt::NoPen);
        p.setBrush(kWhite);
        p.drawPolygon(QPolygonF({QPointF(74, 8), QPointF(26, 50), QPointF(74, 92), QPointF(92, 78),
                                 QPointF(58, 50), QPointF(92, 22)}));
    };
}

} // namespace

void addWarningSigns(KindTable& t)
{
    auto add = [&](const char* id, Drawer d, qreal aspect = kTriangle) {
        t[QString::fromLatin1(id)] = SignKind{d, false, {}, kSignPage, aspect};
    };
    add("warn_crossroads", crossroads);
    add("warn_children", children);
    add("warn_t_junction", triangle([](QPainter& p) {
            black(p);
            p.drawRect(QRectF(0, 8, 100, 22));
            p.drawRect(QRectF(39, 8, 22, 92));
        }));
    add("warn_t_right", triangle([](QPainter& p) {
            black(p);
            p.drawRect(QRectF(34, 0, 22, 100));
            p.drawRect(QRectF(50, 38, 50, 22));
        }));
    add("warn_t_left", triangle(
                           [](QPainter& p) {
                               black(p);
                               p.drawRect(QRectF(34, 0, 22, 100));
                               p.drawRect(QRectF(50, 38, 50, 22));
                           },
                           true));
    add("warn_y_junction", triangle([](QPainter& p) {
            road(p, {{50, 100}, {50, 52}}, 20);
            road(p, {{52, 58}, {50, 0}}, 18);
            road(p, {{46, 60}, {6, 8}}, 16);
        }));
    add("warn_roundabout", triangle([](QPainter& p) {
            for (int i = 0; i < 3; ++i) {
                QPainterPath a;
                const QRectF ring(14, 14, 72, 72);
                a.arcMoveTo(ring, 200 + i * 120);
                a.arcTo(ring, 200 + i * 120, 70);
                arrow(p, a, 11, kBlack, 11);
            }
        }));
    add("warn_sharp_left", triangle(bentArrow));
    add("warn_sharp_right", triangle(bentArrow, true));
    add("warn_reverse_bend_left", triangle(reverseBend));
    add("warn_reverse_bend_right", triangle(reverseBend, true));
    add("warn_winding", triangle(winding));
    add("warn_steep_up", triangle([](QPainter& p) { slope(p, true); }));
    add("warn_steep_down", triangle([](QPainter& p) { slope(p, false); }));
    add("warn_long_descent",
        triangleWithPlate([](QPainter& p) { slope(p, false); }, QStringLiteral("连续下坡")), 1);
    add("warn_narrow_both", triangle([](QPainter& p) { narrowing(p, true, true); }));
    add("warn_narrow_right", triangle([](QPainter& p) { narrowing(p, false, true); }));
    add("warn_narrow_left", triangle([](QPainter& p) { narrowing(p, true, false); }));
    add("warn_narrow_bridge", triangle(narrowBridge));
    add("warn_two_way", triangle(twoWay));
    add("warn_pedestrians", triangle(pedestrians));
    add("warn_cattle", triangle([](QPainter& p) { cow(p, kBlack); }));
    add("warn_wild_animals", triangle([](QPainter& p) { deer(p, kBlack); }));
    add("warn_signals", [](QPainter& p, const QRectF& r, const QString&) {
        const QRectF s = warningTriangle(p, r);
        Units u(p, s.adjusted(s.width() * 0.2, -s.height() * 0.1, -s.width() * 0.2, 0));
        trafficLights(p);
    });
    add("warn_falling_rocks_left", triangle(fallingRocks));
    add("warn_falling_rocks_right", triangle(fallingRocks, true));
    add("warn_crosswind", triangle(crosswind));
    add("warn_slippery", triangle(slippery));
    add("warn_mountain_left", triangle(mountainRoad));
    add("warn_mountain_right", triangle(mountainRoad, true));
    add("warn_embankment", triangle(embankment));
    add("warn_village", triangle(village));
    add("warn_tunnel", triangle(tunnel));
    add("warn_ferry", triangle(ferry));
    add("warn_hump_bridge", triangle(humpBridge));
    add("warn_uneven", triangle(uneven));
    add("warn_bump", triangle([](QPainter& p) { bump(p, true); }));
    add("warn_dip", triangle([](QPainter& p) { bump(p, false); }));
    add("warn_ford", triangle(ford));
    add("warn_rail_gated", triangle(gatedRailway));
    add("warn_rail_ungated", triangle(locomotive));
    add("warn_cyclists", triangle(cyclists));
    add("warn_e_bikes", triangle([](QPainter& p) { electricBicycle(p, kBlack); }));
    add("warn_lanes_reduce", triangle(lanesReduce));
    add("warn_disabled", triangle(disabled));
    add("warn_accident_area", triangleWithPlate(collision, QStringLiteral("事故易发路段")), 1);
    add("warn_slow", triangle(slow));
    add("warn_detour_both", triangle([](QPainter& p) { detour(p, true, true); }));
    add("warn_detour_left", triangle([](QPainter& p) { detour(p, true, false); }));
    add("warn_detour_right", triangle([](QPainter& p) { detour(p, false, true); }));
    add("warn_danger", triangle(danger));
    add("warn_roadworks", triangle(roadworks));
    add("warn_tunnel_lights", triangle(tunnelLights));
    add("warn_merge_left", triangle(merge));
    add("warn_merge_right", triangle(merge, true));
    add("warn_queue", triangle(queue));
    add("warn_ice", triangle(snowflake));
    add("warn_rain_snow", triangle(rainSnow));
    add("warn_fog", triangle(fog));
    add("warn_standing_water", triangle(standingWater));
    add("warn_keep_distance", triangle(keepDistance));
    // Boards, not triangles: larger on the page so that their words and arrows read.
    t[QStringLiteral("warn_escape_lane")] = SignKind{escapeLane, false, {}, 96, 1 / 0.62};
    add("warn_chevron", chevron(kBlue), 0.75);
    add("warn_chevron_red", chevron(kRed), 0.75);
    t[QStringLiteral("advisory_speed")] =
        SignKind{advisorySpeed, true, {QStringLiteral("40")}, kSignPage, 1 / 0.8};
}

} // namespace signkit
