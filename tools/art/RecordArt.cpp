// The study-record screen: the frames of the score plot, the counts and the chapters,
// and the faces of its two buttons.
#include "tools/art/Artwork.h"
#include "tools/art/Paint.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

using paint::kDeepBlue;
using paint::kLavender;

const QRectF kPlotPanel(21, 88, 506, 304);
const QRectF kCountsPanel(541, 88, 238, 304);
const QRectF kChaptersPanel(21, 402, 758, 118);
const QRect kPracticeButton(320, 532, 199, 47);
const QRect kReturnButton(560, 532, 199, 47);
const QRect kBadgePlace(676, 18, 100, 40);

void captionButton(QPainter& p, const QRect& box, const QString& caption)
{
    paint::ovalButton(p, box, caption, QColor(186, 180, 234), kDeepBlue,
                      paint::font(QStringLiteral("隶书"), 28, true));
}

void panelHeading(QPainter& p, const QRectF& box, const QString& text)
{
    p.setFont(paint::font(QStringLiteral("隶书"), 22, true));
    p.setPen(kDeepBlue);
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
}

QImage drawRecordBackground()
{
    QImage image = paint::canvas(800, 600, kLavender);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);

    paint::titledGround(p, 600, QStringLiteral("学习记录"),
                        QStringLiteral("成绩走势 · 章节得分 · 错题本"), 320);

    // Score plot.
    paint::framedPanel(p, kPlotPanel, QColor(246, 244, 255), kDeepBlue, 12);
    panelHeading(p, QRectF(36, 94, 300, 28), QStringLiteral("最近30次模拟考试成绩"));

    // Counts.
    paint::framedPanel(p, kCountsPanel, QColor(246, 244, 255), kDeepBlue, 12);
    panelHeading(p, QRectF(556, 94, 200, 28), QStringLiteral("考试统计"));
    p.setFont(paint::font(QStringLiteral("宋体"), 18, true));
    p.setPen(QColor(60, 60, 110));
    const struct
    {
        int y;
        const char* caption;
    } counts[] = {{128, "考试次数:"}, {176, "通过次数:"}, {224, "错题本:"}, {272, "未答:"}};
    for (const auto& c : counts) {
        p.drawText(QRectF(556, c.y, 96, 35), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromUtf8(c.caption));
        p.setPen(QPen(QColor(150, 144, 200), 1));
        p.drawLine(QPointF(556, c.y + 38), QPointF(764, c.y + 38));
        p.setPen(QColor(60, 60, 110));
    }
    p.setFont(paint::font(QStringLiteral("幼圆"), 13));
    p.setPen(QColor(100, 100, 140));
    p.drawText(
        QRectF(556, 318, 212, 70), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
        QStringLiteral("90分及格。考试和练习中答错的题记入错题本，答对一次或复习满四轮就移出；"
                       "考试中未答的题只计入未答。"));

    // Chapters.
    paint::framedPanel(p, kChaptersPanel, QColor(246, 244, 255), kDeepBlue, 12);
    panelHeading(p, QRectF(36, 406, 400, 24), QStringLiteral("各章答对率（全部考试）"));
    p.setFont(paint::font(QStringLiteral("幼圆"), 13));
    p.setPen(QColor(100, 100, 140));
    p.drawText(QRectF(420, 406, 350, 24), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("左柱：考试答对率　右柱：练习进度（点击练习该章）"));

    captionButton(p, kPracticeButton, QStringLiteral("练习错题"));
    captionButton(p, kReturnButton, QStringLiteral("返回"));
    return image;
}

// The left of the practice screen's title band with another title, laid over the band:
// wrong-question practice, and both practices of subject four.
QImage drawPracticeTitle(const QString& title, const QString& subtitle)
{
    QImage image = paint::canvas(450, 76, kLavender);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient band(0, 0, 0, 76);
    band.setColorAt(0, QColor(70, 96, 178));
    band.setColorAt(1, QColor(34, 52, 120));
    p.fillRect(image.rect(), band);
    p.setFont(paint::font(QStringLiteral("隶书"), 46, true));
    paint::shadowedText(p, QRectF(24, 4, 300, 68), title, QColor(255, 255, 255),
                        QColor(10, 20, 60, 170), Qt::AlignLeft | Qt::AlignVCenter, 2.5);
    p.setFont(paint::font(QStringLiteral("幼圆"), 15));
    p.setPen(QColor(214, 224, 255));
    p.drawText(QRectF(236, 40, 210, 24), Qt::AlignLeft | Qt::AlignVCenter, subtitle);
    return image;
}

// The tag at the right of the record's title band that names the subject shown.
QImage drawSubjectBadge(const QString& subject)
{
    const QRect place = kBadgePlace;
    QImage image = paint::canvas(800, 80, kLavender);
    {
        QPainter p(&image);
        paint::titledGround(p, 80, QString(), QString(), 0);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient fill(0, place.top(), 0, place.bottom());
        fill.setColorAt(0, QColor(255, 236, 170));
        fill.setColorAt(1, QColor(244, 196, 60));
        p.setBrush(fill);
        p.setPen(QPen(QColor(255, 255, 255), 1.5));
        p.drawRoundedRect(QRectF(place).adjusted(1.5, 1.5, -1.5, -1.5), 9, 9);
        p.setFont(paint::font(QStringLiteral("隶书"), 27, true));
        p.setPen(kDeepBlue);
        p.drawText(QRectF(place), Qt::AlignCenter, subject);
    }
    return paint::crop(image, place);
}

} // namespace

std::vector<DrawnFrame> recordFrames()
{
    return {
        {QStringLiteral("scores"), kPlotPanel.toRect()},
        {QStringLiteral("counts"), kCountsPanel.toRect()},
        {QStringLiteral("chapters"), kChaptersPanel.toRect()},
        {QStringLiteral("练习错题"), kPracticeButton},
        {QStringLiteral("返回"), kReturnButton},
        {QStringLiteral("subject"), kBadgePlace},
    };
}

std::vector<ArtItem> recordArt()
{
    using T = ArtItem::Target;
    // The titles of the study modes' practice, per subject: ModeTitle1Random.rgb32.
    const struct
    {
        const char* name;
        const char* title;
        const char* line;
    } modes[] = {
        {"Continue", "继续练习", "从上次停下的题接着做"}, {"Chapter", "章节练习", "按题号做完一章"},
        {"Random", "随机练习", "一轮做完才重复"},         {"Missed", "易错题", "答错最多的在前"},
        {"Due", "到期复习", "隔1、3、7、15天再练"},       {"Starred", "收藏", "星标的题"},
    };
    std::vector<ArtItem> titles;
    for (const auto& m : modes) {
        for (const int subject : {1, 4}) {
            const QString line =
                (subject == 1 ? QStringLiteral("科目一 · ") : QStringLiteral("科目四 · ")) +
                QString::fromUtf8(m.line);
            const QString title = QString::fromUtf8(m.title);
            titles.push_back(
                {T::Resource,
                 QStringLiteral("art/ModeTitle%1%2.rgb32").arg(subject).arg(QLatin1String(m.name)),
                 "rgb32", [title, line] { return drawPracticeTitle(title, line); }});
        }
    }
    std::vector<ArtItem> items = {
        {T::Resource, QStringLiteral("art/XueXiJiLu.rgb32"), "rgb32", drawRecordBackground},
        {T::Resource, QStringLiteral("art/CuoTiTitle.rgb32"), "rgb32",
         [] {
             return drawPracticeTitle(QStringLiteral("错题练习"),
                                      QStringLiteral("错题本 · 答对一次就移出"));
         }},
        {T::Resource, QStringLiteral("art/SafePracticeTitle.rgb32"), "rgb32",
         [] {
             return drawPracticeTitle(QStringLiteral("顺序练习"),
                                      QStringLiteral("科目四 · 安全文明驾驶"));
         }},
        {T::Resource, QStringLiteral("art/SafeCuoTiTitle.rgb32"), "rgb32",
         [] {
             return drawPracticeTitle(QStringLiteral("错题练习"),
                                      QStringLiteral("科目四 · 答对一次就移出"));
         }},
        {T::Resource, QStringLiteral("art/RecordSubjectOne.rgb32"), "rgb32",
         [] { return drawSubjectBadge(QStringLiteral("科目一")); }},
        {T::Resource, QStringLiteral("art/RecordSubjectFour.rgb32"), "rgb32",
         [] { return drawSubjectBadge(QStringLiteral("科目四")); }},
    };
    items.insert(items.end(), titles.begin(), titles.end());
    return items;
}
