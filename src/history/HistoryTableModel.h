#pragma once

#include <QAbstractTableModel>
#include <QList>

#include "history/PrintHistory.h"

// The history as a table, newest first, for the window "打印记录". Only what has been scrolled
// to is read: the first rows when the filter is set, then a page at a time as the view asks for
// more (fetchMore), each page a seek past the last row read, so opening and scrolling cost the
// same however long the history is.
class HistoryTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int kPageRows = 200;

    explicit HistoryTableModel(const PrintHistory& history, QObject* parent = nullptr);

    // Lists the entries the filter admits, from the newest; counts them all.
    void setFilter(const HistoryFilter& filter);
    const HistoryFilter& filter() const { return m_filter; }
    int matchCount() const { return m_matches; }
    const HistoryEntry& entry(int row) const { return m_rows[row]; }

    // Column headers, and the texts of an entry in the same order (the CSV export uses both).
    static QStringList headers();
    static QStringList cells(const HistoryEntry& entry);
    static QString cell(const HistoryEntry& entry, int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent = {}) const override;
    void fetchMore(const QModelIndex& parent = {}) override;

  private:
    const PrintHistory& m_history;
    HistoryFilter m_filter;
    QList<HistoryEntry> m_rows;
    int m_matches = 0;
};
