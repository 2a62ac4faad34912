#include "data/Query.h"

#include "data/Connection.h"
#include "data/DataError.h"
#include "data/JetSql.h"
#include "data/SqlShape.h"

#include <QRegularExpression>
#include <algorithm>
#include <limits>
#include <sqlite3.h>

namespace {

// The hidden column that carries each row's rowid, so that a posted edit finds its row.
const char kRowIdColumn[] = "__taviro_rowid__";

struct StatementGuard
{
    sqlite3_stmt* stmt = nullptr;
    ~StatementGuard() { sqlite3_finalize(stmt); }
};

// A kept statement is left ready for its next use.
struct ResetGuard
{
    sqlite3_stmt* stmt;
    ~ResetGuard()
    {
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
    }
};

QVariant columnValue(sqlite3_stmt* stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(stmt, column)));
    }
    case SQLITE_BLOB: {
        const auto* blob = static_cast<const char*>(sqlite3_column_blob(stmt, column));
        return QVariant(QByteArray(blob, sqlite3_column_bytes(stmt, column)));
    }
    default:
        return QVariant();
    }
}

int bindValue(sqlite3_stmt* stmt, int index, const QVariant& value)
{
    if (value.isNull()) {
        return sqlite3_bind_null(stmt, index);
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Bool:
        return sqlite3_bind_int64(stmt, index, value.toLongLong());
    case QMetaType::Double:
        return sqlite3_bind_double(stmt, index, value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob64(stmt, index, bytes.constData(), quint64(bytes.size()),
                                   SQLITE_TRANSIENT);
    }
    default: {
        const QByteArray text = value.toString().toUtf8();
        return sqlite3_bind_text64(stmt, index, text.constData(), quint64(text.size()),
                                   SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    }
}

bool isIntegral(const QVariant& v)
{
    const int t = v.typeId();
    return t == QMetaType::LongLong || t == QMetaType::Int || t == QMetaType::UInt ||
           t == QMetaType::ULongLong || t == QMetaType::Bool;
}

// A decimal integer, blanks around it allowed; false when the text is none or too large.
bool parseInteger(const QString& text, qint64* value)
{
    bool ok = false;
    *value = text.trimmed().toLongLong(&ok, 10);
    return ok;
}

bool sameValue(const QVariant& cell, const QVariant& wanted)
{
    if (wanted.isNull() || cell.isNull()) {
        return wanted.isNull() && cell.isNull();
    }
    if (isIntegral(cell)) {
        if (isIntegral(wanted)) {
            return cell.toLongLong() == wanted.toLongLong();
        }
        if (wanted.typeId() == QMetaType::Double) {
            return double(cell.toLongLong()) == wanted.toDouble();
        }
        qint64 number = 0;
        return parseInteger(wanted.toString(), &number) && number == cell.toLongLong();
    }
    if (cell.typeId() == QMetaType::Double) {
        bool ok = false;
        const double d = wanted.toString().trimmed().toDouble(&ok);
        return ok && d == cell.toDouble();
    }
    if (cell.typeId() == QMetaType::QByteArray) {
        return cell.toByteArray() == wanted.toByteArray();
    }
    return cell.toString() == wanted.toString();
}

QString quoted(const QString& name)
{
    QString n = name;
    return QLatin1Char('"') + n.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// A single-table statement with each deferred blob replaced by its length under the
// same name and the rowid last; empty when its select list cannot be rewritten so.
QByteArray leanStatement(const QString& sql, const SelectShape& shape, const QStringList& names,
                         const QStringList& origins, const std::vector<bool>& deferred)
{
    static const QRegularExpression star(QStringLiteral(R"(^(?:.*\.\s*)?\*$)"),
                                         QRegularExpression::DotMatchesEverythingOption);
    const qsizetype stars =
        std::count_if(shape.items.begin(), shape.items.end(),
                      [](const QString& item) { return star.match(item).hasMatch(); });
    const qsizetype columns = names.size();
    const qsizetype starWidth = columns - (shape.items.size() - stars);
    if (stars > 1 || (stars == 0 && starWidth != 0) || starWidth < 0) {
        return QByteArray();
    }
    QStringList lean;
    qsizetype c = 0;
    auto plainColumn = [&](qsizetype column) {
        return deferred[size_t(column)] ? QStringLiteral("length(%1) AS %2")
                                              .arg(quoted(origins[column]), quoted(names[column]))
                                        : quoted(origins[column]);
    };
    for (const QString& item : shape.items) {
        if (star.match(item).hasMatch()) {
            for (qsizetype k = 0; k < starWidth; ++k, ++c) {
                if (origins[c].isEmpty()) {
                    return QByteArray();
                }
                lean << plainColumn(c);
            }
        } else {
            lean << (deferred[size_t(c)] ? plainColumn(c) : item);
            ++c;
        }
    }
    return (QStringLiteral("SELECT ") + lean.join(QStringLiteral(", ")) +
            QStringLiteral(", _rowid_ AS ") + QLatin1String(kRowIdColumn) + QLatin1Char(' ') +
            sql.mid(shape.fromStart))
        .toUtf8();
}

[[noreturn]] void fail(const QString& what, sqlite3* db)
{
    throw DatabaseError(QStringLiteral("%1：%2").arg(what, sqliteMessage(db)));
}

} // namespace

// ---- SqlLines ---------------------------------------------------------------------------

void SqlLines::clear()
{
    if (m_changed) {
        m_changed();
    }
    m_lines.clear();
}

void SqlLines::add(const QString& line)
{
    if (m_changed) {
        m_changed();
    }
    m_lines.append(line);
}

void SqlLines::setText(const QString& text)
{
    if (m_changed) {
        m_changed();
    }
    m_lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
}

// ---- Field ------------------------------------------------------------------------------

Field::Field(Query* query, int index, QString name, QString table, QString column)
    : m_query(query)
    , m_index(index)
    , m_name(std::move(name))
    , m_table(std::move(table))
    , m_column(std::move(column))
{}

QVariant Field::value() const
{
    return m_query->fieldValue(m_index);
}

bool Field::isNull() const
{
    return m_query->fieldIsNull(m_index);
}

QString Field::asString() const
{
    const QVariant v = value();
    if (v.isNull()) {
        return QString();
    }
    if (v.typeId() == QMetaType::QByteArray) {
        return QString::fromUtf8(v.toByteArray());
    }
    if (v.typeId() == QMetaType::Double) {
        return QString::number(v.toDouble(), 'g', 15);
    }
    return v.toString();
}

qint64 Field::asLargeInt() const
{
    const QVariant v = value();
    if (v.isNull()) {
        return 0;
    }
    if (isIntegral(v)) {
        return v.toLongLong();
    }
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (d >= -9.2e18 && d <= 9.2e18) {
            return qRound64(d);
        }
    } else {
        qint64 number = 0;
        if (parseInteger(asString(), &number)) {
            return number;
        }
    }
    throw DatabaseError(
        QStringLiteral("字段“%1”的值“%2”不是有效的整数。").arg(m_name, asString().left(40)));
}

int Field::asInteger() const
{
    const qint64 v = asLargeInt();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) {
        throw DatabaseError(QStringLiteral("字段“%1”的值超出整数范围。").arg(m_name));
    }
    return int(v);
}

QByteArray Field::asBytes() const
{
    const QVariant v = value();
    if (v.typeId() == QMetaType::QByteArray) {
        return v.toByteArray();
    }
    return v.isNull() ? QByteArray() : asString().toUtf8();
}

QString Field::producedText(bool display) const
{
    if (!OnGetText) {
        return asString();
    }
    QString text;
    OnGetText(const_cast<Field&>(*this), text, display);
    return text;
}

QString Field::displayText() const
{
    return producedText(true);
}

QString Field::text() const
{
    return producedText(false);
}

void Field::setValue(const QVariant& value)
{
    m_query->assignField(m_index, value);
}

// ---- Query ------------------------------------------------------------------------------

Query::Query(Connection* connection)
    : m_connection(connection)
{
    SQL.m_changed = [this] { close(); };
}

Query::~Query()
{
    SQL.m_changed = nullptr;
    const std::vector<DataSetObserver*> observers = m_observers;
    m_observers.clear();
    for (DataSetObserver* o : observers) {
        o->dataSetDestroyed(*this);
    }
}

void Query::setConnection(Connection* connection)
{
    close();
    m_connection = connection;
}

void Query::requireActive(const char* what) const
{
    if (m_state == DataSetState::Inactive) {
        throw DatabaseError(
            QStringLiteral("数据集没有打开，不能%1。").arg(QString::fromUtf8(what)));
    }
}

void Query::open()
{
    if (active()) {
        return;
    }
    if (!m_connection || !m_connection->connected()) {
        throw DatabaseError(QStringLiteral("数据库连接没有打开。"));
    }
    sqlite3* db = m_connection->handle();
    const QString sql = toSqliteDialect(SQL.text());

    // The rowid comes along hidden, last, where the rows are the rows of one table; any
    // other statement (joins, grouping, aggregates, DISTINCT, compounds, subqueries) is
    // read-only, for a post could not tell which row of a table it should change.
    const SelectShape shape = analyseSelect(sql);
    StatementGuard st;
    bool withRowId = false;
    if (shape.singleTable) {
        const QByteArray injected =
            (sql.left(shape.fromStart) + QStringLiteral(", _rowid_ AS ") +
             QLatin1String(kRowIdColumn) + QLatin1Char(' ') + sql.mid(shape.fromStart))
                .toUtf8();
        if (sqlite3_prepare_v2(db, injected.constData(), int(injected.size()), &st.stmt, nullptr) ==
                SQLITE_OK &&
            st.stmt) {
            const int last = sqlite3_column_count(st.stmt) - 1;
            withRowId = last > 0 && sqlite3_column_table_name(st.stmt, last) != nullptr;
        }
        if (!withRowId) {
            sqlite3_finalize(st.stmt);
            st.stmt = nullptr;
        }
    }
    if (!withRowId) {
        const QByteArray plain = sql.toUtf8();
        if (sqlite3_prepare_v2(db, plain.constData(), int(plain.size()), &st.stmt, nullptr) !=
            SQLITE_OK) {
            fail(QStringLiteral("查询语句执行失败"), db);
        }
    }
    const int all = st.stmt ? sqlite3_column_count(st.stmt) : 0;
    const int columns = withRowId ? all - 1 : all;
    if (columns <= 0) {
        throw DatabaseError(QStringLiteral("查询语句没有返回记录集。"));
    }
    const QString rowTable =
        withRowId ? QString::fromUtf8(sqlite3_column_table_name(st.stmt, columns)) : QString();

    std::vector<std::unique_ptr<Field>> fields;
    QStringList names;
    QStringList origins;
    std::vector<bool> deferred(size_t(columns), false);
    bool anyDeferred = false;
    bool tableColumns = false;
    for (int c = 0; c < columns; ++c) {
        const char* table = sqlite3_column_table_name(st.stmt, c);
        const char* origin = sqlite3_column_origin_name(st.stmt, c);
        const char* declared = sqlite3_column_decltype(st.stmt, c);
        const QString name = QString::fromUtf8(sqlite3_column_name(st.stmt, c));
        tableColumns = tableColumns || table;
        names << name;
        origins << (origin ? QString::fromUtf8(origin) : QString());
        const bool writable = withRowId && table && origin &&
                              rowTable.compare(QString::fromUtf8(table), Qt::CaseInsensitive) == 0;
        fields.emplace_back(new Field(this, c, name, writable ? rowTable : QString(),
                                      origin ? QString::fromUtf8(origin) : QString()));
        // A blob that the rest of the statement names keeps its bytes in it: the order
        // or a condition may rest on them.
        const bool blob = writable && declared && qstricmp(declared, "BLOB") == 0 &&
                          !shape.namesAfterFrom.contains(name, Qt::CaseInsensitive);
        deferred[size_t(c)] = blob;
        anyDeferred = anyDeferred || blob;
    }
    if (anyDeferred && !shape.numbersInOrder) {
        // The same statement with only the blobs' lengths (read from the row's header,
        // without the bytes) in their places: the order is the statement's own.
        const QByteArray lean = leanStatement(sql, shape, names, origins, deferred);
        sqlite3_stmt* leanStmt = nullptr;
        if (!lean.isEmpty() &&
            sqlite3_prepare_v2(db, lean.constData(), int(lean.size()), &leanStmt, nullptr) ==
                SQLITE_OK &&
            leanStmt && sqlite3_column_count(leanStmt) == all) {
            sqlite3_finalize(st.stmt);
            st.stmt = leanStmt;
        } else {
            sqlite3_finalize(leanStmt);
            deferred.assign(deferred.size(), false);
        }
    } else {
        deferred.assign(deferred.size(), false);
    }
    std::vector<Row> rows;
    std::vector<qint64> rowIds;
    int rc;
    while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
        Row row;
        row.reserve(size_t(columns));
        for (int c = 0; c < columns; ++c) {
            row.push_back(columnValue(st.stmt, c));
        }
        rows.push_back(std::move(row));
        if (withRowId) {
            rowIds.push_back(sqlite3_column_int64(st.stmt, columns));
        }
    }
    if (rc != SQLITE_DONE) {
        fail(QStringLiteral("读取记录失败"), db);
    }

    m_fields = std::move(fields);
    m_rows = std::move(rows);
    m_rowIds = std::move(rowIds);
    m_deferred = std::move(deferred);
    m_canModify = withRowId;
    m_tableColumns = tableColumns;
    m_current = 0;
    m_bof = true;
    m_eof = m_rows.empty();
    m_state = DataSetState::Browse;
    notify(DataEvent::ActiveChanged);
    notify(DataEvent::DataSetChanged);
}

void Query::close()
{
    if (!active()) {
        return;
    }
    m_peek = -1;
    m_state = DataSetState::Inactive;
    m_editBuffer.clear();
    m_modified.clear();
    notify(DataEvent::ActiveChanged);
    m_fields.clear();
    m_rows.clear();
    m_rowIds.clear();
    m_deferred.clear();
    m_canModify = false;
    m_tableColumns = false;
    m_current = 0;
    m_bof = m_eof = true;
}

int Query::execSQL()
{
    close();
    if (!m_connection || !m_connection->connected()) {
        throw DatabaseError(QStringLiteral("数据库连接没有打开。"));
    }
    sqlite3* db = m_connection->handle();
    const QByteArray sql = toSqliteDialect(SQL.text()).toUtf8();
    const char* tail = sql.constData();
    const char* end = tail + sql.size();
    int changed = 0;
    while (tail < end) {
        StatementGuard st;
        if (sqlite3_prepare_v2(db, tail, int(end - tail), &st.stmt, &tail) != SQLITE_OK) {
            fail(QStringLiteral("语句执行失败"), db);
        }
        if (!st.stmt) {
            break; // only blanks or comments were left
        }
        int rc;
        while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) {
            fail(QStringLiteral("语句执行失败"), db);
        }
        changed += sqlite3_changes(db);
    }
    return changed;
}

void Query::notify(DataEvent event, Field* field)
{
    const std::vector<DataSetObserver*> observers = m_observers;
    for (DataSetObserver* o : observers) {
        if (std::find(m_observers.begin(), m_observers.end(), o) != m_observers.end()) {
            o->dataSetEvent(*this, event, field);
        }
    }
}

void Query::addObserver(DataSetObserver* observer)
{
    if (std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end()) {
        m_observers.push_back(observer);
    }
}

void Query::removeObserver(DataSetObserver* observer)
{
    std::erase(m_observers, observer);
}

void Query::checkBrowseMode()
{
    if (m_state == DataSetState::Edit) {
        post();
    }
}

void Query::moveTo(int row, DataEvent event)
{
    m_current = row;
    m_bof = false;
    m_eof = false;
    notify(event);
}

void Query::first()
{
    requireActive("移到第一条记录");
    checkBrowseMode();
    m_current = 0;
    m_bof = true;
    m_eof = m_rows.empty();
    notify(DataEvent::DataSetChanged);
}

void Query::last()
{
    requireActive("移到最后一条记录");
    checkBrowseMode();
    m_current = m_rows.empty() ? 0 : int(m_rows.size()) - 1;
    m_eof = true;
    m_bof = m_rows.empty();
    notify(DataEvent::DataSetChanged);
}

void Query::next()
{
    requireActive("移到下一条记录");
    checkBrowseMode();
    if (m_current + 1 < int(m_rows.size())) {
        m_current += 1;
        m_bof = false;
        m_eof = false;
        notify(DataEvent::Scrolled);
    } else {
        m_eof = true;
    }
}

void Query::prior()
{
    requireActive("移到上一条记录");
    checkBrowseMode();
    if (m_current > 0 && !m_rows.empty()) {
        m_current -= 1;
        m_bof = false;
        m_eof = false;
        notify(DataEvent::Scrolled);
    } else {
        m_bof = true;
    }
}

void Query::setRecNo(int recNo)
{
    requireActive("定位记录");
    checkBrowseMode();
    if (recNo >= 1 && recNo <= int(m_rows.size())) {
        moveTo(recNo - 1, DataEvent::Scrolled);
    }
}

bool Query::locate(const QString& fieldName, const QVariant& value)
{
    requireActive("查找记录");
    checkBrowseMode();
    const int column = fieldByName(fieldName).index();
    for (size_t r = 0; r < m_rows.size(); ++r) {
        if (sameValue(cell(r, column), value)) {
            moveTo(int(r), DataEvent::DataSetChanged);
            return true;
        }
    }
    return false;
}

Field& Query::fields(int index) const
{
    if (index < 0 || index >= int(m_fields.size())) {
        throw DatabaseError(QStringLiteral("字段序号 %1 超出范围。").arg(index));
    }
    return *m_fields[size_t(index)];
}

Field* Query::findField(const QString& name) const
{
    for (const auto& f : m_fields) {
        if (f->fieldName().compare(name, Qt::CaseInsensitive) == 0) {
            return f.get();
        }
    }
    return nullptr;
}

Field& Query::fieldByName(const QString& name) const
{
    Field* f = findField(name);
    if (!f) {
        throw DatabaseError(QStringLiteral("找不到字段“%1”。").arg(name));
    }
    return *f;
}

const Query::Row* Query::currentRow() const
{
    if (m_state == DataSetState::Inactive || m_rows.empty()) {
        return nullptr;
    }
    return &m_rows[size_t(m_current)];
}

Query::RowPeek::RowPeek(Query& query, int index)
    : m_query(query)
    , m_saved(query.m_peek)
{
    if (index >= 0 && index < int(query.m_rows.size())) {
        query.m_peek = index;
    }
}

Query::RowPeek::~RowPeek()
{
    m_query.m_peek = m_saved;
}

QVariant Query::fieldValue(int index) const
{
    if (m_peek >= 0 && m_state != DataSetState::Inactive) {
        return cell(size_t(m_peek), index);
    }
    if (m_state == DataSetState::Edit) {
        if (m_modified[size_t(index)] || !m_deferred[size_t(index)] ||
            m_editBuffer[size_t(index)].isNull()) {
            return m_editBuffer[size_t(index)];
        }
        return fetchBlob(size_t(m_current), index);
    }
    return currentRow() ? cell(size_t(m_current), index) : QVariant();
}

bool Query::fieldIsNull(int index) const
{
    if (m_peek >= 0 && m_state != DataSetState::Inactive) {
        return m_rows[size_t(m_peek)][size_t(index)].isNull();
    }
    if (m_state == DataSetState::Edit) {
        return m_editBuffer[size_t(index)].isNull();
    }
    const Row* row = currentRow();
    return !row || (*row)[size_t(index)].isNull();
}

QVariant Query::cell(size_t row, int column) const
{
    const QVariant& held = m_rows[row][size_t(column)];
    if (!m_deferred[size_t(column)] || held.isNull()) {
        return held;
    }
    return fetchBlob(row, column);
}

QVariant Query::fetchBlob(size_t row, int column) const
{
    const qint64 rowId = m_rowIds[row];
    const Field& f = *m_fields[size_t(column)];
    const QByteArray sql =
        (QStringLiteral("SELECT ") + quoted(f.m_column) + QStringLiteral(" FROM ") +
         quoted(f.m_table) + QStringLiteral(" WHERE _rowid_=?"))
            .toUtf8();
    sqlite3* db = m_connection->handle();
    ResetGuard st{m_connection->cachedStatement(sql)};
    int rc = sqlite3_bind_int64(st.stmt, 1, rowId);
    QVariant value;
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(st.stmt);
    }
    if (rc == SQLITE_ROW) {
        value = columnValue(st.stmt, 0);
    } else if (rc != SQLITE_DONE) {
        fail(QStringLiteral("读取字段“%1”失败").arg(f.fieldName()), db);
    }
    // A row deleted since the query opened has no value left: null.
    return value;
}

void Query::edit()
{
    requireActive("编辑");
    if (m_state == DataSetState::Edit) {
        return;
    }
    // Rows that hold no column of a table (a count) may go into edit, where every
    // assignment is refused; rows with table columns that cannot be written refuse here.
    if (!m_canModify && m_tableColumns) {
        throw DatabaseError(QStringLiteral("这个数据集是只读的，不能修改。"));
    }
    if (m_rows.empty()) {
        throw DatabaseError(QStringLiteral("数据集中没有可以修改的记录。"));
    }
    m_editBuffer = m_rows[size_t(m_current)];
    m_modified.assign(m_editBuffer.size(), false);
    m_state = DataSetState::Edit;
    notify(DataEvent::StateChanged);
}

void Query::assignField(int index, const QVariant& value)
{
    if (m_state != DataSetState::Edit) {
        throw DatabaseError(QStringLiteral("数据集不在编辑状态，不能给字段赋值。"));
    }
    Field& f = *m_fields[size_t(index)];
    if (f.m_table.isEmpty() || f.m_column.isEmpty()) {
        throw DatabaseError(QStringLiteral("字段“%1”不能修改。").arg(f.fieldName()));
    }
    m_editBuffer[size_t(index)] = value;
    m_modified[size_t(index)] = true;
    notify(DataEvent::FieldChanged, &f);
}

void Query::post()
{
    if (m_state != DataSetState::Edit) {
        return;
    }
    QStringList sets;
    std::vector<int> changed;
    QString table;
    for (size_t i = 0; i < m_modified.size(); ++i) {
        if (m_modified[i]) {
            const Field& f = *m_fields[i];
            table = f.m_table;
            sets << quoted(f.m_column) + QStringLiteral("=?");
            changed.push_back(int(i));
        }
    }
    if (!changed.empty()) {
        sqlite3* db = m_connection->handle();
        const QByteArray sql =
            (QStringLiteral("UPDATE ") + quoted(table) + QStringLiteral(" SET ") +
             sets.join(QLatin1Char(',')) + QStringLiteral(" WHERE _rowid_=?"))
                .toUtf8();
        // Posts repeat the same few statements (an answer, a number), so each is
        // prepared once and kept by the connection.
        sqlite3_stmt* stmt = nullptr;
        try {
            stmt = m_connection->cachedStatement(sql);
        } catch (const DatabaseError&) {
            const QString message = sqliteMessage(db);
            cancel();
            throw DatabaseError(QStringLiteral("保存修改失败：%1").arg(message));
        }
        ResetGuard st{stmt};
        int rc = SQLITE_OK;
        int param = 1;
        for (int i : changed) {
            if (rc == SQLITE_OK) {
                rc = bindValue(st.stmt, param++, m_editBuffer[size_t(i)]);
            }
        }
        if (rc == SQLITE_OK) {
            rc = sqlite3_bind_int64(st.stmt, param, m_rowIds[size_t(m_current)]);
        }
        if (rc == SQLITE_OK) {
            rc = sqlite3_step(st.stmt);
        }
        // A failed post leaves the row as the table holds it, so that what the screens
        // show never differs from what is stored.
        if (rc != SQLITE_DONE) {
            const QString message = sqliteMessage(db);
            cancel();
            throw DatabaseError(QStringLiteral("保存修改失败：%1").arg(message));
        }
        if (sqlite3_changes(db) == 0) {
            cancel();
            throw DatabaseError(QStringLiteral("保存修改失败：找不到要更新的记录。"));
        }
        m_rows[size_t(m_current)] = m_editBuffer;
    }
    m_editBuffer.clear();
    m_modified.clear();
    m_state = DataSetState::Browse;
    notify(DataEvent::StateChanged);
    notify(DataEvent::DataSetChanged);
}

void Query::cancel()
{
    if (m_state != DataSetState::Edit) {
        return;
    }
    m_editBuffer.clear();
    m_modified.clear();
    m_state = DataSetState::Browse;
    notify(DataEvent::StateChanged);
    notify(DataEvent::DataSetChanged);
}
