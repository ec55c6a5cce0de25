#include "batch/JobHandOff.h"

#include "history/HistoryRecording.h"

QString onJobHandedToPrinter(const WaybillTemplate& layout, const QString& printerName,
                             const QList<WaybillTexts>& printedTexts, const QString& origin) {
    return recordJob(handedOver(composedJob(layout, printedTexts), printerName, origin));
}
