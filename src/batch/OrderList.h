#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "csv/CsvReader.h"

// An order list as a shop system exports it: a CSV file or an Excel workbook (.xlsx), one
// order per row, one column per text. Nothing here knows a widget or a field; ColumnMapping
// decides which column fills which field.

using OrderTextEncoding = csv::TextEncoding;

struct OrderListOptions {
    OrderTextEncoding encoding = OrderTextEncoding::Detect;  // CSV only; a workbook is Unicode
    bool firstRowIsHeader = true;
};

struct OrderRow {
    int number = 0;  // the row's number in the file as a spreadsheet shows it (1 = first row)
    QStringList cells;
};

struct OrderList {
    QStringList header;    // empty when the file has no header row
    QList<OrderRow> rows;  // the rows below the header; rows without any text are left out
    int columnCount = 0;   // the widest row's (or the header's) number of cells
    OrderTextEncoding encoding = OrderTextEncoding::Utf8;  // the encoding read (CSV)
};

// Reads a list: "*.xlsx" as a workbook (its first sheet), anything else as CSV. Throws AppError
// with a sentence naming the file and the problem when it cannot be read.
OrderList readOrderList(const QString& path, const OrderListOptions& options = {});

// The parts of the reading, for the reader's own use and its tests.
namespace orderlist {
// CSV text (RFC 4180 quoting: a quoted cell may hold separators, doubled quotes and line
// breaks) split into records; the separator is ',' ';' or a tab, whichever the first record
// holds most often outside quotes (',' when none). Line ends may be CRLF, LF or CR. A quote
// anywhere outside a quoted part opens one; an empty line is a record without cells.
QList<QStringList> splitCsv(const QString& text);
// Bytes decoded as asked; with Detect, `detected` says which encoding was chosen.
QString decodeText(const QByteArray& bytes, OrderTextEncoding encoding,
                   OrderTextEncoding* detected = nullptr);
// The first sheet of a workbook as rows of cells, each at its place: a cell the file leaves
// out is an empty text, so the columns keep their positions. Numbers are given as the
// workbook stores them (a whole number without exponent). Throws AppError.
QList<OrderRow> readWorkbookRows(const QString& path);
}  // namespace orderlist
