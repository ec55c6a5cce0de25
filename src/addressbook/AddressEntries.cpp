#include "addressbook/AddressEntries.h"

#include <algorithm>
#include <string_view>

#include "addressbook/Pinyin.h"

namespace {

// A sketch: one bit per ASCII letter (case aside), one per digit, and 28 bits shared by every
// other character, chosen by its lower-cased, case-folded code. The spelling sketch sets the
// letter bits of the readings too.
constexpr int kDigitBits = 26;
constexpr int kOtherBits = 36;
constexpr int kOtherBitCount = 64 - kOtherBits;

quint64 letterBit(char16_t letter) {
    return quint64(1) << (letter - u'a');
}

quint64 characterBit(QChar character) {
    if (character.isSurrogate()) return 0;  // folded only in pairs; left out on both sides
    const char16_t c = character.toLower().toCaseFolded().unicode();
    if (c >= u'a' && c <= u'z') return letterBit(c);
    if (c >= u'0' && c <= u'9') return quint64(1) << (kDigitBits + (c - u'0'));
    return quint64(1) << (kOtherBits + c % kOtherBitCount);
}

quint64 readingBits(QLatin1StringView reading) {
    quint64 bits = 0;
    for (const char letter : reading) bits |= letterBit(char16_t(letter));
    return bits;
}

quint64 pairBit(char16_t first, char16_t second) {
    return quint64(1) << ((quint32(first) * 0x9E3779B1u + quint32(second) * 0x85EBCA77u) >> 26);
}

// A spelling starting at a character takes either at least two letters of its reading, or
// its first letter and then what the next character starts with.
quint64 beginningsOf(QStringView name) {
    quint64 bits = 0;
    for (qsizetype at = 0; at < name.size(); ++at) {
        const QLatin1StringView reading = NameReadingAt(name, at);
        const char16_t start = NameSpellingStartAt(name, at).unicode();
        if (reading.size() >= 2) bits |= pairBit(start, reading.at(1).unicode());
        if (at + 1 < name.size())
            bits |= pairBit(start, NameSpellingStartAt(name, at + 1).unicode());
    }
    return bits;
}

// Whether comparing `text` with case set aside can differ from comparing it as it is.
bool hasCase(QStringView text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.isSurrogate() || c.toCaseFolded() != c; });
}

}  // namespace

quint64 AddressEntries::beginningOf(QStringView typed) {
    return typed.size() < 2 ? 0 : pairBit(typed.at(0).unicode(), typed.at(1).unicode());
}

quint64 AddressEntries::sketchOf(QStringView typed) {
    quint64 bits = 0;
    for (const QChar c : typed) bits |= characterBit(c);
    return bits;
}

void AddressEntries::append(qint64 key, QStringView name, QStringView detail, QStringView phone) {
    m_keys.push_back(key);
    quint64 sketch = 0;
    bool cased = false;
    for (QStringView part : {name, detail, phone}) {
        m_text.insert(m_text.end(), part.utf16(), part.utf16() + part.size());
        m_starts.push_back(quint32(m_text.size()));
        sketch |= sketchOf(part);
        cased = cased || hasCase(part);
    }
    m_sketches.push_back(sketch);
    quint64 spelling = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QLatin1StringView reading = NameReadingAt(name, i);
        spelling |= reading.isEmpty() ? characterBit(name.at(i)) : readingBits(reading);
    }
    m_spellingSketches.push_back(spelling);
    m_beginnings.push_back(beginningsOf(name));
    const QChar initial = NameInitial(name);
    m_initials.push_back(char(initial.toLatin1()));
    m_flags.push_back(std::uint8_t((name.trimmed().isEmpty() ? 0 : kOffered) |
                                   (cased ? kCased : 0)));
}

bool AddressEntries::uncasedContains(int index, QStringView folded) const {
    const size_t part = 3 * size_t(index);
    const quint32 start = m_starts[part];
    // A plain scan: the texts are a few dozen characters, too short for a cleverer search to
    // pay for its preparation.
    const std::u16string_view all(m_text.data() + start, m_starts[part + 3] - start);
    const std::u16string_view sought(folded.utf16(), size_t(folded.size()));
    const size_t nameEnd = m_starts[part + 1] - start;
    const size_t detailEnd = m_starts[part + 2] - start;
    // The three texts lie back to back: a find that runs from one into the next is none.
    for (size_t at = all.find(sought); at != all.npos; at = all.find(sought, at + 1)) {
        const size_t end = at + sought.size();
        if ((at < nameEnd && end > nameEnd) || (at < detailEnd && end > detailEnd)) continue;
        return true;
    }
    return false;
}

void AddressEntries::finish() {
    // The rows come ordered by name: equal names are neighbours.
    for (int i = 1; i < size(); ++i) {
        if (name(i) == name(i - 1)) {
            m_flags[size_t(i)] |= kShared;
            m_flags[size_t(i) - 1] |= kShared;
        }
    }
    m_keys.shrink_to_fit();
    m_text.shrink_to_fit();
    m_starts.shrink_to_fit();
    m_initials.shrink_to_fit();
    m_sketches.shrink_to_fit();
    m_spellingSketches.shrink_to_fit();
    m_beginnings.shrink_to_fit();
    m_flags.shrink_to_fit();
}

QString AddressEntries::label(int index) const {
    const QString name = this->name(index).toString();
    if (!sharesName(index)) return name;
    QStringList parts;
    if (!detail(index).isEmpty()) parts << detail(index).toString();
    if (!phone(index).isEmpty()) parts << QStringLiteral("…") + phone(index).right(4).toString();
    return parts.isEmpty()
               ? name
               : name + QStringLiteral("（") + parts.join(QLatin1Char(' ')) + QStringLiteral("）");
}

qsizetype AddressEntries::labelLength(int index) const {
    const qsizetype name = this->name(index).size();
    if (!sharesName(index)) return name;
    const qsizetype detail = this->detail(index).size();
    const qsizetype phone = std::min<qsizetype>(this->phone(index).size(), 4);
    if (detail == 0 && phone == 0) return name;
    return name + 2 + detail + (phone ? phone + 1 : 0) + (detail && phone ? 1 : 0);
}
