#include "tools/art/HandSignals.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <vector>

namespace {

// A point or direction of the officer's body: x to his left, y up, z to his front. The
// unit is one hundredth of his height.
struct Vec
{
    double x = 0, y = 0, z = 0;
};

Vec operator+(const Vec& a, const Vec& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vec operator*(const Vec& a, double s)
{
    return {a.x * s, a.y * s, a.z * s};
}

// An arm held straight: its azimuth from the officer's front towards his left and its
// elevation above the horizontal, in degrees.
struct Arm
{
    double azimuth = 0;
    double elevation = 0;

    Vec direction() const
    {
        const double a = azimuth * M_PI / 180;
        const double e = elevation * M_PI / 180;
        return {std::cos(e) * std::sin(a), std::sin(e), std::cos(e) * std::cos(a)};
    }
};

const Arm kLeftHanging{95, -78};
const Arm kRightHanging{-95, -78};

// The moving arm sweeps from one direction to another; the arrow follows its hand.
struct Swing
{
    bool leftArm = false;
    Arm from;
    Arm to;
    // Keeps the arrow clear of the arm: a level swing is shown below it.
    double below = 0;
};

struct Signal
{
    Arm left;
    Arm right;
    std::vector<Swing> swings;
    // The officer turns this far to the picture's right (negative: to its left), chosen
    // for each signal so that no arm points straight at the viewer.
    double yaw = 0;
    // The height of the viewpoint: looking down more parts the arms held forward from
    // those held level to one side.
    double pitch = 14;
};

// The positions follow the wording of the signals: "前上方直伸" is forward and up at
// about 45 degrees, "平伸" horizontal, "右前方" halfway between front and right. Where
// the arm raised forward would hide the face, it leans a little outwards.
const std::map<QString, Signal>& signalTable()
{
    static const std::map<QString, Signal> all = {
        {QStringLiteral("stop"), {{8, 46}, kRightHanging, {}, 28}},
        {QStringLiteral("straight"), {{90, 0}, {-90, 0}, {{false, {-90, 0}, {-20, 0}, 9}}, 28}},
        {QStringLiteral("left_turn"), {{-45, 0}, {0, 0}, {{true, {10, 0}, {-45, 0}, 10}}, -24, 32}},
        {QStringLiteral("left_turn_wait"),
         {{90, -45}, kRightHanging, {{true, {90, -45}, {90, -75}}}, -28}},
        {QStringLiteral("right_turn"), {{0, 0}, {45, 0}, {{false, {-10, 0}, {45, 0}, 10}}, 24, 32}},
        {QStringLiteral("lane_change"), {kLeftHanging, {0, 0}, {{false, {0, 0}, {45, 0}, 9}}, -28}},
        {QStringLiteral("slow_down"),
         {kLeftHanging, {-45, 0}, {{false, {-45, 0}, {-45, -40}}}, -28}},
        {QStringLiteral("pull_over"), {{30, 50}, {0, -30}, {{false, {0, -30}, {45, -30}, 9}}, -28}},
    };
    return all;
}

// Seen from the front, a little to one side and from a little above: a forward arm
// points to that side of the picture and slightly down, a sideways arm stays level.
class Camera
{
public:
    Camera(QPointF feet, double scale, double yaw, double pitch)
        : m_feet(feet)
        , m_scale(scale)
        , m_sinYaw(std::sin(yaw * M_PI / 180))
        , m_cosYaw(std::cos(yaw * M_PI / 180))
        , m_sinPitch(std::sin(pitch * M_PI / 180))
        , m_cosPitch(std::cos(pitch * M_PI / 180))
    {}

    QPointF screen(const Vec& p) const
    {
        const double vx = p.x * m_cosYaw + p.z * m_sinYaw;
        const double vz = -p.x * m_sinYaw + p.z * m_cosYaw;
        const double sy = p.y * m_cosPitch - vz * m_sinPitch;
        return {m_feet.x() + vx * m_scale, m_feet.y() - sy * m_scale};
    }

    // Larger is nearer the viewer.
    double depth(const Vec& p) const
    {
        const double vz = -p.x * m_sinYaw + p.z * m_cosYaw;
        return vz * m_cosPitch + p.y * m_sinPitch;
    }

    double scale() const { return m_scale; }

private:
    QPointF m_feet;
    double m_scale;
    double m_sinYaw;
    double m_cosYaw;
    double m_sinPitch;
    double m_cosPitch;
};

const QColor kUniform(36, 52, 92);
const QColor kTrousers(28, 38, 66);
const QColor kVest(205, 232, 40);
const QColor kStripe(222, 226, 230);
const QColor kSkin(242, 201, 160);
const QColor kGlove(255, 255, 255);
const QColor kOutline(30, 34, 44);
const QColor kArrow(224, 32, 32);

constexpr double kShoulderY = 80;
constexpr double kShoulderX = 11.5;
constexpr double kArmLength = 33;

Vec shoulder(bool left)
{
    return {left ? kShoulderX : -kShoulderX, kShoulderY, 0};
}

// A limb: an outlined thick line with round ends.
void limb(QPainter& p, const QPointF& a, const QPointF& b, double width, const QColor& c)
{
    p.setPen(QPen(kOutline, width + 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
}

void glove(QPainter& p, const QPointF& at, const QPointF& along, double radius)
{
    const double angle = std::atan2(along.y(), along.x()) * 180 / M_PI;
    p.save();
    p.translate(at);
    p.rotate(angle);
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(kGlove);
    p.drawEllipse(QPointF(radius * 0.25, 0), radius * 1.25, radius);
    p.restore();
}

struct Part
{
    double depth;
    std::function<void(QPainter&)> draw;
};

// One piece of a sleeve: the cloth overlaps its neighbours a little and only its sides
// are outlined, so the pieces join without seams.
void armPiece(QPainter& p, const QPointF& a, const QPointF& b, double width)
{
    QPointF u = b - a;
    const double length = std::hypot(u.x(), u.y());
    if (length < 0.01) {
        return;
    }
    u /= length;
    const QPointF n(-u.y(), u.x());
    const double half = width / 2;
    QPolygonF cloth;
    cloth << a - u * 0.7 + n * half << b + u * 0.7 + n * half << b + u * 0.7 - n * half
          << a - u * 0.7 - n * half;
    p.setPen(Qt::NoPen);
    p.setBrush(kUniform);
    p.drawPolygon(cloth);
    p.setPen(QPen(kOutline, 1.3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(a + n * (half + 0.4), b + n * (half + 0.4));
    p.drawLine(a - n * (half + 0.4), b - n * (half + 0.4));
}

// An arm is drawn in short pieces, each at its own depth, so that an arm held forward
// passes in front of one held across the body where it is nearer, and behind it where
// it is not. Straight pieces with flat ends join without seams.
void arm(const Camera& cam, bool left, const Arm& a, std::vector<Part>* parts)
{
    const Vec from = shoulder(left);
    const Vec dir = a.direction();
    const double width = 5.6 * cam.scale();
    const QPointF s = cam.screen(from);
    parts->push_back({cam.depth(from), [=](QPainter& p) {
                          p.setPen(QPen(kOutline, 1));
                          p.setBrush(kUniform);
                          p.drawEllipse(s, width / 2 + 0.5, width / 2 + 0.5);
                      }});
    constexpr int kPieces = 8;
    for (int i = 0; i < kPieces; ++i) {
        const Vec a0 = from + dir * (kArmLength * i / kPieces);
        const Vec a1 = from + dir * (kArmLength * (i + 1) / kPieces);
        const QPointF p0 = cam.screen(a0);
        const QPointF p1 = cam.screen(a1);
        parts->push_back({cam.depth(a0 + dir * (kArmLength / kPieces / 2)),
                          [=](QPainter& p) { armPiece(p, p0, p1, width); }});
    }
    const Vec hand = from + dir * kArmLength;
    const QPointF h = cam.screen(hand);
    // A hand held towards the viewer looks a little larger.
    const double nearness = std::clamp(1 + cam.depth(hand) / 90, 0.85, 1.3);
    const double handRadius = 3.3 * cam.scale() * nearness;
    // The glove lies on its own arm whichever way the arm points.
    const double handDepth = std::max(cam.depth(hand), cam.depth(hand + dir * -2)) + 0.01;
    parts->push_back({handDepth, [=](QPainter& p) { glove(p, h, h - s, handRadius); }});
}

void arrowAlong(QPainter& p, const Camera& cam, const Swing& swing)
{
    const Vec base = shoulder(swing.leftArm);
    const Vec a = swing.from.direction();
    const Vec b = swing.to.direction();
    QPolygonF path;
    constexpr int kSteps = 12;
    for (int i = 0; i <= kSteps; ++i) {
        const double t = double(i) / kSteps;
        Vec d = a * (1 - t) + b * t;
        const double n = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        d = d * (1 / n);
        path << cam.screen(base + d * (kArmLength + 6) + Vec{0, -swing.below, 0});
    }
    p.setPen(QPen(kArrow, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(path);
    const QPointF end = path.last();
    QPointF dir = end - path[path.size() - 3];
    const double len = std::hypot(dir.x(), dir.y());
    if (len < 0.01) {
        return;
    }
    dir /= len;
    const QPointF normal(-dir.y(), dir.x());
    QPolygonF head;
    head << end + dir * 8 << end + normal * 6 - dir * 2 << end - normal * 6 - dir * 2;
    p.setPen(Qt::NoPen);
    p.setBrush(kArrow);
    p.drawPolygon(head);
}

// A street behind the officer, the horizon at his waist.
void background(QPainter& p, const QRectF& r)
{
    const double horizon = r.top() + r.height() * 0.64;
    QLinearGradient sky(r.topLeft(), QPointF(r.left(), horizon));
    sky.setColorAt(0, QColor(206, 225, 243));
    sky.setColorAt(1, QColor(238, 243, 248));
    p.fillRect(QRectF(r.left(), r.top(), r.width(), horizon - r.top()), sky);
    QLinearGradient road(QPointF(r.left(), horizon), r.bottomLeft());
    road.setColorAt(0, QColor(196, 199, 204));
    road.setColorAt(1, QColor(168, 172, 178));
    p.fillRect(QRectF(r.left(), horizon, r.width(), r.bottom() - horizon), road);
}

void body(const Camera& cam, std::vector<Part>* parts)
{
    // Legs and shoes first: the torso covers their tops.
    for (bool left : {false, true}) {
        const double side = left ? 1 : -1;
        const QPointF hip = cam.screen({side * 5.6, 47, 0});
        const QPointF ankle = cam.screen({side * 6.2, 4, 0});
        const QPointF toe = cam.screen({side * 6.4, 1.5, 5});
        const double width = 7.4 * cam.scale();
        parts->push_back(
            {-100 + side, [=](QPainter& p) {
                 limb(p, hip, ankle, width, kTrousers);
                 p.setPen(QPen(QColor(10, 10, 10), 3.4 * cam.scale(), Qt::SolidLine, Qt::RoundCap));
                 p.drawLine(ankle, toe);
             }});
    }
    const QPointF shoulderL = cam.screen({kShoulderX + 1, kShoulderY + 1, 0});
    const QPointF shoulderR = cam.screen({-kShoulderX - 1, kShoulderY + 1, 0});
    const QPointF waistL = cam.screen({8.6, 46, 0});
    const QPointF waistR = cam.screen({-8.6, 46, 0});
    const QPointF neck = cam.screen({0, 84, 0});
    parts->push_back({0, [=](QPainter& p) {
                          QPainterPath torso;
                          torso.moveTo(shoulderR);
                          torso.quadTo(neck + QPointF(0, -2), shoulderL);
                          torso.lineTo(waistL);
                          torso.lineTo(waistR);
                          torso.closeSubpath();
                          p.setPen(QPen(kOutline, 1.2));
                          p.setBrush(kVest);
                          p.drawPath(torso);
                          // The reflective stripes of the vest and the belt.
                          p.save();
                          p.setClipPath(torso);
                          const double unit = cam.scale();
                          for (double y : {60.0, 68.0}) {
                              const QPointF a = cam.screen({-14, y, 0});
                              const QPointF b = cam.screen({14, y, 0});
                              p.setPen(QPen(kStripe, 2.6 * unit, Qt::SolidLine, Qt::FlatCap));
                              p.drawLine(a, b);
                          }
                          for (double x : {-5.0, 5.0}) {
                              const QPointF a = cam.screen({x, 82, 0});
                              const QPointF b = cam.screen({x, 70, 0});
                              p.setPen(QPen(kStripe, 2.2 * unit, Qt::SolidLine, Qt::FlatCap));
                              p.drawLine(a, b);
                          }
                          p.setPen(
                              QPen(QColor(240, 240, 240), 2.4 * unit, Qt::SolidLine, Qt::FlatCap));
                          p.drawLine(cam.screen({-12, 48.5, 0}), cam.screen({12, 48.5, 0}));
                          p.restore();
                          // The collar of the uniform.
                          p.setPen(QPen(kOutline, 1));
                          p.setBrush(kUniform);
                          p.drawEllipse(neck + QPointF(0, 1.5), 4.2 * unit, 2.4 * unit);
                      }});
}

void head(const Camera& cam, std::vector<Part>* parts)
{
    const double unit = cam.scale();
    const QPointF centre = cam.screen({0, 90.5, 0});
    // Where the face looks: the front of the head seen from this side.
    const QPointF front = cam.screen({0, 90.5, 6}) - centre;
    parts->push_back(
        {1, [=](QPainter& p) {
             p.setPen(QPen(kOutline, 1.1));
             p.setBrush(kSkin);
             p.drawEllipse(centre, 5.6 * unit, 6.4 * unit);
             p.setPen(Qt::NoPen);
             p.setBrush(kOutline);
             const QPointF eyes = centre + front * 0.55 + QPointF(0, 0.4 * unit);
             p.drawEllipse(eyes + QPointF(-2.1 * unit, 0), 0.7 * unit, 0.7 * unit);
             p.drawEllipse(eyes + QPointF(2.1 * unit, 0), 0.7 * unit, 0.7 * unit);
             // The cap: a dark band, a white top, a black peak and the badge.
             const QPointF band = centre + QPointF(0, -4.6 * unit);
             p.setPen(QPen(kOutline, 1));
             p.setBrush(kUniform);
             p.drawRect(
                 QRectF(band.x() - 5.6 * unit, band.y() - 1.6 * unit, 11.2 * unit, 3.0 * unit));
             p.setBrush(Qt::white);
             p.drawEllipse(band + QPointF(0, -2.8 * unit), 8.0 * unit, 2.8 * unit);
             p.setBrush(QColor(12, 12, 12));
             p.drawEllipse(band + front * 0.7 + QPointF(0, 1.6 * unit), 5.6 * unit, 1.5 * unit);
             p.setBrush(QColor(236, 190, 40));
             p.drawEllipse(band + front * 0.5 + QPointF(0, -0.8 * unit), 1.4 * unit, 1.4 * unit);
         }});
}

QString idOf(const QString& name)
{
    return name.startsWith(QLatin1String("hand/")) ? name.mid(5) : QString();
}

} // namespace

bool isKnownHandSignal(const QString& name)
{
    return signalTable().count(idOf(name)) > 0;
}

QStringList handSignalNames()
{
    QStringList names;
    for (const auto& [id, signal] : signalTable()) {
        names << QStringLiteral("hand/") + id;
    }
    return names;
}

QImage drawHandSignal(const QString& name)
{
    const auto it = signalTable().find(idOf(name));
    if (it == signalTable().end()) {
        return QImage();
    }
    const Signal& signal = it->second;
    QImage image(200, 150, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    background(p, image.rect());
    // Seen from the knees up, so that the arms are large enough to read.
    constexpr double kScale = 1.7;
    const double feet = 10 + 106 * std::cos(signal.pitch * M_PI / 180) * kScale;
    const Camera cam(QPointF(100, feet), kScale, signal.yaw, signal.pitch);
    std::vector<Part> parts;
    body(cam, &parts);
    head(cam, &parts);
    arm(cam, true, signal.left, &parts);
    arm(cam, false, signal.right, &parts);
    std::stable_sort(parts.begin(), parts.end(),
                     [](const Part& a, const Part& b) { return a.depth < b.depth; });
    for (const Part& part : parts) {
        part.draw(p);
    }
    for (const Swing& swing : signal.swings) {
        arrowAlong(p, cam, swing);
    }
    return image;
}
