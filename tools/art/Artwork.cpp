#include "tools/art/Artwork.h"

#include "tools/art/DashLights.h"
#include "tools/art/HandSignals.h"
#include "tools/art/SceneKit.h"
#include "tools/art/Signs.h"

// Pictures that questions show are stored in the bank as bitmaps of this size, small
// enough for the picture boxes of the practice and exam screens.
constexpr int kQuestionPictureSize = 140;

std::vector<ArtItem> artworkCatalogue()
{
    std::vector<ArtItem> all;
    for (auto&& part : {mainMenuArt(), practiceArt(), viewerArt(), signPageArt(), examArt(),
                        recordArt(), studyArt()}) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

std::vector<ArtFile> artFileCatalogue()
{
    return {
        {ArtItem::Target::AppFile, QStringLiteral("CLOCK.AVI"), clockClip},
    };
}

QImage drawQuestionPicture(const QString& name)
{
    if (isKnownSign(name)) {
        return drawSign(name, kQuestionPictureSize);
    }
    if (isKnownMarking(name)) {
        return drawMarking(name, kQuestionPictureSize);
    }
    if (isKnownHandSignal(name)) {
        return drawHandSignal(name);
    }
    if (isKnownDashLight(name)) {
        return drawDashLight(name);
    }
    if (isKnownScene(name)) {
        return drawScene(name);
    }
    return QImage();
}

QStringList questionPictureNames()
{
    return signNames() + markingNames() + handSignalNames() + dashLightNames() + sceneNames();
}

namespace {

// A wide sign drawn in its square keeps white bands above and below; the pages show it
// without them, so that rows of guide signs stay short.
QImage withoutEmptyRows(const QImage& image)
{
    const QRgb ground = image.pixel(0, 0);
    auto empty = [&](int y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != ground) {
                return false;
            }
        }
        return true;
    };
    int top = 0;
    int bottom = image.height() - 1;
    while (top < bottom && empty(top)) {
        ++top;
    }
    while (bottom > top && empty(bottom)) {
        --bottom;
    }
    top = std::max(0, top - 2);
    bottom = std::min(image.height() - 1, bottom + 2);
    return image.copy(0, top, image.width(), bottom - top + 1);
}

} // namespace

std::vector<ArtItem> signPageArt()
{
    std::vector<ArtItem> items;
    for (const QString& name : signNames() + markingNames()) {
        const int size = signPageSize(name);
        const bool marking = name.startsWith(QLatin1String("marking/"));
        items.push_back(
            {ArtItem::Target::AppFile, QStringLiteral("html/") + name + QStringLiteral(".png"),
             "png", [name, size, marking] {
                 return marking ? drawMarking(name, size) : withoutEmptyRows(drawSign(name, size));
             }});
    }
    // The signals page shows the officer as the questions do, at the same size.
    for (const QString& name : handSignalNames()) {
        items.push_back({ArtItem::Target::AppFile,
                         QStringLiteral("html/") + name + QStringLiteral(".png"), "png",
                         [name] { return drawHandSignal(name); }});
    }
    return items;
}
