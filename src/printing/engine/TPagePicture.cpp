#include "printing/engine/TPagePicture.h"

#include "platform/Rounding.h"
#include "printing/engine/TOutputCanvas.h"

void TPagePicture::addFill(const QRectF& box, const QColor& color) {
    m_fills.push_back({box, color});
}

void TPagePicture::addText(TextBlock text) {
    m_texts.push_back(std::move(text));
}

void TPagePicture::addPicture(const QRectF& box, const QImage& image) {
    m_pictures.push_back({box, image, m_fills.size()});
}

void TPagePicture::render(TOutputCanvas& canvas) const {
    const TDeviceMapping map = canvas.mapping();
    const auto deviceRect = [&map](const QRectF& box) {
        return map.rect(box.left(), box.top(), box.width(), box.height());
    };
    auto picture = m_pictures.cbegin();
    const auto drawPicturesBefore = [&](std::size_t fill) {
        for (; picture != m_pictures.cend() && picture->fillsBefore <= fill; ++picture)
            canvas.drawImage(deviceRect(picture->box), picture->image);
    };
    for (std::size_t i = 0; i < m_fills.size(); ++i) {
        drawPicturesBefore(i);
        canvas.fillRect(deviceRect(m_fills[i].box), m_fills[i].color);
    }
    drawPicturesBefore(m_fills.size());
    for (const TextBlock& text : m_texts) {
        const double lineHeight = canvas.lineHeight(text.font);
        const double lineInternal = lineHeight / map.fy;
        const double top = text.topLeft.y();
        const int x = map.x(text.topLeft.x());
        const int y = map.y(top);
        for (int i = 0; i < text.lines.size(); ++i) {
            // A line is output only if its bottom lies at most one internal unit below the
            // item's bottom; the first that does not fit ends the item (AutoStretch off).
            if (top + (i + 1) * lineInternal > top + text.boxHeight + 1) break;
            canvas.drawText(QPoint(x, y + roundHalfEven(i * lineHeight)), text.lines[i], text.font,
                            text.color);
        }
    }
}
