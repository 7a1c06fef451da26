// What laying text out costs next to the least it could cost: a line in the built-in font that
// fills the sign's 50 columns, laid out and its 50 column bytes copied into an array, next to the
// bare copy of the same 50 bytes. Reading and opening the bundled fonts is measured beside them,
// and a whole orvane-send run with Hangul text next to one with Latin text.

#include "bitmapfont.h"
#include "dotpattern.h"
#include "textlayout.h"

#include "ratios.h"
#include <QFile>

#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Reading a bundled font's BDF source through FreeType: 5x8 (0), or the Hangul font (1). The
// programs do not: they open the compact form (below).
void FontReading(benchmark::State& state) {
    QFile file(
        QStringLiteral(ORVANE_SOURCE_DIR "/src/core/fonts/") +
        (state.range(0) ? QStringLiteral("galmuri7-hangul.bdf") : QStringLiteral("5x8.bdf")));
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    for (auto _ : state) {
        const Result<BitmapFont> load = BitmapFont::fromData(data, QStringLiteral("bundled"));
        if (!load)
            state.SkipWithError(qPrintable(load.error()));
        else
            benchmark::DoNotOptimize(load->glyphCount());
    }
}

// Opening a bundled font as the programs do, from the compact form compiled in: 5x8 (0), or the
// Hangul font (1), opened the first time a character comes from it.
void FontOpening(benchmark::State& state) {
    QFile file(state.range(0) ? QStringLiteral(":/fonts/galmuri7-hangul.orvf")
                              : QStringLiteral(":/fonts/5x8.orvf"));
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    for (auto _ : state) {
        const BitmapFont font = BitmapFont::bundledFrom(data, QStringLiteral("bundled"));
        if (font.glyphCount() == 0)
            state.SkipWithError("the compact form is broken");
        benchmark::DoNotOptimize(font.glyphCount());
    }
}

// A whole run of `orvane-send --text TEXT --frame`, standard output thrown away.
void runSend(benchmark::State& state, const char* text) {
    const std::string option = std::string("--text=") + text;
    char* const argv[] = {const_cast<char*>(ORVANE_SEND), const_cast<char*>(option.c_str()),
                          const_cast<char*>("--frame"), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t pid = 0;
        int status = 0;
        if (posix_spawn(&pid, ORVANE_SEND, &actions, nullptr, argv, environ) != 0 ||
            waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("orvane-send failed");
    }
    posix_spawn_file_actions_destroy(&actions);
}
// Hangul text costs what Latin text does: the Latin run is its minimum.
void SendHangul(benchmark::State& state) {
    runSend(state, "\uC548\uB155\uD558\uC138\uC694"); // 안녕하세요
}
void SendHangulMinimum(benchmark::State& state) {
    runSend(state, "OPEN");
}

BENCHMARK(TextLayout);
BENCHMARK(TextLayoutMinimum);
BENCHMARK(FontReading)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(FontOpening)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(SendHangul)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SendHangulMinimum)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv,
                                {{"text layout:", "TextLayout"}, {"Hangul send:", "SendHangul"}});
}
