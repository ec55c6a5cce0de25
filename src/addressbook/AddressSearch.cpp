#include "addressbook/AddressSearch.h"

#include <algorithm>

#include "addressbook/Pinyin.h"

namespace {

constexpr size_t kRecentKept = 20;

// A single letter or digit runs the letter filter; anything else searches.
bool isFilterKey(const QString& typed) {
    return typed.size() == 1 && typed.front().unicode() < 128 && typed.front().isLetterOrNumber();
}

// Counts 0 .. count-1 without storing them.
struct EveryIndex {
    int count;
    struct Iterator {
        int at;
        int operator*() const { return at; }
        Iterator& operator++() {
            ++at;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return at != other.at; }
    };
    Iterator begin() const { return {0}; }
    Iterator end() const { return {count}; }
};

}  // namespace

void AddressSearch::setEntries(std::shared_ptr<const AddressEntries> entries) {
    m_entries = std::move(entries);
    // The recently picked keep their place across a refill, by their keys.
    m_recent.clear();
    std::vector<qint64> kept;
    for (qint64 key : m_recentKeys) {
        for (int i = 0; i < m_entries->size(); ++i) {
            if (m_entries->key(i) == key && m_entries->offered(i)) {
                kept.push_back(key);
                m_recent.push_back(i);
                break;
            }
        }
    }
    m_recentKeys = std::move(kept);
}

AddressSearch::Found AddressSearch::all() const {
    Found found;
    found.reserve(size_t(m_entries->size()));
    for (int i = 0; i < m_entries->size(); ++i)
        if (m_entries->offered(i)) found.push_back(i);
    return found;
}

bool AddressSearch::keeps(int index, const Typed& typed) const {
    const AddressEntries& e = *m_entries;
    if ((e.sketch(index) & typed.sketch) != typed.sketch || !e.offered(index)) return false;
    return e.name(index).contains(typed.text, typed.cases) ||
           e.detail(index).contains(typed.text, typed.cases) ||
           e.phone(index).contains(typed.text) ||
           (typed.spellable && SpellsPartOf(typed.lower, e.name(index)));
}

template <typename Indexes>
AddressSearch::Found AddressSearch::kept(const Indexes& indexes, const QString& text) const {
    Typed typed{text, text.toLower(), 0, Qt::CaseInsensitive, true};
    typed.sketch = AddressEntries::sketchOf(typed.lower);
    // Text without upper and lower case (Han characters, digits) is compared as it is.
    if (text == typed.lower && text == text.toUpper()) typed.cases = Qt::CaseSensitive;
    // A character that has a reading is spelled by letters only: typed, it spells nothing.
    typed.spellable =
        std::none_of(text.begin(), text.end(), [](QChar c) { return !PinyinOf(c).isEmpty(); });
    Found found;
    for (int i : indexes)
        if (keeps(i, typed)) found.push_back(i);
    return found;
}

AddressSearch::Found AddressSearch::matching(const QString& typed) const {
    if (!isFilterKey(typed)) return kept(EveryIndex{m_entries->size()}, typed);
    const char key = char(typed.front().toUpper().toLatin1());
    Found found;
    for (int i = 0; i < m_entries->size(); ++i)
        if (m_entries->initial(i) == key && m_entries->offered(i)) found.push_back(i);
    return found.empty() ? all() : found;
}

AddressSearch::Found AddressSearch::narrowed(const Found& found, const QString& before,
                                             const QString& typed) const {
    // What a longer text keeps, a shorter one kept too; the letter filter is no such search.
    if (isFilterKey(before) || isFilterKey(typed) || !typed.startsWith(before))
        return matching(typed);
    return kept(found, typed);
}

std::vector<int> AddressSearch::inShowingOrder(const Found& found) const {
    std::vector<int> first;
    for (int index : m_recent)
        if (std::binary_search(found.begin(), found.end(), index)) first.push_back(index);
    if (first.empty()) return found;
    std::vector<int> shown = first;
    shown.reserve(found.size());
    // Both in entry order, the rest is one walk.
    std::sort(first.begin(), first.end());
    auto next = first.begin();
    for (int index : found) {
        if (next != first.end() && *next == index)
            ++next;
        else
            shown.push_back(index);
    }
    return shown;
}

void AddressSearch::notePicked(int index) {
    const qint64 key = m_entries->key(index);
    const auto at = std::find(m_recentKeys.begin(), m_recentKeys.end(), key);
    if (at != m_recentKeys.end()) {
        m_recent.erase(m_recent.begin() + (at - m_recentKeys.begin()));
        m_recentKeys.erase(at);
    }
    m_recentKeys.insert(m_recentKeys.begin(), key);
    m_recent.insert(m_recent.begin(), index);
    if (m_recentKeys.size() > kRecentKept) {
        m_recentKeys.pop_back();
        m_recent.pop_back();
    }
}
