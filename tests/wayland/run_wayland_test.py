#!/usr/bin/env python3
"""flowball on Wayland, end to end, in compositors of the test's own: headless
sway with two outputs of different sizes (1024x768 and 800x600), and Mutter
headless for the xdg-shell smoke run. Both run as an ordinary user (sway
refuses root): as root the test makes a user of its own and removes it at the
end; otherwise it runs as the user running it.

  run_wayland_test.py FLOWBALL VIRTUAL_POINTER FULL_SCREEN_CLIENT FAILING_EGL SHOTS_DIR [CASE...]

VIRTUAL_POINTER is tests/wayland/virtual_pointer.c built, FULL_SCREEN_CLIENT
scripts/perf/minimal_wayland_egl.c (a user's own full-screen window),
FAILING_EGL tests/wayland/failing_egl.c (preloaded, EGL that fails on demand);
SHOTS_DIR receives the screenshots the picture cases look at. Cases are the case_* functions
(default: all but mutter); each starts a compositor of its own. Every wait is
bounded; the programs the test starts are found by the pid it started (and
their children by their parent's pid) and ended by it. Nothing sleeps for a
fixed time to let something happen: where the test needs to know that
flowball has seen something (its keyboard, the pointer's entry, a motion), it
reads the protocol log that WAYLAND_DEBUG makes the program write.

Exit status 77 (skipped) for the mutter case where Mutter cannot run here.
"""

import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "support"))
import flowball_testing as testing  # noqa: E402
from flowball_testing import wait_until  # noqa: E402
from wayland_testing import (END_TIMEOUT, FRAME_DONE, KEYBOARD_ENTER, OUTPUTS, POINTER_ENTER,  # noqa: E402
                             POINTER_MOTION, START_TIMEOUT, Client, Compositor, KeyHolder, MutterSession, Skip,
                             Sway, descendants_named, run_cases, type_key, wait_for_nothing_drawn)
import wayland_testing  # noqa: E402


class NestedSway(Compositor):
    """sway inside another sway: each of its outputs is a window there, so
    closing that window takes the output away (headless sway cannot)."""

    def __init__(self, user, parent, outputs=2):
        super().__init__(user, "nested-sway")
        self.start_process(["sway", "-c", parent.config],
                           {"WAYLAND_DISPLAY": os.path.join(parent.runtime, parent.display),
                            "WLR_BACKENDS": "wayland", "WLR_RENDERER": "pixman", "WLR_WL_OUTPUTS": str(outputs),
                            "WLR_LIBINPUT_NO_DEVICES": "1"})
        self.display = wait_until(self.socket, START_TIMEOUT, "the nested sway's Wayland socket")
        self.environment["SWAYSOCK"] = wait_until(lambda: Sway.ipc_socket(self), START_TIMEOUT,
                                                  "the nested sway's IPC socket")
        wait_until(lambda: len(Sway.outputs(self)) == outputs, START_TIMEOUT, "the nested sway's outputs")

    msg = Sway.msg
    outputs = Sway.outputs
    picture = Sway.picture


class Flowball(Client):
    """The program on a compositor, its standard error (with the protocol log
    when asked for) in a file of its own."""

    name = "flowball"

    def __init__(self, compositor, program, arguments=(), extra=None, protocol_log=False, pass_fds=()):
        super().__init__(compositor, [program] + list(arguments), extra, protocol_log, pass_fds)

    def wait_for_log(self, pattern, what, after=0):
        """Until the protocol log holds more than `after` lines matching."""
        def seen():
            if not self.running():
                raise AssertionError("flowball ended (%s) before %s:\n%s" % (self.process.returncode, what,
                                                                               self.errors()[-3000:]))
            return self.count(pattern) > after

        wait_until(seen, START_TIMEOUT, what)

    def kill(self):
        if self.running():
            self.process.kill()
            self.process.wait()


class VirtualPointer:
    def __init__(self, compositor, program):
        self.process = compositor.start([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.expect("ready")

    def expect(self, word):
        line = self.process.stdout.readline().strip()
        assert line == word, "virtual-pointer answered %r, not %r" % (line, word)

    def send(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()
        self.expect("ok")

    def stop(self):
        self.process.stdin.close()
        self.process.wait(timeout=END_TIMEOUT)


def wait_for_scene(sway, flowball, outputs, what):
    """Each output's own screenshot shows the scene; answers the pictures."""
    def still_drawing():
        if not flowball.running():
            raise AssertionError("%s: flowball ended (%s):\n%s" % (what, flowball.process.returncode,
                                                                   flowball.errors()[-3000:]))

    return wayland_testing.wait_for_scene(sway, outputs, what, still_drawing)


def bar_rows(whole, sway):
    """The top bar's height on each output, from one screenshot of all."""
    places = sway.outputs()
    return {name: whole.dark_rows_from_top(places[name][0], places[name][2]) for name in OUTPUTS}


# The cases. Each gets a fresh sway (or Mutter) as the test user.

def case_each_output_shows_its_own_view(context):
    sway = context.sway()
    flowball = Flowball(sway, context.program)
    pictures = wait_for_scene(sway, flowball, OUTPUTS, "--monitors each")
    for name, picture in pictures.items():
        assert (picture.width, picture.height) == OUTPUTS[name], "%s is %dx%d" % (name, picture.width,
                                                                                  picture.height)
        context.keep(picture, "each-%s.ppm" % name)
    whole = sway.picture()
    context.keep(whole, "each-layout.ppm")
    bars = bar_rows(whole, sway)
    # Each output's bars are the same share of its own height.
    tall, short = bars["HEADLESS-1"], bars["HEADLESS-2"]
    assert tall > 20 and abs(tall * 600 / 768 - short) <= 3, "bars %s are not each output's own share" % bars
    flowball.process.send_signal(signal.SIGTERM)
    flowball.wait_end(-signal.SIGTERM, "--monitors each")


def case_span_shows_one_view_across_the_outputs(context):
    sway = context.sway()
    flowball = Flowball(sway, context.program, ["--monitors", "span"])

    def one_view():
        if not flowball.running():
            raise AssertionError("span: flowball ended:\n" + flowball.errors()[-3000:])
        tall = sway.picture("HEADLESS-1")
        if not tall.shows_scene():
            return None
        whole = sway.picture()
        bars = bar_rows(whole, sway)
        short = sway.picture("HEADLESS-2")
        # One band over both: the top bars are as high on both outputs.
        return (tall, short, whole) if (bars["HEADLESS-1"] > 20 and abs(bars["HEADLESS-1"] - bars["HEADLESS-2"]) <= 2
                                        and short.lit_ball_pixels(0, 0, short.width, short.height) > 20) else None

    tall, short, whole = wait_until(one_view, START_TIMEOUT, "one view across both outputs")
    context.keep(tall, "span-HEADLESS-1.ppm")
    context.keep(short, "span-HEADLESS-2.ppm")
    context.keep(whole, "span-layout.ppm")
    flowball.process.send_signal(signal.SIGTERM)
    flowball.wait_end(-signal.SIGTERM, "span")


def case_a_key_ends_it(context):
    sway = context.sway()
    holder = KeyHolder(sway)
    try:
        flowball = Flowball(sway, context.program, protocol_log=True)
        flowball.wait_for_log(KEYBOARD_ENTER, "the keyboard's entry")
        type_key(sway)
        flowball.wait_end(0, "a key")
        wait_for_nothing_drawn(sway, OUTPUTS, "a key")
    finally:
        holder.stop()


def case_a_click_ends_it(context):
    sway = context.sway()
    pointer = VirtualPointer(sway, context.pointer)
    flowball = Flowball(sway, context.program, protocol_log=True)
    flowball.wait_for_log(FRAME_DONE, "the first frame shown")
    pointer.send("move 1 0")
    flowball.wait_for_log(POINTER_ENTER, "the pointer's entry")
    pointer.send("click")
    flowball.wait_end(0, "a click")
    pointer.stop()


def move_and_draw_on(flowball, pointer, step, motion, frames_after):
    """The pointer moves by step, flowball reads the motion and draws on."""
    motions = flowball.count(POINTER_MOTION)
    pointer.send(step)
    flowball.wait_for_log(POINTER_MOTION, motion, after=motions)
    frames = flowball.count(FRAME_DONE)
    flowball.wait_for_log(FRAME_DONE, frames_after, after=frames + 2)


def case_pointer_movement_beyond_the_threshold_ends_it(context):
    sway = context.sway()
    pointer = VirtualPointer(sway, context.pointer)
    flowball = Flowball(sway, context.program, protocol_log=True)
    flowball.wait_for_log(FRAME_DONE, "the first frame shown")
    pointer.send("move 1 0")
    flowball.wait_for_log(POINTER_ENTER, "the pointer's entry")
    # 2 + 1 = 3 pixels from where it entered, within the threshold of 4.
    move_and_draw_on(flowball, pointer, "move 2 1", "the small motion", "frames after the small motion")
    # 3 more: 6 from the entry.
    pointer.send("move 3 0")
    flowball.wait_end(0, "movement beyond the threshold")
    pointer.stop()


def case_a_scaled_output_is_drawn_at_its_pixel_size(context):
    sway = context.sway()
    sway.msg("output", "HEADLESS-2", "scale", "2")
    wait_until(lambda: sway.outputs()["HEADLESS-2"][2:] == (400, 300), START_TIMEOUT,
               "HEADLESS-2 at 400x300 logical pixels")
    flowball = Flowball(sway, context.program, protocol_log=True)
    pictures = wait_for_scene(sway, flowball, OUTPUTS, "scale 2")
    context.keep(pictures["HEADLESS-2"], "scaled-HEADLESS-2.ppm")
    log = flowball.errors()
    # Buffers of the output's 800x600 pixels, shown at scale 2: drawn sharp,
    # not 400x300 stretched by the compositor.
    assert re.search(r"set_buffer_scale\(2\)", log), "no buffer scale of 2"
    assert re.search(r"create_buffer\(new id wl_buffer@\d+, \d+, 800, 600,", log), "no 800x600 buffer"
    assert not re.search(r"create_buffer\(new id wl_buffer@\d+, \d+, 400, 300,", log), "a 400x300 buffer"
    flowball.process.send_signal(signal.SIGTERM)
    flowball.wait_end(-signal.SIGTERM, "scale 2")


def case_a_hidden_surface_draws_nothing_and_sleeps(context):
    """A full-screen window on a workspace that is not shown gets no frame
    callbacks: nothing is drawn and the program sleeps until it shows again.
    (The layer shell's surfaces are always shown; headless sway cannot turn an
    output off.)"""
    sway = context.sway({"HEADLESS-1": (1024, 768)})
    flowball = Flowball(sway, context.program, extra={"FLOWBALL_WAYLAND_NO_LAYER_SHELL": "1"},
                        protocol_log=True)
    wait_for_scene(sway, flowball, ["HEADLESS-1"], "before hiding")
    sway.msg("workspace", "hidden")
    commit = r"wl_surface@\d+\.commit\("

    def settled():
        before = flowball.count(commit), testing.thread_switches(flowball.process.pid)
        time.sleep(2.0)
        after = flowball.count(commit), testing.thread_switches(flowball.process.pid)
        return (after[0] == before[0], after[1] - before[1])

    # Frames already under way may still land; then none for 2 s, and hardly
    # a wake-up.
    def quiet():
        stopped, wakeups = settled()
        return (wakeups,) if stopped else None

    (wakeups,) = wait_until(quiet, START_TIMEOUT, "no frames while hidden")
    print("hidden: %d wake-ups in 2 s" % wakeups)
    assert wakeups <= 10, "hidden, the main thread woke %d times in 2 s" % wakeups
    frames = flowball.count(commit)
    sway.msg("workspace", "1")
    flowball.wait_for_log(commit, "frames once shown again", after=frames + 2)
    wait_for_scene(sway, flowball, ["HEADLESS-1"], "shown again")
    flowball.process.send_signal(signal.SIGTERM)
    flowball.wait_end(-signal.SIGTERM, "hidden and shown")


def case_crossing_onto_another_output_is_not_movement_by_itself(context):
    sway = context.sway()
    pointer = VirtualPointer(sway, context.pointer)
    # Two pixels left of the second output, before flowball starts: its
    # surface on the first output appears under the pointer.
    pointer.send("to 1022 300 1824 768")
    flowball = Flowball(sway, context.program, protocol_log=True)
    flowball.wait_for_log(POINTER_ENTER, "the pointer's entry on the first output")
    # 3 pixels right: onto the second output, at its own x of 1, a long way
    # from 1022 in that surface's coordinates but a short way on the desk.
    entries = flowball.count(POINTER_ENTER)
    pointer.send("move 3 0")
    flowball.wait_for_log(POINTER_ENTER, "the pointer's entry on the second output", after=entries)
    # A pixel more there: 1 from where it entered the second output.
    move_and_draw_on(flowball, pointer, "move 1 0", "the motion on the second output", "frames after the crossing")
    pointer.send("move 4 0")
    flowball.wait_end(0, "movement beyond the threshold on the second output")
    pointer.stop()


def full_screen_windows(sway):
    """The ids of the windows in sway's tree that are full screen."""
    found = []
    pending = [json.loads(sway.msg("-t", "get_tree", "-r"))]
    while pending:
        node = pending.pop()
        if node.get("fullscreen_mode", 0) != 0 and node.get("pid"):
            found.append(node["id"])
        pending.extend(node.get("nodes", []) + node.get("floating_nodes", []))
    return found


def case_it_covers_a_full_screen_window_and_leaves_it_so(context):
    sway = context.sway()
    holder = KeyHolder(sway)
    window = sway.start([context.full_screen_client, "33333"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                        stderr=subprocess.DEVNULL)
    try:
        windows = wait_until(lambda: full_screen_windows(sway), START_TIMEOUT, "the user's full-screen window")
        flowball = Flowball(sway, context.program, protocol_log=True)
        wait_for_scene(sway, flowball, OUTPUTS, "over a full-screen window")
        flowball.wait_for_log(KEYBOARD_ENTER, "the keyboard's entry")
        type_key(sway)
        flowball.wait_end(0, "a key over a full-screen window")
        assert full_screen_windows(sway) == windows, "the user's window is no longer full screen"
        assert window.poll() is None, "the user's window ended"
    finally:
        window.terminate()
        window.wait(timeout=END_TIMEOUT)
        holder.stop()


def case_stop_signals_end_it_by_the_signal(context):
    sway = context.sway()
    for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        flowball = Flowball(sway, context.program)
        wait_for_scene(sway, flowball, OUTPUTS, signal.Signals(number).name)
        flowball.process.send_signal(number)
        flowball.wait_end(-number, signal.Signals(number).name)
        assert "flowball:" not in flowball.errors(), flowball.errors()
        wait_for_nothing_drawn(sway, OUTPUTS, signal.Signals(number).name)


def case_a_stop_signal_ends_it_with_the_compositor_stalled(context):
    sway = context.sway()
    flowball = Flowball(sway, context.program)
    wait_for_scene(sway, flowball, OUTPUTS, "before the stall")
    sway.process.send_signal(signal.SIGSTOP)
    try:
        started = time.monotonic()
        flowball.process.send_signal(signal.SIGTERM)
        flowball.wait_end(-signal.SIGTERM, "SIGTERM, the compositor stalled")
        print("SIGTERM with the compositor stalled: ended after %.2f s" % (time.monotonic() - started))
    finally:
        sway.process.send_signal(signal.SIGCONT)


def case_an_output_that_comes_is_covered(context):
    sway = context.sway()
    flowball = Flowball(sway, context.program)
    wait_for_scene(sway, flowball, OUTPUTS, "two outputs")
    sway.msg("create_output")
    added = wait_until(lambda: [name for name in sway.outputs() if name not in OUTPUTS], START_TIMEOUT,
                       "the new output")[0]
    started = time.monotonic()
    pictures = wait_for_scene(sway, flowball, [added], "the new output " + added)
    print("new output %s covered in %.2f s" % (added, time.monotonic() - started))
    context.keep(pictures[added], "added-%s.ppm" % added)
    # sway 1.7 cannot take a headless output away (disabling one fails and
    # "unplug" came later): an_output_that_goes_loses_its_surface tries that
    # in a nested sway.
    flowball.process.send_signal(signal.SIGTERM)
    flowball.wait_end(-signal.SIGTERM, "outputs changed")


def adopted_flowballs():
    """The flowball processes that swayidle started: it starts its commands
    in a process of their own whose parent has gone, so they come to the test
    (a subreaper). Answers the running ones' pids and collects the ended ones'
    statuses into ended_flowballs."""
    running = []
    for pid in descendants_named(os.getpid(), "flowball", ended=True):
        try:
            done, status = os.waitpid(pid, os.WNOHANG)
        except ChildProcessError:
            continue
        if done:
            ended_flowballs[pid] = os.waitstatus_to_exitcode(status)
        else:
            running.append(pid)
    return running


ended_flowballs = {}


def case_an_output_that_goes_loses_its_surface(context):
    parent = context.sway({"HEADLESS-1": (1280, 720)})
    nested = NestedSway(context.user, parent)
    context.compositors.insert(0, nested)
    flowball = Flowball(nested, context.program, protocol_log=True)
    wait_for_scene(nested, flowball, ["WL-1", "WL-2"], "two nested outputs")
    removals = flowball.count(r"wl_registry@\d+\.global_remove\(")
    parent.msg('[title="wlroots - WL-2"]', "kill")
    flowball.wait_for_log(r"zwlr_layer_surface_v1@\d+\.destroy\(", "the gone output's surface let go")
    assert flowball.count(r"wl_registry@\d+\.global_remove\(") > removals, "no output was taken away"
    # It draws on: the remaining output, grown to the whole window.
    frames = flowball.count(FRAME_DONE)
    flowball.wait_for_log(FRAME_DONE, "frames after the output went", after=frames + 2)
    wide = lambda: nested.outputs().get("WL-1", (0, 0, 0, 0))[2] > 1000
    wait_until(wide, START_TIMEOUT, "WL-1 across the parent's output")
    context.keep(wait_for_scene(nested, flowball, ["WL-1"], "the remaining output")["WL-1"], "remaining-WL-1.ppm")
    flowball.process.send_signal(signal.SIGTERM)
    flowball.wait_end(-signal.SIGTERM, "an output gone")


def case_with_no_output_left_it_ends_with_a_message(context):
    parent = context.sway({"HEADLESS-1": (1280, 720)})
    nested = NestedSway(context.user, parent)
    context.compositors.insert(0, nested)
    flowball = Flowball(nested, context.program)
    wait_for_scene(nested, flowball, ["WL-1", "WL-2"], "two nested outputs")
    for name in ("WL-1", "WL-2"):
        parent.msg('[title="wlroots - %s"]' % name, "kill")
    flowball.wait_end(1, "every output gone")
    assert "flowball: the Wayland compositor has no output left to cover" in flowball.errors(), flowball.errors()


def case_an_output_that_changes_its_mode_is_drawn_at_its_new_size(context):
    sway = context.sway()
    flowball = Flowball(sway, context.program)
    wait_for_scene(sway, flowball, OUTPUTS, "before the change")
    sway.msg("output", "HEADLESS-2", "mode", "640x480")

    def resized():
        picture = wait_for_scene(sway, flowball, ["HEADLESS-2"], "640x480")["HEADLESS-2"]
        # Bars as high at the bottom as at the top: the picture is laid out
        # for 640x480, not an 800x600 one cut off.
        top, bottom = picture.dark_rows_from_top(0, 640), picture.dark_rows_from_bottom(0, 640)
        return picture if (picture.width, picture.height) == (640, 480) and abs(top - bottom) <= 2 else None

    context.keep(wait_until(resized, START_TIMEOUT, "HEADLESS-2 drawn at 640x480"), "resized-HEADLESS-2.ppm")
    flowball.process.send_signal(signal.SIGTERM)
    flowball.wait_end(-signal.SIGTERM, "mode change")


def case_the_idle_daemon_starts_it_and_a_key_ends_it(context):
    sway = context.sway()
    holder = KeyHolder(sway)
    log = os.path.join(context.user.home, "idle-flowball.log")
    # The protocol log of each start, so that the test knows when flowball
    # has its keyboard. Without -w, as the documentation says.
    command = "WAYLAND_DEBUG=client exec %s 2>>%s" % (context.program, log)
    # Orphans among the test's descendants come to the test, so that the
    # commands swayidle starts are found by their parent's pid.
    testing.adopt_orphans()
    # A later timeout (a locker's, a screen-off's) still fires while
    # flowball runs: it asks no one to keep the desktop from idling.
    later = os.path.join(context.user.home, "later-timeout")
    idle = sway.start(["swayidle", "timeout", "2", command, "timeout", "5", "exec touch " + later],
                      stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        first = wait_until(adopted_flowballs, START_TIMEOUT, "swayidle to start flowball")[0]
        wait_until(lambda: os.path.exists(later), START_TIMEOUT, "the later timeout while flowball runs")
        assert first in adopted_flowballs(), "flowball ended before the later timeout"

        def keyboard_entries():
            try:
                with open(log, errors="replace") as text:
                    return len(re.findall(KEYBOARD_ENTER, text.read()))
            except OSError:
                return 0

        wait_until(keyboard_entries, START_TIMEOUT, "the keyboard's entry")
        entries = keyboard_entries()
        type_key(sway)
        wait_until(lambda: first not in adopted_flowballs(), END_TIMEOUT, "flowball to end on the key")
        assert ended_flowballs[first] == 0, "the key ended flowball with %s" % ended_flowballs[first]
        # Idle again: swayidle starts it anew.
        second = wait_until(lambda: [pid for pid in adopted_flowballs() if pid != first], START_TIMEOUT,
                            "swayidle to start flowball again")[0]
        wait_until(lambda: keyboard_entries() > entries, START_TIMEOUT, "the second start's keyboard")
        type_key(sway)
        wait_until(lambda: second not in adopted_flowballs(), END_TIMEOUT, "the second flowball to end on the key")
        assert ended_flowballs[second] == 0, "the key ended flowball with %s" % ended_flowballs[second]
    finally:
        for pid in adopted_flowballs():
            os.kill(pid, signal.SIGKILL)
            os.waitpid(pid, 0)
        idle.terminate()
        idle.wait(timeout=END_TIMEOUT)
        holder.stop()


def case_full_screen_windows_cover_the_outputs_without_layer_shell(context):
    sway = context.sway()
    holder = KeyHolder(sway)
    try:
        flowball = Flowball(sway, context.program, extra={"FLOWBALL_WAYLAND_NO_LAYER_SHELL": "1"},
                            protocol_log=True)
        pictures = wait_for_scene(sway, flowball, OUTPUTS, "xdg-shell")
        for name, picture in pictures.items():
            context.keep(picture, "xdg-shell-%s.ppm" % name)
        log = flowball.errors()
        assert "xdg_toplevel" in log and "zwlr_layer_shell_v1.get_layer_surface" not in log, (
            "not drawn through full-screen xdg-shell windows")
        flowball.wait_for_log(KEYBOARD_ENTER, "the keyboard's entry")
        type_key(sway)
        flowball.wait_end(0, "xdg-shell, a key")
    finally:
        holder.stop()


def case_the_compositor_going_away_ends_it_with_a_message(context):
    sway = context.sway()
    flowball = Flowball(sway, context.program)
    wait_for_scene(sway, flowball, OUTPUTS, "before the compositor goes")
    sway.stop()
    flowball.wait_end(1, "the compositor gone")
    assert "flowball: the Wayland compositor went away" in flowball.errors(), flowball.errors()


def case_no_display_at_all_is_one_message(context):
    runtime = context.user.folder("run-none", 0o700)
    environment = {"HOME": context.user.home, "PATH": "/usr/bin:/bin", "XDG_RUNTIME_DIR": runtime}
    cases = [
        ([], {}, ["no Wayland compositor", "no X display"]),
        # A name that nobody answers is no display either.
        ([], {"WAYLAND_DISPLAY": "wayland-7"}, ["no Wayland compositor", "no X display"]),
        (["--wayland"], {"WAYLAND_DISPLAY": "wayland-7"}, ["cannot connect to the Wayland compositor 'wayland-7'"]),
        # A terminal's codes in the name are shown, not sent.
        (["--wayland"], {"WAYLAND_DISPLAY": "wayland-7\x1b[2J"},
         ["cannot connect to the Wayland compositor 'wayland-7\\x1B[2J'"]),
    ]
    for arguments, extra, words in cases:
        result = subprocess.run(context.user.command([context.program] + arguments, dict(environment, **extra)),
                                capture_output=True, text=True, timeout=END_TIMEOUT)
        assert result.returncode == 1, "%s %s: status %s" % (arguments, extra, result.returncode)
        lines = result.stderr.splitlines()
        assert len(lines) == 1 and all(word in lines[0] for word in words), result.stderr


def handed_over_connection(sway):
    """A launcher's connection to sway, its descriptor inheritable, and the
    environment that hands it over: WAYLAND_SOCKET, no WAYLAND_DISPLAY, and a
    runtime folder without sway's socket, so that nothing else reaches it."""
    connection = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    connection.connect(os.path.join(sway.runtime, sway.display))
    empty = sway.user.folder("run-handed-over", 0o700)
    return connection, {"WAYLAND_DISPLAY": None, "WAYLAND_SOCKET": str(connection.fileno()),
                        "XDG_RUNTIME_DIR": empty}


def case_a_connection_handed_over_is_the_one_drawn_on(context):
    sway = context.sway()
    connection, extra = handed_over_connection(sway)
    with connection:
        flowball = Flowball(sway, context.program, extra=extra, pass_fds=(connection.fileno(),))
    wait_for_scene(sway, flowball, OUTPUTS, "a connection handed over")
    flowball.process.send_signal(signal.SIGTERM)
    flowball.wait_end(-signal.SIGTERM, "a connection handed over")
    # The idle watcher would keep the one connection and start savers that
    # have none: it says so at once.
    connection, extra = handed_over_connection(sway)
    with connection:
        watcher = Flowball(sway, context.program, ["--idle-after", "1m"], extra, pass_fds=(connection.fileno(),))
    watcher.wait_end(1, "the idle watcher on a connection handed over")
    assert "WAYLAND_SOCKET" in watcher.errors() and "WAYLAND_DISPLAY" in watcher.errors(), watcher.errors()


def case_egl_failing_on_a_surface_ends_it_with_a_message(context):
    """A frame that EGL cannot present brings no frame callback, and a surface
    the context cannot be made current on shows nothing: either ends the
    program with a message rather than a picture that stopped."""
    sway = context.sway()
    for call, words in (("eglSwapBuffers", "present a frame on"),
                        ("eglMakeCurrent", "make the context current on")):
        flowball = Flowball(sway, context.program, extra={"LD_PRELOAD": context.failing_egl,
                                                          "FAILING_EGL_CALL": call, "FAILING_EGL_AFTER": "20"})
        flowball.wait_end(1, call + " failing")
        errors = flowball.errors()
        assert errors.count("flowball: EGL cannot") == 1 and words + " an output's surface" in errors, errors


def case_mutter(context):
    """Mutter (GNOME's compositor, no layer shell) in a D-Bus session: flowball
    starts, its frames are shown (frame callbacks come), it stays, and SIGTERM
    ends it."""
    if shutil.which("mutter") is None or shutil.which("dbus-run-session") is None:
        raise Skip("mutter or dbus-run-session is not installed")
    mutter = MutterSession(context.user)
    context.compositors.append(mutter)
    try:
        mutter.display = wait_until(mutter.socket, START_TIMEOUT, "Mutter's Wayland socket")
    except AssertionError as error:
        raise Skip("Mutter cannot run here: %s" % error)
    flowball = Flowball(mutter, context.program, protocol_log=True)
    flowball.wait_for_log(r"xdg_toplevel@\d+\.configure\(1024, 768", "a full-screen configure of 1024x768")
    flowball.wait_for_log(FRAME_DONE, "frames shown", after=30)
    assert "zwlr_layer_shell" not in flowball.errors(), "Mutter offered a layer shell?"
    flowball.process.send_signal(signal.SIGTERM)
    flowball.wait_end(-signal.SIGTERM, "Mutter, SIGTERM")


class Context(wayland_testing.Context):
    def __init__(self, program, pointer, full_screen_client, failing_egl, shots):
        super().__init__(shots)
        self.program = self.install(program, "flowball")
        self.pointer = self.install(pointer, "virtual-pointer")
        self.full_screen_client = self.install(full_screen_client, "minimal-wayland-egl")
        self.failing_egl = self.install(failing_egl, "failing-egl.so")


def main():
    program, pointer, full_screen_client, failing_egl, shots = (os.path.abspath(argument)
                                                                for argument in sys.argv[1:6])
    os.makedirs(shots, exist_ok=True)
    cases = {name[len("case_"):]: function for name, function in globals().items() if name.startswith("case_")}
    chosen = sys.argv[6:] or [name for name in cases if name != "mutter"]
    return run_cases(Context(program, pointer, full_screen_client, failing_egl, shots), cases, chosen)


if __name__ == "__main__":
    sys.exit(main())
