#include "history/HistoryTableModel.h"

namespace {

struct Column {
    const char* header;  // UTF-8
    const char* field;   // the field's name, or null for the job's own columns
};

// Recipient first: that is what a user looks a waybill up by.
const Column kColumns[] = {
    {"时间", nullptr},     {"快递", nullptr},     {"打印机", nullptr},  {"收货人", "cbb11"},
    {"收货电话", "cbb44"}, {"收货地址", "cbb33"}, {"目的地", "cbb22"},  {"收货单位", "cbb55"},
    {"发货人", "cbb1"},    {"发货电话", "cbb4"},  {"发货地址", "cbb3"}, {"始发地", "cbb2"},
    {"发货单位", "cbb5"},  {"来源", nullptr},     {"批次", nullptr},
};
constexpr int kColumnCount = int(std::size(kColumns));

QString jobText(const HistoryEntry& entry) {
    if (entry.jobPages <= 1) return QString::number(entry.job);
    return QStringLiteral("%1 (%2/%3)").arg(entry.job).arg(entry.page).arg(entry.jobPages);
}

}  // namespace

HistoryTableModel::HistoryTableModel(const PrintHistory& history, QObject* parent)
    : QAbstractTableModel(parent), m_history(history) {}

QStringList HistoryTableModel::headers() {
    QStringList result;
    for (const Column& column : kColumns) result << QString::fromUtf8(column.header);
    return result;
}

QString HistoryTableModel::cell(const HistoryEntry& entry, int column) {
    if (column < 0 || column >= kColumnCount) return {};
    if (kColumns[column].field)
        return entry.texts.value(QString::fromLatin1(kColumns[column].field));
    switch (column) {
        case 0:
            return entry.printedAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        case 1:
            return entry.courier;
        case 2:
            return entry.printer;
        case kColumnCount - 2:
            return entry.origin;
        default:
            return jobText(entry);
    }
}

QStringList HistoryTableModel::cells(const HistoryEntry& entry) {
    QStringList result;
    for (int column = 0; column < kColumnCount; ++column) result << cell(entry, column);
    return result;
}

void HistoryTableModel::setFilter(const HistoryFilter& filter) {
    beginResetModel();
    m_filter = filter;
    m_rows = m_history.entries(filter, kPageRows);
    // A first page that is not full holds every match; only a longer list needs counting.
    m_matches = m_rows.size() < kPageRows ? int(m_rows.size()) : m_history.count(filter);
    endResetModel();
}

int HistoryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int HistoryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant HistoryTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size()) return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    return cell(m_rows[index.row()], index.column());
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return section < kColumnCount ? QString::fromUtf8(kColumns[section].header) : QVariant();
}

bool HistoryTableModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && m_rows.size() < m_matches;
}

void HistoryTableModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) return;
    const HistoryCursor after{m_rows.last().printedAt.toMSecsSinceEpoch(), m_rows.last().id};
    const QList<HistoryEntry> more = m_history.entries(m_filter, kPageRows, &after);
    if (more.isEmpty()) {
        // The count was taken when the filter was set: never promise rows that cannot come.
        m_matches = int(m_rows.size());
        return;
    }
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + more.size() - 1));
    m_rows += more;
    endInsertRows();
}
