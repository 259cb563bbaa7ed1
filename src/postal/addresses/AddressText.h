#pragma once
// Address text as people write it, in the one form the dictionary and every
// query are compared in. Widths, blanks, dashes, the variants of one name
// and the two ways of writing numbers are made one; where each character of
// that form came from in the text as typed is kept, so that what follows a
// matched place can be given back exactly as it was typed.

#include <QList>
#include <QString>

namespace AddressText {

// The comparable form of a text, and for each of its characters the part of
// the original that gave it: [from[i], to[i]).
struct Key {
    QString text;
    QList<qsizetype> from, to;

    // Where the original continues after the first n characters of the form.
    qsizetype originalEnd(qsizetype n) const;
    // Where the original part giving character n begins (the end when n is
    // past the form).
    qsizetype originalStart(qsizetype n, qsizetype originalSize) const;
};

// Half-width letters and digits, full-width katakana, no blanks; every dash
// (and a long-vowel mark after a digit) as "-"; "ヶ", "ヵ" and "ケ" (and
// "が"/"ガ" after anything and before a kanji) as "ケ"; "ノ" between kanji
// as "の"; numbers in kanji ("二十九", "一〇") as digits ("29", "10"), and
// two numbers written apart (by a blank, or in kanji then in digits) kept
// apart by a "-".
Key key(const QString &text);
// Marks after one character beyond this many are left out of its key (as
// Unicode's stream-safe form does), so that a key takes time in proportion
// to the text; whether a text has more.
inline constexpr qsizetype kMostMarks = 30;
bool tooManyMarks(QStringView text);
// A comparable text with Kyoto's street designations written one way:
// "上ル", "上がる" as "上る", "東入ル", "東入る" as "東入"…
QString streetForm(const QString &comparableText);
QString comparable(const QString &text);

// A company's name compared without its legal form: "株式会社", "(株)", "㈱",
// "有限会社" and the like, blanks and widths aside.
QString companyKey(const QString &name);

// The numbers written in a text, in order, joined by "-": "2丁目8番1号" and
// "二丁目８－１" give "2-8-1".
QString blockNumbers(const QString &text);

// How much of a comparable text is a leading "大字" or "字", which addresses
// write before a town and the dictionary leaves out.
qsizetype azaLength(QStringView comparableText);

// How much of a city's name is a district people leave out: "…郡", or the
// island of a Tokyo island town ("八丈島" of "八丈島八丈町"); 0 if none.
qsizetype districtLength(QStringView city);

// The first number of a text in comparable form, or -1 when it does not
// begin with one (after a leading "第").
int leadingNumber(QStringView comparableText);

// A postal code written in front of an address ("〒100-0013 ", "〒1000013",
// "100-0013 "): its seven digits and where the address begins; no digits
// and 0 when there is none.
struct LeadingZip {
    QString digits;
    qsizetype addressStart = 0;
};
LeadingZip leadingZip(const QString &text);

// 〇 to 九, 十, 百 and 千.
bool isKanjiNumeral(char16_t u);

// A run of kanji numerals in digits: "二十九" is 29, "百一" 101; without
// 十, 百 or 千 the digits are read one by one: "一〇" is 10, "〇一" 01.
QString kanjiNumber(QStringView run);

// What may stand between a postal code's digits: blanks, any dash or
// long-vowel mark, "〒".
bool isZipSeparator(QChar c);

// The seven digits of a postal code typed with or without "〒", dashes,
// blanks, in either width; "" when the text is not such a code.
QString zipDigits(const QString &text);

// "NNN-NNNN".
QString formatZip(const QString &digits);

}  // namespace AddressText
