#include "printing/engine/TReportLabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

#include "platform/AppEnvironment.h"
#include "platform/AppError.h"
#include "platform/Rounding.h"
#include "printing/engine/EngineUnits.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportPage.h"

TReportLabel::TReportLabel(TReportBand* band)
    : QWidget(band), m_band(band), m_dpi(AppEnvironment::screenDpi()) {
    // A new item is 10 × 10 pixels at the top-left corner of the band.
    m_bounds[Height] = fromPixels(10);
    m_bounds[Width] = fromPixels(10);
    // The text is laid out when the program gives the item its caption, font or size; until
    // then the new item keeps its 10 × 10 pixels even though it sizes itself to its text.
    applyGeometry();
    show();
}

TReportLabel::~TReportLabel() = default;

double TReportLabel::zoom() const {
    return m_band && m_band->page() ? m_band->page()->zoom() : 100;
}

double TReportLabel::toPixels(double internal) const {
    return engine::pixelsFromInternal(internal, m_dpi, zoom());
}

double TReportLabel::fromPixels(double pixels) const {
    return engine::internalFromPixels(pixels, m_dpi, zoom());
}

double TReportLabel::sizeValue(int index) const {
    if (index < 0 || index > 3)
        throw AppError(QStringLiteral("Item size index %1 out of range").arg(index));
    const TUnitMode mode = m_band->page()->units();
    return engine::fromInternal(internalValue(index), mode, m_dpi, zoom());
}

void TReportLabel::setSizeValue(int index, double value) {
    if (index < 0 || index > 3)
        throw AppError(QStringLiteral("Item size index %1 out of range").arg(index));
    const TUnitMode mode = m_band->page()->units();
    setInternalValue(index, engine::toInternal(value, mode, m_dpi, zoom()));
}

void TReportLabel::setInternalValue(int index, double value) {
    adoptGeometry();
    m_bounds.at(index) = value;
    if (index == Width || index == Height) formatLines();
    applyGeometry();
}

int TReportLabel::left() const {
    return roundHalfEven(toPixels(internalValue(Left)));
}
int TReportLabel::top() const {
    return roundHalfEven(toPixels(internalValue(Top)));
}
int TReportLabel::itemWidth() const {
    return roundHalfEven(toPixels(internalValue(Width)));
}
int TReportLabel::itemHeight() const {
    return roundHalfEven(toPixels(internalValue(Height)));
}

void TReportLabel::setLeft(int pixels) {
    setInternalValue(Left, fromPixels(pixels));
}
void TReportLabel::setTop(int pixels) {
    setInternalValue(Top, fromPixels(pixels));
}
void TReportLabel::setWidth(int pixels) {
    setInternalValue(Width, fromPixels(pixels));
}
void TReportLabel::setHeight(int pixels) {
    setInternalValue(Height, fromPixels(pixels));
}

void TReportLabel::setBounds(int left, int top, int width, int height) {
    adoptGeometry();
    m_bounds[Left] = fromPixels(left);
    m_bounds[Top] = fromPixels(top);
    m_bounds[Width] = fromPixels(width);
    m_bounds[Height] = fromPixels(height);
    formatLines();
    applyGeometry();
}

void TReportLabel::setCaption(const QString& caption) {
    m_caption = caption;
    formatLines();
    update();
}

void TReportLabel::setFontSize(double points) {
    QFont f = font();
    f.setPointSizeF(points);
    setFont(f);  // FontChange re-lays out the text
}

void TReportLabel::setFontName(const QString& face) {
    QFont f = font();
    f.setFamily(face);
    setFont(f);
}

void TReportLabel::setAutoSize(bool on) {
    m_autoSize = on;
    formatLines();
}

void TReportLabel::setWordWrap(bool on) {
    m_wordWrap = on;
    formatLines();
}

void TReportLabel::setWrapStyle(TWrapStyle style) {
    m_wrapStyle = style;
    formatLines();
}

void TReportLabel::setTransparent(bool on) {
    m_transparent = on;
    update();
}

void TReportLabel::setColor(const QColor& color) {
    m_color = color;
    update();
}

QColor TReportLabel::textColor() const {
    return palette().color(QPalette::WindowText);
}

double TReportLabel::screenLineHeight() const {
    return engine::lineHeight(font(), engine::measuringDevice(m_dpi)) * zoom() / 100.0;
}

void TReportLabel::formatLines() {
    if (m_formatting) return;
    m_formatting = true;
    QPaintDevice* screen = engine::measuringDevice(m_dpi);
    const QFontMetricsF metrics(font(), screen);
    const double scale = zoom() / 100.0;
    const auto width = [&](const QString& text) { return metrics.horizontalAdvance(text) * scale; };
    m_lines = engine::layoutLines(m_caption, m_autoSize, m_wordWrap, m_wrapStyle,
                                  toPixels(internalValue(Width)), width);
    if (m_autoSize) {
        double widest = 0;
        for (const QString& line : m_lines) widest = std::max(widest, width(line));
        m_bounds[Width] = fromPixels(widest);
        const double oneLine = screenLineHeight() + 1;
        if (toPixels(m_bounds[Height]) < oneLine) m_bounds[Height] = fromPixels(oneLine);
        applyGeometry();
    }
    m_formatting = false;
    update();
}

void TReportLabel::applyGeometry() {
    m_applying = true;
    const auto px = [this](double v) { return roundHalfEven(toPixels(v)); };
    m_appliedGeometry =
        QRect(px(m_bounds[Left]), px(m_bounds[Top]), px(m_bounds[Width]), px(m_bounds[Height]));
    setGeometry(m_appliedGeometry);
    m_applying = false;
}

// Someone moved or resized the widget directly (not through the item's bounds): the item takes
// the new pixel bounds as its own.
// (Checked on every read, since Qt does not report moves of a widget that is not on show.)
void TReportLabel::adoptGeometry() const {
    if (m_applying) return;
    const QRect g = geometry();
    if (g == m_appliedGeometry) return;
    const QRect& a = m_appliedGeometry;
    if (g.x() != a.x()) m_bounds[Left] = fromPixels(g.x());
    if (g.y() != a.y()) m_bounds[Top] = fromPixels(g.y());
    if (g.width() != a.width()) m_bounds[Width] = fromPixels(g.width());
    if (g.height() != a.height()) m_bounds[Height] = fromPixels(g.height());
    m_appliedGeometry = g;
}

void TReportLabel::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    adoptGeometry();
}

void TReportLabel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    adoptGeometry();
}

void TReportLabel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ParentChange) formatLines();
}

void TReportLabel::paintEvent(QPaintEvent*) {
    // On the screen: the text on an opaque white box, lines one screen line height apart.
    QPainter painter(this);
    if (!m_transparent) painter.fillRect(rect(), m_color);
    QFont screenFont = font();
    // Draw at R whatever Qt thinks the screen's resolution is.
    screenFont.setPointSizeF(font().pointSizeF() * m_dpi / logicalDpiY() * zoom() / 100.0);
    painter.setFont(screenFont);
    painter.setPen(textColor());
    const QFontMetricsF metrics(screenFont, this);
    const double lineHeight = screenLineHeight();
    double y = 0;
    for (const QString& line : m_lines) {
        if (y + lineHeight > height() + 1) break;
        painter.drawText(QPointF(0, y + metrics.ascent()), line);
        y += lineHeight;
    }
}
