#pragma once
// What the commands of zenrook-postal share: a command's options read, its
// help shown, and the end of a command that wrote to standard output.

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QStringList>

#include "postal/mail/PostalCsv.h"

#include <optional>

namespace Cli {

// A command's help apart from its options, which its parser lists.
struct Usage {
    const char *synopsis;     // "Usage: zenrook-postal lookup [--all] …"
    const char *description;  // what it does, as the man page has it
};

// Reads a command's arguments with its options (and -h, --help). An exit
// status when the command ends here (its help shown, or a mistake said),
// none when it goes on; an option that takes a value never has an empty one.
std::optional<int> parse(QCommandLineParser &parser, const QString &command, const QList<QCommandLineOption> &options,
                         const QStringList &arguments, const Usage &usage);

// Says a mistake in how the program was called, pointing at the help;
// returns the status for it.
int usageError(const QString &message, const QString &command = {});

// The end of a command that wrote to standard output: what did not reach it
// is an error.
int finishOutput(int code);

// A list's encoding as --encoding names it: none (a mistake) for a name
// that is neither cp932 nor utf-8 (nor their other spellings); Detect for "".
std::optional<PostalCsv::Encoding> encodingNamed(const QString &name);

// The -d, --dictionary option that the commands reading a dictionary share.
QCommandLineOption dictionaryOption();

}  // namespace Cli

int lookupCommand(const QStringList &arguments);
int infoCommand(const QStringList &arguments);
int importCommand(const QStringList &arguments);
int updateCommand(const QStringList &arguments);
int barcodeCommand(const QStringList &arguments);
int csvCommand(const QStringList &arguments);
int printCommand(const QStringList &arguments);
