#!/usr/bin/env python3
"""A chat line's time end to end on the loopback: from a peer's PRIVMSG leaving its socket to the
plug-in's record of it being in the log file.

    live_latency.py [--zelkor PATH] [--emulator wine] [--lines N] [--interval MS] [--table]

A real server (ngircd, a configuration of its own on a free loopback port, penalties off), a
peer of this script's own that speaks raw IRC and another that only listens, and zelkor with
the real plug-in, recording chat to a text log from the start, its standard input a pipe held
open until the end. The peer sends N lines, one at a time and at a steady pace, each with its
own number. For each line the time runs from sock.send returning to the moment the log file
holds that number: the file's size is polled with a 0.2 ms sleep between polls, and the new
bytes read. The listening peer's socket is read in the same loop: the server's own relay,
measured alike, is the baseline. The next line goes only once this one is in both, at the next
tick of the pace. The first line goes half a second after zelkor has entered the channel.

With --emulator wine, zelkor.exe runs under wine as scripts/windows.sh runs it: its prefix
(build/windows/wineprefix, which scripts/windows.sh creates; or --wineprefix), a Japanese
locale, the display in DISPLAY or an Xvfb of its own. The server and the peer stay native.

Prints one JSON object (or, with --table, a small table): count, median and 99th percentile
(nearest rank) in milliseconds, the first line and the slowest, the server's relay to a bare
client measured alike, the pace and the load average. A line that does not arrive within 10 s
ends the run with an error.
"""

import argparse
import json
import math
import os
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CHANNEL = "#bench"
NICK = "pellix"
POLL_SLEEP = 0.0002  # seconds between two looks at the log file
STARTUP_WAIT = 60  # seconds, for wine's first start on a loaded machine
LINE_WAIT = 10  # seconds for a line to arrive before the run fails
SETTLE = 0.5  # seconds from zelkor's entering the channel to the first line


def fail(message):
    raise SystemExit("live_latency.py: " + message)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_for(what, check, timeout, process=None, log=None):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = check()
        if result:
            return result
        if process is not None and process.poll() is not None:
            break
        time.sleep(0.02)
    detail = ""
    if log:
        try:
            with open(log, "rb") as f:
                detail = "; it said:\n" + f.read()[-3000:].decode("utf-8", "replace")
        except OSError:
            pass
    fail("%s did not happen within %d s%s" % (what, timeout, detail))


class Server:
    """ngircd in the foreground. Penalties off (MaxPenaltyTime = 0), so that a steady peer is
    never held back; no PAM, ident or DNS; as root it drops to nobody, so its PID folder is open."""

    def __init__(self, folder):
        self.port = free_port()
        run = os.path.join(folder, "run")
        os.makedirs(run)
        os.chmod(run, 0o1777)
        conf = os.path.join(folder, "ngircd.conf")
        with open(conf, "w") as out:
            out.write("\n".join([
                "[Global]",
                "\tName = irc.bench.test",
                "\tInfo = Pellix latency",
                "\tListen = 127.0.0.1",
                "\tPorts = %d" % self.port,
                "\tPidFile = " + os.path.join(run, "ngircd.pid"),
                "\tMotdPhrase = \"bench\"",
                "[Limits]",
                "\tMaxPenaltyTime = 0",
                "\tMaxConnectionsIP = 0",
                "\tPingTimeout = 300",
                "[Options]",
                "\tPAM = no",
                "\tIdent = no",
                "\tDNS = no",
            ]) + "\n")
        ngircd = shutil.which("ngircd") or "/usr/sbin/ngircd"
        if not os.path.exists(ngircd):
            fail("ngircd is not installed (Debian's package ngircd)")
        self.log = os.path.join(folder, "ngircd.log")
        with open(self.log, "wb") as log:
            self.process = subprocess.Popen([ngircd, "--nodaemon", "--config", conf], stdin=subprocess.DEVNULL,
                                            stdout=log, stderr=subprocess.STDOUT)
        wait_for("ngircd taking connections", self.accepts, 20, self.process, self.log)

    def accepts(self):
        try:
            socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
            return True
        except OSError:
            return False

    def stop(self):
        stop(self.process)


class Peer:
    """A person on the server, speaking raw IRC: registers and joins; then its socket is read
    without blocking, in the same polling loop as the log file."""

    def __init__(self, port, nick):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=20)
        self.sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.pending = b""
        self.send(b"NICK " + nick.encode())
        self.send(b"USER %s 0 * :latency peer" % nick.encode())
        self.expect(b" 001 ")
        self.send(b"JOIN " + CHANNEL.encode())
        self.expect(b" 366 ")
        self.sock.setblocking(False)

    def send(self, line):
        self.sock.sendall(line + b"\r\n")

    def expect(self, part):
        heard = []
        while not any(part in line for line in heard):
            try:
                heard += self._take(self.sock.recv(65536))
            except socket.timeout:
                fail("the server never sent %r; it sent:\n%s" % (part, b"\n".join(heard[-20:]).decode("utf-8", "replace")))

    def lines(self):
        """The whole lines that arrived since the last call, without waiting."""
        try:
            return self._take(self.sock.recv(65536))
        except BlockingIOError:
            return []

    def _take(self, data):
        if not data:
            fail("the server closed the connection of a peer")
        *complete, self.pending = (self.pending + data).split(b"\n")
        for line in complete:
            if line.startswith(b"PING "):
                self.send(b"PONG " + line[5:].rstrip(b"\r"))
        return complete

    def close(self):
        try:
            self.sock.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self.sock.close()


def is_wine(program):
    return os.path.basename(program).startswith("wine")


def wine_loader():
    try:
        files = subprocess.run(["dpkg", "-L", "wine64"], capture_output=True, text=True, check=True).stdout.split()
    except (OSError, subprocess.CalledProcessError):
        files = []
    for path in files + ["/usr/lib/wine/wine64"]:
        if path.endswith("/wine64") and os.access(path, os.X_OK):
            return path
    fail("wine64 is not installed (scripts/install-packages.sh windows)")


class Display:
    """The X display wine draws on: DISPLAY when it is there, else an Xvfb of our own."""

    def __init__(self):
        self.process = None
        current = os.environ.get("DISPLAY", "")
        if current and os.path.exists("/tmp/.X11-unix/X" + current.lstrip(":").split(".")[0]):
            self.name = current
            return
        n = 90
        while os.path.exists("/tmp/.X11-unix/X%d" % n) or os.path.exists("/tmp/.X%d-lock" % n):
            n += 1
        self.name = ":%d" % n
        self.process = subprocess.Popen(["Xvfb", self.name, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("Xvfb", lambda: os.path.exists("/tmp/.X11-unix/X%d" % n), 10, self.process)

    def stop(self):
        stop(self.process)


def stop(process, wait=10):
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(wait)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def write_pellix_ini(home, folder_as_seen):
    """Chat lines recorded to a text log from the start; nothing else that could answer."""
    lines = ["[AutoWelcome]", "Message=", "AutoWelcome=0",
             "[LogSettings]", "Directory=" + folder_as_seen, "CheckUser=",
             "[Switch]", "SetDlg=0", "EventDlg=0",
             "[LogSwitch]", "AutoLog=1", "TimeStump=1", "HTML=0", "EnterLog=1", "LeaveLog=1", "RenameLog=1",
             "MessageLog=1", "RCMSLog=1", "URLLog=1", "WriteType=1", "NameInclude=1",
             "[React]", "AutoReact=0", "ReactNum=0", "[KeyWord]", "[ResMsg]", "[URL]", "Duplicate=0"]
    with open(os.path.join(home, "Pellix.ini"), "wb") as out:
        out.write(("\r\n".join(lines) + "\r\n").encode("cp932"))


class LogFile:
    """The plug-in's log in `home`, read as it grows."""

    def __init__(self, home):
        self.home = os.fsencode(home)
        self.path = None
        self.offset = 0
        self.tail = b""

    def find(self):
        for entry in os.scandir(self.home):
            if entry.name.startswith(b"EventLog") and entry.is_file():
                self.path = entry.path
                return True
        return False

    def new_bytes(self):
        """What was written since the last call, with the end of the bytes before it, so that a
        number cut by a write is still found."""
        if self.path is None and not self.find():
            return b""
        size = os.stat(self.path).st_size
        if size <= self.offset:
            return b""
        with open(self.path, "rb") as f:
            f.seek(self.offset)
            data = f.read(size - self.offset)
        self.offset += len(data)
        joined = self.tail + data
        self.tail = joined[-32:]
        return joined


def text_of(number):
    # A Japanese line of about 60 characters with a URL, as the host benchmark's; the number in
    # brackets is found in the log, the URL differs per line so that none is a duplicate.
    return ("今日のログ [%06d] は http://example.com/logs/%06d.html にあります、明日もよろしく" % (number, number)).encode()


def percentile(sorted_values, fraction):
    return sorted_values[max(0, math.ceil(fraction * len(sorted_values)) - 1)]


def measure(args):
    folder = tempfile.mkdtemp(prefix="pellix-latency-")
    home = os.path.join(folder, "home")
    os.makedirs(home)
    server = sender = listener = display = zelkor = None
    try:
        server = Server(folder)
        # The one who speaks, and one who only listens: the server's own relay to a bare client,
        # polled alike, is the baseline.
        sender = Peer(server.port, "peer")
        listener = Peer(server.port, "listener")
        env = dict(os.environ)
        command = [args.zelkor]
        log_folder = home + "/"
        words = args.emulator.split("|") if args.emulator else []
        if words == ["wine"]:
            words = [wine_loader()]
        command = words + command
        if words and is_wine(words[0]):
            prefix = os.path.abspath(args.wineprefix)
            if not os.path.exists(os.path.join(prefix, "system.reg")):
                fail("no wine prefix at %s: run scripts/windows.sh (it creates build/windows/wineprefix) first" % prefix)
            # A wine server still running in the prefix keeps its desktop on the display it was
            # started with, which another display cannot use: wait for it to end, as
            # scripts/windows.sh does, and stop nothing of it.
            server_program = os.path.join(os.path.dirname(words[0]), "wineserver")
            if os.path.exists(server_program):
                try:
                    subprocess.run([server_program, "-w"], env=dict(env, WINEPREFIX=prefix), timeout=30,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                except subprocess.TimeoutExpired:
                    fail("another wine session still runs in %s; try again once it has ended" % prefix)
            display = Display()
            env.pop("LC_ALL", None)
            env.update({"WINEPREFIX": prefix, "WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml=",
                        "LANG": "ja_JP.UTF-8", "DISPLAY": display.name})
            log_folder = "Z:" + log_folder.replace("/", "\\")
        write_pellix_ini(home, log_folder)
        transcript = os.path.join(folder, "transcript.txt")
        errors = os.path.join(folder, "errors.txt")
        with open(transcript, "wb") as out, open(errors, "wb") as err:
            zelkor = subprocess.Popen(command + ["--desktop", "console", "--home", home, "--irc", "127.0.0.1:%d" % server.port,
                                                 "--channel", CHANNEL, "--nick", NICK],
                                      stdin=subprocess.PIPE, stdout=out, stderr=err, env=env, start_new_session=True)

        def entered():
            with open(transcript, "rb") as f:
                return b"* joined " + CHANNEL.encode() in f.read()

        wait_for("zelkor joining " + CHANNEL, entered, STARTUP_WAIT, zelkor, errors)
        log = LogFile(home)
        wait_for("the plug-in's log file", log.find, STARTUP_WAIT, zelkor, errors)
        log.new_bytes()
        # A line right behind the join's WHO reply waits some 30 ms in the server's socket (its
        # Nagle delay meeting zelkor's delayed ACK): the run measures the channel once settled.
        time.sleep(SETTLE)

        times, relayed = [], []
        start = time.monotonic()
        for number in range(args.lines):
            # The steady pace; a line slower than the pace delays the next one, never overlaps it.
            now = time.monotonic()
            tick = start + number * args.interval / 1000.0
            if tick > now:
                time.sleep(tick - now)
            wanted = b"[%06d]" % number
            message = b"PRIVMSG " + CHANNEL.encode() + b" :" + text_of(number) + b"\r\n"
            if sender.sock.send(message) != len(message):
                fail("the peer's line did not leave in one send")
            sent = time.perf_counter()
            logged = heard = None
            while logged is None or heard is None:
                if heard is None and any(wanted in line for line in listener.lines()):
                    heard = time.perf_counter() - sent
                if logged is None and wanted in log.new_bytes():
                    logged = time.perf_counter() - sent
                if time.perf_counter() - sent > LINE_WAIT or zelkor.poll() is not None:
                    break
                time.sleep(POLL_SLEEP)
            if zelkor.poll() is not None:
                fail("zelkor ended during the run (status %d)" % zelkor.returncode)
            if logged is None or heard is None:
                # A line that never arrived is a fault, not a slow line: the run ends with it.
                fail("line %d never reached %s within %d s" % (
                    number, "the log file" if logged is None else "the listening peer", LINE_WAIT))
            times.append((logged * 1000.0, number))
            relayed.append(heard * 1000.0)
        return times, relayed
    finally:
        if zelkor is not None:
            try:
                zelkor.stdin.close()  # the end of its input ends zelkor, with QUIT
            except OSError:
                pass
            try:
                zelkor.wait(20)
            except subprocess.TimeoutExpired:
                os.killpg(zelkor.pid, 9)
                zelkor.wait()
        for peer in (sender, listener):
            if peer is not None:
                peer.close()
        if server is not None:
            server.stop()
        if display is not None:
            display.stop()
        if args.keep:
            print("kept: " + folder, file=sys.stderr)
        else:
            shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--zelkor", help="the program (default: build/bench/bin/zelkor, or "
                        "build/windows-bench/bin/zelkor.exe with --emulator)")
    parser.add_argument("--emulator", help="'wine' (or a wine loader's words joined with '|') to run zelkor.exe under, "
                        "as scripts/windows.sh does; any other command's words joined with '|' run zelkor natively")
    parser.add_argument("--wineprefix", default=os.path.join(ROOT, "build", "windows", "wineprefix"),
                        help="the wine prefix (default: scripts/windows.sh's, build/windows/wineprefix)")
    parser.add_argument("--lines", type=int, help="lines to send (default 300, 100 under an emulator)")
    parser.add_argument("--interval", type=float, default=None, help="ms from one line to the next (default 50, 100 under an emulator)")
    parser.add_argument("--table", action="store_true", help="a table instead of JSON")
    parser.add_argument("--keep", action="store_true", help="keep the temporary folder (server log, home, transcript)")
    args = parser.parse_args()
    wine = is_wine(args.emulator.split("|")[0] if args.emulator else "")
    if args.zelkor is None:
        args.zelkor = os.path.join(ROOT, "build", "windows-bench", "bin", "zelkor.exe") if wine else \
            os.path.join(ROOT, "build", "bench", "bin", "zelkor")
    if args.lines is None:
        args.lines = 100 if wine else 300
    if args.interval is None:
        args.interval = 100.0 if wine else 50.0
    if not os.path.exists(args.zelkor):
        fail("no program at " + args.zelkor)
    args.zelkor = os.path.abspath(args.zelkor)

    load_before = os.getloadavg()[0]
    times, relayed = measure(args)

    def summary(values):
        ordered = sorted(values)
        return {"median_ms": round(statistics.median(ordered), 3), "p99_ms": round(percentile(ordered, 0.99), 3),
                "min_ms": round(ordered[0], 3), "max_ms": round(ordered[-1], 3)}

    slowest = sorted(times, reverse=True)[:5]
    times = [ms for ms, _ in times]
    result = {
        "count": len(times),
        **summary(times),
        "first_ms": round(times[0], 3),
        "slowest": [[number, round(ms, 3)] for ms, number in slowest],
        "relay": summary(relayed),
        "interval_ms": args.interval,
        "poll_sleep_ms": POLL_SLEEP * 1000.0,
        "emulator": args.emulator or "",
        "load_average": [round(load_before, 2), round(os.getloadavg()[0], 2)],
    }
    if args.table:
        relay = result["relay"]
        print("| from the peer's send to | lines | median | p99 | min | max |")
        print("|---|---|---|---|---|---|")
        print("| the record in the log file | %d | %.2f ms | %.2f ms | %.2f ms | %.2f ms |" % (
            result["count"], result["median_ms"], result["p99_ms"], result["min_ms"], result["max_ms"]))
        print("| the line at a bare client (the server alone) | %d | %.2f ms | %.2f ms | %.2f ms | %.2f ms |" % (
            result["count"], relay["median_ms"], relay["p99_ms"], relay["min_ms"], relay["max_ms"]))
        print("first line %.2f ms; slowest (line, ms) %s; one line every %.0f ms; %.1f ms between polls; load %.2f to %.2f" % (
            result["first_ms"], result["slowest"], args.interval, POLL_SLEEP * 1000.0, *result["load_average"]))
    else:
        print(json.dumps(result))


if __name__ == "__main__":
    main()
