#pragma once

#include <QAbstractListModel>
#include <memory>
#include <vector>

#include "addressbook/AddressEntries.h"

// A picker's rows: entry indexes into the side's entries (-1 for the empty top entry), their
// labels made only when a row is shown. Showing sixty thousand matches is one model reset.
class AddressPickerModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;

    void setRows(std::shared_ptr<const AddressEntries> entries, std::vector<int> rows);
    // The entry shown in `row`: -1 for the empty entry or a row that does not exist.
    int entryAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    std::shared_ptr<const AddressEntries> m_entries = std::make_shared<AddressEntries>();
    std::vector<int> m_rows;
};
