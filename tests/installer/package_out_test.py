#!/usr/bin/env python3
"""package.py's --out folder: a new, empty or earlier release folder is
taken; anything else is refused with a message and left as it was."""
import os
import sys
import tempfile
import unittest

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# The source tree stays as checked out.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(SOURCE_DIR, "packaging", "windows"))
import package  # noqa: E402

RELEASE = ["flowball-setup-1.2.0-x64.exe", "flowball-setup-1.2.0-x86.exe",
           "flowball-1.2.0-windows.zip", "SHA256SUMS"]


def make_files(folder, names):
    for name in names:
        with open(os.path.join(folder, name), "w") as data:
            data.write("x")


class OutFolder(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory()
        self.out = os.path.join(self.scratch.name, "dist")

    def tearDown(self):
        self.scratch.cleanup()

    def test_taken(self):
        cases = [
            ("a new folder", None),
            ("an empty folder", []),
            ("an earlier release", RELEASE),
            ("an earlier release of one build", RELEASE[:1] + RELEASE[2:]),
        ]
        for what, names in cases:
            with self.subTest(what):
                if names is not None:
                    os.makedirs(self.out)
                    make_files(self.out, names)
                package.prepare_out_dir(self.out)
                self.assertEqual(os.listdir(self.out), [])
                os.rmdir(self.out)

    def test_refused(self):
        cases = [
            ("a folder with a file of someone else's", RELEASE + ["notes.txt"], "notes.txt"),
            ("a folder of one other file", ["thesis.tex"], "thesis.tex"),
            ("release names without their sums", RELEASE[:3], "flowball-setup-1.2.0-x64.exe"),
            ("a folder in it", RELEASE + ["src/"], "src"),
        ]
        for what, names, named in cases:
            with self.subTest(what):
                os.makedirs(self.out)
                make_files(self.out, [name for name in names if not name.endswith("/")])
                for name in names:
                    if name.endswith("/"):
                        os.makedirs(os.path.join(self.out, name))
                with self.assertRaises(SystemExit) as refusal:
                    package.prepare_out_dir(self.out)
                self.assertIn("--out %s holds more than an earlier release" % self.out, str(refusal.exception))
                self.assertIn(named, str(refusal.exception))
                # Nothing was removed.
                self.assertEqual(sorted(os.listdir(self.out)), sorted(name.rstrip("/") for name in names))
                for name in os.listdir(self.out):
                    path = os.path.join(self.out, name)
                    os.rmdir(path) if os.path.isdir(path) else os.remove(path)
                os.rmdir(self.out)

    def test_not_a_folder(self):
        make_files(self.scratch.name, ["dist"])
        with self.assertRaises(SystemExit) as refusal:
            package.prepare_out_dir(self.out)
        self.assertIn("is not a folder", str(refusal.exception))
        self.assertTrue(os.path.isfile(self.out))
        os.remove(self.out)
        # A link to a folder, whose files must not go either.
        target = os.path.join(self.scratch.name, "elsewhere")
        os.makedirs(target)
        make_files(target, RELEASE)
        os.symlink(target, self.out)
        with self.assertRaises(SystemExit):
            package.prepare_out_dir(self.out)
        self.assertEqual(sorted(os.listdir(target)), sorted(RELEASE))


if __name__ == "__main__":
    unittest.main(verbosity=2)
