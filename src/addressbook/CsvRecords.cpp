#include "addressbook/CsvRecords.h"

#include <QStringDecoder>

#include "platform/GbkCodec.h"

namespace CsvRecords {

namespace {

bool needsQuotes(const QString& field) {
    if (field.isEmpty()) return false;
    if (field.front().isSpace() || field.back().isSpace()) return true;
    for (const QChar c : field)
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r') return true;
    return false;
}

}  // namespace

QString line(const QStringList& fields) {
    QString out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) out += u',';
        const QString& field = fields.at(i);
        if (!needsQuotes(field)) {
            out += field;
            continue;
        }
        out += u'"';
        out += QString(field).replace(u'"', QStringLiteral("\"\""));
        out += u'"';
    }
    return out;
}

QByteArray fileBytes(const QList<QStringList>& records) {
    QString text;
    for (const QStringList& record : records) {
        text += line(record);
        text += QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QString decode(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.sliced(3));
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder gbk(gbkCodecName(), QStringConverter::Flag::Stateless);
    return gbk.decode(bytes);
}

QList<QStringList> parse(const QString& text, QString* error) {
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;      // inside a quoted field
    bool wasQuoted = false;   // the current field began with a quote
    bool recordOpen = false;  // something of the current record has been read
    const qsizetype n = text.size();
    auto endField = [&] {
        record.append(field);
        field.clear();
        wasQuoted = false;
    };
    auto endRecord = [&] {
        endField();
        records.append(record);
        record.clear();
        recordOpen = false;
    };
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
        recordOpen = true;
        if (c == u'"' && field.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == u',') {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') ++i;
            endRecord();
        } else {
            field += c;
        }
    }
    if (quoted && error)
        *error = QStringLiteral("第 %1 行的引号没有结束。").arg(records.size() + 1);
    if (quoted || recordOpen) endRecord();
    return records;
}

}  // namespace CsvRecords
