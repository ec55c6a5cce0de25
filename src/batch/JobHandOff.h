#pragma once

#include <QList>
#include <QString>

#include "waybill/WaybillTemplate.h"

// The one place a batch's job (the batch window's or the command line's) hands on what has
// gone to the printer: the template, the printer's name (or the PDF file's path) and the texts
// of the pages printed, in order. Called only when at least one page was printed. The pages are
// recorded in the print history as one job of `origin`; returns a null text, or why they could
// not be recorded (the print stands all the same: the caller tells its user).
QString onJobHandedToPrinter(const WaybillTemplate& layout, const QString& printerName,
                             const QList<WaybillTexts>& printedTexts,
                             const QString& origin = QStringLiteral("批量打印"));
