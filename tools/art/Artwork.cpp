#include "tools/art/Artwork.h"

#include "tools/art/DashLights.h"
#include "tools/art/HandSignals.h"
#include "tools/art/SceneKit.h"
#include "tools/art/Signs.h"

// Pictures that questions show are stored in the bank as bitmaps of this size, small
// enough for the picture boxes of the practice and exam screens.
constexpr int kQuestionPictureSize = 140;
// A lamp's picture on the dashboard page: its question picture, 200 x 150, at 0.4.
constexpr QSize kDashPageSize(80, 60);
// The scenes the subject-four pages show beside the rules they picture, drawn from the
// same descriptions as the questions' so that the page and the question never disagree.
const char* const kSafePageScenes[] = {
    "scene/kd-green-yield",     "scene/kd-stop-on-zebra",
    "scene/kd-right-arrow-red", "scene/kb-fog-expressway-follow",
    "scene/kc-wet-road",        "scene/kb-snow-follow",
    "scene/kb-night-follow",    "scene/kb-obstacle-our-side",
    "scene/kb-tunnel-mouth",    "scene/kb-rail-gate-down",
    "scene/kc-head-on",         "scene/kc-breakdown-lane",
    "scene/kc-tow-rope",        "scene/kb-crash-junction",
    "scene/kb-crash-injured",   "scene/kb-hazmat-leak",
};

std::vector<ArtItem> artworkCatalogue()
{
    std::vector<ArtItem> all;
    for (auto&& part : {mainMenuArt(), practiceArt(), viewerArt(), signPageArt(), examArt(),
                        recordArt(), studyArt()}) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

std::vector<DrawnFrame> drawnFrames(const QString& screen)
{
    const struct
    {
        const char* screen;
        std::function<std::vector<DrawnFrame>()> frames;
    } screens[] = {
        {"MainForm", mainMenuFrames},
        {"Frm_SimulateExam", [] { return examFrames(false); }},
        {"Frm_SafeExam", [] { return examFrames(true); }},
        {"Frm_MoLiKaoShiPingFen", resultFrames},
        {"Frm_JiaoTongFaGui", [] { return readerFrames(true); }},
        {"Frm_JiaoTongBiaoZhi", [] { return readerFrames(false); }},
        {"Frm_ShunXuLianXi", practiceFrames},
        {"Frm_XueXiJiLu", recordFrames},
        {"Frm_XueXiMoShi", studyModesFrames},
    };
    for (const auto& s : screens) {
        if (screen == QLatin1String(s.screen)) {
            return s.frames();
        }
    }
    return {};
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

std::vector<ArtItem> signPageArt()
{
    std::vector<ArtItem> items;
    for (const QString& name : signNames() + markingNames()) {
        const int size = signPageSize(name);
        const bool marking = name.startsWith(QLatin1String("marking/"));
        items.push_back({ArtItem::Target::AppFile,
                         QStringLiteral("html/") + name + QStringLiteral(".png"), "png",
                         [name, size, marking] {
                             return marking ? drawMarking(name, size)
                                            : drawSignAtWidth(name, size, Qt::transparent);
                         }});
    }
    // The signals page shows the officer as the questions do, at the same size.
    for (const QString& name : handSignalNames()) {
        items.push_back({ArtItem::Target::AppFile,
                         QStringLiteral("html/") + name + QStringLiteral(".png"), "png",
                         [name] { return drawHandSignal(name); }});
    }
    // The dashboard page shows the lamps of the questions, small enough for a table row.
    for (const QString& name : dashLightNames()) {
        items.push_back({ArtItem::Target::AppFile,
                         QStringLiteral("html/") + name + QStringLiteral(".png"), "png", [name] {
                             return drawDashLight(name).scaled(kDashPageSize, Qt::KeepAspectRatio,
                                                               Qt::SmoothTransformation);
                         }});
    }
    // At the questions' own size: their captions (甲, 乙, distances) stay readable.
    for (const char* scene : kSafePageScenes) {
        const QString name = QLatin1String(scene);
        items.push_back({ArtItem::Target::AppFile,
                         QStringLiteral("html/") + name + QStringLiteral(".png"), "png",
                         [name] { return drawScene(name); }});
    }
    return items;
}
