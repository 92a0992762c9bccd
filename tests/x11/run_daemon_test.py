#!/usr/bin/env python3
"""flowball under the X11 screen-saver daemon, as its users run it: the
daemon on its own Xvfb, run by an ordinary user (the daemon refuses to lock
for root; as root the test makes a user of its own and removes it at the
end), with a programs: line in that user's ~/.xscreensaver that names a copy
of the built program.

  -activate    the daemon starts flowball with XSCREENSAVER_WINDOW, which
               draws the scene over the screen;
  -cycle       the daemon ends it by SIGTERM and starts it again; its log
               says the old one "exited normally with SIGTERM";
  -deactivate  flowball ends within a bounded time, and none is left;
  xscreensaver-settings, the daemon's settings program, previews the
               selected mode in its pane as "flowball --root --window-id
               ID": the scene is drawn in that pane.

Prints the times from each command to what it caused. Every wait is
bounded; nothing sleeps for a fixed time to let something happen.

  run_daemon_test.py FLOWBALL
"""

import os
import re
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
sys.path.insert(0, HERE)
import flowball_testing as testing  # noqa: E402
from flowball_testing import wait_until  # noqa: E402
from run_x11_e2e import SCREEN_HEIGHT, SCREEN_WIDTH, Picture, virtual_display  # noqa: E402

START_TIMEOUT = 90.0
END_TIMEOUT = 30.0
CYCLES = 3


class SaverUser(testing.ThrowawayUser):
    """The ordinary user who runs the daemon, switched to with runuser."""

    def __init__(self):
        super().__init__("flowball-saver")

    def switch_user(self):
        return ["runuser", "-u", self.name, "--"]

    def remove(self):
        """Removes the made user once the processes the test started as it
        have ended (the caller ends them)."""
        if self.made:
            subprocess.run(["userdel", self.made], check=True, timeout=60)
        shutil.rmtree(self.home, ignore_errors=True)


def environment_of(pid):
    try:
        with open("/proc/%d/environ" % pid, "rb") as environ:
            pairs = environ.read().split(b"\0")
    except OSError:
        return {}
    return dict(pair.decode(errors="replace").split("=", 1) for pair in pairs if b"=" in pair)


class Daemon:
    def __init__(self, user, display, program):
        self.user = user
        self.display = display
        bin_dir = os.path.join(user.home, "bin")
        os.makedirs(bin_dir)
        self.program = os.path.join(bin_dir, "flowball")
        shutil.copy2(program, self.program)
        for path in (bin_dir, self.program):
            user.own(path)
        settings = os.path.join(user.home, ".xscreensaver")
        with open(settings, "w") as out:
            # Activation only by command: no idle timeout, no cycling of its
            # own, no fading, no lock, no power saving.
            out.write("timeout:\t8:00:00\n"
                      "cycle:\t\t8:00:00\n"
                      "lock:\t\tFalse\n"
                      "mode:\t\tone\n"
                      "selected:\t0\n"
                      "splash:\t\tFalse\n"
                      "fade:\t\tFalse\n"
                      "unfade:\t\tFalse\n"
                      "dpmsEnabled:\tFalse\n"
                      "programs:\tGL: %s -root \\n\\\n\n" % self.program)
        user.own(settings)
        self.log = os.path.join(user.home, "xscreensaver.log")
        self.environment = {"HOME": user.home, "USER": user.name, "LOGNAME": user.name,
                            "DISPLAY": display.name, "PATH": "/usr/bin:/bin",
                            "LIBGL_ALWAYS_SOFTWARE": "1"}
        self.process = subprocess.Popen(
            user.command(["xscreensaver", "--no-splash", "--log", self.log], self.environment),
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def answers():
            if self.process.poll() is not None:
                raise AssertionError("the daemon ended at once (%s):\n%s" % (self.process.returncode, self.log_text()))
            return self.run("-version", check=False).returncode == 0

        wait_until(answers, START_TIMEOUT, "the daemon to answer")

    def run(self, command, check=True):
        result = subprocess.run(self.user.command(["xscreensaver-command", command], self.environment),
                                capture_output=True, text=True, timeout=END_TIMEOUT)
        if check and result.returncode != 0:
            raise AssertionError("xscreensaver-command %s: %s%s" % (command, result.stdout, result.stderr))
        return result

    def log_text(self):
        try:
            with open(self.log, errors="replace") as log:
                return log.read()
        except OSError:
            return ""

    def flowballs(self):
        """The pids of the flowball processes this test started, through the
        daemon or its settings program, on this display (the daemon names
        the screen too: ":2.0")."""
        return sorted(pid for pid in testing.processes_of(os.getpid(), "flowball")
                      if environment_of(pid).get("DISPLAY", "").split(".")[0] == self.display.name)


def scene_over_screen(display):
    return Picture(display.name).shows_scene(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT)


def activate(daemon):
    """-activate: flowball starts in the daemon's window and draws. Answers
    its pid and the seconds to the process and to the picture."""
    assert not daemon.flowballs(), "flowball runs before activation: %s" % daemon.flowballs()
    started = time.monotonic()
    daemon.run("-activate")
    pids = wait_until(daemon.flowballs, START_TIMEOUT, "flowball to start")
    to_process = time.monotonic() - started
    assert len(pids) == 1, "more than one flowball: %s" % pids
    pid = pids[0]
    environment = environment_of(pid)
    assert re.fullmatch(r"0x[0-9a-fA-F]+|[0-9]+", environment.get("XSCREENSAVER_WINDOW", "")), (
        "flowball runs without XSCREENSAVER_WINDOW: %s" % environment.get("XSCREENSAVER_WINDOW"))
    with open("/proc/%d/cmdline" % pid, "rb") as cmdline:
        arguments = cmdline.read().split(b"\0")
    assert arguments[0].decode() == daemon.program, arguments

    def drawn():
        assert pid in daemon.flowballs(), "flowball ended while drawing:\n" + daemon.log_text()[-2000:]
        return scene_over_screen(daemon.display)

    wait_until(drawn, START_TIMEOUT, "the scene over the screen")
    return pid, to_process, time.monotonic() - started


def deactivate(daemon):
    """-deactivate: flowball ends and none is left. Answers the seconds."""
    started = time.monotonic()
    daemon.run("-deactivate")
    wait_until(lambda: not daemon.flowballs(), END_TIMEOUT, "flowball to end after -deactivate")
    return time.monotonic() - started


def cycle(daemon, pid):
    """-cycle: the daemon ends flowball by SIGTERM and starts a new one; its
    log calls that a normal end."""
    started = time.monotonic()
    daemon.run("-cycle")

    def restarted():
        pids = daemon.flowballs()
        return pids if pids and pid not in pids else None

    pids = wait_until(restarted, START_TIMEOUT, "a new flowball after -cycle")
    assert len(pids) == 1, "more than one flowball after -cycle: %s" % pids
    ended = "child pid %d (%s) exited normally with SIGTERM" % (pid, daemon.program)
    wait_until(lambda: ended in daemon.log_text(), END_TIMEOUT, "the daemon's log to say: " + ended)
    wait_until(lambda: scene_over_screen(daemon.display), START_TIMEOUT, "the scene after -cycle")
    return pids[0], time.monotonic() - started


def window_rectangle(display, window):
    """left, top, width, height of a window, in root coordinates."""
    answer = subprocess.run(["xwininfo", "-display", display.name, "-id", window], capture_output=True,
                            text=True, timeout=END_TIMEOUT, check=True).stdout
    values = dict(re.findall(r"^\s*(Absolute upper-left X|Absolute upper-left Y|Width|Height):\s*(-?\d+)",
                             answer, re.M))
    return tuple(int(values[key]) for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width",
                                               "Height"))


def preview(daemon):
    """The settings program's preview pane: flowball gets -root (from the
    mode's command) and the pane's window, and draws in the pane. Answers the
    seconds from the program's start to the picture."""
    started = time.monotonic()
    settings = subprocess.Popen(daemon.user.command(["xscreensaver-settings"], daemon.environment),
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        pid = wait_until(daemon.flowballs, START_TIMEOUT, "flowball in the preview pane")[0]
        with open("/proc/%d/cmdline" % pid, "rb") as cmdline:
            arguments = [argument.decode() for argument in cmdline.read().split(b"\0") if argument]
        assert arguments[1:3] == ["--root", "--window-id"] and len(arguments) == 4, arguments
        rectangle = window_rectangle(daemon.display, arguments[3])

        def drawn():
            assert pid in daemon.flowballs(), "the preview's flowball ended: %s" % arguments
            return Picture(daemon.display.name).shows_scene(*rectangle)

        wait_until(drawn, START_TIMEOUT, "the scene in the preview pane %s" % (rectangle,))
        return time.monotonic() - started
    finally:
        # The settings program runs as the user, under runuser as root: it
        # is the process started here or one of its descendants, ended by
        # its pid, which ends its preview.
        testing.end_processes(testing.processes_of(settings.pid, "xscreensaver-settings"), END_TIMEOUT,
                              "the settings program")
        settings.wait(timeout=END_TIMEOUT)
        wait_until(lambda: not daemon.flowballs(), END_TIMEOUT, "the preview's flowball to end")


def main():
    program = os.path.abspath(sys.argv[1])
    # Whatever the daemon starts stays among this test's descendants, where
    # it is found and, at the end, ended.
    testing.adopt_orphans()
    display = virtual_display()
    user = None
    daemon = None
    try:
        user = SaverUser()
        daemon = Daemon(user, display, program)
        starts, pictures, stops = [], [], []
        for _ in range(CYCLES):
            _, to_process, to_picture = activate(daemon)
            starts.append(to_process)
            pictures.append(to_picture)
            stops.append(deactivate(daemon))
        pid, _, _ = activate(daemon)
        _, to_cycled = cycle(daemon, pid)
        stops.append(deactivate(daemon))
        to_preview = preview(daemon)
        log = daemon.log_text()
        abnormal = [line for line in log.splitlines() if "flowball" in line and "abnormally" in line]
        assert not abnormal, "the daemon saw flowball end abnormally:\n" + "\n".join(abnormal)
        print("PASS the daemon starts, cycles and ends flowball")
        print("activate -> flowball running:  %s s" % ", ".join("%.2f" % t for t in starts))
        print("activate -> picture drawn:     %s s" % ", ".join("%.2f" % t for t in pictures))
        print("cycle -> new flowball drawn:   %.2f s" % to_cycled)
        print("deactivate -> no flowball:     %s s" % ", ".join("%.2f" % t for t in stops))
        print("settings program -> preview:   %.2f s" % to_preview)
        print("the daemon's lines about flowball:")
        for line in log.splitlines():
            if daemon.program in line:
                print("  " + line)
        return 0
    except AssertionError as error:
        print("FAIL %s" % error)
        if daemon is not None:
            print("the daemon's log:\n" + daemon.log_text()[-4000:])
        return 1
    finally:
        # The daemon and whatever it or the test started is left: ended by
        # pid, the display server apart.
        left = [pid for pid in testing.descendants(os.getpid()) if pid != display.process.pid]
        testing.end_processes(left, END_TIMEOUT, "the daemon and its programs")
        if daemon is not None:
            daemon.process.wait(timeout=END_TIMEOUT)
        testing.reap_adopted([display.process.pid])
        if user is not None:
            user.remove()
        display.stop()


if __name__ == "__main__":
    sys.exit(main())
