#include "dialogs/TSetForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "app/ListSelection.h"
#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "app/WaybillFieldSpecs.h"
#include "platform/AppEnvironment.h"
#include "platform/HandlerGuard.h"
#include "platform/MessageBoxes.h"
#include "template/ProfileFile.h"
#include "template/StartCourier.h"

namespace {

// Top to bottom in each group box: the company first, then the fields in their table order.
const char* const kSenderBoxes[5] = {"cbb5", "cbb1", "cbb2", "cbb3", "cbb4"};
const char* const kRecipientBoxes[5] = {"cbb55", "cbb11", "cbb22", "cbb33", "cbb44"};
const int kBoxTops[5] = {32, 64, 96, 128, 159};

// "保存更改" writes the visibility keys in this order (FHCompany, FHName, FHAddress,
// FHTelephone, FHOrigin, then the same for SH): it decides where new keys land in the section.
const char* const kWriteOrder[10] = {"cbb5",  "cbb1",  "cbb3",  "cbb4",  "cbb2",
                                     "cbb55", "cbb11", "cbb33", "cbb44", "cbb22"};

const WaybillFieldSpec& specOf(const QString& fieldName) {
    for (const WaybillFieldSpec& spec : waybillFieldSpecs())
        if (spec.objectName() == fieldName) return spec;
    Q_UNREACHABLE();
}

QString checkBoxName(const QString& fieldName) {
    return QStringLiteral("chk") + fieldName.mid(3);  // cbb22 -> chk22
}

template <typename W>
W* place(W* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

QFrame* bevelLine(QWidget* parent, const char* name, int left, int top, int width) {
    auto* line = place(new QFrame(parent), name, left, top, width, 2);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    return line;
}

}  // namespace

TSetForm::TSetForm(TEXPDPrintForm& mainForm) : QDialog(&mainForm), m_main(mainForm) {
    setObjectName(QStringLiteral("SetForm"));
    setWindowTitle(QStringLiteral("设置标签、默认快递单"));
    // A fixed dialog border: a title bar with a close box, no resizing, no help button.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(429, 455);
    QFont dialogFont(QStringLiteral("Tahoma"));
    dialogFont.setPixelSize(11);
    setFont(dialogFont);

    Label1 = new QLabel(QStringLiteral("设置标签在快递单上是否显示"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont heading(QStringLiteral("黑体"));
    heading.setPixelSize(16);
    Label1->setFont(heading);
    Label1->adjustSize();
    Label1->move(40, 40);
    Bevel1 = bevelLine(this, "Bevel1", 26, 62, 353);

    grpFH = buildSide("grpFH", QStringLiteral("发货人信息"), 56, 81, kSenderBoxes);
    grpSH = buildSide("grpSH", QStringLiteral("收货人信息"), 226, 85, kRecipientBoxes);
    chk1 = checkBoxOf("cbb1");
    chk2 = checkBoxOf("cbb2");
    chk3 = checkBoxOf("cbb3");
    chk4 = checkBoxOf("cbb4");
    chk5 = checkBoxOf("cbb5");
    chk11 = checkBoxOf("cbb11");
    chk22 = checkBoxOf("cbb22");
    chk33 = checkBoxOf("cbb33");
    chk44 = checkBoxOf("cbb44");
    chk55 = checkBoxOf("cbb55");

    Label2 = new QLabel(QStringLiteral("说明：多选框选中项，是在快递单上显示的标签。"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    QPalette red = Label2->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label2->setPalette(red);
    Label2->setGeometry(56, 296, 144, Label2->heightForWidth(144));

    Button1 = place(new QPushButton(QStringLiteral("保存更改"), this), "Button1", 288, 304, 75, 25);

    GroupBox1 =
        place(new QGroupBox(QStringLiteral("设置默认快递单"), this), "GroupBox1", 56, 335, 323, 81);
    cbbNames = place(new QComboBox(GroupBox1), "cbbNames", 26, 33, 182, 21);
    cbbNames->setToolTip(QStringLiteral("选择快递单品种"));
    Button2 =
        place(new QPushButton(QStringLiteral("保存默认"), GroupBox1), "Button2", 232, 32, 75, 25);
    Button2->setEnabled(false);  // until the list shows a courier; see the header

    Bevel2 = bevelLine(this, "Bevel2", 26, 438, 367);

    // Neither button is a default button: Qt would otherwise make the first one the dialog's
    // default, and Enter pressed on a check box would save. Space presses the focused button.
    Button1->setAutoDefault(false);
    Button2->setAutoDefault(false);

    connect(cbbNames, &QComboBox::currentIndexChanged, Button2,
            [this](int index) { Button2->setEnabled(index >= 0); });
    connect(Button1, &QPushButton::clicked, this, guarded(this, &TSetForm::Button1Click));
    connect(Button2, &QPushButton::clicked, this, guarded(this, &TSetForm::Button2Click));
}

TSetForm::~TSetForm() = default;

QGroupBox* TSetForm::buildSide(const char* name, const QString& caption, int left, int top,
                               const char* const (&fieldNames)[5]) {
    auto* group = place(new QGroupBox(caption, this), name, left, top, 137, 200);
    for (int i = 0; i < 5; ++i) {
        const WaybillFieldSpec& spec = specOf(QString::fromLatin1(fieldNames[i]));
        auto* box = new QCheckBox(spec.captionText(), group);
        box->setObjectName(checkBoxName(spec.objectName()));
        box->setGeometry(23, kBoxTops[i], 97, 17);
    }
    return group;
}

QCheckBox* TSetForm::checkBoxOf(const QString& fieldName) const {
    return findChild<QCheckBox*>(checkBoxName(fieldName));
}

void TSetForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) runGuarded([this] { FormShow(); });
}

void TSetForm::FormShow() {
    cbbNames->clear();
    for (int i = 0; i < m_main.cbbNames->count(); ++i)
        cbbNames->addItem(m_main.cbbNames->itemText(i));

    ProfileFile ini(AppEnvironment::settingsFilePath());
    for (const WaybillFieldSpec& spec : waybillFieldSpecs())
        checkBoxOf(spec.objectName())
            ->setChecked(ini.readBool(m_main.currentTemplate(), spec.visibleKey(false), true));
    selectItemEqual(cbbNames, readStartCourier(ini));
}

void TSetForm::Button1Click() {
    ProfileFile ini(AppEnvironment::settingsFilePath());
    for (const char* name : kWriteOrder) {
        const WaybillFieldSpec& spec = specOf(QString::fromLatin1(name));
        ini.writeBool(m_main.currentTemplate(), spec.visibleKey(false),
                      checkBoxOf(spec.objectName())->isChecked());
    }
    // A field the layout editor deleted is gone for the rest of the run; its flag is still
    // stored, so the next start shows or hides it as chosen.
    for (const WaybillFieldSpec& spec : waybillFieldSpecs())
        if (WaybillField* f = m_main.field(spec.objectName()))
            f->setVisible(checkBoxOf(spec.objectName())->isChecked());
    MessageBoxes::information(QStringLiteral("标签设置完成！"), this);
    accept();
}

void TSetForm::Button2Click() {
    if (cbbNames->currentIndex() < 0) return;  // never store an empty start courier
    ProfileFile ini(AppEnvironment::settingsFilePath());
    writeStartCourier(ini, cbbNames->currentText());
    MessageBoxes::information(QStringLiteral("快递默认完成！"), this);
    accept();
}
