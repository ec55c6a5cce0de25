#include "printing/engine/TReportJob.h"

#include <QCoreApplication>
#include <algorithm>
#include <QPainter>
#include <QPointer>

#include "platform/AppError.h"
#include "platform/Rounding.h"
#include "printing/engine/TOutputCanvas.h"
#include "printing/engine/TPrintProgressWindow.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportLabel.h"

namespace {

void handlePendingEvents() {
    QCoreApplication::processEvents();
}

// The platform's code of a standard page paper size (DMPAPER), 0 for none.
int standardPaperCode(TPaperSize size) {
    switch (size) {
        case TPaperSize::Letter:
            return 1;
        case TPaperSize::A4:
            return 9;
        case TPaperSize::A5:
            return 11;
        case TPaperSize::B5:
            return 13;
        case TPaperSize::Default:
        case TPaperSize::Custom:
            break;
    }
    return 0;
}

TDeviceMapping mappingOf(const PrinterCapabilities& caps) {
    return TDeviceMapping::forPrinter(caps.dpiX, caps.dpiY, caps.offsetX, caps.offsetY);
}

// Deletes the text items on the band that are not among `kept`.
void deleteItemsExcept(TReportBand* band, const QList<TReportLabel*>& kept) {
    if (!band) return;
    for (TReportLabel* item : band->labels())
        if (!kept.contains(item)) delete item;
}

}  // namespace

QString engine::errorOf(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const AppError& e) {
        return e.text();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
    return {};
}

TReportJob::TReportJob(TReportPage* page, TReportDestination destination)
    : QObject(nullptr),
      m_page(page),
      m_destination(destination),
      m_title(page->reportTitle()),
      m_screenDpi(page->screenDpi()) {
    // The job's own printer: the platform's default printer (the first one when the platform
    // names none).
    readPrinterList();
    if (!m_printerNames.isEmpty()) {
        const QString defaultName = PrinterBackend::instance().defaultPrinterName();
        int index = 0;
        for (int i = 0; i < m_printerNames.size(); ++i)
            if (m_printerNames[i].compare(defaultName, Qt::CaseInsensitive) == 0) index = i;
        bindPrinter(index);
    }
}

TReportJob::~TReportJob() = default;

const TPagePicture* TReportJob::pagePicture(int number) const {
    if (number < 1 || number > m_availablePages) return nullptr;
    return &m_pages[number - 1];
}

void TReportJob::readPrinterList() {
    m_printerNames = PrinterBackend::instance().printerNames();
}

int TReportJob::printerIndex() const {
    return m_printerName.isEmpty() ? -1 : int(m_printerNames.indexOf(m_printerName));
}

void TReportJob::setPrinterIndex(int index) {
    readPrinterList();
    if (m_printerNames.isEmpty() || index == -1) return;
    if (index < -1 || index >= m_printerNames.size())
        throw AppError(QStringLiteral("Printer index out of range"));
    if (m_printerNames[index] == m_printerName) return;
    bindPrinter(index);
}

void TReportJob::bindPrinter(int index) {
    // Read the printer's settings as it stands (its current paper), then ask again for the
    // paper the page wants: whether a custom size holds depends on the printer.
    PrinterDeviceMode plain;
    plain.orientation = m_mode.orientation;
    const auto device = PrinterBackend::instance().open(m_printerNames[index], plain);
    m_caps = device->capabilities();
    m_printerName = m_printerNames[index];
    applyPaperRequest();
}

void TReportJob::bindToPage() {
    const TPrinterSettings& settings = m_page->printerSettings();
    // 1. The printer.
    setPrinterIndex(settings.PrinterIndex);
    // 2. The paper: the page's own size is asked for; a custom size holds only where the
    // printer offers a user-defined paper size.
    const bool landscape = m_page->orientation() == TPageOrientation::Landscape;
    m_mode.orientation = landscape ? PrinterDeviceMode::Landscape : PrinterDeviceMode::Portrait;
    m_requestedPaper = m_page->paperSize();
    applyPaperRequest();
    // 3. Copies, bin, duplex, pages, quality, collate and colour.
    m_mode.copies = settings.Copies;
    m_mode.bin = paperBinCode(settings.OutputBin);
    m_mode.duplex = settings.Duplex && m_caps.supportsDuplex;
    m_mode.collate = settings.Collate != 0;
    m_firstPage = settings.FirstPage;
    m_lastPage = settings.LastPage;
    m_printQuality = settings.PrintQuality;
    m_colorOption = settings.ColorOption;
}

void TReportJob::applyPaperRequest() {
    const bool landscape = m_mode.orientation == PrinterDeviceMode::Landscape;
    if (m_requestedPaper == TPaperSize::Custom && m_caps.offersUserDefinedSize()) {
        // The device mode carries the paper as it stands in the printer: swapped for landscape.
        const double width = roundHalfEven(m_page->internalValue(TReportPage::Width));
        const double length = roundHalfEven(m_page->internalValue(TReportPage::Length));
        m_mode.paperSize = PrinterDeviceMode::UserDefinedPaper;
        m_mode.paperWidth = landscape ? length : width;
        m_mode.paperLength = landscape ? width : length;
        return;
    }
    const int code = standardPaperCode(m_requestedPaper);
    m_mode.paperSize = code != 0 && m_caps.paperSizes.contains(code) ? code : 0;
    // The printer's current paper, as its capabilities measure it.
    m_mode.paperWidth =
        m_caps.dpiX > 0 ? roundHalfEven(m_caps.physicalWidth / m_caps.dpiX * 254) : 0;
    m_mode.paperLength =
        m_caps.dpiY > 0 ? roundHalfEven(m_caps.physicalHeight / m_caps.dpiY * 254) : 0;
    if (landscape) std::swap(m_mode.paperWidth, m_mode.paperLength);
}

bool TReportJob::customPaper() const {
    return m_mode.paperSize == PrinterDeviceMode::UserDefinedPaper;
}

double TReportJob::paperWidth() const {
    if (m_mode.paperWidth <= 0) return roundHalfEven(m_page->internalValue(TReportPage::Width));
    return m_mode.orientation == PrinterDeviceMode::Landscape ? m_mode.paperLength
                                                              : m_mode.paperWidth;
}

double TReportJob::paperLength() const {
    if (m_mode.paperLength <= 0) return roundHalfEven(m_page->internalValue(TReportPage::Length));
    return m_mode.orientation == PrinterDeviceMode::Landscape ? m_mode.paperWidth
                                                              : m_mode.paperLength;
}

TDeviceMapping TReportJob::screenMapping() const {
    return TDeviceMapping::forScreen(m_screenDpi);
}

TDeviceMapping TReportJob::printerMapping() const {
    return mappingOf(m_caps);
}

QSize TReportJob::pictureSize() const {
    const TDeviceMapping screen = screenMapping();
    return {screen.width(paperWidth()), screen.height(paperLength())};
}

void TReportJob::setShown(bool shown) {
    if (m_shown == shown) return;
    m_shown = shown;
    emit shownChanged(shown);
}

void TReportJob::cancel() {
    m_cancelled = true;
}

void TReportJob::setStatus(TJobStatus status) {
    m_status = status;
    emit statusChanged(status);
}

std::unique_ptr<PrinterDevice> TReportJob::openPrinter() {
    if (m_printerName.isEmpty()) throw AppError(QStringLiteral("Printer selected is not valid"));
    // Setting the printer up: paper size code (256 for a custom size), length and width,
    // copies, duplex, bin, orientation and collate, all in the device mode it is opened with.
    return PrinterBackend::instance().open(m_printerName, m_mode);
}

// A recorded page: the paper at the screen's resolution, the page composed onto it.
void TReportJob::composeRecorded() {
    QPointer<TReportJob> alive(this);
    m_cancelled = false;
    setStatus(TJobStatus::mpBusy);
    m_pages.clear();
    m_availablePages = 0;
    handlePendingEvents();
    if (!alive) return;
    if (!m_cancelled) {
        m_pages.push_back(m_page->recordPage(QSizeF(paperWidth(), paperLength())));
        m_availablePages = int(m_pages.size());
        emit pagesAvailable(m_availablePages);
        if (!alive) return;
        handlePendingEvents();
        if (!alive) return;
    }
    setStatus(TJobStatus::mpFinished);
}

// A direct print: the page composed straight onto the printer, positions from the paper's edge;
// a job of one page whose items are those on the band.
bool TReportJob::composeToPrinter() {
    TPageSource onePage;
    onePage.pageCount = 1;
    onePage.composePage = [](int, TReportBand&) {};
    const TPagesPrinted printed = composePagesToPrinter(onePage);
    if (printed.outcome == TPagesPrinted::Outcome::Failed) throw AppError(printed.error);
    return printed.pagesPrinted == 1;
}

void TReportJob::Print() {
    if (m_printing) {
        // A print is under way (we are inside its event handling): this one follows it.
        ++m_deferredPrints;
        return;
    }
    if (m_status != TJobStatus::mpFinished) return;
    readPrinterList();
    if (m_printerNames.isEmpty()) return;

    m_printing = true;
    struct Done {
        TReportJob* job;
        ~Done() {
            job->m_printing = false;
            job->m_deferredPrints = 0;
            if (job->m_releaseWhenDone) job->deleteLater();
        }
    } done{this};
    printRecordedAndTell();
    while (m_deferredPrints > 0 && !m_cancelled) {
        --m_deferredPrints;
        printRecordedAndTell();
    }
}

void TReportJob::printRecordedAndTell() {
    // The printer's name as it was when the document started: a print under way may be
    // followed by a change of printer for the deferred one.
    const QString printer = m_printerName;
    const int pages = printRecordedOnce();
    if (pages > 0) emit printedOnPrinter(printer, pages);
}

int TReportJob::printRecordedOnce() {
    m_cancelled = false;
    auto device = openPrinter();
    const TDeviceMapping mapping = mappingOf(device->capabilities());
    device->startDocument(m_title);

    std::unique_ptr<TPrintProgressWindow> progressWindow;
    if (m_page->showProgress()) {
        progressWindow = std::make_unique<TPrintProgressWindow>(this);
        progressWindow->show();
    }
    try {
        const int first = m_firstPage > 0 ? m_firstPage : 1;
        const int last = m_lastPage > 0 ? std::min(m_lastPage, pageCount()) : pageCount();
        const int count = last - first + 1;
        bool aborted = false;
        for (int number = first; number <= last; ++number) {
            handlePendingEvents();
            emit progress(roundHalfEven(double(number - first + 1) / count * 100));
            // The recorded page is laid out on the printer as a direct print lays it out:
            // positions from the paper's edge, lines spaced with the printer's own metrics.
            TPainterCanvas canvas(*device->painter(), mapping);
            m_pages[number - 1].render(canvas);
            if (number != last) device->newPage();
            if (m_cancelled) {
                device->abortDocument();
                aborted = true;
                break;
            }
        }
        if (progressWindow) progressWindow->hide();
        if (aborted) return 0;
        device->endDocument();
        return std::max(count, 0);
    } catch (...) {
        device->abortDocument();
        throw;
    }
}

void TReportJob::ClosePreview() {
    setShown(false);
    if (m_status == TJobStatus::mpBusy) m_cancelled = true;
    emit previewEnded();
}

TPagesPrinted TReportJob::composePagesToPrinter(const TPageSource& source) {
    QPointer<TReportJob> alive(this);
    m_cancelled = false;
    setStatus(TJobStatus::mpBusy);
    TReportBand* band = m_page->detailBand();
    const QList<TReportLabel*> fixedItems = band ? band->labels() : QList<TReportLabel*>();
    auto device = openPrinter();
    const TDeviceMapping mapping = mappingOf(device->capabilities());
    device->startDocument(m_title);
    TPagesPrinted result;
    int drawn = 0;
    try {
        for (int index = 0; index < source.pageCount; ++index) {
            handlePendingEvents();
            if (!alive || m_cancelled || (source.cancelRequested && source.cancelRequested())) {
                result.outcome = TPagesPrinted::Outcome::Cancelled;
                break;
            }
            const QString failure = engine::errorOf([&] {
                if (!band) throw AppError(QStringLiteral("The page has no band to print"));
                source.composePage(index, *band);
            });
            // The same recording and layout as a single print of these items; then the
            // items go, so that one page's items exist at a time.
            const TPagePicture page = failure.isNull() ? m_page->recordPage() : TPagePicture();
            deleteItemsExcept(band, fixedItems);
            if (!failure.isNull()) {
                result.outcome = TPagesPrinted::Outcome::Failed;
                result.error = failure;
                break;
            }
            if (index > 0) device->newPage();
            TPainterCanvas canvas(*device->painter(), mapping);
            page.render(canvas);
            ++drawn;
            if (source.progress) source.progress(drawn, source.pageCount);
        }
        // The pages drawn so far are whole waybills: they go to the printer even when the job
        // stops early. A document without a page is not worth a sheet.
        if (drawn == 0)
            device->abortDocument();
        else
            device->endDocument();
    } catch (...) {
        // The printer failed: what it has is not a whole document.
        device->abortDocument();
        throw;
    }
    result.pagesPrinted = drawn;
    if (alive) setStatus(TJobStatus::mpFinished);
    return result;
}
