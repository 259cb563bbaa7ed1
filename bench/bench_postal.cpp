// The national postal dictionary: opening it (with its file in the page
// cache and evicted from it), look-ups both ways, and the batch look-up of
// zenrook-postal over every code.

#include "postal/addresses/AddressComponent.h"
#include "postal/dictionary/PostalDictionary.h"
#include "postal/mail/PostalLookup.h"

#include <QFile>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kDictionary = QStringLiteral(ZENROOK_BENCH_DICTIONARY);

std::unique_ptr<PostalDictionary> &dictionary()
{
    static std::unique_ptr<PostalDictionary> d = PostalDictionary::open(kDictionary);
    return d;
}

// Drops the file's pages from the page cache, as after a reboot.
void evict()
{
    const int fd = ::open(QFile::encodeName(kDictionary).constData(), O_RDONLY);
    if (fd >= 0) {
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

void PostalOpen(benchmark::State &state)
{
    const bool cold = state.range(0) != 0;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            evict();
            state.ResumeTiming();
        }
        auto d = PostalDictionary::open(kDictionary);
        if (!d) {
            state.SkipWithError("no national postal dictionary built");
            return;
        }
        // The first look-up, which reads what opening left unread.
        benchmark::DoNotOptimize(d->byZip(QStringLiteral("1000001")));
    }
}
BENCHMARK(PostalOpen)->ArgName("cold")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true);

void PostalZipToAddress(benchmark::State &state)
{
    if (!dictionary()) {
        state.SkipWithError("no national postal dictionary built");
        return;
    }
    const QStringList codes{QStringLiteral("1000001"), QStringLiteral("0600001"), QStringLiteral("5300001"),
                            QStringLiteral("2600822"), QStringLiteral("9071801"), QStringLiteral("1006001"),
                            QStringLiteral("1008050"), QStringLiteral("3901501")};
    qsizetype i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(dictionary()->byZip(codes.at(i++ % codes.size())));
}
BENCHMARK(PostalZipToAddress)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Addresses as people write them: digits for kanji numerals, a postal mark
// in front, 大字, a Kyoto street, no prefecture, blanks and full width.
void PostalAddressToZip(benchmark::State &state)
{
    auto component = createObject(QStringLiteral("Tarnu.cAdd"), kDictionary);
    if (!component) {
        state.SkipWithError("no national postal dictionary built");
        return;
    }
    const QStringList addresses{QStringLiteral("東京都港区芝公園４丁目２－８"), QStringLiteral("北海道札幌市北区北29条西2丁目"),
                                QStringLiteral("〒100-0013 東京都千代田区霞が関1-3-1"), QStringLiteral("千代田区霞ヶ関1-1"),
                                QStringLiteral("岩手県宮古市大字崎鍬ケ崎第5地割"),
                                QStringLiteral("京都市中京区寺町通御池上る上本能寺前町488"),
                                QStringLiteral("大阪府大阪市北区梅田３－１－１ ビル１０階"),
                                QStringLiteral("東京都千代田区霞が関３－２－５ 霞が関ビル１２階"),
                                QStringLiteral("沖縄県八重山郡与那国町与那国"), QStringLiteral("府中市")};
    qsizetype i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(component->Find(QString(), addresses.at(i++ % addresses.size()), QString(), 1));
}
BENCHMARK(PostalAddressToZip)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// zenrook-postal lookup over every code, or over every code's address with
// blocks after it, without the process.
void PostalBatchLookUp(benchmark::State &state)
{
    auto component = createObject(QStringLiteral("Tarnu.cAdd"), kDictionary);
    if (!component || !dictionary()) {
        state.SkipWithError("no national postal dictionary built");
        return;
    }
    const bool addresses = state.range(0) != 0;
    QList<QByteArray> lines;
    for (const QString &code : dictionary()->allCodes()) {
        if (!addresses)
            lines.append(code.toLatin1());
        else if (const QList<PostalDictionary::Entry> rows = dictionary()->byZip(code); !rows.isEmpty())
            lines.append(rows.first().address().toUtf8() + "1-2-3");
    }
    for (auto _ : state) {
        qsizetype next = 0, written = 0;
        PostalLookup::run({component.get()}, false,
                          {[&](QByteArray *line) {
                               if (next == lines.size())
                                   return false;
                               *line = lines.at(next++);
                               return true;
                           },
                           [&] { return next < lines.size(); },
                           [&](const QByteArray &out) {
                               written += out.size();
                               return true;
                           },
                           [](qint64, const QString &) {}});
        benchmark::DoNotOptimize(written);
    }
    state.SetItemsProcessed(state.iterations() * lines.size());
}
BENCHMARK(PostalBatchLookUp)->ArgName("addresses")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
