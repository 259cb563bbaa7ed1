#include "startup/RequestExchange.h"

#include "mainwindow/RequestText.h"
#include "platform/AnsiCodec.h"
#include "platform/FileSystem.h"

using namespace Qt::StringLiterals;

namespace RequestExchange {

namespace {

QString twoLines(const QString &first, const QString &second)
{
    return first + QLatin1Char('\r') + second;
}

QString writeAnswer(const QString &path, const QString &answer, const FileSystem &fs)
{
    const FileSystem::TextWrite written = fs.writeText(path, answer);
    switch (written.error) {
    case FileSystem::Error::None:
        return QString();
    case FileSystem::Error::Unrepresentable:
        return twoLines(u"回答に Shift-JIS で表せない文字（%1）があるため、要求ファイルに書き込みませんでした。"_s
                            .arg(written.unrepresentable), path);
    default:
        return twoLines(u"回答を要求ファイルに書き込めませんでした（%1）。要求ファイルは元のままです。"_s
                            .arg(written.detail), path);
    }
}

}  // namespace

QString requestPath(const QStringList &argumentsAfterProgram)
{
    return argumentsAfterProgram.join(QLatin1Char(' '));
}

bool hasRequestSuffix(const QString &path)
{
    return path.endsWith(QStringView(kSuffix), Qt::CaseSensitive);
}

Start examine(const QString &path, const FileSystem &fs)
{
    if (!hasRequestSuffix(path) || !fs.FileExists(path))
        return Start();
    // Never more than one byte past the limit: enough to tell a request that
    // is too large from one that just fits.
    QByteArray bytes;
    if (!fs.readBytes(path, &bytes, kMaxRequestBytes + 1)) {
        Start refused;
        refused.mode = Start::Mode::Refused;
        refused.message = twoLines(u"要求ファイルを読み込めませんでした（読み取りの権限がないか、ほかのプログラムが使用中です）。"_s, path);
        return refused;
    }
    return examineContent(path, bytes);
}

Start examineContent(const QString &path, const QByteArray &bytes)
{
    Start start;
    // The marker is ASCII, so its bytes decide before the text is decoded:
    // a file that is no request stays out of it whatever it holds.
    if (!bytes.startsWith(QByteArrayView(RequestText::kMarkerBytes)))
        return start;
    start.mode = Start::Mode::Refused;
    if (bytes.size() > kMaxRequestBytes) {
        start.message = twoLines(u"要求ファイルが大きすぎます（住所情報の要求は %1 KB までです）。"_s
                                     .arg(kMaxRequestBytes / 1024), path);
        return start;
    }
    const AnsiCodec::Decoded decoded = AnsiCodec::decode(bytes);
    if (!decoded.ok) {
        start.message = twoLines(u"要求ファイルに Shift-JIS (コードページ932) として読めない文字があります（先頭から %1 バイト目）。"_s
                                     .arg(decoded.errorOffset + 1), path);
        return start;
    }
    const qsizetype fields = decoded.text.count(QLatin1Char('\t')) + 1;
    if (fields < RequestText::kMinFields) {
        start.message = twoLines(u"要求ファイルの項目が足りません（タブ区切りで %1 項目が必要ですが、%2 項目しかありません）。"_s
                                     .arg(RequestText::kMinFields).arg(fields), path);
        return start;
    }
    start.mode = Start::Mode::Request;
    start.text = decoded.text;
    return start;
}


QString serve(const QString &path, const QString &requestText, const Dialog &dialog, const FileSystem &fs)
{
    bool written = false;
    const AnswerWriter write = [&](const QString &answer) {
        const QString failure = writeAnswer(path, answer, fs);
        written = failure.isEmpty();
        return failure;
    };
    const DialogResult result = dialog(requestText, write);
    if (!result.accepted || written)
        return QString();
    return write(result.answer);
}

}  // namespace RequestExchange
