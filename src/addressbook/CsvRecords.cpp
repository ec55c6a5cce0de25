#include "addressbook/CsvRecords.h"

#include "csv/CsvReader.h"
#include "csv/CsvWriter.h"

namespace CsvRecords {

QString line(const QStringList& fields) {
    return csv::line(fields, {});
}

QByteArray fileBytes(const QList<QStringList>& records) {
    return csv::fileBytes(records, {});
}

QString decode(const QByteArray& bytes) {
    return csv::decode(bytes);
}

QList<QStringList> parse(const QString& text, QString* error) {
    bool quoteUnclosed = false;
    const QList<QStringList> records = csv::read(text, {}, &quoteUnclosed);
    if (quoteUnclosed && error)
        *error = QStringLiteral("第 %1 行的引号没有结束。").arg(records.size());
    return records;
}

}  // namespace CsvRecords
