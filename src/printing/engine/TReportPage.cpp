#include "printing/engine/TReportPage.h"

#include <QPainter>
#include <stdexcept>

#include "platform/AppEnvironment.h"
#include "platform/AppError.h"
#include "platform/Rounding.h"
#include "printing/engine/TOutputCanvas.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportImage.h"
#include "printing/engine/TReportLabel.h"

namespace {

void checkIndex(int index, int count) {
    if (index < 0 || index >= count)
        throw AppError(QStringLiteral("Page value index %1 out of range").arg(index));
}

// Width × length of the standard sizes, 0.1 mm, portrait.
QSizeF standardPaper(TPaperSize size) {
    switch (size) {
        case TPaperSize::Letter:
            return {2159, 2794};
        case TPaperSize::A4:
            return {2100, 2970};
        case TPaperSize::A5:
            return {1480, 2100};
        case TPaperSize::B5:
            return {1820, 2570};
        case TPaperSize::Default:
        case TPaperSize::Custom:
            break;
    }
    return {};
}

}  // namespace

TReportPage::TReportPage(QWidget* parent) : QWidget(parent), m_dpi(AppEnvironment::screenDpi()) {
    setObjectName(QStringLiteral("ReportPage"));
    // The page's font: Arial, 13 pixels high on the screen it was made on, kept as points so
    // that every device draws it at the same size on paper.
    QFont pageFont(QStringLiteral("Arial"));
    pageFont.setPointSizeF(13.0 * 72.0 / m_dpi);
    setFont(pageFont);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    relayout();
}

TReportPage::~TReportPage() {
    // The band outlives this part of the page by a moment (QWidget deletes its children).
    if (m_band) m_band->m_page = nullptr;
}

double TReportPage::pageValue(int index) const {
    checkIndex(index, int(m_values.size()));
    return fromInternal(m_values[index]);
}

void TReportPage::setPageValue(int index, double value) {
    checkIndex(index, int(m_values.size()));
    setInternalValue(index, toInternal(value));
}

double TReportPage::internalValue(int index) const {
    checkIndex(index, int(m_values.size()));
    return m_values[index];
}

void TReportPage::setInternalValue(int index, double value) {
    checkIndex(index, int(m_values.size()));
    // Length and width belong to the paper size unless it is Custom.
    if ((index == Length || index == Width) && m_paperSize != TPaperSize::Custom) return;
    m_values[index] = value;
    relayout();
}

void TReportPage::setUnits(TUnitMode mode) {
    if (mode == TUnitMode::Characters)
        throw AppError(QStringLiteral("The Characters unit mode is not supported"));
    m_units = mode;
}

void TReportPage::setZoom(int zoom) {
    if (zoom < 1) return;
    m_zoom = zoom;
    relayout();
}

void TReportPage::setPaperSize(TPaperSize size) {
    m_paperSize = size;
    const QSizeF paper = standardPaper(size);
    if (!paper.isEmpty()) {
        const bool landscape = m_orientation == TPageOrientation::Landscape;
        m_values[Width] = landscape ? paper.height() : paper.width();
        m_values[Length] = landscape ? paper.width() : paper.height();
    }
    relayout();
}

void TReportPage::setOrientation(TPageOrientation orientation) {
    if (orientation == m_orientation) return;
    m_orientation = orientation;
    // A standard paper turns; a custom page keeps the length and width the program gave it.
    if (m_paperSize != TPaperSize::Custom && !standardPaper(m_paperSize).isEmpty())
        std::swap(m_values[Width], m_values[Length]);
    relayout();
}

double TReportPage::toInternal(double value) const {
    return engine::toInternal(value, m_units, m_dpi, m_zoom);
}

double TReportPage::fromInternal(double internal) const {
    return engine::fromInternal(internal, m_units, m_dpi, m_zoom);
}

double TReportPage::pixelsFromInternal(double internal) const {
    return engine::pixelsFromInternal(internal, m_dpi, m_zoom);
}

double TReportPage::internalFromPixels(double pixels) const {
    return engine::internalFromPixels(pixels, m_dpi, m_zoom);
}

int TReportPage::screenPixels(double internal) const {
    return roundHalfEven(pixelsFromInternal(internal));
}

QSize TReportPage::pageSizePixels() const {
    return {screenPixels(m_values[Width]), screenPixels(m_values[Length])};
}

void TReportPage::registerBand(TReportBand* band) {
    m_band = band;
    relayout();
}

void TReportPage::unregisterBand(TReportBand* band) {
    if (m_band == band) m_band = nullptr;
}

void TReportPage::relayout() {
    resize(pageSizePixels());
    if (m_band) m_band->placeOnPage();
    emit geometryChanged();
}

void TReportPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
}

TPagePicture TReportPage::recordPage(const QSizeF& paper) const {
    TPagePicture picture(paper);
    if (!m_band) return picture;
    // The band starts at the margins, each rounded to a whole 0.1 mm.
    const double x = roundHalfEven(m_values[LeftMargin]);
    const double y = roundHalfEven(m_values[TopMargin]);
    picture.addFill(QRectF(x, y, m_band->internalValue(TReportBand::Width),
                           m_band->internalValue(TReportBand::Length)),
                    m_band->color());
    for (QObject* child : m_band->children())
        if (auto* image = qobject_cast<TReportImage*>(child))
            picture.addPicture(image->internalBounds().translated(x, y), image->image());
    for (TReportLabel* item : m_band->labels()) {
        item->formatLines();
        const QPointF topLeft(x + item->internalValue(TReportLabel::Left),
                              y + item->internalValue(TReportLabel::Top));
        const double height = item->internalValue(TReportLabel::Height);
        if (!item->transparent())
            picture.addFill(
                QRectF(topLeft, QSizeF(item->internalValue(TReportLabel::Width), height)),
                item->color());
        picture.addText({topLeft, height, item->lines(), item->font(), item->textColor()});
    }
    return picture;
}

TPagePicture TReportPage::recordPage() const {
    return recordPage(QSizeF(m_values[Width], m_values[Length]));
}

void TReportPage::composeOnto(TOutputCanvas& canvas) const {
    recordPage().render(canvas);
}
