#include "toolkit/DBCtrlGrid.h"

#include "toolkit/Application.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

DBCtrlGrid::DBCtrlGrid(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void DBCtrlGrid::setPanels(int columns, int rows, QSize panelSize)
{
    m_columns = std::max(1, columns);
    m_rows = std::max(1, rows);
    m_panelSize = panelSize;
    update();
}

QRect DBCtrlGrid::panelRect(int index) const
{
    return QRect(
        QPoint((index / m_rows) * m_panelSize.width(), (index % m_rows) * m_panelSize.height()),
        m_panelSize);
}

int DBCtrlGrid::panelAt(const QPoint& position) const
{
    if (position.x() < 0 || position.y() < 0) {
        return -1;
    }
    const int column = position.x() / m_panelSize.width();
    const int row = position.y() / m_panelSize.height();
    if (column >= m_columns || row >= m_rows) {
        return -1;
    }
    return column * m_rows + row;
}

void DBCtrlGrid::addPanelText(DBText* text)
{
    text->setParent(this);
    text->hide();
    text->setDataSource(dataSource());
    m_texts.push_back(text);
}

void DBCtrlGrid::recordChanged(Field*)
{
    update();
}

void DBCtrlGrid::activeChanged()
{
    for (DBText* t : m_texts) {
        t->setDataSource(dataSource());
    }
    update();
}

void DBCtrlGrid::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_color);
    Query* q = dataSet();
    if (!q || !q->active()) {
        return;
    }
    const int rows = std::min(q->recordCount(), panelCount());
    const int current = q->recNo() - 1;
    std::exception_ptr failure;
    for (int i = 0; i < rows; ++i) {
        const QRect panel = panelRect(i);
        const Query::RowPeek peek(*q, i);
        p.save();
        p.translate(panel.topLeft());
        p.setClipRect(QRect(QPoint(0, 0), m_panelSize));
        if (i == current) {
            p.fillRect(QRect(QPoint(0, 0), m_panelSize), m_selected);
        }
        // A handler that raises leaves its panel empty; the error is told after the paint,
        // for a modal box inside a paint would run the paints it holds up.
        try {
            if (OnPaintPanel) {
                m_canvas = &p;
                OnPaintPanel(this, i);
                m_canvas = nullptr;
            }
            for (const DBText* t : m_texts) {
                t->paintAt(p, QPoint(0, 0));
            }
        } catch (...) {
            m_canvas = nullptr;
            p.fillRect(QRect(QPoint(0, 0), m_panelSize), i == current ? m_selected : m_color);
            if (!failure) {
                failure = std::current_exception();
            }
        }
        if (i == current && hasFocus()) {
            QPen dotted(Qt::black, 1, Qt::DotLine);
            p.setPen(dotted);
            p.drawRect(QRect(QPoint(1, 1), m_panelSize - QSize(3, 3)));
        }
        p.restore();
    }
    if (m_divider.isValid() && rows > 0) {
        p.setPen(m_divider);
        const int bottom = m_rows * m_panelSize.height() - 1;
        for (int c = 1; c < m_columns; ++c) {
            const int x = c * m_panelSize.width() - 1;
            p.drawLine(x, 0, x, bottom);
        }
    }
    if (failure) {
        reportLater(failure);
    } else {
        m_failing = false;
    }
}

void DBCtrlGrid::reportLater(const std::exception_ptr& error)
{
    // One report for a fault: the paints of a storm, those that run while the box is open
    // and those after it (closing the box repaints the grid) add none, until a paint
    // succeeds again.
    if (m_failing) {
        return;
    }
    m_failing = true;
    QMetaObject::invokeMethod(
        this, [this, error] { Application::showException(error); }, Qt::QueuedConnection);
}

void DBCtrlGrid::moveTo(int index)
{
    Query* q = dataSet();
    if (!q || !q->active() || q->isEmpty()) {
        return;
    }
    index = std::clamp(index, 0, q->recordCount() - 1);
    if (index != q->recNo() - 1) {
        guarded([&] { q->setRecNo(index + 1); });
    }
}

void DBCtrlGrid::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton) {
        const int index = panelAt(event->position().toPoint());
        Query* q = dataSet();
        if (index >= 0 && q && index < q->recordCount()) {
            moveTo(index);
        }
    }
    event->accept();
}

void DBCtrlGrid::keyPressEvent(QKeyEvent* event)
{
    Query* q = dataSet();
    const int current = q && q->active() ? q->recNo() - 1 : 0;
    switch (event->key()) {
    case Qt::Key_Up:
        moveTo(current - 1);
        break;
    case Qt::Key_Down:
        moveTo(current + 1);
        break;
    case Qt::Key_Left:
        moveTo(current - m_rows);
        break;
    case Qt::Key_Right:
        moveTo(current + m_rows);
        break;
    case Qt::Key_PageUp:
        moveTo(current - panelCount());
        break;
    case Qt::Key_PageDown:
        moveTo(current + panelCount());
        break;
    case Qt::Key_Home:
        moveTo(0);
        break;
    case Qt::Key_End:
        moveTo(q ? q->recordCount() - 1 : 0);
        break;
    default:
        // Insert and Delete are refused like every other key.
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void DBCtrlGrid::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void DBCtrlGrid::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}
