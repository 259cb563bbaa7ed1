#include "addresses/PostalLookup.h"

#include "addresses/AddressComponent.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace PostalLookup {

bool isPostalCode(const QString &query)
{
    bool digits = false;
    const QString n = query.normalized(QString::NormalizationForm_KC);
    for (const QChar c : n) {
        if (c.isDigit() && c.unicode() < 0x80)
            digits = true;
        else if (!(c.isSpace() || c == u'-' || c == QChar(0x3012) || c == QChar(0x2212) || c == QChar(0x30FC)))
            return false;
    }
    return digits;
}

namespace {

void appendRecord(QByteArray *out, const QString &zip, const QString &address, const QString &company)
{
    *out += zip.toUtf8();
    *out += '\t';
    *out += address.toUtf8();
    *out += '\t';
    *out += company.toUtf8();
    *out += '\n';
}

}  // namespace

void run(AddressComponent &component, bool all, const std::function<bool(QByteArray *)> &read,
         const std::function<void(const QByteArray &)> &write, const std::function<void(qint64)> &warn)
{
    QByteArray line, out;
    qint64 number = 0;
    while (read(&line)) {
        ++number;
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString query = utf8(line);
        if (utf8.hasError()) {
            warn(number);
            query.clear();
        }
        QString zip, address, company;
        (isPostalCode(query) ? zip : address) = query;
        const QByteArray prefix = all ? QByteArray::number(number) + '\t' : QByteArray();
        if (all) {
            const QList<AddressCandidate> found = component.Candidates(zip, address, company, 1);
            for (const AddressCandidate &c : found) {
                out += prefix;
                appendRecord(&out, c.zip, c.address, c.company);
            }
            if (found.isEmpty()) {
                out += prefix;
                appendRecord(&out, zip, address, company);
            }
        } else {
            const QString asGiven = address;
            component.PutAdd(zip, address, company, 1);
            appendRecord(&out, zip, address.isEmpty() ? asGiven : address, company);
        }
        if (out.size() > 1 << 16) {
            write(out);
            out.clear();
        }
    }
    write(out);
}

}  // namespace PostalLookup
