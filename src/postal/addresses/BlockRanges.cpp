#include "postal/addresses/BlockRanges.h"

#include "postal/addresses/AddressText.h"
#include "postal/addresses/BlockNumbers.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace BlockRanges {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The unit written at text[i], longest first; its length, or 0.
qsizetype unitAt(QStringView text, qsizetype i, Unit *unit)
{
    struct Word {
        QStringView word;
        Unit unit;
    };
    static const Word words[] = {{u"丁目", Unit::Chome}, {u"番地", Unit::Banchi}, {u"地割", Unit::Chiwari},
                                 {u"丁", Unit::Chome},   {u"番", Unit::Banchi},   {u"号", Unit::Go},
                                 {u"条", Unit::Jo},      {u"線", Unit::Sen},      {u"区", Unit::Ku}};
    const QStringView rest = text.mid(i);
    for (const Word &w : words) {
        if (rest.startsWith(w.word)) {
            *unit = w.unit;
            return w.word.size();
        }
    }
    return 0;
}

// What stands between the numbers of one address and says nothing of a unit.
bool isSeparator(QChar c)
{
    return c == u'-' || c == u'の' || c == u'ノ' || c == u'之';
}

// A number of an address begins here: digits, after a "第" or not, not
// followed by a kana or kanji that is no unit, as in a place whose name
// has a numeral ("八幡", "七瀬" read as "8幡", "7瀬").
bool numberAt(QStringView text, qsizetype i)
{
    if (i < text.size() && text.at(i) == u'第')
        ++i;
    if (i >= text.size() || !isDigit(text.at(i)))
        return false;
    while (i < text.size() && isDigit(text.at(i)))
        ++i;
    Unit unit;
    return i == text.size() || text.at(i).unicode() < 0x3000 || unitAt(text, i, &unit) > 0 || isSeparator(text.at(i))
           || text.at(i) == u'〜' || text.at(i) == u'以';
}

// Numbers from text[*i] on, each with its unit, until something else comes.
QList<Number> numbersAt(QStringView text, qsizetype *i)
{
    QList<Number> numbers;
    while (numberAt(text, *i) && numbers.size() < 8) {
        if (text.at(*i) == u'第')
            ++*i;
        Number n;
        while (*i < text.size() && isDigit(text.at(*i))) {
            n.value = std::min(n.value * 10 + (text.at(*i).unicode() - u'0'), 9'999'999);
            ++*i;
        }
        if (const qsizetype length = unitAt(text, *i, &n.unit))
            *i += length;
        else if (*i < text.size() && isSeparator(text.at(*i)) && numberAt(text, *i + 1))
            ++*i;
        numbers.append(n);
    }
    return numbers;
}

qsizetype placeEnd(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && !numberAt(text, i))
        ++i;
    return i;
}

namespace {

bool sameKind(Unit a, Unit b)
{
    return a == Unit::None || b == Unit::None || a == b;
}

// -1, 0 or 1 as a is before, alike on their common length, or after b.
int compare(const QList<Number> &a, const QList<Number> &b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        if (a.at(i).value != b.at(i).value)
            return a.at(i).value < b.at(i).value ? -1 : 1;
    }
    return 0;
}

enum class Inside { No, Maybe, Yes };

Inside within(const Part &p, const QList<Number> &a)
{
    const qsizetype depth = std::max(p.low.size(), p.high.size());
    for (qsizetype i = 0; i < std::min(depth, a.size()); ++i) {
        const Unit unit = i < p.low.size() ? p.low.at(i).unit : p.high.at(i).unit;
        if (!sameKind(a.at(i).unit, unit))
            return Inside::No;
    }
    if (p.eachLevel) {
        for (qsizetype i = 0; i < depth; ++i) {
            if (i >= a.size())
                return Inside::Maybe;
            if (a.at(i).value < p.low.at(i).value || a.at(i).value > p.high.at(i).value)
                return Inside::No;
        }
        return Inside::Yes;
    }
    const int low = compare(a, p.low), high = compare(a, p.high);
    if (low < 0 || high > 0)
        return Inside::No;
    if ((low == 0 && a.size() < p.low.size()) || (high == 0 && a.size() < p.high.size()))
        return Inside::Maybe;
    return Inside::Yes;
}

}  // namespace

Written written(QStringView afterTown)
{
    Written w;
    const QString text = AddressText::comparable(afterTown.toString());
    qsizetype i = placeEnd(text);
    w.place = QStringView(text).first(i).toString();
    while (w.place.startsWith(u'-'))
        w.place.remove(0, 1);
    w.numbers = numbersAt(text, &i);
    w.after = text.mid(i);
    while (w.after.startsWith(u'-'))
        w.after.remove(0, 1);
    return w;
}

namespace {

// A place named weighs by its length, so that "増幌浜" is told from "増幌";
// one that names only what the others leave weighs a little less.
int placeWeight(const QString &place, bool otherwise = false)
{
    return place.isEmpty() ? 0 : 10 * int(std::min<qsizetype>(place.size(), 90)) + (otherwise ? 0 : 5);
}

}  // namespace

Fit fit(const Note &note, const Written &w)
{
    Fit f;
    for (const Part &p : note.parts) {
        if (p.unitOnly != Unit::None) {
            if (w.place.isEmpty() && !w.numbers.isEmpty() && w.numbers.first().unit != Unit::None
                && sameKind(w.numbers.first().unit, p.unitOnly))
                f.score = std::max(f.score, 5);
            continue;
        }
        const bool placed = p.place.isEmpty() ? w.place.isEmpty() : w.place.startsWith(p.place);
        if (!placed)
            continue;
        if (p.low.isEmpty()) {
            f.score = std::max(f.score, placeWeight(p.place, p.placeOtherwise));
            continue;
        }
        int inside = 0;
        for (const QString &place : p.within) {
            if (w.after.startsWith(place))
                inside = std::max(inside, placeWeight(place));
        }
        const int score = 1000 * int(std::max(p.low.size(), p.high.size())) + placeWeight(p.place) + inside;
        switch (w.numbers.isEmpty() ? Inside::Maybe : within(p, w.numbers)) {
        case Inside::Yes:
            f.score = std::max(f.score, score);
            break;
        case Inside::Maybe:
            f.maybe = std::max(f.maybe, score);
            break;
        case Inside::No:
            break;
        }
    }
    return f;
}

}  // namespace BlockRanges
