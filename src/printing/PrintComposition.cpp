// "打印" and "预览": the template on screen and the fields' texts are composed into the page
// engine's text items, the page takes the size in the two edits, and the page goes to the
// printer or to the preview window.
#include <QComboBox>
#include <QScopeGuard>

#include "app/TEXPDPrintForm.h"
#include "platform/AppEnvironment.h"
#include "platform/MessageBoxes.h"
#include "platform/PrinterBackend.h"
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

namespace {
// An item of the composition as the page engine's text item on the band, placed in 0.1 mm.
TReportLabel* placePrintItem(TReportBand* band, const WaybillPrintItem& item) {
    auto* label = new TReportLabel(band);
    label->setObjectName(item.name);
    label->setInternalValue(TReportLabel::Top, item.top);
    label->setInternalValue(TReportLabel::Left, item.left);
    if (item.fixedBox) {
        label->setAutoSize(false);
        label->setInternalValue(TReportLabel::Width, item.width);
        label->setInternalValue(TReportLabel::Height, item.height);
        label->setWrapStyle(TWrapStyle::BreakAnywhere);
    }
    label->setCaption(item.caption);
    label->setFontSize(item.fontSize);
    if (!item.fontName.isEmpty()) label->setFontName(item.fontName);
    label->show();
    return label;
}
}  // namespace

void TEXPDPrintForm::composePrintItems() {
    WaybillTemplate layout = layoutOnScreen();
    // The offsets are read afresh: a calibration may have changed them since the load.
    readPrintOffsets(ProfileFile(AppEnvironment::settingsFilePath()), layout);
    const QList<WaybillPrintItem> items = composeWaybill(layout, textsOnScreen());
    PrintItemNames.clear();
    for (const WaybillPrintItem& item : items)
        PrintItemNames << placePrintItem(DetailBand1, item)->objectName();
}

void TEXPDPrintForm::runOutputCommand(bool preview) {
    if (PrinterBackend::instance().printerNames().isEmpty()) {
        MessageBoxes::warning(QStringLiteral("未安装打印机！"), this);
        return;
    }
    if (ActivePreview || BandHasPrintItems(DetailBand1)) return;

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
    applySizeEdits();
    if (preview) {
        ReportPage1->Preview();
    } else {
        ReportPage1->printerSettings().PrinterIndex = cbbPrinterName->currentIndex();
        ReportPage1->Print();
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
    window->show();
}
