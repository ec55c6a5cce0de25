#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include "batch/WaybillJob.h"
#include "batch/WaybillPages.h"
#include "engine/OneItemPage.h"
#include "platform/AppEnvironment.h"
#include "printing/engine/TReportPage.h"
#include "support/MainWindowFixture.h"
#include "template/ProfileFile.h"
#include "waybill/TemplateSetFile.h"

// Many waybills as one job with no window: every page is laid out as "打印" on the main window
// lays out the same texts.
class TestWaybillJob : public QObject {
    Q_OBJECT

    using Outcome = TPagesPrinted::Outcome;

    static WaybillTextSource sourceOf(const QList<WaybillTexts>& rows) {
        return {int(rows.size()), [rows](int index) { return rows.at(index); }};
    }

    // The template the main window shows, read from the settings file as a window-less
    // print reads it.
    static WaybillTemplate storedTemplate(TEXPDPrintForm& form, const QString& defaultPrinter) {
        return readTemplateSet(ProfileFile(AppEnvironment::settingsFilePath()),
                               form.currentTemplate(), false, WaybillTemplate::designed(),
                               defaultPrinter)
            .layout;
    }

    static bool cupsReady() {
        PrinterBackend::install(nullptr);
        return PrinterBackend::instance().printerNames().contains("PDF") &&
               !QStandardPaths::findExecutable("pdftoppm").isEmpty();
    }

  private slots:
    void eachPageIsASinglePrintOfItsRow() {
        MainWindowFixture fx;
        // Moved fields, another resolution, print offsets and a hidden field: all must carry.
        fx.writeSettings(
            QStringLiteral("[龙邦快递]\r\nPixelsPerInch=96\r\ncbb1Left=250\r\n"
                           "cbb33TOP=160\r\nPrintOffsetX=31\r\nPrintOffsetY=-12\r\n"
                           "SHCompany=0\r\nPrinterName=Dot Matrix\r\n"));
        TEXPDPrintForm& form = fx.start();
        form.ReportPage1->setShowProgress(false);
        const WaybillTemplate layout = storedTemplate(form, "Office Laser");
        QCOMPARE(layout.printerName, QString("Dot Matrix"));

        const QList<WaybillTexts> rows{fullRow(1), fullRow(22), fullRow(333)};
        WaybillJob job(layout);
        job.setTitle("many");
        const TPagesPrinted printed = job.print(layout.printerName, sourceOf(rows));
        QVERIFY2(printed.outcome == Outcome::Completed, qPrintable(printed.error));
        QCOMPARE(printed.pagesPrinted, 3);
        QCOMPARE(fx.printers.documents.size(), 1);
        const auto many = fx.printers.documents[0];
        QCOMPARE(many.printer, QString("Dot Matrix"));
        QCOMPARE(many.title, QString("many"));
        QCOMPARE(many.pages.size(), 3);
        QCOMPARE(many.mode.paperLength, 1280.0);
        QCOMPARE(many.mode.paperWidth, 2300.0);

        for (int k = 0; k < rows.size(); ++k) {
            showTexts(form, rows[k]);
            QTest::mouseClick(form.btnPrint, Qt::LeftButton);
            QVERIFY2(fx.boxes.shown.isEmpty(), qPrintable(fx.boxes.texts().join('\n')));
            const auto& single = fx.printers.documents.last();
            QCOMPARE(single.printer, QString("Dot Matrix"));
            QCOMPARE(single.pages.size(), 1);
            // Nine texts shown, the hidden company not printed.
            QVERIFY(single.pages[0].texts.size() >= 9);
            compareDrawnPages(many.pages[k], single.pages[0]);
        }
    }

    void refusalsAndTheCallersHooks() {
        MainWindowFixture fx;
        WaybillTemplate layout = WaybillTemplate::designed();
        const QList<WaybillTexts> rows{fullRow(1), fullRow(2), fullRow(3), fullRow(4)};

        // A printer that is not installed: named, and nothing is opened.
        const TPagesPrinted unknown = WaybillJob(layout).print("Gone Printer", sourceOf(rows));
        QVERIFY(unknown.outcome == Outcome::Failed);
        QVERIFY2(unknown.error.contains("Gone Printer"), qPrintable(unknown.error));
        QCOMPARE(fx.printers.openCount, 0);

        // A size no waybill has.
        layout.heightMm = 5;
        const TPagesPrinted tiny = WaybillJob(layout).print(QString(), sourceOf(rows));
        QVERIFY(tiny.outcome == Outcome::Failed);
        QVERIFY2(tiny.error.contains(QStringLiteral("5 × 230")), qPrintable(tiny.error));
        QCOMPARE(fx.printers.openCount, 0);

        // Progress and cancel reach the engine; the default printer when none is named.
        layout.heightMm = 128;
        WaybillJob job(layout);
        QList<int> drawn;
        job.progress = [&](int pages, int total) {
            drawn << pages;
            QCOMPARE(total, 4);
        };
        job.cancelRequested = [&] { return drawn.size() == 2; };
        const TPagesPrinted cancelled = job.print(QString(), sourceOf(rows));
        QVERIFY(cancelled.outcome == Outcome::Cancelled);
        QCOMPARE(cancelled.pagesPrinted, 2);
        QCOMPARE(drawn, (QList<int>{1, 2}));
        QCOMPARE(fx.printers.documents.last().printer, QString("Office Laser"));
        QCOMPARE(sourceOf(rows).firstTexts(cancelled.pagesPrinted), rows.mid(0, 2));

        // A template without a font size fails on its first page, and says why.
        layout.fontSize = 0;
        const TPagesPrinted noFont = WaybillJob(layout).print(QString(), sourceOf(rows));
        QVERIFY(noFont.outcome == Outcome::Failed);
        QCOMPARE(noFont.pagesPrinted, 0);
        QVERIFY(!noFont.error.isEmpty());
    }

    // Through the real printing system: the first, a middle and the last page of one job lie
    // within 0.1 mm of single prints of their rows.
    void aJobOnTheCupsQueueMatchesSinglePrints() {
        if (!cupsReady()) QSKIP("No CUPS printer \"PDF\" or no pdftoppm");
        MainWindowFixture fx;
        PrinterBackend::install(nullptr);
        fx.writeSettings(
            QStringLiteral("[龙邦快递]\r\nPrinterName=PDF\r\ncbb11Left=540\r\n"
                           "PrintOffsetX=20\r\n"));
        TEXPDPrintForm& form = fx.start();
        form.ReportPage1->setShowProgress(false);
        const WaybillTemplate layout = storedTemplate(form, "PDF");

        QList<WaybillTexts> rows;
        for (int k = 0; k < 7; ++k) rows << fullRow(k * 7);
        const QString title =
            QStringLiteral("quorvel_job_%1").arg(QDateTime::currentMSecsSinceEpoch());
        const QDateTime since = QDateTime::currentDateTime();
        WaybillJob job(layout);
        job.setTitle(title);
        const TPagesPrinted printed = job.print("PDF", sourceOf(rows));
        QVERIFY2(printed.outcome == Outcome::Completed, qPrintable(printed.error));
        const QString pdf = waitForWholePdf(title, since, 7);
        QVERIFY2(!pdf.isEmpty(), "cups-pdf wrote no PDF of 7 pages for the job");
        const auto removePdf = qScopeGuard([&] { QFile::remove(pdf); });

        for (int k : {0, 3, 6}) {
            showTexts(form, rows[k]);
            const QString singleTitle = title + QStringLiteral("_single%1").arg(k);
            form.ReportPage1->setReportTitle(singleTitle);
            const QDateTime singleSince = QDateTime::currentDateTime();
            QTest::mouseClick(form.btnPrint, Qt::LeftButton);
            const QString singlePdf = waitForWholePdf(singleTitle, singleSince, 1);
            QVERIFY2(!singlePdf.isEmpty(), "cups-pdf wrote no PDF for the single print");
            const QImage single = CupsPdf::renderPage(singlePdf, 1);
            QFile::remove(singlePdf);
            const QString differences =
                differingItems(CupsPdf::renderPage(pdf, k + 1), single, itemAreas(layout, rows[k]));
            QVERIFY2(differences.isEmpty(),
                     qPrintable(QString("page %1: %2").arg(k + 1).arg(differences)));
        }
    }
};

QTEST_MAIN(TestWaybillJob)
#include "tst_waybilljob.moc"
