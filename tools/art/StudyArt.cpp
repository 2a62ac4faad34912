// The study-modes screen: a card for each way of study with what it does, and the face
// of its return button.
#include "tools/art/Artwork.h"
#include "tools/art/Paint.h"

#include <QPainter>

namespace {

using paint::kDeepBlue;
using paint::kLavender;
const QRect kHomeButton(560, 532, 199, 47);

QRectF modeCard(int i)
{
    return QRectF(i % 2 == 0 ? 21 : 405, 92 + (i / 2) * 108, 374, 98);
}

QImage drawStudyModes()
{
    QImage image = paint::canvas(800, 600, kLavender);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    paint::titledGround(p, 600, QStringLiteral("学习模式"),
                        QStringLiteral("章节 · 随机 · 易错 · 复习 · 冲刺"), 320);
    const struct
    {
        const char* title;
        const char* line;
    } cards[] = {
        {"继续练习", "顺序练习，从上次停下的题接着做"},
        {"章节练习", "选一章，按题号做完它"},
        {"随机练习", "全部题目打乱，一轮做完才重复"},
        {"易错题", "你答错最多的题排在最前"},
        {"到期复习", "错题隔1、3、7、15天再练"},
        {"收藏", "练习和回顾时点亮星标的题"},
        {"考前冲刺", "薄弱章节多出题的模拟考试"},
        {"考场模式", "每题确认即判分，不能及格即结束"},
    };
    for (int i = 0; i < 8; ++i) {
        const QRectF card = modeCard(i);
        paint::framedPanel(p, card, QColor(246, 244, 255), kDeepBlue, 12);
        p.setFont(paint::font(QStringLiteral("隶书"), 32, true));
        p.setPen(kDeepBlue);
        p.drawText(card.adjusted(18, 8, -10, -50), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromUtf8(cards[i].title));
        p.setFont(paint::font(QStringLiteral("幼圆"), 15));
        p.setPen(QColor(90, 90, 130));
        p.drawText(card.adjusted(18, 54, -10, -12), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromUtf8(cards[i].line));
    }
    paint::ovalButton(p, kHomeButton, QStringLiteral("返回首页"), QColor(186, 180, 234), kDeepBlue,
                      paint::font(QStringLiteral("隶书"), 28, true));
    return image;
}

} // namespace

std::vector<DrawnFrame> studyModesFrames()
{
    std::vector<DrawnFrame> frames = {{QStringLiteral("返回首页"), kHomeButton}};
    for (int i = 0; i < 8; ++i) {
        frames.push_back({QStringLiteral("card %1").arg(i + 1), modeCard(i).toRect()});
    }
    return frames;
}

std::vector<ArtItem> studyArt()
{
    using T = ArtItem::Target;
    return {
        {T::Resource, QStringLiteral("art/XueXiMoShi.rgb32"), "rgb32", drawStudyModes},
    };
}
