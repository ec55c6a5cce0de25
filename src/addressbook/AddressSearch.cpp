#include "addressbook/AddressSearch.h"

#include <algorithm>
#include <system_error>
#include <thread>

#include "addressbook/Pinyin.h"

namespace {

constexpr size_t kRecentKept = 20;
// Fewer entries than this are searched on one core: starting threads would cost more.
constexpr size_t kSearchedAlone = 20000;

// A single letter or digit runs the letter filter; anything else searches.
bool isFilterKey(const QString& typed) {
    return typed.size() == 1 && typed.front().unicode() < 128 && typed.front().isLetterOrNumber();
}

// The indexes 0 .. count-1, without storing them.
struct EveryIndex {
    int count;
    int size() const { return count; }
    int operator[](size_t at) const { return int(at); }
};

// A result kept as long as its list is shown: room reserved for the most it could hold is
// given back when it holds far fewer.
AddressSearch::SharedFound shared(AddressSearch::Found found) {
    if (found.size() < found.capacity() / 2) found.shrink_to_fit();
    return std::make_shared<const AddressSearch::Found>(std::move(found));
}

}  // namespace

ShownEntries::ShownEntries(std::shared_ptr<const std::vector<int>> found, std::vector<int> first)
    : m_found(std::move(found)), m_first(std::move(first)) {
    for (int index : m_first)
        m_firstAt.push_back(
            size_t(std::lower_bound(m_found->begin(), m_found->end(), index) - m_found->begin()));
    std::sort(m_firstAt.begin(), m_firstAt.end());
}

int ShownEntries::at(int position) const {
    if (size_t(position) < m_first.size()) return m_first[size_t(position)];
    // The rest of what was found, in its order, leaving out those shown first.
    size_t at = size_t(position) - m_first.size();
    for (size_t skipped : m_firstAt) {
        if (skipped > at) break;
        ++at;
    }
    return (*m_found)[at];
}

const std::vector<int>& ShownEntries::found() const {
    static const std::vector<int> none;
    return m_found ? *m_found : none;
}

void AddressSearch::setEntries(std::shared_ptr<const AddressEntries> entries) {
    m_entries = std::move(entries);
    Found all;
    all.reserve(size_t(m_entries->size()));
    for (int i = 0; i < m_entries->size(); ++i)
        if (m_entries->offered(i)) all.push_back(i);
    m_all = shared(std::move(all));
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

AddressSearch::Typed AddressSearch::prepared(const QString& text) {
    Typed typed;
    typed.text = text;
    typed.lower = text.toLower();
    // Character by character, as comparing with case set aside folds them.
    typed.folded.reserve(text.size());
    for (const QChar c : text) typed.folded += c.toCaseFolded();
    typed.sketch = AddressEntries::sketchOf(text);
    typed.spellingSketch = AddressEntries::sketchOf(typed.lower);
    typed.beginning = AddressEntries::beginningOf(typed.lower);
    // Text without upper and lower case (Han characters, digits) is compared as it is.
    typed.cases = text == typed.lower && text == text.toUpper() ? Qt::CaseSensitive
                                                                : Qt::CaseInsensitive;
    typed.foldable = std::none_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
    // Only letters spell a character that has a reading, and a character that has one, typed,
    // spells nothing; without a letter, spelling would only find what containing finds.
    typed.spellable =
        std::any_of(typed.lower.begin(), typed.lower.end(),
                    [](QChar c) { return c >= u'a' && c <= u'z'; }) &&
        std::none_of(text.begin(), text.end(), [](QChar c) { return !PinyinOf(c).isEmpty(); });
    return typed;
}

bool AddressSearch::contains(int index, const Typed& typed) const {
    const AddressEntries& e = *m_entries;
    if (typed.foldable && !e.cased(index)) return e.uncasedContains(index, typed.folded);
    return e.name(index).contains(typed.text, typed.cases) ||
           e.detail(index).contains(typed.text, typed.cases) ||
           e.phone(index).contains(typed.text, typed.cases);
}

bool AddressSearch::keeps(int index, const Typed& typed) const {
    const AddressEntries& e = *m_entries;
    if (!e.offered(index)) return false;
    if ((e.sketch(index) & typed.sketch) == typed.sketch && contains(index, typed)) return true;
    return typed.spellable &&
           (e.spellingSketch(index) & typed.spellingSketch) == typed.spellingSketch &&
           (e.beginnings(index) & typed.beginning) == typed.beginning &&
           SpellsPartOf(typed.lower, e.name(index));
}

template <typename Indexes>
AddressSearch::SharedFound AddressSearch::kept(const Indexes& indexes, const QString& text) const {
    const Typed typed = prepared(text);
    const size_t count = size_t(indexes.size());
    // A long search is shared out among the processor's cores, each looking at one stretch of
    // the entries and writing what it keeps where that stretch starts; the stretches are then
    // joined in order.
    const size_t parts =
        count < kSearchedAlone ? 1 : std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4);
    Found found(count);
    std::vector<size_t> keptIn(parts);
    auto search = [&](size_t part) {
        const size_t from = count * part / parts;
        const size_t to = count * (part + 1) / parts;
        size_t out = from;
        for (size_t at = from; at < to; ++at)
            if (keeps(indexes[at], typed)) found[out++] = indexes[at];
        keptIn[part] = out - from;
    };
    std::vector<std::thread> helpers;
    for (size_t part = 1; part < parts; ++part) {
        try {
            helpers.emplace_back(search, part);
        } catch (const std::system_error&) {
            search(part);  // no thread to be had: this one does that stretch too
        }
    }
    search(0);
    for (std::thread& helper : helpers) helper.join();
    size_t end = keptIn[0];
    for (size_t part = 1; part < parts; ++part) {
        const auto from = found.begin() + std::ptrdiff_t(count * part / parts);
        end = size_t(std::copy(from, from + std::ptrdiff_t(keptIn[part]),
                               found.begin() + std::ptrdiff_t(end)) -
                     found.begin());
    }
    found.resize(end);
    return shared(std::move(found));
}

AddressSearch::SharedFound AddressSearch::matching(const QString& typed) const {
    if (!isFilterKey(typed)) return kept(EveryIndex{m_entries->size()}, typed);
    const char key = char(typed.front().toUpper().toLatin1());
    Found found;
    found.reserve(m_all->size());
    for (int i : *m_all)
        if (m_entries->initial(i) == key) found.push_back(i);
    return found.empty() ? m_all : shared(std::move(found));
}

AddressSearch::SharedFound AddressSearch::narrowed(const SharedFound& found, const QString& before,
                                                   const QString& typed) const {
    // What a longer text keeps, a shorter one kept too; the letter filter is no such search.
    if (isFilterKey(before) || isFilterKey(typed) || !typed.startsWith(before))
        return matching(typed);
    return kept(*found, typed);
}

ShownEntries AddressSearch::inShowingOrder(SharedFound found) const {
    std::vector<int> first;
    for (int index : m_recent)
        if (std::binary_search(found->begin(), found->end(), index)) first.push_back(index);
    return ShownEntries(std::move(found), std::move(first));
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
