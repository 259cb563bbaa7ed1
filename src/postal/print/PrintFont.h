#pragma once
// The font the mail is printed in: a font file given, or the Mincho the
// package depends on (IPA明朝, fonts-ipafont-mincho).

#include <QString>

#include <optional>

namespace PrintFont {

inline constexpr char kDefaultFamily[] = "IPAmincho";

// The family to ask for: the given file's, made known to the font system
// for this run; or the default where it is installed. None, with the
// reason, when there is no such font.
std::optional<QString> family(const QString &file, QString *why);

}  // namespace PrintFont
