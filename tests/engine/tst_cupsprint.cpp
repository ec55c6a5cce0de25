#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

#include "platform/AppEnvironment.h"
#include "platform/PrinterBackend.h"
#include "platform/QtPrinterBackend.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportJob.h"
#include "printing/engine/TReportLabel.h"
#include "printing/engine/TReportPage.h"
#include "printing/engine/TReportPreview.h"
#include "support/CupsPdf.h"
#include "support/TestSupport.h"

// A real print through CUPS onto the cups-pdf queue "PDF" (scripts/start-cups.sh sets it up):
// a black mark at a known band position must land at the expected millimetres on the PDF page,
// rendered with pdftoppm at 254 pixels per inch, so one pixel is 0.1 mm. Skips cleanly when no
// such queue or no pdftoppm is there.
class TestCupsPrint : public QObject {
    Q_OBJECT

    using Ink = CupsPdf::Ink;

    int m_printerIndex = -1;
    QString m_pdftoppm;

    // The main window's page at 96 pixels per inch with a black mark of 40 × 20 pixels at
    // band pixel (172, 91): 46.51 mm from the paper's left edge and 25.08 mm from its top.
    struct MarkedPage {
        TReportPage page;
        MarkedPage(const QString& title, int printerIndex) {
            page.setReportTitle(title);
            page.setShowProgress(false);
            page.printerSettings().PrinterIndex = printerIndex;
            auto* band = new TReportBand(&page);
            band->setSizeValue(0, 126);
            auto* mark = new TReportLabel(band);
            mark->setAutoSize(false);
            mark->setBounds(172, 91, 40, 20);
            mark->setCaption(QString());
            mark->setColor(Qt::black);
        }
    };

    // Where the mark should be on the PDF page: `expected` in 0.1 mm from the paper's corner as
    // the engine draws it. Qt writes the 230 × 128 mm page rounded to whole points (652 × 363
    // pt); CUPS cuts a custom size to whole points below (651 × 362 pt) and the content stays
    // centred on the smaller page, so everything moves by half the difference. What remains is
    // the rasterisation at 254 ppi: one pixel, 0.1 mm, each way.
    void checkMark(const Ink& ink, const QRectF& expected) {
        QVERIFY2(!ink.box.isEmpty(), "no ink on the page");
        const QSizeF pagePoints(std::round(ink.page.width() / 254.0 * 72),
                                std::round(ink.page.height() / 254.0 * 72));
        QVERIFY2(
            std::abs(pagePoints.width() - 651) <= 1 && std::abs(pagePoints.height() - 362) <= 1,
            qPrintable(QStringLiteral("page %1 x %2 pt")
                           .arg(pagePoints.width())
                           .arg(pagePoints.height())));
        const QSizeF shift = CupsPdf::centringShift(QSizeF(230, 128), ink.page);
        const double shiftX = shift.width();
        const double shiftY = shift.height();
        const QString got =
            QStringLiteral("ink at %1, %2, %3 x %4; expected %5, %6, %7 x %8 (0.1 mm)")
                .arg(ink.box.left())
                .arg(ink.box.top())
                .arg(ink.box.width())
                .arg(ink.box.height())
                .arg(expected.left() - shiftX, 0, 'f', 2)
                .arg(expected.top() - shiftY, 0, 'f', 2)
                .arg(expected.width(), 0, 'f', 2)
                .arg(expected.height(), 0, 'f', 2);
        qInfo().noquote() << got;
        constexpr double tolerance = 1.5;
        QVERIFY2(std::abs(ink.box.left() - (expected.left() - shiftX)) <= tolerance,
                 qPrintable(got));
        QVERIFY2(std::abs(ink.box.top() - (expected.top() - shiftY)) <= tolerance, qPrintable(got));
        QVERIFY2(std::abs(ink.box.width() - expected.width()) <= tolerance, qPrintable(got));
        QVERIFY2(std::abs(ink.box.height() - expected.height()) <= tolerance, qPrintable(got));
    }

    // The mark as a direct print places it: 10 + 172 × 254 ÷ 96 = 465.08 from the left edge,
    // 10 + 91 × 254 ÷ 96 = 250.77 from the top, 40 × 20 pixels = 105.83 × 52.92.
    static QRectF directMark() {
        return {10 + 172 * 254.0 / 96, 10 + 91 * 254.0 / 96, 40 * 254.0 / 96, 20 * 254.0 / 96};
    }

  private slots:
    void initTestCase() {
        PrinterBackend::install(nullptr);  // the real, Qt one
        m_printerIndex = PrinterBackend::instance().printerNames().indexOf("PDF");
        m_pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    }

    void init() {
        if (m_printerIndex < 0)
            QSKIP("No CUPS printer \"PDF\" (bash scripts/start-cups.sh as root)");
        if (m_pdftoppm.isEmpty()) QSKIP("pdftoppm is not installed");
        AppEnvironment::setScreenDpi(96);
    }
    void cleanup() { AppEnvironment::reset(); }

    void capabilitiesOfTheQueue() {
        QtPrinterBackend backend;
        PrinterDeviceMode mode;
        mode.paperSize = PrinterDeviceMode::UserDefinedPaper;
        mode.paperWidth = 2300;
        mode.paperLength = 1280;
        const auto device = backend.open("PDF", mode);
        const PrinterCapabilities caps = device->capabilities();
        QVERIFY(caps.dpiX > 0);
        QCOMPARE(caps.offsetX, 0.0);  // full-page mode: the origin is the paper's corner
        QCOMPARE(caps.offsetY, 0.0);
        QVERIFY(caps.offersUserDefinedSize());
        QCOMPARE(caps.currentPaperSize, 256);
        // 230 × 128 mm in whole points.
        QVERIFY(std::abs(caps.physicalWidth / caps.dpiX * 254 - 2300) < 4);
        QVERIFY(std::abs(caps.physicalHeight / caps.dpiY * 254 - 1280) < 4);
        QVERIFY_THROWS_EXCEPTION(std::exception, backend.open("No such printer", mode));
    }

    void directPrintPutsTheMarkInPlace() {
        const QString title =
            QStringLiteral("quorvel_direct_%1").arg(QDateTime::currentMSecsSinceEpoch());
        const QDateTime since = QDateTime::currentDateTime();
        MarkedPage marked(title, m_printerIndex);
        marked.page.Print();
        const QString pdf = CupsPdf::waitForPdf(title, since);
        QVERIFY2(!pdf.isEmpty(), "cups-pdf wrote no PDF for the job");
        const Ink ink = CupsPdf::measureInk(pdf);
        QFile::remove(pdf);
        checkMark(ink, directMark());
    }

    // Three pages in one job, each with a mark of its own at its own place: one PDF of three
    // pages, each mark where a single print of it lands.
    void manyPagesAreOneDocument() {
        const QString title =
            QStringLiteral("quorvel_pages_%1").arg(QDateTime::currentMSecsSinceEpoch());
        const QDateTime since = QDateTime::currentDateTime();
        TReportPage page;
        page.setReportTitle(title);
        page.printerSettings().PrinterIndex = m_printerIndex;
        (new TReportBand(&page))->setSizeValue(0, 126);
        const auto markLeft = [](int index) { return 172 + 150 * index; };
        TPageSource source;
        source.pageCount = 3;
        source.composePage = [&](int index, TReportBand& band) {
            auto* mark = new TReportLabel(&band);
            mark->setAutoSize(false);
            mark->setBounds(markLeft(index), 91, 40, 20);
            mark->setColor(Qt::black);
        };
        const TPagesPrinted printed = page.PrintPages(source);
        QVERIFY2(printed.outcome == TPagesPrinted::Outcome::Completed, qPrintable(printed.error));
        QCOMPARE(printed.pagesPrinted, 3);
        const QString pdf = CupsPdf::waitForPdf(title, since);
        QVERIFY2(!pdf.isEmpty(), "cups-pdf wrote no PDF for the job");
        const auto removePdf = qScopeGuard([&] { QFile::remove(pdf); });
        QCOMPARE(CupsPdf::pageCount(pdf), 3);
        for (int index = 0; index < 3; ++index) {
            const QImage image = CupsPdf::renderPage(pdf, index + 1);
            QVERIFY(!image.isNull());
            const QRectF expected(10 + markLeft(index) * 254.0 / 96, 10 + 91 * 254.0 / 96,
                                  40 * 254.0 / 96, 20 * 254.0 / 96);
            checkMark({CupsPdf::inkBox(image), image.size()}, expected);
        }
    }

    void previewJobPrintPutsTheMarkInPlace() {
        const QString title =
            QStringLiteral("quorvel_preview_%1").arg(QDateTime::currentMSecsSinceEpoch());
        const QDateTime since = QDateTime::currentDateTime();
        MarkedPage marked(title, m_printerIndex);
        std::unique_ptr<TReportPreview> control;
        marked.page.OnPreview = [&](TReportJob* job) {
            control = std::make_unique<TReportPreview>();
            control->setReportJob(job);
            QPointer<TReportJob> guard(job);
            // Once the page is composed (the first events come during the composition).
            QTimer* poll = new QTimer(control.get());
            connect(poll, &QTimer::timeout, [guard, poll] {
                if (!guard || guard->status() != TJobStatus::mpFinished) return;
                poll->stop();
                guard->Print();
                guard->ClosePreview();
            });
            poll->start(10);
        };
        marked.page.Preview();
        const QString pdf = CupsPdf::waitForPdf(title, since);
        QVERIFY2(!pdf.isEmpty(), "cups-pdf wrote no PDF for the job");
        // The recorded page is laid out on the printer as a direct print: the same place.
        const Ink ink = CupsPdf::measureInk(pdf);
        QFile::remove(pdf);
        checkMark(ink, directMark());
    }
};

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
