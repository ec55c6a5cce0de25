#include "printing/engine/TOutputCanvas.h"

#include <QFontMetrics>
#include <QPainter>

#include "printing/engine/TextLayout.h"

TPainterCanvas::TPainterCanvas(QPainter& painter, const TDeviceMapping& mapping)
    : m_painter(painter), m_mapping(mapping) {}

void TPainterCanvas::fillRect(const QRect& deviceRect, const QColor& color) {
    m_painter.fillRect(deviceRect, color);
}

void TPainterCanvas::drawText(const QPoint& topLeft, const QString& text, const QFont& font,
                              const QColor& color) {
    // QPainter resolves a point size through the device's own resolution, so the font keeps
    // its size on paper.
    const QFont deviceFont(font, m_painter.device());
    m_painter.setFont(deviceFont);
    m_painter.setPen(color);
    const QFontMetrics metrics(deviceFont, m_painter.device());
    m_painter.drawText(QPoint(topLeft.x(), topLeft.y() + metrics.ascent()), text);
}

int TPainterCanvas::lineHeight(const QFont& font) const {
    return engine::lineHeight(font, m_painter.device());
}
