// Draws every picture of the program: the ones compiled in go into a resource folder
// with its .qrc, the ones read from the application folder are written there.
#include "toolkit/Fonts.h"
#include "toolkit/ReadyPicture.h"
#include "tools/art/Artwork.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

namespace {

bool writeIfChanged(const QString& path, const QByteArray& bytes)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes) {
        return true;
    }
    existing.close();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
}

QByteArray encode(const QImage& image, const QByteArray& format)
{
    if (format == "rgb32") {
        return ReadyPicture::encode(image);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Bitmaps are 24-bit, as the screens' pictures were.
    const QImage img = format == "bmp" ? image.convertToFormat(QImage::Format_RGB888) : image;
    img.save(&buffer, format.constData(), format == "jpg" ? 92 : -1);
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: artgen RESOURCE_DIR APP_DIR\n");
        return 2;
    }
    installFontSubstitutes();
    const QString resourceDir = QString::fromLocal8Bit(argv[1]);
    const QString appDir = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(resourceDir);
    QDir().mkpath(appDir);

    QString qrc;
    QTextStream q(&qrc);
    q << "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    bool ok = true;
    for (const ArtItem& item : artworkCatalogue()) {
        const QImage image = item.draw();
        const QByteArray bytes = encode(image, item.format);
        if (image.isNull() || bytes.isEmpty()) {
            std::fprintf(stderr, "artgen: cannot draw %s\n", qPrintable(item.path));
            ok = false;
            continue;
        }
        if (item.target == ArtItem::Target::Resource) {
            QString file = item.path;
            file.replace(QLatin1Char('/'), QLatin1Char('_'));
            if (!file.endsWith(QLatin1Char('.') + QString::fromLatin1(item.format))) {
                file += QLatin1Char('.') + QString::fromLatin1(item.format);
            }
            ok = writeIfChanged(resourceDir + QLatin1Char('/') + file, bytes) && ok;
            q << "  <file alias=\"" << item.path << "\">" << file << "</file>\n";
        } else {
            ok = writeIfChanged(appDir + QLatin1Char('/') + item.path, bytes) && ok;
        }
    }
    for (const ArtFile& file : artFileCatalogue()) {
        const QString dir = file.target == ArtItem::Target::Resource ? resourceDir : appDir;
        ok = writeIfChanged(dir + QLatin1Char('/') + file.path, file.make()) && ok;
        if (file.target == ArtItem::Target::Resource) {
            q << "  <file>" << file.path << "</file>\n";
        }
    }
    q << "</qresource>\n</RCC>\n";
    q.flush();
    ok = writeIfChanged(resourceDir + QStringLiteral("/art.qrc"), qrc.toUtf8()) && ok;
    return ok ? 0 : 1;
}
