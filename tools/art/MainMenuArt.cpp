#include "tools/art/Artwork.h"
#include "tools/art/Paint.h"
#include "tools/art/Signs.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <cmath>

namespace {

using paint::kDeepBlue;
using paint::kLavender;
// The study areas under the picture; the menu's controls lie at the same places.
const QRect kStudyModesPlace(304, 428, 234, 78);
const QRect kRecordPlace(548, 428, 234, 78);
const QRect kPicture(304, 92, 478, 318);
const QRect kFoot(290, 522, 510, 78);
const QRect kLeftFoot(0, 576, 290, 24);
const QRect kTitleBand(0, 0, 800, 72);

const paint::CaptionedBox kButtons[] = {
    {QRect(29, 79, 234, 78), "交通标志"},
    {QRect(29, 170, 234, 78), "交通法规"},
    {QRect(25, 261, 234, 78), "顺序练习"},
    {QRect(25, 352, 234, 78), "模拟考试"},
    {QRect(29, 492, 234, 78), "退出系统"},
    {kStudyModesPlace, "学习模式"},
    {kRecordPlace, "学习记录"},
};

// The title band's colours, from its top at y to its foot 72 pixels lower.
QLinearGradient bandGradient(qreal top)
{
    QLinearGradient band(0, top, 0, top + 72);
    band.setColorAt(0.0, QColor(70, 96, 178));
    band.setColorAt(1.0, QColor(34, 52, 120));
    return band;
}

void drawTitleBand(QPainter& p)
{
    p.fillRect(kTitleBand, bandGradient(0));
    p.fillRect(QRect(0, 72, 800, 3), QColor(244, 196, 60));

    // A small wheel emblem before the title.
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(48, 36);
    p.setPen(QPen(QColor(255, 255, 255), 4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 22, 22);
    p.setPen(QPen(QColor(255, 255, 255), 3.5));
    p.drawLine(c + QPointF(-21, 0), c + QPointF(21, 0));
    p.drawLine(c, c + QPointF(0, 21));
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(c, 6, 6);

    p.setFont(paint::font(QStringLiteral("隶书"), 42, true));
    paint::shadowedText(p, QRectF(84, 4, 560, 64), QStringLiteral("机动车驾驶人理论学习系统"),
                        QColor(255, 255, 255), QColor(10, 20, 60, 160),
                        Qt::AlignLeft | Qt::AlignVCenter, 2.5);
    // The subject tabs lie over the band's right end; under them the line
    // says what the program covers.
    p.setPen(QColor(214, 224, 255));
    p.setFont(paint::font(QStringLiteral("幼圆"), 14));
    p.drawText(QRectF(590, 44, 200, 24), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("小型汽车 · 学法规 · 练题库"));
}

// A subject tab as it lies on the title band at y 8: the current one bright, the other
// one a quiet outline.
QImage drawSubjectTab(const QString& caption, bool current)
{
    QImage image = paint::canvas(66, 32, QColor(52, 74, 150));
    QPainter p(&image);
    p.fillRect(QRectF(0, 0, 66, 32), bandGradient(-8));
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF face(1.5, 1.5, 63, 29);
    if (current) {
        QLinearGradient fill(0, 0, 0, 32);
        fill.setColorAt(0, QColor(255, 236, 170));
        fill.setColorAt(1, QColor(244, 196, 60));
        p.setBrush(fill);
        p.setPen(QPen(QColor(255, 255, 255), 1.5));
    } else {
        p.setBrush(QColor(255, 255, 255, 34));
        p.setPen(QPen(QColor(190, 204, 250), 1));
    }
    p.drawRoundedRect(face, 7, 7);
    p.setFont(paint::font(QStringLiteral("隶书"), 21, true));
    p.setPen(current ? kDeepBlue : QColor(226, 232, 255));
    p.drawText(face, Qt::AlignCenter, caption);
    return image;
}

void drawLeftColumn(QPainter& p)
{
    QLinearGradient side(0, 75, 290, 75);
    side.setColorAt(0.0, QColor(196, 190, 228));
    side.setColorAt(1.0, kLavender);
    p.fillRect(QRect(0, 75, 290, 447), side);
    // Faint road stripes behind the buttons.
    p.setPen(QPen(QColor(255, 255, 255, 70), 6, Qt::SolidLine, Qt::FlatCap));
    for (int y = 90; y < 520; y += 36) {
        p.drawLine(8, y, 8, y + 18);
    }
}

void drawSignOnPost(QPainter& p, const QString& sign, const QPointF& top, qreal size,
                    qreal postHeight)
{
    p.setPen(Qt::NoPen);
    QLinearGradient metal(top.x() - 3, 0, top.x() + 3, 0);
    metal.setColorAt(0, QColor(120, 124, 130));
    metal.setColorAt(0.5, QColor(222, 226, 232));
    metal.setColorAt(1, QColor(110, 114, 120));
    p.setBrush(metal);
    p.drawRect(QRectF(top.x() - 3, top.y() + size * 0.5, 6, postHeight));
    const QImage img = drawSign(sign, int(size * paint::scale()), Qt::transparent);
    p.drawImage(QRectF(top.x() - size / 2, top.y(), size, size), img);
}

void drawCar(QPainter& p, const QPointF& base, qreal w)
{
    // A small saloon seen from behind.
    const qreal h = w * 0.62;
    const QRectF body(base.x() - w / 2, base.y() - h * 0.55, w, h * 0.42);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawEllipse(QRectF(base.x() - w * 0.58, base.y() - h * 0.1, w * 1.16, h * 0.2));
    QPainterPath roof;
    roof.moveTo(body.left() + w * 0.14, body.top());
    roof.lineTo(body.left() + w * 0.26, body.top() - h * 0.38);
    roof.lineTo(body.right() - w * 0.26, body.top() - h * 0.38);
    roof.lineTo(body.right() - w * 0.14, body.top());
    roof.closeSubpath();
    p.setBrush(QColor(196, 40, 44));
    p.drawPath(roof);
    QPainterPath glass;
    glass.moveTo(body.left() + w * 0.2, body.top() - 2);
    glass.lineTo(body.left() + w * 0.29, body.top() - h * 0.32);
    glass.lineTo(body.right() - w * 0.29, body.top() - h * 0.32);
    glass.lineTo(body.right() - w * 0.2, body.top() - 2);
    glass.closeSubpath();
    QLinearGradient gl(0, body.top() - h * 0.32, 0, body.top());
    gl.setColorAt(0, QColor(170, 210, 240));
    gl.setColorAt(1, QColor(60, 90, 130));
    p.setBrush(gl);
    p.drawPath(glass);
    QLinearGradient paintGrad(0, body.top(), 0, body.bottom());
    paintGrad.setColorAt(0, QColor(232, 70, 70));
    paintGrad.setColorAt(1, QColor(150, 24, 28));
    p.setBrush(paintGrad);
    p.drawRoundedRect(body, w * 0.08, w * 0.08);
    // Tyres, lamps and number plate.
    p.setBrush(QColor(30, 30, 34));
    p.drawRoundedRect(QRectF(body.left() + w * 0.05, body.bottom() - 2, w * 0.16, h * 0.2), 3, 3);
    p.drawRoundedRect(QRectF(body.right() - w * 0.21, body.bottom() - 2, w * 0.16, h * 0.2), 3, 3);
    p.setBrush(QColor(255, 200, 60));
    p.drawRoundedRect(QRectF(body.left() + w * 0.04, body.top() + h * 0.06, w * 0.16, h * 0.1), 2,
                      2);
    p.drawRoundedRect(QRectF(body.right() - w * 0.2, body.top() + h * 0.06, w * 0.16, h * 0.1), 2,
                      2);
    p.setBrush(QColor(30, 80, 200));
    const QRectF plate(base.x() - w * 0.16, body.top() + h * 0.2, w * 0.32, h * 0.13);
    p.drawRect(plate);
    p.setPen(QColor(255, 255, 255));
    p.setFont(paint::font(QStringLiteral("Noto Sans CJK SC"), int(h * 0.11), true));
    p.drawText(plate, Qt::AlignCenter, QStringLiteral("学·0001"));
}

void drawTrafficLight(QPainter& p, const QPointF& foot, qreal height)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 94, 100));
    p.drawRect(QRectF(foot.x() - 3, foot.y() - height, 6, height));
    p.drawRect(QRectF(foot.x() - 60, foot.y() - height, 63, 5));
    const QRectF box(foot.x() - 78, foot.y() - height - 8, 30, 78);
    p.setBrush(QColor(36, 38, 42));
    p.drawRoundedRect(box, 6, 6);
    const QColor lamps[3] = {QColor(90, 30, 30), QColor(90, 80, 30), QColor(60, 230, 110)};
    for (int i = 0; i < 3; ++i) {
        const QPointF c(box.center().x(), box.top() + 14 + i * 25);
        if (i == 2) {
            QRadialGradient glow(c, 18);
            glow.setColorAt(0, QColor(120, 255, 160, 200));
            glow.setColorAt(1, QColor(120, 255, 160, 0));
            p.setBrush(glow);
            p.drawEllipse(c, 18, 18);
        }
        p.setBrush(lamps[i]);
        p.drawEllipse(c, 9, 9);
    }
}

void drawScene(QPainter& p, const QRectF& frame)
{
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(frame, 12, 12);
    p.setClipPath(clip);
    p.setRenderHint(QPainter::Antialiasing);

    const qreal horizon = frame.top() + frame.height() * 0.42;
    QLinearGradient sky(0, frame.top(), 0, horizon);
    sky.setColorAt(0, QColor(118, 176, 236));
    sky.setColorAt(1, QColor(214, 236, 252));
    p.fillRect(QRectF(frame.left(), frame.top(), frame.width(), horizon - frame.top()), sky);

    // Sun and clouds; the sun stands clear of the signal head on the right.
    const QPointF sunCentre(frame.left() + 180, frame.top() + 48);
    QRadialGradient sun(sunCentre, 50);
    sun.setColorAt(0, QColor(255, 250, 210, 255));
    sun.setColorAt(0.35, QColor(255, 236, 150, 200));
    sun.setColorAt(1, QColor(255, 236, 150, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(sunCentre, 50, 50);
    p.setBrush(QColor(255, 255, 255, 220));
    for (const QPointF& c : {QPointF(frame.left() + 90, frame.top() + 50),
                             QPointF(frame.left() + 260, frame.top() + 34)}) {
        p.drawEllipse(c, 34, 14);
        p.drawEllipse(c + QPointF(24, -8), 24, 14);
        p.drawEllipse(c + QPointF(-22, -4), 20, 11);
    }

    // Hills and fields.
    QPainterPath hills;
    hills.moveTo(frame.left(), horizon + 6);
    for (int i = 0; i <= 12; ++i) {
        const qreal x = frame.left() + frame.width() * i / 12.0;
        hills.lineTo(x, horizon - 18 - 14 * std::sin(i * 1.3) - 8 * std::cos(i * 2.1));
    }
    hills.lineTo(frame.right(), horizon + 6);
    hills.closeSubpath();
    p.setBrush(QColor(120, 170, 120));
    p.drawPath(hills);
    QLinearGradient field(0, horizon, 0, frame.bottom());
    field.setColorAt(0, QColor(150, 200, 110));
    field.setColorAt(1, QColor(88, 150, 70));
    p.fillRect(QRectF(frame.left(), horizon, frame.width(), frame.bottom() - horizon), field);

    // The road, narrowing to the horizon.
    const QPointF vanish(frame.center().x() - 10, horizon);
    const qreal bottom = frame.bottom();
    QPolygonF road;
    road << QPointF(vanish.x() - 6, horizon) << QPointF(vanish.x() + 6, horizon)
         << QPointF(frame.right() - 30, bottom) << QPointF(frame.left() + 30, bottom);
    QLinearGradient asphalt(0, horizon, 0, bottom);
    asphalt.setColorAt(0, QColor(120, 124, 130));
    asphalt.setColorAt(1, QColor(70, 72, 78));
    p.setBrush(asphalt);
    p.drawPolygon(road);

    auto along = [&](qreal t, qreal side) {
        // side -1 left edge, 0 centre, 1 right edge; t 0 horizon, 1 bottom
        const qreal halfBottom = (frame.width() - 60) / 2;
        const qreal half = 6 + (halfBottom - 6) * t;
        return QPointF(vanish.x() + side * half + (frame.center().x() - vanish.x()) * t * 0,
                       horizon + (bottom - horizon) * t);
    };
    // Edge lines.
    p.setPen(QPen(QColor(245, 245, 245), 3));
    p.drawLine(along(0.02, -0.93), along(1, -0.93));
    p.drawLine(along(0.02, 0.93), along(1, 0.93));
    // Dashed yellow centre line, dashes longer as they come closer.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 206, 40));
    for (qreal t = 0.05; t < 1.0; t *= 1.45) {
        const qreal t2 = std::min(1.0, t * 1.22);
        const qreal w1 = 0.6 + 5 * t;
        const qreal w2 = 0.6 + 5 * t2;
        QPolygonF dash;
        const QPointF a = along(t, 0), b = along(t2, 0);
        dash << a + QPointF(-w1, 0) << a + QPointF(w1, 0) << b + QPointF(w2, 0)
             << b + QPointF(-w2, 0);
        p.drawPolygon(dash);
    }
    // Zebra crossing near the viewer.
    p.setBrush(QColor(250, 250, 250));
    const qreal zt1 = 0.78, zt2 = 0.86;
    for (int i = 0; i < 9; ++i) {
        const qreal s1 = -0.85 + i * 0.2;
        const qreal s2 = s1 + 0.1;
        QPolygonF stripe;
        stripe << along(zt1, s1) << along(zt1, s2) << along(zt2, s2) << along(zt2, s1);
        p.drawPolygon(stripe);
    }

    drawCar(p, along(0.64, 0.42), 92);
    drawTrafficLight(p, QPointF(frame.right() - 40, bottom - 70), 220);
    drawSignOnPost(p, QStringLiteral("sign/speed_limit_60"),
                   QPointF(frame.left() + 58, horizon + 8), 58, 130);
    drawSignOnPost(p, QStringLiteral("sign/warn_children"),
                   QPointF(frame.left() + 140, horizon - 4), 40, 60);
    p.restore();
}

QImage drawMainMenu()
{
    QImage image = paint::canvas(800, 600, kLavender);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawLeftColumn(p);
    drawTitleBand(p);

    // The picture panel on the right, with the row of the study areas under it.
    paint::framedPanel(p, QRectF(kPicture).adjusted(-6, -6, 6, 6), QColor(250, 250, 255), kDeepBlue,
                       16);
    drawScene(p, kPicture);

    // The menu buttons, where the click areas lie.
    const QFont captionFont = paint::font(QStringLiteral("隶书"), 36, true);
    for (const auto& b : kButtons) {
        paint::ovalButton(p, b.box, QString::fromUtf8(b.caption), QColor(176, 178, 186), kDeepBlue,
                          captionFont);
    }

    // Foot band, with room for the contact line and the edition badge.
    QLinearGradient foot(0, kFoot.top(), 0, 600);
    foot.setColorAt(0, QColor(236, 234, 250));
    foot.setColorAt(1, QColor(206, 202, 232));
    p.fillRect(kFoot, foot);
    p.fillRect(kLeftFoot, QColor(206, 202, 232));
    p.setPen(QPen(QColor(150, 144, 200), 1));
    p.drawLine(290, 522, 800, 522);
    p.setFont(paint::font(QStringLiteral("幼圆"), 15));
    p.setPen(QColor(70, 70, 120));
    p.drawText(QRectF(304, 528, 330, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("安全驾驶 · 文明出行"));
    p.setFont(paint::font(QStringLiteral("幼圆"), 13));
    p.setPen(QColor(100, 100, 140));
    p.drawText(QRectF(304, 552, 330, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("题库按现行法规编写，供学习和模拟练习使用"));
    return image;
}

// The buttons of the study areas are also controls of their own, so that a replacement
// background keeps them: cut from the menu, which draws them.
QImage drawStudyModesButton()
{
    return paint::crop(drawMainMenu(), kStudyModesPlace);
}

QImage drawRecordButton()
{
    return paint::crop(drawMainMenu(), kRecordPlace);
}

QImage drawBadge()
{
    QImage image = paint::canvas(116, 48, QColor(255, 249, 232));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 20, 30), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(2, 2, 112, 44), 7, 7);
    p.setPen(QPen(QColor(200, 20, 30), 1));
    p.drawRoundedRect(QRectF(5.5, 5.5, 105, 37), 5, 5);
    p.setFont(paint::font(QStringLiteral("华文行楷"), 32, true));
    p.setPen(QColor(214, 16, 24));
    p.drawText(QRectF(0, 0, 116, 48), Qt::AlignCenter, QStringLiteral("学员版"));
    return image;
}

QImage drawAppIconAt32()
{
    QImage icon = drawAppIcon(qRound(32 * paint::scale()));
    icon.setDevicePixelRatio(paint::scale());
    return icon;
}

} // namespace

QImage drawAppIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    // Drawn on a grid of 32, the size the program's own icon has.
    p.scale(size / 32.0, size / 32.0);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(38, 58, 128));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    p.setPen(QPen(Qt::white, 2.4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 16), 10, 10);
    p.drawLine(QPointF(6, 16), QPointF(26, 16));
    p.drawLine(QPointF(16, 16), QPointF(16, 26));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 16), 3, 3);
    return image;
}

std::vector<DrawnFrame> mainMenuFrames()
{
    std::vector<DrawnFrame> frames = {
        {QStringLiteral("picture"), kPicture.adjusted(-6, -6, 6, 6)},
    };
    for (const auto& b : kButtons) {
        frames.push_back({QString::fromUtf8(b.caption), b.box});
    }
    return frames;
}

std::vector<ArtItem> mainMenuArt()
{
    using T = ArtItem::Target;
    std::vector<ArtItem> items = {
        {T::Resource, QStringLiteral("art/MainMenu.rgb32"), "rgb32", drawMainMenu},
        {T::Resource, QStringLiteral("art/MenuStudyModes.rgb32"), "rgb32", drawStudyModesButton},
        {T::Resource, QStringLiteral("art/MenuRecord.rgb32"), "rgb32", drawRecordButton},
        {T::Resource, QStringLiteral("bitmaps/XueYuanBan"), "rgb32", drawBadge},
        {T::Resource, QStringLiteral("art/MAINICON.rgb32"), "rgb32", drawAppIconAt32},
        {T::Resource, QStringLiteral("art/SubjectOne.rgb32"), "rgb32",
         [] { return drawSubjectTab(QStringLiteral("科目一"), false); }},
        {T::Resource, QStringLiteral("art/SubjectOneOn.rgb32"), "rgb32",
         [] { return drawSubjectTab(QStringLiteral("科目一"), true); }},
        {T::Resource, QStringLiteral("art/SubjectFour.rgb32"), "rgb32",
         [] { return drawSubjectTab(QStringLiteral("科目四"), false); }},
        {T::Resource, QStringLiteral("art/SubjectFourOn.rgb32"), "rgb32",
         [] { return drawSubjectTab(QStringLiteral("科目四"), true); }},
    };
    for (ArtItem& item : items) {
        item.atStart = true;
    }
    return items;
}
