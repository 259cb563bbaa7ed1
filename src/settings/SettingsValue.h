#pragma once
// Values in settings files are plain text; the reader picks the type by the
// default it supplies.

#include <QString>
#include <QVariant>

namespace SettingsValue {

// The text a value is stored as: whole numbers without a decimal point,
// Booleans as True or False, dates as yyyy/MM/dd, strings as they are.
QString toText(const QVariant &value);

// The longest leading decimal number of a text, blanks, tabs and line feeds
// skipped wherever they stand; 0 when the text does not begin with one.
double leadingNumber(const QString &text);

// The stored text t read as the type of def ("" gives def). A Boolean text
// that is neither a Boolean word nor a number, and a text that is no date,
// give def too.
QVariant read(const QString &t, const QVariant &def);

}  // namespace SettingsValue
