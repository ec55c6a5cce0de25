#include "history/HistoryCsv.h"

#include "csv/CsvWriter.h"

QByteArray csvDocument(const QStringList& header, const QList<QStringList>& rows) {
    return csv::fileBytes(QList<QStringList>{header} + rows,
                          {.quoteEveryField = true, .guardFormulas = true});
}
