#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "batch/ColumnMapping.h"
#include "batch/OrderList.h"
#include "waybill/WaybillTemplate.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class OrderWaybills;
class TEXPDPrintForm;
struct TPagesPrinted;

// "批量打印": an order list printed as one job on the template shown on the main window. The
// user opens a CSV file or an Excel workbook, checks the encoding and the header row, chooses
// for each field the column that fills it (guessed and remembered as ColumnMapping describes;
// a choice is remembered when the list is printed), optionally takes the five sender fields
// from an address-book sender, and selects rows (all at first). Rows that lack the
// recipient's name or address are shown in red and skipped. "打印" prints the selected rows as
// one job with a progress bar and "取消"; "预览" shows the first of them in the preview
// window. After a cancel or a printer error the dialog says which rows were printed and offers
// to go on from the first row not printed.
class BatchPrintDialog : public QDialog {
    Q_OBJECT
  public:
    // The template, its printer and the preview's printer controls are the main window's.
    explicit BatchPrintDialog(TEXPDPrintForm* mainForm);
    ~BatchPrintDialog() override;

    // Asks for the list to open; a file dialog unless a test replaces it.
    std::function<QString(QWidget* parent)> chooseFile;

    // Reads the list (as "打开" does once a file is chosen); an unreadable file is reported.
    void openList(const QString& path);
    const OrderList& list() const { return m_list; }
    ColumnMapping mapping() const;
    // The selected rows (indexes into list().rows), in list order.
    QList<int> selectedRows() const;

    QPushButton* btnOpen = nullptr;
    QLabel* lblFile = nullptr;
    QComboBox* cbbEncoding = nullptr;  // 自动识别, UTF-8, GBK
    QCheckBox* chkHeader = nullptr;    // 首行为标题
    QList<QComboBox*> fieldColumns;    // one per field, in waybillFieldSpecs() order
    QComboBox* cbbSender = nullptr;    // （按列） then the address book's senders
    QTableWidget* tblRows = nullptr;
    QLabel* lblCount = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* btnPrint = nullptr;    // 打印
    QPushButton* btnPreview = nullptr;  // 预览
    QPushButton* btnCancel = nullptr;   // 取消 (while printing)
    QPushButton* btnClose = nullptr;    // 关闭

    // While a job runs, closing (or Esc) cancels it instead.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void btnOpenClick();
    void reload();
    void fillTable();
    void fillColumnChoices();
    void mappingChanged();
    void senderChanged();
    void markRows();
    void countRows();
    void btnPrintClick();
    void btnPreviewClick();
    void printRows(const QList<int>& rows);
    void reportOutcome(const OrderWaybills& waybills, const TPagesPrinted& printed);
    void setPrinting(bool printing);
    WaybillTemplate layoutToPrint() const;
    WaybillTexts senderTexts() const;

    TEXPDPrintForm* m_mainForm;
    QString m_path;
    OrderList m_list;
    bool m_printing = false;
    bool m_cancelRequested = false;
    bool m_filling = false;
};
