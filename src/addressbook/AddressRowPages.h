#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVector>
#include <limits>

// The rows of a row set over one table, held as their keys only, in the statement's order; the
// whole rows are read by key, a block of neighbouring positions at a time, when somebody reads
// them, and a few recent blocks are kept. A million customers cost eight megabytes of keys
// instead of a gigabyte of values, and scrolling anywhere reads one block.
//
// The row key is the table's first column, an integer. A row that has no key yet (a new row
// not stored) reads as empty values.
class AddressRowPages {
  public:
    static constexpr qint64 kNoKey = std::numeric_limits<qint64>::min();
    static constexpr int kBlockRows = 256;
    static constexpr int kBlocksKept = 8;

    // `quotedColumns` are the table's columns in table order, the key first, quoted for SQL.
    void reset(const QString& connectionName, const QString& quotedTable,
               const QStringList& quotedColumns, QVector<qint64> keys);
    void clear();

    int count() const { return int(m_keys.size()); }
    qint64 key(int row) const { return m_keys.at(row); }
    // The value as the table holds it; an unreadable block reads as empty values.
    QVariant value(int row, int column) const;

    // A new row without a key at `row`.
    void insert(int row);
    void remove(int row);
    // The row as the table now holds it (values[0] is its key).
    void store(int row, const QVector<QVariant>& values);

    // The first column of every row of `sql` (with `bound` for its "?"), read as integers.
    // Throws AppError when the statement fails.
    static QVector<qint64> readKeys(const QString& connectionName, const QString& sql,
                                    const QVariantList& bound);

    // The keys of the table's rows that satisfy `condition`, a SQL condition with "?" for
    // `bound`. Throws AppError when the statement fails.
    QSet<qint64> keysWhere(const QString& condition, const QVariantList& bound) const;
    // The same among the rows at `rows` positions from `first` on (wrapping round): a look-up
    // by key, where the table is not read through.
    QSet<qint64> keysWhereAmong(int first, int rows, const QString& condition,
                                const QVariantList& bound) const;
    // The first of `rows` positions, counting from `from` and wrapping round, that `wanted`
    // says yes to; -1 if none. Only compares keys in memory.
    template <typename Wanted>
    int firstRow(int from, int rows, Wanted wanted) const {
        const int n = count();
        for (int step = 0; step < rows && step < n; ++step) {
            const int row = (from + step) % n;
            if (wanted(row, m_keys.at(row))) return row;
        }
        return -1;
    }

    // The keys and values of the rows whose `column` has surrounding blanks, read once per
    // opening (a scan of the table) and kept up to date by store() and remove().
    struct BlankValue {
        qint64 key;
        QString value;
    };
    const QList<BlankValue>& valuesWithBlanks(int column) const;

  private:
    struct Block {
        int index = -1;
        QVector<QVariant> cells;  // kBlockRows rows of m_columns.size() cells
    };
    const Block& block(int index) const;
    Block readBlock(int index) const;
    void dropBlocksFrom(int row);

    QString m_connectionName;
    QString m_table;
    QStringList m_columns;  // quoted
    QVector<qint64> m_keys;
    mutable QList<Block> m_blocks;  // the most recently read first
    mutable QHash<int, QList<BlankValue>> m_blanks;
};
