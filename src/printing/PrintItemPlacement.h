#pragma once

class TReportBand;
class TReportLabel;
struct WaybillPrintItem;

// An item of the composition as the page engine's text item on the band, placed in 0.1 mm
// (never through screen pixels). Every print path puts its items on a band through this one
// function, so a waybill lies on paper where a single "打印" of the same texts puts it.
TReportLabel* placePrintItem(TReportBand* band, const WaybillPrintItem& item);
