#include "postal/addresses/BlockRanges.h"

#include "postal/addresses/AddressText.h"
#include "postal/addresses/BlockNumbers.h"

#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace BlockRanges {

namespace {

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

}  // namespace BlockRanges
