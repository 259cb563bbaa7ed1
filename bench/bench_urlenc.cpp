// The search text encoder against Qt's own percent-encoding, on the same
// 1 MiB of Japanese address text and of ASCII text, side by side.

#include "maps/MapSearch.h"

#include <QUrl>

#include <benchmark/benchmark.h>

namespace {

QString repeatTo(const QString &piece, qsizetype bytes)
{
    QString text;
    text.reserve(bytes / 2 + piece.size());
    while (text.size() * 2 < bytes)
        text += piece;
    return text;
}

const QString &japanese()
{
    static const QString text = repeatTo(QStringLiteral("東京都千代田区丸の内１丁目１－１ 株式会社ｶﾌﾞｼｷ 100-0001 "), 1 << 20);
    return text;
}

const QString &ascii()
{
    static const QString text = repeatTo(QStringLiteral("1-1 Marunouchi, Chiyoda-ku, Tokyo 100-0001 ~ "), 1 << 20);
    return text;
}

template <const QString &(*Text)()>
void UrlEnc_(benchmark::State &state)
{
    const QString &text = Text();
    for (auto _ : state)
        benchmark::DoNotOptimize(UrlEnc(text));
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}

template <const QString &(*Text)()>
void QUrl_(benchmark::State &state)
{
    const QString &text = Text();
    for (auto _ : state)
        benchmark::DoNotOptimize(QUrl::toPercentEncoding(text, "@*", "~"));
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}

BENCHMARK_TEMPLATE(UrlEnc_, japanese)->Name("UrlEnc/japanese_1MiB");
BENCHMARK_TEMPLATE(QUrl_, japanese)->Name("QUrl_toPercentEncoding/japanese_1MiB");
BENCHMARK_TEMPLATE(UrlEnc_, ascii)->Name("UrlEnc/ascii_1MiB");
BENCHMARK_TEMPLATE(QUrl_, ascii)->Name("QUrl_toPercentEncoding/ascii_1MiB");

}  // namespace
