#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "history/PrintHistory.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;
class HistoryTableModel;

// The window "打印记录": the printed waybills newest first, a search over their texts and a
// date range, and for the selected rows a reprint on the template the main window shows or an
// export as CSV. Not modal; the main window keeps one open at a time.
class TPrintHistoryForm : public QWidget {
    Q_OBJECT
  public:
    // Opens the history file; raises AppError when it cannot be opened.
    explicit TPrintHistoryForm(QWidget* parent,
                               const QString& historyPath = PrintHistory::defaultFilePath());
    ~TPrintHistoryForm() override;

    QLineEdit* edtSearch = nullptr;
    QCheckBox* chkDate = nullptr;
    QDateEdit* dtFrom = nullptr;
    QDateEdit* dtTo = nullptr;
    QPushButton* btnSearch = nullptr;
    QLabel* lblCount = nullptr;
    QTableView* grdHistory = nullptr;
    QPushButton* btnReprint = nullptr;
    QPushButton* btnExport = nullptr;
    QPushButton* btnClose = nullptr;

    HistoryTableModel* model() const { return m_model; }
    // Prints the selected waybills' texts as one job (the main window's template and printer),
    // with messages beside the given window. Without it there is no reprint.
    std::function<void(const QList<WaybillTexts>&, QWidget*)> reprint;
    // Asks where the CSV goes (a file dialog; tests answer it). Empty: the export is cancelled.
    std::function<QString(QWidget*)> askExportPath;

    // The list anew with the search and dates as they stand.
    void btnSearchClick();
    void btnReprintClick();
    void btnExportClick();
    // Writes the entries to `path` as CSV: the selected rows, or every entry the search admits
    // when none is selected.
    void exportTo(const QString& path);

  private:
    void connectHandlers();
    QList<HistoryEntry> selectedEntries() const;
    QList<HistoryEntry> allMatches() const;

    std::unique_ptr<PrintHistory> m_history;
    HistoryTableModel* m_model = nullptr;
    QTimer* m_typingPause = nullptr;
};
