// Guide signs: white on blue for ordinary roads, white on green for expressways; route
// numbers in their own colours.
#include "tools/art/SignKit.h"

#include <QPolygonF>

namespace signkit {

namespace {

constexpr int kWide = 136;

using Symbol = std::function<void(QPainter&)>;

QString tr8(const char* s)
{
    return QString::fromUtf8(s);
}

// A plate filling the sign's outline, its content drawn in units over it.
Drawer board(const QColor& ground, Symbol content)
{
    return [ground, content](QPainter& p, const QRectF& r, const QString&) {
        const QRectF s = plate(p, r, 1.0, ground);
        Units u(p, s);
        content(p);
    };
}

void words(QPainter& p, const QRectF& box, const char* s, qreal pixel, int flags = Qt::AlignCenter,
           const QColor& c = kWhite)
{
    text(p, box, tr8(s), c, pixel, true, flags);
}

// The red-topped number shield of a national expressway.
void expresswayShield(QPainter& p, const QRectF& box, const QString& number)
{
    p.setPen(QPen(kWhite, 1.2));
    p.setBrush(kGreen);
    p.drawRoundedRect(box, 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    const QRectF band(box.left() + 1, box.top() + 1, box.width() - 2, box.height() * 0.3);
    p.drawRect(band);
    words(p, band, "国家高速", std::min(box.height() * 0.2, box.width() * 0.16));
    digits(p, QRectF(box.left(), box.top() + box.height() * 0.3, box.width(), box.height() * 0.7),
           number, kWhite, box.height() * 0.5);
}

void mapArrows(QPainter& p)
{
    // An arrow up with a cross road, as the junction signs draw it.
    p.setPen(QPen(kWhite, 7, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(20, 56), QPointF(80, 56));
    arrow(p, line({{50, 96}, {50, 30}}), 8, kWhite, 8);
}

void fuelPump(QPainter& p, const QRectF& b, const QColor& c)
{
    Units u(p, b);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRect(QRectF(20, 14, 40, 78));
    p.setBrush(c == kWhite ? kGreen : kWhite);
    p.drawRect(QRectF(27, 22, 26, 20));
    p.setPen(QPen(c, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF(
        {QPointF(60, 30), QPointF(76, 40), QPointF(76, 76), QPointF(86, 76), QPointF(86, 34)}));
}

void cutlery(QPainter& p, const QRectF& b, const QColor& c)
{
    Units u(p, b);
    p.setPen(QPen(c, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(34, 40), QPointF(34, 92));
    for (qreal x : {24.0, 34.0, 44.0}) {
        p.drawLine(QPointF(x, 10), QPointF(x, 36));
    }
    p.drawLine(QPointF(24, 36), QPointF(44, 36));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QRectF(58, 8, 18, 46));
    p.drawRect(QRectF(63, 40, 8, 52));
}

void wrenchCar(QPainter& p, const QRectF& b, const QColor& c)
{
    Units u(p, b);
    p.save();
    p.translate(0, 10);
    car(p, c);
    p.restore();
}

void exitAhead(QPainter& p, const char* distance)
{
    words(p, QRectF(4, 4, 92, 26), "南湖  东城", 20);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawRect(QRectF(4, 34, 92, 1.5));
    words(p, QRectF(4, 40, 56, 26), "出口", 20);
    digits(p, QRectF(48, 40, 50, 26), QString::fromLatin1(distance), kWhite, 20);
    p.setBrush(QColor(250, 210, 0));
    p.drawRoundedRect(QRectF(20, 72, 60, 22), 2, 2);
    text(p, QRectF(20, 72, 60, 22), QStringLiteral("EXIT 32"), kBlack, 15);
}

} // namespace

void addGuideSigns(KindTable& t)
{
    auto add = [&](const char* id, Drawer d, qreal aspect, int page = kWide) {
        t[QString::fromLatin1(id)] = SignKind{d, false, {}, page, aspect};
    };
    // A route number or a shield alone is a small plate.
    const int small = 96;
    // A plate of the given height over width.
    auto addBoard = [&](const char* id, const QColor& ground, qreal ratio, Symbol content) {
        add(id, board(ground, content), 1 / ratio);
    };
    const qreal wide = 0.62;

    // Ordinary roads.
    addBoard("guide_junction_ahead", kBlue, wide, [](QPainter& p) {
        mapArrows(p);
        words(p, QRectF(30, 2, 40, 24), "市中心", 15);
        words(p, QRectF(0, 60, 36, 24), "人民路", 13);
        words(p, QRectF(64, 60, 36, 24), "学院路", 13);
        digits(p, QRectF(62, 78, 38, 20), QStringLiteral("300 m"), kWhite, 12);
    });
    addBoard("guide_junction", kBlue, wide, [](QPainter& p) {
        arrow(p, line({{14, 26}, {14, 8}}), 6, kWhite, 6);
        words(p, QRectF(26, 2, 70, 28), "市中心", 18, Qt::AlignLeft | Qt::AlignVCenter);
        arrow(p, line({{22, 50}, {6, 50}}), 6, kWhite, 6);
        words(p, QRectF(26, 36, 70, 28), "人民路", 18, Qt::AlignLeft | Qt::AlignVCenter);
        arrow(p, line({{6, 84}, {20, 84}}), 6, kWhite, 6);
        words(p, QRectF(26, 70, 70, 28), "学院路", 18, Qt::AlignLeft | Qt::AlignVCenter);
    });
    addBoard("guide_direction", kBlue, 0.5, [](QPainter& p) {
        arrow(p, line({{4, 50}, {26, 50}}), 10, kWhite, 10);
        words(p, QRectF(38, 4, 58, 92), "火车站", 26);
    });
    addBoard("guide_confirm", kBlue, wide, [](QPainter& p) {
        const char* names[] = {"南湖", "东城", "临江"};
        const char* km[] = {"5 km", "18 km", "46 km"};
        for (int i = 0; i < 3; ++i) {
            words(p, QRectF(6, 4 + i * 32, 50, 28), names[i], 18, Qt::AlignLeft | Qt::AlignVCenter);
            digits(p, QRectF(50, 4 + i * 32, 48, 28), QString::fromLatin1(km[i]), kWhite, 16);
        }
    });
    addBoard("guide_place_name", kBlue, 0.42,
             [](QPainter& p) { words(p, QRectF(0, 0, 100, 100), "青石镇", 34); });
    addBoard("guide_boundary", kBlue, 0.5, [](QPainter& p) {
        words(p, QRectF(0, 4, 100, 40), "临江市界", 26);
        p.setPen(Qt::NoPen);
        p.setBrush(kWhite);
        p.drawRect(QRectF(8, 50, 84, 2));
        words(p, QRectF(0, 56, 100, 40), "欢迎您", 20);
    });
    addBoard("guide_street_name", kBlue, 0.36, [](QPainter& p) {
        words(p, QRectF(0, 0, 78, 100), "人民路", 38);
        words(p, QRectF(76, 0, 24, 100), "东", 24);
    });
    // A route number: the plate in the road's colours, a little taller than wide.
    auto addRoute = [&](const char* id, const QColor& ground, const QColor& rim, const QColor& ink,
                        const char* number) {
        add(
            id,
            [=](QPainter& p, const QRectF& r, const QString&) {
                const QRectF s = plate(p, r, 1.0, ground, rim);
                digits(p, s, QString::fromLatin1(number), ink, s.height() * 0.42);
            },
            0.68 / 0.7, small);
    };
    addRoute("guide_national_road", kRed, kWhite, kWhite, "G105");
    addRoute("guide_provincial_road", kYellow, kBlack, kBlack, "S203");
    addRoute("guide_county_road", kWhite, kBlack, kBlack, "X012");
    addBoard("guide_parking", kBlue, 1.0, [](QPainter& p) {
        digits(p, QRectF(0, -6, 100, 80), QStringLiteral("P"), kWhite, 70);
        words(p, QRectF(0, 72, 100, 26), "停车场", 20);
    });
    addBoard("guide_passing_bay", kBlue, 1.0, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kWhite);
        QPolygonF bay({QPointF(30, 100), QPointF(30, 0), QPointF(56, 0), QPointF(56, 30),
                       QPointF(74, 40), QPointF(74, 60), QPointF(56, 70), QPointF(56, 100)});
        p.drawPolygon(bay);
    });
    addBoard("guide_footbridge", kBlue, 1.0, [](QPainter& p) {
        p.setPen(QPen(kWhite, 6, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(
            QPolygonF({QPointF(4, 92), QPointF(26, 92), QPointF(26, 80), QPointF(34, 80),
                       QPointF(34, 68), QPointF(42, 68), QPointF(42, 56), QPointF(96, 56)}));
        walker(p, kWhite, {62, 8}, 0.7);
        p.setPen(QPen(kWhite, 4));
        p.drawLine(QPointF(44, 76), QPointF(96, 76));
    });
    addBoard("guide_underpass", kBlue, 1.0, [](QPainter& p) {
        p.setPen(QPen(kWhite, 6, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(4, 30), QPointF(96, 30));
        p.drawPolyline(
            QPolygonF({QPointF(4, 44), QPointF(30, 44), QPointF(30, 56), QPointF(40, 56),
                       QPointF(40, 68), QPointF(50, 68), QPointF(50, 80), QPointF(96, 80)}));
        walker(p, kWhite, {70, 38}, 0.36);
    });
    addBoard("guide_accessible", kBlue, 1.0, [](QPainter& p) { wheelchair(p, kWhite); });
    addBoard("guide_detour", kBlue, 1.0, [](QPainter& p) {
        p.setPen(QPen(kWhite, 8, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(50, 100), QPointF(50, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawRect(QRectF(36, 40, 28, 14));
        QPainterPath around;
        around.moveTo(50, 86);
        around.lineTo(78, 86);
        around.lineTo(78, 20);
        around.lineTo(60, 20);
        arrow(p, around, 6, kWhite, 6);
        words(p, QRectF(0, 2, 44, 24), "绕行", 16);
    });
    addBoard("guide_dead_end", kBlue, 1.0, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kWhite);
        p.drawRect(QRectF(36, 30, 28, 70));
        p.setBrush(kRed);
        p.drawRect(QRectF(18, 16, 64, 14));
        words(p, QRectF(0, 0, 100, 16), "此路不通", 13);
    });
    addBoard("guide_lanes_increase", kBlue, 1.0, [](QPainter& p) {
        arrow(p, line({{40, 96}, {40, 20}}), 7, kWhite, 7);
        arrow(p, line({{60, 96}, {60, 20}}), 7, kWhite, 7);
        arrow(p, line({{62, 70}, {80, 48}, {80, 20}}), 7, kWhite, 7);
    });
    addBoard("guide_ev_charging", kBlue, 1.0, [](QPainter& p) {
        // A charging post with its cable and plug, and the bolt of electricity.
        p.setPen(Qt::NoPen);
        p.setBrush(kWhite);
        p.drawRoundedRect(QRectF(20, 14, 36, 70), 4, 4);
        p.drawRect(QRectF(14, 84, 48, 6));
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF({QPointF(42, 22), QPointF(28, 48), QPointF(38, 48), QPointF(32, 72),
                                 QPointF(50, 42), QPointF(40, 42), QPointF(46, 22)}));
        p.setPen(QPen(kWhite, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        QPainterPath cable;
        cable.moveTo(56, 36);
        cable.cubicTo(78, 36, 82, 60, 80, 70);
        p.drawPath(cable);
        p.setPen(Qt::NoPen);
        p.setBrush(kWhite);
        p.drawRoundedRect(QRectF(72, 66, 16, 14), 2, 2);
        p.drawRect(QRectF(75, 80, 3, 7));
        p.drawRect(QRectF(82, 80, 3, 7));
    });
    addBoard("guide_tourist_area", kBrown, wide, [](QPainter& p) {
        words(p, QRectF(4, 8, 92, 42), "旅游区", 30);
        words(p, QRectF(4, 54, 60, 36), "南湖公园", 20);
        arrow(p, line({{66, 72}, {94, 72}}), 8, kWhite, 8);
    });
    add(
        "guide_work_zone",
        [](QPainter& p, const QRectF& r, const QString&) {
            // Work-zone boards are black on orange (GB 5768.4), apart from the yellow of
            // the permanent warning signs.
            const QRectF s = plate(p, r, 1.0, kOrange, kBlack);
            Units u(p, s);
            words(p, QRectF(4, 6, 92, 48), "前方施工", 30, Qt::AlignCenter, kBlack);
            digits(p, QRectF(4, 54, 92, 38), QStringLiteral("500 m"), kBlack, 26);
        },
        1 / 0.62);
    addBoard("guide_enforcement", kBlue, 1.0, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kWhite);
        p.drawRoundedRect(QRectF(14, 24, 56, 30), 4, 4);
        p.drawPolygon(
            QPolygonF({QPointF(70, 30), QPointF(88, 22), QPointF(88, 56), QPointF(70, 48)}));
        p.drawRect(QRectF(36, 54, 8, 18));
        words(p, QRectF(0, 74, 100, 26), "交通监控", 18);
    });

    // Expressways.
    add(
        "exp_number",
        [](QPainter& p, const QRectF& r, const QString&) {
            expresswayShield(p, r, QStringLiteral("G4"));
        },
        0.6 / 0.76, small);
    addBoard("exp_entrance_ahead", kGreen, wide, [](QPainter& p) {
        expresswayShield(p, QRectF(4, 8, 34, 40), QStringLiteral("G4"));
        words(p, QRectF(40, 4, 58, 48), "京港澳\n高速", 16);
        words(p, QRectF(4, 58, 50, 36), "入口", 22);
        digits(p, QRectF(50, 58, 48, 36), QStringLiteral("1 km"), kWhite, 20);
    });
    addBoard("exp_entrance", kGreen, wide, [](QPainter& p) {
        expresswayShield(p, QRectF(6, 8, 34, 40), QStringLiteral("G4"));
        words(p, QRectF(44, 8, 54, 40), "入口", 26);
        arrow(p, line({{22, 92}, {70, 68}}), 9, kWhite, 9);
    });
    addBoard("exp_start", kGreen, wide, [](QPainter& p) {
        expresswayShield(p, QRectF(6, 10, 36, 42), QStringLiteral("G4"));
        words(p, QRectF(44, 6, 54, 50), "京港澳\n高速", 16);
        words(p, QRectF(0, 60, 100, 36), "起点", 26);
    });
    addBoard("exp_end_ahead", kGreen, wide, [](QPainter& p) {
        words(p, QRectF(0, 4, 100, 40), "高速公路终点", 19);
        digits(p, QRectF(0, 52, 100, 40), QStringLiteral("2 km"), kWhite, 26);
    });
    addBoard("exp_end", kGreen, wide, [](QPainter& p) {
        words(p, QRectF(0, 4, 100, 44), "高速公路", 22);
        words(p, QRectF(0, 50, 100, 44), "终点", 28);
    });
    addBoard("exp_exit_2km", kGreen, wide, [](QPainter& p) { exitAhead(p, "2 km"); });
    addBoard("exp_exit_1km", kGreen, wide, [](QPainter& p) { exitAhead(p, "1 km"); });
    addBoard("exp_exit_500m", kGreen, wide, [](QPainter& p) { exitAhead(p, "500 m"); });
    addBoard("exp_exit", kGreen, wide, [](QPainter& p) {
        words(p, QRectF(4, 10, 60, 80), "出口", 34);
        arrow(p, line({{66, 84}, {88, 30}}), 9, kWhite, 9);
    });
    addBoard("exp_next_exit", kGreen, wide, [](QPainter& p) {
        words(p, QRectF(0, 4, 100, 40), "下一出口", 24);
        digits(p, QRectF(0, 52, 100, 40), QStringLiteral("12 km"), kWhite, 24);
    });
    addBoard("exp_service_ahead", kGreen, wide, [](QPainter& p) {
        fuelPump(p, QRectF(4, 4, 28, 40), kWhite);
        cutlery(p, QRectF(36, 4, 28, 40), kWhite);
        wrenchCar(p, QRectF(68, 4, 30, 40), kWhite);
        words(p, QRectF(4, 54, 50, 40), "服务区", 20);
        digits(p, QRectF(52, 54, 46, 40), QStringLiteral("2 km"), kWhite, 20);
    });
    addBoard("exp_parking_area", kGreen, wide, [](QPainter& p) {
        digits(p, QRectF(4, 4, 40, 52), QStringLiteral("P"), kWhite, 46);
        words(p, QRectF(44, 4, 54, 52), "停车区", 22);
        digits(p, QRectF(0, 60, 100, 34), QStringLiteral("1 km"), kWhite, 22);
    });
    addBoard("exp_emergency_bay", kGreen, wide, [](QPainter& p) {
        words(p, QRectF(0, 2, 100, 34), "紧急停车带", 20);
        p.setPen(QPen(kWhite, 3));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(10, 90), QPointF(30, 90), QPointF(40, 64),
                                  QPointF(70, 64), QPointF(80, 90), QPointF(94, 90)}));
        p.save();
        p.translate(42, 44);
        p.scale(0.26, 0.26);
        car(p, kWhite);
        p.restore();
    });
    addBoard("exp_climbing_lane", kGreen, wide, [](QPainter& p) {
        words(p, QRectF(0, 4, 100, 36), "爬坡车道", 22);
        p.setPen(Qt::NoPen);
        p.setBrush(kWhite);
        p.drawPolygon(QPolygonF({QPointF(10, 94), QPointF(90, 94), QPointF(90, 52)}));
        p.save();
        p.translate(36, 44);
        p.rotate(-28);
        p.scale(0.28, 0.28);
        truck(p, kWhite);
        p.restore();
    });
    addBoard("exp_fuel", kGreen, 1.0, [](QPainter& p) {
        fuelPump(p, QRectF(14, 4, 72, 70), kWhite);
        words(p, QRectF(0, 74, 100, 24), "加油站", 18);
    });
    addBoard("exp_toll_ahead", kGreen, wide, [](QPainter& p) {
        words(p, QRectF(0, 4, 100, 40), "收费站", 26);
        digits(p, QRectF(0, 52, 100, 40), QStringLiteral("1 km"), kWhite, 24);
    });
    addBoard("exp_toll", kGreen, wide, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kWhite);
        p.drawRect(QRectF(8, 20, 84, 10));
        for (int i = 0; i < 4; ++i) {
            p.drawRect(QRectF(12 + i * 24, 30, 6, 24));
        }
        words(p, QRectF(0, 58, 100, 38), "收费站", 24);
    });
    addBoard("exp_sos_phone", kGreen, 1.0, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kWhite);
        QPainterPath handset;
        handset.moveTo(20, 24);
        handset.cubicTo(30, 6, 70, 6, 80, 24);
        handset.lineTo(68, 34);
        handset.cubicTo(60, 26, 40, 26, 32, 34);
        handset.closeSubpath();
        p.drawPath(handset);
        p.drawRoundedRect(QRectF(26, 38, 48, 30), 4, 4);
        words(p, QRectF(0, 72, 100, 26), "紧急电话", 17);
    });
    addBoard("exp_rescue_phone", kGreen, wide, [](QPainter& p) {
        words(p, QRectF(0, 4, 100, 40), "救援电话", 24);
        digits(p, QRectF(0, 50, 100, 44), QStringLiteral("12122"), kWhite, 30);
    });
    addBoard("exp_distance_check", kGreen, wide, [](QPainter& p) {
        words(p, QRectF(0, 4, 100, 40), "车距确认", 24);
        digits(p, QRectF(0, 50, 100, 44), QStringLiteral("0 m"), kWhite, 30);
    });
    addBoard("exp_distance", kGreen, wide, [](QPainter& p) {
        const char* names[] = {"南湖", "东城", "临江"};
        const char* km[] = {"12 km", "45 km", "108 km"};
        for (int i = 0; i < 3; ++i) {
            words(p, QRectF(6, 4 + i * 32, 50, 28), names[i], 18, Qt::AlignLeft | Qt::AlignVCenter);
            digits(p, QRectF(46, 4 + i * 32, 52, 28), QString::fromLatin1(km[i]), kWhite, 16);
        }
    });
    add(
        "exp_km_post",
        [](QPainter& p, const QRectF& r, const QString&) {
            const QRectF s = plate(p, r, 1.0, kGreen);
            Units u(p, s);
            expresswayShield(p, QRectF(10, 2, 80, 34), QStringLiteral("G4"));
            digits(p, QRectF(0, 42, 100, 54), QStringLiteral("1128"), kWhite, 22);
        },
        0.4 / 0.88);
}

} // namespace signkit
