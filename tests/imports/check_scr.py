#!/usr/bin/env python3
"""Checks of the built flowball.scr that only its binary shows.

  check_scr.py imports OBJDUMP ALLOWLIST SCR
      every function the program imports is on ALLOWLIST (DLL, function,
      oldest Windows), and the list itself names nothing newer than
      Windows 98 SE
  check_scr.py entry OBJDUMP SCR
      the program starts in flowballEntry, the processor check, which hands
      over to the C runtime's WinMainCRTStartup; neither it nor the runtime's
      TLS callbacks, which run before it, use an SSE register or instruction

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
