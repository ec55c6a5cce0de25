#include "addressbook/AddressQuery.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

#include "addressbook/AddressBookBackend.h"
#include "platform/AppError.h"

namespace {

// How far the grid's find looks by key before it asks the whole table.
constexpr int kNearRows = 16 * AddressRowPages::kBlockRows;

QString quoteIdentifier(QString name) {
    name.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + name + QLatin1Char('"');
}

// A refused name is told apart from other failures: the caller shows the row that has it.
[[noreturn]] void throwWriteFailure(const QSqlQuery& query) {
    const QSqlError error = query.lastError();
    if (AddressBookBackend::isNameTaken(error))
        throw RowConflict(RowConflict::Kind::NameTaken, error.text());
    throw AppError(error.text());
}

QSqlDatabase openConnection(const QString& name) {
    QSqlDatabase db = QSqlDatabase::database(name, false);
    if (!db.isValid() || !db.isOpen())
        throw AppError(QStringLiteral("The address book is not connected."));
    return db;
}

}  // namespace

AddressQuery::AddressQuery(const QString& objectName, QObject* parent) : QObject(parent) {
    setObjectName(objectName);
}

void AddressQuery::clearSql() {
    m_sql.clear();
    m_bound.clear();
}

void AddressQuery::setSql(const QString& sql, const QVariantList& boundValues) {
    m_sql = sql;
    m_bound = boundValues;
}

int AddressQuery::columnIndex(const QString& column) const {
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns.at(i).compare(column, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVariant AddressQuery::cell(int row, int column) const {
    return m_paged ? m_pages.value(row, column) : m_cells.at(qsizetype(row) * m_width + column);
}

AddressQuery::Row AddressQuery::rowValues(int row) const {
    Row values(m_width);
    for (int c = 0; c < m_width; ++c) values[c] = cell(row, c);
    return values;
}

void AddressQuery::setRowValues(int row, const Row& values) {
    if (m_paged) {
        m_pages.store(row, values);
        return;
    }
    for (int c = 0; c < m_width && c < values.size(); ++c)
        m_cells[qsizetype(row) * m_width + c] = values.at(c);
}

void AddressQuery::insertEmptyRow(int row) {
    if (m_paged)
        m_pages.insert(row);
    else
        m_cells.insert(qsizetype(row) * m_width, m_width, QVariant());
    ++m_rowCount;
}

void AddressQuery::removeRowAt(int row) {
    if (m_paged)
        m_pages.remove(row);
    else
        m_cells.remove(qsizetype(row) * m_width, m_width);
    --m_rowCount;
}

void AddressQuery::open() {
    close();
    QSqlDatabase db = openConnection(m_connectionName);
    if (m_fetchOnDemand && !tableName().isEmpty())
        openPaged(db);
    else
        openWhole(db);
    m_state = State::Browse;
    m_current = m_rowCount == 0 ? -1 : 0;
    m_eof = m_rowCount == 0;
    emit resetDone();
    emit dataChange();
}

void AddressQuery::openPaged(QSqlDatabase& db) {
    // The table's columns in table order are the columns of "Select *"; the same statement
    // with the key column in place of the star gives the same rows in the same order.
    const QString table = tableName();
    const QSqlRecord record = db.record(table);
    if (record.isEmpty()) throw AppError(QStringLiteral("no such table: ") + table);
    QStringList columns;
    for (int i = 0; i < record.count(); ++i) columns << record.fieldName(i);
    static const QRegularExpression star(QStringLiteral(R"(^\s*select\s+(\*))"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString keySql = m_sql;
    keySql.replace(star.match(m_sql).capturedStart(1), 1, quoteIdentifier(columns.at(0)));
    QVector<qint64> keys = AddressRowPages::readKeys(m_connectionName, keySql, m_bound);
    emit aboutToReset();
    m_paged = true;
    m_columns = std::move(columns);
    m_width = int(m_columns.size());
    m_rowCount = int(keys.size());
    QStringList quotedColumns;
    for (const QString& column : m_columns) quotedColumns << quoteIdentifier(column);
    m_pages.reset(m_connectionName, quotedTable(), quotedColumns, std::move(keys));
}

void AddressQuery::openWhole(QSqlDatabase& db) {
    QStringList columns;
    QVector<QVariant> cells;
    int rowCount = 0;
    {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.prepare(m_sql)) throw AppError(query.lastError().text());
        for (const QVariant& v : m_bound) query.addBindValue(v);
        if (!query.exec()) throw AppError(query.lastError().text());
        const QSqlRecord record = query.record();
        const int n = record.count();
        for (int i = 0; i < n; ++i) columns << record.fieldName(i);
        while (query.next()) {
            for (int i = 0; i < n; ++i) cells.append(query.value(i));
            ++rowCount;
        }
        if (query.lastError().isValid()) throw AppError(query.lastError().text());
    }
    emit aboutToReset();
    m_paged = false;
    m_columns = std::move(columns);
    m_width = int(m_columns.size());
    m_cells = std::move(cells);
    m_rowCount = rowCount;
}

void AddressQuery::close() {
    if (!isOpen()) return;
    emit aboutToReset();
    m_state = State::Inactive;
    m_columns.clear();
    m_width = 0;
    m_cells.clear();
    m_pages.clear();
    m_paged = false;
    m_rowCount = 0;
    m_pending.clear();
    m_pendingSet.clear();
    m_pendingRow = -1;
    m_current = -1;
    m_eof = true;
    emit resetDone();
}

void AddressQuery::checkBrowseMode() {
    if (m_state == State::Insert || m_state == State::Edit) post();
}

void AddressQuery::moveTo(int row, bool notify) {
    if (row == m_current) return;
    const int previous = m_current;
    m_current = row;
    emit currentRowChanged(previous, row);
    if (notify) emit dataChange();
}

void AddressQuery::setCurrentRow(int row) {
    if (!isOpen() || row < 0 || row >= m_rowCount) return;
    if (row == m_current) return;
    checkBrowseMode();
    m_eof = false;
    moveTo(row);
}

void AddressQuery::first() {
    if (!isOpen()) return;
    checkBrowseMode();
    if ((m_rowCount == 0)) {
        m_eof = true;
        return;
    }
    m_eof = false;
    moveTo(0);
}

void AddressQuery::next() {
    if (!isOpen()) return;
    checkBrowseMode();
    if (m_current + 1 < m_rowCount) {
        moveTo(m_current + 1);
    } else {
        m_eof = true;
    }
}

bool AddressQuery::isPendingRow(int row) const {
    return (m_state == State::Insert || m_state == State::Edit) && row == m_pendingRow;
}

QVariant AddressQuery::valueAt(int row, int column) const {
    if (row < 0 || row >= m_rowCount || column < 0 || column >= m_columns.size()) return QVariant();
    if (isPendingRow(row)) return m_pending.at(column);
    return cell(row, column);
}

QVariant AddressQuery::value(const QString& column) const {
    return valueAt(m_current, columnIndex(column));
}

QString AddressQuery::text(const QString& column) const {
    const QVariant v = value(column);
    return v.isNull() ? QString() : v.toString();
}

QString AddressQuery::tableName() const {
    // Only "Select * from <table> ..." row sets can write back: the table is the one named,
    // the row key is the first column.
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*select\s+\*\s+from\s+(\[[^\]]+\]|"(?:[^"]|"")+"|[^\s;\[\]"]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(m_sql);
    if (!m.hasMatch()) return QString();
    QString name = m.captured(1);
    if (name.startsWith(QLatin1Char('[')))
        name = name.mid(1, name.size() - 2);
    else if (name.startsWith(QLatin1Char('"')))
        name = name.mid(1, name.size() - 2).replace(QLatin1String("\"\""), QLatin1String("\""));
    return name;
}

QString AddressQuery::quotedTable() const {
    const QString table = tableName();
    if (table.isEmpty() || m_columns.isEmpty())
        throw AppError(QStringLiteral("This row set cannot be changed: ") + m_sql);
    return quoteIdentifier(table);
}

void AddressQuery::append() {
    if (!isOpen()) throw AppError(QStringLiteral("The row set is not open."));
    checkBrowseMode();
    const int n = int(m_columns.size());
    const int row = m_rowCount;
    m_currentBeforeInsert = m_current;
    emit rowAboutToBeInserted(row);
    insertEmptyRow(row);
    m_pending = Row(n);
    m_pendingSet = QVector<bool>(n, false);
    m_pendingRow = row;
    m_state = State::Insert;
    emit rowInserted(row);
    m_eof = false;
    moveTo(row, false);
    emit dataChange();
}

void AddressQuery::edit() {
    if (!isOpen()) throw AppError(QStringLiteral("The row set is not open."));
    if (m_state == State::Insert || m_state == State::Edit) return;
    if ((m_rowCount == 0) || m_current < 0) {
        append();
        return;
    }
    m_pending = rowValues(m_current);
    m_pendingSet = QVector<bool>(m_columns.size(), false);
    m_pendingRow = m_current;
    m_state = State::Edit;
    emit dataChange();
}

void AddressQuery::setText(const QString& column, const QString& text) {
    if (m_state != State::Insert && m_state != State::Edit)
        throw AppError(QStringLiteral("The row set is not in edit or insert mode."));
    const int i = columnIndex(column);
    if (i < 0) throw AppError(QStringLiteral("Field '%1' not found").arg(column));
    m_pending[i] = text;
    m_pendingSet[i] = true;
    emit rowUpdated(m_pendingRow);
    emit dataChange();
}

void AddressQuery::post() {
    if (m_state != State::Insert && m_state != State::Edit) return;
    const QString table = quotedTable();
    const QString key = quoteIdentifier(m_columns.at(0));
    QSqlDatabase db = openConnection(m_connectionName);
    QStringList names;
    QVariantList values;
    for (int i = 1; i < m_columns.size(); ++i) {
        if (!m_pendingSet.at(i)) continue;
        names << quoteIdentifier(m_columns.at(i));
        values << m_pending.at(i);
    }
    QSqlQuery query(db);
    if (m_state == State::Insert) {
        QString sql = QStringLiteral("INSERT INTO ") + table;
        if (names.isEmpty()) {
            sql += QStringLiteral(" DEFAULT VALUES");
        } else {
            QStringList marks;
            for (int i = 0; i < names.size(); ++i) marks << QStringLiteral("?");
            sql += QStringLiteral(" (%1) VALUES (%2)")
                       .arg(names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        }
        // The new key comes back with the statement (the shared book's server has no
        // "last insert id"; SQLite understands RETURNING as well).
        sql += QStringLiteral(" RETURNING ") + key;
        if (!query.prepare(sql)) throw AppError(query.lastError().text());
        for (const QVariant& v : values) query.addBindValue(v);
        if (!query.exec() || !query.next()) throwWriteFailure(query);
        const QVariant id = query.value(0);
        query.finish();
        // Read the stored row back, so that the row set shows what the table holds (defaults
        // included): one statement per stored row, never one per row of the set.
        Row stored = m_pending;
        stored[0] = id;
        QSqlQuery reread(db);
        reread.setForwardOnly(true);
        if (reread.prepare(QStringLiteral("SELECT * FROM %1 WHERE %2 = ?").arg(table, key))) {
            reread.addBindValue(id);
            if (reread.exec() && reread.next())
                for (int i = 0; i < stored.size() && i < reread.record().count(); ++i)
                    stored[i] = reread.value(i);
        }
        setRowValues(m_pendingRow, stored);
    } else {
        if (!names.isEmpty()) {
            QStringList sets;
            for (const QString& name : names) sets << name + QStringLiteral(" = ?");
            const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                    .arg(table, sets.join(QLatin1Char(',')), key);
            if (!query.prepare(sql)) throw AppError(query.lastError().text());
            for (const QVariant& v : values) query.addBindValue(v);
            query.addBindValue(m_pending.at(0));
            if (!query.exec()) throwWriteFailure(query);
            // Another program deleted the row meanwhile: the change went nowhere.
            if (query.numRowsAffected() == 0)
                throw RowConflict(RowConflict::Kind::RowGone,
                                  QStringLiteral("The row to change is no longer in ") + table);
        }
        setRowValues(m_pendingRow, m_pending);
    }
    const int row = leaveEditing();
    emit rowsWritten();
    emit rowUpdated(row);
    emit dataChange();
}

int AddressQuery::leaveEditing() {
    const int row = m_pendingRow;
    m_state = State::Browse;
    m_pending.clear();
    m_pendingSet.clear();
    m_pendingRow = -1;
    return row;
}

void AddressQuery::dropPendingInsert() {
    const int row = leaveEditing();
    emit rowAboutToBeRemoved(row);
    removeRowAt(row);
    emit rowRemoved(row);
    int back = m_currentBeforeInsert;
    if (back >= m_rowCount) back = int(m_rowCount) - 1;
    const int previous = m_current;
    m_current = back;
    if (previous != back) emit currentRowChanged(previous, back);
}

void AddressQuery::cancel() {
    if (m_state == State::Insert) {
        dropPendingInsert();
    } else if (m_state == State::Edit) {
        const int row = leaveEditing();
        emit rowUpdated(row);
    } else {
        return;
    }
    emit dataChange();
}

void AddressQuery::remove() {
    if (!isOpen()) throw AppError(QStringLiteral("The row set is not open."));
    if (m_state == State::Insert || m_state == State::Edit) {
        // Deleting a pending new row only drops it; a pending change is dropped first.
        const bool wasInsert = m_state == State::Insert;
        cancel();
        if (wasInsert) return;
    }
    if ((m_rowCount == 0) || m_current < 0) return;
    const QString table = quotedTable();
    const QString key = quoteIdentifier(m_columns.at(0));
    QSqlDatabase db = openConnection(m_connectionName);
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(table, key)))
        throw AppError(query.lastError().text());
    query.addBindValue(cell(m_current, 0));
    if (!query.exec()) throw AppError(query.lastError().text());
    emit rowsWritten();

    const int row = m_current;
    emit rowAboutToBeRemoved(row);
    removeRowAt(row);
    // The row after the deleted one becomes current, or the one before when it was the last.
    m_current = (m_rowCount == 0) ? -1 : std::min(row, int(m_rowCount) - 1);
    m_eof = (m_rowCount == 0);
    emit rowRemoved(row);
    emit currentRowChanged(row, m_current);
    emit dataChange();
}

int AddressQuery::findRow(int column, const QString& text, Match match) const {
    if (column < 0) return -1;
    if (m_paged) return findPagedRow(column, text, match);
    const bool trim = match == Match::IgnoringSurroundingBlanks;
    const QString sought = trim ? text.trimmed() : text;
    for (int row = 0; row < m_rowCount; ++row) {
        if (m_state == State::Insert && row == m_pendingRow) continue;
        const QVariant v = cell(row, column);
        const QString value = v.isNull() ? QString() : v.toString();
        if ((trim ? value.trimmed() : value) == sought) return row;
    }
    return -1;
}

bool AddressQuery::locate(const QString& column, const QString& text, Match match) {
    if (!isOpen()) return false;
    checkBrowseMode();
    const int row = findRow(columnIndex(column), text, match);
    if (row < 0) return false;
    m_eof = false;
    moveTo(row);
    return true;
}

QVariant AddressQuery::lookup(const QString& keyColumn, const QString& text,
                              const QString& resultColumn, Match match) const {
    if (!isOpen()) return QVariant();
    const int row = findRow(columnIndex(keyColumn), text, match);
    const int result = columnIndex(resultColumn);
    if (row < 0 || result < 0) return QVariant();
    return cell(row, result);
}

int AddressQuery::findPagedRow(int column, const QString& text, Match match) const {
    // The name index finds the rows holding the text as it is; rows stored with surrounding
    // blanks are few and known once looked for (AddressRowPages::valuesWithBlanks).
    const bool trim = match == Match::IgnoringSurroundingBlanks;
    const QString sought = trim ? text.trimmed() : text;
    QSet<qint64> keys =
        m_pages.keysWhere(quoteIdentifier(m_columns.at(column)) + QStringLiteral(" = ?"), {sought});
    if (trim) {
        for (const AddressRowPages::BlankValue& v : m_pages.valuesWithBlanks(column))
            if (v.value.trimmed() == sought) keys.insert(v.key);
    }
    if (keys.isEmpty()) return -1;
    return m_pages.firstRow(0, m_rowCount, [&](int row, qint64 key) {
        return !(m_state == State::Insert && row == m_pendingRow) && keys.contains(key);
    });
}

bool AddressQuery::rowContains(int row, const QString& text, const QList<int>& columns) const {
    for (int c : columns) {
        const QVariant v = valueAt(row, c);
        if (!v.isNull() && v.toString().contains(text, Qt::CaseInsensitive)) return true;
    }
    return false;
}

int AddressQuery::findContaining(const QString& text, const QList<int>& columns, int after) const {
    if (text.isEmpty() || m_rowCount == 0) return -1;
    if (m_paged) return findPagedContaining(text, columns, after);
    for (int step = 1; step <= m_rowCount; ++step) {
        const int row = (after + step + m_rowCount) % m_rowCount;
        if (rowContains(row, text, columns)) return row;
    }
    return -1;
}

int AddressQuery::findPagedContaining(const QString& text, const QList<int>& columns,
                                      int after) const {
    // One statement finds the keys of the matching rows; a pending row is looked at here, as
    // it shows.
    QString pattern = text.toLower();
    pattern.replace(QLatin1Char('!'), QLatin1String("!!"))
        .replace(QLatin1Char('%'), QLatin1String("!%"))
        .replace(QLatin1Char('_'), QLatin1String("!_"));
    pattern = QLatin1Char('%') + pattern + QLatin1Char('%');
    // SQLite's LIKE ignores the case of A to Z by itself (and its lower() knows no more), and
    // a text without letters of two cases (Chinese, digits) is found faster by instr(); on
    // other databases the column is lowered as the pattern is.
    const bool sqlite =
        !AddressBookBackend::isShared(QSqlDatabase::database(m_connectionName, false));
    const bool caseless = text.toLower() == text.toUpper();
    if (sqlite && caseless) pattern = text;
    const QString form = !sqlite    ? QStringLiteral("lower(CAST(%1 AS TEXT)) LIKE ? ESCAPE '!'")
                         : caseless ? QStringLiteral("instr(%1, ?) > 0")
                                    : QStringLiteral("%1 LIKE ? ESCAPE '!'");
    QStringList conditions;
    QVariantList bound;
    for (int c : columns) {
        if (c < 0 || c >= m_width) continue;
        conditions << form.arg(quoteIdentifier(m_columns.at(c)));
        bound << pattern;
    }
    if (conditions.isEmpty()) return -1;
    const QString condition = conditions.join(QLatin1String(" OR "));
    auto firstMatch = [&](int first, int rows, const QSet<qint64>& keys) {
        return m_pages.firstRow(first, rows, [&](int row, qint64 key) {
            return isPendingRow(row) ? rowContains(row, text, columns) : keys.contains(key);
        });
    };
    // The rows just after the current one first, a growing stretch at a time looked up by
    // key: the next match is usually near. A text far away or nowhere is then looked for in
    // the whole table at once.
    const int n = m_rowCount;
    const int from = (after + 1 + n) % n;
    int searched = 0;
    for (int stretch = AddressRowPages::kBlockRows; searched < n && stretch <= kNearRows;
         stretch *= 2) {
        const int rows = std::min(stretch, n - searched);
        const int first = (from + searched) % n;
        const int row =
            firstMatch(first, rows, m_pages.keysWhereAmong(first, rows, condition, bound));
        if (row >= 0) return row;
        searched += rows;
    }
    if (searched >= n) return -1;
    return firstMatch((from + searched) % n, n - searched, m_pages.keysWhere(condition, bound));
}
