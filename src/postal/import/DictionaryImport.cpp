#include "postal/import/DictionaryImport.h"

#include "postal/import/DictionaryTables.h"


#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace DictionaryImport {

namespace {

// The new file is made next to the one it replaces (a rename never crosses
// file systems), under a name of its own (two imports at once never share
// one), and only reaches its name complete and on disk.
struct PartialFile {
    QString path;
    bool keep = false;
    ~PartialFile()
    {
        if (!keep && !path.isEmpty())
            QFile::remove(path);
    }
};

bool syncPath(const QString &path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat sa {}, sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0
           && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace

Result write(const Source &source, const QString &database, const QStringList &inputs)
{
    Result r;
    if (source.rows.isEmpty()) {
        r.error = u"no postal codes to write"_s;
        return r;
    }
    for (const QString &input : inputs) {
        if (sameFile(input, database)) {
            r.error = database + u": is one of the files read; write the dictionary elsewhere"_s;
            return r;
        }
    }
    const QFileInfo target(database);
    PartialFile partial;
    {
        QTemporaryFile file(target.absoluteDir().filePath(target.fileName() + u".XXXXXX.partial"_s));
        file.setAutoRemove(false);
        if (!file.open()) {
            r.error = u"cannot create a new dictionary in "_s + target.absolutePath() + u": "_s + file.errorString();
            return r;
        }
        partial.path = file.fileName();
        // Readable by all, as the dictionary it replaces is meant to be.
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    {
        sqlite3 *raw = nullptr;
        const int opened = sqlite3_open(QFile::encodeName(partial.path).constData(), &raw);
        Db db(raw);
        if (opened != SQLITE_OK) {
            r.error = u"cannot create "_s + partial.path;
            return r;
        }
        if (!writeTables(db.get(), source, &r)) {
            r.error = u"cannot write "_s + partial.path + u": "_s + r.error;
            return r;
        }
    }
    // On disk before it takes the name, and the name on disk after: a power
    // cut leaves the old dictionary or the new one, never a torn one.
    if (!syncPath(partial.path, O_RDONLY)) {
        r.error = u"cannot write "_s + partial.path + u" to disk"_s;
        return r;
    }
    if (std::rename(QFile::encodeName(partial.path).constData(), QFile::encodeName(database).constData()) != 0) {
        r.error = u"cannot replace "_s + database + u": "_s + QString::fromLocal8Bit(std::strerror(errno));
        return r;
    }
    partial.keep = true;
    syncPath(target.absolutePath(), O_RDONLY | O_DIRECTORY);
    r.ok = true;
    return r;
}

}  // namespace DictionaryImport
