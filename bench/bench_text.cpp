// What laying text out costs next to the least it could cost: a line in the built-in font that
// fills the sign's 50 columns, laid out and its 50 column bytes copied into an array, next to the
// bare copy of the same 50 bytes. Reading the bundled fonts is measured beside them.

#include "bitmapfont.h"
#include "dotpattern.h"
#include "textlayout.h"

#include "ratios.h"
#include <QFile>

#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
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

// Reading a bundled font: 5x8 (0), or the Hangul font (1), which is read the first time a
// character comes from it.
void FontReading(benchmark::State& state) {
    QFile file(state.range(0) ? QStringLiteral(":/fonts/galmuri7-hangul.bdf")
                              : QStringLiteral(":/fonts/5x8.bdf"));
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    for (auto _ : state) {
        const Result<LoadedFont> load = BitmapFont::fromData(data, QStringLiteral("bundled"));
        if (!load.ok)
            state.SkipWithError(qPrintable(load.error()));
        benchmark::DoNotOptimize(load.font.glyphCount());
    }
}

BENCHMARK(TextLayout);
BENCHMARK(TextLayoutMinimum);
BENCHMARK(FontReading)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv, {{"text layout:", "TextLayout"}});
}
