#include "tools/art/Signs.h"

#include "tools/art/SignKit.h"

#include <QRegularExpression>
#include <QtMath>

using namespace signkit;

namespace {

const KindTable& signKinds()
{
    static const KindTable table = [] {
        KindTable t;
        addWarningSigns(t);
        addRegulatorySigns(t);
        addGuideSigns(t);
        return t;
    }();
    return table;
}

const KindTable& markingKinds()
{
    static const KindTable table = [] {
        KindTable t;
        addMarkings(t);
        return t;
    }();
    return table;
}

// "sign/speed_limit_40" -> kind "speed_limit", argument "40".
bool splitName(const KindTable& table, const QString& prefix, const QString& name,
               const SignKind** kind, QString* arg)
{
    if (!name.startsWith(prefix)) {
        return false;
    }
    const QString id = name.mid(prefix.size());
    const auto exact = table.find(id);
    if (exact != table.end() && !exact->second.numbered) {
        *kind = &exact->second;
        arg->clear();
        return true;
    }
    static const QRegularExpression numbered(QStringLiteral("^(.+)_(\\d{1,3}(?:\\.\\d)?)$"));
    const auto m = numbered.match(id);
    if (m.hasMatch()) {
        const auto it = table.find(m.captured(1));
        if (it != table.end() && it->second.numbered) {
            *kind = &it->second;
            *arg = m.captured(2);
            return true;
        }
    }
    return false;
}

// The sign fills the largest rectangle of its own proportions that the canvas holds
// inside the margin, centred.
QImage render(const SignKind& kind, const QString& arg, const QSize& canvas,
              const QColor& background, qreal margin)
{
    QImage image(canvas, background.alpha() < 255 ? QImage::Format_ARGB32_Premultiplied
                                                  : QImage::Format_RGB32);
    image.fill(background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QSizeF shape(kind.aspect, 1);
    shape.scale(QSizeF(canvas) - QSizeF(2 * margin, 2 * margin), Qt::KeepAspectRatio);
    const QPointF corner((canvas.width() - shape.width()) / 2,
                         (canvas.height() - shape.height()) / 2);
    kind.draw(p, QRectF(corner, shape), arg);
    return image;
}

constexpr qreal kMargin = 0.04;

QStringList names(const KindTable& table, const QString& prefix)
{
    QStringList all;
    for (const auto& [id, kind] : table) {
        if (kind.numbered) {
            for (const QString& n : kind.variants) {
                all << prefix + id + QLatin1Char('_') + n;
            }
        } else {
            all << prefix + id;
        }
    }
    return all;
}

} // namespace

bool isKnownSign(const QString& name)
{
    const SignKind* kind = nullptr;
    QString arg;
    return splitName(signKinds(), QStringLiteral("sign/"), name, &kind, &arg);
}

QImage drawSign(const QString& name, int size, const QColor& background)
{
    const SignKind* kind = nullptr;
    QString arg;
    if (!splitName(signKinds(), QStringLiteral("sign/"), name, &kind, &arg) || size < 8) {
        return QImage();
    }
    return render(*kind, arg, QSize(size, size), background, size * kMargin);
}

QImage drawSignAtWidth(const QString& name, int width, const QColor& background)
{
    const SignKind* kind = nullptr;
    QString arg;
    if (!splitName(signKinds(), QStringLiteral("sign/"), name, &kind, &arg) || width < 8) {
        return QImage();
    }
    const qreal margin = width * kMargin;
    const int height = qCeil((width - 2 * margin) / kind->aspect + 2 * margin);
    return render(*kind, arg, QSize(width, height), background, margin);
}

qreal signAspect(const QString& name)
{
    const SignKind* kind = nullptr;
    QString arg;
    return splitName(signKinds(), QStringLiteral("sign/"), name, &kind, &arg) ? kind->aspect : 0;
}

QStringList signNames()
{
    return names(signKinds(), QStringLiteral("sign/"));
}

int signPageSize(const QString& name)
{
    const SignKind* kind = nullptr;
    QString arg;
    if (splitName(signKinds(), QStringLiteral("sign/"), name, &kind, &arg) ||
        splitName(markingKinds(), QStringLiteral("marking/"), name, &kind, &arg)) {
        return kind->aspect < 1 ? qRound(kind->pageSize * kind->aspect) : kind->pageSize;
    }
    return 0;
}

QImage drawMarking(const QString& name, int size)
{
    const SignKind* kind = nullptr;
    QString arg;
    if (!splitName(markingKinds(), QStringLiteral("marking/"), name, &kind, &arg) || size < 8) {
        return QImage();
    }
    return render(*kind, arg, QSize(size, size), Qt::white, 0);
}

bool isKnownMarking(const QString& name)
{
    const SignKind* kind = nullptr;
    QString arg;
    return splitName(markingKinds(), QStringLiteral("marking/"), name, &kind, &arg);
}

QStringList markingNames()
{
    return names(markingKinds(), QStringLiteral("marking/"));
}
