#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "addressbook/AddressEntries.h"

// The entries of one picker and how typing narrows them: one typed letter or digit keeps the
// names filed under it (all names when none is); more characters keep the entries whose name
// they spell by pinyin (initials, whole or partial syllables, from any character), or that
// contain them in the name, the detail or the telephone. Entries picked recently come first.
//
// A search gives the kept entries in entry order (`Found`); `inShowingOrder` then moves the
// recently picked ones to the front. Typing on narrows what the text typed before found.
class AddressSearch {
  public:
    using Found = std::vector<int>;

    void setEntries(std::shared_ptr<const AddressEntries> entries);
    const AddressEntries& entries() const { return *m_entries; }
    const std::shared_ptr<const AddressEntries>& sharedEntries() const { return m_entries; }

    // Every offered entry.
    Found all() const;
    // The entries `typed` keeps.
    Found matching(const QString& typed) const;
    // The same, when `found` is what `before` kept and `typed` extends `before`: only those
    // are looked at again.
    Found narrowed(const Found& found, const QString& before, const QString& typed) const;

    // `found` with the recently picked entries first, most recent first.
    std::vector<int> inShowingOrder(const Found& found) const;

    void notePicked(int index);

  private:
    // A typed text, prepared once for the test of every entry.
    struct Typed {
        QString text;
        QString lower;
        quint64 sketch;
        Qt::CaseSensitivity cases;
        bool spellable;  // whether it may spell part of a name by pinyin
    };
    bool keeps(int index, const Typed& typed) const;
    template <typename Indexes>
    Found kept(const Indexes& indexes, const QString& typed) const;

    std::shared_ptr<const AddressEntries> m_entries = std::make_shared<AddressEntries>();
    std::vector<qint64> m_recentKeys;  // most recent first
    std::vector<int> m_recent;         // their entries, most recent first
};
