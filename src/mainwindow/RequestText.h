#pragma once
// The request a calling program sends and the answer it gets back: tab-separated
// fields behind the marker "ZenroA".

#include <QString>
#include <QStringList>

namespace RequestText {

inline constexpr char16_t kMarker[] = u"ZenroA";
inline constexpr char kMarkerBytes[] = "ZenroA";  // the same in code page 932
inline constexpr int kMinFields = 5;  // marker, postal code, address, company, map URL

struct Record {
    QString zip, address, company, mapUrl;
};

// Fields as received, split at every tab; line ends stay inside their field.
QStringList fields(const QString &text);
// The record a request opens with: fields 1 to 4, a map URL not of the map
// service (holding mapBaseUrl or its https form, letter case aside) left
// out. Needs kMinFields.
Record recordFromRequest(const QStringList &requestFields, const QString &mapBaseUrl);
// "ZenroA", the four fields, and "1" when the company or the map URL differs
// from what the request carried (exact comparison), else "0".
QString answer(const QStringList &requestFields, const Record &finalRecord);

}  // namespace RequestText
