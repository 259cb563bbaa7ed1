#include "platform/FileSystem.h"

#include "platform/AnsiCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool FileSystem::FileExists(const QString &path) const
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool FileSystem::readBytes(const QString &path, QByteArray *bytes, qint64 maxBytes) const
{
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray all = maxBytes >= 0 ? file.read(maxBytes) : file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    *bytes = std::move(all);
    return true;
}

FileSystem::TextRead FileSystem::readText(const QString &path) const
{
    TextRead result;
    if (!FileExists(path)) {
        result.error = Error::Missing;
        return result;
    }
    QByteArray bytes;
    if (!readBytes(path, &bytes)) {
        result.error = Error::Unreadable;
        return result;
    }
    const AnsiCodec::Decoded decoded = AnsiCodec::decode(bytes);
    if (!decoded.ok) {
        result.error = Error::InvalidText;
        result.errorOffset = decoded.errorOffset;
        return result;
    }
    result.text = decoded.text;
    return result;
}

FileSystem::TextWrite FileSystem::writeText(const QString &path, const QString &text, Replace how) const
{
    TextWrite result;
    const AnsiCodec::Encoded encoded = AnsiCodec::encode(text);
    if (!encoded.ok) {
        result.error = Error::Unrepresentable;
        result.unrepresentable = encoded.unrepresentable;
        return result;
    }
    if (!writeBytes(path, encoded.bytes, &result.detail, how))
        result.error = Error::Unwritable;
    return result;
}

bool FileSystem::writeBytes(const QString &path, const QByteArray &bytes, QString *detail, Replace how) const
{
    QSaveFile file(path);
    file.setDirectWriteFallback(how == Replace::InPlaceIfNeeded);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (detail)
        *detail = file.errorString();
    file.cancelWriting();
    return false;
}

bool FileSystem::FolderExists(const QString &path) const
{
    return QFileInfo(path).isDir();
}

bool FileSystem::CreateFolder(const QString &path) const
{
    return QDir().mkdir(path);
}
