#include "tools/art/SceneClips.h"

#include "tools/art/AviWriter.h"
#include "tools/art/SceneKit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <optional>

namespace {

QString g_folder =
    (qEnvironmentVariableIsEmpty("TAVIRO_SCENES") ? QStringLiteral(TAVIRO_SCENE_DIR)
                                                  : qEnvironmentVariable("TAVIRO_SCENES")) +
    QStringLiteral("/clips");

// A scene line of a clip: shown from one moment to another, its numbers fixed or moving.
struct ClipLine
{
    QString key;
    QStringList args;
    double from = 0;
    std::optional<double> until;
    int number = 0; // in its file
};

struct ClipRecord
{
    QString name;
    QString file;
    int number = 0;
    double length = 0;
    int rate = 8;
    double still = 0;
    std::vector<ClipLine> lines;
    QStringList faults;
};

struct Drawn
{
    ClipFrames frames;
    QByteArray avi;
    QStringList faults;
};

struct Library
{
    std::map<QString, ClipRecord> records;
    QStringList faults;
    std::map<QString, Drawn> drawn;
};

// "0=130,2.5=90,4=88": the value at each moment, in seconds from the start.
using Track = std::vector<std::pair<double, double>>;

std::optional<Track> trackOf(const QString& token)
{
    static const QRegularExpression form(
        QStringLiteral("^-?[0-9.]+=-?[0-9.]+(,-?[0-9.]+=-?[0-9.]+)*$"));
    if (!form.match(token).hasMatch()) {
        return std::nullopt;
    }
    Track track;
    for (const QString& key : token.split(QLatin1Char(','))) {
        const QStringList parts = key.split(QLatin1Char('='));
        bool timeOk = false;
        bool valueOk = false;
        track.emplace_back(parts[0].toDouble(&timeOk), parts[1].toDouble(&valueOk));
        if (!timeOk || !valueOk) {
            return Track();
        }
    }
    return track;
}

// Held before the first key and after the last, straight between them.
double valueAt(const Track& track, double t)
{
    if (t <= track.front().first) {
        return track.front().second;
    }
    for (size_t i = 1; i < track.size(); ++i) {
        if (t <= track[i].first) {
            const auto [t0, v0] = track[i - 1];
            const auto [t1, v1] = track[i];
            return v0 + (v1 - v0) * (t - t0) / (t1 - t0);
        }
    }
    return track.back().second;
}

QString numberText(double v)
{
    return QString::number(std::round(v * 100) / 100, 'f', 2)
        .remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

void checkLine(ClipRecord& clip, const ClipLine& line)
{
    auto fault = [&](const QString& what) {
        clip.faults << QStringLiteral("%1:%2: %3 (clip %4)")
                           .arg(clip.file)
                           .arg(line.number)
                           .arg(what, clip.name);
    };
    if (line.until && *line.until <= line.from) {
        fault(QStringLiteral("the line is shown until before it is shown"));
    }
    for (const QString& token : line.args) {
        const std::optional<Track> track = trackOf(token);
        if (!track) {
            continue;
        }
        bool ordered = !track->empty();
        for (size_t i = 0; ordered && i < track->size(); ++i) {
            const double t = (*track)[i].first;
            ordered = t >= 0 && t <= clip.length && (i == 0 || t > (*track)[i - 1].first);
        }
        if (!ordered) {
            fault(QStringLiteral("%1: a track's moments run up from 0 to the clip's length")
                      .arg(token));
        }
    }
}

// The clip-only keys of a record; every other line is a line of the scene.
bool takeClipKey(ClipRecord& clip, const QString& key, const QString& value, int number)
{
    auto fault = [&](const QString& what) {
        clip.faults << QStringLiteral("%1:%2: %3 (clip %4)")
                           .arg(clip.file)
                           .arg(number)
                           .arg(what, clip.name);
    };
    bool ok = false;
    if (key == QLatin1String("Length")) {
        clip.length = value.toDouble(&ok);
        if (!ok || clip.length < kShortestClip || clip.length > kLongestClip) {
            fault(QStringLiteral("a clip lasts %1 to %2 seconds")
                      .arg(kShortestClip)
                      .arg(kLongestClip));
        }
    } else if (key == QLatin1String("Rate")) {
        clip.rate = value.toInt(&ok);
        if (!ok || clip.rate < 4 || clip.rate > 12) {
            fault(QStringLiteral("Rate is 4 to 12 frames a second"));
            clip.rate = 8;
        }
    } else if (key == QLatin1String("Still")) {
        clip.still = value.toDouble(&ok);
        if (!ok || clip.still < 0) {
            fault(QStringLiteral("Still is a moment of the clip, in seconds"));
            clip.still = 0;
        }
    } else {
        return false;
    }
    return true;
}

void readFile(const QString& path, Library& lib)
{
    const QString shortName = QStringLiteral("clips/") + QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        lib.faults << QStringLiteral("%1: cannot be read").arg(shortName);
        return;
    }
    static const QRegularExpression keyForm(
        QStringLiteral("^([A-Za-z]+)(?:\\[([0-9.]*)-([0-9.]*)\\])?$"));
    static const QRegularExpression validName(QStringLiteral("^[a-z0-9][a-z0-9-]*$"));
    const QStringList rows = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    std::optional<ClipRecord> current;
    auto finish = [&] {
        if (!current) {
            return;
        }
        if (current->length <= 0 && current->faults.isEmpty()) {
            current->faults << QStringLiteral("%1:%2: a clip needs its Length (clip %3)")
                                   .arg(shortName)
                                   .arg(current->number)
                                   .arg(current->name);
        }
        if (current->still > current->length) {
            current->faults << QStringLiteral("%1:%2: Still is after the clip's end (clip %3)")
                                   .arg(shortName)
                                   .arg(current->number)
                                   .arg(current->name);
        }
        for (const ClipLine& line : current->lines) {
            checkLine(*current, line);
        }
        if (lib.records.count(current->name)) {
            lib.faults << QStringLiteral("%1:%2: clip %3 is described twice")
                              .arg(shortName)
                              .arg(current->number)
                              .arg(current->name);
        } else {
            lib.records[current->name] = *current;
        }
        current.reset();
    };
    for (int i = 0; i < rows.size(); ++i) {
        const QString row = rows[i].trimmed();
        if (row.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (row.isEmpty()) {
            finish();
            continue;
        }
        const int colon = row.indexOf(QLatin1Char(':'));
        const auto key = keyForm.match(colon > 0 ? row.left(colon).trimmed() : QString());
        if (!key.hasMatch()) {
            lib.faults << QStringLiteral("%1:%2: not a Key: value line").arg(shortName).arg(i + 1);
            continue;
        }
        const QString value = row.mid(colon + 1).simplified();
        if (key.captured(1) == QLatin1String("Clip")) {
            finish();
            if (!validName.match(value).hasMatch()) {
                lib.faults << QStringLiteral("%1:%2: a clip's name is lower-case letters, "
                                             "digits and '-'")
                                  .arg(shortName)
                                  .arg(i + 1);
                continue;
            }
            current = ClipRecord();
            current->name = value;
            current->file = shortName;
            current->number = i + 1;
            continue;
        }
        if (!current) {
            lib.faults
                << QStringLiteral("%1:%2: a line before the first Clip:").arg(shortName).arg(i + 1);
            continue;
        }
        if (key.capturedLength(2) + key.capturedLength(3) == 0 &&
            takeClipKey(*current, key.captured(1), value, i + 1)) {
            continue;
        }
        ClipLine line;
        line.key = key.captured(1);
        line.args = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        line.from = key.captured(2).toDouble();
        if (key.capturedLength(3) > 0) {
            line.until = key.captured(3).toDouble();
        }
        line.number = i + 1;
        current->lines.push_back(line);
    }
    finish();
}

// The scene at moment t, as a record of the scene files with the clip's lines in their
// places, so that the kit's faults name the clip's own lines.
QString frameText(const ClipRecord& clip, double t)
{
    QStringList rows(clip.lines.empty() ? 1 : clip.lines.back().number - clip.number + 1,
                     QStringLiteral("#"));
    rows[0] = QStringLiteral("Scene: %1").arg(clip.name);
    for (const ClipLine& line : clip.lines) {
        if (t < line.from || (line.until && t >= *line.until)) {
            continue;
        }
        QStringList args;
        for (const QString& token : line.args) {
            const std::optional<Track> track = trackOf(token);
            args << (track && !track->empty() ? numberText(valueAt(*track, t)) : token);
        }
        rows[line.number - clip.number] = line.key + QStringLiteral(": ") + args.join(' ');
    }
    return rows.join(QLatin1Char('\n'));
}

Drawn draw(const ClipRecord& clip)
{
    Drawn d;
    d.faults = clip.faults;
    if (!d.faults.isEmpty()) {
        return d;
    }
    static const QRegularExpression place(QStringLiteral("^text:(\\d+): "));
    const int count = int(std::lround(clip.length * clip.rate));
    // Seen from above, every frame has the zoom of the one that needs the least.
    qreal zoom = 2;
    for (int i = 0; i < count; ++i) {
        zoom = std::min(zoom, sceneZoomOfText(frameText(clip, double(i) / clip.rate)));
    }
    const QString framing =
        zoom > 0 ? QStringLiteral("\nZoom: %1").arg(numberText(std::floor(zoom * 100) / 100))
                 : QString();
    for (int i = 0; i < count; ++i) {
        QStringList why;
        const QImage frame = drawSceneText(frameText(clip, double(i) / clip.rate) + framing, &why);
        if (frame.isNull()) {
            for (QString w : why) {
                const auto m = place.match(w);
                if (m.hasMatch()) {
                    w.replace(0, m.capturedLength(),
                              QStringLiteral("%1:%2: ").arg(clip.file).arg(
                                  clip.number + m.captured(1).toInt() - 1));
                }
                d.faults << QStringLiteral("%1 at %2 s").arg(w, numberText(double(i) / clip.rate));
            }
            d.frames = ClipFrames();
            return d;
        }
        d.frames.frames.push_back(frame);
    }
    d.frames.framesPerSecond = clip.rate;
    const size_t still = size_t(std::lround(clip.still * clip.rate));
    d.frames.still = d.frames.frames[std::min(still, d.frames.frames.size() - 1)];
    AviOptions options;
    options.codec = AviCodec::MotionJpeg;
    options.framesPerSecond = clip.rate;
    // Flat colours keep their edges and a caption stays readable at this quality, at about
    // 3 KB a frame.
    options.jpegQuality = 70;
    d.avi = writeAvi(d.frames.frames, options);
    return d;
}

std::mutex g_mutex;
Library* g_library = nullptr;

Library& library()
{
    if (!g_library) {
        g_library = new Library;
        const QDir dir(g_folder);
        for (const QString& f : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
            readFile(dir.filePath(f), *g_library);
        }
    }
    return *g_library;
}

// Each clip is drawn once; its frames take a while.
const Drawn* drawnClip(const QString& name)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    Library& lib = library();
    const auto record = lib.records.find(name);
    if (record == lib.records.end()) {
        return nullptr;
    }
    auto it = lib.drawn.find(name);
    if (it == lib.drawn.end()) {
        it = lib.drawn.emplace(name, draw(record->second)).first;
    }
    return &it->second;
}

} // namespace

ClipFrames drawClipFrames(const QString& name, QStringList* errors)
{
    const Drawn* d = drawnClip(name);
    if (!d) {
        return {};
    }
    if (errors) {
        *errors << d->faults;
    }
    return d->frames;
}

QByteArray clipFile(const QString& name, QStringList* errors)
{
    const Drawn* d = drawnClip(name);
    if (!d) {
        return {};
    }
    if (errors) {
        *errors << d->faults;
    }
    return d->avi;
}

bool isKnownClip(const QString& name)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return library().records.count(name) > 0;
}

QStringList clipNames()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    QStringList names;
    for (const auto& [name, record] : library().records) {
        names << name;
    }
    return names;
}

QStringList clipFaults()
{
    QStringList faults;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        faults = library().faults;
    }
    for (const QString& name : clipNames()) {
        faults << drawnClip(name)->faults;
    }
    return faults;
}

void setClipFolder(const QString& folder)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_folder = folder;
    delete g_library;
    g_library = nullptr;
}
