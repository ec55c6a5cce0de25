#pragma once

#include <QAbstractListModel>
#include <memory>

#include "addressbook/AddressEntries.h"
#include "addressbook/AddressSearch.h"

// A picker's rows: an empty top entry (when asked for), then the shown entries of the side's
// entries, their labels made only when a row is shown. Showing a million matches is one model
// reset, with nothing copied. A list lays out every row it has, so a very long one holds the
// first rows and takes more as it is scrolled to its end (Qt's fetchMore).
class AddressPickerModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;

    void setRows(std::shared_ptr<const AddressEntries> entries, ShownEntries shown,
                 bool withEmptyEntry);
    // The entry shown in `row`: -1 for the empty entry or a row that does not exist.
    int entryAt(int row) const;

    // How many entries the rows show, once all are taken.
    int entryCount() const { return m_shown.size(); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // The entries a list takes at a time.
    static constexpr int kRowsAtOnce = 50000;

  private:
    std::shared_ptr<const AddressEntries> m_entries = std::make_shared<AddressEntries>();
    ShownEntries m_shown;
    int m_emptyRows = 0;
    int m_taken = 0;  // the entries the rows show so far
};
