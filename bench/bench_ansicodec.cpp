// Code page 932 at the file boundary: whole request and settings files pass
// through here, so decoding and encoding a large file should stay cheap.

#include "platform/AnsiCodec.h"

#include <QString>

#include <benchmark/benchmark.h>

namespace {

QString addressText(qsizetype bytesWanted)
{
    const QString line = QStringLiteral("ZenroA\t100-0001\t東京都千代田区千代田1-1 ｶﾌﾞｼｷｶﾞｲｼｬ\t株式会社①髙\thttp://map.example/p?x=1\r\n");
    QString text;
    while (text.size() * 2 < bytesWanted)
        text += line;
    return text;
}

void CodecEncode(benchmark::State &state)
{
    const QString text = addressText(1 << 20);
    for (auto _ : state) {
        AnsiCodec::Encoded e = AnsiCodec::encode(text);
        benchmark::DoNotOptimize(e.bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(CodecEncode);

void CodecDecode(benchmark::State &state)
{
    const QByteArray bytes = AnsiCodec::encode(addressText(1 << 20)).bytes;
    for (auto _ : state) {
        AnsiCodec::Decoded d = AnsiCodec::decode(bytes);
        benchmark::DoNotOptimize(d.text.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(CodecDecode);

}  // namespace
