#include "tools/art/Signs.h"

#include "tools/art/SignKit.h"

#include <QRegularExpression>

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

QImage render(const SignKind& kind, const QString& arg, int size, const QColor& background,
              qreal marginRatio)
{
    QImage image(size, size,
                 background.alpha() < 255 ? QImage::Format_ARGB32_Premultiplied
                                          : QImage::Format_RGB32);
    image.fill(background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal margin = size * marginRatio;
    kind.draw(p, QRectF(margin, margin, size - 2 * margin, size - 2 * margin), arg);
    return image;
}

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
    return render(*kind, arg, size, background, 0.04);
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
        return kind->pageSize;
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
    return render(*kind, arg, size, Qt::white, 0);
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
