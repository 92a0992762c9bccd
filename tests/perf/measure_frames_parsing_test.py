#!/usr/bin/env python3
"""The measuring script's reading of /proc, on canned samples: a thread name
with spaces and parentheses, both kinds of context switch, and a truncated
stat line, which must be refused rather than read as some other field."""

import os
import runpy
import sys
import types
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "measure-frames.py")
# The script's name has a dash, so it is run for its definitions (its command
# line runs only as __main__) rather than imported.
measure = types.SimpleNamespace(**runpy.run_path(SCRIPT))

TICKS = os.sysconf("SC_CLK_TCK")

# A Wine process names its threads after the Windows program.
STAT = ("4242 (flowball.scr (x) ) S 4200 4242 4200 0 -1 4194304 9000 0 12 0 "
        "%d %d 0 0 20 0 9 0 123456 300000000 20000 18446744073709551615 1 1 0 0 0 0 0 4096 0 "
        "0 0 0 17 1 0 0 0 0 0") % (3 * TICKS, TICKS // 2)

STATUS = """Name:\tflowball
State:\tS (sleeping)
Tgid:\t4242
voluntary_ctxt_switches:\t1500
nonvoluntary_ctxt_switches:\t27
"""


class Parsing(unittest.TestCase):
    def test_processor_seconds_are_user_plus_system_time(self):
        self.assertAlmostEqual(measure.parse_stat(STAT), 3.5)

    def test_wakeups_count_both_kinds_of_switch(self):
        self.assertEqual(measure.parse_switches(STATUS), 1527)

    def test_a_truncated_stat_line_is_refused(self):
        with self.assertRaises(IndexError):
            measure.parse_stat("4242 (flowball) S 4200 4242")

    def test_figures_per_second_and_per_frame(self):
        class Sample:
            def __init__(self, time, frames, thread, switches, process):
                self.time, self.frames, self.thread_seconds = time, frames, thread
                self.switches, self.process_seconds = switches, process

        result = measure.figures(Sample(10.0, 100, 1.0, 500, 2.0), Sample(12.0, 160, 1.06, 900, 2.5))
        self.assertAlmostEqual(result["fps"], 30.0)
        self.assertAlmostEqual(result["ms_per_frame"], 1.0)
        self.assertAlmostEqual(result["wakeups"], 200.0)
        self.assertAlmostEqual(result["cpu"], 25.0)


if __name__ == "__main__":
    sys.exit(unittest.main())
