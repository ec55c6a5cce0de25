#include <QSignalSpy>
#include <QtTest>

#include "platform/AppEnvironment.h"
#include "platform/Rounding.h"
#include "printing/engine/EngineUnits.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportLabel.h"
#include "printing/engine/TReportPage.h"

// Tests of units, Page.Values, the page control's size and the band's placement, at 96 and
// 120 pixels per inch.
class TestPageGeometry : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { AppEnvironment::reset(); }

    void unitConversions() {
        using namespace engine;
        QCOMPARE(toInternal(100, TUnitMode::MM, 96, 100), 1000.0);
        QCOMPARE(fromInternal(1280, TUnitMode::MM, 96, 100), 128.0);
        QCOMPARE(toInternal(1, TUnitMode::Inches, 96, 100), 254.0);
        QCOMPARE(fromInternal(508, TUnitMode::Inches, 96, 100), 2.0);
        QCOMPARE(toInternal(1234.5, TUnitMode::Native, 96, 100), 1234.5);
        // A pixel is 25.4 ÷ R mm at zoom 100.
        QCOMPARE(toInternal(1, TUnitMode::Pixels, 96, 100), 254.0 / 96);
        QCOMPARE(toInternal(1, TUnitMode::Pixels, 120, 100), 254.0 / 120);
        QCOMPARE(toInternal(120, TUnitMode::Pixels, 120, 100), 254.0);
        // At zoom 200 a pixel is half as long.
        QCOMPARE(toInternal(2, TUnitMode::Pixels, 120, 200), 254.0 / 120);
        QCOMPARE(fromInternal(254, TUnitMode::Pixels, 96, 100), 96.0);
        // Not rounded on the way in; rounded half-even only when a whole number is wanted.
        QVERIFY(std::abs(toInternal(172, TUnitMode::Pixels, 96, 100) - 455.0833333) < 1e-6);
        QCOMPARE(screenPixels(2300, 120, 100), 1087);
        QCOMPARE(screenPixels(1280, 120, 100), 605);
        QCOMPARE(screenPixels(2300, 96, 100), 869);
        QCOMPARE(screenPixels(1280, 96, 100), 484);
        QCOMPARE(screenPixels(9990, 96, 100), 3776);
        // 127 internal units at 96 are exactly 48 pixels; 1.5 px rounds to 2, 2.5 px to 2.
        QCOMPARE(screenPixels(254.0 / 96 * 2.5, 96, 100), 2);
        QCOMPARE(screenPixels(254.0 / 96 * 1.5, 96, 100), 2);
        QVERIFY_THROWS_EXCEPTION(std::exception, toInternal(1, TUnitMode::Characters, 96, 100));
    }

    void designPageAt120() {
        AppEnvironment::setScreenDpi(120);
        TReportPage page;
        TReportBand band(&page);
        QCOMPARE(page.units(), TUnitMode::MM);
        QCOMPARE(page.zoom(), 100);
        QCOMPARE(page.paperSize(), TPaperSize::Custom);
        const double values[] = {1, 128, 1, 230, 1, 1, 0};
        for (int i = 0; i < 7; ++i) QCOMPARE(page.pageValue(i), values[i]);
        QCOMPARE(page.internalValue(TReportPage::Length), 1280.0);
        QCOMPARE(page.size(), QSize(1087, 605));
        QCOMPARE(page.detailBand(), &band);
        // The band at the margins: 5, 5; 1087 − Rnd(4.72 + 4.72) = 1078 wide.
        QCOMPARE(band.pos(), QPoint(5, 5));
        QCOMPARE(band.width(), 1078);
        QVERIFY(std::abs(band.internalValue(TReportBand::Width) - 2281.766666666667) < 1e-9);
        QVERIFY(std::abs(band.sizeValue(1) - 228.1766666666667) < 1e-9);
        // The band's design length, and FitBandToPage's 126 mm.
        band.setInternalValue(TReportBand::Length, 1259.416666666667);
        QCOMPARE(band.height(), 595);
        band.setSizeValue(0, 126);
        QCOMPARE(band.internalValue(TReportBand::Length), 1260.0);
        QCOMPARE(band.height(), 595);
        QCOMPARE(band.sizeValue(0), 126.0);
    }

    void designPageAt96() {
        AppEnvironment::setScreenDpi(96);
        TReportPage page;
        TReportBand band(&page);
        QCOMPARE(page.size(), QSize(869, 484));
        // Margins 3.78 px: band at 4, 4; 869 − Rnd(7.56) = 861 wide.
        QCOMPARE(band.pos(), QPoint(4, 4));
        QCOMPARE(band.width(), 861);
        band.setSizeValue(0, 126);
        QCOMPARE(band.height(), 476);  // 1260 ÷ 2.6458 = 476.2
    }

    void pageValuesInMillimetres() {
        AppEnvironment::setScreenDpi(96);
        TReportPage page;
        TReportBand band(&page);
        page.setPageValue(TReportPage::Length, 100);
        QCOMPARE(page.internalValue(TReportPage::Length), 1000.0);
        QCOMPARE(page.pageValue(1), 100.0);
        QCOMPARE(roundHalfEven(page.pageValue(1) - 2), 98);
        page.setPageValue(TReportPage::Length, 999);
        QCOMPARE(page.height(), 3776);
        page.setPageValue(TReportPage::Width, 100.5);
        QCOMPARE(page.internalValue(TReportPage::Width), 1005.0);
        QCOMPARE(page.width(), roundHalfEven(1005 / (254.0 / 96)));
        QCOMPARE(band.width(), page.width() - 8);
        QVERIFY_THROWS_EXCEPTION(std::exception, page.pageValue(7));
    }

    void lengthAndWidthNeedCustomPaper() {
        AppEnvironment::setScreenDpi(120);
        TReportPage page;
        page.setPaperSize(TPaperSize::A4);
        QCOMPARE(page.pageValue(TReportPage::Width), 210.0);
        page.setPageValue(TReportPage::Width, 100);
        page.setPageValue(TReportPage::Length, 100);
        QCOMPARE(page.pageValue(TReportPage::Width), 210.0);
        QCOMPARE(page.pageValue(TReportPage::Length), 297.0);
        page.setPageValue(TReportPage::TopMargin, 2);  // margins are always the page's
        QCOMPARE(page.pageValue(TReportPage::TopMargin), 2.0);
        page.setPaperSize(TPaperSize::Custom);
        page.setPageValue(TReportPage::Width, 100);
        QCOMPARE(page.pageValue(TReportPage::Width), 100.0);
    }

    void otherUnitModes() {
        AppEnvironment::setScreenDpi(120);
        TReportPage page;
        TReportBand band(&page);
        page.setUnits(TUnitMode::Pixels);
        QVERIFY(std::abs(page.pageValue(TReportPage::Width) - 1086.614173228) < 1e-6);
        QCOMPARE(band.sizeValue(1), 1078.0);
        page.setUnits(TUnitMode::Native);
        QCOMPARE(page.pageValue(TReportPage::Width), 2300.0);
        page.setUnits(TUnitMode::Inches);
        page.setPageValue(TReportPage::Width, 10);
        QCOMPARE(page.internalValue(TReportPage::Width), 2540.0);
        QVERIFY_THROWS_EXCEPTION(std::exception, page.setUnits(TUnitMode::Characters));
        QCOMPARE(page.units(), TUnitMode::Inches);
    }

    void bandSignalsItsResize() {
        AppEnvironment::setScreenDpi(120);
        TReportPage page;
        TReportBand band(&page);
        QSignalSpy spy(&band, &TReportBand::resized);
        band.setSizeValue(0, 98);
        QVERIFY(spy.count() >= 1);
        QCOMPARE(band.height(), roundHalfEven(980 / (254.0 / 120)));
        spy.clear();
        page.setPageValue(TReportPage::Width, 100);  // the width follows the page
        QVERIFY(spy.count() >= 1);
        QCOMPARE(band.width(), roundHalfEven(1000 / (254.0 / 120)) - 9);
    }

    void itemBoundsConvertThroughPixels() {
        AppEnvironment::setScreenDpi(96);
        TReportPage page;
        TReportBand band(&page);
        auto* item = new TReportLabel(&band);
        item->setAutoSize(false);
        QCOMPARE(item->itemWidth(), 10);  // a new item is 10 × 10 pixels
        QCOMPARE(item->itemHeight(), 10);
        item->setLeft(172);
        item->setTop(91);
        QVERIFY(std::abs(item->internalValue(TReportLabel::Left) - 172 * 254.0 / 96) < 1e-9);
        QCOMPARE(item->left(), 172);
        QCOMPARE(item->top(), 91);
        QCOMPARE(item->geometry(), QRect(172, 91, 10, 10));
        // 10 + 172 × 254 ÷ 96 = 465.08 internal units: 46.51 mm from the paper's left edge.
        QVERIFY(std::abs(10 + item->internalValue(TReportLabel::Left) - 465.0833) < 1e-3);
        QCOMPARE(item->sizeValue(TReportLabel::Top), 91 * 25.4 / 96);
        // A widget moved directly takes the new place as its bounds.
        item->move(50, 60);
        QCOMPARE(item->left(), 50);
        QCOMPARE(item->top(), 60);
        delete item;
        QVERIFY(band.labels().isEmpty());
    }
};

QTEST_MAIN(TestPageGeometry)
#include "tst_pagegeometry.moc"
