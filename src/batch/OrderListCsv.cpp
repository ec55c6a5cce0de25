#include <QStringDecoder>

#include "batch/OrderList.h"
#include "platform/GbkCodec.h"

namespace orderlist {

namespace {
bool startsWith(const QByteArray& bytes, std::initializer_list<unsigned char> mark) {
    if (bytes.size() < qsizetype(mark.size())) return false;
    qsizetype i = 0;
    for (unsigned char byte : mark)
        if (static_cast<unsigned char>(bytes[i++]) != byte) return false;
    return true;
}

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes, bool* failed) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (failed) *failed = decoder.hasError();
    return text;
}

QString decodeGbk(QByteArrayView bytes) {
    return QStringDecoder(gbkCodecName()).decode(bytes);
}

// The separator the first record uses most often outside quotes.
QChar detectSeparator(const QString& text) {
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (QChar c : text) {
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

QString decodeText(const QByteArray& bytes, OrderTextEncoding encoding,
                   OrderTextEncoding* detected) {
    // Marks first: a UTF-8 one (Excel's "CSV UTF-8"), or UTF-16 ("Unicode text").
    if (startsWith(bytes, {0xEF, 0xBB, 0xBF}) && encoding != OrderTextEncoding::Gbk) {
        if (detected) *detected = OrderTextEncoding::Utf8;
        return decodeWith(QStringConverter::Utf8, QByteArrayView(bytes).sliced(3), nullptr);
    }
    if (encoding == OrderTextEncoding::Detect &&
        (startsWith(bytes, {0xFF, 0xFE}) || startsWith(bytes, {0xFE, 0xFF}))) {
        if (detected) *detected = OrderTextEncoding::Utf8;
        const auto utf16 =
            startsWith(bytes, {0xFF, 0xFE}) ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
        return decodeWith(utf16, QByteArrayView(bytes).sliced(2), nullptr);
    }
    if (encoding == OrderTextEncoding::Gbk) {
        if (detected) *detected = OrderTextEncoding::Gbk;
        return decodeGbk(bytes);
    }
    bool invalid = false;
    const QString utf8 = decodeWith(QStringConverter::Utf8, bytes, &invalid);
    if (encoding == OrderTextEncoding::Utf8 || !invalid) {
        if (detected) *detected = OrderTextEncoding::Utf8;
        return utf8;
    }
    if (detected) *detected = OrderTextEncoding::Gbk;
    return decodeGbk(bytes);
}

QList<QStringList> splitCsv(const QString& text) {
    const QChar separator = detectSeparator(text);
    QList<QStringList> records;
    QStringList record;
    QString cell;
    bool quoted = false;
    bool cellStarted = false;  // something (even an empty quoted cell) was read on this record
    const qsizetype n = text.size();
    const QChar* data = text.constData();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = data[i];
        if (quoted) {
            if (c != u'"') {
                cell += c;
            } else if (i + 1 < n && data[i + 1] == u'"') {
                cell += u'"';
                ++i;
            } else {
                quoted = false;
            }
            continue;
        }
        if (c == u'"') {
            quoted = true;
            cellStarted = true;
        } else if (c == separator) {
            record << cell;
            cell.clear();
            cellStarted = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && data[i + 1] == u'\n') ++i;
            if (cellStarted || !cell.isEmpty()) record << cell;
            records << record;  // an empty line is an empty record: it keeps the numbering
            record.clear();
            cell.clear();
            cellStarted = false;
        } else {
            cell += c;
        }
    }
    if (cellStarted || !cell.isEmpty()) {
        record << cell;
        records << record;
    }
    return records;
}

}  // namespace orderlist
