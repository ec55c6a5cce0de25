#include "csv/CsvReader.h"

#include <QStringDecoder>

#include "platform/GbkCodec.h"

namespace csv {

namespace {

const QByteArray kUtf8Mark("\xEF\xBB\xBF");
const QByteArray kUtf16LeMark("\xFF\xFE");
const QByteArray kUtf16BeMark("\xFE\xFF");

// The whole file at once: a sequence cut off at its end is a fault, not kept for a next call.
template <typename Encoding>
QString decodeWith(Encoding encoding, QByteArrayView bytes, bool* failed = nullptr) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (failed) *failed = decoder.hasError();
    return text;
}

// The separator the first record uses most often outside quotes.
QChar detectedSeparator(const QString& text) {
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"') quoted = !quoted;
        if (quoted) continue;
        if (c == u'\n' || c == u'\r') break;
        commas += c == u',';
        semicolons += c == u';';
        tabs += c == u'\t';
    }
    if (tabs > commas && tabs >= semicolons) return u'\t';
    if (semicolons > commas) return u';';
    return u',';
}

}  // namespace

QString decode(const QByteArray& bytes, TextEncoding encoding, TextEncoding* detected) {
    const auto reading = [detected](TextEncoding read) {
        if (detected) *detected = read;
    };
    if (encoding != TextEncoding::Gbk && bytes.startsWith(kUtf8Mark)) {
        reading(TextEncoding::Utf8);
        return decodeWith(QStringConverter::Utf8, QByteArrayView(bytes).sliced(kUtf8Mark.size()));
    }
    if (encoding == TextEncoding::Detect &&
        (bytes.startsWith(kUtf16LeMark) || bytes.startsWith(kUtf16BeMark))) {
        reading(TextEncoding::Utf8);
        return decodeWith(
            bytes.startsWith(kUtf16LeMark) ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
            QByteArrayView(bytes).sliced(kUtf16LeMark.size()));
    }
    if (encoding != TextEncoding::Gbk) {
        bool invalid = false;
        const QString utf8 = decodeWith(QStringConverter::Utf8, bytes, &invalid);
        if (encoding == TextEncoding::Utf8 || !invalid) {
            reading(TextEncoding::Utf8);
            return utf8;
        }
    }
    reading(TextEncoding::Gbk);
    return decodeWith(gbkCodecName(), bytes);
}

QList<QStringList> read(const QString& text, const ReadOptions& options, bool* quoteUnclosed) {
    const QChar separator = options.detectSeparator ? detectedSeparator(text) : QChar(u',');
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;     // inside a quoted part
    bool wasQuoted = false;  // the current field had a quoted part
    bool lineOpen = false;   // something of the current record has been read
    auto endField = [&] {
        record.append(field);
        field.clear();
        wasQuoted = false;
    };
    auto endRecord = [&] {
        if (lineOpen || !options.emptyLineHasNoFields) endField();
        records.append(record);
        record.clear();
        lineOpen = false;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != u'"') {
                field += c;
            } else if (i + 1 < n && text.at(i + 1) == u'"') {
                field += c;
                ++i;
            } else {
                quoted = false;
            }
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') ++i;
            endRecord();
            continue;
        }
        lineOpen = true;
        if (c == u'"' && (options.quoteMidFieldOpens || (field.isEmpty() && !wasQuoted)))
            quoted = wasQuoted = true;
        else if (c == separator)
            endField();
        else
            field += c;
    }
    if (quoteUnclosed) *quoteUnclosed = quoted;
    if (lineOpen) endRecord();
    return records;
}

}  // namespace csv
