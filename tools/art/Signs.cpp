#include "tools/art/Signs.h"

#include "tools/art/Paint.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QRegularExpression>
#include <cmath>
#include <functional>
#include <map>

namespace {

const QColor kRed(206, 23, 33);
const QColor kYellow(252, 206, 0);
const QColor kBlue(0, 82, 164);
const QColor kBlack(20, 20, 20);

QFont digitFont(qreal pixel)
{
    QFont f(QStringLiteral("DejaVu Sans Condensed"));
    f.setPixelSize(int(pixel));
    f.setBold(true);
    f.setStretch(QFont::SemiCondensed);
    return f;
}

// White disc with a red ring: the prohibition signs.
void prohibitionRing(QPainter& p, const QRectF& r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawEllipse(r);
    const qreal ring = r.width() * 0.1;
    p.setBrush(Qt::white);
    p.drawEllipse(r.adjusted(ring, ring, -ring, -ring));
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

// Blue disc with a thin white rim: the mandatory signs.
void mandatoryDisc(QPainter& p, const QRectF& r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(r);
    const qreal rim = r.width() * 0.035;
    p.setBrush(kBlue);
    p.drawEllipse(r.adjusted(rim, rim, -rim, -rim));
}

// Yellow triangle with a black border, pointing up: the warning signs. Returns the
// box where the symbol goes.
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

void numberIn(QPainter& p, const QRectF& r, const QString& number, const QColor& color, qreal scale)
{
    p.setPen(color);
    p.setFont(digitFont(r.height() * scale));
    p.drawText(r, Qt::AlignCenter, number);
}

using Drawer = std::function<void(QPainter&, const QRectF&, const QString& arg)>;

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

void noParking(QPainter& p, const QRectF& r, const QString&)
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
    p.drawLine(inner.center() + QPointF(d, -d), inner.center() + QPointF(-d, d));
    p.restore();
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

struct SignKind
{
    Drawer draw;
    bool numbered;
};

const std::map<QString, SignKind>& kinds()
{
    static const std::map<QString, SignKind> table = {
        {QStringLiteral("stop"), {stop, false}},
        {QStringLiteral("yield"), {yield, false}},
        {QStringLiteral("no_entry"), {noEntry, false}},
        {QStringLiteral("no_honking"), {noHonking, false}},
        {QStringLiteral("no_parking"), {noParking, false}},
        {QStringLiteral("speed_limit"), {speedLimit, true}},
        {QStringLiteral("min_speed"), {minimumSpeed, true}},
        {QStringLiteral("warn_crossroads"), {crossroads, false}},
        {QStringLiteral("warn_children"), {children, false}},
        {QStringLiteral("straight_only"), {straightOnly, false}},
    };
    return table;
}

// "sign/speed_limit_40" -> kind "speed_limit", argument "40".
bool splitName(const QString& name, const SignKind** kind, QString* arg)
{
    if (!name.startsWith(QLatin1String("sign/"))) {
        return false;
    }
    const QString id = name.mid(5);
    const auto& table = kinds();
    const auto exact = table.find(id);
    if (exact != table.end() && !exact->second.numbered) {
        *kind = &exact->second;
        arg->clear();
        return true;
    }
    static const QRegularExpression numbered(QStringLiteral("^(.+)_(\\d{1,3})$"));
    const auto m = numbered.match(id);
    if (m.hasMatch()) {
        const auto it = table.find(m.captured(1));
        if (it != table.end() && it->second.numbered) {
            *kind = &it->second;
            *arg = m.captured(2);
            return true;
        }
    }
    return false;
}

} // namespace

bool isKnownSign(const QString& name)
{
    const SignKind* kind = nullptr;
    QString arg;
    return splitName(name, &kind, &arg);
}

QImage drawSign(const QString& name, int size, const QColor& background)
{
    const SignKind* kind = nullptr;
    QString arg;
    if (!splitName(name, &kind, &arg) || size < 8) {
        return QImage();
    }
    QImage image(size, size,
                 background.alpha() < 255 ? QImage::Format_ARGB32_Premultiplied
                                          : QImage::Format_RGB32);
    image.fill(background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal margin = size * 0.04;
    kind->draw(p, QRectF(margin, margin, size - 2 * margin, size - 2 * margin), arg);
    return image;
}

QStringList signNames()
{
    QStringList names;
    for (const auto& [id, kind] : kinds()) {
        if (kind.numbered) {
            for (const char* n : {"40", "60"}) {
                names << QStringLiteral("sign/%1_%2").arg(id, QLatin1String(n));
            }
        } else {
            names << QStringLiteral("sign/") + id;
        }
    }
    return names;
}
