#pragma once
// The nationwide postal dictionary, read-only: a postal code to its rows,
// and the pieces an address is matched with (cities, towns and their codes,
// the blocks a code serves, buildings, businesses). Every look-up is an
// indexed query on the file as read into memory.
//
// A dictionary replaced or changed while it is open (a new one copied over
// it) is noticed by refresh() and read again; one that cannot be read
// answers nothing and says why.

#include "postal/dictionary/DictionaryFile.h"

#include <QHash>
#include <QSet>
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
    struct Area {
        QString pref, city;
    };
    struct Code {
        qint64 zip = 0;
        QString town;  // as written
    };
    struct Match {
        qsizetype length = 0;  // of the key the text begins with
        QString key;
        QList<int> areas;      // for a city
        QList<Code> codes;     // for a town
        bool noted = false;    // for a town: its codes' rows note the blocks they serve (blocks())
    };
    struct Blocks {
        qint64 zip = 0;
        QString note;  // as written after the town: "（１〜１９丁目）"
    };
    struct Business {
        qint64 zip = 0;
        QString townKey, numbers;
        QString town, street, name;  // as written
    };

    // Read whole now; or read at the first look-up, with its format asked
    // now (a query of the database); or with only its first bytes checked.
    enum class Opening { Now, AtFirstLookUp, AtFirstLookUpUnasked };
    // Nothing when the file is missing, is no dictionary of this format, or
    // cannot be read; then `why` says which, naming the file.
    static std::unique_ptr<PostalDictionary> open(const QString &path, QString *why = nullptr,
                                                  Opening opening = Opening::Now);
    // Where the program looks for its dictionary, in order: the user's own
    // (written by zenrook-postal update), beside the program, in its data
    // folder, and in the build tree it runs from.
    static QStringList places();
    // The user's own: $XDG_DATA_HOME/zenrook/zenrook-postal.sqlite3.
    static QString usersOwn();
    ~PostalDictionary();
    PostalDictionary(const PostalDictionary &) = delete;
    PostalDictionary &operator=(const PostalDictionary &) = delete;

    // Reads the file again when it was replaced or changed since it was read
    // (the watch reported it, or its device, inode, size or time differ).
    // False, with the reason in problem(), when it cannot be read now.
    bool refresh();
    // Why the dictionary could not answer; "" when it could.
    const QString &problem() const { return problem_; }
    const QString &path() const { return file_.path(); }

    // The rows of a seven-digit code, in the postal service's order.
    QList<Entry> byZip(const QString &digits);
    Area area(int id);
    // The longest city key a comparable text begins with, and the cities it
    // names.
    std::optional<Match> city(QStringView text);
    // The longest town key of a city a comparable text begins with, and its
    // codes; a key that ends in a digit does not match before another digit.
    std::optional<Match> town(int area, QStringView text);
    QList<Code> townCodes(int area, const QString &key);
    // For a town of several codes, what each code's rows note after it.
    QList<Blocks> blocks(int area, const QString &key);
    // The code of a building's floor (or of its unknown floor) that the text
    // after its town names.
    std::optional<qint64> buildingZip(int area, const QString &townKey, const QString &rest);
    // The businesses of a town at the given street numbers ("2-8-1"), and
    // those of a city by name (companyKey form).
    QList<Business> businessesAt(int area, const QString &townKey, const QStringList &numbers);
    QList<Business> businessesNamed(int area, const QString &nameKey);
    // The businesses of the longest town and street of a city that a
    // comparable text begins with ("堀川通花屋町下る本願寺門前町"), for places
    // no town row holds.
    QList<Business> businessesPlaced(int area, QStringView text);

    // Whether seven digits are a post-office box group code, which no file
    // lists: "NNN-8691" to "NNN-8699" where the code before 1998 had three
    // digits, "NNNNN-91" where it had five.
    bool isPoBoxGroup(const QString &digits);
    // The prefecture and city the code's old area lies in, as far as one.
    QString regionOf(const QString &digits);

    Info info();
    // Every code, in order.
    QStringList allCodes();

    using Identity = DictionaryFile::Identity;
    static std::optional<Identity> identityOf(const QString &path) { return DictionaryFile::identityOf(path); }

private:
    // An area's town keys, sorted, and the codes of each; read at the
    // area's first look-up.
    struct Towns {
        QStringList keys;
        QList<QList<Code>> codes;
        QSet<QString> noted;  // the keys with notes of blocks
    };
    const Towns &towns(int area);
    explicit PostalDictionary(const QString &path) : file_(path) {}
    bool connect(QString *why);
    void disconnect();
    bool prepareAll(QString *why);
    sqlite3_stmt *prepare(const char *sql);
    // Steps a statement; on an error other than the end, notes the problem.
    bool step(sqlite3_stmt *s);
    // The rows a query with an area and a key (?1, ?2) finds, each as
    // `read` takes it from the statement.
    template <typename Read>
    auto rowsOf(sqlite3_stmt *query, int area, const QString &key, Read read) -> QList<decltype(read(query))>;

    DictionaryFile file_;
    QString problem_;
    QString lastFailure_;  // why the file as it is now cannot be read
    QByteArray image_;     // the file as read, which the queries read
    sqlite3 *db_ = nullptr;
    QList<sqlite3_stmt *> statements_;
    sqlite3_stmt *byZip_ = nullptr, *area_ = nullptr, *townsOfArea_ = nullptr, *notedOfArea_ = nullptr, *townCodes_ = nullptr, *blocks_ = nullptr,
                 *building_ = nullptr, *businessAt_ = nullptr, *businessNamed_ = nullptr, *businessPlace_ = nullptr,
                 *old_ = nullptr, *region_ = nullptr;
    // Read once from the file as opened.
    QHash<int, Area> areas_;
    QStringList cityKeys_;  // sorted; cities_ refers to them
    QHash<QStringView, QList<int>> cities_;
    QList<qsizetype> cityLengths_;  // of the city keys, longest first
    bool citiesRead_ = false;
    QSet<QPair<int, QString>> buildingTowns_;
    QHash<int, Towns> towns_;
    bool buildingTownsRead_ = false;
};
