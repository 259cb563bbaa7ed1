#pragma once
// Standard input and output as the commands answering a line at a time use
// them, and files written whole.

#include "postal/mail/PostalLookup.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace Cli {

// Runs a command answering standard input a line at a time: each answer
// reaches standard output before the program waits for more input, so that
// a program asking one line at a time through a pipe gets each answer.
// Lines named are said on standard error and raise *code to 1 at least.
int answerLines(const std::function<bool(const PostalLookup::Io &)> &command, int *code);

// Writes a file whole, or says why not on standard error. A file is
// replaced only once the new one is complete; something that is no file (a
// device, a pipe) is written to, never replaced.
bool writeFile(const QString &path, const QByteArray &bytes);

}  // namespace Cli
