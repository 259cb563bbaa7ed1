#pragma once
// The nationwide postal dictionary, opened read-only: a postal code to its
// rows, and an address to the postal code of its longest known beginning.
// Every look-up is an indexed query; nothing is loaded at opening.

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

class PostalDictionary
{
public:
    struct Entry {
        QString pref, city, town, street, name;  // street and name: a business's
        QString address() const { return pref + city + town + street; }
    };
    struct Info {
        QString source, version, date;
        qint64 codes = 0, towns = 0, business = 0;
    };

    // Nothing when the file is missing, is no dictionary of this format, or
    // cannot be read.
    static std::unique_ptr<PostalDictionary> open(const QString &path);
    // Where the program looks for its dictionary, in order: beside the
    // program, in its data folder, in the build tree.
    static QStringList places();
    ~PostalDictionary();
    PostalDictionary(const PostalDictionary &) = delete;
    PostalDictionary &operator=(const PostalDictionary &) = delete;

    // The rows of a seven-digit code, in the postal service's order.
    QList<Entry> byZip(const QString &digits) const;
    // The business code of exactly this address and name, else the lowest
    // code of the longest prefecture + city + town (+ building and floor)
    // the address begins with; the prefecture may be left out when the
    // city says it.
    std::optional<QString> zipForAddress(const QString &address, const QString &company = QString()) const;
    Info info() const;
    // Every code, in order.
    QStringList allCodes() const;

private:
    PostalDictionary() = default;
    bool prepareAll();
    std::optional<QString> townZip(int area, const QString &rest) const;
    std::optional<QString> buildingZip(int area, const QString &town, const QString &rest) const;

    sqlite3 *db_ = nullptr;
    sqlite3_stmt *byZip_ = nullptr;
    sqlite3_stmt *city_ = nullptr;
    sqlite3_stmt *town_ = nullptr;
    sqlite3_stmt *building_ = nullptr;
    sqlite3_stmt *business_ = nullptr;
};
