#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QVBoxLayout>

#include "platform/HandlerGuard.h"
#include "platform/PrinterBackend.h"
#include "printing/engine/TPrintProgressWindow.h"
#include "printing/engine/TReportJob.h"
#include "printing/engine/TReportPage.h"
#include "printing/engine/TReportPreview.h"

// Preview and printing of the page.

namespace {

// The plain preview window a page shows when the program gave it no OnPreview: the preview
// control alone; closing it ends the preview.
class TPlainPreviewWindow : public QWidget {
  public:
    explicit TPlainPreviewWindow(TReportJob* job) : m_job(job) {
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(QStringLiteral("Preview"));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        m_preview = new TReportPreview(this);
        layout->addWidget(m_preview);
        resize(800, 600);
        m_preview->setReportJob(job);
        m_preview->ZoomToFit();
    }

  protected:
    void closeEvent(QCloseEvent* event) override {
        if (m_job && m_job->status() == TJobStatus::mpBusy) {
            event->ignore();
            return;
        }
        runGuarded([this] {
            if (m_job) m_job->ClosePreview();
        });
        event->accept();
    }

  private:
    QPointer<TReportJob> m_job;
    TReportPreview* m_preview;
};

}  // namespace

TReportJob* TReportPage::reportJob() const {
    return m_reportJob.data();
}

void TReportPage::Preview() {
    if (m_composing) return;
    // 1. Pending events first.
    QCoreApplication::processEvents();
    // 2. A new job, bound to the page's printer settings.
    QPointer<TReportJob> job = new TReportJob(this, TReportDestination::rdMetafile);
    struct Release {
        TReportPage* page;
        QPointer<TReportJob>& job;
        ~Release() {
            page->m_composing = false;
            if (job) page->releaseJob(job);
        }
    } release{this, job};
    job->bindToPage();
    m_reportJob = job.data();
    // 3. The program shows the preview window and binds its preview control to the job.
    if (OnPreview)
        OnPreview(job);
    else
        (new TPlainPreviewWindow(job))->show();
    if (!job) return;
    // 4. Compose the page into the job.
    m_composing = true;
    job->composeRecorded();
    m_composing = false;
    // 5. A cancelled composition drops the job.
    if (!job || job->isCancelled()) return;
    // 6. Keep the page on show until the preview ends (or the application quits).
    if (job->isShown() && !QCoreApplication::closingDown()) {
        QEventLoop loop;
        connect(job, &TReportJob::shownChanged, &loop, [&loop](bool shown) {
            if (!shown) loop.quit();
        });
        connect(job, &QObject::destroyed, &loop, &QEventLoop::quit);
        connect(qApp, &QCoreApplication::aboutToQuit, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void TReportPage::releaseJob(TReportJob* job) {
    if (m_reportJob == job) m_reportJob = nullptr;
    // A job printing its recorded page stays alive until that print has ended.
    if (job->isPrinting())
        job->m_releaseWhenDone = true;
    else
        delete job;
}

// A direct output call under way: the page is composing and the call's job is the page's job;
// whatever happens, the job goes and the page gets back the job it had before.
struct TReportPage::DirectCall {
    TReportPage* page;
    QPointer<TReportJob> previous;
    std::unique_ptr<TReportJob> job;

    explicit DirectCall(TReportPage* p)
        : page(p),
          previous(p->m_reportJob),
          job(std::make_unique<TReportJob>(p, TReportDestination::rdPrinter)) {}
    void start() {
        page->m_reportJob = job.get();
        page->m_composing = true;
    }
    ~DirectCall() {
        page->m_composing = false;
        page->m_reportJob = previous;
    }
};

TPagesPrinted TReportPage::PrintPages(const TPageSource& source) {
    TPagesPrinted result;
    QString error;
    if (m_composing)
        error = QStringLiteral("The page is already being output");
    else if (PrinterBackend::instance().printerNames().isEmpty())
        error = QStringLiteral("No printer is installed");
    else
        error = engine::errorOf([&] {
            DirectCall call(this);
            call.start();
            call.job->bindToPage();
            result = call.job->composePagesToPrinter(source);
        });
    if (!error.isNull()) {
        // Nothing reached the printer: the document was never started, or it was aborted.
        result = TPagesPrinted{TPagesPrinted::Outcome::Failed, 0, error};
    }
    return result;
}

bool TReportPage::Print() {
    // 1. Not while composing, not without a printer.
    if (m_composing) return false;
    if (PrinterBackend::instance().printerNames().isEmpty()) return false;
    // 2., 3. A new job and the progress window bound to it; 5. whatever happens, the job and
    // the window go, and the page gets its job back.
    DirectCall call(this);
    std::unique_ptr<TPrintProgressWindow> progressWindow;
    if (m_showProgress) {
        progressWindow = std::make_unique<TPrintProgressWindow>(call.job.get());
        progressWindow->show();
    }
    call.start();
    // 4. Bind and set up the printer, start the document, draw the page, end the document.
    call.job->bindToPage();
    return call.job->composeToPrinter();
}
