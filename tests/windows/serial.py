#!/usr/bin/env python3
"""orvane-send.exe and the window's "Down Load" send through Wine's serial layer.

COM5 of the Wine prefix is made a link to a pseudo-terminal; `orvane-send.exe --port 5` sends a
pattern file, then tst_comports.exe presses "Down Load" on port 5. While the program holds the
port (the line is stopped, so it cannot finish), the pseudo-terminal's settings must be 300 baud,
8 data bits, no parity, 2 stop bits and no flow control; once the line runs again, exactly the
102 characters of the frame must arrive. A port with nothing behind it is refused with a
message naming COMn.

    serial.py BUILD_DIR          (the windows preset's build folder)
"""

import os
import pty
import select
import subprocess
import sys
import tempfile
import termios
import time

PORT = 5
# Column 0 lit in rows 1, 3 and 8 (A1), column 49 in row 2 (40), speed 7.
COLUMNS = ["RBRBBBBR"] + ["BBBBBBBB"] * 48 + ["BRBBBBBB"]
FRAME = b"SA1" + b"0" * 96 + b"40" + b"7"


def fail(text):
    print(f"FAILED: {text}")
    sys.exit(1)


def line_settings(fd):
    """The settings that matter, in words, e.g. '300 baud, 8 data bits, ...'."""
    iflag, _, cflag, _, ispeed, ospeed, _ = termios.tcgetattr(fd)
    bits = {termios.CS5: 5, termios.CS6: 6, termios.CS7: 7, termios.CS8: 8}[cflag & termios.CSIZE]
    speeds = {getattr(termios, f"B{n}"): n for n in (300, 1200, 9600, 38400)}
    parity = "odd parity" if cflag & termios.PARODD else "even parity"
    return ", ".join([
        f"{speeds.get(ospeed, ospeed)} baud out",
        f"{speeds.get(ispeed, ispeed)} baud in",
        f"{bits} data bits",
        parity if cflag & termios.PARENB else "no parity",
        "2 stop bits" if cflag & termios.CSTOPB else "1 stop bit",
        "RTS/CTS" if cflag & termios.CRTSCTS else "no RTS/CTS",
        "XON/XOFF" if iflag & (termios.IXON | termios.IXOFF) else "no XON/XOFF",
    ])


def restart_wine_server():
    subprocess.run(["/usr/lib/wine/wineserver", "-k"], check=False)
    subprocess.run(["/usr/lib/wine/wineserver", "-w"], check=False)


WANTED = "300 baud out, 300 baud in, 8 data bits, no parity, 2 stop bits, no RTS/CTS, no XON/XOFF"


def send_through(master, slave, what, command, frame, environment=None):
    """Runs command, which sends `frame` through COM5, and checks the line while it is open and
    what arrives."""
    termios.tcflow(slave, termios.TCOOFF)  # nothing goes out until the settings are read
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               env=dict(os.environ, **(environment or {})))
    deadline = time.monotonic() + 120
    seen = line_settings(slave)
    while seen != WANTED and process.poll() is None and time.monotonic() < deadline:
        time.sleep(0.01)
        seen = line_settings(slave)
    open_now = process.poll() is None
    termios.tcflow(slave, termios.TCOON)
    if seen != WANTED or not open_now:
        process.kill()
        fail(f"{what}: COM{PORT} while open: {seen}; wanted {WANTED}\n"
             f"{process.communicate()[0].decode(errors='replace')}")
    print(f"ok: {what}: COM{PORT} while open: {seen}")

    received = b""
    while True:
        ready, _, _ = select.select([master], [], [], 0.5)
        if ready:
            try:
                received += os.read(master, 4096)
            except BlockingIOError:
                pass
        elif process.poll() is not None:
            break
        if time.monotonic() > deadline:
            process.kill()
            fail(f"{what} did not finish")
    output = process.communicate()[0].decode(errors="replace")
    if process.returncode != 0 or received != frame:
        fail(f"{what}: exit {process.returncode}, received {received!r} ({len(received)} "
             f"characters), wanted {frame!r}\n{output}")
    print(f"ok: {what}: COM{PORT} received the {len(frame)} characters of the frame exactly")


def main():
    build = os.path.abspath(sys.argv[1])
    here = os.path.dirname(os.path.abspath(__file__))
    wine_run = os.path.join(here, "..", "..", "scripts", "wine-run")
    send = os.path.join(build, "bin", "orvane-send.exe")
    prefix = os.environ.setdefault("WINEPREFIX", os.path.join(build, "wine"))
    subprocess.run([wine_run, "cmd", "/c", "exit"], check=True)  # the prefix exists

    master, slave = pty.openpty()
    os.set_blocking(master, False)
    link = os.path.join(prefix, "dosdevices", f"com{PORT}")
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(os.ttyname(slave), link)
    # Wine's own record of the mapping, from which it lists the port among the system's serial
    # ports (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM) when its server next starts.
    ports_key = "HKLM\\Software\\Wine\\Ports"
    subprocess.run([wine_run, "reg", "add", ports_key, "/v", f"COM{PORT}", "/d",
                    os.ttyname(slave), "/f"], check=True, capture_output=True)
    restart_wine_server()

    try:
        with tempfile.TemporaryDirectory() as tmp:
            pattern = os.path.join(tmp, "sign.txt")
            with open(pattern, "wb") as f:
                f.write(b"".join(c.encode() + b"\r\n" for c in COLUMNS) + b" 7 \r\n\r\n")

            send_through(master, slave, "orvane-send.exe",
                         [wine_run, send, pattern, "--port", str(PORT)], FRAME)
            # The picture tst_comports.exe clicks, at the window's speed 5.
            send_through(master, slave, "the window's Down Load",
                         [os.path.join(here, "qtest-under-wine.sh"),
                          os.path.join(build, "bin", "tst_comports.exe"), "-platform", "offscreen"],
                         FRAME[:-1] + b"5", {"ORVANE_TEST_COM_PORT": str(PORT)})

            absent = subprocess.run([wine_run, send, pattern, "--port", "6"], capture_output=True)
            said = absent.stderr.decode(errors="replace").replace("\r\n", "\n")
            start = "orvane-send: Cannot open port 6 (COM6): nothing is plugged in there ("
            if absent.returncode != 4 or not said.startswith(start) or f"(COM{PORT})" not in said:
                fail(f"port 6: exit {absent.returncode}, {said!r}")
            print(f"ok: {said.strip()}")
    finally:
        subprocess.run([wine_run, "reg", "delete", ports_key, "/v", f"COM{PORT}", "/f"],
                       check=True, capture_output=True)
        os.remove(link)
        restart_wine_server()


if __name__ == "__main__":
    main()
