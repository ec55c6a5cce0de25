#include "printing/CalibrationPage.h"

#include "printing/PrintItemPlacement.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportImage.h"
#include "printing/engine/TReportLabel.h"
#include "printing/engine/TReportPage.h"

namespace CalibrationPage {

WaybillTexts textsOrCaptions(const WaybillTexts& texts, const WaybillTexts& captions) {
    WaybillTexts shown = texts;
    for (auto it = captions.cbegin(); it != captions.cend(); ++it)
        if (shown.value(it.key()).isEmpty() && !it.value().isEmpty())
            shown.insert(it.key(), QStringLiteral("[%1]").arg(it.value()));
    return shown;
}

double tickLength(int mm) {
    if (mm % 10 == 0) return kLongTick;
    if (mm % 5 == 0) return kHalfTick;
    return kShortTick;
}

namespace {

// A black box of the page engine, in 0.1 mm from the paper's corner.
void addBox(TReportBand* band, const QPointF& bandCorner, const QRectF& onPaper) {
    auto* box = new TReportLabel(band);
    box->setAutoSize(false);
    box->setCaption(QString());
    box->setColor(Qt::black);
    box->setInternalValue(TReportLabel::Left, onPaper.left() - bandCorner.x());
    box->setInternalValue(TReportLabel::Top, onPaper.top() - bandCorner.y());
    box->setInternalValue(TReportLabel::Width, onPaper.width());
    box->setInternalValue(TReportLabel::Height, onPaper.height());
}

void addNumber(TReportBand* band, const QPointF& bandCorner, const QPointF& onPaper, int number) {
    auto* label = new TReportLabel(band);
    label->setTransparent(true);
    label->setFontSize(6);
    label->setCaption(QString::number(number));
    label->setInternalValue(TReportLabel::Left, onPaper.x() - bandCorner.x());
    label->setInternalValue(TReportLabel::Top, onPaper.y() - bandCorner.y());
}

// One ruler along an edge of `length` (0.1 mm): horizontal along the top edge, otherwise
// along the left edge. A tick is centred on its millimetre.
void addRuler(TReportBand* band, const QPointF& bandCorner, double length, bool alongTop) {
    for (int mm = 0; mm * 10 <= length; ++mm) {
        const double at = mm * 10 - kTickWidth / 2;
        const double tick = tickLength(mm);
        addBox(band, bandCorner,
               alongTop ? QRectF(at, 0, kTickWidth, tick) : QRectF(0, at, tick, kTickWidth));
        if (mm % 10 != 0 || mm == 0) continue;
        // The centimetre beside its long tick, inside the ruler's strip.
        const double beside = mm * 10 + 4;
        addNumber(band, bandCorner,
                  alongTop ? QPointF(beside, kShortTick + 6) : QPointF(kShortTick + 6, beside),
                  mm / 10);
    }
}

}  // namespace

void compose(TReportPage& page, const QImage& picture, const QList<WaybillPrintItem>& items) {
    TReportBand* band = page.detailBand();
    if (!band) return;
    // The picture takes the band's true size: the paper less its margins across, the band's
    // length down (the band's own width is whole screen pixels).
    auto* image = new TReportImage(band);
    image->setImage(picture);
    image->setInternalBounds(QRectF(0, 0,
                                    page.internalValue(TReportPage::Width) -
                                        page.internalValue(TReportPage::LeftMargin) -
                                        page.internalValue(TReportPage::RightMargin),
                                    band->internalValue(TReportBand::Length)));
    for (const WaybillPrintItem& item : items) placePrintItem(band, item)->setTransparent(true);
    // The band's corner lies at the page's margins; the rulers measure from the paper's edge.
    const QPointF bandCorner(page.internalValue(TReportPage::LeftMargin),
                             page.internalValue(TReportPage::TopMargin));
    addRuler(band, bandCorner, page.internalValue(TReportPage::Width), true);
    addRuler(band, bandCorner, page.internalValue(TReportPage::Length), false);
}

}  // namespace CalibrationPage
