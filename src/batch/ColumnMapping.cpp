#include "batch/ColumnMapping.h"

#include <QRegularExpression>
#include <array>

#include "app/WaybillFieldSpecs.h"
#include "template/ProfileFile.h"

namespace {
struct FieldWords {
    const char* senderField;
    const char* recipientField;
    std::array<const char*, 4> words;  // UTF-8; nullptr ends the list
};

// Checked in this order, so that "收货人电话" is a telephone and "收货人地址" an address.
const std::array<FieldWords, 5> kFieldWords{{
    {"cbb4", "cbb44", {"电话", "手机", "联系电话", nullptr}},
    {"cbb3", "cbb33", {"地址", "详细地址", nullptr, nullptr}},
    {"cbb2", "cbb22", {"目的地", "城市", "省市", "始发地"}},
    {"cbb5", "cbb55", {"单位", "公司", nullptr, nullptr}},
    {"cbb1", "cbb11", {"收货人", "收件人", "姓名", "人"}},
}};

// The recipient's five fields in the order of a list without a usable header.
const std::array<const char*, 5> kDefaultOrder{"cbb11", "cbb22", "cbb33", "cbb44", "cbb55"};

bool isSenderHeader(const QString& header) {
    for (const char* word : {"发货", "寄件", "发件", "寄货", "始发"})
        if (header.contains(QString::fromUtf8(word))) return true;
    return false;
}

bool isStorableKey(const QString& header) {
    return !header.isEmpty() && !header.contains(u'=') && !header.contains(u'\n') &&
           !header.contains(u'\r') && !header.startsWith(u';') && !header.startsWith(u'[');
}

bool isFieldName(const QString& name) {
    for (const FieldWords& kind : kFieldWords)
        if (name == QLatin1String(kind.senderField) || name == QLatin1String(kind.recipientField))
            return true;
    return false;
}
}  // namespace

QString fieldNamedByHeader(const QString& header) {
    const QString text = header.trimmed();
    for (const FieldWords& kind : kFieldWords)
        for (const char* word : kind.words)
            if (word && text.contains(QString::fromUtf8(word)))
                return QLatin1String(isSenderHeader(text) ? kind.senderField : kind.recipientField);
    return {};
}

ColumnMapping ColumnMapping::forHeader(const QStringList& header, int columnCount,
                                       const ProfileFile* settings) {
    ColumnMapping mapping;
    QList<bool> decided(header.size(), false);
    if (settings)
        for (int c = 0; c < header.size(); ++c) {
            if (!isStorableKey(header[c])) continue;
            const QString field =
                settings->readString(settingsSection(), header[c], QString()).trimmed();
            decided[c] = field == noField() || isFieldName(field);
            if (isFieldName(field) && mapping.column(field) < 0) mapping.setColumn(field, c);
        }
    for (int c = 0; c < header.size(); ++c) {
        if (decided[c]) continue;
        const QString field = fieldNamedByHeader(header[c]);
        if (!field.isEmpty() && mapping.column(field) < 0) mapping.setColumn(field, c);
    }
    if (mapping.isEmpty())
        for (int c = 0; c < int(kDefaultOrder.size()) && c < columnCount; ++c)
            mapping.setColumn(QLatin1String(kDefaultOrder[c]), c);
    return mapping;
}

void ColumnMapping::setColumn(const QString& field, int column) {
    if (column < 0)
        m_columns.remove(field);
    else
        m_columns.insert(field, column);
}

WaybillTexts ColumnMapping::textsOf(const QStringList& cells) const {
    static const QRegularExpression lineBreaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    WaybillTexts texts;
    for (auto it = m_columns.cbegin(); it != m_columns.cend(); ++it) {
        if (it.value() >= cells.size()) continue;
        QString text = cells[it.value()].trimmed();
        if (text.contains(u'\n') || text.contains(u'\r'))
            text.replace(lineBreaks, QStringLiteral(" "));
        texts.insert(it.key(), text);
    }
    return texts;
}

void ColumnMapping::remember(ProfileFile& settings, const QStringList& header) const {
    for (int c = 0; c < header.size(); ++c) {
        if (!isStorableKey(header[c]) || header.indexOf(header[c]) != c) continue;
        // A column that fills several fields is remembered with the first of them.
        QString field = noField();
        for (const WaybillFieldSpec& spec : waybillFieldSpecs())
            if (column(spec.objectName()) == c && field == noField()) field = spec.objectName();
        settings.writeString(settingsSection(), header[c], field);
    }
}
