#include "sharedscreens/StudyParts.h"

#include "toolkit/ClickArea.h"
#include "toolkit/Controls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

const QColor kGold(240, 176, 30);
const QColor kFrame(120, 106, 190);

QPainterPath starPath(const QRectF& box)
{
    QPainterPath path;
    const QPointF centre = box.center();
    const qreal outer = qMin(box.width(), box.height()) / 2;
    const qreal inner = outer * 0.45;
    for (int i = 0; i < 10; ++i) {
        const qreal r = i % 2 == 0 ? outer : inner;
        const qreal angle = qDegreesToRadians(-90.0 + 36.0 * i);
        const QPointF point(centre.x() + r * qCos(angle), centre.y() + r * qSin(angle));
        i == 0 ? path.moveTo(point) : path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

} // namespace

StarToggle::StarToggle(QWidget* parent)
    : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("收藏本题"));
}

void StarToggle::setOn(bool on)
{
    m_on = on;
    setToolTip(on ? QStringLiteral("取消收藏") : QStringLiteral("收藏本题"));
    update();
}

void StarToggle::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(2, 2, -2, -2);
    p.setPen(
        QPen(m_on ? QColor(190, 120, 0) : kFrame, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(m_on ? kGold : QColor(255, 255, 255, 200));
    p.drawPath(starPath(box));
}

void StarToggle::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        setOn(!m_on);
        if (OnToggle) {
            OnToggle(m_on);
        }
    }
}

PickRing::PickRing(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void PickRing::ring(const QRect& key)
{
    setGeometry(key.adjusted(-5, -5, 5, 5));
    raise();
    show();
    update();
}

void PickRing::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(240, 130, 20), 4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(rect()).adjusted(3, 3, -3, -3));
}

PictureZoom::PictureZoom(QWidget* parent)
    : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
    hide();
}

bool PictureZoom::showPicture(const QImage& picture)
{
    if (picture.isNull() || !parentWidget()) {
        return false;
    }
    m_picture = picture;
    const QSize area = parentWidget()->size();
    // Twice the size, smaller only where the screen cannot hold that.
    QSize shown = picture.size() * 2;
    shown.scale(shown.boundedTo(area - QSize(24, 24)), Qt::KeepAspectRatio);
    const QSize box = shown + QSize(16, 16);
    setGeometry(
        QRect(QPoint((area.width() - box.width()) / 2, (area.height() - box.height()) / 2), box));
    raise();
    show();
    update();
    return true;
}

void PictureZoom::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setPen(QPen(kFrame, 3));
    p.setBrush(QColor(246, 244, 255));
    p.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 8, 8);
    p.drawImage(QRectF(rect()).adjusted(8, 8, -8, -8), m_picture);
}

void PictureZoom::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        hide();
    }
}

QWidget* zoomArea(QWidget* parent, const char* name, const QRect& place, PictureZoom* zoom,
                  std::function<QImage()> picture)
{
    auto* area = clickArea<Label>(parent, name, place);
    area->OnClick = [zoom, picture = std::move(picture)](QObject*) {
        zoom->showPicture(picture());
    };
    return area;
}
