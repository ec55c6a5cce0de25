#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include "printing/engine/DeviceMapping.h"

class QPainter;

// What a recorded page (TPagePicture) is drawn on: a device with its mapping from internal
// units and the font metrics that space the lines.
class TOutputCanvas {
  public:
    virtual ~TOutputCanvas() = default;
    virtual TDeviceMapping mapping() const = 0;
    virtual void fillRect(const QRect& deviceRect, const QColor& color) = 0;
    // Stretches an image over a device rectangle.
    virtual void drawImage(const QRect& deviceRect, const QImage& image) = 0;
    // Draws one line of text with its top-left corner at a device position, on a transparent
    // background. The font's point size is kept on the device.
    virtual void drawText(const QPoint& topLeft, const QString& text, const QFont& font,
                          const QColor& color) = 0;
    // The line height, the text height of "W" in the font, in device pixels. Whole pixels on a
    // printer; a preview drawn with a printer's metrics gets that printer's height scaled.
    virtual double lineHeight(const QFont& font) const = 0;
};

// A canvas over a painter: positions are the painter's device pixels. On a printer the mapping
// is the printer's and the metrics its own. A preview passes a mapping that scales the paper
// onto the screen and the resolution of the printer the page is meant for (`layoutDpi`): the
// lines are then spaced as that printer spaces them, and fonts are scaled with the mapping.
class TPainterCanvas : public TOutputCanvas {
  public:
    TPainterCanvas(QPainter& painter, const TDeviceMapping& mapping, double layoutDpi = 0);
    TDeviceMapping mapping() const override { return m_mapping; }
    void fillRect(const QRect& deviceRect, const QColor& color) override;
    void drawImage(const QRect& deviceRect, const QImage& image) override;
    void drawText(const QPoint& topLeft, const QString& text, const QFont& font,
                  const QColor& color) override;
    double lineHeight(const QFont& font) const override;

  private:
    QFont deviceFont(const QFont& font) const;

    QPainter& m_painter;
    TDeviceMapping m_mapping;
    double m_layoutDpi;
};
