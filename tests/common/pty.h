#pragma once

// A pseudo-terminal pair for tests of the serial line: the program under test opens the slave
// side as its serial device, the test reads what arrives on the master side. The pair keeps a
// slave descriptor of its own open, so that the slave's settings can be read while the program
// has the port open, and so that nothing written is lost when the program closes its side.

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

    bool isOpen() const { return master_ >= 0; }
    // The device path of the slave side, e.g. "/dev/pts/3".
    QString slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }

    // Reads from the master side until `count` bytes have arrived or no byte arrived for
    // `quietMs` milliseconds; never blocks longer than that.
    QByteArray read(int count, int quietMs = 1000);
    // Everything that has arrived so far.
    QByteArray readAvailable() { return read(1 << 20, 50); }

    // Holds the line as an XOFF from the sign would: nothing written to the slave side goes out
    // until release(), and writes are refused meanwhile.
    bool hold() { return ::tcflow(slave_, TCOOFF) == 0; }
    bool release() { return ::tcflow(slave_, TCOON) == 0; }
    // Fills the master side's buffer with `filler` until the slave side takes no more, so that
    // writes are refused although the line is not held; returns how many bytes went in.
    int fill(char filler = '#');

    // The slave side's current line settings.
    termios slaveSettings() const;

    // Closes the master side: the slave side is hung up and further writes to it fail.
    void closeMaster();

private:
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
};

} // namespace orvane::testing
