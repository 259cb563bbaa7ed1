#include "settings/SettingsValue.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

#include <cmath>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace SettingsValue {

namespace {

// Plain decimal notation; a whole number has no decimal point.
QString numberText(double v, int precision)
{
    if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 1e15)
        return QString::number(qint64(v));
    return QString::number(v, 'g', precision);
}

bool isSkipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

}  // namespace

QString toText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? u"True"_s : u"False"_s;
    case QMetaType::Float:
        return numberText(double(value.toFloat()), 7);
    case QMetaType::Double:
        return numberText(value.toDouble(), 15);
    case QMetaType::QDate:
        return value.toDate().toString(u"yyyy/MM/dd"_s);
    case QMetaType::QDateTime:
        return value.toDateTime().toString(u"yyyy/MM/dd HH:mm:ss"_s);
    default:
        return value.toString();
    }
}

double leadingNumber(const QString &text)
{
    // Collect the number's characters, then let strtod read exactly those.
    QByteArray number;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skip = [&] { while (i < n && isSkipped(text.at(i))) ++i; };
    auto digits = [&] {
        bool any = false;
        for (skip(); i < n && text.at(i).unicode() >= u'0' && text.at(i).unicode() <= u'9'; skip()) {
            number += char(text.at(i++).unicode());
            any = true;
        }
        return any;
    };
    skip();
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-'))
        number += char(text.at(i++).unicode());
    bool any = digits();
    if (i < n && text.at(i) == u'.') {
        number += '.';
        ++i;
        any = digits() || any;
    }
    if (!any)
        return 0;
    // An exponent counts only with digits after it: "12e" reads as 12.
    const qsizetype beforeExponent = i;
    const QByteArray mantissa = number;
    if (i < n && (text.at(i) == u'e' || text.at(i) == u'E')) {
        number += 'e';
        ++i;
        skip();
        if (i < n && (text.at(i) == u'+' || text.at(i) == u'-'))
            number += char(text.at(i++).unicode());
        if (!digits()) {
            number = mantissa;
            i = beforeExponent;
        }
    }
    const double v = std::strtod(number.constData(), nullptr);
    return std::isfinite(v) ? v : 0;
}

QVariant read(const QString &t, const QVariant &def)
{
    switch (def.typeId()) {
    case QMetaType::QString:
        return t.isEmpty() ? def : QVariant(t);
    case QMetaType::Bool: {
        if (t.isEmpty())
            return def;
        if (t.compare(u"true"_s, Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(u"false"_s, Qt::CaseInsensitive) == 0)
            return false;
        const QString trimmed = t.trimmed();
        bool isNumber = false;
        const double v = trimmed.toDouble(&isNumber);
        return isNumber ? QVariant(v != 0) : def;
    }
    case QMetaType::QDate:
    case QMetaType::QDateTime: {
        for (const QString &format : {u"yyyy/MM/dd"_s, u"yyyy/M/d"_s, u"yyyy-MM-dd"_s}) {
            const QDate d = QDate::fromString(t.trimmed(), format);
            if (d.isValid())
                return def.typeId() == QMetaType::QDate ? QVariant(d) : QVariant(d.startOfDay());
        }
        const QDateTime dt = QDateTime::fromString(t.trimmed(), u"yyyy/MM/dd HH:mm:ss"_s);
        if (dt.isValid())
            return def.typeId() == QMetaType::QDate ? QVariant(dt.date()) : QVariant(dt);
        const QDate local = QLocale::system().toDate(t.trimmed(), QLocale::ShortFormat);
        if (local.isValid())
            return def.typeId() == QMetaType::QDate ? QVariant(local) : QVariant(local.startOfDay());
        return def;
    }
    default:
        return t.isEmpty() ? def : QVariant(leadingNumber(t));
    }
}

}  // namespace SettingsValue
