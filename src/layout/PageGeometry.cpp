// Where the page lies in the grey area, how the page and band follow the waybill size, and the
// ratio lock between the two size edits.
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStatusBar>

#include "app/TEXPDPrintForm.h"
#include "platform/AppEnvironment.h"
#include "platform/Rounding.h"
#include "platform/WholeNumber.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportPage.h"
#include "template/ProfileFile.h"

namespace {
// The grey gap kept around a page that does not fit, so the page's corners show.
constexpr int kPageGap = 5;

// Centred when the page fits; otherwise a small gap from the edge so the page's corner shows.
int centredOffset(int available, int size) {
    const int offset = roundHalfEven((available - size) / 2.0);
    return offset < kPageGap ? kPageGap : offset;
}

// The top-left corner that centres `size` in `area`, never above or left of the area.
QPoint centredIn(const QRect& area, const QSize& size) {
    const QPoint corner = area.center() - QRect(QPoint(0, 0), size).center();
    return {std::max(corner.x(), area.left()), std::max(corner.y(), area.top())};
}
}  // namespace

void TEXPDPrintForm::pnl6Resize() {
    ReportPage1->move(centredOffset(pnl6->width(), ReportPage1->width()),
                      centredOffset(pnl6->height(), ReportPage1->height()));
}

void TEXPDPrintForm::pnl6FollowPage() {
    pnl6->setMinimumSize(ReportPage1->size() + QSize(2 * kPageGap, 2 * kPageGap));
    pnl6->resize(pnl3->viewport()->size().expandedTo(pnl6->minimumSize()));
}

void TEXPDPrintForm::fitWindowToPage() {
    const QRect available = AppEnvironment::availableScreenArea();
    if (available.isEmpty()) return;
    // Everything around the page area (top strip, status bar) and the window's frame.
    const QSize around(0, pnl1->height() + statusBar()->height());
    const QSize frame = frameGeometry().size() - size();
    const QSize wanted = pnl6->minimumSize() + around;
    const QSize grown = size().expandedTo(wanted.boundedTo(available.size() - frame));
    if (grown == size()) return;
    resize(grown);
    move(centredIn(available, grown + frame));
}

void TEXPDPrintForm::SetWaybillSize(double height, double width) {
    ReportPage1->setPageValue(TReportPage::Length, height);
    ReportPage1->setPageValue(TReportPage::Width, width);
    FitBandToPage();
}

void TEXPDPrintForm::FitBandToPage() {
    // The band spans the page less its 1 mm top and bottom margins.
    DetailBand1->setSizeValue(
        TReportBand::Length,
        roundHalfEvenToDouble(ReportPage1->pageValue(TReportPage::Length) - 2));
}

QSize TEXPDPrintForm::sizeEditsMillimetres() const {
    if (edtLong->text().isEmpty() || edtWide->text().isEmpty())
        throw AppError(QStringLiteral("请填写快递单的高和宽（毫米）。"));
    const int height = wholeNumberOf(edtLong->text());
    const int width = wholeNumberOf(edtWide->text());
    return {width, height};
}

void TEXPDPrintForm::applySizeEdits() {
    // Both texts are converted before the page is touched, so a bad width never leaves the
    // page with a new length, the old width and a band that no longer fits.
    const QSize size = sizeEditsMillimetres();
    SetWaybillSize(size.height(), size.width());
}

void TEXPDPrintForm::followRatio(QLineEdit* changed, QLineEdit* other, bool changedIsHeight) {
    if (changed->text().isEmpty() || other->hasFocus()) return;
    ProfileFile ini(AppEnvironment::settingsFilePath());
    const int referenceHeight =
        ini.readInteger(currentTemplate(), QStringLiteral("DefaultLong"), 128);
    const int referenceWidth =
        ini.readInteger(currentTemplate(), QStringLiteral("DefaultWide"), 230);
    if (!chk1->isChecked()) return;
    // A reference side of 0 (only a hand-edited file has one) defines no proportion: the
    // other edit is left as it is rather than filled with a division by zero.
    if (referenceHeight == 0 || referenceWidth == 0) return;
    const double value = wholeNumberOf(changed->text());
    const double result = changedIsHeight ? value / referenceHeight * referenceWidth
                                          : value / referenceWidth * referenceHeight;
    other->setText(QString::number(roundHalfEven(result)));
}

void TEXPDPrintForm::edtLongChange() {
    followRatio(edtLong, edtWide, true);
}

void TEXPDPrintForm::edtWideChange() {
    followRatio(edtWide, edtLong, false);
}

bool TEXPDPrintForm::edtLongKeyPress(QKeyEvent* event) {
    if (edtLong->text().isEmpty() || edtWide->text().isEmpty()) return false;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        applySizeEdits();
        return false;
    }
    return event->text() == QLatin1String("+") || event->text() == QLatin1String("-");
}
