#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

// The rows a picker offers, held compactly for a million of them: the row keys, one text
// arena holding each row's name, detail (the sender's company or the customer's contact
// person) and telephone back to back, the name's filing letter and a 64-bit sketch of the
// characters an entry contains, so that a search rejects most entries without looking at
// their text. No entry has a heap allocation of its own.
//
// The rows are appended in the order of the entries statement (ordered by name), so equal
// names are neighbours. A row whose name is blank is kept (the name lists hold every row) but
// not offered in the picker.
class AddressEntries {
  public:
    void append(qint64 key, QStringView name, QStringView detail, QStringView phone);
    // Called once after the last append: marks names that are shared and trims the storage.
    void finish();

    int size() const { return int(m_keys.size()); }
    qint64 key(int index) const { return m_keys[size_t(index)]; }
    QStringView name(int index) const { return text(3 * size_t(index)); }
    QStringView detail(int index) const { return text(3 * size_t(index) + 1); }
    QStringView phone(int index) const { return text(3 * size_t(index) + 2); }
    // The letter (or digit) the letter filter files the name under; 0 for none.
    char initial(int index) const { return m_initials[size_t(index)]; }
    quint64 sketch(int index) const { return m_sketches[size_t(index)]; }
    bool offered(int index) const { return m_flags[size_t(index)] & kOffered; }
    // Whether another entry has the same name (its label then tells them apart).
    bool sharesName(int index) const { return m_flags[size_t(index)] & kShared; }

    // The text of entry `index` in the picker: the name, followed by the detail and the last
    // four digits of the telephone when another entry has the same name.
    QString label(int index) const;
    // The length of label(index) without making it.
    qsizetype labelLength(int index) const;

    // The sketch bits a text needs: an entry can contain or spell `typed` only if its sketch
    // has all of them.
    static quint64 sketchOf(QStringView typed);

  private:
    enum Flag : std::uint8_t { kOffered = 1, kShared = 2 };
    QStringView text(size_t part) const {
        return QStringView(m_text.data() + m_starts[part], m_starts[part + 1] - m_starts[part]);
    }

    std::vector<qint64> m_keys;
    std::vector<char16_t> m_text;
    std::vector<quint32> m_starts{0};  // three parts per entry, each ending where the next starts
    std::vector<char> m_initials;
    std::vector<quint64> m_sketches;
    std::vector<std::uint8_t> m_flags;
};
