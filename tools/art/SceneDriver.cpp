// Scenes through the windscreen: the road ahead to the horizon, in perspective.
#include "tools/art/SceneParts.h"
#include "tools/art/Signs.h"

#include <QFontMetricsF>
#include <QtMath>

namespace scene {

namespace {

constexpr qreal kHorizon = 58;
constexpr qreal kBottom = 150;
constexpr qreal kLaneAtBonnet = 86; // a lane's width at the bottom of the picture
constexpr qreal kDash = 136;        // the top of the dashboard
const QColor kAsphalt(104, 108, 114);
const QColor kWhite(240, 240, 240);
const QColor kYellow(240, 190, 40);

struct Ahead
{
    QString road = QStringLiteral("straight");
    int lanes = 1;
    int oncoming = 1;
    qreal ego = 0.5;
    QString centre = QStringLiteral("dashed");
    QString laneLines = QStringLiteral("dashed");
    int beam = 0;
    bool lampsLeft = false; // street lamps along that side
    bool lampsRight = false;

    qreal end() const { return road == QLatin1String("crest") ? 0.55 : 1.0; }
    qreal scaleAt(qreal d) const { return 1 - d; }
    // Where a point of the road, U lanes across and D ahead, is in the picture.
    QPointF at(qreal u, qreal d) const
    {
        const qreal s = scaleAt(d);
        qreal bend = 0;
        if (road == QLatin1String("curve-left")) {
            bend = -110 * d * d;
        } else if (road == QLatin1String("curve-right")) {
            bend = 110 * d * d;
        }
        return QPointF(100 + (u - ego) * kLaneAtBonnet * s + bend,
                       kHorizon + (kBottom - kHorizon) * s);
    }
    qreal left() const { return -oncoming; }
    qreal right() const { return lanes; }
};

// A strip of road between two distances, across [u0, u1].
QPolygonF strip(const Ahead& r, qreal u0, qreal u1, qreal d0, qreal d1)
{
    QPolygonF poly;
    const int steps = 12;
    for (int i = 0; i <= steps; ++i) {
        poly << r.at(u0, d0 + (d1 - d0) * i / steps);
    }
    for (int i = steps; i >= 0; --i) {
        poly << r.at(u1, d0 + (d1 - d0) * i / steps);
    }
    return poly;
}

// A painted line along the road at U, solid or dashed.
void roadLine(QPainter& p, const Ahead& r, qreal u, const QString& style, const QColor& color,
              qreal from = 0, qreal to = -1)
{
    if (to < 0) {
        to = r.end();
    }
    const qreal w = 0.035;
    auto paint = [&](qreal uu, bool dashed) {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        if (!dashed) {
            p.drawPolygon(strip(r, uu - w, uu + w, from, to));
            return;
        }
        for (qreal d = from; d < to; d += 0.1) {
            p.drawPolygon(strip(r, uu - w, uu + w, d, qMin(to, d + 0.05)));
        }
    };
    if (style == QLatin1String("none")) {
        return;
    }
    if (style == QLatin1String("double")) {
        paint(u - 0.06, false);
        paint(u + 0.06, false);
    } else if (style == QLatin1String("dash-solid")) {
        paint(u + 0.06, true);
        paint(u - 0.06, false);
    } else if (style == QLatin1String("solid-dash")) {
        paint(u + 0.06, false);
        paint(u - 0.06, true);
    } else {
        paint(u, style == QLatin1String("dashed"));
    }
}

// A lane arrow painted on the road, in ground units.
// How far ahead a lane arrow on the road reaches, from its foot to its head's tip.
constexpr qreal kGroundArrow = 0.1;

void groundArrow(QPainter& p, const Ahead& r, qreal lane, const QString& kind, qreal d)
{
    const qreal u = lane - 0.5;
    const qreal len = kGroundArrow * 0.8;
    auto g = [&](qreal du, qreal dd) { return r.at(u + du, d + dd); };
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    auto stem = [&](qreal du0, qreal dd0, qreal du1, qreal dd1) {
        QPolygonF s;
        s << g(du0 - 0.05, dd0) << g(du0 + 0.05, dd0) << g(du1 + 0.05, dd1) << g(du1 - 0.05, dd1);
        p.drawPolygon(s);
    };
    auto head = [&](qreal du, qreal dd, qreal dirU, qreal dirD) {
        QPolygonF t;
        t << g(du + dirU * 0.2, dd + dirD * 0.03) << g(du - dirD * 0.14 * 3, dd + dirU * 0.014)
          << g(du + dirD * 0.14 * 3, dd - dirU * 0.014);
        p.drawPolygon(t);
    };
    stem(0, 0, 0, len * 0.6);
    if (kind.contains(QLatin1String("straight"))) {
        stem(0, len * 0.6, 0, len);
        head(0, len, 0, 1);
    }
    if (kind.contains(QLatin1String("left"))) {
        stem(0, len * 0.55, -0.2, len * 0.6);
        head(-0.2, len * 0.6, -1, 0);
    }
    if (kind.contains(QLatin1String("right"))) {
        stem(0, len * 0.55, 0.2, len * 0.6);
        head(0.2, len * 0.6, 1, 0);
    }
    if (kind.contains(QLatin1String("uturn"))) {
        stem(0, len * 0.6, 0, len * 0.8);
        stem(0, len * 0.8, -0.25, len * 0.8);
        stem(-0.25, len * 0.8, -0.25, len * 0.3);
        head(-0.25, len * 0.3, 0, -1);
    }
}

void dashboard(QPainter& p)
{
    QPainterPath dash;
    dash.moveTo(0, kDash + 4);
    dash.quadTo(100, kDash - 6, 200, kDash + 4);
    dash.lineTo(200, 150);
    dash.lineTo(0, 150);
    dash.closeSubpath();
    QLinearGradient g(QPointF(0, kDash - 4), QPointF(0, 150));
    g.setColorAt(0, QColor(58, 58, 62));
    g.setColorAt(1, QColor(25, 25, 28));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(dash);
    // The top of the steering wheel, on the left as in a car of right-hand traffic.
    p.setPen(QPen(QColor(20, 20, 22), 6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(20, 126, 90, 60), 30 * 16, 120 * 16);
}

// Reading: the road through the windscreen, then the items on it in their order.
struct DriverScene
{
    Ahead r;
    std::vector<const Line*> items;
};

DriverScene readDriverScene(const Description& description, Faults& faults)
{
    DriverScene s;
    Ahead& r = s.r;
    std::vector<const Line*>& items = s.items;
    for (const Line& line : description.lines) {
        const QStringList& a = line.args;
        if (line.key == QLatin1String("Road")) {
            static const QStringList roads{
                QStringLiteral("straight"),    QStringLiteral("curve-left"),
                QStringLiteral("curve-right"), QStringLiteral("crest"),
                QStringLiteral("tunnel"),      QStringLiteral("junction"),
                QStringLiteral("bridge"),      QStringLiteral("mountain")};
            if (a.size() != 1 || !roads.contains(a[0])) {
                faults.add(line, QStringLiteral("no road %1 through the windscreen")
                                     .arg(a.join(QLatin1Char(' '))));
            } else {
                r.road = a[0];
            }
        } else if (line.key == QLatin1String("Lanes") || line.key == QLatin1String("Oncoming") ||
                   line.key == QLatin1String("Ego")) {
            qreal n = 0;
            if (!number(line, 0, &n, faults)) {
                continue;
            }
            const qreal low = line.key == QLatin1String("Oncoming") ? 0 : 1;
            if (n < low || n > 3 || n != int(n)) {
                faults.add(line, QStringLiteral("%1 is %2 to 3").arg(line.key).arg(low));
            } else if (line.key == QLatin1String("Lanes")) {
                r.lanes = int(n);
            } else if (line.key == QLatin1String("Oncoming")) {
                r.oncoming = int(n);
            } else {
                r.ego = n - 0.5;
            }
        } else if (line.key == QLatin1String("Centre") || line.key == QLatin1String("LaneLines")) {
            static const QStringList styles{
                QStringLiteral("dashed"),     QStringLiteral("solid"),
                QStringLiteral("double"),     QStringLiteral("dash-solid"),
                QStringLiteral("solid-dash"), QStringLiteral("none")};
            if (a.size() != 1 || !styles.contains(a[0])) {
                faults.add(line, QStringLiteral("no line style %1").arg(a.join(QLatin1Char(' '))));
            } else if (line.key == QLatin1String("Centre")) {
                r.centre = a[0];
            } else {
                r.laneLines = a[0];
            }
        } else if (line.key == QLatin1String("Beam")) {
            if (a == QStringList{QStringLiteral("low")}) {
                r.beam = 1;
            } else if (a == QStringList{QStringLiteral("high")}) {
                r.beam = 2;
            } else {
                faults.add(line, QStringLiteral("Beam is low or high"));
            }
        } else if (line.key == QLatin1String("Lamps")) {
            static const QStringList sides{QStringLiteral("left"), QStringLiteral("right"),
                                           QStringLiteral("both")};
            if (a.size() != 1 || !sides.contains(a[0])) {
                faults.add(line, QStringLiteral("Lamps is left, right or both"));
            } else {
                r.lampsLeft = a[0] != QLatin1String("right");
                r.lampsRight = a[0] != QLatin1String("left");
            }
        } else if (line.key != QLatin1String("View") && line.key != QLatin1String("Weather") &&
                   line.key != QLatin1String("Text") && line.key != QLatin1String("Inset") &&
                   line.key != QLatin1String("Visibility") &&
                   line.key != QLatin1String("Surface")) {
            items.push_back(&line);
        }
    }
    if (r.ego > r.lanes) {
        faults.add(QStringLiteral("Ego is beyond the lanes"));
        r.ego = r.lanes - 0.5;
    }
    return s;
}

QLinearGradient skyGradient(const Weather& weather)
{
    QLinearGradient sky(QPointF(0, 0), QPointF(0, kHorizon));
    sky.setColorAt(0, weather.dark() ? QColor(30, 40, 80) : QColor(130, 185, 235));
    sky.setColorAt(1, weather.dark() ? QColor(60, 60, 90) : QColor(214, 232, 246));
    return sky;
}

QColor landColor(const Weather& weather)
{
    return weather.snow ? QColor(235, 238, 242) : QColor(148, 186, 112);
}

// Laying out the road: the sky, the land and what the road runs through.
void drawLand(QPainter& p, const Ahead& r, const Weather& weather)
{
    const QLinearGradient sky = skyGradient(weather);
    p.fillRect(QRectF(0, 0, 200, kHorizon + 1), sky);
    const QColor land = landColor(weather);
    p.fillRect(QRectF(0, kHorizon, 200, 150 - kHorizon), land);
    // Far hills along the horizon.
    p.setPen(Qt::NoPen);
    p.setBrush(weather.snow ? QColor(215, 222, 230) : QColor(120, 160, 110));
    QPainterPath hills;
    hills.moveTo(0, kHorizon);
    hills.cubicTo(40, kHorizon - 14, 70, kHorizon - 4, 100, kHorizon - 8);
    hills.cubicTo(130, kHorizon - 12, 160, kHorizon - 2, 200, kHorizon - 10);
    hills.lineTo(200, kHorizon + 1);
    hills.lineTo(0, kHorizon + 1);
    p.drawPath(hills);

    if (r.road == QLatin1String("mountain")) {
        // Rock rising on the right, a valley falling away on the left.
        QPolygonF rock;
        rock << r.at(r.right() + 0.15, 0) << r.at(r.right() + 0.15, 1) << QPointF(200, 0)
             << QPointF(200, 150);
        p.setBrush(QColor(140, 120, 100));
        p.drawPolygon(rock);
        p.setPen(QPen(QColor(110, 92, 76), 1));
        for (int i = 0; i < 7; ++i) {
            const QPointF a = r.at(r.right() + 0.3 + i * 0.25, 0.2 + i * 0.08);
            p.drawLine(a, a + QPointF(14 - i, -20 + i));
        }
        QPolygonF valley;
        valley << QPointF(0, kHorizon + 4) << r.at(r.left() - 0.15, 1) << r.at(r.left() - 0.15, 0)
               << QPointF(0, 150);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(150, 175, 200));
        p.drawPolygon(valley);
    }
    if (r.road == QLatin1String("bridge")) {
        QPolygonF water;
        water << QPointF(0, kHorizon + 2) << QPointF(200, kHorizon + 2) << QPointF(200, 150)
              << QPointF(0, 150);
        p.setBrush(QColor(110, 160, 200));
        p.drawPolygon(water);
    }
}

// The road, its shoulders and lines; gives the colour of its surface.
QColor drawRoadway(QPainter& p, const Ahead& r, const Weather& weather)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 166, 156));
    p.drawPolygon(strip(r, r.left() - 0.25, r.right() + 0.25, 0, r.end()));
    QColor asphalt = kAsphalt;
    if (weather.rain) {
        asphalt = asphalt.darker(125);
    }
    if (weather.snow) {
        asphalt = QColor(200, 204, 210);
    }
    if (weather.ice) {
        asphalt = QColor(160, 185, 205);
    }
    p.setBrush(asphalt);
    p.drawPolygon(strip(r, r.left() - 0.1, r.right() + 0.1, 0, r.end()));
    if (r.road == QLatin1String("junction")) {
        // The crossing road, from edge to edge.
        const QPointF a = r.at(0, 0.42);
        const QPointF b = r.at(0, 0.52);
        p.drawRect(QRectF(0, b.y(), 200, a.y() - b.y()));
    }
    roadLine(p, r, r.left(), QStringLiteral("solid"), kWhite);
    roadLine(p, r, r.right(), QStringLiteral("solid"), kWhite);
    const bool junction = r.road == QLatin1String("junction");
    auto along = [&](qreal u, const QString& style, const QColor& c) {
        if (junction) {
            roadLine(p, r, u, style, c, 0, 0.42);
            roadLine(p, r, u, style, c, 0.52, r.end());
        } else {
            roadLine(p, r, u, style, c);
        }
    };
    if (r.oncoming > 0) {
        along(0, r.centre, kYellow);
    }
    for (int k = 1; k < r.lanes; ++k) {
        along(k, r.laneLines, kWhite);
    }
    for (int k = 1; k < r.oncoming; ++k) {
        along(-k, r.laneLines, kWhite);
    }
    if (weather.rain) {
        // Sheen on the wet road.
        p.setPen(QPen(QColor(200, 210, 225, 90), 1.5));
        for (int i = 0; i < 10; ++i) {
            const QPointF a = r.at(r.left() + (i % 5) * 0.7 + 0.2, 0.15 + i * 0.05);
            p.drawLine(a, a + QPointF(0, 6));
        }
    }
    if (weather.snowLying) {
        // Snow over the lines, worn down to the asphalt where the wheels run in each lane.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(238, 241, 245, 235));
        p.drawPolygon(strip(r, r.left() - 0.1, r.right() + 0.1, 0, r.end()));
        p.setBrush(QColor(150, 156, 164, 200));
        for (qreal lane = r.left(); lane < r.right(); lane += 1) {
            for (const qreal wheel : {0.28, 0.72}) {
                p.drawPolygon(strip(r, lane + wheel - 0.07, lane + wheel + 0.07, 0, r.end()));
            }
        }
    }
    return asphalt;
}

// The crest, the tunnel and the railings of bridges and mountain roads.
void drawRoadside(QPainter& p, const Ahead& r, const Weather& weather, const QColor& asphalt)
{
    const QLinearGradient sky = skyGradient(weather);
    const QColor land = landColor(weather);
    if (r.road == QLatin1String("crest")) {
        // The road goes over the hill: beyond it only sky.
        const QPointF top = r.at(0, r.end());
        p.setPen(Qt::NoPen);
        p.setBrush(land.darker(104));
        QPainterPath brow;
        brow.moveTo(0, top.y() + 6);
        brow.quadTo(100, top.y() - 5, 200, top.y() + 6);
        brow.lineTo(200, top.y() + 12);
        brow.lineTo(0, top.y() + 12);
        p.drawPath(brow);
        p.fillRect(QRectF(0, kHorizon, 200, top.y() - kHorizon - 1), sky);
        QPainterPath fill;
        fill.moveTo(0, top.y() + 6);
        fill.quadTo(100, top.y() - 5, 200, top.y() + 6);
        fill.lineTo(200, kHorizon);
        fill.lineTo(0, kHorizon);
        p.setBrush(sky);
        p.drawPath(fill);
        p.setBrush(asphalt);
        p.drawPolygon(strip(r, r.left() - 0.1, r.right() + 0.1, r.end() - 0.04, r.end()));
    }
    if (r.road == QLatin1String("tunnel")) {
        const qreal d = 0.5;
        const QPointF l = r.at(r.left() - 0.4, d);
        const QPointF rr = r.at(r.right() + 0.4, d);
        const qreal w = rr.x() - l.x();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(130, 120, 105));
        p.drawRect(QRectF(0, kHorizon - 30, 200, l.y() - kHorizon + 30));
        p.setBrush(QColor(150, 145, 135));
        p.drawRoundedRect(QRectF(l.x() - 8, l.y() - w * 0.62 - 6, w + 16, w * 0.62 + 6), 4, 4);
        p.setBrush(QColor(20, 20, 24));
        QPainterPath mouth;
        mouth.moveTo(l);
        mouth.lineTo(l.x(), l.y() - w * 0.3);
        mouth.arcTo(QRectF(l.x(), l.y() - w * 0.6, w, w * 0.6), 180, -180);
        mouth.lineTo(rr);
        mouth.closeSubpath();
        p.drawPath(mouth);
        // Lamps inside.
        p.setBrush(QColor(255, 220, 140));
        for (int i = 0; i < 4; ++i) {
            p.drawEllipse(QPointF(l.x() + w * (0.3 + i * 0.13), l.y() - w * (0.45 - i * 0.05)), 1.2,
                          1.2);
        }
    }
    if (r.road == QLatin1String("bridge") || r.road == QLatin1String("mountain")) {
        // Railings: along both sides of a bridge, on the valley side of a mountain road.
        p.setPen(QPen(QColor(235, 235, 235), 1.4));
        const qreal d0 = r.road == QLatin1String("bridge") ? 0.3 : 0;
        const qreal d1 = r.road == QLatin1String("bridge") ? 0.75 : 0.95;
        for (int side = 0; side < (r.road == QLatin1String("bridge") ? 2 : 1); ++side) {
            const qreal u = side == 0 ? r.left() - 0.2 : r.right() + 0.2;
            QPolygonF rail;
            for (qreal d = d0; d <= d1 + 0.001; d += 0.05) {
                const QPointF foot = r.at(u, d);
                const qreal h = 18 * r.scaleAt(d);
                p.drawLine(foot, foot - QPointF(0, h));
                rail << foot - QPointF(0, h);
            }
            p.drawPolyline(rail);
        }
    }
}

// Drawing the items: each is drawn later, far ones first.
using Depths = std::vector<std::pair<qreal, std::function<void()>>>;

void later(Depths& depth, qreal d, std::function<void()> f)
{
    depth.emplace_back(d, std::move(f));
}

// Street lamps along the sides the description names, every 0.15 ahead; at night each
// throws a pool of light on the road.
void drawStreetLamps(QPainter& p, const Ahead& r, bool dark, Lights& lights, Depths& depth)
{
    for (int side = 0; side < 2; ++side) {
        if (!(side == 0 ? r.lampsLeft : r.lampsRight)) {
            continue;
        }
        const qreal u = side == 0 ? r.left() - 0.35 : r.right() + 0.35;
        const qreal reach = side == 0 ? 0.45 : -0.45; // the arm leans over the road
        for (qreal d = 0.12; d < r.end() - 0.05; d += 0.15) {
            const QPointF foot = r.at(u, d);
            const qreal s = r.scaleAt(d);
            const QPointF top = foot - QPointF(0, 110 * s);
            const QPointF head = r.at(u + reach, d) - QPointF(0, 110 * s);
            later(depth, d, [&p, foot, top, head, s] {
                p.setPen(QPen(QColor(90, 94, 100), qMax(0.8, 3 * s)));
                p.drawLine(foot, top);
                p.drawLine(top, head);
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(230, 230, 210));
                p.drawEllipse(head, qMax(1.0, 4 * s), qMax(0.8, 2.2 * s));
            });
            if (dark) {
                const QPointF pool = r.at(u + reach, d);
                lights.push_back([head, pool, s](QPainter& q) {
                    QRadialGradient g(head, qMax(3.0, 12 * s));
                    g.setColorAt(0, QColor(255, 240, 190, 230));
                    g.setColorAt(1, QColor(255, 240, 190, 0));
                    q.setPen(Qt::NoPen);
                    q.setBrush(g);
                    q.drawEllipse(head, qMax(3.0, 12 * s), qMax(3.0, 12 * s));
                    QRadialGradient ground(pool, 60 * s);
                    ground.setColorAt(0, QColor(255, 235, 170, 90));
                    ground.setColorAt(1, QColor(255, 235, 170, 0));
                    q.setBrush(ground);
                    q.drawEllipse(pool, 60 * s, 22 * s);
                });
            }
        }
    }
}

void drawVehicleItem(QPainter& p, const Ahead& r, const Line& line, Lights& lights, bool dark,
                     Depths& depth, Faults& faults)
{
    const QStringList& a = line.args;
    Kind kind;
    qreal u = 0;
    qreal d = 0;
    if (a.isEmpty() || !kindNamed(a[0], &kind)) {
        faults.add(line, QStringLiteral("no vehicle kind %1").arg(a.value(0)));
        return;
    }
    if (!number(line, 1, &u, faults) || !number(line, 2, &d, faults)) {
        return;
    }
    const Look look = lookOf(kind, a.mid(3), line, faults);
    const QPointF base = r.at(u, d);
    const qreal s = r.scaleAt(d) * 1.6;
    later(depth, d, [&p, base, s, look, u, &lights, dark] {
        drawAheadVehicle(p, base, s, look, u < 0 || look.oncoming, lights, dark);
    });
}

void drawPersonItem(QPainter& p, const Ahead& r, const Line& line, Depths& depth, Faults& faults)
{
    const QStringList& a = line.args;
    qreal u = 0;
    qreal d = 0;
    if (!number(line, 0, &u, faults) || !number(line, 1, &d, faults)) {
        return;
    }
    const QString kind = a.value(2, QStringLiteral("adult"));
    if (!personKind(kind)) {
        faults.add(line, QStringLiteral("no person %1").arg(kind));
        return;
    }
    const QPointF feet = r.at(u, d);
    // Far off, a person keeps a height the learner can still make out as a person (and a
    // child as a child).
    const qreal h = std::max(56 * r.scaleAt(d), kReadable / personTall(1, kind) + 1);
    noteReadable(QStringLiteral("Person"), line.number, personTall(h, kind));
    later(depth, d, [&p, feet, h, kind] { drawPerson(p, feet, h, kind); });
}

void drawSignItem(QPainter& p, const Ahead& r, const Line& line, Depths& depth, Faults& faults)
{
    const QStringList& a = line.args;
    qreal d = 0;
    qreal size = 22;
    if (a.size() < 3 || !number(line, 2, &d, faults) ||
        (a.size() > 3 && !number(line, 3, &size, faults))) {
        faults.add(line, QStringLiteral("Sign is NAME left|right|over D [SIZE]"));
        return;
    }
    const qreal s = r.scaleAt(d);
    const QString where = a[1];
    if (where != QLatin1String("left") && where != QLatin1String("right") &&
        where != QLatin1String("over")) {
        faults.add(line, QStringLiteral("a sign stands left, right or over the road"));
        return;
    }
    const QString name = a[0];
    const qreal face = qMax(kReadable / signFaceHeight(a[0], 1), size * s * 1.7);
    if (isKnownSign(a[0])) {
        noteReadable(QStringLiteral("Sign ") + a[0], line.number, signFaceHeight(a[0], face));
    }
    later(depth, d, [&p, &r, name, where, d, s, face] {
        if (where == QLatin1String("over")) {
            const QPointF l = r.at(r.left() - 0.3, d);
            const QPointF rr = r.at(r.right() + 0.3, d);
            const qreal h = 95 * s;
            p.setPen(QPen(QColor(120, 124, 130), qMax(1.0, 3 * s)));
            p.drawLine(l, l - QPointF(0, h));
            p.drawLine(rr, rr - QPointF(0, h));
            p.drawLine(l - QPointF(0, h), rr - QPointF(0, h));
            const QPointF mid = r.at(r.lanes / 2.0, d) - QPointF(0, h - face / 2 - 1);
            drawSignOnPost(p, name, mid, face, 0);
        } else {
            const qreal u = where == QLatin1String("left") ? r.left() - 0.45 : r.right() + 0.45;
            // Beside a wide road the roadside falls outside the picture: the post
            // stands at its edge then.
            QPointF foot = r.at(u, d);
            foot.setX(qBound(face / 2 + 2, foot.x(), 198 - face / 2));
            const qreal post = 55 * s;
            drawSignOnPost(p, name, foot - QPointF(0, post + face / 2), face, post);
        }
    });
    if (!isKnownSign(name)) {
        faults.add(line, QStringLiteral("no sign %1").arg(name));
    }
}

void drawSignalItem(QPainter& p, const Ahead& r, const Line& line, Depths& depth, Faults& faults)
{
    const QStringList& a = line.args;
    qreal d = 0;
    if (a.size() < 2 || !number(line, 0, &d, faults)) {
        faults.add(line, QStringLiteral("Signal is D STATE..."));
        return;
    }
    bool good = true;
    for (const QString& t : a.mid(1)) {
        if (!signalToken(t)) {
            faults.add(line, QStringLiteral("no signal lamp %1").arg(t));
            good = false;
        }
    }
    if (!good) {
        return;
    }
    const QStringList tokens = a.mid(1);
    const qreal lamp = qMax(kReadable / 2, 5 * r.scaleAt(d));
    noteReadable(QStringLiteral("Signal"), line.number, 2 * lamp);
    later(depth, d, [&p, &r, d, tokens, lamp] {
        const qreal s = r.scaleAt(d);
        const QPointF pole = r.at(r.right() + 0.5, d);
        const qreal h = 100 * s;
        p.setPen(QPen(QColor(110, 114, 120), qMax(1.0, 3 * s)));
        p.drawLine(pole, pole - QPointF(0, h));
        const QPointF armEnd = r.at(r.lanes * 0.3, d) - QPointF(0, h);
        p.drawLine(pole - QPointF(0, h), armEnd);
        const qreal width = tokens.size() * (lamp * 2 + 7) - 3;
        drawSignalHeads(p, armEnd + QPointF(-width / 2, 0), lamp, tokens);
    });
}

void drawObjectItem(QPainter& p, const Ahead& r, const Line& line, Depths& depth, Faults& faults)
{
    const QStringList& a = line.args;
    qreal u = 0;
    qreal d = 0;
    const QString what = a.value(0);
    if (!number(line, 1, &u, faults) || !number(line, 2, &d, faults)) {
        return;
    }
    const QPointF at = r.at(u, d);
    const qreal s = r.scaleAt(d);
    static const QStringList known{QStringLiteral("triangle"), QStringLiteral("cone"),
                                   QStringLiteral("ball"), QStringLiteral("rock"),
                                   QStringLiteral("puddle")};
    if (!known.contains(what)) {
        faults.add(line, QStringLiteral("no object %1 through the windscreen").arg(what));
        return;
    }
    later(depth, d, [&p, &r, what, at, s, u, d] {
        p.save();
        if (what == QLatin1String("triangle")) {
            const qreal h = 22 * s;
            QPolygonF tri;
            tri << at - QPointF(0, h) << at + QPointF(h * 0.58, 0) << at - QPointF(h * 0.58, 0);
            p.setPen(QPen(QColor(235, 25, 25), qMax(1.2, 4.5 * s)));
            p.setBrush(Qt::NoBrush);
            p.drawPolygon(tri);
        } else if (what == QLatin1String("cone")) {
            const qreal h = 30 * s;
            QPolygonF c;
            c << at - QPointF(0, h) << at + QPointF(h * 0.35, 0) << at - QPointF(h * 0.35, 0);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 110, 20));
            p.drawPolygon(c);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(at.x() - h * 0.18, at.y() - h * 0.55, h * 0.36, h * 0.14));
        } else if (what == QLatin1String("ball")) {
            const qreal rad = 9 * s;
            drawBall(p, at - QPointF(0, rad), rad);
        } else if (what == QLatin1String("rock")) {
            const qreal rad = 18 * s;
            p.setPen(QPen(QColor(80, 70, 60), 0.8));
            p.setBrush(QColor(140, 128, 112));
            p.drawEllipse(QRectF(at.x() - rad, at.y() - rad * 1.2, rad * 2, rad * 1.3));
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(150, 175, 205, 220));
            p.drawPolygon(strip(r, u - 0.45, u + 0.45, d, d + 0.05));
        }
        p.restore();
    });
}

void drawMarkItem(QPainter& p, const Ahead& r, const Line& line, Faults& faults)
{
    const QStringList& a = line.args;
    const QString what = a.value(0);
    qreal d = 0;
    if (what == QLatin1String("zebra") || what == QLatin1String("stop") ||
        what == QLatin1String("grid")) {
        if (!number(line, 1, &d, faults)) {
            return;
        }
        p.setPen(Qt::NoPen);
        if (what == QLatin1String("zebra")) {
            p.setBrush(kWhite);
            for (qreal u = r.left() + 0.1; u < r.right() - 0.1; u += 0.3) {
                p.drawPolygon(strip(r, u, u + 0.16, d, d + 0.05));
            }
        } else if (what == QLatin1String("stop")) {
            p.setBrush(kWhite);
            p.drawPolygon(strip(r, 0.05, r.right(), d, d + 0.008));
        } else {
            p.setPen(QPen(kYellow, 1));
            p.setBrush(Qt::NoBrush);
            for (qreal k = 0; k <= 1.001; k += 0.125) {
                p.drawLine(r.at(r.left() + (r.right() - r.left()) * k, d),
                           r.at(r.left() + (r.right() - r.left()) * (1 - k), d + 0.08));
            }
            p.drawPolygon(strip(r, r.left(), r.right(), d, d + 0.08));
        }
    } else if (what == QLatin1String("arrow")) {
        qreal lane = 0;
        if (a.size() < 4 || !number(line, 1, &lane, faults) || !number(line, 3, &d, faults)) {
            faults.add(line, QStringLiteral("Mark: arrow LANE KIND D"));
            return;
        }
        static const QStringList kinds{
            QStringLiteral("left"),          QStringLiteral("straight"),
            QStringLiteral("right"),         QStringLiteral("uturn"),
            QStringLiteral("left-straight"), QStringLiteral("straight-right"),
            QStringLiteral("left-uturn")};
        if (!kinds.contains(a[2])) {
            faults.add(line, QStringLiteral("no lane arrow %1").arg(a[2]));
            return;
        }
        groundArrow(p, r, lane, a[2], d);
        noteReadable(QStringLiteral("Mark arrow"), line.number,
                     r.at(lane - 0.5, d).y() - r.at(lane - 0.5, d + kGroundArrow).y());
    } else if (what == QLatin1String("text")) {
        qreal lane = 0;
        if (a.size() < 4 || !number(line, 1, &lane, faults) || !number(line, 2, &d, faults)) {
            faults.add(line, QStringLiteral("Mark: text LANE D TEXT"));
            return;
        }
        const QPointF c = r.at(lane - 0.5, d);
        const qreal s = r.scaleAt(d);
        p.save();
        p.translate(c);
        p.scale(1, 0.8);
        QFont f(QStringLiteral("Noto Sans CJK SC"));
        f.setBold(true);
        const QString words = a.mid(3).join(QLatin1Char(' '));
        // As large as fits the lane's width, with a margin to its lines.
        int px = qMax(6, int(40 * s));
        for (; px > 6; --px) {
            f.setPixelSize(px);
            if (QFontMetricsF(f).horizontalAdvance(words) <= kLaneAtBonnet * s * 0.9) {
                break;
            }
        }
        f.setPixelSize(px);
        p.setFont(f);
        p.setPen(kWhite);
        p.drawText(QRectF(-60 * s, -50 * s, 120 * s, 50 * s), Qt::AlignCenter, words);
        p.restore();
    } else {
        faults.add(line, QStringLiteral("no mark %1").arg(what));
    }
}

void drawItem(QPainter& p, const Ahead& r, const Line& line, Lights& lights, bool dark,
              Depths& depth, Faults& faults)
{
    if (line.key == QLatin1String("Vehicle")) {
        drawVehicleItem(p, r, line, lights, dark, depth, faults);
    } else if (line.key == QLatin1String("Person")) {
        drawPersonItem(p, r, line, depth, faults);
    } else if (line.key == QLatin1String("Sign")) {
        drawSignItem(p, r, line, depth, faults);
    } else if (line.key == QLatin1String("Signal")) {
        drawSignalItem(p, r, line, depth, faults);
    } else if (line.key == QLatin1String("Object")) {
        drawObjectItem(p, r, line, depth, faults);
    } else if (line.key == QLatin1String("Mark")) {
        drawMarkItem(p, r, line, faults);
    } else {
        faults.add(line, QStringLiteral("no key %1 through the windscreen").arg(line.key));
    }
}

} // namespace

void drawDriverView(QPainter& p, const Description& description, const Weather& weather,
                    Lights& lights, Faults& faults)
{
    DriverScene s = readDriverScene(description, faults);
    const Ahead& r = s.r;
    const bool dark = weather.dark();

    drawLand(p, r, weather);
    const QColor asphalt = drawRoadway(p, r, weather);
    drawRoadside(p, r, weather, asphalt);

    Depths depth;
    drawStreetLamps(p, r, dark, lights, depth);
    for (const Line* line : s.items) {
        drawItem(p, r, *line, lights, dark, depth, faults);
    }
    // Far things first, so that near ones cover them.
    std::stable_sort(depth.begin(), depth.end(),
                     [](const auto& x, const auto& y) { return x.first > y.first; });
    for (const auto& item : depth) {
        item.second();
    }
    drawWeather(p, QRectF(0, 0, 200, 150), weather, kHorizon);
    if (dark && r.beam > 0) {
        const Ahead road = r;
        lights.push_back([road](QPainter& q) {
            const qreal reach = road.beam == 2 ? 0.75 : 0.38;
            QLinearGradient g(QPointF(0, 150), road.at(0, reach));
            g.setColorAt(0, QColor(255, 250, 210, 150));
            g.setColorAt(1, QColor(255, 250, 210, 0));
            q.setPen(Qt::NoPen);
            q.setBrush(g);
            const qreal width = road.beam == 2 ? 1.3 : 0.8;
            q.drawPolygon(strip(road, road.ego - width, road.ego + width, 0, reach));
        });
    }
    lights.push_back([](QPainter& q) { dashboard(q); });
}

} // namespace scene
