// The shared screens: the base screen frees itself after its caller has read it; the
// wait screen is round, plays its clock in a loop while its caller works (also a caller
// that lets no messages run), and with a clip it cannot play it says so once and lets
// the work finish.
#include "sharedscreens/Unt_Father.h"
#include "sharedscreens/Unt_Wait.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/TestSupport.h"
#include "toolkit/AppDir.h"
#include "tools/art/AviWriter.h"

#include <QMessageBox>
#include <QPointer>
#include <QThread>
#include <QtEndian>

using namespace testing;

namespace {

std::vector<QImage> solidFrames(int count)
{
    std::vector<QImage> frames;
    for (int i = 0; i < count; ++i) {
        QImage image(20, 20, QImage::Format_RGB32);
        image.fill(QColor(10 * i, 240, 10));
        frames.push_back(image);
    }
    return frames;
}

QWidget* clipScreen(TFrm_Wait* wait)
{
    return wait->pnlTime->findChild<QWidget*>(QStringLiteral("MediaPlayerScreen"));
}

// The paints a widget receives while it is watched.
class PaintCount : public QObject
{
public:
    explicit PaintCount(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

class TestSharedScreens : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFolder> m_folder;

    // The calling protocol as the practice screen runs it: range, show, steps, free.
    int runWaitScreen(int steps, bool* animated)
    {
        Frm_Wait = new TFrm_Wait();
        std::unique_ptr<TFrm_Wait> wait(Frm_Wait);
        wait->pb->setMin(0);
        wait->pb->setMax(steps);
        wait->show();
        for (int i = 1; i <= steps; ++i) {
            wait->pb->setPosition(i);
            Application::processMessages();
        }
        if (animated) {
            *animated = clipScreen(wait.get()) != nullptr && wait->Timer1->enabled();
        }
        return wait->pb->position();
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<AppFolder>();
        setApplicationDirectory(m_folder->path());
    }

    void cleanup()
    {
        checkModalActions();
        QVERIFY(!Frm_Wait);
        m_folder.reset();
        settle();
        QVERIFY(visibleWindows().isEmpty());
    }

    void baseScreenIsReadAfterItsModalShowThenFreed()
    {
        QPointer<TFrm_Father> screen = new TFrm_Father();
        QCOMPARE(screen->size(), QSize(800, 600));
        QCOMPARE(screen->imgPicture->pos(), QPoint(-1, 0));
        screen->imgPicture->setImage(QImage(800, 600, QImage::Format_RGB32));
        whenModal([&](QWidget* modal) {
            QCOMPARE(modal, screen.data());
            const QRect screenArea = screenRect();
            QCOMPARE(modal->geometry().center(), screenArea.center());
            modal->close();
        });
        screen->showModal();
        QVERIFY(screen); // still there for the caller
        QCOMPARE(screen->imgPicture->width(), 800);
        settle();
        QVERIFY(!screen); // and gone after the pending events
    }

    void waitScreenIsRound()
    {
        m_folder->copyFromBuild(QStringLiteral("CLOCK.AVI"));
        TFrm_Wait wait;
        QCOMPARE(wait.size(), QSize(391, 100));
        const QRegion window = wait.mask();
        QVERIFY(window.contains(QPoint(195, 0)) && window.contains(QPoint(195, 99)));
        QVERIFY(window.contains(QPoint(5, 50)) && window.contains(QPoint(385, 50)));
        QVERIFY(!window.contains(QPoint(0, 0)) && !window.contains(QPoint(390, 99)));
        QVERIFY(!window.contains(QPoint(3, 5)));
        const QRegion clock = wait.pnlTime->mask();
        QVERIFY(clock.contains(QPoint(50, 50)) && clock.contains(QPoint(50, 1)));
        QVERIFY(!clock.contains(QPoint(2, 2)) && !clock.contains(QPoint(97, 97)));
        // The caption is not cut off by the substituted face.
        QVERIFY(QFontMetrics(wait.Label1->font()).horizontalAdvance(wait.Label1->caption()) <=
                wait.Label1->width());
    }

    void waitScreenPlaysTheClockWhileTheCallerWorks()
    {
        m_folder->copyFromBuild(QStringLiteral("CLOCK.AVI"));
        MessageBoxWatcher boxes;
        bool animated = false;
        QCOMPARE(runWaitScreen(10, &animated), 10);
        QVERIFY(animated);
        QCOMPARE(boxes.count(), 0);
        QVERIFY(!Frm_Wait); // freeing the screen clears the reference
    }

    void clockLoops()
    {
        // Two frames at 50 a second end after 20 ms; the timer starts them again.
        m_folder->writeFile(QStringLiteral("CLOCK.AVI"), writeAvi(solidFrames(2), [] {
                                AviOptions o;
                                o.framesPerSecond = 50;
                                return o;
                            }()));
        Frm_Wait = new TFrm_Wait();
        std::unique_ptr<TFrm_Wait> wait(Frm_Wait);
        wait->show();
        MediaPlayer* player = wait->MediaPlayer1;
        QCOMPARE(player->displayRect(), QRect(0, 0, 100, 100));
        int starts = 0;
        int last = player->position();
        QElapsedTimer clock;
        clock.start();
        while (starts < 3 && clock.elapsed() < 5000) {
            Application::processMessages();
            if (player->position() < last) {
                ++starts;
            }
            last = player->position();
        }
        QCOMPARE(starts, 3);
        wait.reset();
        QVERIFY(!Frm_Wait);
    }

    void clockTurnsWhileTheCallerLetsNoMessagesRun()
    {
        AviOptions fast;
        fast.framesPerSecond = 50;
        m_folder->writeFile(QStringLiteral("CLOCK.AVI"), writeAvi(solidFrames(4), fast));
        Frm_Wait = new TFrm_Wait();
        std::unique_ptr<TFrm_Wait> wait(Frm_Wait);
        wait->showAtOnce();
        QVERIFY(wait->windowHandle()->isExposed());
        QVERIFY(clipScreen(wait.get()));
        PaintCount paints(clipScreen(wait.get()));
        // Between the paints nothing runs, no timer and no posted paint; the clip of
        // 80 ms still comes round, on the display.
        QList<int> frames{wait->MediaPlayer1->position()};
        QElapsedTimer clock;
        clock.start();
        while (frames.count(0) < 3 && clock.elapsed() < 5000) {
            QThread::msleep(5);
            wait->paintNow();
            if (wait->MediaPlayer1->position() != frames.last()) {
                frames << wait->MediaPlayer1->position();
            }
        }
        QCOMPARE(frames.count(0), 3);
        QVERIFY(paints.count >= 4);
        wait.reset();
        QVERIFY(!Frm_Wait);
    }

    void unplayableClipIsReportedOnceAndTheWorkGoesOn_data()
    {
        QTest::addColumn<QByteArray>("clip");
        QTest::addColumn<bool>("present");
        const QByteArray good = writeAvi(solidFrames(3));
        const int strf = int(good.indexOf("strf")) + 8;
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("truncated") << good.left(good.size() - 30) << true;
        QTest::newRow("not an AVI") << QByteArray("MZ\x90\0 not a clip", 16) << true;
        QByteArray codec = good;
        qToLittleEndian(qFromLittleEndian<quint32>("H264"), codec.data() + strf + 16);
        QTest::newRow("unknown codec") << codec << true;
        QByteArray absurd = good;
        qToLittleEndian(quint32(1u << 30), absurd.data() + strf + 4);
        QTest::newRow("absurd size") << absurd << true;
    }

    void unplayableClipIsReportedOnceAndTheWorkGoesOn()
    {
        QFETCH(QByteArray, clip);
        QFETCH(bool, present);
        if (present) {
            m_folder->writeFile(QStringLiteral("CLOCK.AVI"), clip);
        }
        Application::setTitle(QStringLiteral("Taviro"));
        MessageBoxWatcher boxes;
        Frm_Wait = new TFrm_Wait();
        std::unique_ptr<TFrm_Wait> wait(Frm_Wait);
        wait->pb->setMax(3);
        wait->show();
        QVERIFY(wait->isVisible());
        for (int i = 1; i <= 3; ++i) {
            wait->pb->setPosition(i);
            Application::processMessages();
        }
        QTRY_COMPARE(boxes.count(), 1);
        settle();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.titles[0], QStringLiteral("Taviro"));
        QCOMPARE(boxes.icons[0], int(QMessageBox::Critical));
        QVERIFY(boxes.texts[0].contains(QStringLiteral("动画文件")));
        // Shown without the clock: the brand shows through, nothing animates.
        QVERIFY(!clipScreen(wait.get()));
        QVERIFY(!wait->Timer1->enabled());
        QCOMPARE(wait->MediaPlayer1->mode(), MediaPlayer::Mode::NotReady);
        QCOMPARE(wait->pb->position(), 3);
        const QImage panel = wait->pnlTime->grab().toImage();
        bool red = false;
        for (int x = 10; x < 90 && !red; ++x) {
            const QColor c = panel.pixelColor(x, 50);
            red = c.red() > 180 && c.green() < 90 && c.blue() < 90;
        }
        QVERIFY(red);
    }
};

TAVIRO_TEST_MAIN(TestSharedScreens)
#include "tst_sharedscreens.moc"
