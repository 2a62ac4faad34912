#include "tools/bank/BankCheck.h"

#include "gui/AviClip.h"
#include "gui/BitmapBlob.h"
#include "gui/Error.h"
#include "tools/art/SceneClips.h"
#include "tools/bank/BankSource.h"
#include "tools/bank/FactQuestions.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <functional>
#include <set>

bool parseCondition(const QString& text, PlanCondition* c)
{
    static const QRegularExpression byChapter(
        QStringLiteral("^\\s*Type\\s*=\\s*(\\d+)\\s+AND\\s+Chapter\\s*=\\s*(\\d+)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto chapter = byChapter.match(text);
    if (chapter.hasMatch()) {
        *c = PlanCondition();
        c->type = chapter.captured(1).toInt();
        c->chapter = chapter.captured(2).toInt();
        return c->chapter > 0;
    }
    static const QRegularExpression form(
        QStringLiteral("^\\s*Type\\s*=\\s*(\\d+)\\s+AND\\s+ID\\s*(>=|>)\\s*(\\d+)\\s+AND\\s+ID\\s*"
                       "(<=|<)\\s*(\\d+)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = form.match(text);
    if (!m.hasMatch()) {
        return false;
    }
    c->type = m.captured(1).toInt();
    c->chapter = 0;
    c->low = m.captured(3).toInt() + (m.captured(2) == QLatin1String(">") ? 1 : 0);
    c->high = m.captured(5).toInt() - (m.captured(4) == QLatin1String("<") ? 1 : 0);
    return true;
}

QuestionPlaces placesOf(const QString& folder, const std::vector<SourceQuestion>& questions)
{
    QuestionPlaces places;
    const QDir root(folder);
    for (const SourceQuestion& q : questions) {
        places[q.id] = QStringLiteral("%1:%2")
                           .arg(root.relativeFilePath(QFileInfo(q.file).absoluteFilePath()))
                           .arg(q.line);
    }
    return places;
}

bool PlanCondition::holds(const BankRow& row) const
{
    return row.type == type && inChapter(row);
}

bool PlanCondition::inChapter(const BankRow& row) const
{
    return chapter != 0 ? row.chapter == chapter : row.id >= low && row.id <= high;
}

namespace {

constexpr int kFirstId = 1;
constexpr int kLastId = 1600;

// "3, 5-9, 12" for a sorted list of numbers.
QString ranges(const std::vector<int>& ids)
{
    QStringList parts;
    for (std::size_t i = 0; i < ids.size();) {
        std::size_t j = i;
        while (j + 1 < ids.size() && ids[j + 1] == ids[j] + 1) {
            ++j;
        }
        parts << (i == j ? QString::number(ids[i])
                         : QStringLiteral("%1-%2").arg(ids[i]).arg(ids[j]));
        i = j + 1;
    }
    return parts.join(QStringLiteral(", "));
}

// The same picture stored with or without the header is the same picture.
QByteArray pictureDigest(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(QByteArray::number(rgb.width()) + 'x' + QByteArray::number(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        hash.addData(
            QByteArrayView(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 4));
    }
    return hash.result();
}

using Say = std::function<void(int id, const QString& what)>;

// Tells a problem of a question, with its place when known.
Say teller(const QuestionPlaces& places, QStringList* problems)
{
    return [&places, problems](int id, const QString& what) {
        const auto it = places.find(id);
        const QString at = it == places.end() ? QString() : it->second + QStringLiteral(": ");
        *problems << at + QStringLiteral("ID %1: ").arg(id) + what;
    };
}

// The faults a question has in itself, and two alike, in either subject: subject four's
// multiple answers (Type 2) show options as its single choices do. Returns the IDs.
QSet<int> checkRows(const std::vector<BankRow>& rows, bool subjectFour,
                    const QuestionPlaces& places, const Say& say)
{
    std::map<QString, int> alike;
    QSet<int> ids;
    for (const BankRow& r : rows) {
        if (ids.contains(r.id)) {
            say(r.id, QStringLiteral("the ID is used twice"));
        }
        ids.insert(r.id);
        const ContentParts parts = splitContent(r.content);
        if (normalisedText(parts.stem).isEmpty()) {
            say(r.id, QStringLiteral("the question has no text"));
        }
        static const QStringList letters = {QStringLiteral("A"), QStringLiteral("B"),
                                            QStringLiteral("C"), QStringLiteral("D")};
        const bool multiple = subjectFour && r.type == 2;
        if (r.type == 0 && !letters.contains(r.result)) {
            say(r.id, QStringLiteral("the answer \"%1\" of a choice question is not A to D")
                          .arg(r.result));
        }
        if (multiple && !multipleAnswerFault(r.result).isEmpty()) {
            say(r.id, multipleAnswerFault(r.result));
        }
        if (r.type == 0 || multiple) {
            if (parts.letters != letters) {
                say(r.id, QStringLiteral("a choice question shows the options A to D, not %1")
                              .arg(parts.letters.isEmpty() ? QStringLiteral("none")
                                                           : parts.letters.join(QString())));
            } else {
                QSet<QString> distinct;
                for (const QString& o : parts.options) {
                    distinct.insert(normalisedText(o));
                }
                if (distinct.size() != 4 || distinct.contains(QString())) {
                    say(r.id, QStringLiteral("the four options are not four distinct texts"));
                }
            }
        } else if (r.type == 1) {
            if (r.result != QStringLiteral("√") && r.result != QStringLiteral("×")) {
                say(r.id, QStringLiteral("the answer \"%1\" of a true/false question is not √ or ×")
                              .arg(r.result));
            }
            if (!parts.options.isEmpty()) {
                say(r.id, QStringLiteral("a true/false question shows options"));
            }
        } else {
            say(r.id, subjectFour ? QStringLiteral("Type %1 is none of 0 (single choice), 1 "
                                                   "(true/false) and 2 (multiple answer)")
                                        .arg(r.type)
                                  : QStringLiteral("Type %1 is neither 0 (choice) nor 1 "
                                                   "(true/false)")
                                        .arg(r.type));
        }
        QByteArray digest;
        if (r.picture) {
            QString why;
            const QImage image = readBitmapBlob(*r.picture, &why);
            if (image.isNull()) {
                say(r.id, QStringLiteral("the picture does not decode: %1").arg(why));
            } else {
                digest = pictureDigest(image);
            }
        }
        QStringList options;
        for (const QString& o : parts.options) {
            options << normalisedText(o);
        }
        options.sort();
        const QString key = QString::number(r.type) + QLatin1Char('|') +
                            normalisedText(parts.stem) + QLatin1Char('|') +
                            options.join(QLatin1Char('|')) + QLatin1Char('|') +
                            QString::fromLatin1(digest.toHex());
        const auto [it, fresh] = alike.emplace(key, r.id);
        if (!fresh) {
            const auto other = places.find(it->second);
            say(r.id, QStringLiteral("the question is alike to ID %1%2")
                          .arg(it->second)
                          .arg(other == places.end() ? QString()
                                                     : QStringLiteral(" (%1)").arg(other->second)));
        }
    }
    return ids;
}

// Every row of the plan finds three times what it draws, so that two papers differ. With
// warnings given, the rows of a chapter that holds no question at all are told there, once
// for the chapter.
void checkPlan(const std::vector<BankRow>& rows, const std::vector<PlanShare>& plan,
               QStringList* problems, QStringList* warnings = nullptr)
{
    std::map<int, QStringList> waiting; // chapter: the plan rows it leaves unchecked
    for (std::size_t i = 0; i < plan.size(); ++i) {
        PlanCondition c;
        if (!parseCondition(plan[i].condition, &c)) {
            *problems << QStringLiteral("exam plan row %1: cannot read the condition \"%2\"")
                             .arg(i + 1)
                             .arg(plan[i].condition);
            continue;
        }
        int held = 0;
        bool chapterHeld = false;
        for (const BankRow& r : rows) {
            held += c.holds(r) ? 1 : 0;
            chapterHeld = chapterHeld || (c.chapter != 0 && c.inChapter(r));
        }
        if (held >= 3 * plan[i].count) {
            continue;
        }
        if (warnings && c.chapter != 0 && !chapterHeld) {
            waiting[c.chapter] << QString::number(i + 1);
            continue;
        }
        *problems << QStringLiteral("exam plan row %1 (%2) draws %3 questions; the bank holds %4 "
                                    "there, fewer than three times as many")
                         .arg(i + 1)
                         .arg(plan[i].condition)
                         .arg(plan[i].count)
                         .arg(held);
    }
    for (const auto& [chapter, planRows] : waiting) {
        *warnings << QStringLiteral("chapter %1 holds no question yet: the rows %2 of the exam "
                                    "plan that draw from it are not checked")
                         .arg(chapter)
                         .arg(planRows.join(QStringLiteral(", ")));
    }
}

} // namespace

ContentParts splitContent(const QString& content)
{
    static const QRegularExpression option(QStringLiteral("^([A-Z])、(.*)$"));
    ContentParts parts;
    QString text = content;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    parts.stem = lines.value(0);
    for (int i = 1; i < lines.size(); ++i) {
        const auto m = option.match(lines[i]);
        if (m.hasMatch()) {
            parts.letters << m.captured(1);
            parts.options << m.captured(2);
        } else if (parts.options.isEmpty()) {
            parts.stem += QLatin1Char('\n') + lines[i];
        } else {
            parts.options.last() += QLatin1Char('\n') + lines[i];
        }
    }
    return parts;
}

QStringList checkBank(const std::vector<BankRow>& rows, const std::vector<PlanShare>& plan,
                      const QuestionPlaces& places)
{
    QStringList problems;
    const Say say = teller(places, &problems);
    const QSet<int> ids = checkRows(rows, false, places, say);
    std::vector<int> missing;
    for (int id = kFirstId; id <= kLastId; ++id) {
        if (!ids.contains(id)) {
            missing.push_back(id);
        }
    }
    if (!missing.empty()) {
        problems << QStringLiteral("IDs missing from the bank: %1").arg(ranges(missing));
    }
    std::vector<int> outside;
    for (int id : ids) {
        if (id < kFirstId || id > kLastId) {
            outside.push_back(id);
        }
    }
    std::sort(outside.begin(), outside.end());
    for (int id : outside) {
        say(id, QStringLiteral("the bank holds only IDs %1 to %2").arg(kFirstId).arg(kLastId));
    }
    checkPlan(rows, plan, &problems);
    return problems;
}

QString clipFault(const QByteArray& bytes)
{
    try {
        const AviClip clip = AviClip::fromBytes(bytes);
        for (int i = 0; i < clip.frameCount(); ++i) {
            if (clip.frame(i).isNull()) {
                return QStringLiteral("frame %1 of the clip does not decode").arg(i + 1);
            }
        }
        const double seconds = double(clip.frameCount()) * double(clip.frameInterval()) / 1e6;
        if (seconds < kShortestClip - 1e-3 || seconds > kLongestClip + 1e-3) {
            return QStringLiteral("the clip lasts %1 s; a clip lasts %2 to %3 s")
                .arg(seconds, 0, 'f', 2)
                .arg(kShortestClip)
                .arg(kLongestClip);
        }
    } catch (const ToolkitError& e) {
        return QStringLiteral("the clip does not decode: %1").arg(QString::fromUtf8(e.what()));
    }
    return QString();
}

QStringList checkSubjectFour(const std::vector<BankRow>& rows, const std::vector<PlanShare>& plan,
                             const QuestionPlaces& places, QStringList* warnings)
{
    QStringList problems;
    const Say say = teller(places, &problems);
    checkRows(rows, true, places, say);
    std::set<int> drawn;
    for (const PlanShare& share : plan) {
        PlanCondition c;
        if (parseCondition(share.condition, &c) && c.chapter != 0) {
            drawn.insert(c.chapter);
        }
    }
    const std::vector<int> chapters(drawn.begin(), drawn.end());
    for (const BankRow& r : rows) {
        if (r.id <= 0) {
            say(r.id, QStringLiteral("the ID is not a positive number"));
        }
        if (r.clip) {
            const QString fault = clipFault(*r.clip);
            if (!fault.isEmpty()) {
                say(r.id, fault);
            }
        }
        if (!drawn.count(r.chapter)) {
            say(r.id, QStringLiteral("Chapter %1 is none of the chapters the exam plan draws "
                                     "from (%2)")
                          .arg(r.chapter)
                          .arg(ranges(chapters)));
        }
    }
    checkPlan(rows, plan, &problems, warnings);
    return problems;
}
