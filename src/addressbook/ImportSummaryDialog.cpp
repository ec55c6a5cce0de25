#include "addressbook/ImportSummaryDialog.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ImportSummaryDialog::ImportSummaryDialog(const QString& fileName, int newRows, int changedRows,
                                         int refusedRows, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("ImportSummaryDialog"));
    setWindowTitle(QStringLiteral("导入"));
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setText(QStringLiteral("文件 %1：\n\n"
                                       "新增：%2 条\n"
                                       "与已有客户同名（将修改该客户）：%3 条\n"
                                       "没有名称，不能导入：%4 条")
                            .arg(QFileInfo(fileName).fileName())
                            .arg(newRows)
                            .arg(changedRows)
                            .arg(refusedRows));
    btnSkip = new QPushButton(
        changedRows > 0 ? QStringLiteral("导入，跳过已有客户") : QStringLiteral("导入"), this);
    btnSkip->setObjectName(QStringLiteral("btnSkip"));
    btnUpdate = new QPushButton(QStringLiteral("导入，更新已有客户"), this);
    btnUpdate->setObjectName(QStringLiteral("btnUpdate"));
    btnUpdate->setVisible(changedRows > 0);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnSkip->setEnabled(newRows > 0);
    // Nothing is written unless the user chooses so.
    btnCancel->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnSkip);
    buttons->addWidget(btnUpdate);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSummary);
    layout->addLayout(buttons);

    connect(btnSkip, &QPushButton::clicked, this, [this] { done(SkipExisting); });
    connect(btnUpdate, &QPushButton::clicked, this, [this] { done(UpdateExisting); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(Cancel); });
}
