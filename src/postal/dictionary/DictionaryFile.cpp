#include "postal/dictionary/DictionaryFile.h"

#include <QFile>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// How long a look-up trusts the watch alone.
constexpr std::chrono::milliseconds kTrustTheWatch{20};

}  // namespace

std::optional<DictionaryFile::Identity> DictionaryFile::identityOf(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return Identity{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                    qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

void DictionaryFile::watch()
{
    watch_ = std::make_unique<DictionaryWatch>(path_);
    seen_ = watch_->generation();
}

std::optional<QByteArray> DictionaryFile::read(QString *why)
{
    // The file's state before and after the reading must agree: a file
    // written over while read would give half of each.
    QFile file(path_);
    const std::optional<Identity> before = identityOf(path_);
    if (!before || !file.open(QIODevice::ReadOnly)) {
        *why = path_ + u": cannot be read ("_s + file.errorString() + u")"_s;
        return std::nullopt;
    }
    QByteArray image = file.readAll();
    const std::optional<Identity> after = identityOf(path_);
    if (file.error() != QFileDevice::NoError || !after || !(*after == *before) || image.size() != before->size) {
        *why = path_ + u": changed while read"_s;
        return std::nullopt;
    }
    identity_ = *before;
    return image;
}

bool DictionaryFile::mustRead(Held held)
{
    const bool watched = watch_ && watch_->active();
    const quint64 generation = watched ? watch_->generation() : 0;
    const bool reported = watched && generation != seen_;
    const auto now = std::chrono::steady_clock::now();
    if (watched && !reported && held == Held::Contents && now - lastAsked_ < kTrustTheWatch)
        return false;
    lastAsked_ = now;
    seen_ = generation;
    const std::optional<Identity> state = identityOf(path_);
    if (!state || (*state == identity_ && !reported && held != Held::Nothing))
        return false;
    identity_ = *state;  // a reading that fails is tried again once the file changes
    return true;
}
