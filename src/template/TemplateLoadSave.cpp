// Moving a courier template's working set or default set between the settings file and the
// main window, and the buttons that do it directly.
#include <QFrame>
#include <QLineEdit>

#include "app/ListSelection.h"
#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "app/WaybillFieldSpecs.h"
#include "platform/AppEnvironment.h"
#include "platform/MessageBoxes.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportPage.h"
#include "template/ProfileFile.h"

namespace {
struct SetKeys {
    QString printer, height, width, fontName, fontSize;
};

SetKeys keysOf(bool isDefault) {
    if (isDefault)
        return {"DefaultPrinterName", "DefaultLong", "DefaultWide", "DefaultFontName",
                "DefaultFontSize"};
    return {"PrinterName", "CurrentLong", "CurrentWide", "FontName", "FontSize"};
}
}  // namespace

QString TEXPDPrintForm::currentTemplate() const {
    return cbbNames->currentText();
}

void TEXPDPrintForm::CbbReadIni(ProfileFile& ini, bool isDefault) {
    const SetKeys keys = keysOf(isDefault);

    const QString defaultPrinter = GetDefaultPrinterName();
    selectItemEqual(cbbPrinterName,
                    ini.readString(currentTemplate(), keys.printer, defaultPrinter));
    if (cbbPrinterName->currentIndex() < 0) {
        selectItemEqual(cbbPrinterName, defaultPrinter);
        // With no printer in the list, or no default to put in its place, nothing is selected;
        // writing the empty text would lose a printer name the user chose on a machine that
        // had it.
        if (cbbPrinterName->currentIndex() >= 0)
            ini.writeString(currentTemplate(), keys.printer, cbbPrinterName->currentText());
    }

    if (isDefault) {
        ReportPage1->printerSettings().PrinterIndex = cbbPrinterName->currentIndex();
        const int height = ini.readInteger(currentTemplate(), keys.height, 128);
        const int width = ini.readInteger(currentTemplate(), keys.width, 230);
        ReportPage1->setPageValue(TReportPage::Length, height);
        ReportPage1->setPageValue(TReportPage::Width, width);
        FitBandToPage();
        edtLong->setText(QString::number(height));
        edtWide->setText(QString::number(width));
    } else {
        edtLong->setText(ini.readString(currentTemplate(), keys.height, QStringLiteral("128")));
        edtWide->setText(ini.readString(currentTemplate(), keys.width, QStringLiteral("230")));
        ReportPage1->setPageValue(TReportPage::Length,
                                  ini.readInteger(currentTemplate(), keys.height, 128));
        ReportPage1->setPageValue(TReportPage::Width,
                                  ini.readInteger(currentTemplate(), keys.width, 230));
        FitBandToPage();
    }

    selectItemEqual(cbbTextfontname,
                    ini.readString(currentTemplate(), keys.fontName, QStringLiteral("宋体")));
    selectItemEqual(cbbfontSize,
                    ini.readString(currentTemplate(), keys.fontSize, QStringLiteral("10")));

    // A field the layout editor deleted is gone for the rest of the run; its keys are skipped.
    for (const WaybillFieldSpec& spec : waybillFieldSpecs()) {
        if (WaybillField* f = field(spec.objectName())) {
            f->move(f->x(), ini.readInteger(currentTemplate(), spec.topKey(isDefault), f->y()));
            f->move(ini.readInteger(currentTemplate(), spec.leftKey(isDefault), f->x()), f->y());
            f->resize(ini.readInteger(currentTemplate(), spec.widthKey(isDefault), f->width()),
                      f->height());
        }
    }
    for (const WaybillFieldSpec& spec : waybillFieldSpecs()) {
        if (WaybillField* f = field(spec.objectName()))
            f->setVisible(ini.readBool(currentTemplate(), spec.visibleKey(isDefault), true));
    }
}

void TEXPDPrintForm::CbbWriteIni(ProfileFile& ini, bool isDefault) {
    const SetKeys keys = keysOf(isDefault);
    // Nothing selected means the stored printer is not installed here: it keeps its place.
    if (cbbPrinterName->currentIndex() >= 0)
        ini.writeString(currentTemplate(), keys.printer, cbbPrinterName->currentText());
    ini.writeString(currentTemplate(), keys.height, edtLong->text());
    ini.writeString(currentTemplate(), keys.width, edtWide->text());
    ini.writeString(currentTemplate(), keys.fontName, cbbTextfontname->currentText());
    ini.writeString(currentTemplate(), keys.fontSize, cbbfontSize->currentText());
    for (const WaybillFieldSpec& spec : waybillFieldSpecs()) {
        if (WaybillField* f = field(spec.objectName())) {
            ini.writeInteger(currentTemplate(), spec.topKey(isDefault), f->y());
            ini.writeInteger(currentTemplate(), spec.leftKey(isDefault), f->x());
            ini.writeInteger(currentTemplate(), spec.widthKey(isDefault), f->width());
        }
    }
}

void TEXPDPrintForm::btnApplyClick() {
    if (edtLong->text().isEmpty() || edtWide->text().isEmpty()) return;
    ProfileFile ini(AppEnvironment::settingsFilePath());
    CbbWriteIni(ini, false);
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
