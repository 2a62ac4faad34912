#include "toolkit/MediaPlayer.h"

#include <QPainter>
#include <QTimer>
#include <QWidget>

// The part of the display the frames are drawn on.
class MediaPlayer::Screen : public QWidget
{
public:
    explicit Screen(QWidget* display)
        : QWidget(display)
    {
        setObjectName(QStringLiteral("MediaPlayerScreen"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void setImage(const QImage& image)
    {
        m_image = image;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), m_image);
    }

private:
    QImage m_image;
};

MediaPlayer::MediaPlayer(QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    connect(m_timer, &QTimer::timeout, this, [this] { tick(); });
}

MediaPlayer::~MediaPlayer()
{
    close();
}

void MediaPlayer::setDisplay(QWidget* display)
{
    m_display = display;
    if (m_screen && m_screen->parentWidget() != display) {
        delete m_screen;
    }
}

void MediaPlayer::setDisplayRect(const QRect& rect)
{
    m_displayRect = rect;
    if (m_screen) {
        m_screen->setGeometry(rect);
    }
}

QRect MediaPlayer::displayRect() const
{
    if (m_displayRect) {
        return *m_displayRect;
    }
    return m_clip ? QRect(QPoint(0, 0), m_clip->frameSize()) : QRect();
}

void MediaPlayer::open()
{
    close();
    start(AviClip::fromFile(m_fileName));
}

void MediaPlayer::open(const QByteArray& clip)
{
    close();
    start(AviClip::fromBytes(clip));
}

void MediaPlayer::start(AviClip clip)
{
    m_clip = std::move(clip);
    m_position = 0;
    if (m_display) {
        m_screen = new Screen(m_display);
        m_screen->setGeometry(displayRect());
        m_screen->show();
    }
    show(0);
}

void MediaPlayer::close()
{
    m_timer->stop();
    delete m_screen;
    m_clip.reset();
    m_image = QImage();
    m_position = 0;
}

MediaPlayer::Mode MediaPlayer::mode() const
{
    if (!m_clip) {
        return Mode::NotReady;
    }
    return m_timer->isActive() ? Mode::Playing : Mode::Stopped;
}

void MediaPlayer::play()
{
    if (!m_clip || m_timer->isActive()) {
        return;
    }
    if (m_position >= length() - 1) {
        rewind();
    }
    m_startFrame = m_position;
    m_started.start();
    const qint64 interval = m_clip->frameInterval();
    m_timer->start(int(qMax<qint64>(1, interval / 1000)));
}

void MediaPlayer::stop()
{
    m_timer->stop();
}

void MediaPlayer::rewind()
{
    if (m_clip) {
        show(0);
    }
}

void MediaPlayer::showDueFrame()
{
    if (m_timer->isActive()) {
        tick();
    }
}

void MediaPlayer::tick()
{
    if (!m_clip) {
        m_timer->stop();
        return;
    }
    // The frame follows the time played, so a display that is not repainted for a while
    // catches up instead of running slow.
    const qint64 frames = m_started.nsecsElapsed() / 1000 / m_clip->frameInterval();
    const qint64 wanted = m_startFrame + frames;
    if (wanted >= length() - 1) {
        show(length() - 1);
        m_timer->stop();
        return;
    }
    if (wanted != m_position) {
        show(int(wanted));
    }
}

void MediaPlayer::show(int frame)
{
    m_position = frame;
    // An empty or damaged frame leaves the one before it on the display.
    const QImage image = m_clip->frame(frame);
    if (!image.isNull()) {
        m_image = image;
        if (m_screen) {
            m_screen->setImage(image);
        }
    }
}
