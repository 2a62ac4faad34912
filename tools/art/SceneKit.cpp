#include "tools/art/SceneKit.h"

#include "tools/art/SceneParts.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <climits>
#include <map>
#include <mutex>

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 150;

// The project's descriptions; TAVIRO_SCENES names another folder (a writer's own copy).
QString g_folder = qEnvironmentVariableIsEmpty("TAVIRO_SCENES")
                       ? QStringLiteral(TAVIRO_SCENE_DIR)
                       : qEnvironmentVariable("TAVIRO_SCENES");

struct Drawn
{
    QImage image;
    QStringList faults;
};

struct Library
{
    std::map<QString, scene::Description> descriptions;
    QStringList faults;
    std::map<QString, Drawn> drawn; // each scene is drawn once
};

// A description file: records of "Key: value" lines, separated by blank lines.
// A "Key: value value ..." row as a line of a description; false when it has no key.
bool keyLine(const QString& row, int number, scene::Line* line)
{
    const int colon = row.indexOf(QLatin1Char(':'));
    if (colon <= 0) {
        return false;
    }
    line->key = row.left(colon).trimmed();
    line->args = row.mid(colon + 1).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    line->number = number;
    return true;
}

void readFile(const QString& path, Library& lib)
{
    QFile file(path);
    const QString shortName = QFileInfo(path).fileName();
    if (!file.open(QIODevice::ReadOnly)) {
        lib.faults << QStringLiteral("%1: cannot be read").arg(shortName);
        return;
    }
    const QStringList rows = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    scene::Description current;
    auto finish = [&] {
        if (current.name.isEmpty()) {
            return;
        }
        if (lib.descriptions.count(current.name)) {
            lib.faults << QStringLiteral("%1:%2: scene %3 is described twice")
                              .arg(shortName)
                              .arg(current.number)
                              .arg(current.name);
        } else {
            lib.descriptions[current.name] = current;
        }
        current = scene::Description();
    };
    static const QRegularExpression validName(QStringLiteral("^[a-z0-9][a-z0-9-]*$"));
    for (int i = 0; i < rows.size(); ++i) {
        const QString row = rows[i].trimmed();
        if (row.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (row.isEmpty()) {
            finish();
            continue;
        }
        scene::Line line;
        if (!keyLine(row, i + 1, &line)) {
            lib.faults << QStringLiteral("%1:%2: not a Key: value line").arg(shortName).arg(i + 1);
            continue;
        }
        if (line.key == QLatin1String("Scene")) {
            finish();
            if (line.args.size() != 1 || !validName.match(line.args[0]).hasMatch()) {
                lib.faults << QStringLiteral("%1:%2: a scene's name is lower-case letters, "
                                             "digits and '-'")
                                  .arg(shortName)
                                  .arg(i + 1);
                continue;
            }
            current.name = line.args[0];
            current.file = shortName;
            current.number = i + 1;
            continue;
        }
        if (current.name.isEmpty()) {
            lib.faults << QStringLiteral("%1:%2: a line before the first Scene:")
                              .arg(shortName)
                              .arg(i + 1);
            continue;
        }
        current.lines.push_back(line);
    }
    finish();
}

// The scene in 256 colours: a scene is made of few flat colours and the blends at their
// edges, so the most frequent colours hold it and the rest take their nearest. Stored so, a
// picture takes a third of the room of 24 bits, which the exam paper reads from the disk.
QImage paletted(const QImage& image)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            ++counts[row[x] | 0xff000000u];
        }
    }
    std::vector<std::pair<int, QRgb>> byCount;
    for (const auto& [rgb, n] : counts) {
        byCount.emplace_back(-n, rgb);
    }
    std::sort(byCount.begin(), byCount.end());
    QList<QRgb> table;
    for (size_t i = 0; i < byCount.size() && i < 256; ++i) {
        table << byCount[i].second;
    }
    std::map<QRgb, int> index;
    for (int i = 0; i < table.size(); ++i) {
        index[table[i]] = i;
    }
    auto nearest = [&](QRgb c) {
        int best = 0;
        int bestDistance = INT_MAX;
        for (int i = 0; i < table.size(); ++i) {
            const int dr = qRed(c) - qRed(table[i]);
            const int dg = qGreen(c) - qGreen(table[i]);
            const int db = qBlue(c) - qBlue(table[i]);
            const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        return best;
    };
    QImage out(image.size(), QImage::Format_Indexed8);
    out.setColorTable(table);
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = row[x] | 0xff000000u;
            auto it = index.find(c);
            if (it == index.end()) {
                it = index.emplace(c, nearest(c)).first;
            }
            dst[x] = uchar(it->second);
        }
    }
    return out;
}

std::mutex g_mutex;
Library* g_library = nullptr;

const Library& library()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_library) {
        g_library = new Library;
        const QDir dir(g_folder);
        for (const QString& f : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
            readFile(dir.filePath(f), *g_library);
        }
    }
    return *g_library;
}

const scene::Description* descriptionNamed(const QString& name)
{
    if (!name.startsWith(QLatin1String("scene/"))) {
        return nullptr;
    }
    const auto& descriptions = library().descriptions;
    const auto it = descriptions.find(name.mid(6));
    return it == descriptions.end() ? nullptr : &it->second;
}

QImage render(const scene::Description& description, QStringList* errors)
{
    QStringList own;
    scene::Faults faults(description, errors ? errors : &own);
    scene::Weather weather;
    bool driver = false;
    for (const scene::Line& line : description.lines) {
        if (line.key == QLatin1String("View")) {
            if (line.args == QStringList{QStringLiteral("driver")}) {
                driver = true;
            } else if (line.args != QStringList{QStringLiteral("top")}) {
                faults.add(line, QStringLiteral("View is top or driver"));
            }
        } else if (line.key == QLatin1String("Weather")) {
            for (const QString& w : line.args) {
                bool* flag = w == QLatin1String("rain")    ? &weather.rain
                             : w == QLatin1String("snow")  ? &weather.snow
                             : w == QLatin1String("fog")   ? &weather.fog
                             : w == QLatin1String("night") ? &weather.night
                             : w == QLatin1String("dusk")  ? &weather.dusk
                             : w == QLatin1String("ice")   ? &weather.ice
                                                           : nullptr;
                if (flag) {
                    *flag = true;
                } else {
                    faults.add(line, QStringLiteral("no weather %1").arg(w));
                }
            }
        } else if (line.key == QLatin1String("Visibility")) {
            if (!scene::number(line, 0, &weather.visibility, faults)) {
                continue;
            }
            if (weather.visibility < 20 || weather.visibility > 500) {
                faults.add(line, QStringLiteral("Visibility is 20 to 500 metres"));
            }
        } else if (line.key == QLatin1String("Surface")) {
            if (line.args != QStringList{QStringLiteral("snow")}) {
                faults.add(line, QStringLiteral("Surface is snow"));
            }
            weather.snowLying = true;
        }
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    scene::Lights lights;
    scene::Place captions = [](QPointF q) { return q; };
    if (driver) {
        scene::drawDriverView(p, description, weather, lights, faults);
    } else {
        scene::drawTopView(p, description, weather, lights, faults, &captions);
    }
    for (const auto& light : lights) {
        p.save();
        light(p);
        p.restore();
    }
    // Captions and the inset stay readable over the weather.
    for (const scene::Line& line : description.lines) {
        if (line.key == QLatin1String("Text")) {
            qreal x = 0;
            qreal y = 0;
            if (line.args.size() < 3 || !scene::number(line, 0, &x, faults) ||
                !scene::number(line, 1, &y, faults)) {
                faults.add(line, QStringLiteral("Text is x y text"));
                continue;
            }
            scene::drawCaption(p, captions(QPointF(x, y)), line.args.mid(2).join(QLatin1Char(' ')),
                               weather.dark() ? Qt::white : Qt::black);
        } else if (line.key == QLatin1String("Inset")) {
            bool good = !line.args.isEmpty();
            for (const QString& t : line.args) {
                if (!scene::signalToken(t)) {
                    faults.add(line, QStringLiteral("no signal lamp %1").arg(t));
                    good = false;
                }
            }
            if (good) {
                p.setPen(QPen(QColor(240, 240, 240), 1));
                p.setBrush(QColor(0, 0, 0, 70));
                const qreal w = line.args.size() * 17 + 5;
                p.drawRoundedRect(QRectF(3, 3, w, 45), 4, 4);
                scene::drawSignalHeads(p, QPointF(7, 6), 5, line.args);
                scene::noteReadable(QStringLiteral("Inset"), line.number, 10);
            }
        }
    }
    p.end();
    if (faults.any()) {
        return QImage();
    }
    return paletted(image);
}

} // namespace

namespace scene {

void Faults::add(const Line& line, const QString& what)
{
    ++m_count;
    *m_out << QStringLiteral("%1:%2: %3 (scene %4)")
                  .arg(m_description.file)
                  .arg(line.number)
                  .arg(what, m_description.name);
}

void Faults::add(const QString& what)
{
    ++m_count;
    *m_out << QStringLiteral("%1:%2: %3 (scene %4)")
                  .arg(m_description.file)
                  .arg(m_description.number)
                  .arg(what, m_description.name);
}

bool number(const Line& line, int index, qreal* value, Faults& faults)
{
    if (index >= line.args.size()) {
        faults.add(line, QStringLiteral("%1 needs more numbers").arg(line.key));
        return false;
    }
    bool ok = false;
    *value = line.args[index].toDouble(&ok);
    if (!ok || *value < -1000 || *value > 1000) {
        faults.add(line, QStringLiteral("%1 is not a number").arg(line.args[index]));
        return false;
    }
    return true;
}

namespace {
thread_local QList<SceneReadable>* t_readables = nullptr;
} // namespace

void noteReadable(const QString& what, int line, qreal height)
{
    if (t_readables) {
        *t_readables << SceneReadable{what, line, height};
    }
}

QList<SceneReadable>* swapReadables(QList<SceneReadable>* to)
{
    std::swap(to, t_readables);
    return to;
}

} // namespace scene

namespace {

const Drawn& drawn(const scene::Description& description)
{
    library();
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        const auto it = g_library->drawn.find(description.name);
        if (it != g_library->drawn.end()) {
            return it->second;
        }
    }
    Drawn d;
    d.image = render(description, &d.faults);
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_library->drawn.emplace(description.name, d).first->second;
}

} // namespace

QImage drawScene(const QString& name, QStringList* errors)
{
    const scene::Description* description = descriptionNamed(name);
    if (!description) {
        return QImage();
    }
    const Drawn& d = drawn(*description);
    if (errors) {
        *errors << d.faults;
    }
    return d.image;
}

QList<SceneReadable> sceneReadables(const QString& name)
{
    const scene::Description* description = descriptionNamed(name);
    QList<SceneReadable> notes;
    if (description) {
        QList<SceneReadable>* before = scene::swapReadables(&notes);
        render(*description, nullptr);
        scene::swapReadables(before);
    }
    return notes;
}

bool isKnownScene(const QString& name)
{
    return descriptionNamed(name) != nullptr;
}

QStringList sceneNames()
{
    QStringList names;
    for (const auto& [name, description] : library().descriptions) {
        names << QStringLiteral("scene/") + name;
    }
    return names;
}

QStringList sceneFaults()
{
    QStringList faults = library().faults;
    for (const auto& [name, description] : library().descriptions) {
        faults << drawn(description).faults;
    }
    return faults;
}

void setSceneFolder(const QString& folder)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_folder = folder;
    delete g_library;
    g_library = nullptr;
}

// A record handed over as text, read as the files' records are and drawn afresh each time.
namespace {

scene::Description descriptionOfText(const QString& text)
{
    scene::Description description;
    description.file = QStringLiteral("text");
    const QStringList rows = text.split(QLatin1Char('\n'));
    for (int i = 0; i < rows.size(); ++i) {
        const QString row = rows[i].trimmed();
        scene::Line line;
        if (row.startsWith(QLatin1Char('#')) || !keyLine(row, i + 1, &line)) {
            continue;
        }
        if (line.key == QLatin1String("Scene")) {
            description.name = line.args.value(0);
            description.number = i + 1;
        } else {
            description.lines.push_back(line);
        }
    }
    return description;
}

} // namespace

qreal sceneZoomOfText(const QString& text)
{
    const scene::Description description = descriptionOfText(text);
    for (const scene::Line& line : description.lines) {
        if (line.key == QLatin1String("View") && line.args.value(0) == QLatin1String("driver")) {
            return 0;
        }
    }
    return scene::topZoom(description);
}

QImage drawSceneText(const QString& text, QStringList* errors)
{
    return render(descriptionOfText(text), errors);
}
