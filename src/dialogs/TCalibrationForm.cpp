#include "dialogs/TCalibrationForm.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "app/TEXPDPrintForm.h"
#include "platform/AppEnvironment.h"
#include "platform/HandlerGuard.h"
#include "template/ProfileFile.h"
#include "waybill/TemplateSetFile.h"

namespace {
// Millimetres with one decimal, stepped by 0.1 mm with the arrow keys.
QDoubleSpinBox* millimetreBox(QWidget* parent, const char* name, double limit) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setDecimals(1);
    box->setSingleStep(0.1);
    box->setRange(-limit, limit);
    box->setSuffix(QStringLiteral(" 毫米"));
    box->setKeyboardTracking(false);
    return box;
}

int tenthsOf(double millimetres) {
    return int(std::lround(millimetres * 10));
}
}  // namespace

TCalibrationForm::TCalibrationForm(TEXPDPrintForm& mainForm)
    : QDialog(&mainForm), m_main(mainForm), m_courier(mainForm.currentTemplate()) {
    setObjectName(QStringLiteral("CalibrationForm"));
    setWindowTitle(QStringLiteral("打印校准"));

    lblCourier = new QLabel(QStringLiteral("快递单：%1").arg(m_courier), this);
    lblCourier->setObjectName(QStringLiteral("lblCourier"));

    auto* offsets = new QGroupBox(QStringLiteral("打印偏移（正值向右、向下）"), this);
    edtOffsetX = millimetreBox(offsets, "edtOffsetX", 99.9);
    edtOffsetY = millimetreBox(offsets, "edtOffsetY", 99.9);
    WaybillTemplate stored;
    stored.courier = m_courier;
    readPrintOffsets(ProfileFile(AppEnvironment::settingsFilePath()), stored);
    edtOffsetX->setValue(stored.printOffsetX / 10.0);
    edtOffsetY->setValue(stored.printOffsetY / 10.0);
    btnPrintSheet = new QPushButton(QStringLiteral("打印校准页"), offsets);
    btnPrintSheet->setObjectName(QStringLiteral("btnPrintSheet"));
    btnPrintSheet->setToolTip(
        QStringLiteral("在白纸上打印快递单图片、各标签内容和毫米刻度，与实际快递单对照"));
    auto* offsetRows = new QFormLayout(offsets);
    offsetRows->addRow(QStringLiteral("横向"), edtOffsetX);
    offsetRows->addRow(QStringLiteral("纵向"), edtOffsetY);
    offsetRows->addRow(btnPrintSheet);

    auto* shift = new QGroupBox(QStringLiteral("全部标签在屏幕上平移"), this);
    edtShiftX = millimetreBox(shift, "edtShiftX", 99.9);
    edtShiftY = millimetreBox(shift, "edtShiftY", 99.9);
    btnShiftAll = new QPushButton(QStringLiteral("全部平移"), shift);
    btnShiftAll->setObjectName(QStringLiteral("btnShiftAll"));
    auto* shiftRows = new QFormLayout(shift);
    shiftRows->addRow(QStringLiteral("横向"), edtShiftX);
    shiftRows->addRow(QStringLiteral("纵向"), edtShiftY);
    shiftRows->addRow(btnShiftAll);

    btnClose = new QPushButton(QStringLiteral("关闭"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setAutoDefault(false);
    btnPrintSheet->setAutoDefault(false);
    btnShiftAll->setAutoDefault(false);

    auto* column = new QVBoxLayout(this);
    column->addWidget(lblCourier);
    column->addWidget(offsets);
    column->addWidget(shift);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnClose);
    column->addLayout(buttons);

    for (QDoubleSpinBox* box : {edtOffsetX, edtOffsetY})
        connect(box, &QDoubleSpinBox::valueChanged, this,
                guarded(this, &TCalibrationForm::edtOffsetChange));
    connect(btnPrintSheet, &QPushButton::clicked, this,
            guarded(this, &TCalibrationForm::btnPrintSheetClick));
    connect(btnShiftAll, &QPushButton::clicked, this,
            guarded(this, &TCalibrationForm::btnShiftAllClick));
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
}

void TCalibrationForm::edtOffsetChange() {
    ProfileFile ini(AppEnvironment::settingsFilePath());
    writePrintOffsets(ini, m_courier, tenthsOf(edtOffsetX->value()), tenthsOf(edtOffsetY->value()));
}

void TCalibrationForm::btnPrintSheetClick() {
    m_main.printCalibrationPage(this);
}

void TCalibrationForm::btnShiftAllClick() {
    m_main.shiftAllFields(edtShiftX->value(), edtShiftY->value());
}
