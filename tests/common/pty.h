#pragma once

// A pseudo-terminal pair standing in for the sign's serial line: the program opens the slave
// side, the test reads the master side. The pair keeps a slave descriptor of its own, so the
// line settings can be read and nothing written is lost when the program closes its side.

#include <QByteArray>
#include <QString>
#include <termios.h>

namespace orvane::testing {

class PseudoTerminal {
public:
    PseudoTerminal(); // the test stops when no pair can be made
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal();

    QString slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }
    // Until `count` bytes arrived or none did for `quietMs`.
    QByteArray read(int count, int quietMs = 1000);
    QByteArray readAvailable() { return read(1 << 20, 50); }
    // As an XOFF from the sign: nothing goes out until release(), and writes are refused.
    bool hold() { return ::tcflow(slave_, TCOOFF) == 0; }
    bool release() { return ::tcflow(slave_, TCOON) == 0; }
    // Fills the line with `filler` until writes are refused; returns how many bytes went in.
    int fill(char filler = '#');
    termios slaveSettings() const;
    // Hangs up the slave side: writes to it fail from now on.
    void closeMaster();

private:
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
};

} // namespace orvane::testing
