"""The Wayland end-to-end runners' harness (tests/wayland, tests/idle) and
the measuring script's Wayland rows: an ordinary user for the compositors,
headless sway (and Mutter) started as that user with a private
XDG_RUNTIME_DIR, screenshots through grim, a keyboard through wtype, and the
loop that runs a runner's cases. Waits and /proc readers are
flowball_testing's.

sway refuses root: as root the harness makes a user of its own and removes
it at the end; otherwise programs run as the user running it. Programs are
found by the pid the harness started, or among its descendants.

Times are in seconds; sizes in pixels.
"""

import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import flowball_testing as testing
from flowball_testing import wait_until

SKIPPED = 77
START_TIMEOUT = 90.0
END_TIMEOUT = 30.0
OUTPUTS = {"HEADLESS-1": (1024, 768), "HEADLESS-2": (800, 600)}
KEY_HOLDER_SECONDS = 3600

# What WAYLAND_DEBUG=client makes a program log.
FRAME_DONE = r"wl_callback@\d+\.done\("
KEYBOARD_ENTER = r"wl_keyboard@\d+\.enter\("
POINTER_ENTER = r"wl_pointer@\d+\.enter\("
POINTER_MOTION = r"wl_pointer@\d+\.motion\("


def program_name(pid):
    """The kernel's name of a process (its comm), or None once it is gone."""
    try:
        return testing.read_text("/proc/%d/comm" % pid).strip()
    except OSError:
        return None


def descendants_named(pid, name, ended=False):
    """The descendants of pid whose name is name, nearest first; with ended,
    those that have ended and wait for their parent too."""
    return [child for child in testing.descendants(pid, ended) if program_name(child) == name]


class TestUser(testing.ThrowawayUser):
    """The user the compositors and Flowball run as (sway refuses root),
    switched to with setpriv."""

    def __init__(self):
        super().__init__("flowball-wl")

    def folder(self, name, mode=0o755):
        path = os.path.join(self.home, name)
        os.makedirs(path, exist_ok=True)
        os.chmod(path, mode)
        self.own(path)
        return path

    def processes(self):
        found = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open("/proc/%s/status" % entry) as status:
                    fields = dict(line.split(":", 1) for line in status if ":" in line)
            except OSError:
                continue
            # Ended ones wait for their parent (the test, for what it adopted)
            # to collect them: they run nothing any more.
            if int(fields["Uid"].split()[0]) == self.uid and not fields["State"].strip().startswith("Z"):
                found.append(int(entry))
        return found

    def remove(self):
        if self.made:
            # What the test started as the user and what that started: ended
            # one by one, by pid.
            for pid in self.processes():
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            try:
                wait_until(lambda: not self.processes(), END_TIMEOUT, "the test user's processes to end")
            finally:
                # The user goes even when something of it lingers, so that
                # no run leaves users behind.
                subprocess.run(["userdel", self.made], timeout=60)
                shutil.rmtree(self.home, ignore_errors=True)
        else:
            shutil.rmtree(self.home, ignore_errors=True)


class Picture(testing.Picture):
    """A screenshot of an output, or of all of them."""

    def dark_rows_from_top(self, left, width):
        rows = 0
        while rows < self.height and self.row_is_dark(left, width, rows):
            rows += 1
        return rows

    def dark_rows_from_bottom(self, left, width):
        rows = 0
        while rows < self.height and self.row_is_dark(left, width, self.height - 1 - rows):
            rows += 1
        return rows

    def shows_scene(self):
        """Black bars at the top and bottom edges, a lit ball between them."""
        return (self.row_is_dark(0, self.width, 1) and self.row_is_dark(0, self.width, self.height - 2)
                and self.lit_ball_pixels(0, self.height // 4, self.width, self.height // 2) > 20)

    def shows_nothing_lit(self):
        return self.lit_ball_pixels(0, 0, self.width, self.height) == 0

    def save(self, path):
        with open(path, "wb") as out:
            out.write(self.data)


class Compositor:
    """A compositor run as the test user with a private 0700
    XDG_RUNTIME_DIR; clients get its socket in their environment."""

    def __init__(self, user, name):
        self.user = user
        self.runtime = user.folder("run-" + name, 0o700)
        self.log = os.path.join(user.home, name + ".log")
        self.environment = {"HOME": user.home, "USER": user.name, "LOGNAME": user.name, "PATH": "/usr/bin:/bin",
                            "XDG_RUNTIME_DIR": self.runtime}
        self.process = None

    def start_process(self, arguments, environment):
        with open(self.log, "wb") as log:
            self.process = subprocess.Popen(self.user.command(arguments, dict(self.environment, **environment)),
                                            stdin=subprocess.DEVNULL, stdout=log, stderr=log)

    def socket(self):
        if self.process.poll() is not None:
            raise AssertionError("the compositor ended at once (%s):\n%s" % (self.process.returncode,
                                                                              self.log_text()))
        names = [name for name in os.listdir(self.runtime) if re.fullmatch(r"wayland-\d+", name)]
        return names[0] if names else None

    def log_text(self):
        try:
            with open(self.log, errors="replace") as log:
                return log.read()[-4000:]
        except OSError:
            return ""

    def client_environment(self, extra=None):
        """The clients' environment, with extra's variables set (or, None,
        left out)."""
        environment = dict(self.environment, WAYLAND_DISPLAY=self.display, LIBGL_ALWAYS_SOFTWARE="1")
        for name, value in (extra or {}).items():
            if value is None:
                environment.pop(name, None)
            else:
                environment[name] = value
        return environment

    def run(self, arguments, extra=None, **options):
        """A client, run to its end."""
        options.setdefault("timeout", END_TIMEOUT)
        return subprocess.run(self.user.command(arguments, self.client_environment(extra)), **options)

    def start(self, arguments, extra=None, **options):
        return subprocess.Popen(self.user.command(arguments, self.client_environment(extra)), **options)

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=END_TIMEOUT)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class Sway(Compositor):
    """Headless sway with two outputs, 1024x768 and 800x600, side by side (or
    the outputs given: name -> size)."""

    def __init__(self, user, outputs=None):
        super().__init__(user, "sway")
        outputs = outputs or OUTPUTS
        config = self.config = os.path.join(user.home, "sway-config")
        # No bar, no background program: only what the test starts.
        with open(config, "w") as out:
            out.write("")
        user.own(config)
        self.start_process(["sway", "-c", config],
                           {"WLR_BACKENDS": "headless", "WLR_RENDERER": "pixman",
                            "WLR_HEADLESS_OUTPUTS": str(len(outputs)), "WLR_LIBINPUT_NO_DEVICES": "1"})
        self.display = wait_until(self.socket, START_TIMEOUT, "sway's Wayland socket")
        self.ipc = wait_until(self.ipc_socket, START_TIMEOUT, "sway's IPC socket")
        self.environment["SWAYSOCK"] = self.ipc
        for name, (width, height) in outputs.items():
            self.msg("output", name, "mode", "%dx%d" % (width, height))
        wait_until(lambda: all(self.outputs().get(name, (0, 0, 0, 0))[2:] == size for name, size in outputs.items()),
                   START_TIMEOUT, "the outputs at %s" % outputs)

    def ipc_socket(self):
        names = [name for name in os.listdir(self.runtime) if name.startswith("sway-ipc.")]
        return os.path.join(self.runtime, names[0]) if names else None

    def msg(self, *arguments):
        result = self.run(["swaymsg"] + list(arguments), capture_output=True, text=True)
        if result.returncode != 0:
            raise AssertionError("swaymsg %s: %s%s" % (" ".join(arguments), result.stdout, result.stderr))
        return result.stdout

    def outputs(self):
        """name -> (x, y, width, height) of the active outputs."""
        answer = json.loads(self.msg("-t", "get_outputs", "-r"))
        return {output["name"]: tuple(output["rect"][key] for key in ("x", "y", "width", "height"))
                for output in answer if output.get("active")}

    def picture(self, output=None):
        arguments = ["grim", "-t", "ppm"] + (["-o", output] if output else []) + ["-"]
        result = self.run(arguments, capture_output=True, timeout=60)
        if result.returncode != 0:
            raise AssertionError("grim %s: %s" % (output or "", result.stderr.decode(errors="replace")))
        return Picture(result.stdout)


class MutterSession(Compositor):
    """Mutter headless in a D-Bus session of its own. Ended through Mutter's
    pid (a child of dbus-run-session), so that dbus-run-session ends its bus
    and itself, rather than leaving both behind."""

    def __init__(self, user):
        super().__init__(user, "mutter")
        self.start_process(["dbus-run-session", "--", "mutter", "--headless", "--wayland", "--no-x11",
                            "--virtual-monitor", "1024x768"], {})

    def stop(self):
        if self.process.poll() is None:
            for pid in descendants_named(self.process.pid, "mutter"):
                os.kill(pid, signal.SIGTERM)
            try:
                self.process.wait(timeout=END_TIMEOUT)
            except subprocess.TimeoutExpired:
                pass
        super().stop()


class Client:
    """A program run on a compositor, its standard error (with the protocol
    log when asked for) in a file of its own. name is what messages call it."""

    name = "the program"

    def __init__(self, compositor, arguments, extra=None, protocol_log=False, pass_fds=()):
        environment = dict(extra or {})
        if protocol_log:
            environment["WAYLAND_DEBUG"] = "client"
        self.stderr = tempfile.TemporaryFile()
        self.process = compositor.start(list(arguments), environment, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=self.stderr, pass_fds=pass_fds)

    def running(self):
        return self.process.poll() is None

    def errors(self):
        self.stderr.seek(0)
        return self.stderr.read().decode(errors="replace")

    def count(self, pattern):
        return len(re.findall(pattern, self.errors()))

    def wait_end(self, status, what):
        try:
            code = self.process.wait(timeout=END_TIMEOUT)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            raise AssertionError("%s: %s did not end within %.0f s" % (what, self.name, END_TIMEOUT))
        assert code == status, "%s: %s ended with %s, not %s:\n%s" % (what, self.name, code, status,
                                                                      self.errors()[-3000:])


class KeyHolder:
    """A virtual keyboard that stays: headless sway has no keyboard, and a
    client only gets one while some keyboard exists. wtype makes its keyboard,
    then sleeps."""

    def __init__(self, compositor):
        self.process = compositor.start(["wtype", "-s", str(KEY_HOLDER_SECONDS * 1000)],
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)

    def stop(self):
        self.process.kill()
        self.process.wait(timeout=END_TIMEOUT)


def type_key(compositor):
    compositor.run(["wtype", "-k", "space"], check=True)


def wait_for_scene(sway, outputs, what, still_drawing):
    """Each output's own screenshot shows the scene; answers the pictures.
    still_drawing() is called before each look: it raises AssertionError once
    what draws has ended."""
    def drawn():
        still_drawing()
        pictures = {name: sway.picture(name) for name in outputs}
        return pictures if all(picture.shows_scene() for picture in pictures.values()) else None

    return wait_until(drawn, START_TIMEOUT, "%s: the scene on %s" % (what, ", ".join(outputs)))


def wait_for_nothing_drawn(sway, outputs, what):
    wait_until(lambda: all(sway.picture(name).shows_nothing_lit() for name in outputs), END_TIMEOUT,
               what + ": no picture left on the outputs")


class Skip(Exception):
    """A case that cannot run here."""


class Context:
    """What a runner's cases share: the test user, its copies of the
    programs, the screenshot folder and the compositors of the running case."""

    def __init__(self, shots):
        self.user = TestUser()
        self.bin_dir = self.user.folder("bin")
        self.shots = shots
        self.compositors = []

    def install(self, source, name):
        """A copy of the program at source that the test user may run."""
        copy = os.path.join(self.bin_dir, name)
        shutil.copy2(source, copy)
        self.user.own(copy)
        return copy

    def sway(self, outputs=None):
        sway = Sway(self.user, outputs)
        self.compositors.append(sway)
        return sway

    def keep(self, picture, name):
        """The screenshot as PNG where ImageMagick is there to convert it."""
        path = os.path.join(self.shots, name)
        picture.save(path)
        if shutil.which("convert"):
            png = os.path.splitext(path)[0] + ".png"
            if subprocess.run(["convert", path, png], timeout=60).returncode == 0:
                os.remove(path)

    def end_case(self):
        for compositor in self.compositors:
            compositor.stop()
        self.compositors = []

    def close(self):
        self.end_case()
        self.user.remove()


def run_cases(context, cases, chosen):
    """Runs the chosen cases (name -> function(context)) one after another,
    each ended by context.end_case(); prints each one's outcome. Answers the
    exit status: 1 for a failure, SKIPPED when every case was skipped."""
    failures = 0
    skipped = 0
    try:
        for name in chosen:
            started = time.monotonic()
            try:
                cases[name](context)
                print("PASS %s (%.1f s)" % (name, time.monotonic() - started))
            except Skip as reason:
                skipped += 1
                print("SKIP %s: %s" % (name, reason))
            except AssertionError as error:
                failures += 1
                print("FAIL %s: %s" % (name, error))
                for compositor in context.compositors:
                    print("the compositor's log:\n" + compositor.log_text())
            finally:
                context.end_case()
            sys.stdout.flush()
    finally:
        context.close()
    print("screenshots in %s" % context.shots)
    if failures:
        return 1
    return SKIPPED if skipped == len(chosen) else 0
