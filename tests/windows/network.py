#!/usr/bin/env python3
"""orvane-send.exe under Wine sends through socket:// to a server on 127.0.0.1.

A TCP server of this script takes the connection and must receive exactly the 102 characters of
the frame; a port where nothing listens must be refused with its own message and exit code 4.

    network.py BUILD_DIR          (the windows preset's build folder)
"""

import os
import socket
import subprocess
import sys
import tempfile
import threading

COLUMNS = ["RBRBBBBR"] + ["BBBBBBBB"] * 48 + ["BRBBBBBB"]
FRAME = b"SA1" + b"0" * 96 + b"40" + b"7"


def fail(text):
    print(f"FAILED: {text}")
    sys.exit(1)


def main():
    build = os.path.abspath(sys.argv[1])
    here = os.path.dirname(os.path.abspath(__file__))
    wine_run = os.path.join(here, "..", "..", "scripts", "wine-run")
    send = os.path.join(build, "bin", "orvane-send.exe")

    server = socket.socket()
    server.bind(("127.0.0.1", 0))
    server.listen(1)
    server.settimeout(120)
    received = bytearray()

    def serve():
        try:
            connection, _ = server.accept()
        except OSError:
            return
        with connection:
            connection.settimeout(60)
            while True:
                try:
                    data = connection.recv(4096)
                except OSError:
                    return
                if not data:
                    return
                received.extend(data)

    thread = threading.Thread(target=serve, daemon=True)
    thread.start()
    nowhere = socket.socket()
    nowhere.bind(("127.0.0.1", 0))
    closed_port = nowhere.getsockname()[1]
    nowhere.close()

    with tempfile.TemporaryDirectory() as tmp:
        pattern = os.path.join(tmp, "sign.txt")
        with open(pattern, "wb") as f:
            f.write(b"".join(c.encode() + b"\r\n" for c in COLUMNS) + b" 7 \r\n\r\n")
        url = f"socket://127.0.0.1:{server.getsockname()[1]}"
        sent = subprocess.run([wine_run, send, pattern, "--device", url], capture_output=True,
                              timeout=180)
        thread.join(30)
        said = sent.stderr.decode(errors="replace").strip()
        if sent.returncode != 0 or bytes(received) != FRAME:
            fail(f"{url}: exit {sent.returncode}, received {bytes(received)!r} "
                 f"({len(received)} characters), wanted {FRAME!r}\n{said}")
        print(f"ok: orvane-send.exe --device {url}: the server received the "
              f"{len(FRAME)} characters of the frame exactly")

        url = f"socket://127.0.0.1:{closed_port}"
        refused = subprocess.run([wine_run, send, pattern, "--device", url], capture_output=True,
                                 timeout=180)
        said = refused.stderr.decode(errors="replace").replace("\r\n", "\n").strip()
        wanted = f"orvane-send: Cannot connect to {url}: the connection was refused"
        if refused.returncode != 4 or not said.startswith(wanted):
            fail(f"{url}: exit {refused.returncode}, {said!r}")
        print(f"ok: {said}")


if __name__ == "__main__":
    main()
