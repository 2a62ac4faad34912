#pragma once

// The pieces the scene views share: the parsed description, vehicles, people, signal
// heads, arrows, signs on posts and the weather. Only the scene kit includes this.
#include "tools/art/SceneKit.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QStringList>
#include <functional>
#include <vector>

namespace scene {

struct Line
{
    QString key;
    QStringList args;
    int number = 0;
};

struct Description
{
    QString name;
    QString file;
    int number = 0;
    std::vector<Line> lines;
};

// Collects the faults of one description, each with its file and line.
class Faults
{
public:
    Faults(const Description& description, QStringList* out)
        : m_description(description)
        , m_out(out)
    {}
    void add(const Line& line, const QString& what);
    void add(const QString& what);
    bool any() const { return m_count > 0; }

private:
    const Description& m_description;
    QStringList* m_out;
    int m_count = 0;
};

// Numbers of a line, with a fault when one is not a number.
bool number(const Line& line, int index, qreal* value, Faults& faults);

enum class Kind
{
    Car,
    Suv,
    Truck,
    Bus,
    SchoolBus,
    Police,
    Ambulance,
    Fire,
    Tractor,
    Moto,
    Bike,
    EBike
};

struct Look
{
    Kind kind = Kind::Car;
    QColor body;
    bool ego = false;
    bool blinkLeft = false;
    bool blinkRight = false;
    bool brake = false;
    bool siren = false;
    bool open = false;
    bool oncoming = false; // through the windscreen: seen from the front wherever it is
    int beam = 0;          // 0 none, 1 low, 2 high
    QString label;
    QString move;  // left, straight, right, uturn or empty
    QString burst; // the tyre that burst: front-left, front-right, rear-left, rear-right
    bool smoke = false;
    bool fire = false;
};

// The height, in the picture, below which what must be read is not.
constexpr qreal kReadable = 8;
// Notes an item to read while sceneReadables draws a scene; swapping in null stops the notes
// (for a pass that only measures) and gives back where they went.
void noteReadable(const QString& what, int line, qreal height);
QList<SceneReadable>* swapReadables(QList<SceneReadable>* to);
// A sign face's height when drawn size pixels square (a wide sign is lower than that).
qreal signFaceHeight(const QString& name, qreal size);

bool kindNamed(const QString& word, Kind* kind);
// Reads the options after the place; a fault for each word it does not know.
Look lookOf(Kind kind, const QStringList& options, const Line& line, Faults& faults);

// Length (along the heading) and width of a vehicle seen from above.
QSizeF topSize(Kind kind);

// Lamps and beams are drawn after the weather, so that they shine at night.
using Lights = std::vector<std::function<void(QPainter&)>>;

void drawTopVehicle(QPainter& p, QPointF centre, qreal heading, const Look& look, Lights& lights,
                    bool dark);
// Seen from behind (or, for oncoming traffic, from the front), standing on the road at
// base with the given scale (1 at the bonnet).
void drawAheadVehicle(QPainter& p, QPointF base, qreal scale, const Look& look, bool front,
                      Lights& lights, bool dark);
// A person standing with their feet at feet, height pixels tall.
void drawPerson(QPainter& p, QPointF feet, qreal height, const QString& kind);
// How tall drawPerson draws one of the kind for the given height (a child is smaller).
qreal personTall(qreal height, const QString& kind);
bool personKind(const QString& word);
// A child's ball of coloured segments.
void drawBall(QPainter& p, QPointF centre, qreal radius);

// Signal heads side by side from topLeft; returns their width. Faults for unknown lamps.
bool signalToken(const QString& token);
qreal drawSignalHeads(QPainter& p, QPointF topLeft, qreal lamp, const QStringList& tokens);

void drawArrow(QPainter& p, const QPainterPath& path, const QColor& color, qreal width = 3);
QColor arrowColor(const QString& word, bool* ok);

// A sign of the catalogue on its post, the face centred at centre.
bool drawSignOnPost(QPainter& p, const QString& name, QPointF centre, qreal size, qreal post);
void drawTag(QPainter& p, QPointF centre, const QString& text);
void drawCaption(QPainter& p, QPointF at, const QString& text, const QColor& color);

// The named colours of the descriptions.
QColor bodyColor(const QString& word, bool* ok);

struct Weather
{
    bool rain = false;
    bool snow = false;
    bool fog = false;
    bool night = false;
    bool dusk = false;
    bool ice = false;
    bool snowLying = false; // on the road itself, worn into tracks
    qreal visibility = 0;   // metres one sees in the fog, rain or snow; 0 as the weather has it
    bool dark() const { return night || dusk; }
};
// Veils the picture for the weather; horizon < 0 for a view from above.
void drawWeather(QPainter& p, const QRectF& area, const Weather& w, qreal horizon);

// The zoom a view from above is drawn with, once its items are placed.
qreal topZoom(const Description& description);
// Where a position of the description stands in the picture.
using Place = std::function<QPointF(QPointF)>;
// Gives the view's framing to captions when asked.
void drawTopView(QPainter& p, const Description& description, const Weather& weather,
                 Lights& lights, Faults& faults, Place* captions = nullptr);
void drawDriverView(QPainter& p, const Description& description, const Weather& weather,
                    Lights& lights, Faults& faults);

} // namespace scene
