#include "batch/BatchPrintDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillFieldSpecs.h"
#include "batch/JobHandOff.h"
#include "batch/OrderWaybills.h"
#include "batch/SenderDirectory.h"
#include "batch/WaybillJob.h"
#include "history/HistoryRecording.h"
#include "platform/AppEnvironment.h"
#include "platform/AppError.h"
#include "platform/HandlerGuard.h"
#include "platform/MessageBoxes.h"
#include "platform/PrinterBackend.h"
#include "printing/TEXPDPreview.h"
#include "printing/engine/TReportJob.h"
#include "printing/engine/TReportPreview.h"
#include "template/ProfileFile.h"
#include "waybill/TemplateSetFile.h"

namespace {
const QColor kSkippedRowColour(0xC0, 0x00, 0x00);

QString columnTitle(const OrderList& list, int column) {
    const QString header = column < list.header.size() ? list.header[column] : QString();
    return header.isEmpty() ? QStringLiteral("第 %1 列").arg(column + 1) : header;
}

// "第 2、3、5–9 行": row numbers in order, runs joined.
QString rowRanges(QList<int> numbers) {
    std::sort(numbers.begin(), numbers.end());
    QStringList parts;
    for (int i = 0; i < numbers.size();) {
        int j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) ++j;
        parts << (i == j ? QString::number(numbers[i])
                         : QStringLiteral("%1–%2").arg(numbers[i]).arg(numbers[j]));
        i = j + 1;
    }
    return QStringLiteral("第 %1 行").arg(parts.join(u'、'));
}
}  // namespace

BatchPrintDialog::BatchPrintDialog(TEXPDPrintForm* mainForm)
    : QDialog(mainForm), m_mainForm(mainForm) {
    setWindowTitle(QStringLiteral("批量打印"));
    setModal(true);
    chooseFile = [](QWidget* parent) {
        return QFileDialog::getOpenFileName(
            parent, QStringLiteral("打开订单表"), QString(),
            QStringLiteral("订单表 (*.csv *.txt *.xlsx);;所有文件 (*)"));
    };
    buildControls();
    resize(900, 620);
}

BatchPrintDialog::~BatchPrintDialog() = default;

void BatchPrintDialog::buildControls() {
    auto* column = new QVBoxLayout(this);

    auto* fileRow = new QHBoxLayout;
    btnOpen = new QPushButton(QStringLiteral("打开…"), this);
    lblFile = new QLabel(QStringLiteral("请打开订单表（CSV 或 Excel .xlsx）"), this);
    cbbEncoding = new QComboBox(this);
    cbbEncoding->addItems(
        {QStringLiteral("自动识别"), QStringLiteral("UTF-8"), QStringLiteral("GBK")});
    chkHeader = new QCheckBox(QStringLiteral("首行为标题"), this);
    chkHeader->setChecked(true);
    fileRow->addWidget(btnOpen);
    fileRow->addWidget(lblFile, 1);
    fileRow->addWidget(new QLabel(QStringLiteral("编码"), this));
    fileRow->addWidget(cbbEncoding);
    fileRow->addWidget(chkHeader);
    column->addLayout(fileRow);

    auto* fields = new QGroupBox(QStringLiteral("各栏取自哪一列"), this);
    auto* grid = new QGridLayout(fields);
    const auto& specs = waybillFieldSpecs();
    for (int i = 0; i < int(specs.size()); ++i) {
        auto* choice = new QComboBox(fields);
        choice->setObjectName(specs[i].objectName());
        choice->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        fieldColumns << choice;
        const int row = specs[i].side == WaybillSide::Sender ? 0 : 1;
        const int place = row == 0 ? i : i - 5;
        grid->addWidget(new QLabel(specs[i].captionText(), fields), row, 2 * place);
        grid->addWidget(choice, row, 2 * place + 1);
        connect(choice, &QComboBox::activated, this,
                guarded(this, &BatchPrintDialog::mappingChanged));
    }
    cbbSender = new QComboBox(fields);
    cbbSender->addItem(QStringLiteral("（按列）"));
    const SenderDirectory senders;
    cbbSender->addItems(senders.names());
    grid->addWidget(new QLabel(QStringLiteral("发货人取自地址簿"), fields), 2, 0, 1, 2);
    grid->addWidget(cbbSender, 2, 2, 1, 2);
    column->addWidget(fields);

    tblRows = new QTableWidget(this);
    tblRows->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblRows->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tblRows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblRows->setWordWrap(false);
    column->addWidget(tblRows, 1);
    lblCount = new QLabel(this);
    column->addWidget(lblCount);

    auto* buttons = new QHBoxLayout;
    progress = new QProgressBar(this);
    progress->setValue(0);
    btnPrint = new QPushButton(QStringLiteral("打印"), this);
    btnPreview = new QPushButton(QStringLiteral("预览"), this);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnClose = new QPushButton(QStringLiteral("关闭"), this);
    btnCancel->setEnabled(false);
    btnPrint->setEnabled(false);
    btnPreview->setEnabled(false);
    buttons->addWidget(progress, 1);
    for (QPushButton* b : {btnPrint, btnPreview, btnCancel, btnClose}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    column->addLayout(buttons);

    connect(btnOpen, &QPushButton::clicked, this, guarded(this, &BatchPrintDialog::btnOpenClick));
    connect(cbbEncoding, &QComboBox::activated, this, guarded(this, &BatchPrintDialog::reload));
    connect(chkHeader, &QCheckBox::clicked, this, guarded(this, &BatchPrintDialog::reload));
    connect(cbbSender, &QComboBox::activated, this,
            guarded(this, &BatchPrintDialog::senderChanged));
    connect(tblRows, &QTableWidget::itemSelectionChanged, this,
            guarded(this, &BatchPrintDialog::countRows));
    connect(btnPrint, &QPushButton::clicked, this, guarded(this, &BatchPrintDialog::btnPrintClick));
    connect(btnPreview, &QPushButton::clicked, this,
            guarded(this, &BatchPrintDialog::btnPreviewClick));
    connect(btnCancel, &QPushButton::clicked, this, [this] { m_cancelRequested = true; });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
}

void BatchPrintDialog::btnOpenClick() {
    const QString path = chooseFile(this);
    if (!path.isEmpty()) openList(path);
}

void BatchPrintDialog::openList(const QString& path) {
    m_path = path;
    // A new list starts from the detected encoding and a header row.
    cbbEncoding->setCurrentIndex(0);
    chkHeader->setChecked(true);
    reload();
}

void BatchPrintDialog::reload() {
    if (m_path.isEmpty()) return;
    const OrderListOptions options{static_cast<OrderTextEncoding>(cbbEncoding->currentIndex()),
                                   chkHeader->isChecked()};
    try {
        m_list = readOrderList(m_path, options);
    } catch (const AppError& error) {
        m_list = OrderList();
        m_path.clear();
        fillTable();
        lblFile->setText(QStringLiteral("请打开订单表（CSV 或 Excel .xlsx）"));
        MessageBoxes::error(error.text(), this);
        return;
    }
    const bool isWorkbook = QFileInfo(m_path).suffix().compare(u"xlsx", Qt::CaseInsensitive) == 0;
    cbbEncoding->setEnabled(!isWorkbook);
    const QString detected =
        m_list.encoding == OrderTextEncoding::Gbk ? QStringLiteral("GBK") : QStringLiteral("UTF-8");
    lblFile->setText(isWorkbook
                         ? QFileInfo(m_path).fileName()
                         : QStringLiteral("%1（%2）").arg(QFileInfo(m_path).fileName(), detected));
    fillColumnChoices();
    fillTable();
}

void BatchPrintDialog::fillColumnChoices() {
    const ProfileFile ini(AppEnvironment::settingsFilePath());
    const ColumnMapping guessed = ColumnMapping::forHeader(m_list.header, m_list.columnCount, &ini);
    const auto& specs = waybillFieldSpecs();
    for (int i = 0; i < fieldColumns.size(); ++i) {
        QComboBox* choice = fieldColumns[i];
        choice->clear();
        choice->addItem(QStringLiteral("（不打印）"), -1);
        for (int c = 0; c < m_list.columnCount; ++c) choice->addItem(columnTitle(m_list, c), c);
        choice->setCurrentIndex(guessed.column(specs[i].objectName()) + 1);
    }
}

ColumnMapping BatchPrintDialog::mapping() const {
    ColumnMapping chosen;
    const auto& specs = waybillFieldSpecs();
    for (int i = 0; i < fieldColumns.size(); ++i)
        chosen.setColumn(specs[i].objectName(), fieldColumns[i]->currentData().toInt());
    return chosen;
}

void BatchPrintDialog::fillTable() {
    m_filling = true;
    tblRows->clear();
    tblRows->setColumnCount(m_list.columnCount);
    tblRows->setRowCount(int(m_list.rows.size()));
    QStringList titles;
    for (int c = 0; c < m_list.columnCount; ++c) titles << columnTitle(m_list, c);
    tblRows->setHorizontalHeaderLabels(titles);
    for (int r = 0; r < m_list.rows.size(); ++r) {
        const OrderRow& row = m_list.rows[r];
        tblRows->setVerticalHeaderItem(r, new QTableWidgetItem);
        for (int c = 0; c < row.cells.size(); ++c)
            tblRows->setItem(r, c, new QTableWidgetItem(row.cells[c]));
    }
    tblRows->selectAll();
    m_filling = false;
    btnPrint->setEnabled(!m_list.rows.isEmpty());
    btnPreview->setEnabled(!m_list.rows.isEmpty());
    markRows();
}

void BatchPrintDialog::mappingChanged() {
    markRows();
}

void BatchPrintDialog::senderChanged() {
    const bool fromBook = cbbSender->currentIndex() > 0;
    for (int i = 0; i < 5; ++i) fieldColumns[i]->setEnabled(!fromBook);
    markRows();
}

WaybillTexts BatchPrintDialog::senderTexts() const {
    if (cbbSender->currentIndex() <= 0) return {};
    const SenderDirectory senders;
    const std::optional<WaybillTexts> texts = senders.textsOf(cbbSender->currentText());
    if (!texts)
        throw AppError(QStringLiteral("地址簿中已没有发货人“%1”。").arg(cbbSender->currentText()));
    return *texts;
}

// Red rows lack the recipient's name or address with the columns as chosen now.
void BatchPrintDialog::markRows() {
    if (m_filling) return;
    const ColumnMapping chosen = mapping();
    const QColor normal = palette().text().color();
    for (int r = 0; r < m_list.rows.size(); ++r) {
        const QString missing = missingRecipientText(chosen.textsOf(m_list.rows[r].cells));
        // The row's number is marked too: a selected row shows its cells in the selection's
        // colours, and every row is selected at first.
        QTableWidgetItem* number = tblRows->verticalHeaderItem(r);
        number->setText(missing.isEmpty() ? QString::number(m_list.rows[r].number)
                                          : QStringLiteral("× %1").arg(m_list.rows[r].number));
        number->setForeground(missing.isEmpty() ? normal : kSkippedRowColour);
        number->setToolTip(missing);
        for (int c = 0; c < tblRows->columnCount(); ++c) {
            QTableWidgetItem* item = tblRows->item(r, c);
            if (!item) tblRows->setItem(r, c, item = new QTableWidgetItem);
            item->setForeground(missing.isEmpty() ? normal : kSkippedRowColour);
            item->setToolTip(missing);
        }
    }
    countRows();
}

// How many of the selected rows will be printed.
void BatchPrintDialog::countRows() {
    if (m_filling) return;
    if (m_list.rows.isEmpty()) {
        lblCount->clear();
        return;
    }
    const QList<int> selected = selectedRows();
    const OrderWaybills waybills(m_list, mapping(), {}, selected);
    lblCount->setText(
        QStringLiteral("共 %1 行，已选 %2 行，其中 %3 行缺少收货人或收货地址（红色），不打印。")
            .arg(m_list.rows.size())
            .arg(selected.size())
            .arg(waybills.skipped().size()));
}

QList<int> BatchPrintDialog::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : tblRows->selectionModel()->selectedRows()) rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

WaybillTemplate BatchPrintDialog::layoutToPrint() const {
    WaybillTemplate layout = m_mainForm->layoutOnScreen();
    // As "打印" does: the offsets afresh, since a calibration may have changed them.
    readPrintOffsets(ProfileFile(AppEnvironment::settingsFilePath()), layout);
    return layout;
}

void BatchPrintDialog::btnPreviewClick() {
    const OrderWaybills waybills(m_list, mapping(), senderTexts(), selectedRows());
    if (waybills.count() == 0) {
        MessageBoxes::information(QStringLiteral("所选的行中没有可打印的快递单。"), this);
        return;
    }
    WaybillJob(layoutToPrint()).preview(waybills.textsAt(0), [this](TReportJob* job) {
        auto* window = new TEXPDPreview(m_mainForm);
        // A child of this dialog, so that the modal dialog does not block it.
        window->setParent(this, window->windowFlags());
        ActivePreview = window;
        window->ReportPreview1->setReportJob(job);
        window->show();
    });
}

void BatchPrintDialog::btnPrintClick() {
    const QList<int> rows = selectedRows();
    if (rows.isEmpty()) {
        MessageBoxes::information(QStringLiteral("请先选择要打印的行。"), this);
        return;
    }
    // The columns as chosen now are what this header maps to next time.
    if (!m_list.header.isEmpty()) {
        ProfileFile ini(AppEnvironment::settingsFilePath());
        mapping().remember(ini, m_list.header);
    }
    printRows(rows);
}

void BatchPrintDialog::printRows(const QList<int>& rows) {
    const OrderWaybills waybills(m_list, mapping(), senderTexts(), rows);
    if (waybills.count() == 0) {
        MessageBoxes::information(QStringLiteral("所选的行中没有可打印的快递单。"), this);
        return;
    }
    const int printerIndex = m_mainForm->printerIndexForOutput(this);
    const QString printer = PrinterBackend::instance().printerNames().value(printerIndex);
    const WaybillTemplate layout = layoutToPrint();

    WaybillJob job(layout);
    job.setTitle(WaybillJob::titleForList(m_path));
    progress->setRange(0, waybills.count());
    progress->setValue(0);
    job.progress = [this](int drawn, int) { progress->setValue(drawn); };
    job.cancelRequested = [this] { return m_cancelRequested; };
    setPrinting(true);
    const TPagesPrinted printed = job.print(printer, waybills.source());
    setPrinting(false);
    if (printed.pagesPrinted > 0)
        tellUnrecorded(onJobHandedToPrinter(layout, printer,
                                            waybills.source().firstTexts(printed.pagesPrinted)),
                       this);
    reportOutcome(waybills, printed);
}

void BatchPrintDialog::reportOutcome(const OrderWaybills& waybills, const TPagesPrinted& printed) {
    QStringList report;
    QList<int> done;
    for (int i = 0; i < printed.pagesPrinted; ++i) done << waybills.rowNumberAt(i);
    report
        << (done.isEmpty()
                ? QStringLiteral("没有打印任何快递单。")
                : QStringLiteral("已打印 %1 张快递单：%2。").arg(done.size()).arg(rowRanges(done)));
    if (!waybills.skipped().isEmpty()) {
        QList<int> skipped;
        for (const SkippedRow& row : waybills.skipped()) skipped << row.number;
        report << QStringLiteral("跳过 %1 行（缺少收货人或收货地址）：%2。")
                      .arg(skipped.size())
                      .arg(rowRanges(skipped));
    }
    if (printed.pagesPrinted >= waybills.count()) {
        MessageBoxes::information(report.join(u'\n'), this);
        return;
    }
    const int firstNotPrinted = waybills.rowNumberAt(printed.pagesPrinted);
    report << (printed.outcome == TPagesPrinted::Outcome::Cancelled
                   ? QStringLiteral("打印已取消。")
                   : QStringLiteral("打印出错：%1").arg(printed.error));
    report << QStringLiteral("是否从第 %1 行起重新打印其余 %2 张？")
                  .arg(firstNotPrinted)
                  .arg(waybills.count() - printed.pagesPrinted);
    if (!MessageBoxes::confirm(report.join(u'\n'), this)) return;
    QList<int> rest;
    for (int i = printed.pagesPrinted; i < waybills.count(); ++i) rest << waybills.rowAt(i);
    // The rows left are what is selected now, so a later "打印" takes them too.
    m_filling = true;
    tblRows->clearSelection();
    for (int row : rest)
        tblRows->selectionModel()->select(tblRows->model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_filling = false;
    countRows();
    printRows(rest);
}

void BatchPrintDialog::setPrinting(bool printing) {
    m_printing = printing;
    m_cancelRequested = false;
    for (QWidget* w : std::initializer_list<QWidget*>{btnOpen, cbbEncoding, chkHeader, cbbSender,
                                                      tblRows, btnPrint, btnPreview, btnClose})
        w->setEnabled(!printing);
    for (QComboBox* choice : fieldColumns) choice->setEnabled(!printing);
    if (!printing) senderChanged();
    btnCancel->setEnabled(printing);
}

void BatchPrintDialog::closeEvent(QCloseEvent* event) {
    // The job under way is cancelled first; the dialog closes once it has ended.
    if (m_printing) {
        m_cancelRequested = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void BatchPrintDialog::reject() {
    if (m_printing) {
        m_cancelRequested = true;
        return;
    }
    QDialog::reject();
}
