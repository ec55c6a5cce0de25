#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// What an import would do, before anything is written: how many rows are new, how many would
// change an existing customer and how many are refused; the user imports skipping or updating
// the existing customers, or cancels.
class ImportSummaryDialog : public QDialog {
    Q_OBJECT
  public:
    enum Choice { Cancel = 0, SkipExisting, UpdateExisting };

    ImportSummaryDialog(const QString& fileName, int newRows, int changedRows, int refusedRows,
                        QWidget* parent);

    QLabel* lblSummary = nullptr;
    QPushButton* btnSkip = nullptr;
    QPushButton* btnUpdate = nullptr;
    QPushButton* btnCancel = nullptr;
};
