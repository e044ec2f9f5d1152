#!/usr/bin/env python3
"""zelkor on a live IRC channel, end to end: a real server (ngircd) on a free loopback port, peer
clients of the test's own that speak raw IRC, and zelkor with the real plug-in, its standard input
a pipe, its transcript read line by line as it comes.

    live_channel.py --zelkor PATH [--emulator 'CMD|ARG|...'] [unittest arguments: ChatTest ...]

With --emulator (the cross build's CMAKE_CROSSCOMPILING_EMULATOR, its words joined with "|"),
zelkor.exe runs under it (wine); the server and the peers stay native. zelkor.exe trusts the
system's roots, not SSL_CERT_FILE: --trust-ca PROGRAM (live_trust_ca.exe, run under the emulator)
puts the test's CA into them for the TLS tests and takes it out again. LIVE_KEEP=1 keeps the
temporary folders (server logs, homes) and prints where they are.
"""

import argparse
import glob
import os
import random
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

ZELKOR = None
EMULATOR = []
TRUST_CA = None
NGIRCD = None
OPENSSL = None
KEEP = os.environ.get("LIVE_KEEP") == "1"

# Generous: a loaded machine (or wine) is slow, and a wait ends as soon as its line is there.
WAIT = 20


def under_emulator():
    return bool(EMULATOR)


def fnv1a(data):
    value = 2166136261
    for byte in data:
        value = ((value ^ byte) * 16777619) & 0xFFFFFFFF
    return value


def person_name(nick, user_at_host):
    """The name zelkor gives a person: the nick, '#', and the hash of ident@host as the server
    shows it."""
    return "%s#%08X" % (nick, fnv1a(user_at_host.encode()))


def ephemeral_start():
    try:
        with open("/proc/sys/net/ipv4/ip_local_port_range") as ports:
            return int(ports.read().split()[0])
    except (OSError, ValueError, IndexError):
        return 32768


def free_port():
    """A port free now, below the range the system hands out for outgoing connections: no
    client's connection takes it while a server restarts on it."""
    top = ephemeral_start()
    for attempt in range(100):
        port = random.randrange(max(1024, top - 12000), top)
        with socket.socket() as probe:
            try:
                probe.bind(("127.0.0.1", port))
                return port
            except OSError:
                continue
    raise AssertionError("no free port below %d" % top)


def native_path(path):
    """A folder as the program sees it: under wine, the drive Z: maps the root."""
    if under_emulator():
        return "Z:" + path.replace("/", "\\")
    return path


def scratch(prefix):
    folder = tempfile.mkdtemp(prefix="pellix-live-" + prefix + "-")
    if KEEP:
        print("kept: " + folder, file=sys.stderr)
    return folder


def remove(folder):
    if not KEEP:
        shutil.rmtree(folder, ignore_errors=True)


class Found:
    """A line that matched: its regular expression's match and where it is."""

    def __init__(self, match, index):
        self.match = match
        self.index = index

    def group(self, *which):
        return self.match.group(*which)


class Lines:
    """What a stream says, one line at a time, read by a thread of its own. `expect` waits for
    the next line after the last one it matched, so a sequence of expects checks the order."""

    def __init__(self, stream, label, on_line=None):
        self.label = label
        self.raw = []  # bytes, without the line end
        self.text = []  # the same as text (UTF-8, undecodable bytes replaced)
        self.times = []
        self.ended = False
        self.cursor = 0
        self._on_line = on_line
        self._cond = threading.Condition()
        self._thread = threading.Thread(target=self._read, args=(stream,), daemon=True)
        self._thread.start()

    def _read(self, stream):
        try:
            for line in iter(stream.readline, b""):
                line = line.rstrip(b"\n").rstrip(b"\r")
                if self._on_line:
                    self._on_line(line)
                with self._cond:
                    self.raw.append(line)
                    self.text.append(line.decode("utf-8", "replace"))
                    self.times.append(time.monotonic())
                    self._cond.notify_all()
        except (OSError, ValueError):
            pass
        with self._cond:
            self.ended = True
            self._cond.notify_all()

    def expect(self, pattern, timeout=WAIT):
        """The match of the first line from the cursor on that matches `pattern` (a regular
        expression, whole line); the cursor moves past it."""
        regex = re.compile(pattern)
        deadline = time.monotonic() + timeout
        with self._cond:
            while True:
                while self.cursor < len(self.text):
                    index = self.cursor
                    self.cursor += 1
                    match = regex.fullmatch(self.text[index])
                    if match:
                        return Found(match, index)
                left = deadline - time.monotonic()
                if self.ended or left <= 0:
                    raise AssertionError("%s: no line like %r in %s s (%s); it said:\n%s" % (
                        self.label, pattern, timeout, "it ended" if self.ended else "still open", self.tail()))
                self._cond.wait(left)

    def expect_line(self, line, timeout=WAIT):
        return self.expect(re.escape(line), timeout)

    def any(self, pattern):
        regex = re.compile(pattern)
        with self._cond:
            return [t for t in self.text if regex.fullmatch(t)]

    def wait_end(self, timeout):
        self._thread.join(timeout)

    def tail(self, count=60):
        with self._cond:
            return "\n".join("  | " + t for t in self.text[-count:])


class IrcServer:
    """ngircd on loopback ports of its own, in the foreground, with a configuration written
    here: no PAM, no ident, no DNS, short pings, no ServerUID (as root it becomes nobody)."""

    def __init__(self, folder, tls_cert=None, tls_key=None, listen="127.0.0.1", ping=5):
        self.folder = folder
        self.listen = listen
        self.ping = ping
        self.tls_cert, self.tls_key = tls_cert, tls_key
        self.port = None
        self.tls_port = None
        self.process = None
        self.log = os.path.join(folder, "ngircd.log")
        os.makedirs(os.path.join(folder, "conf.d"), exist_ok=True)
        # The server writes its PID after it has dropped root for nobody.
        self.run = os.path.join(folder, "run")
        os.makedirs(self.run, exist_ok=True)
        os.chmod(self.run, 0o1777)
        for attempt in range(5):
            self.port = free_port()
            self.tls_port = free_port() if tls_cert else None
            if self.start():
                return
        raise AssertionError("ngircd did not start; its log:\n" + self.log_text())

    def config(self):
        lines = [
            "[Global]",
            "\tName = irc.live.test",
            "\tInfo = Pellix live tests",
            "\tAdminInfo1 = Pellix live tests",
            "\tAdminInfo2 = loopback only",
            "\tAdminEMail = nobody@invalid",
            "\tListen = " + self.listen,
            "\tPorts = %d" % self.port,
            "\tPidFile = " + os.path.join(self.run, "ngircd.pid"),
            "\tMotdPhrase = \"live test\"",
            "[Limits]",
            "\tPingTimeout = %d" % self.ping,
            "\tPongTimeout = 10",
            "\tMaxConnectionsIP = 0",
            "\tMaxJoins = 0",
            "\tMaxNickLength = 30",
            # No flood penalties: ngircd would delay what it relays, and the tests could not tell
            # zelkor's own pacing from the server's (and would wait a second for every JOIN).
            "\tMaxPenaltyTime = 0",
            "[Options]",
            "\tPAM = no",
            "\tIdent = no",
            "\tDNS = no",
            "\tIncludeDir = " + os.path.join(self.folder, "conf.d"),
        ]
        if self.tls_cert:
            lines += [
                "[SSL]",
                "\tCertFile = " + self.tls_cert,
                "\tKeyFile = " + self.tls_key,
                "\tPorts = %d" % self.tls_port,
            ]
        return "\n".join(lines) + "\n"

    def start(self):
        """True once the server listens on its ports; False when it could not have them."""
        conf = os.path.join(self.folder, "ngircd.conf")
        with open(conf, "w") as out:
            out.write(self.config())
        log = open(self.log, "ab")
        since = log.tell()
        self.process = subprocess.Popen([NGIRCD, "--nodaemon", "--config", conf], stdin=subprocess.DEVNULL,
                                        stdout=log, stderr=subprocess.STDOUT)
        log.close()
        # Its own word that it listens: a port that merely answers could be someone else's.
        wanted = ["Now listening on [127.0.0.1]:%d " % port for port in (self.port, self.tls_port) if port]
        deadline = time.monotonic() + WAIT
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                return False
            said = self.log_text(since)
            if all(line in said for line in wanted):
                return True
            time.sleep(0.05)
        self.stop()
        return False

    def stop(self, signum=signal.SIGTERM):
        if self.process and self.process.poll() is None:
            self.process.send_signal(signum)
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process = None

    def restart(self):
        """The same server again, on the same ports."""
        self.stop()
        deadline = time.monotonic() + WAIT
        while not self.start():
            if time.monotonic() > deadline:
                raise AssertionError("ngircd did not start again on its port; its log:\n" + self.log_text())
            time.sleep(0.2)

    def log_text(self, since=None):
        """What the server logged: from `since` on, or the last of it."""
        try:
            with open(self.log, "rb") as log:
                log.seek(since or 0)
                text = log.read().decode("utf-8", "replace")
        except OSError:
            return "(no log)"
        return text if since is not None else text[-4000:]


class Peer:
    """A person on the server: a raw IRC client that registers, answers PING, and keeps every
    line the server sends it."""

    def __init__(self, port, nick, user=None):
        self.nick = nick
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=WAIT)
        self.sock.settimeout(None)
        self._lock = threading.Lock()
        self._stream = self.sock.makefile("rb")
        self.lines = Lines(self._stream, "peer " + nick, self._answer_ping)
        self.send("NICK " + nick)
        self.send("USER %s 0 * :Live test peer" % (user or nick))
        welcome = self.lines.expect(r":\S+ 001 %s :.* (\S+!\S+@\S+)" % re.escape(nick))
        self.prefix = welcome.group(1)
        self.name = person_name(nick, self.prefix.split("!", 1)[1])

    def _answer_ping(self, line):
        if line.startswith(b"PING "):
            self.send(b"PONG " + line[5:])

    def send(self, line):
        if isinstance(line, str):
            line = line.encode()
        with self._lock:
            self.sock.sendall(line + b"\r\n")

    def join(self, channel):
        self.send("JOIN " + channel)
        self.lines.expect(r":%s!\S+ JOIN :?%s" % (re.escape(self.nick), re.escape(channel)))
        self.lines.expect(r":\S+ 366 %s %s .*" % (re.escape(self.nick), re.escape(channel)))

    def say(self, channel, text):
        self.send((b"PRIVMSG %s :" % channel.encode()) + (text.encode() if isinstance(text, str) else text))

    def rename(self, nick):
        self.send("NICK " + nick)
        self.lines.expect(r":%s!\S+ NICK :?%s" % (re.escape(self.nick), re.escape(nick)))
        self.name = person_name(nick, self.prefix.split("!", 1)[1])
        self.nick = nick

    def part(self, channel, reason="bye"):
        self.send("PART %s :%s" % (channel, reason))
        self.lines.expect(r":%s!\S+ PART %s.*" % (re.escape(self.nick), re.escape(channel)))

    def quit(self, reason="gone"):
        self.send("QUIT :" + reason)
        self.lines.expect(r"ERROR :.*")
        self.close()

    def heard(self, nick, channel, timeout=WAIT):
        """The text of the next PRIVMSG `nick` sent to `channel`."""
        return self.lines.expect(r":%s!\S+ PRIVMSG %s :(.*)" % (re.escape(nick), re.escape(channel)), timeout).group(1)

    def heard_raw(self, nick, channel, timeout=WAIT):
        """The bytes of the next PRIVMSG's text, and of the whole line as the server relayed it."""
        match = self.lines.expect(r":%s!\S+ PRIVMSG %s :(.*)" % (re.escape(nick), re.escape(channel)), timeout)
        line = self.lines.raw[match.index]
        return line.split(b" :", 1)[1], line

    def close(self):
        try:
            self.sock.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self.lines.wait_end(5)
        self._stream.close()
        self.sock.close()


def write_pellix_ini(home, welcome=None, rules=(), log_folder=None, url_section=True):
    """The plug-in's settings, in Shift-JIS with CR LF, as the plug-in writes them."""
    lines = ["[AutoWelcome]", "Message=" + (welcome or ""), "AutoWelcome=%d" % (1 if welcome else 0),
             "[LogSettings]", "Directory=" + native_path((log_folder or home) + "/"),
             "CheckUser=", "[Switch]", "SetDlg=0", "EventDlg=0",
             "[LogSwitch]", "AutoLog=0", "TimeStump=1", "HTML=0", "EnterLog=1", "LeaveLog=1", "RenameLog=1",
             "MessageLog=1", "RCMSLog=1", "URLLog=1", "WriteType=1", "NameInclude=1",
             "[React]", "AutoReact=%d" % (1 if rules else 0), "ReactNum=%d" % len(rules), "[KeyWord]"]
    lines += ["Word[%d]=%s" % (i, word) for i, (word, _) in enumerate(rules)]
    lines += ["[ResMsg]"]
    lines += ["Msg[%d]=%s" % (i, answer) for i, (_, answer) in enumerate(rules)]
    if url_section:
        lines += ["[URL]", "Duplicate=0"]
    with open(os.path.join(home, "Pellix.ini"), "wb") as out:
        out.write(("\r\n".join(lines) + "\r\n").encode("cp932"))


class Zelkor:
    """zelkor on a live channel, with its standard input a pipe held open here."""

    def __init__(self, home, port, channels, nick, tls=False, host="127.0.0.1", env=None, desktop="console"):
        self.nick = nick
        address = "%s:%d" % (host, port)
        args = ["--desktop", desktop, "--home", home, "--irc", address, "--nick", nick]
        for channel in channels:
            args += ["--channel", channel]
        if tls:
            args.append("--tls")
        environment = dict(os.environ)
        environment.update(env or {})
        self.process = subprocess.Popen(EMULATOR + [ZELKOR] + args, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, env=environment, start_new_session=True)
        self.out = Lines(self.process.stdout, "zelkor's transcript")
        self.err = Lines(self.process.stderr, "zelkor's errors")
        self.status = None
        self.expected_status = 0

    def joined(self, channel):
        """Waits until zelkor is in the channel; its own name there."""
        return self.out.expect(r"(?:\[\S+\] )?\* joined %s as (\S+)(?: \(topic: .*\))?" % re.escape(channel)).group(1)

    def type(self, line):
        self.process.stdin.write(line.encode() + b"\n")
        self.process.stdin.flush()

    def end_input(self):
        if not self.process.stdin.closed:
            try:
                self.process.stdin.close()
            except BrokenPipeError:
                pass

    def wait(self, timeout=WAIT):
        try:
            self.status = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.kill()
            raise AssertionError("zelkor did not end in %s s; it said:\n%s\n%s" % (timeout, self.out.tail(), self.err.tail()))
        self.out.wait_end(5)
        self.err.wait_end(5)
        return self.status

    def kill(self):
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()
        self.out.wait_end(5)
        self.err.wait_end(5)
        for stream in (self.process.stdin, self.process.stdout, self.process.stderr):
            try:
                stream.close()
            except OSError:
                pass


class LiveTestCase(unittest.TestCase):
    """One server for the class; each test its own home, zelkor and peers, all ended after it."""

    @classmethod
    def setUpClass(cls):
        if not NGIRCD:
            raise AssertionError("ngircd is not installed (scripts/install-packages.sh test installs it)")
        # Class clean-ups run even when the set-up fails half-way: no server is left behind.
        cls.folder = scratch(cls.__name__)
        cls.addClassCleanup(remove, cls.folder)
        cls.server = cls.make_server(cls.folder)

    @classmethod
    def start_server(cls, folder, *args, **kwargs):
        server = IrcServer(folder, *args, **kwargs)
        cls.addClassCleanup(server.stop)
        return server

    @classmethod
    def make_server(cls, folder):
        return cls.start_server(os.path.join(folder, "server"))

    def setUp(self):
        self.home = scratch(self.id().rsplit(".", 1)[-1])
        self.logs = os.path.join(self.home, "logs")
        os.makedirs(self.logs)
        self.peers = []
        self.zelkors = []

    def tearDown(self):
        try:
            for zelkor in self.zelkors:
                if zelkor.process.poll() is None:
                    zelkor.end_input()
                    zelkor.wait()
            for zelkor in self.zelkors:
                # Every session ends in order: end of input is the usual way out.
                if zelkor.status is not None and zelkor.status != zelkor.expected_status:
                    self.fail("zelkor exited with %s; it said:\n%s\n%s" % (zelkor.status, zelkor.out.tail(), zelkor.err.tail()))
        finally:
            for zelkor in self.zelkors:
                zelkor.kill()
            for peer in self.peers:
                peer.close()
            remove(self.home)

    def peer(self, nick, port=None):
        peer = Peer(port or self.server.port, nick)
        self.peers.append(peer)
        return peer

    def zelkor(self, channels, nick="zel", **kwargs):
        kwargs.setdefault("port", self.server.port)
        zelkor = Zelkor(self.home, channels=channels, nick=nick, **kwargs)
        self.zelkors.append(zelkor)
        return zelkor

    def log_file(self):
        """The one text log the recording left, as Shift-JIS text."""
        files = glob.glob(os.path.join(self.logs, "EventLog*.txt"))
        self.assertEqual(len(files), 1, "log files: %s" % os.listdir(self.logs))
        with open(files[0], "rb") as log:
            return log.read()


class ChatTest(LiveTestCase):
    """What people do in a channel, as the plug-in sees it and answers."""

    WELCOME = "Welcome, %NAME%!"
    RULES = [("hello", "hi %NAME%"), ("weather", "sunny, %NAME%")]

    def test_welcome_answers_and_an_operators_line(self):
        # The first in an ngircd channel is its operator.
        alice = self.peer("alice")
        alice.join("#lobby")
        write_pellix_ini(self.home, self.WELCOME, self.RULES)
        zelkor = self.zelkor(["#lobby"])
        zelkor.joined("#lobby")
        alice.lines.expect(r":zel!\S+ JOIN :?#lobby")

        bob = self.peer("bob")
        bob.join("#lobby")
        zelkor.out.expect_line("* join %s 127.0.0.1:0 line 0 files 0" % bob.name)
        zelkor.out.expect_line("[sent] Welcome, bob!")
        self.assertEqual(bob.heard("zel", "#lobby"), "Welcome, bob!")

        bob.say("#lobby", "hello everyone, how is the weather")
        zelkor.out.expect_line("<%s> hello everyone, how is the weather" % bob.name)
        # %NAME% in an answer is the speaker's full name; both rules answer, in row order.
        zelkor.out.expect_line("[sent] hi %s" % bob.name)
        zelkor.out.expect_line("[sent] sunny, %s" % bob.name)
        self.assertEqual(bob.heard("zel", "#lobby"), "hi " + bob.name)
        self.assertEqual(bob.heard("zel", "#lobby"), "sunny, " + bob.name)

        alice.say("#lobby", "hello from the operator")
        zelkor.out.expect_line("<%s>! hello from the operator" % alice.name)
        self.assertEqual(bob.heard("zel", "#lobby"), "hi " + alice.name)

        # A typed line is chat; a line the plug-in keeps is not sent.
        zelkor.type("good morning")
        zelkor.out.expect_line("> good morning")
        self.assertEqual(bob.heard("zel", "#lobby"), "good morning")
        zelkor.type("#event")
        zelkor.out.expect_line("[not sent] #event")

        zelkor.end_input()
        zelkor.out.expect_line("* quit")
        bob.lines.expect(r":zel!\S+ QUIT :.*")
        self.assertEqual(zelkor.wait(), 0)
        zelkor.out.expect_line("* shut down")

    def test_recording_urls_renames_and_leaves(self):
        write_pellix_ini(self.home, rules=self.RULES, log_folder=self.logs)
        zelkor = self.zelkor(["#rec"])
        zelkor.joined("#rec")
        bob = self.peer("bob")
        bob.join("#rec")
        carol = self.peer("carol")
        carol.join("#rec")
        zelkor.out.expect_line("* join %s 127.0.0.1:0 line 0 files 0" % carol.name)

        zelkor.type("#start")
        zelkor.out.expect_line("[not sent] #start")
        bob.say("#rec", "see http://example.com/a?x=1 and www.example.org/docs")
        zelkor.out.expect_line("<%s> see http://example.com/a?x=1 and www.example.org/docs" % bob.name)
        old = bob.name
        bob.rename("robert")
        zelkor.out.expect_line("* rename %s -> %s 127.0.0.1:0" % (old, bob.name))
        zelkor.out.expect(r"\[echo #FFFF00\] ［\d\d時\d\d分\d\d秒］\[bob\] は \[robert\] に改名しました。(\\r\\n)?")
        bob.part("#rec")
        zelkor.out.expect_line("* leave %s 127.0.0.1:0" % bob.name)
        carol.quit()
        zelkor.out.expect_line("* leave %s 127.0.0.1:0" % carol.name)
        zelkor.type("/ui show 13007")
        zelkor.out.expect_line("[URLダイアログ]")
        zelkor.out.expect_line("      http://example.com/a?x=1")
        zelkor.out.expect_line("    > www.example.org/docs")
        zelkor.type("#end")
        zelkor.out.expect_line("[not sent] #end")

        log = self.log_file().decode("cp932")
        for record in ["URL http://example.com/a?x=1", "URL www.example.org/docs",
                       "発言 <%s> see http://example.com/a?x=1 and www.example.org/docs" % old,
                       "改名 %s to %s [127.0.0.1:0]" % (old, bob.name),
                       "退室 %s [127.0.0.1:0]" % bob.name, "退室 %s [127.0.0.1:0]" % carol.name]:
            self.assertRegex(log, r"\[\d\d:\d\d:\d\d\] " + re.escape(record) + "\r\n")

    def test_text_that_is_not_utf8_or_not_shift_jis(self):
        write_pellix_ini(self.home, log_folder=self.logs)
        zelkor = self.zelkor(["#text"])
        zelkor.joined("#text")
        bob = self.peer("bob")
        bob.join("#text")
        zelkor.type("#start")
        zelkor.out.expect_line("[not sent] #start")
        # An old client's Shift-JIS bytes, and a character Shift-JIS cannot hold.
        bob.say("#text", "こんにちは".encode("cp932"))
        zelkor.out.expect_line("<%s> こんにちは" % bob.name)
        bob.say("#text", "smile \U0001F600 ok")
        zelkor.out.expect_line("<%s> smile ? ok" % bob.name)
        # What the local user types in UTF-8 goes out as UTF-8.
        zelkor.type("さようなら")
        zelkor.out.expect_line("> さようなら")
        self.assertEqual(bob.heard_raw("zel", "#text")[0], "さようなら".encode())
        zelkor.type("#end")
        zelkor.out.expect_line("[not sent] #end")
        log = self.log_file()
        self.assertIn(("<%s> こんにちは\r\n" % bob.name).encode("cp932"), log)
        self.assertIn(("<%s> smile ? ok\r\n" % bob.name).encode("cp932"), log)

    def test_two_channels(self):
        write_pellix_ini(self.home, self.WELCOME, self.RULES)
        zelkor = self.zelkor(["#one", "#two"])
        zelkor.joined("#one")
        zelkor.joined("#two")
        bob = self.peer("bob")
        bob.join("#two")
        zelkor.out.expect_line("[#two] * join %s 127.0.0.1:0 line 0 files 0" % bob.name)
        self.assertEqual(bob.heard("zel", "#two"), "Welcome, bob!")
        bob.say("#two", "hello two")
        zelkor.out.expect_line("[#two] <%s> hello two" % bob.name)
        # The answer goes to the channel it answers.
        self.assertEqual(bob.heard("zel", "#two"), "hi " + bob.name)


class PacingTest(LiveTestCase):
    """Many sends at once: paced, in order, whole, and the server keeps zelkor."""

    def test_twelve_answers_to_one_line(self):
        rules = [("many", "answer %02d for %%NAME%%" % n) for n in range(1, 13)]
        write_pellix_ini(self.home, rules=rules)
        zelkor = self.zelkor(["#busy"])
        zelkor.joined("#busy")
        bob = self.peer("bob")
        bob.join("#busy")
        bob.say("#busy", "many answers please")
        zelkor.out.expect_line("<%s> many answers please" % bob.name)
        arrived = []
        for n in range(1, 13):
            self.assertEqual(bob.heard("zel", "#busy", timeout=40), "answer %02d for %s" % (n, bob.name))
            arrived.append(time.monotonic())
        # A burst of five, then one every two seconds: the last comes 14 s after the first.
        self.assertGreater(arrived[-1] - arrived[0], 12.5)
        bob.say("#busy", "still there?")
        zelkor.out.expect_line("<%s> still there?" % bob.name)
        self.assertEqual(zelkor.out.any(r"\* (disconnected|cannot connect).*"), [])

    def test_a_welcome_longer_than_a_line(self):
        # The settings file holds at most 255 bytes a text; the settings window takes more.
        write_pellix_ini(self.home, "%NAME%:")
        zelkor = self.zelkor(["#long"])
        zelkor.joined("#long")
        text = " ".join("%03d:ようこそ" % n for n in range(1, 51))  # 649 bytes in UTF-8
        zelkor.type("/ui type 13002 13018  " + text)  # the text typed begins with a space
        bob = self.peer("bob")
        bob.join("#long")
        text = "bob: " + text
        zelkor.out.expect_line("[sent] " + text)
        whole = b""
        pieces = 0
        while len(whole) < len(text.encode()):
            piece, line = bob.heard_raw("zel", "#long")
            # Each piece is whole UTF-8, and its line within the 512 bytes (with CR LF) servers take.
            piece.decode("utf-8")
            self.assertLessEqual(len(line) + 2, 512)
            whole += piece
            pieces += 1
        self.assertGreaterEqual(pieces, 2)
        self.assertEqual(whole.decode(), text)


class ReconnectTest(LiveTestCase):
    """The server goes away and comes back on the same port."""

    def test_server_restart(self):
        write_pellix_ini(self.home, "hi %NAME%")
        zelkor = self.zelkor(["#again"])
        zelkor.joined("#again")
        # Gone at once, as in a crash: no ERROR line first. The system resets a connection whose
        # last lines the server had not read yet.
        self.server.stop(signal.SIGKILL)
        zelkor.out.expect(r"\* disconnected: the server (closed|reset) the connection")
        zelkor.out.expect_line("* retry in 2 s")
        # While the server is down, the next try is refused and waits longer.
        zelkor.out.expect_line("* connecting to 127.0.0.1:%d" % self.server.port)
        zelkor.out.expect_line("* cannot connect to 127.0.0.1:%d: connection refused" % self.server.port)
        zelkor.out.expect_line("* retry in 4 s")
        self.server.restart()
        zelkor.out.expect_line("* connecting to 127.0.0.1:%d" % self.server.port)
        zelkor.out.expect_line("* connected to 127.0.0.1:%d as zel" % self.server.port)
        zelkor.out.expect(r"\* joined #again as zel#[0-9A-F]{8}")
        alice = self.peer("alice")
        alice.join("#again")
        zelkor.out.expect_line("* join %s 127.0.0.1:0 line 0 files 0" % alice.name)
        self.assertEqual(alice.heard("zel", "#again"), "hi alice")
        alice.say("#again", "welcome back")
        zelkor.out.expect(r"<%s>!? welcome back" % re.escape(alice.name))


class SignalTest(LiveTestCase):
    """A stop signal ends the session in order."""

    def setUp(self):
        if under_emulator():
            self.skipTest("a POSIX signal does not reach zelkor.exe through wine as a stop")
        super().setUp()

    def check_stop(self, signum):
        write_pellix_ini(self.home, "hi %NAME%", url_section=False)
        zelkor = self.zelkor(["#stop"])
        zelkor.joined("#stop")
        bob = self.peer("bob")
        bob.join("#stop")
        self.assertEqual(bob.heard("zel", "#stop"), "hi bob")
        zelkor.process.send_signal(signum)
        bob.lines.expect(r":zel!\S+ QUIT :.*")
        zelkor.expected_status = 128 + signum
        self.assertEqual(zelkor.wait(), 128 + signum)
        zelkor.out.expect_line("* quit")
        zelkor.out.expect_line("* shut down")
        with open(os.path.join(self.home, "Pellix.ini"), "rb") as ini:
            settings = ini.read().decode("cp932")
        self.assertIn("[URL]\r\nDuplicate=0\r\n", settings)

    def test_sigterm(self):
        self.check_stop(signal.SIGTERM)

    def test_sigint(self):
        self.check_stop(signal.SIGINT)


class CommandLineTest(unittest.TestCase):
    """A live command line that cannot be used is refused before anything loads."""

    def run_zelkor(self, *args):
        home = os.path.join(tempfile.gettempdir(), "pellix-live-never-%d" % os.getpid())
        shutil.rmtree(home, ignore_errors=True)
        done = subprocess.run(EMULATOR + [ZELKOR, "--desktop", "console", "--home", home] + list(args),
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
        made = os.path.exists(home)
        shutil.rmtree(home, ignore_errors=True)
        return done, made

    def test_refused(self):
        script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "live_channel.py")
        cases = [
            (["--irc", "127.0.0.1", "--channel", "#x"], "--nick"),
            (["--irc", "127.0.0.1", "--nick", "zel"], "--channel"),
            (["--irc", "127.0.0.1:99999", "--channel", "#x", "--nick", "zel"], "port"),
            (["--irc", "127.0.0.1:irc", "--channel", "#x", "--nick", "zel"], "port"),
            (["--irc", "127.0.0.1", "--channel", "#x", "--nick", "zel", script], "SCRIPT"),
            (["--irc", "127.0.0.1", "--channel", "x", "--nick", "zel"], "channel"),
            (["--irc", "127.0.0.1", "--channel", "#x", "--nick", "9lives"], "nick"),
            (["--nick", "zel"], "--irc"),
        ]
        for args, word in cases:
            with self.subTest(args=args):
                done, made = self.run_zelkor(*args)
                errors = done.stderr.decode("utf-8", "replace")
                self.assertEqual(done.returncode, 2, errors)
                self.assertIn(word, errors)
                self.assertEqual(done.stdout, b"")
                self.assertFalse(made, "the home folder was made")


def make_certificates(folder):
    """A throwaway CA and a server certificate it signed for localhost and 127.0.0.1, and a
    self-signed one for the same names."""
    ec = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]

    def openssl(*args):
        subprocess.run([OPENSSL] + list(args), cwd=folder, check=True, capture_output=True)

    openssl("req", "-x509", *ec, "-keyout", "ca.key", "-out", "ca.pem", "-days", "2", "-subj", "/CN=Pellix live test CA",
            "-addext", "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    openssl("req", *ec, "-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=localhost")
    with open(os.path.join(folder, "server.ext"), "w") as ext:
        ext.write("subjectAltName=DNS:localhost,IP:127.0.0.1\nbasicConstraints=CA:FALSE\n"
                  "keyUsage=critical,digitalSignature\nextendedKeyUsage=serverAuth\n")
    openssl("x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
            "-out", "server.pem", "-days", "2", "-extfile", "server.ext")
    openssl("req", "-x509", *ec, "-keyout", "self.key", "-out", "self.pem", "-days", "2", "-subj", "/CN=localhost",
            "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1")
    for name in os.listdir(folder):
        os.chmod(os.path.join(folder, name), 0o644)


class TlsTest(LiveTestCase):
    """TLS: a certificate from a trusted CA for the name dialled joins; any other is refused."""

    trusted = False  # whether zelkor trusts the test's CA

    @classmethod
    def make_server(cls, folder):
        if not OPENSSL:
            raise AssertionError("openssl is not installed (scripts/install-packages.sh test installs it)")
        certs = os.path.join(folder, "certs")
        os.makedirs(certs)
        make_certificates(certs)
        cls.ca = os.path.join(certs, "ca.pem")
        if not under_emulator():
            cls.trusted = True  # through SSL_CERT_FILE
        elif TRUST_CA:
            cls.trust("add")
            cls.addClassCleanup(cls.trust, "remove")
            cls.trusted = True
        cls.self_signed = cls.start_server(os.path.join(folder, "self"), os.path.join(certs, "self.pem"),
                                           os.path.join(certs, "self.key"))
        return cls.start_server(os.path.join(folder, "server"), os.path.join(certs, "server.pem"),
                                os.path.join(certs, "server.key"), listen="127.0.0.1,127.0.0.2")

    @classmethod
    def trust(cls, action):
        done = subprocess.run(EMULATOR + [TRUST_CA, action, native_path(cls.ca)], stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=60)
        if done.returncode != 0:
            raise AssertionError("live_trust_ca %s failed: %s" % (action, done.stderr.decode("utf-8", "replace")))

    def setUp(self):
        super().setUp()
        self.trust_env = {"SSL_CERT_FILE": self.ca}

    def test_trusted_certificate(self):
        if not self.trusted:
            self.skipTest("zelkor.exe trusts the system's roots, and no live_trust_ca put the test's CA there")
        write_pellix_ini(self.home, "hi %NAME%")
        zelkor = self.zelkor(["#secure"], host="localhost", port=self.server.tls_port, tls=True, env=self.trust_env)
        zelkor.out.expect_line("* connecting to localhost:%d with TLS" % self.server.tls_port)
        zelkor.out.expect_line("* connected to localhost:%d as zel" % self.server.tls_port)
        zelkor.joined("#secure")
        bob = self.peer("bob")
        bob.join("#secure")
        self.assertEqual(bob.heard("zel", "#secure"), "hi bob")
        bob.say("#secure", "over TLS")
        zelkor.out.expect(r"<%s>!? over TLS" % re.escape(bob.name))

    def refused(self, host, port, reason):
        write_pellix_ini(self.home)
        zelkor = self.zelkor(["#secure"], host=host, port=port, tls=True, env=self.trust_env)
        zelkor.out.expect_line("* connecting to %s:%d with TLS" % (host, port))
        zelkor.out.expect(r"\* cannot connect to %s:%d: %s" % (re.escape(host), port, reason))
        zelkor.out.expect_line("* retry in 2 s")
        self.assertEqual(zelkor.out.any(r"\* (connected|joined) .*"), [])

    def test_self_signed_certificate(self):
        reason = ".*certificate.*" if under_emulator() else \
            re.escape("the server's certificate does not verify: self-signed certificate")
        self.refused("localhost", self.self_signed.tls_port, reason)

    def test_certificate_for_another_address(self):
        if not self.trusted:
            self.skipTest("zelkor.exe does not trust the test's CA, so it never gets to the name")
        reason = ".*certificate.*(name|127\\.0\\.0\\.2).*" if under_emulator() else \
            re.escape("the server's certificate does not verify: ") + "(IP address|hostname) mismatch"
        self.refused("127.0.0.2", self.server.tls_port, reason)


class ScreenDesktopTest(LiveTestCase):
    """zelkor.exe's own desktop: a message box the plug-in holds open is the person's; the
    channel's traffic does not close it, and the channel waits until it is answered. The end of
    input closes it, and the session ends in order."""

    def test_a_box_stays_open_while_the_channel_talks(self):
        if not under_emulator():
            self.skipTest("the system's message boxes are zelkor.exe's (--desktop screen)")
        write_pellix_ini(self.home)
        zelkor = self.zelkor(["#box"], desktop="screen")
        zelkor.joined("#box")
        zelkor.type("#start")
        zelkor.out.expect_line("[not sent] #start")
        zelkor.type("#start")  # already recording: the plug-in says so in a message box
        zelkor.out.expect_line("[beep]")
        dave = self.peer("dave")
        dave.join("#box")
        for n in range(5):
            dave.say("#box", "talking while the box is open %d" % n)
        time.sleep(3)
        # The box's line follows its answer: none yet, and none of the channel's events either.
        self.assertEqual(zelkor.out.any(r"\[message box: .*"), [])
        self.assertEqual(zelkor.out.any(r"(\* join|<)dave#.*"), [])
        zelkor.end_input()
        zelkor.out.expect(r"\[message box: Zelkor\] .* -> Cancel")
        zelkor.out.expect_line("* quit")
        zelkor.out.expect_line("* shut down")
        self.assertEqual(zelkor.wait(), 0)


def main():
    global ZELKOR, EMULATOR, TRUST_CA, NGIRCD, OPENSSL
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--zelkor", required=True)
    parser.add_argument("--emulator", default="")
    parser.add_argument("--trust-ca", default=None)
    options, rest = parser.parse_known_args()
    ZELKOR = options.zelkor
    TRUST_CA = options.trust_ca
    EMULATOR = [word for word in options.emulator.split("|") if word]
    NGIRCD = shutil.which("ngircd") or shutil.which("ngircd", path="/usr/sbin:/usr/local/sbin")
    OPENSSL = shutil.which("openssl")
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
