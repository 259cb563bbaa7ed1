#include "postal/addresses/AddressMatch.h"

#include "postal/addresses/AddressMatchParts.h"

#include "postal/addresses/AddressText.h"
#include "postal/addresses/BlockRanges.h"
#include "postal/dictionary/PostalDictionary.h"

#include <QHash>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace AddressMatch {

namespace {

QString zipText(qint64 zip)
{
    return AddressText::formatZip(QString::number(zip).rightJustified(7, u'0'));
}

// What a town's notes say of one of its codes: the notes as written, to be
// shown beside it, and how they fit the blocks written after the town.
struct Noted {
    QString notes;
    BlockRanges::Fit fit;
    bool otherwise = false;  // "（その他）": the town's addresses the others leave
};

QHash<qint64, Noted> notedCodes(const QList<PostalDictionary::Blocks> &blocks, const BlockRanges::Written &written)
{
    QHash<qint64, Noted> noted;
    for (const PostalDictionary::Blocks &b : blocks) {
        Noted &n = noted[b.zip];
        if (!n.notes.contains(b.note))
            n.notes += b.note;
        const BlockRanges::Note note = BlockRanges::parse(b.note);
        n.otherwise = n.otherwise || note.otherwise;
        const BlockRanges::Fit f = BlockRanges::fit(note, written);
        n.fit.score = std::max(n.fit.score, f.score);
        n.fit.maybe = std::max(n.fit.maybe, f.maybe);
    }
    return noted;
}

// Of codes with notes, those the blocks written pick: the most specific note
// that surely fits decides, one that may fit more specifically stays a
// choice beside it; where none fits, the codes of the other addresses
// ("（その他）") serve.
bool picked(const QList<Noted> &all, const Noted &one)
{
    int sure = 0, maybe = 0;
    bool otherwise = false;
    for (const Noted &n : all) {
        sure = std::max(sure, n.fit.score);
        maybe = std::max(maybe, n.fit.maybe);
        otherwise = otherwise || n.otherwise;
    }
    if (sure > 0)
        return one.fit.score == sure || one.fit.maybe > sure;
    if (maybe > 0)
        return one.fit.maybe > 0;
    return !otherwise || one.otherwise;
}

bool blocksWritten(const BlockRanges::Written &w)
{
    return !w.place.isEmpty() || !w.numbers.isEmpty();
}

// A place the text fits, with where its town lies in the comparable text.
struct Found {
    int area = 0;
    qint64 zip = 0;
    QString townKey, townName;
    qsizetype townStart = -1, townEnd = -1;  // -1: no town, the city's catch-all
    Certainty certainty = Certainty::Town;
    std::optional<Noted> noted{};
    bool blocksWritten = false;
};

// A place found without its town: a catch-all code, a business's own.
Found placeOnly(int area, qint64 zip, Certainty certainty)
{
    Found f;
    f.area = area;
    f.zip = zip;
    f.certainty = certainty;
    return f;
}

struct Text {
    QString original;  // as typed, without a postal code written in front
    AddressText::Key key;
    qsizetype cityEnd = 0;
};

// The town of an area the text names, and its codes narrowed by what
// follows it; the city's catch-all code when no town fits.
QList<Found> inArea(PostalDictionary &d, int area, const Text &t, qint64 hint)
{
    const QStringView text(t.key.text);
    const QStringView rest = text.mid(t.cityEnd);
    QList<qsizetype> starts;
    if (d.area(area).city.startsWith(u"京都市"_s)) {
        for (const qsizetype end : afterStreetDesignations(rest))
            starts.append(t.cityEnd + end);
    }
    starts.append(t.cityEnd);
    for (qsizetype start : std::as_const(starts)) {
        start += AddressText::azaLength(text.mid(start));
        const std::optional<PostalDictionary::Match> town = d.town(area, text.mid(start));
        if (!town || town->codes.isEmpty())
            continue;
        const qsizetype end = start + town->length;
        const QString after = t.key.text.mid(end);
        Found base{area, 0, town->key, town->codes.first().town, start, end, Certainty::Town};
        if (const std::optional<qint64> floor = d.buildingZip(area, town->key, after)) {
            base.zip = *floor;
            return {base};
        }
        QList<PostalDictionary::Code> codes = town->codes;
        const BlockRanges::Written written = BlockRanges::written(after);
        const QHash<qint64, Noted> noted = town->noted ? notedCodes(d.blocks(area, town->key), written) : QHash<qint64, Noted>();
        const bool given = std::any_of(codes.cbegin(), codes.cend(), [&](const PostalDictionary::Code &c) { return c.zip == hint; });
        // Where the notes tell the town's codes apart, the blocks written
        // pick; a code of the town written with it is the writer's choice.
        if (codes.size() > 1 && !given && !noted.isEmpty() && blocksWritten(written)) {
            const QList<Noted> all = noted.values();
            codes.removeIf([&](const PostalDictionary::Code &c) {
                return noted.contains(c.zip) && !picked(all, noted.value(c.zip));
            });
        }
        QList<Found> found;
        for (const PostalDictionary::Code &c : std::as_const(codes)) {
            Found f = base;
            f.zip = c.zip;
            f.townName = c.town;
            if (const auto n = noted.constFind(c.zip); n != noted.cend() && !given) {
                f.noted = *n;
                f.blocksWritten = blocksWritten(written);
            }
            found.append(f);
        }
        return found;
    }
    QList<Found> found;
    for (const PostalDictionary::Code &c : d.townCodes(area, QString()))
        found.append(placeOnly(area, c.zip, Certainty::CatchAll));
    return found;
}

// The dictionary's prefecture, city and town, with what was typed between
// the city and the town (a 大字, a Kyoto street) and after the town.
QString completed(PostalDictionary &d, const Text &t, const Found &f)
{
    const PostalDictionary::Area a = d.area(f.area);
    const qsizetype cityEnd = t.key.originalEnd(t.cityEnd);
    if (f.townStart < 0)
        return a.pref + a.city + t.original.mid(cityEnd);
    const QString between =
        t.original.mid(cityEnd, t.key.originalStart(f.townStart, t.original.size()) - cityEnd).trimmed();
    return a.pref + a.city + between + f.townName + t.original.mid(t.key.originalEnd(f.townEnd));
}

// "2-8-1-10" → "2", "2-8", "2-8-1", "2-8-1-10".
QStringList numberPrefixes(const QString &numbers)
{
    QStringList prefixes;
    if (numbers.isEmpty())
        return prefixes;
    const QStringList parts = numbers.split(u'-');
    for (qsizetype i = 1; i <= parts.size(); ++i)
        prefixes << parts.first(i).join(u'-');
    return prefixes;
}

bool numbersStartWith(const QString &numbers, const QString &prefix)
{
    return numbers == prefix || numbers.startsWith(prefix + u'-');
}

// A place no town row holds but a business's own row does ("堀川通花屋町下る
// 本願寺門前町"): the business's code, first among the choices where only
// the city's catch-all code was found.
QList<AddressCandidate> onlyBusinessesHold(PostalDictionary &d, const Text &t, const QList<int> &areas,
                                           const QList<Found> &found, const QString &company)
{
    QList<AddressCandidate> held;
    if (std::any_of(found.cbegin(), found.cend(), [](const Found &f) { return f.townEnd >= 0; }))
        return held;
    const QString rest = t.key.text.mid(t.cityEnd);
    const QString place = AddressText::streetForm(rest.mid(AddressText::azaLength(rest)));
    for (const int area : areas) {
        for (const PostalDictionary::Business &b : d.businessesPlaced(area, place)) {
            const Found at = placeOnly(area, b.zip, Certainty::Business);
            const AddressCandidate c{zipText(b.zip), completed(d, t, at), company.trimmed().isEmpty() ? b.name : company,
                                     Certainty::Business, QString()};
            if (!held.contains(c))
                held.append(c);
        }
    }
    return held;
}

// Of the places found, the code's own; failing that, those in the code's
// city ("〒260-0013 中央区富士見": 千葉市's, not 相模原市's).
void narrowByCode(PostalDictionary &d, const QString &digits, QList<Found> *found)
{
    const qint64 zip = digits.toLongLong();
    QList<PostalDictionary::Entry> codeRows;
    auto inCodesCity = [&](const Found &f) {
        if (codeRows.isEmpty())
            codeRows = d.byZip(digits);
        const PostalDictionary::Area a = d.area(f.area);
        return std::any_of(codeRows.cbegin(), codeRows.cend(),
                           [&](const PostalDictionary::Entry &e) { return e.pref == a.pref && e.city == a.city; });
    };
    if (std::any_of(found->cbegin(), found->cend(), [&](const Found &f) { return f.zip == zip; }))
        found->removeIf([&](const Found &f) { return f.zip != zip; });
    else if (std::any_of(found->cbegin(), found->cend(), inCodesCity))
        found->removeIf([&](const Found &f) { return !inCodesCity(f); });
}

// The business the company names, in the town typed and at the blocks
// typed if any: its own code.
std::optional<AddressCandidate> businessNamed(PostalDictionary &d, const Text &t, const QList<int> &areas,
                                              const QList<Found> &found, const QString &company)
{
    const QString nameKey = AddressText::companyKey(company);
    if (nameKey.isEmpty())
        return std::nullopt;
    const QString rest = t.key.text.mid(t.cityEnd);
    const QString town = rest.mid(AddressText::azaLength(rest));
    for (const int area : areas) {
        for (const PostalDictionary::Business &b : d.businessesNamed(area, nameKey)) {
            if (!town.startsWith(b.townKey))
                continue;
            const QString numbers = AddressText::blockNumbers(town.mid(b.townKey.size()));
            if (numbers.isEmpty() || b.numbers.isEmpty() || numbersStartWith(numbers, b.numbers)) {
                const auto same = std::find_if(found.cbegin(), found.cend(), [&](const Found &f) { return f.area == area; });
                const Found place = same != found.cend() ? *same : placeOnly(area, b.zip, Certainty::CatchAll);
                return AddressCandidate{zipText(b.zip), completed(d, t, place), company, Certainty::Business, QString()};
            }
        }
    }
    return std::nullopt;
}

// The businesses listed at the blocks typed after a town found.
void listedAt(PostalDictionary &d, const Text &t, const Found &f, QList<AddressCandidate> *alsoHere)
{
    const QString numbers = AddressText::blockNumbers(t.key.text.mid(f.townEnd));
    const PostalDictionary::Area a = d.area(f.area);
    for (const PostalDictionary::Business &b : d.businessesAt(f.area, f.townKey, numberPrefixes(numbers))) {
        const AddressCandidate listed{zipText(b.zip), a.pref + a.city + b.town + b.street, b.name,
                                      Certainty::Business, QString()};
        if (!alsoHere->contains(listed))
            alsoHere->append(listed);
    }
}

}  // namespace

// Where the town begins in a Kyoto address written with its street: after
// each "上る", "下ル", "東入", "西入る"… in turn.
QList<qsizetype> afterStreetDesignations(QStringView rest)
{
    static const QStringList markers{u"上る"_s, u"上ル"_s, u"上がる"_s, u"上ガル"_s, u"下る"_s, u"下ル"_s,
                                     u"下がる"_s, u"下ガル"_s, u"東入る"_s, u"東入ル"_s, u"東入"_s, u"西入る"_s,
                                     u"西入ル"_s, u"西入"_s};
    QList<qsizetype> ends;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        qsizetype longest = 0;
        for (const QString &m : markers) {
            if (m.size() > longest && rest.mid(i).startsWith(m))
                longest = m.size();
        }
        if (longest > 0) {
            ends.append(i + longest);
            i += longest - 1;
        }
    }
    return ends;
}

AddressAnswer answerOf(QList<AddressCandidate> choices)
{
    AddressAnswer answer;
    answer.certainty = choices.isEmpty()     ? Certainty::NotFound
                       : choices.size() == 1 ? choices.first().certainty
                                             : Certainty::Ambiguous;
    answer.choices = std::move(choices);
    return answer;
}

AddressAnswer byAddress(PostalDictionary &d, const QString &address, const QString &company, bool everything,
                        const QString &given)
{
    AddressText::LeadingZip hint = AddressText::leadingZip(address);
    Text t;
    t.original = address.mid(hint.addressStart);
    if (t.original.trimmed().isEmpty() && !hint.digits.isEmpty())
        return byZip(d, hint.digits, QString(), company);
    if (!given.isEmpty())
        hint.digits = given;
    t.key = AddressText::key(t.original);
    const std::optional<PostalDictionary::Match> city = d.city(t.key.text);
    if (!city) {
        // No city, but a code in front: the code's town may be in the text.
        return hint.digits.isEmpty() || !given.isEmpty() ? AddressAnswer() : byZip(d, hint.digits, t.original, company);
    }
    t.cityEnd = city->length;

    QList<Found> found;
    for (const int area : city->areas)
        found += inArea(d, area, t, hint.digits.toLongLong());
    // Of the cities a name fits, those where the town is found are meant,
    // not those of which only the catch-all code fits.
    if (std::any_of(found.cbegin(), found.cend(), [](const Found &f) { return f.townEnd >= 0; }))
        found.removeIf([](const Found &f) { return f.townEnd < 0; });
    // A town that lies in two wards, split by its blocks ("仙台市小田原", 1〜3
    // 丁目 in 宮城野区, 4〜8丁目 in 青葉区): the blocks written pick the ward.
    if (found.size() > 1 && std::all_of(found.cbegin(), found.cend(), [](const Found &f) { return f.noted && f.blocksWritten; })) {
        QList<Noted> all;
        for (const Found &f : std::as_const(found))
            all.append(*f.noted);
        found.removeIf([&](const Found &f) { return !picked(all, *f.noted); });
    }
    if (!hint.digits.isEmpty())
        narrowByCode(d, hint.digits, &found);
    if (std::optional<AddressCandidate> named = businessNamed(d, t, city->areas, found, company))
        return answerOf({*named});
    QList<AddressCandidate> choices = onlyBusinessesHold(d, t, city->areas, found, company);
    QList<AddressCandidate> alsoHere;
    for (const Found &f : std::as_const(found)) {
        const QString afterTown = f.townEnd < 0 ? QString() : t.original.mid(t.key.originalEnd(f.townEnd));
        const AddressCandidate c{zipText(f.zip), completed(d, t, f), company, f.certainty, afterTown,
                                 f.noted ? f.noted->notes : QString()};
        if (!choices.contains(c))
            choices.append(c);
        if (everything && f.townEnd >= 0)
            listedAt(d, t, f, &alsoHere);
    }
    if (choices.size() == 1)
        choices.first().ranges.clear();  // decided: nothing to choose between
    AddressAnswer answer = answerOf(choices);
    answer.alsoHere = alsoHere;
    return answer;
}

}  // namespace AddressMatch
