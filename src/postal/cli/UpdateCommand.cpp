// zenrook-postal update: the postal service's current files as the user's
// own dictionary.

#include "postal/cli/Command.h"
#include "postal/cli/Dictionaries.h"
#include "postal/cli/UsageTexts.h"
#include "postal/dictionary/PostalDictionary.h"
#include "postal/import/PostalUpdate.h"

#include <QUrl>

#include <cstdio>

#include <unistd.h>

using namespace Qt::StringLiterals;

int updateCommand(const QStringList &arguments)
{
    const QCommandLineOption kenAllUrl(u"ken-all-url"_s,
                                       u"where to fetch utf_ken_all.zip (default: the postal service's, "
                                       u"https://www.post.japanpost.jp/service/search/zipcode/download/utf/zip/utf_ken_all.zip)"_s,
                                       u"URL"_s);
    const QCommandLineOption jigyosyoUrl(u"jigyosyo-url"_s,
                                         u"where to fetch jigyosyo.zip (default: the postal service's, "
                                         u"https://www.post.japanpost.jp/service/search/zipcode/download/office/zip/jigyosyo.zip)"_s,
                                         u"URL"_s);
    const QCommandLineOption kenAll(u"ken-all"_s, u"take utf_ken_all.zip already downloaded"_s, u"FILE"_s);
    const QCommandLineOption jigyosyo(u"jigyosyo"_s, u"take jigyosyo.zip already downloaded (a file not given is downloaded)"_s,
                                      u"FILE"_s);
    const QCommandLineOption force(u"force"_s, u"write files older than the dictionary in use"_s);
    QCommandLineParser parser;
    if (const auto done = Cli::parse(parser, u"update"_s, {kenAllUrl, jigyosyoUrl, kenAll, jigyosyo, force}, arguments,
                                     Cli::UsageTexts::kUpdate))
        return *done;
    PostalUpdate::Options o;
    for (const auto &[option, url] : {std::pair{&kenAllUrl, &o.kenAllUrl}, std::pair{&jigyosyoUrl, &o.jigyosyoUrl}}) {
        if (!parser.isSet(*option))
            continue;
        *url = QUrl::fromUserInput(parser.value(*option));
        if (!url->isValid() || url->scheme().isEmpty())
            return Cli::usageError(u"update: --%1 is no URL: %2"_s.arg(option->names().first(), parser.value(*option)),
                                   u"update"_s);
    }
    o.kenAllFile = parser.value(kenAll);
    o.jigyosyoFile = parser.value(jigyosyo);
    o.force = parser.isSet(force);
    o.output = PostalDictionary::usersOwn();
    o.inUse = Cli::dictionaryInUse();
    const bool terminal = ::isatty(STDERR_FILENO);
    qsizetype shown = 0;  // of the progress line
    PostalUpdate::Report report;
    if (terminal) {
        report.progress = [&](const QString &text) {
            const QByteArray bytes = text.toUtf8();
            std::fprintf(stderr, "\r%-*s\r%s", int(shown), "", bytes.constData());
            std::fflush(stderr);
            shown = bytes.size();
        };
    }
    report.line = [](const QString &text) { std::printf("%s\n", qPrintable(text)); };
    QString why;
    const int code = PostalUpdate::run(o, report, &why);
    if (terminal && shown > 0)
        std::fprintf(stderr, "\r%-*s\r", int(shown), "");
    if (code != 0) {
        std::fprintf(stderr, "zenrook-postal: update: %s\n", qPrintable(why));
        return code;
    }
    return Cli::finishOutput(0);
}
