#include "dialogs/TAddExpressForm.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "app/TEXPDPrintForm.h"
#include "layout/CourierPictures.h"
#include "layout/WaybillSizeLimits.h"
#include "platform/AppError.h"
#include "platform/HandlerGuard.h"
#include "platform/MessageBoxes.h"
#include "platform/WholeNumber.h"
#include "template/AddedCouriers.h"

namespace {
QLineEdit* millimetreEdit(const char* name, const QString& text, QWidget* parent) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(3);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

// Refusals name the entry at fault, which takes the focus for the correction.
[[noreturn]] void refuse(QWidget* entry, const QString& text) {
    entry->setFocus();
    throw AppError(text);
}
}  // namespace

TAddExpressForm::TAddExpressForm(TEXPDPrintForm& mainForm) : QDialog(&mainForm), m_main(mainForm) {
    setObjectName(QStringLiteral("AddExpressForm"));
    setWindowTitle(QStringLiteral("添加快递单"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    QFont dialogFont(QStringLiteral("Tahoma"));
    dialogFont.setPixelSize(11);
    setFont(dialogFont);

    edtName = new QLineEdit(this);
    edtName->setObjectName(QStringLiteral("edtName"));
    edtName->setToolTip(QStringLiteral("快递单名称，也是图片文件名"));
    edtPicture = new QLineEdit(this);
    edtPicture->setObjectName(QStringLiteral("edtPicture"));
    edtPicture->setMinimumWidth(260);
    edtPicture->setToolTip(QStringLiteral("快递单图片（JPEG 或 PNG），按实际尺寸扫描"));
    btnBrowse = new QPushButton(QStringLiteral("浏览..."), this);
    btnBrowse->setObjectName(QStringLiteral("btnBrowse"));
    edtLong = millimetreEdit("edtLong", QStringLiteral("128"), this);
    edtWide = millimetreEdit("edtWide", QStringLiteral("230"), this);
    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    // Enter in an edit must not add a half-filled courier; only a click or Space on "确定" does.
    btnOk->setAutoDefault(false);
    btnCancel->setAutoDefault(false);
    btnBrowse->setAutoDefault(false);

    auto* pictureRow = new QHBoxLayout;
    pictureRow->addWidget(edtPicture, 1);
    pictureRow->addWidget(btnBrowse);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("名称"), edtName);
    form->addRow(QStringLiteral("图片"), pictureRow);
    form->addRow(QStringLiteral("高（毫米）"), edtLong);
    form->addRow(QStringLiteral("宽（毫米）"), edtWide);
    form->addRow(buttons);
    setFixedSize(sizeHint());

    connect(btnBrowse, &QPushButton::clicked, this,
            guarded(this, &TAddExpressForm::btnBrowseClick));
    connect(btnOk, &QPushButton::clicked, this, guarded(this, &TAddExpressForm::btnOkClick));
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TAddExpressForm::~TAddExpressForm() = default;

void TAddExpressForm::btnBrowseClick() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("选择快递单图片"), edtPicture->text(),
                                     QStringLiteral("图片 (*.jpg *.jpeg *.png);;所有文件 (*)"));
    if (!path.isEmpty()) edtPicture->setText(path);
}

int TAddExpressForm::millimetresOf(QLineEdit* edit, const QString& what) const {
    const QString text = edit->text();
    const int mm = text.isEmpty() ? 0 : wholeNumberOf(text);
    if (!isPrintableWaybillLength(mm))
        refuse(edit, QStringLiteral("请填写快递单的%1：%2 到 %3 毫米之间的整数。")
                         .arg(what)
                         .arg(kSmallestWaybillMm)
                         .arg(kLargestWaybillMm));
    return mm;
}

void TAddExpressForm::btnOkClick() {
    const QString name = edtName->text().trimmed();
    const QString refusal = m_main.courierNameRefusal(name);
    if (!refusal.isEmpty()) refuse(edtName, refusal);
    const QString picture = edtPicture->text().trimmed();
    if (picture.isEmpty()) refuse(edtPicture, QStringLiteral("请选择快递单图片文件。"));
    if (!CourierPictures::isUsable(picture))
        refuse(edtPicture,
               QStringLiteral("无法读取图片文件“%1”：须是 JPEG 或 PNG 图片。").arg(picture));
    const int height = millimetresOf(edtLong, QStringLiteral("高"));
    const int width = millimetresOf(edtWide, QStringLiteral("宽"));
    m_main.AddCourier(name, picture, QSize(width, height));
    accept();
}
