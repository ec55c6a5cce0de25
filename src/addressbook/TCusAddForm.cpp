#include "addressbook/TCusAddForm.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabBar>
#include <QVBoxLayout>

#include "addressbook/AddressBook.h"
#include "addressbook/AddressGrid.h"
#include "addressbook/AddressPickers.h"
#include "addressbook/AddressQuery.h"
#include "addressbook/AddressTransfer.h"
#include "addressbook/ImportSummaryDialog.h"
#include "addressbook/SharedAddressBook.h"
#include "platform/HandlerGuard.h"
#include "platform/MessageBoxes.h"
#include "platform/ScreenScale.h"

TCusAddForm* CusAddForm = nullptr;

const QColor TCusAddForm::kSelectedRowColor = QColor(185, 209, 234);

namespace {

const QString kSenderPrompt = QStringLiteral("发货人");
const QString kCustomerPrompt = QStringLiteral("收货人");
// What the loser of two counters writing the same customer at once is told.
const QString kNameTakenMeanwhileText = QStringLiteral("该客户名称已经存在（刚由其他柜台保存）！");
const QString kRowGoneText = QStringLiteral("该记录已经被其他柜台删除！");

// The five rows: label text and column in sender mode, then in customer mode.
struct RowTexts {
    const char* senderLabel;
    const char* senderColumn;
    const char* customerLabel;
    const char* customerColumn;
};
constexpr RowTexts kRows[5] = {
    {"发货单位", "单位", "客户名称", "名称"}, {"发货电话", "电话", "客户电话", "电话"},
    {"始发地址", "地址", "客户地址", "地址"}, {"发货人", "发货人", "收货人", "收货人"},
    {"始发地", "始发地", "目的地", "目的地"},
};

// The client area as laid out at 96 pixels per inch.
constexpr int kDesignWidth = 436;
constexpr int kDesignHeight = 338;

// The display widths, in characters, of the five columns after the row key.
constexpr int kColumnWidths[5] = {30, 12, 40, 12, 20};

QPixmap bannerPicture(int width, int height) {
    QPixmap picture(width, height);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, width, 0);
    gradient.setColorAt(0, QColor(31, 78, 140));
    gradient.setColorAt(1, QColor(150, 190, 230));
    painter.fillRect(picture.rect(), gradient);
    QFont font = painter.font();
    font.setPixelSize(height / 2);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(picture.rect().adjusted(12, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("发货人、客户管理"));
    return picture;
}

}  // namespace

TCusAddForm::TCusAddForm(AddressBook& book, AddressPickers* pickers, QWidget* owner)
    : QDialog(owner), m_book(book), m_pickers(pickers) {
    setObjectName(QStringLiteral("CusAddForm"));
    setWindowTitle(QStringLiteral("发货人、客户添加与编辑"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    // Laid out for 96 pixels per inch; the dialog follows the screen so that its grid shows as
    // many rows at every resolution.
    setFixedSize(scaledToScreen(kDesignWidth), scaledToScreen(kDesignHeight));
    buildLayout();

    connect(btnEditSend, &QPushButton::clicked, this,
            guarded(this, &TCusAddForm::btnEditSendClick));
    connect(btnEditGet, &QPushButton::clicked, this, guarded(this, &TCusAddForm::btnEditGetClick));
    connect(TabControl1, &QTabBar::currentChanged, this,
            guarded(this, &TCusAddForm::TabControl1Change));
    connect(btnEmpty, &QPushButton::clicked, this, guarded(this, &TCusAddForm::btnEmptyClick));
    connect(BtnKHAdd, &QPushButton::clicked, this, guarded(this, &TCusAddForm::BtnKHAddClick));
    connect(BtnKHEdit, &QPushButton::clicked, this, guarded(this, &TCusAddForm::BtnKHEditClick));
    connect(BtnKHDele, &QPushButton::clicked, this, guarded(this, &TCusAddForm::BtnKHDeleClick));
    connect(btnImport, &QPushButton::clicked, this, guarded(this, &TCusAddForm::btnImportClick));
    connect(btnExport, &QPushButton::clicked, this, guarded(this, &TCusAddForm::btnExportClick));
    connect(btnInitShared, &QPushButton::clicked, this,
            guarded(this, &TCusAddForm::btnInitSharedClick));
    // DataSource1: the row set's change notification reaches the edit boxes.
    connect(m_book.ADOQuery2, &AddressQuery::dataChange, this,
            guarded(this, &TCusAddForm::DataSource1DataChange));
    DBGrid2->setDrawCellHook(
        [this](QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) {
            return DBGrid2DrawColumnCell(painter, option, index);
        });
    for (QLineEdit* edit : {EdtKHName, edtTel, edtAddress, edtSHR, edtMDD})
        edit->installEventFilter(this);

    // Centred on the desktop.
    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) move(screen->availableGeometry().center() - rect().center());
}

TCusAddForm::~TCusAddForm() {
    if (CusAddForm == this) CusAddForm = nullptr;
}

void TCusAddForm::buildLayout() {
    // 1. The top strip: the banner and the three hidden controls.
    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("pnlTop"));
    const int width = scaledToScreen(kDesignWidth);
    const int topHeight = scaledToScreen(37);
    top->setGeometry(0, 0, width, topHeight);
    Image1 = new QLabel(top);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, width, topHeight);
    Image1->setPixmap(bannerPicture(width, topHeight));
    edtPrompt = new QLineEdit(top);
    edtPrompt->setObjectName(QStringLiteral("edtPrompt"));
    edtPrompt->setText(kCustomerPrompt);
    edtPrompt->hide();
    btnEditSend = new QPushButton(QStringLiteral("编辑发货"), top);
    btnEditSend->setObjectName(QStringLiteral("btnEditSend"));
    btnEditSend->setToolTip(QStringLiteral("编辑或者添加发货人"));
    btnEditSend->hide();
    btnEditGet = new QPushButton(QStringLiteral("编辑客户"), top);
    btnEditGet->setObjectName(QStringLiteral("btnEditGet"));
    btnEditGet->setToolTip(QStringLiteral("编辑或者添加客户"));
    btnEditGet->hide();
    // Import and export at the right of the banner: the strip below holds no more buttons.
    btnImport = new QPushButton(QStringLiteral("导入"), top);
    btnImport->setObjectName(QStringLiteral("btnImport"));
    btnImport->setToolTip(QStringLiteral("从 CSV 文件导入本页的发货人或客户"));
    btnExport = new QPushButton(QStringLiteral("导出"), top);
    btnExport->setObjectName(QStringLiteral("btnExport"));
    btnExport->setToolTip(QStringLiteral("把本页的发货人或客户导出为 CSV 文件"));
    const int smallButtonWidth = scaledToScreen(50);
    const int smallButtonHeight = scaledToScreen(24);
    const int buttonsTop = (topHeight - smallButtonHeight) / 2;
    btnExport->setGeometry(width - scaledToScreen(6) - smallButtonWidth, buttonsTop,
                           smallButtonWidth, smallButtonHeight);
    btnImport->setGeometry(btnExport->x() - scaledToScreen(4) - smallButtonWidth, buttonsTop,
                           smallButtonWidth, smallButtonHeight);
    // Only a shared book is made by the user; the local one comes with the program.
    btnInitShared = new QPushButton(QStringLiteral("初始化共享通讯录"), top);
    btnInitShared->setObjectName(QStringLiteral("btnInitShared"));
    btnInitShared->setToolTip(QStringLiteral("在服务器上建立共享通讯录的表（已有的不会改变）"));
    const int initWidth = scaledToScreen(110);
    btnInitShared->setGeometry(btnImport->x() - scaledToScreen(4) - initWidth, buttonsTop,
                               initWidth, smallButtonHeight);
    btnInitShared->setVisible(m_book.isShared());

    // 2. The tab control with the grid filling it.
    const int statusHeight = scaledToScreen(19);
    const int bottomHeight = scaledToScreen(142);
    const int tabsHeight = height() - topHeight - bottomHeight - statusHeight;
    auto* tabs = new QWidget(this);
    tabs->setObjectName(QStringLiteral("pnlTabs"));
    tabs->setGeometry(0, topHeight, width, tabsHeight);
    auto* tabsLayout = new QVBoxLayout(tabs);
    tabsLayout->setContentsMargins(2, 2, 2, 2);
    tabsLayout->setSpacing(0);
    TabControl1 = new QTabBar(tabs);
    TabControl1->setObjectName(QStringLiteral("TabControl1"));
    TabControl1->setExpanding(false);
    TabControl1->addTab(QStringLiteral("编辑发货人名字"));
    TabControl1->addTab(QStringLiteral("编辑客户名字"));
    tabsLayout->addWidget(TabControl1);
    DBGrid2 = new AddressGrid(*m_book.ADOQuery2, tabs);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    tabsLayout->addWidget(DBGrid2, 1);

    // 3. The bottom strip: five rows of label and edit box, four buttons, the status bar.
    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("pnlBottom"));
    bottom->setGeometry(0, topHeight + tabsHeight, width, bottomHeight);
    QLabel** labels[5] = {&Label4, &Label3, &Label13, &Label37, &Label38};
    const char* labelNames[5] = {"Label4", "Label3", "Label13", "Label37", "Label38"};
    QLineEdit** edits[5] = {&EdtKHName, &edtTel, &edtAddress, &edtSHR, &edtMDD};
    const char* editNames[5] = {"EdtKHName", "edtTel", "edtAddress", "edtSHR", "edtMDD"};
    for (int i = 0; i < 5; ++i) {
        // The stored layout carries the customer-mode texts; showing switches to senders.
        auto* label = new QLabel(QString::fromUtf8(kRows[i].customerLabel), bottom);
        label->setObjectName(QLatin1String(labelNames[i]));
        label->setGeometry(scaledToScreen(4), scaledToScreen(6 + i * 26), scaledToScreen(74),
                           scaledToScreen(25));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        *labels[i] = label;
        auto* edit = new QLineEdit(bottom);
        edit->setObjectName(QLatin1String(editNames[i]));
        edit->setGeometry(scaledToScreen(84), scaledToScreen(6 + i * 26), scaledToScreen(218),
                          scaledToScreen(25));
        label->setBuddy(edit);
        *edits[i] = edit;
    }
    QPushButton** buttons[4] = {&btnEmpty, &BtnKHAdd, &BtnKHEdit, &BtnKHDele};
    const char* buttonNames[4] = {"btnEmpty", "BtnKHAdd", "BtnKHEdit", "BtnKHDele"};
    const char* captions[4] = {"清空输入框", "添加客户", "修改客户", "删除客户"};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton(QString::fromUtf8(captions[i]), bottom);
        button->setObjectName(QLatin1String(buttonNames[i]));
        button->setGeometry(scaledToScreen(326), scaledToScreen(8 + i * 31), scaledToScreen(90),
                            scaledToScreen(24));
        *buttons[i] = button;
    }
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(0, height() - statusHeight, width, statusHeight);

    // Tab order of the lower strip as designed, after the tabs and the grid.
    QWidget* order[] = {TabControl1, DBGrid2,   EdtKHName, edtTel,   edtAddress, edtSHR,
                        edtMDD,      BtnKHDele, BtnKHEdit, BtnKHAdd, btnEmpty};
    for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void TCusAddForm::Button2Click(AddressBook& book, AddressPickers* pickers, QWidget* owner) {
    auto* form = new TCusAddForm(book, pickers, owner);
    CusAddForm = form;
    form->exec();
    CusAddForm = nullptr;
    delete form;
}

void TCusAddForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    // A failing OpenData ends FormShow quietly; the dialog is shown all the same.
    runGuarded([this] { FormShow(); });
}

void TCusAddForm::FormShow() {
    {
        // Selecting the tab from the program does not run TabControl1Change.
        const QSignalBlocker blocker(TabControl1);
        TabControl1->setCurrentIndex(0);
    }
    btnEditSendClick();
    EdtKHName->setFocus();
}

void TCusAddForm::TabControl1Change() {
    if (TabControl1->currentIndex() == 0)
        btnEditSendClick();
    else
        btnEditGetClick();
}

bool TCusAddForm::customerMode() const {
    return edtPrompt->text() == kCustomerPrompt;
}

void TCusAddForm::setMode(bool customers) {
    QLabel* labels[5] = {Label4, Label3, Label13, Label37, Label38};
    for (int i = 0; i < 5; ++i)
        labels[i]->setText(
            QString::fromUtf8(customers ? kRows[i].customerLabel : kRows[i].senderLabel));
    BtnKHDele->setText(customers ? QStringLiteral("删除客户") : QStringLiteral("删除发货人"));
    BtnKHEdit->setText(customers ? QStringLiteral("修改客户") : QStringLiteral("修改发货人"));
    BtnKHAdd->setText(customers ? QStringLiteral("添加客户") : QStringLiteral("添加发货人"));
    edtPrompt->setText(customers ? kCustomerPrompt : kSenderPrompt);
    // Opening sends the row-change notification, which fills the edit boxes from the first row.
    m_book.OpenData(customers ? AddressBook::kCustomerListSql : AddressBook::kSenderListSql,
                    *m_book.ADOQuery2);
    SetupGridColumns(DBGrid2);
    EdtKHName->setFocus();
}

void TCusAddForm::btnEditSendClick() {
    setMode(false);
}

void TCusAddForm::btnEditGetClick() {
    setMode(true);
}

void TCusAddForm::SetupGridColumns(AddressGrid* grid) {
    const int columns = grid->model()->columnCount();
    if (columns > 0) grid->setColumnHidden(0, true);
    for (int i = 0; i < 5 && i + 1 < columns; ++i)
        grid->setColumnWidth(i + 1, grid->widthForCharacters(kColumnWidths[i]));
}

void TCusAddForm::DataSource1DataChange() {
    if (m_busy == 1) return;
    AddressQuery& query = *m_book.ADOQuery2;
    if (query.recordCount() == 0) return;
    const bool customers = customerMode();
    QLineEdit* edits[5] = {EdtKHName, edtTel, edtAddress, edtSHR, edtMDD};
    for (int i = 0; i < 5; ++i)
        edits[i]->setText(query.text(
            QString::fromUtf8(customers ? kRows[i].customerColumn : kRows[i].senderColumn)));
}

void TCusAddForm::btnEmptyClick() {
    for (QLineEdit* edit : {EdtKHName, edtTel, edtAddress, edtSHR, edtMDD}) edit->clear();
    EdtKHName->setFocus();
}

void TCusAddForm::writeEditBoxes(AddressQuery& query) {
    const bool customers = customerMode();
    QLineEdit* edits[5] = {EdtKHName, edtTel, edtAddress, edtSHR, edtMDD};
    for (int i = 0; i < 5; ++i) {
        // A customer's name is stored without surrounding blanks: "乙公司 " is 乙公司.
        const QString text = customers && i == 0 ? edits[i]->text().trimmed() : edits[i]->text();
        query.setText(
            QString::fromUtf8(customers ? kRows[i].customerColumn : kRows[i].senderColumn), text);
    }
}

bool TCusAddForm::hasName() const {
    if (!EdtKHName->text().trimmed().isEmpty()) return true;
    return !customerMode() && !edtSHR->text().trimmed().isEmpty();
}

AddressQuery* TCusAddForm::queryReadyToStore(bool focusNameWhenEmpty) {
    if (!hasName()) {
        MessageBoxes::error(QStringLiteral("请填写客户名称！"), this);
        if (focusNameWhenEmpty) EdtKHName->setFocus();
        return nullptr;
    }
    if (!m_book.ADOQuery2->isOpen()) {
        MessageBoxes::error(QStringLiteral("未连接服务器，请重新打开本页面......！"), this);
        return nullptr;
    }
    return m_book.ADOQuery2;
}

void TCusAddForm::BtnKHAddClick() {
    AddressQuery* query = queryReadyToStore(true);
    if (!query) return;
    {
        // While the row is written the edit boxes must not follow the grid; an error on the
        // way must not leave them stuck.
        m_busy = 1;
        const auto notBusy = qScopeGuard([this] { m_busy = 0; });
        if (customerMode() && query->locate(QStringLiteral("名称"), EdtKHName->text().trimmed(),
                                            AddressQuery::Match::IgnoringSurroundingBlanks)) {
            // The existing row is now the grid's current row; the edit boxes keep what was typed.
            MessageBoxes::error(QStringLiteral("该客户名称已经存在！"), this);
            EdtKHName->setFocus();
            return;
        }
        query->append();
        writeEditBoxes(*query);
        if (!postOrShowConflict(*query)) return;
    }
    for (QLineEdit* edit : {EdtKHName, edtTel, edtAddress, edtMDD, edtSHR}) edit->clear();
    EdtKHName->setFocus();
}

void TCusAddForm::BtnKHEditClick() {
    AddressQuery* query = queryReadyToStore(false);
    if (!query) return;
    {
        m_busy = 1;
        const auto notBusy = qScopeGuard([this] { m_busy = 0; });
        if (customerMode()) {
            const QString name = EdtKHName->text().trimmed();
            const QVariant id = query->lookup(QStringLiteral("名称"), name, QStringLiteral("ID"),
                                              AddressQuery::Match::IgnoringSurroundingBlanks);
            if (!id.isNull() && id.toLongLong() > 0 &&
                query->text(QStringLiteral("名称")).trimmed() != name) {
                MessageBoxes::error(QStringLiteral("该名字已经存在！"), this);
                return;
            }
        }
        query->edit();
        writeEditBoxes(*query);
        if (!postOrShowConflict(*query)) return;
    }
    MessageBoxes::information(QStringLiteral("数据修改完成！"), this);
    DBGrid2->setFocus();
}

bool TCusAddForm::postOrShowConflict(AddressQuery& query) {
    try {
        query.post();
        return true;
    } catch (const RowConflict& conflict) {
        // The rows in memory are stale: read the table again and show the row that now has the
        // name; the edit boxes keep what was typed (the busy flag holds them).
        query.cancel();
        setMode(customerMode());
        const bool taken = conflict.kind() == RowConflict::Kind::NameTaken;
        if (taken)
            query.locate(QStringLiteral("名称"), EdtKHName->text().trimmed(),
                         AddressQuery::Match::IgnoringSurroundingBlanks);
        MessageBoxes::error(taken ? kNameTakenMeanwhileText : kRowGoneText, this);
        EdtKHName->setFocus();
        return false;
    }
}

void TCusAddForm::btnInitSharedClick() {
    if (!m_book.isConnected()) {
        MessageBoxes::error(AddressBook::kConnectFailedText, this);
        return;
    }
    QString why;
    QString note;
    switch (SharedAddressBook::initialise(m_book.connectionName(), &why, &note)) {
        case SharedAddressBook::Outcome::Made:
            MessageBoxes::information(QStringLiteral("共享通讯录已建立。") + note, this);
            setMode(customerMode());
            break;
        case SharedAddressBook::Outcome::AlreadyThere:
            MessageBoxes::information(QStringLiteral("共享通讯录已经存在，没有改变。"), this);
            break;
        case SharedAddressBook::Outcome::Failed:
            MessageBoxes::error(QStringLiteral("共享通讯录建立失败：") + why, this);
            break;
    }
}

void TCusAddForm::BtnKHDeleClick() {
    AddressQuery& query = *m_book.ADOQuery2;
    if (!query.isOpen()) {
        MessageBoxes::error(QStringLiteral("请先连接服务器......！"), this);
        return;
    }
    const bool ok = MessageBoxes::confirm(QStringLiteral("确实要删除该条记录？"), this);
    if (ok && query.recordCount() > 0) query.remove();
    DBGrid2->setFocus();
}

void TCusAddForm::btnImportClick() {
    const bool customers = customerMode();
    const QString path = QFileDialog::getOpenFileName(
        this, customers ? QStringLiteral("导入客户") : QStringLiteral("导入发货人"), QString(),
        QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)"));
    if (path.isEmpty()) return;
    const auto table =
        customers ? AddressTransfer::Table::Customers : AddressTransfer::Table::Senders;
    const AddressTransfer::Plan plan = AddressTransfer::plan(m_book.connectionName(), table, path);
    ImportSummaryDialog summary(path, int(plan.newRows.size()), int(plan.changes.size()),
                                plan.refused, this);
    const int choice = summary.exec();
    if (choice == ImportSummaryDialog::Cancel) return;
    // The grid's row set goes first: a pending row of it must not be stored in the middle of
    // the import, and it is read again afterwards anyway.
    m_book.ADOQuery2->close();
    const bool update = choice == ImportSummaryDialog::UpdateExisting;
    m_book.noteChange();
    try {
        AddressTransfer::apply(m_book.connectionName(), plan, update);
    } catch (...) {
        runGuarded([&] { setMode(customers); });
        throw;
    }
    setMode(customers);
    MessageBoxes::information(QStringLiteral("导入完成：新增 %1 条，修改 %2 条。")
                                  .arg(plan.newRows.size())
                                  .arg(update ? plan.changes.size() : 0),
                              this);
}

void TCusAddForm::btnExportClick() {
    const bool customers = customerMode();
    const QString suggested = customers ? QStringLiteral("客户.csv") : QStringLiteral("发货人.csv");
    const QString path = QFileDialog::getSaveFileName(
        this, customers ? QStringLiteral("导出客户") : QStringLiteral("导出发货人"), suggested,
        QStringLiteral("CSV 文件 (*.csv)"));
    if (path.isEmpty()) return;
    const auto table =
        customers ? AddressTransfer::Table::Customers : AddressTransfer::Table::Senders;
    const int rows = AddressTransfer::exportTo(m_book.connectionName(), table, path);
    MessageBoxes::information(
        QStringLiteral("已导出 %1 条到 %2。").arg(rows).arg(QDir::toNativeSeparators(path)), this);
}

void TCusAddForm::EdtKHNameKeyPress(QObject*, QChar& key) {
    if (key.unicode() != 13) return;
    key = QChar(0);
    focusNextPrevChild(true);
}

bool TCusAddForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        // Return and Enter both type a carriage return.
        QChar key = keyEvent->text().isEmpty() ? QChar() : keyEvent->text().front();
        if (keyEvent->key() == Qt::Key_Return || keyEvent->key() == Qt::Key_Enter) key = QChar(13);
        if (!key.isNull()) {
            runGuarded([&] { EdtKHNameKeyPress(watched, key); });
            if (key.isNull()) return true;  // swallowed
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TCusAddForm::DBGrid2DrawColumnCell(QPainter* painter, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) {
    const AddressQuery& query = *m_book.ADOQuery2;
    if (!(option.state & QStyle::State_Selected) || !query.isOpen() || query.recordCount() == 0)
        return false;
    painter->save();
    painter->fillRect(option.rect, kSelectedRowColor);
    painter->setPen(option.palette.color(QPalette::Active, QPalette::Text));
    painter->setFont(option.font);
    const QRect textRect = option.rect.adjusted(3, 0, -3, 0);
    painter->drawText(
        textRect, Qt::AlignLeft | Qt::AlignVCenter,
        option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, textRect.width()));
    painter->restore();
    return true;
}

void TCusAddForm::FormCloseQuery(bool& canClose) {
    Q_UNUSED(canClose);  // closing is always allowed
    m_book.ADOQuery2->close();
}

void TCusAddForm::FormClose() {
    if (!m_pickers) return;
    m_pickers->Fill();
    m_pickers->cbbCustomerNamesChange();
    m_pickers->cbbSendNamesChange();
}

void TCusAddForm::done(int result) {
    bool canClose = true;
    runGuarded([&] { FormCloseQuery(canClose); });
    if (!canClose) return;
    // A failing fill ends the closing: the dialog stays open, its row set already closed.
    if (!runGuarded([this] { FormClose(); })) return;
    QDialog::done(result);
}
