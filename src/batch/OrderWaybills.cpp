#include "batch/OrderWaybills.h"

#include <numeric>

QString missingRecipientText(const WaybillTexts& texts) {
    const bool noName = texts.value(QStringLiteral("cbb11")).trimmed().isEmpty();
    const bool noAddress = texts.value(QStringLiteral("cbb33")).trimmed().isEmpty();
    if (noName && noAddress) return QStringLiteral("缺少收货人和收货地址");
    if (noName) return QStringLiteral("缺少收货人");
    if (noAddress) return QStringLiteral("缺少收货地址");
    return {};
}

OrderWaybills::OrderWaybills(const OrderList& list, ColumnMapping mapping, WaybillTexts sender,
                             const QList<int>& rows)
    : m_list(list), m_mapping(std::move(mapping)), m_sender(std::move(sender)) {
    for (int row : rows) {
        const QString missing = missingRecipientText(textsOfRow(row));
        if (missing.isEmpty())
            m_printable << row;
        else
            m_skipped << SkippedRow{m_list.rows.at(row).number, missing};
    }
}

QList<int> OrderWaybills::allRows(const OrderList& list) {
    QList<int> rows(list.rows.size());
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

WaybillTexts OrderWaybills::textsOfRow(int row) const {
    WaybillTexts texts = m_mapping.textsOf(m_list.rows.at(row).cells);
    for (auto it = m_sender.cbegin(); it != m_sender.cend(); ++it)
        texts.insert(it.key(), it.value());
    return texts;
}

WaybillTexts OrderWaybills::textsAt(int index) const {
    return textsOfRow(m_printable.at(index));
}

WaybillTextSource OrderWaybills::source() const {
    return {count(), [this](int index) { return textsAt(index); }};
}
