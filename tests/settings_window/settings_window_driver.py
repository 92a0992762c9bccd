#!/usr/bin/env python3
"""The settings window driven as a user drives it, inside the session that
run_settings_window_test.py makes: run as the test user in a D-Bus session
of its own on headless sway, it starts flowball-settings, finds its
controls by their accessible names on the accessibility bus (pyatspi) and
works them with the keyboard (wtype) or, for values, through the bus. It
checks the settings file, the autostart entry, the watcher process, the
saver that Preview starts (on the screen, grim) and the preview's frames
(the window's --dump-preview file).

  settings_window_driver.py FLOWBALL_SETTINGS SHOTS_DIR

Every process it starts is ended by its pid; the watcher and the saver,
which the window starts detached, are adopted (this process is a subreaper) and found among
its descendants. Every wait is bounded.
"""

import os
import subprocess
import sys
import time

import pyatspi

import flowball_testing as testing
from flowball_testing import Failure, stays, wait_until

START_TIMEOUT = 90.0
STEP_TIMEOUT = 30.0
# Tab presses that reach any control of the window from any other.
MOST_TABS = 80
PREVIEW_SIZE = (480, 270)

CONFIG_HOME = os.path.join(os.environ["HOME"], ".config")
SETTINGS_FILE = os.path.join(CONFIG_HOME, "flowball", "flowball.conf")
AUTOSTART_ENTRY = os.path.join(CONFIG_HOME, "autostart", "flowball-idle.desktop")
DEFAULTS = {"texture": "FOG", "colour": "FFCC00", "speed": "100", "bars": "true", "detail": "32",
            "stars": "false", "particles": "false", "fog": "false", "underlay": "false", "overlay": "false",
            "frame-rate": "timer", "monitors": "each"}


def file_text(path):
    try:
        with open(path) as file:
            return file.read()
    except FileNotFoundError:
        return None


def file_values():
    text = file_text(SETTINGS_FILE) or ""
    values = {}
    for line in text.splitlines():
        if "=" in line and not line.startswith("#"):
            key, _, value = line.partition("=")
            values[key.strip()] = value.strip()
    return values


def press(*keys):
    arguments = ["wtype"]
    for key in keys:
        arguments += ["-k", key]
    subprocess.run(arguments, check=True, timeout=STEP_TIMEOUT)


class Window:
    """flowball-settings, started by this process and found on the
    accessibility bus by its pid."""

    def __init__(self, program, shots):
        self.dump = os.path.join(shots, "preview-dump.png")
        if os.path.exists(self.dump):
            os.remove(self.dump)
        self.controls = {}
        self.process = subprocess.Popen([program, "--dump-preview", self.dump], stdin=subprocess.DEVNULL)
        self.app = wait_until(self.find_app, START_TIMEOUT, "the window on the accessibility bus")
        wait_until(lambda: self.find("check box", "Start Flowball after", exact=False), START_TIMEOUT,
                   "the window's controls")

    def find_app(self):
        if self.process.poll() is not None:
            raise Failure("the window ended (%s)" % self.process.returncode)
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.process.pid and app.childCount > 0:
                return app
        return None

    def find(self, role, name, exact=True):
        return pyatspi.findDescendant(self.app, lambda node: node.getRoleName() == role and (
            node.name == name if exact else name in node.name))

    def control(self, role, name, exact=True):
        """A control, looked up once: each walk of the tree is hundreds of
        calls on the bus."""
        key = (role, name, exact)
        if key not in self.controls:
            found = self.find(role, name, exact)
            if found is None:
                raise Failure("no %s named %r in the window" % (role, name))
            self.controls[key] = found
        return self.controls[key]

    def focus(self, node):
        """Tabs until node has the keyboard focus, as a user would."""
        for _ in range(MOST_TABS):
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                return
            press("Tab")
            time.sleep(0.1)
        raise Failure("%r never took the focus by Tab" % node.name)

    def toggle(self, name):
        switch = self.control("check box", name, exact=False)
        self.focus(switch)
        press("space")

    def choose_next(self, name, steps):
        """Opens the choice row, moves steps down the list and takes it."""
        row = self.control("combo box", name, exact=False)
        self.focus(row)
        press("space")
        time.sleep(0.5)
        press(*(["Down"] * steps + ["Return"]))

    def set_value(self, name, value):
        self.control("spin button", name).queryValue().currentValue = float(value)

    def set_text(self, name, text):
        self.control("text", name).queryEditableText().setTextContents(text)

    def shown_choice(self, name):
        row = self.control("combo box", name, exact=False)
        labels = pyatspi.findAllDescendants(row, lambda node: node.getRoleName() == "label")
        return [label.name for label in labels]

    def label_with(self, text):
        """The text of the label that shows text, or "" when none does."""
        label = self.find("label", text, exact=False)
        return label.name if label is not None else ""

    def preview(self):
        """The preview's last frame, from the window's dump file."""
        result = subprocess.run(["convert", self.dump, "ppm:-"], capture_output=True, timeout=STEP_TIMEOUT)
        return testing.Picture(result.stdout) if result.returncode == 0 and result.stdout else None

    def end(self):
        testing.end_processes([self.process.pid], what="the window")
        self.process.wait(timeout=STEP_TIMEOUT)


def screenshot(shots, name):
    subprocess.run(["grim", os.path.join(shots, name)], timeout=STEP_TIMEOUT)


def mean_colour(picture):
    """The mean colour of the lit pixels in the band between the bars."""
    sums, count = [0, 0, 0], 0
    for y in range(picture.height // 3, 2 * picture.height // 3, 3):
        for x in range(0, picture.width, 3):
            pixel = picture.at(x, y)
            if max(pixel) > 60:
                sums = [total + value for total, value in zip(sums, pixel)]
                count += 1
    return tuple(total / count for total in sums) if count else None


def broken_file_case(program, shots):
    """A file with a bad line is shown with its line and left as it was
    until the user changes something; then the change is kept and so are
    the lines the window does not know."""
    os.makedirs(os.path.dirname(SETTINGS_FILE), exist_ok=True)
    broken = "# my own note\nspeed=900\nstars=true\n"
    with open(SETTINGS_FILE, "w") as file:
        file.write(broken)
    window = Window(program, shots)
    try:
        wait_until(lambda: window.label_with("flowball.conf:2: speed"), STEP_TIMEOUT,
                   "the file's bad line in the window")
        stays(lambda: file_text(SETTINGS_FILE) == broken, 2.0, "the broken file left as it was")
        window.set_value("Detail", 40)
        wait_until(lambda: file_values().get("detail") == "40", STEP_TIMEOUT, "the change in the file")
        text = file_text(SETTINGS_FILE)
        assert "# my own note" in text and file_values()["stars"] == "true", text
        assert file_values()["speed"] == "100", text
        wait_until(lambda: not window.label_with("flowball.conf:"), STEP_TIMEOUT,
                   "the problem gone from the window once the file was rewritten")
    finally:
        window.end()


def choices_case(program, shots):
    """Texture, speed and a switch changed in the window are in the file;
    Restore defaults puts every setting back."""
    os.remove(SETTINGS_FILE)
    window = Window(program, shots)
    try:
        window.choose_next("Texture", 2)
        wait_until(lambda: file_values().get("texture", "FOG") != "FOG", STEP_TIMEOUT, "the texture in the file")
        shown = window.shown_choice("Texture")
        assert file_values()["texture"].lower() in [label.lower().replace(" ", "") for label in shown], (
            file_values(), shown)
        window.set_value("Speed", 150)
        wait_until(lambda: file_values().get("speed") == "150", STEP_TIMEOUT, "the speed in the file")
        window.toggle("Stars")
        wait_until(lambda: file_values().get("stars") == "true", STEP_TIMEOUT, "the stars in the file")
        screenshot(shots, "window-changed.png")

        restore = window.control("push button", "Restore defaults")
        window.focus(restore)
        press("space")
        wait_until(lambda: {key: file_values().get(key) for key in DEFAULTS} == DEFAULTS, STEP_TIMEOUT,
                   "the defaults in the file")
    finally:
        window.end()


def preview_case(program, shots):
    """The preview shows the scene (bars above and below, the lit ball
    between) and follows the colour."""
    window = Window(program, shots)
    try:
        def scene():
            picture = window.preview()
            return picture if picture and picture.row_is_dark(0, picture.width, 2) and mean_colour(picture) else None

        picture = wait_until(scene, START_TIMEOUT, "the scene in the preview")
        assert (picture.width, picture.height) == PREVIEW_SIZE, (picture.width, picture.height)
        screenshot(shots, "window.png")
        for hex_colour, channel in (("0000FF", 2), ("FF0000", 0)):
            window.set_text("Colour", hex_colour)

            def follows():
                colour = mean_colour(window.preview() or picture)
                return colour and max(range(3), key=lambda index: colour[index]) == channel

            wait_until(follows, STEP_TIMEOUT, "the preview in %s" % hex_colour)
            assert file_values().get("colour") == hex_colour, file_values()
        screenshot(shots, "window-red.png")
    finally:
        window.end()


def end_with_adopted(window, started, what):
    """Ends the window, then what it started detached that still runs
    (started() finds those among the adopted), and reaps them."""
    window.end()
    leftover = started()
    if leftover:
        testing.end_processes(leftover, what=what)
    testing.reap_adopted([])


def savers():
    return [pid for pid in testing.descendants(os.getpid())
            if testing.parse_program_name(testing.command_line(pid)) == "flowball"
            and "--idle" not in testing.command_line(pid)]


def screen():
    result = subprocess.run(["grim", "-t", "ppm", "-"], capture_output=True, timeout=STEP_TIMEOUT)
    return testing.Picture(result.stdout) if result.returncode == 0 else None


def shows_saver(picture):
    """The saver over the whole output: dark bars at the top and bottom
    edges, the lit ball between."""
    return (picture is not None and picture.row_is_dark(0, picture.width, 1)
            and picture.row_is_dark(0, picture.width, picture.height - 2)
            and picture.lit_ball_pixels(0, picture.height // 4, picture.width, picture.height // 2) > 20)


def preview_button_case(program, shots):
    """Preview runs the saver over the whole output until a key."""
    window = Window(program, shots)
    try:
        button = window.control("push button", "Preview")
        window.focus(button)
        press("space")
        saver = wait_until(savers, START_TIMEOUT, "the saver to start")
        assert len(saver) == 1, saver
        picture = wait_until(lambda: (lambda shot: shot if shows_saver(shot) else None)(screen()), START_TIMEOUT,
                             "the saver over the output")
        with open(os.path.join(shots, "preview-button.ppm"), "wb") as out:
            out.write(picture.data)
        press("space")
        wait_until(lambda: not savers(), STEP_TIMEOUT, "a key to end the saver")
    finally:
        end_with_adopted(window, savers, "the saver")


def watchers():
    return [pid for pid in testing.descendants(os.getpid())
            if testing.parse_program_name(testing.command_line(pid)) == "flowball"
            and "--idle" in testing.command_line(pid)]


def idle_case(program, shots):
    """The switch on writes the autostart entry and starts the watcher now;
    off ends the watcher and removes the entry. On sway the window shows the
    line for sway's configuration."""
    window = Window(program, shots)
    try:
        minutes = window.control("spin button", "Minutes without input")
        minutes.queryValue().currentValue = 2.0
        wait_until(lambda: file_values().get("idle-after") == "2m", STEP_TIMEOUT, "the idle time in the file")
        window.toggle("Start Flowball after 2 minutes without input")
        wait_until(lambda: "Exec=flowball --idle\n" in (file_text(AUTOSTART_ENTRY) or ""), STEP_TIMEOUT,
                   "the autostart entry")
        watcher = wait_until(watchers, STEP_TIMEOUT, "the watcher to start")
        assert len(watcher) == 1, watcher
        assert window.label_with("exec flowball --idle"), "no line for sway's configuration"
        window.toggle("Start Flowball after 2 minutes without input")
        wait_until(lambda: file_text(AUTOSTART_ENTRY) is None, STEP_TIMEOUT, "the autostart entry removed")
        wait_until(lambda: not watchers(), STEP_TIMEOUT, "the watcher to end")
    finally:
        end_with_adopted(window, watchers, "the watcher")


CASES = [("broken file", broken_file_case), ("choices to file", choices_case), ("preview", preview_case),
         ("preview button", preview_button_case), ("idle switch", idle_case)]


def main():
    program, shots = sys.argv[1], sys.argv[2]
    testing.adopt_orphans()
    failures = 0
    for name, case in CASES:
        started = time.monotonic()
        try:
            case(program, shots)
            print("PASS %s (%.1f s)" % (name, time.monotonic() - started))
        except AssertionError as error:
            failures += 1
            print("FAIL %s: %s" % (name, error))
        sys.stdout.flush()
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
