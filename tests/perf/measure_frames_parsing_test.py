#!/usr/bin/env python3
"""The support module that the end-to-end runners and the measuring script
share (tests/support/flowball_testing.py), and the script's own arithmetic:
its reading of /proc on canned samples (a thread name with spaces and
parentheses, both kinds of context switch, a truncated stat line that must be
refused rather than read as some other field), the finding of processes among
this one's descendants, an orphan included, its bounded waits and its reading
of an X server's display number."""

import os
import runpy
import subprocess
import sys
import time
import types
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
import flowball_testing as testing  # noqa: E402

SCRIPT = os.path.join(HERE, "..", "..", "scripts", "measure-frames.py")
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


class ProcReading(unittest.TestCase):
    def test_processor_seconds_are_user_plus_system_time(self):
        self.assertAlmostEqual(testing.parse_stat_seconds(STAT), 3.5)

    def test_fields_after_a_name_with_parentheses(self):
        fields = testing.stat_fields(STAT)
        self.assertEqual((fields[0], fields[1]), ("S", "4200"))

    def test_a_truncated_stat_line_is_refused(self):
        with self.assertRaises(IndexError):
            testing.parse_stat_seconds("4242 (flowball) S 4200 4242")

    def test_wakeups_count_both_kinds_of_switch_or_one(self):
        self.assertEqual(testing.parse_switches(STATUS), 1527)
        self.assertEqual(testing.parse_switches(STATUS, ("voluntary",)), 1500)

    def test_this_threads_waits_and_work_are_read_from_proc(self):
        # The kernel splits each figure into user and system time by its own
        # rounding, so a process's total and its thread's are compared only
        # through what this thread itself did: one wait, and 0.3 s of work.
        switches, seconds = testing.main_thread(os.getpid(), ("voluntary",))
        process = testing.process_seconds(os.getpid())
        time.sleep(0.05)
        started = time.thread_time()
        while time.thread_time() - started < 0.3:
            pass
        more_switches, more_seconds = testing.main_thread(os.getpid(), ("voluntary",))
        self.assertGreater(more_switches, switches)
        self.assertGreaterEqual(more_seconds - seconds, 0.2)
        self.assertGreaterEqual(testing.process_seconds(os.getpid()) - process, 0.2)


class FindingProcesses(unittest.TestCase):
    PARENTS = {10: 1, 11: 10, 12: 10, 13: 11, 20: 1, 21: 20, 14: 13}

    def test_descendants_nearest_first_and_no_others(self):
        self.assertEqual(testing.parse_descendants(self.PARENTS, 10), [11, 12, 13, 14])
        self.assertEqual(testing.parse_descendants(self.PARENTS, 20), [21])
        self.assertEqual(testing.parse_descendants(self.PARENTS, 14), [])
        self.assertEqual(testing.parse_descendants(self.PARENTS, 99), [])

    def test_program_names_from_unix_and_windows_command_lines(self):
        for arguments, name in ((["/usr/bin/flowball", "--root"], "flowball"),
                                (["flowball"], "flowball"),
                                (["Z:\\tmp\\saver folder\\Flowball.SCR", "/s"], "flowball.scr"),
                                (["Z:\\tmp\\saver folder\\flowball.scr"], "flowball.scr"),
                                (["start.exe", "/exec", "Z:\\x\\flowball.scr"], "start.exe"),
                                ([], "")):
            self.assertEqual(testing.parse_program_name(arguments), name, arguments)

    def test_an_orphan_stays_a_descendant_and_is_ended_and_reaped(self):
        # As Wine starts a program: the shell that starts sleep ends at
        # once, and sleep's parent would be init.
        testing.adopt_orphans()
        shell = subprocess.run(["sh", "-c", "sleep 60 >/dev/null 2>&1 & echo $!"], capture_output=True, text=True,
                               check=True, timeout=30)
        orphan = int(shell.stdout)
        try:
            self.assertEqual(testing.the_process_of(os.getpid(), "sleep"), orphan)
            self.assertIn(orphan, testing.descendants(os.getpid()))
        finally:
            testing.end_processes([orphan], 10, "the orphan")
        testing.reap_adopted([])
        with self.assertRaises(ChildProcessError):
            os.waitpid(orphan, os.WNOHANG)

    def test_no_process_of_a_program_is_a_failure(self):
        with self.assertRaises(testing.Failure):
            testing.the_process_of(os.getpid(), "no-such-program")


class BoundedWaits(unittest.TestCase):
    def test_the_value_that_ended_the_wait_is_answered(self):
        answers = iter([0, None, "done"])
        self.assertEqual(testing.wait_until(lambda: next(answers), 5, "an answer", 0.01), "done")

    def test_a_wait_that_times_out_names_what_it_waited_for(self):
        started = time.monotonic()
        with self.assertRaisesRegex(testing.Failure, "timed out after 0 s waiting for nothing"):
            testing.wait_until(lambda: False, 0.2, "nothing", 0.01)
        self.assertLess(time.monotonic() - started, 5)

    def test_stays_fails_once_the_condition_breaks(self):
        answers = iter([True, True, False])
        with self.assertRaisesRegex(testing.Failure, "no longer true: steady"):
            testing.stays(lambda: next(answers), 5, "steady", 0.01)


class DisplayNumber(unittest.TestCase):
    def read(self, written, close):
        read_end, write_end = os.pipe()
        os.write(write_end, written)
        if close:
            os.close(write_end)
        try:
            return testing.read_display_number(read_end, 0.2)
        finally:
            os.close(read_end)
            if not close:
                os.close(write_end)

    def test_the_number_once_its_line_is_complete(self):
        self.assertEqual(self.read(b"12\n", close=False), "12")

    def test_none_from_a_server_that_ended_or_stays_silent(self):
        self.assertIsNone(self.read(b"", close=True))
        self.assertIsNone(self.read(b"1", close=False))


class Figures(unittest.TestCase):
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
