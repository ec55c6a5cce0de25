#pragma once

#include <QDialog>

class AddressBook;
class AddressGrid;
class AddressPickers;
class AddressQuery;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPainter;
class QPushButton;
class QStatusBar;
class QStyleOptionViewItem;
class QTabBar;

// The address-book editor ("发货人、客户添加与编辑"): a modal dialog in which the
// user adds, changes and deletes senders (tab 0) and customers (tab 1). The grid DBGrid2 shows
// the main window's row set ADOQuery2; five edit boxes show its current row and take the values
// for adding or changing. Closing refills the main window's pickers.
class TCusAddForm : public QDialog {
    Q_OBJECT
  public:
    // `pickers` may be null (then closing refills nothing).
    TCusAddForm(AddressBook& book, AddressPickers* pickers, QWidget* owner);
    ~TCusAddForm() override;

    // The main window's Button2Click: create the dialog owned by `owner`, show it modally, and
    // destroy it after it has closed. CusAddForm refers to it meanwhile.
    static void Button2Click(AddressBook& book, AddressPickers* pickers, QWidget* owner);

    // The handlers, under their design names.
    void FormShow();
    void TabControl1Change();
    void btnEditSendClick();
    void btnEditGetClick();
    void SetupGridColumns(AddressGrid* grid);
    void DataSource1DataChange();
    void btnEmptyClick();
    void BtnKHAddClick();
    void BtnKHEditClick();
    void BtnKHDeleClick();
    // "导入" and "导出": the table of the tab shown, from and to a CSV file the user chooses.
    void btnImportClick();
    void btnExportClick();
    // "初始化共享通讯录", shown only when the settings name a shared book: makes its tables on
    // the server, or says that they are there already.
    void btnInitSharedClick();
    // `key` is the typed character; a carriage return is swallowed (set to 0) and moves the
    // focus on, as Tab would.
    void EdtKHNameKeyPress(QObject* sender, QChar& key);
    bool DBGrid2DrawColumnCell(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index);
    void FormCloseQuery(bool& canClose);
    void FormClose();

    // Customer mode: edtPrompt holds "收货人".
    bool customerMode() const;
    // The busy flag, the Tag of BtnKHAdd: 1 while an add or change is under way.
    int busyFlag() const { return m_busy; }

    // The colour the selected row is painted on: the window system's gradient-active-caption
    // colour (system colour 27), as Windows gives it by default.
    static const QColor kSelectedRowColor;

    // Controls, named as in the design.
    QLabel* Image1 = nullptr;
    QLineEdit* edtPrompt = nullptr;
    QPushButton* btnEditSend = nullptr;
    QPushButton* btnEditGet = nullptr;
    QTabBar* TabControl1 = nullptr;
    AddressGrid* DBGrid2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label37 = nullptr;
    QLabel* Label38 = nullptr;
    QLineEdit* EdtKHName = nullptr;
    QLineEdit* edtTel = nullptr;
    QLineEdit* edtAddress = nullptr;
    QLineEdit* edtSHR = nullptr;
    QLineEdit* edtMDD = nullptr;
    QPushButton* btnEmpty = nullptr;
    QPushButton* BtnKHAdd = nullptr;
    QPushButton* BtnKHEdit = nullptr;
    QPushButton* BtnKHDele = nullptr;
    QPushButton* btnImport = nullptr;
    QPushButton* btnExport = nullptr;
    QPushButton* btnInitShared = nullptr;
    QStatusBar* StatusBar1 = nullptr;

  public slots:
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The checks before "添加" and "修改" store a row: a name typed (a customer's 名称; a
    // sender's company or, for a private sender, the person) and the row set open. Says what is
    // missing and gives nothing, or gives the row set.
    AddressQuery* queryReadyToStore(bool focusNameWhenEmpty);
    // Stores the pending row; when another writer is in the way, tells the user, shows the
    // table as it is now and gives false.
    bool postOrShowConflict(AddressQuery& query);
    void buildLayout();
    void setMode(bool customers);
    void writeEditBoxes(AddressQuery& query);
    bool hasName() const;

    AddressBook& m_book;
    AddressPickers* m_pickers;
    int m_busy = 0;
    bool m_shown = false;
};

// The dialog while it is open, null otherwise.
extern TCusAddForm* CusAddForm;
