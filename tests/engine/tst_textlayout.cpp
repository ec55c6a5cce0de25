#include <QPainter>
#include <QtTest>

#include "platform/AppEnvironment.h"
#include "platform/Rounding.h"
#include "printing/engine/TOutputCanvas.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportImage.h"
#include "printing/engine/TReportLabel.h"
#include "printing/engine/TReportPage.h"
#include "printing/engine/TextLayout.h"

// What a composition draws, in the order it draws it, on a screen of `dpi` pixels per inch.
class ScreenRecording : public TOutputCanvas {
  public:
    struct Op {
        enum Kind { Fill, Text, Image } kind;
        QRect rect;  // Fill: the rectangle; Text: the top-left corner in rect.topLeft()
        QColor color;
        QString text;
        QFont font;
    };
    explicit ScreenRecording(double dpi) : m_dpi(dpi) {}
    const std::vector<Op>& ops() const { return m_ops; }

    TDeviceMapping mapping() const override { return TDeviceMapping::forScreen(m_dpi); }
    void fillRect(const QRect& rect, const QColor& color) override {
        m_ops.push_back({Op::Fill, rect, color, {}, {}});
    }
    void drawImage(const QRect& rect, const QImage&) override {
        m_ops.push_back({Op::Image, rect, {}, {}, {}});
    }
    void drawText(const QPoint& topLeft, const QString& text, const QFont& font,
                  const QColor& color) override {
        m_ops.push_back({Op::Text, QRect(topLeft, QSize()), color, text, font});
    }
    double lineHeight(const QFont& font) const override {
        return engine::lineHeight(font, engine::measuringDevice(m_dpi));
    }

  private:
    double m_dpi;
    std::vector<Op> m_ops;
};

// Tests of the text item's layout and its output in a composition.
class TestTextLayout : public QObject {
    Q_OBJECT

    // Every character 10 pixels wide.
    static double tenEach(const QString& s) { return 10.0 * s.size(); }

    static QList<ScreenRecording::Op> texts(const ScreenRecording& picture) {
        QList<ScreenRecording::Op> result;
        for (const auto& op : picture.ops())
            if (op.kind == ScreenRecording::Op::Text) result << op;
        return result;
    }

    // The page on paper at 254 pixels per inch (one pixel is 0.1 mm), as a printer whose
    // printable area starts at the paper's edge draws it.
    static QImage paperAt254(const TReportPage& page) {
        QImage image(2300, 1280, QImage::Format_Grayscale8);
        image.setDotsPerMeterX(10000);
        image.setDotsPerMeterY(10000);
        image.fill(Qt::white);
        QPainter painter(&image);
        TPainterCanvas canvas(painter, TDeviceMapping::forPrinter(254, 254, 0, 0));
        page.composeOnto(canvas);
        return image;
    }

    static int inkRows(const QImage& image, const QRect& area, int fromRow) {
        int rows = 0;
        for (int y = std::max(area.top(), fromRow); y <= area.bottom(); ++y) {
            const uchar* line = image.constScanLine(y);
            for (int x = area.left(); x <= area.right(); ++x) {
                if (line[x] < 128) {
                    ++rows;
                    break;
                }
            }
        }
        return rows;
    }

  private slots:
    void init() { AppEnvironment::setScreenDpi(120); }
    void cleanup() { AppEnvironment::reset(); }

    void captionSplitsAtCarriageReturns() {
        QCOMPARE(engine::captionLines("ab\r\ncd\ref"), (QStringList{"ab", "cd", "ef"}));
        QCOMPARE(engine::captionLines("a\nb"), QStringList{"ab"});  // line feeds are dropped
        QCOMPARE(engine::captionLines(""), QStringList{""});
    }

    void breakAnywhereBreaksBetweenAnyCharacters() {
        // 35 pixels hold three characters; the fourth starts a new line.
        const auto lines = engine::layoutLines("北京市海淀区中关村大街", false, true,
                                               TWrapStyle::BreakAnywhere, 35, tenEach);
        QCOMPARE(lines, (QStringList{"北京市", "海淀区", "中关村", "大街"}));
        // Words are not kept together; spaces are characters like any other.
        QCOMPARE(
            engine::layoutLines("ab cd ef", false, true, TWrapStyle::BreakAnywhere, 35, tenEach),
            (QStringList{"ab ", "cd ", "ef"}));
        // A character wider than the box still gets a line of its own, never dropped.
        QCOMPARE(engine::layoutLines("abc", false, true, TWrapStyle::BreakAnywhere, 5, tenEach),
                 (QStringList{"a", "b", "c"}));
        // A final blank line is dropped.
        QCOMPARE(engine::layoutLines("abc   ", false, true, TWrapStyle::BreakAnywhere, 30, tenEach),
                 (QStringList{"abc"}));
        QVERIFY(
            engine::layoutLines("", false, true, TWrapStyle::BreakAnywhere, 30, tenEach).isEmpty());
    }

    void breakOnSpacesKeepsWords() {
        QCOMPARE(
            engine::layoutLines("ab cd ef", false, true, TWrapStyle::BreakOnSpaces, 55, tenEach),
            (QStringList{"ab cd ", "ef"}));
        // A word longer than the box is broken inside.
        QCOMPARE(
            engine::layoutLines("abcdefgh ij", false, true, TWrapStyle::BreakOnSpaces, 35, tenEach),
            (QStringList{"abc", "def", "gh ", "ij"}));
    }

    void autoSizeKeepsCaptionLines() {
        QCOMPARE(engine::layoutLines("long caption\rx", true, true, TWrapStyle::BreakAnywhere, 5,
                                     tenEach),
                 (QStringList{"long caption", "x"}));
    }

    void autoSizedItemTakesItsTextSize() {
        TReportPage page;
        TReportBand band(&page);
        TReportLabel item(&band);
        item.setFontSize(12);
        item.setCaption("Sender");
        const QFontMetricsF metrics(item.font(), engine::measuringDevice(120));
        QCOMPARE(item.itemWidth(), roundHalfEven(metrics.horizontalAdvance("Sender")));
        // Lower than one line: made one line (the height of "W") plus 1 pixel high.
        const int line = engine::lineHeight(item.font(), engine::measuringDevice(120));
        QCOMPARE(item.itemHeight(), line + 1);
        QCOMPARE(item.lines(), QStringList{"Sender"});
        // The left edge stays.
        item.setLeft(40);
        item.setCaption("Sender and more");
        QCOMPARE(item.left(), 40);
        // An empty caption: 0 wide, nothing to output.
        item.setCaption("");
        QCOMPARE(item.itemWidth(), 0);
        QVERIFY(item.lines().isEmpty());
    }

    void fontChangeLaysOutAgain() {
        // The print command sets the caption before the font: the item is sized by the font it ends
        // with.
        TReportPage page;
        TReportBand band(&page);
        TReportLabel item(&band);
        item.setCaption("Sender");
        const int before = item.itemWidth();
        item.setFontSize(24);
        const QFontMetricsF metrics(item.font(), engine::measuringDevice(120));
        QCOMPARE(item.itemWidth(), roundHalfEven(metrics.horizontalAdvance("Sender")));
        QVERIFY(item.itemWidth() > before);
        // A fixed box re-breaks its lines with the new font.
        item.setAutoSize(false);
        item.setWrapStyle(TWrapStyle::BreakAnywhere);
        item.setWidth(40);
        const int lines = item.lines().size();
        item.setFontSize(8);
        QVERIFY(item.lines().size() < lines);
    }

    void fontKeepsItsPointSize() {
        TReportPage page;
        TReportBand band(&page);
        TReportLabel item(&band);
        QCOMPARE(item.font().family(), page.font().family());  // the band's (page's) font
        item.setFontSize(11);
        item.setFontName("DejaVu Sans");
        QCOMPARE(item.font().pointSizeF(), 11.0);
        QCOMPARE(item.font().family(), QString("DejaVu Sans"));
        // The line height grows with the device's resolution, the point size stays.
        const int at120 = engine::lineHeight(item.font(), engine::measuringDevice(120));
        const int at600 = engine::lineHeight(item.font(), engine::measuringDevice(600));
        QVERIFY(std::abs(at600 - at120 * 5) <= 5);
    }

    void fixedBoxDropsSurplusLines() {
        TReportPage page;
        TReportBand band(&page);
        band.setSizeValue(0, 126);
        auto* item = new TReportLabel(&band);
        item->setFontSize(10);
        const int line = engine::lineHeight(item->font(), engine::measuringDevice(120));
        item->setAutoSize(false);
        item->setWrapStyle(TWrapStyle::BreakAnywhere);
        item->setBounds(100, 50, 60, 3 * line);
        const QString text = "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXYZ";
        item->setCaption(text);
        const QStringList lines = item->lines();
        QVERIFY2(lines.size() > 3, qPrintable(QString::number(lines.size())));
        QCOMPARE(lines.join(QString()), text);  // no character dropped by the layout
        const QFontMetricsF metrics(item->font(), engine::measuringDevice(120));
        for (const QString& l : lines) QVERIFY(metrics.horizontalAdvance(l) <= 60 || l.size() == 1);

        // Composed at the screen's resolution: only the three lines that fit are output.
        ScreenRecording picture(120);
        page.composeOnto(picture);
        const auto out = texts(picture);
        QCOMPARE(out.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(out[i].text, lines[i]);
            // 1 mm margin + 100 px → x; lines one "W" height apart from the item's top.
            QCOMPARE(out[i].rect.left(), roundHalfEven((10 + 100 * 254.0 / 120) * 120 / 254));
            QCOMPARE(out[i].rect.top(),
                     roundHalfEven((10 + 50 * 254.0 / 120) * 120 / 254) + i * line);
        }
        // One line less high: two lines.
        item->setHeight(3 * line - 2);
        ScreenRecording shorter(120);
        page.composeOnto(shorter);
        QCOMPARE(texts(shorter).size(), 2);
    }

    void opaqueBoxAndBandAreFilledWhite() {
        TReportPage page;
        TReportBand band(&page);
        band.setSizeValue(0, 126);
        auto* item = new TReportLabel(&band);
        item->setAutoSize(false);
        item->setBounds(120, 0, 50, 20);
        item->setCaption("");
        ScreenRecording picture(120);
        page.composeOnto(picture);
        QCOMPARE(picture.ops().size(), size_t(2));  // the band, then the item's box; no text
        const auto& bandFill = picture.ops()[0];
        QCOMPARE(bandFill.kind, ScreenRecording::Op::Fill);
        QCOMPARE(bandFill.color, QColor(Qt::white));
        QCOMPARE(bandFill.rect, QRect(5, 5, 1078, 595));
        const auto& box = picture.ops()[1];
        // Band pixel 120 at 120 ppi: 26.4 mm from the paper's left edge = pixel 125.
        QCOMPARE(box.rect.topLeft(), QPoint(125, 5));
        QCOMPARE(box.color, QColor(Qt::white));
        item->setTransparent(true);
        ScreenRecording transparent(120);
        page.composeOnto(transparent);
        QCOMPARE(transparent.ops().size(), size_t(1));
    }

    // A picture lies on the band's area, at its box in 0.1 mm, beneath every item's box and
    // text, wherever it stands among the band's children.
    void aPictureLiesBetweenTheBandAndTheItems() {
        TReportPage page;
        TReportBand band(&page);
        band.setSizeValue(0, 126);
        auto* item = new TReportLabel(&band);
        item->setAutoSize(false);
        item->setBounds(120, 0, 50, 20);
        item->setCaption("A");
        auto* picture = new TReportImage(&band);
        picture->setImage(QImage(4, 4, QImage::Format_RGB32));
        picture->setInternalBounds(QRectF(0, 0, 2280, 1260));
        ScreenRecording drawn(254);
        page.composeOnto(drawn);
        QCOMPARE(drawn.ops().size(), size_t(4));
        QCOMPARE(drawn.ops()[0].kind, ScreenRecording::Op::Fill);
        QCOMPARE(drawn.ops()[1].kind, ScreenRecording::Op::Image);
        QCOMPARE(drawn.ops()[1].rect, QRect(10, 10, 2280, 1260));
        QCOMPARE(drawn.ops()[2].kind, ScreenRecording::Op::Fill);
        QCOMPARE(drawn.ops()[3].kind, ScreenRecording::Op::Text);
    }

    // The sender's address box (three field-heights) reaches into the telephone item below it;
    // the telephone item is drawn later and is opaque, and when its field is hidden it is an
    // empty 14 pt box. Neither may take ink from the address's third line.
    void aLaterBoxNeverErasesAnEarlierItemsLines() {
        TReportPage page;
        TReportBand band(&page);
        band.setSizeValue(0, 126);
        auto* address = new TReportLabel(&band);
        address->setAutoSize(false);
        address->setWrapStyle(TWrapStyle::BreakAnywhere);
        address->setBounds(153, 184, 244, 78);
        address->setCaption("北京市海淀区中关村大街二十七号院三号楼五单元八层八零二室请交张先生");
        address->setFontSize(11);
        address->setFontName("WenQuanYi Micro Hei");
        QVERIFY(address->lines().size() >= 3);
        const QImage alone = paperAt254(page);

        auto* telephone = new TReportLabel(&band);
        telephone->setCaption(QString());
        telephone->setFontSize(14);
        telephone->setAutoSize(false);
        telephone->setBounds(188, 236, 120, 120);  // the hidden field's empty box, and more
        const QImage covered = paperAt254(page);

        // The address's area on paper, and the rows the telephone box reaches into.
        const QRect area(10 + qRound(153 * 254 / 120.0), 10 + qRound(184 * 254 / 120.0),
                         qRound(244 * 254 / 120.0), qRound(78 * 254 / 120.0));
        const int boxTop = 10 + qRound(236 * 254 / 120.0);
        const int inkUnderTheBox = inkRows(alone, area, boxTop);
        QVERIFY2(inkUnderTheBox > 0, "the third line does not reach the telephone's box");
        QCOMPARE(inkRows(covered, area, boxTop), inkUnderTheBox);
        QCOMPARE(covered.copy(area), alone.copy(area));

        // On every canvas: all boxes first, then all lines.
        ScreenRecording recording(120);
        page.composeOnto(recording);
        bool textSeen = false;
        for (const auto& op : recording.ops()) {
            if (op.kind == ScreenRecording::Op::Text) textSeen = true;
            QVERIFY2(!(textSeen && op.kind == ScreenRecording::Op::Fill), "a box after a text");
        }
        QVERIFY(textSeen);
    }

    void screenControlsNeverReachTheOutput() {
        TReportPage page;
        TReportBand band(&page);
        auto* field = new QWidget(&band);
        field->setGeometry(10, 10, 100, 20);
        auto* item = new TReportLabel(&band);
        item->setCaption("printed");
        ScreenRecording picture(120);
        page.composeOnto(picture);
        const auto out = texts(picture);
        QCOMPARE(out.size(), 1);
        QCOMPARE(out[0].text, QString("printed"));
    }

    void twoCompositionsAgree() {
        TReportPage page;
        TReportBand band(&page);
        auto* item = new TReportLabel(&band);
        item->setBounds(172, 91, 10, 10);
        item->setCaption("张三");
        ScreenRecording a(120), b(120);
        page.composeOnto(a);
        page.composeOnto(b);
        QCOMPARE(a.ops().size(), b.ops().size());
        for (size_t i = 0; i < a.ops().size(); ++i) {
            QCOMPARE(a.ops()[i].rect, b.ops()[i].rect);
            QCOMPARE(a.ops()[i].text, b.ops()[i].text);
        }
    }
};

QTEST_MAIN(TestTextLayout)
#include "tst_textlayout.moc"
