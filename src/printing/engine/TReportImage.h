#pragma once

#include <QImage>
#include <QRectF>
#include <QWidget>

class TReportBand;

// A picture item on a band: an image stretched over a box kept in 0.1 mm from the band's
// top-left corner, like a text item's bounds. It reaches the output as the image itself,
// scaled by the device onto the box's device rectangle, so it lands at true size on any
// printer. Pictures lie beneath every text item and every item's box on the page.
class TReportImage : public QWidget {
    Q_OBJECT
  public:
    explicit TReportImage(TReportBand* band);

    QRectF internalBounds() const { return m_bounds; }
    void setInternalBounds(const QRectF& bounds);
    QImage image() const { return m_image; }
    void setImage(const QImage& image);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TReportBand* m_band;
    QRectF m_bounds;
    QImage m_image;
};
