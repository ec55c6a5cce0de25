// "打印校准页": the calibration sheet of the template shown, printed through the template's
// printer with the checks of a waybill print.
#include <QLabel>

#include "app/TEXPDPrintForm.h"
#include "platform/AppEnvironment.h"
#include "printing/CalibrationPage.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportPage.h"
#include "template/ProfileFile.h"
#include "waybill/TemplateSetFile.h"

void TEXPDPrintForm::printCalibrationPage(QWidget* messageParent) {
    requireInstalledPrinter(messageParent);
    const int printerIndex = printerIndexForOutput(messageParent);
    const QSize paper = printableSizeOfEdits();
    WaybillTemplate layout = layoutOnScreen();
    readPrintOffsets(ProfileFile(AppEnvironment::settingsFilePath()), layout);
    const QList<WaybillPrintItem> items = composeWaybill(
        layout, CalibrationPage::textsOrCaptions(textsOnScreen(), captionsOnScreen()));

    // A page of its own, never shown, so that nothing of the sheet touches the band on screen;
    // it is the waybill's page in all else: size, band, printer settings, title.
    TReportPage page;
    page.printerSettings() = ReportPage1->printerSettings();
    page.printerSettings().PrinterIndex = printerIndex;
    page.setReportTitle(ReportPage1->reportTitle());
    page.setShowProgress(ReportPage1->showProgress());
    page.setPageValue(TReportPage::Length, paper.height());
    page.setPageValue(TReportPage::Width, paper.width());
    auto* band = new TReportBand(&page);
    band->setSizeValue(TReportBand::Length, paper.height() - 2);
    CalibrationPage::compose(page, Image1 ? Image1->pixmap().toImage() : QImage(), items);
    page.Print();
}
