#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// The pinyin initial of a Chinese character, from its GBK (code page 936) code: the first-level
// characters of GB 2312 (B0A1 to D7F9) are ordered by pinyin, so 23 spans of codes give the letters
// A to Z without I, U and V.

// The capital letter of the span that holds the character's two-byte GBK code, or a null QChar
// when it has none: a code outside B0A1..D7F9, a character that GBK encodes in one byte (ASCII
// letters, digits, punctuation) or cannot encode (including a lone surrogate).
QChar GetPinyinInitial(QChar character);

// The pinyin reading (lower-case ASCII, no tone) of a character of the Han blocks U+3400..U+4DBF
// and U+4E00..U+9FFF, from a table made from ICU's readings when the program is built; the empty
// text for any other character and for the few Han characters without a reading.
QLatin1StringView PinyinOf(QChar character);

// The reading of `character` as the first character of a personal name: a surname that is read
// differently from the common word (单 shan, 解 xie, 曾 zeng ...) gets its surname reading.
QLatin1StringView SurnamePinyinOf(QChar character);

// The key a name is filed under by the letter filter: the capital initial of its first
// character's (surname) reading, a Latin letter as its capital, a digit as itself; a null QChar
// for anything else (an empty name, punctuation, a character without a reading).
QChar NameInitial(QStringView name);

// The reading of the character at `at` of a name: the first character is read as a surname
// (empty for a character without a reading).
QLatin1StringView NameReadingAt(QStringView name, qsizetype at);

// What typing the character at `at` of a name starts with: the first letter of its reading
// (the surname reading for the first character), or the character itself in lower case.
QChar NameSpellingStartAt(QStringView name, qsizetype at);

// Whether `typed` (lower case) spells consecutive characters of `name`, starting at any of them,
// by their readings: each character by any leading part of its reading ("z", "zh", "zhang"), a
// character without a reading by itself, case aside. "zs", "zsan", "zhangsan" and "san" all
// spell part of 张三.
bool SpellsPartOf(QStringView typed, QStringView name);

// The names of `names`, in list order, filed under `letter` (see NameInitial). Empty names never
// match.
QStringList NamesWithInitial(const QStringList& names, QChar letter);

// The same names joined by single carriage returns (code 13), no separator at the end; the
// empty text when nothing matches.
QString FilterByInitials(const QStringList& names, QChar letter);
