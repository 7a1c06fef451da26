#pragma once

// A pseudo-terminal pair standing in for the sign's serial line: the program opens the slave, the
// test reads the master. A slave descriptor of its own keeps the settings readable and the data.

#include <QByteArray>
#include <QString>
#include <termios.h>
#include <unistd.h>

namespace orvane::testing {

class PseudoTerminal {
public:
    PseudoTerminal(); // the test stops when no pair can be made
    ~PseudoTerminal() { ::close(slave_), closeMaster(); }
    Q_DISABLE_COPY(PseudoTerminal)

    QString slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }
    // Until `count` bytes arrived or none did for `quietMs`.
    QByteArray read(int count, int quietMs = 1000);
    QByteArray readAvailable() { return read(1 << 20, 50); }
    // As an XOFF from the sign: nothing goes out until release(), and writes are refused.
    bool hold() { return ::tcflow(slave_, TCOOFF) == 0; }
    bool release() { return ::tcflow(slave_, TCOON) == 0; }
    termios slaveSettings() const {
        termios t{};
        return ::tcgetattr(slave_, &t), t;
    }
    // Hangs up: writes to the slave fail from now on.
    void closeMaster() { ::close(master_), master_ = -1; }

private:
    int master_ = -1, slave_ = -1;
    QString slavePath_;
};

} // namespace orvane::testing
