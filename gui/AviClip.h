#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <vector>

// A video clip of a RIFF AVI file: the first video stream, its frames found at once and
// decoded one at a time when they are shown. Frames may be uncompressed device-
// independent bitmaps of 8 (with a colour table), 24 or 32 bits, or Motion-JPEG.
class AviClip
{
public:
    // Read the clip and decode its first frame. Throw ToolkitError saying what is wrong
    // when the bytes are no clip that can be played.
    static AviClip fromBytes(const QByteArray& bytes);
    static AviClip fromFile(const QString& path);

    int frameCount() const { return int(m_frames.size()); }
    QSize frameSize() const { return m_size; }
    // Microseconds from one frame to the next.
    qint64 frameInterval() const { return m_interval; }

    // The frame as a picture; null when it only repeats the one before it (an empty
    // chunk) or when its bytes cannot be decoded.
    QImage frame(int index) const;

private:
    enum class Codec
    {
        Dib,
        MotionJpeg
    };
    struct Chunk
    {
        qsizetype offset;
        qsizetype size;
    };

    AviClip() = default;
    static AviClip readFile(const QString& path);

    QByteArray m_bytes;
    QByteArray m_format; // the stream's bitmap info header with its colour table
    Codec m_codec = Codec::Dib;
    QSize m_size;
    qint64 m_interval = 0;
    std::vector<Chunk> m_frames;
};
