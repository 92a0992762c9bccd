#!/usr/bin/env python3
"""Runs each libFuzzer target of a fuzz build (make fuzz) for a number of
seconds and prints what each did. Targets run one after the other, or
--jobs at a time (each is one process on one core).

  fuzz.py [--build DIR] [--seconds S] [--jobs N] [TARGET...]

A target NAME is DIR/fuzz/NAME-fuzz (tests/fuzz/fuzz.cmake builds them). It
starts from its seed corpus in the tree, tests/fuzz/corpus/NAME/, and keeps
what it finds in DIR/corpus/NAME/, so the tree's corpus stays small and a
later run goes on from there; tests/fuzz/NAME.dict, where there is one, is
its dictionary. An input that breaks a property or trips a sanitizer is
saved as DIR/crashes/NAME/crash-* (or leak-*, timeout-*, oom-*).

It prints a table: per target the executions, the corpus (inputs and bytes),
the coverage libFuzzer counted (cov: edges reached, ft: features) and the
result, then each fault's input and the command that replays it. To keep a
fault found, copy its input into tests/fuzz/corpus/NAME/ (make test then
replays it) and mend the code.

Exit status: 0 when no target found a fault, 1 when one did, 2 when a target
could not be run.
"""

import argparse
import concurrent.futures
import glob
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
SEEDS = os.path.join(ROOT, "tests", "fuzz", "corpus")
# One input that takes longer than this is a fault (a hang), not slowness.
INPUT_TIMEOUT_SECONDS = 25
# libFuzzer's status lines: "#1234 NEW cov: 567 ft: 890 corp: 12/345b ...".
STATUS = re.compile(r"^#(\d+)\s+\w+\s+cov: (\d+) ft: (\d+) corp: (\d+)/(\S+)")
DONE = re.compile(r"^Done (\d+) runs in (\d+) second")
EXECUTED = re.compile(r"^stat::number_of_executed_units: (\d+)")
ARTIFACT = re.compile(r"Test unit written to (\S+)")


def parse_output(text):
    """What libFuzzer's output says: executions, seconds, cov, ft, corpus
    inputs and size, and the inputs it saved for faults."""
    figures = {"executions": None, "seconds": None, "cov": None, "ft": None, "inputs": None, "size": None,
               "artifacts": []}
    for line in text.splitlines():
        status = STATUS.match(line)
        if status:
            figures["executions"] = int(status.group(1))
            figures["cov"], figures["ft"] = int(status.group(2)), int(status.group(3))
            figures["inputs"], figures["size"] = int(status.group(4)), status.group(5)
        done = DONE.match(line)
        if done:
            figures["executions"], figures["seconds"] = int(done.group(1)), int(done.group(2))
        executed = EXECUTED.match(line)
        if executed:
            figures["executions"] = int(executed.group(1))
        artifact = ARTIFACT.search(line)
        if artifact:
            figures["artifacts"].append(artifact.group(1))
    return figures


def fault_summary(text):
    """The first line that says what went wrong, for the table."""
    for marker in ("property does not hold:", "runtime error:", "ERROR: AddressSanitizer",
                   "ERROR: LeakSanitizer", "ERROR: libFuzzer", "deadly signal"):
        for line in text.splitlines():
            if marker in line:
                return line.strip()
    return "see the log"


def run_target(build, name, seconds):
    binary = os.path.join(build, "fuzz", name + "-fuzz")
    corpus = os.path.join(build, "corpus", name)
    crashes = os.path.join(build, "crashes", name)
    log_path = os.path.join(build, "logs", name + ".log")
    for folder in (corpus, crashes, os.path.dirname(log_path)):
        os.makedirs(folder, exist_ok=True)
    command = [binary, "-max_total_time=%d" % seconds, "-print_final_stats=1",
               "-timeout=%d" % INPUT_TIMEOUT_SECONDS, "-artifact_prefix=" + crashes + os.sep]
    dictionary = os.path.join(ROOT, "tests", "fuzz", name + ".dict")
    if os.path.exists(dictionary):
        command.append("-dict=" + dictionary)
    # The first folder takes what is found; the seeds are only read.
    command += [corpus, os.path.join(SEEDS, name)]
    print("fuzz: %s for %d s (log: %s)" % (name, seconds, log_path), file=sys.stderr, flush=True)
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            errors="replace")
    with open(log_path, "w") as log:
        log.write(result.stdout)
    figures = parse_output(result.stdout)
    figures["status"] = result.returncode
    figures["command"] = binary
    figures["log"] = log_path
    figures["files"] = len(os.listdir(corpus))
    if result.returncode != 0:
        figures["fault"] = fault_summary(result.stdout)
    return figures


def targets_in(build):
    names = [os.path.basename(path)[:-len("-fuzz")] for path in glob.glob(os.path.join(build, "fuzz", "*-fuzz"))]
    return sorted(names)


def show(value):
    return "?" if value is None else str(value)


def print_table(results):
    print("| target | executions | per second | corpus (inputs, bytes) | cov | ft | result |")
    print("|---|---|---|---|---|---|---|")
    for name, figures in results:
        rate = "?"
        if figures["executions"] is not None and figures["seconds"]:
            rate = "%d" % (figures["executions"] / figures["seconds"])
        corpus = "%s, %s" % (show(figures["inputs"]), show(figures["size"]))
        outcome = "no fault" if figures["status"] == 0 else "FAULT"
        print("| %s | %s | %s | %s | %s | %s | %s |" % (name, show(figures["executions"]), rate, corpus,
                                                       show(figures["cov"]), show(figures["ft"]), outcome))
    faults = [(name, figures) for name, figures in results if figures["status"] != 0]
    for name, figures in faults:
        print("\n%s: %s" % (name, figures["fault"]))
        for artifact in figures["artifacts"]:
            print("  input saved: %s" % artifact)
            print("  replay: %s %s" % (figures["command"], artifact))
        print("  log: %s" % figures["log"])


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "fuzz"))
    parser.add_argument("--seconds", type=int, default=60)
    parser.add_argument("--jobs", type=int, default=1, help="targets run at once (default 1)")
    parser.add_argument("targets", nargs="*")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    available = targets_in(build)
    if not available:
        print("fuzz: no targets in %s/fuzz; build them first (make fuzz)" % build, file=sys.stderr)
        return 2
    unknown = [name for name in args.targets if name not in available]
    if unknown:
        print("fuzz: no target %s; there are: %s" % (", ".join(unknown), ", ".join(available)), file=sys.stderr)
        return 2
    if args.jobs < 1:
        print("fuzz: --jobs must be 1 or more", file=sys.stderr)
        return 2
    names = args.targets or available
    with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
        runs = [pool.submit(run_target, build, name, args.seconds) for name in names]
        results = [(name, run.result()) for name, run in zip(names, runs)]
    print_table(results)
    return 1 if any(figures["status"] != 0 for _, figures in results) else 0


if __name__ == "__main__":
    sys.exit(main())
