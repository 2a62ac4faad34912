// Scenes seen from above: junctions, a roundabout, straight roads, a level crossing and
// the ramps of an expressway.
#include "tools/art/SceneParts.h"
#include "tools/art/Signs.h"

#include <QTransform>
#include <QtMath>
#include <algorithm>

namespace scene {

namespace {

// A lane of an ordinary road as the descriptions' positions were written for; a road is
// drawn with wider lanes (Top::lw) and a junction's view zoomed (Top::zoom), so that the
// road fills the picture.
constexpr qreal kLane = 11;
constexpr qreal kFootwayWritten = 8; // beside a straight road
constexpr qreal kCornerWritten = 4;  // beside the roads of a junction
constexpr qreal kExpressLane = 21;   // a lane of an expressway, as wide as the picture allows
// The expressway's lanes and emergency lane as the descriptions' positions were written for.
constexpr qreal kExpressWritten = 15;
constexpr qreal kShoulderWritten = 12;
constexpr qreal kExpressLeft = 40; // where the carriageway begins, right of the barrier
const QPointF kCentre(100, 75);
const QColor kAsphalt(92, 96, 104);
const QColor kPavement(214, 210, 198);
const QColor kGrass(150, 192, 118);
const QColor kWhite(245, 245, 245);
const QColor kYellow(244, 196, 40);

// An approach to a junction, drawn in its own frame: the approach comes from below
// (v > 0) heading up, u across it to the right; theta turns the frame onto the picture.
struct Arm
{
    qreal theta = 0; // 0 from S, 90 from W, 180 from N, 270 from E
    qreal a = 0;     // half the width of its road
    qreal b = 0;     // distance from the centre to where the junction begins
    int lanes = 1;   // lanes of each direction on it
    int crossLanes = 1;
    QPointF map(qreal u, qreal v) const
    {
        const qreal t = qDegreesToRadians(theta);
        return kCentre + QPointF(u * qCos(t) - v * qSin(t), u * qSin(t) + v * qCos(t));
    }
};

struct Top
{
    QString road = QStringLiteral("cross");
    int lanes = 1;
    int lanesEW = 1;
    QString centre;
    QString laneLines = QStringLiteral("dashed");
    bool hasNorth = true;
    std::map<QString, QString> stoplines; // arm -> stop/yield/none
    std::map<QString, QStringList> heads;
    QStringList zebraArms;
    std::map<QString, QStringList> arrows;
    qreal ringOuter = 40;
    qreal ringIsland = 17;
    qreal lw = kLane;                      // a lane's width as drawn, before the zoom
    qreal zoom = 1;                        // about the middle, for the whole view
    bool widenAcross = false;              // lanes drawn wider than kLane across: x
    bool widenAlong = false;               // and on a junction y, for its W-E road
    std::vector<QPointF>* probe = nullptr; // while framing: the places of the items
    bool zoomGiven = false;                // by a Zoom line: no fitting then

    // The footway beside the road, wider than written: people stand on it.
    qreal footwayWritten() const { return junction() ? kCornerWritten : kFootwayWritten; }
    qreal footway() const { return junction() ? kCornerWritten * 2.5 : kFootwayWritten * 1.75; }

    // Zooms out, not below 1, until every item stands inside the picture with a margin.
    void fit(const std::vector<QPointF>& places)
    {
        if (zoomGiven) {
            return;
        }
        // Half a car's length at the closest view: what stands there is whole.
        const qreal margin = 14;
        for (const QPointF& q : places) {
            const QPointF d = q - kCentre;
            auto room = [&](qreal delta, qreal from, qreal size) {
                if (qAbs(delta) < 0.01) {
                    return zoom;
                }
                return delta > 0 ? (size - margin - from) / delta : (from - margin) / -delta;
            };
            zoom = std::min({zoom, room(d.x(), kCentre.x(), 200), room(d.y(), kCentre.y(), 150)});
        }
        zoom = std::max(zoom, 1.0);
    }

    // Chooses the framing once the road and its lanes are known. The zoom keeps a queue of
    // two behind a stop line in the picture; what is narrow is widened more.
    void frame()
    {
        const int most = std::max(lanes, lanesEW);
        if (road == QLatin1String("cross") || road == QLatin1String("tee")) {
            lw = most == 1 ? kLane * 1.3 : kLane;
            zoom = most == 1 ? 1.3 : most == 2 ? 1.2 : 1.05;
            widenAcross = widenAlong = true;
        } else if (road == QLatin1String("straight") || road == QLatin1String("rail")) {
            // Along a straight road the lanes widen, and the view comes closer as far as
            // the items leave room: a zoom cuts only the road's length.
            lw = kLane * (lanes == 1 ? 1.7 : lanes == 2 ? 1.7 : 1.45);
            widenAcross = true;
            zoom = lanes == 3 ? 1.2 : 1.4;
        } else if (road == QLatin1String("roundabout")) {
            zoom = 1.45;
        } else if (express()) {
            zoom = 1.2;
        }
    }
    // A position of the description on the road as drawn: within the road it keeps its
    // place across the lanes, beyond it its distance from the kerb.
    QPointF place(QPointF q) const
    {
        auto widen = [this](qreal d, int n) {
            const qreal road = n * kLane;
            const qreal w = lw / kLane;
            // The footways are widened too, from the width written for.
            const qreal side = footwayWritten();
            const qreal f = footway() / side;
            const qreal a = qAbs(d);
            const qreal out = a <= road          ? a * w
                              : a <= road + side ? road * w + (a - road) * f
                                                 : road * w + side * f + (a - road - side);
            return d < 0 ? -out : out;
        };
        if (express()) {
            // Right of the barrier, over the lanes, the acceleration lane and the emergency
            // lane; the other carriageway keeps its place.
            const qreal d = q.x() - kExpressLeft;
            const qreal road = (std::max(lanes, 2) + 1) * kExpressWritten + kShoulderWritten;
            const qreal w = kExpressLane / kExpressWritten;
            return QPointF(kExpressLeft + (d <= 0      ? d
                                           : d <= road ? d * w
                                                       : d + road * (w - 1)),
                           q.y());
        }
        const QPointF d = q - kCentre;
        return kCentre + QPointF(widenAcross ? widen(d.x(), lanes) : d.x(),
                                 widenAlong ? widen(d.y(), lanesEW) : d.y());
    }
    // Where a point of the road as drawn is in the picture.
    QPointF shown(QPointF q) const { return kCentre + (q - kCentre) * zoom; }
    QTransform view() const
    {
        QTransform m;
        m.translate(kCentre.x(), kCentre.y());
        m.scale(zoom, zoom);
        m.translate(-kCentre.x(), -kCentre.y());
        return m;
    }

    bool junction() const
    {
        return road == QLatin1String("cross") || road == QLatin1String("tee") ||
               road == QLatin1String("roundabout");
    }
    bool express() const
    {
        return road == QLatin1String("merge") || road == QLatin1String("diverge");
    }
    bool armExists(const QString& arm) const
    {
        if (road == QLatin1String("tee")) {
            return arm != QLatin1String("N");
        }
        return true;
    }
    Arm arm(const QString& name) const
    {
        Arm a;
        const bool ns = name == QLatin1String("S") || name == QLatin1String("N");
        a.theta = name == QLatin1String("S")   ? 0
                  : name == QLatin1String("W") ? 90
                  : name == QLatin1String("N") ? 180
                                               : 270;
        a.lanes = ns ? lanes : lanesEW;
        a.crossLanes = ns ? lanesEW : lanes;
        a.a = a.lanes * lw;
        a.b = road == QLatin1String("roundabout") ? ringOuter - 2 : a.crossLanes * lw;
        return a;
    }
    qreal stopGap(const QString& arm) const { return zebraArms.contains(arm) ? 11 : 2; }
    QString stopline(const QString& arm) const
    {
        const auto it = stoplines.find(arm);
        if (it != stoplines.end()) {
            return it->second;
        }
        if (road == QLatin1String("roundabout")) {
            return QStringLiteral("yield");
        }
        return heads.count(arm) ? QStringLiteral("stop") : QStringLiteral("none");
    }
    // Straight roads and expressways.
    qreal lane() const { return express() ? kExpressLane : lw; }
};

const QStringList kArms{QStringLiteral("N"), QStringLiteral("E"), QStringLiteral("S"),
                        QStringLiteral("W")};

QPen linePen(const QColor& c, qreal w = 1.2)
{
    return QPen(c, w, Qt::SolidLine, Qt::FlatCap);
}

// A line of the given style between two points; dashes of 6 with gaps of 5.
void styledLine(QPainter& p, QPointF a, QPointF b, const QString& style, const QColor& color,
                qreal width = 1.2)
{
    const QLineF line(a, b);
    auto dashed = [&](const QLineF& l) {
        QPen pen = linePen(color, width);
        pen.setDashPattern({6 / width, 5 / width});
        p.setPen(pen);
        p.drawLine(l);
    };
    const QLineF normal = line.normalVector().unitVector();
    const QPointF off = (normal.p2() - normal.p1()) * 1.4;
    if (style == QLatin1String("none")) {
        return;
    }
    if (style == QLatin1String("dashed")) {
        dashed(line);
    } else if (style == QLatin1String("solid")) {
        p.setPen(linePen(color, width));
        p.drawLine(line);
    } else if (style == QLatin1String("double")) {
        p.setPen(linePen(color, width));
        p.drawLine(line.translated(off));
        p.drawLine(line.translated(-off));
    } else if (style == QLatin1String("dash-solid") || style == QLatin1String("solid-dash")) {
        // The dashed half on the side of traffic going the line's way (to its right).
        const bool dashRight = style == QLatin1String("dash-solid");
        p.setPen(linePen(color, width));
        p.drawLine(line.translated(dashRight ? off : -off));
        dashed(line.translated(dashRight ? -off : off));
    }
}

bool lineStyle(const QString& s)
{
    return s == QLatin1String("dashed") || s == QLatin1String("solid") ||
           s == QLatin1String("double") || s == QLatin1String("dash-solid") ||
           s == QLatin1String("solid-dash") || s == QLatin1String("none");
}

bool arrowKind(const QString& k)
{
    static const QStringList kinds{
        QStringLiteral("left"),          QStringLiteral("straight"),
        QStringLiteral("right"),         QStringLiteral("uturn"),
        QStringLiteral("left-straight"), QStringLiteral("straight-right"),
        QStringLiteral("left-uturn"),    QStringLiteral("-")};
    return kinds.contains(k);
}

// A lane arrow painted on the road, pointing up in the frame given by map: from v + 5 at its
// foot to v - 5.5 at the straight head's tip.
constexpr qreal kLaneArrowLength = 10.5;
void laneArrow(QPainter& p, const std::function<QPointF(qreal, qreal)>& map, qreal u, qreal v,
               const QString& kind)
{
    if (kind == QLatin1String("-")) {
        return;
    }
    p.setPen(QPen(kWhite, 1.3, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(kWhite);
    auto head = [&](QPointF tip, QPointF back) {
        const QLineF l(back, tip);
        const QLineF n = l.normalVector().unitVector();
        const QPointF side = (n.p2() - n.p1()) * 2.0;
        const QPointF base = tip - (tip - back) / QLineF(back, tip).length() * 3.0;
        QPolygonF t;
        t << map(tip.x(), tip.y()) << map(base.x() + side.x(), base.y() + side.y())
          << map(base.x() - side.x(), base.y() - side.y());
        p.drawPolygon(t);
    };
    auto stem = [&](QPointF a, QPointF b) { p.drawLine(map(a.x(), a.y()), map(b.x(), b.y())); };
    const QPointF bottom(u, v + 5);
    const QPointF mid(u, v - 0.5);
    if (kind.contains(QLatin1String("straight"))) {
        stem(bottom, QPointF(u, v - 2.5));
        head(QPointF(u, v - 5.5), QPointF(u, v - 2.5));
    } else {
        stem(bottom, mid);
    }
    if (kind == QLatin1String("left") || kind == QLatin1String("left-straight") ||
        kind == QLatin1String("left-uturn")) {
        stem(mid, QPointF(u - 1.5, v - 2));
        head(QPointF(u - 4.5, v - 3.2), QPointF(u - 1.5, v - 2));
    }
    if (kind == QLatin1String("right") || kind == QLatin1String("straight-right")) {
        stem(mid, QPointF(u + 1.5, v - 2));
        head(QPointF(u + 4.5, v - 3.2), QPointF(u + 1.5, v - 2));
    }
    if (kind == QLatin1String("uturn") || kind == QLatin1String("left-uturn")) {
        stem(mid, QPointF(u, v - 3.5));
        stem(QPointF(u, v - 3.5), QPointF(u - 3, v - 3.5));
        stem(QPointF(u - 3, v - 3.5), QPointF(u - 3, v - 1));
        head(QPointF(u - 3, v + 2), QPointF(u - 3, v - 1));
    }
}

void zebraStripes(QPainter& p, const Arm& arm, qreal v0, qreal v1)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    for (qreal u = -arm.a + 1.5; u < arm.a - 1; u += 3.6) {
        QPolygonF r;
        r << arm.map(u, v0) << arm.map(u + 1.8, v0) << arm.map(u + 1.8, v1) << arm.map(u, v1);
        p.drawPolygon(r);
    }
}

void drawJunction(QPainter& p, const Top& t)
{
    const qreal ew = t.lanesEW * t.lw;
    const qreal ns = t.lanes * t.lw;
    if (t.road == QLatin1String("roundabout")) {
        p.setPen(Qt::NoPen);
        p.setBrush(kPavement);
        p.drawRect(QRectF(0, kCentre.y() - ew - 3, 200, 2 * ew + 6));
        p.drawRect(QRectF(kCentre.x() - ns - 3, 0, 2 * ns + 6, 150));
        p.drawEllipse(kCentre, t.ringOuter + 3, t.ringOuter + 3);
        p.setBrush(kAsphalt);
        p.drawRect(QRectF(0, kCentre.y() - ew, 200, 2 * ew));
        p.drawRect(QRectF(kCentre.x() - ns, 0, 2 * ns, 150));
        p.drawEllipse(kCentre, t.ringOuter, t.ringOuter);
        p.setPen(QPen(kWhite, 1.4));
        p.setBrush(kGrass.darker(105));
        p.drawEllipse(kCentre, t.ringIsland, t.ringIsland);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(90, 150, 70));
        p.drawEllipse(kCentre, t.ringIsland * 0.45, t.ringIsland * 0.45);
        QPen lane(kWhite, 1.0);
        lane.setDashPattern({4, 4});
        p.setPen(lane);
        p.setBrush(Qt::NoBrush);
        const qreal mid = (t.ringOuter + t.ringIsland) / 2;
        p.drawEllipse(kCentre, mid, mid);
    } else {
        // The two roads with their pavements, and rounded kerbs at the corners.
        p.setPen(Qt::NoPen);
        p.setBrush(kPavement);
        const qreal side = t.footway();
        p.drawRect(QRectF(0, kCentre.y() - ew - side, 200, 2 * (ew + side)));
        const qreal top = t.hasNorth ? 0 : kCentre.y() - ew - side;
        p.drawRect(QRectF(kCentre.x() - ns - side, top, 2 * (ns + side), 150 - top));
        QPainterPath road;
        road.setFillRule(Qt::WindingFill);
        road.addRect(QRectF(0, kCentre.y() - ew, 200, 2 * ew));
        const qreal roadTop = t.hasNorth ? 0 : kCentre.y();
        road.addRect(QRectF(kCentre.x() - ns, roadTop, 2 * ns, 150 - roadTop));
        const qreal r = 7;
        for (int sx : {-1, 1}) {
            for (int sy : {-1, 1}) {
                if (!t.hasNorth && sy < 0) {
                    continue;
                }
                const QPointF corner(kCentre.x() + sx * ns, kCentre.y() + sy * ew);
                QPainterPath square;
                square.addRect(QRectF(corner, corner + QPointF(sx * r, sy * r)).normalized());
                QPainterPath circle;
                circle.addEllipse(corner + QPointF(sx * r, sy * r), r, r);
                road = road.united(square.subtracted(circle));
            }
        }
        p.setBrush(kAsphalt);
        p.drawPath(road.simplified());
    }

    for (const QString& name : kArms) {
        if (!t.armExists(name)) {
            continue;
        }
        const Arm arm = t.arm(name);
        const qreal far = 260;
        const qreal gap = t.stopGap(name);
        const QString centre = t.centre.isEmpty() ? QStringLiteral("solid") : t.centre;
        // Lines run from the junction's edge outwards; the centre line's "right" is the
        // approach side.
        styledLine(p, arm.map(0, far), arm.map(0, arm.b + gap), centre, kYellow);
        const bool guided = t.arrows.count(name) > 0;
        for (int k = 1; k < arm.lanes; ++k) {
            if (guided) {
                styledLine(p, arm.map(k * t.lw, arm.b + gap), arm.map(k * t.lw, arm.b + gap + 34),
                           QStringLiteral("solid"), kWhite, 1.0);
                styledLine(p, arm.map(k * t.lw, arm.b + gap + 34), arm.map(k * t.lw, far),
                           t.laneLines, kWhite, 1.0);
            } else {
                styledLine(p, arm.map(k * t.lw, arm.b + gap), arm.map(k * t.lw, far), t.laneLines,
                           kWhite, 1.0);
            }
            styledLine(p, arm.map(-k * t.lw, arm.b + 2), arm.map(-k * t.lw, far), t.laneLines,
                       kWhite, 1.0);
        }
        if (t.zebraArms.contains(name)) {
            zebraStripes(p, arm, arm.b + 1.5, arm.b + 8.5);
        }
        const QString stop = t.stopline(name);
        if (stop == QLatin1String("stop")) {
            p.setPen(linePen(kWhite, 1.8));
            p.drawLine(arm.map(0.8, arm.b + gap + 0.5), arm.map(arm.a - 0.5, arm.b + gap + 0.5));
        } else if (stop == QLatin1String("yield")) {
            QPen pen = linePen(kWhite, 1.0);
            pen.setDashPattern({3, 2});
            p.setPen(pen);
            p.drawLine(arm.map(0.8, arm.b + gap + 0.5), arm.map(arm.a - 0.5, arm.b + gap + 0.5));
            p.drawLine(arm.map(0.8, arm.b + gap + 2.5), arm.map(arm.a - 0.5, arm.b + gap + 2.5));
        }
        const auto arrows = t.arrows.find(name);
        if (arrows != t.arrows.end()) {
            auto map = [&arm](qreal u, qreal v) { return arm.map(u, v); };
            for (int k = 0; k < arrows->second.size() && k < arm.lanes; ++k) {
                laneArrow(p, map, (k + 0.5) * t.lw, arm.b + gap + 14, arrows->second[k]);
            }
            noteReadable(QStringLiteral("Arrows ") + name, 0, kLaneArrowLength * t.zoom);
        }
    }
}

// The ramp of merge (from the lower right up into the acceleration lane) in the frame of a
// merge; diverge draws the same mirrored top to bottom. The emergency lane runs along the
// right edge of the whole picture: beside the carriageway, outside the acceleration lane
// and along the ramp, so that no stretch of it reads as a bay to stop in.
struct Express
{
    int lanes = 2;
    qreal barrier = 36;
    static constexpr qreal shoulder = kShoulderWritten * kExpressLane / kExpressWritten;
    qreal mainLeft() const { return kExpressLeft; }
    qreal mainRight() const { return mainLeft() + lanes * kExpressLane; }
    qreal extraRight() const { return mainRight() + kExpressLane; }
    static constexpr qreal joinY = 104; // where ramp and acceleration lane meet
    static constexpr qreal taperY = 22; // where the acceleration lane ends
    static constexpr qreal taperLength = 16;
    // The ramp is a quadratic curve from its far end (t 0) to the join (t 1), arriving
    // parallel to the carriageway.
    static constexpr QPointF rampFar{225, 168};
    QPointF rampBend() const { return QPointF(mainRight() + kExpressLane / 2, 140); }
    QPointF ramp(qreal t) const
    {
        const QPointF p1(mainRight() + kExpressLane / 2, joinY);
        const qreal s = 1 - t;
        return rampFar * s * s + rampBend() * 2 * s * t + p1 * t * t;
    }
    // A point d to the right of the ramp's middle, for a car driving towards the join.
    QPointF rampSide(qreal t, qreal d) const
    {
        const QPointF ahead = (rampBend() - rampFar) * (1 - t) + (ramp(1) - rampBend()) * t;
        const qreal length = qSqrt(QPointF::dotProduct(ahead, ahead));
        return ramp(t) + QPointF(-ahead.y(), ahead.x()) * (d / length);
    }
    // The middle of the emergency lane at y.
    qreal shoulderX(qreal y) const
    {
        const qreal beside = qBound(0.0, (y - (taperY - taperLength)) / taperLength, 1.0);
        const qreal inner = y > joinY ? mainRight() : mainRight() + beside * kExpressLane;
        return inner + shoulder / 2;
    }
};

QPolygonF rampLine(const Express& e, qreal d, qreal from, qreal to)
{
    QPolygonF line;
    for (int i = 0; i <= 30; ++i) {
        line << e.rampSide(from + (to - from) * i / 30.0, d);
    }
    return line;
}

void drawExpress(QPainter& p, const Express& e, const QString& laneLines)
{
    p.fillRect(QRectF(0, 0, 200, 150), kGrass);
    // The other carriageway beyond the barrier, in part.
    p.fillRect(QRectF(0, 0, e.barrier - 2, 150), kAsphalt.darker(108));
    p.fillRect(QRectF(e.barrier - 2, 0, 6, 150), QColor(150, 150, 140));
    p.setPen(QPen(QColor(230, 230, 225), 1.2));
    p.drawLine(QPointF(e.barrier - 1, 0), QPointF(e.barrier - 1, 150));
    p.drawLine(QPointF(e.barrier + 3, 0), QPointF(e.barrier + 3, 150));
    const qreal m = e.mainRight();
    const qreal x = e.extraRight();
    const qreal s = Express::shoulder;
    const qreal lane = kExpressLane / 2;
    const qreal taperTop = Express::taperY - Express::taperLength;
    // Carriageway, acceleration lane and ramp, each with the emergency lane on its right.
    p.setPen(Qt::NoPen);
    p.setBrush(kAsphalt);
    p.drawRect(QRectF(e.mainLeft(), 0, m - e.mainLeft() + s, 150));
    QPolygonF extra;
    extra << QPointF(m, taperTop) << QPointF(m + s, taperTop) << QPointF(x + s, Express::taperY)
          << QPointF(x + s, Express::joinY) << QPointF(m, Express::joinY);
    p.drawPolygon(extra);
    QPolygonF rampArea = rampLine(e, -lane - 1, 0, 1);
    for (const QPointF& q : rampLine(e, lane + s, 1, 0)) {
        rampArea << q;
    }
    p.drawPolygon(rampArea);
    // The gore between the carriageway and the ramp, hatched down to where the grass begins.
    qreal nose = 1;
    while (nose > 0.3 && e.rampSide(nose, -lane).x() < m + s + 6) {
        nose -= 0.01;
    }
    QPolygonF gore = rampLine(e, -lane, 1, nose);
    const qreal noseY = gore.last().y();
    gore << QPointF(m, noseY) << QPointF(m, Express::joinY);
    p.drawPolygon(gore);
    p.save();
    p.setClipRegion(QRegion(gore.toPolygon()));
    p.setPen(linePen(kWhite, 1.2));
    for (qreal y = Express::joinY - 8; y < noseY; y += 3.5) {
        p.drawLine(QPointF(m, y), QPointF(m + 20, y + 12));
    }
    p.restore();
    // Edge lines: the emergency lane's solid line on the right, from the top, along the
    // taper and the acceleration lane, round the ramp.
    p.setBrush(Qt::NoBrush);
    p.setPen(linePen(kWhite, 1.2));
    p.drawLine(QPointF(e.mainLeft() + 1, 0), QPointF(e.mainLeft() + 1, 150));
    QPolygonF edge;
    edge << QPointF(m, 0) << QPointF(m, taperTop) << QPointF(x, Express::taperY)
         << QPointF(x, Express::joinY);
    for (const QPointF& q : rampLine(e, lane, 1, 0)) {
        edge << q;
    }
    p.drawPolyline(edge);
    p.drawLine(QPointF(m, Express::joinY), QPointF(m, 150));
    p.drawPolyline(rampLine(e, -lane, 1, 0));
    // The wide dashes between the carriageway and the acceleration lane.
    QPen wide = linePen(kWhite, 2.0);
    wide.setDashPattern({2.0, 1.5});
    p.setPen(wide);
    p.drawLine(QPointF(m, taperTop + 2), QPointF(m, Express::joinY));
    for (int k = 1; k < e.lanes; ++k) {
        styledLine(p, QPointF(e.mainLeft() + k * kExpressLane, 150),
                   QPointF(e.mainLeft() + k * kExpressLane, 0), laneLines, kWhite, 1.0);
    }
}

// The height of a person seen from above, before the zoom: a child is two thirds of it and
// still 8 pixels tall at the least zoom.
constexpr qreal kPersonTall = 13;

// A fault for an item whose place falls outside the picture once the view is framed.
bool inPicture(const Top& t, QPointF at, const Line& line, Faults& faults)
{
    if (t.probe) {
        t.probe->push_back(at);
        return true;
    }
    const QPointF shown = t.shown(at);
    if (QRectF(0, 0, 200, 150).contains(shown)) {
        return true;
    }
    faults.add(line, QStringLiteral("this place is outside the picture (%1, %2 in it)")
                         .arg(qRound(shown.x()))
                         .arg(qRound(shown.y())));
    return false;
}

struct Placed
{
    QPointF at;
    qreal heading = 0;
    bool ok = false;
};

// Reading: what a view from above says, its road first and then, in their order, the
// lines drawn over the road.
struct TopScene
{
    Top t;
    Express e;
    bool straight = false;
    bool diverge = false;
    std::vector<const Line*> later;
};

using Movers = std::vector<std::function<void()>>;

TopScene readTopScene(const Description& description, Faults& faults)
{
    TopScene s;
    Top& t = s.t;
    auto armName = [&](const QString& s) { return kArms.contains(s) ? s : QString(); };
    for (const Line& line : description.lines) {
        const QStringList& a = line.args;
        if (line.key == QLatin1String("Road")) {
            static const QStringList roads{QStringLiteral("cross"),    QStringLiteral("tee"),
                                           QStringLiteral("straight"), QStringLiteral("roundabout"),
                                           QStringLiteral("merge"),    QStringLiteral("diverge"),
                                           QStringLiteral("rail")};
            if (a.size() != 1 || !roads.contains(a[0])) {
                faults.add(line, QStringLiteral("no road %1").arg(a.join(QLatin1Char(' '))));
            } else {
                t.road = a[0];
            }
        } else if (line.key == QLatin1String("Lanes") || line.key == QLatin1String("LanesEW")) {
            qreal n = 0;
            if (number(line, 0, &n, faults) && (n < 1 || n > 3 || n != int(n))) {
                faults.add(line, QStringLiteral("lanes are 1 to 3"));
            } else if (line.key == QLatin1String("Lanes")) {
                t.lanes = int(n);
            } else {
                t.lanesEW = int(n);
            }
        }
    }
    bool lanesEWGiven = false;
    for (const Line& line : description.lines) {
        lanesEWGiven = lanesEWGiven || line.key == QLatin1String("LanesEW");
    }
    if (!lanesEWGiven) {
        t.lanesEW = t.lanes;
    }
    t.hasNorth = t.road != QLatin1String("tee");
    t.frame();
    for (const Line& line : description.lines) {
        qreal zoom = 0;
        if (line.key == QLatin1String("Zoom") && number(line, 0, &zoom, faults)) {
            if (zoom < 1 || zoom > 2) {
                faults.add(line, QStringLiteral("Zoom is 1 to 2"));
            } else {
                t.zoom = zoom;
                t.zoomGiven = true;
            }
        }
    }
    if (t.road == QLatin1String("roundabout")) {
        t.ringOuter = 40;
    }
    s.straight = t.road == QLatin1String("straight") || t.road == QLatin1String("rail");
    Express& e = s.e;
    e.lanes = t.lanes < 2 ? 2 : t.lanes;
    s.diverge = t.road == QLatin1String("diverge");
    // Collect the markings before drawing the road.
    std::vector<const Line*>& later = s.later;
    for (const Line& line : description.lines) {
        const QStringList& a = line.args;
        if (line.key == QLatin1String("Centre") || line.key == QLatin1String("LaneLines")) {
            if (a.size() != 1 || !lineStyle(a[0]) ||
                (line.key == QLatin1String("LaneLines") && a[0] != QLatin1String("dashed") &&
                 a[0] != QLatin1String("solid"))) {
                faults.add(line, QStringLiteral("no line style %1").arg(a.join(QLatin1Char(' '))));
            } else if (line.key == QLatin1String("Centre")) {
                t.centre = a[0];
            } else {
                t.laneLines = a[0];
            }
        } else if (line.key == QLatin1String("Signal")) {
            if (a.size() < 2 || armName(a[0]).isEmpty()) {
                faults.add(line, QStringLiteral("Signal is ARM STATE..."));
                continue;
            }
            for (const QString& s : a.mid(1)) {
                if (!signalToken(s)) {
                    faults.add(line, QStringLiteral("no signal lamp %1").arg(s));
                }
            }
            t.heads[a[0]] = a.mid(1);
        } else if (line.key == QLatin1String("Stopline")) {
            if (a.size() != 2 || armName(a[0]).isEmpty() ||
                !QStringList{QStringLiteral("stop"), QStringLiteral("yield"),
                             QStringLiteral("none")}
                     .contains(a[1])) {
                faults.add(line, QStringLiteral("Stopline is ARM stop|yield|none"));
                continue;
            }
            t.stoplines[a[0]] = a[1];
        } else if (line.key == QLatin1String("Zebra") && t.junction()) {
            for (const QString& arm : a) {
                if (armName(arm).isEmpty()) {
                    faults.add(line, QStringLiteral("no arm %1").arg(arm));
                } else {
                    t.zebraArms << arm;
                }
            }
        } else if (line.key == QLatin1String("Arrows") && t.junction()) {
            if (a.size() < 2 || armName(a[0]).isEmpty()) {
                faults.add(line, QStringLiteral("Arrows is ARM KIND..."));
                continue;
            }
            for (const QString& k : a.mid(1)) {
                if (!arrowKind(k)) {
                    faults.add(line, QStringLiteral("no lane arrow %1").arg(k));
                }
            }
            t.arrows[a[0]] = a.mid(1);
        } else if (line.key != QLatin1String("Road") && line.key != QLatin1String("Lanes") &&
                   line.key != QLatin1String("LanesEW") && line.key != QLatin1String("View") &&
                   line.key != QLatin1String("Weather") && line.key != QLatin1String("Text") &&
                   line.key != QLatin1String("Inset") && line.key != QLatin1String("Zoom") &&
                   line.key != QLatin1String("Visibility") &&
                   line.key != QLatin1String("Surface")) {
            later.push_back(&line);
        }
    }
    return s;
}

// Laying out the road: the ground, the road of its kind and its lines.
void layOutRoad(QPainter& p, TopScene& s, const Weather& weather)
{
    Top& t = s.t;
    const Express& e = s.e;
    const bool straight = s.straight;
    const bool diverge = s.diverge;
    p.fillRect(QRectF(0, 0, 200, 150), weather.snow ? QColor(236, 240, 244) : kGrass);
    const qreal half = t.lanes * t.lw;
    if (t.junction()) {
        drawJunction(p, t);
    } else if (straight) {
        p.fillRect(QRectF(kCentre.x() - half - t.footway(), 0, 2 * (half + t.footway()), 150),
                   kPavement);
        p.fillRect(QRectF(kCentre.x() - half, 0, 2 * half, 150), kAsphalt);
        if (t.road == QLatin1String("rail")) {
            p.fillRect(QRectF(0, 51, 200, 18), QColor(150, 136, 120));
            p.fillRect(QRectF(kCentre.x() - half, 51, 2 * half, 18), kAsphalt.lighter(108));
            p.setPen(QPen(QColor(110, 80, 50), 2));
            for (qreal x = 2; x < 200; x += 5) {
                if (x < kCentre.x() - half - 1 || x > kCentre.x() + half + 1) {
                    p.drawLine(QPointF(x, 53), QPointF(x, 67));
                }
            }
            p.setPen(QPen(QColor(60, 60, 66), 1.4));
            p.drawLine(QPointF(0, 56), QPointF(200, 56));
            p.drawLine(QPointF(0, 64), QPointF(200, 64));
        }
        const QString centre = t.centre.isEmpty() ? QStringLiteral("dashed") : t.centre;
        // Drawn upwards, so that the N-bound side is the line's right.
        styledLine(p, QPointF(kCentre.x(), 150), QPointF(kCentre.x(), 0), centre, kYellow);
        for (int k = 1; k < t.lanes; ++k) {
            styledLine(p, QPointF(kCentre.x() + k * t.lw, 150), QPointF(kCentre.x() + k * t.lw, 0),
                       t.laneLines, kWhite, 1.0);
            styledLine(p, QPointF(kCentre.x() - k * t.lw, 150), QPointF(kCentre.x() - k * t.lw, 0),
                       t.laneLines, kWhite, 1.0);
        }
        for (const QString& arm : {QStringLiteral("S"), QStringLiteral("N")}) {
            const QString stop = t.stoplines.count(arm) ? t.stoplines[arm] : QStringLiteral("none");
            if (stop == QLatin1String("none") || t.road != QLatin1String("rail")) {
                continue;
            }
            const bool south = arm == QLatin1String("S");
            const qreal y = south ? 79 : 41;
            const qreal x0 = south ? kCentre.x() + 0.8 : kCentre.x() - half;
            const qreal x1 = south ? kCentre.x() + half : kCentre.x() - 0.8;
            QPen pen = linePen(kWhite, stop == QLatin1String("stop") ? 1.8 : 1.0);
            if (stop == QLatin1String("yield")) {
                pen.setDashPattern({3, 2});
            }
            p.setPen(pen);
            p.drawLine(QPointF(x0, y), QPointF(x1, y));
        }
    } else {
        p.save();
        if (diverge) {
            p.translate(0, 150);
            p.scale(1, -1);
        }
        drawExpress(p, e, t.laneLines);
        p.restore();
    }
}

// The markings a line of the description places on the road: crossings, yellow grids,
// kerb lines, bus bays and lane arrows away from a junction.
void drawMarkings(QPainter& p, const TopScene& s, Faults& faults)
{
    const Top& t = s.t;
    const Express& e = s.e;
    const bool straight = s.straight;
    const qreal half = t.lanes * t.lw;
    const std::vector<const Line*>& later = s.later;
    for (const Line* lp : later) {
        const Line& line = *lp;
        const QStringList& a = line.args;
        if (line.key == QLatin1String("Zebra")) {
            qreal y = 0;
            if (!straight || !number(line, 0, &y, faults)) {
                if (!straight) {
                    faults.add(line, QStringLiteral("Zebra takes arms on a junction"));
                }
                continue;
            }
            p.setPen(Qt::NoPen);
            p.setBrush(kWhite);
            for (qreal x = kCentre.x() - half + 1.5; x < kCentre.x() + half - 1; x += 3.6) {
                p.drawRect(QRectF(x, y - 4.5, 1.8, 9));
            }
        } else if (line.key == QLatin1String("Grid")) {
            QRectF box;
            if (t.junction()) {
                if (a != QStringList{QStringLiteral("yes")}) {
                    faults.add(line, QStringLiteral("Grid: yes on a junction"));
                    continue;
                }
                box = QRectF(kCentre.x() - half, kCentre.y() - t.lanesEW * t.lw, 2 * half,
                             2 * t.lanesEW * t.lw);
            } else {
                qreal y = 0;
                if (!number(line, 0, &y, faults)) {
                    continue;
                }
                box = QRectF(kCentre.x() - half, y - 12, 2 * half, 24);
            }
            p.save();
            p.setClipRect(box);
            p.setPen(QPen(kYellow, 1.1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(box.adjusted(0.6, 0.6, -0.6, -0.6));
            for (qreal d = -200; d < 200; d += 6) {
                p.drawLine(QPointF(box.left() + d, box.top()),
                           QPointF(box.left() + d + 150, box.top() + 150));
                p.drawLine(QPointF(box.right() - d, box.top()),
                           QPointF(box.right() - d - 150, box.top() + 150));
            }
            p.restore();
        } else if (line.key == QLatin1String("Kerb")) {
            if (!straight || a.size() < 2 ||
                (a[0] != QLatin1String("left") && a[0] != QLatin1String("right")) ||
                (a[1] != QLatin1String("yellow-solid") && a[1] != QLatin1String("yellow-dashed"))) {
                faults.add(line,
                           QStringLiteral("Kerb is left|right yellow-solid|yellow-dashed on a "
                                          "straight road"));
                continue;
            }
            qreal y0 = 0;
            qreal y1 = 150;
            if (a.size() >= 4 && (!number(line, 2, &y0, faults) || !number(line, 3, &y1, faults))) {
                continue;
            }
            const qreal x =
                a[0] == QLatin1String("left") ? kCentre.x() - half + 1.5 : kCentre.x() + half - 1.5;
            styledLine(p, QPointF(x, y1), QPointF(x, y0),
                       a[1] == QLatin1String("yellow-solid") ? QStringLiteral("solid")
                                                             : QStringLiteral("dashed"),
                       kYellow, 1.4);
        } else if (line.key == QLatin1String("BusStop")) {
            qreal y = 0;
            if (!straight || a.size() != 2 || a[0] != QLatin1String("right") ||
                !number(line, 1, &y, faults)) {
                faults.add(line, QStringLiteral("BusStop is right Y on a straight road"));
                continue;
            }
            const QRectF bay(kCentre.x() + half, y - 15, t.footway(), 30);
            p.fillRect(bay, kAsphalt);
            p.setPen(QPen(kYellow, 1.1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(bay.adjusted(-t.lw + 1, 1, -1, -1));
            p.setPen(kYellow);
            QFont f(QStringLiteral("Noto Sans CJK SC"));
            f.setPixelSize(6);
            f.setBold(true);
            p.setFont(f);
            p.save();
            p.translate(bay.center() + QPointF(-3, 0));
            p.rotate(-90);
            p.drawText(QRectF(-14, -4, 28, 8), Qt::AlignCenter, QStringLiteral("公交车站"));
            p.restore();
        } else if (line.key == QLatin1String("Arrows") && !t.junction()) {
            qreal y = 0;
            if (a.size() < 3 || (a[0] != QLatin1String("up") && a[0] != QLatin1String("down")) ||
                !number(line, 1, &y, faults)) {
                faults.add(line, QStringLiteral("Arrows is up|down Y KIND... on this road"));
                continue;
            }
            const bool up = a[0] == QLatin1String("up");
            const qreal laneW = t.lane();
            for (int k = 0; k < a.size() - 2; ++k) {
                if (!arrowKind(a[k + 2])) {
                    faults.add(line, QStringLiteral("no lane arrow %1").arg(a[k + 2]));
                    continue;
                }
                const qreal x0 = t.express() ? e.mainLeft() + (k + 0.5) * laneW
                                             : kCentre.x() + (up ? 1 : -1) * (k + 0.5) * laneW;
                auto map = [&](qreal u, qreal v) {
                    return up ? QPointF(x0 + (u - x0), y + (v - y))
                              : QPointF(x0 - (u - x0), y - (v - y));
                };
                laneArrow(p, map, x0, y, a[k + 2]);
            }
            noteReadable(QStringLiteral("Arrows"), line.number, kLaneArrowLength * t.zoom);
        }
    }
}

// Snow over the ground and the road's lines, worn into two dark tracks in each lane where
// the wheels run.
void drawLyingSnow(QPainter& p, const TopScene& s)
{
    const Top& t = s.t;
    p.save();
    p.fillRect(QRectF(-100, -100, 400, 350), QColor(238, 241, 245, 225));
    QPen track(QColor(120, 126, 134, 190), 1.6, Qt::SolidLine, Qt::FlatCap);
    p.setPen(track);
    const qreal lane = t.lane();
    auto lanesAlong = [&](const std::function<QPointF(qreal, qreal)>& map, int count, qreal from,
                          qreal to, qreal left) {
        for (int k = 0; k < count; ++k) {
            for (const qreal wheel : {0.27, 0.73}) {
                const qreal u = left + (k + wheel) * lane;
                p.drawLine(map(u, from), map(u, to));
            }
        }
    };
    if (t.junction()) {
        for (const QString& name : kArms) {
            if (!t.armExists(name)) {
                continue;
            }
            const Arm arm = t.arm(name);
            auto map = [&arm](qreal u, qreal v) { return arm.map(u, v); };
            lanesAlong(map, 2 * arm.lanes, arm.b, 260, -arm.a);
        }
    } else if (t.express()) {
        const Express& e = s.e;
        auto map = [](qreal u, qreal v) { return QPointF(u, v); };
        lanesAlong(map, e.lanes, -10, 160, e.mainLeft());
    } else {
        auto map = [](qreal u, qreal v) { return QPointF(u, v); };
        lanesAlong(map, 2 * t.lanes, -10, 160, kCentre.x() - t.lanes * lane);
    }
    p.restore();
}

// Drawing the items: where an item stands, by its place on this road.
Placed placeItem(const TopScene& s, const Line& line, const QStringList& a, int* used,
                 Faults& faults)
{
    const Top& t = s.t;
    const Express& e = s.e;
    const bool straight = s.straight;
    const bool diverge = s.diverge;
    auto flipY = [&](QPointF q) { return diverge ? QPointF(q.x(), 150 - q.y()) : q; };
    Placed r;
    if (a.isEmpty()) {
        return r;
    }
    qreal x = 0;
    qreal y = 0;
    qreal h = 0;
    if (a[0] == QLatin1String("at")) {
        *used = 4;
        if (number(line, 2, &x, faults) && number(line, 3, &y, faults) &&
            number(line, 4, &h, faults)) {
            r = {t.place(QPointF(x, y)), h, true};
        }
        return r;
    }
    if (t.junction() && (kArms.contains(a[0]) || a[0].startsWith(QLatin1String("exit-")))) {
        *used = 3;
        const bool exit = a[0].startsWith(QLatin1String("exit-"));
        const QString name = exit ? a[0].mid(5) : a[0];
        qreal lane = 0;
        qreal slot = 0;
        if (!kArms.contains(name) || !t.armExists(name)) {
            faults.add(line, QStringLiteral("no arm %1 on this road").arg(a[0]));
            return r;
        }
        if (!number(line, 2, &lane, faults) || !number(line, 3, &slot, faults)) {
            return r;
        }
        const Arm arm = t.arm(name);
        if (lane < 0.5 || lane > arm.lanes + 0.5) {
            faults.add(line, QStringLiteral("the arm %1 has %2 lanes").arg(name).arg(arm.lanes));
            return r;
        }
        const qreal length = 16;
        const qreal spacing = 21;
        const qreal u = (lane - 0.5) * t.lw;
        if (exit) {
            const qreal v = arm.b + 4 + (slot - 1) * spacing + length / 2 + 4;
            r = {arm.map(-u, v), arm.theta + 180, true};
        } else {
            const qreal v = slot <= 0
                                ? arm.b - 2 + slot * spacing
                                : arm.b + t.stopGap(name) + 3 + (slot - 1) * spacing + length / 2;
            r = {arm.map(u, v), arm.theta, true};
        }
        return r;
    }
    if (t.road == QLatin1String("roundabout") && a[0] == QLatin1String("ring")) {
        *used = 2;
        qreal angle = 0;
        if (!number(line, 2, &angle, faults)) {
            return r;
        }
        qreal lane = 2;
        if (a.size() > 2) {
            bool isNumber = false;
            const qreal n = a[2].toDouble(&isNumber);
            if (isNumber) {
                lane = n;
                *used = 3;
            }
        }
        const qreal mid = (t.ringOuter + t.ringIsland) / 2;
        const qreal radius = lane <= 1 ? (t.ringIsland + mid) / 2 : (mid + t.ringOuter) / 2;
        const qreal rad = qDegreesToRadians(angle);
        r = {kCentre + QPointF(qSin(rad), -qCos(rad)) * radius, angle - 90, true};
        return r;
    }
    if ((straight || t.express()) &&
        (a[0] == QLatin1String("up") || a[0] == QLatin1String("down"))) {
        *used = 3;
        const bool up = a[0] == QLatin1String("up");
        if (!number(line, 3, &y, faults)) {
            return r;
        }
        if (t.express()) {
            if (!up) {
                faults.add(line, QStringLiteral("an expressway picture shows one carriageway"));
                return r;
            }
            if (a.size() > 1 && a[1] == QLatin1String("E")) {
                x = e.shoulderX(diverge ? 150 - y : y);
            } else {
                qreal lane = 0;
                if (!number(line, 2, &lane, faults)) {
                    return r;
                }
                if (lane < 0.5 || lane > e.lanes + 1.5) {
                    faults.add(line, QStringLiteral("the carriageway has %1 lanes").arg(e.lanes));
                    return r;
                }
                x = e.mainLeft() + (lane - 0.5) * kExpressLane;
            }
            r = {QPointF(x, y), 0, true};
            return r;
        }
        qreal lane = 0;
        if (!number(line, 2, &lane, faults)) {
            return r;
        }
        const qreal u = (lane - 0.5) * t.lw;
        r = up ? Placed{QPointF(kCentre.x() + u, y), 0, true}
               : Placed{QPointF(kCentre.x() - u, y), 180, true};
        return r;
    }
    if (t.express() && a[0] == QLatin1String("ramp")) {
        *used = 2;
        qreal s = 0;
        if (!number(line, 2, &s, faults)) {
            return r;
        }
        s = qBound(0.0, s, 1.0);
        const QPointF at = flipY(e.ramp(s));
        // Towards the join on a merge, away from it on a diverge.
        const QPointF next =
            diverge ? flipY(e.ramp(qMax(0.0, s - 0.05))) : flipY(e.ramp(qMin(1.0, s + 0.05)));
        const QPointF d = diverge && s < 0.05    ? at - flipY(e.ramp(s + 0.05))
                          : !diverge && s > 0.95 ? at - flipY(e.ramp(s - 0.05))
                                                 : next - at;
        r = {at, qRadiansToDegrees(qAtan2(d.x(), -d.y())), true};
        return r;
    }
    faults.add(line, QStringLiteral("no place %1 on this road").arg(a[0]));
    return r;
}

void drawVehicleItem(QPainter& p, const TopScene& s, const Line& line, Lights& lights, bool dark,
                     Movers& movers, Faults& faults)
{
    const Top& t = s.t;
    const QStringList& a = line.args;
    Kind kind;
    if (a.isEmpty() || !kindNamed(a[0], &kind)) {
        faults.add(line, QStringLiteral("no vehicle kind %1").arg(a.value(0)));
        return;
    }
    int used = 0;
    const QStringList rest = a.mid(1);
    // Numbers of the place are read from the line's own arguments.
    Line shifted = line;
    shifted.args = QStringList{QString()} + rest;
    Placed where = placeItem(s, shifted, rest, &used, faults);
    if (!where.ok) {
        return;
    }
    const Look look = lookOf(kind, rest.mid(used), line, faults);
    if (!inPicture(t, where.at, line, faults)) {
        return;
    }
    drawTopVehicle(p, where.at, where.heading, look, lights, dark);
    if (!look.move.isEmpty()) {
        // The path it takes through the junction, in its approach's frame.
        QPainterPath path;
        const qreal front = topSize(kind).width() / 2 + 1;
        const QString armTag = rest.value(0);
        if (t.junction() && kArms.contains(armTag)) {
            const Arm arm = t.arm(armTag);
            const qreal h = qDegreesToRadians(arm.theta);
            const QPointF rel = where.at - kCentre;
            const qreal u = rel.x() * qCos(h) + rel.y() * qSin(h);
            const qreal v = -rel.x() * qSin(h) + rel.y() * qCos(h) - front;
            if (t.road == QLatin1String("roundabout")) {
                const qreal radius = (t.ringOuter + (t.ringOuter + t.ringIsland) / 2) / 2;
                const qreal turns = look.move == QLatin1String("right")      ? 90
                                    : look.move == QLatin1String("straight") ? 180
                                    : look.move == QLatin1String("left")     ? 270
                                                                             : 340;
                path.moveTo(arm.map(u, v));
                for (qreal d = 20; d <= turns - 20 + 0.1; d += 6) {
                    // Angles in the arm's frame, 180 pointing at the arm.
                    const qreal ang = qDegreesToRadians(180 - d);
                    path.lineTo(arm.map(qSin(ang) * radius, -qCos(ang) * radius));
                }
                const Arm out =
                    t.arm(kArms[(kArms.indexOf(armTag) + 8 - int((turns + 20) / 90)) % 4]);
                path.lineTo(out.map(-t.lw / 2, out.b + 18));
            } else if (look.move == QLatin1String("straight")) {
                path.moveTo(arm.map(u, v));
                path.lineTo(arm.map(u, -arm.b - 14));
            } else if (look.move == QLatin1String("left")) {
                const qreal endV = -t.lw / 2;
                path.moveTo(arm.map(u, v));
                path.quadTo(arm.map(u, endV), arm.map(-arm.a - 14, endV));
            } else if (look.move == QLatin1String("right")) {
                const qreal endV = (arm.crossLanes - 0.5) * t.lw;
                path.moveTo(arm.map(u, v));
                path.quadTo(arm.map(u, endV), arm.map(arm.a + 14, endV));
            } else {
                path.moveTo(arm.map(u, v));
                path.cubicTo(arm.map(u, -arm.b * 0.8), arm.map(-t.lw / 2, -arm.b * 0.8),
                             arm.map(-t.lw / 2, v + 10));
            }
        } else {
            // Elsewhere: ahead along its heading (a U-turn turns to its left).
            const qreal h = qDegreesToRadians(where.heading);
            const QPointF dir(qSin(h), -qCos(h));
            const QPointF right(-dir.y(), dir.x());
            const QPointF start = where.at + dir * front;
            path.moveTo(start);
            if (look.move == QLatin1String("straight")) {
                path.lineTo(start + dir * 30);
            } else if (look.move == QLatin1String("left")) {
                path.quadTo(start + dir * 22, start + dir * 22 - right * 22);
            } else if (look.move == QLatin1String("right")) {
                path.quadTo(start + dir * 22, start + dir * 22 + right * 22);
            } else {
                path.cubicTo(start + dir * 22, start + dir * 22 - right * t.lw * 2,
                             start - right * t.lw * 2 - dir * 6);
            }
        }
        movers.push_back([&p, path] { drawArrow(p, path, QColor(20, 190, 60)); });
    }
}

void drawPersonItem(QPainter& p, const TopScene& s, const Line& line, Faults& faults)
{
    const Top& t = s.t;
    const QStringList& a = line.args;
    QPointF at;
    QString kind = QStringLiteral("adult");
    if (a.value(0) == QLatin1String("zebra")) {
        qreal f = 0;
        if (a.size() < 3 || !t.junction() || !kArms.contains(a[1]) || !t.zebraArms.contains(a[1]) ||
            !number(line, 2, &f, faults)) {
            faults.add(line, QStringLiteral("Person: zebra ARM FRACTION needs a crossing "
                                            "on that arm"));
            return;
        }
        const Arm arm = t.arm(a[1]);
        at = arm.map(-arm.a + 2 + f * (2 * arm.a - 4), arm.b + 8);
        kind = a.value(3, kind);
    } else {
        qreal x = 0;
        qreal y = 0;
        if (!number(line, 0, &x, faults) || !number(line, 1, &y, faults)) {
            return;
        }
        at = t.place(QPointF(x, y));
        kind = a.value(2, kind);
    }
    if (!personKind(kind)) {
        faults.add(line, QStringLiteral("no person %1").arg(kind));
        return;
    }
    if (inPicture(t, at, line, faults)) {
        drawPerson(p, at, kPersonTall, kind);
        noteReadable(QStringLiteral("Person"), line.number, personTall(kPersonTall, kind) * t.zoom);
    }
}

void drawSignItem(QPainter& p, const Top& t, const Line& line, Faults& faults)
{
    const QStringList& a = line.args;
    qreal x = 0;
    qreal y = 0;
    qreal size = 22;
    if (a.size() < 3 || !number(line, 1, &x, faults) || !number(line, 2, &y, faults) ||
        (a.size() > 3 && !number(line, 3, &size, faults))) {
        faults.add(line, QStringLiteral("Sign is NAME x y [SIZE]"));
        return;
    }
    const QPointF at = t.place(QPointF(x, y));
    if (isKnownSign(a[0])) {
        // A guide sign is wide and low: it is drawn wider until its face can be read.
        size = std::max(size, kReadable / t.zoom / signFaceHeight(a[0], 1));
    }
    if (!drawSignOnPost(p, a[0], at, size, 4)) {
        faults.add(line, QStringLiteral("no sign %1").arg(a[0]));
    } else if (inPicture(t, at, line, faults)) {
        noteReadable(QStringLiteral("Sign ") + a[0], line.number,
                     signFaceHeight(a[0], size) * t.zoom);
    }
}

// A W-beam guardrail along the points: the bright rail on the road's side, its dark posts
// on the right of the way from the first point to the last, so that a rail drawn in the
// direction of traffic along the right edge has them outside.
void drawGuardrail(QPainter& p, const Top& t, const Line& line, Faults& faults)
{
    QPolygonF points;
    for (int i = 1; i + 1 < line.args.size(); i += 2) {
        qreal x = 0;
        qreal y = 0;
        if (!number(line, i, &x, faults) || !number(line, i + 1, &y, faults)) {
            return;
        }
        points << t.place(QPointF(x, y));
    }
    if (points.size() < 2 || line.args.size() % 2 == 0) {
        faults.add(line, QStringLiteral("guardrail is x1 y1 x2 y2 [x3 y3 ...]"));
        return;
    }
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 62, 66));
    qreal left = 0; // how far into the next stretch its first post stands
    for (int i = 1; i < points.size(); ++i) {
        const QLineF stretch(points[i - 1], points[i]);
        const QPointF along = (stretch.p2() - stretch.p1()) / qMax(stretch.length(), 0.01);
        const QPointF right(-along.y(), along.x());
        qreal d = left;
        for (; d <= stretch.length(); d += 5) {
            const QPointF post = stretch.p1() + along * d + right * 1.8;
            p.drawRect(QRectF(post - QPointF(1.2, 1.2), QSizeF(2.4, 2.4)));
        }
        left = d - stretch.length();
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(70, 74, 80), 3.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPolyline(points);
    p.setPen(QPen(QColor(232, 236, 240), 1.6, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPolyline(points);
    p.restore();
}

void drawObjectItem(QPainter& p, const Top& t, const Line& line, Lights& lights, bool dark,
                    Faults& faults)
{
    if (line.args.value(0) == QLatin1String("guardrail")) {
        drawGuardrail(p, t, line, faults);
        return;
    }
    const QStringList& a = line.args;
    qreal x = 0;
    qreal y = 0;
    const QString what = a.value(0);
    if (!number(line, 1, &x, faults) || !number(line, 2, &y, faults)) {
        return;
    }
    // A gate or a train keeps its ends where they were across the road; a puddle or road
    // works grow with the lanes.
    const QPointF given(x, y);
    const auto stretched = [&](qreal w, qreal h, QPointF from) {
        const QPointF a0 = t.place(from);
        const QPointF a1 = t.place(from + QPointF(w, h));
        return QSizeF(a1.x() - a0.x(), a1.y() - a0.y());
    };
    const auto grown = [&](qreal w, qreal h) {
        const qreal k = t.lw / kLane;
        return QSizeF(t.widenAcross ? w * k : w, t.widenAlong ? h * k : h);
    };
    {
        const QPointF at = t.place(given);
        x = at.x();
        y = at.y();
        const bool across = what == QLatin1String("train") || what == QLatin1String("gate");
        if (!across && !inPicture(t, at, line, faults)) {
            return;
        }
    }
    p.save();
    if (what == QLatin1String("triangle")) {
        QPolygonF tri;
        tri << QPointF(x, y - 4) << QPointF(x + 4, y + 3) << QPointF(x - 4, y + 3);
        p.setPen(QPen(QColor(230, 20, 20), 1.6));
        p.setBrush(QColor(255, 255, 255, 120));
        p.drawPolygon(tri);
    } else if (what == QLatin1String("cone")) {
        p.setPen(QPen(QColor(160, 60, 0), 0.6));
        p.setBrush(QColor(255, 110, 20));
        p.drawEllipse(QPointF(x, y), 2.6, 2.6);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(x, y), 1.1, 1.1);
    } else if (what == QLatin1String("ball")) {
        drawBall(p, QPointF(x, y), 3);
    } else if (what == QLatin1String("rock")) {
        p.setPen(QPen(QColor(80, 70, 60), 0.6));
        p.setBrush(QColor(140, 128, 112));
        p.drawEllipse(QPointF(x, y), 5, 4);
    } else if (what == QLatin1String("puddle")) {
        qreal w = 0;
        qreal h = 0;
        if (!number(line, 3, &w, faults) || !number(line, 4, &h, faults)) {
            p.restore();
            return;
        }
        const QSizeF size = grown(w, h);
        w = size.width();
        h = size.height();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(120, 150, 190, 200));
        p.drawEllipse(QRectF(x - w / 2, y - h / 2, w, h));
    } else if (what == QLatin1String("lamp")) {
        // The post's foot and the lamp at the end of its arm, over the road's edge.
        p.setPen(QPen(QColor(90, 90, 96), 1.4));
        p.setBrush(QColor(90, 90, 96));
        p.drawEllipse(QPointF(x, y), 1.8, 1.8);
        const qreal toward = x < kCentre.x() ? 5 : -5;
        p.drawLine(QPointF(x, y), QPointF(x + toward, y));
        p.setBrush(QColor(235, 232, 205));
        p.drawEllipse(QPointF(x + toward, y), 3, 2);
        const QPointF at(x, y);
        lights.push_back([at, dark](QPainter& q) {
            if (!dark) {
                return;
            }
            QRadialGradient g(at, 20);
            g.setColorAt(0, QColor(255, 230, 160, 150));
            g.setColorAt(1, QColor(255, 230, 160, 0));
            q.setPen(Qt::NoPen);
            q.setBrush(g);
            q.drawEllipse(at, 20, 20);
        });
    } else if (what == QLatin1String("tree")) {
        p.setPen(QPen(QColor(40, 90, 40), 0.8));
        p.setBrush(QColor(70, 140, 60));
        p.drawEllipse(QPointF(x, y), 7, 7);
        p.setBrush(QColor(90, 160, 70));
        p.drawEllipse(QPointF(x - 1.5, y - 1.5), 3.5, 3.5);
    } else if (what == QLatin1String("gate")) {
        qreal w = 0;
        if (!number(line, 3, &w, faults)) {
            p.restore();
            return;
        }
        w = stretched(w, 0, given).width();
        p.setPen(QPen(QColor(60, 60, 60), 0.6));
        for (int i = 0; i < int(w / 4); ++i) {
            p.setBrush(i % 2 ? Qt::white : QColor(220, 30, 30));
            p.drawRect(QRectF(x + i * 4, y - 1.2, 4, 2.4));
        }
        p.setBrush(QColor(60, 60, 60));
        p.drawEllipse(QPointF(x, y), 2, 2);
    } else if (what == QLatin1String("train")) {
        qreal len = 0;
        if (!number(line, 3, &len, faults)) {
            p.restore();
            return;
        }
        len = stretched(len, 0, given).width();
        p.setPen(QPen(QColor(20, 40, 60), 0.8));
        for (qreal cx = x; cx < x + len - 4; cx += 34) {
            const qreal cw = qMin(32.0, x + len - cx);
            p.setBrush(QColor(40, 110, 90));
            p.drawRoundedRect(QRectF(cx, y - 5, cw, 10), 2, 2);
            p.setBrush(QColor(230, 200, 60));
            p.drawRect(QRectF(cx + 1, y - 1, cw - 2, 2));
        }
    } else if (what == QLatin1String("crash")) {
        Look one;
        one.body = QColor(70, 120, 200);
        Look two;
        two.body = QColor(235, 235, 235);
        Lights none;
        drawTopVehicle(p, QPointF(x - 5, y + 4), 20, one, none, false);
        drawTopVehicle(p, QPointF(x + 6, y - 5), 110, two, none, false);
        p.setPen(QPen(QColor(255, 200, 0), 1.2));
        for (int k = 0; k < 6; ++k) {
            const qreal ang = k * M_PI / 3;
            p.drawLine(QPointF(x + 1, y) + QPointF(qCos(ang), qSin(ang)) * 2,
                       QPointF(x + 1, y) + QPointF(qCos(ang), qSin(ang)) * 5);
        }
    } else if (what == QLatin1String("work")) {
        qreal w = 0;
        qreal h = 0;
        if (!number(line, 3, &w, faults) || !number(line, 4, &h, faults)) {
            p.restore();
            return;
        }
        const QSizeF size = grown(w, h);
        w = size.width();
        h = size.height();
        const QRectF box(x - w / 2, y - h / 2, w, h);
        p.setPen(QPen(QColor(255, 120, 0), 1.2));
        p.setBrush(QColor(200, 180, 140));
        p.drawRect(box);
        p.setClipRect(box);
        p.setPen(QPen(QColor(255, 120, 0), 0.8));
        for (qreal d = -h; d < w; d += 4) {
            p.drawLine(QPointF(box.left() + d, box.bottom()),
                       QPointF(box.left() + d + h, box.top()));
        }
    } else {
        faults.add(line, QStringLiteral("no object %1").arg(what));
    }
    p.restore();
}

void drawArrowItem(QPainter& p, const Top& t, const Line& line, Movers& movers, Faults& faults)
{
    const QStringList& a = line.args;
    QPainterPath path;
    QColor color(20, 190, 60);
    QStringList numbers = a;
    bool colorOk = false;
    if (!numbers.isEmpty()) {
        const QColor c = arrowColor(numbers.last(), &colorOk);
        if (colorOk) {
            color = c;
            numbers.removeLast();
        }
    }
    if (numbers.size() < 4 || numbers.size() % 2) {
        faults.add(line, QStringLiteral("Arrow is x1 y1 x2 y2 [x3 y3 ...] [colour]"));
        return;
    }
    Line nums = line;
    nums.args = numbers;
    QPolygonF pts;
    bool good = true;
    for (int i = 0; i < numbers.size(); i += 2) {
        qreal x = 0;
        qreal y = 0;
        good = number(nums, i, &x, faults) && number(nums, i + 1, &y, faults) && good;
        pts << t.place(QPointF(x, y));
    }
    if (!good) {
        return;
    }
    if (t.probe) {
        t.probe->insert(t.probe->end(), pts.begin(), pts.end());
    }
    path.moveTo(pts[0]);
    if (pts.size() == 2) {
        path.lineTo(pts[1]);
    } else {
        // Through the middle points, smoothly.
        for (int i = 1; i < pts.size() - 1; ++i) {
            const QPointF next = i + 1 < pts.size() - 1 ? (pts[i] + pts[i + 1]) / 2 : pts[i + 1];
            path.quadTo(pts[i], next);
        }
    }
    movers.push_back([&p, path, color] { drawArrow(p, path, color); });
}

void drawItem(QPainter& p, const TopScene& s, const Line& line, Lights& lights, bool dark,
              Movers& movers, Faults& faults)
{
    if (line.key == QLatin1String("Vehicle")) {
        drawVehicleItem(p, s, line, lights, dark, movers, faults);
    } else if (line.key == QLatin1String("Person")) {
        drawPersonItem(p, s, line, faults);
    } else if (line.key == QLatin1String("Sign")) {
        drawSignItem(p, s.t, line, faults);
    } else if (line.key == QLatin1String("Object")) {
        drawObjectItem(p, s.t, line, lights, dark, faults);
    } else if (line.key == QLatin1String("Arrow")) {
        drawArrowItem(p, s.t, line, movers, faults);
    } else if (line.key == QLatin1String("Zebra") || line.key == QLatin1String("Grid") ||
               line.key == QLatin1String("Kerb") || line.key == QLatin1String("BusStop") ||
               line.key == QLatin1String("Arrows") || line.key == QLatin1String("Centre") ||
               line.key == QLatin1String("LaneLines") || line.key == QLatin1String("Signal") ||
               line.key == QLatin1String("Stopline")) {
        // Drawn with the road.
    } else {
        faults.add(line, QStringLiteral("no key %1 in a view from above").arg(line.key));
    }
}

// A first pass, its faults left to the real one, finds where the items stand and zooms out
// as far as they need.
void frameItems(TopScene& s, const Description& description)
{
    QImage scratch(200, 150, QImage::Format_RGB32);
    QPainter q(&scratch);
    QStringList ignored;
    Faults quiet(description, &ignored);
    std::vector<QPointF> places;
    s.t.probe = &places;
    QList<SceneReadable>* notes = swapReadables(nullptr);
    Lights none;
    Movers movers;
    for (const Line* line : s.later) {
        drawItem(q, s, *line, none, false, movers, quiet);
    }
    s.t.probe = nullptr;
    swapReadables(notes);
    s.t.fit(places);
}

} // namespace

qreal topZoom(const Description& description)
{
    QStringList ignored;
    Faults quiet(description, &ignored);
    TopScene s = readTopScene(description, quiet);
    frameItems(s, description);
    return s.t.zoom;
}

void drawTopView(QPainter& p, const Description& description, const Weather& weather,
                 Lights& lights, Faults& faults, Place* captions)
{
    TopScene s = readTopScene(description, faults);
    frameItems(s, description);
    const QTransform view = s.t.view();
    if (captions) {
        const Top t = s.t;
        *captions = [t](QPointF q) { return t.shown(t.place(q)); };
    }
    const std::size_t ownLights = lights.size();
    p.save();
    p.setTransform(view, true);
    layOutRoad(p, s, weather);
    drawMarkings(p, s, faults);
    if (weather.snowLying) {
        drawLyingSnow(p, s);
    }

    const Top& t = s.t;
    // Signals at the approaches, as each sees them.
    for (const auto& [name, tokens] : t.heads) {
        if (!t.junction() || !t.armExists(name)) {
            continue;
        }
        const Arm arm = t.arm(name);
        const QPointF at = arm.map(arm.a + 6, arm.b + 6);
        // Lamps as large as an arrow on them can be read, whatever the zoom.
        const qreal lamp = kReadable / 2 / t.zoom;
        drawSignalHeads(p, at - QPointF(lamp + 1, 3 * lamp + 1.5), lamp, tokens);
        noteReadable(QStringLiteral("Signal ") + name, 0, 2 * lamp * t.zoom);
    }

    const bool dark = weather.dark() || weather.fog;
    Movers movers;
    for (const Line* line : s.later) {
        drawItem(p, s, *line, lights, dark, movers, faults);
    }
    if (weather.ice) {
        p.save();
        p.setPen(QPen(QColor(230, 245, 255, 160), 2));
        for (int i = 0; i < 14; ++i) {
            const qreal x = 20 + (i * 37) % 170;
            const qreal y = 10 + (i * 53) % 130;
            p.drawLine(QPointF(x, y), QPointF(x + 9, y - 3));
        }
        p.restore();
    }
    p.restore();
    drawWeather(p, QRectF(0, 0, 200, 150), weather, -1);
    // The movements asked about stay clear in the dark and the fog.
    p.save();
    p.setTransform(view, true);
    for (const auto& m : movers) {
        m();
    }
    p.restore();
    for (std::size_t i = ownLights; i < lights.size(); ++i) {
        lights[i] = [light = lights[i], view](QPainter& q) {
            q.setTransform(view, true);
            light(q);
        };
    }
}

} // namespace scene
