// The postal service's files as the importer reads them: any bytes, either
// as utf_ken_all (first byte even) or as JIGYOSYO (odd); bytes that begin
// as a zip archive does go through a file, as the archive, the rest are
// read as the file itself. A file is read whole or refused with a reason;
// rows always have a seven-digit code.

#include "postal/import/DictionaryImport.h"

#include <QFile>
#include <QTemporaryFile>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const bool kenAll = data[0] % 2 == 0;
    DictionaryImport::Source source;
    QString error;
    bool ok = false;
    if (bytes.startsWith("PK")) {
        static QTemporaryFile file;
        if (!file.isOpen() && !file.open())
            std::abort();
        file.resize(0);
        file.seek(0);
        file.write(bytes);
        file.flush();
        ok = kenAll ? DictionaryImport::readKenAll(file.fileName(), &source, &error)
                    : DictionaryImport::readJigyosyo(file.fileName(), &source, &error);
    } else {
        ok = kenAll ? DictionaryImport::parseKenAll(QStringLiteral("utf_ken_all.csv"), bytes, &source, &error)
                    : DictionaryImport::parseJigyosyo(QStringLiteral("JIGYOSYO.CSV"), bytes, &source, &error);
    }
    if (!ok && error.isEmpty())
        std::abort();  // a refusal always says why
    for (const DictionaryImport::Row &row : source.rows) {
        if (row.zip.size() != 7 || row.pref.isEmpty() || row.city.isEmpty())
            std::abort();
        DictionaryImport::townOf(row.town);
    }
    return 0;
}
