#!/usr/bin/env python3
"""flowball --idle-after, the idle watcher, end to end in compositors of the
test's own, run as an ordinary user (as root the test makes one and removes
it at the end), with the Wayland harness (tests/support/wayland_testing.py):

  sway     headless sway 1.7 with two outputs (1024x768, 800x600), which
           offers KDE's idle protocol: the saver shows on both outputs after
           2 s without input, a key ends it, it shows again after the next
           2 s; flowball --idle follows the settings file's idle-after while
           it runs; the watcher does not wake while it waits; an application's
           idle inhibitor keeps the saver away; a stop signal ends the saver
           and then the watcher by the signal; the compositor's going ends
           the watcher with a message; an X11 session is told to use the
           X11 daemon, even with a compositor at wayland-0 beside it.
  mutter   Mutter headless in a D-Bus session (no idle protocol; its idle
           monitor on the session bus): the watcher does not wake while it
           waits; the session's idle inhibitor keeps the saver away; the
           saver shows on idle, and again after activity (Mutter's testing
           call that resets the idle time stands in for input, which cannot
           reach headless Mutter); SIGTERM ends watcher and saver; Mutter's
           going ends the watcher with a message. Skipped (77) where Mutter
           cannot run.
  kwin     KWin's virtual backend (ext-idle-notify-v1): the watcher does not
           wake while it waits; an application's idle inhibitor keeps the
           saver away; the saver shows on idle and SIGTERM ends both (KWin
           takes no virtual keyboard here). The installed kwin_wayland
           carries a file capability that an ordinary user's process cannot
           be given here; the test runs a copy without it. Skipped (77)
           where KWin is not installed or cannot run.

  run_idle_test.py FLOWBALL IDLE_INHIBITOR SESSION_INHIBITOR SHOTS_DIR [sway|mutter|kwin]

IDLE_INHIBITOR is tests/idle/idle_inhibitor.c built (a window holding an
idle inhibitor), SESSION_INHIBITOR tests/idle/session_inhibitor.c (a stand-in
for GNOME's session manager with idle inhibited).

The watcher's standard error holds its own messages and, with the protocol
log on, its savers' (they inherit it), which tells the test when a saver has
its keyboard and shows frames. The savers are found as the watcher's
children, by its pid; every wait is bounded. The only fixed wait is the one
that shows something does not happen (no saver while inhibited), and it is
followed by the proof that it would have.

Prints the watcher's wake-ups while it waits on each path.
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "support"))
import flowball_testing as testing  # noqa: E402
from flowball_testing import running as alive, wait_until  # noqa: E402
from wayland_testing import (END_TIMEOUT, FRAME_DONE, KEYBOARD_ENTER, OUTPUTS, START_TIMEOUT,  # noqa: E402
                             Client, Compositor, KeyHolder, Skip, descendants_named, run_cases, type_key,
                             wait_for_nothing_drawn)
import wayland_testing  # noqa: E402

IDLE_SECONDS = 2
# A watcher that must not show anything while the test measures it.
LONG_IDLE = "1h"
# How long the watcher's wake-ups are counted.
QUIET_SECONDS = 5.0
# Wake-ups allowed in that time: none is expected; the allowance is for a
# stray event of the compositor's (a new client's output, a seat's change).
QUIET_WAKEUPS = 2
STARTED = "flowball: shows the saver after"


class Watcher(Client):
    """flowball --idle-after TIME on a compositor, its standard error (and
    its savers') in a file of its own."""

    name = "the watcher"

    def __init__(self, compositor, program, idle_after, extra=None, protocol_log=False, arguments=None):
        arguments = arguments if arguments is not None else ["--idle-after", str(idle_after)]
        super().__init__(compositor, [program] + arguments, extra, protocol_log)
        self.pid = self.process.pid

        def started():
            if self.process.poll() is not None:
                raise AssertionError("the watcher ended (%s) before it watched:\n%s" % (self.process.returncode,
                                                                                     self.errors()[-3000:]))
            return STARTED in self.errors()

        wait_until(started, START_TIMEOUT, "the watcher to start watching")

    def source(self):
        return re.search(STARTED + r" \S+ without input \(([^)]+)\)", self.errors()).group(1)

    def savers(self):
        return testing.children(self.pid)

    def wait_for_saver(self, what, not_this=None):
        def started():
            if self.process.poll() is not None:
                raise AssertionError("%s: the watcher ended (%s):\n%s" % (what, self.process.returncode,
                                                                         self.errors()[-3000:]))
            savers = [pid for pid in self.savers() if pid != not_this]
            assert len(savers) <= 1, "%s: more than one saver: %s" % (what, savers)
            return savers[0] if savers else None

        return wait_until(started, START_TIMEOUT, what + ": the saver to start")

    def wait_for_log(self, pattern, what, after=0):
        wait_until(lambda: self.count(pattern) > after, START_TIMEOUT, what)

    def quiet_wakeups(self):
        """The wake-ups in QUIET_SECONDS with no saver showing."""
        assert not self.savers(), "a saver shows: %s" % self.savers()
        before = testing.thread_switches(self.pid)
        time.sleep(QUIET_SECONDS)
        after = testing.thread_switches(self.pid)
        assert not self.savers(), "a saver showed while the watcher was measured"
        return after - before

    def stop(self):
        """Ends the watcher by SIGTERM if it still runs; its savers end with it."""
        if self.process.poll() is None:
            savers = self.savers()
            self.process.send_signal(signal.SIGTERM)
            self.wait_end(-signal.SIGTERM, "SIGTERM")
            wait_until(lambda: not any(alive(pid) for pid in savers), END_TIMEOUT, "the savers to end with it")


def wait_for_scene_on_outputs(sway, watcher, saver, what):
    def still_drawing():
        assert alive(saver), "%s: the saver ended:\n%s" % (what, watcher.errors()[-3000:])

    return wayland_testing.wait_for_scene(sway, OUTPUTS, what, still_drawing)


def key_ends_the_saver(sway, watcher, saver, entries, what):
    """Types a key once the saver has its keyboard (the entries-th entry in
    the log); the saver ends with 0, which the watcher does not report."""
    watcher.wait_for_log(KEYBOARD_ENTER, what + ": the saver's keyboard", after=entries)
    type_key(sway)
    wait_until(lambda: not alive(saver), END_TIMEOUT, what + ": the saver to end on the key")
    assert watcher.process.poll() is None, "%s: the watcher ended with the saver" % what
    assert "the saver ended" not in watcher.errors(), watcher.errors()[-3000:]


# The cases. Each gets a fresh compositor as the test user.

def case_sway_shows_the_saver_on_idle_and_a_key_ends_it(context):
    sway = context.sway()
    holder = KeyHolder(sway)
    try:
        watcher = context.watcher(sway, IDLE_SECONDS, protocol_log=True)
        assert watcher.source() == "org_kde_kwin_idle", watcher.source()
        first = watcher.wait_for_saver("first idle")
        for name, picture in wait_for_scene_on_outputs(sway, watcher, first, "first idle").items():
            context.keep(picture, "sway-idle-%s.ppm" % name)
        key_ends_the_saver(sway, watcher, first, 0, "first idle")
        wait_for_nothing_drawn(sway, OUTPUTS, "after the key")
        # The next 2 s without input show it again.
        started = time.monotonic()
        second = watcher.wait_for_saver("second idle", not_this=first)
        print("sway: the saver again %.1f s after the key" % (time.monotonic() - started))
        wait_for_scene_on_outputs(sway, watcher, second, "second idle")
        key_ends_the_saver(sway, watcher, second, 1, "second idle")
        watcher.stop()
    finally:
        holder.stop()


def case_sway_the_watcher_does_not_wake_while_it_waits(context):
    sway = context.sway()
    watcher = context.watcher(sway, LONG_IDLE)
    count = watcher.quiet_wakeups()
    print("sway (org_kde_kwin_idle): %d wake-ups in %.0f s of waiting" % (count, QUIET_SECONDS))
    assert count <= QUIET_WAKEUPS, "the watcher woke %d times in %.0f s" % (count, QUIET_SECONDS)
    watcher.stop()


def write_settings_file(user, text):
    """The user's settings file, replaced as a whole as the settings window
    replaces it."""
    folder = os.path.join(user.home, ".config", "flowball")
    for path in (os.path.dirname(folder), folder):
        if not os.path.isdir(path):
            os.mkdir(path)
            user.own(path)
    new = os.path.join(folder, ".flowball.conf.new")
    with open(new, "w") as out:
        out.write(text)
    user.own(new)
    os.rename(new, os.path.join(folder, "flowball.conf"))


def case_sway_the_watcher_follows_the_settings_files_idle_time(context):
    # --idle takes the file's hour; the file changed to 2 s, the running
    # watcher shows the saver after 2 s, and that saver reads the file as it
    # now stands (its bad line is named twice: by the watcher and the saver).
    sway = context.sway()
    try:
        write_settings_file(context.user, "idle-after=1h\n")
        watcher = context.watcher(sway, None, arguments=["--idle"])
        assert STARTED + " 1h " in watcher.errors(), watcher.errors()[-3000:]
        assert not watcher.savers(), "a saver before the time: %s" % watcher.savers()
        write_settings_file(context.user, "idle-after=%ds\nspeed=fast\n" % IDLE_SECONDS)
        watcher.wait_for_log(STARTED + " %ds " % IDLE_SECONDS, "the watcher to take up the file's new time")
        saver = watcher.wait_for_saver("idle after the file's new time")
        with open("/proc/%d/cmdline" % saver, "rb") as cmdline:
            arguments = cmdline.read().split(b"\0")[1:-1]
        assert arguments == [b"--wayland"], "the saver's settings frozen in its command line: %s" % arguments
        watcher.wait_for_log(r"flowball\.conf:2: speed wants", "the saver to read the settings file", after=1)
        wait_for_scene_on_outputs(sway, watcher, saver, "the file's idle time")
        watcher.stop()
    finally:
        # The other cases run as the same user, without a settings file.
        shutil.rmtree(os.path.join(context.user.home, ".config", "flowball"), ignore_errors=True)


class Inhibitor:
    """A test program that inhibits idle, started on the compositor: it says
    "ready" once it holds the inhibition and lets go at the end of its input
    (or, where it answers "ok", on the line given)."""

    def __init__(self, compositor, program, extra=None):
        self.process = compositor.start([program], extra, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, text=True)
        line = self.process.stdout.readline().strip()
        if line != "ready":
            self.process.kill()
            raise AssertionError("%s: %r %s" % (os.path.basename(program), line, self.process.stderr.read()))

    def let_go(self, command=None):
        if command:
            self.process.stdin.write(command + "\n")
            self.process.stdin.flush()
            assert self.process.stdout.readline().strip() == "ok"
        else:
            self.process.stdin.close()
            assert self.process.wait(timeout=END_TIMEOUT) == 0

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def inhibited_then_shown(context, compositor, inhibitor, extra=None, command=None):
    """While the inhibitor holds, three idle times go by without a saver;
    once it lets go the desktop idles and the saver shows."""
    try:
        watcher = context.watcher(compositor, IDLE_SECONDS, extra=extra)
        testing.stays(lambda: not watcher.savers(), 3 * IDLE_SECONDS, "no saver while idle is inhibited")
        inhibitor.let_go(command)
        watcher.wait_for_saver("the inhibitor gone")
        watcher.stop()
    finally:
        inhibitor.stop()


def case_sway_an_idle_inhibitor_keeps_the_saver_away(context):
    sway = context.sway()
    inhibited_then_shown(context, sway, Inhibitor(sway, context.inhibitor))


def case_sway_a_stop_signal_ends_the_saver_and_the_watcher_by_it(context):
    sway = context.sway()
    for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        name = signal.Signals(number).name
        watcher = context.watcher(sway, IDLE_SECONDS)
        saver = watcher.wait_for_saver(name)
        wait_for_scene_on_outputs(sway, watcher, saver, name)
        watcher.process.send_signal(number)
        watcher.wait_end(-number, name)
        assert not alive(saver), "%s: the saver outlived the watcher" % name
        assert "the saver ended" not in watcher.errors(), watcher.errors()
        wait_for_nothing_drawn(sway, OUTPUTS, name)


def case_sway_the_compositor_going_away_ends_the_watcher(context):
    sway = context.sway()
    watcher = context.watcher(sway, LONG_IDLE)
    sway.stop()
    watcher.wait_end(1, "the compositor gone")
    assert "flowball: the Wayland compositor went away" in watcher.errors(), watcher.errors()


def case_no_wayland_session_is_one_message(context):
    """An X11 session is told of the X11 daemon, even with a compositor
    at wayland-0 beside it (only WAYLAND_DISPLAY names the session's);
    without any display the message says so: nothing to watch in this
    session, status 3. A named compositor that does not answer is that
    failure, even with DISPLAY set (Xwayland sets it in every Wayland
    session): status 1. Each: one line."""
    sway = context.sway()
    beside = sway.client_environment()
    beside.pop("WAYLAND_DISPLAY")
    os.symlink(os.path.join(sway.runtime, sway.display), os.path.join(sway.runtime, "wayland-0"))
    dead = "cannot connect to the Wayland compositor 'wayland-9'"
    cases = [
        ("an X11 session", dict(beside, DISPLAY=":0"), 3, ("X11", "daemon")),
        ("no display", beside, 3, ("no Wayland compositor is named",)),
        ("a compositor that does not answer", dict(beside, WAYLAND_DISPLAY="wayland-9"), 1, (dead,)),
        ("a compositor that does not answer, and DISPLAY", dict(beside, WAYLAND_DISPLAY="wayland-9", DISPLAY=":0"),
         1, (dead,)),
        ("a name with a terminal's codes", dict(beside, WAYLAND_DISPLAY="wayland-9\x1b[2J"), 1,
         ("cannot connect to the Wayland compositor 'wayland-9\\x1B[2J'",)),
    ]
    for what, environment, status, words in cases:
        try:
            result = subprocess.run(context.user.command([context.program, "--idle-after", "5m"], environment),
                                    capture_output=True, text=True, timeout=END_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise AssertionError("%s: the watcher watched on" % what)
        assert result.returncode == status, "%s: status %s" % (what, result.returncode)
        lines = result.stderr.splitlines()
        assert len(lines) == 1 and all(word in lines[0] for word in words), "%s: %s" % (what, result.stderr)


def session_bus_of(compositor, name):
    """The D-Bus session address that dbus-run-session gave the compositor."""
    def address():
        for pid in descendants_named(compositor.process.pid, name):
            try:
                with open("/proc/%d/environ" % pid, "rb") as environ:
                    for pair in environ.read().split(b"\0"):
                        if pair.startswith(b"DBUS_SESSION_BUS_ADDRESS="):
                            return pair.split(b"=", 1)[1].decode()
            except OSError:
                pass
        return None

    return wait_until(address, START_TIMEOUT, name + "'s session bus")


def case_mutter(context):
    """Mutter offers no idle protocol: the watcher uses its idle monitor on
    the session bus. No input reaches headless Mutter: its testing call
    ResetIdletime (allowed by MUTTER_DEBUG_RESET_IDLETIME) stands in for
    activity, and the saver is ended by the test or by SIGTERM."""
    if shutil.which("mutter") is None or shutil.which("dbus-run-session") is None:
        raise Skip("mutter or dbus-run-session is not installed")
    mutter = Compositor(context.user, "mutter")
    mutter.start_process(["dbus-run-session", "--", "mutter", "--headless", "--wayland", "--no-x11",
                          "--virtual-monitor", "1024x768"], {"MUTTER_DEBUG_RESET_IDLETIME": "1"})
    context.compositors.append(mutter)
    try:
        mutter.display = wait_until(mutter.socket, START_TIMEOUT, "Mutter's Wayland socket")
    except AssertionError as error:
        raise Skip("Mutter cannot run here: %s" % error)
    bus = {"DBUS_SESSION_BUS_ADDRESS": session_bus_of(mutter, "mutter")}

    waiting = context.watcher(mutter, LONG_IDLE, extra=bus)
    assert waiting.source() == "org.gnome.Mutter.IdleMonitor", waiting.source()
    count = waiting.quiet_wakeups()
    print("Mutter (org.gnome.Mutter.IdleMonitor): %d wake-ups in %.0f s of waiting" % (count, QUIET_SECONDS))
    assert count <= QUIET_WAKEUPS, "the watcher woke %d times in %.0f s" % (count, QUIET_SECONDS)

    # Without the session bus the watcher has nothing to ask: one line that
    # names both, status 3 (no idle source in this session).
    no_bus = {"DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(context.user.home, "no-bus")}
    result = mutter.run([context.program, "--idle-after", "5m"], no_bus, capture_output=True, text=True)
    lines = result.stderr.splitlines()
    assert result.returncode == 3, "no session bus: status %s" % result.returncode
    assert len(lines) == 1 and "offers no idle protocol" in lines[0] and "session bus" in lines[0], result.stderr

    # The session's inhibitor, as GNOME's session manager would hold it for
    # a video player.
    inhibited_then_shown(context, mutter, Inhibitor(mutter, context.session_inhibitor, bus), bus, "uninhibit")

    watcher = context.watcher(mutter, IDLE_SECONDS, extra=bus, protocol_log=True)
    first = watcher.wait_for_saver("Mutter, idle")
    # Full screen on the virtual monitor, its frames shown; it stays.
    watcher.wait_for_log(r"xdg_toplevel@\d+\.configure\(1024, 768", "the saver's full-screen configure")
    watcher.wait_for_log(FRAME_DONE, "the saver's frames shown", after=30)
    assert alive(first) and watcher.savers() == [first], watcher.savers()
    # Ended (as input would end it), then activity: Mutter arms the watch
    # again and the next 2 s show the saver anew.
    os.kill(first, signal.SIGTERM)
    wait_until(lambda: not alive(first), END_TIMEOUT, "the first saver to end")
    result = mutter.run(["dbus-send", "--session", "--print-reply", "--dest=org.gnome.Mutter.IdleMonitor",
                         "/org/gnome/Mutter/IdleMonitor/Core", "org.gnome.Mutter.IdleMonitor.ResetIdletime"],
                        bus, capture_output=True, text=True)
    assert result.returncode == 0, "ResetIdletime: " + result.stderr
    second = watcher.wait_for_saver("Mutter, idle after activity", not_this=first)
    watcher.process.send_signal(signal.SIGTERM)
    watcher.wait_end(-signal.SIGTERM, "Mutter, SIGTERM")
    assert not alive(second), "the saver outlived the watcher"

    # Mutter gone, its idle monitor leaves the bus: the watcher says so.
    for pid in descendants_named(mutter.process.pid, "mutter"):
        os.kill(pid, signal.SIGTERM)
    waiting.wait_end(1, "Mutter gone")
    assert "flowball: the idle monitor (org.gnome.Mutter.IdleMonitor) left the session bus" in waiting.errors(), (
        waiting.errors())


def case_kwin(context):
    installed = shutil.which("kwin_wayland")
    if installed is None or shutil.which("dbus-run-session") is None:
        raise Skip("kwin_wayland (Debian: kwin-wayland) or dbus-run-session is not installed")
    # A plain copy: the installed binary's file capability (cap_sys_resource)
    # makes exec fail for a user who may not have it.
    kwin_copy = os.path.join(context.user.folder("bin"), "kwin_wayland")
    shutil.copyfile(installed, kwin_copy)
    os.chmod(kwin_copy, 0o755)
    context.user.own(kwin_copy)
    kwin = Compositor(context.user, "kwin")
    kwin.start_process(["dbus-run-session", "--", kwin_copy, "--virtual", "--socket", "wayland-0",
                        "--width", "1024", "--height", "768"], {"LIBGL_ALWAYS_SOFTWARE": "1"})
    context.compositors.append(kwin)
    try:
        kwin.display = wait_until(kwin.socket, START_TIMEOUT, "KWin's Wayland socket")
    except AssertionError as error:
        raise Skip("KWin cannot run here: %s" % error)

    waiting = context.watcher(kwin, LONG_IDLE)
    assert waiting.source() == "ext-idle-notify-v1", waiting.source()
    count = waiting.quiet_wakeups()
    print("KWin (ext-idle-notify-v1): %d wake-ups in %.0f s of waiting" % (count, QUIET_SECONDS))
    assert count <= QUIET_WAKEUPS, "the watcher woke %d times in %.0f s" % (count, QUIET_SECONDS)
    waiting.stop()

    inhibited_then_shown(context, kwin, Inhibitor(kwin, context.inhibitor))

    watcher = context.watcher(kwin, IDLE_SECONDS, protocol_log=True)
    saver = watcher.wait_for_saver("KWin, idle")
    watcher.wait_for_log(FRAME_DONE, "the saver's frames shown", after=30)
    assert alive(saver) and watcher.savers() == [saver], watcher.savers()
    watcher.stop()


class Context(wayland_testing.Context):
    def __init__(self, program, inhibitor, session_inhibitor, shots):
        super().__init__(shots)
        self.program = self.install(program, "flowball")
        self.inhibitor = self.install(inhibitor, "idle-inhibitor")
        self.session_inhibitor = self.install(session_inhibitor, "session-inhibitor")
        self.watchers = []

    def watcher(self, compositor, idle_after, **options):
        watcher = Watcher(compositor, self.program, idle_after, **options)
        self.watchers.append(watcher)
        return watcher

    def end_case(self):
        # Watchers first, by pid (their savers end with them), then the
        # compositors.
        for watcher in self.watchers:
            if watcher.process.poll() is None:
                for pid in watcher.savers():
                    os.kill(pid, signal.SIGKILL)
                watcher.process.kill()
                watcher.process.wait()
        self.watchers = []
        super().end_case()


def main():
    program, inhibitor, session_inhibitor, shots = (os.path.abspath(argument) for argument in sys.argv[1:5])
    group = sys.argv[5] if len(sys.argv) > 5 else "sway"
    os.makedirs(shots, exist_ok=True)
    cases = {name[len("case_"):]: function for name, function in globals().items() if name.startswith("case_")}
    if group == "sway":
        chosen = [name for name in cases
                  if name.startswith("sway_") or name == "no_wayland_session_is_one_message"]
    else:
        chosen = [group]
    return run_cases(Context(program, inhibitor, session_inhibitor, shots), cases, chosen)


if __name__ == "__main__":
    sys.exit(main())
