#include "printing/engine/TOutputCanvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

#include "printing/engine/TextLayout.h"

TPainterCanvas::TPainterCanvas(QPainter& painter, const TDeviceMapping& mapping, double layoutDpi)
    : m_painter(painter), m_mapping(mapping), m_layoutDpi(layoutDpi) {}

void TPainterCanvas::fillRect(const QRect& deviceRect, const QColor& color) {
    m_painter.fillRect(deviceRect, color);
}

void TPainterCanvas::drawImage(const QRect& deviceRect, const QImage& image) {
    m_painter.save();
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
    m_painter.drawImage(deviceRect, image);
    m_painter.restore();
}

QFont TPainterCanvas::deviceFont(const QFont& font) const {
    // QPainter resolves a point size through the device's own resolution, so on a printer the
    // font keeps its size on paper. Where the mapping scales the paper differently (a preview
    // at some zoom), the size follows the mapping.
    QPaintDevice* device = m_painter.device();
    const double scale = m_mapping.fy * 254.0 / device->logicalDpiY();
    QFont scaled(font, device);
    if (std::abs(scale - 1) > 1e-9 && font.pointSizeF() > 0)
        scaled.setPointSizeF(font.pointSizeF() * scale);
    return scaled;
}

void TPainterCanvas::drawText(const QPoint& topLeft, const QString& text, const QFont& font,
                              const QColor& color) {
    const QFont onDevice = deviceFont(font);
    m_painter.setFont(onDevice);
    m_painter.setPen(color);
    const QFontMetrics metrics(onDevice, m_painter.device());
    m_painter.drawText(QPoint(topLeft.x(), topLeft.y() + metrics.ascent()), text);
}

double TPainterCanvas::lineHeight(const QFont& font) const {
    if (m_layoutDpi <= 0) return engine::lineHeight(font, m_painter.device());
    const int atLayout = engine::lineHeight(font, engine::measuringDevice(m_layoutDpi));
    return atLayout * m_mapping.fy * 254.0 / m_layoutDpi;
}
