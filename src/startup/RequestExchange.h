#pragma once
// The request-file exchange with calling programs: which command lines are
// requests, reading the request, and writing the answer back in its place.

#include <QString>
#include <QStringList>

#include <functional>

class FileSystem;

namespace RequestExchange {

inline constexpr char16_t kSuffix[] = u"Zrok.txt";
// An address record's request is small; a larger file is refused unread.
inline constexpr qsizetype kMaxRequestBytes = 1024 * 1024;

// The arguments joined by single blanks, neither trimmed nor unquoted, so an
// unquoted path with blanks still names its file.
QString requestPath(const QStringList &argumentsAfterProgram);
bool hasRequestSuffix(const QString &path);

struct Start {
    enum class Mode { Window, Request, Refused };
    Mode mode = Mode::Window;
    QString text;     // the request, in Request mode
    QString message;  // what to tell the user, in Refused mode
};
// Window mode unless the path ends in the suffix and names a file whose text
// begins with the marker. A request that cannot be used is refused with a
// message, never half-served.
Start examine(const QString &path, const FileSystem &fs);
// The same decision on the file's bytes.
Start examineContent(const QString &path, const QByteArray &bytes);

struct DialogResult {
    bool accepted = false;
    QString answer;
};
// Replaces the request file with exactly the answer; returns the message
// for the user when that failed, else "".
using AnswerWriter = std::function<QString(const QString &answer)>;
// The dialog may write its answer itself while it is still open, so that a
// failure can be shown and the user can try again.
using Dialog = std::function<DialogResult(const QString &requestText, const AnswerWriter &write)>;

// Runs the dialog and, when the user accepts and the dialog has not written
// the answer yet, writes it. Returns the message for the user when that
// failed, else "". The file is never touched otherwise.
QString serve(const QString &path, const QString &requestText, const Dialog &dialog, const FileSystem &fs);

}  // namespace RequestExchange
