#pragma once

#include <QAbstractScrollArea>
#include <QPointer>
#include <optional>

#include "printing/engine/TPagePicture.h"

class TReportJob;

enum class TZoomState { rzZoomToFit, rzZoomToWidth, rzZoomOther };

// The page image inside a preview control: the recorded page stretched over it, a black frame
// and a shadow on the right and bottom. The page's lines are spaced with the font metrics of
// the printer it is meant for (`layoutDpi`, its vertical resolution), so the preview shows
// which lines fit and where they stand as the paper will.
class TPreviewImage : public QWidget {
    Q_OBJECT
  public:
    explicit TPreviewImage(QWidget* parent);
    void setPicture(const std::optional<TPagePicture>& picture, double layoutDpi = 0);
    bool hasPicture() const { return m_picture.has_value(); }
    double layoutDpi() const { return m_layoutDpi; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::optional<TPagePicture> m_picture;
    double m_layoutDpi = 0;
};

// The preview control: a scrolling area holding one page image of the job it shows.
// The image is (page width in screen pixels at the zoom) + 4 wide and likewise high, centred
// when smaller than the control and at 0 otherwise.
class TReportPreview : public QAbstractScrollArea {
    Q_OBJECT
  public:
    static constexpr int MinZoom = 2;
    static constexpr int MaxZoom = 2000;

    explicit TReportPreview(QWidget* parent = nullptr);
    ~TReportPreview() override;  // unbinds its job, which ends that job's preview

    // Binding starts showing: the job is marked shown, notifies this control, and the control
    // goes to page 1. A job shown before stops being shown.
    TReportJob* reportJob() const { return m_job; }
    void setReportJob(TReportJob* job);

    int zoom() const { return m_zoom; }
    int Zoom() const { return m_zoom; }
    // Ignored unless 2 ≤ n ≤ 2000; otherwise the zoom is n and the state rzZoomOther.
    void setZoom(int zoom);
    TZoomState zoomState() const { return m_state; }
    void ZoomToFit();
    void ZoomToWidth();
    // Moves the page image by dx, dy pixels; the scroll bars do not follow.
    void ScrollBy(int dx, int dy);
    int pageNumber() const { return m_pageNumber; }

    TPreviewImage* pageImage() const { return m_image; }
    // The image's size at the current zoom, and the page's size at zoom 100 (p_w, p_l).
    QSize imageSize() const;
    QSize pageSizeAt100() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    void unbind();
    void takePicture();
    void applyZoom(int zoom);
    void reapplyState();
    void layoutImage();
    void placeImage();
    QSize pageSizeAt(int zoom) const;

    QPointer<TReportJob> m_job;
    TPreviewImage* m_image;
    int m_zoom = 100;
    TZoomState m_state = TZoomState::rzZoomOther;
    int m_pageNumber = 1;
    QPoint m_base;   // the image's place before scrolling
    QPoint m_nudge;  // ScrollBy's moves since the last zoom change
};
