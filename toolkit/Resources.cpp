#include "toolkit/Resources.h"

#include "gui/Error.h"
#include "toolkit/ReadyPicture.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QResource>

QString loadStr(StringId id)
{
    switch (id) {
    case StringId::Contact:
        return QStringLiteral("Quorin软件  www.quorin.cn  电话:0571-8765 4321");
    }
    return QString();
}

namespace {

QImage decodeResource(const QString& path)
{
    const QResource resource(path);
    if (!resource.isValid()) {
        return QImage();
    }
    const QByteArray bytes = resource.uncompressedData();
    if (ReadyPicture::isReadyPicture(bytes)) {
        return ReadyPicture::decode(bytes);
    }
    // Told the format, the reader does not load every image plugin to guess it.
    QByteArray format;
    if (bytes.startsWith("\x89PNG")) {
        format = "png";
    } else if (bytes.startsWith("\xFF\xD8")) {
        format = "jpeg";
    } else if (bytes.startsWith("BM")) {
        format = "bmp";
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    return reader.read();
}

} // namespace

qreal screenDensity()
{
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

QString doubledPicturePath(const QString& path)
{
    const auto slash = path.lastIndexOf(QLatin1Char('/'));
    const auto dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > slash ? path.left(dot) + QStringLiteral("@2x") + path.mid(dot)
                       : path + QStringLiteral("@2x");
}

QImage pictureForScreen(const QImage& doubled, qreal density)
{
    if (doubled.isNull()) {
        return doubled;
    }
    QImage image = doubled;
    if (density >= 2) {
        image.setDevicePixelRatio(2);
        return image;
    }
    const QSize logical = (QSizeF(doubled.size()) / 2).toSize();
    image = doubled.scaled((QSizeF(logical) * density).toSize(), Qt::IgnoreAspectRatio,
                           Qt::SmoothTransformation);
    image.setDevicePixelRatio(density);
    return image;
}

QImage loadResourcePicture(const QString& path)
{
    const qreal density = screenDensity();
    if (density > 1) {
        const QImage doubled = decodeResource(doubledPicturePath(path));
        if (!doubled.isNull()) {
            return pictureForScreen(doubled, density);
        }
    }
    return decodeResource(path);
}

QImage loadBitmapResource(const QString& name)
{
    const QImage image = loadResourcePicture(QStringLiteral(":/bitmaps/") + name);
    if (image.isNull()) {
        throw ToolkitError(QStringLiteral("找不到位图资源“%1”。").arg(name));
    }
    return image;
}

QString artPath(const QString& name)
{
    return QStringLiteral(":/art/") + name;
}
