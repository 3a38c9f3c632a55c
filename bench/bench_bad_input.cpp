// Reading food list files that no program wrote grows linearly with their
// size: random bytes, one huge line, masses of empty lines. The reading runs
// from memory (FoodsFromBytes), without the disk.

#include "catalogue/food_list_file.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr qsizetype MiB = 1 << 20;

QByteArray randomBytesWithoutNul(qsizetype size)
{
    std::mt19937 random(7);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &b : bytes) {
        b = char(random());
        if (b == '\0')
            b = 'x';
    }
    return bytes;
}

void readBytes(benchmark::State &state, const QByteArray &bytes)
{
    for (auto _ : state) {
        const TextStore foods = FoodsFromBytes(bytes);
        benchmark::DoNotOptimize(foods.size());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.SetComplexityN(bytes.size());
}

void BM_RandomBytes(benchmark::State &state)
{
    readBytes(state, randomBytesWithoutNul(state.range(0) * MiB));
}

void BM_OneLongLine(benchmark::State &state)
{
    readBytes(state, "Kopf\r\n" + QByteArray(state.range(0) * MiB, 'A') + ";52;0,3;0,4;11,4;\r\n");
}

void BM_EmptyLines(benchmark::State &state)
{
    readBytes(state, "Kopf\r\n" + QByteArray("\r\n").repeated(state.range(0) * MiB / 2));
}

} // namespace

BENCHMARK(BM_RandomBytes)
    ->RangeMultiplier(2)
    ->Range(1, 16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_OneLongLine)
    ->RangeMultiplier(2)
    ->Range(1, 16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_EmptyLines)
    ->RangeMultiplier(2)
    ->Range(1, 16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK_MAIN();
