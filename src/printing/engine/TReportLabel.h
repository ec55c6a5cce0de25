#pragma once

#include <QStringList>
#include <QWidget>
#include <array>

#include "printing/engine/TextLayout.h"

class TReportBand;

// A text item (print item) on a band: the only kind of control that reaches the output. Its
// bounds are kept in 0.1 mm (Size.Values: 0 height, 1 left, 2 top, 3 width, relative to the
// band's top-left corner); the pixel setters convert through the Pixels mode at the R of the
// item's creation and the page's zoom, the pixel getters convert back and round. The widget
// itself always sits at the rounded pixel bounds.
class TReportLabel : public QWidget {
    Q_OBJECT
  public:
    enum SizeValue { Height = 0, Left = 1, Top = 2, Width = 3 };

    explicit TReportLabel(TReportBand* band);
    ~TReportLabel() override;

    TReportBand* band() const { return m_band; }

    // Size.Values[index] in the page's unit mode, and in internal units.
    double sizeValue(int index) const;
    void setSizeValue(int index, double value);
    double internalValue(int index) const {
        adoptGeometry();
        return m_bounds.at(index);
    }
    void setInternalValue(int index, double value);

    // Pixel bounds in the band's coordinate space (screen pixels at the page's zoom).
    int left() const;
    int top() const;
    int itemWidth() const;
    int itemHeight() const;
    void setLeft(int pixels);
    void setTop(int pixels);
    void setWidth(int pixels);
    void setHeight(int pixels);
    void setBounds(int left, int top, int width, int height);

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

    // The item's font is QWidget::font(): a new item inherits the band's (the page's) font;
    // setting the size or the face gives it its own. Sizes are points, kept on every device.
    void setFontSize(double points);
    void setFontName(const QString& face);

    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool on);
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool on);
    TWrapStyle wrapStyle() const { return m_wrapStyle; }
    void setWrapStyle(TWrapStyle style);
    bool autoStretch() const { return m_autoStretch; }
    void setAutoStretch(bool on) { m_autoStretch = on; }
    bool transparent() const { return m_transparent; }
    void setTransparent(bool on);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    QColor textColor() const;

    // The output lines as the last layout made them (the layout runs on every change of the
    // caption, font, size or parent, and before output).
    QStringList lines() const { return m_lines; }
    void formatLines();

    // The line height on the screen at R, scaled by the page's zoom (pixels).
    double screenLineHeight() const;
    double screenDpi() const { return m_dpi; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    double zoom() const;
    double toPixels(double internal) const;
    double fromPixels(double pixels) const;
    void applyGeometry();
    void adoptGeometry() const;

    TReportBand* m_band;
    double m_dpi;
    mutable std::array<double, 4> m_bounds{0, 0, 0, 0};
    mutable QRect m_appliedGeometry;
    QString m_caption;
    QStringList m_lines;
    bool m_autoSize = true;
    bool m_wordWrap = true;
    TWrapStyle m_wrapStyle = TWrapStyle::BreakOnSpaces;
    bool m_autoStretch = false;
    bool m_transparent = false;
    QColor m_color = Qt::white;
    bool m_applying = false;
    bool m_formatting = false;
};
