#include "addressbook/AddressPickerModel.h"

#include <algorithm>

void AddressPickerModel::setRows(std::shared_ptr<const AddressEntries> entries, ShownEntries shown,
                                 bool withEmptyEntry) {
    beginResetModel();
    m_entries = std::move(entries);
    m_shown = std::move(shown);
    m_emptyRows = withEmptyEntry ? 1 : 0;
    m_taken = std::min(m_shown.size(), kRowsAtOnce);
    endResetModel();
}

int AddressPickerModel::entryAt(int row) const {
    const int position = row - m_emptyRows;
    return position >= 0 && position < m_taken ? m_shown.at(position) : -1;
}

int AddressPickerModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_emptyRows + m_taken;
}

bool AddressPickerModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && m_taken < m_shown.size();
}

void AddressPickerModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) return;
    const int more = std::min(m_shown.size() - m_taken, kRowsAtOnce);
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + more - 1);
    m_taken += more;
    endInsertRows();
}

QVariant AddressPickerModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    const int entry = entryAt(index.row());
    return entry < 0 ? QString() : m_entries->label(entry);
}
