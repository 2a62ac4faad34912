#pragma once

#include "toolkit/Application.h"

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QWidget>

class QTimer;

// Gives a control its name: the member name is its objectName.
template <class W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A font of the old screens: face, height in pixels, weight. The Windows faces are
// mapped to installed ones by the font substitutions.
QFont screenFont(const QString& face, int pixelSize, bool bold = false);

// Something that reports clicks the way the old controls did: on release of the left
// button inside it, through the default error report.
class Clickable
{
public:
    NotifyEvent OnClick;
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

protected:
    void pressed(QMouseEvent* event);
    void released(QWidget* self, QMouseEvent* event);

private:
    int m_tag = 0;
    bool m_down = false;
};

// A label: transparent, with an optional caption, and a click area when it has a
// handler. Labels without caption are the invisible hot areas over the artwork.
class Label : public QLabel, public Clickable
{
    Q_OBJECT
public:
    explicit Label(QWidget* parent);

    void setCaption(const QString& caption);
    QString caption() const { return m_caption; }
    void setAutoSize(bool autoSize);
    void setTextFont(const QString& face, int pixelSize, bool bold, const QColor& color);
    void setColor(const QColor& color);
    void setHandCursor() { setCursor(Qt::PointingHandCursor); }
    // Wrapped lines this many pixels apart instead of the face's own spacing: a column
    // of large characters must fit the height the screen gives it.
    void setLineHeight(int pixels);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
    bool m_autoSize = false;
    int m_lineHeight = 0;
};

// A flat speed button without caption: an invisible click area, or a glyph drawn in
// its middle. A glyph with two frames side by side has a normal and a disabled face.
class FlatButton : public QWidget, public Clickable
{
    Q_OBJECT
public:
    explicit FlatButton(QWidget* parent);
    void setGlyph(const QImage& glyph, int frames = 1);
    void setHandCursor() { setCursor(Qt::PointingHandCursor); }
    // A text the button carries for its handler; never shown as a tooltip.
    void setHint(const QString& hint) { m_hint = hint; }
    QString hint() const { return m_hint; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QImage m_glyph;
    QString m_hint;
    int m_frames = 1;
};

// A picture: an image drawn at the top left, centred or stretched; a transparent
// bitmap leaves out the colour of its bottom-left pixel.
class Picture : public QWidget, public Clickable
{
    Q_OBJECT
public:
    explicit Picture(QWidget* parent);

    void setImage(const QImage& image);
    QImage image() const { return m_image; }
    bool isEmpty() const { return m_image.isNull(); }
    void clear() { setImage(QImage()); }
    // Loads a picture file, its format taken from the file name's extension. Throws
    // ToolkitError when the file is missing or cannot be read.
    void loadFromFile(const QString& path);
    void loadFromResource(const QString& name);

    void setAutoSize(bool on);
    void setCenter(bool on);
    void setStretch(bool on);
    void setTransparent(bool on);
    void setBackground(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void prepare();

    QImage m_image;
    QPixmap m_pixmap;
    QColor m_background;
    bool m_autoSize = false;
    bool m_center = false;
    bool m_stretch = false;
    bool m_transparent = false;
};

// A plain panel without bevel: a child window of one colour with an optional caption.
class Panel : public QWidget
{
    Q_OBJECT
public:
    explicit Panel(QWidget* parent);
    void setColor(const QColor& color);
    QColor color() const { return m_color; }
    void setCaption(const QString& caption);
    void setCaptionFont(const QFont& font, const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
    QString m_caption;
    QColor m_captionColor = Qt::black;
};

// A progress bar with the old interface: range, position and a step.
class ProgressBar : public QProgressBar
{
    Q_OBJECT
public:
    explicit ProgressBar(QWidget* parent);
    void setMin(int min) { setMinimum(min); }
    void setMax(int max) { setMaximum(max); }
    void setPosition(int position) { setValue(position); }
    int position() const { return value(); }
    void setStep(int step) { m_step = step; }
    int step() const { return m_step; }
    // Advances by the step; past the maximum it starts again from the minimum.
    void stepIt();

protected:
    // A plain groove and bar: the bar is repainted at every step of long work, where
    // the style's rounded, antialiased drawing cost more than the step itself.
    void paintEvent(QPaintEvent* event) override;

private:
    int m_step = 1;
};

// A message-driven timer: fires OnTimer every interval while enabled.
class Timer : public QObject
{
    Q_OBJECT
public:
    explicit Timer(QObject* parent);
    void setInterval(int ms);
    int interval() const { return m_interval; }
    void setEnabled(bool enabled);
    bool enabled() const { return m_enabled; }

    NotifyEvent OnTimer;

private:
    QTimer* m_timer;
    int m_interval = 1000;
    bool m_enabled = false;
};

// Colours written as the old toolkit wrote them: 0x00BBGGRR.
inline QColor colorFromBgr(unsigned bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}
