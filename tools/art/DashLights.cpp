#include "tools/art/DashLights.h"

#include "tools/art/SignKit.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <functional>
#include <map>

using signkit::Units;

namespace {

const QColor kRed(236, 46, 40);
const QColor kAmber(255, 172, 0);
const QColor kGreen(46, 214, 86);
const QColor kBlue(52, 124, 255);

// Symbols are drawn in the 100 x 100 unit box with the lamp's colour.
using Symbol = std::function<void(QPainter&, const QColor&)>;

struct Lamp
{
    QColor color;
    Symbol draw;
};

QPen stroke(const QColor& c, qreal width)
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void solid(QPainter& p, const QColor& c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
}

void outline(QPainter& p, const QColor& c, qreal width)
{
    p.setPen(stroke(c, width));
    p.setBrush(Qt::NoBrush);
}

// The ring and brackets shared by the brake lamps: "( ○ )".
void bracketedRing(QPainter& p, const QColor& c)
{
    outline(p, c, 6);
    p.drawEllipse(QPointF(50, 50), 25, 25);
    const QRectF outer(50 - 38, 50 - 38, 76, 76);
    p.drawArc(outer, 140 * 16, 80 * 16);
    p.drawArc(outer, -40 * 16, 80 * 16);
}

void exclamation(QPainter& p, const QColor& c, const QPointF& at, qreal height)
{
    p.setPen(stroke(c, height * 0.2));
    p.drawLine(at + QPointF(0, -height * 0.5), at + QPointF(0, height * 0.18));
    solid(p, c);
    p.drawEllipse(at + QPointF(0, height * 0.46), height * 0.11, height * 0.11);
}

void letters(QPainter& p, const QRectF& box, const QString& s, const QColor& c, qreal pixel)
{
    signkit::text(p, box, s, c, pixel, true);
}

// The pair of turn-indicator arrows, each lit or dark: one lit shows a turn, both lit
// show the hazard warning.
Symbol turnArrows(bool leftLit, bool rightLit)
{
    return [leftLit, rightLit](QPainter& p, const QColor& c) {
        for (bool right : {false, true}) {
            signkit::Mirror m(p, right);
            solid(p, (right ? rightLit : leftLit) ? c : QColor(48, 54, 62));
            QPolygonF arrow;
            arrow << QPointF(4, 50) << QPointF(24, 30) << QPointF(24, 42) << QPointF(42, 42)
                  << QPointF(42, 58) << QPointF(24, 58) << QPointF(24, 70);
            p.drawPolygon(arrow);
        }
    };
}

// A headlamp seen from the side: the dome towards +x, the glass flat at x = flat.
QPainterPath lampDome(qreal flat, qreal top, qreal bottom, qreal bulge)
{
    QPainterPath path;
    path.moveTo(flat, top);
    path.cubicTo(flat + bulge, top, flat + bulge, bottom, flat, bottom);
    path.closeSubpath();
    return path;
}

// A person seated facing right, as the seat belt and airbag lamps show.
void seatedPerson(QPainter& p, const QColor& c)
{
    solid(p, c);
    p.drawEllipse(QPointF(42, 17), 10, 10);
    p.setPen(stroke(c, 17));
    p.drawLine(QPointF(40, 36), QPointF(38, 60));
    p.setPen(stroke(c, 13));
    p.drawLine(QPointF(38, 64), QPointF(64, 64));
    p.drawLine(QPointF(66, 66), QPointF(70, 88));
    p.setPen(stroke(c, 8));
    p.drawLine(QPointF(44, 40), QPointF(58, 52));
    p.drawLine(QPointF(58, 52), QPointF(68, 46));
    // The seat behind.
    p.setPen(stroke(c, 4.5));
    p.drawLine(QPointF(22, 24), QPointF(20, 74));
    p.drawLine(QPointF(20, 74), QPointF(52, 78));
}

const std::map<QString, Lamp>& lamps()
{
    static const std::map<QString, Lamp> all = {
        {QStringLiteral("oil_pressure"),
         {kRed,
          [](QPainter& p, const QColor& c) {
              QPainterPath can;
              can.moveTo(20, 50);
              can.lineTo(64, 50);
              can.lineTo(86, 38);
              can.lineTo(88, 42);
              can.lineTo(70, 70);
              can.lineTo(20, 70);
              can.closeSubpath();
              solid(p, c);
              p.drawPath(can);
              p.drawRect(QRectF(34, 42, 10, 8));
              p.drawRect(QRectF(30, 38, 18, 5));
              outline(p, c, 5);
              p.drawRoundedRect(QRectF(6, 48, 14, 16), 4, 4);
              solid(p, c);
              QPainterPath drop;
              drop.moveTo(88, 52);
              drop.cubicTo(92, 60, 94, 64, 88, 68);
              drop.cubicTo(82, 64, 84, 60, 88, 52);
              p.drawPath(drop);
          }}},
        {QStringLiteral("coolant_temp"),
         {kRed,
          [](QPainter& p, const QColor& c) {
              p.setPen(stroke(c, 8));
              p.drawLine(QPointF(50, 12), QPointF(50, 56));
              solid(p, c);
              p.drawEllipse(QPointF(50, 62), 10, 10);
              p.setPen(stroke(c, 4));
              for (qreal y : {20.0, 30.0, 40.0}) {
                  p.drawLine(QPointF(56, y), QPointF(68, y));
              }
              p.setBrush(Qt::NoBrush);
              for (qreal y : {80.0, 92.0}) {
                  QPainterPath wave;
                  wave.moveTo(14, y);
                  for (int i = 0; i < 4; ++i) {
                      const qreal x = 14 + i * 18;
                      wave.cubicTo(x + 6, y - 6, x + 12, y + 6, x + 18, y);
                  }
                  p.drawPath(wave);
              }
          }}},
        {QStringLiteral("charging"),
         {kRed,
          [](QPainter& p, const QColor& c) {
              outline(p, c, 6);
              p.drawRoundedRect(QRectF(14, 34, 72, 44), 3, 3);
              solid(p, c);
              p.drawRect(QRectF(24, 24, 14, 10));
              p.drawRect(QRectF(62, 24, 14, 10));
              p.setPen(stroke(c, 6));
              p.drawLine(QPointF(24, 55), QPointF(38, 55));
              p.drawLine(QPointF(62, 55), QPointF(76, 55));
              p.drawLine(QPointF(69, 48), QPointF(69, 62));
          }}},
        {QStringLiteral("brake_system"),
         {kRed,
          [](QPainter& p, const QColor& c) {
              bracketedRing(p, c);
              exclamation(p, c, QPointF(50, 50), 34);
          }}},
        {QStringLiteral("abs"),
         {kAmber,
          [](QPainter& p, const QColor& c) {
              bracketedRing(p, c);
              letters(p, QRectF(26, 36, 48, 28), QStringLiteral("ABS"), c, 19);
          }}},
        {QStringLiteral("parking_brake"),
         {kRed,
          [](QPainter& p, const QColor& c) {
              bracketedRing(p, c);
              letters(p, QRectF(30, 30, 40, 40), QStringLiteral("P"), c, 34);
          }}},
        {QStringLiteral("seatbelt"),
         {kRed,
          [](QPainter& p, const QColor& c) {
              seatedPerson(p, c);
              // The belt from the shoulder across the chest to the buckle at the hip.
              p.setPen(QPen(QColor(12, 14, 18), 10, Qt::SolidLine, Qt::FlatCap));
              p.drawLine(QPointF(56, 28), QPointF(28, 66));
              p.setPen(QPen(c, 4.5, Qt::SolidLine, Qt::FlatCap));
              p.drawLine(QPointF(56, 28), QPointF(28, 66));
              solid(p, c);
              p.drawRect(QRectF(22, 62, 11, 9));
          }}},
        {QStringLiteral("airbag"),
         {kRed,
          [](QPainter& p, const QColor& c) {
              seatedPerson(p, c);
              solid(p, c);
              p.drawEllipse(QPointF(78, 28), 16, 16);
          }}},
        {QStringLiteral("engine"),
         {kAmber,
          [](QPainter& p, const QColor& c) {
              QPainterPath block;
              block.moveTo(26, 36);
              block.lineTo(38, 36);
              block.lineTo(38, 28);
              block.lineTo(62, 28);
              block.lineTo(62, 36);
              block.lineTo(72, 36);
              block.lineTo(78, 44);
              block.lineTo(86, 44);
              block.lineTo(86, 38);
              block.lineTo(92, 38);
              block.lineTo(92, 68);
              block.lineTo(86, 68);
              block.lineTo(86, 62);
              block.lineTo(78, 62);
              block.lineTo(70, 74);
              block.lineTo(34, 74);
              block.lineTo(26, 64);
              block.lineTo(18, 64);
              block.lineTo(18, 72);
              block.lineTo(10, 72);
              block.lineTo(10, 44);
              block.lineTo(18, 44);
              block.lineTo(18, 52);
              block.lineTo(26, 52);
              block.closeSubpath();
              outline(p, c, 5.5);
              p.drawPath(block);
              p.drawLine(QPointF(44, 22), QPointF(56, 22));
          }}},
        {QStringLiteral("fuel"),
         {kAmber,
          [](QPainter& p, const QColor& c) {
              outline(p, c, 6);
              p.drawRoundedRect(QRectF(22, 18, 36, 64), 4, 4);
              solid(p, c);
              p.drawRect(QRectF(28, 24, 24, 18));
              p.drawRect(QRectF(14, 80, 52, 7));
              p.setPen(stroke(c, 5));
              p.setBrush(Qt::NoBrush);
              QPainterPath hose;
              hose.moveTo(58, 30);
              hose.lineTo(70, 30);
              hose.lineTo(78, 40);
              hose.lineTo(78, 66);
              hose.cubicTo(78, 74, 68, 74, 68, 66);
              hose.lineTo(68, 54);
              hose.lineTo(58, 54);
              p.drawPath(hose);
          }}},
        {QStringLiteral("door_open"),
         {kRed,
          [](QPainter& p, const QColor& c) {
              // A car from above with its front doors open.
              outline(p, c, 5);
              p.drawRoundedRect(QRectF(36, 10, 28, 80), 10, 10);
              p.drawLine(QPointF(40, 30), QPointF(60, 30));
              p.drawLine(QPointF(40, 72), QPointF(60, 72));
              p.setPen(stroke(c, 6));
              p.drawLine(QPointF(36, 38), QPointF(16, 52));
              p.drawLine(QPointF(64, 38), QPointF(84, 52));
              p.drawLine(QPointF(36, 56), QPointF(18, 70));
              p.drawLine(QPointF(64, 56), QPointF(82, 70));
          }}},
        {QStringLiteral("high_beam"),
         {kBlue,
          [](QPainter& p, const QColor& c) {
              solid(p, c);
              p.drawPath(lampDome(50, 24, 76, 44));
              p.setPen(stroke(c, 6));
              for (qreal y : {28.0, 40.0, 52.0, 64.0, 74.0}) {
                  p.drawLine(QPointF(12, y), QPointF(40, y));
              }
          }}},
        {QStringLiteral("low_beam"),
         {kGreen,
          [](QPainter& p, const QColor& c) {
              solid(p, c);
              p.drawPath(lampDome(50, 24, 76, 44));
              p.setPen(stroke(c, 6));
              for (qreal y : {26.0, 38.0, 50.0, 62.0, 74.0}) {
                  p.drawLine(QPointF(40, y), QPointF(14, y + 10));
              }
          }}},
        {QStringLiteral("front_fog"),
         {kGreen,
          [](QPainter& p, const QColor& c) {
              solid(p, c);
              p.drawPath(lampDome(54, 24, 76, 40));
              p.setPen(stroke(c, 5.5));
              for (qreal y : {30.0, 50.0, 70.0}) {
                  p.drawLine(QPointF(44, y), QPointF(10, y + 8));
              }
              QPainterPath wave;
              wave.moveTo(28, 16);
              wave.cubicTo(38, 30, 18, 42, 28, 54);
              wave.cubicTo(38, 66, 18, 78, 28, 90);
              p.setBrush(Qt::NoBrush);
              p.drawPath(wave);
          }}},
        {QStringLiteral("rear_fog"),
         {kAmber,
          [](QPainter& p, const QColor& c) {
              {
                  signkit::Mirror m(p);
                  solid(p, c);
                  p.drawPath(lampDome(54, 24, 76, 40));
              }
              p.setPen(stroke(c, 5.5));
              for (qreal y : {32.0, 50.0, 68.0}) {
                  p.drawLine(QPointF(56, y), QPointF(90, y));
              }
              QPainterPath wave;
              wave.moveTo(72, 16);
              wave.cubicTo(82, 30, 62, 42, 72, 54);
              wave.cubicTo(82, 66, 62, 78, 72, 90);
              p.setBrush(Qt::NoBrush);
              p.drawPath(wave);
          }}},
        {QStringLiteral("position_lamps"),
         {kGreen,
          [](QPainter& p, const QColor& c) {
              for (bool mirrored : {false, true}) {
                  signkit::Mirror m(p, mirrored);
                  solid(p, c);
                  // The dome towards the middle, the rays out from the glass.
                  p.drawPath(lampDome(30, 34, 66, 24));
                  p.setPen(stroke(c, 5));
                  for (qreal y : {36.0, 50.0, 64.0}) {
                      p.drawLine(QPointF(22, y), QPointF(8, y));
                  }
              }
          }}},
        {QStringLiteral("turn_signals"), {kGreen, turnArrows(true, true)}},
        {QStringLiteral("turn_left"), {kGreen, turnArrows(true, false)}},
        {QStringLiteral("turn_right"), {kGreen, turnArrows(false, true)}},
        {QStringLiteral("hazard"),
         {kRed,
          [](QPainter& p, const QColor& c) {
              QPolygonF outer;
              outer << QPointF(50, 14) << QPointF(90, 82) << QPointF(10, 82);
              outline(p, c, 7);
              p.drawPolygon(outer);
              QPolygonF inner;
              inner << QPointF(50, 40) << QPointF(68, 71) << QPointF(32, 71);
              p.setPen(stroke(c, 5));
              p.drawPolygon(inner);
          }}},
        {QStringLiteral("tyre_pressure"),
         {kAmber,
          [](QPainter& p, const QColor& c) {
              QPainterPath tyre;
              tyre.moveTo(22, 24);
              tyre.cubicTo(14, 40, 14, 60, 24, 72);
              tyre.lineTo(76, 72);
              tyre.cubicTo(86, 60, 86, 40, 78, 24);
              outline(p, c, 6);
              p.drawPath(tyre);
              p.setPen(stroke(c, 5));
              for (qreal x : {30.0, 43.0, 57.0, 70.0}) {
                  p.drawLine(QPointF(x, 78), QPointF(x, 86));
              }
              exclamation(p, c, QPointF(50, 46), 34);
          }}},
        {QStringLiteral("stability_control"),
         {kAmber,
          [](QPainter& p, const QColor& c) {
              solid(p, c);
              QPainterPath body;
              body.moveTo(18, 48);
              body.lineTo(28, 28);
              body.lineTo(72, 28);
              body.lineTo(82, 48);
              body.lineTo(86, 50);
              body.lineTo(86, 62);
              body.lineTo(14, 62);
              body.lineTo(14, 50);
              body.closeSubpath();
              p.drawPath(body);
              p.setBrush(QColor(12, 14, 18));
              p.drawRect(QRectF(32, 33, 36, 12));
              p.setBrush(c);
              p.drawRect(QRectF(18, 62, 12, 8));
              p.drawRect(QRectF(70, 62, 12, 8));
              p.setPen(stroke(c, 5));
              p.setBrush(Qt::NoBrush);
              for (qreal x : {28.0, 64.0}) {
                  QPainterPath skid;
                  skid.moveTo(x, 76);
                  skid.cubicTo(x + 12, 80, x - 4, 88, x + 8, 94);
                  p.drawPath(skid);
              }
          }}},
        {QStringLiteral("washer_fluid"),
         {kAmber,
          [](QPainter& p, const QColor& c) {
              QPainterPath screen;
              screen.moveTo(12, 78);
              screen.cubicTo(20, 34, 80, 34, 88, 78);
              screen.closeSubpath();
              outline(p, c, 5.5);
              p.drawPath(screen);
              // The spray from the nozzle under the screen.
              p.setPen(QPen(c, 4.5, Qt::DotLine, Qt::RoundCap));
              QPainterPath left;
              left.moveTo(48, 80);
              left.cubicTo(44, 50, 34, 46, 26, 56);
              QPainterPath right;
              right.moveTo(52, 80);
              right.cubicTo(56, 50, 66, 46, 74, 56);
              p.drawPath(left);
              p.drawPath(right);
              solid(p, c);
              p.drawRect(QRectF(44, 84, 12, 8));
          }}},
        {QStringLiteral("power_steering"),
         {kAmber,
          [](QPainter& p, const QColor& c) {
              outline(p, c, 6);
              p.drawEllipse(QPointF(40, 50), 28, 28);
              p.drawEllipse(QPointF(40, 50), 9, 9);
              p.drawLine(QPointF(13, 48), QPointF(31, 48));
              p.drawLine(QPointF(49, 48), QPointF(67, 48));
              p.drawLine(QPointF(40, 59), QPointF(40, 77));
              exclamation(p, c, QPointF(84, 50), 38);
          }}},
    };
    return all;
}

QString idOf(const QString& name)
{
    return name.startsWith(QLatin1String("dash/")) ? name.mid(5) : QString();
}

void panel(QPainter& p, const QRectF& r)
{
    QLinearGradient ground(r.topLeft(), r.bottomLeft());
    ground.setColorAt(0, QColor(34, 38, 44));
    ground.setColorAt(1, QColor(12, 14, 18));
    p.fillRect(r, ground);
    // The rim of the instrument cluster.
    p.setPen(QPen(QColor(72, 78, 88), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(5, 5, -5, -5), 18, 18);
    p.setPen(QPen(QColor(8, 9, 11), 2));
    p.drawRoundedRect(r.adjusted(9, 9, -9, -9), 15, 15);
}

} // namespace

bool isKnownDashLight(const QString& name)
{
    return lamps().count(idOf(name)) > 0;
}

QStringList dashLightNames()
{
    QStringList names;
    for (const auto& [id, lamp] : lamps()) {
        names << QStringLiteral("dash/") + id;
    }
    return names;
}

QImage drawDashLight(const QString& name)
{
    const auto it = lamps().find(idOf(name));
    if (it == lamps().end()) {
        return QImage();
    }
    QImage image(200, 150, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    panel(p, image.rect());
    const QRectF box(100 - 54, 75 - 54, 108, 108);
    // A lit lamp glows a little around its symbol.
    QRadialGradient glow(box.center(), 62);
    QColor halo = it->second.color;
    halo.setAlpha(60);
    glow.setColorAt(0, halo);
    halo.setAlpha(0);
    glow.setColorAt(1, halo);
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(box.center(), 62, 62);
    Units units(p, box);
    it->second.draw(p, it->second.color);
    return image;
}
