#include "addressbook/AddressEntries.h"

#include "addressbook/Pinyin.h"

namespace {

// The sketch: one bit per ASCII letter (present in the text, case aside, or anywhere in the
// pinyin of a character of the name), one per digit, and 28 bits shared by every other
// character, chosen by its lower-cased, case-folded code.
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

}  // namespace

quint64 AddressEntries::sketchOf(QStringView typed) {
    quint64 bits = 0;
    for (const QChar c : typed) bits |= characterBit(c);
    return bits;
}

void AddressEntries::append(qint64 key, QStringView name, QStringView detail, QStringView phone) {
    m_keys.push_back(key);
    quint64 sketch = 0;
    for (QStringView part : {name, detail, phone}) {
        m_text.insert(m_text.end(), part.utf16(), part.utf16() + part.size());
        m_starts.push_back(quint32(m_text.size()));
        sketch |= sketchOf(part);
    }
    for (qsizetype i = 0; i < name.size(); ++i) sketch |= readingBits(NameReadingAt(name, i));
    m_sketches.push_back(sketch);
    const QChar initial = NameInitial(name);
    m_initials.push_back(char(initial.toLatin1()));
    m_flags.push_back(name.trimmed().isEmpty() ? 0 : kOffered);
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
