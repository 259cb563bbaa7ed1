#include "addresses/PostalLookup.h"

#include "addresses/AddressComponent.h"
#include "addresses/AddressText.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace PostalLookup {

bool isPostalCode(const QString &query)
{
    // Digits and what may stand between them; anything else is an address.
    bool digits = false;
    for (const QChar c : query) {
        const char16_t u = c.unicode();
        if ((u >= u'0' && u <= u'9') || (u >= 0xFF10 && u <= 0xFF19))
            digits = true;
        else if (!AddressText::isZipSeparator(c))
            return false;
    }
    return digits;
}

namespace {

void appendRecord(QByteArray *out, const QByteArray &prefix, const QString &zip, const QString &address,
                  const QString &company, const QString &certainty)
{
    *out += prefix;
    *out += zip.toUtf8();
    *out += '\t';
    *out += address.toUtf8();
    *out += '\t';
    *out += company.toUtf8();
    *out += '\t';
    *out += certainty.toUtf8();
    *out += '\n';
}

// Why a line cannot be read, or "".
QString unreadable(const QByteArray &line, QString *query)
{
    if (line.contains('\0'))
        return u"holds a NUL byte"_s;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    *query = utf8(line);
    if (utf8.hasError())
        return u"not valid UTF-8"_s;
    return QString();
}

}  // namespace

bool eachLine(const Io &io, const Answer &answer)
{
    QByteArray line;
    qint64 number = 0;
    while (io.read(&line)) {
        ++number;
        QString query;
        const QString why = unreadable(line, &query);
        if (!why.isEmpty())
            io.warn(number, why);
        if (!io.write(answer(number, why.isEmpty() ? &query : nullptr)))
            return false;
    }
    return true;
}

bool run(AddressComponent &component, bool all, const Io &io)
{
    return eachLine(io, [&](qint64 number, const QString *query) {
        QByteArray out;
        const QByteArray prefix = all ? QByteArray::number(number) + '\t' : QByteArray();
        if (query && query->contains(u'\t')) {
            io.warn(number, u"holds a tab"_s);
            query = nullptr;
        }
        if (!query) {
            appendRecord(&out, prefix, QString(), QString(), QString(), QString());
            return out;
        }
        QString zip, address, company;
        (isPostalCode(*query) ? zip : address) = *query;
        const AddressAnswer answer = all ? component.FindAll(zip, address, company) : component.Find(zip, address, company, 1);
        if (!answer.problem.isEmpty()) {
            io.warn(number, answer.problem);
            appendRecord(&out, prefix, QString(), QString(), QString(), QString());
        } else if (answer.choices.isEmpty()) {
            appendRecord(&out, prefix, zip, address, company, certaintyWord(Certainty::NotFound));
        } else if (!all) {
            const AddressCandidate &c = answer.choices.first();
            appendRecord(&out, prefix, c.zip, c.address, c.company, certaintyWord(answer.certainty));
        } else {
            for (const AddressCandidate &c : answer.choices + answer.alsoHere)
                appendRecord(&out, prefix, c.zip, c.listed(), c.company, certaintyWord(c.certainty));
        }
        return out;
    });
}

}  // namespace PostalLookup
