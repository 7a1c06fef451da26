#include "pty.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace orvane::testing {

PseudoTerminal::PseudoTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    // Programs started by a test must not inherit the master: closing it would not hang up.
    const char* name = master_ >= 0 && ::fcntl(master_, F_SETFD, FD_CLOEXEC) == 0 &&
                               ::grantpt(master_) == 0 && ::unlockpt(master_) == 0
                           ? ::ptsname(master_)
                           : nullptr;
    slave_ = name ? ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC) : -1;
    if (slave_ < 0)
        qFatal("no pseudo-terminal: %s", std::strerror(errno));
    slavePath_ = QString::fromLocal8Bit(name);
}

PseudoTerminal::~PseudoTerminal() {
    ::close(slave_);
    closeMaster();
}

QByteArray PseudoTerminal::read(int count, int quietMs) {
    QByteArray data;
    while (master_ >= 0 && data.size() < count) {
        pollfd p{master_, POLLIN, 0};
        const int ready = ::poll(&p, 1, quietMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        char buffer[4096];
        const ssize_t n =
            ::read(master_, buffer, std::min<qsizetype>(sizeof buffer, count - data.size()));
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            break;
        data.append(buffer, n);
    }
    return data;
}

int PseudoTerminal::fill(char filler) {
    // The kernel moves what was written on to the master side in the background, which makes
    // room again for a while: filled until a pause makes none.
    int count = 0;
    for (int added = -1; added != 0; ::usleep(20000)) {
        added = 0;
        for (size_t size : {size_t(256), size_t(1)}) {
            const QByteArray block(qsizetype(size), filler);
            for (;;) {
                const ssize_t n = ::write(slave_, block.constData(), size);
                if (n > 0)
                    added += int(n);
                else if (n == 0 || errno != EINTR)
                    break;
            }
        }
        count += added;
    }
    return count;
}

termios PseudoTerminal::slaveSettings() const {
    termios t{};
    ::tcgetattr(slave_, &t);
    return t;
}

void PseudoTerminal::closeMaster() {
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

} // namespace orvane::testing
