// zenrook-postal info: which dictionary answers, and what it holds.

#include "postal/cli/Command.h"
#include "postal/cli/Dictionaries.h"
#include "postal/cli/UsageTexts.h"
#include "postal/dictionary/PostalDictionary.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

using namespace Qt::StringLiterals;

int infoCommand(const QStringList &arguments)
{
    const QCommandLineOption dictionary = Cli::dictionaryOption();
    QCommandLineParser parser;
    if (const auto done = Cli::parse(parser, u"info"_s, {dictionary}, arguments, Cli::UsageTexts::kInfo))
        return *done;
    const auto d = Cli::dictionaryAt(parser.value(dictionary));
    if (!d)
        return 1;
    const PostalDictionary::Info i = d->info();
    const QString path = QDir::cleanPath(QDir::current().absoluteFilePath(d->path()));
    const bool own = QFileInfo(path) == QFileInfo(PostalDictionary::usersOwn());
    std::printf("source: %s\nversion: %s\ndata date: %s\ncodes: %lld\ntowns: %lld\nbusiness codes: %lld\n"
                "dictionary: %s\nkind: %s\n",
                qPrintable(i.source), qPrintable(i.version), qPrintable(i.date), i.codes, i.towns, i.business,
                qPrintable(path),
                own ? "your own, written by zenrook-postal update"
                    : !parser.isSet(dictionary) ? "shipped with the program (zenrook-postal update writes your own)"
                                                : "given with --dictionary");
    return Cli::finishOutput(0);
}
