// The backgrounds of the rules and signs readers: title, the category names where their
// click areas lie, the three button faces and the frame behind the page view.
#include "tools/art/Artwork.h"
#include "tools/art/Paint.h"
#include "tools/art/Signs.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace {

const QColor kInk(30, 44, 110);
// The back buttons' places, between the page buttons and the exit.
const QRect kRulesBack(674, 412, 120, 51);
const QRect kSignsBack(660, 347, 120, 51);

void drawBackdrop(QPainter& p, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(0, 0, 0, 600);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(QRect(0, 0, 800, 600), g);
    // Faint lane dashes across the foot of the screen.
    p.setPen(QPen(QColor(255, 255, 255, 60), 5, Qt::SolidLine, Qt::FlatCap));
    for (int x = 10; x < 800; x += 46) {
        p.drawLine(x, 596, x + 24, 596);
    }
}

// A category's face, drawn where its click area lies, on rows that both columns share, so
// that the faces line up even where the click areas are a few pixels apart.
void drawCategory(QPainter& p, const ReaderFace& c, const QColor& bullet)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(c.face).adjusted(1, 2, -1, -2);
    p.setPen(QPen(QColor(255, 255, 255, 150), 1));
    p.setBrush(QColor(255, 255, 255, 95));
    p.drawRoundedRect(box, 6, 6);
    if (c.second) {
        p.setPen(kInk);
        p.setFont(paint::font(QStringLiteral("宋体"), 16, true));
        p.drawText(box.adjusted(2, 3, -2, -box.height() / 2), Qt::AlignCenter,
                   QString::fromUtf8(c.name));
        p.setFont(paint::font(QStringLiteral("宋体"), 13, true));
        p.setPen(bullet);
        p.drawText(box.adjusted(2, box.height() / 2, -2, -3), Qt::AlignCenter,
                   QString::fromUtf8(c.second));
        p.restore();
        return;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(bullet);
    const QPointF dot(box.left() + 12, box.center().y());
    p.drawEllipse(dot, 5, 5);
    p.setBrush(Qt::white);
    p.drawEllipse(dot, 2, 2);
    p.setFont(paint::font(QStringLiteral("宋体"), 17, true));
    p.setPen(kInk);
    p.drawText(box.adjusted(24, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8(c.name));
    p.restore();
}

// A reader's page view, its page buttons and its back button, as the screen places them.
struct ReaderPlaces
{
    QRect view, up, down, exit, back;
};
const ReaderPlaces kRulesPlaces{QRect(32, 204, 626, 381), QRect(674, 225, 120, 51),
                                QRect(674, 326, 120, 51), QRect(674, 495, 120, 51), kRulesBack};
const ReaderPlaces kSignsPlaces{QRect(23, 136, 605, 441), QRect(659, 157, 120, 51),
                                QRect(660, 244, 120, 51), QRect(661, 450, 120, 51), kSignsBack};

// A button's face reaches a little beyond its click area, most of all below (its shade).
QRect buttonFace(const QRect& place)
{
    return place.adjusted(-4, -6, 4, 8);
}

QRect viewFrame(const QRect& view)
{
    return view.adjusted(-7, -7, 7, 7);
}

void drawPageButtons(QPainter& p, const ReaderPlaces& at)
{
    const QFont f = paint::font(QStringLiteral("隶书"), 26, true);
    const QColor base(150, 170, 214);
    paint::ovalButton(p, buttonFace(at.up), QStringLiteral("上一页"), base, kInk, f);
    paint::ovalButton(p, buttonFace(at.down), QStringLiteral("下一页"), base, kInk, f);
    paint::ovalButton(p, buttonFace(at.exit), QStringLiteral("退  出"), QColor(214, 160, 150),
                      QColor(110, 20, 20), f);
}

void drawViewFrame(QPainter& p, const QRect& view)
{
    paint::framedPanel(p, viewFrame(view), Qt::white, kInk, 10);
}

QImage drawRulesBackground()
{
    QImage image = paint::canvas(800, 600, QColor(214, 222, 244));
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawBackdrop(p, QColor(188, 202, 240), QColor(226, 232, 248));

    // Title band with a book emblem.
    QLinearGradient band(0, 0, 0, 50);
    band.setColorAt(0, QColor(64, 88, 170));
    band.setColorAt(1, QColor(34, 52, 120));
    p.fillRect(QRect(0, 0, 800, 50), band);
    p.fillRect(QRect(0, 50, 800, 3), QColor(244, 196, 60));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(QColor(255, 255, 255, 60));
    QPainterPath book;
    book.moveTo(20, 14);
    book.quadTo(30, 10, 40, 16);
    book.quadTo(50, 10, 60, 14);
    book.lineTo(60, 38);
    book.quadTo(50, 34, 40, 40);
    book.quadTo(30, 34, 20, 38);
    book.closeSubpath();
    p.drawPath(book);
    p.drawLine(QPointF(40, 16), QPointF(40, 40));
    p.setFont(paint::font(QStringLiteral("隶书"), 34, true));
    paint::shadowedText(p, QRectF(72, 2, 300, 46), QStringLiteral("交通法规"), Qt::white,
                        QColor(10, 20, 60, 160), Qt::AlignLeft | Qt::AlignVCenter, 2);
    p.setFont(paint::font(QStringLiteral("幼圆"), 15));
    p.setPen(QColor(255, 226, 140));
    p.drawText(QRectF(300, 4, 484, 42), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("选择左右两列中的法规，内容显示在下方"));

    for (const ReaderFace& f : rulesReaderFaces()) {
        drawCategory(p, f, QColor(40, 90, 190));
    }
    drawViewFrame(p, kRulesPlaces.view);
    drawPageButtons(p, kRulesPlaces);
    return image;
}

QImage drawSignsBackground()
{
    QImage image = paint::canvas(800, 600, QColor(214, 230, 222));
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawBackdrop(p, QColor(184, 214, 200), QColor(226, 240, 232));

    // Title with three signs on a gantry beside it.
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(paint::font(QStringLiteral("隶书"), 40, true));
    paint::shadowedText(p, QRectF(18, 10, 280, 52), QStringLiteral("交通标志"), QColor(20, 70, 50),
                        QColor(255, 255, 255, 200), Qt::AlignLeft | Qt::AlignVCenter, 2);
    p.setFont(paint::font(QStringLiteral("幼圆"), 15));
    p.setPen(QColor(40, 80, 60));
    p.drawText(QRectF(20, 60, 280, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("标志 · 标线 · 图示与含义"));
    const char* shown[] = {"sign/warn_crossroads", "sign/stop", "sign/straight_only",
                           "sign/speed_limit_60"};
    for (int i = 0; i < 4; ++i) {
        QImage sign =
            drawSign(QString::fromLatin1(shown[i]), qRound(44 * paint::scale()), Qt::transparent);
        sign.setDevicePixelRatio(paint::scale());
        p.drawImage(QPointF(22 + i * 64, 84), sign);
    }

    for (const ReaderFace& f : signsReaderFaces()) {
        drawCategory(p, f, QColor(30, 130, 80));
    }
    drawViewFrame(p, kSignsPlaces.view);
    drawPageButtons(p, kSignsPlaces);
    return image;
}

// The back button of a reader, a control of its own beside the page buttons: cut from
// the background with its face drawn on.
QImage drawBackButton(QImage background, const QRect& place)
{
    const QRect face = buttonFace(place);
    {
        QPainter p(&background);
        p.setRenderHint(QPainter::TextAntialiasing);
        paint::ovalButton(p, face, QStringLiteral("返回上页"), QColor(150, 170, 214), kInk,
                          paint::font(QStringLiteral("隶书"), 24, true));
    }
    return paint::crop(background, face);
}

} // namespace

// The rows of the faces: the click areas of the left column lie 3 pixels lower than these,
// those of the right column up to 4 pixels higher. The signals page and subject four's
// pages sit at the far right, beside the right column.
const std::vector<ReaderFace>& rulesReaderFaces()
{
    static const std::vector<ReaderFace> faces = {
        {{18, 60, 334, 27}, "道路交通安全法及实施条例"},
        {{18, 87, 334, 27}, "高速公路通行规定"},
        {{18, 114, 334, 27}, "机动车登记规定"},
        {{18, 141, 334, 27}, "机动车驾驶人考试"},
        {{18, 168, 334, 27}, "机动车驾驶证申领和使用规定"},
        {{381, 60, 334, 27}, "道路交通事故处理"},
        {{381, 87, 334, 27}, "道路交通事故处理程序规定"},
        {{381, 114, 334, 27}, "机动车驾驶员培训规定"},
        {{381, 141, 334, 27}, "道路交通安全违法行为处理程序规定"},
        {{381, 168, 334, 27}, "道路交通安全违法行为记分管理办法"},
        {{722, 60, 72, 54}, "交通信号", "灯与手势"},
        {{722, 114, 72, 54}, "科目四", "安全驾驶"},
    };
    return faces;
}

const std::vector<ReaderFace>& signsReaderFaces()
{
    static const std::vector<ReaderFace> faces = {
        {{309, 22, 149, 27}, "警告标志"},         {{309, 58, 149, 27}, "禁令标志"},
        {{309, 92, 149, 27}, "指示标志"},         {{507, 22, 284, 27}, "一般道路指路标志"},
        {{507, 58, 284, 27}, "高速公路指路标志"}, {{507, 92, 284, 27}, "道路交通标线"},
    };
    return faces;
}

std::vector<DrawnFrame> readerFrames(bool rules)
{
    const ReaderPlaces& at = rules ? kRulesPlaces : kSignsPlaces;
    std::vector<DrawnFrame> frames = {
        {QStringLiteral("page view"), viewFrame(at.view)},
        {QStringLiteral("上一页"), buttonFace(at.up)},
        {QStringLiteral("下一页"), buttonFace(at.down)},
        {QStringLiteral("退出"), buttonFace(at.exit)},
    };
    for (const ReaderFace& f : rules ? rulesReaderFaces() : signsReaderFaces()) {
        frames.push_back({QString::fromUtf8(f.name), f.face});
    }
    return frames;
}

std::vector<ArtItem> viewerArt()
{
    using T = ArtItem::Target;
    return {
        {T::Resource, QStringLiteral("art/JiaoTongFaGui.rgb32"), "rgb32", drawRulesBackground},
        {T::Resource, QStringLiteral("art/JiaoTongBiaoZhi.rgb32"), "rgb32", drawSignsBackground},
        {T::Resource, QStringLiteral("art/JiaoTongFaGuiBack.rgb32"), "rgb32",
         [] { return drawBackButton(drawRulesBackground(), kRulesBack); }},
        {T::Resource, QStringLiteral("art/JiaoTongBiaoZhiBack.rgb32"), "rgb32",
         [] { return drawBackButton(drawSignsBackground(), kSignsBack); }},
    };
}
