#include "addresses/PostalDictionary.h"

#include "addresses/AddressText.h"
#include "addresses/PostalSchema.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <sqlite3.h>

namespace {

QString columnText(sqlite3_stmt *s, int i)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, i)), sqlite3_column_bytes(s, i));
}

void bindText(sqlite3_stmt *s, int i, const QByteArray &utf8)
{
    sqlite3_bind_text(s, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// Resets a statement for its next use whichever way the caller leaves.
struct Reset {
    sqlite3_stmt *s;
    ~Reset() { sqlite3_reset(s); sqlite3_clear_bindings(s); }
};

}  // namespace

std::unique_ptr<PostalDictionary> PostalDictionary::open(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return nullptr;
    std::unique_ptr<PostalDictionary> d(new PostalDictionary);
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &d->db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK || !d->load())
        return nullptr;
    return d;
}

PostalDictionary::~PostalDictionary()
{
    for (sqlite3_stmt *s : {byZip_, building_, place_, longest_})
        sqlite3_finalize(s);
    sqlite3_close(db_);
}

bool PostalDictionary::load()
{
    sqlite3_stmt *s = nullptr;
    auto prepare = [this](const char *sql, sqlite3_stmt **out) {
        return sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, out, nullptr) == SQLITE_OK;
    };
    if (!prepare("SELECT value FROM meta WHERE key = 'format'", &s))
        return false;
    const bool rightFormat = sqlite3_step(s) == SQLITE_ROW && sqlite3_column_int(s, 0) == kPostalFormat;
    sqlite3_finalize(s);
    if (!rightFormat)
        return false;

    if (!prepare("SELECT code, name FROM pref", &s))
        return false;
    while (sqlite3_step(s) == SQLITE_ROW) {
        const int code = sqlite3_column_int(s, 0);
        prefNames_.insert(code, columnText(s, 1));
        prefs_.append({AddressText::comparable(prefNames_.value(code)), code});
    }
    sqlite3_finalize(s);
    if (!prepare("SELECT code, pref, name FROM city", &s))
        return false;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        const int code = sqlite3_column_int(s, 0);
        const QString name = columnText(s, 2);
        cityNames_.insert(code, name);
        QList<Named> &list = citiesByPref_[sqlite3_column_int(s, 1)];
        list.append({AddressText::comparable(name), code});
        // Towns and villages are often written without their district.
        const qsizetype gun = name.indexOf(QChar(0x90E1));  // 郡
        if (gun > 0 && gun + 1 < name.size())
            list.append({AddressText::comparable(name.mid(gun + 1)), code});
    }
    sqlite3_finalize(s);
    if (rc != SQLITE_DONE || prefs_.isEmpty() || cityNames_.isEmpty())
        return false;
    // Longest names first: "札幌市中央区" before "札幌市".
    const auto longerFirst = [](const Named &a, const Named &b) { return a.key.size() > b.key.size(); };
    for (auto it = citiesByPref_.begin(); it != citiesByPref_.end(); ++it) {
        std::stable_sort(it->begin(), it->end(), longerFirst);
        allCities_ += *it;
    }
    std::stable_sort(allCities_.begin(), allCities_.end(), longerFirst);
    return prepare("SELECT max(length(key)) FROM place", &longest_)
           && prepare("SELECT city, town FROM zip WHERE zip = ?1 ORDER BY seq", &byZip_)
           && prepare("SELECT city, town FROM building WHERE prefix = ?1", &building_)
           && prepare("SELECT zip FROM place WHERE city = ?1 AND key = ?2", &place_);
}

QList<PostalDictionary::Entry> PostalDictionary::byZip(const QString &digits) const
{
    QList<Entry> found;
    auto collect = [&](sqlite3_stmt *s, const QString &key) {
        Reset reset{s};
        bindText(s, 1, key.toUtf8());
        while (sqlite3_step(s) == SQLITE_ROW) {
            const int city = sqlite3_column_int(s, 0);
            if (cityNames_.contains(city))
                found.append({prefNames_.value(city / 1000), cityNames_.value(city), columnText(s, 1)});
        }
    };
    collect(byZip_, digits);
    if (found.isEmpty() && digits.size() == 7)
        collect(building_, digits.left(5));
    return found;
}

qsizetype PostalDictionary::longestTown() const
{
    if (!longestTown_) {
        Reset reset{longest_};
        // Characters there, UTF-16 units here: twice the count bounds both.
        longestTown_ = sqlite3_step(longest_) == SQLITE_ROW ? 2 * sqlite3_column_int(longest_, 0) : 0;
    }
    return *longestTown_;
}

std::optional<QString> PostalDictionary::townZip(int city, const QString &rest) const
{
    // The longest town name the rest begins with; "" is the city itself.
    // No name is longer than the longest known one, however long the text.
    Reset reset{place_};
    sqlite3_bind_int(place_, 1, city);
    for (qsizetype n = std::min(rest.size(), longestTown()); n >= 0; --n) {
        if (n > 0 && rest.at(n - 1).isHighSurrogate())
            continue;
        bindText(place_, 2, rest.left(n).toUtf8());
        if (sqlite3_step(place_) == SQLITE_ROW)
            return columnText(place_, 0);
        sqlite3_reset(place_);
    }
    return std::nullopt;
}

std::optional<QString> PostalDictionary::zipForAddress(const QString &address) const
{
    const QString a = AddressText::comparable(address);
    auto inCities = [this](const QList<Named> &cities, const QString &rest) -> std::optional<QString> {
        for (const Named &c : cities) {
            if (rest.startsWith(c.key)) {
                if (const auto zip = townZip(c.code, rest.mid(c.key.size())))
                    return zip;
            }
        }
        return std::nullopt;
    };
    for (const Named &p : prefs_) {
        if (a.startsWith(p.key))
            return inCities(citiesByPref_.value(p.code), a.mid(p.key.size()));
    }
    // No prefecture: only a city name that no other prefecture shares will do.
    QList<Named> candidates;
    for (const Named &c : allCities_) {
        if (a.startsWith(c.key) && (candidates.isEmpty() || candidates.first().key.size() == c.key.size()))
            candidates.append(c);
    }
    if (candidates.size() != 1)
        return std::nullopt;
    return inCities(candidates, a);
}
