#include "csv/CsvWriter.h"

#include <QRegularExpression>

namespace csv {

namespace {

bool needsQuotes(const QString& field) {
    if (field.isEmpty()) return false;
    if (field.front().isSpace() || field.back().isSpace()) return true;
    for (const QChar c : field)
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r') return true;
    return false;
}

bool readAsFormula(const QString& text) {
    if (text.isEmpty()) return false;
    const QChar first = text.front();
    if (first == u'=' || first == u'@') return true;
    if (first != u'+' && first != u'-') return false;
    static const QRegularExpression telephone(QStringLiteral("^[-+0-9 ()]*$"));
    return !telephone.match(text).hasMatch();
}

QString field(const QString& text, const WriteOptions& options) {
    QString out = text;
    out.replace(u'"', QStringLiteral("\"\""));
    if (options.guardFormulas && readAsFormula(text)) out.prepend(u'\'');
    if (!options.quoteEveryField && !needsQuotes(text)) return out;
    return u'"' + out + u'"';
}

}  // namespace

QString line(const QStringList& fields, const WriteOptions& options) {
    QStringList written;
    written.reserve(fields.size());
    for (const QString& text : fields) written << field(text, options);
    return written.join(u',');
}

QByteArray fileBytes(const QList<QStringList>& records, const WriteOptions& options) {
    QString text;
    for (const QStringList& record : records) {
        text += line(record, options);
        text += QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

}  // namespace csv
