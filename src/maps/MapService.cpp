#include "maps/MapService.h"

using namespace Qt::StringLiterals;

namespace MapService {

QString secureBase(const QString &base)
{
    const QString plain = u"http://"_s;
    return base.startsWith(plain, Qt::CaseInsensitive) ? u"https://"_s + base.mid(plain.size()) : base;
}

bool beginsWithPage(const QString &text, const QString &base)
{
    return text.startsWith(base, Qt::CaseInsensitive) || text.startsWith(secureBase(base), Qt::CaseInsensitive);
}

bool containsPage(const QString &text, const QString &base)
{
    return text.contains(base, Qt::CaseInsensitive) || text.contains(secureBase(base), Qt::CaseInsensitive);
}

QString withoutLineEnds(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && (text.at(end - 1) == u'\n' || text.at(end - 1) == u'\r'))
        --end;
    return text.left(end);
}

QString capturedPage(const QString &text, const QString &base)
{
    if (!beginsWithPage(text, base))
        return {};
    const QString url = withoutLineEnds(text);
    if (url.contains(u'\t') || url.contains(u'\n') || url.contains(u'\r'))
        return {};
    return url;
}

}  // namespace MapService
