#pragma once
// Values as the Desktop Entry Specification wants them written, so that an
// entry stays valid whatever folder or address it names. Each returns
// nothing for a value that holds a line break: no escape keeps a line
// break from ending the key, and an entry must never gain keys it did not
// ask for.

#include <QString>

#include <optional>

namespace DesktopEntryText {

// A string or locale string value (Name=, URL=): \s \n \t \r \\ escaped.
std::optional<QString> value(const QString &text);
// One argument of Exec=, quoted and with "%" doubled, then escaped as a
// string value is.
std::optional<QString> execArgument(const QString &argument);
// An argument for a POSIX shell script, in single quotes.
std::optional<QString> shellArgument(const QString &argument);

}  // namespace DesktopEntryText
