#pragma once
// Map searches: the search URL for a free text, and the query encoding it uses.

#include <QString>

// UTF-8 percent-encoding of the map service's search page: blank as "+",
// letters, digits, "@", "*", "-", ".", "_" as they are, everything else as
// "%XX" escapes with upper-case hex. Each code unit is encoded on its own,
// except that a surrogate pair becomes the four bytes of its character.
QString UrlEnc(const QString &text);

// The search URL: MapSearchHead and the encoded text, after each pair of
// blanks became one (a single left-to-right pass, nothing trimmed).
QString MapSearchURL(const QString &text);
