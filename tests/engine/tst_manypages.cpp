#include <QtTest>

#include "engine/OneItemPage.h"
#include "platform/AppEnvironment.h"
#include "platform/AppError.h"
#include "printing/engine/TReportJob.h"
#include "support/RecordingPrinterBackend.h"
#include "support/TestSupport.h"

// A job of many pages in one document: page k holds the items the caller puts on the band for
// it, laid out as a single print of those items would be.
class TestManyPages : public QObject {
    Q_OBJECT

    using Outcome = TPagesPrinted::Outcome;

    // The items of waybill k: a name and an address that wraps onto three lines.
    static void waybillItems(int k, TReportBand& band) {
        auto* name = new TReportLabel(&band);
        name->setObjectName(QStringLiteral("name%1").arg(k));
        name->setLeft(172 + 3 * k);
        name->setTop(91);
        name->setCaption(QStringLiteral("收件人%1").arg(k));
        name->setFontSize(10);
        auto* address = new TReportLabel(&band);
        address->setObjectName(QStringLiteral("address%1").arg(k));
        address->setAutoSize(false);
        address->setWrapStyle(TWrapStyle::BreakAnywhere);
        address->setBounds(153, 184 + 5 * k, 120, 78);
        address->setCaption(
            QStringLiteral("北京市海淀区中关村大街%1号院三号楼五单元张先生").arg(k));
        address->setFontSize(10 + k % 3);
    }

    std::unique_ptr<RecordingPrinterBackend> m_backend;
    std::unique_ptr<RecordingMessageBoxes> m_boxes;

  private slots:
    void init() {
        AppEnvironment::setScreenDpi(120);
        m_boxes = std::make_unique<RecordingMessageBoxes>();
        m_backend = std::make_unique<RecordingPrinterBackend>();
        m_backend->printers << testPrinter("Alpha", 180, 180, 54, 36)
                            << testPrinter("Beta", 360, 180, 0, 0);
        m_backend->defaultPrinter = "Alpha";
    }
    void cleanup() {
        m_backend.reset();
        m_boxes.reset();
        AppEnvironment::reset();
    }

    void eachPageIsLaidOutAsASinglePrintOfItsItems() {
        TReportPage page;
        page.setShowProgress(false);
        page.setReportTitle("batch");
        page.printerSettings().PrinterIndex = 1;
        auto* band = new TReportBand(&page);
        band->setSizeValue(0, 126);

        constexpr int pages = 6;
        int mostItemsSeen = 0;
        QList<std::pair<int, int>> progress;
        TPageSource source;
        source.pageCount = pages;
        source.composePage = [&](int k, TReportBand& onBand) {
            // Only this page's items exist: the earlier pages' are gone.
            mostItemsSeen = std::max(mostItemsSeen, int(onBand.labels().size()));
            waybillItems(k, onBand);
        };
        source.progress = [&](int drawn, int total) { progress << std::pair{drawn, total}; };
        const TPagesPrinted printed = page.PrintPages(source);
        QVERIFY2(printed.outcome == Outcome::Completed, qPrintable(printed.error));
        QCOMPARE(printed.pagesPrinted, pages);
        QCOMPARE(mostItemsSeen, 0);
        QVERIFY(band->labels().isEmpty());
        QCOMPARE(progress.size(), pages);
        QCOMPARE(progress.last(), (std::pair{pages, pages}));

        QCOMPARE(m_backend->documents.size(), 1);
        const auto document = m_backend->documents[0];
        QVERIFY(document.ended);
        QCOMPARE(document.printer, QString("Beta"));
        QCOMPARE(document.title, QString("batch"));
        QCOMPARE(document.mode.paperSize, 256);
        QCOMPARE(document.pages.size(), pages);

        // The same items printed one at a time.
        for (int k = 0; k < pages; ++k) {
            waybillItems(k, *band);
            page.Print();
            for (TReportLabel* item : band->labels()) delete item;
            const auto& single = m_backend->documents.last();
            QCOMPARE(single.pages.size(), 1);
            QVERIFY(single.pages[0].texts.size() >= 1 + 3);
            compareDrawnPages(document.pages[k], single.pages[0]);
        }
    }

    void itemsAlreadyOnTheBandPrintOnEveryPageAndStay() {
        OneItemPage p(false);
        TPageSource source;
        source.pageCount = 3;
        source.composePage = waybillItems;
        const TPagesPrinted printed = p.page.PrintPages(source);
        QCOMPARE(printed.pagesPrinted, 3);
        for (const auto& pageDrawn : m_backend->documents[0].pages)
            QCOMPARE(pageDrawn.texts[0].text, QString("Zhang San"));
        QCOMPARE(p.band->labels(), QList<TReportLabel*>{p.item});
    }

    void cancelEndsTheDocumentWithThePagesDrawn() {
        OneItemPage p(false);
        int drawnSoFar = 0;
        TPageSource source;
        source.pageCount = 10;
        source.composePage = waybillItems;
        source.progress = [&](int drawn, int) { drawnSoFar = drawn; };
        source.cancelRequested = [&] { return drawnSoFar == 3; };
        const TPagesPrinted printed = p.page.PrintPages(source);
        QVERIFY(printed.outcome == Outcome::Cancelled);
        QCOMPARE(printed.pagesPrinted, 3);
        QCOMPARE(m_backend->log, (QStringList{"start Alpha", "page", "page", "end"}));
        QCOMPARE(m_backend->documents[0].pages.size(), 3);
        QCOMPARE(p.band->labels().size(), 1);
        QVERIFY(!p.page.isComposing());
        QCOMPARE(p.page.reportJob(), nullptr);

        // Cancelled before the first page: nothing is printed at all.
        m_backend->log.clear();
        source.cancelRequested = [] { return true; };
        const TPagesPrinted none = p.page.PrintPages(source);
        QVERIFY(none.outcome == Outcome::Cancelled);
        QCOMPARE(none.pagesPrinted, 0);
        QCOMPARE(m_backend->log, (QStringList{"start Alpha", "abort"}));
    }

    void aFailingComposerEndsTheJobWithThePagesBefore() {
        OneItemPage p(false);
        TPageSource source;
        source.pageCount = 5;
        source.composePage = [](int k, TReportBand& band) {
            waybillItems(k, band);  // half a page's items, then the failure
            if (k == 2) throw AppError("row 3 has no address");
        };
        const TPagesPrinted printed = p.page.PrintPages(source);
        QVERIFY(printed.outcome == Outcome::Failed);
        QCOMPARE(printed.error, QString("row 3 has no address"));
        QCOMPARE(printed.pagesPrinted, 2);
        QCOMPARE(m_backend->log, (QStringList{"start Alpha", "page", "end"}));
        QCOMPARE(p.band->labels().size(), 1);  // the failed page's items are gone too
    }

    void aFailingPrinterReportsNothingPrinted() {
        OneItemPage p(false);
        TPageSource source;
        source.pageCount = 5;
        source.composePage = waybillItems;
        // The printer goes away before the third page.
        m_backend->onNewPage = [](const RecordingPrinterBackend::Document& d) {
            if (d.pages.size() == 2) throw AppError("Printer Alpha is not available");
        };
        const TPagesPrinted printed = p.page.PrintPages(source);
        QVERIFY(printed.outcome == Outcome::Failed);
        QCOMPARE(printed.error, QString("Printer Alpha is not available"));
        QCOMPARE(printed.pagesPrinted, 0);
        QVERIFY(m_backend->documents[0].aborted);
        QCOMPARE(p.band->labels().size(), 1);
        QVERIFY(!p.page.isComposing());

        // Refused at the start, and with no printer at all: failures with their reasons.
        m_backend->onNewPage = nullptr;
        m_backend->printers[0].failOnStart = true;
        QCOMPARE(p.page.PrintPages(source).error, QString("Printer Alpha is not available"));
        p.page.printerSettings().PrinterIndex = 7;
        QCOMPARE(p.page.PrintPages(source).error, QString("Printer index out of range"));
        m_backend->printers.clear();
        const TPagesPrinted noPrinter = p.page.PrintPages(source);
        QVERIFY(noPrinter.outcome == Outcome::Failed);
        QVERIFY(!noPrinter.error.isEmpty());
        QCOMPARE(noPrinter.pagesPrinted, 0);
    }
};

QTEST_MAIN(TestManyPages)
#include "tst_manypages.moc"
