#!/usr/bin/env python3
"""Sends one picture to 1, 8, 32 and 128 signs at once and measures what it costs.

Each sign is a pseudo-terminal, either opened directly ("pty") or behind Debian's ser2net on
127.0.0.1 as a raw TCP port ("raw", socket://) or an RFC 2217 server ("rfc2217"). The signs are
named in a signs file as one group, and `orvane-send --sign all` sends to them. Per run it reports
the wall time, orvane-send's CPU time and peak memory (maximum resident set) and its peak number of open file
descriptors (sampled every few milliseconds), and ser2net's; each sign must have received
exactly the frame. Fails (exit 1) when 32 signs behind ser2net take more than 1.5 times as long
as one: there each download lasts the 3.74 s the far end's line needs, as on a real line. A
pseudo-terminal has no line time (it takes the frame at once), so its times show what the
program itself costs a sign.

    bench/many-signs.py [--send build/bin/orvane-send] [--counts 1,8,32,128] [--repeat 3]
                        [--kinds pty,raw,rfc2217]

Bounded: at most 512 signs, loopback only, every run killed after 60 s, every ser2net stopped.
"""

import argparse
import os
import pty
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import time

MAX_SIGNS = 512
RUN_TIMEOUT = 60.0
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def free_ports(count):
    """Ports on 127.0.0.1 that nothing listens on now, each distinct."""
    sockets, ports = [], []
    for _ in range(count):
        s = socket.socket()
        s.bind(("127.0.0.1", 0))
        sockets.append(s)
        ports.append(s.getsockname()[1])
    for s in sockets:
        s.close()
    return ports


def listening(ports):
    """Whether every port listens on 127.0.0.1, by the kernel's table of TCP sockets."""
    with open("/proc/net/tcp") as table:
        text = table.read()
    return all(" 0100007F:%04X 00000000:0000 0A " % p in text for p in ports)


def open_fds(pid):
    try:
        return len(os.listdir("/proc/%d/fd" % pid))
    except OSError:
        return 0


def peak_rss_kib(pid):
    """VmHWM of a running process, in KiB."""
    try:
        with open("/proc/%d/status" % pid) as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


class Ser2Net:
    """One ser2net serving every device on its own port of 127.0.0.1."""

    def __init__(self, devices, rfc2217, folder):
        self.ports = free_ports(len(devices))
        config = os.path.join(folder, "ser2net.yaml")
        with open(config, "w") as f:
            f.write("%YAML 1.1\n---\n")
            for i, (device, port) in enumerate(zip(devices, self.ports)):
                f.write(
                    "connection: &sign%d\n  accepter: %stcp,127.0.0.1,%d\n"
                    "  connector: serialdev,%s,%s,local\n"
                    % (i, "telnet(rfc2217)," if rfc2217 else "", port, device,
                       "9600n81" if rfc2217 else "300n82"))
        # In the foreground (-n), messages on standard output (-d), no UUCP locks (-u).
        self.process = subprocess.Popen(
            ["/usr/sbin/ser2net", "-n", "-d", "-u", "-c", config, "-P",
             os.path.join(folder, "pid")],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while not listening(self.ports):
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.stop()
                sys.exit("ser2net did not come up for %d devices" % len(devices))
            time.sleep(0.05)
        self.urls = ["%s://127.0.0.1:%d" % ("rfc2217" if rfc2217 else "socket", p)
                     for p in self.ports]

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def read_all(fd, count, quiet):
    """What the master `fd` gives until it has given more than `count` bytes or nothing for
    `quiet` seconds (a busy ser2net may still be passing the end on)."""
    data = b""
    os.set_blocking(fd, False)
    last = time.monotonic()
    while time.monotonic() - last < (quiet if len(data) < count else 0.02) and len(data) <= count:
        try:
            chunk = os.read(fd, 4096)
        except BlockingIOError:
            chunk = b""
        except OSError:
            break
        if chunk:
            data += chunk
            last = time.monotonic()
        else:
            time.sleep(0.01)
    return data


def run(send, kind, count, frame, folder):
    """One send to `count` signs of `kind`: (wall s, CPU s, peak KiB, peak fds, ser2net KiB,
    ser2net fds)."""
    pairs = [pty.openpty() for _ in range(count)]
    masters = [m for m, _ in pairs]
    devices = [os.ttyname(s) for _, s in pairs]
    server = None
    try:
        links = devices
        if kind != "pty":
            server = Ser2Net(devices, kind == "rfc2217", folder)
            links = server.urls
        signs = os.path.join(folder, "signs.conf")
        with open(signs, "w") as f:
            for i, link in enumerate(links):
                f.write("s%d = %s\n" % (i, link))
            f.write("all = %s\n" % ", ".join("s%d" % i for i in range(count)))
        env = dict(os.environ, ORVANE_SIGNS=signs)
        start = time.monotonic()
        process = subprocess.Popen([send, "--text", "BENCH", "--sign", "all"], env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        os.set_blocking(process.stderr.fileno(), False)
        peak_fds, err = 0, b""
        while True:
            pid, status, usage = os.wait4(process.pid, os.WNOHANG)
            if pid:
                break
            peak_fds = max(peak_fds, open_fds(process.pid))
            err += process.stderr.read() or b""
            if time.monotonic() - start > RUN_TIMEOUT:
                process.kill()
            time.sleep(0.003)
        wall = time.monotonic() - start
        err += process.stderr.read() or b""
        if os.waitstatus_to_exitcode(status) != 0:
            sys.exit("orvane-send failed for %d %s signs:\n%s" % (count, kind, err.decode()))
        server_kib = peak_rss_kib(server.process.pid) if server else 0
        server_fds = open_fds(server.process.pid) if server else 0
        for i, master in enumerate(masters):
            got = read_all(master, len(frame), 2.0)
            if got != frame:
                sys.exit("sign %d of %d (%s) received %r" % (i, count, kind, got))
        return (wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss, peak_fds, server_kib,
                server_fds)
    finally:
        if server:
            server.stop()
        for m, s in pairs:
            os.close(m)
            os.close(s)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--send", default=os.environ.get(
        "ORVANE_SEND", os.path.join(ROOT, "build/bin/orvane-send")))
    parser.add_argument("--counts", default="1,8,32,128")
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--kinds", default="pty,raw,rfc2217")
    args = parser.parse_args()
    counts = [int(c) for c in args.counts.split(",")]
    kinds = args.kinds.split(",")
    if any(c < 1 or c > MAX_SIGNS for c in counts) or not 1 <= args.repeat <= 10 or \
            any(k not in ("pty", "raw", "rfc2217") for k in kinds):
        sys.exit("counts 1..%d, repeat 1..10, kinds pty, raw, rfc2217" % MAX_SIGNS)
    frame = subprocess.run([args.send, "--text", "BENCH", "--frame"], check=True,
                           capture_output=True).stdout

    print("%-8s %5s %8s %7s %7s %9s %6s %8s %11s" % (
        "kind", "signs", "wall s", "ratio", "CPU s", "peak MiB", "fds", "ser2net",
        "ser2net fds"))
    failed = False
    with tempfile.TemporaryDirectory() as folder:
        for kind in kinds:
            one = None
            for count in counts:
                runs = [run(args.send, kind, count, frame, folder) for _ in range(args.repeat)]
                wall = statistics.median(r[0] for r in runs)
                one = wall if count == 1 else one
                ratio = wall / one if one else float("nan")
                print("%-8s %5d %8.2f %6.2fx %7.2f %9.1f %6d %7.1fM %11d" % (
                    kind, count, wall, ratio, statistics.median(r[1] for r in runs),
                    max(r[2] for r in runs) / 1024, max(r[3] for r in runs),
                    max(r[4] for r in runs) / 1024, max(r[5] for r in runs)), flush=True)
                if kind != "pty" and count == 32 and one and ratio > 1.5:
                    failed = True
    if failed:
        print("FAILED: 32 signs took more than 1.5 times as long as one")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
