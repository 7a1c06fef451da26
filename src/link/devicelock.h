#pragma once

// One sender per serial device. The lock follows the device itself, not the name it was opened
// by: a link in /dev/serial/by-id and /dev/ttyUSB0, or two device nodes with the same device
// number, are one lock. It is an advisory lock (flock) on a file named by the device number in
// /run/lock (the temporary folder when that is not writable), taken before the device is opened,
// and a second one on the open device itself, which other serial programs take too. Root is
// bound by it as well, unlike the kernel's exclusive mode. The system drops both locks when the
// process ends, however it ends. On Windows a port opens only once anyway, and this does nothing.

#include <QString>

namespace orvane {

class DeviceLock {
public:
    DeviceLock() = default;
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;
    ~DeviceLock() { release(); }

    // Locks the device `path` names. False only when another process holds it; a path that is no
    // device, or a lock file that cannot be made, locks nothing and is no refusal.
    bool lockDevice(const QString& path);
    // Locks the open device `descriptor`; false only when another process holds it.
    bool lockDescriptor(int descriptor);
    void release();

    // The lock file of the device `path` names, or empty when it is no character device.
    static QString lockFilePath(const QString& path);

private:
    int lockFile_ = -1;
};

} // namespace orvane
