#pragma once
// The one file-system helper the program shares (oFso): whole-file reads and
// writes in code page 932. Writes go through QSaveFile, so a failed write
// leaves the old content in place.

#include <QByteArray>
#include <QString>

class FileSystem
{
public:
    enum class Error { None, Missing, Unreadable, InvalidText, Unrepresentable, Unwritable };

    struct TextRead {
        Error error = Error::None;
        QString text;
        qsizetype errorOffset = -1;  // first invalid byte when error == InvalidText
    };
    struct TextWrite {
        Error error = Error::None;
        QString unrepresentable;     // when error == Unrepresentable
        QString detail;              // the system's reason when error == Unwritable
    };

    // True for an existing regular file (a folder is not a file).
    bool FileExists(const QString &path) const;
    // Only a regular file (after following links) is read: a FIFO, device or
    // socket would block or never end. At most maxBytes when that is >= 0.
    bool readBytes(const QString &path, QByteArray *bytes, qint64 maxBytes = -1) const;
    TextRead readText(const QString &path) const;
    // Atomic: a new file renamed over the old one, so the folder must be
    // writable. InPlaceIfNeeded: where the folder is read-only but the file
    // is writable (a shared or managed folder), the file is written in place.
    enum class Replace { Atomic, InPlaceIfNeeded };
    // Replaces the file with exactly the text's bytes; nothing is appended.
    // Characters code page 932 cannot hold fail the write.
    TextWrite writeText(const QString &path, const QString &text, Replace how = Replace::Atomic) const;
    bool writeBytes(const QString &path, const QByteArray &bytes, QString *detail = nullptr,
                    Replace how = Replace::Atomic) const;
    bool FolderExists(const QString &path) const;
    bool CreateFolder(const QString &path) const;
};
