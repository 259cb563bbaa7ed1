// Addresses as people write them, built from the national data: a sample of
// the dictionary's towns (every 30th, a few thousand), each written in the
// forms people use, and every town that can be written in one of the rarer
// forms (numbers in kanji or digits, ヶ for が, a Kyoto street), looked up
// as F4 and zenrook-postal do. Each answer is
// right when it gives the town's code (for a town of several codes: one of
// them, as a town's, where the blocks written pick it, or a choice of those
// codes alone; which one the blocks pick is tested from the postal
// service's own notes apart), and never the city's catch-all code for a
// town the data holds.

#include "postal/addresses/AddressComponent.h"
#include "postal/dictionary/PostalDictionary.h"

#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QtTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

struct Town {
    QString pref, city, town;
    QStringList codes;  // "NNN-NNNN"
};

struct Form {
    int right = 0, total = 0, catchAll = 0;
    QStringList wrong;  // a few, to show
};

const QString kKanjiDigits = u"〇一二三四五六七八九"_s;

// "二十九" → 29, "三千四百" → 3400, "一〇" → 10 (written here afresh, not
// taken from the program).
int kanjiValue(const QString &run)
{
    if (!run.contains(u'十') && !run.contains(u'百') && !run.contains(u'千')) {
        int v = 0;
        for (const QChar c : run)
            v = v * 10 + int(kKanjiDigits.indexOf(c));
        return v;
    }
    int total = 0, digit = 0;
    for (const QChar c : run) {
        const qsizetype d = kKanjiDigits.indexOf(c);
        if (d >= 0) {
            digit = int(d);
            continue;
        }
        const int unit = c == u'十' ? 10 : c == u'百' ? 100 : 1000;
        total += (digit ? digit : 1) * unit;
        digit = 0;
    }
    return total + digit;
}

QString kanjiOf(int n)
{
    QString out;
    for (const auto &[unit, mark] : {std::pair{1000, u'千'}, std::pair{100, u'百'}, std::pair{10, u'十'}}) {
        const int d = n / unit;
        n %= unit;
        if (d > 1)
            out += kKanjiDigits.at(d);
        if (d > 0)
            out += QChar(mark);
    }
    if (n > 0)
        out += kKanjiDigits.at(n);
    return out;
}

// Kanji numbers before a unit written in digits: "北二十九条西" → "北29条西".
QString digitsForKanji(const QString &town)
{
    static const QRegularExpression numbered(u"([〇一二三四五六七八九十百千]+)(条|丁目|線|号|番町|地割|区)"_s);
    QString out = town;
    QRegularExpressionMatch m;
    qsizetype from = 0;
    while ((m = numbered.match(out, from)).hasMatch()) {
        const QString digits = QString::number(kanjiValue(m.captured(1)));
        out.replace(m.capturedStart(1), m.capturedLength(1), digits);
        from = m.capturedStart(1) + digits.size() + m.capturedLength(2);
    }
    return out;
}

// Full-width digits written in kanji: "象潟町５丁目" → "象潟町五丁目".
QString kanjiForDigits(const QString &town)
{
    static const QRegularExpression digits(u"[０-９]+"_s);
    QString out = town;
    QRegularExpressionMatch m;
    while ((m = digits.match(out)).hasMatch()) {
        int n = 0;
        for (const QChar c : m.captured())
            n = n * 10 + (c.unicode() - 0xFF10);
        out.replace(m.capturedStart(), m.capturedLength(), n == 0 ? u"〇"_s : kanjiOf(n));
    }
    return out;
}

// ヶ for が or ケ, and ケ for ヶ, where the next is a kanji ("ひばりが丘",
// "霞ヶ関"): the spellings people use for one name.
QString otherKe(const QString &town)
{
    QString out = town;
    for (qsizetype i = 1; i + 1 < out.size(); ++i) {
        const QChar c = out.at(i);
        if (out.at(i + 1).script() != QChar::Script_Han)
            continue;
        if (c == u'ケ' || c == u'が')
            out[i] = u'ヶ';
        else if (c == u'ヶ')
            out[i] = u'ケ';
    }
    return out;
}

QString fullWidth(const QString &ascii)
{
    QString out;
    for (const QChar c : ascii)
        out += c == u' ' ? QChar(0x3000) : QChar(c.unicode() + 0xFEE0);
    return out;
}

bool endsInNumber(const QString &town)
{
    static const QRegularExpression numeral(u"[0-9０-９〇一二三四五六七八九十百千]$"_s);
    return numeral.match(town).hasMatch();
}

QString withoutDistrict(const QString &city)
{
    const qsizetype gun = city.indexOf(u'郡');
    return gun > 0 ? city.mid(gun + 1) : QString();
}

QString dictionaryPath()
{
    for (const QString &p : PostalDictionary::places()) {
        if (QFileInfo::exists(p))
            return p;
    }
    return QString();
}

}  // namespace

class TestAddressForms : public QObject
{
    Q_OBJECT
private slots:
    void formsPeopleWrite();
};

void TestAddressForms::formsPeopleWrite()
{
#ifdef ZENROOK_NO_NATIONAL_DICTIONARY
    QSKIP("this build makes no national dictionary (ZENROOK_POSTAL_DICTIONARY=OFF)");
#endif
    const QString path = dictionaryPath();
    QVERIFY2(!path.isEmpty(), "no national postal dictionary in the build tree: the build makes it");
    auto component = createObject(u"Tarnu.cAdd"_s, path);
    QVERIFY(component);

    // Every 30th town of the dictionary, with all its codes.
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt *s = nullptr;
    QCOMPARE(sqlite3_prepare_v2(db,
                                "SELECT a.pref, a.city, t.name, group_concat(t.zip) FROM town t JOIN area a ON a.id = t.area"
                                " WHERE t.key != '' GROUP BY t.area, t.key ORDER BY t.area, t.key",
                                -1, &s, nullptr),
             SQLITE_OK);
    QList<Town> towns, all;
    QMap<QString, QSet<QString>> prefsOfCity;
    for (qint64 row = 0; sqlite3_step(s) == SQLITE_ROW; ++row) {
        auto text = [&](int i) { return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, i))); };
        Town t{text(0), text(1), text(2), {}};
        prefsOfCity[t.city].insert(t.pref);
        for (const QString &zip : text(3).split(u','))
            t.codes << zip.rightJustified(7, u'0').insert(3, u'-');
        t.codes.sort();
        all << t;
        if (row % 30 == 0)
            towns << t;
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    QVERIFY2(towns.size() > 3000, qPrintable(QString::number(towns.size())));

    QMap<QString, Form> forms;
    int sharedCity = 0, sharedCityRight = 0;
    auto ask = [&](const QString &form, const QString &address, const QStringList &expected) {
        Form &f = forms[form];
        ++f.total;
        const AddressAnswer a = component->Find(QString(), address, QString(), 1);
        QStringList got;
        for (const AddressCandidate &c : a.choices)
            got << c.zip;
        got.sort();
        const bool ofTown = !got.isEmpty() && std::all_of(got.cbegin(), got.cend(), [&](const QString &z) {
            return expected.contains(z);
        });
        const bool right = expected.size() == 1 ? a.certainty == Certainty::Town && got == expected
                                                : ofTown && (a.certainty == Certainty::Ambiguous) == (got.size() > 1)
                                                      && (got.size() > 1 || a.certainty == Certainty::Town);
        f.right += right ? 1 : 0;
        f.catchAll += a.certainty == Certainty::CatchAll ? 1 : 0;
        if (!right && f.wrong.size() < 5)
            f.wrong << address + u" → "_s + got.join(u' ') + u" ("_s + certaintyWord(a.certainty) + u"), expected "_s
                           + expected.join(u' ');
    };
    const QStringList streets{u"寺町通御池上る"_s, u"烏丸通四条下る"_s, u"河原町通三条東入"_s, u"堀川通丸太町西入る"_s,
                              u"四条通烏丸東入ル"_s};
    auto tailOf = [](const Town &t) { return endsInNumber(t.town) ? u" 123番地"_s : u"1-2-3"_s; };
    // The forms only some towns can be written in: every such town.
    for (qsizetype i = 0; i < all.size(); ++i) {
        const Town &t = all.at(i);
        if (const QString d = digitsForKanji(t.town); d != t.town)
            ask(u"digits for kanji numbers"_s, t.pref + t.city + d + tailOf(t), t.codes);
        if (const QString k = kanjiForDigits(t.town); k != t.town)
            ask(u"kanji for digits"_s, t.pref + t.city + k + tailOf(t), t.codes);
        if (const QString o = otherKe(t.town); o != t.town)
            ask(u"ヶ, ケ or が spelled otherwise"_s, t.pref + t.city + o + tailOf(t), t.codes);
        if (t.city.startsWith(u"京都市"_s))
            ask(u"Kyoto street first"_s, t.pref + t.city + streets.at(i % streets.size()) + t.town + u"488"_s, t.codes);
    }
    // The forms every town can be written in: the sample.
    for (qsizetype i = 0; i < towns.size(); ++i) {
        const Town &t = towns.at(i);
        const QString tail = tailOf(t);
        ask(u"as the dictionary writes it"_s, t.pref + t.city + t.town + tail, t.codes);
        ask(u"postal code in front"_s, u"〒"_s + t.codes.first() + u" "_s + t.pref + t.city + t.town + tail,
            {t.codes.first()});
        ask(u"大字 before the town"_s, t.pref + t.city + u"大字"_s + t.town + tail, t.codes);
        if (prefsOfCity.value(t.city).size() == 1) {
            ask(u"no prefecture"_s, t.city + t.town + tail, t.codes);
        } else {
            // A city name two prefectures share: the town decides, or the user does.
            const AddressAnswer a = component->Find(QString(), t.city + t.town + tail, QString(), 1);
            ++sharedCity;
            sharedCityRight += std::any_of(a.choices.cbegin(), a.choices.cend(),
                                           [&](const AddressCandidate &c) { return t.codes.contains(c.zip); });
        }
        if (const QString city = withoutDistrict(t.city); !city.isEmpty())
            ask(u"no district"_s, t.pref + city + t.town + tail, t.codes);
        ask(u"blanks and full width"_s,
            t.pref + u"　"_s + t.city + u" "_s + t.town + (endsInNumber(t.town) ? fullWidth(u" 123"_s) : fullWidth(u"1-2-3"_s)),
            t.codes);
        ask(u"blocks, building and room"_s,
            t.pref + t.city + t.town + (endsInNumber(t.town) ? u" "_s : QString()) + u"3丁目4-5 サンプルビル201号室"_s,
            t.codes);
    }

    int right = 0, total = 0, catchAll = 0;
    bool everyForm = true;
    for (auto f = forms.cbegin(); f != forms.cend(); ++f) {
        right += f->right;
        total += f->total;
        catchAll += f->catchAll;
        const double share = 100.0 * f->right / f->total;
        everyForm = everyForm && share >= 99.0;
        qInfo("%-36s %5d of %5d right (%.2f%%), %d catch-all", qPrintable(f.key()), f->right, f->total, share,
              f->catchAll);
        for (const QString &w : f->wrong)
            qInfo("    %s", qPrintable(w));
    }
    const double overall = 100.0 * right / total;
    qInfo("overall: %d of %d right (%.2f%%) over %lld towns; catch-all codes for towns the data holds: %d", right,
          total, overall, towns.size(), catchAll);
    qInfo("a city name two prefectures share, no prefecture: the town's code offered in %d of %d", sharedCityRight,
          sharedCity);
    QVERIFY2(overall >= 99.5, qPrintable(QString::number(overall)));
    QVERIFY(everyForm);
    QCOMPARE(catchAll, 0);
    QCOMPARE(sharedCityRight, sharedCity);
}

QTEST_GUILESS_MAIN(TestAddressForms)
#include "tst_address_forms.moc"
