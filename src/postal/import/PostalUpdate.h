#pragma once
// zenrook-postal update: the postal service's current files, fetched (or
// given), checked and built into the user's own dictionary, which replaces
// the one there only once it is whole on disk. Any failure leaves the
// dictionary in use as it was.

#include <QString>
#include <QUrl>

#include <functional>

namespace PostalUpdate {

struct Options {
    QUrl kenAllUrl{QStringLiteral("https://www.post.japanpost.jp/service/search/zipcode/download/utf/zip/utf_ken_all.zip")};
    QUrl jigyosyoUrl{QStringLiteral("https://www.post.japanpost.jp/service/search/zipcode/download/office/zip/jigyosyo.zip")};
    QString kenAllFile, jigyosyoFile;  // taken instead of downloading when given
    QString output;                    // the user's own dictionary
    QString inUse;                     // the dictionary in use now, to compare with; "" for none
    bool force = false;                // write files older than the dictionary in use
    int timeoutSeconds = 60;           // without a byte arriving
};

// What the user is told as it goes: a progress line (rewritten in place)
// and the lines that stay.
struct Report {
    std::function<void(const QString &)> progress;
    std::function<void(const QString &)> line;
};

// Runs an update; 0 when the dictionary was written, else 1 with the reason
// in `why`. Needs a running QCoreApplication.
int run(const Options &options, const Report &report, QString *why);

}  // namespace PostalUpdate
