#include "support/RecordingPrinterBackend.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>

#include "platform/AppError.h"

namespace {

class RecordingEngine : public QPaintEngine {
  public:
    RecordingEngine(RecordingPrinterBackend& backend, qsizetype index)
        : QPaintEngine(QPaintEngine::AllFeatures), m_backend(backend), m_index(index) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& state) override {
        if (state.state() & QPaintEngine::DirtyBrush) m_brush = state.brush();
        if (state.state() & QPaintEngine::DirtyTransform) m_transform = state.transform();
    }

    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i)
            page().fills.append({m_transform.mapRect(rects[i]), m_brush.color()});
    }
    void drawRects(const QRect* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            const QRectF r(rects[i]);
            drawRects(&r, 1);
        }
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        RecordingPrinterBackend::Text text;
        text.text = item.text();
        text.baseline = m_transform.map(p);
        text.font = item.font();
        text.ascent = item.ascent();
        page().texts.append(text);
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}

  private:
    // Looked up each time: the list of documents may grow while a device draws.
    RecordingPrinterBackend::Page& page() { return m_backend.documents[m_index].pages.last(); }
    RecordingPrinterBackend& m_backend;
    qsizetype m_index;
    QBrush m_brush;
    QTransform m_transform;
};

class RecordingSurface : public QPaintDevice {
  public:
    RecordingSurface(const PrinterCapabilities& caps, RecordingPrinterBackend& backend,
                     qsizetype index)
        : m_caps(caps), m_engine(backend, index) {}
    ~RecordingSurface() override = default;
    QPaintEngine* paintEngine() const override { return const_cast<RecordingEngine*>(&m_engine); }

  protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
            case PdmWidth:
                return int(m_caps.physicalWidth - 2 * m_caps.offsetX);
            case PdmHeight:
                return int(m_caps.physicalHeight - 2 * m_caps.offsetY);
            case PdmWidthMM:
                return int((m_caps.physicalWidth - 2 * m_caps.offsetX) / m_caps.dpiX * 25.4);
            case PdmHeightMM:
                return int((m_caps.physicalHeight - 2 * m_caps.offsetY) / m_caps.dpiY * 25.4);
            case PdmNumColors:
                return INT_MAX;
            case PdmDepth:
                return 32;
            case PdmDpiX:
            case PdmPhysicalDpiX:
                return int(m_caps.dpiX);
            case PdmDpiY:
            case PdmPhysicalDpiY:
                return int(m_caps.dpiY);
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }

  private:
    PrinterCapabilities m_caps;
    RecordingEngine m_engine;
};

class RecordingDevice : public PrinterDevice {
  public:
    RecordingDevice(RecordingPrinterBackend& backend,
                    const RecordingPrinterBackend::Printer& printer, const PrinterDeviceMode& mode)
        : m_backend(backend),
          m_printer(printer),
          m_mode(mode),
          m_caps(backend.capabilitiesOf(printer, mode)) {}

    PrinterCapabilities capabilities() const override { return m_caps; }

    void startDocument(const QString& title) override {
        if (m_printer.failOnStart)
            throw AppError(QStringLiteral("Printer %1 is not available").arg(m_printer.name));
        RecordingPrinterBackend::Document document;
        document.printer = m_printer.name;
        document.mode = m_mode;
        document.capabilities = m_caps;
        document.title = title;
        document.pages.append(RecordingPrinterBackend::Page{});
        m_backend.documents.append(document);
        m_backend.log << QStringLiteral("start ") + m_printer.name;
        m_index = m_backend.documents.size() - 1;
        m_surface = std::make_unique<RecordingSurface>(m_caps, m_backend, m_index);
        m_painter.begin(m_surface.get());
    }
    void newPage() override {
        if (m_backend.onNewPage) m_backend.onNewPage(m_backend.documents[m_index]);
        m_backend.documents[m_index].pages.append(RecordingPrinterBackend::Page{});
        m_backend.log << QStringLiteral("page");
    }
    void endDocument() override {
        if (m_painter.isActive()) m_painter.end();
        m_backend.documents[m_index].ended = true;
        m_backend.log << QStringLiteral("end");
    }
    void abortDocument() override {
        if (m_painter.isActive()) m_painter.end();
        if (m_index < 0 || m_backend.documents[m_index].aborted ||
            m_backend.documents[m_index].ended)
            return;
        m_backend.documents[m_index].aborted = true;
        m_backend.log << QStringLiteral("abort");
    }
    QPainter* painter() override { return &m_painter; }

    ~RecordingDevice() override {
        if (m_painter.isActive()) m_painter.end();
    }

  private:
    RecordingPrinterBackend& m_backend;
    RecordingPrinterBackend::Printer m_printer;
    PrinterDeviceMode m_mode;
    PrinterCapabilities m_caps;
    qsizetype m_index = -1;
    std::unique_ptr<RecordingSurface> m_surface;
    QPainter m_painter;
};

}  // namespace

RecordingPrinterBackend::RecordingPrinterBackend() {
    PrinterBackend::install(this);
}

RecordingPrinterBackend::~RecordingPrinterBackend() {
    PrinterBackend::install(nullptr);
}

QStringList RecordingPrinterBackend::printerNames() {
    QStringList names;
    for (const Printer& p : printers) names << p.name;
    return names;
}

QString RecordingPrinterBackend::defaultPrinterName() {
    return defaultPrinter;
}

PrinterCapabilities RecordingPrinterBackend::capabilitiesOf(const Printer& printer,
                                                            const PrinterDeviceMode& mode) const {
    PrinterCapabilities caps;
    caps.dpiX = printer.dpiX;
    caps.dpiY = printer.dpiY;
    caps.offsetX = printer.offsetX;
    caps.offsetY = printer.offsetY;
    caps.paperSizes = printer.paperSizes;
    if (printer.offersCustomSize) caps.paperSizes << PrinterDeviceMode::UserDefinedPaper;
    QSizeF paper = printer.currentPaper;
    caps.currentPaperSize = printer.currentPaperCode;
    if (mode.paperSize == PrinterDeviceMode::UserDefinedPaper && printer.offersCustomSize) {
        paper = QSizeF(mode.paperWidth, mode.paperLength);
        caps.currentPaperSize = PrinterDeviceMode::UserDefinedPaper;
    }
    if (mode.orientation == PrinterDeviceMode::Landscape) paper.transpose();
    caps.physicalWidth = std::round(paper.width() / 254.0 * printer.dpiX);
    caps.physicalHeight = std::round(paper.height() / 254.0 * printer.dpiY);
    return caps;
}

std::unique_ptr<PrinterDevice> RecordingPrinterBackend::open(const QString& printerName,
                                                             const PrinterDeviceMode& mode) {
    for (const Printer& p : printers) {
        if (p.name == printerName) {
            ++openCount;
            return std::make_unique<RecordingDevice>(*this, p, mode);
        }
    }
    throw AppError(QStringLiteral("Printer selected is not valid"));
}
