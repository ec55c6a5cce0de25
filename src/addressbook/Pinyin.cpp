#include "addressbook/Pinyin.h"

#include <QStringDecoder>
#include <array>

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

QStringList NamesWithInitial(const QStringList& names, QChar letter) {
    QStringList result;
    if (letter.isNull()) return result;
    for (const QString& name : names) {
        if (name.isEmpty()) continue;
        if (GetPinyinInitial(name.front()) == letter) result.append(name);
    }
    return result;
}

QString FilterByInitials(const QStringList& names, QChar letter) {
    return NamesWithInitial(names, letter).join(QChar(13));
}
