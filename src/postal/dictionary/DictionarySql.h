#pragma once
// What the dictionary's queries share: text in and out of SQLite, and a
// statement reset for its next use whichever way the caller leaves.

#include <QString>

#include <sqlite3.h>

namespace DictionarySql {

inline QString columnText(sqlite3_stmt *s, int i)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, i)), sqlite3_column_bytes(s, i));
}

inline void bindText(sqlite3_stmt *s, int i, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(s, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

struct Reset {
    sqlite3_stmt *s;
    ~Reset() { sqlite3_reset(s); }
};

}  // namespace DictionarySql
