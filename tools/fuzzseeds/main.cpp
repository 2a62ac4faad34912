// Writes good inputs for the fuzz targets, one folder per target: clips in every form the
// player reads, stored pictures with and without their header, connection strings.
#include "data/DMUnit.h"
#include "tools/art/AviWriter.h"
#include "tools/bank/BankBuilder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

bool write(const QString& folder, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(folder);
    QFile f(folder + QLatin1Char('/') + name);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QImage sample(int w, int h, int shade)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(shade, 120, 255 - shade));
    for (int x = 0; x < w; ++x) {
        image.setPixel(x, x % h, qRgb(255, 255, 255));
    }
    return image;
}

QByteArray bmp(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzzseeds FOLDER\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    bool ok = true;

    const std::vector<QImage> frames = {sample(16, 12, 20), sample(16, 12, 200)};
    const struct
    {
        const char* name;
        AviCodec codec;
        bool topDown;
        bool bareJpeg;
    } clips[] = {
        {"dib8.avi", AviCodec::Dib8, false, false},
        {"dib24.avi", AviCodec::Dib24, false, false},
        {"dib24-topdown.avi", AviCodec::Dib24, true, false},
        {"dib32.avi", AviCodec::Dib32, false, false},
        {"mjpeg.avi", AviCodec::MotionJpeg, false, false},
        {"mjpeg-standard-tables.avi", AviCodec::MotionJpeg, false, true},
    };
    for (const auto& c : clips) {
        AviOptions options;
        options.codec = c.codec;
        options.topDown = c.topDown;
        options.omitHuffmanTables = c.bareJpeg;
        ok = write(root + QStringLiteral("/aviclip"), QString::fromLatin1(c.name),
                   writeAvi(frames, options)) &&
             ok;
    }

    const QString pictures = root + QStringLiteral("/bitmapblob");
    const QImage picture = sample(12, 9, 90);
    ok = write(pictures, QStringLiteral("plain.bmp"), pictureBlob(picture, false)) && ok;
    ok = write(pictures, QStringLiteral("header.bin"), pictureBlob(picture, true)) && ok;
    ok = write(pictures, QStringLiteral("indexed.bmp"),
               bmp(picture.convertToFormat(QImage::Format_Indexed8))) &&
         ok;
    ok = write(pictures, QStringLiteral("mono.bmp"),
               bmp(picture.convertToFormat(QImage::Format_Mono))) &&
         ok;
    ok = write(pictures, QStringLiteral("argb.bmp"),
               bmp(picture.convertToFormat(QImage::Format_ARGB32))) &&
         ok;

    const QString strings = root + QStringLiteral("/connectionstring");
    ok = write(strings, QStringLiteral("bank.txt"),
               bankConnectionString(QStringLiteral("/opt/taviro")).toUtf8()) &&
         ok;
    ok = write(strings, QStringLiteral("quoted.txt"),
               QByteArray("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"C:\\a;b\\Drive.mdb\";"
                          "Jet OLEDB:Database Password='x;y'")) &&
         ok;
    if (!ok) {
        std::fprintf(stderr, "fuzzseeds: cannot write into %s\n", qPrintable(root));
        return 1;
    }
    return 0;
}
