#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The address book's CSV: what spreadsheet programs write and read (csv/CsvReader.h and
// csv/CsvWriter.h), comma separated only. A field is quoted only where it must be; a quote in
// the middle of a field is a character; an empty line is a record of one empty field.
namespace CsvRecords {

// One record, without its line end.
QString line(const QStringList& fields);

// The records as a file's bytes: UTF-8 with a byte order mark, so that a spreadsheet program
// opening the file by a double click reads the Chinese text right.
QByteArray fileBytes(const QList<QStringList>& records);

// The text of a file's bytes: UTF-8 or UTF-16 when they start with its byte order mark, UTF-8
// when they are valid UTF-8 throughout, otherwise GBK (GB18030), what spreadsheet programs on
// Chinese Windows save.
QString decode(const QByteArray& bytes);

// The records of `text`. An empty line is a record with one empty field; the line end after the
// last record adds none. `error` (when given) is set when a quoted field runs to the end of the
// text unclosed; the records read so far are returned.
QList<QStringList> parse(const QString& text, QString* error = nullptr);

}  // namespace CsvRecords
