#pragma once
// The program's only text codec: code page 932 (Windows Shift-JIS) at the
// file boundary. Inside, everything is QString.

#include <QByteArray>
#include <QString>

namespace AnsiCodec {

struct Decoded {
    bool ok = false;
    QString text;
    qsizetype errorOffset = -1;  // byte offset of the first invalid sequence when !ok
};

struct Encoded {
    bool ok = false;
    QByteArray bytes;            // only meaningful when ok
    QString unrepresentable;     // each character that code page 932 cannot hold, once, in order of appearance
};

// Strict: any byte sequence that is not code page 932 makes the result fail.
// The single bytes 0x80, 0xA0 and 0xFD-0xFF, which Windows accepts, read as
// U+0080 and U+F8F0-U+F8F3 and are written back as the same bytes.
Decoded decode(const QByteArray &bytes);

// Fails when a character has no code page 932 form, including the characters
// iconv would map irreversibly ("¥" onto "\"). The look-alikes Linux input
// methods type (〜 − ‖ ¢ £ ¬ —) are written as the bytes Windows writes for
// them, so they read back as the code page's own (～ － ∥ ￠ ￡ ￢ ―).
Encoded encode(const QString &text);

}  // namespace AnsiCodec
