#include "addressbook/AddressGrid.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "addressbook/AddressQuery.h"
#include "platform/HandlerGuard.h"
#include "platform/MessageBoxes.h"

// ---------------------------------------------------------------------------------------------
// AddressGridModel

AddressGridModel::AddressGridModel(AddressQuery& query, QObject* parent)
    : QAbstractTableModel(parent), m_query(query) {
    connect(&query, &AddressQuery::aboutToReset, this, [this] { beginResetModel(); });
    connect(&query, &AddressQuery::resetDone, this, [this] { endResetModel(); });
    connect(&query, &AddressQuery::rowAboutToBeInserted, this,
            [this](int row) { beginInsertRows(QModelIndex(), row, row); });
    connect(&query, &AddressQuery::rowInserted, this, [this](int) { endInsertRows(); });
    connect(&query, &AddressQuery::rowAboutToBeRemoved, this,
            [this](int row) { beginRemoveRows(QModelIndex(), row, row); });
    connect(&query, &AddressQuery::rowRemoved, this, [this](int) { endRemoveRows(); });
    connect(&query, &AddressQuery::rowUpdated, this, [this](int row) {
        if (row < 0 || row >= rowCount()) return;
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        emit headerDataChanged(Qt::Vertical, row, row);
    });
    connect(&query, &AddressQuery::currentRowChanged, this, [this](int previous, int current) {
        const int rows = rowCount();
        if (previous >= 0 && previous < rows)
            emit headerDataChanged(Qt::Vertical, previous, previous);
        if (current >= 0 && current < rows) emit headerDataChanged(Qt::Vertical, current, current);
    });
}

int AddressGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_query.isOpen() ? 0 : m_query.recordCount();
}

int AddressGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_query.isOpen() ? 0 : int(m_query.columnNames().size());
}

QVariant AddressGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return QVariant();
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        const QVariant v = m_query.valueAt(index.row(), index.column());
        return v.isNull() ? QString() : v.toString();
    }
    return QVariant();
}

QVariant AddressGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal) {
        const QStringList names = m_query.columnNames();
        return section >= 0 && section < names.size() ? names.at(section) : QVariant();
    }
    QString marker = QStringLiteral("  ");
    if (m_query.isPendingRow(section))
        marker = QStringLiteral("* ");
    else if (section == m_query.currentRow())
        marker = QStringLiteral("▶ ");
    return marker + QString::number(section + 1);
}

Qt::ItemFlags AddressGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

// ---------------------------------------------------------------------------------------------
// AddressGrid

AddressGrid::AddressGrid(AddressQuery& query, QWidget* parent) : QTableView(parent) {
    // While the row set changes its rows, the view's own moves of the current index (a removed
    // row, a reset) must not move the row set; afterwards the view follows the row set. The
    // "begin" slots are connected before the model's and the "end" slots after them, so that
    // they enclose everything the model and the selection model do.
    auto beginStructural = [this] { ++m_structural; };
    auto endStructural = [this] {
        --m_structural;
        followQuery();
    };
    connect(&query, &AddressQuery::aboutToReset, this, beginStructural);
    connect(&query, &AddressQuery::rowAboutToBeInserted, this, beginStructural);
    connect(&query, &AddressQuery::rowAboutToBeRemoved, this, beginStructural);
    m_model = new AddressGridModel(query, this);
    connect(&query, &AddressQuery::resetDone, this, endStructural);
    connect(&query, &AddressQuery::rowInserted, this, endStructural);
    connect(&query, &AddressQuery::rowRemoved, this, endStructural);
    connect(&query, &AddressQuery::currentRowChanged, this, [this] {
        if (m_structural == 0) followQuery();
    });

    setModel(m_model);
    setItemDelegate(new AddressGridDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    setWordWrap(false);
    setSortingEnabled(false);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    // Rows of one fixed height: the view never measures thirty thousand rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setHighlightSections(false);
}

int AddressGrid::widthForCharacters(int characters) const {
    return characters * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 8;
}

void AddressGrid::followQuery() {
    if (m_following) return;
    m_following = true;
    const int row = query().currentRow();
    if (row >= 0 && row < m_model->rowCount()) {
        const int columns = m_model->columnCount();
        int column = currentIndex().isValid() ? currentIndex().column() : -1;
        if (column < 0 || column >= columns || isColumnHidden(column)) {
            column = 0;
            while (column < columns - 1 && isColumnHidden(column)) ++column;
        }
        const QModelIndex target = m_model->index(row, column);
        selectionModel()->setCurrentIndex(
            target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(target);
    } else {
        selectionModel()->clearSelection();
    }
    // The indicator width follows the number of rows.
    const int digits = QString::number(qMax(1, m_model->rowCount())).size();
    verticalHeader()->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("▶ ")) +
                                    fontMetrics().horizontalAdvance(QLatin1Char('0')) * digits +
                                    10);
    m_following = false;
}

void AddressGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (m_following || m_structural > 0 || !current.isValid()) return;
    if (current.row() == query().currentRow()) return;
    const int row = current.row();
    runGuarded([&] { query().setCurrentRow(row); });
    // A pending row that could not be stored keeps the row set where it was.
    if (query().currentRow() != row) followQuery();
}

bool AddressGrid::findNext(const QString& text) {
    if (text.isEmpty() || !query().isOpen() || query().recordCount() == 0) return false;
    QList<int> visible;
    for (int c = 0; c < int(query().columnNames().size()); ++c)
        if (!isColumnHidden(c)) visible << c;
    const int row = query().findContaining(text, visible, query().currentRow());
    if (row < 0) return false;
    query().setCurrentRow(row);
    return query().currentRow() == row;
}

void AddressGrid::showFindDialog() {
    if (!m_findDialog) m_findDialog = new GridFindDialog(this);
    m_findDialog->show();
    m_findDialog->raise();
    m_findDialog->activateWindow();
}

void AddressGrid::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Find)) {
        showFindDialog();
        return;
    }
    QTableView::keyPressEvent(event);
}

// ---------------------------------------------------------------------------------------------
// GridFindDialog

GridFindDialog::GridFindDialog(AddressGrid* grid) : QDialog(grid->window()), m_grid(grid) {
    setObjectName(QStringLiteral("GridFindDialog"));
    setWindowTitle(QStringLiteral("查找"));
    setModal(false);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("查找内容："), this));
    edtFind = new QLineEdit(this);
    edtFind->setObjectName(QStringLiteral("edtFind"));
    layout->addWidget(edtFind);
    btnFindNext = new QPushButton(QStringLiteral("查找下一个"), this);
    btnFindNext->setObjectName(QStringLiteral("btnFindNext"));
    btnFindNext->setDefault(true);
    layout->addWidget(btnFindNext);
    connect(btnFindNext, &QPushButton::clicked, this,
            [this] { runGuarded([this] { btnFindNextClick(); }); });
}

void GridFindDialog::btnFindNextClick() {
    const QString text = edtFind->text();
    if (text.isEmpty()) return;
    if (!m_grid->findNext(text))
        MessageBoxes::information(QStringLiteral("找不到“%1”。").arg(text), this);
}

// ---------------------------------------------------------------------------------------------
// AddressGridDelegate

AddressGridDelegate::AddressGridDelegate(AddressGrid* grid)
    : QStyledItemDelegate(grid), m_grid(grid) {}

void AddressGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const auto& hook = m_grid->drawCellHook();
    if (hook && hook(painter, option, index)) return;
    QStyledItemDelegate::paint(painter, option, index);
}
