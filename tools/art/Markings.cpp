// Road markings seen from above, on a square of road surface: the lines, arrows, words
// and areas of the national standard for markings.
#include "tools/art/SignKit.h"

#include <QPolygonF>

namespace signkit {

namespace {

constexpr int kMarkingPage = 104;

using Scene = std::function<void(QPainter&)>;

void surface(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kAsphalt);
    p.drawRect(QRectF(0, 0, 100, 100));
}

// A lengthwise line at x: solid, or dashed with dash and gap lengths.
void lengthwise(QPainter& p, qreal x, const QColor& c, qreal dash = 0, qreal gap = 0,
                qreal width = 2.6, qreal from = 0, qreal to = 100)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    if (dash <= 0) {
        p.drawRect(QRectF(x - width / 2, from, width, to - from));
        return;
    }
    for (qreal y = from; y < to; y += dash + gap) {
        p.drawRect(QRectF(x - width / 2, y, width, std::min(dash, to - y)));
    }
}

void across(QPainter& p, qreal y, const QColor& c, qreal x0, qreal x1, qreal width = 3,
            qreal dash = 0, qreal gap = 0)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    if (dash <= 0) {
        p.drawRect(QRectF(x0, y - width / 2, x1 - x0, width));
        return;
    }
    for (qreal x = x0; x < x1; x += dash + gap) {
        p.drawRect(QRectF(x, y - width / 2, std::min(dash, x1 - x), width));
    }
}

void edges(QPainter& p)
{
    lengthwise(p, 4, kWhite);
    lengthwise(p, 96, kWhite);
}

// A road arrow, long as the ones painted in lanes; kind 0 straight, 1 left, 2 right,
// 3 straight or left, 4 straight or right, 5 U-turn.
void roadArrow(QPainter& p, qreal x, qreal y, int kind, const QColor& c = kWhite)
{
    p.save();
    p.translate(x - 10, y);
    p.scale(0.2, 0.4);
    const qreal w = 14;
    switch (kind) {
    case 1:
        arrow(p, leftShaft(), w, c, w);
        break;
    case 2: {
        Mirror m(p);
        arrow(p, leftShaft(), w, c, w);
        break;
    }
    case 3:
    case 4: {
        Mirror m(p, kind == 4);
        arrow(p, line({{58, 100}, {58, 22}}), w, c, w);
        QPainterPath b;
        b.moveTo(58, 74);
        b.quadTo(58, 52, 36, 52);
        b.lineTo(28, 52);
        arrow(p, b, w, c, w);
        break;
    }
    case 5:
        arrow(p, uTurnShaft(), 12, c, 12);
        break;
    default:
        arrow(p, straightShaft(), w, c, w);
        break;
    }
    p.restore();
}

void twoLaneRoad(QPainter& p, const Scene& centre)
{
    surface(p);
    edges(p);
    centre(p);
}

void zebra(QPainter& p, qreal y, qreal depth)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    for (qreal x = 6; x < 94; x += 10) {
        p.drawRect(QRectF(x, y, 5, depth));
    }
}

Drawer scene(Scene s)
{
    return [s](QPainter& p, const QRectF& r, const QString&) {
        p.save();
        QPainterPath clip;
        clip.addRect(r);
        p.setClipPath(clip);
        {
            Units u(p, r);
            s(p);
        }
        p.restore();
    };
}

void roadWords(QPainter& p, const QRectF& box, const char* s, const QColor& c, qreal pixel)
{
    // Words on the road are drawn long along it, so that a driver reads them at a distance;
    // several characters follow one another away from the driver, the first one nearest.
    const QString words = QString::fromUtf8(s);
    const bool stack = words.size() > 1 && words.at(0).unicode() > 0x2000;
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(100);
    f.setBold(true);
    QPainterPath path;
    if (stack) {
        for (int i = 0; i < words.size(); ++i) {
            path.addText(0, -i * 100.0, f, words.mid(i, 1));
        }
    } else {
        path.addText(0, 0, f, words);
    }
    const QRectF bounds = path.boundingRect();
    const qreal sx = pixel / 100.0 * 1.1;
    const qreal sy = std::min(sx * 1.6, box.height() / bounds.height());
    const qreal fx = std::min(sx, box.width() / bounds.width());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(fx, sy);
    t.translate(-bounds.center().x(), -bounds.center().y());
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(t.map(path));
}

} // namespace

void addMarkings(KindTable& t)
{
    auto add = [&](const char* id, Scene s) {
        t[QString::fromLatin1(id)] = SignKind{scene(s), false, {}, kMarkingPage};
    };

    // Lines along the road.
    add("yellow_dashed_centre", [](QPainter& p) {
        twoLaneRoad(p, [](QPainter& q) { lengthwise(q, 50, kLineYellow, 18, 14); });
        roadArrow(p, 74, 40, 0);
    });
    add("white_dashed_lane", [](QPainter& p) {
        surface(p);
        edges(p);
        lengthwise(p, 50, kWhite, 18, 14);
        roadArrow(p, 27, 40, 0);
        roadArrow(p, 73, 40, 0);
    });
    add("edge_line", [](QPainter& p) {
        surface(p);
        p.setBrush(QColor(150, 140, 120));
        p.drawRect(QRectF(84, 0, 16, 100));
        lengthwise(p, 80, kWhite, 0, 0, 3);
        lengthwise(p, 8, kWhite, 14, 10, 3);
    });
    add("tidal_lane", [](QPainter& p) {
        twoLaneRoad(p, [](QPainter& q) {
            lengthwise(q, 46, kLineYellow, 18, 14);
            lengthwise(q, 54, kLineYellow, 18, 14);
        });
    });
    add("double_yellow_solid", [](QPainter& p) {
        twoLaneRoad(p, [](QPainter& q) {
            lengthwise(q, 47, kLineYellow);
            lengthwise(q, 53, kLineYellow);
        });
    });
    add("single_yellow_solid",
        [](QPainter& p) { twoLaneRoad(p, [](QPainter& q) { lengthwise(q, 50, kLineYellow); }); });
    add("yellow_solid_dashed", [](QPainter& p) {
        twoLaneRoad(p, [](QPainter& q) {
            lengthwise(q, 47, kLineYellow);
            lengthwise(q, 53, kLineYellow, 18, 14);
        });
        roadArrow(p, 76, 40, 0);
        // The left half carries the oncoming traffic: its arrow points the other way.
        p.save();
        p.translate(24, 60);
        p.rotate(180);
        p.translate(-24, -60);
        roadArrow(p, 24, 40, 0);
        p.restore();
    });
    add("white_solid_lane", [](QPainter& p) {
        surface(p);
        edges(p);
        lengthwise(p, 50, kWhite);
        roadArrow(p, 27, 40, 0);
        roadArrow(p, 73, 40, 0);
    });
    add("no_parking_solid", [](QPainter& p) {
        surface(p);
        p.setBrush(QColor(160, 160, 160));
        p.drawRect(QRectF(84, 0, 16, 100));
        lengthwise(p, 81, kLineYellow, 0, 0, 3);
    });
    add("no_long_parking_dashed", [](QPainter& p) {
        surface(p);
        p.setBrush(QColor(160, 160, 160));
        p.drawRect(QRectF(84, 0, 16, 100));
        lengthwise(p, 81, kLineYellow, 14, 10, 3);
    });
    add("bus_lane", [](QPainter& p) {
        surface(p);
        edges(p);
        lengthwise(p, 40, kLineYellow, 18, 12);
        roadWords(p, QRectF(52, 6, 36, 88), "公交专用", kLineYellow, 26);
    });

    // Lines across the road at a junction.
    add("stop_line", [](QPainter& p) {
        surface(p);
        lengthwise(p, 50, kLineYellow, 0, 0, 2.6, 40, 100);
        across(p, 40, kWhite, 50, 96, 5);
        roadArrow(p, 73, 52, 0);
        p.setBrush(QColor(70, 74, 80));
        p.drawRect(QRectF(0, 0, 100, 32));
        zebra(p, 8, 20);
    });
    add("stop_give_way", [](QPainter& p) {
        surface(p);
        lengthwise(p, 50, kLineYellow, 0, 0, 2.6, 34, 100);
        across(p, 30, kWhite, 50, 96, 3);
        across(p, 36, kWhite, 50, 96, 3);
        roadWords(p, QRectF(58, 46, 32, 46), "停", kWhite, 28);
    });
    add("slow_give_way", [](QPainter& p) {
        surface(p);
        lengthwise(p, 50, kLineYellow, 0, 0, 2.6, 34, 100);
        across(p, 30, kWhite, 52, 96, 3, 6, 4);
        across(p, 36, kWhite, 52, 96, 3, 6, 4);
        p.setPen(QPen(kWhite, 3));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(QPolygonF({QPointF(62, 52), QPointF(86, 52), QPointF(74, 94)}));
    });
    add("crosswalk", [](QPainter& p) {
        surface(p);
        zebra(p, 34, 32);
        lengthwise(p, 50, kLineYellow, 0, 0, 2.6, 72, 100);
        across(p, 74, kWhite, 52, 96, 3);
        lengthwise(p, 50, kLineYellow, 0, 0, 2.6, 0, 28);
    });
    add("crosswalk_ahead", [](QPainter& p) {
        surface(p);
        edges(p);
        lengthwise(p, 50, kLineYellow, 18, 14);
        p.setPen(QPen(kWhite, 2.6));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(
            QPolygonF({QPointF(73, 22), QPointF(84, 50), QPointF(73, 78), QPointF(62, 50)}));
    });
    add("lane_guide", [](QPainter& p) {
        surface(p);
        edges(p);
        lengthwise(p, 36, kWhite, 0, 0, 2.6, 16, 100);
        lengthwise(p, 68, kWhite, 0, 0, 2.6, 16, 100);
        across(p, 14, kWhite, 4, 96, 4);
        roadArrow(p, 20, 36, 1);
        roadArrow(p, 52, 36, 0);
        roadArrow(p, 82, 36, 2);
    });
    add("guide_arrows", [](QPainter& p) {
        surface(p);
        for (int i = 0; i < 3; ++i) {
            roadArrow(p, 18 + i * 32, 6, i == 0 ? 3 : (i == 1 ? 0 : 4));
            roadArrow(p, 18 + i * 32, 54, i == 0 ? 5 : (i == 1 ? 1 : 2));
        }
    });
    add("left_turn_waiting", [](QPainter& p) {
        surface(p);
        p.setBrush(Qt::NoBrush);
        QPen dashed(kWhite, 2.4);
        dashed.setDashPattern({4, 3});
        p.setPen(dashed);
        QPainterPath a;
        a.moveTo(40, 100);
        a.quadTo(40, 40, 10, 20);
        QPainterPath b;
        b.moveTo(60, 100);
        b.quadTo(60, 30, 30, 8);
        p.drawPath(a);
        p.drawPath(b);
        across(p, 60, kWhite, 40, 60, 3);
        roadWords(p, QRectF(42, 64, 16, 34), "待转", kWhite, 14);
    });
    add("junction_guide", [](QPainter& p) {
        surface(p);
        QPen dashed(kWhite, 2.4);
        dashed.setDashPattern({3, 3});
        p.setPen(dashed);
        p.setBrush(Qt::NoBrush);
        QPainterPath a;
        a.moveTo(40, 100);
        a.quadTo(40, 30, 0, 30);
        p.drawPath(a);
        QPainterPath b;
        b.moveTo(60, 100);
        b.quadTo(60, 14, 0, 14);
        p.drawPath(b);
    });
    add("distance_check", [](QPainter& p) {
        surface(p);
        edges(p);
        lengthwise(p, 36, kWhite, 18, 14);
        lengthwise(p, 68, kWhite, 18, 14);
        for (qreal y : {10.0, 50.0, 90.0}) {
            across(p, y, kWhite, 4, 96, 4);
        }
        roadWords(p, QRectF(72, 18, 22, 24), "0m", kWhite, 10);
        roadWords(p, QRectF(72, 58, 22, 24), "50m", kWhite, 10);
    });
    add("parking_spaces", [](QPainter& p) {
        surface(p);
        p.setPen(Qt::NoPen);
        p.setBrush(kWhite);
        p.drawRect(QRectF(4, 20, 92, 2.5));
        for (qreal x : {4.0, 34.0, 64.0, 94.0}) {
            p.drawRect(QRectF(x - 0.5, 20, 2.5, 60));
        }
        roadWords(p, QRectF(10, 30, 20, 40), "P", kWhite, 28);
    });
    add("bus_stop", [](QPainter& p) {
        surface(p);
        p.setBrush(QColor(160, 160, 160));
        p.drawRect(QRectF(84, 0, 16, 100));
        p.setPen(QPen(kLineYellow, 2.6));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(56, 14, 26, 72));
        p.drawLine(QPointF(56, 14), QPointF(82, 86));
        p.drawLine(QPointF(82, 14), QPointF(56, 86));
        roadWords(p, QRectF(20, 8, 28, 84), "公交车站", kLineYellow, 22);
    });
    add("speed_hump", [](QPainter& p) {
        surface(p);
        edges(p);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 9; ++i) {
            p.setBrush(i % 2 ? kBlack : kLineYellow);
            p.drawRect(QRectF(6 + i * 10, 44, 10, 12));
        }
        p.setBrush(kWhite);
        for (int i = 0; i < 4; ++i) {
            p.drawPolygon(QPolygonF(
                {QPointF(14 + i * 20, 40), QPointF(24 + i * 20, 40), QPointF(19 + i * 20, 30)}));
        }
    });
    add("chevron", [](QPainter& p) {
        surface(p);
        lengthwise(p, 50, kLineYellow, 0, 0, 2.6, 74, 100);
        p.setPen(QPen(kWhite, 2.6));
        p.setBrush(Qt::NoBrush);
        QPolygonF island({QPointF(50, 74), QPointF(30, 0), QPointF(70, 0)});
        p.drawPolygon(island);
        p.save();
        QPainterPath clip;
        clip.addPolygon(island);
        p.setClipPath(clip);
        p.setPen(QPen(kWhite, 3.2));
        for (int i = 0; i < 6; ++i) {
            const qreal y = 6 + i * 12;
            p.drawPolyline(QPolygonF({QPointF(20, y - 14), QPointF(50, y), QPointF(80, y - 14)}));
        }
        p.restore();
        lengthwise(p, 24, kWhite, 14, 10);
        lengthwise(p, 76, kWhite, 14, 10);
    });
    add("grid", [](QPainter& p) {
        surface(p);
        p.setPen(QPen(kLineYellow, 2.4));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(14, 14, 72, 72));
        p.save();
        QPainterPath clip;
        clip.addRect(QRectF(14, 14, 72, 72));
        p.setClipPath(clip);
        for (int i = -8; i < 8; ++i) {
            p.drawLine(QPointF(14 + i * 12, 14), QPointF(86 + i * 12, 86));
            p.drawLine(QPointF(86 - i * 12, 14), QPointF(14 - i * 12, 86));
        }
        p.restore();
    });
    add("transverse_deceleration", [](QPainter& p) {
        surface(p);
        edges(p);
        lengthwise(p, 50, kLineYellow, 18, 14);
        for (int i = 0; i < 5; ++i) {
            across(p, 14 + i * (8 + i * 3), kWhite, 54, 92, 3, 6, 3);
        }
    });
    add("longitudinal_deceleration", [](QPainter& p) {
        surface(p);
        edges(p);
        lengthwise(p, 50, kWhite, 18, 14);
        p.setPen(Qt::NoPen);
        p.setBrush(kWhite);
        for (int i = 0; i < 6; ++i) {
            const qreal y = 6 + i * 16;
            p.drawPolygon(QPolygonF(
                {QPointF(10, y), QPointF(16, y + 6), QPointF(10, y + 12), QPointF(4, y + 6)}));
            p.drawPolygon(QPolygonF(
                {QPointF(90, y), QPointF(96, y + 6), QPointF(90, y + 12), QPointF(84, y + 6)}));
        }
    });
    add("width_transition", [](QPainter& p) {
        surface(p);
        p.setPen(QPen(kWhite, 2.6));
        p.drawLine(QPointF(4, 100), QPointF(4, 0));
        p.drawPolyline(
            QPolygonF({QPointF(96, 100), QPointF(96, 64), QPointF(70, 30), QPointF(70, 0)}));
        lengthwise(p, 36, kLineYellow, 14, 10);
    });
    add("obstacle_approach", [](QPainter& p) {
        surface(p);
        edges(p);
        p.setPen(Qt::NoPen);
        p.setBrush(kLineYellow);
        QPolygonF wedge({QPointF(50, 100), QPointF(40, 30), QPointF(60, 30)});
        p.drawPolygon(wedge);
        p.setBrush(QColor(180, 180, 180));
        p.drawRect(QRectF(40, 0, 20, 30));
        p.setPen(QPen(kLineYellow, 2.6));
        p.drawLine(QPointF(50, 100), QPointF(38, 30));
        p.drawLine(QPointF(50, 100), QPointF(62, 30));
    });
    add("rail_crossing", [](QPainter& p) {
        surface(p);
        edges(p);
        lengthwise(p, 50, kLineYellow, 0, 0, 2.6, 0, 100);
        p.setPen(QPen(kWhite, 3));
        p.drawLine(QPointF(58, 30), QPointF(90, 70));
        p.drawLine(QPointF(90, 30), QPointF(58, 70));
        across(p, 86, kWhite, 50, 96, 4);
        roadWords(p, QRectF(14, 10, 24, 80), "铁路", kWhite, 24);
    });
    add("no_u_turn_marking", [](QPainter& p) {
        surface(p);
        lengthwise(p, 50, kLineYellow);
        p.save();
        p.translate(60, 10);
        p.scale(0.32, 0.5);
        arrow(p, uTurnShaft(), 12, kLineYellow, 12);
        p.restore();
        p.setPen(QPen(kLineYellow, 3));
        p.drawLine(QPointF(58, 20), QPointF(94, 56));
        p.drawLine(QPointF(94, 20), QPointF(58, 56));
    });
    add("road_text", [](QPainter& p) {
        surface(p);
        edges(p);
        lengthwise(p, 50, kLineYellow, 18, 14);
        roadWords(p, QRectF(58, 6, 32, 42), "慢", kWhite, 28);
        roadWords(p, QRectF(58, 54, 32, 40), "60", kWhite, 24);
    });
    add("elevation_marking", [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(QRectF(0, 0, 100, 100));
        p.setBrush(kLineYellow);
        p.drawRect(QRectF(16, 20, 68, 70));
        p.save();
        QPainterPath clip;
        clip.addRect(QRectF(16, 20, 68, 70));
        p.setClipPath(clip);
        p.setBrush(kBlack);
        for (int i = -6; i < 8; ++i) {
            p.drawPolygon(
                QPolygonF({QPointF(16 + i * 16, 90), QPointF(24 + i * 16, 90),
                           QPointF(24 + i * 16 + 70, 20), QPointF(16 + i * 16 + 70, 20)}));
        }
        p.restore();
    });
}

} // namespace signkit
