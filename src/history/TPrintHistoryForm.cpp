#include "history/TPrintHistoryForm.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "history/HistoryCsv.h"
#include "history/HistoryTableModel.h"
#include "platform/AppError.h"
#include "platform/HandlerGuard.h"
#include "platform/MessageBoxes.h"

namespace {

QPushButton* namedButton(const char* name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QDateEdit* dateEdit(const char* name, const QDate& date, QWidget* parent) {
    auto* edit = new QDateEdit(date, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    edit->setEnabled(false);
    return edit;
}

QString defaultExportPath(QWidget* parent) {
    return QFileDialog::getSaveFileName(
        parent, QStringLiteral("导出打印记录"),
        QStringLiteral("打印记录-%1.csv")
            .arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))),
        QStringLiteral("CSV 文件 (*.csv)"));
}

}  // namespace

TPrintHistoryForm::TPrintHistoryForm(QWidget* parent, const QString& historyPath)
    : QWidget(parent, Qt::Window),
      askExportPath(defaultExportPath),
      m_history(std::make_unique<PrintHistory>(historyPath)) {
    setObjectName(QStringLiteral("PrintHistoryForm"));
    setWindowTitle(QStringLiteral("打印记录"));
    setAttribute(Qt::WA_DeleteOnClose);

    edtSearch = new QLineEdit(this);
    edtSearch->setObjectName(QStringLiteral("edtSearch"));
    edtSearch->setPlaceholderText(QStringLiteral("姓名、电话、地址……"));
    edtSearch->setClearButtonEnabled(true);
    chkDate = new QCheckBox(QStringLiteral("日期"), this);
    chkDate->setObjectName(QStringLiteral("chkDate"));
    const QDate today = QDate::currentDate();
    dtFrom = dateEdit("dtFrom", today.addMonths(-1), this);
    dtTo = dateEdit("dtTo", today, this);
    btnSearch = namedButton("btnSearch", QStringLiteral("查询"), this);
    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));

    m_model = new HistoryTableModel(*m_history, this);
    grdHistory = new QTableView(this);
    grdHistory->setObjectName(QStringLiteral("grdHistory"));
    grdHistory->setModel(m_model);
    grdHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdHistory->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdHistory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdHistory->setWordWrap(false);
    grdHistory->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    grdHistory->horizontalHeader()->setStretchLastSection(true);

    btnReprint = namedButton("btnReprint", QStringLiteral("重新打印"), this);
    btnReprint->setToolTip(QStringLiteral("用当前快递单模板和打印机重新打印所选记录"));
    btnExport = namedButton("btnExport", QStringLiteral("导出CSV"), this);
    btnExport->setToolTip(QStringLiteral("导出所选记录；未选择时导出查询到的全部记录"));
    btnClose = namedButton("btnClose", QStringLiteral("关闭"), this);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(QStringLiteral("查找"), this));
    searchRow->addWidget(edtSearch, 1);
    searchRow->addWidget(chkDate);
    searchRow->addWidget(dtFrom);
    searchRow->addWidget(new QLabel(QStringLiteral("至"), this));
    searchRow->addWidget(dtTo);
    searchRow->addWidget(btnSearch);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(lblCount, 1);
    buttonRow->addWidget(btnReprint);
    buttonRow->addWidget(btnExport);
    buttonRow->addWidget(btnClose);
    auto* column = new QVBoxLayout(this);
    column->addLayout(searchRow);
    column->addWidget(grdHistory, 1);
    column->addLayout(buttonRow);

    // Typing searches after a short pause, so that a long history is not searched per key.
    m_typingPause = new QTimer(this);
    m_typingPause->setSingleShot(true);
    m_typingPause->setInterval(300);
    connectHandlers();
    resize(1000, 600);

    btnSearchClick();
    grdHistory->resizeColumnsToContents();
}

TPrintHistoryForm::~TPrintHistoryForm() = default;

void TPrintHistoryForm::connectHandlers() {
    connect(btnSearch, &QPushButton::clicked, this,
            guarded(this, &TPrintHistoryForm::btnSearchClick));
    connect(edtSearch, &QLineEdit::returnPressed, this,
            guarded(this, &TPrintHistoryForm::btnSearchClick));
    connect(edtSearch, &QLineEdit::textChanged, m_typingPause, qOverload<>(&QTimer::start));
    connect(m_typingPause, &QTimer::timeout, this,
            guarded(this, &TPrintHistoryForm::btnSearchClick));
    connect(chkDate, &QCheckBox::toggled, this, [this](bool on) {
        dtFrom->setEnabled(on);
        dtTo->setEnabled(on);
        runGuarded([this] { btnSearchClick(); });
    });
    for (QDateEdit* edit : {dtFrom, dtTo})
        connect(edit, &QDateEdit::dateChanged, this, [this] {
            if (chkDate->isChecked()) runGuarded([this] { btnSearchClick(); });
        });
    connect(btnReprint, &QPushButton::clicked, this,
            guarded(this, &TPrintHistoryForm::btnReprintClick));
    connect(btnExport, &QPushButton::clicked, this,
            guarded(this, &TPrintHistoryForm::btnExportClick));
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
}

void TPrintHistoryForm::btnSearchClick() {
    m_typingPause->stop();
    HistoryFilter filter;
    filter.text = edtSearch->text();
    if (chkDate->isChecked()) {
        filter.from = dtFrom->date();
        filter.to = dtTo->date();
    }
    m_model->setFilter(filter);
    lblCount->setText(QStringLiteral("共 %1 条").arg(m_model->matchCount()));
}

QList<HistoryEntry> TPrintHistoryForm::selectedEntries() const {
    QList<int> rows;
    for (const QModelIndex& index : grdHistory->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QList<HistoryEntry> entries;
    for (int row : rows) entries << m_model->entry(row);
    return entries;
}

QList<HistoryEntry> TPrintHistoryForm::allMatches() const {
    return m_history->entries(m_model->filter(), std::numeric_limits<int>::max());
}

void TPrintHistoryForm::btnReprintClick() {
    const QList<HistoryEntry> entries = selectedEntries();
    if (!reprint) return;
    if (entries.isEmpty()) {
        MessageBoxes::information(QStringLiteral("请先选择要重新打印的记录。"), this);
        return;
    }
    QList<WaybillTexts> waybills;
    for (const HistoryEntry& entry : entries) waybills << entry.texts;
    reprint(waybills, this);
    // The reprint is in the history now, at the top.
    btnSearchClick();
}

void TPrintHistoryForm::btnExportClick() {
    const QString path = askExportPath(this);
    if (path.isEmpty()) return;
    exportTo(path);
}

void TPrintHistoryForm::exportTo(const QString& path) {
    const QList<HistoryEntry> entries =
        grdHistory->selectionModel()->hasSelection() ? selectedEntries() : allMatches();
    QList<QStringList> rows;
    for (const HistoryEntry& entry : entries) rows << HistoryTableModel::cells(entry);
    // Written whole or not at all: a half-written export must not look like a finished one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(csvDocument(HistoryTableModel::headers(), rows)) < 0 || !file.commit())
        throw AppError(QStringLiteral("无法写入文件 %1：%2")
                           .arg(QDir::toNativeSeparators(path), file.errorString()));
    MessageBoxes::information(QStringLiteral("已导出 %1 条记录到 %2")
                                  .arg(entries.size())
                                  .arg(QDir::toNativeSeparators(path)),
                              this);
}
