// What the sign link costs next to the least it could cost:
// - frame encoding of a full picture through the cell reader, next to a bare loop over a plain
//   array of dots with a digit table;
// - a whole download into a pseudo-terminal (open with the line settings, 102 one-character
//   writes driven by the event loop, the output queue polled until empty, close), next to plain
//   POSIX open, 102 one-byte writes, tcdrain and close of the same device.
// Both sides read the frame back from the master side in every iteration.

#include "downloadframe.h"
#include "downloadsession.h"
#include "serialport.h"

#include "ratios.h"
#include <QCoreApplication>
#include <QEventLoop>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <termios.h>
#include <unistd.h>

using namespace orvane;

namespace {

bool litAt(int row, int col) {
    return (row * 7 + col * 3) % 5 < 2;
}

DotPattern mixedPicture() {
    DotPattern p;
    for (int col = 0; col < PatternCols; ++col)
        for (int row = 1; row <= PatternRows; ++row)
            p.setText(row, col, litAt(row, col) ? LitText : DarkText);
    return p;
}

// A pseudo-terminal pair: the slave path is the device, the master is read back.
struct Pty {
    int master = -1;
    std::string slave;
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 || !ptsname(master)) {
            std::perror("pseudo-terminal");
            std::exit(1);
        }
        slave = ptsname(master);
        // Keep a slave open so that the master never sees a hang-up between iterations.
        keep = open(slave.c_str(), O_RDWR | O_NOCTTY);
    }
    ~Pty() {
        close(keep);
        close(master);
    }
    void drain(benchmark::State& state, size_t expected) {
        char buffer[256];
        size_t got = 0;
        while (got < expected) {
            const ssize_t n = read(master, buffer, sizeof buffer);
            if (n <= 0) {
                state.SkipWithError("reading the pseudo-terminal failed");
                return;
            }
            got += size_t(n);
        }
    }
    int keep = -1;
};

void FrameEncoding(benchmark::State& state) {
    const DotPattern picture = mixedPicture();
    const CellTextReader cells = picture.reader();
    for (auto _ : state) {
        QByteArray frame = DownloadFrame::encode(cells, Speed());
        benchmark::DoNotOptimize(frame.data());
    }
}

void FrameEncodingMinimum(benchmark::State& state) {
    std::array<std::array<bool, PatternRows>, PatternCols> dots{};
    for (int col = 0; col < PatternCols; ++col)
        for (int row = 1; row <= PatternRows; ++row)
            dots[col][row - 1] = litAt(row, col);
    static const char digits[] = "0123456789ABCDEF";
    for (auto _ : state) {
        char frame[DownloadFrame::Length];
        frame[0] = 'S';
        for (int col = 0; col < PatternCols; ++col) {
            unsigned byte = 0;
            for (int bit = 0; bit < PatternRows; ++bit)
                byte = byte << 1 | unsigned(dots[col][bit]);
            frame[1 + 2 * col] = digits[byte >> 4];
            frame[2 + 2 * col] = digits[byte & 15];
        }
        frame[101] = '5';
        benchmark::DoNotOptimize(frame);
        benchmark::ClobberMemory();
    }
}

void Download(benchmark::State& state) {
    Pty pty;
    const LinkTarget port = LinkTarget::ofDevice(QString::fromStdString(pty.slave));
    DownloadSession session;
    QEventLoop loop;
    QObject::connect(&session, &DownloadSession::finished, &loop, &QEventLoop::quit);
    const DotPattern picture = mixedPicture();
    for (auto _ : state) {
        QString error;
        QObject::connect(&session, &DownloadSession::finished, &loop,
                         [&](const Result<Delivery>& ended) { error = ended.error(); });
        if (const Result<void> started = session.start(port, picture, Speed()))
            loop.exec();
        else
            error = started.error();
        QObject::disconnect(&session, &DownloadSession::finished, &loop, nullptr);
        QObject::connect(&session, &DownloadSession::finished, &loop, &QEventLoop::quit);
        if (!error.isEmpty()) {
            state.SkipWithError(qPrintable(error));
            break;
        }
        pty.drain(state, DownloadFrame::Length);
    }
}

void DownloadMinimum(benchmark::State& state) {
    Pty pty;
    const QByteArray bytes = DownloadFrame::encode(mixedPicture().reader(), Speed());
    for (auto _ : state) {
        const int fd = open(pty.slave.c_str(), O_WRONLY | O_NOCTTY);
        for (char c : bytes)
            if (write(fd, &c, 1) != 1)
                state.SkipWithError("write failed");
        tcdrain(fd);
        close(fd);
        pty.drain(state, size_t(bytes.size()));
    }
}

BENCHMARK(FrameEncoding);
BENCHMARK(FrameEncodingMinimum);
BENCHMARK(Download);
BENCHMARK(DownloadMinimum);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // QSerialPort wants an event dispatcher
    return bench::runWithRatios(argc, argv,
                                {{"frame encoding:", "FrameEncoding"}, {"download:", "Download"}});
}
