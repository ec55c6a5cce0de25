#include "app/TEXPDPrintForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ContactStatusBar.h"
#include "app/DropDownList.h"
#include "app/LayoutHistory.h"
#include "app/ListSelection.h"
#include "app/WaybillField.h"
#include "app/WaybillFieldSpecs.h"
#include "editor/ControlClassRegistry.h"
#include "editor/EditorControls.h"
#include "editor/TControlEdit.h"
#include "platform/AppEnvironment.h"
#include "platform/HandlerGuard.h"
#include "platform/WholeNumber.h"
#include "printing/TEXPDPreview.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportPage.h"
#include "template/AddedCouriers.h"
#include "template/ProfileFile.h"
#include "template/StartCourier.h"

namespace {

template <typename W>
W* place(W* widget, const char* name, int left, int top, int width = -1, int height = -1) {
    widget->setObjectName(QString::fromLatin1(name));
    if (width < 0) {
        widget->adjustSize();
        widget->move(left, top);
    } else {
        widget->setGeometry(left, top, width, height);
    }
    return widget;
}

QLineEdit* sizeEdit(QWidget* parent, const char* name, int left, int width, const QString& text,
                    const QString& hint) {
    auto* edit = place(new QLineEdit(text, parent), name, left, 8, width, 21);
    edit->setMaxLength(3);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setToolTip(hint);
    return edit;
}

QComboBox* dropDownList(QWidget* parent, const char* name, int left, int top, int width,
                        const QString& hint) {
    auto* list = place(new QComboBox(parent), name, left, top, width, 21);
    list->setToolTip(hint);
    return list;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, const QString& hint = {}) {
    auto* b = place(new QPushButton(caption, parent), name, left, top, width, 25);
    b->setToolTip(hint);
    return b;
}

QToolButton* pictureButton(QWidget* parent, const char* name, const QString& caption,
                           QStyle::StandardPixmap picture, int left, const QString& hint) {
    auto* b = place(new QToolButton(parent), name, left, 17, 60, 60);
    b->setText(caption);
    b->setIcon(parent->style()->standardIcon(picture));
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setToolTip(hint);
    return b;
}

// Pickers that open their list as the user types; Tab passes them by.
QComboBox* namePicker(QWidget* parent, const char* name, int top, const QString& hint) {
    auto* picker = dropDownList(parent, name, 600, top, 113, hint);
    picker->setFocusPolicy(Qt::ClickFocus);
    return picker;
}

}  // namespace

TEXPDPrintForm::TEXPDPrintForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("EXPDPrintForm"));
    setWindowTitle(AppEnvironment::applicationTitle() + QStringLiteral(" V1.2"));
    QFont windowFont(QStringLiteral("Tahoma"));
    windowFont.setPixelSize(11);
    setFont(windowFont);

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(central);

    buildTopStrip();
    buildPageArea();
    buildStatusBar();
    buildPreciseEditing();
    column->addWidget(pnl1);
    column->addWidget(pnl3, 1);
    connectHandlers();

    resize(961, 672);  // the client area, status bar included
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    runGuarded([this] { FormCreate(); });
}

TEXPDPrintForm::~TEXPDPrintForm() {
    // The band's frames go with the band, after this part of the window: they must not
    // report to it any more.
    disconnect(ControlEdit1, nullptr, this, nullptr);
}

void TEXPDPrintForm::buildTopStrip() {
    pnl1 = new QFrame(centralWidget());
    pnl1->setObjectName(QStringLiteral("pnl1"));
    pnl1->setFixedHeight(89);

    Panel1 = place(new QFrame(pnl1), "Panel1", 23, 10, 571, 73);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    Label1 = place(new QLabel(QStringLiteral("高"), Panel1), "Label1", 11, 11);
    edtLong = sizeEdit(Panel1, "edtLong", 29, 49, QStringLiteral("128"),
                       QStringLiteral("快递单实际毫米高度，回车可应用更改"));
    Label2 = place(new QLabel(QStringLiteral("宽"), Panel1), "Label2", 84, 11);
    edtWide = sizeEdit(Panel1, "edtWide", 102, 50, QStringLiteral("230"),
                       QStringLiteral("快递单毫米长度，回车可应用更改"));
    chk1 = place(new QCheckBox(QStringLiteral("锁定长宽比例"), Panel1), "chk1", 158, 10, 99, 17);
    chk1->setChecked(true);
    chk1->setToolTip(QStringLiteral("该项点选，更改快递单长、宽，会保持原有比例"));
    cbbTextfontname =
        dropDownList(Panel1, "cbbTextfontname", 256, 6, 83, QStringLiteral("设置输入信息字体"));
    cbbfontSize =
        dropDownList(Panel1, "cbbfontSize", 345, 6, 43, QStringLiteral("设置输入信息字号"));
    for (int size = 7; size <= 20; ++size) cbbfontSize->addItem(QString::number(size));
    fitDropDownListToEntries(cbbfontSize);
    cbbfontSize->setCurrentIndex(-1);
    CheckBox1 = place(new QCheckBox(QStringLiteral("拖拽"), Panel1), "CheckBox1", 394, 10, 48, 17);
    CheckBox1->setToolTip(QStringLiteral("选择后，下面标签可以拖动位置"));
    Button3 = button(Panel1, "Button3", QStringLiteral("设置"), 453, 6, 33,
                     QStringLiteral("设置标签是否显示及默认快递单！"));
    btnApply = button(Panel1, "btnApply", QStringLiteral("保存更改"), 490, 6, 75,
                      QStringLiteral("保存设置的长和宽，以及各标签的位置！"));

    cbbNames = dropDownList(Panel1, "cbbNames", 13, 41, 127, QStringLiteral("选择快递单品种"));
    cbbNames->addItems(AddedCouriers::builtIn());
    cbbNames->setCurrentIndex(-1);
    cbbPrinterName = dropDownList(Panel1, "cbbPrinterName", 146, 41, 120, {});
    btnAddExpress = button(Panel1, "btnAddExpress", QStringLiteral("添加快递单"), 270, 41, 66,
                           QStringLiteral("添加新的快递单品种：名称、图片和尺寸"));
    btnRemoveExpress = button(Panel1, "btnRemoveExpress", QStringLiteral("删除快递单"), 340, 41, 64,
                              QStringLiteral("删除当前显示的、添加的快递单品种"));
    btnRemoveExpress->setEnabled(false);
    Button1 = button(Panel1, "Button1", QStringLiteral("默认打印机"), 408, 41, 73,
                     QStringLiteral("选择默认打印机，为本单打印！"));
    btnPrint = button(Panel1, "btnPrint", QStringLiteral("打印"), 492, 41, 35);
    btn1 = button(Panel1, "btn1", QStringLiteral("预览"), 529, 41, 35);

    cbbSendNames = namePicker(pnl1, "cbbSendNames", 16, QStringLiteral("发货人列表"));
    cbbCustomerNames = namePicker(pnl1, "cbbCustomerNames", 56, QStringLiteral("客户列表"));
    btnHelp = button(pnl1, "btnHelp", QStringLiteral("帮助"), 723, 15, 64);
    Button2 = button(pnl1, "Button2", QStringLiteral("客户管理"), 724, 54, 64,
                     QStringLiteral("客户、发货人编辑添加"));
    btnDefault = pictureButton(pnl1, "btnDefault", QStringLiteral("加载默认"),
                               QStyle::SP_BrowserReload, 799, QStringLiteral("加载标签位置默认值"));
    btnSaveDefault = pictureButton(pnl1, "btnSaveDefault", QStringLiteral("存为默认"),
                                   QStyle::SP_DialogSaveButton, 865,
                                   QStringLiteral("将当前标签位置、大小存为默认，以便后用"));
    // The default-set buttons are a hidden feature: an empty-looking panel lies over them
    // until the user double-clicks it.
    pnlHidden = place(new QFrame(pnl1), "pnlHidden", 794, 8, 142, 75);
    pnlHidden->setAutoFillBackground(true);
    pnlHidden->raise();
    pnlHidden->installEventFilter(this);
}

void TEXPDPrintForm::buildPageArea() {
    pnl3 = new QScrollArea(centralWidget());
    pnl3->setObjectName(QStringLiteral("pnl3"));
    pnl3->setFrameShape(QFrame::NoFrame);
    pnl6 = new QFrame;
    pnl6->setObjectName(QStringLiteral("pnl6"));
    pnl3->setWidget(pnl6);
    pnl3->viewport()->installEventFilter(this);
    QPalette grey = pnl6->palette();
    grey.setColor(QPalette::Window, palette().color(QPalette::Disabled, QPalette::Text));
    pnl6->setPalette(grey);
    pnl6->setAutoFillBackground(true);
    pnl6->installEventFilter(this);

    ReportPage1 = new TReportPage(pnl6);
    ReportPage1->setObjectName(QStringLiteral("ReportPage1"));
    ReportPage1->move(43, 10);
    connect(ReportPage1, &TReportPage::geometryChanged, this,
            [this] { runGuarded([this] { pnl6FollowPage(); }); });
    DetailBand1 = new TReportBand(ReportPage1);
    DetailBand1->setObjectName(QStringLiteral("DetailBand1"));

    Image1 = new QLabel(DetailBand1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    EditorControls::setNonWindowed(Image1);
    // Every field is calibrated against the picture: the layout editor must never select,
    // move, cut or delete it, and a press on it starts a rubber band over the fields.
    EditorControls::setPinned(Image1);
    Image1->setGeometry(DetailBand1->rect());
    // The picture is stretched over the band and follows its every change of size.
    connect(DetailBand1, &TReportBand::resized, Image1,
            [this] { Image1->setGeometry(DetailBand1->rect()); });
    createFields();
    pnl6FollowPage();

    ControlEdit1 = new TControlEdit(this);
    ControlEdit1->setObjectName(QStringLiteral("ControlEdit1"));
    ControlEdit1->SetEditControl(DetailBand1);
    ControlEdit1->SetEnable(false);
    ControlEdit1->SetCopyPasteKey(true);
    ControlEdit1->SetDelKey(true);
}

void TEXPDPrintForm::createFields() {
    const auto& specs = waybillFieldSpecs();
    QWidget* previous = nullptr;
    for (int index : kBandFieldOrder) {
        auto* f = new WaybillField(specs[index], DetailBand1);
        if (previous) setTabOrder(previous, f);
        previous = f;
    }
    showLayout(WaybillTemplate::designed());
}

void TEXPDPrintForm::buildStatusBar() {
    statusBar()->setSizeGripEnabled(true);
    StatusBar1Panels = addContactPanels(statusBar());
    // The top strip has no room left; the batch print and the history sit at the status bar's
    // right end.
    btnBatch =
        addStatusBarButton(QStringLiteral("批量打印"), QStringLiteral("btnBatch"),
                           QStringLiteral("把订单表（CSV 或 Excel）的多行一次打印成多张快递单"));
    btnHistory = addStatusBarButton(QStringLiteral("打印记录"), QStringLiteral("btnHistory"),
                                    QStringLiteral("查找、重新打印或导出打印过的快递单"));
}

// A tool button takes no more height than the status bar has, where a push button's frame
// would be cut off.
QToolButton* TEXPDPrintForm::addStatusBarButton(const QString& text, const QString& name,
                                                const QString& toolTip) {
    auto* button = new QToolButton(statusBar());
    button->setText(text);
    button->setObjectName(name);
    button->setToolTip(toolTip);
    button->setFixedHeight(statusBar()->height());
    statusBar()->addPermanentWidget(button);
    return button;
}

void TEXPDPrintForm::connectHandlers() {
    // List handlers hang on `activated`: only the user's choice runs them, never the program's.
    connect(CheckBox1, &QCheckBox::clicked, this, guarded(this, &TEXPDPrintForm::CheckBox1Click));
    connect(Button3, &QPushButton::clicked, this, guarded(this, &TEXPDPrintForm::Button3Click));
    connect(btnHelp, &QPushButton::clicked, this, guarded(this, &TEXPDPrintForm::btnHelpClick));
    connect(btnApply, &QPushButton::clicked, this, guarded(this, &TEXPDPrintForm::btnApplyClick));
    connect(btnSaveDefault, &QToolButton::clicked, this,
            guarded(this, &TEXPDPrintForm::btnSaveDefaultClick));
    connect(btnDefault, &QToolButton::clicked, this,
            guarded(this, &TEXPDPrintForm::btnDefaultClick));
    connect(btnAddExpress, &QPushButton::clicked, this,
            guarded(this, &TEXPDPrintForm::btnAddExpressClick));
    connect(btnRemoveExpress, &QPushButton::clicked, this,
            guarded(this, &TEXPDPrintForm::btnRemoveExpressClick));
    // Only an added courier can be removed.
    connect(cbbNames, &QComboBox::currentIndexChanged, btnRemoveExpress, [this](int index) {
        btnRemoveExpress->setEnabled(index >= AddedCouriers::builtIn().size());
    });
    connect(Button1, &QPushButton::clicked, this, guarded(this, &TEXPDPrintForm::Button1Click));
    connect(btnPrint, &QPushButton::clicked, this, guarded(this, &TEXPDPrintForm::btnPrintClick));
    connect(btn1, &QPushButton::clicked, this, guarded(this, &TEXPDPrintForm::btn1Click));
    connect(btnBatch, &QToolButton::clicked, this, guarded(this, &TEXPDPrintForm::btnBatchClick));
    connect(Button2, &QPushButton::clicked, this, guarded(this, &TEXPDPrintForm::Button2Click));
    connect(btnHistory, &QToolButton::clicked, this,
            guarded(this, &TEXPDPrintForm::btnHistoryClick));
    ReportPage1->OnPreview = [this](TReportJob* job) { ReportPage1Preview(job); };
    connect(cbbNames, &QComboBox::activated, this, guarded(this, &TEXPDPrintForm::cbbNamesChange));
    connect(cbbPrinterName, &QComboBox::activated, this,
            guarded(this, &TEXPDPrintForm::cbbPrinterNameChange));
    connect(cbbTextfontname, &QComboBox::activated, this,
            guarded(this, &TEXPDPrintForm::cbbTextfontnameChange));
    connect(cbbfontSize, &QComboBox::activated, this,
            guarded(this, &TEXPDPrintForm::cbbfontSizeChange));
    connect(edtLong, &QLineEdit::textChanged, this, guarded(this, &TEXPDPrintForm::edtLongChange));
    connect(edtWide, &QLineEdit::textChanged, this, guarded(this, &TEXPDPrintForm::edtWideChange));
    edtLong->installEventFilter(this);
    edtWide->installEventFilter(this);
}

WaybillField* TEXPDPrintForm::field(const QString& name) const {
    for (WaybillField* f : bandFields())
        if (f->objectName().compare(name, Qt::CaseInsensitive) == 0) return f;
    return nullptr;
}

QList<WaybillField*> TEXPDPrintForm::bandFields() const {
    QList<WaybillField*> fields;
    for (QObject* child : DetailBand1->children())
        if (auto* f = qobject_cast<WaybillField*>(child)) fields << f;
    return fields;
}

void TEXPDPrintForm::FormCreate() {
    ProfileFile(AppEnvironment::settingsFilePath()).removeStaleTemporaryFiles();
    ListAddedCouriers();
    ConnectAddressBook();
    FillAddressPickers();
    fillPrinterList();
    // Pasted copies of the band's controls are made by class name.
    ControlClassRegistry::declare<WaybillField>();
    ControlEdit1->RegChildClass();
}

void TEXPDPrintForm::FormShow() {
    ListFontNames(cbbTextfontname);
    cbbTextfontname->setCurrentIndex(-1);
    selectItemEqual(cbbNames, readStartCourier(ProfileFile(AppEnvironment::settingsFilePath())));
    cbbNamesChange();
    if (!cbbTextfontname->currentText().isEmpty())
        applyFontFaceToFields(cbbTextfontname->currentText());
    if (!cbbfontSize->currentText().isEmpty())
        applyFontSizeToFields(wholeNumberOf(cbbfontSize->currentText()));
    cbbNames->setFocus();
}

void TEXPDPrintForm::CheckBox1Click() {
    const bool placing = CheckBox1->isChecked();
    ControlEdit1->SetEnable(placing);
    // While the fields are placed, the read-out takes the room of the contact texts: beside
    // them it would be cut off in a window of the design size.
    for (int i = 1; i < StatusBar1Panels.size(); ++i) StatusBar1Panels[i]->setVisible(!placing);
}

void TEXPDPrintForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    runGuarded([this] {
        FormShow();
        fitWindowToPage();
    });
}

void TEXPDPrintForm::closeEvent(QCloseEvent* event) {
    // The preview runs inside a print command; the window stays until the preview is closed.
    if (ActivePreview) {
        event->ignore();
        return;
    }
    bool settled = false;
    runGuarded([&] { settled = settleUnsavedLayout(); });
    if (!settled) {
        event->ignore();
        return;
    }
    ControlEdit1->SetEditControl(nullptr);  // the editor lets go of the application's events
    event->accept();
}

bool TEXPDPrintForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pnlHidden && event->type() == QEvent::MouseButtonDblClick) {
        runGuarded([this] { pnlHiddenDblClick(); });
        return true;
    }
    if ((watched == edtLong || watched == edtWide) && event->type() == QEvent::KeyPress) {
        bool discard = false;
        runGuarded([&] { discard = edtLongKeyPress(static_cast<QKeyEvent*>(event)); });
        if (discard) return true;
    }
    if (watched == pnl6 && event->type() == QEvent::Resize) runGuarded([this] { pnl6Resize(); });
    if (watched == pnl3->viewport() && event->type() == QEvent::Resize)
        runGuarded([this] { pnl6FollowPage(); });
    return QMainWindow::eventFilter(watched, event);
}
