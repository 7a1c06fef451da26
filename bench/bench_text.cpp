// What laying text out costs next to the least it could cost: a line in the built-in font that
// fills the sign's 50 columns, laid out and its 50 column bytes copied into an array, next to the
// bare copy of the same 50 bytes. Reading the built-in font itself is measured beside them.

#include "bitmapfont.h"
#include "dotpattern.h"
#include "textlayout.h"

#include <QFile>
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

using namespace orvane;

namespace {

const QString Line = QStringLiteral("OPEN DAILY 9-17"); // 59 columns in the 5x8 font

void TextLayout(benchmark::State& state) {
    const BitmapFont& font = BitmapFont::builtin();
    std::array<quint8, PatternCols> columns{};
    for (auto _ : state) {
        const TextRun run = layOutText(font, Line);
        std::memcpy(columns.data(), run.columns.constData(), columns.size());
        benchmark::DoNotOptimize(columns.data());
        benchmark::ClobberMemory();
    }
    if (layOutText(font, Line).columns.size() < PatternCols)
        state.SkipWithError("the line does not fill the sign");
}

void TextLayoutMinimum(benchmark::State& state) {
    const TextRun run = layOutText(BitmapFont::builtin(), Line);
    std::array<quint8, PatternCols> source{};
    std::memcpy(source.data(), run.columns.constData(), source.size());
    std::array<quint8, PatternCols> columns{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(source.data());
        std::memcpy(columns.data(), source.data(), columns.size());
        benchmark::DoNotOptimize(columns.data());
        benchmark::ClobberMemory();
    }
}

void FontReading(benchmark::State& state) {
    QFile file(QStringLiteral(":/fonts/5x8.bdf"));
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    for (auto _ : state) {
        const FontLoad load = BitmapFont::fromBdf(data, QStringLiteral("5x8"));
        if (!load.ok)
            state.SkipWithError(qPrintable(load.error));
        benchmark::DoNotOptimize(load.font.glyphCount());
    }
}

BENCHMARK(TextLayout);
BENCHMARK(TextLayoutMinimum);
BENCHMARK(FontReading)->Unit(benchmark::kMillisecond);

// Prints as usual and keeps each benchmark's time per iteration for the ratio. With
// repetitions, the mean comes after the single runs and replaces them.
class Collector : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> times;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred ||
                (run.run_type == Run::RT_Aggregate && run.aggregate_name != "mean"))
                continue;
            times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();

    const auto it = collector.times.find("TextLayout");
    const auto base = collector.times.find("TextLayoutMinimum");
    if (it != collector.times.end() && base != collector.times.end() && base->second > 0)
        std::printf("\n%-16s %6.1f x the minimum\n", "text layout:", it->second / base->second);
    return 0;
}
