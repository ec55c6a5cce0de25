#include "printing/engine/TPagePicture.h"

#include <QFontMetricsF>
#include <QPainter>

#include "printing/engine/TextLayout.h"

TPagePicture::TPagePicture(QSize size, double dpi) : m_size(size), m_dpi(dpi) {}

void TPagePicture::fillRect(const QRect& deviceRect, const QColor& color) {
    m_ops.push_back({Op::Fill, deviceRect, color, {}, {}});
}

void TPagePicture::drawText(const QPoint& topLeft, const QString& text, const QFont& font,
                            const QColor& color) {
    m_ops.push_back({Op::Text, QRect(topLeft, QSize()), color, text, font});
}

int TPagePicture::lineHeight(const QFont& font) const {
    return engine::lineHeight(font, engine::measuringDevice(m_dpi));
}

void TPagePicture::play(QPainter& painter, const QRect& target) const {
    if (m_size.isEmpty()) return;
    const double sx = double(target.width()) / m_size.width();
    const double sy = double(target.height()) / m_size.height();
    const double deviceDpiY = painter.device() ? painter.device()->logicalDpiY() : m_dpi;
    for (const Op& op : m_ops) {
        const QPointF corner(target.left() + op.rect.left() * sx,
                             target.top() + op.rect.top() * sy);
        if (op.kind == Op::Fill) {
            painter.fillRect(QRectF(corner, QSizeF(op.rect.width() * sx, op.rect.height() * sy)),
                             op.color);
            continue;
        }
        // The font was op.font.pointSizeF() × R ÷ 72 picture pixels high; on the target it is
        // sy times that many device pixels.
        QFont font = op.font;
        if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * m_dpi * sy / deviceDpiY);
        const QFont deviceFont(font, painter.device());
        painter.setFont(deviceFont);
        painter.setPen(op.color);
        const QFontMetricsF metrics(deviceFont, painter.device());
        painter.drawText(QPointF(corner.x(), corner.y() + metrics.ascent()), op.text);
    }
}
