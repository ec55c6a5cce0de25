#include "printing/PrintItemPlacement.h"

#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportLabel.h"
#include "waybill/WaybillComposition.h"

TReportLabel* placePrintItem(TReportBand* band, const WaybillPrintItem& item) {
    auto* label = new TReportLabel(band);
    label->setObjectName(item.name);
    label->setInternalValue(TReportLabel::Top, item.top);
    label->setInternalValue(TReportLabel::Left, item.left);
    if (item.fixedBox) {
        label->setAutoSize(false);
        label->setInternalValue(TReportLabel::Width, item.width);
        label->setInternalValue(TReportLabel::Height, item.height);
        label->setWrapStyle(TWrapStyle::BreakAnywhere);
    }
    // The font before the caption: the caption is laid out once, in its own font, instead of
    // once per setting (a long text broken at any character is measured character by
    // character). The result is the same either way.
    label->setFontSize(item.fontSize);
    if (!item.fontName.isEmpty()) label->setFontName(item.fontName);
    label->setCaption(item.caption);
    label->show();
    return label;
}
