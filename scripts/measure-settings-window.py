#!/usr/bin/env python3
"""What the settings window's preview costs: the time from starting
flowball-settings to its first preview frame, and its processor use while
the preview runs, beside the saver's own at FrameRate 2 (--frame-rate low,
at most 30 frames a second), each on headless sway with one 1280x800
output, run as an ordinary user as the Wayland tests do.

  measure-settings-window.py [--build DIR] [--seconds S] [--runs N]

The first frame is the moment the window's --dump-preview file appears. The
programs are found by the pids this script started. A measurement, not a
test: the machine's load moves the figures. Prints a Markdown table of the
medians.
"""

import argparse
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
import flowball_testing as testing  # noqa: E402
import wayland_testing  # noqa: E402

START_TIMEOUT = 120.0
OUTPUT = {"HEADLESS-1": (1280, 800)}


def cpu_percent(pid, seconds):
    first, started = testing.process_seconds(pid), time.monotonic()
    time.sleep(seconds)
    return 100.0 * (testing.process_seconds(pid) - first) / (time.monotonic() - started)


def the_program(process, name):
    """The program's own process: dbus-run-session starts it as its child."""
    return wait_for(lambda: next(iter(testing.processes_of(process.pid, name)), None), name)


def wait_for(condition, what):
    return testing.wait_until(condition, START_TIMEOUT, what)


def measure_window(context, sway, program, seconds):
    dump = os.path.join(context.user.folder("measure"), "first-frame.png")
    if os.path.exists(dump):
        os.remove(dump)
    started = time.monotonic()
    process = sway.start(["dbus-run-session", "--", program, "--dump-preview", dump], {"GSK_RENDERER": "cairo"},
                         stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wait_for(lambda: os.path.exists(dump), "the first preview frame")
        first_frame = time.monotonic() - started
        window = the_program(process, "flowball-settings")
        return first_frame, cpu_percent(window, seconds)
    finally:
        testing.end_processes(testing.processes_of(process.pid, "flowball-settings"), what="the window")
        process.wait(timeout=START_TIMEOUT)


def measure_saver(sway, program, seconds):
    process = sway.start([program, "--wayland", "--frame-rate", "low"], stdin=subprocess.DEVNULL,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        # Its first seconds build the scene; the figure is of the frames.
        time.sleep(3)
        return cpu_percent(process.pid, seconds)
    finally:
        testing.end_processes([process.pid], what="the saver")
        process.wait(timeout=START_TIMEOUT)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "native"))
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()

    context = wayland_testing.Context(os.path.join(args.build, "measure-settings-window"))
    keys = None
    rows = {"first": [], "window": [], "saver": []}
    try:
        saver = context.install(os.path.join(args.build, "flowball"), "flowball")
        window = context.install(os.path.join(args.build, "flowball-settings"), "flowball-settings")
        sway = context.sway(OUTPUT)
        keys = wayland_testing.KeyHolder(sway)
        for _ in range(args.runs):
            first_frame, window_cpu = measure_window(context, sway, window, args.seconds)
            rows["first"].append(first_frame)
            rows["window"].append(window_cpu)
            rows["saver"].append(measure_saver(sway, saver, args.seconds))
    finally:
        if keys:
            keys.stop()
        context.close()
    print("| program | start to first preview frame | CPU (one core = 100 %) |")
    print("|---|---|---|")
    print("| flowball-settings, preview 480x270 at most 30 a second | %.2f s | %.1f %% |" % (
        statistics.median(rows["first"]), statistics.median(rows["window"])))
    print("| flowball --wayland --frame-rate low, 1280x800 | | %.1f %% |" % statistics.median(rows["saver"]))
    print("(medians of %d runs of %.0f s)" % (args.runs, args.seconds))
    return 0


if __name__ == "__main__":
    sys.exit(main())
