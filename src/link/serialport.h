#pragma once

namespace orvane {

// The serial line to the sign. Holds the number of the port that the next open uses.
class SerialPort {
public:
    // Selects port 1..16; written only while the port is closed.
    void setCommPort(int port) { commPort_ = port; }
    int CommPort() const { return commPort_; }

private:
    int commPort_ = 1;
};

} // namespace orvane
