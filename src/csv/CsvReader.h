#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Reading comma-separated records as spreadsheet programs and shop systems write them (RFC 4180
// quoting: a quoted field may hold separators, doubled quotes and line breaks). Line ends may be
// CR LF, LF or CR; the line end after the last record adds none. The program's readers differ
// only where their files do, and say so in `CsvReadOptions`.
namespace csv {

enum class TextEncoding {
    Detect,  // a byte order mark, else UTF-8 when every byte sequence is valid UTF-8, else GBK
    Utf8,
    Gbk  // read as GB18030, which GBK is part of
};

// The text of a file's bytes in `encoding`. With Detect a UTF-8 mark (Excel's "CSV UTF-8") or a
// UTF-16 one (its "Unicode text") decides; a forced encoding reads the bytes that way whatever
// they hold, except that UTF-8 drops its own mark. `detected` says which was read (UTF-16 counts
// as UTF-8: both are Unicode).
QString decode(const QByteArray& bytes, TextEncoding encoding = TextEncoding::Detect,
               TextEncoding* detected = nullptr);

struct ReadOptions {
    // Off: only ',' separates. On: ',' ';' or a tab, whichever the first record holds most often
    // outside quotes (',' when none), as shop systems of different countries export.
    bool detectSeparator = false;
    // Off: a quote opens a quoted field only at the field's start; elsewhere it is a character.
    // On: any quote outside a quoted part opens one, so `a"b,c"d` is the one field `ab,cd`.
    bool quoteMidFieldOpens = false;
    // Off: an empty line is a record of one empty field. On: a record without fields.
    bool emptyLineHasNoFields = false;
};

// The records of `text`. A quoted field that runs to the end of the text unclosed ends the last
// record, and sets `quoteUnclosed` when given.
QList<QStringList> read(const QString& text, const ReadOptions& options,
                        bool* quoteUnclosed = nullptr);

}  // namespace csv
