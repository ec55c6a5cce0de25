// Moving a courier template's working set or default set between the settings file and the
// main window, and the buttons that do it directly.
#include <QFrame>
#include <QLineEdit>

#include "app/LayoutHistory.h"
#include "app/ListSelection.h"
#include "app/TEXPDPrintForm.h"
#include "platform/AppEnvironment.h"
#include "platform/MessageBoxes.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportPage.h"
#include "template/ProfileFile.h"
#include "waybill/TemplateSetFile.h"

QString TEXPDPrintForm::currentTemplate() const {
    return cbbNames->currentText();
}

void TEXPDPrintForm::CbbReadIni(ProfileFile& ini, bool isDefault) {
    const QString defaultPrinter = GetDefaultPrinterName();
    const TemplateSet set =
        readTemplateSet(ini, currentTemplate(), isDefault, layoutOnScreen(), defaultPrinter);

    selectItemEqual(cbbPrinterName, set.layout.printerName);
    if (cbbPrinterName->currentIndex() < 0) {
        selectItemEqual(cbbPrinterName, defaultPrinter);
        // With no printer in the list, or no default to put in its place, nothing is selected;
        // writing the empty text would lose a printer name the user chose on a machine that
        // had it.
        if (cbbPrinterName->currentIndex() >= 0)
            ini.writeString(currentTemplate(), printerKey(isDefault),
                            cbbPrinterName->currentText());
    }

    if (isDefault) {
        ReportPage1->printerSettings().PrinterIndex = cbbPrinterName->currentIndex();
        ReportPage1->setPageValue(TReportPage::Length, set.layout.heightMm);
        ReportPage1->setPageValue(TReportPage::Width, set.layout.widthMm);
        FitBandToPage();
        edtLong->setText(QString::number(set.layout.heightMm));
        edtWide->setText(QString::number(set.layout.widthMm));
    } else {
        edtLong->setText(set.heightText);
        edtWide->setText(set.widthText);
        ReportPage1->setPageValue(TReportPage::Length, set.layout.heightMm);
        ReportPage1->setPageValue(TReportPage::Width, set.layout.widthMm);
        FitBandToPage();
    }

    selectItemEqual(cbbTextfontname, set.layout.fontName);
    selectItemEqual(cbbfontSize, set.fontSizeText);
    // A field the layout editor deleted is gone for the rest of the run; its keys are skipped.
    showLayout(set.layout);
    // A loaded template starts a history of its own.
    layoutHistory->reset();
}

void TEXPDPrintForm::CbbWriteIni(ProfileFile& ini, bool isDefault) {
    TemplateSet set;
    set.layout = layoutOnScreen();
    set.heightText = edtLong->text();
    set.widthText = edtWide->text();
    set.fontSizeText = cbbfontSize->currentText();
    writeTemplateSet(ini, isDefault, set);
}

void TEXPDPrintForm::btnApplyClick() {
    if (edtLong->text().isEmpty() || edtWide->text().isEmpty()) return;
    ProfileFile ini(AppEnvironment::settingsFilePath());
    CbbWriteIni(ini, false);
    layoutHistory->markSaved();
    applySizeEdits();
}

void TEXPDPrintForm::btnSaveDefaultClick() {
    ProfileFile ini(AppEnvironment::settingsFilePath());
    CbbWriteIni(ini, true);
    MessageBoxes::information(QStringLiteral("保存完成！"), this);
    applySizeEdits();
}

void TEXPDPrintForm::btnDefaultClick() {
    ProfileFile ini(AppEnvironment::settingsFilePath());
    CbbReadIni(ini, true);
    FitBandToPage();
}

void TEXPDPrintForm::pnlHiddenDblClick() {
    pnlHidden->hide();
}
