// The postal service's files as the importer reads them: any bytes, either
// as utf_ken_all.csv (first byte even) or as JIGYOSYO.CSV (odd). A file is
// read whole or refused with a reason; rows always have a seven-digit code.

#include "addresses/DictionaryImport.h"

#include <QFile>
#include <QTemporaryFile>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static QTemporaryFile file;
    if (!file.isOpen() && !file.open())
        std::abort();
    file.resize(0);
    file.seek(0);
    file.write(reinterpret_cast<const char *>(data) + 1, qint64(size - 1));
    file.flush();
    DictionaryImport::Source source;
    QString error;
    const bool ok = data[0] % 2 == 0 ? DictionaryImport::readKenAll(file.fileName(), &source, &error)
                                     : DictionaryImport::readJigyosyo(file.fileName(), &source, &error);
    if (!ok && error.isEmpty())
        std::abort();  // a refusal always says why
    for (const DictionaryImport::Row &row : source.rows) {
        if (row.zip.size() != 7 || row.pref.isEmpty() || row.city.isEmpty())
            std::abort();
        DictionaryImport::townOf(row.town);
    }
    return 0;
}
