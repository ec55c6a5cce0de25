// Composing and printing one waybill page: the ten print items on the band of a
// 230 × 128 mm page, composed
//   - into a recorded page picture (what a preview does),
//   - straight onto a 180 ppi raster printer (a dot-matrix printer's resolution),
//   - from the recorded picture onto that printer (a preview job's Print()),
//   - straight into a PDF file through QPrinter (the Qt printing path, without a spooler).
//   - many pages, each with its own ten items, into one PDF document.
// Prints the median time of each, in microseconds.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "platform/AppEnvironment.h"
#include "platform/PrinterBackend.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportJob.h"
#include "printing/engine/TReportLabel.h"
#include "printing/engine/TReportPage.h"

namespace {

// A printer that draws into an image of the paper at 180 ppi.
class RasterDevice : public PrinterDevice {
  public:
    explicit RasterDevice(const PrinterDeviceMode& mode)
        : m_image(int(mode.paperWidth / 254 * 180), int(mode.paperLength / 254 * 180),
                  QImage::Format_Grayscale8) {
        m_image.setDotsPerMeterX(qRound(180 / 0.0254));
        m_image.setDotsPerMeterY(qRound(180 / 0.0254));
    }
    PrinterCapabilities capabilities() const override {
        PrinterCapabilities caps;
        caps.dpiX = caps.dpiY = 180;
        caps.physicalWidth = m_image.width();
        caps.physicalHeight = m_image.height();
        caps.paperSizes = {9, PrinterDeviceMode::UserDefinedPaper};
        return caps;
    }
    void startDocument(const QString&) override {
        m_image.fill(Qt::white);
        m_painter.begin(&m_image);
    }
    void newPage() override { m_image.fill(Qt::white); }
    void endDocument() override { m_painter.end(); }
    void abortDocument() override { m_painter.end(); }
    QPainter* painter() override { return &m_painter; }

  private:
    QImage m_image;
    QPainter m_painter;
};

// A printer that writes a PDF file through QPrinter, full page, as the Qt back end does.
class PdfDevice : public PrinterDevice {
  public:
    PdfDevice(const QString& file, const PrinterDeviceMode& mode)
        : m_printer(QPrinter::HighResolution) {
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_printer.setOutputFileName(file);
        m_printer.setFullPage(true);
        m_printer.setPageSize(QPageSize(QSizeF(mode.paperWidth / 10, mode.paperLength / 10),
                                        QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    }
    PrinterCapabilities capabilities() const override {
        auto& printer = const_cast<QPrinter&>(m_printer);
        PrinterCapabilities caps;
        caps.dpiX = printer.logicalDpiX();
        caps.dpiY = printer.logicalDpiY();
        caps.physicalWidth = printer.paperRect(QPrinter::DevicePixel).width();
        caps.physicalHeight = printer.paperRect(QPrinter::DevicePixel).height();
        caps.paperSizes = {9, PrinterDeviceMode::UserDefinedPaper};
        return caps;
    }
    void startDocument(const QString&) override { m_painter.begin(&m_printer); }
    void newPage() override { m_printer.newPage(); }
    void endDocument() override { m_painter.end(); }
    void abortDocument() override { m_painter.end(); }
    QPainter* painter() override { return &m_painter; }

  private:
    QPrinter m_printer;
    QPainter m_painter;
};

class BenchBackend : public PrinterBackend {
  public:
    bool pdf = false;
    QString pdfFile;
    QStringList printerNames() override { return {"Bench"}; }
    QString defaultPrinterName() override { return "Bench"; }
    std::unique_ptr<PrinterDevice> open(const QString&, const PrinterDeviceMode& mode) override {
        PrinterDeviceMode m = mode;
        if (m.paperWidth <= 0) m.paperWidth = 2100, m.paperLength = 2970;
        if (pdf) return std::make_unique<PdfDevice>(pdfFile, m);
        return std::make_unique<RasterDevice>(m);
    }
};

double medianMicroseconds(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The ten fields' print items: five on each side; the address a fixed box broken anywhere.
void addWaybillItems(TReportBand& band) {
    static const char* const texts[] = {"张三",
                                        "北京",
                                        "北京市海淀区中关村大街二十七号中关村大厦十层",
                                        "13800138000",
                                        "Quorvel Ltd",
                                        "李四",
                                        "上海",
                                        "上海市浦东新区世纪大道一百号环球金融中心",
                                        "13900139000",
                                        "Vornix Co"};
    for (int i = 0; i < 10; ++i) {
        auto* item = new TReportLabel(&band);
        item->setLeft(i < 5 ? 172 : 650);
        item->setTop(91 + (i % 5) * 60);
        item->setFontSize(11);
        item->setFontName("WenQuanYi Micro Hei");
        if (i % 5 == 2) {
            item->setAutoSize(false);
            item->setWidth(260);
            item->setHeight(3 * 25);
            item->setWrapStyle(TWrapStyle::BreakAnywhere);
        }
        item->setCaption(QString::fromUtf8(texts[i]));
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AppEnvironment::setScreenDpi(96);
    BenchBackend backend;
    PrinterBackend::install(&backend);
    QTemporaryDir dir;
    backend.pdfFile = dir.filePath("bench.pdf");

    TReportPage page;
    page.setShowProgress(false);
    auto* band = new TReportBand(&page);
    band->setSizeValue(0, 126);
    addWaybillItems(*band);

    const int runs = 200;
    const double record = medianMicroseconds(runs, [&] { page.recordPage(); });
    const double direct = medianMicroseconds(runs, [&] { page.Print(); });

    TReportJob job(&page, TReportDestination::rdMetafile);
    job.bindToPage();
    job.composeRecorded();
    const double fromPicture = medianMicroseconds(runs, [&] { job.Print(); });

    backend.pdf = true;
    const double pdf = medianMicroseconds(50, [&] { page.Print(); });

    // Many pages in one PDF document, each page's items made and let go in turn (the fixed
    // items are taken off the band first, so each page holds only its own).
    for (TReportLabel* item : band->labels()) delete item;
    constexpr int manyPages = 500;
    TPageSource source;
    source.pageCount = manyPages;
    source.composePage = [](int, TReportBand& onBand) { addWaybillItems(onBand); };
    QElapsedTimer manyTimer;
    manyTimer.start();
    const TPagesPrinted many = page.PrintPages(source);
    const double perPage = manyTimer.nsecsElapsed() / 1000.0 / manyPages;

    std::printf("bench_print: one 230 x 128 mm page, ten print items (median of runs)\n");
    std::printf("  compose into a recorded page (preview)      %10.1f us\n", record);
    std::printf("  compose straight onto a 180 ppi printer     %10.1f us\n", direct);
    std::printf("  print the recorded page (preview job Print) %10.1f us\n", fromPicture);
    std::printf("  compose straight into a PDF via QPrinter    %10.1f us\n", pdf);
    std::printf("  %d pages in one PDF document (PrintPages)  %10.1f us per page, %d printed\n",
                manyPages, perPage, many.pagesPrinted);
    PrinterBackend::install(nullptr);
    return 0;
}
