#include "tools/art/Artwork.h"
#include "tools/art/AviWriter.h"
#include "tools/art/Paint.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <cmath>
#include <functional>

namespace {

using paint::kDeepBlue;
using paint::kLavender;
const QColor kMarkGround(250, 250, 255);

// The answer circles of the practice screen, at the places of their click areas.
const QRectF kCircleA(645, 102, 97, 92);
const QRectF kCircleB(645, 220, 97, 92);
const QRectF kCircleC(644, 341, 97, 92);
const QRectF kCircleD(644, 462, 97, 92);
const QRect kStrip(620, 88, 179, 521);
const QRectF kNumberBand(452, 11, 340, 55);
const QRectF kNumberBox(617, 19, 110, 39);
const QRectF kPadKey(731.5, 19.5, 34, 34);
const QRectF kQuestionFrame(21, 83, 594, 353);
const QRectF kRateBox(305, 532, 77, 39);
const QRectF kMarkFrame(482, 493, 108, 99);
const paint::CaptionedBox kPracticeButtons[] = {{QRect(26, 437, 157, 47), "上一题"},
                                                {QRect(202, 438, 157, 47), "下一题"},
                                                {QRect(414, 440, 199, 47), "返回首页"}};

// A round glossy key; the face is drawn by face() over its middle.
void roundKey(QPainter& p, const QRectF& box, const QColor& base,
              const std::function<void(const QRectF&)>& face)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal r = qMin(box.width(), box.height()) / 2 - 4;
    const QPointF c = box.center();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 55));
    p.drawEllipse(c + QPointF(2.5, 4), r, r);
    QLinearGradient rim(c.x(), c.y() - r, c.x(), c.y() + r);
    rim.setColorAt(0, base.lighter(160));
    rim.setColorAt(1, base.darker(180));
    p.setBrush(rim);
    p.setPen(QPen(base.darker(240), 1.2));
    p.drawEllipse(c, r, r);
    QRadialGradient body(c + QPointF(-r * 0.3, -r * 0.35), r * 1.3);
    body.setColorAt(0, base.lighter(150));
    body.setColorAt(0.6, base);
    body.setColorAt(1, base.darker(130));
    p.setBrush(body);
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, r - 5, r - 5);
    QLinearGradient gloss(c.x(), c.y() - r + 6, c.x(), c.y());
    gloss.setColorAt(0, QColor(255, 255, 255, 150));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(gloss);
    p.drawEllipse(QRectF(c.x() - r * 0.62, c.y() - r + 7, r * 1.24, r * 0.8));
    face(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r));
    p.restore();
}

void letterKey(QPainter& p, const QRectF& box, const QString& letter)
{
    roundKey(p, box, QColor(104, 92, 196), [&](const QRectF& face) {
        p.setFont(paint::font(QStringLiteral("隶书"), 50, true));
        paint::shadowedText(p, face, letter, QColor(255, 255, 255), QColor(20, 10, 70, 170));
    });
}

// A letter key held down while the letter of a multiple answer is toggled on: sunk into
// a gold ring, its face darker and its letter lower.
void letterKeyDown(QPainter& p, const QRectF& box, const QString& letter)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal r = qMin(box.width(), box.height()) / 2 - 4;
    const QPointF c = box.center();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(244, 196, 60));
    p.drawEllipse(c, r + 3, r + 3);
    const QColor base(70, 60, 150);
    QRadialGradient body(c + QPointF(r * 0.2, r * 0.3), r * 1.2);
    body.setColorAt(0, base.lighter(115));
    body.setColorAt(0.7, base.darker(120));
    body.setColorAt(1, base.darker(190));
    p.setBrush(body);
    p.setPen(QPen(base.darker(240), 1.2));
    p.drawEllipse(c, r - 1, r - 1);
    p.setPen(QPen(QColor(0, 0, 30, 120), 4));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - r + 5, c.y() - r + 5, 2 * r - 10, 2 * r - 10), 30 * 16, 120 * 16);
    p.setFont(paint::font(QStringLiteral("隶书"), 50, true));
    paint::shadowedText(p, QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r).translated(2, 3), letter,
                        QColor(255, 240, 190), QColor(0, 0, 40, 170));
    p.restore();
}

QPainterPath tickPath(const QRectF& box)
{
    QPainterPath path;
    path.moveTo(box.left() + box.width() * 0.22, box.top() + box.height() * 0.52);
    path.lineTo(box.left() + box.width() * 0.43, box.top() + box.height() * 0.72);
    path.lineTo(box.left() + box.width() * 0.80, box.top() + box.height() * 0.28);
    return path;
}

QPainterPath crossPath(const QRectF& box)
{
    QPainterPath path;
    const QRectF in = box.adjusted(box.width() * 0.28, box.height() * 0.28, -box.width() * 0.28,
                                   -box.height() * 0.28);
    path.moveTo(in.topLeft());
    path.lineTo(in.bottomRight());
    path.moveTo(in.topRight());
    path.lineTo(in.bottomLeft());
    return path;
}

void markKey(QPainter& p, const QRectF& box, const QColor& base, const QPainterPath& mark)
{
    roundKey(p, box, base, [&](const QRectF&) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(20, 20, 40, 140), 11, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(mark.translated(1.5, 2));
        p.setPen(QPen(QColor(255, 255, 255), 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(mark);
    });
}

void captionButton(QPainter& p, const QRect& box, const QString& caption)
{
    paint::ovalButton(p, box, caption, QColor(186, 180, 234), kDeepBlue,
                      paint::font(QStringLiteral("隶书"), 28, true));
}

void sunkenBox(QPainter& p, const QRectF& box, const QColor& fill)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 84, 150), 1.5));
    p.setBrush(fill);
    p.drawRoundedRect(box, 5, 5);
    p.setPen(QPen(QColor(0, 0, 0, 60), 2));
    p.drawLine(box.topLeft() + QPointF(4, 2), box.topRight() + QPointF(-4, 2));
    p.restore();
}

// Everything of the practice screen but the answer circles, one strip taller than the
// screen so that the true/false strip can be cut from it.
QImage practiceBase()
{
    QImage image = paint::canvas(800, kStrip.bottom() + 1, kLavender);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Title band with the starting-number box on the right.
    paint::titledGround(p, kStrip.bottom() + 1, QStringLiteral("顺序练习"),
                        QStringLiteral("逐题练习 · 即时判分"), 210);

    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(150, 170, 230), 1.2));
    p.setBrush(QColor(255, 255, 255, 28));
    p.drawRoundedRect(kNumberBand, 9, 9);
    p.setFont(paint::font(QStringLiteral("幼圆"), 19, true));
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRectF(460, 19, 156, 37), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("选择开始题号:"));
    sunkenBox(p, kNumberBox, QColor(22, 30, 84));
    // The face of the keypad button; its hand glyph is the button's own.
    QLinearGradient key(0, 19, 0, 54);
    key.setColorAt(0, QColor(250, 248, 255));
    key.setColorAt(1, QColor(196, 190, 232));
    p.setPen(QPen(QColor(90, 84, 150), 1.2));
    p.setBrush(key);
    p.drawRoundedRect(kPadKey, 6, 6);

    // The question frame behind the question panel.
    paint::framedPanel(p, kQuestionFrame, kLavender, kDeepBlue, 12);
    p.fillRect(QRect(29, 91, 578, 337), kLavender);

    for (const paint::CaptionedBox& b : kPracticeButtons) {
        captionButton(p, b.box, QString::fromUtf8(b.caption));
    }

    // The first-try rate: caption, the box of the number, the percent sign.
    p.setFont(paint::font(QStringLiteral("隶书"), 30, true));
    paint::shadowedText(p, QRectF(80, 532, 222, 39), QStringLiteral("首次答对率"), kDeepBlue,
                        QColor(255, 255, 255, 200), Qt::AlignRight | Qt::AlignVCenter, 1.5);
    sunkenBox(p, kRateBox, QColor(255, 255, 255));
    paint::shadowedText(p, QRectF(385, 532, 40, 39), QStringLiteral("%"), kDeepBlue,
                        QColor(255, 255, 255, 200), Qt::AlignLeft | Qt::AlignVCenter, 1.5);

    // The square frame of the right or wrong mark.
    paint::framedPanel(p, kMarkFrame, kMarkGround, kDeepBlue, 8);
    p.fillRect(QRect(488, 498, 96, 88), kMarkGround);

    // The answer column.
    p.setPen(QPen(QColor(150, 144, 200), 1));
    p.drawLine(QPointF(628.5, 96), QPointF(628.5, 580));
    return image;
}

QImage drawPracticeBackground()
{
    QImage image = practiceBase();
    {
        QPainter p(&image);
        letterKey(p, kCircleA, QStringLiteral("A"));
        letterKey(p, kCircleB, QStringLiteral("B"));
        letterKey(p, kCircleC, QStringLiteral("C"));
        letterKey(p, kCircleD, QStringLiteral("D"));
    }
    return paint::crop(image, QRect(0, 0, 800, 600));
}

// Laid over the answer column for a true/false question: a tick where A is, a cross
// where C is, and the plain ground where B and D were.
QImage drawTrueFalseStrip()
{
    QImage image = practiceBase();
    {
        QPainter p(&image);
        markKey(p, kCircleA, QColor(46, 150, 70), tickPath(kCircleA));
        markKey(p, kCircleC, QColor(200, 50, 50), crossPath(kCircleC));
    }
    return paint::crop(image, kStrip);
}

const QRectF kCircles[] = {kCircleA, kCircleB, kCircleC, kCircleD};

// The letter key of a multiple answer toggled on, laid over its circle.
QImage drawKeyDown(int index)
{
    QImage image = practiceBase();
    {
        QPainter p(&image);
        letterKeyDown(p, kCircles[index], QString(QChar(u'A' + index)));
    }
    return paint::crop(image, kCircles[index].toAlignedRect());
}

// The confirm key of a multiple answer below the answer column: normal, then greyed.
const QRect kConfirm(634, 557, 156, 38);

QImage drawConfirmKey()
{
    const QFont caption = paint::font(QStringLiteral("隶书"), 24, true);
    QImage normal = practiceBase();
    QImage greyed = practiceBase();
    {
        QPainter p(&normal);
        paint::ovalButton(p, kConfirm, QStringLiteral("确定"), QColor(238, 170, 80), kDeepBlue,
                          caption);
        QPainter q(&greyed);
        paint::ovalButton(q, kConfirm, QStringLiteral("确定"), QColor(206, 204, 222),
                          QColor(150, 148, 170), caption);
    }
    return twoFrameGlyph(normal, greyed, kConfirm);
}

QImage drawKeypad()
{
    QImage image = paint::canvas(279, 199, QColor(176, 170, 222));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const int xs[4] = {1, 71, 142, 212};
    const int ys[3] = {0, 68, 135};
    const char* labels[3][4] = {
        {"1", "2", "3", "4"}, {"5", "6", "7", "8"}, {"9", "0", "取消", "确认"}};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col) {
            // The picture lies one pixel left of the keys' click areas.
            const QRectF key = QRectF(xs[col] + 1, ys[row], 70, 67).adjusted(3, 3, -3, -3);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(60, 50, 120, 70));
            p.drawRoundedRect(key.translated(1.5, 2), 9, 9);
            QLinearGradient face(0, key.top(), 0, key.bottom());
            face.setColorAt(0, QColor(240, 238, 252));
            face.setColorAt(0.5, kLavender);
            face.setColorAt(1, QColor(190, 184, 228));
            p.setBrush(face);
            p.setPen(QPen(QColor(96, 88, 160), 1.2));
            p.drawRoundedRect(key, 9, 9);
            const QString label = QString::fromUtf8(labels[row][col]);
            const bool word = label.size() > 1;
            p.setFont(paint::font(QStringLiteral("隶书"), word ? 25 : 40, true));
            p.setPen(word ? QColor(210, 20, 30) : kDeepBlue);
            p.drawText(key, Qt::AlignCenter, label);
        }
    }
    return image;
}

// The keypad button's pointing hand: normal, then greyed for the disabled button.
QImage drawLuRuGlyph()
{
    QImage big(64, 64, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::transparent);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath hand;
        hand.addRoundedRect(QRectF(26, 20, 34, 11), 5.5, 5.5); // pointing finger
        hand.addRoundedRect(QRectF(8, 20, 28, 34), 9, 9);      // fist
        hand.addRoundedRect(QRectF(2, 26, 10, 22), 4, 4);      // cuff
        p.setPen(QPen(QColor(40, 40, 80), 4));
        p.setBrush(QColor(255, 236, 200));
        p.drawPath(hand.simplified());
        p.setPen(QPen(QColor(40, 40, 80), 3));
        for (int y : {34, 42}) {
            p.drawLine(QPointF(24, y), QPointF(34, y));
        }
    }
    const qreal s = paint::scale();
    QImage normal =
        big.scaled(qRound(16 * s), qRound(16 * s), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    normal.setDevicePixelRatio(s);
    QImage glyph(qRound(32 * s), qRound(16 * s), QImage::Format_ARGB32);
    glyph.setDevicePixelRatio(s);
    glyph.fill(Qt::transparent);
    QPainter p(&glyph);
    p.drawImage(0, 0, normal);
    QImage grey = normal.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int g = 128 + qGray(line[x]) / 3;
            line[x] = qRgba(g, g, g, qAlpha(line[x]));
        }
    }
    p.drawImage(16, 0, grey);
    return glyph;
}

QImage drawMark(bool right)
{
    QImage image = paint::canvas(96, 88, kMarkGround);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QColor color = right ? QColor(20, 150, 60) : QColor(214, 30, 36);
    const QRectF box(18, 0, 60, 60);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(color, 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(right ? tickPath(box) : crossPath(box.adjusted(-6, -6, 6, 6)));
    p.setFont(paint::font(QStringLiteral("隶书"), 24, true));
    p.setPen(color);
    p.drawText(QRectF(0, 58, 96, 28), Qt::AlignCenter,
               right ? QStringLiteral("正确") : QStringLiteral("错误"));
    return image;
}

QImage drawClockFrame(int frame, int frames)
{
    QImage image = paint::canvas(100, 100, kLavender);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(50, 50);
    QRadialGradient dial(c + QPointF(-10, -12), 52);
    dial.setColorAt(0, QColor(255, 255, 255));
    dial.setColorAt(1, QColor(226, 230, 246));
    p.setBrush(dial);
    p.setPen(QPen(kDeepBlue, 5));
    p.drawEllipse(c, 44, 44);
    for (int i = 0; i < 12; ++i) {
        const qreal a = qDegreesToRadians(i * 30.0);
        const QPointF dir(std::sin(a), -std::cos(a));
        p.setPen(QPen(kDeepBlue, i % 3 == 0 ? 4 : 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + dir * (i % 3 == 0 ? 31 : 34), c + dir * 38);
    }
    auto hand = [&](qreal degrees, qreal length, qreal width, const QColor& color) {
        const qreal a = qDegreesToRadians(degrees);
        p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c - QPointF(std::sin(a), -std::cos(a)) * 6,
                   c + QPointF(std::sin(a), -std::cos(a)) * length);
    };
    hand(300, 20, 5, QColor(40, 40, 60));
    hand(60, 29, 3.5, QColor(40, 40, 60));
    hand(360.0 * frame / frames, 35, 2, QColor(210, 30, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 30, 40));
    p.drawEllipse(c, 4, 4);
    return image;
}

} // namespace

QImage twoFrameGlyph(const QImage& normal, const QImage& greyed, const QRect& place)
{
    QImage image = paint::canvas(2 * place.width(), place.height(), Qt::white);
    QPainter p(&image);
    p.drawImage(QPointF(0, 0), paint::crop(normal, place));
    p.drawImage(QPointF(place.width(), 0), paint::crop(greyed, place));
    return image;
}

std::vector<QImage> clockFrames()
{
    constexpr int frames = 30;
    std::vector<QImage> all;
    for (int i = 0; i < frames; ++i) {
        all.push_back(drawClockFrame(i, frames));
    }
    return all;
}

QByteArray clockClip()
{
    AviOptions options;
    options.codec = AviCodec::Dib24;
    options.framesPerSecond = 15;
    return writeAvi(clockFrames(), options);
}

std::vector<DrawnFrame> practiceFrames()
{
    std::vector<DrawnFrame> frames = {
        {QStringLiteral("start number"), kNumberBand.toRect()},
        {QStringLiteral("number box"), kNumberBox.toRect()},
        {QStringLiteral("keypad key"), kPadKey.toRect()},
        {QStringLiteral("question"), kQuestionFrame.toRect()},
        {QStringLiteral("first-try rate"), kRateBox.toRect()},
        {QStringLiteral("mark"), kMarkFrame.toRect()},
    };
    for (const paint::CaptionedBox& b : kPracticeButtons) {
        frames.push_back({QString::fromUtf8(b.caption), b.box});
    }
    return frames;
}

std::vector<ArtItem> practiceArt()
{
    using T = ArtItem::Target;
    std::vector<ArtItem> items = {
        {T::Resource, QStringLiteral("art/ShunXuLianXi.rgb32"), "rgb32", drawPracticeBackground},
        {T::Resource, QStringLiteral("art/ShunXuLianXi_vx.rgb32"), "rgb32", drawTrueFalseStrip},
        {T::Resource, QStringLiteral("art/LuRu.png"), "png", drawLuRuGlyph},
        {T::Resource, QStringLiteral("art/PracticeConfirm.rgb32"), "rgb32", drawConfirmKey},
        {T::Resource, QStringLiteral("art/JianPan.rgb32"), "rgb32", drawKeypad},
        {T::AppFile, QStringLiteral("Yes.bmp"), "bmp", [] { return drawMark(true); }},
        {T::AppFile, QStringLiteral("No.bmp"), "bmp", [] { return drawMark(false); }},
    };
    // The letter keys held down, one picture a letter.
    for (int i = 0; i < 4; ++i) {
        items.push_back({T::Resource,
                         QStringLiteral("art/PracticeKeyDown%1.rgb32").arg(QChar(u'A' + i)),
                         "rgb32", [i] { return drawKeyDown(i); }});
    }
    return items;
}
