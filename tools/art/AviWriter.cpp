#include "tools/art/AviWriter.h"

#include <QBuffer>
#include <QPainter>
#include <QtEndian>

namespace {

class Writer
{
public:
    QByteArray bytes;

    void fourcc(const char* id) { bytes.append(id, 4); }
    void u16(quint16 v)
    {
        char b[2];
        qToLittleEndian(v, b);
        bytes.append(b, 2);
    }
    void u32(quint32 v)
    {
        char b[4];
        qToLittleEndian(v, b);
        bytes.append(b, 4);
    }
    void i32(qint32 v) { u32(quint32(v)); }

    // Starts a chunk and returns where its size goes.
    qsizetype begin(const char* id)
    {
        fourcc(id);
        const qsizetype at = bytes.size();
        u32(0);
        return at;
    }
    qsizetype beginList(const char* type)
    {
        const qsizetype at = begin("LIST");
        fourcc(type);
        return at;
    }
    void end(qsizetype sizeAt)
    {
        const qsizetype size = bytes.size() - sizeAt - 4;
        qToLittleEndian(quint32(size), bytes.data() + sizeAt);
        if (size & 1) {
            bytes.append('\0');
        }
    }
};

QByteArray dibBits(const QImage& frame, AviCodec codec, const QList<QRgb>& colors, bool topDown)
{
    QImage image;
    int bytesPerPixel = 3;
    switch (codec) {
    case AviCodec::Dib8:
        image = frame.convertToFormat(QImage::Format_Indexed8, colors, Qt::ThresholdDither);
        bytesPerPixel = 1;
        break;
    case AviCodec::Dib32:
        image = frame.convertToFormat(QImage::Format_RGB32); // B, G, R, unused in memory
        bytesPerPixel = 4;
        break;
    default:
        image = frame.convertToFormat(QImage::Format_BGR888);
        break;
    }
    const int rowBytes = image.width() * bytesPerPixel;
    const int stride = (rowBytes + 3) & ~3;
    QByteArray bits;
    bits.reserve(qsizetype(stride) * image.height());
    for (int i = 0; i < image.height(); ++i) {
        const int y = topDown ? i : image.height() - 1 - i;
        bits.append(reinterpret_cast<const char*>(image.constScanLine(y)), rowBytes);
        bits.append(QByteArray(stride - rowBytes, '\0'));
    }
    return bits;
}

// The segments before the scan, without the Huffman tables (marker FFC4).
QByteArray withoutHuffmanTables(const QByteArray& jpeg)
{
    QByteArray out = jpeg.left(2);
    qsizetype pos = 2;
    while (pos + 4 <= jpeg.size() && uchar(jpeg[pos]) == 0xFF) {
        const uchar marker = uchar(jpeg[pos + 1]);
        if (marker == 0xDA) {
            break;
        }
        const qsizetype length = (qsizetype(uchar(jpeg[pos + 2])) << 8) | uchar(jpeg[pos + 3]);
        if (marker != 0xC4) {
            out += jpeg.mid(pos, 2 + length);
        }
        pos += 2 + length;
    }
    return out + jpeg.mid(pos);
}

QByteArray jpegBits(const QImage& frame, const AviOptions& options)
{
    QByteArray bits;
    QBuffer buffer(&bits);
    buffer.open(QIODevice::WriteOnly);
    frame.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPEG", options.jpegQuality);
    return options.omitHuffmanTables ? withoutHuffmanTables(bits) : bits;
}

} // namespace

QByteArray writeAvi(const std::vector<QImage>& frames, const AviOptions& options)
{
    const QSize size = frames.empty() ? QSize(1, 1) : frames.front().size();
    const bool jpeg = options.codec == AviCodec::MotionJpeg;
    QList<QRgb> colors;
    if (options.codec == AviCodec::Dib8 && !frames.empty()) {
        // One colour table for the whole clip, chosen from all its frames at once.
        QImage all(size.width(), size.height() * int(frames.size()), QImage::Format_RGB32);
        QPainter p(&all);
        for (size_t i = 0; i < frames.size(); ++i) {
            p.drawImage(QRect(0, size.height() * int(i), size.width(), size.height()), frames[i]);
        }
        p.end();
        colors = all.convertToFormat(QImage::Format_Indexed8).colorTable();
        while (colors.size() < 256) {
            colors << qRgb(0, 0, 0);
        }
    }
    std::vector<QByteArray> chunks;
    quint32 largest = 0;
    for (const QImage& frame : frames) {
        const QImage sized = frame.size() == size ? frame : frame.scaled(size);
        chunks.push_back(jpeg ? jpegBits(sized, options)
                              : dibBits(sized, options.codec, colors, options.topDown));
        largest = qMax(largest, quint32(chunks.back().size()));
    }
    const int bitCount = options.codec == AviCodec::Dib8    ? 8
                         : options.codec == AviCodec::Dib32 ? 32
                                                            : 24;
    const quint32 compression = jpeg ? qFromLittleEndian<quint32>("MJPG") : 0;
    const int fps = qMax(1, options.framesPerSecond);

    Writer w;
    const qsizetype riff = w.begin("RIFF");
    w.fourcc("AVI ");
    const qsizetype hdrl = w.beginList("hdrl");
    const qsizetype avih = w.begin("avih");
    w.u32(quint32(1000000 / fps));
    w.u32(largest * quint32(fps));
    w.u32(0);
    w.u32(0x10); // has an index
    w.u32(quint32(frames.size()));
    w.u32(0);
    w.u32(1);
    w.u32(largest);
    w.u32(quint32(size.width()));
    w.u32(quint32(size.height()));
    for (int i = 0; i < 4; ++i) {
        w.u32(0);
    }
    w.end(avih);
    const qsizetype strl = w.beginList("strl");
    const qsizetype strh = w.begin("strh");
    w.fourcc("vids");
    w.fourcc(jpeg ? "MJPG" : "DIB ");
    w.u32(0);
    w.u16(0);
    w.u16(0);
    w.u32(0);
    w.u32(1);
    w.u32(quint32(fps));
    w.u32(0);
    w.u32(quint32(frames.size()));
    w.u32(largest);
    w.u32(0xFFFFFFFF);
    w.u32(0);
    w.u16(0);
    w.u16(0);
    w.u16(quint16(size.width()));
    w.u16(quint16(size.height()));
    w.end(strh);
    const qsizetype strf = w.begin("strf");
    w.u32(40);
    w.i32(size.width());
    w.i32(options.topDown ? -size.height() : size.height());
    w.u16(1);
    w.u16(quint16(bitCount));
    w.u32(compression);
    w.u32(jpeg ? 0 : quint32(chunks.empty() ? 0 : chunks.front().size()));
    w.u32(0);
    w.u32(0);
    w.u32(quint32(colors.size()));
    w.u32(0);
    for (const QRgb c : colors) {
        w.bytes.append(char(qBlue(c)));
        w.bytes.append(char(qGreen(c)));
        w.bytes.append(char(qRed(c)));
        w.bytes.append('\0');
    }
    w.end(strf);
    w.end(strl);
    w.end(hdrl);

    const qsizetype movi = w.beginList("movi");
    const qsizetype moviType = movi + 4; // index offsets count from the list type
    const char* id = jpeg ? "00dc" : "00db";
    std::vector<std::pair<quint32, quint32>> index;
    for (const QByteArray& chunk : chunks) {
        index.emplace_back(quint32(w.bytes.size() - moviType), quint32(chunk.size()));
        const qsizetype c = w.begin(id);
        w.bytes.append(chunk);
        w.end(c);
    }
    w.end(movi);
    const qsizetype idx1 = w.begin("idx1");
    for (const auto& [offset, length] : index) {
        w.fourcc(id);
        w.u32(0x10); // key frame
        w.u32(offset);
        w.u32(length);
    }
    w.end(idx1);
    w.end(riff);
    return w.bytes;
}
