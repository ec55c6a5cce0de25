#include "printing/engine/TReportImage.h"

#include <QPainter>

#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportPage.h"

TReportImage::TReportImage(TReportBand* band) : QWidget(band), m_band(band) {
    show();
}

void TReportImage::setInternalBounds(const QRectF& bounds) {
    m_bounds = bounds;
    // On the screen the item sits at its rounded pixel bounds, like a text item.
    if (const TReportPage* page = m_band->page())
        setGeometry(page->screenPixels(bounds.left()), page->screenPixels(bounds.top()),
                    page->screenPixels(bounds.width()), page->screenPixels(bounds.height()));
}

void TReportImage::setImage(const QImage& image) {
    m_image = image;
    update();
}

void TReportImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), m_image);
}
