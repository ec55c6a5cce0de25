#pragma once

#include <QImage>
#include <QList>

#include "waybill/WaybillComposition.h"

class TReportPage;

// The calibration sheet, printed on plain paper and held against a real form: the courier's
// form picture at true size where the band puts it, the fields' print items composed as a
// waybill prints them (print offsets included), and a ruler along the top and the left edge of
// the paper, so the user reads in millimetres how far the print lands from the form's boxes.
namespace CalibrationPage {

// What each field prints on the sheet: its text, or, while it is empty, its caption in
// brackets ("[发货人]"), so that every field shows where it lands. A field without a caption
// (a pasted copy) prints its text only.
WaybillTexts textsOrCaptions(const WaybillTexts& texts, const WaybillTexts& captions);

// The rulers: ticks every millimetre from the paper's edge, longer every 5 and 10 mm, and the
// centimetres numbered; a strip at most 10 mm deep along the top and the left edge.
inline constexpr double kTickWidth = 2;  // 0.1 mm
inline constexpr double kShortTick = 20;
inline constexpr double kHalfTick = 35;
inline constexpr double kLongTick = 50;
// The length of the tick at millimetre `mm` from the paper's edge (0.1 mm).
double tickLength(int mm);

// Puts the sheet on the band of `page`, whose size and band the caller has set: the picture
// over the whole band, the items (transparent, so the picture shows around their texts), then
// the rulers measured from the paper's edges.
void compose(TReportPage& page, const QImage& picture, const QList<WaybillPrintItem>& items);

}  // namespace CalibrationPage
