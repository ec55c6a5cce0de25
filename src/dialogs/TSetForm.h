#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class TEXPDPrintForm;
struct WaybillFieldSpec;

// The dialog "设置标签、默认快递单" behind the main window's "设置": which of the ten fields
// the template shown in the main window's courier picker shows, and which courier the program
// opens at start.
//
// It works on the main window it is given, which also owns it (the old program went through a
// program-wide reference to the main window; a reference handed in keeps the dialog testable
// with any main window). The check boxes show the flags stored in the settings file, not the
// fields' present visibility.
//
// Both buttons close the dialog when their work is done; closing it by the title bar saves
// nothing. A failed write leaves it open (the handler guard shows the error).
//
// "保存默认" never stores an empty start courier. The old dialog wrote whatever its list showed,
// and the list shows nothing when the stored start courier names no item (a hand-edited or
// emptied DefaultExpressD); one click on "保存默认" then wrote the empty name, and every later
// start opened no courier at all, showed the fall-back picture and hid the fields. Here the
// button is disabled while the list has no selection and comes alive as soon as the user
// picks a courier; Button2Click itself refuses an empty list as well, writing nothing.
class TSetForm : public QDialog {
    Q_OBJECT
  public:
    explicit TSetForm(TEXPDPrintForm& mainForm);
    ~TSetForm() override;

    // The check box that stands for the named field ("cbb2" -> chk2), or nullptr.
    QCheckBox* checkBoxOf(const QString& fieldName) const;

    QLabel* Label1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QGroupBox* grpFH = nullptr;
    QCheckBox* chk5 = nullptr;
    QCheckBox* chk1 = nullptr;
    QCheckBox* chk2 = nullptr;
    QCheckBox* chk3 = nullptr;
    QCheckBox* chk4 = nullptr;
    QGroupBox* grpSH = nullptr;
    QCheckBox* chk55 = nullptr;
    QCheckBox* chk11 = nullptr;
    QCheckBox* chk22 = nullptr;
    QCheckBox* chk33 = nullptr;
    QCheckBox* chk44 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Button1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QComboBox* cbbNames = nullptr;
    QPushButton* Button2 = nullptr;
    QFrame* Bevel2 = nullptr;

    void FormShow();
    void Button1Click();  // "保存更改"
    void Button2Click();  // "保存默认"

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QGroupBox* buildSide(const char* name, const QString& caption, int left, int top,
                         const char* const (&fieldNames)[5]);

    TEXPDPrintForm& m_main;
};
