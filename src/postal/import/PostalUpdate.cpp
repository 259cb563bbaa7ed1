#include "postal/import/PostalUpdate.h"

#include "postal/import/DictionaryImport.h"
#include "postal/dictionary/PostalDictionary.h"
#include "postal/import/ZipEntry.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace PostalUpdate {

namespace {

// Far above the files' size (2 and 0.8 MB), far below what would hurt.
constexpr qint64 kLargestDownload = 64 << 20;
// Fewer rows than this is no whole country: a file cut short or of a test.
constexpr qint64 kFewestTownRows = 100'000, kFewestBusinessRows = 10'000;

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / 1e6, 'f', 1) + u" MB"_s;
}

// Fetches a URL whole into `to`; false with the reason.
bool download(QNetworkAccessManager &network, const QUrl &url, const QString &to, const Options &options,
              const Report &report, QString *why)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(options.timeoutSeconds * 1000);
    request.setHeader(QNetworkRequest::UserAgentHeader, u"zenrook-postal"_s);
    std::unique_ptr<QNetworkReply> reply(network.get(request));
    QFile file(to);
    if (!file.open(QIODevice::WriteOnly)) {
        *why = u"cannot write "_s + to + u": "_s + file.errorString();
        return false;
    }
    const QString name = QFileInfo(to).fileName();
    QString failure;
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
        const QByteArray bytes = reply->readAll();
        if (file.size() + bytes.size() > kLargestDownload) {
            failure = u"more than "_s + megabytes(kLargestDownload) + u": not the postal service's file"_s;
            reply->abort();
        } else if (file.write(bytes) != bytes.size()) {
            failure = u"cannot write "_s + to + u": "_s + file.errorString();
            reply->abort();
        }
    });
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, &loop, [&](qint64 received, qint64 total) {
        if (report.progress)
            report.progress(u"downloading "_s + name + u": "_s + megabytes(received)
                            + (total > 0 ? u" of "_s + megabytes(total) : QString()));
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString from = reply->url().toString();
    if (failure.isEmpty() && reply->error() != QNetworkReply::NoError) {
        failure = status >= 400 ? u"HTTP %1 %2"_s.arg(status).arg(
                                      reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())
                                : reply->errorString();
    }
    if (failure.isEmpty() && (status < 200 || status >= 300) && url.scheme().startsWith(u"http"_s))
        failure = u"HTTP %1"_s.arg(status);
    if (failure.isEmpty() && !file.flush())
        failure = u"cannot write "_s + to + u": "_s + file.errorString();
    if (!failure.isEmpty()) {
        *why = u"cannot download "_s + name + u" from "_s + from + u": "_s + failure;
        return false;
    }
    return true;
}

// The codes of a dictionary file; none when there is none to read.
QSet<QString> codesOf(const QString &path)
{
    if (path.isEmpty())
        return {};
    const auto d = PostalDictionary::open(path);
    if (!d)
        return {};
    const QStringList codes = d->allCodes();
    return QSet<QString>(codes.cbegin(), codes.cend());
}

// The two files, each given or downloaded into `work`, checked and read.
bool read(const Options &options, const Report &report, const QTemporaryDir &work, DictionaryImport::Source *source,
          QString *why)
{
    QNetworkAccessManager network;
    struct Wanted {
        QString name, given;
        QUrl url;
        bool (*read)(const QString &, DictionaryImport::Source *, QString *);
    };
    const Wanted wanted[] = {{u"utf_ken_all.zip"_s, options.kenAllFile, options.kenAllUrl, DictionaryImport::readKenAll},
                             {u"jigyosyo.zip"_s, options.jigyosyoFile, options.jigyosyoUrl, DictionaryImport::readJigyosyo}};
    for (const Wanted &w : wanted) {
        QString path = w.given;
        if (path.isEmpty()) {
            path = work.filePath(w.name);
            if (!download(network, w.url, path, options, report, why))
                return false;
        }
        if (!w.given.isEmpty() && !QFileInfo(path).isFile()) {
            *why = path + (QFileInfo::exists(path) ? u": not a file"_s : u": no such file"_s);
            return false;
        }
        if (!ZipEntry::isZip(path)) {
            *why = (w.given.isEmpty() ? w.name + u" from "_s + w.url.toString() : path)
                   + u": not a zip archive (the postal service's files come as "_s + w.name + u")"_s;
            return false;
        }
        if (report.progress)
            report.progress(u"reading "_s + w.name);
        if (!w.read(path, source, why)) {
            if (w.given.isEmpty())
                *why += u" (downloaded from "_s + w.url.toString() + u")"_s;
            return false;
        }
    }
    return true;
}

}  // namespace

int run(const Options &options, const Report &report, QString *why)
{
    QTemporaryDir work;
    if (!work.isValid()) {
        *why = u"cannot make a folder for the downloads: "_s + work.errorString();
        return 1;
    }
    DictionaryImport::Source source;
    if (!read(options, report, work, &source, why))
        return 1;
    if (source.townRows < kFewestTownRows || source.businessRows < kFewestBusinessRows) {
        *why = u"the files hold %1 town rows and %2 business rows, too few for the whole country "
               "(at least %3 and %4): cut short, or not the postal service's"_s.arg(source.townRows)
                   .arg(source.businessRows).arg(kFewestTownRows).arg(kFewestBusinessRows);
        return 1;
    }

    QString inUseDate;
    if (!options.inUse.isEmpty()) {
        if (const auto d = PostalDictionary::open(options.inUse))
            inUseDate = d->info().date;
    }
    if (!options.force && !inUseDate.isEmpty() && source.date < inUseDate) {
        *why = u"the files are of "_s + source.date + u", older than the dictionary in use ("_s + inUseDate + u", "_s
               + options.inUse + u"); --force writes them all the same"_s;
        return 1;
    }
    const QString folder = QFileInfo(options.output).absolutePath();
    if (!QDir().mkpath(folder)) {
        *why = u"cannot make the folder "_s + folder + u" (no permission to write in what holds it, or a file of that name is there)"_s;
        return 1;
    }
    if (report.progress)
        report.progress(u"building the dictionary"_s);
    const QSet<QString> before = codesOf(options.inUse);
    const DictionaryImport::Result r = DictionaryImport::write(source, options.output);
    if (!r.ok) {
        *why = r.error;
        return 1;
    }
    if (report.progress)
        report.progress(QString());
    const QSet<QString> after = codesOf(options.output);
    report.line(u"%1: data of %2 (%3), %4 codes, %5 towns, %6 business codes"_s.arg(options.output, source.date,
                                                                                  source.source)
                    .arg(r.codes).arg(r.towns).arg(r.business));
    if (!before.isEmpty()) {
        const qsizetype added = (after - before).size(), gone = (before - after).size();
        report.line(u"since the dictionary in use (%1, data of %2): %3 %4 added, %5 gone"_s
                        .arg(options.inUse, inUseDate)
                        .arg(added)
                        .arg(added == 1 ? u"code"_s : u"codes"_s)
                        .arg(gone));
    }
    return 0;
}

}  // namespace PostalUpdate
