#include "addressbook/AddressSearch.h"

#include <QHash>
#include <algorithm>

#include "addressbook/Pinyin.h"

namespace {

constexpr int kRecentKept = 20;

}  // namespace

void AddressSearch::setEntries(QVector<AddressEntry> entries) {
    m_entries = std::move(entries);
    m_readings.clear();
    m_readings.reserve(size_t(m_entries.size()));
    QHash<QString, int> counts;
    for (const AddressEntry& entry : m_entries) {
        m_readings.push_back(NameReadings(entry.name));
        ++counts[entry.name];
    }
    m_sharedName.assign(size_t(m_entries.size()), false);
    for (qsizetype i = 0; i < m_entries.size(); ++i)
        m_sharedName[size_t(i)] = counts.value(m_entries.at(i).name) > 1;
}

QVector<int> AddressSearch::matching(const QString& typed) const {
    QVector<int> kept;
    const int count = int(m_entries.size());
    if (typed.size() == 1 && typed.front().unicode() < 128 && typed.front().isLetterOrNumber()) {
        const QChar key = typed.front().toUpper();
        for (int i = 0; i < count; ++i)
            if (NameInitial(m_entries.at(i).name) == key) kept.append(i);
        if (kept.isEmpty())
            for (int i = 0; i < count; ++i) kept.append(i);
        return recentFirst(kept);
    }
    const QString lower = typed.toLower();
    for (int i = 0; i < count; ++i) {
        const AddressEntry& entry = m_entries.at(i);
        if (entry.name.contains(typed, Qt::CaseInsensitive) ||
            entry.detail.contains(typed, Qt::CaseInsensitive) || entry.phone.contains(typed) ||
            SpellsPartOf(lower, entry.name, m_readings[size_t(i)]))
            kept.append(i);
    }
    return recentFirst(kept);
}

QVector<int> AddressSearch::recentFirst(QVector<int> indexes) const {
    if (m_recentKeys.isEmpty()) return indexes;
    auto rank = [this](int index) {
        const qsizetype at = m_recentKeys.indexOf(m_entries.at(index).key);
        return at < 0 ? kRecentKept : int(at);
    };
    std::stable_sort(indexes.begin(), indexes.end(),
                     [&](int a, int b) { return rank(a) < rank(b); });
    return indexes;
}

QString AddressSearch::label(int index) const {
    const AddressEntry& entry = m_entries.at(index);
    if (!m_sharedName[size_t(index)]) return entry.name;
    QStringList parts;
    if (!entry.detail.isEmpty()) parts << entry.detail;
    if (!entry.phone.isEmpty()) parts << QStringLiteral("…") + entry.phone.right(4);
    return parts.isEmpty() ? entry.name
                           : entry.name + QStringLiteral("（") + parts.join(QLatin1Char(' ')) +
                                 QStringLiteral("）");
}

void AddressSearch::notePicked(int index) {
    const QVariant key = m_entries.at(index).key;
    m_recentKeys.removeAll(key);
    m_recentKeys.prepend(key);
    while (m_recentKeys.size() > kRecentKept) m_recentKeys.removeLast();
}
