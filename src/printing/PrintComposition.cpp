// "打印" and "预览": the template on screen and the fields' texts are composed into the page
// engine's text items, the page takes the size in the two edits, and the page goes to the
// printer or to the preview window.
#include <QComboBox>
#include <QScopeGuard>

#include "app/TEXPDPrintForm.h"
#include "history/HistoryRecording.h"
#include "layout/WaybillSizeLimits.h"
#include "platform/AppEnvironment.h"
#include "platform/AppError.h"
#include "platform/MessageBoxes.h"
#include "platform/PrinterBackend.h"
#include "printing/PrintItemPlacement.h"
#include "printing/PrintItems.h"
#include "printing/TEXPDPreview.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportJob.h"
#include "printing/engine/TReportLabel.h"
#include "printing/engine/TReportPage.h"
#include "printing/engine/TReportPreview.h"
#include "template/ProfileFile.h"
#include "waybill/TemplateSetFile.h"
#include "waybill/WaybillComposition.h"

QStringList PrintItemNames;

namespace {
QWidget* bandComponent(const TReportBand* band, const QString& name) {
    for (QObject* child : band->children())
        if (child->isWidgetType() && child->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<QWidget*>(child);
    return nullptr;
}
}  // namespace

void RemovePrintItems(TReportBand* band) {
    for (const QString& name : std::as_const(PrintItemNames))
        if (auto* item = qobject_cast<TReportLabel*>(bandComponent(band, name))) delete item;
}

bool BandHasPrintItems(const TReportBand* band) {
    return bandComponent(band, QStringLiteral("lbl1")) != nullptr;
}

WaybillTemplate TEXPDPrintForm::layoutToPrint() const {
    WaybillTemplate layout = layoutOnScreen();
    // The offsets are read afresh: a calibration may have changed them since the load.
    readPrintOffsets(ProfileFile(AppEnvironment::settingsFilePath()), layout);
    return layout;
}

void TEXPDPrintForm::composePrintItems() {
    const WaybillTemplate layout = layoutToPrint();
    const WaybillTexts texts = textsOnScreen();
    const QList<WaybillPrintItem> items = composeWaybill(layout, texts);
    m_composedJob = composedJob(layout, {texts});
    PrintItemNames.clear();
    for (const WaybillPrintItem& item : items)
        PrintItemNames << placePrintItem(DetailBand1, item)->objectName();
}

QSize TEXPDPrintForm::printableSizeOfEdits() const {
    const QSize size = sizeEditsMillimetres();
    if (!isPrintableWaybillLength(size.width()) || !isPrintableWaybillLength(size.height()))
        throw AppError(QStringLiteral("快递单尺寸 %1 × %2 毫米（高 × 宽）无法打印：高和宽都须在 "
                                      "%3 到 %4 毫米之间。")
                           .arg(size.height())
                           .arg(size.width())
                           .arg(kSmallestWaybillMm)
                           .arg(kLargestWaybillMm));
    return size;
}

void TEXPDPrintForm::runOutputCommand(bool preview) {
    requireInstalledPrinter(this);
    if (ActivePreview) {
        // The preview stays on top, so the message goes with it.
        MessageBoxes::information(QStringLiteral("预览窗口已打开，请先关闭预览。"), ActivePreview);
        ActivePreview->raise();
        return;
    }
    if (BandHasPrintItems(DetailBand1)) return;
    // Both are settled before anything is made, so a refusal leaves page and band untouched.
    const int printerIndex = printerIndexForOutput(this);
    const QSize paper = printableSizeOfEdits();

    setUpdatesEnabled(false);
    // Whatever ends the command early must not leave items behind (they would turn every
    // later command into a no-op) nor the window without drawing. An open preview window
    // owns the items until it closes.
    const auto cleanUp = qScopeGuard([this] {
        if (!ActivePreview) RemovePrintItems(DetailBand1);
        setUpdatesEnabled(true);
        update();
    });
    composePrintItems();
    setUpdatesEnabled(true);
    repaint();
    SetWaybillSize(paper.height(), paper.width());
    // The preview's job takes its paper from this printer too, and a stale index must not
    // reach the engine.
    ReportPage1->printerSettings().PrinterIndex = printerIndex;
    if (preview) {
        ReportPage1->Preview();
    } else if (ReportPage1->Print()) {
        const QString printer = PrinterBackend::instance().printerNames().value(printerIndex);
        recordJobTellingUser(handedOver(m_composedJob, printer, QStringLiteral("打印")), this);
    }
}

void TEXPDPrintForm::btnPrintClick() {
    runOutputCommand(false);
}

void TEXPDPrintForm::btn1Click() {
    runOutputCommand(true);
}

void TEXPDPrintForm::ReportPage1Preview(TReportJob* job) {
    auto* window = new TEXPDPreview(this);
    ActivePreview = window;
    window->ReportPreview1->setReportJob(job);
    // The page on show is the one just composed, whatever the fields hold by the time it is
    // printed; each print of it that reaches the printer is a job of its own.
    connect(job, &TReportJob::printedOnPrinter, window,
            [window, composed = m_composedJob](const QString& printer, int) {
                recordJobTellingUser(handedOver(composed, printer, QStringLiteral("预览打印")),
                                     window);
            });
    window->show();
}
