#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>

class AddressQuery;
class QLineEdit;
class QPushButton;

// The rows of an AddressQuery as a read-only table: columns titled with the column names, and
// a row indicator with the row number, a pointer at the current row and a star at a pending new
// row. It follows the row set's notifications row by row, so storing or deleting one row of
// thirty thousand touches one row of the view.
class AddressGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit AddressGridModel(AddressQuery& query, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    AddressQuery& query() const { return m_query; }

  private:
    AddressQuery& m_query;
};

// The data-aware grid of the address-book editor: read-only, whole-row
// selection, column titles, the row indicator with row numbers, movable and resizable columns,
// a cell-painting hook, and a find function of its own (Ctrl+F, or findNext()). The row the
// user selects becomes the row set's current row, and the row set's current row is the grid's.
class AddressGrid : public QTableView {
    Q_OBJECT
  public:
    // Return true when the hook painted the cell itself.
    using DrawCellHook =
        std::function<bool(QPainter*, const QStyleOptionViewItem&, const QModelIndex&)>;

    explicit AddressGrid(AddressQuery& query, QWidget* parent = nullptr);

    AddressGridModel* gridModel() const { return m_model; }
    AddressQuery& query() const { return m_model->query(); }
    void setDrawCellHook(DrawCellHook hook) { m_drawCell = std::move(hook); }
    const DrawCellHook& drawCellHook() const { return m_drawCell; }

    // The width of `characters` digits in the grid's font, as a column's display width.
    int widthForCharacters(int characters) const;

    // Finds the next row, after the current one and wrapping round, with a visible cell that
    // contains `text` (without regard to case), and makes it current. False when there is none.
    bool findNext(const QString& text);
    // Opens the find dialog (also on Ctrl+F).
    void showFindDialog();
    QDialog* findDialog() const { return m_findDialog; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

  private:
    void followQuery();

    AddressGridModel* m_model = nullptr;
    DrawCellHook m_drawCell;
    bool m_following = false;  // the view is being moved to the row set's row
    int m_structural = 0;      // the row set is changing its rows
    QDialog* m_findDialog = nullptr;
};

// The grid's find dialog: a text and "查找下一个"; not modal, so the grid stays usable.
class GridFindDialog : public QDialog {
    Q_OBJECT
  public:
    explicit GridFindDialog(AddressGrid* grid);
    QLineEdit* edtFind = nullptr;
    QPushButton* btnFindNext = nullptr;

  private:
    void btnFindNextClick();
    AddressGrid* m_grid;
};

// Paints through the grid's hook, or as usual.
class AddressGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit AddressGridDelegate(AddressGrid* grid);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    AddressGrid* m_grid;
};
