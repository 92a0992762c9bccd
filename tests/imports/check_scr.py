#!/usr/bin/env python3
"""Checks of the built flowball.scr that only its binary shows.

  check_scr.py imports OBJDUMP ALLOWLIST SCR
      every function the program imports is on ALLOWLIST (DLL, function,
      oldest Windows), and the list itself names nothing newer than
      Windows 98 SE
  check_scr.py entry OBJDUMP SCR
      the program starts in flowballEntry, the processor check, whose code
      uses no SSE register or instruction, and which hands over to the C
      runtime's WinMainCRTStartup

Each check prints what it found wrong and exits with 1, or exits with 0.
"""
import re
import subprocess
import sys

OLDEST_ALLOWED = {"95", "98", "98SE"}

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


def read_allowlist(path):
    allowed, problems = {}, []
    with open(path) as listing:
        for number, line in enumerate(listing, 1):
            fields = line.split("#", 1)[0].split()
            if not fields:
                continue
            if len(fields) != 3:
                problems.append("%s:%d: expected DLL, function, oldest Windows" % (path, number))
                continue
            dll, function, oldest = fields
            if oldest not in OLDEST_ALLOWED:
                problems.append("%s:%d: %s %s needs Windows %s, newer than 98 SE"
                                % (path, number, dll, function, oldest))
            allowed[(dll.lower(), function)] = oldest
    return allowed, problems


def check_imports(tool, allowlist, program):
    allowed, problems = read_allowlist(allowlist)
    found = imports(tool, program)
    if not found:
        problems.append("%s: no imports found; is it a PE program?" % program)
    for dll, function in found:
        if (dll.lower(), function) not in allowed:
            problems.append("%s imports %s from %s, which is not on %s"
                            % (program, function, dll, allowlist))
    return problems


def check_entry(tool, program):
    problems = []
    start = re.search(r"start address 0x([0-9a-f]+)", objdump(tool, "-f", program))
    check_address, body, inside = None, [], False
    for line in objdump(tool, "-d", program).splitlines():
        header = re.match(r"([0-9a-f]+) <(\S+)>:$", line)
        if header:
            if inside:
                break
            inside = header.group(2) == "_flowballEntry"
            if inside:
                check_address = int(header.group(1), 16)
            continue
        if inside and line.strip():
            body.append(line)
    if check_address is None or not start:
        return ["%s: no _flowballEntry code or start address" % program]
    if int(start.group(1), 16) != check_address:
        problems.append("%s starts at 0x%s, not in _flowballEntry at 0x%x"
                        % (program, start.group(1), check_address))
    if not body:
        return problems + ["%s: no code for _flowballEntry" % program]
    for line in body:
        if "%xmm" in line or "%mxcsr" in line or SSE_WITHOUT_XMM.search(line):
            problems.append("the processor check uses SSE: " + line.strip())
    if not any("<_WinMainCRTStartup>" in line for line in body):
        problems.append("the processor check does not go on to _WinMainCRTStartup")
    return problems


def main(argv):
    if len(argv) == 4 and argv[0] == "imports":
        problems = check_imports(*argv[1:])
    elif len(argv) == 3 and argv[0] == "entry":
        problems = check_entry(*argv[1:])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
