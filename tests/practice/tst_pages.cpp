// The sixteen pages the readers show, as the build delivers them: they open, name only
// pictures the artwork library draws, and fit the view's width.
#include "tests/support/TestSupport.h"
#include "toolkit/HtmlView.h"
#include "tools/art/Artwork.h"
#include "tools/art/Signs.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>

namespace {

const char* const kRulesPages[] = {
    "Trafficrg1.htm", "Supperhw.htm",      "carreg.htm",      "driverexam.htm", "driverlcs.htm",
    "Accident.htm",   "Accidenttreat.htm", "drivertrain.htm", "violate.htm",    "drivergrd.htm",
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
