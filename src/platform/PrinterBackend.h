#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class QPainter;

// The printer layer: the only place that talks to the platform's printing. The page engine
// (src/printing/engine) asks it for the installed printers, opens a device for a named printer
// with a device mode, reads the device's capabilities and draws on it with a QPainter.
//
// Units: paper lengths in 0.1 mm; resolutions in pixels per inch; offsets and physical sizes in
// device pixels. Paper size codes are the platform's DMPAPER numbers (QPageSize::windowsId()),
// 256 being the user-defined size.
//
// Errors of the platform's print functions are raised as AppError with the platform's text.

// What the engine asks of a printer when it opens it.
struct PrinterDeviceMode {
    static constexpr int UserDefinedPaper = 256;
    static constexpr int Portrait = 1;
    static constexpr int Landscape = 2;

    int paperSize = 0;       // 0: keep the printer's current paper; 256: user-defined
    double paperLength = 0;  // 0.1 mm, set with paperSize 256
    double paperWidth = 0;   // 0.1 mm, set with paperSize 256
    int copies = 1;
    int orientation = Portrait;
    int bin = 7;  // DMBIN_AUTO
    bool duplex = false;
    bool collate = false;
};

// What a printer device reports about itself, as opened with a device mode.
struct PrinterCapabilities {
    double dpiX = 0;            // horizontal pixels per inch
    double dpiY = 0;            // vertical pixels per inch
    double offsetX = 0;         // the device origin's distance from the paper's left edge, pixels
    double offsetY = 0;         // … from the paper's top edge
    double physicalWidth = 0;   // the paper's width in device pixels
    double physicalHeight = 0;  // the paper's length in device pixels
    QList<int> paperSizes;      // the paper size codes offered; 256 when a custom size is
    int currentPaperSize = 0;   // the code of the paper in use (256 for a custom one)
    bool supportsDuplex = false;
    bool supportsCollate = true;

    bool offersUserDefinedSize() const {
        return paperSizes.contains(PrinterDeviceMode::UserDefinedPaper);
    }
};

// One opened printer. The painter is valid between startDocument() and endDocument() or
// abortDocument(); its device pixels are the ones the capabilities describe, and its origin is
// offsetX, offsetY device pixels from the paper's top-left corner.
class PrinterDevice {
  public:
    virtual ~PrinterDevice() = default;
    virtual PrinterCapabilities capabilities() const = 0;
    virtual void startDocument(const QString& title) = 0;
    virtual void newPage() = 0;
    virtual void endDocument() = 0;
    virtual void abortDocument() = 0;
    virtual QPainter* painter() = 0;
};

class PrinterBackend {
  public:
    virtual ~PrinterBackend() = default;

    // The installed printers' names in the platform's order.
    virtual QStringList printerNames() = 0;
    // The default printer's name as the platform spells it; empty when there is none.
    virtual QString defaultPrinterName() = 0;
    // Opens the named printer with a device mode. Raises when the printer is unknown.
    virtual std::unique_ptr<PrinterDevice> open(const QString& printerName,
                                                const PrinterDeviceMode& mode) = 0;

    // The back end in use: the Qt one unless a test installed another (nullptr restores it).
    static PrinterBackend& instance();
    static void install(PrinterBackend* backend);
};
