// Draws scenes of assets/scenes to PNG files, for a look while writing them:
//   scenegen OUT_DIR [NAME ...]   (every scene when no name is given; NAME without "scene/")
//   scenegen --clips OUT_DIR [NAME ...]   (each clip as NAME.avi and a sheet of every second
//                                          frame, NAME-frames.png)
// Faults of the descriptions are printed and make the exit status 1.
#include "gui/Fonts.h"
#include "tools/art/SceneClips.h"
#include "tools/art/SceneKit.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>

namespace {

int drawClips(const QString& out, QStringList names)
{
    if (names.isEmpty()) {
        names = clipNames();
    }
    int status = 0;
    for (const QString& fault : clipFaults()) {
        std::fprintf(stderr, "%s\n", qPrintable(fault));
        status = 1;
    }
    for (const QString& name : names) {
        const ClipFrames clip = drawClipFrames(name);
        if (clip.frames.empty()) {
            status = 1;
            continue;
        }
        QFile avi(QDir(out).filePath(name + QStringLiteral(".avi")));
        if (avi.open(QIODevice::WriteOnly)) {
            avi.write(clipFile(name));
        }
        const int columns = 5;
        const int shown = int(clip.frames.size() + 1) / 2;
        QImage sheet(columns * 202, (shown + columns - 1) / columns * 152, QImage::Format_RGB32);
        sheet.fill(Qt::darkGray);
        QPainter p(&sheet);
        for (int i = 0; i < shown; ++i) {
            p.drawImage((i % columns) * 202 + 1, (i / columns) * 152 + 1,
                        clip.frames[size_t(2 * i)]);
        }
        p.end();
        sheet.save(QDir(out).filePath(name + QStringLiteral("-frames.png")));
        std::printf("%s: %zu frames, %lld bytes\n", qPrintable(name), clip.frames.size(),
                    static_cast<long long>(clipFile(name).size()));
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    installFontSubstitutes();
    if (argc < 2) {
        std::fprintf(stderr, "usage: scenegen OUT_DIR [NAME ...]\n");
        return 2;
    }
    if (argv[1] == QByteArrayView("--clips")) {
        if (argc < 3) {
            std::fprintf(stderr, "usage: scenegen --clips OUT_DIR [NAME ...]\n");
            return 2;
        }
        QDir().mkpath(QString::fromLocal8Bit(argv[2]));
        QStringList names;
        for (int i = 3; i < argc; ++i) {
            names << QString::fromLocal8Bit(argv[i]);
        }
        return drawClips(QString::fromLocal8Bit(argv[2]), names);
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QStringList names;
    for (int i = 2; i < argc; ++i) {
        names << QStringLiteral("scene/") + QString::fromLocal8Bit(argv[i]);
    }
    if (names.isEmpty()) {
        names = sceneNames();
    }
    int status = 0;
    for (const QString& fault : sceneFaults()) {
        if (argc == 2 || names.contains(QStringLiteral("scene/") +
                                        fault.section(QStringLiteral("(scene "), 1).chopped(1))) {
            std::fprintf(stderr, "%s\n", qPrintable(fault));
            status = 1;
        }
    }
    for (const QString& name : names) {
        QStringList faults;
        const QImage image = drawScene(name, &faults);
        if (image.isNull()) {
            if (!isKnownScene(name)) {
                std::fprintf(stderr, "no scene %s\n", qPrintable(name));
            }
            status = 1;
            continue;
        }
        image.save(QDir(out).filePath(name.mid(6) + QStringLiteral(".png")));
    }
    std::printf("%lld scenes\n", static_cast<long long>(names.size()));
    return status;
}
