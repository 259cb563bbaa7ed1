#include "maps/MapCoordinates.h"

#include "maps/MapService.h"

#include <QStringList>
#include <QUrl>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

bool allDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// "35.681236" or "35" (decimal), "35.40.51" or "35.40.51.580" (degrees,
// minutes, seconds and a decimal fraction of the seconds), with a leading "-"
// for south or west.
std::optional<double> parseDegrees(QStringView text)
{
    bool negative = false;
    if (text.startsWith(u'-')) {
        negative = true;
        text = text.mid(1);
    }
    const QList<QStringView> parts = text.split(u'.');
    for (const QStringView part : parts) {
        if (!allDigits(part))
            return std::nullopt;
    }
    if (parts.first().size() > 3 || parts.size() > 4)
        return std::nullopt;
    double degrees = 0;
    if (parts.size() <= 2) {
        bool ok = false;
        degrees = text.toDouble(&ok);
        if (!ok)
            return std::nullopt;
    } else {
        if (parts[1].size() > 2 || parts[2].size() > 2)
            return std::nullopt;
        const int minutes = parts[1].toInt();
        // The seconds run to the end: "51" or "51.580".
        const double seconds = QStringView(parts[2].begin(), text.end()).toDouble();
        if (minutes >= 60 || seconds >= 60)
            return std::nullopt;
        degrees = parts[0].toInt() + minutes / 60.0 + seconds / 3600.0;
    }
    return negative ? -degrees : degrees;
}

// One parameter's value, or nothing when it is absent; "conflict" when it is
// given twice with different values.
struct Parameter {
    std::optional<QString> value;
    bool conflict = false;
};

Parameter parameter(const QList<std::pair<QString, QString>> &query, QStringView name)
{
    Parameter p;
    for (const auto &[key, value] : query) {
        if (key != name)
            continue;
        if (p.value && *p.value != value)
            p.conflict = true;
        p.value = value;
    }
    return p;
}

// Two readings of one coordinate must agree; either alone is taken.
bool merge(std::optional<double> &into, const std::optional<double> &other)
{
    if (!other)
        return true;
    if (into && *into != *other)
        return false;
    into = other;
    return true;
}

int defaultPort(const QString &scheme)
{
    return scheme == u"https"_s ? 443 : scheme == u"http"_s ? 80 : -1;
}

// The service's host under either scheme, on the port the base names (or
// the scheme's own), with nobody's user name in front.
bool sameSite(const QUrl &url, const QUrl &base)
{
    const QString scheme = url.scheme().toLower();
    const int port = base.port(-1);
    return (scheme == u"http"_s || scheme == u"https"_s) && !url.host().isEmpty()
           && url.host().compare(base.host(), Qt::CaseInsensitive) == 0 && url.userInfo().isEmpty()
           && url.port(defaultPort(scheme)) == (port >= 0 ? port : defaultPort(scheme));
}

// Today's pages write the world datum; every older page of the service
// wrote the Tokyo datum, in decimal degrees as in dotted ones.
Datum datumOfPage(const QUrl &url)
{
    const QString first = url.path().section(u'/', 1, 1);
    return first.compare(u"place"_s, Qt::CaseInsensitive) == 0 || first.compare(u"maps"_s, Qt::CaseInsensitive) == 0
               ? Datum::Jgd2011
               : Datum::Tokyo;
}

}  // namespace

std::optional<MapCoordinates> mapCoordinates(const QString &text, const QString &base)
{
    // Begins with the base as every map URL the program takes does, and is
    // of that host indeed, not "map.example.com.elsewhere" or "…@elsewhere".
    const QString trimmed = text.trimmed();
    if (!MapService::beginsWithPage(trimmed, base))
        return std::nullopt;
    const QUrl url(trimmed);
    if (!url.isValid() || !sameSite(url, QUrl(base)) || !url.hasQuery())
        return std::nullopt;

    QList<std::pair<QString, QString>> query;
    const QString raw = url.query(QUrl::FullyEncoded);
    for (const QStringView item : QStringView(raw).split(u'&')) {
        for (const QStringView piece : item.split(u';')) {
            const qsizetype eq = piece.indexOf(u'=');
            if (eq < 0)
                continue;
            query.append({QUrl::fromPercentEncoding(piece.left(eq).toUtf8()),
                          QUrl::fromPercentEncoding(piece.mid(eq + 1).toUtf8())});
        }
    }

    const Parameter lat = parameter(query, u"lat"), lon = parameter(query, u"lon"), lng = parameter(query, u"lng"),
                    ll = parameter(query, u"ll"), datumName = parameter(query, u"datum");
    if (lat.conflict || lon.conflict || lng.conflict || ll.conflict || datumName.conflict)
        return std::nullopt;

    std::optional<double> latitude, longitude;
    auto read = [](const std::optional<QString> &value, std::optional<double> &into) {
        if (!value)
            return true;
        const std::optional<double> degrees = parseDegrees(*value);
        return degrees && merge(into, degrees);
    };
    if (!read(lat.value, latitude) || !read(lon.value, longitude) || !read(lng.value, longitude))
        return std::nullopt;
    if (ll.value) {
        const QStringList pair = ll.value->split(u',');
        if (pair.size() != 2 || !read(pair[0], latitude) || !read(pair[1], longitude))
            return std::nullopt;
    }
    if (!latitude || !longitude || std::abs(*latitude) > 90 || std::abs(*longitude) > 180)
        return std::nullopt;

    MapCoordinates found;
    found.point = {*latitude, *longitude};
    found.datum = datumOfPage(url);
    if (datumName.value) {
        // JGD2011 and WGS 84 lie well within a metre of each other in Japan.
        const QString name = datumName.value->toLower();
        if (name == u"tky"_s || name == u"tokyo"_s)
            found.datum = Datum::Tokyo;
        else if (name == u"wgs"_s || name == u"wgs84"_s || name == u"jgd"_s)
            found.datum = Datum::Jgd2011;
        else
            return std::nullopt;
    }
    return found;
}

QString formatDegrees(double degrees)
{
    // No "-0.000000" for a place a hair south of the equator.
    const QString text = QString::number(degrees, 'f', 6);
    return text == u"-0.000000"_s ? text.mid(1) : text;
}
