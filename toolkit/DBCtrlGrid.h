#pragma once

#include "toolkit/DataControls.h"

#include <QColor>
#include <QWidget>
#include <exception>
#include <functional>
#include <vector>

// A grid of repeated panels, one per row of its dataset, filled column by column. The
// data-aware texts placed in it are drawn in every panel with that panel's row; a click
// or the keys move the dataset's current row. Rows cannot be inserted or deleted here.
class DBCtrlGrid : public QWidget, public DataLink
{
    Q_OBJECT
public:
    using PaintPanelEvent = std::function<void(DBCtrlGrid* sender, int index)>;

    explicit DBCtrlGrid(QWidget* parent);

    void setPanels(int columns, int rows, QSize panelSize);
    QSize panelSize() const { return m_panelSize; }
    int panelCount() const { return m_columns * m_rows; }
    // The panel's place in the grid: column index / rows, row index % rows.
    QRect panelRect(int index) const;
    int panelAt(const QPoint& position) const;

    void setColor(const QColor& color) { m_color = color; }
    void setSelectedColor(const QColor& color) { m_selected = color; }
    // A line between the columns, so that what a panel shows at its right edge is not
    // read as the next column's; none unless a colour is given.
    void setDividerColor(const QColor& color) { m_divider = color; }

    // A text drawn in every panel; it is not shown as a control of its own.
    void addPanelText(DBText* text);

    // Runs for each panel before its texts are drawn, with the panel's row readable in
    // the dataset; canvas() paints in the panel's coordinates. A panel whose handler or
    // texts raise is drawn empty, and the error goes to the default error report once,
    // after the paint; paints that fail again are not reported until one succeeds.
    PaintPanelEvent OnPaintPanel;
    QPainter* canvas() const { return m_canvas; }

protected:
    void recordChanged(Field* field) override;
    void activeChanged() override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void moveTo(int index);
    void reportLater(const std::exception_ptr& error);

    int m_columns = 1;
    int m_rows = 1;
    QSize m_panelSize{100, 20};
    QColor m_color = Qt::white;
    QColor m_selected = QColor(58, 110, 165);
    QColor m_divider;
    std::vector<DBText*> m_texts;
    QPainter* m_canvas = nullptr;
    bool m_failing = false; // reported, and no paint has succeeded since
};
