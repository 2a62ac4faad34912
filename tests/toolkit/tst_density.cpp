// Screens of 150 % and 200 %: every picture of the screens is drawn at twice the density
// too, a screen of more than the usual density shows that drawing at the picture's size
// in logical pixels, and the places and sizes of the controls do not move. This program
// runs at a scale of 2, as a screen of 200 % would.
#include "sharedscreens/ScreenParts.h"
#include "tests/support/TestSupport.h"
#include "toolkit/Controls.h"
#include "toolkit/Resources.h"

#include <QDirIterator>
#include <QImageReader>
#include <QPainter>
#include <QResource>

using namespace testing;

namespace {

// The pictures compiled in, without the doubled drawings.
QStringList singlePictures()
{
    QStringList paths;
    for (const QString& root : {QStringLiteral(":/art"), QStringLiteral(":/bitmaps")}) {
        QDirIterator it(root, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (!path.contains(QLatin1String("@2x")) && !QFileInfo(path).isDir()) {
                paths << path;
            }
        }
    }
    return paths;
}

} // namespace

class TestDensity : public QObject
{
    Q_OBJECT

private slots:
    void runsAtTwiceTheDensity() { QCOMPARE(screenDensity(), 2.0); }

    void namesOfTheDoubledDrawings()
    {
        QCOMPARE(doubledPicturePath(":/art/MainMenu.rgb32"),
                 QStringLiteral(":/art/MainMenu@2x.rgb32"));
        QCOMPARE(doubledPicturePath(":/bitmaps/XueYuanBan"),
                 QStringLiteral(":/bitmaps/XueYuanBan@2x"));
        QCOMPARE(doubledPicturePath("/home/a.b/Yes.bmp"), QStringLiteral("/home/a.b/Yes@2x.bmp"));
        QCOMPARE(doubledPicturePath("/home/a.b/Yes"), QStringLiteral("/home/a.b/Yes@2x"));
    }

    void everyPictureHasItsDoubledDrawing()
    {
        const QStringList pictures = singlePictures();
        QVERIFY(pictures.size() >= 10);
        for (const QString& path : pictures) {
            QVERIFY2(QResource(doubledPicturePath(path)).isValid(), qPrintable(path));
            const QImage image = loadResourcePicture(path);
            QVERIFY2(!image.isNull(), qPrintable(path));
            QCOMPARE(image.devicePixelRatio(), 2.0);
            QCOMPARE(image.size(), image.deviceIndependentSize().toSize() * 2);
        }
        for (const char* mark : {"Yes", "No"}) {
            const QString single =
                QStringLiteral(TAVIRO_APP_DIR "/") + mark + QStringLiteral(".bmp");
            const QImage one = QImageReader(single).read();
            const QImage two = QImageReader(doubledPicturePath(single)).read();
            QVERIFY2(!one.isNull() && !two.isNull(), mark);
            QCOMPARE(two.size(), one.size() * 2);
        }
    }

    void aScreenShowsTheDoubledDrawingPixelForPixel()
    {
        QWidget screen;
        screen.resize(800, 600);
        Picture* picture = screenPicture(&screen, "Image1", QStringLiteral("MainMenu.rgb32"));
        QCOMPARE(picture->geometry(), QRect(0, 0, 800, 600));
        const QImage shown = screen.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), QSize(1600, 1200));
        QImage drawn = loadResourcePicture(artPath(QStringLiteral("MainMenu.rgb32")));
        drawn = drawn.convertToFormat(QImage::Format_RGB32);
        drawn.setDevicePixelRatio(shown.devicePixelRatio());
        QCOMPARE(shown, drawn);
    }

    void aPictureKeepsItsSizeInLogicalPixels()
    {
        QWidget screen;
        auto* badge = new Picture(&screen);
        badge->setAutoSize(true);
        badge->move(642, 531);
        badge->setImage(loadBitmapResource(QStringLiteral("XueYuanBan")));
        QCOMPARE(badge->geometry(), QRect(642, 531, 116, 48));

        auto* mark = new Picture(&screen);
        mark->setAutoSize(true);
        mark->loadFromFile(QStringLiteral(TAVIRO_APP_DIR "/Yes.bmp"));
        QCOMPARE(mark->image().devicePixelRatio(), 2.0);
        QCOMPARE(mark->size(), QImageReader(QStringLiteral(TAVIRO_APP_DIR "/Yes.bmp")).size());

        auto* centred = new Picture(&screen);
        centred->setGeometry(0, 0, 200, 100);
        centred->setCenter(true);
        QImage square(40, 40, QImage::Format_RGB32);
        square.fill(Qt::red);
        square.setDevicePixelRatio(2);
        centred->setImage(square);
        const QImage shown = centred->grab().toImage();
        // 20 x 20 logical pixels in the middle: from 90 to 110 across, 40 to 60 down.
        QCOMPARE(shown.pixelColor(2 * 91, 2 * 41), QColor(Qt::red));
        QVERIFY(shown.pixelColor(2 * 89, 2 * 41) != QColor(Qt::red));
        QVERIFY(shown.pixelColor(2 * 111, 2 * 41) != QColor(Qt::red));
    }

    void aGlyphOfTwoFramesShowsOneFrameAtTheLogicalSize()
    {
        QImage glyph(64, 32, QImage::Format_ARGB32);
        glyph.fill(Qt::green);
        {
            QPainter p(&glyph);
            p.fillRect(QRect(32, 0, 32, 32), Qt::blue); // the disabled frame
        }
        glyph.setDevicePixelRatio(2);
        FlatButton button(nullptr);
        button.resize(40, 40);
        button.setGlyph(glyph, 2);
        QImage shown = button.grab().toImage();
        // 16 x 16 logical pixels in the middle of 40 x 40: from 12 to 28.
        QCOMPARE(shown.pixelColor(2 * 13, 2 * 13), QColor(Qt::green));
        QCOMPARE(shown.pixelColor(2 * 27, 2 * 27), QColor(Qt::green));
        QVERIFY(shown.pixelColor(2 * 29, 2 * 20) != QColor(Qt::green));
        button.setEnabled(false);
        shown = button.grab().toImage();
        QCOMPARE(shown.pixelColor(2 * 20, 2 * 20), QColor(Qt::blue));
    }

    void screensBetweenGetTheDoubledDrawingScaledOnce()
    {
        QImage doubled(200, 100, QImage::Format_RGB32);
        doubled.fill(Qt::darkGreen);
        const QImage at150 = pictureForScreen(doubled, 1.5);
        QCOMPARE(at150.size(), QSize(150, 75));
        QCOMPARE(at150.devicePixelRatio(), 1.5);
        QCOMPARE(at150.deviceIndependentSize().toSize(), QSize(100, 50));
        const QImage at2 = pictureForScreen(doubled, 2);
        QCOMPARE(at2.size(), QSize(200, 100));
        QCOMPARE(at2.devicePixelRatio(), 2.0);
        const QImage at3 = pictureForScreen(doubled, 3);
        QCOMPARE(at3.deviceIndependentSize().toSize(), QSize(100, 50));
        QVERIFY(pictureForScreen(QImage(), 1.5).isNull());
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    GuardedApplication app(argc, argv);
    prepareEnvironment();
    TestDensity test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_density.moc"
