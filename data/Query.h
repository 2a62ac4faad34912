#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

class Connection;
class Field;
class Query;

enum class DataSetState
{
    Inactive,
    Browse,
    Edit
};

// What a dataset tells the data sources that watch it.
enum class DataEvent
{
    ActiveChanged,  // opened or closed
    DataSetChanged, // opened, first, last, located, posted
    Scrolled,       // moved by prior or next
    FieldChanged,   // a field of the row in edit was assigned
    StateChanged    // browse, edit or inactive
};

class DataSetObserver
{
public:
    virtual ~DataSetObserver() = default;
    virtual void dataSetEvent(Query& dataSet, DataEvent event, Field* field) = 0;
    // The dataset is going away; forget it.
    virtual void dataSetDestroyed(Query& dataSet) { Q_UNUSED(dataSet); }
};

// The lines of a query's statement; changing them closes the query, as the old
// component model did.
class SqlLines
{
public:
    void clear();
    void add(const QString& line);
    void setText(const QString& text);
    const QStringList& lines() const { return m_lines; }
    // The statement as it is executed: the lines joined with CR LF.
    QString text() const { return m_lines.join(QStringLiteral("\r\n")); }

private:
    friend class Query;
    QStringList m_lines;
    std::function<void()> m_changed;
};

// One column of an open query, reading the current row.
class Field
{
public:
    using GetTextHandler = std::function<void(Field& sender, QString& text, bool displayText)>;

    QString fieldName() const { return m_name; }
    int index() const { return m_index; }
    Query& dataSet() const { return *m_query; }

    QVariant value() const;
    bool isNull() const;
    QString asString() const;
    qint64 asLargeInt() const;
    int asInteger() const;
    QByteArray asBytes() const;
    // The text for display and for editing; a handler in OnGetText may replace both.
    QString displayText() const;
    QString text() const;

    void setValue(const QVariant& value);
    void setAsString(const QString& value) { setValue(value); }
    void setAsInteger(qint64 value) { setValue(value); }
    void clear() { setValue(QVariant()); }

    GetTextHandler OnGetText;

private:
    friend class Query;
    Field(Query* query, int index, QString name, QString table, QString column);
    QString producedText(bool display) const;

    Query* m_query;
    int m_index;
    QString m_name;
    QString m_table;  // where the column comes from, empty for an expression
    QString m_column; // its name there
};

// A statement and a static snapshot of the rows it returned. Rows of a query over one
// table (no join, grouping, aggregate, DISTINCT, compound or subquery) can be edited and
// posted; the change is written to the table at once. The
// columns of such a query that are declared BLOB are read only when a row's value is
// asked for (whether one is null is known at once): a query over the whole bank would
// otherwise read and hold every picture.
class Query
{
public:
    explicit Query(Connection* connection = nullptr);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    void setConnection(Connection* connection);
    Connection* connection() const { return m_connection; }

    SqlLines SQL;

    void open();
    void close();
    // Runs a statement that returns no rows; returns the number of rows it changed.
    int execSQL();
    bool active() const { return m_state != DataSetState::Inactive; }
    DataSetState state() const { return m_state; }

    void first();
    void last();
    void next();
    void prior();
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool isEmpty() const { return m_rows.empty(); }
    int recordCount() const { return int(m_rows.size()); }
    // 1-based number of the current row, 0 when there is none.
    int recNo() const { return m_rows.empty() ? 0 : m_current + 1; }
    // Moves to the row at recNo (1-based) the way a locate does.
    void setRecNo(int recNo);
    // Moves to the first row whose field equals value; false (no move) when none does.
    // A text compared with a numeric column is read as a decimal number.
    bool locate(const QString& fieldName, const QVariant& value);

    int fieldCount() const { return int(m_fields.size()); }
    Field& fields(int index) const;
    Field* findField(const QString& name) const;
    Field& fieldByName(const QString& name) const;

    bool canModify() const { return m_canModify; }
    void edit();
    void post();
    void cancel();

    void addObserver(DataSetObserver* observer);
    void removeObserver(DataSetObserver* observer);

    // Lets a control read the fields of another row without moving the cursor, as a grid
    // does when it paints one panel per row. Nothing is told; the cursor stays.
    class RowPeek
    {
    public:
        RowPeek(Query& query, int index);
        ~RowPeek();
        RowPeek(const RowPeek&) = delete;
        RowPeek& operator=(const RowPeek&) = delete;

    private:
        Query& m_query;
        int m_saved;
    };

private:
    friend class Field;
    using Row = std::vector<QVariant>;

    void requireActive(const char* what) const;
    // The value of a cell, a blob read from its table when the snapshot only knows
    // whether it is null.
    QVariant cell(size_t row, int column) const;
    QVariant fetchBlob(size_t row, int column) const;
    bool fieldIsNull(int index) const;
    void checkBrowseMode();
    void notify(DataEvent event, Field* field = nullptr);
    void moveTo(int row, DataEvent event);
    const Row* currentRow() const;
    QVariant fieldValue(int index) const;
    void assignField(int index, const QVariant& value);

    Connection* m_connection = nullptr;
    DataSetState m_state = DataSetState::Inactive;
    std::vector<std::unique_ptr<Field>> m_fields;
    std::vector<Row> m_rows;
    std::vector<qint64> m_rowIds;
    Row m_editBuffer;
    std::vector<bool> m_modified;
    std::vector<bool> m_deferred; // per column: a blob read when asked for
    bool m_canModify = false;
    bool m_tableColumns = false; // some column is a table's column
    int m_current = 0;
    int m_peek = -1;
    bool m_bof = true;
    bool m_eof = true;
    std::vector<DataSetObserver*> m_observers;
};
