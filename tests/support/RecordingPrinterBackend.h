#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <functional>

#include "platform/PrinterBackend.h"

// A printer back end for tests: a list of made-up printers with the resolution, offsets and
// papers a test gives them, and a record of every document printed on them — the device
// rectangle of each fill and each text with its device position. Installs itself for its
// lifetime.
class RecordingPrinterBackend : public PrinterBackend {
  public:
    struct Printer {
        QString name;
        double dpiX = 180;
        double dpiY = 180;
        double offsetX = 0;  // device pixels from the paper's left edge to the device origin
        double offsetY = 0;
        bool offersCustomSize = true;
        QSizeF currentPaper{2100, 2970};  // 0.1 mm, portrait (A4)
        int currentPaperCode = 9;
        QList<int> paperSizes{9, 1};  // the standard sizes offered (A4, Letter)
        bool failOnStart = false;     // startDocument raises, as a printer gone away
    };

    struct Fill {
        QRectF rect;  // device pixels, relative to the device origin
        QColor color;
    };
    struct Text {
        QString text;
        QPointF baseline;   // device pixels: the start of the text on its baseline
        QFont font;         // as the painter resolved it for the device
        double ascent = 0;  // the font's ascent on the device, pixels
        QPointF topLeft() const { return {baseline.x(), baseline.y() - ascent}; }
    };
    struct Page {
        QList<Fill> fills;
        QList<Text> texts;
    };
    struct Document {
        QString printer;
        PrinterDeviceMode mode;
        PrinterCapabilities capabilities;
        QString title;
        QList<Page> pages;
        bool ended = false;
        bool aborted = false;
    };

    RecordingPrinterBackend();
    ~RecordingPrinterBackend() override;

    QStringList printerNames() override;
    QString defaultPrinterName() override;
    std::unique_ptr<PrinterDevice> open(const QString& printerName,
                                        const PrinterDeviceMode& mode) override;

    // Capabilities of a printer opened with a device mode, as the devices report them.
    PrinterCapabilities capabilitiesOf(const Printer& printer, const PrinterDeviceMode& mode) const;

    QList<Printer> printers;
    QString defaultPrinter;
    QList<Document> documents;
    int openCount = 0;
    // What happened, in order: "start <printer>", "page", "end", "abort".
    QStringList log;
    // Called whenever a page is drawn or a document ends (tests use it to act mid-print).
    std::function<void(const Document&)> onNewPage;
};
