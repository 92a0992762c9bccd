#!/usr/bin/env python3
"""End-to-end tests of the X11 program on its own virtual display (Xvfb with
GLX, Mesa's software renderer): each mode draws the scene where it should and
nowhere else, and each way of ending it ends it as it should.

  run_x11_e2e.py FLOWBALL --group xvfb|monitors [CASE...]

Group xvfb runs on Xvfb; group monitors on Xorg with the dummy driver and two
outputs, which needs root: run by another user it reports every case skipped
and exits 77 (ctest's SKIP_RETURN_CODE).

FLOWBALL_TEST_PRELOAD, when set, becomes the program's LD_PRELOAD (and only
its own: the display server and the tools run without it). In the sanitizer
build it preloads the sanitizer runtime; a case whose program printed a
sanitizer's report fails, whatever the program's exit status.
FLOWBALL_RELEASE_PROBE names the library that reports on stderr when the
program releases its GL context and closes its display; every case preloads
it, and the cases that end the program by a signal read its report.

FLOWBALL_COUNT_PRELOAD names the library that counts the frames Mesa puts on
the window (scripts/perf/count_gl_image_puts.c); the cases that count frames
add it to the program's preload list.

FLOWBALL_FAKE_DPMS names the library that stands in for the display's power
control (tests/x11/fake_dpms.c), which the virtual displays lack: the case
that turns the display off preloads it.

FLOWBALL_ERROR_PRELOAD names the library that brings an X error along with
a window's DestroyNotify (tests/x11/error_beside_destroy.c).

FLOWBALL_WINDOW_CHANGE_PRELOAD names the library that maps or unmaps a given
window right after the program reads its state
(tests/x11/window_change_after_read.c), for the case that forces that race.

Windows of our own are made through Xlib with ctypes; pictures come from
ImageMagick's import. Every wait is bounded; nothing sleeps for a fixed time
to let something happen.
"""

import argparse
import ctypes
import ctypes.util
import os
import select
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
import flowball_testing as testing  # noqa: E402
from flowball_testing import DUMMY_MONITORS, DUMMY_SCREEN, wait_until  # noqa: E402
# The Windows saver's monitors group reads per-monitor views from pictures of
# the same two outputs: its reading serves here too.
import run_e2e as windows_e2e  # noqa: E402

# Generous bounds: the machine is shared, and the sanitizer build is slow.
START_TIMEOUT = 90.0
END_TIMEOUT = 30.0
# A stop signal ends the program within a second in any state; the cases
# that stall it assert this looser bound and print the time it took.
SIGNAL_END_BOUND = 5.0
SCREEN_WIDTH, SCREEN_HEIGHT = 1024, 768
WHITE = (255, 255, 255)
MAGENTA = 0xFF00FF


def virtual_display():
    """An Xvfb of our own with GLX and a white root window."""
    return testing.xvfb(SCREEN_WIDTH, SCREEN_HEIGHT, glx=True, white_root=True)


class TwoOutputDisplay:
    """Xorg with the dummy driver: two outputs side by side, 1024x768 and a
    shorter 800x600 (testing.DUMMY_MONITORS), and RandR to change them."""

    def __init__(self):
        self.work = tempfile.mkdtemp(prefix="flowball-xorg-")
        self.server = testing.dummy_xorg(self.work)
        self.name = self.server.name
        self.process = self.server.process

    def xrandr(self, *arguments):
        subprocess.run(["xrandr"] + list(arguments), env=dict(os.environ, DISPLAY=self.name), check=True,
                       timeout=END_TIMEOUT, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop(self):
        self.server.stop()
        shutil.rmtree(self.work, ignore_errors=True)


class XlibClient:
    """The few Xlib calls the tests need, through ctypes."""

    def __init__(self, display_name):
        self.xlib = ctypes.CDLL(ctypes.util.find_library("X11"))
        self.xlib.XOpenDisplay.restype = ctypes.c_void_p
        self.xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.xlib.XDefaultRootWindow.restype = ctypes.c_ulong
        self.xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.xlib.XCreateSimpleWindow.restype = ctypes.c_ulong
        self.xlib.XCreateSimpleWindow.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
            ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
        for name in ("XMapWindow", "XUnmapWindow", "XDestroyWindow"):
            getattr(self.xlib, name).argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.xlib.XReparentWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int,
                                              ctypes.c_int]
        self.xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.xlib.XQueryTree.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
            ctypes.POINTER(ctypes.c_uint)]
        self.xlib.XFree.argtypes = [ctypes.c_void_p]
        self.xlib.XInternAtom.restype = ctypes.c_ulong
        self.xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                         ctypes.c_long, ctypes.c_void_p]
        self.xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.display = self.xlib.XOpenDisplay(display_name.encode())
        if not self.display:
            raise RuntimeError("cannot open display " + display_name)
        self.root = self.xlib.XDefaultRootWindow(self.display)

    def create_window(self, x, y, width, height, background=MAGENTA, parent=None):
        window = self.xlib.XCreateSimpleWindow(self.display, parent or self.root, x, y, width, height, 0, 0,
                                               background)
        self.xlib.XMapWindow(self.display, window)
        self.xlib.XSync(self.display, 0)
        return window

    def reparent_window(self, window, parent, x, y):
        self.xlib.XReparentWindow(self.display, window, parent, x, y)
        self.xlib.XSync(self.display, 0)

    def map_window(self, window):
        self.xlib.XMapWindow(self.display, window)
        self.xlib.XSync(self.display, 0)

    def unmap_window(self, window):
        self.xlib.XUnmapWindow(self.display, window)
        self.xlib.XSync(self.display, 0)

    def destroy_window(self, window):
        self.xlib.XDestroyWindow(self.display, window)
        self.xlib.XSync(self.display, 0)

    def top_level_windows(self):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children = ctypes.POINTER(ctypes.c_ulong)()
        count = ctypes.c_uint()
        self.xlib.XQueryTree(self.display, self.root, ctypes.byref(root), ctypes.byref(parent),
                             ctypes.byref(children), ctypes.byref(count))
        windows = [children[i] for i in range(count.value)]
        if children:
            self.xlib.XFree(children)
        return windows

    def request_close(self, window):
        """The window manager's close request: a WM_PROTOCOLS client message
        carrying WM_DELETE_WINDOW."""

        class ClientMessage(ctypes.Structure):
            _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                        ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                        ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                        ("format", ctypes.c_int), ("data", ctypes.c_long * 5),
                        ("pad", ctypes.c_long * 24)]

        message = ClientMessage()
        message.type = 33  # ClientMessage
        message.window = window
        message.message_type = self.xlib.XInternAtom(self.display, b"WM_PROTOCOLS", 0)
        message.format = 32
        message.data[0] = self.xlib.XInternAtom(self.display, b"WM_DELETE_WINDOW", 0)
        self.xlib.XSendEvent(self.display, window, 0, 0, ctypes.byref(message))
        self.xlib.XSync(self.display, 0)

    def close(self):
        self.xlib.XCloseDisplay(self.display)


class Picture(testing.Picture):
    """A screenshot of the display's root window."""

    def __init__(self, display_name):
        super().__init__(subprocess.run(["import", "-display", display_name, "-window", "root", "-depth", "8",
                                         "ppm:-"], check=True, capture_output=True, timeout=60).stdout)

    def shows_scene(self, left, top, width, height):
        """Black bars at the top and bottom edges, a lit ball between them."""
        return (self.row_is_dark(left, width, top + 1) and self.row_is_dark(left, width, top + height - 2)
                and self.lit_ball_pixels(left, top + height // 4, width, height // 2) > 20)

    def is_white_outside(self, left, top, width, height):
        """Every sampled pixel outside the rectangle is still the root's white."""
        for y in range(0, self.height, 16):
            for x in range(0, self.width, 16):
                inside = left <= x < left + width and top <= y < top + height
                if not inside and self.at(x, y) != WHITE:
                    return False
        return True


RELEASED = "probe: context released\nprobe: display closed\n"

# What the sanitizers print when they find a fault. In the sanitizer build a
# program that printed one fails its case whatever its exit status: a case
# that expects a failing status would otherwise pass on the sanitizer's own.
SANITIZER_REPORTS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:")


class Flowball:
    def __init__(self, program, display_name, arguments, environment=None, preload=()):
        env = dict(os.environ, DISPLAY=display_name)
        env.pop("XSCREENSAVER_WINDOW", None)
        # The program's own window is on X11 here, even when the tests run
        # inside a Wayland session.
        env.pop("WAYLAND_DISPLAY", None)
        preloads = os.environ.get("FLOWBALL_TEST_PRELOAD", "").split() + list(preload)
        if os.environ.get("FLOWBALL_RELEASE_PROBE"):
            preloads.append(os.environ["FLOWBALL_RELEASE_PROBE"])
        if preloads:
            env["LD_PRELOAD"] = " ".join(preloads)
        env.update(environment or {})
        self.stderr = tempfile.TemporaryFile()
        self.process = subprocess.Popen([program] + arguments, env=env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=self.stderr)

    def running(self):
        return self.process.poll() is None

    def wait_end(self):
        try:
            code = self.process.wait(timeout=END_TIMEOUT)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            raise AssertionError("flowball did not end within %.0f s" % END_TIMEOUT)
        errors = self.errors()
        if any(report in errors for report in SANITIZER_REPORTS):
            raise AssertionError("flowball ended with a sanitizer's report (status %d):\n%s" % (code, errors))
        return code

    def errors(self):
        self.stderr.seek(0)
        return self.stderr.read().decode(errors="replace")

    def kill(self):
        if self.running():
            self.process.kill()
            self.process.wait()


def preload_library(variable):
    """The library for the program's preload list that the environment
    variable names (ctest sets it)."""
    library = os.environ.get(variable)
    if not library or not os.path.exists(library):
        raise AssertionError("%s names no library" % variable)
    return library


class FrameCount:
    """The frames Mesa put on flowball's window so far, counted by the preload
    library in a file of this object's own; and the wake-ups and processor
    time of the program's main thread, from /proc."""

    def __init__(self):
        self.preload = [preload_library("FLOWBALL_COUNT_PRELOAD")]
        handle, self.path = tempfile.mkstemp(prefix="flowball-frames-")
        os.close(handle)
        self.environment = {"FLOWBALL_PUT_COUNT_FILE": self.path}

    def frames(self):
        with open(self.path, "rb") as counter:
            data = counter.read(8)
        return struct.unpack("=Q", data)[0] if len(data) == 8 else 0

    @staticmethod
    def main_thread(flowball, kinds=testing.BOTH_SWITCHES):
        """(context switches, processor seconds) of the main thread so far:
        by default both kinds of switch, every time it stopped running."""
        return testing.main_thread(flowball.process.pid, kinds)

    def remove(self):
        os.remove(self.path)


def wait_frames_grow(flowball, count, what):
    start = count.frames()
    wait_until(lambda: count.frames() > start + 3, START_TIMEOUT, what + ": frames drawn")


# Frame rates a second. The least rate that counts as drawing: far below what
# any mode is designed for, even with software GL on a loaded two-core
# machine, and far above the two looks a second of a program that only checks
# whether it can be seen.
LEAST_DRAWING_RATE = 8.0


def frame_rate(count, seconds):
    """Frames a second over the next seconds."""
    frames = count.frames()
    started = time.monotonic()
    wait_until(lambda: time.monotonic() - started >= seconds, END_TIMEOUT, "%.0f seconds of frames" % seconds)
    return (count.frames() - frames) / (time.monotonic() - started)


def expect_drawing(count, what):
    """Frames come at a drawing rate again, not one an idle look would give."""
    rate = frame_rate(count, 2.0)
    print("%s: %.1f frames a second" % (what, rate), flush=True)
    assert rate >= LEAST_DRAWING_RATE, "%s: %.1f frames a second" % (what, rate)


def wait_frames_stop(count, what):
    """Until no frame comes for a second: the program saw why it should stop
    drawing (bounded; a program that keeps drawing times out)."""
    last = [count.frames(), time.monotonic()]

    def settled():
        now = count.frames()
        if now != last[0]:
            last[:] = [now, time.monotonic()]
        return time.monotonic() - last[1] >= 1.0

    wait_until(settled, END_TIMEOUT, what + ": drawing stopped")


def expect_exit(flowball, status, what):
    code = flowball.wait_end()
    if code != status:
        raise AssertionError("%s: exit status %d, not %d; stderr:\n%s" %
                             (what, code, status, flowball.errors()))


def end_by_signal(flowball, signal_number, what):
    """The signal ends the program after its frame: it releases its context,
    closes its display and then dies by that same signal, as a parent (the
    screen-saver daemon) expects of a program that the signal ended."""
    flowball.process.send_signal(signal_number)
    code = flowball.wait_end()
    if code != -signal_number:
        raise AssertionError("%s, %s: exit status %d, not death by the signal; stderr:\n%s" %
                             (what, signal_number.name, code, flowball.errors()))
    if os.environ.get("FLOWBALL_RELEASE_PROBE"):
        assert flowball.errors().endswith(RELEASED), (
            "%s, %s: not released before the end; stderr:\n%s" % (what, signal_number.name, flowball.errors()))


def wait_for_scene(flowball, display_name, rectangle, what):
    def drawn():
        if not flowball.running():
            raise AssertionError("%s: flowball ended early (%s):\n%s" %
                                 (what, flowball.process.returncode, flowball.errors()))
        picture = Picture(display_name)
        return picture if picture.shows_scene(*rectangle) else None

    return wait_until(drawn, START_TIMEOUT, what + ": the scene in " + str(rectangle))


def own_window_rectangle(display_name):
    """Where flowball's own window is: found by its title."""
    env = dict(os.environ, DISPLAY=display_name)

    def found():
        result = subprocess.run(["xdotool", "search", "--name", "^Flowball$"], env=env,
                                capture_output=True, text=True)
        return result.stdout.split()

    window = wait_until(found, START_TIMEOUT, "the window titled Flowball")[0]
    geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], env=env,
                              capture_output=True, text=True, check=True).stdout
    values = dict(line.split("=") for line in geometry.split())
    return int(window), (int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"]))


# The cases. Each gets a fresh virtual display and an Xlib client on it.

def case_own_window_ends_on_each_signal(program, display, client):
    for signal_number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        flowball = Flowball(program, display.name, [])
        _, rectangle = own_window_rectangle(display.name)
        picture = wait_for_scene(flowball, display.name, rectangle, "own window")
        assert picture.is_white_outside(*rectangle), "own window: drawn outside its window"
        end_by_signal(flowball, signal_number, "own window")


def case_own_window_closes_on_keys_and_close_request(program, display, client):
    env = dict(os.environ, DISPLAY=display.name)
    for how in ("Escape", "q", "close"):
        flowball = Flowball(program, display.name, [])
        window, rectangle = own_window_rectangle(display.name)
        wait_for_scene(flowball, display.name, rectangle, "own window")
        if how == "close":
            client.request_close(window)
        else:
            # A key press only: the window is gone before a release could reach it.
            subprocess.run(["xdotool", "keydown", "--window", str(window), how], env=env, check=True,
                           stderr=subprocess.DEVNULL)
        expect_exit(flowball, 0, "own window, " + how)
        assert not any(w == window for w in client.top_level_windows()), "own window left behind"


def case_own_window_resized_draws_at_new_size(program, display, client):
    env = dict(os.environ, DISPLAY=display.name)
    flowball = Flowball(program, display.name, [])
    window, rectangle = own_window_rectangle(display.name)
    wait_for_scene(flowball, display.name, rectangle, "own window")
    subprocess.run(["xdotool", "windowsize", str(window), "500", "700"], env=env, check=True)
    left, top = rectangle[0], rectangle[1]
    picture = wait_for_scene(flowball, display.name, (left, top, 500, 700), "resized window")
    assert picture.is_white_outside(left, top, 500, 700), "resized window: drawn outside it"
    end_by_signal(flowball, signal.SIGTERM, "resized window")


def target_window_case(program, display, client, arguments, environment, what):
    rectangle = (120, 90, 400, 300)
    before = set(client.top_level_windows())
    window = client.create_window(*rectangle)
    flowball = Flowball(program, display.name, arguments(window), environment(window))
    picture = wait_for_scene(flowball, display.name, rectangle, what)
    assert picture.is_white_outside(*rectangle), what + ": drawn outside the given window"
    made = set(client.top_level_windows()) - before - {window}
    assert not made, what + ": flowball made windows of its own: %s" % made
    end_by_signal(flowball, signal.SIGTERM, what)
    client.destroy_window(window)


def case_window_id_draws_there_only(program, display, client):
    for form in ("%d", "0x%x", "0X%X"):
        for dashes in ("-", "--"):
            target_window_case(program, display, client,
                               lambda window: [dashes + "window-id", form % window],
                               lambda window: {}, "%swindow-id %s" % (dashes, form))


def case_environment_window_draws_there_only(program, display, client):
    # With -root too: the daemon's window stands in for the root.
    for arguments in ([], ["-root"]):
        target_window_case(program, display, client, lambda window: arguments,
                           lambda window: {"XSCREENSAVER_WINDOW": "0x%x" % window},
                           "XSCREENSAVER_WINDOW " + " ".join(arguments))


def case_preview_command_line_draws_in_the_pane(program, display, client):
    # The daemon's settings program keeps the mode's -root and adds the
    # preview pane's window: the window wins, over XSCREENSAVER_WINDOW too
    # (here naming the root, which must stay white).
    target_window_case(program, display, client, lambda window: ["-root", "--window-id", "0x%X" % window],
                       lambda window: {}, "-root --window-id")
    target_window_case(program, display, client, lambda window: ["-root", "--window-id", "0x%X" % window],
                       lambda window: {"XSCREENSAVER_WINDOW": "0x%x" % client.root},
                       "-root --window-id, XSCREENSAVER_WINDOW naming the root")


def case_settings_change_the_picture(program, display, client):
    # A blue ball and no bars: the top and bottom rows are no longer black,
    # and the lit pixels are blue, not orange.
    rectangle = (100, 100, 400, 300)
    window = client.create_window(*rectangle)
    flowball = Flowball(program, display.name,
                        ["-window-id", str(window), "-colour", "2060FF", "-no-bars", "-speed", "200"])
    left, top, width, height = rectangle

    def blue_without_bars():
        if not flowball.running():
            raise AssertionError("flowball ended early:\n" + flowball.errors())
        picture = Picture(display.name)
        blue = sum(1 for y in range(top, top + height, 3) for x in range(left, left + width, 3)
                   if picture.at(x, y)[2] > 150 and picture.at(x, y)[0] < 100)
        return (blue > 20 and picture.lit_ball_pixels(left, top, width, height) == 0
                and not picture.row_is_dark(left, width, top + 1)
                and not picture.row_is_dark(left, width, top + height - 2))

    wait_until(blue_without_bars, START_TIMEOUT, "a blue ball without bars")
    end_by_signal(flowball, signal.SIGTERM, "settings")


def case_root_draws_whole_screen(program, display, client):
    for option in ("-root", "--root"):
        flowball = Flowball(program, display.name, [option])
        wait_for_scene(flowball, display.name, (0, 0, SCREEN_WIDTH, SCREEN_HEIGHT), option)
        end_by_signal(flowball, signal.SIGTERM, option)


def case_destroyed_target_ends_it(program, display, client):
    rectangle = (50, 50, 320, 240)
    window = client.create_window(*rectangle)
    flowball = Flowball(program, display.name, ["-window-id", str(window)])
    wait_for_scene(flowball, display.name, rectangle, "given window")
    client.destroy_window(window)
    expect_exit(flowball, 0, "given window destroyed")
    # Its going is no error to report.
    assert "X error" not in flowball.errors(), flowball.errors()


def wait_asleep(flowball, count, what):
    """Until neither a frame nor the main thread's processor time has come
    for a second: the program has started and waits (bounded; a program that
    draws times out)."""
    last = [None, time.monotonic()]

    def settled():
        if not flowball.running():
            raise AssertionError("%s: flowball ended early (%s):\n%s" %
                                 (what, flowball.process.returncode, flowball.errors()))
        now = (count.frames(), FrameCount.main_thread(flowball)[1])
        if now != last[0]:
            last[:] = [now, time.monotonic()]
        return time.monotonic() - last[1] >= 1.0

    wait_until(settled, START_TIMEOUT, what + ": started and asleep")


def case_given_window_changed_as_it_is_read_is_heard(program, display, client):
    """A daemon maps its window about when it starts the program, and may
    unmap it at any moment: mapped or unmapped by another client right after
    the program read its state (the preloaded FLOWBALL_WINDOW_CHANGE_PRELOAD,
    tests/x11/window_change_after_read.c), the window is drawn in once it
    shows, and not before."""
    library = preload_library("FLOWBALL_WINDOW_CHANGE_PRELOAD")
    rectangle = (120, 90, 400, 300)
    for change in ("map", "unmap"):
        what = "given window, %s as it is read" % change
        window = client.create_window(*rectangle)
        if change == "map":
            client.unmap_window(window)
        count = FrameCount()
        environment = dict(count.environment, FLOWBALL_CHANGED_WINDOW=str(window), FLOWBALL_WINDOW_CHANGE=change)
        flowball = Flowball(program, display.name, ["-window-id", str(window)], environment,
                            count.preload + [library])
        try:
            if change == "unmap":
                wait_asleep(flowball, count, what)
                assert count.frames() == 0, "%s: %d frames drawn" % (what, count.frames())
                client.map_window(window)
            wait_for_scene(flowball, display.name, rectangle, what)
            end_by_signal(flowball, signal.SIGTERM, what)
        finally:
            flowball.kill()
            count.remove()
            client.destroy_window(window)


def case_destroyed_target_ends_it_whatever_error_came_with_it(program, display, client):
    """An X error that counts as a failure, read together with the window's
    DestroyNotify (made so by FLOWBALL_ERROR_PRELOAD,
    tests/x11/error_beside_destroy.c): the window's going ends it with 0 all
    the same. Unmapped first, the program sleeps until the DestroyNotify
    wakes it, so that it reads the event with nothing else."""
    library = preload_library("FLOWBALL_ERROR_PRELOAD")
    rectangle = (50, 50, 320, 240)
    window = client.create_window(*rectangle)
    count = FrameCount()
    flowball = Flowball(program, display.name, ["-window-id", str(window)], count.environment,
                        count.preload + [library])
    try:
        wait_for_scene(flowball, display.name, rectangle, "given window")
        client.unmap_window(window)
        wait_asleep(flowball, count, "given window unmapped")
        client.destroy_window(window)
        expect_exit(flowball, 0, "given window destroyed with an X error")
        assert "X error: BadColor" in flowball.errors(), flowball.errors()
    finally:
        flowball.kill()
        count.remove()


def case_missing_target_fails(program, display, client):
    window = client.create_window(10, 10, 50, 50)
    client.destroy_window(window)
    flowball = Flowball(program, display.name, ["-window-id", str(window)])
    expect_exit(flowball, 1, "a window id that names no window")
    assert "no window" in flowball.errors(), flowball.errors()


def case_bad_command_line_makes_no_window(program, display, client):
    before = set(client.top_level_windows())
    for arguments in (["--bogus"], ["-window-id"], ["-window-id", "0"], ["-root", "-window-id"]):
        flowball = Flowball(program, display.name, arguments)
        expect_exit(flowball, 2, " ".join(arguments))
        assert flowball.errors().startswith("flowball: "), flowball.errors()
    flowball = Flowball(program, display.name, [], {"XSCREENSAVER_WINDOW": "nonsense"})
    expect_exit(flowball, 2, "XSCREENSAVER_WINDOW=nonsense")
    assert "XSCREENSAVER_WINDOW" in flowball.errors(), flowball.errors()
    # A terminal's control sequence, its CSI in C1 as a byte of its own and
    # as UTF-8: the message shows the bytes and sends no control.
    for value, shown in ((b"\x9b2J", "\\x9B2J"), (b"\xc2\x9b2J", "\\xC2\\x9B2J")):
        flowball = Flowball(program, display.name, [], {"XSCREENSAVER_WINDOW": os.fsdecode(value)})
        expect_exit(flowball, 2, "XSCREENSAVER_WINDOW=%r" % value)
        message = "flowball: XSCREENSAVER_WINDOW holds no window id (got '%s')" % shown
        assert flowball.errors().splitlines()[0] == message, repr(flowball.errors())
    assert set(client.top_level_windows()) == before, "a bad command line made a window"


def case_unknown_display_is_one_line(program, display, client):
    # A display name that no server answers, with a line break and a
    # terminal's codes in it: the message shows them and stays one line.
    flowball = Flowball(program, ":77\n\x1b[2J", ["--x11"])
    expect_exit(flowball, 1, "a display nobody answers")
    lines = flowball.errors().splitlines()
    assert lines == ["flowball: cannot open the X display ':77\\x0A\\x1B[2J'"], flowball.errors()


def case_fps_readout_in_corner(program, display, client):
    flowball = Flowball(program, display.name, ["-fps"])
    _, (left, top, width, height) = own_window_rectangle(display.name)

    def readout_shown():
        picture = Picture(display.name)
        corner = [picture.at(x, y) for y in range(top, top + 40) for x in range(left, left + 200)]
        return sum(1 for pixel in corner if min(pixel) > 200) > 30

    wait_until(readout_shown, START_TIMEOUT, "white read-out pixels in the top left corner")
    end_by_signal(flowball, signal.SIGTERM, "-fps")


def hide_by_unmapping(client, window):
    client.unmap_window(window)
    return lambda: client.map_window(window)


def hide_by_covering(client, window):
    cover = client.create_window(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT)
    return lambda: client.destroy_window(cover)


def case_hidden_window_draws_nothing_and_sleeps(program, display, client):
    for name, hide in (("unmapped", hide_by_unmapping), ("fully covered", hide_by_covering)):
        count = FrameCount()
        flowball = Flowball(program, display.name, [], count.environment, count.preload)
        try:
            window, _ = own_window_rectangle(display.name)
            wait_frames_grow(flowball, count, name + ", before")
            show = hide(client, window)
            wait_frames_stop(count, name)
            frames = count.frames()
            switches, seconds = FrameCount.main_thread(flowball)
            observed = time.monotonic()
            # A saver that still drew would have drawn hundreds of frames by
            # the time the count is read again.
            wait_until(lambda: time.monotonic() - observed >= 3.0, END_TIMEOUT, "three seconds")
            assert count.frames() == frames, "%s: %d frames drawn while hidden" % (name, count.frames() - frames)
            more_switches, more_seconds = FrameCount.main_thread(flowball)
            elapsed = time.monotonic() - observed
            # Two wake-ups a second are the design; the bound leaves room.
            assert more_switches - switches <= 5 * elapsed, \
                "%s: %d wake-ups in %.1f s" % (name, more_switches - switches, elapsed)
            assert more_seconds - seconds <= 0.1, "%s: %.2f s of processor" % (name, more_seconds - seconds)
            show()
            wait_frames_grow(flowball, count, name + ", shown again")
            expect_drawing(count, name + ", shown again")
            end_by_signal(flowball, signal.SIGTERM, name)
        finally:
            flowball.kill()
            count.remove()


def sleep_figures(flowball, count, what, seconds=3.0):
    """Frames, wake-ups a second (the main thread's own waits) and processor
    seconds a second over a few seconds of a program that should sleep."""
    frames = count.frames()
    switches, processor = FrameCount.main_thread(flowball, ("voluntary",))
    started = time.monotonic()
    wait_until(lambda: time.monotonic() - started >= seconds, END_TIMEOUT, "%.0f seconds" % seconds)
    more_switches, more_processor = FrameCount.main_thread(flowball, ("voluntary",))
    elapsed = time.monotonic() - started
    figures = (count.frames() - frames, (more_switches - switches) / elapsed,
               (more_processor - processor) / elapsed)
    print("  %s: %d frames, %.1f wake-ups a second, %.3f s of processor a second" % ((what,) + figures),
          flush=True)
    return figures


def hide_parent(client, windows):
    client.unmap_window(windows["parent"])
    return lambda: client.map_window(windows["parent"])


def hide_grandparent(client, windows):
    client.unmap_window(windows["grandparent"])
    return lambda: client.map_window(windows["grandparent"])


def hide_by_moving_into_an_unmapped_window(client, windows):
    home = client.create_window(600, 400, 400, 300)
    client.unmap_window(home)
    windows["home"] = home
    client.reparent_window(windows["window"], home, 10, 10)
    return lambda: client.map_window(home)


def case_window_hidden_through_an_ancestor_sleeps(program, display, client):
    """A preview pane in a settings program that is minimised: the window
    itself stays mapped, an ancestor does not. No frames, and it sleeps as an
    unmapped window does until the ancestor shows again."""
    for name, hide in (("parent unmapped", hide_parent), ("grandparent unmapped", hide_grandparent),
                       ("moved into an unmapped window", hide_by_moving_into_an_unmapped_window)):
        grandparent = client.create_window(50, 50, 500, 400)
        parent = client.create_window(20, 20, 440, 340, parent=grandparent)
        window = client.create_window(20, 20, 400, 300, parent=parent)
        windows = {"grandparent": grandparent, "parent": parent, "window": window}
        count = FrameCount()
        flowball = Flowball(program, display.name, ["--window-id", str(window)], count.environment, count.preload)
        try:
            wait_frames_grow(flowball, count, name + ", before")
            show = hide(client, windows)
            wait_frames_stop(count, name)
            frames, wakeups, processor = sleep_figures(flowball, count, name)
            assert frames == 0, "%s: %d frames drawn while hidden" % (name, frames)
            assert wakeups <= 3, "%s: %.1f wake-ups a second" % (name, wakeups)
            assert processor <= 0.03, "%s: %.3f s of processor a second" % (name, processor)
            show()
            wait_frames_grow(flowball, count, name + ", shown again")
            expect_drawing(count, name + ", shown again")
            end_by_signal(flowball, signal.SIGTERM, name)
        finally:
            flowball.kill()
            count.remove()
            for key in ("grandparent", "home"):
                if key in windows:
                    client.destroy_window(windows[key])


class FakePower:
    """The display's power as the fake power control (FLOWBALL_FAKE_DPMS,
    tests/x11/fake_dpms.c) tells it to the program: a file of this object's
    own, read at each of the program's looks."""

    def __init__(self, level):
        self.preload = [preload_library("FLOWBALL_FAKE_DPMS")]
        self.directory = tempfile.mkdtemp(prefix="flowball-power-")
        self.path = os.path.join(self.directory, "level")
        self.environment = {"FLOWBALL_FAKE_DPMS_FILE": self.path}
        self.set(level)

    def set(self, level):
        # Whole or not at all: a look never reads a half-written level.
        staging = self.path + ".new"
        with open(staging, "w") as out:
            out.write(level + "\n")
        os.replace(staging, self.path)

    def remove(self):
        shutil.rmtree(self.directory, ignore_errors=True)


# The power levels that blank the monitor while power saving is enabled.
DISPLAY_OFF_LEVELS = ("off", "standby", "suspend")


def case_display_off_draws_nothing_and_sleeps(program, display, client):
    """With power saving disabled a level of off blanks nothing and drawing
    goes on. Enabled, each level but on stops the drawing, and the program
    only looks at the power twice a second until the display is on again."""
    power = FakePower("off disabled")
    count = FrameCount()
    flowball = Flowball(program, display.name, ["-root"], dict(count.environment, **power.environment),
                        count.preload + power.preload)
    try:
        wait_frames_grow(flowball, count, "off, power saving disabled")
        expect_drawing(count, "off, power saving disabled")
        for level in DISPLAY_OFF_LEVELS:
            what = "display " + level
            power.set(level)
            wait_frames_stop(count, what)
            frames, wakeups, processor = sleep_figures(flowball, count, what)
            assert frames == 0, "%s: %d frames drawn" % (what, frames)
            assert wakeups <= 3, "%s: %.1f wake-ups a second" % (what, wakeups)
            assert processor <= 0.03, "%s: %.3f s of processor a second" % (what, processor)
            power.set("on")
            wait_frames_grow(flowball, count, what + ", on again")
            expect_drawing(count, what + ", on again")
        end_by_signal(flowball, signal.SIGTERM, "display off and on")
    finally:
        flowball.kill()
        count.remove()
        power.remove()


def case_low_frame_rate_wakes_about_once_a_frame(program, display, client):
    count = FrameCount()
    flowball = Flowball(program, display.name, ["--frame-rate", "low"], count.environment, count.preload)
    try:
        own_window_rectangle(display.name)
        wait_frames_grow(flowball, count, "--frame-rate low")
        frames = count.frames()
        # The waits the program asks for: being preempted on a busy machine
        # is not a wake-up of its own.
        switches, _ = FrameCount.main_thread(flowball, ("voluntary",))
        started = time.monotonic()
        wait_until(lambda: time.monotonic() - started >= 3.0, END_TIMEOUT, "three seconds")
        elapsed = time.monotonic() - started
        drawn = (count.frames() - frames) / elapsed
        wakeups = (FrameCount.main_thread(flowball, ("voluntary",))[0] - switches) / elapsed
        print("--frame-rate low: %.1f frames and %.0f waits a second" % (drawn, wakeups), flush=True)
        # Loose bounds. Mesa's software GL itself waits about five times a
        # frame (150 a second at 30 frames); a 5 ms tick adds 200 more.
        assert LEAST_DRAWING_RATE <= drawn <= 31.5, "%.1f frames a second" % drawn
        assert wakeups <= 250, "%.0f waits a second at %.1f frames a second" % (wakeups, drawn)
        end_by_signal(flowball, signal.SIGTERM, "--frame-rate low")
    finally:
        flowball.kill()
        count.remove()


def case_display_rate_is_held_to_200_when_swaps_do_not_wait(program, display, client):
    # A small window draws in far less than 5 ms; vblank_mode=0 has Mesa
    # accept the swap interval and ignore it, as many drivers do.
    window = client.create_window(10, 10, 64, 48)
    count = FrameCount()
    environment = dict(count.environment, vblank_mode="0")
    flowball = Flowball(program, display.name, ["-window-id", str(window), "--frame-rate", "display"],
                        environment, count.preload)
    try:
        wait_frames_grow(flowball, count, "--frame-rate display")
        drawn = frame_rate(count, 2.0)
        print("--frame-rate display, swaps that do not wait: %.0f frames a second" % drawn, flush=True)
        # The 5 ms period holds it to 200; a window this small draws at many
        # times the least drawing rate even on a loaded machine.
        assert 5 * LEAST_DRAWING_RATE <= drawn <= 205, "%.0f frames a second" % drawn
        end_by_signal(flowball, signal.SIGTERM, "--frame-rate display")
    finally:
        flowball.kill()
        count.remove()
    client.destroy_window(window)


def case_lost_display_ends_it(program, display, client):
    flowball = Flowball(program, display.name, [])
    _, rectangle = own_window_rectangle(display.name)
    wait_for_scene(flowball, display.name, rectangle, "own window")
    client.close()
    display.process.kill()
    display.process.wait()
    code = flowball.wait_end()
    assert code != 0, "a lost display ended it with status 0"
    assert "lost the connection" in flowball.errors(), flowball.errors()


class StalledDisplay:
    """A display that never answers: a listening socket at
    /tmp/.X11-unix/XN (its lock file claimed, so that no server takes the
    number) that accepts a connection and never replies."""

    def __init__(self):
        os.makedirs("/tmp/.X11-unix", exist_ok=True)
        for number in range(150, 400):
            lock = "/tmp/.X%d-lock" % number
            try:
                handle = os.open(lock, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o444)
            except FileExistsError:
                continue
            os.write(handle, b"%10d\n" % os.getpid())
            os.close(handle)
            self.lock, self.path = lock, "/tmp/.X11-unix/X%d" % number
            if os.path.exists(self.path):
                os.remove(self.lock)
                continue
            self.name = ":%d" % number
            self.listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            self.listener.bind(self.path)
            self.listener.listen(4)
            self.connections = []
            return
        raise RuntimeError("no free display number for a stalled display")

    def wait_for_client(self):
        """Until a client has connected and sent its set-up request, which
        will never be answered."""
        wait_until(lambda: select.select([self.listener], [], [], 0)[0], START_TIMEOUT, "a connection")
        connection, _ = self.listener.accept()
        self.connections.append(connection)
        wait_until(lambda: select.select([connection], [], [], 0)[0], START_TIMEOUT, "the set-up request")

    def close(self):
        for connection in self.connections:
            connection.close()
        self.listener.close()
        os.remove(self.path)
        os.remove(self.lock)


def end_by_signal_in_time(flowball, signal_number, what):
    """The signal ends the program, stalled as it is, by that signal and
    within the bound; answers how long it took."""
    sent = time.monotonic()
    flowball.process.send_signal(signal_number)
    try:
        code = flowball.process.wait(timeout=SIGNAL_END_BOUND)
    except subprocess.TimeoutExpired:
        flowball.kill()
        raise AssertionError("%s, %s: still running %.0f s after the signal" %
                             (what, signal_number.name, SIGNAL_END_BOUND))
    elapsed = time.monotonic() - sent
    if code != -signal_number:
        raise AssertionError("%s, %s: exit status %d, not death by the signal; stderr:\n%s" %
                             (what, signal_number.name, code, flowball.errors()))
    print("  %s, %s: ended %.3f s after the signal" % (what, signal_number.name, elapsed), flush=True)
    return elapsed


STOP_SIGNALS = (signal.SIGTERM, signal.SIGINT, signal.SIGHUP)


def case_stop_signal_ends_it_while_the_display_never_answers(program, display, client):
    stalled = StalledDisplay()
    try:
        for signal_number in STOP_SIGNALS:
            flowball = Flowball(program, stalled.name, [])
            try:
                stalled.wait_for_client()
                end_by_signal_in_time(flowball, signal_number, "a display that never answers")
            finally:
                flowball.kill()
    finally:
        stalled.close()


def case_stop_signal_ends_it_while_the_display_is_stopped(program, display, client):
    for signal_number in STOP_SIGNALS:
        count = FrameCount()
        flowball = Flowball(program, display.name, [], count.environment, count.preload)
        try:
            own_window_rectangle(display.name)
            wait_frames_grow(flowball, count, "before the display stops")
            display.process.send_signal(signal.SIGSTOP)
            try:
                # No more frames: the program is held by the stopped server.
                wait_frames_stop(count, "the display stopped")
                end_by_signal_in_time(flowball, signal_number, "the display stopped")
            finally:
                display.process.send_signal(signal.SIGCONT)
        finally:
            flowball.kill()
            count.remove()


# -monitors: cases on two outputs (TwoOutputDisplay).

def views_on(display_name, monitors):
    """Each monitor shows its own view, bars sized by its own height, once the
    program has drawn them."""
    return windows_e2e.views_per_monitor(Picture(display_name), monitors)


def wait_for_views(flowball, display_name, monitors, what):
    def drawn():
        if not flowball.running():
            raise AssertionError("%s: flowball ended early (%s):\n%s" %
                                 (what, flowball.process.returncode, flowball.errors()))
        return views_on(display_name, monitors)

    wait_until(drawn, START_TIMEOUT, what + ": a view on each of " + str(monitors))


def monitors_case_root_gives_a_view_per_monitor(program, display, client):
    flowball = Flowball(program, display.name, ["-root"])
    wait_for_views(flowball, display.name, DUMMY_MONITORS, "-root")
    picture = Picture(display.name)
    # The shorter monitor's bars are a share of its own 600 rows, and what
    # lies below it belongs to no monitor.
    assert windows_e2e.black_outside(picture, (1024, 600, 1824, 768)), "below the shorter monitor is not black"
    end_by_signal(flowball, signal.SIGTERM, "-root on two monitors")


def monitors_case_span_gives_one_view(program, display, client):
    flowball = Flowball(program, display.name, ["-root", "-monitors", "span"])
    whole = (0, 0) + DUMMY_SCREEN
    left_monitor, right_monitor = DUMMY_MONITORS

    def one_view():
        if not flowball.running():
            raise AssertionError("-monitors span: flowball ended early:\n" + flowball.errors())
        picture = Picture(display.name)
        # One band centred in the whole screen, its top bar as high over both
        # monitors (a view each would give the shorter one lower bars).
        left = windows_e2e.black_rows(picture, left_monitor, True)
        right = windows_e2e.black_rows(picture, right_monitor, True)
        return (windows_e2e.monitor_shows_its_view(picture, whole) is not None and left >= 20
                and abs(left - right) <= 1)

    wait_until(one_view, START_TIMEOUT, "one view across both monitors")
    end_by_signal(flowball, signal.SIGTERM, "-monitors span")


def monitors_case_layout_change_is_followed(program, display, client):
    """A third output left of the others while the program runs: the root
    grows and each of the three monitors shows its view."""
    flowball = Flowball(program, display.name, ["-root"])
    wait_for_views(flowball, display.name, DUMMY_MONITORS, "-root")
    display.xrandr("--addmode", "DUMMY2", "800x600")
    display.xrandr("--fb", "2624x768", "--output", "DUMMY2", "--mode", "800x600", "--pos", "0x0",
                   "--output", "DUMMY0", "--pos", "800x0", "--output", "DUMMY1", "--pos", "1824x0")
    three = [(0, 0, 800, 600), (800, 0, 1824, 768), (1824, 0, 2624, 600)]
    wait_for_views(flowball, display.name, three, "after a third output came")
    assert windows_e2e.black_outside(Picture(display.name), (0, 600, 800, 768)), "below the new monitor is not black"
    # And back to two: the third monitor's view goes with it.
    display.xrandr("--output", "DUMMY2", "--off", "--output", "DUMMY0", "--pos", "0x0",
                   "--output", "DUMMY1", "--pos", "1024x0", "--fb", "%dx%d" % DUMMY_SCREEN)
    wait_for_views(flowball, display.name, DUMMY_MONITORS, "after the third output went")
    end_by_signal(flowball, signal.SIGTERM, "-root after layout changes")


def monitors_case_own_window_full_screen_gives_a_view_per_monitor(program, display, client):
    env = dict(os.environ, DISPLAY=display.name)
    flowball = Flowball(program, display.name, [])
    window, rectangle = own_window_rectangle(display.name)
    wait_for_scene(flowball, display.name, rectangle, "own window")
    width, height = DUMMY_SCREEN
    subprocess.run(["xdotool", "windowmove", str(window), "0", "0", "windowsize", str(window), str(width),
                    str(height)], env=env, check=True)
    wait_for_views(flowball, display.name, DUMMY_MONITORS, "own window over the whole screen")
    # Smaller again, inside the first monitor: one view in the window.
    subprocess.run(["xdotool", "windowsize", str(window), "600", "400"], env=env, check=True)
    wait_for_scene(flowball, display.name, (0, 0, 600, 400), "own window inside one monitor")
    end_by_signal(flowball, signal.SIGTERM, "own window on two monitors")


def monitors_case_given_window_keeps_one_view(program, display, client):
    # A daemon's window over both monitors: one view, as the daemon gives
    # each monitor a window of its own and this one is not ours to split.
    width, height = DUMMY_SCREEN
    window = client.create_window(0, 0, width, height)
    flowball = Flowball(program, display.name, ["-root"], {"XSCREENSAVER_WINDOW": str(window)})
    wait_for_scene(flowball, display.name, (0, 0, width, height), "the daemon's window over both monitors")
    assert not views_on(display.name, DUMMY_MONITORS), "a view per monitor in a given window"
    end_by_signal(flowball, signal.SIGTERM, "given window on two monitors")
    client.destroy_window(window)


# Each group's cases by name, and the display each case gets afresh.
GROUPS = {
    "xvfb": ({name[len("case_"):]: function for name, function in globals().items()
              if name.startswith("case_")}, virtual_display),
    "monitors": ({name[len("monitors_case_"):]: function for name, function in globals().items()
                  if name.startswith("monitors_case_")}, TwoOutputDisplay),
}
SKIPPED = 77  # ctest's SKIP_RETURN_CODE for these tests


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("--group", choices=sorted(GROUPS), required=True)
    parser.add_argument("cases", nargs="*")
    args = parser.parse_intermixed_args()
    cases, display_class = GROUPS[args.group]
    unknown = [name for name in args.cases if name not in cases]
    if unknown:
        parser.error("no case %s in group %s" % (", ".join(unknown), args.group))
    if display_class is TwoOutputDisplay and not testing.can_run_xorg():
        for name in args.cases or sorted(cases):
            print("SKIP %s: Xorg with two outputs needs root" % name, flush=True)
        return SKIPPED
    failures = 0
    for name in args.cases or sorted(cases):
        display = display_class()
        client = XlibClient(display.name)
        started = time.monotonic()
        try:
            cases[name](args.program, display, client)
            print("PASS %s (%.1f s)" % (name, time.monotonic() - started), flush=True)
        except Exception as error:  # report every case, then fail
            failures += 1
            print("FAIL %s: %s" % (name, error), flush=True)
        finally:
            if display.process.poll() is None:
                client.close()
            display.stop()
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
