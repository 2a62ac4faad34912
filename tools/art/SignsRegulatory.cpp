// Prohibition signs (red ring, black symbol, red slash; the stop and yield shapes) and
// mandatory signs (blue disc or plate, white symbol).
#include "tools/art/Paint.h"
#include "tools/art/SignKit.h"

#include <QPolygonF>
#include <cmath>

namespace signkit {

namespace {

using Symbol = std::function<void(QPainter&)>;

void numberIn(QPainter& p, const QRectF& r, const QString& number, const QColor& color, qreal scale)
{
    QFont f(QStringLiteral("DejaVu Sans Condensed"));
    f.setPixelSize(int(r.height() * scale));
    f.setBold(true);
    f.setStretch(QFont::SemiCondensed);
    p.setPen(color);
    p.setFont(f);
    p.drawText(r, Qt::AlignCenter, number);
}

void stop(QPainter& p, const QRectF& r, const QString&)
{
    QPolygonF oct;
    const QPointF c = r.center();
    for (int i = 0; i < 8; ++i) {
        const double a = (22.5 + 45 * i) * M_PI / 180;
        oct << c + QPointF(std::cos(a), std::sin(a)) * (r.width() / 2);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(oct);
    QPolygonF inner;
    for (int i = 0; i < 8; ++i) {
        const double a = (22.5 + 45 * i) * M_PI / 180;
        inner << c + QPointF(std::cos(a), std::sin(a)) * (r.width() / 2 * 0.93);
    }
    p.setBrush(kRed);
    p.drawPolygon(inner);
    p.setPen(Qt::white);
    p.setFont(paint::font(QStringLiteral("Noto Sans CJK SC"), int(r.width() * 0.52), true));
    p.drawText(r, Qt::AlignCenter, QStringLiteral("停"));
}

void yield(QPainter& p, const QRectF& r, const QString&)
{
    const qreal h = r.width() * std::sqrt(3.0) / 2;
    const qreal top = r.top() + (r.height() - h) / 2;
    QPolygonF outer;
    outer << QPointF(r.left(), top) << QPointF(r.right(), top) << QPointF(r.center().x(), top + h);
    p.setPen(QPen(kRed, r.width() * 0.03, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kRed);
    p.drawPolygon(outer);
    const qreal inset = r.width() * 0.12;
    QPolygonF inner;
    inner << QPointF(r.left() + inset * 1.73, top + inset)
          << QPointF(r.right() - inset * 1.73, top + inset)
          << QPointF(r.center().x(), top + h - inset * 2);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(inner);
    p.setPen(kBlack);
    p.setFont(paint::font(QStringLiteral("Noto Sans CJK SC"), int(r.width() * 0.3), true));
    p.drawText(QRectF(r.left(), top + h * 0.12, r.width(), h * 0.5), Qt::AlignCenter,
               QStringLiteral("让"));
}

void noEntry(QPainter& p, const QRectF& r, const QString&)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawEllipse(r);
    p.setBrush(Qt::white);
    const QRectF bar(r.left() + r.width() * 0.18, r.center().y() - r.height() * 0.09,
                     r.width() * 0.64, r.height() * 0.18);
    p.drawRect(bar);
}

void speedLimit(QPainter& p, const QRectF& r, const QString& number)
{
    prohibitionRing(p, r);
    numberIn(p, r, number, kBlack, number.size() > 2 ? 0.36 : 0.46);
}

void parkingBan(QPainter& p, const QRectF& r, bool both)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawEllipse(r);
    const qreal ring = r.width() * 0.1;
    const QRectF inner = r.adjusted(ring, ring, -ring, -ring);
    p.setBrush(kBlue);
    p.drawEllipse(inner);
    p.save();
    QPainterPath clip;
    clip.addEllipse(inner);
    p.setClipPath(clip);
    p.setPen(QPen(kRed, r.width() * 0.08, Qt::SolidLine, Qt::FlatCap));
    const qreal d = inner.width() / 2;
    p.drawLine(inner.center() + QPointF(-d, -d), inner.center() + QPointF(d, d));
    if (both) {
        p.drawLine(inner.center() + QPointF(d, -d), inner.center() + QPointF(-d, d));
    }
    p.restore();
}

void noParking(QPainter& p, const QRectF& r, const QString&)
{
    parkingBan(p, r, true);
}

void noHonking(QPainter& p, const QRectF& r, const QString&)
{
    prohibitionRing(p, r);
    // A horn: mouthpiece, tube and bell.
    const qreal u = r.width() / 100.0;
    const QPointF o = r.topLeft();
    QPainterPath horn;
    horn.moveTo(o + QPointF(24 * u, 44 * u));
    horn.lineTo(o + QPointF(46 * u, 44 * u));
    horn.lineTo(o + QPointF(70 * u, 30 * u));
    horn.lineTo(o + QPointF(70 * u, 70 * u));
    horn.lineTo(o + QPointF(46 * u, 56 * u));
    horn.lineTo(o + QPointF(24 * u, 56 * u));
    horn.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kBlack);
    p.drawPath(horn);
    p.drawRect(QRectF(o + QPointF(20 * u, 40 * u), QSizeF(6 * u, 20 * u)));
    p.setPen(QPen(kBlack, 3 * u, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(o + QPointF(62 * u, 30 * u), QSizeF(20 * u, 40 * u)), -50 * 16, 100 * 16);
    prohibitionSlash(p, r);
}

void arrowUp(QPainter& p, const QRectF& r, const QColor& color)
{
    const qreal u = r.width() / 100.0;
    const QPointF o = r.topLeft();
    QPolygonF arrow;
    arrow << o + QPointF(50 * u, 18 * u) << o + QPointF(74 * u, 46 * u)
          << o + QPointF(58 * u, 46 * u) << o + QPointF(58 * u, 82 * u)
          << o + QPointF(42 * u, 82 * u) << o + QPointF(42 * u, 46 * u)
          << o + QPointF(26 * u, 46 * u);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(arrow);
}

void straightOnly(QPainter& p, const QRectF& r, const QString&)
{
    mandatoryDisc(p, r);
    arrowUp(p, r, Qt::white);
}

void minimumSpeed(QPainter& p, const QRectF& r, const QString& number)
{
    mandatoryDisc(p, r);
    numberIn(p, r, number, Qt::white, number.size() > 2 ? 0.36 : 0.46);
}

// ---- prohibition ------------------------------------------------------------------------

// The standard draws the symbol over the red bar, not under it.
Drawer ban(Symbol symbol, bool slash = true, qreal grow = 0)
{
    return [symbol, slash, grow](QPainter& p, const QRectF& r, const QString&) {
        const QRectF s = prohibitionRing(p, r);
        if (slash) {
            prohibitionSlash(p, r);
        }
        Units u(p, s.adjusted(-grow * s.width(), -grow * s.height(), grow * s.width(),
                              grow * s.height()));
        symbol(p);
    };
}

void turnArrow(QPainter& p, const QPainterPath& path, const QColor& c, qreal width = 14)
{
    arrow(p, path, width, c, width * 1.05);
}

QPainterPath rightShaft()
{
    QPainterPath path;
    path.moveTo(38, 98);
    path.lineTo(38, 62);
    path.quadTo(38, 42, 58, 42);
    path.lineTo(70, 42);
    return path;
}

void straightAndLeft(QPainter& p, const QColor& c, bool right)
{
    Mirror m(p, right);
    turnArrow(p, line({{58, 100}, {58, 24}}), c, 13);
    QPainterPath branch;
    branch.moveTo(58, 70);
    branch.quadTo(58, 50, 36, 50);
    branch.lineTo(28, 50);
    turnArrow(p, branch, c, 13);
}

void leftAndRight(QPainter& p, const QColor& c)
{
    QPainterPath l;
    l.moveTo(50, 100);
    l.lineTo(50, 66);
    l.quadTo(50, 46, 30, 46);
    l.lineTo(24, 46);
    turnArrow(p, l, c, 13);
    QPainterPath r;
    r.moveTo(50, 70);
    r.quadTo(50, 46, 70, 46);
    r.lineTo(76, 46);
    turnArrow(p, r, c, 13);
}

void carRear(QPainter& p, const QColor& c, const QRectF& box)
{
    Units u(p, box);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(QPolygonF({QPointF(18, 40), QPointF(28, 10), QPointF(72, 10), QPointF(82, 40)}));
    p.drawRoundedRect(QRectF(6, 38, 88, 38), 8, 8);
    p.drawRect(QRectF(10, 74, 18, 20));
    p.drawRect(QRectF(72, 74, 18, 20));
    p.setBrush(kWhite);
    p.drawPolygon(QPolygonF({QPointF(26, 38), QPointF(33, 17), QPointF(67, 17), QPointF(74, 38)}));
}

void overtaking(QPainter& p, const QColor& left, const QColor& right)
{
    carRear(p, left, QRectF(0, 22, 48, 56));
    carRear(p, right, QRectF(52, 22, 48, 56));
}

void endOf(QPainter& p, const QRectF& r, const std::function<void(const QRectF&)>& inside)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kBlack);
    p.drawEllipse(r);
    const qreal ring = r.width() * 0.04;
    p.setBrush(kWhite);
    p.drawEllipse(r.adjusted(ring, ring, -ring, -ring));
    inside(r);
    p.save();
    QPainterPath clip;
    clip.addEllipse(r.adjusted(ring, ring, -ring, -ring));
    p.setClipPath(clip);
    p.setPen(QPen(kBlack, r.width() * 0.022));
    for (int i = -2; i <= 2; ++i) {
        const QPointF off(i * r.width() * 0.05, -i * r.width() * 0.05);
        p.drawLine(r.topLeft() + QPointF(r.width() * 0.12, r.height() * 0.12) + off,
                   r.bottomRight() - QPointF(r.width() * 0.12, r.height() * 0.12) + off);
    }
    p.restore();
}

void measure(QPainter& p, const QRectF& r, const QString& value, bool vertical)
{
    const QRectF s = prohibitionRing(p, r);
    Units u(p, s);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlack);
    if (vertical) {
        p.drawPolygon(QPolygonF({QPointF(36, -8), QPointF(64, -8), QPointF(50, 8)}));
        p.drawPolygon(QPolygonF({QPointF(36, 108), QPointF(64, 108), QPointF(50, 92)}));
    } else {
        p.drawPolygon(QPolygonF({QPointF(-8, 36), QPointF(-8, 64), QPointF(8, 50)}));
        p.drawPolygon(QPolygonF({QPointF(108, 36), QPointF(108, 64), QPointF(92, 50)}));
    }
    digits(p, QRectF(4, 20, 92, 60), value, kBlack, value.size() > 3 ? 34 : 42);
}

Drawer textBan(const QString& words, qreal pixel)
{
    return [words, pixel](QPainter& p, const QRectF& r, const QString&) {
        const QRectF s = prohibitionRing(p, r);
        Units u(p, s);
        text(p, QRectF(-10, 0, 120, 100), words, kBlack, pixel);
    };
}

// A zone sign: the ban on a white board with the word for the area under it, so that
// it holds until the sign that ends the zone.
void zoneBoard(QPainter& p, const QRectF& r, const std::function<void(const QRectF&)>& sign)
{
    const qreal edge = r.width() * 0.035;
    const QRectF board = r.adjusted(edge / 2, edge / 2, -edge / 2, -edge / 2);
    p.setPen(QPen(kBlack, edge));
    p.setBrush(kWhite);
    p.drawRoundedRect(board, r.width() * 0.07, r.width() * 0.07);
    const qreal d = board.width() * 0.84;
    sign(QRectF(board.center().x() - d / 2, board.top() + board.width() * 0.08, d, d));
    text(p,
         QRectF(board.left(), board.bottom() - board.height() * 0.3, board.width(),
                board.height() * 0.26),
         QStringLiteral("区域"), kBlack, board.height() * 0.2);
}

void zoneSpeedLimit(QPainter& p, const QRectF& r, const QString& number)
{
    zoneBoard(p, r, [&](const QRectF& s) { speedLimit(p, s, number); });
}

void zoneNoParking(QPainter& p, const QRectF& r, const QString&)
{
    zoneBoard(p, r, [&](const QRectF& s) { parkingBan(p, s, true); });
}

// A box-shaped small passenger car, taller than the car of the motor-vehicle signs.
void smallBus(QPainter& p, const QColor& c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    QPainterPath body;
    body.moveTo(8, 66);
    body.lineTo(8, 30);
    body.quadTo(8, 22, 18, 22);
    body.lineTo(70, 22);
    body.lineTo(90, 44);
    body.lineTo(92, 66);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(kWhite);
    p.drawRect(QRectF(16, 30, 16, 12));
    p.drawRect(QRectF(38, 30, 16, 12));
    p.drawPolygon(QPolygonF({QPointF(60, 30), QPointF(70, 30), QPointF(82, 44), QPointF(60, 44)}));
    p.drawEllipse(QPointF(26, 66), 12, 12);
    p.drawEllipse(QPointF(74, 66), 12, 12);
    p.setBrush(c);
    p.drawEllipse(QPointF(26, 66), 9, 9);
    p.drawEllipse(QPointF(74, 66), 9, 9);
}

// ---- mandatory --------------------------------------------------------------------------

Drawer disc(Symbol symbol)
{
    return [symbol](QPainter& p, const QRectF& r, const QString&) {
        const QRectF s = mandatoryDisc(p, r);
        Units u(p, s);
        symbol(p);
    };
}

Drawer square(Symbol symbol)
{
    return [symbol](QPainter& p, const QRectF& r, const QString&) {
        const QRectF s = plate(p, r, 1.0, kBlue);
        Units u(p, s);
        symbol(p);
    };
}

void roundabout(QPainter& p, const QColor& c)
{
    for (int i = 0; i < 3; ++i) {
        QPainterPath a;
        const QRectF ring(16, 16, 68, 68);
        a.arcMoveTo(ring, 200 + i * 120);
        a.arcTo(ring, 200 + i * 120, 72);
        arrow(p, a, 11, c, 11);
    }
}

void crosswalkPlate(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawPolygon(QPolygonF({QPointF(50, 2), QPointF(98, 92), QPointF(2, 92)}));
    p.setBrush(kBlack);
    for (int i = 0; i < 4; ++i) {
        p.drawPolygon(QPolygonF({QPointF(22 + i * 16, 86), QPointF(30 + i * 16, 86),
                                 QPointF(32 + i * 16, 74), QPointF(24 + i * 16, 74)}));
    }
    walker(p, kBlack, {50, 28}, 0.5);
}

} // namespace

void addRegulatorySigns(KindTable& t)
{
    auto add = [&](const char* id, Drawer d, qreal aspect = 1) {
        t[QString::fromLatin1(id)] = SignKind{d, false, {}, kSignPage, aspect};
    };
    auto numbered = [&](const char* id, Drawer d, QStringList variants, qreal aspect = 1) {
        t[QString::fromLatin1(id)] = SignKind{d, true, variants, kSignPage, aspect};
    };
    const qreal zone = 0.72;

    // Prohibition.
    add("stop", stop);
    add("yield", yield, kTriangle);
    add("give_way_oncoming", ban(
                                 [](QPainter& p) {
                                     // One's own way is red: it is the one that yields.
                                     turnArrow(p, line({{64, 100}, {64, 18}}), kRed, 13);
                                     turnArrow(p, line({{36, 0}, {36, 82}}), kBlack, 13);
                                 },
                                 false));
    add("no_vehicles", ban([](QPainter&) {}, false));
    add("no_entry", noEntry);
    add("no_motor_vehicles", ban([](QPainter& p) { car(p, kBlack); }));
    add("no_trucks", ban([](QPainter& p) { truck(p, kBlack); }));
    add("no_buses", ban([](QPainter& p) { bus(p, kBlack); }));
    add("no_trailers", ban([](QPainter& p) { trailerTruck(p, kBlack); }));
    add("no_tractors", ban([](QPainter& p) { tractor(p, kBlack); }));
    add("no_three_wheelers", ban([](QPainter& p) { tricycle(p, kBlack); }));
    add("no_motorcycles", ban([](QPainter& p) { motorcycle(p, kBlack); }));
    add("no_e_bikes", ban([](QPainter& p) { electricBicycle(p, kBlack); }));
    add("no_small_buses", ban([](QPainter& p) { smallBus(p, kBlack); }));
    numbered("zone_speed_limit", zoneSpeedLimit, {QStringLiteral("30")}, zone);
    add("zone_no_parking", zoneNoParking, zone);
    add("no_two_kinds", ban([](QPainter& p) {
            p.save();
            p.translate(0, -18);
            p.scale(0.62, 0.62);
            car(p, kBlack);
            p.restore();
            p.save();
            p.translate(38, 34);
            p.scale(0.62, 0.62);
            motorcycle(p, kBlack);
            p.restore();
        }));
    add("no_non_motor", ban([](QPainter& p) { bicycle(p, kBlack); }));
    add("no_animal_carts", ban([](QPainter& p) { animalCart(p, kBlack); }));
    add("no_pedestrians", ban([](QPainter& p) { walker(p, kBlack, {50, 8}, 1.0); }));
    add("no_left_turn", ban([](QPainter& p) { turnArrow(p, leftShaft(), kBlack); }));
    add("no_right_turn", ban([](QPainter& p) { turnArrow(p, rightShaft(), kBlack); }));
    add("no_straight", ban([](QPainter& p) { turnArrow(p, straightShaft(), kBlack); }));
    add("no_left_right", ban([](QPainter& p) { leftAndRight(p, kBlack); }));
    add("no_straight_left", ban([](QPainter& p) { straightAndLeft(p, kBlack, false); }));
    add("no_straight_right", ban([](QPainter& p) { straightAndLeft(p, kBlack, true); }));
    add("no_u_turn", ban([](QPainter& p) { turnArrow(p, uTurnShaft(), kBlack, 12); }));
    add("no_overtaking", ban([](QPainter& p) { overtaking(p, kRed, kBlack); }, false, 0.08));
    add("end_no_overtaking", [](QPainter& p, const QRectF& r, const QString&) {
        endOf(p, r, [&](const QRectF& box) {
            const qreal in = box.width() * 0.14;
            Units u(p, box.adjusted(in, in, -in, -in));
            overtaking(p, QColor(150, 150, 150), QColor(150, 150, 150));
        });
    });
    add("no_parking", noParking);
    add("no_long_parking",
        [](QPainter& p, const QRectF& r, const QString&) { parkingBan(p, r, false); });
    add("no_honking", noHonking);
    add("no_dangerous_goods", ban([](QPainter& p) {
            truck(p, kBlack);
            p.setPen(Qt::NoPen);
            p.setBrush(kWhite);
            QPolygonF diamond({QPointF(34, 26), QPointF(46, 43), QPointF(34, 60), QPointF(22, 43)});
            p.drawPolygon(diamond);
            p.setBrush(kBlack);
            QPainterPath flame;
            flame.moveTo(34, 56);
            flame.cubicTo(24, 52, 30, 40, 34, 32);
            flame.cubicTo(38, 40, 44, 52, 34, 56);
            p.drawPath(flame);
        }));
    add("stop_check", textBan(QStringLiteral("停车\n检查"), 30));
    add("customs", [](QPainter& p, const QRectF& r, const QString&) {
        const QRectF s = prohibitionRing(p, r);
        Units u(p, s);
        p.setPen(Qt::NoPen);
        p.setBrush(kBlack);
        p.drawRect(QRectF(-16, 46, 132, 8));
        text(p, QRectF(-6, 4, 112, 42), QStringLiteral("海关"), kBlack, 32);
        text(p, QRectF(-6, 56, 112, 40), QStringLiteral("CUSTOMS"), kBlack, 17);
    });
    numbered("speed_limit", speedLimit,
             {QStringLiteral("40"), QStringLiteral("60"), QStringLiteral("30"),
              QStringLiteral("80"), QStringLiteral("120")});
    numbered("end_speed_limit",
             [](QPainter& p, const QRectF& r, const QString& n) {
                 endOf(p, r, [&](const QRectF& box) {
                     numberIn(p, box, n, QColor(130, 130, 130), n.size() > 2 ? 0.36 : 0.46);
                 });
             },
             {QStringLiteral("40")});
    numbered("limit_width",
             [](QPainter& p, const QRectF& r, const QString& n) {
                 measure(p, r, n + QStringLiteral("m"), false);
             },
             {QStringLiteral("3")});
    numbered("limit_height",
             [](QPainter& p, const QRectF& r, const QString& n) {
                 measure(p, r, n + QStringLiteral("m"), true);
             },
             {QStringLiteral("3.5")});
    numbered("limit_weight",
             [](QPainter& p, const QRectF& r, const QString& n) {
                 const QRectF s = prohibitionRing(p, r);
                 Units u(p, s);
                 digits(p, QRectF(0, 10, 100, 80), n + QStringLiteral("t"), kBlack, 50);
             },
             {QStringLiteral("10")});
    numbered("limit_axle",
             [](QPainter& p, const QRectF& r, const QString& n) {
                 const QRectF s = prohibitionRing(p, r);
                 Units u(p, s);
                 digits(p, QRectF(0, -2, 100, 62), n + QStringLiteral("t"), kBlack, 44);
                 p.setPen(Qt::NoPen);
                 p.setBrush(kBlack);
                 p.drawRect(QRectF(14, 70, 72, 8));
                 p.drawEllipse(QPointF(24, 84), 10, 10);
                 p.drawEllipse(QPointF(76, 84), 10, 10);
             },
             {QStringLiteral("7")});

    // Mandatory.
    add("straight_only", straightOnly);
    add("turn_left", disc([](QPainter& p) { turnArrow(p, leftShaft(), kWhite); }));
    add("turn_right", disc([](QPainter& p) { turnArrow(p, rightShaft(), kWhite); }));
    add("straight_or_left", disc([](QPainter& p) { straightAndLeft(p, kWhite, false); }));
    add("straight_or_right", disc([](QPainter& p) { straightAndLeft(p, kWhite, true); }));
    add("left_or_right", disc([](QPainter& p) { leftAndRight(p, kWhite); }));
    add("keep_right", disc([](QPainter& p) {
            turnArrow(p, line({{30, 22}, {64, 66}}), kWhite, 14);
        }));
    add("keep_left", disc([](QPainter& p) {
            turnArrow(p, line({{70, 22}, {36, 66}}), kWhite, 14);
        }));
    add("roundabout", disc([](QPainter& p) { roundabout(p, kWhite); }));
    add("one_way_straight", square([](QPainter& p) {
            turnArrow(p, line({{50, 100}, {50, 40}}), kWhite, 30);
        }),
        0.5);
    add("one_way_left", square([](QPainter& p) {
            turnArrow(p, line({{96, 50}, {26, 50}}), kWhite, 18);
        }),
        2.0);
    add("one_way_right", square([](QPainter& p) {
            turnArrow(p, line({{4, 50}, {74, 50}}), kWhite, 18);
        }),
        2.0);
    add("walk", disc([](QPainter& p) { walker(p, kWhite, {50, 8}, 1.0); }));
    add("honk", disc([](QPainter& p) { horn(p, kWhite); }));
    numbered("min_speed", minimumSpeed,
             {QStringLiteral("40"), QStringLiteral("60"), QStringLiteral("50")});
    add("priority_junction", square([](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(kWhite);
            p.drawRect(QRectF(6, 54, 88, 8));
            turnArrow(p, line({{50, 100}, {50, 24}}), kWhite, 20);
        }));
    add("priority_oncoming", square([](QPainter& p) {
            turnArrow(p, line({{64, 100}, {64, 24}}), kWhite, 16);
            turnArrow(p, line({{30, 2}, {30, 78}}), kRed, 9);
        }));
    add("crosswalk", square(crosswalkPlate));
    add("lane_straight", square([](QPainter& p) { turnArrow(p, straightShaft(), kWhite, 16); }));
    add("lane_left", square([](QPainter& p) { turnArrow(p, leftShaft(), kWhite, 16); }));
    add("lane_right", square([](QPainter& p) { turnArrow(p, rightShaft(), kWhite, 16); }));
    add("lane_straight_left", square([](QPainter& p) { straightAndLeft(p, kWhite, false); }));
    add("lane_straight_right", square([](QPainter& p) { straightAndLeft(p, kWhite, true); }));
    add("lane_u_turn", square([](QPainter& p) { turnArrow(p, uTurnShaft(), kWhite, 13); }));
    add("u_turn_allowed", disc([](QPainter& p) { turnArrow(p, uTurnShaft(), kWhite, 13); }));
    add("motor_vehicles", disc([](QPainter& p) { car(p, kWhite); }));
    add("non_motor", disc([](QPainter& p) { bicycle(p, kWhite); }));
    add("e_bikes", disc([](QPainter& p) { electricBicycle(p, kWhite); }));
    // Both on one road: the bicycle beside the walker, each smaller.
    add("non_motor_and_walk", disc([](QPainter& p) {
            p.save();
            p.translate(-2, 18);
            p.scale(0.64, 0.64);
            bicycle(p, kWhite);
            p.restore();
            walker(p, kWhite, {76, 20}, 0.74);
        }));
    // The headlamp with its beams: switch the lamps on here (tunnels, long dark stretches).
    add("lights_on", disc([](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(kWhite);
            QPainterPath lamp;
            lamp.moveTo(60, 28);
            lamp.arcTo(QRectF(42, 28, 40, 44), 90, -180);
            lamp.closeSubpath();
            p.drawPath(lamp);
            p.setPen(QPen(kWhite, 6, Qt::SolidLine, Qt::RoundCap));
            for (int i = 0; i < 4; ++i) {
                p.drawLine(QPointF(22, 33 + i * 11), QPointF(50, 33 + i * 11));
            }
        }));
    add("motor_lane", square([](QPainter& p) {
            p.save();
            p.translate(10, -16);
            p.scale(0.8, 0.8);
            car(p, kWhite);
            p.restore();
            turnArrow(p, line({{50, 56}, {50, 84}}), kWhite, 12);
        }));
    add("non_motor_lane", square([](QPainter& p) {
            p.save();
            p.translate(10, -16);
            p.scale(0.8, 0.8);
            bicycle(p, kWhite);
            p.restore();
            turnArrow(p, line({{50, 56}, {50, 84}}), kWhite, 12);
        }));
    add("e_bike_lane", square([](QPainter& p) {
            p.save();
            p.translate(10, -16);
            p.scale(0.8, 0.8);
            electricBicycle(p, kWhite);
            p.restore();
            turnArrow(p, line({{50, 56}, {50, 84}}), kWhite, 12);
        }));
    add("bus_lane", square([](QPainter& p) {
            p.save();
            p.translate(8, -14);
            p.scale(0.84, 0.84);
            bus(p, kWhite);
            p.restore();
            text(p, QRectF(0, 58, 100, 40), QStringLiteral("专用"), kWhite, 30);
        }));
    add("parking", square([](QPainter& p) {
            digits(p, QRectF(0, 0, 100, 100), QStringLiteral("P"), kWhite, 90);
        }));
}

} // namespace signkit
