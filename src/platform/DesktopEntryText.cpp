#include "platform/DesktopEntryText.h"

using namespace Qt::StringLiterals;

namespace DesktopEntryText {

namespace {
bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}
}  // namespace

std::optional<QString> value(const QString &text)
{
    if (hasLineBreak(text))
        return std::nullopt;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\')
            out += u"\\\\"_s;
        else if (c == u'\t')
            out += u"\\t"_s;
        else if (c == u' ' && i == 0)
            out += u"\\s"_s;  // a leading blank would be taken as padding
        else
            out += c;
    }
    return out;
}

std::optional<QString> execArgument(const QString &argument)
{
    if (hasLineBreak(argument))
        return std::nullopt;
    QString quoted = u"\""_s;
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    quoted += u'"';
    return value(quoted);
}

std::optional<QString> shellArgument(const QString &argument)
{
    if (hasLineBreak(argument))
        return std::nullopt;
    QString quoted = argument;
    quoted.replace(u"'"_s, u"'\\''"_s);
    return u"'"_s + quoted + u"'"_s;
}

}  // namespace DesktopEntryText
