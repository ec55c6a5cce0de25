// The printer a courier's waybills go to: the list of installed printers, the default printer,
// handing the choice to the page, and making sure a job goes to the printer the user chose.
#include <QComboBox>

#include "app/ListSelection.h"
#include "app/TEXPDPrintForm.h"
#include "platform/AppEnvironment.h"
#include "platform/AppError.h"
#include "platform/MessageBoxes.h"
#include "platform/PrinterBackend.h"
#include "printing/engine/TReportPage.h"
#include "template/ProfileFile.h"

QString GetDefaultPrinterName() {
    const QStringList printers = PrinterBackend::instance().printerNames();
    const QString platformDefault = PrinterBackend::instance().defaultPrinterName();
    // Many CUPS systems name no default destination at all; that is no error, just no default.
    if (platformDefault.isEmpty()) return {};
    for (const QString& name : printers)
        if (name.compare(platformDefault, Qt::CaseInsensitive) == 0) return name;
    return {};
}

void TEXPDPrintForm::fillPrinterList() {
    cbbPrinterName->addItems(PrinterBackend::instance().printerNames());
    cbbPrinterName->setCurrentIndex(-1);
}

void TEXPDPrintForm::refillPrinterList(const QStringList& installed, const QString& keep) {
    cbbPrinterName->clear();
    cbbPrinterName->addItems(installed);
    cbbPrinterName->setCurrentIndex(cbbPrinterName->findText(keep));
}

void TEXPDPrintForm::usePrinterChoice() {
    ProfileFile(AppEnvironment::settingsFilePath())
        .writeString(currentTemplate(), QStringLiteral("PrinterName"),
                     cbbPrinterName->currentText());
    ReportPage1->printerSettings().PrinterIndex = cbbPrinterName->currentIndex();
}

void TEXPDPrintForm::cbbPrinterNameChange() {
    usePrinterChoice();
}

void TEXPDPrintForm::Button1Click() {
    const QString defaultPrinter = GetDefaultPrinterName();
    // Printers installed but none of them the system's default: the user's choice stays.
    if (defaultPrinter.isEmpty() && !PrinterBackend::instance().printerNames().isEmpty()) {
        MessageBoxes::warning(QStringLiteral("系统没有设置默认打印机，请在列表中选择打印机。"),
                              this);
        return;
    }
    selectItemEqual(cbbPrinterName, defaultPrinter);
    usePrinterChoice();
}

void TEXPDPrintForm::requireInstalledPrinter(QWidget* messageParent) {
    if (!PrinterBackend::instance().printerNames().isEmpty()) return;
    MessageBoxes::warning(QStringLiteral("未安装打印机！"), messageParent);
    throw SilentAbort();
}

int TEXPDPrintForm::printerIndexForOutput(QWidget* messageParent) {
    requireInstalledPrinter(messageParent);
    // The list was filled at start; queues may have been added or removed since, and the
    // engine finds its printer by position in the list as it stands now.
    const QStringList installed = PrinterBackend::instance().printerNames();
    const int chosenIndex = cbbPrinterName->currentIndex();
    const QString chosen = cbbPrinterName->currentText();
    if (chosenIndex >= 0) {
        if (chosenIndex < installed.size() && installed[chosenIndex] == chosen) return chosenIndex;
        refillPrinterList(installed, chosen);
        if (cbbPrinterName->currentIndex() >= 0) return cbbPrinterName->currentIndex();
        MessageBoxes::warning(QStringLiteral("打印机“%1”已不存在，请重新选择。").arg(chosen),
                              messageParent);
        throw SilentAbort();
    }
    // Nothing chosen means the system's default printer; without one the job would land on
    // whichever queue happens to come first.
    const QString defaultPrinter = GetDefaultPrinterName();
    if (!defaultPrinter.isEmpty()) return int(installed.indexOf(defaultPrinter));
    refillPrinterList(installed, QString());
    const QString stored = ProfileFile(AppEnvironment::settingsFilePath())
                               .readString(currentTemplate(), QStringLiteral("PrinterName"), {});
    MessageBoxes::warning(
        stored.isEmpty()
            ? QStringLiteral("请先选择打印机。")
            : QStringLiteral("请先选择打印机。本快递单设定的打印机“%1”未安装。").arg(stored),
        messageParent);
    throw SilentAbort();
}
