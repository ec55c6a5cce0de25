#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include "platform/AppEnvironment.h"
#include "platform/Rounding.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportJob.h"
#include "printing/engine/TReportLabel.h"
#include "printing/engine/TReportPage.h"
#include "printing/engine/TReportPreview.h"
#include "support/RecordingPrinterBackend.h"

// Tests of the preview control, its zoom rules and its page image.
class TestReportPreview : public QObject {
    Q_OBJECT

    struct Fixture {
        RecordingPrinterBackend backend;
        TReportPage page;
        TReportBand* band;
        std::unique_ptr<TReportJob> job;
        Fixture() {
            RecordingPrinterBackend::Printer p;
            p.name = "PDF";
            backend.printers << p;
            band = new TReportBand(&page);
            band->setSizeValue(0, 126);
            auto* item = new TReportLabel(band);
            item->setCaption("Zhang San");
            job = std::make_unique<TReportJob>(&page, TReportDestination::rdMetafile);
            job->bindToPage();
        }
    };

  private slots:
    void init() { AppEnvironment::setScreenDpi(120); }
    void cleanup() { AppEnvironment::reset(); }

    void zoomToFitExample() {
        Fixture f;
        f.job->composeRecorded();
        TReportPreview preview;
        preview.resize(1161, 705);
        preview.setReportJob(f.job.get());
        QCOMPARE(preview.zoom(), 100);
        QCOMPARE(preview.pageNumber(), 1);
        QCOMPARE(preview.pageSizeAt100(), QSize(1087, 605));
        preview.ZoomToFit();
        // min(Rnd(1161 ÷ 1087 × 95), Rnd(705 ÷ 605 × 95)) = min(101, 111)
        QCOMPARE(preview.zoom(), 101);
        QCOMPARE(preview.zoomState(), TZoomState::rzZoomToFit);
        // Rnd(2300 × 1.01 × 120 ÷ 254) + 4 = 1101 wide, centred at 30.
        QCOMPARE(preview.imageSize(), QSize(1101, 615));
        QCOMPARE(preview.pageImage()->size(), QSize(1101, 615));
        QCOMPARE(preview.pageImage()->pos(), QPoint(30, 45));
        QVERIFY(preview.pageImage()->hasPicture());
    }

    void zoomToWidthAndLimits() {
        Fixture f;
        TReportPreview preview;
        preview.resize(1161, 705);
        preview.setReportJob(f.job.get());
        preview.ZoomToWidth();
        QCOMPARE(preview.zoom(), 96);  // Rnd(1161 ÷ 1087 × 90) = Rnd(96.13)
        QCOMPARE(preview.zoomState(), TZoomState::rzZoomToWidth);
        preview.setZoom(1);
        QCOMPARE(preview.zoom(), 96);
        QCOMPARE(preview.zoomState(), TZoomState::rzZoomToWidth);
        preview.setZoom(2001);
        QCOMPARE(preview.zoom(), 96);
        preview.setZoom(2);
        QCOMPARE(preview.zoom(), 2);
        QCOMPARE(preview.zoomState(), TZoomState::rzZoomOther);
        preview.setZoom(2000);
        QCOMPARE(preview.zoom(), 2000);
        QCOMPARE(preview.Zoom(), 2000);
        // Larger than the control: at 0, with scroll ranges.
        QCOMPARE(preview.pageImage()->pos(), QPoint(0, 0));
        QVERIFY(preview.horizontalScrollBar()->maximum() > 0);
        preview.setZoom(35);
        QCOMPARE(preview.imageSize().width(), roundHalfEven(2300 * 35 / 100.0 * 120 / 254) + 4);
    }

    void fitIsReappliedOnResize() {
        Fixture f;
        TReportPreview preview;
        preview.resize(1161, 705);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        preview.setReportJob(f.job.get());
        preview.ZoomToFit();
        QCOMPARE(preview.zoom(), 101);
        preview.resize(600, 400);
        QTRY_COMPARE(preview.zoom(), 52);  // min(Rnd(52.4), Rnd(62.8))
        preview.ZoomToWidth();
        preview.resize(1087, 400);
        QTRY_COMPARE(preview.zoom(), 90);
        preview.setZoom(100);
        preview.resize(500, 300);
        QTRY_COMPARE(preview.size(), QSize(500, 300));
        QCOMPARE(preview.zoom(), 100);  // rzZoomOther stays
    }

    void fitIsReappliedOnFocus() {
        Fixture f;
        RecordingPrinterBackend::Printer a4;
        a4.name = "A4 only";
        a4.offersCustomSize = false;
        f.backend.printers << a4;
        QWidget window;
        window.resize(900, 700);
        auto* other = new QLineEdit(&window);
        auto* preview = new TReportPreview(&window);
        preview->setGeometry(0, 50, 900, 650);
        preview->setReportJob(f.job.get());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        other->setFocus();
        QTRY_VERIFY(other->hasFocus());
        preview->ZoomToFit();
        QCOMPARE(preview->zoom(),
                 std::min(roundHalfEven(900.0 / 1087 * 95), roundHalfEven(650.0 / 605 * 95)));
        // The job's paper changes (another printer, no custom size: A4); focus re-applies the fit.
        f.job->setPrinterIndex(1);
        QCOMPARE(f.job->paperWidth(), 2100.0);
        preview->setFocus();
        QTRY_VERIFY(preview->hasFocus());
        const int a4Width = roundHalfEven(2100 * 120 / 254.0);
        const int a4Length = roundHalfEven(2970 * 120 / 254.0);
        QCOMPARE(preview->zoom(), std::min(roundHalfEven(900.0 / a4Width * 95),
                                           roundHalfEven(650.0 / a4Length * 95)));
    }

    void scrollByMovesTheImage() {
        Fixture f;
        TReportPreview preview;
        preview.resize(1161, 705);
        preview.setReportJob(f.job.get());
        preview.setZoom(100);
        const QPoint start = preview.pageImage()->pos();
        QCOMPARE(start, QPoint((1161 - 1091) / 2, (705 - 609) / 2));
        preview.ScrollBy(10, 0);
        QCOMPARE(preview.pageImage()->pos(), start + QPoint(10, 0));
        preview.ScrollBy(0, -10);
        QCOMPARE(preview.pageImage()->pos(), start + QPoint(10, -10));
        QCOMPARE(preview.horizontalScrollBar()->value(), 0);  // the bars do not follow
        // A zoom change goes back to the top-left.
        preview.setZoom(100);
        QCOMPARE(preview.pageImage()->pos(), start);
    }

    void imageShowsPictureFrameAndShadow() {
        Fixture f;
        TReportPreview preview;
        preview.resize(1161, 705);
        preview.setReportJob(f.job.get());
        preview.setZoom(50);
        // Before the picture is there nothing is drawn.
        QVERIFY(!preview.pageImage()->hasPicture());
        QSignalSpy pages(f.job.get(), &TReportJob::pagesAvailable);
        f.job->composeRecorded();
        QCOMPARE(pages.count(), 1);
        QVERIFY(preview.pageImage()->hasPicture());
        const QImage image = preview.pageImage()->grab().toImage();
        const int w = image.width(), h = image.height();
        QCOMPARE(w, preview.imageSize().width());
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::black));
        QCOMPARE(image.pixelColor(w - 3, h - 3), QColor(Qt::black));
        QCOMPARE(image.pixelColor(w - 1, 1), QColor(Qt::white));  // above the shadow
        QCOMPARE(image.pixelColor(w - 1, 2), QColor(Qt::black));
        QCOMPARE(image.pixelColor(1, h - 1), QColor(Qt::white));
        QCOMPARE(image.pixelColor(2, h - 1), QColor(Qt::black));
        QCOMPARE(image.pixelColor(w - 1, h - 1), QColor(Qt::black));
        QCOMPARE(image.pixelColor(w / 2, h / 2), QColor(Qt::white));
        // The text left some ink near the band's top-left corner.
        bool ink = false;
        for (int y = 3; y < 20 && !ink; ++y)
            for (int x = 3; x < 60 && !ink; ++x) ink = image.pixelColor(x, y).lightness() < 128;
        QVERIFY(ink);
    }

    void bindingAndUnbinding() {
        Fixture f;
        auto second = std::make_unique<TReportJob>(&f.page, TReportDestination::rdMetafile);
        auto preview = std::make_unique<TReportPreview>();
        preview->setReportJob(f.job.get());
        QVERIFY(f.job->isShown());
        preview->setReportJob(second.get());
        QVERIFY(!f.job->isShown());  // the job shown before stops being shown
        QVERIFY(second->isShown());
        QSignalSpy ended(second.get(), &TReportJob::previewEnded);
        preview.reset();  // destroying the control ends the job's preview
        QVERIFY(!second->isShown());
        QCOMPARE(ended.count(), 1);
        // A job destroyed while shown unbinds the control.
        TReportPreview other;
        other.setReportJob(second.get());
        second.reset();
        QCOMPARE(other.reportJob(), nullptr);
    }
};

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"
