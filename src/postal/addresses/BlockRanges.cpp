#include "postal/addresses/BlockRanges.h"

#include "postal/addresses/AddressText.h"

#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace BlockRanges {

namespace {

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

// A unit's levels made alike: a level written with its unit on one side
// only ("１〜１９丁目") has it on both.
void shareUnits(Part *p)
{
    for (qsizetype i = 0; i < std::min(p->low.size(), p->high.size()); ++i) {
        Unit &a = p->low[i].unit, &b = p->high[i].unit;
        if (a == Unit::None)
            a = b;
        else if (b == Unit::None)
            b = a;
    }
}

// Where the right side of "A〜B" begins among A's numbers: at the number of
// its unit ("３丁目１番〜２８２番", "７９９の１〜８６７番地"), else at A's
// beginning when it is as long, else at A's end ("５３６３−７〜８").
qsizetype alignment(const QList<Number> &left, const QList<Number> &right)
{
    const Unit unit = right.first().unit;
    if (unit == Unit::Banchi) {
        for (qsizetype j = 0; j < left.size(); ++j) {
            if (left.at(j).unit != Unit::Chome)
                return j;
        }
    } else if (unit != Unit::None) {
        for (qsizetype j = 0; j < left.size(); ++j) {
            if (left.at(j).unit == unit)
                return j;
        }
    }
    return right.size() >= left.size() ? 0 : left.size() - right.size();
}

// "１〜１９丁目", "５１３３番地２〜５１８７番地", "西５〜８線７９〜１１０番地",
// "２００番以上", "４５０番地以下": the bounds of one item, after its place.
bool boundsOf(QStringView text, Part *p)
{
    QList<QList<Number>> sides;
    bool openEnd = false, openStart = false;
    qsizetype i = 0;
    for (;;) {
        sides.append(numbersAt(text, &i));
        if (i < text.size() && (text.at(i) == u'〜' || text.at(i) == u'~')) {
            ++i;
            while (i < text.size() && !numberAt(text, i))
                ++i;  // the place again: "越中畑６４地割〜越中畑６６地割"
            continue;
        }
        const QStringView rest = text.mid(i);
        openEnd = rest.startsWith(u"以上") || rest.startsWith(u"以降");
        openStart = rest.startsWith(u"以下") || rest.startsWith(u"以内");
        break;
    }
    if (sides.size() > 1 && sides.last().isEmpty()) {
        sides.removeLast();  // "１０００〜": and on
        openEnd = true;
    }
    if (sides.isEmpty() || std::any_of(sides.cbegin(), sides.cend(), [](const QList<Number> &s) { return s.isEmpty(); }))
        return false;
    if (sides.size() == 1) {
        p->low = p->high = sides.first();
        if (openEnd)
            p->high.last().value = INT_MAX;
        if (openStart)
            p->low = {Number{0, p->low.first().unit}};
    } else if (sides.size() == 2) {
        const QList<Number> &left = sides.at(0), &right = sides.at(1);
        p->low = left;
        p->high = left.first(alignment(left, right)) + right;
    } else {
        // Each number ranged apart: the number before a "〜" is a low, the one
        // after it the high of the same level.
        p->eachLevel = true;
        for (qsizetype s = 0; s < sides.size(); ++s) {
            const QList<Number> &side = sides.at(s);
            const bool first = s == 0, last = s == sides.size() - 1;
            if (!first && !last && side.size() != 2)
                return false;
            if (!first)
                p->high.append(side.first());
            for (qsizetype k = first ? 0 : 1; k < side.size(); ++k) {
                p->low.append(side.at(k));
                if (!last && k == side.size() - 1)
                    continue;  // its high comes after the "〜"
                p->high.append(side.at(k));
            }
        }
        if (p->low.size() != p->high.size())
            return false;
    }
    shareUnits(p);
    return true;
}

Unit unitAlone(QStringView item)
{
    Unit unit = Unit::None;
    if (item == u"大字")
        return Unit::Banchi;  // a 大字's addresses are numbered in 番地, its 丁目 are a town's
    return unitAt(item, 0, &unit) == item.size() ? unit : Unit::None;
}

// The text of a note with its remarks in 「」 left out, but for "「その他」";
// a list of what is excepted goes with its remark.
QString withoutRemarks(QStringView text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar open = text.at(i);
        const QChar close = open == u'「' ? u'」' : open == u'〔' ? u'〕' : QChar();
        if (close.isNull()) {
            out += open;
            continue;
        }
        const qsizetype end = text.indexOf(close, i + 1);
        const QStringView remark = text.mid(i + 1, (end < 0 ? text.size() : end) - i - 1);
        if (remark == u"その他")
            out += u"その他"_s;
        i = end < 0 ? text.size() : end;
    }
    return out;
}

// The note's text outside brackets, and the text of each bracket: lists
// of alternatives alike.
QStringList segments(QStringView text)
{
    QStringList out{QString()};
    QString inner;
    int depth = 0;
    for (const QChar c : text) {
        if (c == u'(') {
            if (depth++ == 0)
                continue;
        } else if (c == u')' && depth > 0) {
            if (--depth == 0) {
                out.append(inner);
                inner.clear();
                continue;
            }
        }
        (depth > 0 ? inner : out.first()) += c;
    }
    if (depth > 0)
        out.append(inner);  // a bracket left open: what there is
    return out;
}

// One item of a list into the note: a part, or what it says of the town's
// other addresses.
void addItem(QStringView item, bool afterDot, Note *note)
{
    if (item.isEmpty())
        return;
    if (item.endsWith(u"を除く") || item.endsWith(u"以外")) {
        note->otherwise = true;  // all but what it names
        return;
    }
    if (item == u"その他") {
        note->otherwise = true;
        return;
    }
    Part p;
    if (item.endsWith(u"その他")) {
        p.place = item.chopped(3).toString();
        p.placeOtherwise = true;
        note->parts.append(p);
        return;
    }
    if (const Unit unit = unitAlone(item); unit != Unit::None) {
        p.unitOnly = unit;
        note->parts.append(p);
        return;
    }
    const qsizetype end = placeEnd(item);
    p.place = item.first(end).toString();
    if (end < item.size() && !boundsOf(item.mid(end), &p))
        return;
    if (p.place.isEmpty() && p.low.isEmpty())
        return;
    // What a list leaves unsaid is what the item before it said: "４丁目１〜２番・１０〜２７番",
    // "２丁目６５１、６６２番地", "稲崎平３０２番地・３１５番地".
    const Part *before = note->parts.isEmpty() ? nullptr : &note->parts.last();
    if (before && !before->low.isEmpty() && !p.low.isEmpty()) {
        if (p.place.isEmpty())
            p.place = before->place;
        const qsizetype missing = before->low.size() - p.low.size();
        const bool chome = before->low.first().unit == Unit::Chome && p.low.first().unit != Unit::Chome;
        const qsizetype inherited = afterDot ? missing : chome && missing >= 1 ? 1 : 0;
        if (inherited > 0 && !before->eachLevel && !p.eachLevel) {
            p.low = before->low.first(inherited) + p.low;
            p.high = before->low.first(inherited) + p.high;
        }
    }
    note->parts.append(p);
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

Note parse(QStringView raw)
{
    Note note;
    const QString text = AddressText::comparable(raw.toString());
    if (text.isEmpty()) {
        note.otherwise = true;
        return note;
    }
    const QStringList parts = segments(text);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        Note read;
        const QString plain = withoutRemarks(parts.at(i));
        for (QStringView item : QStringView(plain).tokenize(u'、')) {
            for (QStringView also : item.tokenize(u"及び"_s)) {
                bool afterDot = false;
                for (QStringView alternative : also.tokenize(u'・')) {
                    addItem(alternative, afterDot, &read);
                    afterDot = true;
                }
            }
        }
        // Places in brackets after numbers are within them: "４４地割（当楽、後口山）".
        const bool numbered = i > 0 && !note.parts.isEmpty()
                              && std::all_of(note.parts.cbegin(), note.parts.cend(), [](const Part &p) { return !p.low.isEmpty(); });
        const bool places = !read.parts.isEmpty() && std::all_of(read.parts.cbegin(), read.parts.cend(), [](const Part &p) {
            return p.low.isEmpty() && p.unitOnly == Unit::None && !p.placeOtherwise && !p.place.isEmpty();
        });
        if (numbered && places) {
            for (Part &p : note.parts) {
                for (const Part &place : std::as_const(read.parts))
                    p.within.append(place.place);
            }
        } else {
            note.parts += read.parts;
        }
        note.otherwise = note.otherwise || read.otherwise;
    }
    return note;
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
