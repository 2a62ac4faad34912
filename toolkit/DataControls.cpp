#include "toolkit/DataControls.h"

#include "gui/BitmapBlob.h"
#include "toolkit/FitText.h"

#include <QPainter>
#include <QTextLayout>
#include <algorithm>

// ---- DataLink ---------------------------------------------------------------------------

DataLink::~DataLink()
{
    setDataSource(nullptr);
}

void DataLink::setDataSource(DataSource* source)
{
    if (m_source == source) {
        return;
    }
    if (m_source) {
        std::erase(m_source->m_links, this);
    }
    m_source = source;
    if (m_source) {
        m_source->m_links.push_back(this);
        activeChanged();
    }
}

Query* DataLink::dataSet() const
{
    return m_source ? m_source->dataSet() : nullptr;
}

bool DataLink::linkActive() const
{
    const Query* q = dataSet();
    return q && q->active();
}

// ---- DataSource -------------------------------------------------------------------------

DataSource::DataSource(QObject* parent)
    : QObject(parent)
{}

DataSource::~DataSource()
{
    if (m_dataSet) {
        m_dataSet->removeObserver(this);
    }
    const std::vector<DataLink*> links = m_links;
    for (DataLink* link : links) {
        link->m_source = nullptr;
    }
}

void DataSource::setDataSet(Query* dataSet)
{
    if (m_dataSet == dataSet) {
        return;
    }
    if (m_dataSet) {
        m_dataSet->removeObserver(this);
    }
    m_dataSet = dataSet;
    if (m_dataSet) {
        m_dataSet->addObserver(this);
    }
    tellLinksActive();
}

void DataSource::tellLinksActive()
{
    const std::vector<DataLink*> links = m_links;
    for (DataLink* link : links) {
        if (std::find(m_links.begin(), m_links.end(), link) != m_links.end()) {
            link->activeChanged();
        }
    }
}

void DataSource::dataSetEvent(Query& dataSet, DataEvent event, Field* field)
{
    Q_UNUSED(dataSet);
    switch (event) {
    case DataEvent::ActiveChanged:
        tellLinksActive();
        break;
    case DataEvent::DataSetChanged:
    case DataEvent::Scrolled:
    case DataEvent::FieldChanged: {
        const std::vector<DataLink*> links = m_links;
        for (DataLink* link : links) {
            if (std::find(m_links.begin(), m_links.end(), link) != m_links.end()) {
                link->recordChanged(field);
            }
        }
        if (OnDataChange) {
            // A handler may replace itself while it runs; keep this one alive.
            const DataChangeEvent handler = OnDataChange;
            handler(this, field);
        }
        break;
    }
    case DataEvent::StateChanged:
        break;
    }
}

void DataSource::dataSetDestroyed(Query& dataSet)
{
    if (m_dataSet == &dataSet) {
        m_dataSet = nullptr;
        tellLinksActive();
    }
}

// ---- FieldLink --------------------------------------------------------------------------

Field* FieldLink::field() const
{
    Query* q = dataSet();
    if (!q || !q->active() || m_fieldName.isEmpty()) {
        return nullptr;
    }
    return q->findField(m_fieldName);
}

// ---- DBText -----------------------------------------------------------------------------

DBText::DBText(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void DBText::setTextFont(const QString& face, int pixelSize, bool bold, const QColor& color)
{
    QFont f(face);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    setFont(f);
    m_color = color;
    update();
}

void DBText::refresh()
{
    const Field* f = field();
    m_text = f ? f->displayText() : QString();
}

void DBText::recordChanged(Field* changed)
{
    Q_UNUSED(changed);
    refresh();
    update();
}

void DBText::paintEvent(QPaintEvent*)
{
    if (m_text.isEmpty()) {
        return;
    }
    QPainter p(this);
    p.setPen(m_color);
    p.setFont(fittedFont(font(), m_text, fitRoom()));
    p.drawText(rect(), int(m_alignment) | Qt::TextSingleLine, m_text);
}

// ---- DBMemo -----------------------------------------------------------------------------

DBMemo::DBMemo(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void DBMemo::setTextFont(const QString& face, int pixelSize, bool bold, const QColor& color)
{
    QFont f(face);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    setFont(f);
    m_color = color;
    update();
}

void DBMemo::recordChanged(Field* changed)
{
    Q_UNUSED(changed);
    const Field* f = field();
    m_text = f ? f->asString() : QString();
    m_text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    update();
}

namespace {
// Between the memo's edges and its text.
constexpr qreal kMemoMargin = 2;
} // namespace

void DBMemo::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_background.isValid()) {
        p.fillRect(rect(), m_background);
    }
    p.setPen(m_color);
    p.setFont(font());
    p.setClipRect(rect());
    qreal y = kMemoMargin;
    for (const QString& paragraph : m_text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font());
        y = wrapParagraph(layout, width(), kMemoMargin, y);
        layout.draw(&p, QPointF(0, 0));
        if (y > height()) {
            break;
        }
    }
}

int DBMemo::textHeight() const
{
    qreal y = kMemoMargin;
    for (const QString& paragraph : m_text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font());
        y = wrapParagraph(layout, width(), kMemoMargin, y);
    }
    return int(y + 0.999);
}

// ---- DBImage ----------------------------------------------------------------------------

DBImage::DBImage(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void DBImage::setColor(const QColor& background)
{
    m_background = background;
    update();
}

void DBImage::recordChanged(Field* changed)
{
    Q_UNUSED(changed);
    const Field* f = field();
    m_blob = f ? f->asBytes() : QByteArray();
    m_picture = QImage();
    m_decoded = m_blob.isEmpty();
    update();
}

QImage DBImage::picture() const
{
    if (!m_decoded) {
        m_picture = readBitmapBlob(m_blob);
        m_decoded = true;
    }
    return m_picture;
}

void DBImage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_background.isValid()) {
        p.fillRect(rect(), m_background);
    }
    const QImage image = picture();
    if (image.isNull()) {
        return;
    }
    QSize size = image.size();
    if (size.width() > width() || size.height() > height()) {
        size.scale(this->size(), Qt::KeepAspectRatio);
    }
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, image);
}

void DBText::paintAt(QPainter& painter, const QPoint& offset) const
{
    const Field* f = field();
    const QString text = f ? f->displayText() : QString();
    if (text.isEmpty()) {
        return;
    }
    painter.save();
    painter.setFont(fittedFont(font(), text, fitRoom()));
    painter.setPen(m_color);
    painter.drawText(geometry().translated(offset), int(m_alignment) | Qt::TextSingleLine, text);
    painter.restore();
}
