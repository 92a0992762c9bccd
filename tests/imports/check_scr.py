#!/usr/bin/env python3
"""Checks of the built flowball.scr that only its binary shows.

  check_scr.py imports OBJDUMP ALLOWLIST SCR [OLDEST]
      every function the program imports is on ALLOWLIST (DLL, function,
      oldest Windows), and the list itself names nothing newer than OLDEST,
      the oldest Windows the program is for: 98SE (the default, the 32-bit
      build) or XP64 (the 64-bit build)
  check_scr.py entry OBJDUMP SCR
      the program starts in flowballEntry, the processor check, which hands
      over to the C runtime's WinMainCRTStartup; neither it nor the runtime's
      TLS callbacks, which run before it, use an SSE register or instruction
  check_scr.py header OBJDUMP SCR FORMAT SUBSYSTEM IMAGEBASE
      the PE header: FORMAT (PE32 or PE32+), a Windows GUI program whose
      subsystem version is at most SUBSYSTEM (4.10 for Windows 98: its loader
      refuses a higher one), loaded at IMAGEBASE (hexadecimal)

Each check prints what it found wrong and exits with 1, or exits with 0.
"""
import re
import subprocess
import sys

# Windows versions from the oldest, as the allowlists name them.
WINDOWS_VERSIONS = ["95", "98", "98SE", "ME", "2000", "XP", "XP64", "Vista", "7", "8", "10"]
VERSION_NAMES = {"98SE": "98 SE", "XP64": "XP x64"}

# Mnemonic prefixes of SSE and SSE2 instructions that touch no xmm register by
# name: the cache and fence instructions and MXCSR access.
SSE_WITHOUT_XMM = re.compile(r"\s(ldmxcsr|stmxcsr|[lms]fence|prefetch\w*|movnti|clflush)\b")


def objdump(tool, *args):
    return subprocess.run([tool, *args], check=True, capture_output=True, text=True).stdout


def imports(tool, program):
    """(dll, function) pairs from objdump -p; by-ordinal imports as #N."""
    found = []
    dll = None
    for line in objdump(tool, "-p", program).splitlines():
        named = re.match(r"\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1)
            continue
        entry = re.match(r"\s+[0-9a-f]+\s+(\d+)\s+(\S+)\s*$", line)
        if dll and entry:
            found.append((dll, entry.group(2)))
        elif dll and re.match(r"\s+[0-9a-f]+\s+<none>\s+([0-9a-f]+)\s*$", line):
            found.append((dll, "#" + line.split()[-1]))
    return found


def read_allowlist(path, oldest_windows):
    allowed, problems = {}, []
    supported = WINDOWS_VERSIONS[:WINDOWS_VERSIONS.index(oldest_windows) + 1]
    with open(path) as listing:
        for number, line in enumerate(listing, 1):
            fields = line.split("#", 1)[0].split()
            if not fields:
                continue
            if len(fields) != 3:
                problems.append("%s:%d: expected DLL, function, oldest Windows" % (path, number))
                continue
            dll, function, oldest = fields
            if oldest not in WINDOWS_VERSIONS:
                problems.append("%s:%d: %s is not a Windows version (%s)"
                                % (path, number, oldest, " ".join(WINDOWS_VERSIONS)))
            elif oldest not in supported:
                problems.append("%s:%d: %s %s needs Windows %s, newer than %s"
                                % (path, number, dll, function, VERSION_NAMES.get(oldest, oldest),
                                   VERSION_NAMES.get(oldest_windows, oldest_windows)))
            allowed[(dll.lower(), function)] = oldest
    return allowed, problems


def check_imports(tool, allowlist, program, oldest_windows="98SE"):
    if oldest_windows not in WINDOWS_VERSIONS:
        return ["%s is not a Windows version (%s)" % (oldest_windows, " ".join(WINDOWS_VERSIONS))]
    allowed, problems = read_allowlist(allowlist, oldest_windows)
    found = imports(tool, program)
    if not found:
        problems.append("%s: no imports found; is it a PE program?" % program)
    for dll, function in found:
        if (dll.lower(), function) not in allowed:
            problems.append("%s imports %s from %s, which is not on %s"
                            % (program, function, dll, allowlist))
    return problems


# Code that runs before the entry point: the C runtime's TLS callbacks, which
# the loader calls at process start.
BEFORE_ENTRY = ("___dyn_tls_init@12", "___mingw_TLScallback")


def functions(disassembly, names):
    """{name: (address, instruction lines)} of the named functions."""
    found, current = {}, None
    for line in disassembly.splitlines():
        header = re.match(r"([0-9a-f]+) <(\S+)>:$", line)
        if header:
            current = header.group(2) if header.group(2) in names else None
            if current:
                found[current] = (int(header.group(1), 16), [])
            continue
        if current and line.strip():
            found[current][1].append(line)
    return found


def sse_lines(body):
    return [line.strip() for line in body
            if "%xmm" in line or "%mxcsr" in line or SSE_WITHOUT_XMM.search(line)]


def check_entry(tool, program):
    problems = []
    start = re.search(r"start address 0x([0-9a-f]+)", objdump(tool, "-f", program))
    code = functions(objdump(tool, "-d", program), ("_flowballEntry",) + BEFORE_ENTRY)
    for name in ("_flowballEntry",) + BEFORE_ENTRY:
        if name not in code or not code[name][1]:
            problems.append("%s: no code for %s" % (program, name))
            continue
        problems += ["%s, which runs before any SSE2 check passes, uses SSE: %s" % (name, line)
                     for line in sse_lines(code[name][1])]
    if not start:
        return problems + ["%s: no start address" % program]
    if "_flowballEntry" not in code:
        return problems
    check_address, body = code["_flowballEntry"]
    if int(start.group(1), 16) != check_address:
        problems.append("%s starts at 0x%s, not in _flowballEntry at 0x%x"
                        % (program, start.group(1), check_address))
    if not any("<_WinMainCRTStartup>" in line for line in body):
        problems.append("the processor check does not go on to _WinMainCRTStartup")
    return problems


def header_fields(tool, program):
    """The PE optional header's fields from objdump -p, as {name: text}."""
    fields = {}
    for line in objdump(tool, "-p", program).splitlines():
        parts = line.split(None, 1)
        if len(parts) == 2 and parts[0] not in fields:
            fields[parts[0]] = parts[1].strip()
    return fields


def check_header(tool, program, expected_format, highest_subsystem, image_base):
    fields = header_fields(tool, program)
    problems = []
    magic = fields.get("Magic", "")
    if "(%s)" % expected_format not in magic:
        problems.append("%s is not %s: Magic %s" % (program, expected_format, magic or "missing"))
    if not fields.get("Subsystem", "").endswith("(Windows GUI)"):
        problems.append("%s is not a Windows GUI program: Subsystem %s"
                        % (program, fields.get("Subsystem", "missing")))
    try:
        version = (int(fields["MajorSubsystemVersion"]), int(fields["MinorSubsystemVersion"]))
    except (KeyError, ValueError):
        return problems + ["%s: no subsystem version" % program]
    highest = tuple(int(part) for part in highest_subsystem.split("."))
    if version > highest:
        problems.append("%s needs subsystem version %d.%02d, newer than %s"
                        % (program, version[0], version[1], highest_subsystem))
    base = fields.get("ImageBase")
    if base is None or int(base, 16) != int(image_base, 16):
        problems.append("%s loads at 0x%s, not at %s" % (program, base or "?", image_base))
    return problems


def main(argv):
    if len(argv) in (4, 5) and argv[0] == "imports":
        problems = check_imports(*argv[1:])
    elif len(argv) == 3 and argv[0] == "entry":
        problems = check_entry(*argv[1:])
    elif len(argv) == 6 and argv[0] == "header":
        problems = check_header(*argv[1:])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
