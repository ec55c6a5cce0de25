#include "printing/engine/TReportBand.h"

#include <QPainter>

#include "platform/AppEnvironment.h"
#include "platform/AppError.h"
#include "platform/Rounding.h"
#include "printing/engine/EngineUnits.h"
#include "printing/engine/TReportLabel.h"
#include "printing/engine/TReportPage.h"

TReportBand::TReportBand(TReportPage* page)
    : QWidget(page), m_page(page), m_dpi(AppEnvironment::screenDpi()) {
    setObjectName(QStringLiteral("DetailBand"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, m_color);
    setPalette(pal);
    // A new band fills the page between its top and bottom margins; the program sets its own
    // length (FitBandToPage) right after.
    m_size[Length] = page->internalValue(TReportPage::Length) -
                     page->internalValue(TReportPage::TopMargin) -
                     page->internalValue(TReportPage::BottomMargin);
    page->registerBand(this);
    show();
}

TReportBand::~TReportBand() {
    if (m_page) m_page->unregisterBand(this);
}

double TReportBand::sizeValue(int index) const {
    if (index < 0 || index > 1)
        throw AppError(QStringLiteral("Band size index %1 out of range").arg(index));
    return engine::fromInternal(m_size[index], m_page ? m_page->units() : TUnitMode::MM, m_dpi,
                                m_page ? m_page->zoom() : 100);
}

void TReportBand::setSizeValue(int index, double value) {
    if (index < 0 || index > 1)
        throw AppError(QStringLiteral("Band size index %1 out of range").arg(index));
    setInternalValue(index, engine::toInternal(value, m_page->units(), m_dpi, m_page->zoom()));
}

void TReportBand::setInternalValue(int index, double value) {
    m_size.at(index) = value;
    const double zoom = m_page->zoom();
    setBandGeometry(QRect(x(), y(), engine::screenPixels(m_size[Width], m_dpi, zoom),
                          engine::screenPixels(m_size[Length], m_dpi, zoom)));
}

void TReportBand::setColor(const QColor& color) {
    m_color = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, color);
    setPalette(pal);
    update();
}

QList<TReportLabel*> TReportBand::labels() const {
    QList<TReportLabel*> result;
    for (QObject* child : children())
        if (auto* label = qobject_cast<TReportLabel*>(child)) result << label;
    return result;
}

void TReportBand::placeOnPage() {
    const double left = m_page->pixelsFromInternal(m_page->internalValue(TReportPage::LeftMargin));
    const double top = m_page->pixelsFromInternal(m_page->internalValue(TReportPage::TopMargin));
    const double right =
        m_page->pixelsFromInternal(m_page->internalValue(TReportPage::RightMargin));
    const int widthPx = m_page->pageSizePixels().width() - roundHalfEven(left + right);
    // The band's width value is its pixel width converted back.
    m_size[Width] = engine::internalFromPixels(widthPx, m_dpi, m_page->zoom());
    setBandGeometry(QRect(roundHalfEven(left), roundHalfEven(top), widthPx,
                          engine::screenPixels(m_size[Length], m_dpi, m_page->zoom())));
}

void TReportBand::setBandGeometry(const QRect& geometry) {
    setGeometry(geometry);
    noteSize();
}

// resized() follows every change of the band's size, also while the band is not on show (Qt
// holds back resize events of hidden widgets until they are shown).
void TReportBand::noteSize() {
    if (size() == m_announcedSize) return;
    m_announcedSize = size();
    emit resized();
}

void TReportBand::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    noteSize();
}

void TReportBand::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_color);
}
