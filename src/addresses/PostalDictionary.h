#pragma once
// The nationwide postal dictionary, opened read-only: postal code to towns,
// and an address to the postal code of its longest known beginning.

#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

class PostalDictionary
{
public:
    struct Entry {
        QString pref, city, town;
        QString address() const { return pref + city + town; }
    };

    // Nothing when the file is missing, is no dictionary of this format, or
    // cannot be read.
    static std::unique_ptr<PostalDictionary> open(const QString &path);
    ~PostalDictionary();

    // The towns of a seven-digit code, in the postal service's order.
    QList<Entry> byZip(const QString &digits) const;
    // The lowest code of the longest prefecture + city + town the address
    // begins with (the prefecture may be left out when the city says it).
    std::optional<QString> zipForAddress(const QString &address) const;

private:
    PostalDictionary() = default;
    bool load();
    std::optional<QString> townZip(int city, const QString &rest) const;

    struct Named {
        QString key;  // comparable form
        int code;
    };
    sqlite3 *db_ = nullptr;
    sqlite3_stmt *byZip_ = nullptr;
    sqlite3_stmt *building_ = nullptr;
    sqlite3_stmt *place_ = nullptr;
    // UTF-16 units no town name exceeds: a scan of every town, made at the
    // first look-up by address rather than while the program starts.
    qsizetype longestTown() const;
    sqlite3_stmt *longest_ = nullptr;
    mutable std::optional<qsizetype> longestTown_;
    QList<Named> prefs_;
    QHash<int, QList<Named>> citiesByPref_;  // longest names first, aliases included
    QList<Named> allCities_;
    QHash<int, QString> prefNames_, cityNames_;
};
