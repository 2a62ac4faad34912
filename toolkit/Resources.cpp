#include "toolkit/Resources.h"

#include "toolkit/Error.h"
#include "toolkit/ReadyPicture.h"

#include <QBuffer>
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

QImage loadResourcePicture(const QString& path)
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
