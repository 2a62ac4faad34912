// Draws scenes of assets/scenes to PNG files, for a look while writing them:
//   scenegen OUT_DIR [NAME ...]   (every scene when no name is given; NAME without "scene/")
// Faults of the descriptions are printed and make the exit status 1.
#include "gui/Fonts.h"
#include "tools/art/SceneKit.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    installFontSubstitutes();
    if (argc < 2) {
        std::fprintf(stderr, "usage: scenegen OUT_DIR [NAME ...]\n");
        return 2;
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
