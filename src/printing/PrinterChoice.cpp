// The printer a courier's waybills go to: the list of installed printers, the default printer,
// and handing the choice to the page.
#include <QComboBox>

#include "app/ListSelection.h"
#include "app/TEXPDPrintForm.h"
#include "platform/AppEnvironment.h"
#include "platform/AppError.h"
#include "platform/PrinterBackend.h"
#include "printing/engine/TReportPage.h"
#include "template/ProfileFile.h"

QString GetDefaultPrinterName() {
    const QStringList printers = PrinterBackend::instance().printerNames();
    if (printers.isEmpty()) return {};
    const QString platformDefault = PrinterBackend::instance().defaultPrinterName();
    for (const QString& name : printers)
        if (!platformDefault.isEmpty() && name.compare(platformDefault, Qt::CaseInsensitive) == 0)
            return name;
    throw AppError(QStringLiteral("There is no default printer currently selected"));
}

void TEXPDPrintForm::fillPrinterList() {
    cbbPrinterName->addItems(PrinterBackend::instance().printerNames());
    cbbPrinterName->setCurrentIndex(-1);
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
    selectItemEqual(cbbPrinterName, GetDefaultPrinterName());
    usePrinterChoice();
}
