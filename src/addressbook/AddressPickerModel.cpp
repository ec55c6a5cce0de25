#include "addressbook/AddressPickerModel.h"

void AddressPickerModel::setRows(std::shared_ptr<const AddressEntries> entries,
                                 std::vector<int> rows) {
    beginResetModel();
    m_entries = std::move(entries);
    m_rows = std::move(rows);
    endResetModel();
}

int AddressPickerModel::entryAt(int row) const {
    return row >= 0 && size_t(row) < m_rows.size() ? m_rows[size_t(row)] : -1;
}

int AddressPickerModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant AddressPickerModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    const int entry = entryAt(index.row());
    return entry < 0 ? QString() : m_entries->label(entry);
}
