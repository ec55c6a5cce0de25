#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QStringList>
#include <cstddef>
#include <vector>

class TOutputCanvas;

// A recorded page: what a composition puts on the paper, kept in internal units (0.1 mm from
// the paper's top-left corner) and not in any device's pixels. Rendering it onto a canvas does
// the device mapping, the line spacing and the fit of lines in their boxes with that canvas's
// metrics, so a recorded page printed later lands on the printer exactly where a direct print
// of the same page lands, and a preview can show it with the metrics of the printer it is
// meant for.
class TPagePicture {
  public:
    struct Fill {
        QRectF box;  // internal units
        QColor color;
    };
    // An item's text: its output lines, the first one's top at the item's top, each next one
    // line height lower; a line is drawn only while it fits in the item's box.
    struct TextBlock {
        QPointF topLeft;  // internal units
        double boxHeight = 0;
        QStringList lines;
        QFont font;
        QColor color;
    };

    // A picture stretched over a box (internal units). It is drawn after the fills recorded
    // before it and before those recorded after it, so a picture lies on the band's area and
    // under the boxes of the items.
    struct Picture {
        QRectF box;
        QImage image;
        std::size_t fillsBefore = 0;
    };

    TPagePicture() = default;
    explicit TPagePicture(QSizeF paper) : m_paper(paper) {}

    // The paper the page was recorded for (internal units).
    QSizeF paperSize() const { return m_paper; }
    const std::vector<Fill>& fills() const { return m_fills; }
    const std::vector<TextBlock>& texts() const { return m_texts; }
    const std::vector<Picture>& pictures() const { return m_pictures; }

    void addFill(const QRectF& box, const QColor& color);
    void addText(TextBlock text);
    void addPicture(const QRectF& box, const QImage& image);

    // Draws the page: every fill and picture first, in the order recorded, then every text. No box,
    // opaque or not, is ever drawn over a text: where one item's box overlaps another item's lines,
    // the lines stay whole. (A white box prints nothing on a pre-printed form; on a PDF or a
    // preview it would erase.)
    void render(TOutputCanvas& canvas) const;

  private:
    QSizeF m_paper;
    std::vector<Fill> m_fills;
    std::vector<TextBlock> m_texts;
    std::vector<Picture> m_pictures;
};
