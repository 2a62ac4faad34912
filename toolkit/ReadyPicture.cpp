#include "toolkit/ReadyPicture.h"

#include <QDataStream>
#include <QtEndian>

namespace ReadyPicture {

namespace {

const char kMagic[8] = {'T', 'V', 'P', 'I', 'X', 'E', 'L', 'S'};
constexpr qsizetype kHeader = 8 + 4 * 4;
// No screen is larger; a header asking for more is damaged.
constexpr quint32 kMaxSide = 4096;

} // namespace

bool isReadyPicture(const QByteArray& bytes)
{
    return bytes.size() >= kHeader && std::equal(kMagic, kMagic + 8, bytes.constData());
}

QByteArray encode(const QImage& image)
{
    const QImage pixels = image.convertToFormat(
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    QByteArray bytes(kHeader, '\0');
    std::copy(kMagic, kMagic + 8, bytes.data());
    const quint32 values[4] = {quint32(pixels.width()), quint32(pixels.height()),
                               quint32(pixels.format()), quint32(pixels.width() * 4)};
    for (int i = 0; i < 4; ++i) {
        qToLittleEndian<quint32>(values[i], bytes.data() + 8 + 4 * i);
    }
    for (int y = 0; y < pixels.height(); ++y) {
        bytes.append(reinterpret_cast<const char*>(pixels.constScanLine(y)), pixels.width() * 4);
    }
    return bytes;
}

QImage decode(const QByteArray& bytes)
{
    if (!isReadyPicture(bytes)) {
        return QImage();
    }
    QDataStream header(bytes);
    header.setByteOrder(QDataStream::LittleEndian);
    header.skipRawData(8);
    quint32 width = 0;
    quint32 height = 0;
    quint32 format = 0;
    quint32 stride = 0;
    header >> width >> height >> format >> stride;
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide || stride != width * 4 ||
        (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied) ||
        bytes.size() - kHeader < qsizetype(stride) * qsizetype(height)) {
        return QImage();
    }
    // The picture reads the bytes in place; it keeps them alive as long as it lives.
    auto* kept = new QByteArray(bytes);
    return QImage(
        reinterpret_cast<const uchar*>(kept->constData()) + kHeader, int(width), int(height),
        qsizetype(stride), QImage::Format(format),
        [](void* data) { delete static_cast<QByteArray*>(data); }, kept);
}

} // namespace ReadyPicture
