#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The CSV a spreadsheet opens as it is: UTF-8 with a byte-order mark (without it Excel reads
// the Chinese as the local code page), comma separated, CRLF line ends, every cell in double
// quotes with a quote inside doubled, so that commas, quotes and line breaks inside a text stay
// in their cell.
//
// A text that a spreadsheet would take for a formula (it begins with "=", "@", or with "+" or
// "-" followed by more than a telephone number's characters) gets a leading apostrophe: order
// lists come from shop systems where customers type their own addresses, and such a cell must
// stay text. "+86 138-0013-8000" and "-" stay as they are.
QByteArray csvDocument(const QStringList& header, const QList<QStringList>& rows);
QString csvCell(const QString& text);
