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

// The names of `names`, in list order, whose first character has `letter` as its initial.
// Empty names never match.
QStringList NamesWithInitial(const QStringList& names, QChar letter);

// The same names joined by single carriage returns (code 13), no separator at the end; the
// empty text when nothing matches.
QString FilterByInitials(const QStringList& names, QChar letter);
