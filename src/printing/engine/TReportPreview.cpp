#include "printing/engine/TReportPreview.h"

#include <QPainter>
#include <QScrollBar>

#include "platform/HandlerGuard.h"
#include "platform/Rounding.h"
#include "printing/engine/TOutputCanvas.h"
#include "printing/engine/TReportJob.h"

TPreviewImage::TPreviewImage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PreviewImage"));
}

void TPreviewImage::setPicture(const std::optional<TPagePicture>& picture, double layoutDpi) {
    m_picture = picture;
    m_layoutDpi = layoutDpi;
    update();
}

void TPreviewImage::paintEvent(QPaintEvent*) {
    if (!m_picture) return;  // nothing before the picture is there
    QPainter painter(this);
    const int w = width();
    const int h = height();
    painter.fillRect(rect(), Qt::white);
    const QSizeF paper = m_picture->paperSize();
    if (!paper.isEmpty()) {
        const TDeviceMapping stretch{w / paper.width(), h / paper.height(), 0, 0};
        TPainterCanvas canvas(painter, stretch, m_layoutDpi > 0 ? m_layoutDpi : logicalDpiY());
        m_picture->render(canvas);
    }
    // A 1-pixel frame from (0, 0) to (w − 3, h − 3), a 2-pixel shadow on the right and bottom.
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, w - 3, h - 3);
    painter.fillRect(QRect(w - 2, 2, 2, h - 2), Qt::black);
    painter.fillRect(QRect(2, h - 2, w - 2, 2), Qt::black);
}

TReportPreview::TReportPreview(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("ReportPreview"));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    m_image = new TPreviewImage(viewport());
    m_image->hide();
}

TReportPreview::~TReportPreview() {
    // Destroying the control unbinds it, which ends the job's preview.
    if (TReportJob* job = m_job) {
        m_job = nullptr;
        disconnect(job, nullptr, this, nullptr);
        job->setShown(false);
        job->ClosePreview();
    }
}

void TReportPreview::setReportJob(TReportJob* job) {
    if (job == m_job) return;
    unbind();
    if (!job) return;
    m_job = job;
    connect(job, &TReportJob::pagesAvailable, this, [this](int count) {
        runGuarded([&] {
            if (count >= m_pageNumber) takePicture();
        });
    });
    connect(job, &TReportJob::previewEnded, this, [this] { runGuarded([&] { unbind(); }); });
    connect(job, &QObject::destroyed, this, [this] { runGuarded([&] { unbind(); }); });
    job->setShown(true);
    m_pageNumber = 1;
    m_image->show();
    layoutImage();
    if (job->availablePages() >= m_pageNumber) takePicture();
}

void TReportPreview::unbind() {
    TReportJob* old = m_job;
    m_job = nullptr;
    if (old) {
        disconnect(old, nullptr, this, nullptr);
        old->setShown(false);
    }
    m_image->setPicture(std::nullopt);
    m_image->hide();
}

void TReportPreview::takePicture() {
    if (!m_job) return;
    if (const TPagePicture* picture = m_job->pagePicture(m_pageNumber))
        m_image->setPicture(*picture, m_job->printerCapabilities().dpiY);
}

QSize TReportPreview::pageSizeAt(int zoom) const {
    if (!m_job) return {};
    // Rnd(paper width × zoom ÷ 100 × F_x), in that order.
    const TDeviceMapping screen = m_job->screenMapping();
    return {roundHalfEven(m_job->paperWidth() * zoom / 100.0 * screen.fx),
            roundHalfEven(m_job->paperLength() * zoom / 100.0 * screen.fy)};
}

QSize TReportPreview::pageSizeAt100() const {
    return pageSizeAt(100);
}

QSize TReportPreview::imageSize() const {
    const QSize page = pageSizeAt(m_zoom);
    return page.isValid() ? page + QSize(4, 4) : QSize();
}

void TReportPreview::setZoom(int zoom) {
    if (zoom < MinZoom || zoom > MaxZoom) return;
    m_state = TZoomState::rzZoomOther;
    applyZoom(zoom);
}

void TReportPreview::applyZoom(int zoom) {
    if (zoom >= MinZoom && zoom <= MaxZoom) m_zoom = zoom;
    layoutImage();
}

void TReportPreview::ZoomToFit() {
    const QSize page = pageSizeAt100();
    if (page.isEmpty()) return;
    const int byWidth = roundHalfEven(double(width()) / page.width() * 95);
    const int byHeight = roundHalfEven(double(height()) / page.height() * 95);
    m_state = TZoomState::rzZoomToFit;
    applyZoom(std::min(byWidth, byHeight));
}

void TReportPreview::ZoomToWidth() {
    const QSize page = pageSizeAt100();
    if (page.isEmpty()) return;
    m_state = TZoomState::rzZoomToWidth;
    applyZoom(roundHalfEven(double(width()) / page.width() * 90));
}

void TReportPreview::reapplyState() {
    if (m_state == TZoomState::rzZoomToFit)
        ZoomToFit();
    else if (m_state == TZoomState::rzZoomToWidth)
        ZoomToWidth();
    else
        layoutImage();
}

// A new zoom: the image takes its size, its place (centred or at 0) and the view goes back to
// the top-left.
void TReportPreview::layoutImage() {
    const QSize image = imageSize();
    if (!image.isValid()) return;
    m_image->resize(image);
    m_base = QPoint(image.width() < width() ? (width() - image.width()) / 2 : 0,
                    image.height() < height() ? (height() - image.height()) / 2 : 0);
    m_nudge = QPoint();
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, image.width() - view.width()));
    verticalScrollBar()->setRange(0, std::max(0, image.height() - view.height()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setPageStep(view.height());
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    placeImage();
}

void TReportPreview::placeImage() {
    m_image->move(m_base + m_nudge -
                  QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()));
}

void TReportPreview::ScrollBy(int dx, int dy) {
    m_nudge += QPoint(dx, dy);
    placeImage();
}

void TReportPreview::scrollContentsBy(int, int) {
    placeImage();
}

void TReportPreview::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    runGuarded([this] { reapplyState(); });
}

void TReportPreview::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    runGuarded([this] {
        if (m_state != TZoomState::rzZoomOther) reapplyState();
    });
}
