#!/usr/bin/env python3
"""What each frame costs: flowball beside a minimal GL program that clears and
draws one triangle per frame, in one run, each on a virtual display of its own
(Xvfb, 1024x768, Mesa's software GL; for the Wayland rows headless sway with
one 1024x768 output, run as an ordinary user as the Wayland tests do).

  measure-frames.py [--native-build DIR] [--win-build DIR] [--seconds S]
                    [--runs N] [--only x11|wine|wayland]

On Wayland the frames are the eglSwapBuffers calls, counted by
perf/count_egl_swaps.c the same way.

Frames are counted without touching the programs: a preload library
(perf/count_gl_image_puts.c) counts the image puts Mesa makes for each buffer
swap, natively and under Wine alike, whose X11 driver is a native library.
The main thread's processor time comes from /proc/PID/task/TID/stat and its
wake-ups from the voluntary and involuntary context switches in .../status;
the process's from /proc/PID/stat. Each figure is the median of the runs.
The program measured is found among the processes this script started
(Wine's included, which it adopts), by the name of its program file.

A measurement, not a test: the machine's load moves the figures. It prints a
Markdown table with the ratio of each flowball run to its minimal program.
"""

import argparse
import os
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
import flowball_testing as testing  # noqa: E402

WIDTH, HEIGHT = 1024, 768
START_TIMEOUT = 120.0
SETTINGS_KEY = r"HKCU\Software\Flowball"


class Sample:
    def __init__(self, pid, counter_path):
        self.time = time.monotonic()
        self.switches, self.thread_seconds = testing.main_thread(pid)
        self.process_seconds = testing.process_seconds(pid)
        with open(counter_path, "rb") as counter:
            data = counter.read(8)
        self.frames = struct.unpack("=Q", data)[0] if len(data) == 8 else 0


def figures(first, last):
    elapsed = last.time - first.time
    frames = last.frames - first.frames
    thread = last.thread_seconds - first.thread_seconds
    return {
        "fps": frames / elapsed,
        "ms_per_frame": 1000.0 * thread / frames if frames else float("nan"),
        "wakeups": (last.switches - first.switches) / elapsed,
        "cpu": 100.0 * (last.process_seconds - first.process_seconds) / elapsed,
    }


class Bench:
    def __init__(self, args, work):
        self.args = args
        self.work = work
        self.counter_library = os.path.join(work, "count_gl_image_puts.so")
        subprocess.run(["cc", "-O2", "-shared", "-fPIC", "-o", self.counter_library,
                        os.path.join(HERE, "perf", "count_gl_image_puts.c"), "-ldl"], check=True)

    def measure(self, display, command, env, program, before_sample=None):
        counter_path = os.path.join(self.work, "frames")
        if os.path.exists(counter_path):
            os.remove(counter_path)
        environment = dict(os.environ, DISPLAY=display.name, LIBGL_ALWAYS_SOFTWARE="1",
                           LD_PRELOAD=self.counter_library, FLOWBALL_PUT_COUNT_FILE=counter_path)
        environment.update(env)
        process = subprocess.Popen(command, env=environment, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            # Under Wine the program runs in a process of its own that start.exe
            # makes: one of this script's descendants.
            testing.wait_until(lambda: testing.processes_of(os.getpid(), program), START_TIMEOUT, program)
            pid = testing.the_process_of(os.getpid(), program)

            def frames():
                try:
                    return Sample(pid, counter_path).frames > 10
                except OSError:
                    return False

            testing.wait_until(frames, START_TIMEOUT, program + " drawing")
            if before_sample:
                before_sample(display)
            time.sleep(1.0)  # settles after start-up or the change
            first = Sample(pid, counter_path)
            time.sleep(self.args.seconds)
            last = Sample(pid, counter_path)
            return figures(first, last)
        finally:
            process.terminate()
            try:
                process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
            testing.reap_adopted([display.process.pid])


def unmap_flowball(display):
    env = dict(os.environ, DISPLAY=display.name)
    windows = subprocess.run(["xdotool", "search", "--name", "^Flowball$"], env=env, capture_output=True,
                             text=True).stdout.split()
    for window in windows:
        subprocess.run(["xdotool", "windowunmap", window], env=env, check=True)


def x11_runs(bench):
    flowball = os.path.abspath(os.path.join(bench.args.native_build, "flowball"))
    minimal = os.path.join(bench.work, "minimal-glx")
    subprocess.run(["cc", "-O2", "-o", minimal, os.path.join(HERE, "perf", "minimal_glx.c"), "-lGL", "-lX11"],
                   check=True)
    return [
        # (label, command, environment, program file, baseline label, action before measuring)
        ("empty GLX window, 5 ms", [minimal, "5000"], {}, "minimal-glx", None, None),
        ("empty GLX window, 30 a second", [minimal, "33333"], {}, "minimal-glx", None, None),
        ("flowball --root, defaults", [flowball, "--root"], {}, "flowball", "empty GLX window, 5 ms", None),
        ("flowball --root --frame-rate low", [flowball, "--root", "--frame-rate", "low"], {}, "flowball",
         "empty GLX window, 30 a second", None),
        ("flowball --root --detail 100", [flowball, "--root", "--detail", "100"], {}, "flowball",
         "empty GLX window, 5 ms", None),
        ("flowball --root --frame-rate display, vblank_mode=0",
         [flowball, "--root", "--frame-rate", "display"], {"vblank_mode": "0"}, "flowball",
         "empty GLX window, 5 ms", None),
        ("flowball own window, unmapped", [flowball], {}, "flowball", None, unmap_flowball),
    ]


def wayland_runs(bench):
    """The Wayland rows: their programs in a folder the test user can read,
    built against the xdg-shell code the native build generated."""
    import wayland_testing as wayland  # noqa: E402

    bench.wayland = wayland
    bench.wayland_user = wayland.TestUser()
    folder = bench.wayland_user.folder("perf")
    protocols = os.path.join(os.path.abspath(bench.args.native_build), "wayland-protocols")
    minimal = os.path.join(folder, "minimal-wayland-egl")
    subprocess.run(["cc", "-O2", "-I", protocols, "-o", minimal, os.path.join(HERE, "perf", "minimal_wayland_egl.c"),
                    os.path.join(protocols, "xdg-shell-protocol.c"), "-lwayland-client", "-lwayland-egl", "-lEGL",
                    "-lOpenGL"], check=True)
    bench.swap_counter = os.path.join(folder, "count_egl_swaps.so")
    subprocess.run(["cc", "-O2", "-shared", "-fPIC", "-o", bench.swap_counter,
                    os.path.join(HERE, "perf", "count_egl_swaps.c"), "-ldl"], check=True)
    flowball = os.path.join(folder, "flowball")
    shutil.copy2(os.path.join(bench.args.native_build, "flowball"), flowball)
    for path in (minimal, bench.swap_counter, flowball):
        bench.wayland_user.own(path)
    return [
        ("empty Wayland EGL window, 5 ms", [minimal, "5000"], {}, "minimal-wayland-egl", None, None),
        ("empty Wayland EGL window, 30 a second", [minimal, "33333"], {}, "minimal-wayland-egl", None, None),
        ("flowball on Wayland, defaults", [flowball], {}, "flowball", "empty Wayland EGL window, 5 ms", None),
        ("flowball on Wayland --frame-rate low", [flowball, "--frame-rate", "low"], {}, "flowball",
         "empty Wayland EGL window, 30 a second", None),
    ]


def measure_on_wayland(bench, command):
    """One run on a headless sway of its own, as the test user; the program
    is the process started (setpriv and env replace themselves by it)."""
    wayland = bench.wayland
    sway = wayland.Sway(bench.wayland_user, {"HEADLESS-1": (1024, 768)})
    counter_path = os.path.join(bench.wayland_user.home, "perf", "frames")
    if os.path.exists(counter_path):
        os.remove(counter_path)
    process = sway.start(command, {"LD_PRELOAD": bench.swap_counter, "FLOWBALL_SWAP_COUNT_FILE": counter_path},
                         stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        def frames():
            try:
                return Sample(process.pid, counter_path).frames > 10
            except OSError:
                return False

        testing.wait_until(frames, START_TIMEOUT, command[0] + " drawing")
        time.sleep(1.0)  # settles after start-up
        first = Sample(process.pid, counter_path)
        time.sleep(bench.args.seconds)
        last = Sample(process.pid, counter_path)
        return figures(first, last)
    finally:
        process.terminate()
        process.wait(timeout=30)
        sway.stop()


class WineSession:
    """A prefix of the measurement's own in the Windows build folder, and its
    wineserver, on the display of each run."""

    def __init__(self, build):
        self.build = os.path.abspath(build)
        self.prefix = os.path.join(self.build, "perf-wineprefix")
        self.env = {"WINEPREFIX": self.prefix, "WINEARCH": "win64", "WINEDEBUG": "-all",
                    "WINEDLLOVERRIDES": "mscoree,mshtml="}

    def run(self, display, *command):
        env = dict(os.environ, DISPLAY=display.name, **self.env)
        subprocess.run(list(command), env=env, timeout=300, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def prepare(self, display, settings):
        self.run(display, "wineserver", "-k")
        if not os.path.exists(os.path.join(self.prefix, "system.reg")):
            self.run(display, "wine", "wineboot", "-i")
        self.run(display, "wine", "reg", "delete", SETTINGS_KEY, "/f")
        for name, value in settings.items():
            self.run(display, "wine", "reg", "add", SETTINGS_KEY, "/v", name, "/t", "REG_DWORD", "/d",
                     str(value), "/f")

    def stop(self, display):
        self.run(display, "wineserver", "-k")


def wine_runs(bench):
    saver = os.path.join(os.path.abspath(bench.args.win_build), "flowball.scr")
    minimal = os.path.join(bench.work, "minimal-gl-win32.exe")
    subprocess.run(["x86_64-w64-mingw32-gcc", "-O2", "-mwindows", "-o", minimal,
                    os.path.join(HERE, "perf", "minimal_gl_win32.c"), "-lopengl32"], check=True)
    return [
        ("empty GL window under Wine, 5 ms timer", ["wine", minimal, "5"], {}, "minimal-gl-win32.exe", None,
         None),
        ("empty GL window under Wine, 33 ms timer", ["wine", minimal, "33"], {}, "minimal-gl-win32.exe", None,
         None),
        ("flowball.scr /s, defaults", ["wine", saver, "/s"], {}, "flowball.scr",
         "empty GL window under Wine, 5 ms timer", None),
        ("flowball.scr /s, FrameRate 2", ["wine", saver, "/s"], {"FrameRate": 2}, "flowball.scr",
         "empty GL window under Wine, 33 ms timer", None),
        ("flowball.scr /s, Detail 100", ["wine", saver, "/s"], {"Detail": 100}, "flowball.scr",
         "empty GL window under Wine, 5 ms timer", None),
    ]


def record(results, order, label, result, repetition):
    if label not in results:
        results[label] = []
        order.append(label)
    results[label].append(result)
    print("run %d: %s: %.1f frames/s, %.2f ms/frame, %.0f wake-ups/s, %.0f%% CPU" %
          (repetition + 1, label, result["fps"], result["ms_per_frame"], result["wakeups"], result["cpu"]),
          file=sys.stderr, flush=True)


def run_all(bench):
    results = {}
    order = []
    groups = []
    if bench.args.only in (None, "x11"):
        groups.append(("x11", x11_runs(bench)))
    if bench.args.only in (None, "wine"):
        groups.append(("wine", wine_runs(bench)))
    if bench.args.only in (None, "wayland"):
        groups.append(("wayland", wayland_runs(bench)))
    wine = WineSession(bench.args.win_build)
    for repetition in range(bench.args.runs):
        for kind, runs in groups:
            for label, command, settings, program, _, action in runs:
                if kind == "wayland":
                    result = measure_on_wayland(bench, command)
                    record(results, order, label, result, repetition)
                    continue
                display = testing.xvfb(WIDTH, HEIGHT)
                try:
                    if kind == "wine":
                        wine.prepare(display, settings)
                        env = dict(wine.env)
                    else:
                        env = dict(settings)
                    result = bench.measure(display, command, env, program, action)
                    if kind == "wine":
                        wine.stop(display)
                finally:
                    display.stop()
                    testing.reap_adopted([])
                record(results, order, label, result, repetition)
    baselines = {label: baseline for _, runs in groups for label, _, _, _, baseline, _ in runs}
    return order, results, baselines


def median(results, key):
    return statistics.median(result[key] for result in results)


def print_table(order, results, baselines):
    print("| run | frames/s | main thread ms per frame | main-thread wake-ups per second | process CPU |"
          " ratios to the minimal program (ms per frame, wake-ups, CPU) |")
    print("|---|---|---|---|---|---|")
    for label in order:
        row = {key: median(results[label], key) for key in ("fps", "ms_per_frame", "wakeups", "cpu")}
        ratios = ""
        baseline = baselines.get(label)
        if baseline in results:
            base = {key: median(results[baseline], key) for key in ("ms_per_frame", "wakeups", "cpu")}
            ratios = "%.1fx, %.1fx, %.1fx" % tuple(
                row[key] / base[key] if base[key] else float("nan") for key in ("ms_per_frame", "wakeups", "cpu"))
        cost = "%.2f" % row["ms_per_frame"] if row["fps"] > 0 else "no frames"
        print("| %s | %.0f | %s | %.0f | %.1f%% | %s |" %
              (label, row["fps"], cost, row["wakeups"], row["cpu"], ratios))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--native-build", default=os.path.join(ROOT, "build", "native"))
    parser.add_argument("--win-build", default=os.path.join(ROOT, "build", "win64"))
    parser.add_argument("--seconds", type=float, default=4.0)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--only", choices=("x11", "wine", "wayland"))
    args = parser.parse_args()
    # Wine's processes stay this script's descendants, where it finds them.
    testing.adopt_orphans()
    work = tempfile.mkdtemp(prefix="flowball-perf-")
    bench = Bench(args, work)
    try:
        order, results, baselines = run_all(bench)
        print_table(order, results, baselines)
    finally:
        shutil.rmtree(work, ignore_errors=True)
        if getattr(bench, "wayland_user", None) is not None:
            bench.wayland_user.remove()
    return 0


if __name__ == "__main__":
    sys.exit(main())
