#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "addressbook/AddressEntries.h"

// The entries a picker shows, in showing order: the recently picked among those found first,
// then the rest of those found in entry order. What was found is shared, not copied: a list
// of a million entries is shown again at each keystroke.
class ShownEntries {
  public:
    ShownEntries() = default;
    // `first`: entries of `found`, in the order they come first.
    ShownEntries(std::shared_ptr<const std::vector<int>> found, std::vector<int> first);

    int size() const { return m_found ? int(m_found->size()) : 0; }
    int at(int position) const;
    // What was found, in entry order.
    const std::vector<int>& found() const;

  private:
    std::shared_ptr<const std::vector<int>> m_found;
    std::vector<int> m_first;
    std::vector<size_t> m_firstAt;  // where those stand in `found`, ascending
};

// The entries of one picker and how typing narrows them: one typed letter or digit keeps the
// names filed under it (all names when none is); more characters keep the entries whose name
// they spell by pinyin (initials, whole or partial syllables, from any character), or that
// contain them in the name, the detail or the telephone, case aside. Entries picked recently
// come first.
//
// A search gives the kept entries in entry order (`Found`), shared with the lists that show
// them; `inShowingOrder` then moves the recently picked ones to the front. Typing on narrows
// what the text typed before found. A search over many entries uses every processor core.
class AddressSearch {
  public:
    using Found = std::vector<int>;
    using SharedFound = std::shared_ptr<const Found>;

    void setEntries(std::shared_ptr<const AddressEntries> entries);
    const AddressEntries& entries() const { return *m_entries; }
    const std::shared_ptr<const AddressEntries>& sharedEntries() const { return m_entries; }

    // Every offered entry.
    SharedFound all() const { return m_all; }
    // The entries `typed` keeps.
    SharedFound matching(const QString& typed) const;
    // The same, when `found` is what `before` kept and `typed` extends `before`: only those
    // are looked at again.
    SharedFound narrowed(const SharedFound& found, const QString& before,
                         const QString& typed) const;

    // `found` with the recently picked entries first, most recent first.
    ShownEntries inShowingOrder(SharedFound found) const;

    void notePicked(int index);

  private:
    // A typed text, prepared once for the test of every entry.
    struct Typed {
        QString text;
        QString folded;  // case-folded, for entries without cased characters
        QString lower;   // for spelling
        quint64 sketch;
        quint64 spellingSketch;
        quint64 beginning;
        Qt::CaseSensitivity cases;
        bool foldable;   // whether folding it character by character is exact
        bool spellable;  // whether it may spell part of a name by pinyin
    };
    static Typed prepared(const QString& text);
    bool keeps(int index, const Typed& typed) const;
    bool contains(int index, const Typed& typed) const;
    template <typename Indexes>
    SharedFound kept(const Indexes& indexes, const QString& typed) const;

    std::shared_ptr<const AddressEntries> m_entries = std::make_shared<AddressEntries>();
    SharedFound m_all = std::make_shared<Found>();
    std::vector<qint64> m_recentKeys;  // most recent first
    std::vector<int> m_recent;         // their entries, most recent first
};
