#include <QtTest>

#include "platform/AppEnvironment.h"
#include "platform/Rounding.h"
#include "printing/engine/TPagePicture.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportLabel.h"
#include "printing/engine/TReportPage.h"
#include "printing/engine/TextLayout.h"

// Tests of the text item's layout and its output in a composition.
class TestTextLayout : public QObject {
    Q_OBJECT

    // Every character 10 pixels wide.
    static double tenEach(const QString& s) { return 10.0 * s.size(); }

    static QList<TPagePicture::Op> texts(const TPagePicture& picture) {
        QList<TPagePicture::Op> result;
        for (const auto& op : picture.ops())
            if (op.kind == TPagePicture::Op::Text) result << op;
        return result;
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
        TPagePicture picture(QSize(1087, 605), 120);
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
        TPagePicture shorter(QSize(1087, 605), 120);
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
        TPagePicture picture(QSize(1087, 605), 120);
        page.composeOnto(picture);
        QCOMPARE(picture.ops().size(), size_t(2));  // the band, then the item's box; no text
        const auto& bandFill = picture.ops()[0];
        QCOMPARE(bandFill.kind, TPagePicture::Op::Fill);
        QCOMPARE(bandFill.color, QColor(Qt::white));
        QCOMPARE(bandFill.rect, QRect(5, 5, 1078, 595));
        const auto& box = picture.ops()[1];
        // Band pixel 120 at 120 ppi: 26.4 mm from the paper's left edge = pixel 125.
        QCOMPARE(box.rect.topLeft(), QPoint(125, 5));
        QCOMPARE(box.color, QColor(Qt::white));
        item->setTransparent(true);
        TPagePicture transparent(QSize(1087, 605), 120);
        page.composeOnto(transparent);
        QCOMPARE(transparent.ops().size(), size_t(1));
    }

    void screenControlsNeverReachTheOutput() {
        TReportPage page;
        TReportBand band(&page);
        auto* field = new QWidget(&band);
        field->setGeometry(10, 10, 100, 20);
        auto* item = new TReportLabel(&band);
        item->setCaption("printed");
        TPagePicture picture(QSize(1087, 605), 120);
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
        TPagePicture a(QSize(1087, 605), 120), b(QSize(1087, 605), 120);
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
