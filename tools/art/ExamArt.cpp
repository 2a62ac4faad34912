// The pictures of the mock exam: the candidate-number pad, the exam screens of both
// subjects with their tick-and-cross strips (and subject four's pressed letter keys and
// confirm key), and the result screens of both subjects with their pass picture.
#include "tools/art/Artwork.h"
#include "tools/art/Paint.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

using paint::kLavender;
const QColor kViolet(92, 62, 160);
const QColor kNavy(30, 44, 110);

QFont kai(int px)
{
    return paint::font(QStringLiteral("隶书"), px, true);
}

QFont song(int px, bool bold = false)
{
    return paint::font(QStringLiteral("宋体"), px, bold);
}

QFont round(int px)
{
    return paint::font(QStringLiteral("幼圆"), px, true);
}

void violetBand(QPainter& p, const QRect& r)
{
    QLinearGradient band(r.topLeft(), r.bottomLeft());
    band.setColorAt(0, QColor(128, 96, 200));
    band.setColorAt(1, QColor(70, 44, 136));
    p.fillRect(r, band);
    p.fillRect(QRect(r.left(), r.bottom() - 2, r.width(), 3), QColor(244, 196, 60));
}

void examTitle(QPainter& p, const QRect& r, const QString& subject)
{
    violetBand(p, r);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(kai(36));
    paint::shadowedText(p, QRectF(r).adjusted(16, 0, 0, -3),
                        QStringLiteral("机动车驾驶人%1模拟考试").arg(subject), Qt::white,
                        QColor(20, 10, 60, 170), Qt::AlignLeft | Qt::AlignVCenter, 2);
}

// A round key of a pad: raised, lavender or coloured, with its caption.
void roundKey(QPainter& p, const QRectF& box, const QString& caption, const QColor& base,
              const QColor& text, const QFont& font)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawEllipse(box.translated(2, 3));
    QRadialGradient g(box.center() - QPointF(box.width() * 0.18, box.height() * 0.2),
                      box.width() * 0.7);
    g.setColorAt(0, base.lighter(135));
    g.setColorAt(0.7, base);
    g.setColorAt(1, base.darker(135));
    p.setBrush(g);
    p.setPen(QPen(base.darker(180), 1.5));
    p.drawEllipse(box);
    p.setPen(QPen(QColor(255, 255, 255, 150), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(box.adjusted(4, 4, -4, -4), 40 * 16, 100 * 16);
    p.setFont(font);
    paint::shadowedText(p, box, caption, text, QColor(255, 255, 255, 170), Qt::AlignCenter, 1);
    p.restore();
}

void sunkenBox(QPainter& p, const QRect& r, const QColor& fill)
{
    p.fillRect(r, fill);
    p.setPen(QColor(110, 104, 150));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(QColor(255, 255, 255));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

QImage drawStudentLogin()
{
    QImage image = paint::canvas(800, 600, kLavender);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A title that the title picture covers, as on the old screen.
    violetBand(p, QRect(0, 0, 800, 61));

    const QRectF panel(196, 88, 408, 482);
    paint::framedPanel(p, panel, QColor(236, 233, 252), QColor(120, 106, 190), 18);
    p.setFont(kai(26));
    p.setPen(kNavy);
    p.drawText(QRectF(205, 107, 282, 32), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("请输入准考证号:"));
    sunkenBox(p, QRect(250, 157, 324, 44), Qt::white);

    const struct
    {
        int x, y;
        const char* caption;
    } keys[] = {
        {243, 230, "1"}, {377, 232, "2"}, {505, 232, "3"},    {242, 312, "4"},
        {377, 314, "5"}, {507, 315, "6"}, {243, 395, "7"},    {377, 396, "8"},
        {507, 399, "9"}, {377, 476, "0"}, {243, 476, "重输"}, {507, 483, "确认"},
    };
    for (const auto& k : keys) {
        const QString caption = QString::fromUtf8(k.caption);
        const bool word = caption.size() > 1;
        roundKey(p, QRectF(k.x + 1, k.y + 1, 64, 64), caption,
                 word ? QColor(238, 150, 150) : QColor(190, 178, 238),
                 word ? QColor(150, 0, 0) : kNavy,
                 word ? kai(22) : paint::font(QStringLiteral("DejaVu Sans"), 30, true));
    }
    p.setFont(song(14));
    p.setPen(QColor(90, 86, 130));
    p.drawText(QRectF(0, 574, 800, 22), Qt::AlignCenter,
               QStringLiteral("请用鼠标或触摸屏点击数字键输入，输入完毕按“确认”"));
    return image;
}

QImage drawExamTitle(const QString& subject)
{
    QImage image = paint::canvas(552, 61, kViolet);
    QPainter p(&image);
    examTitle(p, QRect(0, 0, 552, 61), subject);
    return image;
}

QImage drawQuestionPrompt(int questions)
{
    QImage image = paint::canvas(282, 32, QColor(236, 233, 252));
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(kai(24));
    p.setPen(QColor(160, 20, 40));
    p.drawText(QRectF(0, 0, 282, 32), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("请输入题号:(1-%1)").arg(questions));
    return image;
}

// The answer circles of the exam screen, lettered or with a tick or a cross.
void answerCircle(QPainter& p, const QPointF& centre, const QString& caption, const QColor& base)
{
    roundKey(p, QRectF(centre.x() - 34, centre.y() - 34, 68, 68), caption, base, Qt::white,
             paint::font(QStringLiteral("DejaVu Sans"), 34, true));
}

void navigationCircle(QPainter& p, const QRect& area, const QString& caption, const QColor& base)
{
    const QRectF box(area.x() + 6, area.y() + 4, 70, 70);
    roundKey(p, box, caption, base, Qt::white, kai(21));
}

const QColor kQuestionFill(246, 244, 255);
const QRect kQuestionFrame(4, 57, 550, 186);
const QRect kPictureFrame(558, 57, 234, 184);
const QRect kSheetFrame(12, 328, 490, 254);
const QRect kCandidateFrame(504, 328, 288, 254);
// Below the question's frame, not over its lower edge.
const QRect kAnswerBox(336, 245, 67, 67);

// A tick key and a cross key, each with its word a gap to its right.
void tickCrossKeys(QPainter& p, const QPointF& tick, const QPointF& cross, qreal gap)
{
    roundKey(p, QRectF(tick.x() - 36, tick.y() - 36, 72, 72), QString(), QColor(60, 160, 90),
             Qt::white, kai(20));
    roundKey(p, QRectF(cross.x() - 36, cross.y() - 36, 72, 72), QString(), QColor(210, 60, 60),
             Qt::white, kai(20));
    p.setPen(QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath t;
    t.moveTo(tick + QPointF(-17, 1));
    t.lineTo(tick + QPointF(-5, 14));
    t.lineTo(tick + QPointF(18, -14));
    p.drawPath(t);
    p.drawLine(cross + QPointF(-14, -14), cross + QPointF(14, 14));
    p.drawLine(cross + QPointF(14, -14), cross + QPointF(-14, 14));
    p.setFont(kai(16));
    p.setPen(QColor(60, 60, 110));
    p.drawText(QRectF(tick.x() + gap, 20, 50, 40), Qt::AlignCenter, QStringLiteral("正确"));
    p.drawText(QRectF(cross.x() + gap, 20, 50, 40), Qt::AlignCenter, QStringLiteral("错误"));
}

// The title band of an exam screen with the paper's line at its right.
void examHeader(QPainter& p, const QString& subject, const QString& paper)
{
    examTitle(p, QRect(0, 0, 800, 54), subject);
    p.setFont(round(15));
    p.setPen(QColor(255, 230, 150));
    p.drawText(QRectF(560, 4, 230, 46), Qt::AlignRight | Qt::AlignVCenter, paper);

    // Question and picture areas.
    paint::framedPanel(p, kQuestionFrame, kQuestionFill, QColor(120, 106, 190), 8);
    paint::framedPanel(p, kPictureFrame, QColor(213, 187, 255), QColor(120, 106, 190), 8);
}

// The box that shows the answer given, with its caption below.
void answerBox(QPainter& p, const QRectF& box)
{
    paint::framedPanel(p, box, Qt::white, QColor(60, 140, 80), 8);
    p.setFont(song(12, true));
    p.setPen(QColor(60, 120, 70));
    p.drawText(QRectF(box.left(), 312, box.width(), 16), Qt::AlignCenter,
               QStringLiteral("您的答案"));
}

// The four buttons that move through the paper and end it, at x and the pitch.
void navigationRow(QPainter& p, int x, int pitch)
{
    const struct
    {
        const char* caption;
        QColor base;
    } buttons[] = {{"下一题", QColor(60, 150, 90)},
                   {"上一题", QColor(60, 150, 90)},
                   {"选题", QColor(210, 140, 40)},
                   {"交卷", QColor(200, 50, 60)}};
    for (const auto& b : buttons) {
        navigationCircle(p, QRect(x, 240, 81, 78), QString::fromUtf8(b.caption), b.base);
        x += pitch;
    }
}

// The answer sheet's panel with the columns of its grid, and the candidate's panel.
void sheetAndCandidate(QPainter& p, int columns, const QString& subject)
{
    paint::framedPanel(p, kSheetFrame, QColor(236, 233, 252), QColor(120, 106, 190), 8);
    p.setFont(kai(19));
    p.setPen(kNavy);
    p.drawText(QRectF(24, 334, 150, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("答题卡"));
    p.setFont(song(14, true));
    p.setPen(QColor(40, 40, 120));
    p.drawText(QRectF(260, 334, 230, 24), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("⊙ 已答题    ○ 未答题"));
    p.fillRect(QRect(22, 360, 470, 200), QColor(219, 215, 240));
    p.setPen(QColor(190, 184, 226));
    const int pitch = 470 / columns;
    for (int c = 1; c < columns; ++c) {
        p.drawLine(22 + c * pitch, 360, 22 + c * pitch, 559);
    }

    paint::framedPanel(p, kCandidateFrame, QColor(236, 233, 252), QColor(120, 106, 190), 8);
    p.setFont(kai(19));
    p.setPen(kNavy);
    p.drawText(QRectF(516, 334, 200, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("考生信息"));
    p.setFont(song(15, true));
    p.setPen(QColor(60, 60, 110));
    const struct
    {
        int y;
        int right;
        const char* caption;
    } rows[] = {{361, 604, "准考证号:"},
                {389, 604, "考生姓名:"},
                {418, 604, "考试科目:"},
                {446, 627, "准驾车型:"}};
    for (const auto& r : rows) {
        p.drawText(QRectF(508, r.y, r.right - 508, 21), Qt::AlignRight | Qt::AlignVCenter,
                   QString::fromUtf8(r.caption));
    }
    p.setFont(kai(21));
    p.setPen(Qt::blue);
    p.drawText(QRectF(607, 418, 178, 21), Qt::AlignLeft | Qt::AlignVCenter, subject);
    // Photo box.
    const QRectF photo(520, 474, 66, 78);
    p.setPen(QPen(QColor(120, 106, 190), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(photo);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 196, 228));
    p.drawEllipse(QPointF(photo.center().x(), photo.top() + 28), 13, 15);
    p.drawChord(QRectF(photo.left() + 10, photo.top() + 46, photo.width() - 20, 52), 0, 180 * 16);
    p.setFont(song(12));
    p.setPen(QColor(120, 116, 160));
    p.drawText(QRectF(596, 474, 96, 78), Qt::AlignCenter | Qt::TextWordWrap,
               QStringLiteral("本机练习\n无需照片"));
}

QImage simulateExamBase(bool answerCircles)
{
    QImage image = paint::canvas(800, 600, kLavender);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    examHeader(p, QStringLiteral("科目一"), QStringLiteral("小型汽车 · 共100题 · 45分钟"));

    if (answerCircles) {
        const QColor blue(70, 110, 210);
        answerCircle(p, QPointF(49, 274), QStringLiteral("A"), blue);
        answerCircle(p, QPointF(130, 274), QStringLiteral("B"), blue);
        answerCircle(p, QPointF(212, 274), QStringLiteral("C"), blue);
        answerCircle(p, QPointF(294, 274), QStringLiteral("D"), blue);
    }
    answerBox(p, kAnswerBox);

    navigationRow(p, 410, 98);
    sheetAndCandidate(p, 10, QStringLiteral("科目一"));
    return image;
}

QImage drawSimulateExam()
{
    return simulateExamBase(true);
}

// Subject four's answer keys: smaller, to leave room for the confirm key of multiple
// answers; a toggled letter is pressed in, with a gold ring.
const QColor kLetterBlue(70, 110, 210);
constexpr int kSafeKeyPitch = 74;
constexpr int kSafeKeyLeft = 9;

QPointF safeKeyCentre(int index)
{
    return QPointF(kSafeKeyLeft + 37 + index * kSafeKeyPitch, 275);
}

void safeKey(QPainter& p, int index, bool down)
{
    const QString letter(QChar(u'A' + index));
    const QPointF c = safeKeyCentre(index);
    const QRectF box(c.x() - 32, c.y() - 32, 64, 64);
    const QFont face = paint::font(QStringLiteral("DejaVu Sans"), 32, true);
    if (!down) {
        roundKey(p, box, letter, kLetterBlue, Qt::white, face);
        return;
    }
    // Sunk into a gold ring, darker, its letter warm: the key's shade falls inside.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(244, 196, 60));
    p.drawEllipse(box.adjusted(-4, -4, 4, 4));
    p.restore();
    roundKey(p, box.translated(1, 1), letter, kLetterBlue.darker(150), QColor(255, 244, 200), face);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 30, 110), 3));
    p.drawArc(box.adjusted(3, 3, -3, -3), 40 * 16, 120 * 16);
    p.restore();
}

constexpr int kSafeNavigationLeft = 462;
const QRectF kSafeAnswerBox(304, 245, 78, 67);

enum class Keys
{
    Up,
    Down,
    None
};

// The confirm key's place, where the exam's own picture lies beneath it.
const QRect kSafeConfirm(386, 240, 70, 70);

QImage safeExamBase(Keys keys)
{
    QImage image = paint::canvas(800, 600, kLavender);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    examHeader(p, QStringLiteral("科目四"), QStringLiteral("小型汽车 · 共50题 · 30分钟"));
    for (int i = 0; keys != Keys::None && i < 4; ++i) {
        safeKey(p, i, keys == Keys::Down);
    }
    answerBox(p, kSafeAnswerBox);
    navigationRow(p, kSafeNavigationLeft, 82);
    sheetAndCandidate(p, 5, QStringLiteral("科目四"));
    return image;
}

QImage drawSafeExam()
{
    return safeExamBase(Keys::Up);
}

// A letter key held down, laid over its place while the letter is toggled on.
QImage drawSafeKeyDown(int index)
{
    const QPointF c = safeKeyCentre(index);
    return paint::crop(safeExamBase(Keys::Down), QRect(int(c.x()) - 37, 238, 74, 74));
}

// The confirm key of multiple answers on the exam's picture: normal, then greyed for the
// questions that need none.
QImage drawSafeConfirm()
{
    const QRectF key(kSafeConfirm.x() + 4, kSafeConfirm.y() + 3, 62, 62);
    QImage normal = safeExamBase(Keys::Up);
    QImage greyed = normal;
    {
        QPainter p(&normal);
        roundKey(p, key, QStringLiteral("确定"), QColor(220, 130, 40), Qt::white, kai(20));
        QPainter q(&greyed);
        roundKey(q, key, QStringLiteral("确定"), QColor(190, 186, 206), QColor(240, 240, 248),
                 kai(20));
    }
    return twoFrameGlyph(normal, greyed, kSafeConfirm);
}

// Laid over the four letter keys for a statement: a tick and a cross.
QImage drawSafeTickCross()
{
    // The exam's picture there without the letter keys, so that the frame of the question
    // above stays whole.
    QImage image =
        paint::crop(safeExamBase(Keys::None), QRect(kSafeKeyLeft, 234, 4 * kSafeKeyPitch, 79));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF tick(70 - kSafeKeyLeft, 274 - 234);
    const QPointF cross(200 - kSafeKeyLeft, 274 - 234);
    tickCrossKeys(p, tick, cross, 36);
    return image;
}

QImage drawTickCross()
{
    // The strip lies over the four answer circles: the exam background there without them,
    // so that the frame of the question above stays whole, with a tick under the first
    // answer area and a cross under the third.
    QImage image = paint::crop(simulateExamBase(false), QRect(9, 234, 328, 79));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF tick(66 + 40 - 9, 274 - 234);
    const QPointF cross(200 + 40 - 9, 274 - 234);
    tickCrossKeys(p, tick, cross, 40);
    return image;
}

const QRectF kResultPanel(160, 110, 560, 216);
const QRectF kResultSlogan(270, 400, 333, 95);
// A column of numbers or a button: its left, its caption, its colour.
struct ResultItem
{
    int x;
    const char* caption;
    QColor color;
};
const ResultItem kResultColumns[] = {{193, "答对题数", QColor(0, 128, 0)},
                                     {364, "答错题数", QColor(200, 0, 0)},
                                     {538, "考试得分", QColor(0, 0, 220)}};
const ResultItem kResultButtons[] = {{186, "查看答案", QColor(70, 120, 210)},
                                     {359, "重新考试", QColor(60, 150, 90)},
                                     {532, "退出考试", QColor(200, 70, 70)}};

QRectF resultHead(int x)
{
    return QRectF(x, 200, 156, 50);
}

QRect resultBox(int x)
{
    return QRect(x, 259, 156, 56);
}

QRectF resultButtonFace(int x)
{
    return QRectF(x + 4, 333, 156, 60);
}

// The result screen's background; the line under the title names the paper.
QImage drawExamResult(const QString& paper)
{
    QImage image = paint::canvas(800, 600, kLavender);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    violetBand(p, QRect(0, 0, 800, 70));
    p.setFont(kai(42));
    paint::shadowedText(p, QRectF(0, 0, 800, 66), QStringLiteral("模拟考试成绩"), Qt::white,
                        QColor(20, 10, 60, 170), Qt::AlignCenter, 2);

    // The panel reaches far enough below the number boxes (their labels' places are fixed)
    // that its inner frame passes under them, not through them; the buttons' faces start
    // below its shadow.
    paint::framedPanel(p, kResultPanel, QColor(246, 244, 255), QColor(120, 106, 190), 14);
    p.setFont(kai(26));
    p.setPen(kNavy);
    p.drawText(QRectF(180, 124, 520, 40), Qt::AlignCenter, paper);
    for (const ResultItem& c : kResultColumns) {
        const QRectF head = resultHead(c.x);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(196, 186, 240));
        p.drawRoundedRect(head, 6, 6);
        p.setFont(kai(28));
        p.setPen(c.color);
        p.drawText(head, Qt::AlignCenter, QString::fromUtf8(c.caption));
        const QRect box = resultBox(c.x);
        sunkenBox(p, box, Qt::white);
        // A white lower edge vanishes on the pale panel and the box looks cut off.
        p.setPen(QColor(176, 168, 222));
        p.drawLine(box.bottomLeft() + QPoint(1, 0), box.bottomRight());
        p.drawLine(box.topRight() + QPoint(0, 1), box.bottomRight());
    }

    for (const ResultItem& b : kResultButtons) {
        const QRectF face = resultButtonFace(b.x);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 60));
        p.drawRoundedRect(face.translated(2, 3), 28, 28);
        QLinearGradient g(face.topLeft(), face.bottomLeft());
        g.setColorAt(0, b.color.lighter(140));
        g.setColorAt(1, b.color.darker(120));
        p.setBrush(g);
        p.setPen(QPen(b.color.darker(170), 1.5));
        p.drawRoundedRect(face, 28, 28);
        p.setFont(kai(28));
        paint::shadowedText(p, face, QString::fromUtf8(b.caption), Qt::white, QColor(0, 0, 0, 90),
                            Qt::AlignCenter, 1.5);
    }

    // The slogan that the pass picture covers.
    paint::framedPanel(p, kResultSlogan, QColor(255, 250, 236), QColor(210, 150, 60), 12);
    p.setFont(kai(30));
    p.setPen(QColor(190, 90, 20));
    p.drawText(QRectF(270, 404, 333, 46), Qt::AlignCenter, QStringLiteral("再接再厉"));
    p.setFont(kai(22));
    p.drawText(QRectF(270, 446, 333, 40), Qt::AlignCenter,
               QStringLiteral("多练习，下次一定通过！"));
    p.setFont(song(14));
    p.setPen(QColor(90, 86, 130));
    p.drawText(QRectF(0, 560, 800, 24), Qt::AlignCenter,
               QStringLiteral("查看答案：答错和未答的题在答题卡上以红色标出"));
    return image;
}

QImage drawExamPassed()
{
    QImage image = paint::canvas(333, 98, QColor(255, 246, 214));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 40, 40), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(2, 2, 329, 94), 12, 12);
    // A medal.
    const QPointF c(52, 49);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 40));
    QPolygonF ribbon;
    ribbon << c + QPointF(-16, 0) << c + QPointF(-24, 40) << c + QPointF(-8, 30)
           << c + QPointF(0, 44) << c + QPointF(6, 0);
    p.drawPolygon(ribbon);
    QRadialGradient gold(c - QPointF(8, 10), 36);
    gold.setColorAt(0, QColor(255, 240, 150));
    gold.setColorAt(1, QColor(214, 150, 20));
    p.setBrush(gold);
    p.setPen(QPen(QColor(170, 110, 10), 2));
    p.drawEllipse(c - QPointF(0, 8), 28, 28);
    p.setFont(kai(26));
    p.setPen(QColor(150, 60, 0));
    p.drawText(QRectF(c.x() - 28, c.y() - 36, 56, 56), Qt::AlignCenter, QStringLiteral("优"));
    p.setFont(kai(32));
    paint::shadowedText(p, QRectF(92, 8, 236, 46), QStringLiteral("恭喜您通过了！"),
                        QColor(200, 30, 30), QColor(255, 255, 255), Qt::AlignCenter, 1.5);
    p.setFont(kai(20));
    p.setPen(QColor(120, 60, 20));
    p.drawText(QRectF(92, 54, 236, 34), Qt::AlignCenter, QStringLiteral("模拟考试成绩合格"));
    return image;
}

} // namespace

std::vector<DrawnFrame> examFrames(bool subjectFour)
{
    return {
        {QStringLiteral("question"), kQuestionFrame},
        {QStringLiteral("picture"), kPictureFrame},
        {QStringLiteral("answer given"), subjectFour ? kSafeAnswerBox.toRect() : kAnswerBox},
        {QStringLiteral("answer sheet"), kSheetFrame},
        {QStringLiteral("candidate"), kCandidateFrame},
    };
}

std::vector<DrawnFrame> resultFrames()
{
    std::vector<DrawnFrame> frames = {
        {QStringLiteral("panel"), kResultPanel.toRect()},
        {QStringLiteral("slogan"), kResultSlogan.toRect()},
    };
    for (const ResultItem& c : kResultColumns) {
        frames.push_back({QString::fromUtf8(c.caption), resultHead(c.x).toRect()});
        frames.push_back({QString::fromUtf8(c.caption) + QStringLiteral(" box"), resultBox(c.x)});
    }
    for (const ResultItem& b : kResultButtons) {
        frames.push_back({QString::fromUtf8(b.caption), resultButtonFace(b.x).toRect()});
    }
    return frames;
}

std::vector<ArtItem> examArt()
{
    using T = ArtItem::Target;
    std::vector<ArtItem> items = {
        {T::Resource, QStringLiteral("art/StudentLogin.rgb32"), "rgb32", drawStudentLogin},
        {T::Resource, QStringLiteral("art/ExamTitle.bmp"), "bmp",
         [] { return drawExamTitle(QStringLiteral("科目一")); }},
        {T::Resource, QStringLiteral("art/ExamTitleFour.bmp"), "bmp",
         [] { return drawExamTitle(QStringLiteral("科目四")); }},
        {T::Resource, QStringLiteral("art/QuestionPrompt.jpg"), "jpg",
         [] { return drawQuestionPrompt(100); }},
        {T::Resource, QStringLiteral("art/QuestionPromptFour.jpg"), "jpg",
         [] { return drawQuestionPrompt(50); }},
        {T::Resource, QStringLiteral("art/SimulateExam.rgb32"), "rgb32", drawSimulateExam},
        {T::Resource, QStringLiteral("art/ExamTickCross.rgb32"), "rgb32", drawTickCross},
        {T::Resource, QStringLiteral("art/SafeExam.rgb32"), "rgb32", drawSafeExam},
        {T::Resource, QStringLiteral("art/SafeTickCross.rgb32"), "rgb32", drawSafeTickCross},
        {T::Resource, QStringLiteral("art/SafeConfirm.rgb32"), "rgb32", drawSafeConfirm},
        {T::Resource, QStringLiteral("art/ExamResult.rgb32"), "rgb32",
         [] { return drawExamResult(QStringLiteral("本次模拟考试共100题，满分100分，90分及格")); }},
        {T::Resource, QStringLiteral("art/ExamResultFour.rgb32"), "rgb32",
         [] { return drawExamResult(QStringLiteral("共50题，每题2分，满分100分，90分及格")); }},
        {T::Resource, QStringLiteral("art/ExamPassed.rgb32"), "rgb32", drawExamPassed},
    };
    // The letter keys held down, one picture a letter.
    for (int i = 0; i < 4; ++i) {
        items.push_back({T::Resource,
                         QStringLiteral("art/SafeKeyDown%1.rgb32").arg(QChar(u'A' + i)), "rgb32",
                         [i] { return drawSafeKeyDown(i); }});
    }
    return items;
}
