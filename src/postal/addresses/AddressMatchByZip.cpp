#include "postal/addresses/AddressMatch.h"

#include "postal/addresses/AddressMatchParts.h"
#include "postal/addresses/AddressText.h"
#include "postal/dictionary/PostalDictionary.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace AddressMatch {

namespace {

// Where the comparable text goes on after the city of a row, written whole
// or from any of its parts ("千代田区", "千葉市中央区", "東京都千代田区",
// "榛東村", "群馬県榛東村"); 0 when it does not begin with it.
qsizetype afterCity(const QString &text, const PostalDictionary::Entry &row)
{
    QStringList units{row.pref};
    const QString &city = row.city;
    const qsizetype district = AddressText::districtLength(city);
    const qsizetype ward = city.endsWith(u'区') ? city.lastIndexOf(u'市') : -1;
    if (district > 0)
        units << city.left(district) << city.mid(district);
    else if (ward > 0 && ward + 1 < city.size())
        units << city.left(ward + 1) << city.mid(ward + 1);
    else
        units << city;
    QStringList names{units.first() + units.last()};
    for (qsizetype i = units.size() - 1; i >= 0; --i)
        names << units.mid(i).join(QString());
    qsizetype longest = 0;
    for (const QString &name : std::as_const(names)) {
        const QString key = AddressText::comparable(name);
        if (key.size() > longest && text.startsWith(key))
            longest = key.size();
    }
    return longest;
}

// Candidates of the code's rows whose town the text names after its city,
// written from any of its parts or alone ("霞が関1-3-2", "千代田区霞ヶ関１－３－２",
// "豊田市トヨタ町1"; in Kyoto, after a street too), or that the text follows
// with only the numbers after the town ("1-3-2", "三丁目4"; not a name that
// begins with a numeral: "千代田区", "二番町").
template <typename Candidate>
QList<AddressCandidate> locatedInRows(const QList<PostalDictionary::Entry> &rows, const AddressText::Key &typed,
                                      const QString &address, Candidate candidate)
{
    static const QRegularExpression numbersFirst(u"^[0-9]+(丁目|番地|番[0-9]|号|-|$)"_s);
    const QString &text = typed.text;
    const bool onlyNumbers = numbersFirst.match(text).hasMatch();
    QList<AddressCandidate> found;
    for (const PostalDictionary::Entry &row : rows) {
        if (row.town.isEmpty())
            continue;
        QString town = AddressText::comparable(row.town);
        town = town.mid(AddressText::azaLength(town));
        const qsizetype cityEnd = afterCity(text, row);
        QList<qsizetype> starts{cityEnd};
        if (row.city.startsWith(u"京都市"_s)) {
            for (const qsizetype end : afterStreetDesignations(QStringView(text).mid(cityEnd)))
                starts.append(cityEnd + end);
        }
        bool located = false;
        for (qsizetype start : std::as_const(starts)) {
            start += AddressText::azaLength(QStringView(text).mid(start));
            const qsizetype end = start + town.size();
            const bool cutsNumber = end < text.size() && text.at(end).isDigit() && town.back().isDigit();
            if (QStringView(text).mid(start).startsWith(town) && !cutsNumber) {
                const qsizetype from = typed.originalEnd(cityEnd);
                const QString between = address.mid(from, typed.originalEnd(start) - from);
                const QString rest = address.mid(typed.originalEnd(end));
                found.append(candidate(row, row.pref + row.city + between + row.town + rest, rest));
                located = true;
                break;
            }
        }
        if (!located && onlyNumbers && row.name.isEmpty())
            found.append(candidate(row, row.address() + address.trimmed(), address.trimmed()));
    }
    return found;
}

}  // namespace

AddressAnswer byZip(PostalDictionary &d, const QString &digits, const QString &address, const QString &company)
{
    const QList<PostalDictionary::Entry> rows = d.byZip(digits);
    if (rows.isEmpty()) {
        // Mail to a box without a code of its own carries its post office's
        // group code, which no file lists but the code's form tells.
        if (!d.isPoBoxGroup(digits))
            return {};
        const QString shown = address.trimmed().isEmpty() ? d.regionOf(digits) : address;
        return answerOf({{AddressText::formatZip(digits), shown, company, Certainty::PoBox, address}});
    }
    // A company the user typed is never replaced by a business's name.
    const bool keepCompany = !company.trimmed().isEmpty();
    const QString code = AddressText::formatZip(digits);
    auto certaintyOf = [](const PostalDictionary::Entry &row) {
        return !row.name.isEmpty() ? Certainty::Business : row.town.isEmpty() ? Certainty::CatchAll : Certainty::Town;
    };
    auto candidate = [&](const PostalDictionary::Entry &row, const QString &shown, const QString &afterTown) {
        return AddressCandidate{code, shown, keepCompany ? company : row.name, certaintyOf(row), afterTown};
    };
    // The code's places as the dictionary writes them, each once.
    auto codesPlaces = [&] {
        QList<AddressCandidate> places;
        for (const PostalDictionary::Entry &row : rows) {
            const AddressCandidate c = candidate(row, row.address(), QString());
            if (!places.contains(c))
                places.append(c);
        }
        return places;
    };
    const AddressText::Key typed = AddressText::key(address);
    const QString &text = typed.text;
    for (const PostalDictionary::Entry &row : rows) {
        // It says more than the code's place (a business's: than its town).
        const QString place = AddressText::comparable(row.pref + row.city + row.town);
        const QString rowKey = row.name.isEmpty() ? AddressText::comparable(row.address()) : place;
        if (!text.isEmpty() && text.startsWith(rowKey))
            return answerOf({candidate(row, address, address.mid(typed.originalEnd(rowKey.size())))});
    }
    if (text.isEmpty()) {
        return answerOf(codesPlaces());
    }
    // Written otherwise (no prefecture, 大字, numbers in kanji…) but of a
    // town of this code: completed as an address would be.
    const AddressAnswer written = byAddress(d, address, company, false, digits);
    for (const AddressCandidate &c : written.choices) {
        if (c.zip == code)
            return answerOf({c});
    }
    // A high-rise building's code (its floors' codes are NNN-6xxx) with the
    // building's street address, its name not written ("1066145" and
    // "港区六本木6-10-1"): the town the address names is the building's.
    for (const AddressCandidate &c : written.choices) {
        const QString place = AddressText::comparable(c.address.chopped(c.afterTown.size()));
        for (const PostalDictionary::Entry &row : rows) {
            const QString whole = AddressText::comparable(row.pref + row.city + row.town);
            if (c.certainty == Certainty::Town && digits.at(3) == u'6' && row.name.isEmpty()
                && whole.size() > place.size() && whole.startsWith(place))
                return answerOf({candidate(row, c.address, c.afterTown)});
        }
    }
    const QList<AddressCandidate> found = locatedInRows(rows, typed, address, candidate);
    if (!found.isEmpty())
        return answerOf(found);
    // An address of another place than the code's, or none that can be
    // read: the code's place, with the others offered after it; what was
    // typed is not lost without a word.
    AddressAnswer answer = answerOf(codesPlaces() + written.choices);
    answer.disagree = true;
    return answer;
}

}  // namespace AddressMatch
