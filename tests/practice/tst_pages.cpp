// The eighteen pages the readers show, as the build delivers them: they open, name only
// pictures the artwork library draws, and fit the view's width.
#include "tests/support/TestSupport.h"
#include "toolkit/HtmlView.h"
#include "tools/art/Artwork.h"
#include "tools/art/SignKit.h"
#include "tools/art/Signs.h"

#include <QBitArray>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <cmath>

namespace {

const char* const kRulesPages[] = {
    "Trafficrg1.htm", "Supperhw.htm",  "carreg.htm",        "driverexam.htm",
    "driverlcs.htm",  "Accident.htm",  "Accidenttreat.htm", "drivertrain.htm",
    "violate.htm",    "drivergrd.htm", "safedrive.htm",     "safeaid.htm",
};
const char* const kSignPages[] = {
    "warning_sign.htm",     "prohibit_sign.htm", "direct_sign.htm",
    "road_direct_sign.htm", "superway_sign.htm", "road_line.htm",
};

QString builtPage(const char* name)
{
    return QStringLiteral(TAVIRO_APP_DIR "/html/") + QLatin1String(name);
}

QString readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The smallest rectangle holding every pixel drawn over a transparent ground.
QRect drawnBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 96) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

// Whether a picture shows its sign in the proportions the drawing declares, centred.
QString proportionFault(const QString& name, const QImage& image)
{
    const QRect box = drawnBox(image);
    const qreal aspect = signAspect(name);
    const qreal shown = qreal(box.width()) / std::max(1, box.height());
    // A pixel of antialiasing on each side, and the strokes of an outline.
    const qreal slack = 3.0 / std::min(box.width(), box.height()) + 0.03;
    if (box.isEmpty() || std::abs(shown / aspect - 1) > slack) {
        return QStringLiteral("%1: %2 x %3 drawn, %4 declared")
            .arg(name)
            .arg(box.width())
            .arg(box.height())
            .arg(aspect);
    }
    const int dx = box.left() - (image.width() - 1 - box.right());
    const int dy = box.top() - (image.height() - 1 - box.bottom());
    if (std::abs(dx) > 2 || std::abs(dy) > 2) {
        return QStringLiteral("%1: off centre by %2, %3").arg(name).arg(dx).arg(dy);
    }
    return QString();
}

QStringList pictures(const QString& html)
{
    static const QRegularExpression img(QStringLiteral("<img\\s[^>]*src=\"([^\"]+)\""));
    QStringList names;
    for (auto it = img.globalMatch(html); it.hasNext();) {
        names << it.next().captured(1);
    }
    return names;
}

} // namespace

class TestPages : public QObject
{
    Q_OBJECT

private slots:
    void pagesAreWellFormedAndDelivered_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* p : kRulesPages) {
            QTest::newRow(p) << QString::fromLatin1(p);
        }
        for (const char* p : kSignPages) {
            QTest::newRow(p) << QString::fromLatin1(p);
        }
    }

    void pagesAreWellFormedAndDelivered()
    {
        QFETCH(QString, name);
        const QString source = readAll(QStringLiteral(TAVIRO_SOURCE_DIR "/assets/html/") + name);
        QVERIFY2(!source.isEmpty(), qPrintable(name));
        QCOMPARE(readAll(builtPage(name.toLatin1().constData())), source);
        QVERIFY(source.startsWith(QLatin1String("<!DOCTYPE html>")));
        QVERIFY(source.contains(QLatin1String("<meta charset=\"utf-8\">")));
        QVERIFY(!source.contains(QLatin1String("<script"), Qt::CaseInsensitive));
        QVERIFY(!source.contains(QLatin1String("http:")) &&
                !source.contains(QLatin1String("https:")));
        // Every element that is opened is closed, in order (void elements aside).
        static const QRegularExpression tag(QStringLiteral("<(/?)([a-zA-Z0-9]+)[^>]*>"));
        static const QSet<QString> empty = {QStringLiteral("meta"), QStringLiteral("img"),
                                            QStringLiteral("br")};
        QStringList open;
        for (auto it = tag.globalMatch(source); it.hasNext();) {
            const auto m = it.next();
            const QString t = m.captured(2).toLower();
            if (empty.contains(t)) {
                continue;
            }
            if (m.captured(1).isEmpty()) {
                open << t;
            } else {
                QVERIFY2(!open.isEmpty() && open.last() == t,
                         qPrintable(name + QStringLiteral(": </") + t + QLatin1Char('>')));
                open.removeLast();
            }
        }
        QVERIFY2(open.isEmpty(), qPrintable(open.join(QLatin1Char(' '))));
    }

    void signPagesShowOnlyDrawnPictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("minimum");
        const int minimum[] = {50, 35, 30, 18, 20, 30};
        for (int i = 0; i < 6; ++i) {
            QTest::newRow(kSignPages[i]) << QString::fromLatin1(kSignPages[i]) << minimum[i];
        }
    }

    void signPagesShowOnlyDrawnPictures()
    {
        QFETCH(QString, name);
        QFETCH(int, minimum);
        const QStringList shown = pictures(readAll(builtPage(name.toLatin1().constData())));
        QVERIFY(shown.size() >= minimum);
        QCOMPARE(QSet<QString>(shown.begin(), shown.end()).size(), shown.size());
        const QStringList known = questionPictureNames();
        for (const QString& file : shown) {
            QVERIFY2(file.endsWith(QLatin1String(".png")), qPrintable(file));
            const QString picture = file.chopped(4);
            QVERIFY2(known.contains(picture), qPrintable(picture));
            const QImage written(QStringLiteral(TAVIRO_APP_DIR "/html/") + file);
            QVERIFY2(!written.isNull(), qPrintable(file));
            QCOMPARE(written.width(), signPageSize(picture));
        }
    }

    void pagesFitTheViewWidth_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("view");
        for (const char* p : kRulesPages) {
            QTest::newRow(p) << QString::fromLatin1(p) << QSize(626, 381);
        }
        for (const char* p : kSignPages) {
            QTest::newRow(p) << QString::fromLatin1(p) << QSize(605, 441);
        }
    }

    void pagesFitTheViewWidth()
    {
        QFETCH(QString, name);
        QFETCH(QSize, view);
        QWidget holder;
        holder.resize(view);
        HtmlView page(&holder);
        page.setGeometry(QRect(QPoint(0, 0), view));
        holder.show();
        QVERIFY(QTest::qWaitForWindowExposed(&holder));
        page.navigate(builtPage(name.toLatin1().constData()));
        QCoreApplication::processEvents();
        QVERIFY(!page.showsErrorPage());
        QVERIFY(page.toPlainText().size() > 300);
        QCOMPARE(page.horizontalScrollBar()->maximum(), 0);
        QVERIFY(page.verticalScrollBar()->maximum() > 0);
    }

    // A sign keeps the proportions its drawing declares wherever it is shown: in the
    // bank's square pictures, in the pages' pictures, and at the size the page gives it.
    void signsKeepTheirOwnProportions()
    {
        for (const QString& name : signNames()) {
            QVERIFY2(signAspect(name) > 0.2 && signAspect(name) < 5, qPrintable(name));
            const QString fault = proportionFault(name, drawSign(name, 140, Qt::transparent));
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
        }
        static const QRegularExpression img(QStringLiteral("<img\\s([^>]*)>"));
        static const QRegularExpression attr(QStringLiteral("(src|width|height)=\"([^\"]*)\""));
        for (const char* page : kSignPages) {
            const QString html = readAll(builtPage(page));
            for (auto it = img.globalMatch(html); it.hasNext();) {
                QHash<QString, QString> a;
                for (auto at = attr.globalMatch(it.next().captured(1)); at.hasNext();) {
                    const auto m = at.next();
                    a[m.captured(1)] = m.captured(2);
                }
                const QString file = a.value(QStringLiteral("src"));
                const QImage written(QStringLiteral(TAVIRO_APP_DIR "/html/") + file);
                QVERIFY2(!written.isNull(), qPrintable(file));
                QCOMPARE(a.value(QStringLiteral("width")).toInt(), written.width());
                QCOMPARE(a.value(QStringLiteral("height")).toInt(), written.height());
                if (file.startsWith(QLatin1String("sign/"))) {
                    const QString fault = proportionFault(file.chopped(4), written);
                    QVERIFY2(fault.isEmpty(), qPrintable(fault));
                }
            }
        }
    }

    // Signs that warn of different things must not look alike at a glance: where their
    // symbols put their ink (what is not the frame every warning sign shares), counted
    // in coarse cells so that a small shift does not count as a difference.
    void lookAlikeSignsDiffer()
    {
        constexpr int kSide = 140;
        constexpr int kCell = 20;
        auto dark = [](const QImage& image) {
            QBitArray bits(kSide * kSide);
            for (int i = 0; i < bits.size(); ++i) {
                bits.setBit(i, qGray(image.pixel(i % kSide, i / kSide)) < 80);
            }
            return bits;
        };
        QBitArray frame;
        for (const QString& name : signNames()) {
            // The triangles only: some warnings are boards.
            if (name.startsWith(QLatin1String("sign/warn_")) &&
                std::abs(signAspect(name) - signkit::kTriangle) < 0.01) {
                const QBitArray d = dark(drawSign(name, kSide));
                frame = frame.isEmpty() ? d : frame & d;
            }
        }
        auto cells = [&](const QString& name) {
            const QBitArray ink = dark(drawSign(name, kSide)) & ~frame;
            std::vector<int> n((kSide / kCell) * (kSide / kCell));
            for (int i = 0; i < ink.size(); ++i) {
                n[(i / kSide / kCell) * (kSide / kCell) + (i % kSide) / kCell] += ink.testBit(i);
            }
            return n;
        };
        const std::vector<int> a = cells(QStringLiteral("sign/warn_standing_water"));
        const std::vector<int> b = cells(QStringLiteral("sign/warn_ford"));
        int differ = 0;
        int most = 0;
        for (size_t i = 0; i < a.size(); ++i) {
            differ += std::abs(a[i] - b[i]);
            most += std::max(a[i], b[i]);
        }
        const qreal apart = qreal(differ) / most;
        QVERIFY2(apart > 0.35, qPrintable(QString::number(apart)));
    }

    void everyCataloguedPictureDraws()
    {
        const QStringList names = questionPictureNames();
        QVERIFY(names.size() > 200);
        for (const QString& n :
             {QStringLiteral("sign/stop"), QStringLiteral("sign/yield"),
              QStringLiteral("sign/no_entry"), QStringLiteral("sign/no_honking"),
              QStringLiteral("sign/speed_limit_40"), QStringLiteral("sign/no_parking"),
              QStringLiteral("sign/warn_crossroads"), QStringLiteral("sign/warn_children"),
              QStringLiteral("sign/straight_only"), QStringLiteral("sign/min_speed_50")}) {
            QVERIFY2(!drawQuestionPicture(n).isNull(), qPrintable(n));
        }
        for (const QString& n : names) {
            const QImage image = drawQuestionPicture(n);
            QVERIFY2(!image.isNull(), qPrintable(n));
            // Signs and markings are square; the officer and the lamps fill the picture box.
            const bool square =
                n.startsWith(QLatin1String("sign/")) || n.startsWith(QLatin1String("marking/"));
            QCOMPARE(image.size(), square ? QSize(140, 140) : QSize(200, 150));
            // Something is drawn: not one flat colour.
            const QRgb first = image.pixel(image.width() / 2, image.height() / 2);
            bool varied = false;
            for (int y = 0; y < image.height() && !varied; y += 7) {
                for (int x = 0; x < image.width() && !varied; x += 7) {
                    varied = image.pixel(x, y) != first;
                }
            }
            QVERIFY2(varied, qPrintable(n));
        }
        // Unknown names and bad numbers give nothing rather than a wrong picture.
        for (const QString& n :
             {QStringLiteral("sign/nothing"), QStringLiteral("sign/stop_40"),
              QStringLiteral("hand/wave"), QStringLiteral("dash/stop"), QStringLiteral("hand/"),
              QStringLiteral("sign/speed_limit"), QStringLiteral("sign/speed_limit_1234"),
              QStringLiteral("marking/stop"), QStringLiteral("stop")}) {
            QVERIFY2(drawQuestionPicture(n).isNull(), qPrintable(n));
        }
        QVERIFY(!drawQuestionPicture(QStringLiteral("sign/speed_limit_70")).isNull());
        QVERIFY(!drawQuestionPicture(QStringLiteral("sign/limit_height_4.5")).isNull());
        QVERIFY(!drawQuestionPicture(QStringLiteral("marking/stop_line")).isNull());
    }
};

TAVIRO_TEST_MAIN(TestPages)
#include "tst_pages.moc"
