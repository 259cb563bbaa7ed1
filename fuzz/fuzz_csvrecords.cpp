// Lists of any content, read in reads of any size: the records put back
// together are the input byte for byte, every field lies within its
// record's body, a record's line numbers follow on, and every value written
// as a field reads back the same.

#include "BufferReader.h"
#include "postal/mail/CsvRecords.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const qsizetype step = 1 + data[0] % 13;  // the reads' size
    const QByteArray input(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1);
    CsvRecords records(BufferReader(input, step));
    QByteArray again;
    QList<QByteArray> values;
    CsvRecords::Record r;
    qint64 line = 1;
    while (records.next(&r)) {
        if (r.raw.isEmpty() || r.line < line || r.bodyEnd < 0 || r.bodyEnd > r.raw.size())
            __builtin_trap();
        line = r.line;
        qsizetype last = -1;
        for (const CsvRecords::Field &f : r.fields) {
            if (f.begin <= last || f.begin > f.end || f.end > r.bodyEnd)
                __builtin_trap();
            last = f.end;
            values << CsvRecords::value(r, f);
        }
        again += r.raw;
    }
    if (again != input)
        __builtin_trap();

    // Every value written as a field, all in one row, reads back the same.
    if (values.isEmpty())
        return 0;
    QByteArray row;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i)
            row += ',';
        CsvRecords::appendField(row, values.at(i));
    }
    row += "\r\n";
    CsvRecords one(BufferReader{row});
    CsvRecords::Record back;
    if (!one.next(&back) || !back.problem.isEmpty() || back.raw != row || back.fields.size() != values.size())
        __builtin_trap();
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (CsvRecords::value(back, back.fields.at(i)) != values.at(i))
            __builtin_trap();
    }
    return 0;
}
