#include "addressbook/Pinyin.h"

#include <QStringDecoder>
#include <array>
#include <string_view>

#include "PinyinTable.inc"

namespace {

struct Span {
    char letter;
    int from;
    int to;
};

// The table of spans, bounds included; the spans follow one another without gaps.
constexpr Span kSpans[] = {
    {'A', 0xB0A1, 0xB0C4}, {'B', 0xB0C5, 0xB2C0}, {'C', 0xB2C1, 0xB4ED}, {'D', 0xB4EE, 0xB6E9},
    {'E', 0xB6EA, 0xB7A1}, {'F', 0xB7A2, 0xB8C0}, {'G', 0xB8C1, 0xB9FD}, {'H', 0xB9FE, 0xBBF6},
    {'J', 0xBBF7, 0xBFA5}, {'K', 0xBFA6, 0xC0AB}, {'L', 0xC0AC, 0xC2E7}, {'M', 0xC2E8, 0xC4C2},
    {'N', 0xC4C3, 0xC5B5}, {'O', 0xC5B6, 0xC5BD}, {'P', 0xC5BE, 0xC6D9}, {'Q', 0xC6DA, 0xC8BA},
    {'R', 0xC8BB, 0xC8F5}, {'S', 0xC8F6, 0xCBF9}, {'T', 0xCBFA, 0xCDD9}, {'W', 0xCDDA, 0xCEF3},
    {'X', 0xCEF4, 0xD1B8}, {'Y', 0xD1B9, 0xD4D0}, {'Z', 0xD4D1, 0xD7F9},
};

// The letter of every BMP character whose GBK code lies in a span, built once from the GBK
// decoder: a look-up per name keeps the letter filter instant over a hundred thousand names,
// where converting each name's first character to GBK would not.
const std::array<char, 0x10000>& initialsByCharacter() {
    static const std::array<char, 0x10000> table = [] {
        std::array<char, 0x10000> letters{};
        QStringDecoder decoder("GBK");
        for (const Span& span : kSpans) {
            for (int code = span.from; code <= span.to; ++code) {
                const char bytes[2] = {char(code >> 8), char(code & 0xFF)};
                decoder.resetState();
                const QString decoded = decoder.decode(QByteArrayView(bytes, 2));
                if (decoded.size() != 1 || decoded.front() == QChar::ReplacementCharacter) continue;
                letters[decoded.front().unicode()] = span.letter;
            }
        }
        return letters;
    }();
    return table;
}

}  // namespace

QChar GetPinyinInitial(QChar character) {
    if (character.isSurrogate()) return QChar();
    const char letter = initialsByCharacter()[character.unicode()];
    return letter ? QChar::fromLatin1(letter) : QChar();
}

QLatin1StringView PinyinOf(QChar character) {
    const char32_t code = character.unicode();
    if (code < kPinyinFirst || code > kPinyinLast) return {};
    const std::string_view reading = kPinyinSyllables[kPinyinSyllableOf[code - kPinyinFirst]];
    return QLatin1StringView(reading.data(), qsizetype(reading.size()));
}

namespace {

// Surnames whose reading differs from the one the character has as a word.
constexpr std::pair<char16_t, const char*> kSurnameReadings[] = {
    {u'单', "shan"}, {u'解', "xie"},  {u'仇', "qiu"},   {u'查', "zha"},  {u'区', "ou"},
    {u'乐', "yue"},  {u'曾', "zeng"}, {u'朴', "piao"},  {u'覃', "qin"},  {u'缪', "miao"},
    {u'盖', "ge"},   {u'秘', "bi"},   {u'种', "chong"}, {u'召', "shao"}, {u'繁', "po"},
    {u'员', "yun"},  {u'翟', "zhai"}, {u'尉', "yu"},    {u'黑', "he"},   {u'折', "she"},
    {u'句', "gou"},  {u'薄', "bo"},
};

}  // namespace

QLatin1StringView SurnamePinyinOf(QChar character) {
    for (const auto& [surname, reading] : kSurnameReadings)
        if (character.unicode() == surname) return QLatin1StringView(reading);
    return PinyinOf(character);
}

QChar NameInitial(QStringView name) {
    if (name.isEmpty()) return QChar();
    const QChar first = name.front();
    if (first.isDigit() && first.unicode() < 128) return first;
    if (first.unicode() < 128 && first.isLetter()) return first.toUpper();
    const QLatin1StringView reading = SurnamePinyinOf(first);
    return reading.isEmpty() ? QChar() : QChar(reading.front()).toUpper();
}

QLatin1StringView NameReadingAt(QStringView name, qsizetype at) {
    return at == 0 ? SurnamePinyinOf(name.at(at)) : PinyinOf(name.at(at));
}

namespace {

// What typing a character starts with: the first letter of its reading, or the character
// itself in lower case when it has none. Built once for every UTF-16 code.
const std::array<char16_t, 0x10000>& spellingStarts() {
    static const std::array<char16_t, 0x10000> table = [] {
        std::array<char16_t, 0x10000> starts{};
        for (char32_t code = 0; code < 0x10000; ++code) {
            const QChar character{char16_t(code)};
            const QLatin1StringView reading = PinyinOf(character);
            starts[code] = reading.isEmpty() ? character.toLower().unicode()
                                             : char16_t(reading.front().unicode());
        }
        return starts;
    }();
    return table;
}

// The readings are looked up per character as the spelling reaches it: most starting
// characters fail on the first typed letter, so most readings are never looked up.
bool spellsFrom(QStringView typed, QStringView name, qsizetype at) {
    if (typed.isEmpty()) return true;
    if (at >= name.size()) return false;
    const QLatin1StringView reading = NameReadingAt(name, at);
    if (reading.isEmpty()) {
        if (spellingStarts()[name.at(at).unicode()] != typed.front()) return false;
        return spellsFrom(typed.mid(1), name, at + 1);
    }
    // The longest agreeing part of the reading first: "zhangsan" takes all of "zhang".
    qsizetype agree = 0;
    while (agree < reading.size() && agree < typed.size() && reading.at(agree) == typed.at(agree))
        ++agree;
    for (qsizetype used = agree; used >= 1; --used)
        if (spellsFrom(typed.mid(used), name, at + 1)) return true;
    return false;
}

}  // namespace

QChar NameSpellingStartAt(QStringView name, qsizetype at) {
    if (at > 0) return QChar(spellingStarts()[name.at(at).unicode()]);
    const QLatin1StringView reading = SurnamePinyinOf(name.at(0));
    return reading.isEmpty() ? name.at(0).toLower() : QChar(reading.front());
}

bool SpellsPartOf(QStringView typed, QStringView name) {
    if (typed.isEmpty() || name.isEmpty()) return false;
    // Most characters cannot start the spelling at all: what typing them starts with is not
    // the first typed character. Only where it is does the spelling go on.
    const QChar first = typed.front();
    for (qsizetype at = 0; at < name.size(); ++at)
        if (NameSpellingStartAt(name, at) == first && spellsFrom(typed, name, at)) return true;
    return false;
}

QStringList NamesWithInitial(const QStringList& names, QChar letter) {
    QStringList result;
    if (letter.isNull()) return result;
    for (const QString& name : names) {
        if (NameInitial(name) == letter) result.append(name);
    }
    return result;
}

QString FilterByInitials(const QStringList& names, QChar letter) {
    return NamesWithInitial(names, letter).join(QChar(13));
}
