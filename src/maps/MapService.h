#pragma once
// What counts as a page of the map service. The service is named by its
// plain-http base (scheme and host, as MapBaseURL); the same host reached
// over https, as every page of it is today, is the same service.

#include <QString>

namespace MapService {

// The base under https: "https://host[:port]".
QString secureBase(const QString &base);

// A copied text that is a page of the service: it begins with the base or
// with its https form, letter case aside. Nothing is trimmed first.
bool beginsWithPage(const QString &text, const QString &base);

// A request's map URL that belongs to the service: it holds the base or its
// https form anywhere, letter case aside.
bool containsPage(const QString &text, const QString &base);

// The text as it is kept once captured: without the line ends a copy may
// have added after it.
QString withoutLineEnds(const QString &text);

// A copied text as it is captured, or nothing when it is no page of the
// service: a tab or a line break inside is more than a URL copied, and would
// break a request answer's fields.
QString capturedPage(const QString &text, const QString &base);

}  // namespace MapService
