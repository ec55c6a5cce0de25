#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Writing records a spreadsheet opens as they are: comma separated, a double quote inside a
// quoted field doubled, every record ended by CR LF, the file UTF-8 with a byte order mark
// (without it a spreadsheet on Chinese Windows reads the Chinese as the local code page).
namespace csv {

struct WriteOptions {
    // Off: only a field holding a comma, a double quote, a line break or surrounding blanks is
    // put between double quotes. On: every field is.
    bool quoteEveryField = false;
    // On: a field a spreadsheet would take for a formula (it begins with "=", "@", or with "+"
    // or "-" followed by more than a telephone number's characters) gets a leading apostrophe,
    // for texts that people outside type, such as customers' addresses in a shop system.
    // "+86 138-0013-8000" and "-" stay as they are.
    bool guardFormulas = false;
};

// One record, without its line end.
QString line(const QStringList& fields, const WriteOptions& options);

// The records as a file's bytes.
QByteArray fileBytes(const QList<QStringList>& records, const WriteOptions& options);

}  // namespace csv
