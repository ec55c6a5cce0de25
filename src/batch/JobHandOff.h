#pragma once

#include <QList>
#include <QString>

#include "waybill/WaybillTemplate.h"

// The one place a batch's job (the batch window's or the command line's) hands on what has
// gone to the printer: the template, the printer's name (or the PDF file's path) and the texts
// of the pages printed, in order. Called only when at least one page was printed. It records
// nothing yet; this is where a record of printed waybills takes them.
void onJobHandedToPrinter(const WaybillTemplate& layout, const QString& printerName,
                          const QList<WaybillTexts>& printedTexts);
