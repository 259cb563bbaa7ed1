#include "postal/import/ZipEntry.h"

#include <QDateTime>
#include <QFile>

#include <memory>

#include <zip.h>

using namespace Qt::StringLiterals;

namespace ZipEntry {

namespace {

struct Close {
    void operator()(zip_t *z) const { zip_discard(z); }
    void operator()(zip_file_t *f) const { zip_fclose(f); }
};

QString errorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

}  // namespace

bool isZip(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(4) == QByteArray("PK\x03\x04", 4);
}

bool read(const QString &path, const QString &name, qint64 limit, Entry *entry, QString *why)
{
    int code = 0;
    // Checked whole first: an archive cut short or patched is refused, not half read.
    std::unique_ptr<zip_t, Close> archive(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!archive) {
        *why = u"not a whole zip archive: cut short or damaged"_s
               + (code == ZIP_ER_NOZIP ? QString() : u" ("_s + errorText(code) + u")"_s);
        return false;
    }
    const zip_int64_t index = zip_name_locate(archive.get(), name.toUtf8().constData(), ZIP_FL_NOCASE | ZIP_FL_NODIR);
    if (index < 0) {
        *why = u"holds no "_s + name;
        return false;
    }
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive.get(), zip_uint64_t(index), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
        *why = u"cannot read "_s + name + u": "_s + QString::fromUtf8(zip_strerror(archive.get()));
        return false;
    }
    if (stat.size > zip_uint64_t(limit)) {
        *why = u"%1 is %2 bytes unpacked, more than any such file holds"_s.arg(name).arg(stat.size);
        return false;
    }
    std::unique_ptr<zip_file_t, Close> file(zip_fopen_index(archive.get(), zip_uint64_t(index), 0));
    if (!file) {
        *why = u"cannot read "_s + name + u": "_s + QString::fromUtf8(zip_strerror(archive.get()));
        return false;
    }
    entry->bytes.resize(qsizetype(stat.size));
    // libzip checks the checksum when the last byte has been read.
    const zip_int64_t n = zip_fread(file.get(), entry->bytes.data(), stat.size);
    char more;
    if (n != zip_int64_t(stat.size) || zip_fread(file.get(), &more, 1) != 0) {
        const bool said = zip_error_code_zip(zip_file_get_error(file.get())) != ZIP_ER_OK;
        *why = name + u" in the archive is damaged"_s
               + (said ? u" ("_s + QString::fromUtf8(zip_file_strerror(file.get())) + u")"_s : QString());
        entry->bytes.clear();
        return false;
    }
    entry->name = QString::fromUtf8(stat.name);
    if (stat.valid & ZIP_STAT_MTIME)
        entry->date = QDateTime::fromSecsSinceEpoch(stat.mtime).date();
    return true;
}

}  // namespace ZipEntry
