#!/usr/bin/env python3
"""The long run: the X11 program and the 64-bit flowball.scr under Wine, side
by side, each on a virtual display of its own (Xvfb, 1024x768, Mesa's
software GL), with every optional element on, the largest detail and the
highest speed, for a number of minutes.

  soak.py [--native-build DIR] [--win-build DIR] [--minutes M]
          [--interval S] [--warm-up S] [--only x11|wine]

Every interval (30 s) it samples each program's resident memory (the least
of ten readings over a second), open files and threads from /proc, and for
the Windows program the handles it holds in Wine's handle list
(scripts/soak/handle_watch.c starts the saver and counts them). At the end
it prints a table per program and a verdict:

  - resident memory after the warm-up stays within 1 MB of its first sample
    after the warm-up, counting what stays taken over three samples (90 s):
    the process takes a megabyte for a minute at times and gives it back;
  - open files, threads (and handles) after the warm-up stay as they were;
  - the picture is still drawn at the end: the program's window is lit,
    varied and moving, as it was after the warm-up;
  - a key press still ends the program, with exit status 0.

The X11 program runs in its own window (Escape ends it); the saver runs as
/s, full screen (a key ends it), in a Wine prefix of the measurement's own,
build/win64/soak-wineprefix. Each program is found among the processes this
script started (tests/support/flowball_testing.py; it adopts the orphans
Wine's double fork leaves, the saver's process among them), by the name of
its program file.

A run too short to judge memory (four samples after the warm-up are
needed: a little over 2 minutes with the defaults) is refused before it
starts.

A measurement, not a test. Exit status: 0 when every verdict holds, 1 when
one does not, 2 when a program could not be run at all or the run would be
too short to judge.
"""

import argparse
import os
import runpy
import select
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
START_TIMEOUT = 180.0
END_TIMEOUT = 60.0
# Resident memory after the warm-up may move this much from its first sample.
MEMORY_TOLERANCE_KIB = 1024
# Both programs grow by a megabyte or two in their first minutes, a step at a
# time, and then stay.
DEFAULT_WARM_UP = 180.0
READINGS = 10
# The process also takes a megabyte for a minute or so at times and gives it
# back (the scene's own heap does not grow: flowball-soak-tests): memory
# counts as kept when it stays taken over this many samples.
HELD_SAMPLES = 3
# Memory is judged by comparing such spans after the warm-up: at least two.
MEMORY_JUDGED_SAMPLES = HELD_SAMPLES + 1
# The rows the X11 program's --fps read-out may take at its window's top.
FPS_READOUT_HEIGHT = 40

sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
import flowball_testing as testing  # noqa: E402

# The Wine prefix's set-up of the frame measurement. The script's name has a
# dash, so it is run for its definitions.
WineSession = runpy.run_path(os.path.join(HERE, "measure-frames.py"))["WineSession"]
WIDTH, HEIGHT = 1024, 768

# Every optional element on, the largest detail, the highest speed: as
# command-line options and as the saver's registry values.
SOAK_OPTIONS = ["--bars", "--stars", "--particles", "--fog", "--underlay", "--overlay", "--detail", "100",
                "--speed", "400", "--fps"]
SOAK_REGISTRY = {"Bars": 1, "Stars": 1, "Particles": 1, "Fog": 1, "Underlay": 1, "Overlay": 1, "Detail": 100,
                 "Speed": 400}


class Sample:
    """One reading of a program: seconds since its start, resident KiB, open
    files, threads, and handles (None where there are none to read, "?"
    where the system would not list them)."""

    def __init__(self, seconds, resident_kib, files, threads, handles=None):
        self.seconds = seconds
        self.resident_kib = resident_kib
        self.files = files
        self.threads = threads
        self.handles = handles


def read_sample(pid, seconds, handles=None):
    """The figures now; resident memory as the least of READINGS readings over
    a second, so that a buffer that lives for a frame or two does not count
    as kept."""
    readings = []
    for reading in range(READINGS):
        if reading:
            time.sleep(1.0 / READINGS)
        readings.append(testing.memory_and_threads(pid))
    resident_kib = min(kib for kib, _ in readings)
    return Sample(seconds, resident_kib, testing.open_files(pid), readings[-1][1], handles)


# Pictures: the program's window is lit (not blank), varied (more than a
# flat fill) and moving (two pictures a moment apart differ).

class Picture:
    def __init__(self, display_name):
        data = subprocess.run(["import", "-display", display_name, "-window", "root", "-depth", "8", "ppm:-"],
                              check=True, capture_output=True, timeout=END_TIMEOUT).stdout
        fields = data.split(maxsplit=4)
        if fields[0] != b"P6" or fields[3] != b"255":
            raise RuntimeError("unexpected picture header %r" % fields[:4])
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = fields[4]

    def sampled(self, rectangle, step=4):
        left, top, width, height = rectangle
        for y in range(top, min(top + height, self.height), step):
            row = 3 * y * self.width
            for x in range(left, min(left + width, self.width), step):
                yield tuple(self.pixels[row + 3 * x:row + 3 * x + 3])


def picture_figures(first, second, rectangle):
    """(share of lit pixels, distinct colours, share of pixels that changed)
    in the rectangle, sampled every fourth pixel."""
    lit = changed = total = 0
    colours = set()
    for a, b in zip(first.sampled(rectangle), second.sampled(rectangle)):
        total += 1
        lit += max(a) > 48
        changed += a != b
        colours.add((a[0] >> 4, a[1] >> 4, a[2] >> 4))
    if total == 0:
        return 0.0, 0, 0.0
    return lit / total, len(colours), changed / total


def scene_is_drawn(figures):
    lit, colours, changed = figures
    return lit >= 0.01 and colours >= 8 and changed >= 0.005


def look(display_name, rectangle):
    first = Picture(display_name)
    time.sleep(1.0)  # the scene moves on between the two pictures
    return picture_figures(first, Picture(display_name), rectangle)


def reachable_xvfb():
    """An Xvfb of this script's own that clients reach. A display number can
    be taken by another server that keeps no lock file (an Xwayland listening
    on the abstract socket alone): the first server that nobody reaches holds
    its number while the next one is started, which then picks another."""
    unreachable = []
    try:
        for _ in range(3):
            display = testing.xvfb(WIDTH, HEIGHT)
            reached = subprocess.run(["xdpyinfo", "-display", display.name], stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, timeout=END_TIMEOUT).returncode == 0
            if reached:
                return display
            unreachable.append(display)
        raise RuntimeError("no Xvfb of ours could be reached (%s)" %
                           ", ".join(display.name for display in unreachable))
    finally:
        for display in unreachable:
            display.stop()


# The programs.

class X11Program:
    name = "flowball (X11)"

    def __init__(self, args):
        self.program = os.path.abspath(os.path.join(args.native_build, "flowball"))
        self.process = None
        self.display = None
        self.window = None

    def start(self):
        self.display = reachable_xvfb()
        env = dict(os.environ, DISPLAY=self.display.name, LIBGL_ALWAYS_SOFTWARE="1")
        env.pop("XSCREENSAVER_WINDOW", None)
        self.errors = tempfile.TemporaryFile()
        self.process = subprocess.Popen([self.program] + SOAK_OPTIONS, env=env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=self.errors)
        self.pid = self.process.pid

        def window():
            if self.process.poll() is not None:
                self.errors.seek(0)
                raise RuntimeError("flowball ended at once, status %d: %s" %
                                   (self.process.returncode, self.errors.read().decode(errors="replace").strip()))
            return self.xdotool("search", "--name", "^Flowball$").split()

        self.window = testing.wait_until(window, START_TIMEOUT, "the window titled Flowball")[0]
        geometry = dict(line.split("=") for line in self.xdotool("getwindowgeometry", "--shell",
                                                                 self.window).split())
        left, top, width, height = (int(geometry[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))
        # The frame-rate read-out changes in every frame: the pictures are
        # judged below it.
        self.rectangle = (left, top + FPS_READOUT_HEIGHT, width, height - FPS_READOUT_HEIGHT)

    def xdotool(self, *arguments):
        return subprocess.run(["xdotool"] + list(arguments), env=dict(os.environ, DISPLAY=self.display.name),
                              capture_output=True, text=True, timeout=END_TIMEOUT).stdout

    def running(self):
        return self.process.poll() is None

    def handles(self):
        return None

    def end_by_key(self):
        """The exit status after an Escape key press, or None when the
        program did not end."""
        self.xdotool("key", "--window", self.window, "Escape")
        try:
            return self.process.wait(timeout=END_TIMEOUT)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self.display is not None:
            self.display.stop()


class WineProgram:
    name = "flowball.scr /s (64-bit Wine)"

    def __init__(self, args, work):
        self.saver = os.path.abspath(os.path.join(args.win_build, "flowball.scr"))
        self.watch = os.path.join(work, "handle-watch.exe")
        subprocess.run(["x86_64-w64-mingw32-gcc", "-O2", "-o", self.watch,
                        os.path.join(HERE, "soak", "handle_watch.c")], check=True)
        self.wine = WineSession(args.win_build)
        self.wine.prefix = os.path.join(self.wine.build, "soak-wineprefix")
        self.wine.env["WINEPREFIX"] = self.wine.prefix
        self.process = None
        self.display = None
        self.pid = None
        self.handles_readable = True

    def start(self):
        self.display = reachable_xvfb()
        self.wine.prepare(self.display, SOAK_REGISTRY)
        env = dict(os.environ, DISPLAY=self.display.name, **self.wine.env)
        # Z: is the Unix root in every Wine prefix.
        saver = "Z:" + self.saver.replace("/", "\\")
        self.process = subprocess.Popen(["wine", self.watch, saver, "/s"], env=env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, bufsize=1)
        started = self.reply("pid")
        if started is None:
            raise RuntimeError("the saver did not start under Wine (status %s)" % self.process.poll())
        # Wine's double fork hands the saver's process to this script, which
        # adopts its orphans.
        saver_name = os.path.basename(self.saver)
        testing.wait_until(lambda: testing.processes_of(os.getpid(), saver_name), START_TIMEOUT,
                           "the saver's Unix process")
        self.pid = testing.the_process_of(os.getpid(), saver_name)
        self.rectangle = (0, 0, WIDTH, HEIGHT)

    def reply(self, word):
        """The next line from the watcher that starts with word, its value;
        None when the watcher ends or stays silent."""
        deadline = time.monotonic() + START_TIMEOUT
        while time.monotonic() < deadline:
            ready, _, _ = select.select([self.process.stdout], [], [], deadline - time.monotonic())
            if not ready:
                return None
            line = self.process.stdout.readline()
            if not line:
                return None
            key, _, value = line.strip().partition(" ")
            if key == word:
                return value
        return None

    def running(self):
        return self.pid is not None and self.pid in testing.live_parents()

    def handles(self):
        if not self.handles_readable:
            return "?"
        self.process.stdin.write("\n")
        value = self.reply("handles")
        if value is None or not value.isdigit():
            self.handles_readable = False
            return "?"
        return int(value)

    def end_by_key(self):
        subprocess.run(["xdotool", "key", "space"], env=dict(os.environ, DISPLAY=self.display.name),
                       timeout=END_TIMEOUT, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.process.stdin.close()
        value = self.reply("exit")
        try:
            self.process.wait(timeout=END_TIMEOUT)
        except subprocess.TimeoutExpired:
            return None
        return int(value) if value is not None and value.isdigit() else None

    def stop(self):
        if self.running():
            testing.end_processes([self.pid], what="the saver")
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self.display is not None:
            self.wine.stop(self.display)
            self.display.stop()


# The verdict, from the samples alone (tests/perf/soak_test.py checks it).

def after_warm_up(samples, warm_up):
    return [sample for sample in samples if sample.seconds >= warm_up]


def judged_sample_count(minutes, interval, warm_up):
    """How many samples a run of this length takes after the warm-up: one
    every interval from the start, the last at the end."""
    times = [step * interval for step in range(int(minutes * 60.0 / interval) + 1)]
    return sum(1 for seconds in times if seconds >= warm_up)


def too_short_to_judge(minutes, interval, warm_up):
    """Why a run of this length cannot judge memory, or None: memory counts
    as kept over HELD_SAMPLES samples, so with no more samples than that
    after the warm-up there is only one span and nothing to compare it
    with: the run could not fail."""
    count = judged_sample_count(minutes, interval, warm_up)
    if count >= MEMORY_JUDGED_SAMPLES:
        return None
    return ("%g minutes with a sample every %g s and %g s of warm-up give %d samples to judge; memory needs at "
            "least %d: run longer (--minutes) or sample more often (--interval)" %
            (minutes, interval, warm_up, count, MEMORY_JUDGED_SAMPLES))


def held_memory(samples):
    """The memory each run of HELD_SAMPLES samples held throughout (their
    least): a megabyte taken for a while and given back does not count,
    memory that stays taken does."""
    kib = [sample.resident_kib for sample in samples]
    return [min(kib[i:i + HELD_SAMPLES]) for i in range(len(kib) - HELD_SAMPLES + 1)]


def verdict(samples, warm_up, drawn_at_start, drawn_at_end, exit_status):
    """[(check, holds, detail)] for one program's run."""
    checks = []
    judged = after_warm_up(samples, warm_up)
    if not judged:
        return [("samples after the warm-up", False, "none: the run ended within %d s" % warm_up)]
    first = judged[0]
    if len(judged) < MEMORY_JUDGED_SAMPLES:
        return [("samples after the warm-up", False,
                 "%d: too few to judge memory kept over %d" % (len(judged), HELD_SAMPLES))]
    held = held_memory(judged)
    change = max((kib - held[0] for kib in held), key=abs)
    checks.append(("memory within 1 MB of its first sample after the warm-up", abs(change) <= MEMORY_TOLERANCE_KIB,
                   "held over %d samples: %d KiB from %d s, at most %+d KiB from it" %
                   (HELD_SAMPLES, held[0], first.seconds, change)))
    for label, key in (("open files", "files"), ("threads", "threads"), ("handles", "handles")):
        values = [getattr(sample, key) for sample in judged]
        if all(value is None for value in values):
            continue
        if any(value == "?" for value in values):
            checks.append((label + " constant", True, "not readable here: not judged"))
            continue
        checks.append((label + " constant", len(set(values)) == 1,
                       "%s from %d s on" % ("/".join(str(value) for value in sorted(set(values))), first.seconds)))
    checks.append(("the picture still drawn at the end", drawn_at_start and drawn_at_end,
                   "after the warm-up: %s; at the end: %s" % ("drawn" if drawn_at_start else "NOT drawn",
                                                               "drawn" if drawn_at_end else "NOT drawn")))
    checks.append(("a key press ends it with status 0", exit_status == 0,
                   "did not end" if exit_status is None else "status %d" % exit_status))
    return checks


def print_report(name, samples, checks):
    print("\n### %s\n" % name)
    with_handles = any(sample.handles is not None for sample in samples)
    print("| time | resident memory (KiB) | open files | threads |%s" % (" handles |" if with_handles else ""))
    print("|---|---|---|---|%s" % ("---|" if with_handles else ""))
    for sample in samples:
        handles = (" %s |" % ("not readable" if sample.handles == "?" else sample.handles)) if with_handles else ""
        print("| %d:%02d | %d | %d | %d |%s" % (sample.seconds // 60, sample.seconds % 60, sample.resident_kib,
                                                sample.files, sample.threads, handles))
    print()
    if with_handles and any(sample.handles == "?" for sample in samples):
        print("Handles: Wine did not list this process's handles; they are not judged.\n")
    for check, holds, detail in checks:
        print("- %s: %s (%s)" % (check, "yes" if holds else "NO", detail))
    print("\nVerdict: %s" % ("holds" if all(holds for _, holds, _ in checks) else "FAILS"))


def run(programs, args):
    minutes_seconds = args.minutes * 60.0
    for program in programs:
        program.start()
    # The clock starts once each program draws its scene.
    for program in programs:
        def drawing():
            if not program.running():
                raise RuntimeError("%s ended before it drew its scene" % program.name)
            return scene_is_drawn(look(program.display.name, program.rectangle))

        testing.wait_until(drawing, START_TIMEOUT, program.name + " drawing its scene")
    began = time.monotonic()
    samples = {program.name: [] for program in programs}
    drawn_at_start = {}
    ended_early = {}
    next_sample = 0.0
    while True:
        elapsed = time.monotonic() - began
        if elapsed >= next_sample:
            for program in programs:
                if program.name in ended_early:
                    continue
                if not program.running():
                    ended_early[program.name] = elapsed
                    continue
                samples[program.name].append(read_sample(program.pid, round(elapsed), program.handles()))
                latest = samples[program.name][-1]
                print("%s at %.0f s: %d KiB, %d files, %d threads%s" %
                      (program.name, elapsed, latest.resident_kib, latest.files, latest.threads,
                       "" if latest.handles is None else ", handles %s" % latest.handles),
                      file=sys.stderr, flush=True)
                if program.name not in drawn_at_start and elapsed >= args.warm_up:
                    drawn_at_start[program.name] = scene_is_drawn(look(program.display.name, program.rectangle))
            next_sample += args.interval
        if elapsed >= minutes_seconds:
            break
        time.sleep(max(0.0, min(next_sample, minutes_seconds) - (time.monotonic() - began)))
    failed = False
    for program in programs:
        if program.name in ended_early:
            checks = [("running to the end", False, "ended after %.0f s" % ended_early[program.name])]
        else:
            figures = look(program.display.name, program.rectangle)
            print("%s at the end: %.1f%% lit, %d colours, %.1f%% changed in a second" %
                  (program.name, 100 * figures[0], figures[1], 100 * figures[2]), file=sys.stderr, flush=True)
            status = program.end_by_key()
            checks = verdict(samples[program.name], args.warm_up, drawn_at_start.get(program.name, False),
                             scene_is_drawn(figures), status)
        print_report(program.name, samples[program.name], checks)
        failed = failed or not all(holds for _, holds, _ in checks)
    return 1 if failed else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--native-build", default=os.path.join(ROOT, "build", "native"))
    parser.add_argument("--win-build", default=os.path.join(ROOT, "build", "win64"))
    parser.add_argument("--minutes", type=float, default=30.0)
    parser.add_argument("--interval", type=float, default=30.0, help="seconds between samples")
    parser.add_argument("--warm-up", type=float,
                        help="seconds before the samples that are judged (default %d, or a third of a shorter run)"
                        % DEFAULT_WARM_UP)
    parser.add_argument("--only", choices=("x11", "wine"))
    args = parser.parse_args()
    if args.warm_up is None:
        args.warm_up = min(DEFAULT_WARM_UP, args.minutes * 60.0 / 3)
    too_short = too_short_to_judge(args.minutes, args.interval, args.warm_up)
    if too_short:
        print("soak: %s" % too_short, file=sys.stderr)
        return 2
    testing.adopt_orphans()
    work = tempfile.mkdtemp(prefix="flowball-soak-")
    programs = []
    try:
        if args.only in (None, "x11"):
            programs.append(X11Program(args))
        if args.only in (None, "wine"):
            programs.append(WineProgram(args, work))
        print("Soak: %s for %g minutes, a sample every %g s, judged from %g s on" %
              (" and ".join(program.name for program in programs), args.minutes, args.interval, args.warm_up))
        print("Settings: %s" % " ".join(SOAK_OPTIONS))
        try:
            return run(programs, args)
        except (RuntimeError, testing.Failure) as error:
            print("soak: %s" % error, file=sys.stderr)
            return 2
    finally:
        for program in programs:
            program.stop()
        # Wine's servers, adopted, ended with the prefix's wineserver.
        testing.reap_adopted([])
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
