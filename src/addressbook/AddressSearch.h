#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <vector>

// One row of a picker: the name, what tells equal names apart (the sender's company or the
// customer's contact person, and the telephone), and the row's key, so that picking it fills
// the fields from this very row.
struct AddressEntry {
    QVariant key;
    QString name;
    QString detail;
    QString phone;
};

// The entries of one picker and how typing narrows them: one typed letter or digit keeps the
// names filed under it (all names when none is); more characters keep the entries whose name
// they spell by pinyin (initials, whole or partial syllables, from any character), or that
// contain them in the name, the detail or the telephone. Entries picked recently come first.
class AddressSearch {
  public:
    void setEntries(QVector<AddressEntry> entries);
    const QVector<AddressEntry>& entries() const { return m_entries; }

    // The indexes of the entries `typed` keeps, in the order to show them.
    QVector<int> matching(const QString& typed) const;

    // The text of entry `index` in the picker: the name, followed by the detail and the last
    // four digits of the telephone when another entry has the same name.
    QString label(int index) const;
    // Whether entry `index` shares its name with another (its label then tells them apart).
    bool sharesName(int index) const { return m_sharedName[size_t(index)]; }

    void notePicked(int index);

  private:
    QVector<int> recentFirst(QVector<int> indexes) const;

    QVector<AddressEntry> m_entries;
    std::vector<std::vector<QLatin1StringView>> m_readings;
    std::vector<bool> m_sharedName;
    QVariantList m_recentKeys;  // most recent first
};
