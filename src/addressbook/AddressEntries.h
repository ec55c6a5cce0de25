#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

// The rows a picker offers, held compactly for a million of them: the row keys, one text
// arena holding each row's name, detail (the sender's company or the customer's contact
// person) and telephone back to back, the name's filing letter and three 64-bit sketches: of
// the characters an entry contains, of those that can spell its name by pinyin, and of the
// pairs such a spelling can begin with, so that a search rejects most entries without looking
// at their text. No entry has a heap allocation of its own.
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
    // The characters of the name, the detail and the telephone (see sketchOf).
    quint64 sketch(int index) const { return m_sketches[size_t(index)]; }
    // The letters of the readings of the name's characters, and its characters without a
    // reading: all that typing can spell the name with.
    quint64 spellingSketch(int index) const { return m_spellingSketches[size_t(index)]; }
    // The pairs of characters a spelling of the name of two or more characters can begin
    // with (see beginningOf).
    quint64 beginnings(int index) const { return m_beginnings[size_t(index)]; }
    bool offered(int index) const { return m_flags[size_t(index)] & kOffered; }
    // Whether any character of the entry has a case (or is half of a surrogate pair): only
    // such entries need the slower comparison that sets case aside.
    bool cased(int index) const { return m_flags[size_t(index)] & kCased; }
    // Whether the name, the detail or the telephone of an entry without cased characters
    // contains `folded` (a typed text, case-folded): one pass over the three texts.
    bool uncasedContains(int index, QStringView folded) const;
    // Whether another entry has the same name (its label then tells them apart).
    bool sharesName(int index) const { return m_flags[size_t(index)] & kShared; }

    // The text of entry `index` in the picker: the name, followed by the detail and the last
    // four digits of the telephone when another entry has the same name.
    QString label(int index) const;
    // The length of label(index) without making it.
    qsizetype labelLength(int index) const;

    // The sketch bits a text needs: an entry can contain `typed` only if its sketch has all of
    // them, and spell it only if its spelling sketch has all of those of `typed` in lower case.
    static quint64 sketchOf(QStringView typed);
    // The bit of the first two characters of `typed` (in lower case) among the beginnings: an
    // entry can be spelled by `typed` only if its beginnings have it. None for a shorter text.
    static quint64 beginningOf(QStringView typed);

  private:
    enum Flag : std::uint8_t { kOffered = 1, kShared = 2, kCased = 4 };
    QStringView text(size_t part) const {
        return QStringView(m_text.data() + m_starts[part], m_starts[part + 1] - m_starts[part]);
    }

    std::vector<qint64> m_keys;
    std::vector<char16_t> m_text;
    std::vector<quint32> m_starts{0};  // three parts per entry, each ending where the next starts
    std::vector<char> m_initials;
    std::vector<quint64> m_sketches;
    std::vector<quint64> m_spellingSketches;
    std::vector<quint64> m_beginnings;
    std::vector<std::uint8_t> m_flags;
};
