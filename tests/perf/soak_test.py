#!/usr/bin/env python3
"""The long run's reading of /proc (through the support module) and its
verdict (make soak), on canned samples: each check holds on a steady run and
fails on the fault it is for."""

import os
import runpy
import subprocess
import sys
import types
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
import flowball_testing as testing  # noqa: E402

SCRIPT = os.path.join(HERE, "..", "..", "scripts", "soak.py")
soak = types.SimpleNamespace(**runpy.run_path(SCRIPT))

STATUS = """Name:\tflowball
VmPeak:\t  812345 kB
VmRSS:\t   97516 kB
Threads:\t6
"""


def steady(index=None, field=None, value=None):
    """Samples every 30 s for three minutes, steady after the first, with
    one field of one sample changed where given."""
    samples = [soak.Sample(30 * i, 97000 if i else 70000, 4, 6, 32 if i else 12) for i in range(7)]
    if index is not None:
        setattr(samples[index], field, value)
    return samples


def failed(checks):
    return [check for check, holds, _ in checks if not holds]


class Reading(unittest.TestCase):
    def test_resident_memory_and_threads_from_the_status_file(self):
        self.assertEqual(testing.parse_memory_and_threads(STATUS), (97516, 6))

    def test_a_status_file_without_the_figures_is_refused(self):
        with self.assertRaises(ValueError):
            testing.parse_memory_and_threads("Name:\tflowball\nThreads:\t6\n")

    def test_this_processs_figures_are_read_from_proc(self):
        resident_kib, threads = testing.memory_and_threads(os.getpid())
        self.assertGreater(resident_kib, 0)
        self.assertGreaterEqual(threads, 1)
        before = testing.open_files(os.getpid())
        with open(SCRIPT):
            self.assertEqual(testing.open_files(os.getpid()), before + 1)


class Verdict(unittest.TestCase):
    def verdict(self, samples, exit_status=0, drawn_at_end=True):
        return soak.verdict(samples, 60, True, drawn_at_end, exit_status)

    def test_a_steady_run_holds_though_it_grew_during_the_warm_up(self):
        self.assertEqual(failed(self.verdict(steady())), [])

    def test_memory_kept_more_than_1_mb_from_its_first_judged_sample_fails(self):
        for kept, check in ((1024, []), (1025, ["memory within 1 MB of its first sample after the warm-up"])):
            samples = steady()
            for sample in samples[4:]:
                sample.resident_kib += kept
            self.assertEqual(failed(self.verdict(samples)), check)

    def test_memory_taken_for_a_while_and_given_back_holds(self):
        samples = steady()
        for sample in samples[3:5]:
            sample.resident_kib += 1028
        self.assertEqual(failed(self.verdict(samples)), [])

    def test_a_file_thread_or_handle_more_fails(self):
        for field, check in (("files", "open files constant"), ("threads", "threads constant"),
                             ("handles", "handles constant")):
            self.assertEqual(failed(self.verdict(steady(4, field, 99))), [check])

    def test_handles_that_could_not_be_read_are_not_judged(self):
        checks = self.verdict(steady(5, "handles", "?"))
        self.assertEqual(failed(checks), [])
        self.assertIn(("handles constant", True, "not readable here: not judged"), checks)

    def test_no_picture_or_no_end_on_a_key_fails(self):
        self.assertEqual(failed(self.verdict(steady(), drawn_at_end=False)), ["the picture still drawn at the end"])
        self.assertEqual(failed(self.verdict(steady(), exit_status=None)), ["a key press ends it with status 0"])
        self.assertEqual(failed(self.verdict(steady(), exit_status=1)), ["a key press ends it with status 0"])

    def test_a_run_that_ended_within_the_warm_up_fails(self):
        self.assertEqual(failed(self.verdict(steady()[:2])), ["samples after the warm-up"])

    def test_too_few_samples_to_judge_memory_fail_however_memory_grew(self):
        samples = steady()[:5]
        for sample in samples[2:]:
            sample.resident_kib += 4096 * sample.seconds
        self.assertEqual(failed(self.verdict(samples)), ["samples after the warm-up"])


class RunLength(unittest.TestCase):
    def test_a_run_too_short_to_judge_memory_is_refused(self):
        # (minutes, interval, warm-up): the default warm-up is a third of a
        # short run.
        for minutes, interval, warm_up, refused in ((1, 30, 20, True), (2, 30, 40, True), (2.5, 30, 50, False),
                                                    (4, 30, 80, False), (30, 30, 180, False), (2, 10, 40, False)):
            with self.subTest(minutes=minutes, interval=interval):
                reason = soak.too_short_to_judge(minutes, interval, warm_up)
                self.assertEqual(reason is not None, refused, reason)

    def test_the_refusal_says_what_to_change(self):
        reason = soak.too_short_to_judge(2, 30, 40)
        self.assertIn("3 samples to judge; memory needs at least 4", reason)
        self.assertIn("--minutes", reason)

    def test_the_script_refuses_a_short_run_with_status_2_before_starting_anything(self):
        result = subprocess.run([sys.executable, SCRIPT, "--minutes", "1", "--native-build", "/nonexistent",
                                 "--win-build", "/nonexistent"], capture_output=True, text=True, timeout=120)
        self.assertEqual(result.returncode, 2, result.stderr)
        self.assertIn("soak: 1 minutes", result.stderr)


if __name__ == "__main__":
    sys.exit(unittest.main())
