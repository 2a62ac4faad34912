#include "gui/BitmapBlob.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>
#include <cstdint>
#include <limits>

namespace {

constexpr qint64 kFileHeaderSize = 14;
constexpr qint64 kBankHeaderSize = 8;
// No picture of a question or frame of a clip comes near this; a header that claims more
// is damaged, not a reason to allocate gigabytes.
constexpr qint64 kMaxSide = 8192;
constexpr qint64 kMaxPixels = qint64(4096) * 4096;

enum Compression : quint32
{
    BI_RGB = 0,
    BI_RLE8 = 1,
    BI_RLE4 = 2,
    BI_BITFIELDS = 3,
};

class Bytes
{
public:
    explicit Bytes(const QByteArray& bytes)
        : m_data(reinterpret_cast<const uchar*>(bytes.constData()))
        , m_size(bytes.size())
    {}
    qint64 size() const { return m_size; }
    quint16 u16(qint64 at) const { return qFromLittleEndian<quint16>(m_data + at); }
    quint32 u32(qint64 at) const { return qFromLittleEndian<quint32>(m_data + at); }
    qint32 i32(qint64 at) const { return qFromLittleEndian<qint32>(m_data + at); }

private:
    const uchar* m_data;
    qint64 m_size;
};

QImage failed(QString* error, const QString& reason)
{
    if (error) {
        *error = reason;
    }
    return QImage();
}

// The checks that stand between the bytes and the decoder: the decoder is only handed
// a bitmap whose every announced size lies within the bytes given.
bool checkBmp(const QByteArray& bmp, QString* error)
{
    const Bytes b(bmp);
    auto fail = [error](const QString& reason) {
        failed(error, reason);
        return false;
    };
    if (b.size() < kFileHeaderSize + 12 || bmp.at(0) != 'B' || bmp.at(1) != 'M') {
        return fail(QStringLiteral("不是位图"));
    }
    const qint64 offBits = b.u32(10);
    const qint64 infoSize = b.u32(14);
    const bool core = infoSize == 12;
    if (!core && infoSize != 40 && infoSize != 108 && infoSize != 124) {
        return fail(QStringLiteral("位图信息头的长度（%1）不认识").arg(infoSize));
    }
    if (kFileHeaderSize + infoSize > b.size()) {
        return fail(QStringLiteral("位图信息头不完整"));
    }
    qint64 width, height;
    quint32 planes, bitCount, compression = BI_RGB, colorsUsed = 0;
    if (core) {
        width = b.u16(18);
        height = b.u16(20);
        planes = b.u16(22);
        bitCount = b.u16(24);
    } else {
        width = b.i32(18);
        height = b.i32(22);
        planes = b.u16(26);
        bitCount = b.u16(28);
        compression = b.u32(30);
        colorsUsed = b.u32(46);
    }
    const bool topDown = height < 0;
    height = topDown ? -height : height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        width * height > kMaxPixels) {
        return fail(QStringLiteral("位图尺寸（%1×%2）不合理").arg(width).arg(height));
    }
    if (planes != 1) {
        return fail(QStringLiteral("位图的平面数不是 1"));
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32) {
        return fail(QStringLiteral("位图的颜色位数（%1）不支持").arg(bitCount));
    }
    const bool fitsCompression =
        compression == BI_RGB || (compression == BI_RLE8 && bitCount == 8 && !topDown) ||
        (compression == BI_RLE4 && bitCount == 4 && !topDown) ||
        (compression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32));
    if (!fitsCompression) {
        return fail(QStringLiteral("位图的压缩方式（%1）不支持").arg(compression));
    }

    qint64 colors = colorsUsed;
    if (bitCount <= 8) {
        const qint64 most = qint64(1) << bitCount;
        if (colors > most) {
            return fail(QStringLiteral("位图的调色板过大"));
        }
        if (colors == 0) {
            colors = most;
        }
    } else if (colors > 256) {
        return fail(QStringLiteral("位图的调色板过大"));
    }
    const qint64 masks = (infoSize == 40 && compression == BI_BITFIELDS) ? 12 : 0;
    const qint64 paletteEnd = kFileHeaderSize + infoSize + masks + colors * (core ? 3 : 4);
    if (paletteEnd > offBits || offBits > b.size()) {
        return fail(QStringLiteral("位图的调色板或像素位置超出了数据"));
    }
    const qint64 available = b.size() - offBits;
    if (compression == BI_RGB || compression == BI_BITFIELDS) {
        const qint64 stride = ((width * bitCount + 31) / 32) * 4;
        if (stride * height > available) {
            return fail(QStringLiteral("位图的像素数据不完整"));
        }
    } else if (available < 2) {
        return fail(QStringLiteral("位图的像素数据不完整"));
    }
    return true;
}

QImage decodeBmp(const QByteArray& bmp, QString* error)
{
    if (!checkBmp(bmp, error)) {
        return QImage();
    }
    QBuffer buffer;
    buffer.setData(bmp);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAllocationLimit(int(kMaxPixels * 4 / (1024 * 1024)) + 1);
    const QImage image = reader.read();
    if (image.isNull()) {
        return failed(error, QStringLiteral("位图无法解码：%1").arg(reader.errorString()));
    }
    return image;
}

} // namespace

QImage readBitmapBlob(const QByteArray& blob, QString* error)
{
    const Bytes b(blob);
    if (b.size() >= kBankHeaderSize && b.u16(0) == 1 && b.u16(2) == 0x0100 &&
        qint64(b.u32(4)) == b.size() - kBankHeaderSize) {
        return decodeBmp(blob.mid(kBankHeaderSize), error);
    }
    return decodeBmp(blob, error);
}

QImage readDib(const QByteArray& info, const QByteArray& bits, QString* error)
{
    const qint64 total = kFileHeaderSize + info.size() + bits.size();
    if (total > std::numeric_limits<qint32>::max()) {
        return failed(error, QStringLiteral("位图过大"));
    }
    QByteArray bmp(kFileHeaderSize, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    auto* header = reinterpret_cast<uchar*>(bmp.data());
    qToLittleEndian<quint32>(quint32(total), header + 2);
    qToLittleEndian<quint32>(quint32(kFileHeaderSize + info.size()), header + 10);
    bmp.reserve(total);
    bmp += info;
    bmp += bits;
    return decodeBmp(bmp, error);
}
