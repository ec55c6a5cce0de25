#include "batch/WaybillJob.h"

#include <QFileInfo>

#include "layout/WaybillSizeLimits.h"
#include "layout/WindowsFaceNames.h"
#include "platform/AppError.h"
#include "platform/PrinterBackend.h"
#include "platform/QtPrinterBackend.h"
#include "platform/Rounding.h"
#include "printing/PrintItemPlacement.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportPage.h"
#include "waybill/WaybillComposition.h"

namespace {
TPagesPrinted failure(const QString& why) {
    return TPagesPrinted{TPagesPrinted::Outcome::Failed, 0, why};
}

// Makes `backend` the printer layer until the end of the scope, then restores the one before.
class BackendInstalled {
  public:
    explicit BackendInstalled(PrinterBackend* backend) : m_previous(&PrinterBackend::instance()) {
        PrinterBackend::install(backend);
    }
    ~BackendInstalled() { PrinterBackend::install(m_previous); }
    BackendInstalled(const BackendInstalled&) = delete;
    BackendInstalled& operator=(const BackendInstalled&) = delete;

  private:
    PrinterBackend* m_previous;
};
}  // namespace

QList<WaybillTexts> WaybillTextSource::firstTexts(int pages) const {
    QList<WaybillTexts> texts;
    texts.reserve(pages);
    for (int index = 0; index < pages && index < count; ++index) texts << textsAt(index);
    return texts;
}

WaybillJob::WaybillJob(WaybillTemplate layout) : m_layout(std::move(layout)) {}

QString WaybillJob::titleForList(const QString& listPath) {
    return QStringLiteral("Quorvel batch ") + QFileInfo(listPath).completeBaseName();
}

TPagesPrinted WaybillJob::print(const QString& printerName, const WaybillTextSource& source) const {
    int index = -1;  // the system's default
    if (!printerName.isEmpty()) {
        index = PrinterBackend::instance().printerNames().indexOf(printerName);
        if (index < 0) return failure(QStringLiteral("打印机“%1”未安装。").arg(printerName));
    }
    return run(index, source);
}

TPagesPrinted WaybillJob::writePdf(const QString& path, const WaybillTextSource& source) const {
    PdfFilePrinterBackend pdf(path);
    const BackendInstalled installed(&pdf);
    return run(0, source);
}

namespace {
// The main window's page as "打印" sets it up for a template, never shown.
struct WaybillPage {
    TReportPage page;
    TReportBand* band;

    WaybillPage(const WaybillTemplate& layout, const QString& title) {
        // The template names its face as Windows does ("宋体"); without a main window nobody
        // has taught QFont which installed face stands for that name yet.
        WindowsFaceNames::installSubstitutes();
        page.setAttribute(Qt::WA_DontShowOnScreen);
        page.setReportTitle(title);
        page.setShowProgress(false);
        band = new TReportBand(&page);
        page.setPageValue(TReportPage::Length, layout.heightMm);
        page.setPageValue(TReportPage::Width, layout.widthMm);
        band->setSizeValue(TReportBand::Length, roundHalfEvenToDouble(layout.heightMm - 2));
    }
};

void placeWaybill(TReportBand& band, const WaybillTemplate& layout, const WaybillTexts& texts) {
    for (const WaybillPrintItem& item : composeWaybill(layout, texts)) placePrintItem(&band, item);
}
}  // namespace

TPagesPrinted WaybillJob::run(int printerIndex, const WaybillTextSource& source) const {
    const QString sizeRefusal = unprintableSizeText(m_layout.heightMm, m_layout.widthMm);
    if (!sizeRefusal.isEmpty()) return failure(sizeRefusal);
    WaybillPage sheet(m_layout, m_title);
    sheet.page.printerSettings().PrinterIndex = printerIndex;
    TPageSource pages;
    pages.pageCount = source.count;
    pages.composePage = [&](int index, TReportBand& band) {
        placeWaybill(band, m_layout, source.textsAt(index));
    };
    pages.progress = progress;
    pages.cancelRequested = cancelRequested;
    return sheet.page.PrintPages(pages);
}

void WaybillJob::preview(const WaybillTexts& texts,
                         const std::function<void(TReportJob*)>& showPreview) const {
    const QString sizeRefusal = unprintableSizeText(m_layout.heightMm, m_layout.widthMm);
    if (!sizeRefusal.isEmpty()) throw AppError(sizeRefusal);
    WaybillPage sheet(m_layout, m_title);
    placeWaybill(*sheet.band, m_layout, texts);
    sheet.page.OnPreview = showPreview;
    sheet.page.Preview();
}
