#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVector>

#include "addressbook/AddressRowPages.h"
#include "platform/AppError.h"

class QSqlDatabase;

// A change the table refused because of another writer: the name is taken (the shared book
// keeps customer names unique) or the row being changed has been deleted meanwhile.
class RowConflict : public AppError {
  public:
    enum class Kind { NameTaken, RowGone };
    RowConflict(Kind kind, const QString& text) : AppError(text), m_kind(kind) {}
    Kind kind() const { return m_kind; }

  private:
    Kind m_kind;
};

// A query object with its row set, as the address book uses it (ADOQuery1, ADOQuery2): a statement,
// open and close, a current row, reading columns by name, and, for a "Select * from <table>"
// statement, changes written back to that table through a pending row (append, edit, post, cancel,
// delete), plus locate and lookup.
//
// Opening reads the whole result once into memory (one statement, no per-row queries), like a
// client-side cursor. A row set that fetches on demand (the editor's, over a table of perhaps a
// million customers) instead reads only the row keys of a "Select * from <table>" statement,
// in its order, and the whole rows by key as they are read (AddressRowPages); locate, lookup
// and find then ask the table by statement and map the keys found to positions. A change is
// written with one bound statement (INSERT, UPDATE or DELETE by the row key, the first
// column) and applied to the rows in memory, so the row order of the statement stays as it was:
// an appended row stands at the end until the next opening.
class AddressQuery : public QObject {
    Q_OBJECT
  public:
    enum class State { Inactive, Browse, Insert, Edit };

    explicit AddressQuery(const QString& objectName, QObject* parent = nullptr);

    // The Qt SQL connection the statements run on.
    void setConnectionName(const QString& name) { m_connectionName = name; }
    QString connectionName() const { return m_connectionName; }
    // Whether a "Select * from <table>" statement keeps only its row keys (see above). Takes
    // effect at the next opening.
    void setFetchOnDemand(bool onDemand) { m_fetchOnDemand = onDemand; }

    // The statement: its text and the values bound to its "?" placeholders.
    void clearSql();
    void setSql(const QString& sql, const QVariantList& boundValues = {});
    QString sql() const { return m_sql; }

    // Runs the statement and reads its rows; on failure throws AppError with the engine's text
    // and stays closed. Positions on the first row, if there is one.
    void open();
    // Closes the row set; a pending row is dropped. Harmless when already closed.
    void close();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }

    int recordCount() const { return m_rowCount; }
    bool isEmpty() const { return m_rowCount == 0; }
    QStringList columnNames() const { return m_columns; }
    int columnIndex(const QString& column) const;  // -1 when there is no such column

    // Navigation. A pending row is stored first, as the old data sets did.
    int currentRow() const { return m_current; }
    void setCurrentRow(int row);
    void first();
    void next();
    bool eof() const { return m_eof; }

    // Reading the current row (the pending values while a row is pending). A missing value,
    // a missing column or no current row read as the empty text / an invalid QVariant.
    QVariant value(const QString& column) const;
    QString text(const QString& column) const;
    // Reading any row, as the grid does.
    QVariant valueAt(int row, int column) const;
    bool isPendingRow(int row) const;

    // Changing. append() adds a pending row at the end and makes it current; edit() makes the
    // current row pending (or appends, when there are no rows); setText() sets a column of the
    // pending row; post() stores it (throws AppError when the database refuses, RowConflict
    // when another writer is in the way, and the row stays pending); cancel() drops it;
    // remove() deletes the current row.
    void append();
    void edit();
    void setText(const QString& column, const QString& text);
    void post();
    void cancel();
    void remove();

    // How locate and lookup compare a column with the text sought.
    enum class Match { Exact, IgnoringSurroundingBlanks };

    // Makes the first row whose `column` equals `text` current; false (and no move) if none.
    bool locate(const QString& column, const QString& text, Match match = Match::Exact);
    // The value of `resultColumn` in the first row whose `keyColumn` equals `text`, without
    // moving; an invalid QVariant if none.
    QVariant lookup(const QString& keyColumn, const QString& text, const QString& resultColumn,
                    Match match = Match::Exact) const;
    // The first row after `after`, wrapping round (the row itself last), with a value among
    // `columns` that contains `text` without regard to case; -1 if none. Case is ignored as the
    // database ignores it for a row set that fetches on demand (SQLite: the letters A to Z).
    int findContaining(const QString& text, const QList<int>& columns, int after) const;

  signals:
    // The data source's change notification: opened, current row changed, a row appended, a
    // column of the pending row set, a row stored, cancelled or deleted.
    void dataChange();
    // For views over the rows.
    void aboutToReset();
    void resetDone();
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowUpdated(int row);
    void currentRowChanged(int previous, int current);
    // A row was stored in or deleted from the table.
    void rowsWritten();

  private:
    using Row = QVector<QVariant>;

    // The stored value of a row (not the pending one).
    QVariant cell(int row, int column) const;
    Row rowValues(int row) const;
    void setRowValues(int row, const Row& values);
    void insertEmptyRow(int row);
    void removeRowAt(int row);
    void checkBrowseMode();
    void moveTo(int row, bool notify = true);
    void openWhole(QSqlDatabase& db);
    void openPaged(QSqlDatabase& db);
    int findRow(int column, const QString& text, Match match) const;
    int findPagedRow(int column, const QString& text, Match match) const;
    bool rowContains(int row, const QString& text, const QList<int>& columns) const;
    int findPagedContaining(const QString& text, const QList<int>& columns, int after) const;
    QString tableName() const;
    QString quotedTable() const;
    // Back to browsing: drops the pending values; returns the row that was being edited.
    int leaveEditing();
    void dropPendingInsert();

    QString m_connectionName;
    QString m_sql;
    QVariantList m_bound;
    State m_state = State::Inactive;
    QStringList m_columns;
    int m_width = 0;  // number of columns
    int m_rowCount = 0;
    bool m_fetchOnDemand = false;
    bool m_paged = false;  // the open row set holds its keys only
    // The cells of a whole row set, row after row: one allocation instead of one per row.
    QVector<QVariant> m_cells;
    AddressRowPages m_pages;
    int m_current = -1;
    bool m_eof = true;

    Row m_pending;               // values of the pending row (Insert or Edit)
    QVector<bool> m_pendingSet;  // which columns setText() touched
    int m_pendingRow = -1;
    int m_currentBeforeInsert = -1;
};
