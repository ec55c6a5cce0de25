#pragma once

#include <QWidget>
#include <array>

class TReportPage;
class TReportLabel;

// The page's detail band, output once. A white, opaque screen control on the page control; its
// children are the program's screen controls (which never reach the output) and TReportLabels
// (the only things that do). Its width follows the page: the page control's width less the
// rounded sum of the left and right margins in pixels; its length is the program's.
class TReportBand : public QWidget {
    Q_OBJECT
  public:
    enum SizeValue { Length = 0, Width = 1 };

    explicit TReportBand(TReportPage* page);
    ~TReportBand() override;

    TReportPage* page() const { return m_page; }

    // Size.Values[index] in the page's unit mode: 0 the length (height), 1 the width. After a
    // set the band's screen bounds follow. The width is re-derived from the page whenever the
    // page is laid out again.
    double sizeValue(int index) const;
    void setSizeValue(int index, double value);
    double internalValue(int index) const { return m_size.at(index); }
    void setInternalValue(int index, double value);

    double screenDpi() const { return m_dpi; }
    QColor color() const { return m_color; }
    void setColor(const QColor& color);

    // The text items on the band, in child order.
    QList<TReportLabel*> labels() const;

  signals:
    // The band's screen size changed (Image1 follows it).
    void resized();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    friend class TReportPage;
    void placeOnPage();
    void setBandGeometry(const QRect& geometry);
    void noteSize();

    TReportPage* m_page;  // cleared when the page goes first
    double m_dpi;
    std::array<double, 2> m_size{0, 0};
    QColor m_color = Qt::white;
    QSize m_announcedSize;
};
