#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

#include "printing/engine/EngineUnits.h"
#include "printing/engine/TPagePicture.h"
#include "printing/engine/TPageSource.h"
#include "printing/engine/TPrinterSettings.h"

class TReportBand;
class TReportJob;
class TOutputCanvas;

// Paper sizes the page knows. Only Custom lets the program set the page's length and width
// (Page.Values[1] and [3]); a standard size fixes them to its own measures.
enum class TPaperSize { Default, Letter, A4, A5, B5, Custom };
enum class TPageOrientation { Portrait, Landscape };

// The page control: at once the report page and, on the main window, the layout surface drawn
// at the screen's resolution R (AppEnvironment::screenDpi() when the page is created) and the
// page's zoom. Its only band is created by the program (new TReportBand(page)). Every length is
// kept in 0.1 mm as a double (EngineUnits.h); Page.Values are read and written in the page's
// unit mode, millimetres unless changed.
class TReportPage : public QWidget {
    Q_OBJECT
  public:
    // Indices of Page.Values.
    enum PageValue {
        BottomMargin = 0,
        Length = 1,
        TopMargin = 2,
        Width = 3,
        LeftMargin = 4,
        RightMargin = 5,
        ColumnSpace = 6
    };

    explicit TReportPage(QWidget* parent = nullptr);
    ~TReportPage() override;

    // Page.Values[index] in the page's unit mode. Setting Length or Width has no effect unless
    // the paper size is Custom. Every set re-lays out the page control and the band at once.
    double pageValue(int index) const;
    void setPageValue(int index, double value);
    // The same in internal units (0.1 mm).
    double internalValue(int index) const;
    void setInternalValue(int index, double value);

    TUnitMode units() const { return m_units; }
    void setUnits(TUnitMode mode);  // Characters raises: not supported
    int zoom() const { return m_zoom; }
    void setZoom(int zoom);  // the program never changes it; 100
    double screenDpi() const { return m_dpi; }

    TPaperSize paperSize() const { return m_paperSize; }
    void setPaperSize(TPaperSize size);
    TPageOrientation orientation() const { return m_orientation; }
    void setOrientation(TPageOrientation orientation);

    // Conversions through the page's unit mode, R and zoom.
    double toInternal(double value) const;
    double fromInternal(double internal) const;
    double pixelsFromInternal(double internal) const;  // not rounded
    double internalFromPixels(double pixels) const;
    int screenPixels(double internal) const;  // rounded, halves to even

    // The page control's size in pixels as the page values give it (also its QWidget size).
    QSize pageSizePixels() const;

    TReportBand* detailBand() const { return m_band; }
    TPrinterSettings& printerSettings() { return m_printerSettings; }
    const TPrinterSettings& printerSettings() const { return m_printerSettings; }

    // The report title (the job's document title); empty here.
    QString reportTitle() const { return m_reportTitle; }
    void setReportTitle(const QString& title) { m_reportTitle = title; }
    // Whether Print() shows the progress window; on by default.
    bool showProgress() const { return m_showProgress; }
    void setShowProgress(bool show) { m_showProgress = show; }

    // Called by Preview() with the new job, after the job is bound to the printer settings and
    // before the page is composed. Without it, Preview() shows a plain window of its own.
    std::function<void(TReportJob*)> OnPreview;

    // Composes the page into a preview job and keeps it on show until the preview ends (a
    // nested event loop). Returns when the job's preview has ended.
    void Preview();
    // Composes the page straight onto the printer of PrinterSettings.PrinterIndex. Returns true
    // when the page was handed to the printer; false when nothing printed (composing already,
    // no printer installed, cancelled from the progress window). A failure of the printer raises.
    bool Print();
    // Prints source.pageCount pages as one document on the printer of
    // PrinterSettings.PrinterIndex, bound and set up as Print() does (the page's size, copies,
    // title): page k holds the items source.composePage(k, band) puts on the band, laid out
    // exactly as Print() lays out the same items. Pages are composed, drawn and let go one at a
    // time. Shows no progress window: the caller has the hooks. Never raises: the outcome, the
    // pages handed to the printer and any error's text are in the result.
    TPagesPrinted PrintPages(const TPageSource& source);
    bool isComposing() const { return m_composing; }
    // The job of the output call under way, or the preview job on show; nullptr otherwise.
    TReportJob* reportJob() const;

    // Composition of the page: the band's area, each picture item of the band, and each text
    // item of the band (its box and its lines), recorded in internal units for a paper of the given
    // size (the page's own by default). Exactly one page. Every output (printer, recorded page,
    // preview) goes through it, so they all agree.
    TPagePicture recordPage(const QSizeF& paper) const;
    TPagePicture recordPage() const;
    // The page recorded and drawn onto a canvas at once (a direct print).
    void composeOnto(TOutputCanvas& canvas) const;

  signals:
    // After every change of the page's geometry (values, zoom, units are not geometry).
    void geometryChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    struct DirectCall;
    friend class TReportBand;
    friend class TReportJob;
    void registerBand(TReportBand* band);
    void unregisterBand(TReportBand* band);
    void relayout();
    void releaseJob(TReportJob* job);

    double m_dpi;
    int m_zoom = 100;
    TUnitMode m_units = TUnitMode::MM;
    TPaperSize m_paperSize = TPaperSize::Custom;
    TPageOrientation m_orientation = TPageOrientation::Portrait;
    std::array<double, 7> m_values{10, 1280, 10, 2300, 10, 10, 0};
    TReportBand* m_band = nullptr;
    TPrinterSettings m_printerSettings;
    QString m_reportTitle;
    bool m_showProgress = true;
    bool m_composing = false;
    QPointer<TReportJob> m_reportJob;
};
