#include <QtTest>

#include "engine/OneItemPage.h"
#include "platform/AppEnvironment.h"
#include "platform/AppError.h"
#include "platform/Rounding.h"
#include "printing/engine/DeviceMapping.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportJob.h"
#include "printing/engine/TReportLabel.h"
#include "printing/engine/TReportPage.h"
#include "support/RecordingPrinterBackend.h"
#include "support/TestSupport.h"

// Tests of mapping internal units onto a device, and a page printed straight onto a printer.
class TestDeviceMapping : public QObject {
    Q_OBJECT

    // The main window's page at 96 ppi, printed without a progress window.
    struct Page : OneItemPage {
        Page() : OneItemPage(false) {}
    };

  private slots:
    void init() { AppEnvironment::setScreenDpi(96); }
    void cleanup() { AppEnvironment::reset(); }

    void printerFactorsAndOffsets() {
        const TDeviceMapping m = TDeviceMapping::forPrinter(180, 180, 54, 36);
        QCOMPARE(m.wx, 76.0);  // 54 px = 7.62 mm
        QCOMPARE(m.wy, 51.0);  // 36 px = 5.08 mm
        QCOMPARE(m.fx, 180 / 254.0);
        // An item at 465.08 internal units: Rnd(389.08 × 180 ÷ 254) = 276, i.e. 330 pixels
        // (46.57 mm) from the paper's edge.
        QCOMPARE(m.x(465.08), 276);
        QCOMPARE(m.x(465.08) + 54, 330);
        QCOMPARE(m.pageRect(2300, 1280), QRect(QPoint(-54, -36), QPoint(1576, 871) - QPoint(1, 1)));
        const QRect r = m.pageRect(2300, 1280);
        QCOMPARE(r.right() + 1, 1576);
        QCOMPARE(r.bottom() + 1, 871);
        QCOMPARE(m.width(100), roundHalfEven(100 * 180 / 254.0));
    }

    void screenAndZeroOffsets() {
        const TDeviceMapping screen = TDeviceMapping::forScreen(120);
        QCOMPARE(screen.wx, 0.0);
        QCOMPARE(screen.x(2300), 1087);
        const TDeviceMapping edge = TDeviceMapping::forPrinter(600, 600, 0, 0);
        for (double v : {0.0, 10.0, 465.08, 1234.5, 2299.9})
            QCOMPARE(edge.x(v), roundHalfEven(v * 600 / 254.0));
    }

    void ownFactorPerAxis() {
        const TDeviceMapping m = TDeviceMapping::forPrinter(360, 180, 0, 0);
        QCOMPARE(m.x(254), 360);
        QCOMPARE(m.y(254), 180);
        QCOMPARE(m.width(2300), 3260);
        QCOMPARE(m.height(1280), 907);
    }

    void directPrintLandsFromThePapersEdge() {
        RecordingMessageBoxes boxes;
        RecordingPrinterBackend backend;
        backend.printers << testPrinter("Dot matrix", 180, 180, 54, 36);
        backend.defaultPrinter = "Dot matrix";
        Page p;
        p.page.Print();
        QCOMPARE(backend.documents.size(), 1);
        const auto& doc = backend.documents[0];
        QVERIFY(doc.ended);
        QCOMPARE(doc.pages.size(), 1);
        // The custom paper, 230 × 128 mm, was asked for.
        QCOMPARE(doc.mode.paperSize, 256);
        QCOMPARE(doc.mode.paperWidth, 2300.0);
        QCOMPARE(doc.mode.paperLength, 1280.0);
        QCOMPARE(doc.mode.orientation, 1);
        QCOMPARE(doc.mode.copies, 1);
        // The text: 10 + 172 × 254 ÷ 96 = 465.08 → device x 276; y from 10 + 91 × 254 ÷ 96.
        QCOMPARE(doc.pages[0].texts.size(), 1);
        const auto& text = doc.pages[0].texts[0];
        QCOMPARE(text.text, QString("Zhang San"));
        QCOMPARE(text.topLeft().x(), 276.0);
        const int y = roundHalfEven((10 + 91 * 254.0 / 96 - 51) * 180 / 254);
        QCOMPARE(text.topLeft().y(), double(y));
        // The font keeps its 10 points: 25 pixels at 180 ppi.
        QCOMPARE(QFontInfo(text.font).pointSizeF(), 10.0);
        // The band's fill starts 1 mm from the edges.
        const auto& band = doc.pages[0].fills[0];
        QCOMPARE(band.rect.topLeft(), QPointF(roundHalfEven((10 - 76) * 180 / 254.0),
                                              roundHalfEven((10 - 51) * 180 / 254.0)));
        QVERIFY(boxes.shown.isEmpty());
        QCOMPARE(p.page.reportJob(), nullptr);
        QVERIFY(!p.page.isComposing());
    }

    void bandPixelsAt120() {
        AppEnvironment::setScreenDpi(120);
        RecordingPrinterBackend backend;
        backend.printers << testPrinter("Laser", 600, 600, 0, 0);
        TReportPage page;
        page.setShowProgress(false);
        auto* band = new TReportBand(&page);
        auto* a = new TReportLabel(band);
        a->setCaption("A");
        auto* b = new TReportLabel(band);
        b->setLeft(120);
        b->setCaption("B");
        page.Print();
        const auto& texts = backend.documents.at(0).pages.at(0).texts;
        QCOMPARE(texts.size(), 2);
        // Pixel 0, 0: 1 mm from the edges; pixel 120: 26.4 mm.
        QCOMPARE(texts[0].topLeft(),
                 QPointF(roundHalfEven(10 * 600 / 254.0), roundHalfEven(10 * 600 / 254.0)));
        QCOMPARE(texts[1].topLeft().x(), double(roundHalfEven(264 * 600 / 254.0)));
    }

    void anisotropicPrinter() {
        RecordingPrinterBackend backend;
        backend.printers << testPrinter("Wide", 360, 180, 0, 0);
        Page p;
        p.page.Print();
        const auto& text = backend.documents.at(0).pages.at(0).texts.at(0);
        const double v = 10 + 172 * 254.0 / 96;
        const double w = 10 + 91 * 254.0 / 96;
        QCOMPARE(text.topLeft().x(), double(roundHalfEven(v * 360 / 254)));
        QCOMPARE(text.topLeft().y(), double(roundHalfEven(w * 180 / 254)));
    }

    void printerWithoutCustomPaperKeepsItsOwn() {
        RecordingPrinterBackend backend;
        auto p0 = testPrinter("No custom", 180, 180, 54, 36);
        p0.offersCustomSize = false;
        backend.printers << p0;
        Page p;
        p.page.Print();
        const auto& doc = backend.documents.at(0);
        QCOMPARE(doc.mode.paperSize, 0);  // the printer's current paper
        QCOMPARE(doc.capabilities.physicalWidth, std::round(2100 / 254.0 * 180));
        // Positions are still measured from the paper's top-left corner.
        QCOMPARE(doc.pages.at(0).texts.at(0).topLeft().x(), 276.0);
    }

    void noPrinterPrintsNothing() {
        RecordingPrinterBackend backend;
        Page p;
        p.page.Print();
        QVERIFY(backend.documents.isEmpty());
        QCOMPARE(backend.openCount, 0);
    }

    void twoDirectPrintsAgree() {
        RecordingPrinterBackend backend;
        backend.printers << testPrinter("Dot matrix", 180, 180, 54, 36);
        Page p;
        p.page.Print();
        p.page.Print();
        QCOMPARE(backend.documents.size(), 2);
        const auto& a = backend.documents[0].pages[0];
        const auto& b = backend.documents[1].pages[0];
        QCOMPARE(a.texts.size(), b.texts.size());
        QCOMPARE(a.texts[0].baseline, b.texts[0].baseline);
        QCOMPARE(a.fills.size(), b.fills.size());
        for (int i = 0; i < a.fills.size(); ++i) QCOMPARE(a.fills[i].rect, b.fills[i].rect);
    }

    void printErrorsReachTheCaller() {
        RecordingPrinterBackend backend;
        auto gone = testPrinter("Gone", 180, 180, 0, 0);
        gone.failOnStart = true;
        backend.printers << gone;
        Page p;
        QVERIFY_THROWS_EXCEPTION(AppError, p.page.Print());
        QVERIFY(!p.page.isComposing());
        QCOMPARE(p.page.reportJob(), nullptr);
    }
};

QTEST_MAIN(TestDeviceMapping)
#include "tst_devicemapping.moc"
