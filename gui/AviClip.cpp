#include "gui/AviClip.h"

#include "gui/BitmapBlob.h"
#include "gui/Error.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMutex>
#include <QtEndian>
#include <functional>
#include <optional>

namespace {

// A clock clip is a few hundred kilobytes; these bounds only keep a damaged or hostile
// file from making the program allocate or loop without end.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;
constexpr qint64 kMaxSide = 4096;
constexpr size_t kMaxFrames = 100000;
constexpr qint64 kMinInterval = 1000;     // 1000 frames a second
constexpr qint64 kMaxInterval = 10000000; // one frame in ten seconds
constexpr int kMaxListDepth = 3;

[[noreturn]] void bad(const QString& why)
{
    throw ToolkitError(QStringLiteral("动画文件无法播放：%1。").arg(why));
}

QString printable(const QByteArray& fourcc)
{
    QString s;
    for (const char c : fourcc) {
        s += (c >= 0x20 && c < 0x7F) ? QChar::fromLatin1(c) : QLatin1Char('?');
    }
    return s;
}

class Riff
{
public:
    explicit Riff(const QByteArray& bytes)
        : m_bytes(bytes)
        , m_data(reinterpret_cast<const uchar*>(bytes.constData()))
    {}

    QByteArray id(qsizetype at) const { return m_bytes.mid(at, 4); }
    quint16 u16(qsizetype at) const { return qFromLittleEndian<quint16>(m_data + at); }
    quint32 u32(qsizetype at) const { return qFromLittleEndian<quint32>(m_data + at); }
    qint32 i32(qsizetype at) const { return qFromLittleEndian<qint32>(m_data + at); }

    using Visit = std::function<void(const QByteArray& id, qsizetype data, qsizetype size)>;

    // Calls visit for every chunk between from and to; a chunk that claims to reach past
    // its parent means the file was cut short.
    void chunks(qsizetype from, qsizetype to, const Visit& visit) const
    {
        qsizetype pos = from;
        while (to - pos >= 8) {
            const QByteArray chunkId = id(pos);
            const qsizetype size = u32(pos + 4);
            const qsizetype data = pos + 8;
            if (size > to - data) {
                bad(QStringLiteral("文件不完整（“%1”块超出了文件）").arg(printable(chunkId)));
            }
            visit(chunkId, data, size);
            pos = data + size + (size & 1);
        }
    }

    // The list type of a LIST chunk, empty for any other chunk.
    QByteArray listType(const QByteArray& chunkId, qsizetype data, qsizetype size) const
    {
        return chunkId == "LIST" && size >= 4 ? id(data) : QByteArray();
    }

private:
    const QByteArray& m_bytes;
    const uchar* m_data;
};

// Motion-JPEG frames usually leave out the Huffman tables and rely on the standard ones
// (JPEG Annex K.3), which a still-image decoder needs to be given.
const uchar kStandardHuffmanTables[] = {
    0xFF, 0xC4, 0x01, 0xA2,
    // DC luminance
    0x00, 0x00, 0x01, 0x05, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B,
    // AC luminance
    0x10, 0x00, 0x02, 0x01, 0x03, 0x03, 0x02, 0x04, 0x03, 0x05, 0x05, 0x04, 0x04, 0x00, 0x00, 0x01,
    0x7D, 0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61,
    0x07, 0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xA1, 0x08, 0x23, 0x42, 0xB1, 0xC1, 0x15, 0x52, 0xD1,
    0xF0, 0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0A, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x25, 0x26, 0x27,
    0x28, 0x29, 0x2A, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48,
    0x49, 0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68,
    0x69, 0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88,
    0x89, 0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6,
    0xA7, 0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xC2, 0xC3, 0xC4,
    0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xE1,
    0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7,
    0xF8, 0xF9, 0xFA,
    // DC chrominance
    0x01, 0x00, 0x03, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B,
    // AC chrominance
    0x11, 0x00, 0x02, 0x01, 0x02, 0x04, 0x04, 0x03, 0x04, 0x07, 0x05, 0x04, 0x04, 0x00, 0x01, 0x02,
    0x77, 0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61,
    0x71, 0x13, 0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xA1, 0xB1, 0xC1, 0x09, 0x23, 0x33, 0x52,
    0xF0, 0x15, 0x62, 0x72, 0xD1, 0x0A, 0x16, 0x24, 0x34, 0xE1, 0x25, 0xF1, 0x17, 0x18, 0x19, 0x1A,
    0x26, 0x27, 0x28, 0x29, 0x2A, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x43, 0x44, 0x45, 0x46, 0x47,
    0x48, 0x49, 0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x63, 0x64, 0x65, 0x66, 0x67,
    0x68, 0x69, 0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x82, 0x83, 0x84, 0x85, 0x86,
    0x87, 0x88, 0x89, 0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0xA2, 0xA3, 0xA4,
    0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xC2,
    0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9,
    0xDA, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7,
    0xF8, 0xF9, 0xFA};
static_assert(sizeof kStandardHuffmanTables == 2 + 0x01A2);

// The frame with the standard tables put before its scan when it has none of its own.
QByteArray withHuffmanTables(const QByteArray& jpeg)
{
    const auto* d = reinterpret_cast<const uchar*>(jpeg.constData());
    const qsizetype n = jpeg.size();
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8) {
        return jpeg;
    }
    qsizetype pos = 2;
    while (pos + 1 < n) {
        if (d[pos] != 0xFF) {
            return jpeg; // not a marker where one belongs: leave it to the decoder
        }
        while (pos + 1 < n && d[pos + 1] == 0xFF) {
            ++pos; // fill bytes
        }
        if (pos + 1 >= n) {
            return jpeg;
        }
        const uchar marker = d[pos + 1];
        if (marker == 0xC4) {
            return jpeg;
        }
        if (marker == 0xDA) {
            QByteArray fixed = jpeg.left(pos);
            fixed.append(reinterpret_cast<const char*>(kStandardHuffmanTables),
                         qsizetype(sizeof kStandardHuffmanTables));
            fixed.append(jpeg.mid(pos));
            return fixed;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            pos += 2;
            continue;
        }
        if (pos + 3 >= n) {
            return jpeg;
        }
        pos += 2 + ((qsizetype(d[pos + 2]) << 8) | d[pos + 3]);
    }
    return jpeg;
}

QImage decodeJpeg(const QByteArray& jpeg)
{
    QByteArray bytes = withHuffmanTables(jpeg);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAllocationLimit(int(kMaxSide * kMaxSide * 4 / (1024 * 1024)));
    return reader.read();
}

bool isMotionJpeg(quint32 compression)
{
    const char c[4] = {char(compression & 0xFF), char((compression >> 8) & 0xFF),
                       char((compression >> 16) & 0xFF), char((compression >> 24) & 0xFF)};
    return QByteArray(c, 4).toUpper() == "MJPG";
}

} // namespace

AviClip AviClip::fromFile(const QString& path)
{
    // The wait screen opens the same clip at every long task; the file is read again
    // only when it has changed.
    struct Cached
    {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        std::optional<AviClip> clip;
    };
    static Cached cached;
    static QMutex cacheLock;
    const QFileInfo info(path);
    const QMutexLocker locker(&cacheLock);
    if (cached.clip && cached.path == info.absoluteFilePath() && cached.size == info.size() &&
        cached.modified == info.lastModified() && info.isFile()) {
        return *cached.clip;
    }
    AviClip clip = readFile(path);
    cached = {info.absoluteFilePath(), info.size(), info.lastModified(), clip};
    return clip;
}

AviClip AviClip::readFile(const QString& path)
{
    QFile file(path);
    if (!file.exists()) {
        throw ToolkitError(QStringLiteral("找不到动画文件“%1”。").arg(path));
    }
    if (!file.open(QIODevice::ReadOnly)) {
        throw ToolkitError(
            QStringLiteral("无法打开动画文件“%1”：%2。").arg(path, file.errorString()));
    }
    if (file.size() > kMaxFileSize) {
        bad(QStringLiteral("文件过大"));
    }
    return fromBytes(file.readAll());
}

AviClip AviClip::fromBytes(const QByteArray& bytes)
{
    const Riff riff(bytes);
    if (bytes.size() < 12 || riff.id(0) != "RIFF" || riff.id(8) != "AVI ") {
        bad(QStringLiteral("不是 AVI 文件"));
    }
    if (bytes.size() > kMaxFileSize) {
        bad(QStringLiteral("文件过大"));
    }
    const qsizetype end = 8 + qsizetype(riff.u32(4));
    if (end > bytes.size()) {
        bad(QStringLiteral("文件不完整"));
    }

    // The header list: the main header and one list per stream; the first video
    // stream is the one that is played.
    qint64 microSecPerFrame = 0;
    int streams = 0;
    int videoStream = -1;
    quint32 scale = 0, rate = 0;
    QByteArray format;
    qsizetype moviFrom = -1, moviTo = -1;

    auto stream = [&](qsizetype from, qsizetype to) {
        quint32 type = 0, streamScale = 0, streamRate = 0;
        QByteArray streamFormat;
        riff.chunks(from, to, [&](const QByteArray& id, qsizetype data, qsizetype size) {
            if (id == "strh" && size >= 28) {
                type = riff.u32(data);
                streamScale = riff.u32(data + 20);
                streamRate = riff.u32(data + 24);
            } else if (id == "strf") {
                streamFormat = bytes.mid(data, size);
            }
        });
        if (videoStream < 0 && type == qFromLittleEndian<quint32>("vids")) {
            videoStream = streams;
            scale = streamScale;
            rate = streamRate;
            format = streamFormat;
        }
        ++streams;
    };
    riff.chunks(12, end, [&](const QByteArray& id, qsizetype data, qsizetype size) {
        const QByteArray list = riff.listType(id, data, size);
        if (list == "hdrl") {
            riff.chunks(data + 4, data + size,
                        [&](const QByteArray& id2, qsizetype data2, qsizetype size2) {
                            if (id2 == "avih" && size2 >= 4) {
                                microSecPerFrame = riff.u32(data2);
                            } else if (riff.listType(id2, data2, size2) == "strl") {
                                stream(data2 + 4, data2 + size2);
                            }
                        });
        } else if (list == "movi" && moviFrom < 0) {
            moviFrom = data + 4;
            moviTo = data + size;
        }
    });
    if (videoStream < 0) {
        bad(QStringLiteral("文件中没有画面"));
    }
    if (videoStream > 99) {
        bad(QStringLiteral("数据流太多"));
    }

    AviClip clip;
    clip.m_bytes = bytes;
    const Riff f(format);
    if (format.size() < 40 || f.u32(0) < 40 || f.u32(0) > quint32(format.size())) {
        bad(QStringLiteral("画面格式说明不完整"));
    }
    const qint64 width = f.i32(4);
    const qint64 height = qAbs(qint64(f.i32(8)));
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        bad(QStringLiteral("画面尺寸（%1×%2）不合理").arg(width).arg(f.i32(8)));
    }
    const quint16 bitCount = f.u16(14);
    const quint32 compression = f.u32(16);
    if (compression == 0) {
        if (bitCount != 8 && bitCount != 24 && bitCount != 32) {
            bad(QStringLiteral("不支持 %1 位的画面").arg(bitCount));
        }
        clip.m_codec = Codec::Dib;
    } else if (isMotionJpeg(compression)) {
        clip.m_codec = Codec::MotionJpeg;
    } else {
        char c[4];
        qToLittleEndian(compression, c);
        bad(QStringLiteral("不认识的压缩格式“%1”").arg(printable(QByteArray(c, 4))));
    }
    clip.m_format = format;
    clip.m_size = QSize(int(width), int(height));

    if (scale > 0 && rate > 0) {
        clip.m_interval = qint64(scale) * 1000000 / rate;
    } else {
        clip.m_interval = microSecPerFrame;
    }
    if (clip.m_interval < kMinInterval || clip.m_interval > kMaxInterval) {
        bad(QStringLiteral("帧率不合理"));
    }

    // The frames: chunks "NNdb" or "NNdc" of the stream, also inside "rec " lists.
    const QByteArray number = QByteArray::number(videoStream).rightJustified(2, '0');
    std::function<void(qsizetype, qsizetype, int)> collect = [&](qsizetype from, qsizetype to,
                                                                 int depth) {
        riff.chunks(from, to, [&](const QByteArray& id, qsizetype data, qsizetype size) {
            if (riff.listType(id, data, size) == "rec " && depth < kMaxListDepth) {
                collect(data + 4, data + size, depth + 1);
            } else if (id.startsWith(number) && (id.endsWith("db") || id.endsWith("dc"))) {
                if (clip.m_frames.size() >= kMaxFrames) {
                    bad(QStringLiteral("画面太多"));
                }
                clip.m_frames.push_back({data, size});
            }
        });
    };
    if (moviFrom >= 0) {
        collect(moviFrom, moviTo, 0);
    }

    QImage first;
    for (int i = 0; i < clip.frameCount() && first.isNull(); ++i) {
        if (clip.m_frames[size_t(i)].size > 0) {
            first = clip.frame(i);
            if (first.isNull()) {
                bad(QStringLiteral("第 %1 幅画面无法解码").arg(i + 1));
            }
        }
    }
    if (first.isNull()) {
        bad(QStringLiteral("文件中没有画面"));
    }
    return clip;
}

QImage AviClip::frame(int index) const
{
    if (index < 0 || index >= frameCount()) {
        return QImage();
    }
    const Chunk& chunk = m_frames[size_t(index)];
    if (chunk.size == 0) {
        return QImage();
    }
    const QByteArray data = m_bytes.mid(chunk.offset, chunk.size);
    if (m_codec == Codec::MotionJpeg) {
        return decodeJpeg(data);
    }
    return readDib(m_format, data);
}
