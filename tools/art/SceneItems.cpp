#include "tools/art/Paint.h"
#include "tools/art/SceneParts.h"
#include "tools/art/Signs.h"

#include <QRandomGenerator>
#include <QtMath>
#include <algorithm>
#include <map>

namespace scene {

namespace {

const QColor kEgo(214, 36, 40);
const QColor kGlass(46, 62, 82);
const QColor kAmber(255, 170, 20);
const QColor kBrake(255, 30, 30);

QColor defaultBody(Kind kind)
{
    switch (kind) {
    case Kind::Car:
        return QColor(70, 120, 200);
    case Kind::Suv:
        return QColor(90, 96, 104);
    case Kind::Truck:
        return QColor(60, 130, 90);
    case Kind::Bus:
        return QColor(40, 150, 170);
    case Kind::SchoolBus:
        return QColor(250, 200, 20);
    case Kind::Police:
        return QColor(248, 248, 248);
    case Kind::Ambulance:
        return QColor(248, 248, 248);
    case Kind::Fire:
        return QColor(220, 40, 30);
    case Kind::Tractor:
        return QColor(220, 120, 30);
    case Kind::Moto:
        return QColor(40, 40, 40);
    case Kind::Bike:
        return QColor(30, 100, 190);
    case Kind::EBike:
        return QColor(120, 60, 160);
    }
    return Qt::gray;
}

bool twoWheeled(Kind kind)
{
    return kind == Kind::Moto || kind == Kind::Bike || kind == Kind::EBike;
}

QFont tagFont(int px)
{
    return paint::font(QStringLiteral("Noto Sans CJK SC"), px, true);
}

// A lamp that shines: a bright core and a soft halo.
void glow(QPainter& p, QPointF at, qreal radius, const QColor& color)
{
    QRadialGradient g(at, radius * 2.2);
    QColor c = color;
    c.setAlpha(150);
    g.setColorAt(0, c);
    c.setAlpha(0);
    g.setColorAt(1, c);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(at, radius * 2.2, radius * 2.2);
    p.setBrush(color.lighter(130));
    p.drawEllipse(at, radius, radius);
}

} // namespace

bool kindNamed(const QString& word, Kind* kind)
{
    static const std::map<QString, Kind> kinds{
        {QStringLiteral("car"), Kind::Car},
        {QStringLiteral("suv"), Kind::Suv},
        {QStringLiteral("truck"), Kind::Truck},
        {QStringLiteral("bus"), Kind::Bus},
        {QStringLiteral("schoolbus"), Kind::SchoolBus},
        {QStringLiteral("police"), Kind::Police},
        {QStringLiteral("ambulance"), Kind::Ambulance},
        {QStringLiteral("fire"), Kind::Fire},
        {QStringLiteral("tractor"), Kind::Tractor},
        {QStringLiteral("moto"), Kind::Moto},
        {QStringLiteral("bike"), Kind::Bike},
        {QStringLiteral("ebike"), Kind::EBike},
    };
    const auto it = kinds.find(word);
    if (it == kinds.end()) {
        return false;
    }
    *kind = it->second;
    return true;
}

QColor bodyColor(const QString& word, bool* ok)
{
    static const std::map<QString, QColor> colors{
        {QStringLiteral("white"), QColor(245, 245, 245)},
        {QStringLiteral("black"), QColor(35, 35, 38)},
        {QStringLiteral("grey"), QColor(128, 132, 138)},
        {QStringLiteral("blue"), QColor(70, 120, 200)},
        {QStringLiteral("green"), QColor(60, 150, 80)},
        {QStringLiteral("yellow"), QColor(245, 200, 30)},
        {QStringLiteral("silver"), QColor(190, 194, 200)},
        {QStringLiteral("red"), QColor(200, 60, 50)},
    };
    const auto it = colors.find(word);
    *ok = it != colors.end();
    return *ok ? it->second : QColor();
}

Look lookOf(Kind kind, const QStringList& options, const Line& line, Faults& faults)
{
    Look look;
    look.kind = kind;
    look.body = defaultBody(kind);
    for (const QString& o : options) {
        if (o == QLatin1String("ego")) {
            look.ego = true;
            look.body = kEgo;
        } else if (o == QLatin1String("blink-left")) {
            look.blinkLeft = true;
        } else if (o == QLatin1String("blink-right")) {
            look.blinkRight = true;
        } else if (o == QLatin1String("hazard")) {
            look.blinkLeft = look.blinkRight = true;
        } else if (o == QLatin1String("brake")) {
            look.brake = true;
        } else if (o == QLatin1String("siren")) {
            look.siren = true;
        } else if (o == QLatin1String("open")) {
            look.open = true;
        } else if (o == QLatin1String("oncoming")) {
            look.oncoming = true;
        } else if (o == QLatin1String("beam=low")) {
            look.beam = 1;
        } else if (o == QLatin1String("beam=high")) {
            look.beam = 2;
        } else if (o == QLatin1String("left") || o == QLatin1String("straight") ||
                   o == QLatin1String("right") || o == QLatin1String("uturn")) {
            look.move = o;
        } else if (o.startsWith(QLatin1String("burst=")) &&
                   QStringList{QStringLiteral("front-left"), QStringLiteral("front-right"),
                               QStringLiteral("rear-left"), QStringLiteral("rear-right")}
                       .contains(o.mid(6))) {
            look.burst = o.mid(6);
        } else if (o == QLatin1String("smoke")) {
            look.smoke = true;
        } else if (o == QLatin1String("fire")) {
            look.fire = look.smoke = true;
        } else if (o.startsWith(QLatin1String("label=")) && o.size() > 6) {
            look.label = o.mid(6);
        } else if (o.startsWith(QLatin1String("color="))) {
            bool ok = false;
            const QColor c = bodyColor(o.mid(6), &ok);
            if (ok) {
                look.body = c;
            } else {
                faults.add(line, QStringLiteral("no colour %1").arg(o.mid(6)));
            }
        } else {
            faults.add(line, QStringLiteral("no vehicle option %1").arg(o));
        }
    }
    return look;
}

QSizeF topSize(Kind kind)
{
    switch (kind) {
    case Kind::Car:
    case Kind::Police:
        return {16, 8};
    case Kind::Suv:
        return {17, 9};
    case Kind::Ambulance:
        return {19, 9};
    case Kind::Truck:
    case Kind::Fire:
        return {25, 10};
    case Kind::Bus:
        return {28, 10};
    case Kind::SchoolBus:
        return {25, 10};
    case Kind::Tractor:
        return {14, 8};
    case Kind::Moto:
    case Kind::EBike:
        return {9, 4};
    case Kind::Bike:
        return {9, 3};
    }
    return {16, 8};
}

namespace {

// The body seen from above, front up, in the frame of the vehicle.
void drawTopBody(QPainter& p, const Look& look, qreal l, qreal w)
{
    const QColor edge = look.body.darker(160);
    p.setPen(QPen(edge, 0.8));
    if (twoWheeled(look.kind)) {
        p.setBrush(QColor(30, 30, 30));
        p.drawRoundedRect(QRectF(-1, -l / 2, 2, l), 1, 1);
        p.setBrush(look.body);
        p.drawRoundedRect(QRectF(-w / 2, -l / 2 + 2.5, w, l - 5), 1.5, 1.5);
        p.setBrush(QColor(250, 210, 160));
        p.drawEllipse(QPointF(0, 0.5), 1.9, 1.9); // the rider's helmet seen from above
        p.setBrush(look.ego ? kEgo : QColor(60, 60, 60));
        p.drawEllipse(QPointF(0, 0.5), 1.4, 1.4);
    } else if (look.kind == Kind::Truck || look.kind == Kind::Fire) {
        p.setBrush(look.body);
        p.drawRoundedRect(QRectF(-w / 2, -l / 2, w, 7), 1.5, 1.5);
        p.setBrush(look.kind == Kind::Fire ? look.body.darker(115) : QColor(200, 196, 180));
        p.drawRect(QRectF(-w / 2, -l / 2 + 8, w, l - 8));
        p.setBrush(kGlass);
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(-w / 2 + 1, -l / 2 + 1.5, w - 2, 2));
        if (look.kind == Kind::Fire) {
            p.setPen(QPen(QColor(230, 230, 230), 0.8));
            p.drawLine(QPointF(-1.5, -l / 2 + 9), QPointF(-1.5, l / 2 - 1));
            p.drawLine(QPointF(1.5, -l / 2 + 9), QPointF(1.5, l / 2 - 1));
            for (qreal y = -l / 2 + 10; y < l / 2 - 1; y += 2.5) {
                p.drawLine(QPointF(-1.5, y), QPointF(1.5, y));
            }
        }
    } else if (look.kind == Kind::Bus || look.kind == Kind::SchoolBus) {
        p.setBrush(look.body);
        p.drawRoundedRect(QRectF(-w / 2, -l / 2, w, l), 2, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(kGlass);
        p.drawRect(QRectF(-w / 2 + 1, -l / 2 + 1, w - 2, 2.5));
        p.setBrush(look.body.lighter(118));
        p.drawRect(QRectF(-w / 2 + 1.5, -l / 2 + 5, w - 3, l - 7));
        if (look.kind == Kind::SchoolBus) {
            p.setBrush(QColor(200, 30, 30));
            p.drawRect(QRectF(-w / 2 + 1.5, -1, w - 3, 2));
        }
    } else if (look.kind == Kind::Tractor) {
        p.setBrush(QColor(40, 40, 40));
        p.drawRect(QRectF(-w / 2 - 0.5, l / 2 - 6, 2.5, 5));
        p.drawRect(QRectF(w / 2 - 2, l / 2 - 6, 2.5, 5));
        p.setBrush(look.body);
        p.drawRoundedRect(QRectF(-w / 2 + 1.5, -l / 2, w - 3, l - 1), 1.5, 1.5);
        p.setBrush(QColor(70, 70, 70));
        p.drawEllipse(QPointF(0, l / 2 - 4), 2, 2);
    } else {
        // Cars, the police car and the ambulance: bonnet, windscreen, roof, rear window.
        p.setBrush(look.body);
        p.drawRoundedRect(QRectF(-w / 2, -l / 2, w, l), 2.5, 2.5);
        p.setPen(Qt::NoPen);
        p.setBrush(kGlass);
        QPolygonF screen;
        screen << QPointF(-w / 2 + 1, -l / 2 + l * 0.30) << QPointF(w / 2 - 1, -l / 2 + l * 0.30)
               << QPointF(w / 2 - 1.6, -l / 2 + l * 0.42)
               << QPointF(-w / 2 + 1.6, -l / 2 + l * 0.42);
        p.drawPolygon(screen);
        p.drawRect(QRectF(-w / 2 + 1.5, l / 2 - l * 0.2, w - 3, l * 0.1));
        p.setBrush(look.body.lighter(112));
        p.drawRect(QRectF(-w / 2 + 1.4, -l / 2 + l * 0.44, w - 2.8, l * 0.33));
        if (look.kind == Kind::Police) {
            p.setBrush(QColor(30, 70, 170));
            p.drawRect(QRectF(-w / 2, -l / 2 + l * 0.2, w, 1.4));
            p.drawRect(QRectF(-w / 2, l / 2 - l * 0.32, w, 1.4));
        }
        if (look.kind == Kind::Ambulance) {
            p.setBrush(QColor(220, 30, 30));
            p.drawRect(QRectF(-0.8, -l / 2 + l * 0.5, 1.6, 5));
            p.drawRect(QRectF(-2.5, -l / 2 + l * 0.5 + 1.7, 5, 1.6));
        }
        if (look.ego) {
            // The white mark on the roof, pointing ahead.
            p.setBrush(Qt::white);
            QPolygonF mark;
            mark << QPointF(0, -l / 2 + l * 0.47) << QPointF(2.4, -l / 2 + l * 0.66)
                 << QPointF(-2.4, -l / 2 + l * 0.66);
            p.drawPolygon(mark);
        }
        if (look.open) {
            // The driver's door swung out into the road.
            const QPointF hinge(-w / 2, -l / 2 + l * 0.38);
            const QPointF end = hinge + QPointF(-4.6, 3.6);
            p.setPen(QPen(look.body.darker(190), 2.8, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(hinge, end);
            p.setPen(QPen(look.body.lighter(125), 1.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(hinge, end);
        }
    }
}

// Its lamps, drawn above the weather in the frame of the vehicle.
void drawTopLamps(QPainter& q, const Look& lk, qreal l, qreal w, bool dark)
{
    const bool two = twoWheeled(lk.kind);
    if (dark && lk.beam > 0) {
        const qreal reach = lk.beam == 2 ? 60 : 30;
        const qreal spread = lk.beam == 2 ? 14 : 10;
        QLinearGradient g(QPointF(0, -l / 2), QPointF(0, -l / 2 - reach));
        g.setColorAt(0, QColor(255, 250, 200, 170));
        g.setColorAt(1, QColor(255, 250, 200, 0));
        QPolygonF cone;
        cone << QPointF(-w / 2 + 0.5, -l / 2) << QPointF(w / 2 - 0.5, -l / 2)
             << QPointF(w / 2 + spread, -l / 2 - reach) << QPointF(-w / 2 - spread, -l / 2 - reach);
        q.setPen(Qt::NoPen);
        q.setBrush(g);
        q.drawPolygon(cone);
    }
    if (dark) {
        const QColor head(255, 250, 210);
        if (two) {
            glow(q, QPointF(0, -l / 2), 0.9, head);
        } else {
            glow(q, QPointF(-w / 2 + 1.3, -l / 2 + 0.3), 0.8, head);
            glow(q, QPointF(w / 2 - 1.3, -l / 2 + 0.3), 0.8, head);
        }
        if (!lk.brake) {
            glow(q, QPointF(-w / 2 + 1.3, l / 2 - 0.3), 0.6, QColor(200, 20, 20));
            glow(q, QPointF(w / 2 - 1.3, l / 2 - 0.3), 0.6, QColor(200, 20, 20));
        }
    }
    if (lk.brake) {
        glow(q, QPointF(-w / 2 + 1.3, l / 2 - 0.3), 1.0, kBrake);
        glow(q, QPointF(w / 2 - 1.3, l / 2 - 0.3), 1.0, kBrake);
    }
    const qreal side = two ? 2.2 : w / 2 - 0.6;
    if (lk.blinkLeft) {
        glow(q, QPointF(-side, -l / 2 + 0.6), 1.1, kAmber);
        glow(q, QPointF(-side, l / 2 - 0.6), 1.1, kAmber);
    }
    if (lk.blinkRight) {
        glow(q, QPointF(side, -l / 2 + 0.6), 1.1, kAmber);
        glow(q, QPointF(side, l / 2 - 0.6), 1.1, kAmber);
    }
    if (lk.siren) {
        glow(q, QPointF(-1.6, -l / 2 + l * 0.5), 1.3, QColor(255, 40, 40));
        glow(q, QPointF(1.6, -l / 2 + l * 0.5), 1.3, QColor(40, 90, 255));
    }
    if (!lk.label.isEmpty()) {
        // Beside the vehicle, upright whatever the heading.
        const QPointF at = q.transform().map(QPointF(w / 2 + 6, 0));
        q.resetTransform();
        drawTag(q, at, lk.label);
    }
}

} // namespace

// Smoke rising in puffs from at, r across, drifting up and to the right.
void drawSmoke(QPainter& p, QPointF at, qreal r)
{
    p.save();
    p.setPen(Qt::NoPen);
    const qreal puffs[4][3] = {{0, 0, 0.7}, {0.5, -0.9, 0.85}, {1.1, -1.8, 1.0}, {1.9, -2.6, 1.1}};
    for (const auto& puff : puffs) {
        p.setBrush(QColor(90, 90, 94, 170));
        p.drawEllipse(at + QPointF(puff[0], puff[1]) * r, puff[2] * r, puff[2] * r);
        p.setBrush(QColor(140, 140, 146, 120));
        p.drawEllipse(at + QPointF(puff[0] - 0.2, puff[1] - 0.2) * r, puff[2] * r * 0.6,
                      puff[2] * r * 0.6);
    }
    p.restore();
}

// Flames standing up from base, r across; they light themselves in the dark.
void drawFlames(QPainter& p, QPointF base, qreal r)
{
    p.save();
    QRadialGradient glow(base - QPointF(0, r * 0.6), r * 2.2);
    glow.setColorAt(0, QColor(255, 170, 40, 150));
    glow.setColorAt(1, QColor(255, 120, 20, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(base - QPointF(0, r * 0.6), r * 2.2, r * 2.2);
    const QColor colors[2] = {QColor(240, 80, 20), QColor(255, 210, 50)};
    for (int layer = 0; layer < 2; ++layer) {
        const qreal k = layer ? 0.55 : 1.0;
        QPainterPath flame;
        flame.moveTo(base + QPointF(-r * k, 0));
        flame.quadTo(base + QPointF(-r * k, -r * k), base + QPointF(-r * 0.4 * k, -r * 1.6 * k));
        flame.quadTo(base + QPointF(-r * 0.1 * k, -r * k), base + QPointF(r * 0.1 * k, -r * 2 * k));
        flame.quadTo(base + QPointF(r * 0.5 * k, -r * k),
                     base + QPointF(r * 0.6 * k, -r * 1.4 * k));
        flame.quadTo(base + QPointF(r * k, -r * 0.7 * k), base + QPointF(r * k, 0));
        flame.closeSubpath();
        p.setBrush(colors[layer]);
        p.drawPath(flame);
    }
    p.restore();
}

// Shreds of a burst tyre strewn on the road behind the wheel at wheel, along back.
void drawTyreShreds(QPainter& p, QPointF wheel, QPointF back, qreal r)
{
    p.save();
    p.setPen(QPen(QColor(20, 20, 20), qMax(0.9, r * 0.35), Qt::SolidLine, Qt::RoundCap));
    const QPointF side(-back.y(), back.x());
    const qreal bits[5][3] = {
        {1.2, 0.6, 0.8}, {2.2, -0.7, 1.0}, {3.3, 0.9, 0.7}, {4.4, -0.3, 0.9}, {5.4, 0.5, 0.6}};
    for (const auto& bit : bits) {
        const QPointF at = wheel + back * (bit[0] * r) + side * (bit[1] * r);
        p.drawLine(at, at + (back + side * 0.5) * (bit[2] * r));
    }
    // The burst itself, a star round the wheel.
    p.setPen(QPen(QColor(255, 200, 0), qMax(0.8, r * 0.3)));
    for (int k = 0; k < 6; ++k) {
        const qreal ang = k * M_PI / 3 + 0.3;
        const QPointF dir(qCos(ang), qSin(ang));
        p.drawLine(wheel + dir * r * 0.9, wheel + dir * r * 1.9);
    }
    p.restore();
}

void drawTopVehicle(QPainter& p, QPointF centre, qreal heading, const Look& look, Lights& lights,
                    bool dark)
{
    const QSizeF size = topSize(look.kind);
    const qreal l = size.width();
    const qreal w = size.height();
    p.save();
    p.translate(centre);
    p.rotate(heading);
    // Front is up (y negative).
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawRoundedRect(QRectF(-w / 2 + 1, -l / 2 + 1.5, w, l), 2, 2);
    drawTopBody(p, look, l, w);
    if (!look.burst.isEmpty()) {
        const QPointF wheel(look.burst.endsWith(QLatin1String("left")) ? -w / 2 : w / 2,
                            look.burst.startsWith(QLatin1String("front")) ? -l * 0.3 : l * 0.3);
        drawTyreShreds(p, wheel, QPointF(0, 1), 3);
    }
    p.restore();
    if (look.smoke || look.fire) {
        // Smoke drifts in the picture's own up, whatever way the vehicle heads.
        const qreal h = qDegreesToRadians(heading);
        const QPointF bonnet = centre + QPointF(qSin(h), -qCos(h)) * (l * 0.3);
        drawSmoke(p, bonnet, 3.5);
        if (look.fire) {
            lights.push_back([bonnet](QPainter& q) { drawFlames(q, bonnet + QPointF(0, 2), 4); });
        }
    }

    // Lamps, drawn above the weather; the transform is taken with them.
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.rotate(heading);
    const Look lk = look;
    lights.push_back([t, l, w, lk, dark](QPainter& q) {
        q.setTransform(t, true);
        drawTopLamps(q, lk, l, w, dark);
    });
}

namespace {

// Width and height of a vehicle seen from behind or in front, at the scale of the bonnet.
QSizeF aheadSize(Kind kind)
{
    qreal w = 44;
    qreal h = 34;
    switch (kind) {
    case Kind::Truck:
    case Kind::Fire:
    case Kind::Bus:
    case Kind::SchoolBus:
        w = 52, h = 58;
        break;
    case Kind::Suv:
        w = 46, h = 40;
        break;
    case Kind::Tractor:
        w = 36, h = 36;
        break;
    case Kind::Moto:
    case Kind::Bike:
    case Kind::EBike:
        w = 10, h = 34;
        break;
    default:
        break;
    }
    return {w, h};
}

// Lorries, fire engines and buses.
void drawAheadLarge(QPainter& p, const Look& look, const QRectF& body, QPointF base, qreal s,
                    bool front)
{
    const qreal w = body.width();
    const qreal h = body.height();
    const qreal r = 4 * s;
    p.drawRoundedRect(body, r, r);
    p.setPen(Qt::NoPen);
    if (front || look.kind == Kind::Bus || look.kind == Kind::SchoolBus) {
        p.setBrush(kGlass);
        p.drawRect(QRectF(body.left() + 4 * s, body.top() + 6 * s, w - 8 * s, 18 * s));
    } else if (look.kind == Kind::Truck) {
        // The cargo box from behind: two doors with their locking bars.
        p.setBrush(QColor(206, 202, 188));
        p.drawRect(QRectF(body.left() + 1.5 * s, body.top() + 1.5 * s, w - 3 * s, h - 13 * s));
        p.setPen(QPen(QColor(120, 116, 104), qMax(0.6, 0.8 * s)));
        p.drawLine(QPointF(base.x(), body.top() + 2 * s), QPointF(base.x(), base.y() - 12 * s));
        for (const qreal x : {body.left() + w * 0.27, body.right() - w * 0.27}) {
            p.drawLine(QPointF(x, body.top() + 4 * s), QPointF(x, base.y() - 14 * s));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(50, 50, 54));
        p.drawRect(QRectF(body.left(), base.y() - 11 * s, w, 3 * s));
    } else {
        p.setBrush(look.body.darker(115));
        p.drawRect(QRectF(body.left() + 4 * s, body.top() + 4 * s, w - 8 * s, h - 16 * s));
    }
    if (look.kind == Kind::SchoolBus) {
        p.setBrush(QColor(200, 30, 30));
        p.drawRect(QRectF(body.left(), body.top() + 27 * s, w, 3 * s));
    }
}

// An open seat between two large rear wheels, the driver on it and an exhaust pipe:
// nothing like a car from behind or in front.
void drawAheadTractor(QPainter& p, const Look& look, const QRectF& body, QPointF base, qreal s)
{
    const qreal w = body.width();
    const qreal h = body.height();
    p.setBrush(QColor(30, 30, 32));
    p.drawRoundedRect(QRectF(body.left(), base.y() - h * 0.62, w * 0.3, h * 0.64), 3 * s, 3 * s);
    p.drawRoundedRect(QRectF(body.right() - w * 0.3, base.y() - h * 0.62, w * 0.3, h * 0.64), 3 * s,
                      3 * s);
    p.setBrush(look.body);
    p.drawRect(QRectF(body.left() + w * 0.3, base.y() - h * 0.5, w * 0.4, h * 0.32));
    p.setBrush(QColor(40, 90, 170));
    p.drawRoundedRect(QRectF(base.x() - w * 0.12, base.y() - h * 0.86, w * 0.24, h * 0.38), 2 * s,
                      2 * s);
    p.setBrush(QColor(245, 205, 165));
    p.drawEllipse(QPointF(base.x(), base.y() - h * 0.92), w * 0.09, w * 0.09);
    p.setPen(QPen(QColor(70, 70, 70), qMax(0.8, 1.6 * s)));
    p.drawLine(QPointF(body.right() - w * 0.36, base.y() - h * 0.5),
               QPointF(body.right() - w * 0.36, body.top() - h * 0.1));
    p.setPen(Qt::NoPen);
}

// Cars, the police car and the ambulance.
void drawAheadCar(QPainter& p, const Look& look, const QRectF& body, QPointF base, qreal s,
                  bool front)
{
    const qreal w = body.width();
    const qreal h = body.height();
    const qreal r = 4 * s;
    // Lower body and a cabin with its window.
    QPainterPath car;
    car.addRoundedRect(QRectF(body.left(), body.top() + h * 0.45, w, h * 0.55), r, r);
    QPolygonF cabin;
    cabin << QPointF(body.left() + w * 0.12, body.top() + h * 0.47)
          << QPointF(body.left() + w * 0.24, body.top())
          << QPointF(body.right() - w * 0.24, body.top())
          << QPointF(body.right() - w * 0.12, body.top() + h * 0.47);
    car.addPolygon(cabin);
    car.setFillRule(Qt::WindingFill);
    p.drawPath(car.simplified());
    p.setPen(Qt::NoPen);
    p.setBrush(kGlass);
    QPolygonF glass;
    glass << QPointF(body.left() + w * 0.18, body.top() + h * 0.44)
          << QPointF(body.left() + w * 0.27, body.top() + h * 0.08)
          << QPointF(body.right() - w * 0.27, body.top() + h * 0.08)
          << QPointF(body.right() - w * 0.18, body.top() + h * 0.44);
    p.drawPolygon(glass);
    if (look.kind == Kind::Police) {
        p.setBrush(QColor(30, 70, 170));
        p.drawRect(QRectF(body.left(), body.top() + h * 0.62, w, h * 0.1));
    }
    if (look.kind == Kind::Ambulance) {
        p.setBrush(QColor(220, 30, 30));
        p.drawRect(QRectF(base.x() - 1.2 * s, body.top() + h * 0.55, 2.4 * s, 8 * s));
        p.drawRect(QRectF(base.x() - 4 * s, body.top() + h * 0.55 + 2.8 * s, 8 * s, 2.4 * s));
    }
    // Plate, and the lamps that tell front from back: headlamps and a grille, or
    // the red tail lamps.
    p.setBrush(front ? QColor(30, 80, 200) : QColor(240, 200, 30));
    p.drawRect(QRectF(base.x() - 6 * s, base.y() - 8 * s, 12 * s, 4 * s));
    const qreal lampY = base.y() - 13.5 * s;
    if (front) {
        p.setBrush(QColor(40, 42, 46));
        p.drawRect(QRectF(base.x() - 8 * s, lampY + 0.5 * s, 16 * s, 3 * s));
        p.setBrush(QColor(235, 240, 245));
        p.drawRoundedRect(QRectF(body.left() + 2 * s, lampY, 9 * s, 4 * s), s, s);
        p.drawRoundedRect(QRectF(body.right() - 11 * s, lampY, 9 * s, 4 * s), s, s);
    } else {
        p.setBrush(QColor(170, 20, 20));
        p.drawRect(QRectF(body.left() + 1.5 * s, lampY, 7 * s, 3.5 * s));
        p.drawRect(QRectF(body.right() - 8.5 * s, lampY, 7 * s, 3.5 * s));
    }
}

void drawAheadLamps(QPainter& q, const QRectF& body, QPointF base, qreal s, const Look& lk,
                    bool front, bool dark, bool two)
{
    const qreal y = base.y() - (two ? 16 : 12) * s;
    const qreal lx = two ? base.x() : body.left() + 4 * s;
    const qreal rx = two ? base.x() : body.right() - 4 * s;
    if (front) {
        if (dark || lk.beam > 0) {
            const qreal size = (lk.beam == 2 ? 3.2 : 2.0) * s;
            glow(q, QPointF(lx, y), size, QColor(255, 252, 225));
            if (!two) {
                glow(q, QPointF(rx, y), size, QColor(255, 252, 225));
            }
            if (lk.beam == 2 && dark) {
                // The glare of high beams into our eyes.
                QRadialGradient g(QPointF(base.x(), y), 40 * s + 12);
                g.setColorAt(0, QColor(255, 255, 235, 150));
                g.setColorAt(1, QColor(255, 255, 235, 0));
                q.setPen(Qt::NoPen);
                q.setBrush(g);
                q.drawEllipse(QPointF(base.x(), y), 40 * s + 12, 40 * s + 12);
            }
        }
    } else if (lk.brake) {
        glow(q, QPointF(lx, y), 2.2 * s, kBrake);
        if (!two) {
            glow(q, QPointF(rx, y), 2.2 * s, kBrake);
        }
    } else if (dark) {
        glow(q, QPointF(lx, y), 1.4 * s, QColor(190, 20, 20));
        if (!two) {
            glow(q, QPointF(rx, y), 1.4 * s, QColor(190, 20, 20));
        }
    }
    // Seen from behind, its left is our left; from the front, our right.
    const bool leftOnLeft = !front;
    if (lk.blinkLeft) {
        glow(q, QPointF(leftOnLeft ? lx - 1.5 * s : rx + 1.5 * s, y - 2 * s), 2.0 * s, kAmber);
    }
    if (lk.blinkRight) {
        glow(q, QPointF(leftOnLeft ? rx + 1.5 * s : lx - 1.5 * s, y - 2 * s), 2.0 * s, kAmber);
    }
    if (lk.siren) {
        glow(q, QPointF(base.x() - 4 * s, body.top() - 1 * s), 2.4 * s, QColor(255, 40, 40));
        glow(q, QPointF(base.x() + 4 * s, body.top() - 1 * s), 2.4 * s, QColor(40, 90, 255));
    }
    if (!lk.label.isEmpty()) {
        drawTag(q, QPointF(body.center().x(), body.top() - 9), lk.label);
    }
}

} // namespace

void drawAheadVehicle(QPainter& p, QPointF base, qreal s, const Look& look, bool front,
                      Lights& lights, bool dark)
{
    const bool two = twoWheeled(look.kind);
    const QSizeF size = aheadSize(look.kind);
    const qreal w = size.width() * s;
    const qreal h = size.height() * s;
    const QRectF body(base.x() - w / 2, base.y() - h, w, h);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawEllipse(QRectF(body.left() - 2 * s, base.y() - 3 * s, w + 4 * s, 6 * s));
    const QColor edge = look.body.darker(170);
    p.setPen(QPen(edge, qMax(0.6, 0.9 * s)));
    if (two) {
        p.setBrush(QColor(30, 30, 30));
        p.drawRoundedRect(QRectF(base.x() - 2 * s, base.y() - 12 * s, 4 * s, 12 * s), 1.5 * s,
                          1.5 * s);
        p.setBrush(look.body);
        p.drawRoundedRect(QRectF(base.x() - 5 * s, base.y() - 27 * s, 10 * s, 16 * s), 3 * s,
                          3 * s);
        p.setBrush(look.ego ? kEgo : QColor(50, 50, 50));
        p.drawEllipse(QPointF(base.x(), base.y() - 30 * s), 4 * s, 4.2 * s);
    } else {
        p.setBrush(look.body);
        if (look.kind == Kind::Truck || look.kind == Kind::Fire || look.kind == Kind::Bus ||
            look.kind == Kind::SchoolBus) {
            drawAheadLarge(p, look, body, base, s, front);
        } else if (look.kind == Kind::Tractor) {
            drawAheadTractor(p, look, body, base, s);
        } else {
            drawAheadCar(p, look, body, base, s, front);
        }
        // Wheels below the body.
        p.setBrush(QColor(25, 25, 25));
        p.drawRect(QRectF(body.left() + 2 * s, base.y() - 1 * s, 6 * s, 3 * s));
        p.drawRect(QRectF(body.right() - 8 * s, base.y() - 1 * s, 6 * s, 3 * s));
    }
    if (!look.burst.isEmpty()) {
        // Seen from behind its left is ours; from the front, the other way round.
        const bool left = look.burst.endsWith(QLatin1String("left")) != front;
        const QPointF wheel(left ? body.left() + 5 * s : body.right() - 5 * s, base.y() + 1 * s);
        p.setBrush(QColor(25, 25, 25));
        p.drawEllipse(wheel, 5 * s, 2 * s); // flat on the road
        drawTyreShreds(p, wheel, QPointF(left ? -0.3 : 0.3, 1), 2.5 * s);
    }
    p.restore();
    if (look.smoke || look.fire) {
        const QPointF bonnet(body.center().x(), body.top() + h * 0.15);
        drawSmoke(p, bonnet - QPointF(0, 4 * s), 7 * s);
        if (look.fire) {
            lights.push_back([bonnet, s](QPainter& q) { drawFlames(q, bonnet, 7 * s); });
        }
    }

    const Look lk = look;
    lights.push_back([body, base, s, lk, front, dark, two](QPainter& q) {
        drawAheadLamps(q, body, base, s, lk, front, dark, two);
    });
}

bool personKind(const QString& word)
{
    return word == QLatin1String("adult") || word == QLatin1String("child") ||
           word == QLatin1String("elder");
}

qreal personTall(qreal height, const QString& kind)
{
    return kind == QLatin1String("child") ? height * 0.65 : height;
}

void drawPerson(QPainter& p, QPointF feet, qreal h, const QString& kind)
{
    h = personTall(h, kind);
    const QColor coat = kind == QLatin1String("child")   ? QColor(240, 120, 30)
                        : kind == QLatin1String("elder") ? QColor(120, 100, 80)
                                                         : QColor(40, 90, 170);
    p.save();
    p.setPen(QPen(QColor(40, 40, 40), qMax(0.8, h * 0.1), Qt::SolidLine, Qt::RoundCap));
    const qreal x = feet.x();
    const qreal y = feet.y();
    // Legs, a body and a head.
    p.drawLine(QPointF(x, y - h * 0.45), QPointF(x - h * 0.14, y));
    p.drawLine(QPointF(x, y - h * 0.45), QPointF(x + h * 0.14, y));
    p.setPen(QPen(coat.darker(140), qMax(0.5, h * 0.04)));
    p.setBrush(coat);
    p.drawRoundedRect(QRectF(x - h * 0.14, y - h * 0.8, h * 0.28, h * 0.4), h * 0.08, h * 0.08);
    p.setBrush(QColor(245, 205, 165));
    p.drawEllipse(QPointF(x, y - h * 0.89), h * 0.11, h * 0.11);
    if (kind == QLatin1String("elder")) {
        p.setPen(QPen(QColor(90, 60, 30), qMax(0.8, h * 0.06)));
        p.drawLine(QPointF(x + h * 0.2, y - h * 0.5), QPointF(x + h * 0.26, y));
    }
    p.restore();
}

void drawBall(QPainter& p, QPointF c, qreal r)
{
    p.save();
    const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
    const QColor colors[4] = {QColor(240, 50, 40), QColor(250, 210, 30), QColor(40, 110, 230),
                              QColor(250, 250, 250)};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(colors[i]);
        p.drawPie(box, i * 90 * 16 + 20 * 16, 90 * 16);
    }
    p.setPen(QPen(QColor(60, 60, 60), qMax(0.5, r * 0.12)));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(box);
    p.restore();
}

bool signalToken(const QString& token)
{
    static const QStringList round{QStringLiteral("red"), QStringLiteral("yellow"),
                                   QStringLiteral("green"), QStringLiteral("flash"),
                                   QStringLiteral("off")};
    if (round.contains(token)) {
        return true;
    }
    const int eq = token.indexOf(QLatin1Char('='));
    if (eq < 0) {
        return false;
    }
    static const QStringList arrows{QStringLiteral("left"), QStringLiteral("straight"),
                                    QStringLiteral("right"), QStringLiteral("uturn")};
    const QString lamp = token.mid(eq + 1);
    return arrows.contains(token.left(eq)) && round.contains(lamp) &&
           lamp != QLatin1String("flash");
}

namespace {

// An arrow symbol pointing up, left or right, filling a lamp of radius r.
void lampArrow(QPainter& p, QPointF c, qreal r, const QString& direction, const QColor& color)
{
    p.save();
    p.translate(c);
    if (direction == QLatin1String("left")) {
        p.rotate(-90);
    } else if (direction == QLatin1String("right")) {
        p.rotate(90);
    }
    QPainterPath a;
    if (direction == QLatin1String("uturn")) {
        a.moveTo(r * 0.35, r * 0.7);
        a.lineTo(r * 0.35, -r * 0.2);
        a.arcTo(QRectF(-r * 0.45, -r * 0.6, r * 0.8, r * 0.8), 0, 180);
        a.lineTo(-r * 0.45, r * 0.2);
        p.setPen(QPen(color, r * 0.28));
        p.setBrush(Qt::NoBrush);
        p.drawPath(a);
        QPolygonF head;
        head << QPointF(-r * 0.75, r * 0.1) << QPointF(-r * 0.15, r * 0.1)
             << QPointF(-r * 0.45, r * 0.7);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawPolygon(head);
    } else {
        QPolygonF shape;
        shape << QPointF(0, -r * 0.8) << QPointF(r * 0.6, -r * 0.1) << QPointF(r * 0.2, -r * 0.1)
              << QPointF(r * 0.2, r * 0.75) << QPointF(-r * 0.2, r * 0.75)
              << QPointF(-r * 0.2, -r * 0.1) << QPointF(-r * 0.6, -r * 0.1);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawPolygon(shape);
    }
    p.restore();
}

} // namespace

qreal drawSignalHeads(QPainter& p, QPointF topLeft, qreal r, const QStringList& tokens)
{
    const QColor red(255, 40, 30);
    const QColor yellow(255, 190, 20);
    const QColor green(30, 220, 90);
    const QColor dim(60, 60, 62);
    const qreal headW = r * 2 + 4;
    const qreal headH = r * 6 + 8;
    qreal x = topLeft.x();
    for (const QString& token : tokens) {
        const int eq = token.indexOf(QLatin1Char('='));
        const QString arrow = eq < 0 ? QString() : token.left(eq);
        const QString lit = eq < 0 ? token : token.mid(eq + 1);
        p.setPen(QPen(QColor(20, 20, 20), 0.8));
        p.setBrush(QColor(35, 35, 38));
        p.drawRoundedRect(QRectF(x, topLeft.y(), headW, headH), r * 0.6, r * 0.6);
        const QColor colors[3] = {red, yellow, green};
        const char* names[3] = {"red", "yellow", "green"};
        for (int i = 0; i < 3; ++i) {
            const QPointF c(x + headW / 2, topLeft.y() + 4 + r + i * (2 * r + 2));
            const bool on =
                lit == QLatin1String(names[i]) || (i == 1 && lit == QLatin1String("flash"));
            if (arrow.isEmpty()) {
                if (on) {
                    glow(p, c, r, colors[i]);
                } else {
                    p.setPen(Qt::NoPen);
                    p.setBrush(dim);
                    p.drawEllipse(c, r, r);
                }
            } else {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(22, 22, 24));
                p.drawEllipse(c, r, r);
                lampArrow(p, c, r, arrow, on ? colors[i].lighter(115) : dim);
            }
            if (on && lit == QLatin1String("flash")) {
                // Rays: the lamp flashes.
                p.setPen(QPen(yellow, 0.8));
                for (int k = 0; k < 8; ++k) {
                    const qreal a = k * M_PI / 4;
                    p.drawLine(c + QPointF(qCos(a), qSin(a)) * (r + 1.2),
                               c + QPointF(qCos(a), qSin(a)) * (r + 3));
                }
            }
        }
        x += headW + 3;
    }
    return x - topLeft.x() - 3;
}

QColor arrowColor(const QString& word, bool* ok)
{
    *ok = true;
    if (word == QLatin1String("green")) {
        return QColor(20, 190, 60);
    }
    if (word == QLatin1String("red")) {
        return QColor(230, 30, 30);
    }
    if (word == QLatin1String("blue")) {
        return QColor(30, 110, 240);
    }
    *ok = false;
    return QColor();
}

void drawArrow(QPainter& p, const QPainterPath& path, const QColor& color, qreal width)
{
    if (path.elementCount() < 2) {
        return;
    }
    const qreal length = path.length();
    if (length < 1) {
        return; // no way to point
    }
    const qreal head = width * 2.6;
    // The shaft stops where the head begins.
    const qreal cut = qMax(0.0, (length - head * 0.8) / length);
    QPainterPath shaft;
    const int steps = qMax(8, int(length / 2));
    shaft.moveTo(path.pointAtPercent(0));
    for (int i = 1; i <= steps; ++i) {
        shaft.lineTo(path.pointAtPercent(path.percentAtLength(length * cut * i / steps)));
    }
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(
        QPen(QColor(255, 255, 255, 200), width + 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(shaft);
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(shaft);
    const QPointF tip = path.pointAtPercent(1);
    const qreal angle = path.angleAtPercent(path.percentAtLength(qMax(0.0, length - 1)));
    p.translate(tip);
    p.rotate(-angle);
    QPolygonF triangle;
    triangle << QPointF(0, 0) << QPointF(-head, -head * 0.62) << QPointF(-head, head * 0.62);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1));
    p.setBrush(color);
    p.drawPolygon(triangle);
    p.restore();
}

qreal signFaceHeight(const QString& name, qreal size)
{
    // A sign wider than tall fills the square's width.
    return size / std::max(1.0, signAspect(name));
}

bool drawSignOnPost(QPainter& p, const QString& name, QPointF centre, qreal size, qreal post)
{
    const QImage face = drawSign(name, int(size * 3), Qt::transparent);
    if (face.isNull()) {
        return false;
    }
    p.save();
    if (post > 0) {
        p.setPen(QPen(QColor(110, 112, 118), qMax(1.0, size / 14)));
        p.drawLine(centre, centre + QPointF(0, size / 2 + post));
    }
    p.drawImage(QRectF(centre.x() - size / 2, centre.y() - size / 2, size, size), face);
    p.restore();
    return true;
}

void drawTag(QPainter& p, QPointF centre, const QString& text)
{
    p.save();
    p.setPen(QPen(QColor(30, 30, 30), 0.9));
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawEllipse(centre, 6.2, 6.2);
    p.setFont(tagFont(9));
    p.setPen(Qt::black);
    p.drawText(QRectF(centre.x() - 7, centre.y() - 7, 14, 14), Qt::AlignCenter, text);
    p.restore();
}

void drawCaption(QPainter& p, QPointF at, const QString& text, const QColor& color)
{
    p.save();
    p.setFont(tagFont(10));
    const QRectF box = p.fontMetrics().boundingRect(text).adjusted(-2, 0, 2, 0);
    QRectF placed(at, box.size());
    // A caption placed near the edge of a zoomed view stays whole.
    placed.moveTo(qBound(0.0, placed.left(), 200 - placed.width()),
                  qBound(0.0, placed.top(), 150 - placed.height()));
    p.setPen(Qt::NoPen);
    p.setBrush(color == Qt::black ? QColor(255, 255, 255, 200) : QColor(0, 0, 0, 140));
    p.drawRoundedRect(placed, 2, 2);
    p.setPen(color);
    p.drawText(placed, Qt::AlignCenter, text);
    p.restore();
}

void drawWeather(QPainter& p, const QRectF& area, const Weather& w, qreal horizon)
{
    p.save();
    p.setPen(Qt::NoPen);
    QRandomGenerator rng(0x5ce7e); // the same drops in every build
    if (w.night) {
        // From above the veil is lighter: the vehicles must still be told apart.
        p.setBrush(QColor(8, 12, 40, horizon < 0 ? 150 : 185));
        p.drawRect(area);
    } else if (w.dusk) {
        p.setBrush(QColor(40, 30, 70, 120));
        p.drawRect(area);
    }
    if (w.rain) {
        p.setBrush(QColor(40, 50, 70, 60));
        p.drawRect(area);
        p.setPen(QPen(QColor(210, 225, 245, 170), 0.8));
        for (int i = 0; i < 140; ++i) {
            const QPointF a(rng.bounded(area.width() + 20) - 10, rng.bounded(area.height()));
            p.drawLine(a, a + QPointF(-2.5, 7));
        }
    }
    if (w.snow) {
        p.setBrush(QColor(255, 255, 255, 55));
        p.drawRect(area);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 230));
        for (int i = 0; i < 160; ++i) {
            const QPointF a(rng.bounded(area.width()), rng.bounded(area.height()));
            const qreal r = 0.6 + rng.bounded(10) / 10.0;
            p.drawEllipse(a, r, r);
        }
    }
    if (w.fog) {
        if (horizon > 0) {
            // Thicker with distance: the far road fades first, and where a visibility is
            // given, closes at that distance (the horizon taken as 100 m ahead).
            QLinearGradient g(QPointF(0, area.bottom()), QPointF(0, horizon));
            if (w.visibility > 0) {
                const qreal sight = qBound(0.2, w.visibility / 100, 0.9);
                g.setColorAt(0, QColor(225, 228, 232, 30));
                g.setColorAt(sight * 0.6, QColor(225, 228, 232, 110));
                g.setColorAt(sight, QColor(225, 228, 232, 215));
                g.setColorAt(sight + 0.1, QColor(225, 228, 232, 250));
            } else {
                g.setColorAt(0, QColor(225, 228, 232, 110));
                g.setColorAt(0.55, QColor(225, 228, 232, 225));
            }
            g.setColorAt(1, QColor(225, 228, 232, 250));
            p.setBrush(g);
            p.setPen(Qt::NoPen);
            p.drawRect(area);
        } else {
            // From above the veil is as thick as the sight is short.
            const int veil =
                w.visibility > 0 ? int(qBound(90.0, 235 - w.visibility * 0.5, 220.0)) : 160;
            p.setBrush(QColor(225, 228, 232, veil));
            p.setPen(Qt::NoPen);
            p.drawRect(area);
        }
    }
    p.restore();
}

} // namespace scene
