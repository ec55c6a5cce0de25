#include "platform/QtPrinterBackend.h"

#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/AppError.h"

namespace {

QPrinter::PaperSource paperSourceOf(int bin) {
    switch (bin) {
        case 1:
            return QPrinter::Upper;
        case 2:
            return QPrinter::Lower;
        case 3:
            return QPrinter::Middle;
        case 4:
            return QPrinter::Manual;
        case 5:
            return QPrinter::Envelope;
        case 6:
            return QPrinter::EnvelopeManual;
        case 8:
            return QPrinter::Tractor;
        case 9:
            return QPrinter::SmallFormat;
        case 10:
            return QPrinter::LargeFormat;
        case 11:
            return QPrinter::LargeCapacity;
        case 14:
            return QPrinter::Cassette;
        case 15:
            return QPrinter::FormSource;
        default:
            return QPrinter::Auto;
    }
}

class QtPrinterDevice : public PrinterDevice {
  public:
    // A printer of the system, or (with a null `info` and a path) a PDF file written by Qt.
    QtPrinterDevice(const QPrinterInfo& info, const PrinterDeviceMode& mode,
                    const QString& pdfPath = QString())
        : m_info(info),
          m_name(pdfPath.isEmpty() ? info.printerName() : pdfPath),
          m_printer(info, QPrinter::HighResolution) {
        if (!pdfPath.isEmpty()) {
            m_printer.setOutputFormat(QPrinter::PdfFormat);
            m_printer.setOutputFileName(pdfPath);
        }
        // Full-page mode: the painter's origin is the paper's top-left corner.
        m_printer.setFullPage(true);
        m_printer.setPageOrientation(mode.orientation == PrinterDeviceMode::Landscape
                                         ? QPageLayout::Landscape
                                         : QPageLayout::Portrait);
        if (mode.paperSize == PrinterDeviceMode::UserDefinedPaper && mode.paperWidth > 0 &&
            mode.paperLength > 0) {
            // The device mode carries the paper as it stands in the tray (portrait measures);
            // the orientation turns it.
            const QPageSize custom(QSizeF(mode.paperWidth / 10.0, mode.paperLength / 10.0),
                                   QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
            m_printer.setPageSize(custom);
        } else if (mode.paperSize > 0) {
            const QPageSize::PageSizeId id = QPageSize::id(mode.paperSize);
            if (id != QPageSize::Custom) m_printer.setPageSize(QPageSize(id));
        }
        m_printer.setCopyCount(std::max(1, mode.copies));
        m_printer.setCollateCopies(mode.collate);
        if (mode.duplex && m_info.supportedDuplexModes().contains(QPrinter::DuplexAuto))
            m_printer.setDuplex(QPrinter::DuplexAuto);
        else
            m_printer.setDuplex(QPrinter::DuplexNone);
        const QPrinter::PaperSource source = paperSourceOf(mode.bin);
        m_printer.setPaperSource(source);
    }

    ~QtPrinterDevice() override {
        if (m_painter.isActive()) m_painter.end();
    }

    PrinterCapabilities capabilities() const override {
        PrinterCapabilities caps;
        auto& printer = const_cast<QPrinter&>(m_printer);
        caps.dpiX = printer.logicalDpiX();
        caps.dpiY = printer.logicalDpiY();
        const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
        const QRectF page = printer.pageRect(QPrinter::DevicePixel);
        // The painter's origin is the page rectangle's corner (the paper's corner in full-page
        // mode), measured from the paper's corner.
        caps.offsetX = printer.fullPage() ? 0.0 : page.left() - paper.left();
        caps.offsetY = printer.fullPage() ? 0.0 : page.top() - paper.top();
        caps.physicalWidth = paper.width();
        caps.physicalHeight = paper.height();
        for (const QPageSize& size : m_info.supportedPageSizes())
            if (size.windowsId() > 0 && !caps.paperSizes.contains(size.windowsId()))
                caps.paperSizes << size.windowsId();
        // A PDF file takes any paper.
        if (m_info.isNull() || m_info.supportsCustomPageSizes())
            caps.paperSizes << PrinterDeviceMode::UserDefinedPaper;
        const QPageSize current = printer.pageLayout().pageSize();
        caps.currentPaperSize = current.id() == QPageSize::Custom
                                    ? PrinterDeviceMode::UserDefinedPaper
                                    : current.windowsId();
        caps.supportsDuplex = m_info.supportedDuplexModes().contains(QPrinter::DuplexAuto);
        caps.supportsCollate = true;
        return caps;
    }

    void startDocument(const QString& title) override {
        m_printer.setDocName(title);
        if (!m_painter.begin(&m_printer))
            throw AppError(QStringLiteral("Printing on %1 could not be started").arg(m_name));
    }

    void newPage() override {
        if (!m_printer.newPage())
            throw AppError(QStringLiteral("Printer %1 refused a new page").arg(m_name));
    }

    void endDocument() override {
        if (m_painter.isActive() && !m_painter.end())
            throw AppError(QStringLiteral("Printing on %1 failed").arg(m_name));
    }

    void abortDocument() override {
        if (!m_painter.isActive()) return;
        m_printer.abort();
        m_painter.end();
    }

    QPainter* painter() override { return &m_painter; }

  private:
    QPrinterInfo m_info;
    QString m_name;
    QPrinter m_printer;
    QPainter m_painter;
};

}  // namespace

QStringList QtPrinterBackend::printerNames() {
    return QPrinterInfo::availablePrinterNames();
}

QString QtPrinterBackend::defaultPrinterName() {
    return QPrinterInfo::defaultPrinterName();
}

std::unique_ptr<PrinterDevice> QtPrinterBackend::open(const QString& printerName,
                                                      const PrinterDeviceMode& mode) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
    if (info.isNull()) throw AppError(QStringLiteral("Printer selected is not valid"));
    return std::make_unique<QtPrinterDevice>(info, mode);
}

PdfFilePrinterBackend::PdfFilePrinterBackend(const QString& pdfPath) : m_path(pdfPath) {}

QStringList PdfFilePrinterBackend::printerNames() {
    return {m_path};
}

QString PdfFilePrinterBackend::defaultPrinterName() {
    return m_path;
}

std::unique_ptr<PrinterDevice> PdfFilePrinterBackend::open(const QString& printerName,
                                                           const PrinterDeviceMode& mode) {
    if (printerName != m_path) throw AppError(QStringLiteral("Printer selected is not valid"));
    return std::make_unique<QtPrinterDevice>(QPrinterInfo(), mode, m_path);
}
