#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

#include "printing/engine/TOutputCanvas.h"

class QPainter;

// A recorded page: the engine's own vector picture, made at the screen's resolution R (F =
// R ÷ 254, W = 0) and played back stretched into any rectangle of any device. It records
// filled rectangles and text lines with their fonts; on playback positions are scaled with
// the stretch, and a text's font with the stretch's vertical factor, so that a page stretched
// onto a printer's page rectangle shows the text at the size it had on paper.
class TPagePicture : public TOutputCanvas {
  public:
    struct Op {
        enum Kind { Fill, Text } kind;
        QRect rect;  // Fill: the rectangle; Text: the top-left corner in rect.topLeft()
        QColor color;
        QString text;
        QFont font;
    };

    TPagePicture() = default;
    TPagePicture(QSize size, double dpi);

    QSize size() const { return m_size; }
    double dpi() const { return m_dpi; }
    const std::vector<Op>& ops() const { return m_ops; }

    // TOutputCanvas: recording.
    TDeviceMapping mapping() const override { return TDeviceMapping::forScreen(m_dpi); }
    void fillRect(const QRect& deviceRect, const QColor& color) override;
    void drawText(const QPoint& topLeft, const QString& text, const QFont& font,
                  const QColor& color) override;
    int lineHeight(const QFont& font) const override;

    // Plays the picture stretched over `target` (device pixels of the painter's device).
    void play(QPainter& painter, const QRect& target) const;

  private:
    QSize m_size;
    double m_dpi = 96;
    std::vector<Op> m_ops;
};
