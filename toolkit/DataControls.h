#pragma once

#include "data/Query.h"

#include <QColor>
#include <QObject>
#include <QWidget>
#include <functional>
#include <vector>

class DataSource;
class QPainter;

// A control's tie to a data source: told when the current row or the dataset changes.
class DataLink
{
public:
    virtual ~DataLink();
    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return m_source; }
    Query* dataSet() const;
    bool linkActive() const;

protected:
    friend class DataSource;
    virtual void recordChanged(Field* field) = 0;
    virtual void activeChanged() { recordChanged(nullptr); }

private:
    DataSource* m_source = nullptr;
};

// Between a dataset and the controls and handlers that show it. Detaching (no dataset,
// or no handler) is how a screen keeps its handlers out of its own moves.
class DataSource : public QObject, private DataSetObserver
{
    Q_OBJECT
public:
    using DataChangeEvent = std::function<void(QObject* sender, Field* field)>;

    explicit DataSource(QObject* parent = nullptr);
    ~DataSource() override;

    void setDataSet(Query* dataSet);
    Query* dataSet() const { return m_dataSet; }

    // Runs after the linked controls have been told, at every opening, move, locate,
    // post and field assignment of the dataset.
    DataChangeEvent OnDataChange;

private:
    friend class DataLink;
    void dataSetEvent(Query& dataSet, DataEvent event, Field* field) override;
    void dataSetDestroyed(Query& dataSet) override;
    void tellLinksActive();

    Query* m_dataSet = nullptr;
    std::vector<DataLink*> m_links;
};

// A data-aware field control's common part: the field name and the field it finds in
// the open dataset.
class FieldLink : public DataLink
{
public:
    void setDataField(const QString& name) { m_fieldName = name; }
    QString dataField() const { return m_fieldName; }
    Field* field() const;

private:
    QString m_fieldName;
};

// Shows a field's display text in one line, transparent, in its own colour even inside
// a disabled panel.
class DBText : public QWidget, public FieldLink
{
    Q_OBJECT
public:
    explicit DBText(QWidget* parent);
    void setTextFont(const QString& face, int pixelSize, bool bold, const QColor& color);
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }
    // The width a long text is narrowed to, where a neighbour begins inside the control
    // (0: the control's width).
    void setFitWidth(int width) { m_fitWidth = width; }
    int fitRoom() const { return m_fitWidth > 0 ? m_fitWidth : width(); }
    void setColor(const QColor& color)
    {
        m_color = color;
        update();
    }
    QColor color() const { return m_color; }
    QString text() const { return m_text; }
    // Re-reads the field, as the control does when its panel is painted.
    void refresh();
    // Draws the field's text of the row the dataset shows now at the control's place
    // moved by offset: a grid draws its panel controls this way, once per row.
    void paintAt(QPainter& painter, const QPoint& offset) const;

protected:
    void recordChanged(Field* field) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QColor m_color = Qt::black;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
    int m_fitWidth = 0;
};

// Shows a field's text wrapped at its width and cut off at its bottom; it cannot be
// edited or scrolled.
class DBMemo : public QWidget, public FieldLink
{
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent);
    void setTextFont(const QString& face, int pixelSize, bool bold, const QColor& color);
    void setColor(const QColor& background) { m_background = background; }
    QString text() const { return m_text; }
    // The height its text takes, wrapped to its width, from its top edge.
    int textHeight() const;

protected:
    void recordChanged(Field* field) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QColor m_color = Qt::black;
    QColor m_background;
};

// Shows a picture field: a Windows bitmap as the bank stores it (with or without its
// 8-byte header). The bytes are decoded only when the picture is shown, and bytes that
// are no readable bitmap show nothing. A picture larger than the control is shrunk to
// fit it; smaller ones are centred at their own size.
class DBImage : public QWidget, public FieldLink
{
    Q_OBJECT
public:
    explicit DBImage(QWidget* parent);
    void setColor(const QColor& background);
    // The current row's picture, decoded on first use; null when there is none or it
    // cannot be read.
    QImage picture() const;

protected:
    void recordChanged(Field* field) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QByteArray m_blob;
    mutable QImage m_picture;
    mutable bool m_decoded = true;
    QColor m_background;
};
