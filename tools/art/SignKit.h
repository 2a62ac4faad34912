#pragma once

// The parts the sign and marking drawings are made of: the colours and shapes of the
// national standard, a 100 x 100 unit box for symbols, arrows and small pictograms.
#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>

namespace signkit {

inline const QColor kRed(206, 23, 33);
inline const QColor kYellow(252, 206, 0);
inline const QColor kBlue(0, 82, 164);
inline const QColor kGreen(0, 122, 74);
inline const QColor kBrown(128, 70, 32);
inline const QColor kOrange(240, 120, 20);
inline const QColor kBlack(20, 20, 20);
inline const QColor kWhite(255, 255, 255);
inline const QColor kAsphalt(88, 92, 98);
inline const QColor kLineYellow(246, 190, 0);

// The width of a small sign's picture on the sign pages.
constexpr int kSignPage = 64;
// Width over height of an equilateral triangle standing on a side or on its point.
constexpr qreal kTriangle = 1.1547005383792515;

// Draws one sign filling r, a rectangle of the sign's own proportions; arg is the number
// of a numbered sign ("40").
using Drawer = std::function<void(QPainter&, const QRectF& r, const QString& arg)>;

struct SignKind
{
    Drawer draw;
    bool numbered = false;
    QStringList variants;     // the numbers drawn for the pages, for a numbered sign
    int pageSize = kSignPage; // the longer side of the picture on the sign pages
    qreal aspect = 1;         // width over height of the sign's outline
};
using KindTable = std::map<QString, SignKind>;

void addWarningSigns(KindTable& table);
void addRegulatorySigns(KindTable& table);
void addGuideSigns(KindTable& table);
void addMarkings(KindTable& table);

// Maps the 100 x 100 unit box onto a rectangle of the painter for its lifetime.
class Units
{
public:
    Units(QPainter& p, const QRectF& box);
    ~Units();
    Units(const Units&) = delete;
    Units& operator=(const Units&) = delete;

private:
    QPainter& m_p;
};

// Mirrors the unit box left to right for its lifetime (inside a Units).
class Mirror
{
public:
    explicit Mirror(QPainter& p, bool on = true);
    ~Mirror();
    Mirror(const Mirror&) = delete;
    Mirror& operator=(const Mirror&) = delete;

private:
    QPainter& m_p;
    bool m_on;
};

// Shapes; each returns the box its symbol goes in.
QRectF warningTriangle(QPainter& p, const QRectF& r);
QRectF prohibitionRing(QPainter& p, const QRectF& r);
void prohibitionSlash(QPainter& p, const QRectF& r);
QRectF mandatoryDisc(QPainter& p, const QRectF& r);
// A rounded rectangle of the given height ratio, centred in r, with a white rim: the
// whole of r for a ratio of 1.
QRectF plate(QPainter& p, const QRectF& r, qreal heightRatio, const QColor& fill,
             const QColor& rim = kWhite);

// A shaft along path with a head at its end, all in the current units.
void arrow(QPainter& p, const QPainterPath& shaft, qreal width, const QColor& color,
           qreal head = 0);
QPainterPath line(std::initializer_list<QPointF> points);

// Text fitted into a box (units or pixels, whatever the painter uses).
void text(QPainter& p, const QRectF& box, const QString& s, const QColor& color, qreal pixel,
          bool bold = true, int flags = Qt::AlignCenter);
void digits(QPainter& p, const QRectF& box, const QString& s, const QColor& color, qreal pixel);

// Pictograms in the unit box, facing right unless mirrored.
void car(QPainter& p, const QColor& c);
void truck(QPainter& p, const QColor& c);
void bus(QPainter& p, const QColor& c);
void motorcycle(QPainter& p, const QColor& c);
void bicycle(QPainter& p, const QColor& c);
// A step-through frame with the battery under the seat: what tells it from a bicycle.
void electricBicycle(QPainter& p, const QColor& c);
void tractor(QPainter& p, const QColor& c);
void tricycle(QPainter& p, const QColor& c);
void trailerTruck(QPainter& p, const QColor& c);
void animalCart(QPainter& p, const QColor& c);
void cow(QPainter& p, const QColor& c);
void deer(QPainter& p, const QColor& c);
void walker(QPainter& p, const QColor& c, const QPointF& at = {50, 14}, qreal scale = 1);
void wheelchair(QPainter& p, const QColor& c);
void trafficLights(QPainter& p);
void horn(QPainter& p, const QColor& c);

// Directions from the bottom of the unit box: used by the turn signs and the lane signs.
QPainterPath straightShaft();
QPainterPath leftShaft();
QPainterPath uTurnShaft();

} // namespace signkit
