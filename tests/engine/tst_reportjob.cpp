#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "engine/OneItemPage.h"
#include "platform/AppEnvironment.h"
#include "platform/AppError.h"
#include "platform/Rounding.h"
#include "printing/engine/TPrintProgressWindow.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportJob.h"
#include "printing/engine/TReportLabel.h"
#include "printing/engine/TReportPage.h"
#include "printing/engine/TReportPreview.h"
#include "support/RecordingPrinterBackend.h"
#include "support/TestSupport.h"

// Tests of jobs, their printer, the preview call with its nested loop, printing a preview
// job's recorded page, cancelling, and prints that arrive while a print is under way.
class TestReportJob : public QObject {
    Q_OBJECT

    // 180 dpi with the printable area 54 and 36 device pixels in from the paper's edges.
    static RecordingPrinterBackend::Printer printer(const QString& name, double dpi = 180,
                                                    double offsetX = 54, double offsetY = 36) {
        return testPrinter(name, dpi, dpi, offsetX, offsetY);
    }

    using Page = OneItemPage;

    static TPrintProgressWindow* progressWindow() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<TPrintProgressWindow*>(w); p && p->isVisible()) return p;
        return nullptr;
    }

    // Runs fn from the event loop once the job has composed its page (the events handled during
    // the composition come first).
    static void afterComposition(TReportJob* job, std::function<void()> fn) {
        QPointer<TReportJob> guard(job);
        QTimer::singleShot(0, [guard, fn] {
            if (!guard) return;
            if (guard->status() != TJobStatus::mpFinished)
                afterComposition(guard, fn);
            else
                fn();
        });
    }

    // What the program's preview window does: a preview control shows the job.
    void show(TReportJob* job) {
        m_control = std::make_unique<TReportPreview>();
        m_control->resize(800, 600);
        m_control->setReportJob(job);
    }

    std::unique_ptr<TReportPreview> m_control;
    std::unique_ptr<RecordingPrinterBackend> m_backend;
    std::unique_ptr<RecordingMessageBoxes> m_boxes;

  private slots:
    void init() {
        AppEnvironment::setScreenDpi(96);
        m_boxes = std::make_unique<RecordingMessageBoxes>();
        m_backend = std::make_unique<RecordingPrinterBackend>();
        m_backend->printers << printer("Alpha") << printer("Beta") << printer("Gamma");
        m_backend->defaultPrinter = "beta";  // the platform's spelling may differ in case
    }
    void cleanup() {
        m_control.reset();
        m_backend.reset();
        m_boxes.reset();
        AppEnvironment::reset();
    }

    void printerIndexRules() {
        Page p;
        TReportJob job(&p.page, TReportDestination::rdMetafile);
        QCOMPARE(job.printerIndex(), 1);  // the default printer
        QCOMPARE(job.printerName(), QString("Beta"));
        const int opened = m_backend->openCount;
        job.setPrinterIndex(-1);  // keeps the printer
        QCOMPARE(job.printerIndex(), 1);
        job.setPrinterIndex(1);  // already bound: nothing
        QCOMPARE(m_backend->openCount, opened);
        job.setPrinterIndex(2);
        QCOMPARE(job.printerName(), QString("Gamma"));
        QCOMPARE(m_backend->openCount, opened + 1);
        try {
            job.setPrinterIndex(3);
            QFAIL("no error");
        } catch (const AppError& e) {
            QCOMPARE(e.text(), QString("Printer index out of range"));
        }
        QVERIFY_THROWS_EXCEPTION(AppError, job.setPrinterIndex(-2));
        QCOMPARE(job.printerName(), QString("Gamma"));
        // The list is read afresh: a printer installed since is there.
        m_backend->printers << printer("Delta", 360);
        job.setPrinterIndex(3);
        QCOMPARE(job.printerName(), QString("Delta"));
        QCOMPARE(job.printerCapabilities().dpiX, 360.0);
        // No printer installed: nothing happens, not even an error.
        m_backend->printers.clear();
        job.setPrinterIndex(7);
        QCOMPARE(job.printerName(), QString("Delta"));
    }

    void bindingToThePagesSettings() {
        Page p;
        p.page.printerSettings().PrinterIndex = 0;
        p.page.printerSettings().Copies = 2;
        TReportJob job(&p.page, TReportDestination::rdMetafile);
        job.bindToPage();
        QCOMPARE(job.printerName(), QString("Alpha"));
        QVERIFY(job.customPaper());
        QCOMPARE(job.paperSizeCode(), 256);
        QCOMPARE(job.deviceMode().paperWidth, 2300.0);
        QCOMPARE(job.deviceMode().paperLength, 1280.0);
        QCOMPARE(job.deviceMode().copies, 2);
        QCOMPARE(job.deviceMode().bin, 7);
        QCOMPARE(job.pictureSize(), QSize(869, 484));
        // Out of range in the page's settings reaches the caller.
        p.page.printerSettings().PrinterIndex = 9;
        TReportJob other(&p.page, TReportDestination::rdMetafile);
        QVERIFY_THROWS_EXCEPTION(AppError, other.bindToPage());
    }

    void customPaperOnlyWhereOffered() {
        m_backend->printers[1].offersCustomSize = false;
        Page p;
        TReportJob job(&p.page, TReportDestination::rdMetafile);
        job.bindToPage();
        QVERIFY(!job.customPaper());
        QCOMPARE(job.paperSizeCode(), 0);
        // The preview then shows the printer's paper: A4.
        QCOMPARE(job.paperWidth(), 2100.0);
        QCOMPARE(job.paperLength(), 2970.0);
        QCOMPARE(job.pictureSize(),
                 QSize(roundHalfEven(2100 * 96 / 254.0), roundHalfEven(2970 * 96 / 254.0)));
        // Rebinding to a printer that does offer it: the request holds again.
        job.setPrinterIndex(0);
        QVERIFY(job.customPaper());
        QCOMPARE(job.paperWidth(), 2300.0);
    }

    void landscapeSwapsTheDeviceMode() {
        Page p;
        p.page.setOrientation(TPageOrientation::Landscape);
        TReportJob job(&p.page, TReportDestination::rdMetafile);
        job.bindToPage();
        QCOMPARE(job.deviceMode().orientation, 2);
        QCOMPARE(job.deviceMode().paperWidth, 1280.0);
        QCOMPARE(job.deviceMode().paperLength, 2300.0);
        QCOMPARE(job.paperWidth(), 2300.0);  // as the page lies
    }

    void previewRunsANestedLoopUntilItEnds() {
        Page p;
        p.page.printerSettings().PrinterIndex = 0;
        QPointer<TReportJob> seen;
        TReportPreview* control = nullptr;
        QList<TJobStatus> statuses;
        bool hadPicture = false, composing = true;
        p.page.OnPreview = [&](TReportJob* job) {
            seen = job;
            QCOMPARE(p.page.reportJob(), job);
            QCOMPARE(job->status(), TJobStatus::mpReady);
            QCOMPARE(job->printerName(), QString("Alpha"));
            control = new TReportPreview;
            control->resize(1161, 705);
            control->setReportJob(job);
            QVERIFY(job->isShown());
            afterComposition(job, [&] {
                statuses << seen->status();
                hadPicture = control->pageImage()->hasPicture();
                composing = p.page.isComposing();
                seen->ClosePreview();
            });
        };
        p.page.Preview();
        QCOMPARE(statuses, QList<TJobStatus>{TJobStatus::mpFinished});
        QVERIFY(hadPicture);
        QVERIFY(!composing);
        QVERIFY(seen.isNull());  // released
        QCOMPARE(p.page.reportJob(), nullptr);
        QCOMPARE(control->reportJob(), nullptr);  // unbound
        QVERIFY(!control->pageImage()->hasPicture());
        delete control;
        QVERIFY(m_backend->documents.isEmpty());  // a preview prints nothing
    }

    void previewJobPrintsItsRecordedPageStretched() {
        Page p;
        p.page.printerSettings().PrinterIndex = 0;
        p.page.setShowProgress(false);
        p.page.OnPreview = [&](TReportJob* job) {
            show(job);
            afterComposition(job, [job] {
                job->Print();
                job->Print();
                job->ClosePreview();
            });
        };
        p.page.Preview();
        QCOMPARE(m_backend->documents.size(), 2);
        QCOMPARE(m_backend->log, (QStringList{"start Alpha", "end", "start Alpha", "end"}));
        const auto& a = m_backend->documents[0].pages;
        const auto& b = m_backend->documents[1].pages;
        QCOMPARE(a.size(), 1);
        // Identical device output for both prints.
        QCOMPARE(a[0].fills.size(), b[0].fills.size());
        for (int i = 0; i < a[0].fills.size(); ++i)
            QCOMPARE(a[0].fills[i].rect, b[0].fills[i].rect);
        QCOMPARE(a[0].texts.size(), 1);
        QCOMPARE(a[0].texts[0].baseline, b[0].texts[0].baseline);
        QCOMPARE(a[0].texts[0].font, b[0].texts[0].font);
        // The recorded page lands where a direct print puts it, to the device pixel: the band
        // at Rnd((10 − 76) × 180 ÷ 254) = −47, the text at Rnd(389.08 × 180 ÷ 254) = 276.
        const QRectF band = a[0].fills[0].rect;
        QCOMPARE(band.topLeft(), QPointF(-47, roundHalfEven((10 - 51) * 180 / 254.0)));
        QCOMPARE(a[0].texts[0].topLeft().x(), 276.0);
        // The font keeps its 10 points on the printer.
        QVERIFY(std::abs(QFontInfo(a[0].texts[0].font).pointSizeF() - 10) < 0.01);
        QCOMPARE(m_backend->documents[0].mode.paperSize, 256);
    }

    // "打印" on the main window prints the page straight; "打印" in the preview prints the
    // recorded page. For a wrapped address of three lines both must put every line in the
    // same device pixel, on a coarse printer with a margin and on a fine one without.
    void previewPrintPutsEveryLineWhereADirectPrintDoes_data() {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<double>("offset");
        QTest::newRow("180 ppi, printable area 54 px in") << 180.0 << 54.0;
        QTest::newRow("600 ppi, no margin") << 600.0 << 0.0;
        QTest::newRow("1200 ppi, no margin") << 1200.0 << 0.0;
    }
    void previewPrintPutsEveryLineWhereADirectPrintDoes() {
        QFETCH(double, dpi);
        QFETCH(double, offset);
        m_backend->printers = {printer("Alpha", dpi, offset, offset)};
        m_backend->defaultPrinter = "Alpha";
        Page p(false);
        auto* address = new TReportLabel(p.band);
        address->setAutoSize(false);
        address->setWrapStyle(TWrapStyle::BreakAnywhere);
        address->setBounds(149 + 4, 180 + 4, 120, 3 * 26);
        address->setCaption("北京市海淀区中关村大街二十七号院三号楼五单元张先生");
        address->setFontSize(10);
        QVERIFY(address->lines().size() >= 3);

        p.page.Print();
        p.page.OnPreview = [&](TReportJob* job) {
            show(job);
            afterComposition(job, [job] {
                job->Print();
                job->ClosePreview();
            });
        };
        p.page.Preview();
        QCOMPARE(m_backend->documents.size(), 2);
        const auto& direct = m_backend->documents[0].pages[0];
        const auto& fromPreview = m_backend->documents[1].pages[0];
        QVERIFY(direct.texts.size() >= 1 + 3);  // the name and three address lines
        compareDrawnPages(fromPreview, direct);
    }

    void printWhilePrintingIsDeferredAndCloseDoesNotDisturb() {
        Page p;
        p.page.setShowProgress(false);
        QPointer<TReportJob> job;
        bool aliveAfterPrint = false;
        QStringList logDuringPrint;
        bool printingThen = false;
        p.page.OnPreview = [&](TReportJob* j) {
            job = j;
            show(j);
            afterComposition(j, [&] {
                // Arrives from the events handled while the print is under way.
                QTimer::singleShot(0, [&] {
                    logDuringPrint = m_backend->log;
                    printingThen = job->isPrinting();
                    job->Print();         // a second print: deferred
                    job->ClosePreview();  // the end of the preview: the print goes on
                });
                job->Print();
                aliveAfterPrint = !job.isNull();
            });
        };
        p.page.Preview();
        QCOMPARE(logDuringPrint, QStringList{"start Beta"});
        QVERIFY(printingThen);
        QVERIFY(aliveAfterPrint);
        QCOMPARE(m_backend->log, (QStringList{"start Beta", "end", "start Beta", "end"}));
        QVERIFY(job.isNull());
    }

    void cancelAbortsTheDocument() {
        Page p;
        QString title, button;
        QSize size;
        bool windowAfter = true;
        p.page.OnPreview = [&](TReportJob* job) {
            show(job);
            afterComposition(job, [&, job] {
                QTimer::singleShot(0, [&] {
                    if (TPrintProgressWindow* window = progressWindow()) {
                        title = window->windowTitle();
                        size = window->size();
                        button = window->cancelButton()->text();
                        QTest::mouseClick(window->cancelButton(), Qt::LeftButton);
                    }
                });
                job->Print();
                windowAfter = progressWindow() != nullptr;
                job->ClosePreview();
            });
        };
        p.page.Preview();
        QCOMPARE(title, QString("Printing progress"));
        QCOMPARE(size, QSize(149, 97));
        QCOMPARE(button, QString("Cancel"));
        QVERIFY(!windowAfter);
        QCOMPARE(m_backend->log, (QStringList{"start Beta", "abort"}));
    }

    void progressLineReadsCompleted() {
        TPrintProgressWindow window(nullptr);
        window.reportProgress(37);  // not a multiple of 5: ignored
        QCOMPARE(window.progressBar()->value(), 0);
        QCOMPARE(window.infoLabel()->text(), QString());
        window.reportProgress(100);
        QCOMPARE(window.progressBar()->value(), 100);
        QCOMPARE(window.infoLabel()->text(), QString("100%  Completed"));
    }

    void onePagePrintReportsOneHundred() {
        Page p;
        QList<int> reported;
        p.page.OnPreview = [&](TReportJob* job) {
            connect(job, &TReportJob::progress, [&](int v) { reported << v; });
            show(job);
            afterComposition(job, [job] {
                job->Print();
                job->ClosePreview();
            });
        };
        p.page.Preview();
        QCOMPARE(reported, QList<int>{100});
    }

    void directPrintReportsNoProgress() {
        Page p;
        int barValue = -1;
        bool windowShown = false;
        QTimer::singleShot(0, [&] {
            if (TPrintProgressWindow* w = progressWindow()) {
                windowShown = true;
                barValue = w->progressBar()->value();
            }
        });
        p.page.Print();
        QVERIFY(windowShown);
        QCOMPARE(barValue, 0);
        QVERIFY(!progressWindow());
        QCOMPARE(m_backend->log, (QStringList{"start Beta", "end"}));
    }

    void jobPrintNeedsAFinishedJobAndAPrinter() {
        Page p;
        TReportJob job(&p.page, TReportDestination::rdMetafile);
        job.bindToPage();
        job.Print();  // mpReady
        QVERIFY(m_backend->documents.isEmpty());
        job.composeRecorded();
        QCOMPARE(job.status(), TJobStatus::mpFinished);
        m_backend->printers.clear();
        job.Print();
        QVERIFY(m_backend->documents.isEmpty());
    }

    void closingDuringCompositionCancelsIt() {
        Page p;
        bool busyThen = false;
        QPointer<TReportJob> seen;
        p.page.OnPreview = [&](TReportJob* job) {
            seen = job;
            show(job);
            // Runs from the events handled while the page is composed.
            QTimer::singleShot(0, [&] {
                busyThen = seen->status() == TJobStatus::mpBusy && p.page.isComposing();
                seen->ClosePreview();
            });
        };
        p.page.Preview();
        QVERIFY(busyThen);
        QVERIFY(seen.isNull());
        QVERIFY(!p.page.isComposing());
    }

    void printDuringCompositionDoesNothing() {
        Page p;
        p.page.OnPreview = [&](TReportJob* job) {
            show(job);
            QTimer::singleShot(0, [&p, job] {
                job->Print();    // still composing
                p.page.Print();  // the page is composing too
                QTimer::singleShot(0, [job] { job->ClosePreview(); });
            });
        };
        p.page.Preview();
        QVERIFY(m_backend->documents.isEmpty());
    }

    void previewWithoutCallbackShowsItsOwnWindow() {
        Page p;
        bool shown = false;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            TReportJob* job = p.page.reportJob();
            if (!job || job->status() != TJobStatus::mpFinished) return;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->isVisible() && w->findChild<TReportPreview*>()) {
                    shown = w->findChild<TReportPreview*>()->reportJob() == job;
                    w->close();
                }
            }
        });
        closer.start(5);
        p.page.Preview();
        QVERIFY(shown);
        QCOMPARE(p.page.reportJob(), nullptr);
    }

    void exceptionInCallbackReleasesTheJob() {
        Page p;
        p.page.OnPreview = [](TReportJob*) { throw AppError("no window"); };
        QVERIFY_THROWS_EXCEPTION(AppError, p.page.Preview());
        QCOMPARE(p.page.reportJob(), nullptr);
        QVERIFY(!p.page.isComposing());
    }
};

QTEST_MAIN(TestReportJob)
#include "tst_reportjob.moc"
