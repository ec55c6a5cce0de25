#include "addressbook/AddressRowPages.h"

#include <sqlite3.h>

#include <QHash>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

#include "addressbook/AddressBookFile.h"
#include "platform/AppError.h"

namespace {

// Every character QString::trimmed() takes for a blank.
const QString& blankCharacters() {
    static const QString blanks = [] {
        QString s;
        for (char16_t c = 1; c < 0xFFFF; ++c)
            if (QChar(c).isSpace()) s += QChar(c);
        return s;
    }();
    return blanks;
}

QSqlQuery runBound(const QString& connectionName, const QString& sql, const QVariantList& bound) {
    QSqlQuery query(QSqlDatabase::database(connectionName, false));
    query.setForwardOnly(true);
    if (!query.prepare(sql)) throw AppError(query.lastError().text());
    for (const QVariant& v : bound) query.addBindValue(v);
    if (!query.exec()) throw AppError(query.lastError().text());
    return query;
}

void bindSqlite(sqlite3_stmt* statement, int at, const QVariant& v) {
    if (v.isNull()) {
        sqlite3_bind_null(statement, at);
    } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong ||
               v.typeId() == QMetaType::UInt || v.typeId() == QMetaType::Bool) {
        sqlite3_bind_int64(statement, at, v.toLongLong());
    } else if (v.typeId() == QMetaType::Double) {
        sqlite3_bind_double(statement, at, v.toDouble());
    } else {
        const QByteArray text = v.toString().toUtf8();
        sqlite3_bind_text(statement, at, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
}

// Qt SQL makes a row of values for every row; for a million keys that costs several times
// the engine's scan of the index, so SQLite is read through its own interface.
QVector<qint64> readSqliteKeys(sqlite3* handle, const QString& sql, const QVariantList& bound) {
    sqlite3_stmt* statement = nullptr;
    const auto finalize = qScopeGuard([&] { sqlite3_finalize(statement); });
    const QByteArray text = sql.toUtf8();
    auto fail = [handle] { return AppError(QString::fromUtf8(sqlite3_errmsg(handle))); };
    if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &statement, nullptr) !=
        SQLITE_OK)
        throw fail();
    for (int i = 0; i < bound.size(); ++i) bindSqlite(statement, i + 1, bound.at(i));
    QVector<qint64> keys;
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW)
        keys.append(sqlite3_column_int64(statement, 0));
    if (step != SQLITE_DONE) throw fail();
    return keys;
}

}  // namespace

QVector<qint64> AddressRowPages::readKeys(const QString& connectionName, const QString& sql,
                                          const QVariantList& bound) {
    const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (sqlite3* handle = AddressBookFile::sqliteHandle(db))
        return readSqliteKeys(handle, sql, bound);
    QSqlQuery query = runBound(connectionName, sql, bound);
    QVector<qint64> keys;
    while (query.next()) keys.append(query.value(0).toLongLong());
    if (query.lastError().isValid()) throw AppError(query.lastError().text());
    return keys;
}

void AddressRowPages::reset(const QString& connectionName, const QString& quotedTable,
                            const QStringList& quotedColumns, QVector<qint64> keys) {
    m_connectionName = connectionName;
    m_table = quotedTable;
    m_columns = quotedColumns;
    m_keys = std::move(keys);
    m_blocks.clear();
    m_blanks.clear();
}

void AddressRowPages::clear() {
    m_keys = QVector<qint64>();
    m_blocks.clear();
    m_blanks.clear();
}

QVariant AddressRowPages::value(int row, int column) const {
    if (column == 0) return m_keys.at(row) == kNoKey ? QVariant() : QVariant(m_keys.at(row));
    const Block& b = block(row / kBlockRows);
    const qsizetype at = qsizetype(row % kBlockRows) * m_columns.size() + column;
    return at < b.cells.size() ? b.cells.at(at) : QVariant();
}

const AddressRowPages::Block& AddressRowPages::block(int index) const {
    for (int i = 0; i < m_blocks.size(); ++i) {
        if (m_blocks.at(i).index != index) continue;
        if (i > 0) m_blocks.move(i, 0);
        return m_blocks.first();
    }
    m_blocks.prepend(readBlock(index));
    while (m_blocks.size() > kBlocksKept) m_blocks.removeLast();
    return m_blocks.first();
}

AddressRowPages::Block AddressRowPages::readBlock(int index) const {
    Block b;
    b.index = index;
    const int first = index * kBlockRows;
    const int last = std::min(count(), first + kBlockRows);
    const int width = int(m_columns.size());
    b.cells.resize(qsizetype(last - first) * width);
    QHash<qint64, int> positions;
    QVariantList keys;
    for (int row = first; row < last; ++row) {
        if (m_keys.at(row) == kNoKey) continue;
        positions.insert(m_keys.at(row), row - first);
        keys << m_keys.at(row);
    }
    if (keys.isEmpty()) return b;
    QStringList marks(keys.size(), QStringLiteral("?"));
    const QString sql = QStringLiteral("SELECT * FROM %1 WHERE %2 IN (%3)")
                            .arg(m_table, m_columns.at(0), marks.join(QLatin1Char(',')));
    try {
        QSqlQuery query = runBound(m_connectionName, sql, keys);
        const int n = std::min(width, int(query.record().count()));
        while (query.next()) {
            const int at = positions.value(query.value(0).toLongLong(), -1);
            if (at < 0) continue;
            for (int c = 0; c < n; ++c) b.cells[qsizetype(at) * width + c] = query.value(c);
        }
    } catch (const AppError&) {
        // A block that cannot be read shows empty; the next read tries again.
        b.index = -1;
    }
    return b;
}

void AddressRowPages::dropBlocksFrom(int row) {
    const int from = row / kBlockRows;
    m_blocks.removeIf([from](const Block& b) { return b.index >= from; });
}

void AddressRowPages::insert(int row) {
    m_keys.insert(row, kNoKey);
    dropBlocksFrom(row);
}

void AddressRowPages::remove(int row) {
    const qint64 key = m_keys.at(row);
    m_keys.remove(row);
    dropBlocksFrom(row);
    for (QList<BlankValue>& values : m_blanks)
        values.removeIf([key](const BlankValue& v) { return v.key == key; });
}

void AddressRowPages::store(int row, const QVector<QVariant>& values) {
    const qint64 key = values.value(0).toLongLong();
    m_keys[row] = key;
    const int width = int(m_columns.size());
    for (Block& b : m_blocks) {
        if (b.index != row / kBlockRows) continue;
        const qsizetype at = qsizetype(row % kBlockRows) * width;
        for (int c = 0; c < width && c < values.size() && at + c < b.cells.size(); ++c)
            b.cells[at + c] = values.at(c);
    }
    for (auto it = m_blanks.begin(); it != m_blanks.end(); ++it) {
        it->removeIf([key](const BlankValue& v) { return v.key == key; });
        const QString text = values.value(it.key()).toString();
        if (text != text.trimmed()) it->append({key, text});
    }
}

QSet<qint64> AddressRowPages::keysWhere(const QString& condition, const QVariantList& bound) const {
    const QString sql =
        QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(m_columns.at(0), m_table, condition);
    const QVector<qint64> found = readKeys(m_connectionName, sql, bound);
    return QSet<qint64>(found.cbegin(), found.cend());
}

QSet<qint64> AddressRowPages::keysWhereAmong(int first, int rows, const QString& condition,
                                             const QVariantList& bound) const {
    QVariantList values;
    for (int i = 0; i < rows && i < count(); ++i) {
        const qint64 key = m_keys.at((first + i) % count());
        if (key != kNoKey) values << key;
    }
    if (values.isEmpty()) return {};
    const QString key = m_columns.at(0);
    const QStringList marks(values.size(), QStringLiteral("?"));
    return keysWhere(
        QStringLiteral("%1 IN (%2) AND (%3)").arg(key, marks.join(QLatin1Char(',')), condition),
        values + bound);
}

const QList<AddressRowPages::BlankValue>& AddressRowPages::valuesWithBlanks(int column) const {
    auto found = m_blanks.constFind(column);
    if (found != m_blanks.constEnd()) return *found;
    // The database trims the same characters, so that it passes on every candidate (equal
    // names are equal texts, under the name collation too); which rows really have blanks is
    // decided here, as trimmed() sees them.
    const QString name = m_columns.at(column);
    const QString sql = QStringLiteral("SELECT %1, %2 FROM %3 WHERE %2 <> trim(%2, ?)")
                            .arg(m_columns.at(0), name, m_table);
    QSqlQuery query = runBound(m_connectionName, sql, {blankCharacters()});
    QList<BlankValue> values;
    while (query.next()) {
        const QString text = query.value(1).toString();
        if (text != text.trimmed()) values.append({query.value(0).toLongLong(), text});
    }
    if (query.lastError().isValid()) throw AppError(query.lastError().text());
    return *m_blanks.insert(column, values);
}
