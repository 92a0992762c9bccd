#!/usr/bin/env python3
"""flowball under MATE's screen saver, from its Debian package, as a MATE
user gets it: the package built and installed into a throwaway root, whose
program folder stands in for the system's /usr/libexec/xscreensaver (the
only kind of folder MATE's saver runs programs from) in a mount namespace
of the test's own, and whose screen-saver entry MATE finds through
XDG_DATA_DIRS. mate-screensaver runs on its own Xvfb in a D-Bus session of
its own, as an ordinary user (as root the test makes one and removes it at
the end), with Flowball chosen in its settings and locking off:

  the preferences   mate-screensaver-preferences lists the chosen theme and
                    previews it: flowball draws the scene in its preview
                    window, handed over in XSCREENSAVER_WINDOW;
  --activate        mate-screensaver starts the packaged program with
                    XSCREENSAVER_WINDOW, which draws the scene over the
                    whole screen;
  a key             ends the saver: flowball ends and the screen is the
                    desktop's again;
  --lock            the same scene under the lock; a key brings the unlock
                    dialog in its place and Escape brings the scene back,
                    drawn by the same flowball all along.

Bind mounts need root: run by another user the test reports a skip (77).
Every wait is bounded; the programs are found among the test's own
descendants and ended by pid.

  run_mate_test.py BUILD_DIR
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
sys.path.insert(0, HERE)
import flowball_testing as testing  # noqa: E402
from flowball_testing import wait_until  # noqa: E402
from package_test import build_package, install_into_throwaway_root  # noqa: E402
from run_daemon_test import SaverUser, environment_of, scene_over_screen, window_rectangle  # noqa: E402
from run_x11_e2e import SCREEN_HEIGHT, SCREEN_WIDTH, WHITE, Picture, virtual_display  # noqa: E402

SKIPPED = 77
START_TIMEOUT = 90.0
END_TIMEOUT = 30.0
PROGRAM_FOLDER = "/usr/libexec/xscreensaver"
PROGRAM = PROGRAM_FOLDER + "/flowball"
# The saver's settings: Flowball alone, never locked, so that a key ends it.
THEME = "screensavers-flowball"
SETTINGS = (("mode", "single"), ("themes", "['%s']" % THEME), ("lock-enabled", "false"))


class Session:
    """mate-screensaver in a D-Bus session of its own, as the user, in a
    mount namespace where the packaged program folder covers the system's.
    Commands that talk to it join its bus."""

    def __init__(self, user, display, root):
        self.user = user
        self.display = display
        self.environment = {
            "HOME": user.home, "USER": user.name, "LOGNAME": user.name, "DISPLAY": display.name,
            "PATH": "/usr/bin:/bin", "LIBGL_ALWAYS_SOFTWARE": "1", "XDG_CURRENT_DESKTOP": "MATE",
            "XDG_RUNTIME_DIR": self.private_folder("runtime"),
            "XDG_DATA_DIRS": os.path.join(root, "usr/share") + ":/usr/share"}
        # The settings outlive the session that writes them (dconf's file in
        # the user's home): MATE's saver reads them at its start.
        for key, value in SETTINGS:
            self.run_alone(["gsettings", "set", "org.mate.screensaver", key, value])
        self.log = os.path.join(user.home, "mate-screensaver.log")
        address_file = os.path.join(user.home, "bus-address")
        with open(self.log, "w") as log:
            self.process = self.start(root, address_file, log)

        def bus_address():
            self.expect_running("at its start")
            try:
                return open(address_file).read().strip()
            except OSError:
                return None

        self.environment["DBUS_SESSION_BUS_ADDRESS"] = wait_until(bus_address, START_TIMEOUT, "the session bus")
        wait_until(lambda: self.expect_running("at its start") or self.command("--query", check=False),
                   START_TIMEOUT, "mate-screensaver to answer")

    def start(self, root, address_file, log):
        """mate-screensaver in its session, which writes the bus's address to
        address_file; its debugging output to log."""
        mount_and_run = 'mount --bind "$1" "$2" && shift 2 && exec "$@"'
        session = 'echo "$DBUS_SESSION_BUS_ADDRESS" > "$0" && exec mate-screensaver --no-daemon --debug'
        return subprocess.Popen(
            ["unshare", "--mount", "--propagation", "private", "--", "sh", "-c", mount_and_run, "sh",
             os.path.join(root, PROGRAM_FOLDER.lstrip("/")), PROGRAM_FOLDER]
            + self.user.command(["dbus-run-session", "--", "sh", "-c", session, address_file], self.environment),
            stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)

    def user_command(self, arguments):
        """arguments run as the user in the session's mount namespace (that
        of the process started here, which unshare and sh replaced with
        runuser) and on its bus."""
        return (["nsenter", "--mount=/proc/%d/ns/mnt" % self.process.pid, "--"]
                + self.user.command(arguments, self.environment))

    def private_folder(self, name):
        path = os.path.join(self.user.home, name)
        os.makedirs(path, mode=0o700)
        self.user.own(path)
        return path

    def run_alone(self, arguments):
        """A command as the user in a D-Bus session of its own."""
        result = subprocess.run(self.user.command(["dbus-run-session", "--"] + arguments, self.environment),
                                capture_output=True, text=True, timeout=END_TIMEOUT)
        assert result.returncode == 0, "%s: %s%s" % (" ".join(arguments), result.stdout, result.stderr)

    def command(self, argument, check=True):
        """mate-screensaver-command ARGUMENT; answers whether it succeeded."""
        result = subprocess.run(self.user_command(["mate-screensaver-command", argument]),
                                capture_output=True, text=True, timeout=END_TIMEOUT)
        assert not check or result.returncode == 0, (
            "mate-screensaver-command %s: %s%s" % (argument, result.stdout, result.stderr))
        return result.returncode == 0

    def expect_running(self, when):
        assert self.process.poll() is None, "mate-screensaver's session ended %s (%s):\n%s" % (
            when, self.process.returncode, self.log_text()[-4000:])

    def log_text(self):
        try:
            with open(self.log, errors="replace") as log:
                return log.read()
        except OSError:
            return ""

    def flowballs(self):
        """The flowball processes among the test's descendants on this
        display."""
        return sorted(pid for pid in testing.processes_of(os.getpid(), "flowball")
                      if environment_of(pid).get("DISPLAY", "").split(".")[0] == self.display.name)


def the_flowball(session, what):
    """The one flowball that runs now, started from the package's folder with
    a window handed over in XSCREENSAVER_WINDOW: its pid and that window."""
    def started():
        session.expect_running("while starting flowball for " + what)
        return session.flowballs()

    pids = wait_until(started, START_TIMEOUT, "flowball to start for " + what)
    assert len(pids) == 1, "more than one flowball for %s: %s" % (what, pids)
    arguments = testing.command_line(pids[0])
    assert arguments[:1] == [PROGRAM], "flowball runs as %s" % arguments
    window = environment_of(pids[0]).get("XSCREENSAVER_WINDOW", "")
    assert window, "flowball runs without XSCREENSAVER_WINDOW for %s" % what
    return pids[0], window


def preview(session):
    """The preferences preview the chosen theme in their window. Answers the
    seconds from their start to the picture."""
    started = time.monotonic()
    preferences = subprocess.Popen(session.user_command(["mate-screensaver-preferences"]),
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
    try:
        pid, window = the_flowball(session, "the preview")
        rectangles = []

        def drawn():
            assert pid in session.flowballs(), "the preview's flowball ended"
            # The pane moves while the preferences fill their theme list.
            rectangles.append(window_rectangle(session.display, window))
            assert rectangles[-1][2] < SCREEN_WIDTH, "the preview window covers the screen: %s" % (rectangles[-1],)
            return Picture(session.display.name).shows_scene(*rectangles[-1])

        try:
            wait_until(drawn, START_TIMEOUT, "the scene in the preview window")
        except testing.Failure as failure:
            raise testing.Failure("%s, which was at %s" % (failure, sorted(set(rectangles))))
        return time.monotonic() - started
    finally:
        testing.end_processes(testing.processes_of(preferences.pid, "mate-screensaver-preferences"),
                              END_TIMEOUT, "the preferences")
        preferences.wait(timeout=END_TIMEOUT)
        wait_until(lambda: not session.flowballs(), END_TIMEOUT, "the preview's flowball to end")


def activate_and_end_by_key(session):
    """--activate shows the scene over the screen; a key ends it. Answers the
    seconds to the picture and from the key to the end."""
    assert not session.flowballs(), "flowball runs before activation: %s" % session.flowballs()
    started = time.monotonic()
    session.command("--activate")
    pid, _ = the_flowball(session, "--activate")

    def drawn():
        assert pid in session.flowballs(), "flowball ended while drawing:\n" + session.log_text()[-2000:]
        return scene_over_screen(session.display)

    wait_until(drawn, START_TIMEOUT, "the scene over the screen")
    to_picture = time.monotonic() - started

    pressed = time.monotonic()
    subprocess.run(["xdotool", "key", "space"], env={"DISPLAY": session.display.name}, check=True,
                   timeout=END_TIMEOUT)
    wait_until(lambda: not session.flowballs(), END_TIMEOUT, "flowball to end after a key")
    to_end = time.monotonic() - pressed
    wait_until(lambda: Picture(session.display.name).at(SCREEN_WIDTH // 2, SCREEN_HEIGHT // 2) == WHITE,
               END_TIMEOUT, "the desktop back after a key")
    return to_picture, to_end


def no_scene(display):
    """Nothing of the lit ball anywhere on the screen."""
    return Picture(display.name).lit_ball_pixels(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT) == 0


def lock_key_and_escape(session):
    """--lock shows the scene over the screen; a key brings the unlock
    dialog in its place, and Escape, which cancels the dialog, brings back
    the same flowball's scene: the lock keeps it running all along. Answers
    the seconds from --lock to the picture."""
    assert not session.flowballs(), "flowball runs before the lock: %s" % session.flowballs()
    started = time.monotonic()
    session.command("--lock")
    pid, _ = the_flowball(session, "--lock")

    def drawn():
        assert session.flowballs() == [pid], "the lock's flowball ended or another came: %s" % session.flowballs()
        return scene_over_screen(session.display)

    wait_until(drawn, START_TIMEOUT, "the scene over the screen under the lock")
    to_picture = time.monotonic() - started
    for key, shown, what in (("space", lambda: no_scene(session.display), "the unlock dialog in the scene's place"),
                             ("Escape", drawn, "the scene back after the dialog")):
        subprocess.run(["xdotool", "key", key], env={"DISPLAY": session.display.name}, check=True,
                       timeout=END_TIMEOUT)
        wait_until(shown, START_TIMEOUT, what)
        assert session.flowballs() == [pid], "the lock's flowball did not stay: %s" % session.flowballs()
    return to_picture


def keep_screen(display, path):
    """What the screen showed when the test failed, for whoever reads the
    failure."""
    result = subprocess.run(["import", "-display", display.name, "-window", "root", path], capture_output=True,
                            timeout=60)
    print("the screen then: %s" % (path if result.returncode == 0 else result.stderr.decode(errors="replace")))


def main():
    if os.geteuid() != 0:
        print("SKIP the program's folder is mounted over the system's, which needs root")
        return SKIPPED
    build_dir = os.path.abspath(sys.argv[1])
    testing.adopt_orphans()
    work = tempfile.mkdtemp(prefix="flowball-mate-")
    root = display = user = session = None
    try:
        root = install_into_throwaway_root(build_package(build_dir, work))
        # The user reads the entry and runs the program through it.
        os.chmod(root, 0o755)
        display = virtual_display()
        user = SaverUser()
        session = Session(user, display, root)
        to_preview = preview(session)
        to_picture, to_end = activate_and_end_by_key(session)
        # Last: the lock stays until a password, or the end of the test.
        to_locked = lock_key_and_escape(session)
        print("PASS MATE's screen saver previews, shows, ends and locks with flowball from its package")
        print("preferences -> preview drawn:  %.2f s" % to_preview)
        print("activate -> picture drawn:     %.2f s" % to_picture)
        print("key -> no flowball:            %.2f s" % to_end)
        print("lock -> picture drawn:         %.2f s" % to_locked)
        return 0
    except AssertionError as error:
        print("FAIL %s" % error)
        if session is not None:
            print("mate-screensaver's log:\n" + session.log_text()[-4000:])
            keep_screen(display, os.path.join(build_dir, "mate-screensaver-failure.png"))
        return 1
    finally:
        own = [display.process.pid] if display else []
        left = [pid for pid in testing.descendants(os.getpid()) if pid not in own]
        testing.end_processes(left, END_TIMEOUT, "the session and its programs")
        if session is not None:
            session.process.wait(timeout=END_TIMEOUT)
        testing.reap_adopted(own)
        if user is not None:
            user.remove()
        if display is not None:
            display.stop()
        if root is not None:
            shutil.rmtree(root)
        shutil.rmtree(work)


if __name__ == "__main__":
    sys.exit(main())
