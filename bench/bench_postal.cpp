// The national postal dictionary: opening it, and look-ups both ways.

#include "addresses/PostalDictionary.h"

#include <QStringList>

#include <benchmark/benchmark.h>

namespace {

const QString kDictionary = QStringLiteral(ZENROOK_BENCH_DICTIONARY);

std::unique_ptr<PostalDictionary> &dictionary()
{
    static std::unique_ptr<PostalDictionary> d = PostalDictionary::open(kDictionary);
    return d;
}

void PostalOpen(benchmark::State &state)
{
    for (auto _ : state) {
        auto d = PostalDictionary::open(kDictionary);
        if (!d) {
            state.SkipWithError("no national postal dictionary built");
            return;
        }
        benchmark::DoNotOptimize(d.get());
    }
}
BENCHMARK(PostalOpen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void PostalZipToAddress(benchmark::State &state)
{
    if (!dictionary()) {
        state.SkipWithError("no national postal dictionary built");
        return;
    }
    const QStringList codes{QStringLiteral("1000001"), QStringLiteral("0600001"), QStringLiteral("5300001"),
                            QStringLiteral("2600822"), QStringLiteral("9071801"), QStringLiteral("1006001")};
    qsizetype i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(dictionary()->byZip(codes.at(i++ % codes.size())));
}
BENCHMARK(PostalZipToAddress)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void PostalAddressToZip(benchmark::State &state)
{
    if (!dictionary()) {
        state.SkipWithError("no national postal dictionary built");
        return;
    }
    const QStringList addresses{QStringLiteral("東京都港区芝公園４丁目２－８"), QStringLiteral("北海道札幌市中央区北一条西２丁目"),
                                QStringLiteral("大阪府大阪市北区梅田３－１－１ ビル１０階"), QStringLiteral("千代田区霞ヶ関1-1"),
                                QStringLiteral("沖縄県八重山郡与那国町与那国")};
    qsizetype i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(dictionary()->zipForAddress(addresses.at(i++ % addresses.size())));
}
BENCHMARK(PostalAddressToZip)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
