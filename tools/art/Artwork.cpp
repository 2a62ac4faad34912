#include "tools/art/Artwork.h"

#include "tools/art/Signs.h"

// Pictures that questions show are stored in the bank as bitmaps of this size, small
// enough for the picture boxes of the practice and exam screens.
constexpr int kQuestionPictureSize = 140;

std::vector<ArtItem> artworkCatalogue()
{
    std::vector<ArtItem> all;
    for (auto&& part : {mainMenuArt(), practiceArt()}) {
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
    return QImage();
}

QStringList questionPictureNames()
{
    return signNames();
}
