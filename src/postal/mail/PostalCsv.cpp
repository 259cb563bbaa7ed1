#include "postal/mail/PostalCsv.h"

#include "postal/mail/ListRun.h"
#include "postal/mail/ListSource.h"

using namespace Qt::StringLiterals;

namespace PostalCsv {

namespace {

const QByteArray kBom = "\xEF\xBB\xBF";

}  // namespace

Stop run(AddressComponent &component, const Options &options, const Io &io)
{
    return run(QList<AddressComponent *>{&component}, options, io);
}

Stop run(const QList<AddressComponent *> &components, const Options &options, const Io &io)
{
    ListSource source(io.read, options.encoding, [&](const QString &why) { io.warn(0, why); });
    if (!source.open())
        return {Stop::Kind::Io, u"cannot read the list"_s};
    // A byte-order mark is passed on.
    if (source.bom() && !io.write(kBom))
        return {Stop::Kind::Io, u"cannot write the list"_s};
    ListRun list(components, options, io, source.encoding());
    CsvRecords::Record record;
    bool going = true;
    while (going && source.next(&record))
        going = list.feed(record);
    return list.finish(source.failed());
}

}  // namespace PostalCsv
