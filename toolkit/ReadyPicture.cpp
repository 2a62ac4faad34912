#include "toolkit/ReadyPicture.h"

#include <QtEndian>

namespace ReadyPicture {

namespace {

const char kMagic[8] = {'T', 'V', 'P', 'I', 'X', 'E', 'L', 'S'};
constexpr qsizetype kHeader = 8 + 4 * 4;
// No screen is larger; a header asking for more is damaged.
constexpr quint32 kMaxSide = 4096;

quint32 field(const QByteArray& bytes, int index)
{
    return qFromLittleEndian<quint32>(bytes.constData() + 8 + 4 * index);
}

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
    const quint32 width = field(bytes, 0);
    const quint32 height = field(bytes, 1);
    const quint32 format = field(bytes, 2);
    const quint32 stride = field(bytes, 3);
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
