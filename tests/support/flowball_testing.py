"""What the end-to-end runners and the measuring script share: an X server of
their own, bounded waits, screenshots, and the /proc readers that find the programs they
started and read what those programs' threads did.

A program is found among the processes its runner started, the descendants of
a pid it holds, never by searching the machine for a name: a developer's own
copy of the same program must stay out of the figures and out of reach of any
signal. Wine starts every Windows process through a double fork, even the one
"wine PROGRAM" names (start.exe runs it), which would hand it to init; a
runner that calls adopt_orphans() first adopts them instead, so its
descendants hold every Windows program it started.

Times are in seconds; processor time is user plus system time.
"""

import ctypes
import ctypes.util
import os
import pwd
import select
import signal
import subprocess
import tempfile
import time

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
BOTH_SWITCHES = ("voluntary", "nonvoluntary")

# An X server on a loaded machine may take a while to accept connections.
SERVER_START_TIMEOUT = 60.0
SERVER_STOP_TIMEOUT = 30.0


class Failure(AssertionError):
    """A condition a test expects did not hold."""


# --- bounded waits -------------------------------------------------------------

def wait_until(condition, timeout, what, interval=0.1):
    """Polls condition() until it answers a true value, which is answered;
    Failure naming what once timeout seconds have passed. The condition is
    asked once more after the deadline, so a slow poll still counts."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(interval)


def stays(condition, duration, what, interval=0.1):
    """Checks that condition() holds the whole time: the bounded wait that
    shows that something does NOT happen."""
    deadline = time.monotonic() + duration
    while time.monotonic() < deadline:
        if not condition():
            raise Failure("no longer true: " + what)
        time.sleep(interval)


# --- X servers of our own -------------------------------------------------------

class XServer:
    """An X server started by this process on a display number it picks
    itself (-displayfd); .name is the display, .process the server."""

    def __init__(self, command, what, log=None):
        read_end, write_end = os.pipe()
        try:
            self.process = subprocess.Popen(
                command + ["-displayfd", str(write_end)], pass_fds=(write_end,), stdin=subprocess.DEVNULL,
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        finally:
            os.close(write_end)
        with os.fdopen(read_end, "rb") as pipe:
            number = read_display_number(pipe.fileno(), SERVER_START_TIMEOUT)
        if number is None:
            self.stop()
            raise Failure("%s did not start%s" % (what, " (see %s)" % log if log else ""))
        self.name = ":" + number

    def running(self):
        return self.process.poll() is None

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=SERVER_STOP_TIMEOUT)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def read_display_number(fd, timeout):
    """The display number the server writes on fd once it accepts
    connections, or None when it ends or stays silent for timeout seconds."""
    text = b""
    deadline = time.monotonic() + timeout
    while not text.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            return None
        chunk = os.read(fd, 16)
        if not chunk:
            break
        text += chunk
    return text.decode().strip() or None


def xvfb(width, height, glx=True, white_root=False):
    """Xvfb with one screen of width x height at 24 bits, no TCP."""
    command = ["Xvfb", "-screen", "0", "%dx%dx24" % (width, height), "-nolisten", "tcp",
               "+extension" if glx else "-extension", "GLX"]
    if white_root:
        command.append("-wr")
    return XServer(command, "Xvfb")


# Xorg with the dummy driver: two outputs of one screen side by side, the
# second one shorter, and RandR to change them (Xvfb has one output). Xorg
# wants root. Monitors are (left, top, right, bottom).
DUMMY_MONITORS = [(0, 0, 1024, 768), (1024, 0, 1824, 600)]
DUMMY_SCREEN = (1824, 768)

DUMMY_XORG_CONF = """\
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoAddGPU" "false"
    Option "DontVTSwitch" "true"
    Option "AllowEmptyInput" "true"
EndSection

Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 65536
    Option "Monitor-DUMMY0" "mon0"
    Option "Monitor-DUMMY1" "mon1"
EndSection

Section "Monitor"
    Identifier "mon0"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    Option "PreferredMode" "1024x768"
    Option "Position" "0 0"
    Option "Primary" "true"
EndSection

Section "Monitor"
    Identifier "mon1"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    Option "PreferredMode" "800x600"
    Option "Position" "1024 0"
    Option "Enable" "true"
EndSection

Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "mon0"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 1824 768
        Modes "1024x768" "800x600"
    EndSubSection
EndSection
"""


def can_run_xorg():
    """Whether this process may start Xorg on the dummy driver: as root."""
    return os.geteuid() == 0


def dummy_xorg(work_dir):
    """Xorg on the dummy driver with DUMMY_XORG_CONF; its configuration and
    log in work_dir."""
    os.makedirs(work_dir, exist_ok=True)
    config = os.path.join(work_dir, "xorg.conf")
    with open(config, "w") as out:
        out.write(DUMMY_XORG_CONF)
    log = os.path.join(work_dir, "xorg.log")
    return XServer(["Xorg", "-config", config, "-logfile", log, "-nolisten", "tcp", "-noreset"], "Xorg", log)


# --- screenshots ------------------------------------------------------------------

class Picture:
    """A screenshot in binary PPM (P6, 8 bits a channel); .data holds the
    file as it came."""

    def __init__(self, data):
        fields = []
        position = 0
        while len(fields) < 4:
            while data[position:position + 1].isspace():
                position += 1
            start = position
            while not data[position:position + 1].isspace():
                position += 1
            fields.append(data[start:position])
        if fields[0] != b"P6" or fields[3] != b"255":
            raise RuntimeError("unexpected picture header %r" % fields)
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[position + 1:]
        self.data = data

    def at(self, x, y):
        offset = 3 * (y * self.width + x)
        return tuple(self.pixels[offset:offset + 3])

    def row_is_dark(self, left, width, y):
        return all(max(self.at(x, y)) < 24 for x in range(left, left + width, 4))

    def lit_ball_pixels(self, left, top, width, height):
        """Bright orange-yellow pixels: the lit ball in the scene's colours."""
        count = 0
        for y in range(top, top + height, 3):
            for x in range(left, left + width, 3):
                red, green, blue = self.at(x, y)
                if red > 150 and blue < 90 and red >= green:
                    count += 1
        return count


# --- /proc: what a process is and what its threads did -------------------------

class ThrowawayUser:
    """An ordinary user to run programs as: made for the test when it runs as
    root (named PREFIX-PID), else the user running it. Its home is a
    throwaway folder. Programs run as it with exactly the environment given;
    a subclass says how the user is switched to (switch_user)."""

    def __init__(self, prefix):
        self.home = tempfile.mkdtemp(prefix=prefix + "-home-")
        self.made = None
        if os.geteuid() == 0:
            name = "%s-%d" % (prefix, os.getpid())
            subprocess.run(["useradd", "--no-create-home", "--home-dir", self.home, "--shell", "/bin/sh",
                            "--user-group", name], check=True, timeout=60)
            self.made = name
        entry = pwd.getpwnam(self.made) if self.made else pwd.getpwuid(os.geteuid())
        self.name, self.uid, self.gid = entry.pw_name, entry.pw_uid, entry.pw_gid
        os.chmod(self.home, 0o755)
        self.own(self.home)

    def own(self, path):
        if self.made:
            os.chown(path, self.uid, self.gid)

    def switch_user(self):
        """The command words that run what follows them as the made user."""
        return ["setpriv", "--reuid=%d" % self.uid, "--regid=%d" % self.gid, "--init-groups"]

    def command(self, arguments, environment):
        """arguments run as the user with exactly this environment."""
        prefix = self.switch_user() if self.made else []
        return prefix + ["env", "-i"] + ["%s=%s" % item for item in sorted(environment.items())] + arguments


def read_text(path):
    with open(path) as file:
        return file.read()


def stat_fields(text):
    """The fields of a /proc stat line after the command name, which may hold
    spaces and parentheses: [0] is the state, [1] the parent's pid, [11] and
    [12] user and system time in clock ticks."""
    return text.rsplit(")", 1)[1].split()


def parse_stat_seconds(text):
    """User plus system time in seconds from a /proc stat line; IndexError
    for a line too short to hold them."""
    fields = stat_fields(text)
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def parse_switches(text, kinds=BOTH_SWITCHES):
    """The context switches of the given kinds from a /proc status file: by
    default both, every time the thread stopped running; ("voluntary",) only
    the waits it asked for."""
    names = tuple(kind + "_ctxt_switches" for kind in kinds)
    total = 0
    for line in text.splitlines():
        name, _, value = line.partition(":")
        if name in names:
            total += int(value)
    return total


def thread_switches(pid, tid=None, kinds=BOTH_SWITCHES):
    """Context switches so far of a thread (the main thread by default)."""
    return parse_switches(read_text("/proc/%d/task/%d/status" % (pid, tid or pid)), kinds)


def thread_seconds(pid, tid=None):
    """Processor seconds so far of a thread (the main thread by default)."""
    return parse_stat_seconds(read_text("/proc/%d/task/%d/stat" % (pid, tid or pid)))


def process_seconds(pid):
    """Processor seconds so far of a whole process, all its threads."""
    return parse_stat_seconds(read_text("/proc/%d/stat" % pid))


def main_thread(pid, kinds=BOTH_SWITCHES):
    """(context switches, processor seconds) of a process's main thread so
    far: its wake-ups and its work."""
    return thread_switches(pid, None, kinds), thread_seconds(pid)


def parse_memory_and_threads(text):
    """(resident memory in KiB, threads) from a /proc/PID/status file;
    ValueError when it lacks either."""
    fields = {}
    for line in text.splitlines():
        name, _, value = line.partition(":")
        fields[name] = value.split()
    if "VmRSS" not in fields or "Threads" not in fields:
        raise ValueError("no VmRSS or Threads line in the status file")
    if fields["VmRSS"][1:] != ["kB"]:
        raise ValueError("VmRSS not in kB: %r" % fields["VmRSS"])
    return int(fields["VmRSS"][0]), int(fields["Threads"][0])


def memory_and_threads(pid):
    """(resident memory in KiB, threads) of a process now."""
    return parse_memory_and_threads(read_text("/proc/%d/status" % pid))


def open_files(pid):
    """The file descriptors a process holds open now."""
    return len(os.listdir("/proc/%d/fd" % pid))


def running(pid):
    """Whether pid is a process that has not ended (a zombie has)."""
    try:
        return stat_fields(read_text("/proc/%d/stat" % pid))[0] not in ("Z", "X")
    except (OSError, IndexError):
        return False


def live_parents(ended=False):
    """pid -> parent pid of every process that has not ended (zombies are
    left out: their work is done and their command line is gone); with
    ended, of those that have ended and wait for their parent too."""
    parents = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            fields = stat_fields(read_text("/proc/%s/stat" % entry))
        except (OSError, IndexError):
            continue
        if ended or fields[0] not in ("Z", "X"):
            parents[int(entry)] = int(fields[1])
    return parents


def parse_descendants(parents, pid):
    """The descendants of pid in a pid -> parent map, nearest first."""
    children = {}
    for child, parent in sorted(parents.items()):
        children.setdefault(parent, []).append(child)
    found = []
    queue = list(children.get(pid, []))
    while queue:
        child = queue.pop(0)
        found.append(child)
        queue.extend(children.get(child, []))
    return found


def descendants(pid, ended=False):
    """The live descendants of pid, nearest first; with ended, the ended
    ones that wait for their parent too."""
    return parse_descendants(live_parents(ended), pid)


def children(pid):
    """The live processes whose parent is pid."""
    return [child for child, parent in sorted(live_parents().items()) if parent == pid]


def command_line(pid):
    """The arguments of a process, or [] once it has ended."""
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as file:
            data = file.read()
    except OSError:
        return []
    return [argument.decode(errors="replace") for argument in data.split(b"\0") if argument]


def parse_program_name(arguments):
    """The file name of the program a command line runs, in lower case. Wine
    gives a Windows process its Windows path as the first argument
    ("Z:\\dir\\flowball.scr")."""
    if not arguments:
        return ""
    return arguments[0].replace("\\", "/").rsplit("/", 1)[-1].lower()


def processes_of(pid, program):
    """pid itself and its live descendants that run the program named
    program (a file name, case ignored), nearest first."""
    wanted = program.lower()
    return [candidate for candidate in [pid] + descendants(pid)
            if parse_program_name(command_line(candidate)) == wanted]


def the_process_of(pid, program):
    """The one process of program among pid and its descendants; Failure when
    there is none, or more than one to tell apart."""
    found = processes_of(pid, program)
    if len(found) != 1:
        raise Failure("%s processes of %s among pid %d and its descendants" %
                      (len(found) or "no", program, pid))
    return found[0]


# --- processes this one started --------------------------------------------------

PR_SET_CHILD_SUBREAPER = 36


def adopt_orphans():
    """Makes this process the one that adopts the orphans among its
    descendants (Linux's child subreaper), so that a process started through
    a double fork, as Wine starts every process, stays a descendant. Adopted
    processes that end are reaped by reap_adopted()."""
    libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        raise OSError(ctypes.get_errno(), "prctl(PR_SET_CHILD_SUBREAPER)")


def reap_adopted(own):
    """Reaps the ended children of this process that it adopted. own holds
    the pids of the children it started itself through subprocess.Popen and
    has not waited for yet: their exit status is theirs to read."""
    keep = set(own)
    me = os.getpid()
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) in keep:
            continue
        try:
            fields = stat_fields(read_text("/proc/%s/stat" % entry))
        except (OSError, IndexError):
            continue
        if fields[0] == "Z" and int(fields[1]) == me:
            try:
                os.waitpid(int(entry), os.WNOHANG)
            except ChildProcessError:
                pass


def end_processes(pids, timeout=SERVER_STOP_TIMEOUT, what="processes"):
    """Sends SIGTERM to each pid, waits until none is left alive, SIGKILL to
    those still there after timeout. Only pids this process found among its
    own descendants belong here."""
    def alive():
        parents = live_parents()
        return [pid for pid in pids if pid in parents]

    for pid in pids:
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
    try:
        wait_until(lambda: not alive(), timeout, what + " to end")
    except Failure:
        for pid in alive():
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        wait_until(lambda: not alive(), timeout, what + " to end after SIGKILL")
