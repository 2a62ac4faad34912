#include "sharedscreens/Unt_Wait.h"

#include "sharedscreens/ScreenParts.h"
#include "toolkit/AppDir.h"
#include "toolkit/FitText.h"

#include <QElapsedTimer>
#include <QRegion>
#include <QThread>
#include <QWindow>

TFrm_Wait* Frm_Wait = nullptr;

namespace {

// A window that the display has not taken in this long is painted when it comes.
constexpr qint64 kExposeWaitMs = 200;

} // namespace

TFrm_Wait::TFrm_Wait(QWidget* owner)
    : Form(owner)
{
    setObjectName(QStringLiteral("Frm_Wait"));
    setClientSize(391, 100);
    setColor(colorFromBgr(kLavender));
    setFont(screenFont(QStringLiteral("宋体"), 14));

    pnlTime = named(new Panel(this), "pnlTime");
    pnlTime->setGeometry(0, 0, 100, 100);
    pnlTime->setColor(colorFromBgr(kLavender));
    const QString brand = QStringLiteral("Quorin");
    pnlTime->setCaptionFont(fittedFont(screenFont(QStringLiteral("隶书"), 35, true), brand, 98),
                            Qt::red);
    pnlTime->setCaption(brand);

    Label1 = named(new Label(this), "Label1");
    Label1->setGeometry(105, 8, 281, 60);
    Label1->setTextFont(QStringLiteral("隶书"), 64, true, Qt::blue);
    Label1->setCaption(QStringLiteral("请稍候..."));
    fitCaption(Label1);

    pb = named(new ProgressBar(this), "pb");
    pb->setGeometry(101, 79, 290, 16);
    pb->setStep(1);

    MediaPlayer1 = named(new MediaPlayer(this), "MediaPlayer1");
    MediaPlayer1->setDisplay(pnlTime);
    MediaPlayer1->setFileName(QStringLiteral("CLOCK.AVI"));

    Timer1 = named(new Timer(this), "Timer1");
    Timer1->setInterval(10);
    Timer1->setEnabled(false);
    Timer1->OnTimer = [this](QObject* s) { Timer1Timer(s); };

    guarded([this] { FormCreate(); });
}

TFrm_Wait::~TFrm_Wait()
{
    if (Frm_Wait == this) {
        Frm_Wait = nullptr;
    }
}

void TFrm_Wait::FormCreate()
{
    // The window keeps straight top and bottom edges and rounded ends; the clock panel
    // becomes a circle.
    move(0, 0);
    setMask(QRegion(QRect(QPoint(1, -40), QPoint(389, 139)), QRegion::Ellipse));
    update();
    pnlTime->setMask(QRegion(QRect(QPoint(-1, 0), QPoint(100, 99)), QRegion::Ellipse));
    pnlTime->update();
}

void TFrm_Wait::FormShow()
{
    MediaPlayer1->setFileName(appFile(QStringLiteral("CLOCK.AVI")));
    MediaPlayer1->setDisplay(pnlTime);
    MediaPlayer1->open();
    MediaPlayer1->setDisplayRect(QRect(0, 0, 100, 100));
    Timer1->setEnabled(true);
}

void TFrm_Wait::keepClockTurning()
{
    // The clip stops at its last frame; the clock starts it again.
    if (MediaPlayer1->mode() == MediaPlayer::Mode::Stopped) {
        MediaPlayer1->play();
    }
}

void TFrm_Wait::Timer1Timer(QObject* sender)
{
    Q_UNUSED(sender);
    Timer1->setEnabled(false);
    keepClockTurning();
    if (Frm_Wait) {
        Frm_Wait->raise();
    }
    Timer1->setEnabled(true);
}

void TFrm_Wait::showAtOnce()
{
    show();
    // Until the display has taken the window in, a paint of it is dropped.
    QElapsedTimer waited;
    waited.start();
    Application::processMessages();
    while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < kExposeWaitMs) {
        QThread::msleep(1);
        Application::processMessages();
    }
    repaint();
}

void TFrm_Wait::paintNow()
{
    keepClockTurning();
    MediaPlayer1->showDueFrame();
    repaint();
}

void TFrm_Wait::FormClose(CloseAction& action)
{
    MediaPlayer1->stop();
    action = CloseAction::Free;
}
