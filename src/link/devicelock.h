#pragma once

// One sender per serial device and per network server. The lock follows the device itself, not
// the name it was opened by: a link in /dev/serial/by-id and /dev/ttyUSB0, or two device nodes
// with the same device number, are one lock; so are two names of one server address and port.
// It is an advisory lock (flock) on a file named by the device number (or the server's address
// and port) in /run/lock (the temporary folder when that is not writable), taken before the
// device is opened or anything is sent, and for a device a second one on the open device
// itself, which other serial programs take too. Root is bound by it as well, unlike the kernel's
// exclusive mode. The system drops the locks when the process ends, however it ends.
//
// Every user may write to the lock folder, so what is found there is trusted no further than a
// plain file: a lock file is opened without following a link and without waiting (a FIFO would
// hold the open for good), and anything else is refused by name. The lock file that QSerialPort
// takes (LCK..NAME), and reads as it opens the port, is looked at the same way before it does.
//
// On Windows a port opens only once anyway; a server's lock is a named mutex.

#include "result.h"

#include <QString>

#include <memory>
#include <thread>

class QHostAddress;

namespace orvane {

class DeviceLock {
public:
    DeviceLock() = default;
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;
    ~DeviceLock() { release(); }

    // Locks the device `path` names. Done once locked, and when there is nothing to lock (no
    // device there, no lock file can be made); refused when another process sends to it or a lock
    // file is not a plain file, the reason in plain words (the refusal names no device).
    Result<void> lockDevice(const QString& path);
    // Locks the server at `address` port `port` in the same way.
    Result<void> lockServer(const QHostAddress& address, quint16 port);
    // Locks the open device `descriptor`; false only when another process holds it.
    bool lockDescriptor(int descriptor);
    void release();

    // The lock file of the device `path` names, or empty when it is no character device.
    static QString lockFilePath(const QString& path);
    // The lock file QSerialPort takes as it opens `path` (LCK..NAME), empty on Windows.
    static QString qtLockFilePath(const QString& path);
    // Refused when QSerialPort's lock file for `path` is not to be opened, saying why.
    static Result<void> checkQtLockFile(const QString& path);

private:
#if defined(Q_OS_WIN)
    void* mutex_ = nullptr;
#else
    Result<void> lockFile(const QString& path);

    int lockFile_ = -1;
#endif
};

// While it lives, a FIFO at `lockFile` holds the thread that made the watch for no longer than a
// moment: another user may put one there after lockDevice() looked, racing it, while QSerialPort
// opens the port and reads its lock file. A thread of its own opens such a FIFO for writing and
// closes it again, so that the reader goes on to an empty file (and QSerialPort does not take
// the lock). On Linux, a FIFO already taken away again (where no writer can reach it) is left
// by interrupting the open with a signal, so that it looks again. Nothing on Windows.
class LockFileWatch {
public:
    explicit LockFileWatch(const QString& lockFile);
    LockFileWatch(const LockFileWatch&) = delete;
    LockFileWatch& operator=(const LockFileWatch&) = delete;
    ~LockFileWatch();

    // Refused, saying why, once the watch had to free the open from a FIFO at the lock file.
    Result<void> outcome() const;

private:
    struct State;
    std::unique_ptr<State> state_;
    std::thread thread_;
    QString lockFile_;
};

} // namespace orvane
