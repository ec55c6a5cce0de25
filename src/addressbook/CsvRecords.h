#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated records as spreadsheet programs write and read them: a field holding a comma,
// a double quote, a line break or surrounding blanks is put between double quotes, and a double
// quote inside it is doubled; records end with CR LF. The reader takes any of CR LF, LF or CR as
// the end of a record and keeps line breaks that stand inside quotes.
namespace CsvRecords {

// One record, without its line end.
QString line(const QStringList& fields);

// The records as a file's bytes: UTF-8 with a byte order mark, so that a spreadsheet program
// opening the file by a double click reads the Chinese text right.
QByteArray fileBytes(const QList<QStringList>& records);

// The text of a file's bytes: UTF-8 when they start with its byte order mark or are valid UTF-8
// throughout, otherwise GBK (GB18030), what spreadsheet programs on Chinese Windows save.
QString decode(const QByteArray& bytes);

// The records of `text`. An empty line is a record with one empty field; the line end after the
// last record adds none. `error` (when given) is set when a quoted field runs to the end of the
// text unclosed; the records read so far are returned.
QList<QStringList> parse(const QString& text, QString* error = nullptr);

}  // namespace CsvRecords
