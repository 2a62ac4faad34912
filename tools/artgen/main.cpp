// Draws every picture of the program: the ones compiled in go into a resource folder
// with its .qrc, the ones read from the application folder are written there.
#include "gui/Fonts.h"
#include "toolkit/ReadyPicture.h"
#include "tools/art/Artwork.h"
#include "tools/art/Paint.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QTextStream>
#include <cstdio>

namespace {

// "art/MainMenu.rgb32" -> "art/MainMenu@2x.rgb32", "bitmaps/Badge" -> "bitmaps/Badge@2x":
// the name toolkit/Resources.h looks for.
QString doubledName(const QString& path)
{
    const int slash = int(path.lastIndexOf(QLatin1Char('/')));
    const int dot = int(path.lastIndexOf(QLatin1Char('.')));
    return dot > slash ? path.left(dot) + QStringLiteral("@2x") + path.mid(dot)
                       : path + QStringLiteral("@2x");
}

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
    QHash<QString, QSizeF> logicalSizes;
    q << "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    bool ok = true;
    // Each picture of the screens is drawn for screens of the usual density and again at
    // twice it ("name@2x"), which screens of 150 % and 200 % show instead.
    for (const qreal scale : {1.0, 2.0}) {
        paint::setScale(scale);
        for (const ArtItem& item : artworkCatalogue()) {
            // The pages' pictures are shown by the page view at their own size.
            if (scale != 1 && item.path.startsWith(QLatin1String("html/"))) {
                continue;
            }
            const QImage image = item.draw();
            const QString path = scale == 1 ? item.path : doubledName(item.path);
            if (scale != 1 && !image.isNull() &&
                (image.devicePixelRatio() != scale ||
                 image.deviceIndependentSize() != logicalSizes.value(item.path))) {
                std::fprintf(stderr, "artgen: %s is not drawn at twice the density\n",
                             qPrintable(item.path));
                ok = false;
                continue;
            }
            const QByteArray bytes = encode(image, item.format);
            if (image.isNull() || bytes.isEmpty()) {
                std::fprintf(stderr, "artgen: cannot draw %s\n", qPrintable(path));
                ok = false;
                continue;
            }
            if (scale == 1) {
                logicalSizes.insert(item.path, image.deviceIndependentSize());
            }
            if (item.target == ArtItem::Target::Resource) {
                QString file = path;
                file.replace(QLatin1Char('/'), QLatin1Char('_'));
                if (!file.endsWith(QLatin1Char('.') + QString::fromLatin1(item.format))) {
                    file += QLatin1Char('.') + QString::fromLatin1(item.format);
                }
                ok = writeIfChanged(resourceDir + QLatin1Char('/') + file, bytes) && ok;
                q << "  <file" << (item.atStart ? " compression-algorithm=\"none\"" : "")
                  << " alias=\"" << path << "\">" << file << "</file>\n";
            } else {
                ok = writeIfChanged(appDir + QLatin1Char('/') + path, bytes) && ok;
            }
        }
    }
    paint::setScale(1);
    for (const ArtFile& file : artFileCatalogue()) {
        const QString dir = file.target == ArtItem::Target::Resource ? resourceDir : appDir;
        ok = writeIfChanged(dir + QLatin1Char('/') + file.path, file.make()) && ok;
        if (file.target == ArtItem::Target::Resource) {
            q << "  <file>" << file.path << "</file>\n";
        }
    }
    // The desktop's icons, for the package: beside the resources, not compiled in.
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QByteArray bytes = encode(drawAppIcon(size), "png");
        ok =
            !bytes.isEmpty() &&
            writeIfChanged(resourceDir + QStringLiteral("/icons/taviro-%1.png").arg(size), bytes) &&
            ok;
    }
    q << "</qresource>\n</RCC>\n";
    q.flush();
    ok = writeIfChanged(resourceDir + QStringLiteral("/art.qrc"), qrc.toUtf8()) && ok;
    return ok ? 0 : 1;
}
