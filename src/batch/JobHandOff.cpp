#include "batch/JobHandOff.h"

void onJobHandedToPrinter(const WaybillTemplate& /*layout*/, const QString& /*printerName*/,
                          const QList<WaybillTexts>& /*printedTexts*/) {}
