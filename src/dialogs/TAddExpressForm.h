#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TEXPDPrintForm;

// The dialog "添加快递单" behind the main window's button of that name: a new courier's display
// name, its form picture (JPEG or PNG) and the form's size in millimetres. "确定" checks all
// three and has the main window add the courier; anything refused is named to the user and the
// dialog stays open with the offending entry focused. "取消" or the title bar add nothing.
class TAddExpressForm : public QDialog {
    Q_OBJECT
  public:
    explicit TAddExpressForm(TEXPDPrintForm& mainForm);
    ~TAddExpressForm() override;

    QLineEdit* edtName = nullptr;
    QLineEdit* edtPicture = nullptr;
    QPushButton* btnBrowse = nullptr;
    QLineEdit* edtLong = nullptr;
    QLineEdit* edtWide = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    void btnBrowseClick();
    void btnOkClick();

  private:
    // The whole number of millimetres in `edit`, or the user's error naming `what`.
    int millimetresOf(QLineEdit* edit, const QString& what) const;

    TEXPDPrintForm& m_main;
};
