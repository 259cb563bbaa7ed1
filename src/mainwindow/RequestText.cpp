#include "mainwindow/RequestText.h"

#include "maps/MapService.h"

namespace RequestText {

QStringList fields(const QString &text)
{
    return text.split(QLatin1Char('\t'));
}

Record recordFromRequest(const QStringList &f, const QString &mapBaseUrl)
{
    Record r{f.value(1), f.value(2), f.value(3), f.value(4)};
    if (!MapService::containsPage(r.mapUrl, mapBaseUrl))
        r.mapUrl.clear();
    return r;
}

QString answer(const QStringList &f, const Record &r)
{
    const bool changed = f.value(3) != r.company || f.value(4) != r.mapUrl;
    const QChar tab(QLatin1Char('\t'));
    return QString::fromUtf16(kMarker) + tab + r.zip + tab + r.address + tab + r.company + tab
           + r.mapUrl + tab + (changed ? QLatin1Char('1') : QLatin1Char('0'));
}

}  // namespace RequestText
