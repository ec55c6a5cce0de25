#pragma once

#include <QStringList>

class TReportBand;

// The names of the print items the latest composition made, in the order it made them. It
// outlives the items: nothing clears it when they are removed.
extern QStringList PrintItemNames;

// Destroys every component of the band named in PrintItemNames; names without one are skipped.
void RemovePrintItems(TReportBand* band);
// Whether print items of an earlier composition still lie on the band.
bool BandHasPrintItems(const TReportBand* band);
