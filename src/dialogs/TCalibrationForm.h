#pragma once

#include <QDialog>

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class TEXPDPrintForm;

// The dialog "打印校准" behind the main window's button of that name, for the template shown:
//
// - the print offsets (PrintOffsetX, PrintOffsetY in the template's section, 0.1 mm, signed):
//   two boxes in millimetres with one decimal that the arrow keys step by 0.1 mm; every
//   change is stored at once, like the program's other pickers, and moves the print, never
//   the fields on screen;
// - "打印校准页": the calibration sheet on the template's printer (TEXPDPrintForm::
//   printCalibrationPage);
// - "全部平移": moves every field on screen by the millimetres typed beside it, as one step
//   the main window's undo takes back.
//
// It works on the main window it is given. A failed write is shown by the handler guard and
// the dialog stays open.
class TCalibrationForm : public QDialog {
    Q_OBJECT
  public:
    explicit TCalibrationForm(TEXPDPrintForm& mainForm);

    QLabel* lblCourier = nullptr;
    QDoubleSpinBox* edtOffsetX = nullptr;
    QDoubleSpinBox* edtOffsetY = nullptr;
    QPushButton* btnPrintSheet = nullptr;  // "打印校准页"
    QDoubleSpinBox* edtShiftX = nullptr;
    QDoubleSpinBox* edtShiftY = nullptr;
    QPushButton* btnShiftAll = nullptr;  // "全部平移"
    QPushButton* btnClose = nullptr;

    void edtOffsetChange();
    void btnPrintSheetClick();
    void btnShiftAllClick();

  private:
    TEXPDPrintForm& m_main;
    QString m_courier;
};
