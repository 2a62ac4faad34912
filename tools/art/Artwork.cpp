#include "tools/art/Artwork.h"

#include "tools/art/Signs.h"

// Pictures that questions show are stored in the bank as bitmaps of this size, small
// enough for the picture boxes of the practice and exam screens.
constexpr int kQuestionPictureSize = 140;

std::vector<ArtItem> artworkCatalogue()
{
    std::vector<ArtItem> all;
    for (auto&& part : {mainMenuArt(), viewerArt(), signPageArt()}) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

std::vector<ArtFile> artFileCatalogue()
{
    return {};
}

QImage drawQuestionPicture(const QString& name)
{
    if (isKnownSign(name)) {
        return drawSign(name, kQuestionPictureSize);
    }
    if (isKnownMarking(name)) {
        return drawMarking(name, kQuestionPictureSize);
    }
    return QImage();
}

QStringList questionPictureNames()
{
    return signNames() + markingNames();
}

std::vector<ArtItem> signPageArt()
{
    std::vector<ArtItem> items;
    for (const QString& name : signNames() + markingNames()) {
        const int size = signPageSize(name);
        const bool marking = name.startsWith(QLatin1String("marking/"));
        items.push_back({ArtItem::Target::AppFile,
                         QStringLiteral("html/") + name + QStringLiteral(".png"), "png",
                         [name, size, marking] {
                             return marking ? drawMarking(name, size) : drawSign(name, size);
                         }});
    }
    return items;
}
