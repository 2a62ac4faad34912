#include "toolkit/Controls.h"

#include "gui/Error.h"
#include "toolkit/Resources.h"

#include <QFileInfo>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>
#include <QTimer>

QFont screenFont(const QString& face, int pixelSize, bool bold)
{
    QFont font(face);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// ---- Clickable --------------------------------------------------------------------------

void Clickable::pressed(QMouseEvent* event)
{
    m_down = event->button() == Qt::LeftButton;
}

void Clickable::released(QWidget* self, QMouseEvent* event)
{
    const bool click = m_down && event->button() == Qt::LeftButton &&
                       self->rect().contains(event->position().toPoint());
    m_down = false;
    if (click && self->isEnabled()) {
        fire(OnClick, self);
    }
}

// ---- Label ------------------------------------------------------------------------------

Label::Label(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void Label::setCaption(const QString& caption)
{
    m_caption = caption;
    QString shown = caption;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    setText(shown);
    if (m_autoSize) {
        resize(sizeHint());
    }
}

void Label::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    if (autoSize) {
        resize(sizeHint());
    }
}

void Label::setTextFont(const QString& face, int pixelSize, bool bold, const QColor& color)
{
    setFont(screenFont(face, pixelSize, bold));
    setColor(color);
    if (m_autoSize) {
        resize(sizeHint());
    }
}

void Label::setColor(const QColor& color)
{
    QPalette p = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::WindowText, color);
    }
    setPalette(p);
}

void Label::setLineHeight(int pixels)
{
    m_lineHeight = pixels;
    update();
}

void Label::paintEvent(QPaintEvent* event)
{
    if (m_lineHeight <= 0) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    QTextOption option(alignment());
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QTextLayout layout(text(), font());
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    while (true) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) {
            break;
        }
        line.setLineWidth(width());
        // The glyphs sit on a baseline that keeps the face's ascent within each line.
        line.setPosition(QPointF(0, y - (line.height() - m_lineHeight) / 2));
        y += m_lineHeight;
    }
    layout.endLayout();
    layout.draw(&p, QPointF(0, 0));
}

void Label::mousePressEvent(QMouseEvent* event)
{
    pressed(event);
    if (OnClick) {
        event->accept();
    } else {
        QLabel::mousePressEvent(event);
    }
}

void Label::mouseReleaseEvent(QMouseEvent* event)
{
    if (OnClick) {
        event->accept();
        released(this, event);
    } else {
        QLabel::mouseReleaseEvent(event);
    }
}

// ---- FlatButton -------------------------------------------------------------------------

FlatButton::FlatButton(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void FlatButton::setGlyph(const QImage& glyph, int frames)
{
    m_glyph = glyph;
    m_frames = frames < 1 ? 1 : frames;
    update();
}

void FlatButton::paintEvent(QPaintEvent*)
{
    if (m_glyph.isNull()) {
        return;
    }
    // The place is in logical pixels, the frame cut from the glyph in its own.
    const QSizeF logical = m_glyph.deviceIndependentSize();
    const int w = int(logical.width()) / m_frames;
    const int h = int(logical.height());
    const int pixels = m_glyph.width() / m_frames;
    const int frame = (!isEnabled() && m_frames > 1) ? 1 : 0;
    QPainter p(this);
    p.drawImage(QPoint((width() - w) / 2, (height() - h) / 2), m_glyph,
                QRect(frame * pixels, 0, pixels, m_glyph.height()));
}

void FlatButton::mousePressEvent(QMouseEvent* event)
{
    pressed(event);
    event->accept();
}

void FlatButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    released(this, event);
}

void FlatButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        update();
    }
    QWidget::changeEvent(event);
}

// ---- Picture ----------------------------------------------------------------------------

Picture::Picture(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void Picture::setImage(const QImage& image)
{
    m_image = image;
    prepare();
    if (m_autoSize && !m_image.isNull()) {
        resize(m_image.deviceIndependentSize().toSize());
    }
    update();
}

void Picture::loadFromFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        throw ToolkitError(QStringLiteral("无法打开文件“%1”：文件不存在。").arg(path));
    }
    const QByteArray format = info.suffix().toLower().toLatin1();
    if (format != "bmp" && format != "jpg" && format != "jpeg" && format != "png" &&
        format != "ico") {
        throw ToolkitError(QStringLiteral("不认识的图片文件扩展名（.%1）。").arg(info.suffix()));
    }
    const QByteArray readAs = format == "jpg" ? QByteArray("jpeg") : format;
    // Beside a picture file may lie its drawing at twice the density ("Yes@2x.bmp").
    const qreal density = screenDensity();
    const QString doubledPath = doubledPicturePath(path);
    if (density > 1 && QFileInfo(doubledPath).isFile()) {
        QImageReader doubled(doubledPath, readAs);
        doubled.setAllocationLimit(256);
        const QImage image = doubled.read();
        if (!image.isNull()) {
            setImage(pictureForScreen(image, density));
            return;
        }
    }
    QImageReader reader(path, readAs);
    // A picture file never needs more than a screenful; a header that claims more is
    // a damaged file, not a reason to allocate gigabytes.
    reader.setAllocationLimit(64);
    const QImage image = reader.read();
    if (image.isNull()) {
        throw ToolkitError(QStringLiteral("图片文件“%1”无效：%2").arg(path, reader.errorString()));
    }
    setImage(image);
}

void Picture::loadFromResource(const QString& name)
{
    const QImage image = loadResourcePicture(name);
    if (image.isNull()) {
        throw ToolkitError(QStringLiteral("找不到图片资源“%1”。").arg(name));
    }
    setImage(image);
}

void Picture::setAutoSize(bool on)
{
    m_autoSize = on;
    if (on && !m_image.isNull()) {
        resize(m_image.size());
    }
}

void Picture::setCenter(bool on)
{
    m_center = on;
    update();
}

void Picture::setStretch(bool on)
{
    m_stretch = on;
    update();
}

void Picture::setTransparent(bool on)
{
    m_transparent = on;
    prepare();
    update();
}

void Picture::setBackground(const QColor& color)
{
    m_background = color;
    update();
}

void Picture::prepare()
{
    if (m_image.isNull()) {
        m_pixmap = QPixmap();
        return;
    }
    if (m_transparent && !m_image.hasAlphaChannel()) {
        QImage img = m_image.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = img.pixel(0, img.height() - 1);
        for (int y = 0; y < img.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                if ((line[x] & 0xFFFFFF) == (key & 0xFFFFFF)) {
                    line[x] = 0;
                }
            }
        }
        m_pixmap = QPixmap::fromImage(img);
    } else {
        m_pixmap = QPixmap::fromImage(m_image);
    }
}

void Picture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_background.isValid()) {
        p.fillRect(rect(), m_background);
    }
    if (m_pixmap.isNull()) {
        return;
    }
    const QSize size = m_pixmap.deviceIndependentSize().toSize();
    QRect target(QPoint(0, 0), size);
    if (m_stretch) {
        target = rect();
    } else if (m_center) {
        target.moveTo((width() - size.width()) / 2, (height() - size.height()) / 2);
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform, m_stretch);
    p.drawPixmap(target, m_pixmap);
}

void Picture::mousePressEvent(QMouseEvent* event)
{
    pressed(event);
    if (OnClick) {
        event->accept();
    } else {
        QWidget::mousePressEvent(event);
    }
}

void Picture::mouseReleaseEvent(QMouseEvent* event)
{
    if (OnClick) {
        event->accept();
        released(this, event);
    } else {
        QWidget::mouseReleaseEvent(event);
    }
}

// ---- Panel ------------------------------------------------------------------------------

Panel::Panel(QWidget* parent)
    : QWidget(parent)
    , m_color(palette().color(QPalette::Button))
{}

void Panel::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void Panel::setCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

void Panel::setCaptionFont(const QFont& font, const QColor& color)
{
    setFont(font);
    m_captionColor = color;
    update();
}

void Panel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_color);
    if (!m_caption.isEmpty()) {
        p.setPen(m_captionColor);
        p.setFont(font());
        p.drawText(rect(), Qt::AlignCenter, m_caption);
    }
}

// ---- ProgressBar ------------------------------------------------------------------------

ProgressBar::ProgressBar(QWidget* parent)
    : QProgressBar(parent)
{
    setTextVisible(false);
    setRange(0, 100);
    setValue(0);
}

void ProgressBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    const QRect groove = rect().adjusted(0, 0, -1, -1);
    p.fillRect(rect(), pal.color(QPalette::Base));
    p.setPen(pal.color(QPalette::Mid));
    p.drawRect(groove);
    const qint64 range = qint64(maximum()) - minimum();
    if (range <= 0 || value() <= minimum()) {
        return;
    }
    const qint64 done = qint64(qMin(value(), maximum())) - minimum();
    const int inner = groove.width() - 1;
    const int filled = int(inner * done / range);
    if (filled <= 0) {
        return;
    }
    const QRect bar(groove.left() + 1, groove.top() + 1, filled, groove.height() - 1);
    const QColor color = pal.color(QPalette::Highlight);
    QLinearGradient shade(bar.topLeft(), bar.bottomLeft());
    shade.setColorAt(0, color.lighter(125));
    shade.setColorAt(1, color);
    p.fillRect(bar, shade);
    p.setPen(color.darker(130));
    p.drawRect(bar.adjusted(0, 0, -1, -1));
}

void ProgressBar::stepIt()
{
    int next = value() + m_step;
    if (next > maximum()) {
        next = minimum();
    }
    setValue(next);
}

// ---- Timer ------------------------------------------------------------------------------

Timer::Timer(QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(m_interval);
    connect(m_timer, &QTimer::timeout, this, [this] { fire(OnTimer, this); });
}

void Timer::setInterval(int ms)
{
    m_interval = ms;
    m_timer->setInterval(ms);
    if (m_enabled) {
        m_timer->start();
    }
}

void Timer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (enabled && m_interval > 0) {
        m_timer->start(m_interval);
    } else {
        m_timer->stop();
    }
}
