#!/usr/bin/env python3
"""End-to-end tests of flowball.scr under Wine on a virtual X display.

Each group starts its own Xvfb (with or without GLX), runs its cases one after
another in the e2e wine prefix and stops every wine process of the prefix at
the end. Input is real X input through xdotool; the saver's windows are looked
at from outside with saver-probe.exe; screenshots come from ImageMagick's
import. Every wait is a poll with a bounded timeout.

usage: run_e2e.py --build-dir DIR --group NAME [--case NAME]
       run_e2e.py --list-groups
"""
import argparse
import ctypes
import os
import shutil
import subprocess
import sys
import time
import traceback

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import flowball_testing as testing  # noqa: E402
from flowball_testing import DUMMY_MONITORS, DUMMY_SCREEN, Failure  # noqa: E402,F401

SCREEN_WIDTH = 800
SCREEN_HEIGHT = 600
SAVER_CLASS = "WindowsScreenSaverClass"
DIALOG_TITLE = "Flowball Setup"

# Exit codes as wine reports them: the low 8 bits of the Windows code.
EXIT_REFUSED = 255          # -1
EXIT_ACCESS_VIOLATION = 5   # 0xC0000005

WM_CLOSE = 0x10

STARTUP_TIMEOUT = 60.0      # the first start of a prefix is slow
TIMEOUT = 20.0


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(condition, what, timeout=TIMEOUT, interval=0.1):
    """testing.wait_until with this runner's usual bound."""
    return testing.wait_until(condition, timeout, what, interval)


def stays(condition, what, duration=1.5, interval=0.1):
    """testing.stays with this runner's usual length."""
    testing.stays(condition, duration, what, interval)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class XCursor:
    """Reads the pointer's current cursor image through XFixes."""

    class Image(ctypes.Structure):
        _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                    ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                    ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                    ("cursor_serial", ctypes.c_ulong),
                    ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                    ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]

    def __init__(self, display):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xfixes = ctypes.CDLL("libXfixes.so.3")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.x11.XFree.argtypes = [ctypes.c_void_p]
        self.xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(XCursor.Image)
        self.xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
        self.display = self.x11.XOpenDisplay(display.encode())
        check(self.display, "cannot open display " + display)

    def hidden(self):
        image = self.xfixes.XFixesGetCursorImage(self.display)
        check(bool(image), "no cursor image")
        count = image.contents.width * image.contents.height
        visible = any((image.contents.pixels[i] >> 24) & 0xFF for i in range(count))
        self.x11.XFree(image)
        return not visible

    def create_window(self):
        """A plain X window of another client, unmapped; it lives as long as
        this connection."""
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x11.XCreateSimpleWindow.restype = ctypes.c_ulong
        self.x11.XCreateSimpleWindow.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
            ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        root = self.x11.XDefaultRootWindow(self.display)
        window = self.x11.XCreateSimpleWindow(self.display, root, 0, 0, 120, 80, 0, 0, 0xFFFFFF)
        self.x11.XSync(self.display, 0)
        return window

    def destroy_window(self, window):
        """Destroys a window of create_window and gives the keyboard focus
        back to whatever window is under the pointer, as Xvfb starts."""
        pointer_root = 1
        self.x11.XDestroyWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XSetInputFocus.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                            ctypes.c_ulong]
        self.x11.XDestroyWindow(self.display, window)
        self.x11.XSetInputFocus(self.display, pointer_root, pointer_root, 0)
        self.x11.XSync(self.display, 0)

    def close(self):
        self.x11.XCloseDisplay(self.display)


class Picture:
    """A screenshot as rows of (r, g, b)."""

    def __init__(self, path, display=None):
        if display:
            subprocess.run(["import", "-display", display, "-window", "root", path],
                           check=True, timeout=TIMEOUT)
        data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                              capture_output=True, timeout=TIMEOUT).stdout
        fields = data.split(maxsplit=4)
        check(fields[0] == b"P6", "unexpected picture format")
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = fields[4]
        self.path = path

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def row(self, y):
        return [self.at(x, y) for x in range(0, self.width, 4)]

    def all_black(self):
        return not any(self.pixels)

    def count(self, test, step=4):
        return sum(1 for y in range(0, self.height, step) for x in range(0, self.width, step)
                   if test(self.at(x, y)))


def is_black(p):
    return max(p) <= 8


def is_dark_blue(p):
    r, g, b = p
    return b >= 24 and b > r + 12 and b > g + 8 and max(r, g) < 120


def is_ball(p):
    """The lit, textured orange ball: red and green well above blue, from
    orange to the yellow of the texture's bright spots."""
    r, g, b = p
    return r >= 80 and r >= b + 50 and g >= b and g * 4 <= r * 5


def wine_loader(arch):
    """The Wine loader of the prefix's width. Where 32-bit Wine is installed,
    `wine` is the 32-bit loader, and its own programs (reg, start) are 32-bit
    ones: in a 64-bit prefix they read and write the 32-bit programs' copy of
    HKLM\\Software and take C:\\windows\\system32 for the 32-bit system
    folder."""
    if arch == "win64":
        for candidate in (shutil.which("wine64"), "/usr/lib/wine/wine64"):
            if candidate and os.access(candidate, os.X_OK):
                return candidate
    return "wine"


def wine_arch(build_dir):
    """win32 or win64: the prefix architecture the build's cache records."""
    with open(os.path.join(build_dir, "CMakeCache.txt")) as cache:
        for line in cache:
            if line.startswith("FLOWBALL_WINEARCH:INTERNAL="):
                return line.split("=", 1)[1].strip()
    raise Failure("%s is not a configured Windows build folder" % build_dir)


def probe_answers(lines):
    """saver-probe's "key value" lines as a dict; blank lines are skipped."""
    return dict(line.strip().partition(" ")[::2] for line in lines if line.strip())


class Session:
    """One X display, a wine prefix (the e2e one unless given) and the
    helpers of one group."""

    needs_xorg = False

    def __init__(self, build_dir, work_dir, glx, prefix=None):
        self.build_dir = build_dir
        self.work_dir = work_dir
        self.prefix = prefix or os.path.join(build_dir, "e2e", "prefix")
        self.processes = []
        os.makedirs(work_dir, exist_ok=True)
        # Wine starts every Windows process through a double fork: adopted,
        # they stay this runner's descendants, where the cases find them.
        testing.adopt_orphans()
        self.stage_programs()
        self.server = self.start_server(glx)
        self.display = self.server.name
        self.env = dict(os.environ)
        self.env.update({
            "DISPLAY": self.display,
            "WINEPREFIX": self.prefix,
            # A 64-bit build needs a 64-bit prefix; the 32-bit one a 32-bit one.
            "WINEARCH": wine_arch(build_dir),
            "WINEDEBUG": "-all",
            # No Mono or Gecko installers on a fresh prefix.
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "FLOWBALL_E2E_DIR": windows_path(work_dir),
        })
        self.env.pop("WAYLAND_DISPLAY", None)
        self.wine = wine_loader(self.env["WINEARCH"])
        self.init_prefix()
        self.cursor = XCursor(self.display)

    # --- set-up -----------------------------------------------------------

    def stage_programs(self):
        """The saver and its test DLLs side by side, where LoadLibraryA finds
        them first."""
        self.stage = os.path.join(self.work_dir, "bin")
        os.makedirs(self.stage, exist_ok=True)
        helpers = os.path.join(self.build_dir, "e2e")
        for source in (os.path.join(self.build_dir, "flowball.scr"),
                       os.path.join(self.build_dir, "preview-host.exe"),
                       os.path.join(helpers, "saver-probe.exe"),
                       os.path.join(helpers, "PASSWORD.CPL"),
                       os.path.join(helpers, "mpr.dll")):
            check(os.path.exists(source), "missing " + source + " (build it first)")
            shutil.copy2(source, self.stage)
        self.saver = os.path.join(self.stage, "flowball.scr")

    def start_server(self, glx):
        return testing.xvfb(SCREEN_WIDTH, SCREEN_HEIGHT, glx)

    def start_wineserver(self):
        """One persistent wineserver for the group, started with none of our
        pipes: a server that inherited a probe's output pipe would keep it
        open, and reading the probe's answer would wait for the server."""
        subprocess.run(["wineserver", "-p"], env=self.env, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop_wine(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.reap()

    def reap(self):
        """Reaps the adopted Windows processes that ended; the exit status of
        what this session started itself stays for its cases to read."""
        testing.reap_adopted([p.pid for p in self.processes if p.returncode is None]
                             + [self.server.process.pid])

    def init_prefix(self):
        self.start_wineserver()
        if not os.path.exists(os.path.join(self.prefix, "system.reg")):
            os.makedirs(self.prefix, exist_ok=True)
            subprocess.run([self.wine, "wineboot", "-i"], env=self.env, timeout=300,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # An unhandled fault finds no debugger to start, as on a Windows
        # without one, and the system's filter lets the fault's handler run.
        aedebug = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug"
        self.reg("add", aedebug, "/v", "Auto", "/d", "1", "/f")
        self.reg("add", aedebug, "/v", "Debugger", "/d", "no-debugger-here.exe %ld %ld", "/f")
        self.set_windows_version(None)
        self.set_use_password(False)

    def reg_command(self, *args):
        """wine reg with args, on the prefix's registry."""
        return [self.wine, "reg"] + list(args)

    def reg(self, *args):
        subprocess.run(self.reg_command(*args), env=self.env, timeout=120,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.reap()

    def set_windows_version(self, version):
        key = r"HKCU\Software\Wine\AppDefaults\flowball.scr"
        if version:
            self.reg("add", key, "/v", "Version", "/d", version, "/f")
        else:
            self.reg("delete", key, "/f")

    def set_use_password(self, on):
        self.reg("add", r"HKCU\Control Panel\Desktop", "/v", "ScreenSaveUsePassword",
                 "/t", "REG_DWORD", "/d", "1" if on else "0", "/f")

    def close(self):
        self.stop_wine()
        self.cursor.close()
        self.server.stop()

    # --- programs ---------------------------------------------------------

    def start(self, program, *args, env=None, stderr=None):
        environment = dict(self.env)
        environment.update(env or {})
        process = subprocess.Popen([self.wine, program] + list(args), env=environment,
                                   stdout=subprocess.DEVNULL,
                                   stderr=stderr if stderr else subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def start_saver(self, *args, **kwargs):
        return self.start(self.saver, *args, **kwargs)

    def exit_code(self, process, timeout=TIMEOUT):
        try:
            return process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("process still running after %.0f s" % timeout)

    def probe_command(self, *args):
        return [self.wine, os.path.join(self.stage, "saver-probe.exe")] + [str(a) for a in args]

    def probe(self, *args):
        """saver-probe's "key value" lines as a dict. Each look is kept in
        probes.log beside the group's other logs, with its status and what
        Wine wrote on stderr, so that an answer missing from a failed check
        tells whether the probe itself failed."""
        result = subprocess.run(self.probe_command(*args), env=self.env, timeout=TIMEOUT * 3,
                                capture_output=True, text=True)
        self.reap()
        with open(self.log_path("probes.log"), "a") as log:
            log.write("saver-probe %s: status %d\n%s%s\n" % (" ".join(str(a) for a in args), result.returncode,
                                                             result.stdout, result.stderr))
        return probe_answers(result.stdout.splitlines())

    def child_texts(self, handle):
        """saver-probe texts: the texts of a window's children, in order."""
        result = subprocess.run([self.wine, os.path.join(self.stage, "saver-probe.exe"), "texts", str(handle)],
                                env=self.env, timeout=TIMEOUT * 3, capture_output=True, text=True)
        self.reap()
        return [line[len("text "):] for line in result.stdout.splitlines() if line.startswith("text ")]

    def window(self, title, cls=SAVER_CLASS, parent=None):
        args = ["window", cls, title] + ([parent] if parent else [])
        answer = self.probe(*args)
        return answer if answer.get("found") == "1" else None

    def wait_window(self, title, cls=SAVER_CLASS, parent=None, timeout=STARTUP_TIMEOUT):
        return wait_for(lambda: self.window(title, cls, parent),
                        "window '%s' of class %s" % (title, cls), timeout)

    def run_exact(self, tail, timeout=TIMEOUT):
        """Runs the saver with exactly the command line '"saver" tail'."""
        answer = self.probe("run", windows_path(self.saver), tail)
        check("exit" in answer, "the saver did not start")
        return int(answer["exit"]) & 0xFF

    # --- X ----------------------------------------------------------------

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, check=True,
                       timeout=TIMEOUT)

    def screenshot(self, name):
        return Picture(os.path.join(self.work_dir, name), self.display)

    # --- logs -------------------------------------------------------------

    def log_path(self, name):
        return os.path.join(self.work_dir, name)

    def log_lines(self, name):
        try:
            with open(self.log_path(name)) as log:
                return [line.strip() for line in log]
        except FileNotFoundError:
            return []

    def reset_log(self, name):
        if os.path.exists(self.log_path(name)):
            os.remove(self.log_path(name))


# --- helpers shared by the cases ---------------------------------------------

def frame_shows_scene(picture):
    """Black bars at the top and bottom, between them the dark blue band, and
    the ball in it (which fills the band when the camera comes close)."""
    top = picture.row(0)
    bottom = picture.row(picture.height - 1)
    middle = picture.row(picture.height // 2)
    return (all(is_black(p) for p in top) and all(is_black(p) for p in bottom)
            and sum(is_dark_blue(p) or is_ball(p) for p in middle) > len(middle) // 4
            and picture.count(is_ball) > 20)


def start_fullscreen(session, **kwargs):
    """Starts /s and waits until it covers the screen and draws."""
    saver = session.start_saver("/s", **kwargs)
    session.wait_window("Screen Saver")
    wait_for(lambda: frame_shows_scene(session.screenshot("frame.png")) or saver.poll() is not None,
             "the first frame", STARTUP_TIMEOUT, 0.3)
    check(saver.poll() is None, "the saver ended by itself with %s" % saver.poll())
    return saver


def end_with_key(session, saver):
    session.xdotool("key", "space")
    check(session.exit_code(saver) == 0, "exit code after a key press is not 0")


def pointer_at(session):
    out = subprocess.run(["xdotool", "getmouselocation"], env=session.env, capture_output=True,
                         text=True, timeout=TIMEOUT).stdout
    fields = dict(f.split(":", 1) for f in out.split() if ":" in f)
    return int(fields["x"]), int(fields["y"])


def move_pointer(session, x, y):
    # xdotool's --sync waits for a movement, which never comes when the
    # pointer is already there: poll the position instead.
    session.xdotool("mousemove", x, y)
    wait_for(lambda: pointer_at(session) == (x, y), "the pointer at (%d, %d)" % (x, y), 5)


def pointer_to_centre(session):
    move_pointer(session, SCREEN_WIDTH // 2, SCREEN_HEIGHT // 2)


# --- full screen -------------------------------------------------------------

def case_fullscreen_covers_screen_and_draws(session):
    pointer_to_centre(session)
    saver = start_fullscreen(session)
    window = session.window("Screen Saver")
    check(window["rect"] == "0 0 %d %d" % (SCREEN_WIDTH, SCREEN_HEIGHT),
          "window rectangle is %s" % window["rect"])
    check(window["screen"] == "%d %d" % (SCREEN_WIDTH, SCREEN_HEIGHT), "screen size")
    check(window["topmost"] == "1", "window is not topmost")
    check(int(window["style"], 16) & 0xFFFF0000 == 0x96000000,
          "style is %s" % window["style"])
    check(window["visible"] == "1", "window is not visible")
    wait_for(session.cursor.hidden, "the cursor to be hidden", 5)
    first = session.screenshot("fullscreen-1.png")
    check(frame_shows_scene(first), "the frame shows no bars, band and ball")
    wait_for(lambda: session.screenshot("fullscreen-2.png").pixels != first.pixels,
             "a later frame that differs", 10, 0.2)
    check(saver.poll() is None, "the saver ended by itself")
    end_with_key(session, saver)


def ends_on(action):
    def case(session):
        pointer_to_centre(session)
        saver = start_fullscreen(session)
        action(session)
        check(session.exit_code(saver) == 0, "exit code is not 0")
    return case


def key_press(session):
    session.xdotool("key", "a")


def click(session):
    session.xdotool("click", "1")


def right_click(session):
    session.xdotool("click", "3")


def move_five_pixels(session):
    session.xdotool("mousemove_relative", "--sync", "3", "2")


def many_small_moves(session):
    # Each step is within the threshold; their sum from the anchor is not.
    for _ in range(3):
        session.xdotool("mousemove_relative", "--sync", "1", "1")
        time.sleep(0.1)


def loss_of_activation(session):
    # Xvfb has no window manager to give the saver the keyboard focus on
    # start; give it as one would, then let another program's window take it.
    saver = subprocess.run(["xdotool", "search", "--name", "Screen Saver"], env=session.env,
                           capture_output=True, text=True, timeout=TIMEOUT).stdout.split()
    check(saver, "no X window for the saver")
    session.xdotool("windowfocus", "--sync", saver[0])
    stays(lambda: pointer_at(session) is not None, "a moment with the focus", 0.5)
    other = session.cursor.create_window()
    try:
        session.xdotool("windowmap", "--sync", other)
        session.xdotool("windowfocus", "--sync", other)
        wait_for(lambda: session.window("Screen Saver") is None, "the saver window to go")
    finally:
        session.cursor.destroy_window(other)


def case_fullscreen_keeps_running_on_four_pixel_move(session):
    pointer_to_centre(session)
    saver = start_fullscreen(session)
    session.xdotool("mousemove_relative", "--sync", "3", "1")
    stays(lambda: saver.poll() is None, "the saver runs after a drift of 4 pixels")
    end_with_key(session, saver)


WM_SYSCOMMAND = 0x112
WM_POWER = 0x48
WM_POWERBROADCAST = 0x218
SC_NEXTWINDOW = 0xF040
SC_SCREENSAVE = 0xF140
SC_CLOSE = 0xF060
PWR_SUSPENDREQUEST = 3


def post_to_saver(session, message, wparam):
    window = session.window("Screen Saver")
    check(window, "no saver window")
    check(session.probe("post", window["handle"], message, wparam, 0).get("posted") == "1",
          "message 0x%X not posted" % message)


def case_fullscreen_refuses_title_and_task_switch_messages(session):
    pointer_to_centre(session)
    saver = start_fullscreen(session)
    window = session.window("Screen Saver")
    check(session.probe("settext", window["handle"], "Renamed").get("reply") == "0",
          "WM_SETTEXT not answered 0")
    check(session.window("Screen Saver"), "the title changed")
    for command in (SC_NEXTWINDOW, SC_SCREENSAVE):
        post_to_saver(session, WM_SYSCOMMAND, command)
    post_to_saver(session, WM_POWER, 1)  # a power event other than a suspend request
    stays(lambda: saver.poll() is None, "the saver runs after refused system commands")
    post_to_saver(session, WM_SYSCOMMAND, SC_CLOSE)
    check(session.exit_code(saver) == 0, "SC_CLOSE did not end the saver with 0")


def ends_on_message(message, wparam):
    def action(session):
        post_to_saver(session, message, wparam)
    return ends_on(action)


def case_fullscreen_ignores_autoplay_outside_win9x(session):
    pointer_to_centre(session)
    saver = start_fullscreen(session)
    window = session.window("Screen Saver")
    check(session.probe("autoplay", window["handle"]).get("reply") == "0",
          "AutoPlay answered outside Windows 9x")
    stays(lambda: saver.poll() is None, "the saver runs after the AutoPlay query")
    end_with_key(session, saver)


def case_second_instance_raises_first(session):
    pointer_to_centre(session)
    first = start_fullscreen(session)
    before = session.window("Screen Saver")
    second = session.start_saver("/s")
    check(session.exit_code(second, STARTUP_TIMEOUT) == 0, "second /s did not exit with 0")
    check(first.poll() is None, "the first saver ended")
    after = session.window("Screen Saver")
    check(after and after["handle"] == before["handle"], "the running saver's window changed")
    check(after["foreground"] == "1", "the running saver is not in front")
    end_with_key(session, first)


# --- preview -----------------------------------------------------------------

PREVIEW_LOG = "preview-host.log"
PREVIEW_SIZE = (304, 224)  # the preview host's preview area


def start_preview_host(session):
    session.reset_log(PREVIEW_LOG)
    host = session.start(os.path.join(session.stage, "preview-host.exe"), "--log",
                         windows_path(session.log_path(PREVIEW_LOG)),
                         windows_path(session.saver))
    lines = wait_for(lambda: [l for l in session.log_lines(PREVIEW_LOG)
                              if l.startswith("saver-started")] and session.log_lines(PREVIEW_LOG),
                     "the preview host", STARTUP_TIMEOUT)
    handles = dict(line.split(" ", 1) for line in lines if line.split(" ")[0] in ("host", "preview"))
    return host, handles["host"], handles["preview"]


def preview_gl_windows(session):
    """The X windows of the preview's size that have no name: where wine
    draws the OpenGL of a child window. Wine keeps them offscreen when the
    parent window belongs to another process, so they are read directly."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], env=session.env, capture_output=True,
                          text=True, timeout=TIMEOUT).stdout
    return [line.split()[0] for line in tree.splitlines()
            if "(has no name)" in line and " %dx%d+" % PREVIEW_SIZE in line]


def preview_shows_ball(session, is_ball_colour=is_ball):
    for window in preview_gl_windows(session):
        path = os.path.join(session.work_dir, "preview.png")
        subprocess.run(["import", "-display", session.display, "-window", window, path],
                       check=True, timeout=TIMEOUT)
        if Picture(path).count(is_ball_colour, 2) > 5:
            return True
    return False


def case_preview_draws_inside_parent_and_ignores_input(session):
    host, host_window, area = start_preview_host(session)
    # The window becomes visible once its creation, the scene build, is done.
    saver = wait_for(lambda: (lambda w: w if w and w["visible"] == "1" else None)(
        session.window("Preview", parent=area)), "a visible preview window", STARTUP_TIMEOUT)
    left, top, right, bottom = (int(v) for v in saver["rect"].split())
    check((right - left, bottom - top) == PREVIEW_SIZE,
          "preview size is %dx%d" % (right - left, bottom - top))
    check(int(saver["style"], 16) & 0xFFFF0000 == 0x52000000, "style is %s" % saver["style"])
    wait_for(lambda: preview_shows_ball(session), "the ball in the preview", STARTUP_TIMEOUT, 0.3)

    # Input inside the preview never ends it.
    move_pointer(session, left + 40, top + 40)
    session.xdotool("click", "1")
    move_pointer(session, left + 120, top + 100)
    session.xdotool("key", "a")
    stays(lambda: session.window("Preview", parent=area) and host.poll() is None,
          "the preview runs after clicks, moves and keys")

    # Help and context-menu requests go to the parent, with the parent as WPARAM.
    session.xdotool("click", "3")
    wait_for(lambda: "message contextmenu wparam " + area in session.log_lines(PREVIEW_LOG),
             "the context-menu request at the parent", 10)
    # A help request is answered with 1; case_preview_help_reaches_parent_with_its_data
    # follows it to the parent.
    check(session.probe("help", saver["handle"]).get("reply") == "1", "WM_HELP not answered 1")
    check(session.window("Preview", parent=area), "the preview ended on a help request")

    # Destroying the parent ends the saver, which exits with 0.
    session.probe("post", host_window, WM_CLOSE, 0, 0)
    wait_for(lambda: any(l.startswith("saver-exit") for l in session.log_lines(PREVIEW_LOG)),
             "the saver to end with its parent")
    check("saver-exit 0" in session.log_lines(PREVIEW_LOG),
          "saver exit: %s" % session.log_lines(PREVIEW_LOG)[-1])
    check(session.exit_code(host) == 0, "the preview host did not exit with 0")


def wait_preview_created(session, area):
    """The preview window once its creation, the scene build, is done: it
    becomes visible then. A parent destroyed while the saver is still inside
    CreateWindowExA fails the creation, and the saver exits with -1."""
    return wait_for(lambda: (lambda w: w if w and w["visible"] == "1" else None)(
        session.window("Preview", parent=area)), "a visible preview window", STARTUP_TIMEOUT)


def case_preview_without_live_parent_is_refused(session):
    host, host_window, area = start_preview_host(session)
    wait_preview_created(session, area)
    session.probe("post", host_window, WM_CLOSE, 0, 0)
    check(session.exit_code(host) == 0, "the preview host did not exit with 0")
    for tail in ("/p", "/p 0", "/p x", "/l", "/p " + area):
        code = session.run_exact(tail)
        check(code == EXIT_REFUSED, "'%s' exited with %d, not -1" % (tail, code))


# --- configuration dialog and command line ---------------------------------

def focus_dialog(session):
    """Gives the dialog the keyboard focus; False while its X window cannot
    take it yet (not mapped)."""
    result = subprocess.run(["xdotool", "search", "--sync", "--name", DIALOG_TITLE,
                             "windowfocus", "--sync", "%1"], env=session.env, timeout=TIMEOUT,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return result.returncode == 0


def wait_dialog_focused(session):
    """Waits until the dialog is shown (the window exists, hidden, while it
    fills its controls) and has the keyboard focus; returns the probe's view
    of it."""
    dialog = wait_for(lambda: (lambda w: w if w and w["visible"] == "1" else None)(
        session.window(DIALOG_TITLE, cls="#32770")), "the settings dialog", STARTUP_TIMEOUT)
    wait_for(lambda: focus_dialog(session), "the focus on the dialog")
    return dialog


def answer_dialog(session, process, key, expected, owner=None):
    dialog = wait_dialog_focused(session)
    if owner is not None:
        check(dialog["owner"] == owner, "dialog owner %s, not %s" % (dialog["owner"], owner))
    session.xdotool("key", key)
    code = session.exit_code(process)
    check(code == expected, "dialog result %d, not %d" % (code, expected))


def case_dialog_ok_and_cancel(session):
    for args, key, expected in ((["/c"], "Return", 1), (["/c"], "Escape", 0),
                                ([], "Return", 1), (["-C"], "Escape", 0)):
        answer_dialog(session, session.start_saver(*args), key, expected)


def case_dialog_owned_by_given_window(session):
    host, host_window, area = start_preview_host(session)
    answer_dialog(session, session.start_saver("/c:" + host_window), "Escape", 0,
                  owner=host_window)
    wait_preview_created(session, area)
    session.probe("post", host_window, WM_CLOSE, 0, 0)
    check(session.exit_code(host) == 0, "the preview host did not exit with 0")


def case_unknown_switches_are_refused(session):
    for tail in ("/x", "5", "/\\ts", "/a 1234", "/A"):
        code = session.run_exact(tail)
        check(code == EXIT_REFUSED, "'%s' exited with %d, not -1" % (tail, code))


def case_quoted_program_path_with_spaces(session):
    folder = os.path.join(session.work_dir, "saver folder")
    os.makedirs(folder, exist_ok=True)
    shutil.copy2(session.saver, folder)
    saver = os.path.join(folder, "flowball.scr")
    answer = session.probe("run", windows_path(saver), "/x")
    check(int(answer.get("exit", "0")) & 0xFF == EXIT_REFUSED, "quoted path: %s" % answer)


# --- settings ------------------------------------------------------------------

SETTINGS_KEY = r"HKCU\Software\Flowball"
DEFAULT_SETTINGS = {"Texture": 4, "Colour": 0xFFCC00, "Speed": 100, "Bars": 1, "Detail": 32,
                    "Stars": 0, "Particles": 0, "Fog": 0, "Underlay": 0, "Overlay": 0,
                    "FrameRate": 0, "Monitors": 0}


def stored_settings(session):
    """The REG_DWORD values under the settings key, by name."""
    result = subprocess.run(session.reg_command("query", SETTINGS_KEY), env=session.env,
                            capture_output=True, text=True, timeout=120)
    values = {}
    for line in result.stdout.splitlines():
        fields = line.split()
        if len(fields) == 3 and fields[1] == "REG_DWORD":
            values[fields[0]] = int(fields[2], 16)
    return values


def store_settings(session, values):
    for name, (kind, data) in values.items():
        session.reg("add", SETTINGS_KEY, "/v", name, "/t", kind, "/d", data, "/f")


def forget_settings(session):
    session.reg("delete", SETTINGS_KEY, "/f")


def with_fresh_settings(case):
    """Runs the case with no stored settings before and after it."""
    def run(session):
        forget_settings(session)
        try:
            case(session)
        finally:
            forget_settings(session)
    run.__name__ = case.__name__
    return run


def is_blue_ball(p):
    r, g, b = p
    return b >= 80 and b >= r + 40


def open_dialog(session):
    process = session.start_saver("/c")
    wait_dialog_focused(session)
    return process


def close_dialog(session, process, key, expected):
    session.xdotool("key", key)
    code = session.exit_code(process)
    check(code == expected, "dialog result %d, not %d" % (code, expected))


@with_fresh_settings
def case_settings_stored_values_change_what_the_saver_draws(session):
    store_settings(session, {"Colour": ("REG_DWORD", "0x3366FF"), "Bars": ("REG_DWORD", "0"),
                             "FrameRate": ("REG_DWORD", "1")})
    pointer_to_centre(session)
    saver = session.start_saver("/s")
    session.wait_window("Screen Saver")

    def blue_without_bars():
        picture = session.screenshot("settings-blue.png")
        return (picture.count(is_blue_ball) > 100 and picture.count(is_ball) == 0
                and not all(is_black(p) for p in picture.row(0))
                and not all(is_black(p) for p in picture.row(picture.height - 1)))
    wait_for(lambda: blue_without_bars() or saver.poll() is not None,
             "a blue ball filling the screen", STARTUP_TIMEOUT, 0.3)
    check(saver.poll() is None, "the saver ended by itself with %s" % saver.poll())
    end_with_key(session, saver)


@with_fresh_settings
def case_settings_preview_reads_them_too(session):
    store_settings(session, {"Colour": ("REG_DWORD", "0x3366FF")})
    host, host_window, area = start_preview_host(session)
    wait_for(lambda: preview_shows_ball(session, is_blue_ball), "a blue ball in the preview",
             STARTUP_TIMEOUT, 0.3)
    check(not preview_shows_ball(session), "an orange ball in the preview")
    session.probe("post", host_window, WM_CLOSE, 0, 0)
    check(session.exit_code(host) == 0, "the preview host did not exit with 0")


@with_fresh_settings
def case_settings_dialog_colour_chooser_opens_and_cancels(session):
    dialog = open_dialog(session)
    session.xdotool("key", "alt+c")
    chooser = wait_for(lambda: (lambda w: w if w and w["visible"] == "1" else None)(
        session.window("Color", cls="#32770")), "the colour chooser")
    check(chooser["owner"] != "0", "the colour chooser has no owner")
    wait_for(lambda: subprocess.run(["xdotool", "search", "--sync", "--name", "^Color$",
                                     "windowfocus", "--sync", "%1"], env=session.env,
                                    timeout=TIMEOUT, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL).returncode == 0,
             "the focus on the colour chooser")
    session.xdotool("key", "Escape")
    wait_for(lambda: session.window("Color", cls="#32770") is None, "the colour chooser to close")
    wait_for(lambda: focus_dialog(session), "the focus back on the dialog")
    close_dialog(session, dialog, "Return", 1)
    check(stored_settings(session) == DEFAULT_SETTINGS, "stored %s" % stored_settings(session))


@with_fresh_settings
def case_settings_dialog_ok_stores_what_was_changed(session):
    dialog = open_dialog(session)
    # Stars on by their access key; the speed one step up on its slider.
    session.xdotool("key", "alt+a")
    session.xdotool("key", "alt+s", "Right")
    close_dialog(session, dialog, "Return", 1)
    expected = dict(DEFAULT_SETTINGS, Stars=1, Speed=105)
    check(stored_settings(session) == expected, "stored %s" % stored_settings(session))


@with_fresh_settings
def case_settings_dialog_cancel_stores_nothing(session):
    store_settings(session, {"Speed": ("REG_DWORD", "200")})
    dialog = open_dialog(session)
    session.xdotool("key", "alt+a", "alt+b", "alt+s", "End")
    close_dialog(session, dialog, "Escape", 0)
    check(stored_settings(session) == {"Speed": 200}, "stored %s" % stored_settings(session))


@with_fresh_settings
def case_settings_dialog_defaults_button(session):
    store_settings(session, {"Texture": ("REG_DWORD", "10"), "Colour": ("REG_DWORD", "0x112233"),
                             "Speed": ("REG_DWORD", "300"), "Stars": ("REG_DWORD", "1"),
                             "Detail": ("REG_DWORD", "64"), "FrameRate": ("REG_DWORD", "2"),
                             "Monitors": ("REG_DWORD", "1")})
    dialog = open_dialog(session)
    session.xdotool("key", "alt+e")
    close_dialog(session, dialog, "Return", 1)
    check(stored_settings(session) == DEFAULT_SETTINGS, "stored %s" % stored_settings(session))


@with_fresh_settings
def case_settings_garbage_gives_defaults(session):
    store_settings(session, {"Speed": ("REG_SZ", "fast"), "Colour": ("REG_DWORD", "0xFFFFFFFF"),
                             "Texture": ("REG_DWORD", "0xFFFFFFFF"), "Bars": ("REG_SZ", "0"),
                             "Detail": ("REG_BINARY", "20000000000000000000"),
                             "FrameRate": ("REG_DWORD", "0xFFFFFFFF")})
    session.reg("add", SETTINGS_KEY + r"\Stars", "/f")
    pointer_to_centre(session)
    # The designed scene: bars, band and the orange ball.
    saver = start_fullscreen(session)
    end_with_key(session, saver)
    # The dialog shows what was used; OK stores it as proper values.
    dialog = open_dialog(session)
    close_dialog(session, dialog, "Return", 1)
    check(stored_settings(session) == DEFAULT_SETTINGS, "stored %s" % stored_settings(session))


def swap_count(trace_path):
    with open(trace_path, errors="replace") as trace:
        return sum(1 for line in trace if "SwapBuffers" in line)


# Frames a second. The least rate that counts as drawing: far below what any
# setting is designed for, even under Wine with software GL on a loaded
# two-core machine, and far above the two looks a second of a saver that only
# checks whether it can be seen.
LEAST_DRAWING_RATE = 8.0


def swap_rate(trace_path, seconds):
    """Frames a second over the next seconds, from the trace of wgl calls."""
    started, first = time.monotonic(), swap_count(trace_path)
    wait_for(lambda: time.monotonic() - started >= seconds, "%.0f seconds of frames" % seconds,
             seconds + TIMEOUT, 0.2)
    return (swap_count(trace_path) - first) / (time.monotonic() - started)


def expect_drawing(trace_path, what):
    """Frames come at a drawing rate again, not one an idle look would give."""
    rate = swap_rate(trace_path, 2.0)
    print("%s: %.1f frames a second" % (what, rate), flush=True)
    check(rate >= LEAST_DRAWING_RATE, "%s: %.1f frames a second" % (what, rate))


SAVE_FAILED_TITLE = "Flowball: settings not saved"


def focus_window_named(session, title):
    result = subprocess.run(["xdotool", "search", "--sync", "--name", "^%s$" % title,
                             "windowfocus", "--sync", "%1"], env=session.env, timeout=TIMEOUT,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return result.returncode == 0


@with_fresh_settings
def case_settings_failed_save_says_so_and_keeps_the_dialog(session):
    """OK on a settings key that nobody may write: a message names the key,
    the dialog stays open, and once the key may be written OK saves."""
    key = r"Software\Flowball"
    check(session.probe("lock-key", key).get("set") == "1", "the settings key could not be locked")
    try:
        process = open_dialog(session)
        session.xdotool("key", "Return")
        box = wait_for(lambda: (lambda w: w if w and w["visible"] == "1" else None)(
            session.window(SAVE_FAILED_TITLE, cls="#32770")), "the message that saving failed")
        message = " ".join(session.child_texts(box["handle"]))
        check(r"the registry key HKEY_CURRENT_USER\Software\Flowball could not be opened for writing"
              in message, "the message: %s" % message)
        check("No setting was changed." in message, "the message: %s" % message)
        wait_for(lambda: focus_window_named(session, SAVE_FAILED_TITLE), "the focus on the message")
        session.xdotool("key", "Return")
        wait_for(lambda: session.window(SAVE_FAILED_TITLE, cls="#32770") is None, "the message to close")
        check(process.poll() is None, "the dialog ended with %s after a failed save" % process.poll())
        check(session.window(DIALOG_TITLE, cls="#32770") is not None, "the dialog closed after a failed save")
    finally:
        session.probe("unlock-key", key)
    # The same OK once the key may be written: saved, and the dialog ends.
    wait_for(lambda: focus_dialog(session), "the focus on the dialog")
    close_dialog(session, process, "Return", 1)
    check(stored_settings(session) == DEFAULT_SETTINGS, "stored %s" % stored_settings(session))


@with_fresh_settings
def case_settings_frame_rate_limit(session):
    store_settings(session, {"FrameRate": ("REG_DWORD", "2")})
    pointer_to_centre(session)
    trace_path = session.log_path("frame-rate-trace.txt")
    with open(trace_path, "w") as trace:
        saver = start_fullscreen(session, env={"WINEDEBUG": "-all,trace+wgl"}, stderr=trace)
        wait_for(lambda: swap_count(trace_path) >= 10, "the first frames", STARTUP_TIMEOUT, 0.2)
        rate = swap_rate(trace_path, 4.0)
        end_with_key(session, saver)
    print("FrameRate 2: %.1f frames a second" % rate, flush=True)
    check(rate >= LEAST_DRAWING_RATE, "%.1f frames a second, far fewer than about 30" % rate)
    check(rate <= 33.0, "%.1f frames a second, more than about 30" % rate)


# --- Windows 9x ---------------------------------------------------------------

VERIFIER_LOG = "verifier.log"


def set_answer(session, answer):
    with open(session.log_path("verifier-answer"), "w") as f:
        f.write(answer + "\n")


def verify_calls(session):
    return [l for l in session.log_lines(VERIFIER_LOG) if l.startswith("verify")]


def win98(session, use_password=True):
    session.set_windows_version("win98")
    session.set_use_password(use_password)
    session.reset_log(VERIFIER_LOG)


def case_win9x_refused_password_keeps_saver(session):
    win98(session)
    set_answer(session, "refuse")
    pointer_to_centre(session)
    saver = start_fullscreen(session)
    check("loaded" in session.log_lines(VERIFIER_LOG), "the verifier was not loaded")
    check(session.probe("running").get("running") == "1", "the saver-running flag is not raised")

    session.xdotool("mousemove_relative", "--sync", "20", "0")
    wait_for(lambda: len(verify_calls(session)) == 1, "the first password check")
    check(verify_calls(session) == ["verify running=1"], "verifier calls %s" % verify_calls(session))
    stays(lambda: saver.poll() is None, "the saver runs after a refused password", 0.5)
    wait_for(session.cursor.hidden, "the cursor to stay hidden", 5)

    # The anchor moved to where the mouse was: 4 more pixels keep the saver.
    session.xdotool("mousemove_relative", "--sync", "3", "1")
    stays(lambda: len(verify_calls(session)) == 1 and saver.poll() is None,
          "no new check after a drift of 4 from the new anchor", 1.0)

    # Two requests within 200 ms ask once; one later asks again.
    session.xdotool("key", "--delay", "0", "a", "b")
    wait_for(lambda: len(verify_calls(session)) >= 2, "the second password check")
    stays(lambda: len(verify_calls(session)) == 2, "no third check within 200 ms", 1.0)
    session.xdotool("key", "c")
    wait_for(lambda: len(verify_calls(session)) == 3, "a check after 200 ms")
    check(saver.poll() is None, "the saver ended after refused passwords")

    set_answer(session, "accept")
    time.sleep(0.3)  # past the throttle of the last check
    session.xdotool("key", "d")
    check(session.exit_code(saver) == 0, "exit code after acceptance is not 0")
    log = session.log_lines(VERIFIER_LOG)
    check(log[-2:] == ["answer accept", "unloaded"], "verifier log ends with %s" % log[-3:])
    check(session.probe("running").get("running") == "0", "the saver-running flag stays raised")


def case_win9x_no_frame_after_acceptance(session):
    win98(session)
    set_answer(session, "dialog-accept")
    pointer_to_centre(session)
    trace_path = session.log_path("accept-trace.txt")
    with open(trace_path, "w") as trace:
        saver = start_fullscreen(session, env={"WINEDEBUG": "-all,trace+wgl"}, stderr=trace)
        session.xdotool("key", "a")
        check(session.exit_code(saver) == 0, "exit code after acceptance is not 0")
    with open(trace_path, errors="replace") as trace:
        lines = trace.read().splitlines()
    swaps = [i for i, l in enumerate(lines) if "SwapBuffers" in l]
    accepted = [i for i, l in enumerate(lines) if "verifier: answer accept" in l]
    asked = [i for i, l in enumerate(lines) if "verifier: verify" in l]
    check(swaps, "no buffer swaps traced")
    check(accepted and asked, "no password check traced")
    check(any(asked[0] < i < accepted[0] for i in swaps),
          "no frames while the verifier's dialog was open")
    check(not any(i > accepted[0] for i in swaps), "a frame was drawn after acceptance")


def case_win9x_fault_lowers_saver_running_flag(session):
    win98(session)
    set_answer(session, "crash")
    pointer_to_centre(session)
    trace_path = session.log_path("fault-trace.txt")
    with open(trace_path, "w") as trace:
        # The system's own trace of SystemParametersInfoA shows who lowers the
        # flag: wine also lowers it when the process is gone.
        saver = start_fullscreen(session, env={"WINEDEBUG": "-all,trace+system"}, stderr=trace)
        check(session.probe("running").get("running") == "1",
              "the saver-running flag is not raised")
        session.xdotool("key", "a")
        code = session.exit_code(saver, STARTUP_TIMEOUT)
    check("answer crash" in session.log_lines(VERIFIER_LOG), "the verifier was not asked")
    check(code == EXIT_ACCESS_VIOLATION, "exit code %d after the fault" % code)
    with open(trace_path, errors="replace") as trace:
        lines = trace.read().splitlines()
    crash = [i for i, l in enumerate(lines) if "verifier: answer crash" in l]
    lowered = [i for i, l in enumerate(lines) if "SystemParametersInfoA (97, 0," in l]
    check(crash and any(i > crash[0] for i in lowered),
          "the saver did not lower the saver-running flag after the fault")
    check(session.probe("running").get("running") == "0", "the saver-running flag stays raised")


def case_win9x_autoplay_is_cancelled_and_closes(session):
    win98(session)
    set_answer(session, "accept")
    pointer_to_centre(session)
    saver = start_fullscreen(session)
    window = session.window("Screen Saver")
    check(session.probe("autoplay", window["handle"]).get("reply") == "1",
          "AutoPlay not cancelled while a verifier is loaded")
    check(session.exit_code(saver) == 0, "exit code is not 0")
    check("answer accept" in session.log_lines(VERIFIER_LOG), "the verifier was not asked")


def case_win9x_without_password_closes_at_once(session):
    win98(session, use_password=False)
    set_answer(session, "refuse")
    pointer_to_centre(session)
    saver = start_fullscreen(session)
    session.xdotool("key", "a")
    check(session.exit_code(saver) == 0, "exit code is not 0")
    check(session.log_lines(VERIFIER_LOG) == [], "the verifier was loaded")


def case_win9x_password_flag_as_text(session):
    """ScreenSaveUsePassword as REG_SZ: "0" asks for no password (read as a
    number it would be 0x30, non-zero), "1" does."""
    for text, asked in (("0", False), ("1", True)):
        win98(session, use_password=False)
        session.reg("add", r"HKCU\Control Panel\Desktop", "/v", "ScreenSaveUsePassword",
                    "/t", "REG_SZ", "/d", text, "/f")
        set_answer(session, "accept")
        pointer_to_centre(session)
        saver = start_fullscreen(session)
        session.xdotool("key", "a")
        check(session.exit_code(saver) == 0, "exit code is not 0 with the text '%s'" % text)
        log = session.log_lines(VERIFIER_LOG)
        check(("answer accept" in log) == asked, "the text '%s': verifier log %s" % (text, log))
    session.set_use_password(False)


def case_win9x_change_password(session):
    win98(session)
    session.reset_log("change-password.log")
    host, host_window, area = start_preview_host(session)
    environment = {"WINEDLLOVERRIDES": session.env["WINEDLLOVERRIDES"] + ";mpr=n"}
    code = session.exit_code(session.start_saver("/a", host_window, env=environment))
    check(code == 0, "/a exited with %d" % code)
    check(session.log_lines("change-password.log") ==
          ["PwdChangePasswordA key=SCRSAVE window=%s param1=0 param2=0" % host_window],
          "change-password log %s" % session.log_lines("change-password.log"))
    # A preview still building its window when the host closes is refused
    # with -1, and the host reports that: close it once the preview is up.
    wait_preview_created(session, area)
    session.probe("post", host_window, WM_CLOSE, 0, 0)
    check(session.exit_code(host) == 0, "the preview host did not exit with 0")


# --- no OpenGL ---------------------------------------------------------------

def case_no_opengl_stays_black_and_closes(session):
    pointer_to_centre(session)
    saver = session.start_saver("/s")
    session.wait_window("Screen Saver")
    stays(lambda: saver.poll() is None and session.screenshot("nogl.png").all_black(),
          "a black window without OpenGL", 2.0, 0.3)
    session.xdotool("click", "1")
    check(session.exit_code(saver) == 0, "exit code is not 0")


# --- Windows versions, power broadcasts, help from the preview ---------------

PBT_APMQUERYSUSPEND = 0x0
PBT_APMSUSPEND = 0x4
PBT_APMRESUMESUSPEND = 0x7
PBT_APMBATTERYLOW = 0x9
PBT_APMPOWERSTATUSCHANGE = 0xA
PBT_APMRESUMEAUTOMATIC = 0x12
PBT_POWERSETTINGCHANGE = 0x8013


def case_fullscreen_runs_under_each_windows_version(session):
    try:
        for version in ("win98", "win2k", "winxp"):
            session.set_windows_version(version)
            pointer_to_centre(session)
            saver = start_fullscreen(session)
            session.xdotool("key", "space")
            code = session.exit_code(saver)
            check(code == 0, "as %s: exit code %d after a key press" % (version, code))
    finally:
        session.set_windows_version(None)


def case_power_broadcasts_end_the_saver_only_for_a_suspend(session):
    for event, name, closes in (
            (PBT_APMQUERYSUSPEND, "suspend request", True),
            (PBT_APMSUSPEND, "suspend", True),
            (PBT_APMPOWERSTATUSCHANGE, "power status change", False),
            (PBT_APMBATTERYLOW, "battery low", False),
            (PBT_APMRESUMEAUTOMATIC, "automatic resume", False),
            (PBT_APMRESUMESUSPEND, "resume from suspend", False),
            (PBT_POWERSETTINGCHANGE, "power setting change", False)):
        pointer_to_centre(session)
        saver = start_fullscreen(session)
        window = session.window("Screen Saver")
        check(window, "no saver window")
        reply = session.probe("send", window["handle"], WM_POWERBROADCAST, event, 0).get("reply")
        check(reply == "1", "%s: reply %s, not TRUE" % (name, reply))
        if closes:
            code = session.exit_code(saver)
            check(code == 0, "%s: exit code %d" % (name, code))
        else:
            stays(lambda: saver.poll() is None, "the saver runs after a %s" % name, 1.0)
            end_with_key(session, saver)


def case_preview_help_reaches_parent_with_its_data(session):
    host, host_window, area = start_preview_host(session)
    saver = wait_preview_created(session, area)
    check(session.probe("help", saver["handle"]).get("reply") == "1", "WM_HELP not answered 1")
    x, y = pointer_at(session)
    # sizeof(HELPINFO): its handle and context id are pointer-sized.
    helpinfo_size = 40 if session.env["WINEARCH"] == "win64" else 28
    expected = "helpinfo size %d type 1 control 7 item %s context 9001 at %d %d" % (
        helpinfo_size, saver["handle"], x, y)
    wait_for(lambda: "message help wparam " + area in session.log_lines(PREVIEW_LOG),
             "the help request at the parent", 10)
    check(expected in session.log_lines(PREVIEW_LOG),
          "help data at the parent: %s" % [l for l in session.log_lines(PREVIEW_LOG)
                                            if l.startswith("helpinfo")])
    check(session.window("Preview", parent=area), "the preview ended on a help request")
    session.probe("post", host_window, WM_CLOSE, 0, 0)
    check(session.exit_code(host) == 0, "the preview host did not exit with 0")


# --- drawing only what can be seen ----------------------------------------------

SW_HIDE = 0
SW_SHOW = 5
SW_MINIMIZE = 6
SW_RESTORE = 9
SC_MONITORPOWER = 0xF170
MONITOR_OFF = 2
MONITOR_ON = 0xFFFFFFFF  # -1, as the probe's unsigned number reaches it


def wait_swaps_grow(trace_path, what):
    start = swap_count(trace_path)
    wait_for(lambda: swap_count(trace_path) > start + 3, what + ": frames drawn", STARTUP_TIMEOUT, 0.2)


def wait_swaps_stop(trace_path, what):
    """Until no frame comes for a second (bounded: a saver that keeps
    drawing times out)."""
    last = [swap_count(trace_path), time.monotonic()]

    def settled():
        now = swap_count(trace_path)
        if now != last[0]:
            last[:] = [now, time.monotonic()]
        return time.monotonic() - last[1] >= 1.0

    wait_for(settled, what + ": drawing stopped", TIMEOUT, 0.2)


def saver_main_thread():
    """(context switches, processor seconds) of the saver's main thread so
    far: its wake-ups and its work. The saver is the one process of
    flowball.scr among those this runner started (the preview host's
    command line names it as an argument, and is not it)."""
    try:
        return testing.main_thread(testing.the_process_of(os.getpid(), "flowball.scr"))
    except OSError:
        raise Failure("the process of flowball.scr ended")


def expect_no_frames_and_sleep(session, trace_path, what, wakeups_per_second):
    """No frame for three seconds, at most wakeups_per_second context
    switches of the main thread, and under 2% of a core."""
    wait_swaps_stop(trace_path, what)
    frames = swap_count(trace_path)
    switches, seconds = saver_main_thread()
    started = time.monotonic()
    stays(lambda: swap_count(trace_path) == frames, what + ": no frames", 3.0, 0.2)
    elapsed = time.monotonic() - started
    more_switches, more_seconds = saver_main_thread()
    woken = more_switches - switches
    print("%s: %d wake-ups of the main thread and %.2f s of processor in %.1f s" %
          (what, woken, more_seconds - seconds, elapsed), flush=True)
    check(woken <= wakeups_per_second * elapsed, "%s: %d wake-ups in %.1f s" % (what, woken, elapsed))
    check(more_seconds - seconds <= 0.02 * elapsed + 0.02,
          "%s: %.2f s of processor in %.1f s" % (what, more_seconds - seconds, elapsed))


def display_off_by_broadcast(session, handle):
    check(session.probe("display-power", handle, 0).get("reply") == "1", "display off: reply not TRUE")
    return lambda: session.probe("display-power", handle, 1)


def display_off_by_monitor_command(session, handle):
    session.probe("send", handle, WM_SYSCOMMAND, SC_MONITORPOWER, MONITOR_OFF)
    return lambda: session.probe("send", handle, WM_SYSCOMMAND, SC_MONITORPOWER, MONITOR_ON)


def start_traced_fullscreen(session, trace, what, channels="-all,trace+wgl"):
    """A full-screen saver whose wgl calls (and any other debug channels)
    go to trace, drawing."""
    pointer_to_centre(session)
    saver = start_fullscreen(session, env={"WINEDEBUG": channels}, stderr=trace)
    window = session.window("Screen Saver")
    check(window, "no saver window")
    wait_swaps_grow(trace.name, what)
    return saver, window["handle"]


# The power broadcast, once it has come, is believed: no timer while the
# display is off, only the message that turns it on wakes the saver. Wine
# never sends it, so after the monitor-power command the saver looks twice a
# second for the input that would wake the display; under Wine each look
# costs a few round trips to the wineserver.
def case_display_off_stops_frames_until_on(session):
    for name, turn_off, wakeups_per_second in (("power broadcast", display_off_by_broadcast, 1),
                                               ("monitor-power command", display_off_by_monitor_command, 25)):
        trace_path = session.log_path("display-power-trace.txt")
        with open(trace_path, "w") as trace:
            saver, handle = start_traced_fullscreen(session, trace, name)
            turn_on = turn_off(session, handle)
            expect_no_frames_and_sleep(session, trace_path, name + ", display off", wakeups_per_second)
            check(saver.poll() is None, "%s: the saver ended with the display off" % name)
            turn_on()
            wait_swaps_grow(trace_path, name + ", display on")
            expect_drawing(trace_path, name + ", display on")
            end_with_key(session, saver)


# Windows 98 to XP send "off" as the monitor blanks and nothing when input
# wakes it: a nudge within the movement threshold must bring the frames back.
def case_display_off_by_command_draws_again_after_a_nudge(session):
    trace_path = session.log_path("display-nudge-trace.txt")
    with open(trace_path, "w") as trace:
        saver, handle = start_traced_fullscreen(session, trace, "before the monitor-power command")
        session.probe("send", handle, WM_SYSCOMMAND, SC_MONITORPOWER, MONITOR_OFF)
        wait_swaps_stop(trace_path, "display off")
        session.xdotool("mousemove_relative", "--sync", "1", "0")
        wait_swaps_grow(trace_path, "display off, then a 1-pixel nudge")
        check(saver.poll() is None, "the saver ended on a 1-pixel nudge")
        end_with_key(session, saver)


# Any process may post the message with any lParam: the saver neither reads
# a pointer to nothing nor heeds a setting it did not register for.
def case_stray_power_settings_are_ignored(session):
    trace_path = session.log_path("stray-power-trace.txt")
    with open(trace_path, "w") as trace:
        saver, handle = start_traced_fullscreen(session, trace, "before stray power settings",
                                                "-all,trace+wgl,trace+seh")
        for kind in ("junk", "stranger"):
            check(session.probe("stray-power-setting", handle, kind).get("reply") == "1",
                  "%s power setting: reply not TRUE" % kind)
            check(saver.poll() is None, "the saver ended on a %s power setting" % kind)
            expect_drawing(trace_path, "after a %s power setting" % kind)
    with open(trace_path, errors="replace") as trace:
        faults = [line for line in trace if "c0000005" in line.lower()]
    check(not faults, "an access violation in the saver: %s" % faults[:1])
    end_with_key(session, saver)


def preview_rests_while(session, hide, hidden_what, show, shown_what):
    """hide(handles) takes the picture from view (handles: the preview
    host's "host" window, its "preview" area and the "saver" window in
    it): the saver's preview
    draws nothing and sleeps; show(handles) brings it back: it draws again.
    The timer looks twice a second meanwhile."""
    session.reset_log(PREVIEW_LOG)
    trace_path = session.log_path("preview-trace.txt")
    with open(trace_path, "w") as trace:
        host = session.start(os.path.join(session.stage, "preview-host.exe"), "--log",
                             windows_path(session.log_path(PREVIEW_LOG)), windows_path(session.saver),
                             env={"WINEDEBUG": "-all,trace+wgl"}, stderr=trace)
        lines = wait_for(lambda: [l for l in session.log_lines(PREVIEW_LOG) if l.startswith("saver-started")]
                         and session.log_lines(PREVIEW_LOG), "the preview host", STARTUP_TIMEOUT)
        handles = dict(line.split(" ", 1) for line in lines if line.split(" ")[0] in ("host", "preview"))
        handles["saver"] = wait_preview_created(session, handles["preview"])["handle"]
        wait_swaps_grow(trace_path, "preview")
        hide(handles)
        # Two looks a second; under Wine each costs some seven round trips to
        # the wineserver (the parents belong to another process), each a
        # context switch. Drawing would take hundreds.
        expect_no_frames_and_sleep(session, trace_path, hidden_what, 25)
        show(handles)
        wait_swaps_grow(trace_path, shown_what)
        expect_drawing(trace_path, shown_what)
        session.probe("post", handles["host"], WM_CLOSE, 0, 0)
        check(session.exit_code(host) == 0, "the preview host did not exit with 0")


def show_host(session, command):
    return lambda handles: session.probe("show", handles["host"], command)


def case_hidden_preview_draws_nothing(session):
    preview_rests_while(session, show_host(session, SW_HIDE), "preview's dialog hidden",
                        show_host(session, SW_SHOW), "preview's dialog shown again")


# A child of a minimised window is not iconic itself, and the system still
# calls it visible.
def case_minimised_preview_draws_nothing(session):
    preview_rests_while(session, show_host(session, SW_MINIMIZE), "preview's dialog minimised",
                        show_host(session, SW_RESTORE), "preview's dialog restored")


WM_WTSSESSION_CHANGE = 0x2B1
WTS_CONSOLE_CONNECT = 1
WTS_CONSOLE_DISCONNECT = 2
WTS_SESSION_LOCK = 7
WTS_SESSION_UNLOCK = 8


def session_change(session, event):
    return lambda handles: session.probe("send", handles["saver"], WM_WTSSESSION_CHANGE, event, 0)


# Nobody sees the session's windows while it is locked or another user's
# session has the screen; the system tells the window of both.
def case_preview_rests_while_its_session_is_away(session):
    for away, away_what, back, back_what in (
            (WTS_SESSION_LOCK, "session locked", WTS_SESSION_UNLOCK, "session unlocked"),
            (WTS_CONSOLE_DISCONNECT, "session switched away from", WTS_CONSOLE_CONNECT, "session switched back to")):
        preview_rests_while(session, session_change(session, away), away_what,
                            session_change(session, back), back_what)


GROUPS = {
    "fullscreen": (True, [
        case_fullscreen_covers_screen_and_draws,
        ("fullscreen_ends_on_key", ends_on(key_press)),
        ("fullscreen_ends_on_click", ends_on(click)),
        ("fullscreen_ends_on_right_click", ends_on(right_click)),
        ("fullscreen_ends_on_five_pixel_move", ends_on(move_five_pixels)),
        ("fullscreen_ends_on_small_moves_adding_up", ends_on(many_small_moves)),
        ("fullscreen_ends_on_loss_of_activation", ends_on(loss_of_activation)),
        case_fullscreen_keeps_running_on_four_pixel_move,
        ("fullscreen_ends_on_suspend_request", ends_on_message(WM_POWER, PWR_SUSPENDREQUEST)),
        case_fullscreen_refuses_title_and_task_switch_messages,
        case_fullscreen_ignores_autoplay_outside_win9x,
        case_second_instance_raises_first,
    ]),
    "preview": (True, [
        case_preview_draws_inside_parent_and_ignores_input,
        case_preview_without_live_parent_is_refused,
    ]),
    "dialog": (True, [
        case_dialog_ok_and_cancel,
        case_dialog_owned_by_given_window,
        case_unknown_switches_are_refused,
        case_quoted_program_path_with_spaces,
    ]),
    "settings": (True, [
        case_settings_stored_values_change_what_the_saver_draws,
        case_settings_preview_reads_them_too,
        case_settings_dialog_colour_chooser_opens_and_cancels,
        case_settings_dialog_ok_stores_what_was_changed,
        case_settings_dialog_cancel_stores_nothing,
        case_settings_dialog_defaults_button,
        case_settings_garbage_gives_defaults,
        case_settings_failed_save_says_so_and_keeps_the_dialog,
        case_settings_frame_rate_limit,
    ]),
    "win9x": (True, [
        case_win9x_refused_password_keeps_saver,
        case_win9x_no_frame_after_acceptance,
        case_win9x_fault_lowers_saver_running_flag,
        case_win9x_autoplay_is_cancelled_and_closes,
        case_win9x_without_password_closes_at_once,
        case_win9x_password_flag_as_text,
        case_win9x_change_password,
    ]),
    "platforms": (True, [
        case_fullscreen_runs_under_each_windows_version,
        case_power_broadcasts_end_the_saver_only_for_a_suspend,
        case_preview_help_reaches_parent_with_its_data,
    ]),
    "power": (True, [
        case_display_off_stops_frames_until_on,
        case_display_off_by_command_draws_again_after_a_nudge,
        case_hidden_preview_draws_nothing,
        case_minimised_preview_draws_nothing,
    ]),
    "notices": (True, [
        case_stray_power_settings_are_ignored,
        case_preview_rests_while_its_session_is_away,
    ]),
    "nogl": (False, [
        case_no_opengl_stays_black_and_closes,
    ]),
}


# --- several monitors ---------------------------------------------------------
#
# Wine sees several monitors only as XRandR outputs, which Xvfb cannot give:
# this group runs on Xorg with the dummy driver, two outputs of one screen
# side by side, the second one shorter (testing.DUMMY_MONITORS). The
# wineserver remembers the monitor layout of the X server it last served, so
# the group starts with none.


class TwoMonitorSession(Session):
    """The group's X server is Xorg with two dummy outputs (run as root)."""

    needs_xorg = True

    def start_server(self, glx):
        return testing.dummy_xorg(self.work_dir)

    def init_prefix(self):
        # A wineserver left from a group on another X server would keep its
        # single monitor.
        self.stop_wine()
        super().init_prefix()

    def xrandr(self, *args):
        subprocess.run(["xrandr"] + list(args), env=self.env, check=True, timeout=TIMEOUT,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def probe(self, *args):
        """saver-probe's "key value" lines as a dict, read from a file: a Wine
        process that a display change starts may inherit the probe's output
        and hold a pipe open long after the probe ended."""
        path = os.path.join(self.work_dir, "probe.txt")
        with open(path, "w") as out:
            subprocess.run(self.probe_command(*args), env=self.env, timeout=TIMEOUT * 3, stdout=out,
                           stderr=subprocess.DEVNULL)
        self.reap()
        with open(path) as answer:
            return probe_answers(answer)

    def connected_outputs(self):
        """xrandr's lines of the outputs connected now, as the server last
        probed them."""
        listing = subprocess.run(["xrandr", "--current"], env=self.env, capture_output=True, text=True,
                                 timeout=TIMEOUT).stdout
        return [line.strip() for line in listing.splitlines() if " connected" in line]

    def saver_x_windows(self):
        """(left, top, width, height) in root pixels of each X window named
        like the saver's window, read from X without starting a Wine
        process."""
        found = subprocess.run(["xdotool", "search", "--name", "^Screen Saver$"], env=self.env,
                               capture_output=True, text=True, timeout=TIMEOUT).stdout.split()
        geometries = []
        for window in found:
            answer = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], env=self.env,
                                    capture_output=True, text=True, timeout=TIMEOUT).stdout
            values = dict(line.split("=", 1) for line in answer.split() if "=" in line)
            if all(key in values for key in ("X", "Y", "WIDTH", "HEIGHT")):
                geometries.append(tuple(int(values[key]) for key in ("X", "Y", "WIDTH", "HEIGHT")))
        return geometries


def black_rows(picture, monitor, from_top):
    """Whole rows of the monitor (screenshot pixels) that are black, counted
    from its top or from its bottom."""
    left, top, right, bottom = monitor
    rows = range(top, bottom) if from_top else range(bottom - 1, top - 1, -1)
    count = 0
    for y in rows:
        if not all(is_black(picture.at(x, y)) for x in range(left, right, 2)):
            break
        count += 1
    return count


def monitor_shows_its_view(picture, monitor):
    """Black bars at the monitor's own top and bottom, of equal height, and
    the lit ball filling the band between them, centred in the monitor."""
    left, top, right, bottom = monitor
    height = bottom - top
    top_bar = black_rows(picture, monitor, True)
    bottom_bar = black_rows(picture, monitor, False)
    if not (0 < top_bar < height // 2 and 0 < bottom_bar < height // 2):
        return None
    band_centre = top + (top_bar + height - bottom_bar) / 2.0
    middle = [picture.at(x, int(band_centre)) for x in range(left, right, 4)]
    lit = sum(is_ball(p) for p in middle)
    if abs(band_centre - (top + height / 2.0)) > 2.0 or lit * 4 < len(middle):
        return None
    return top_bar / float(height)


def black_outside(picture, box):
    left, top, right, bottom = box
    return all(is_black(picture.at(x, y)) for y in range(top, bottom, 2) for x in range(left, right, 2))


def views_per_monitor(picture, monitors):
    """Each monitor shows its own view, with bars of the same fraction of its
    own height (one clock drives them all)."""
    fractions = [monitor_shows_its_view(picture, m) for m in monitors]
    if None in fractions:
        return False
    return max(fractions) - min(fractions) <= 3.0 / min(m[3] - m[1] for m in monitors)


def start_on_monitors(session, monitors, **kwargs):
    saver = session.start_saver("/s", **kwargs)
    session.wait_window("Screen Saver")
    wait_for(lambda: views_per_monitor(session.screenshot("monitors.png"), monitors)
             or saver.poll() is not None,
             "a view on each monitor", STARTUP_TIMEOUT, 0.3)
    check(saver.poll() is None, "the saver ended by itself with %s" % saver.poll())
    return saver


def case_monitors_each_monitor_shows_its_own_view(session):
    move_pointer(session, 512, 384)
    saver = start_on_monitors(session, DUMMY_MONITORS)
    window = session.window("Screen Saver")
    check(window["rect"] == "0 0 %d %d" % DUMMY_SCREEN, "window rectangle is %s" % window["rect"])
    picture = session.screenshot("monitors-two.png")
    check(views_per_monitor(picture, DUMMY_MONITORS), "not one view per monitor")
    check(black_outside(picture, (1024, 600, 1824, 768)), "the area below the shorter monitor is not black")
    end_with_key(session, saver)


def case_monitors_click_ends_the_saver(session):
    move_pointer(session, 1400, 300)
    saver = start_on_monitors(session, DUMMY_MONITORS)
    session.xdotool("click", "1")
    check(session.exit_code(saver) == 0, "exit code after a click is not 0")


def case_monitors_span_setting_gives_one_view(session):
    key = r"HKCU\Software\Flowball"
    session.reg("add", key, "/v", "Monitors", "/t", "REG_DWORD", "/d", "1", "/f")
    try:
        move_pointer(session, 512, 384)
        saver = session.start_saver("/s")
        session.wait_window("Screen Saver")
        # One view over the whole virtual screen: its band is centred in the
        # screen and its top bar as high over both monitors, where a view per
        # monitor gives the shorter one lower bars. Bars of 20 rows or more
        # tell the two apart.
        whole = (0, 0) + DUMMY_SCREEN

        def one_view(picture):
            left = black_rows(picture, DUMMY_MONITORS[0], True)
            right = black_rows(picture, DUMMY_MONITORS[1], True)
            return (monitor_shows_its_view(picture, whole) is not None and left >= 20
                    and abs(left - right) <= 1)
        wait_for(lambda: one_view(session.screenshot("span.png")) or saver.poll() is not None,
                 "one view across the screen", STARTUP_TIMEOUT, 0.3)
        check(saver.poll() is None, "the saver ended by itself with %s" % saver.poll())
        end_with_key(session, saver)
    finally:
        session.reg("delete", key, "/v", "Monitors", "/f")


def case_monitors_layout_change_is_followed(session):
    """A third output right of the others while the saver runs: the window
    grows over it and each of the three monitors shows its view.

    A Wine process that starts while Wine takes in a new layout can hang in
    its start-up, so the Wine side is watched by one probe started before
    the change (follow-layout); the rest is watched from X. The new output
    goes on the right: one on the left would move X's origin under the
    pointer, and Wine would see the pointer jump by the output's width."""
    move_pointer(session, 1400, 300)
    saver = start_on_monitors(session, DUMMY_MONITORS)
    window = session.window("Screen Saver")
    check(window, "no saver window")
    answers = os.path.join(session.work_dir, "follow-layout.txt")
    try:
        with open(answers, "w") as out:
            follower = subprocess.Popen(
                session.probe_command("follow-layout", window["handle"], 3, int(2 * STARTUP_TIMEOUT)),
                env=session.env, stdout=out, stderr=subprocess.DEVNULL)
        session.processes.append(follower)

        def answered():
            with open(answers) as lines:
                return probe_answers(lines)
        wait_for(lambda: "ready" in answered() or follower.poll() is not None,
                 "the layout follower to start", STARTUP_TIMEOUT)
        check(answered().get("ready") == "2", "the follower started with %s" % answered())

        session.xrandr("--addmode", "DUMMY2", "800x600")
        session.xrandr("--fb", "2624x768", "--output", "DUMMY2", "--mode", "800x600", "--pos", "1824x0")
        # A query has the server probe its outputs again; only then does it
        # tell its clients (Wine among them) that the new output is connected.
        session.xrandr("--query")

        try:
            follower.wait(timeout=2 * STARTUP_TIMEOUT + TIMEOUT)
        except subprocess.TimeoutExpired:
            raise Failure("the layout follower hung: %s; X has %s" % (answered(), session.connected_outputs()))
        session.reap()
        seen = answered()
        check(seen.get("counted") == "3",
              "Wine did not see three monitors: %s; X has %s" % (seen, session.connected_outputs()))
        check(seen.get("virtual") == "0 0 2624 768", "virtual screen is %s" % seen.get("virtual"))
        check(seen.get("posted") == "1", "WM_DISPLAYCHANGE not posted: %s" % seen)
        check(seen.get("rect") == "0 0 2624 768", "the window's rectangle is %s" % seen.get("rect"))
        check(follower.returncode == 0, "the follower ended with %s: %s" % (follower.returncode, seen))
        wait_for(lambda: (0, 0, 2624, 768) in session.saver_x_windows() or saver.poll() is not None,
                 "the X window over the new virtual screen", STARTUP_TIMEOUT)
        check(saver.poll() is None, "the saver ended with %s after the layout change" % saver.poll())
        three = [(0, 0, 1024, 768), (1024, 0, 1824, 600), (1824, 0, 2624, 600)]
        wait_for(lambda: views_per_monitor(session.screenshot("monitors-three.png"), three)
                 or saver.poll() is not None, "a view on each of three monitors", STARTUP_TIMEOUT, 0.3)
        check(saver.poll() is None, "the saver ended with %s after the layout change" % saver.poll())
        picture = session.screenshot("monitors-three.png")
        check(black_outside(picture, (1024, 600, 2624, 768)), "the area below the shorter monitors is not black")
        end_with_key(session, saver)
    finally:
        session.xrandr("--output", "DUMMY2", "--off", "--fb", "%dx%d" % DUMMY_SCREEN)


GROUPS["monitors"] = (True, [
    case_monitors_each_monitor_shows_its_own_view,
    case_monitors_click_ends_the_saver,
    case_monitors_span_setting_gives_one_view,
    case_monitors_layout_change_is_followed,
])
SESSION_CLASSES = {"monitors": TwoMonitorSession}


def named(entry):
    if isinstance(entry, tuple):
        return entry
    return entry.__name__[len("case_"):], entry


def run_cases(named_cases, only, run, session):
    """Runs each (name, case) in order, or only the one named only when
    given: run(case) does it. Prints PASS or FAIL with the time for each; after
    a failure ends every wine process of the session, so that the next case
    finds no saver left behind. Returns the counts passed and failed."""
    passed = failed = 0
    for name, case in named_cases:
        if only and name != only:
            continue
        started = time.monotonic()
        try:
            run(case)
            passed += 1
            print("PASS %s (%.1f s)" % (name, time.monotonic() - started), flush=True)
        except Exception as error:  # noqa: BLE001 - a case's failure of any kind
            failed += 1
            print("FAIL %s: %s" % (name, error), flush=True)
            if not isinstance(error, Failure):
                traceback.print_exc()
            session.stop_wine()
            session.start_wineserver()
    return passed, failed


SKIPPED = 77  # ctest's SKIP_RETURN_CODE for these tests


def run_group(build_dir, group, only):
    """0 when every case run passed, 1 when one failed, SKIPPED when the
    group cannot run on this machine."""
    glx, cases = GROUPS[group]
    session_class = SESSION_CLASSES.get(group, Session)
    if session_class.needs_xorg and not testing.can_run_xorg():
        print("SKIP %s: Xorg with two outputs needs root" % group, flush=True)
        return SKIPPED
    work_dir = os.path.join(build_dir, "e2e", "work-" + group)
    shutil.rmtree(work_dir, ignore_errors=True)
    session = session_class(build_dir, work_dir, glx)
    passed = failed = 0
    try:
        passed, failed = run_cases(map(named, cases), only, lambda case: case(session), session)
    finally:
        session.set_windows_version(None)
        session.set_use_password(False)
        session.close()
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 and passed > 0 else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build-dir")
    parser.add_argument("--group", choices=sorted(GROUPS))
    parser.add_argument("--case")
    parser.add_argument("--list-groups", action="store_true")
    args = parser.parse_args()
    if args.list_groups:
        print("\n".join(GROUPS))
        return 0
    if not args.build_dir or not args.group:
        parser.error("--build-dir and --group are needed")
    return run_group(os.path.abspath(args.build_dir), args.group, args.case)


if __name__ == "__main__":
    sys.exit(main())
