// Clips: what our writer makes, the reader plays back frame by frame in every stored
// form; damaged clips are refused at once with a reason; the player shows the frames in
// its display at the clip's rate and stops at the end.
#include "gui/AviClip.h"
#include "gui/Error.h"
#include "tests/support/TestSupport.h"
#include "toolkit/MediaPlayer.h"
#include "tools/art/Artwork.h"
#include "tools/art/AviWriter.h"

#include <QFile>
#include <QWidget>
#include <QtEndian>

using namespace testing;

Q_DECLARE_METATYPE(AviOptions)

namespace {

const QColor kColors[] = {QColor(220, 20, 20), QColor(20, 200, 40), QColor(30, 40, 230)};

std::vector<QImage> frames()
{
    std::vector<QImage> all;
    for (const QColor& c : kColors) {
        QImage image(32, 24, QImage::Format_RGB32);
        image.fill(c);
        for (int x = 0; x < 32; ++x) {
            for (int y = 0; y < 4; ++y) {
                image.setPixel(x, y, qRgb(255, 255, 255)); // a white top band
            }
        }
        all.push_back(image);
    }
    return all;
}

AviOptions options(AviCodec codec, int fps = 10)
{
    AviOptions o;
    o.codec = codec;
    o.framesPerSecond = fps;
    return o;
}

bool near(const QColor& a, const QColor& b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

// The data of the first chunk with this id.
int chunkData(const QByteArray& clip, const char* id)
{
    return int(clip.indexOf(id)) + 8;
}

QByteArray patched32(QByteArray clip, int at, quint32 value)
{
    qToLittleEndian(value, clip.data() + at);
    return clip;
}

} // namespace

class TestAviClip : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFolder> m_folder;

private slots:
    void init() { m_folder = std::make_unique<AppFolder>(); }
    void cleanup()
    {
        m_folder.reset();
        settle();
        QVERIFY(visibleWindows().isEmpty());
    }

    void playsBackWhatIsWritten_data()
    {
        QTest::addColumn<AviOptions>("written");
        QTest::addColumn<int>("tolerance");
        QTest::newRow("8-bit bitmaps") << options(AviCodec::Dib8) << 24;
        QTest::newRow("24-bit bitmaps") << options(AviCodec::Dib24) << 0;
        QTest::newRow("32-bit bitmaps") << options(AviCodec::Dib32) << 0;
        AviOptions topDown = options(AviCodec::Dib24);
        topDown.topDown = true;
        QTest::newRow("24-bit, top row first") << topDown << 0;
        QTest::newRow("Motion-JPEG") << options(AviCodec::MotionJpeg) << 12;
        AviOptions bare = options(AviCodec::MotionJpeg);
        bare.omitHuffmanTables = true;
        QTest::newRow("Motion-JPEG on the standard tables") << bare << 12;
    }

    void playsBackWhatIsWritten()
    {
        QFETCH(AviOptions, written);
        QFETCH(int, tolerance);
        const AviClip clip = AviClip::fromBytes(writeAvi(frames(), written));
        QCOMPARE(clip.frameCount(), 3);
        QCOMPARE(clip.frameSize(), QSize(32, 24));
        QCOMPARE(clip.frameInterval(), 100000);
        for (int i = 0; i < 3; ++i) {
            const QImage f = clip.frame(i);
            QCOMPARE(f.size(), QSize(32, 24));
            QVERIFY2(near(f.pixelColor(16, 16), kColors[i], tolerance),
                     qPrintable(QString::number(i)));
            QVERIFY(near(f.pixelColor(16, 1), Qt::white, tolerance));
        }
        QVERIFY(clip.frame(3).isNull());
        QVERIFY(clip.frame(-1).isNull());
    }

    void aChangedFileIsReadAgain()
    {
        const QString path = m_folder->file(QStringLiteral("CLOCK.AVI"));
        m_folder->writeFile(QStringLiteral("CLOCK.AVI"),
                            writeAvi(frames(), options(AviCodec::Dib24)));
        QCOMPARE(AviClip::fromFile(path).frameCount(), 3);
        QCOMPARE(AviClip::fromFile(path).frame(1).pixelColor(16, 16), kColors[1]);
        // Replaced by a clip of one frame: the next opening plays the new one.
        std::vector<QImage> one = frames();
        one.resize(1);
        m_folder->writeFile(QStringLiteral("CLOCK.AVI"), writeAvi(one, options(AviCodec::Dib24)));
        QCOMPARE(AviClip::fromFile(path).frameCount(), 1);
        // Gone or damaged: the error as before, not the clip read earlier.
        QFile::remove(path);
        QVERIFY_THROWS_EXCEPTION(ToolkitError, AviClip::fromFile(path));
        m_folder->writeFile(QStringLiteral("CLOCK.AVI"), QByteArray("RIFF"));
        QVERIFY_THROWS_EXCEPTION(ToolkitError, AviClip::fromFile(path));
    }

    void theBuiltClockIsAClip()
    {
        const AviClip clip = AviClip::fromBytes(clockClip());
        QCOMPARE(clip.frameSize(), QSize(100, 100));
        QVERIFY(clip.frameCount() > 1);
        QVERIFY(clip.frameInterval() >= 20000 && clip.frameInterval() <= 200000);
        // The hand turns: consecutive frames differ.
        QVERIFY(clip.frame(0) != clip.frame(1));
    }

    void refusesDamagedClips_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = writeAvi(frames(), options(AviCodec::Dib24));
        const int strf = chunkData(good, "strf");
        const int strh = chunkData(good, "strh");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("这不是动画文件");
        QTest::newRow("a sound file") << QByteArray("RIFF\x04\0\0\0WAVE", 12);
        QTest::newRow("cut in the headers") << good.left(100);
        QTest::newRow("cut in the frames") << good.left(good.size() / 2);
        QTest::newRow("one byte short") << good.left(good.size() - 1);
        QTest::newRow("unknown codec")
            << patched32(good, strf + 16, qFromLittleEndian<quint32>("XVID"));
        QTest::newRow("16-bit frames") << patched32(good, strf + 12, 1 | (16u << 16));
        QTest::newRow("absurd width") << patched32(good, strf + 4, 100000);
        QTest::newRow("absurd height") << patched32(good, strf + 8, 0x80000000u);
        QTest::newRow("zero width") << patched32(good, strf + 4, 0);
        QTest::newRow("wider than its frames") << patched32(good, strf + 4, 2000);
        QByteArray noRate = patched32(good, strh + 24, 0);
        noRate = patched32(noRate, chunkData(good, "avih"), 0);
        QTest::newRow("no frame rate") << noRate;
        QTest::newRow("a million frames a second") << patched32(good, strh + 24, 1000000);
        QTest::newRow("no video stream")
            << patched32(good, strh, qFromLittleEndian<quint32>("auds"));
        QTest::newRow("no frames") << writeAvi({}, options(AviCodec::Dib24));
        QTest::newRow("chunk past its list")
            << patched32(good, chunkData(good, "00db") - 4, 0x7FFFFFF0u);

        QByteArray jpeg = writeAvi(frames(), options(AviCodec::MotionJpeg));
        const int frame = chunkData(jpeg, "00dc");
        for (int i = 0; i < 64; ++i) {
            jpeg[frame + i] = char(0x5A);
        }
        QTest::newRow("frame that is no JPEG") << jpeg;
    }

    void refusesDamagedClips()
    {
        QFETCH(QByteArray, bytes);
        try {
            AviClip::fromBytes(bytes);
            QFAIL("the clip was accepted");
        } catch (const ToolkitError& e) {
            QVERIFY(QString::fromUtf8(e.what()).startsWith(QStringLiteral("动画文件无法播放")));
        }
    }

    void everyCutIsRefused()
    {
        const QByteArray good = writeAvi(frames(), options(AviCodec::Dib8));
        for (qsizetype n = 0; n < good.size(); n += 7) {
            try {
                AviClip::fromBytes(good.left(n));
                QFAIL(qPrintable(QStringLiteral("a clip cut to %1 bytes was accepted").arg(n)));
            } catch (const ToolkitError&) {
            }
        }
    }

    void playerNeedsAClip()
    {
        MediaPlayer player;
        player.setFileName(m_folder->file(QStringLiteral("CLOCK.AVI")));
        QVERIFY_THROWS_EXCEPTION(ToolkitError, player.open());
        QCOMPARE(player.mode(), MediaPlayer::Mode::NotReady);
        player.play(); // nothing to play: no harm
        QCOMPARE(player.mode(), MediaPlayer::Mode::NotReady);
    }

    void playerShowsTheFramesInItsDisplay()
    {
        m_folder->writeFile(QStringLiteral("clip.avi"),
                            writeAvi(frames(), options(AviCodec::Dib24, 50)));
        QWidget display;
        display.resize(100, 100);
        display.show();
        MediaPlayer player;
        player.setFileName(m_folder->file(QStringLiteral("clip.avi")));
        player.setDisplay(&display);
        player.open();
        player.setDisplayRect(QRect(0, 0, 100, 100));
        QCOMPARE(player.mode(), MediaPlayer::Mode::Stopped);
        QCOMPARE(player.length(), 3);
        auto* screen = display.findChild<QWidget*>(QStringLiteral("MediaPlayerScreen"));
        QVERIFY(screen);
        QCOMPARE(screen->geometry(), QRect(0, 0, 100, 100));
        QCOMPARE(display.grab().toImage().pixelColor(50, 60), kColors[0]);

        // Three frames at 50 a second: the last one shows after 40 ms, then it stops.
        player.play();
        QCOMPARE(player.mode(), MediaPlayer::Mode::Playing);
        QTRY_COMPARE_WITH_TIMEOUT(player.mode(), MediaPlayer::Mode::Stopped, 3000);
        QCOMPARE(player.position(), 2);
        QCOMPARE(display.grab().toImage().pixelColor(50, 60), kColors[2]);

        // Playing again from the end starts from the first frame.
        player.play();
        QVERIFY(player.position() < 2);
        player.stop();
        QCOMPARE(player.mode(), MediaPlayer::Mode::Stopped);

        player.close();
        QCOMPARE(player.mode(), MediaPlayer::Mode::NotReady);
        QVERIFY(!display.findChild<QWidget*>(QStringLiteral("MediaPlayerScreen")));
    }
};

TAVIRO_TEST_MAIN(TestAviClip)
#include "tst_aviclip.moc"
