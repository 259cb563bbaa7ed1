// Pages of the map service, places read from their URLs, and the datum
// shift through PROJ checked against a published control point.

#include "mainwindow/RequestText.h"
#include "maps/MapCoordinates.h"
#include "maps/MapService.h"
#include "platform/DatumConversion.h"
#include "platform/datum/ProjDatumEngine.h"
#include "startup/CoordinatesCommand.h"

#include <QTextStream>
#include <QtTest>

#include <cmath>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Datum)

namespace {

const QString kYahoo = u"http://map.yahoo.co.jp"_s;

double dms(int degrees, int minutes, double seconds)
{
    return degrees + minutes / 60.0 + seconds / 3600.0;
}

// The origin of Japan's geodetic datum (Minato, Tokyo), as the Survey Act
// Enforcement Order (測量法施行令, article 2) fixes it and the Geospatial
// Information Authority of Japan publishes it: in the Tokyo datum (1949
// text) and in JGD2011 (amended values in force since 21 October 2011).
const GeoPoint kOriginTokyo{dms(35, 39, 17.5148), dms(139, 44, 40.5020)};
const GeoPoint kOriginJgd2011{dms(35, 39, 29.1572), dms(139, 44, 28.8869)};

// Metres between two nearby points, on the GRS 80 ellipsoid's local radii.
double metresBetween(GeoPoint a, GeoPoint b)
{
    const double pi = 3.14159265358979323846, radians = pi / 180;
    const double semiMajor = 6378137.0, e2 = 0.00669438002290;
    const double s = std::sin(a.latitude * radians), w = std::sqrt(1 - e2 * s * s);
    const double meridian = semiMajor * (1 - e2) / (w * w * w), primeVertical = semiMajor / w;
    const double north = (b.latitude - a.latitude) * radians * meridian;
    const double east = (b.longitude - a.longitude) * radians * primeVertical * std::cos(a.latitude * radians);
    return std::hypot(north, east);
}

}  // namespace

class TestCoordinates : public QObject
{
    Q_OBJECT
private slots:
    void servicePages_data();
    void servicePages();
    void requestKeepsEitherScheme();
    void urls_data();
    void urls();
    void sixDecimals();
    void controlPointTokyoToJgd2011();
    void controlPointWgs84ToTokyo();
    void refusesWhatPROJCannotVouchFor();
    void commandLine();
};

// Copies are taken when they begin with the service; a request's URL is kept
// when it holds it anywhere; either scheme, letter case aside.
void TestCoordinates::servicePages_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("begins");
    QTest::addColumn<bool>("contains");
    QTest::newRow("old page") << kYahoo + u"/pl?lat=35.40.51.580&lon=139.45.55.550"_s << true << true;
    QTest::newRow("today's page") << u"https://map.yahoo.co.jp/place?lat=35.681236&lon=139.767125"_s << true << true;
    QTest::newRow("https, capitals") << u"HTTPS://MAP.YAHOO.CO.JP"_s << true << true;
    QTest::newRow("https, base alone") << u"https://map.yahoo.co.jp"_s << true << true;
    QTest::newRow("blank before https") << u" https://map.yahoo.co.jp/place"_s << false << true;
    QTest::newRow("https inside words") << u"地図: https://map.yahoo.co.jp/place?lat=1&lon=2"_s << false << true;
    QTest::newRow("shorter than either") << u"https://map.yahoo"_s << false << false;
    QTest::newRow("another scheme") << u"ftp://map.yahoo.co.jp/place"_s << false << false;
    QTest::newRow("https without slashes") << u"https:map.yahoo.co.jp/place"_s << false << false;
    QTest::newRow("another host") << u"https://maps.example.com/place"_s << false << false;
    QTest::newRow("empty") << QString() << false << false;
}

void TestCoordinates::servicePages()
{
    QFETCH(QString, text);
    QFETCH(bool, begins);
    QFETCH(bool, contains);
    QCOMPARE(MapService::beginsWithPage(text, kYahoo), begins);
    QCOMPARE(MapService::containsPage(text, kYahoo), contains);
}

void TestCoordinates::requestKeepsEitherScheme()
{
    // An https URL is the caller's to keep: accepted unchanged, flag 0.
    const QString today = u"https://map.yahoo.co.jp/place?lat=35.681236&lon=139.767125&zoom=16"_s;
    const QStringList request = RequestText::fields(u"ZenroA\t100-0005\t東京都千代田区丸の内1\t\t"_s + today);
    const RequestText::Record record = RequestText::recordFromRequest(request, kYahoo);
    QCOMPARE(record.mapUrl, today);
    QCOMPARE(RequestText::answer(request, record), request.join(u'\t') + u"\t0"_s);
    // Another site's is dropped as before; the caller learns it changed.
    const QStringList other = RequestText::fields(u"ZenroA\t\t\t\thttps://maps.example.com/?ll=1,2"_s);
    QCOMPARE(RequestText::recordFromRequest(other, kYahoo).mapUrl, QString());

    QCOMPARE(MapService::withoutLineEnds(today + u"\r\n"_s), today);
    QCOMPARE(MapService::withoutLineEnds(today + u"\n\n"_s), today);
    QCOMPARE(MapService::withoutLineEnds(today + u" \t"_s), today + u" \t"_s);  // only line ends go
    QCOMPARE(MapService::withoutLineEnds(u"\r\n"_s), QString());
    // A copy is captured without its line end, never with more than a URL.
    QCOMPARE(MapService::capturedPage(today + u"\r\n"_s, kYahoo), today);
    QCOMPARE(MapService::capturedPage(today + u"\tx"_s, kYahoo), QString());
    QCOMPARE(MapService::capturedPage(today + u"\nhttps://map.yahoo.co.jp/"_s, kYahoo), QString());
    QCOMPARE(MapService::capturedPage(u"see "_s + today, kYahoo), QString());
}

void TestCoordinates::urls_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("found");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<Datum>("datum");

    const QString y = kYahoo;
    const double lat = 35.681236, lon = 139.767125;
    const double dLat = dms(35, 40, 51.580), dLon = dms(139, 45, 55.550);
    auto found = [](const char *name, const QString &base, const QString &url, double la, double lo,
                    Datum datum = Datum::Tokyo) {
        QTest::newRow(name) << base << url << true << la << lo << datum;
    };
    auto none = [](const char *name, const QString &base, const QString &url) {
        QTest::newRow(name) << base << url << false << 0.0 << 0.0 << Datum::Tokyo;
    };

    found("decimal", y, y + u"/pl?lat=35.681236&lon=139.767125"_s, lat, lon);
    found("dotted", y, y + u"/pl?lat=35.40.51.580&lon=139.45.55.550"_s, dLat, dLon);
    found("dotted, semicolons", y, y + u"/beta/?lat=35.40.51.580;lon=139.45.55.550;sc=2"_s, dLat, dLon);
    found("dotted, whole seconds", y, y + u"/pl?lat=35.40.51&lon=139.45.5"_s, dms(35, 40, 51), dms(139, 45, 5));
    found("lng, any order", y, y + u"/pl?sc=3&lng=139.767125&p=%E6%9D%B1&lat=35.681236"_s, lat, lon);
    found("ll", y, y + u"/?ll=35.681236,139.767125"_s, lat, lon);
    found("ll, escaped comma", y, y + u"/?ll=35.681236%2C139.767125"_s, lat, lon);
    found("ll agreeing with lat and lon", y, y + u"/?lat=35.681236&ll=35.681236,139.767125&lon=139.767125"_s, lat, lon);
    found("repeated, same value", y, y + u"/?lat=35.681236&lat=35.681236&lon=139.767125"_s, lat, lon);
    found("datum=wgs", y, y + u"/pl?lat=35.681236&lon=139.767125&datum=wgs"_s, lat, lon, Datum::Jgd2011);
    found("datum=WGS84", y, y + u"/pl?datum=WGS84&lat=35.681236&lon=139.767125"_s, lat, lon, Datum::Jgd2011);
    found("datum=jgd", y, y + u"/pl?lat=35.681236&lon=139.767125&datum=jgd"_s, lat, lon, Datum::Jgd2011);
    found("datum=tky", y, y + u"/pl?lat=35.681236&lon=139.767125&datum=tky"_s, lat, lon);
    found("datum=tokyo", y, y + u"/pl?lat=35.681236;lon=139.767125;datum=tokyo"_s, lat, lon);
    found("upper-case host and scheme", y, u"HTTP://MAP.YAHOO.CO.JP/pl?lat=35.681236&lon=139.767125"_s, lat, lon);
    found("default port spelled out", y, u"http://map.yahoo.co.jp:80/pl?lat=35.681236&lon=139.767125"_s, lat, lon);
    found("blanks around the URL", y, u"  "_s + y + u"/pl?lat=35.681236&lon=139.767125 \n"_s, lat, lon);
    found("south and west", y, y + u"/pl?lat=-33.856784&lon=-151.215297"_s, -33.856784, -151.215297);
    found("south, dotted", y, y + u"/pl?lat=-33.51.24.4&lon=151.12.55.1"_s, -dms(33, 51, 24.4), dms(151, 12, 55.1));
    found("bounds", y, y + u"/pl?lat=-90&lon=180"_s, -90, 180);
    found("local service with port", u"http://127.0.0.1:47613"_s,
          u"http://127.0.0.1:47613/pl?lat=35.681236&lon=139.767125"_s, lat, lon);

    // Today's pages: https, decimal degrees, the world datum unless told.
    const QString s = u"https://map.yahoo.co.jp"_s;
    const Datum world = Datum::Jgd2011;
    found("today's page", y, s + u"/place?lat=35.681236&lon=139.767125&zoom=16&maptype=basic"_s, lat, lon, world);
    found("today's page over http", y, y + u"/place?lat=35.681236&lon=139.767125"_s, lat, lon, world);
    found("maps page", y, s + u"/maps?lat=35.681236&lon=139.767125&z=18&gid=abc#here"_s, lat, lon, world);
    found("maps page, deeper path", y, s + u"/maps/?lon=139.767125&lat=35.681236"_s, lat, lon, world);
    found("old page over https", y, s + u"/pl?lat=35.40.51.580&lon=139.45.55.550"_s, dLat, dLon);
    found("old page, decimal, still Tokyo", y, y + u"/pl?type=scroll&lat=35.67832667&lon=139.77044378&sc=3"_s,
          35.67832667, 139.77044378);
    found("old page naming the world datum", y,
          y + u"/pl?type=scroll&lat=35.681236&lon=139.767125&sc=3&datum=wgs"_s, lat, lon, world);
    found("today's page naming Tokyo", y, s + u"/place?lat=35.681236&lon=139.767125&datum=tky"_s, lat, lon);
    found("any other path is old", y, s + u"/placename?lat=35.681236&lon=139.767125"_s, lat, lon);
    found("https, upper case", y, u"HTTPS://Map.Yahoo.co.jp/place?lat=35.681236&lon=139.767125"_s, lat, lon, world);
    found("https default port spelled out", y, u"https://map.yahoo.co.jp:443/place?lat=35.681236&lon=139.767125"_s,
          lat, lon, world);
    found("fragment after the query", y, s + u"/place?lat=35.681236&lon=139.767125#lat=1&lon=2"_s, lat, lon, world);
    found("local service over https", u"http://127.0.0.1:47613"_s,
          u"https://127.0.0.1:47613/place?lat=35.681236&lon=139.767125"_s, lat, lon, world);
    none("https look-alike host", y, u"https://map.yahoo.co.jp.example.org/place?lat=35.6&lon=139.7"_s);
    none("https with a user", y, u"https://map.yahoo.co.jp@example.org/place?lat=35.6&lon=139.7"_s);
    none("https on another port", y, u"https://map.yahoo.co.jp:8443/place?lat=35.6&lon=139.7"_s);
    none("http on the https port", y, u"http://map.yahoo.co.jp:443/place?lat=35.6&lon=139.7"_s);
    none("another scheme", y, u"ftp://map.yahoo.co.jp/place?lat=35.6&lon=139.7"_s);

    none("other host", y, u"http://example.com/pl?lat=35.681236&lon=139.767125"_s);
    none("host with the service's name in front", y, u"http://map.yahoo.co.jp.example.com/?lat=35.6&lon=139.7"_s);
    none("service's name as user", y, u"http://map.yahoo.co.jp@example.com/?lat=35.6&lon=139.7"_s);
    none("a user before the service", y, u"http://someone@map.yahoo.co.jp/?lat=35.6&lon=139.7"_s);
    none("escaped host", y, u"http://map%2Eyahoo.co.jp/pl?lat=35.681236&lon=139.767125"_s);
    none("other port", y, u"http://map.yahoo.co.jp:8080/pl?lat=35.681236&lon=139.767125"_s);
    none("local service, no port", u"http://127.0.0.1:47613"_s, u"http://127.0.0.1/pl?lat=35.6&lon=139.7"_s);
    none("no query", y, y + u"/pl"_s);
    none("only in the fragment", y, y + u"/pl#lat=35.681236&lon=139.767125"_s);
    none("no longitude", y, y + u"/pl?lat=35.681236"_s);
    none("no latitude", y, y + u"/pl?lng=139.767125"_s);
    none("empty values", y, y + u"/pl?lat=&lon="_s);
    none("names in capitals", y, y + u"/pl?LAT=35.681236&LON=139.767125"_s);
    none("letters", y, y + u"/pl?lat=35.6a&lon=139.767125"_s);
    none("two dots in a row", y, y + u"/pl?lat=35..6&lon=139.767125"_s);
    none("five dotted parts", y, y + u"/pl?lat=35.40.51.580.1&lon=139.767125"_s);
    none("minutes 60", y, y + u"/pl?lat=35.60.00.000&lon=139.767125"_s);
    none("seconds 60", y, y + u"/pl?lat=35.40.60.000&lon=139.767125"_s);
    none("three-digit minutes", y, y + u"/pl?lat=35.040.51.580&lon=139.767125"_s);
    none("four-digit degrees", y, y + u"/pl?lat=35.6&lon=0139.7"_s);
    none("exponent", y, y + u"/pl?lat=3.5e1&lon=139.767125"_s);
    none("plus sign", y, y + u"/pl?lat=+35.6&lon=139.767125"_s);
    none("blank inside", y, y + u"/pl?lat=35.6%20&lon=139.767125"_s);
    none("full-width digits", y, y + u"/pl?lat=%EF%BC%93%EF%BC%95&lon=139.767125"_s);
    none("trailing dot", y, y + u"/pl?lat=35.&lon=139.767125"_s);
    none("latitude beyond 90", y, y + u"/pl?lat=90.000001&lon=139.767125"_s);
    none("longitude beyond 180", y, y + u"/pl?lat=35.6&lon=180.5"_s);
    none("latitude below -90", y, y + u"/pl?lat=-91&lon=139.767125"_s);
    none("dotted beyond 90", y, y + u"/pl?lat=90.00.01&lon=139.767125"_s);
    none("two different latitudes", y, y + u"/pl?lat=35.6&lat=35.7&lon=139.767125"_s);
    none("lon and lng disagree", y, y + u"/pl?lat=35.6&lon=139.7&lng=139.8"_s);
    none("ll disagrees with lat", y, y + u"/?lat=35.7&ll=35.6,139.7"_s);
    none("ll with one number", y, y + u"/?ll=35.6"_s);
    none("ll with three numbers", y, y + u"/?ll=35.6,139.7,1"_s);
    none("unknown datum", y, y + u"/pl?lat=35.681236&lon=139.767125&datum=jgd2011"_s);
    none("empty datum", y, y + u"/pl?lat=35.681236&lon=139.767125&datum="_s);
    none("two datums", y, y + u"/pl?lat=35.681236&lon=139.767125&datum=tky&datum=wgs"_s);
    none("empty text", y, QString());
    none("the service alone", y, y);
    none("plain words", y, u"東京都千代田区 lat=35.6&lon=139.7"_s);
}

void TestCoordinates::urls()
{
    QFETCH(QString, base);
    QFETCH(QString, url);
    QFETCH(bool, found);
    const std::optional<MapCoordinates> c = mapCoordinates(url, base);
    QCOMPARE(c.has_value(), found);
    if (!found)
        return;
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QFETCH(Datum, datum);
    QVERIFY2(std::abs(c->point.latitude - latitude) < 1e-9, qPrintable(QString::number(c->point.latitude, 'f', 10)));
    QVERIFY2(std::abs(c->point.longitude - longitude) < 1e-9, qPrintable(QString::number(c->point.longitude, 'f', 10)));
    QCOMPARE(c->datum, datum);
}

void TestCoordinates::sixDecimals()
{
    QCOMPARE(formatDegrees(35.6812364), u"35.681236"_s);
    QCOMPARE(formatDegrees(139.7671255001), u"139.767126"_s);
    QCOMPARE(formatDegrees(-33.8567844), u"-33.856784"_s);
    QCOMPARE(formatDegrees(-0.0000001), u"0.000000"_s);
    QCOMPARE(formatDegrees(35), u"35.000000"_s);
}

void TestCoordinates::controlPointTokyoToJgd2011()
{
    // The origin as a map page of the service carries it.
    const std::optional<MapCoordinates> read =
        mapCoordinates(kYahoo + u"/pl?lat=35.39.17.5148&lon=139.44.40.5020"_s, kYahoo);
    QVERIFY(read);
    QCOMPARE(read->datum, Datum::Tokyo);
    QVERIFY(metresBetween(read->point, kOriginTokyo) < 1e-6);

    DatumConversion conversion;
    const DatumShift shift = conversion.convert(read->point, Datum::Tokyo, Datum::Jgd2011);
    QVERIFY2(shift.ok, qPrintable(shift.error));
    const double off = metresBetween(kOriginJgd2011, shift.point);
    qInfo("PROJ: %s, stated accuracy %g m; %.2f m from the published JGD2011 origin",
          qPrintable(shift.operation), shift.accuracyMetres, off);
    QVERIFY(shift.accuracyMetres > 0 && shift.accuracyMetres <= 10);
    QVERIFY2(off <= shift.accuracyMetres, qPrintable(QString::number(off)));
    // Not a shift of nothing: the datums lie some 450 m apart here.
    QVERIFY(metresBetween(kOriginTokyo, shift.point) > 400);
}

void TestCoordinates::controlPointWgs84ToTokyo()
{
    // A URL with datum=wgs: the published JGD2011 origin read as WGS 84, which
    // PROJ equates with JGD2011 to its own stated accuracy.
    DatumConversion conversion;
    const DatumShift jgd = conversion.convert(kOriginJgd2011, Datum::Jgd2011, Datum::Wgs84);
    QVERIFY2(jgd.ok, qPrintable(jgd.error));
    const DatumShift tokyo = conversion.convert(kOriginJgd2011, Datum::Wgs84, Datum::Tokyo);
    QVERIFY2(tokyo.ok, qPrintable(tokyo.error));
    const double off = metresBetween(kOriginTokyo, tokyo.point);
    qInfo("PROJ: %s, stated accuracy %g m (+ %g m for WGS 84 = JGD2011); %.2f m from the published Tokyo origin",
          qPrintable(tokyo.operation), tokyo.accuracyMetres, jgd.accuracyMetres, off);
    QVERIFY(tokyo.accuracyMetres > 0 && tokyo.accuracyMetres + jgd.accuracyMetres <= 11);
    QVERIFY2(off <= tokyo.accuracyMetres + jgd.accuracyMetres, qPrintable(QString::number(off)));
}

void TestCoordinates::refusesWhatPROJCannotVouchFor()
{
    DatumConversion conversion;
    // Far from Japan the Tokyo datum means nothing; PROJ would still apply
    // its Japanese transformation, so the area of use decides.
    for (const GeoPoint p : {GeoPoint{0, 0}, GeoPoint{51.4779, -0.0015}, GeoPoint{-33.8568, 151.2153}}) {
        for (const auto &[from, to] : {std::pair{Datum::Tokyo, Datum::Jgd2011}, std::pair{Datum::Jgd2011, Datum::Tokyo}}) {
            const DatumShift shift = conversion.convert(p, from, to);
            QVERIFY2(!shift.ok, qPrintable(formatDegrees(shift.point.latitude)));
            QVERIFY2(shift.error.startsWith(u"outside the area where \""_s) && shift.error.contains(u"Japan"_s),
                     qPrintable(shift.error));
        }
    }
    // Where PROJ knows no transformation between two datums it falls back on
    // a "ballpark" shift of unknown accuracy: refused, never shown as a point.
    // (The Tokyo datum and NAD27 share no area of use.)
    ProjDatumEngine engine;
    const DatumShift ballpark = engine.convertBetween(kOriginTokyo, "EPSG:4301", "EPSG:4267");
    QVERIFY2(!ballpark.ok, qPrintable(ballpark.operation));
    QVERIFY2(ballpark.error.startsWith(u"PROJ has no transformation of known accuracy"_s)
                 && ballpark.error.contains(u"Ballpark"_s, Qt::CaseInsensitive),
             qPrintable(ballpark.error));
    const DatumShift same = conversion.convert(kOriginTokyo, Datum::Tokyo, Datum::Tokyo);
    QVERIFY(same.ok);
    QCOMPARE(same.point.latitude, kOriginTokyo.latitude);
}

void TestCoordinates::commandLine()
{
    auto run = [](const QString &url, QString &out, QString &err) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        return coordinatesCommand(url, kYahoo, o, e);
    };
    QString out, err;
    QCOMPARE(run(kYahoo + u"/pl?lat=35.39.17.5148&lon=139.44.40.5020"_s, out, err), 0);
    const QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], u"tokyo 35.654865 139.744584"_s);
    const QStringList jgd = lines[1].split(u' ');
    QCOMPARE(jgd.size(), 3);
    QCOMPARE(jgd[0], u"jgd2011"_s);
    QVERIFY(metresBetween(kOriginJgd2011, {jgd[1].toDouble(), jgd[2].toDouble()}) <= 10);
    QVERIFY(err.isEmpty());

    // The WGS 84 point of a URL is shown as JGD2011 and shifted for Tokyo.
    QCOMPARE(run(kYahoo + u"/?ll=35.658099,139.741357&datum=wgs"_s, out, err), 0);
    QVERIFY2(out.startsWith(u"tokyo 35.6548"_s) && out.contains(u"\njgd2011 35.658099 139.741357\n"_s),
             qPrintable(out));

    // Today's page: its own point exact in JGD2011, the Tokyo one shifted
    // some 450 m the other way.
    QCOMPARE(run(u"https://map.yahoo.co.jp/place?lat=35.658099&lon=139.741357&zoom=16&maptype=basic"_s, out, err), 0);
    const QStringList today = out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(today.size(), 2);
    QCOMPARE(today[1], u"jgd2011 35.658099 139.741357"_s);
    const QStringList tokyo = today[0].split(u' ');
    QCOMPARE(tokyo.size(), 3);
    QVERIFY(metresBetween(kOriginTokyo, {tokyo[1].toDouble(), tokyo[2].toDouble()}) <= 10);

    QCOMPARE(run(u"http://example.com/?lat=35.6&lon=139.7"_s, out, err), 1);
    QVERIFY(out.isEmpty());
    QVERIFY(!err.isEmpty());

    // No JGD2011 point far from Japan: the Tokyo one is still given.
    QCOMPARE(run(kYahoo + u"/pl?lat=0&lon=0"_s, out, err), 3);
    QCOMPARE(out, u"tokyo 0.000000 0.000000\n"_s);
    QVERIFY(err.contains(u"JGD2011"_s));
}

QTEST_GUILESS_MAIN(TestCoordinates)
#include "tst_coordinates.moc"
