#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <vector>

#include "platform/PrinterBackend.h"
#include "printing/engine/DeviceMapping.h"
#include "printing/engine/TPagePicture.h"
#include "printing/engine/TPageSource.h"
#include "printing/engine/TPrinterSettings.h"
#include "printing/engine/TReportPage.h"

enum class TReportDestination { rdMetafile, rdPrinter };
enum class TJobStatus { mpReady, mpBusy, mpFinished };

// One output call of a page: a preview (destination rdMetafile: the page is recorded, in
// internal units, for the preview to show and to print later) or a direct print (rdPrinter). It has
// a printer of its own, the platform's default printer when it is created.
class TReportJob : public QObject {
    Q_OBJECT
  public:
    TReportJob(TReportPage* page, TReportDestination destination);
    ~TReportJob() override;

    TReportPage* page() const { return m_page; }
    TReportDestination destination() const { return m_destination; }
    TJobStatus status() const { return m_status; }
    QString title() const { return m_title; }

    // Recorded pages (preview jobs): their count, and page `number` (1-based) or nullptr.
    int pageCount() const { return int(m_pages.size()); }
    int availablePages() const { return m_availablePages; }
    const TPagePicture* pagePicture(int number) const;

    // The job's printer. Writing re-reads the platform's printer list; with no printer
    // installed, −1, or the printer already bound nothing happens; an index beyond the list
    // raises "Printer index out of range"; otherwise printer i is bound and its settings read.
    int printerIndex() const;
    void setPrinterIndex(int index);
    QString printerName() const { return m_printerName; }
    const PrinterCapabilities& printerCapabilities() const { return m_caps; }

    // Binds the job to its page's printer settings: the printer, the custom paper (it holds
    // only where the printer offers a user-defined size), copies, bin, duplex, pages, quality.
    void bindToPage();

    // The paper the job asks for: a DMPAPER code (256 user-defined, 0 the printer's current
    // paper) and its width and length in 0.1 mm (for 256: the page's, swapped for landscape).
    int paperSizeCode() const { return m_mode.paperSize; }
    bool customPaper() const;   // the request for the page's custom size held
    double paperWidth() const;  // as the page lies (landscape: the long side)
    double paperLength() const;
    const PrinterDeviceMode& deviceMode() const { return m_mode; }
    int firstPage() const { return m_firstPage; }
    int lastPage() const { return m_lastPage; }

    // Device factors: the screen's (F = R ÷ 254, W = 0) for the recorded page, and the bound
    // printer's.
    TDeviceMapping screenMapping() const;
    TDeviceMapping printerMapping() const;
    // The size of a recorded page: the paper mapped with the screen factors.
    QSize pictureSize() const;

    bool isShown() const { return m_shown; }
    void setShown(bool shown);
    bool isCancelled() const { return m_cancelled; }
    void cancel();
    bool isPrinting() const { return m_printing; }

    // Prints the recorded pages of a finished preview job on the bound printer, each laid out
    // on it exactly as a direct print of the page would be. Does nothing unless mpFinished or with
    // no printer installed. A Print() that arrives while this job prints (from the events handled
    // between pages) is deferred: it runs as soon as the print under way has ended.
    void Print();
    // The end of the preview: no longer shown, a composition under way is cancelled, the
    // preview control lets go of the job and the page releases it (after any print under way).
    void ClosePreview();

    // Composition into the job (called by the page): records the page, or prints it straight.
    void composeRecorded();
    // Returns true when the page reached the printer (false: cancelled).
    bool composeToPrinter();
    // Many pages as one document on the printer (TReportPage::PrintPages). Errors of the
    // printer are raised (the document aborted); the composer's end the job with the pages
    // drawn before it.
    TPagesPrinted composePagesToPrinter(const TPageSource& source);

  signals:
    void pagesAvailable(int count);  // to the notification window
    void progress(int percent);
    void previewEnded();
    void shownChanged(bool shown);
    void statusChanged(TJobStatus status);
    // A print of the recorded pages has been handed to the printer whole (Print(): once per
    // document, deferred ones included; never for a cancelled or failed one).
    void printedOnPrinter(const QString& printerName, int pages);

  private:
    void readPrinterList();
    void bindPrinter(int index);
    void setStatus(TJobStatus status);
    std::unique_ptr<PrinterDevice> openPrinter();
    void applyPaperRequest();
    // Returns the pages handed to the printer: 0 when the document was cancelled.
    int printRecordedOnce();
    void printRecordedAndTell();

    TReportPage* m_page;
    TReportDestination m_destination;
    TJobStatus m_status = TJobStatus::mpReady;
    QString m_title;
    std::vector<TPagePicture> m_pages;
    int m_availablePages = 0;

    QStringList m_printerNames;
    QString m_printerName;
    PrinterCapabilities m_caps;
    PrinterDeviceMode m_mode;
    TPaperSize m_requestedPaper = TPaperSize::Default;
    int m_firstPage = 0;
    int m_lastPage = 0;
    int m_printQuality = 0;
    int m_colorOption = 0;

    bool m_shown = false;
    bool m_cancelled = false;
    bool m_printing = false;
    int m_deferredPrints = 0;
    bool m_releaseWhenDone = false;
    double m_screenDpi;

    friend class TReportPage;
};
