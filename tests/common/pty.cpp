#include "pty.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>

namespace orvane::testing {

PseudoTerminal::PseudoTerminal() {
    // Close-on-exec: a program started by the test must not keep the master open.
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const char* name = master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0
                           ? ::ptsname(master_)
                           : nullptr;
    slave_ = name ? ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC) : -1;
    if (slave_ < 0)
        qFatal("no pseudo-terminal: %s", std::strerror(errno));
    slavePath_ = QString::fromLocal8Bit(name);
}

QByteArray PseudoTerminal::read(int count, int quietMs) {
    QByteArray data;
    char buffer[4096];
    for (pollfd p{master_, POLLIN, 0}; master_ >= 0 && data.size() < count;) {
        const int ready = ::poll(&p, 1, quietMs);
        const qsizetype want = std::min<qsizetype>(sizeof buffer, count - data.size());
        const ssize_t n = ready > 0 ? ::read(master_, buffer, want) : ready;
        if (n > 0)
            data.append(buffer, n);
        else if (n == 0 || (errno != EINTR && errno != EAGAIN))
            break;
    }
    return data;
}

} // namespace orvane::testing
