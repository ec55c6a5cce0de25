#pragma once

#include "platform/PrinterBackend.h"

// The printer layer over Qt Print Support (QPrinterInfo, QPrinter): CUPS on Linux, the
// platform's spooler elsewhere.
//
// Origin: the QPrinter is used in full-page mode, so the painter's origin is the paper's
// top-left corner and the device reports offsets of 0. A CUPS queue is handed the whole page
// (Qt writes it as PDF), and whatever the printer cannot reach is cut by the printer itself;
// positions measured from the paper's edge therefore need no correction, and W_x = W_y = 0 is
// the honest mapping.
//
// Custom paper: the user-defined size (256) is requested as a QPageSize in millimetres. CUPS
// cuts a custom size to whole points, so the paper that arrives may be up to 0.35 mm smaller
// than asked; the capabilities report the size Qt actually set up.
class QtPrinterBackend : public PrinterBackend {
  public:
    QStringList printerNames() override;
    QString defaultPrinterName() override;
    std::unique_ptr<PrinterDevice> open(const QString& printerName,
                                        const PrinterDeviceMode& mode) override;
};

// One printer, named by its path, that writes a PDF file through Qt (no printing system): the
// same full-page device as a system printer, at Qt's high resolution, on the paper the device
// mode asks for, so that every position is measured from the paper's edge as on a printer.
class PdfFilePrinterBackend : public PrinterBackend {
  public:
    explicit PdfFilePrinterBackend(const QString& pdfPath);
    QStringList printerNames() override;
    QString defaultPrinterName() override;
    std::unique_ptr<PrinterDevice> open(const QString& printerName,
                                        const PrinterDeviceMode& mode) override;

  private:
    QString m_path;
};
