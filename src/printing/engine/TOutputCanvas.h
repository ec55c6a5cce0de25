#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>

#include "printing/engine/DeviceMapping.h"

class QPainter;

// What a composition draws on: a device with its mapping from internal units. Two kinds: a
// recorded page picture at the screen's resolution (TPagePicture, for a preview) and a painter
// on a printer (TPainterCanvas).
class TOutputCanvas {
  public:
    virtual ~TOutputCanvas() = default;
    virtual TDeviceMapping mapping() const = 0;
    virtual void fillRect(const QRect& deviceRect, const QColor& color) = 0;
    // Draws one line of text with its top-left corner at a device position, on a transparent
    // background. The font's point size is kept on the device.
    virtual void drawText(const QPoint& topLeft, const QString& text, const QFont& font,
                          const QColor& color) = 0;
    // The text height of "W" in the font on this device, in device pixels.
    virtual int lineHeight(const QFont& font) const = 0;
};

// A canvas over a painter on a device (a printer): positions are the painter's device pixels.
class TPainterCanvas : public TOutputCanvas {
  public:
    TPainterCanvas(QPainter& painter, const TDeviceMapping& mapping);
    TDeviceMapping mapping() const override { return m_mapping; }
    void fillRect(const QRect& deviceRect, const QColor& color) override;
    void drawText(const QPoint& topLeft, const QString& text, const QFont& font,
                  const QColor& color) override;
    int lineHeight(const QFont& font) const override;

  private:
    QPainter& m_painter;
    TDeviceMapping m_mapping;
};
