// A reprint from the history: the chosen waybills' texts on the template and printer the main
// window shows now, as one job of one page per waybill, recorded like any other print.
#include "app/TEXPDPrintForm.h"
#include "batch/WaybillJob.h"
#include "history/HistoryRecording.h"
#include "platform/AppError.h"
#include "platform/PrinterBackend.h"
#include "printing/engine/TReportPage.h"

void TEXPDPrintForm::reprintWaybills(const QList<WaybillTexts>& waybills, QWidget* messageParent) {
    if (waybills.isEmpty()) return;
    const int printerIndex = printerIndexForOutput(messageParent);
    const QString printer = PrinterBackend::instance().printerNames().value(printerIndex);
    WaybillTemplate layout = layoutToPrint();
    const QSize paper = printableSizeOfEdits();
    layout.widthMm = paper.width();
    layout.heightMm = paper.height();

    WaybillJob job(layout);
    // The document title of the main window's own prints.
    job.setTitle(ReportPage1->reportTitle());
    const TPagesPrinted printed =
        job.print(printer, {int(waybills.size()), [&](int index) { return waybills[index]; }});
    // The pages that reached the printer are recorded even when the job stopped after them.
    if (printed.pagesPrinted > 0)
        recordJobTellingUser(handedOver(composedJob(layout, waybills.first(printed.pagesPrinted)),
                                        printer, QStringLiteral("重新打印")),
                             messageParent);
    if (printed.outcome == TPagesPrinted::Outcome::Failed) throw AppError(printed.error);
}
