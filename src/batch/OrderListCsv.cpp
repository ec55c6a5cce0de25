#include "batch/OrderList.h"

namespace orderlist {

QString decodeText(const QByteArray& bytes, OrderTextEncoding encoding,
                   OrderTextEncoding* detected) {
    return csv::decode(bytes, encoding, detected);
}

QList<QStringList> splitCsv(const QString& text) {
    // Shops export with their country's separator and quote carelessly; an empty line is an
    // empty record, so that the rows keep the numbers a spreadsheet shows.
    return csv::read(
        text, {.detectSeparator = true, .quoteMidFieldOpens = true, .emptyLineHasNoFields = true});
}

}  // namespace orderlist
