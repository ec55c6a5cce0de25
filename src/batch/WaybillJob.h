#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <memory>

#include "printing/engine/TPageSource.h"
#include "waybill/WaybillComposition.h"
#include "waybill/WaybillTemplate.h"

class TReportBand;
class TReportJob;
class TReportPage;

// The texts of many waybills, asked for one at a time, so that a long list never exists as
// composed pages.
struct WaybillTextSource {
    int count = 0;
    std::function<WaybillTexts(int index)> textsAt;

    // The texts of the first `pages` waybills, in order.
    QList<WaybillTexts> firstTexts(int pages) const;
};

// Many waybills of one template printed as one job, one page per waybill, with no window:
// each page is composed by composeWaybill and placed on a page and band of its own, laid out
// exactly as a single "打印" of the same texts lays them out on the main window's page (the
// paper is the template's size, the band spans it less the 1 mm margins).
class WaybillJob {
  public:
    explicit WaybillJob(WaybillTemplate layout);

    // The document title of the job that prints an order list, after the list's file name.
    static QString titleForList(const QString& listPath);

    // The job's document title (the printing system's job name).
    void setTitle(const QString& title) { m_title = title; }
    // Passed to the page engine as they are (see TPageSource).
    std::function<void(int drawn, int total)> progress;
    std::function<bool()> cancelRequested;

    // On the installed printer of that name; an empty name is the system's default printer.
    // A printer that is not installed prints nothing and fails with its name.
    TPagesPrinted print(const QString& printerName, const WaybillTextSource& source) const;
    // Into a PDF file written by Qt, the printing system left out, each page the paper's size
    // and every text where the printer would put it from the paper's edges.
    TPagesPrinted writePdf(const QString& path, const WaybillTextSource& source) const;

    // One waybill in a preview: its page is composed as print() composes it, and handed to
    // `showPreview` as the page engine's preview job; returns when the preview has ended.
    // Throws AppError for a size no waybill has or a template without a font size.
    void preview(const WaybillTexts& texts,
                 const std::function<void(TReportJob*)>& showPreview) const;

  private:
    TPagesPrinted run(int printerIndex, const WaybillTextSource& source) const;

    WaybillTemplate m_layout;
    QString m_title;
};
