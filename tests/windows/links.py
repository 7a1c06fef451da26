#!/usr/bin/env python3
"""orvane-send.exe and the window's "Down Load" under Wine, through COM5 and socket://.

COM5 is a pseudo-terminal: while a program holds it (the line stopped), it must be at 300 8N2
with no flow control, then receive exactly the frame; port 6 is refused naming COMn. socket:// to
a server here delivers the frame; where nothing listens, exit code 4.   links.py BUILD_DIR
"""

import os, pty, select, socket, subprocess, sys, tempfile, termios, threading, time

PORT = 5
# Column 0 lit in rows 1, 3 and 8 (A1), column 49 in row 2 (40), speed 7.
PATTERN = b"RBRBBBBR\r\n" + b"BBBBBBBB\r\n" * 48 + b"BRBBBBBB\r\n 7 \r\n\r\n"
FRAME = b"SA1" + b"0" * 96 + b"40" + b"7"
WANTED = "300 baud out, 300 baud in, 8 data bits, no parity, 2 stop bits, no RTS/CTS, no XON/XOFF"
HERE = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(HERE, "..", "..", "scripts", "wine-run")


def check(good, what, detail=""):
    print(f"ok: {what}" if good else f"FAILED: {what} {detail}")
    if not good:
        sys.exit(1)


def line_settings(fd):
    iflag, _, c, _, ispeed, ospeed, _ = termios.tcgetattr(fd)
    baud = {termios.B300: 300, termios.B9600: 9600}
    return (f"{baud.get(ospeed, ospeed)} baud out, {baud.get(ispeed, ispeed)} baud in, "
            f"{5 + (c & termios.CSIZE) // termios.CS6} data bits, "
            f"{('odd' if c & termios.PARODD else 'even') if c & termios.PARENB else 'no'} parity, "
            f"{'2 stop bits' if c & termios.CSTOPB else '1 stop bit'}, "
            f"{'' if c & termios.CRTSCTS else 'no '}RTS/CTS, "
            f"{'' if iflag & (termios.IXON | termios.IXOFF) else 'no '}XON/XOFF")


def restart_wine_server():
    subprocess.run(["/usr/lib/wine/wineserver", "-k"], check=False)
    subprocess.run(["/usr/lib/wine/wineserver", "-w"], check=False)


def send_through_com(master, slave, what, command, frame, environment=None):
    termios.tcflow(slave, termios.TCOOFF)  # nothing goes out until the settings are read
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               env=dict(os.environ, **(environment or {})))
    deadline = time.monotonic() + 120
    while (seen := line_settings(slave)) != WANTED and process.poll() is None \
            and time.monotonic() < deadline:
        time.sleep(0.01)
    open_now = process.poll() is None
    termios.tcflow(slave, termios.TCOON)
    if seen != WANTED or not open_now:
        process.kill()
    check(seen == WANTED and open_now, f"{what}: COM{PORT} while open: {seen}")
    received = b""
    while time.monotonic() < deadline:
        if select.select([master], [], [], 0.5)[0]:
            try:
                received += os.read(master, 4096)
            except BlockingIOError:
                pass
        elif process.poll() is not None:
            break
    process.kill()
    output = process.communicate()[0].decode(errors="replace")
    check(process.returncode == 0 and received == frame, f"{what}: COM{PORT} received the frame",
          f"(exit {process.returncode}): {received!r}\n{output}")


def com_port(build, pattern):
    prefix = os.environ.setdefault("WINEPREFIX", os.path.join(build, "wine"))
    subprocess.run([WINE_RUN, "cmd", "/c", "exit"], check=True)  # the prefix exists
    master, slave = pty.openpty()
    os.set_blocking(master, False)
    link = os.path.join(prefix, "dosdevices", f"com{PORT}")
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(os.ttyname(slave), link)
    # Wine lists the port among the system's serial ports from this record when its server starts.
    ports_key = ["HKLM\\Software\\Wine\\Ports", "/v", f"COM{PORT}", "/f"]
    subprocess.run([WINE_RUN, "reg", "add", *ports_key, "/d", os.ttyname(slave)], check=True,
                   capture_output=True)
    restart_wine_server()
    send = os.path.join(build, "bin", "orvane-send.exe")
    try:
        send_through_com(master, slave, "orvane-send.exe", [WINE_RUN, send, pattern, "--port",
                                                           str(PORT)], FRAME)
        # tst_comports.exe clicks the same picture and downloads it at the window's speed 5.
        send_through_com(master, slave, "the window's Down Load",
                         [os.path.join(HERE, "qtest-under-wine.sh"),
                          os.path.join(build, "bin", "tst_comports.exe"), "-platform", "offscreen"],
                         FRAME[:-1] + b"5", {"ORVANE_TEST_COM_PORT": str(PORT)})
        absent = subprocess.run([WINE_RUN, send, pattern, "--port", "6"], capture_output=True)
        said = absent.stderr.decode(errors="replace").strip()
        check(absent.returncode == 4 and f"(COM{PORT})" in said and said.startswith(
            "orvane-send: Cannot open port 6 (COM6): nothing is plugged in there ("), said)
    finally:
        subprocess.run([WINE_RUN, "reg", "delete", *ports_key], check=True, capture_output=True)
        os.remove(link)
        restart_wine_server()


def network(build, pattern):
    send = os.path.join(build, "bin", "orvane-send.exe")
    server = socket.create_server(("127.0.0.1", 0))
    server.settimeout(120)
    received = bytearray()

    def serve():
        with server.accept()[0] as connection:
            connection.settimeout(60)
            while data := connection.recv(4096):
                received.extend(data)

    thread = threading.Thread(target=serve, daemon=True)
    thread.start()
    url = f"socket://127.0.0.1:{server.getsockname()[1]}"
    sent = subprocess.run([WINE_RUN, send, pattern, "--device", url], capture_output=True,
                          timeout=180)
    thread.join(30)
    check(sent.returncode == 0 and bytes(received) == FRAME, f"{url} received the frame",
          f"(exit {sent.returncode}): {bytes(received)!r}\n{sent.stderr!r}")
    with socket.create_server(("127.0.0.1", 0)) as nowhere:
        url = f"socket://127.0.0.1:{nowhere.getsockname()[1]}"
    refused = subprocess.run([WINE_RUN, send, pattern, "--device", url], capture_output=True,
                             timeout=180)
    said = refused.stderr.decode(errors="replace").strip()
    check(refused.returncode == 4 and said.startswith(
        f"orvane-send: Cannot connect to {url}: the connection was refused"), said)


if __name__ == "__main__":
    build = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as tmp:
        pattern = os.path.join(tmp, "sign.txt")
        with open(pattern, "wb") as f:
            f.write(PATTERN)
        com_port(build, pattern)
        network(build, pattern)
