#!/usr/bin/env python3
"""The PE header check refuses a bad file: copies of flowball.scr with the
subsystem version raised past the limit, the image base moved, and the
subsystem changed to console each make check_scr.py header name what is
wrong, while the unchanged copy passes.

usage: bad_header_test.py OBJDUMP SCR FORMAT SUBSYSTEM IMAGEBASE
"""
import os
import shutil
import struct
import sys
import tempfile

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_scr  # noqa: E402


def optional_header(data):
    """The file offset of the optional header and whether it is PE32+."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise SystemExit("not a PE file")
    offset = pe + 24
    return offset, struct.unpack_from("<H", data, offset)[0] == 0x20B


def raise_subsystem(data):
    offset, _ = optional_header(data)
    struct.pack_into("<HH", data, offset + 48, 6, 0)


def move_image_base(data):
    offset, wide = optional_header(data)
    if wide:
        struct.pack_into("<Q", data, offset + 24, 0x180000000)
    else:
        struct.pack_into("<I", data, offset + 28, 0x10000000)


def make_console(data):
    offset, _ = optional_header(data)
    struct.pack_into("<H", data, offset + 68, 3)


CASES = [
    ("unchanged", None, None),
    ("subsystem version 6.0", raise_subsystem, "needs subsystem version 6.00"),
    ("image base moved", move_image_base, "loads at 0x"),
    ("console program", make_console, "is not a Windows GUI program"),
]


def main(argv):
    if len(argv) != 5:
        print(__doc__, file=sys.stderr)
        return 2
    objdump, scr, expected_format, subsystem, image_base = argv
    failures = 0
    with tempfile.TemporaryDirectory() as work:
        for name, change, expected in CASES:
            copy = os.path.join(work, "flowball.scr")
            shutil.copyfile(scr, copy)
            if change:
                with open(copy, "r+b") as program:
                    data = bytearray(program.read())
                    change(data)
                    program.seek(0)
                    program.write(data)
            problems = check_scr.check_header(objdump, copy, expected_format, subsystem, image_base)
            if expected is None and problems:
                print("FAIL %s: %s" % (name, problems))
                failures += 1
            elif expected is not None and not any(expected in p for p in problems):
                print("FAIL %s: expected a problem naming %r, got %s" % (name, expected, problems))
                failures += 1
            else:
                print("PASS %s%s" % (name, (": " + "; ".join(problems)) if problems else ""))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
