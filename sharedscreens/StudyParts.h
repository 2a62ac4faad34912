#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

// The parts the practice and review screens add for study: the star of a question, the
// ring round the answer key pressed, and the picture enlarged.

// A star the size of a text line that a click turns on or off; OnToggle hears of it.
class StarToggle : public QWidget
{
    Q_OBJECT
public:
    explicit StarToggle(QWidget* parent);
    void setOn(bool on);
    bool isOn() const { return m_on; }
    std::function<void(bool on)> OnToggle;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_on = false;
};

// A ring round a round answer key: which one the learner pressed. It takes no clicks.
class PickRing : public QWidget
{
    Q_OBJECT
public:
    explicit PickRing(QWidget* parent);
    // Around the key's place on the same parent; hidden by clear().
    void ring(const QRect& key);
    void clear() { hide(); }

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A question's picture at twice its size in a framed box over the middle of its screen;
// a click anywhere on the box closes it.
class PictureZoom : public QWidget
{
    Q_OBJECT
public:
    explicit PictureZoom(QWidget* parent);
    // False, and nothing shown, when there is no picture.
    bool showPicture(const QImage& picture);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
};

// A transparent area over a picture that opens it enlarged in zoom; picture gives the
// picture shown at the moment of the click (null for none).
QWidget* zoomArea(QWidget* parent, const char* name, const QRect& place, PictureZoom* zoom,
                  std::function<QImage()> picture);
