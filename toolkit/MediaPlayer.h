#pragma once

#include "gui/AviClip.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <optional>

class QTimer;
class QWidget;

// Plays a video clip into a display control, as the old media control played into a
// window: the frames appear in a rectangle of the display at the clip's frame rate.
// Playing runs to the last frame and stops there; playing again from the end starts
// from the first frame.
class MediaPlayer : public QObject
{
    Q_OBJECT
public:
    enum class Mode
    {
        NotReady, // no clip open
        Stopped,
        Playing
    };

    explicit MediaPlayer(QObject* parent = nullptr);
    ~MediaPlayer() override;

    void setFileName(const QString& fileName) { m_fileName = fileName; }
    QString fileName() const { return m_fileName; }
    void setDisplay(QWidget* display);
    QWidget* display() const { return m_display; }
    // The place of the frames in the display; by default the clip's own size at 0, 0.
    void setDisplayRect(const QRect& rect);
    QRect displayRect() const;

    // Reads the clip and shows its first frame. Throws ToolkitError when the file is
    // missing or is no clip that can be played; the player is then not ready.
    void open();
    // The same for a clip held in memory (a question's clip from the bank); the file name
    // is not used.
    void open(const QByteArray& clip);
    void close();
    void play();
    void stop();
    void rewind();
    // While playing, shows the frame that is due now: for a caller that lets no events
    // run, so that the clip's timer cannot. The display paints it at its next paint.
    void showDueFrame();

    Mode mode() const;
    int length() const { return m_clip ? m_clip->frameCount() : 0; }
    int position() const { return m_position; }
    // What the display shows now; null before a clip is open.
    QImage currentFrame() const { return m_image; }

private:
    class Screen;

    void tick();
    void show(int frame);
    void start(AviClip clip);

    QString m_fileName;
    QPointer<QWidget> m_display;
    QPointer<Screen> m_screen;
    std::optional<QRect> m_displayRect;
    std::optional<AviClip> m_clip;
    QTimer* m_timer;
    QElapsedTimer m_started;
    int m_startFrame = 0;
    int m_position = 0;
    QImage m_image;
};
