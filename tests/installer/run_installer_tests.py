#!/usr/bin/env python3
"""Tests of the Windows release: the installer and uninstaller under Wine, and
the byte-identical rebuild of the release files.

Group "wine" boots a fresh prefix of its own (BUILD/installer/prefix, 64-bit
for the 64-bit build) on its own Xvfb and runs every case in it with the
build's installer; before each case the prefix is put
back to "never installed", so a failing case does not spoil the next. What
Windows itself does with the results (list the saver, start it on idle) Wine
does not do: the cases check the files and registry values that Windows
reads. Group "release" builds the release twice and compares.

usage: run_installer_tests.py --build-dir DIR --group wine|release [--case NAME]
"""
import argparse
import glob
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(SOURCE_DIR, "tests", "e2e"))
# The source tree stays as checked out.
sys.dont_write_bytecode = True
import run_e2e  # noqa: E402
from run_e2e import Failure, check, wait_for  # noqa: E402

PACKAGE = os.path.join(SOURCE_DIR, "packaging", "windows", "package.py")

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
ENTRY_KEY = UNINSTALL_KEY + r"\Flowball"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
SETTINGS_KEY = r"HKCU\Software\Flowball"
WINE_KEY = r"HKCU\Software\Wine"
# The installer and the prefix are of one width (a 64-bit installer in a 64-bit
# prefix, a 32-bit one in a 32-bit prefix): no SysWOW64, no registry
# redirection.
SAVER_WINDOWS_PATH = r"C:\windows\system32\flowball.scr"
UNINSTALLER_WINDOWS_PATH = r"C:\Program Files\Flowball\uninstall.exe"
# As wine reports exit codes: the low 8 bits of ERROR_ELEVATION_REQUIRED, 740.
EXIT_NEEDS_ADMINISTRATOR = 740 & 0xFF
OLD_VERSION = "0.9.0"
# Installers and uninstallers, including the uninstaller's copy of itself that
# it starts from the temporary folder, end well within this.
PROGRAM_TIMEOUT = 180.0


def package(build_dir, *args):
    subprocess.run([sys.executable, PACKAGE] + list(args) + ["--build-dir", build_dir],
                   check=True, timeout=300, stdout=subprocess.DEVNULL)


def read(path):
    with open(path, "rb") as data:
        return data.read()


class Prefix:
    """The installer's Wine prefix, its files and registry, seen from Linux."""

    def __init__(self, build_dir):
        self.work_dir = os.path.join(build_dir, "installer", "work")
        self.root = os.path.join(build_dir, "installer", "prefix")
        shutil.rmtree(self.work_dir, ignore_errors=True)
        shutil.rmtree(self.root, ignore_errors=True)
        self.session = run_e2e.Session(build_dir, self.work_dir, True, self.root)
        self.drive_c = os.path.join(self.root, "drive_c")
        self.saver = os.path.join(self.drive_c, "windows", "system32", "flowball.scr")
        self.install_dir = os.path.join(self.drive_c, "Program Files", "Flowball")

    def close(self):
        self.session.close()

    # --- programs ---------------------------------------------------------

    def run(self, program, *args):
        """Runs an installer or uninstaller to its very end and returns its
        exit code. The uninstaller runs from a copy in the temporary folder
        and its first process ends at once: without the session's persistent
        wineserver, `wineserver -w` returns once every process of the prefix
        has ended."""
        self.session.stop_wine()
        try:
            result = subprocess.run([self.session.wine, program] + list(args), env=self.session.env,
                                    timeout=PROGRAM_TIMEOUT, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], env=self.session.env, timeout=PROGRAM_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise Failure("%s %s still running after %.0f s" % (program, " ".join(args),
                                                                PROGRAM_TIMEOUT))
        finally:
            self.session.start_wineserver()
        return result.returncode

    def restart(self):
        """What Windows does at a restart, such as deleting the files that
        were in use when a program asked to delete them."""
        self.session.stop_wine()
        try:
            subprocess.run([self.session.wine, "wineboot", "-r"], env=self.session.env,
                           timeout=PROGRAM_TIMEOUT, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], env=self.session.env, timeout=PROGRAM_TIMEOUT)
        finally:
            self.session.start_wineserver()

    def temporary_files(self):
        """The files in the users' temporary folders. Empty folders do not
        count: under Wine the restart deletes the uninstaller's copy but not
        the folder that held it, which is listed for deletion before it."""
        found = []
        for top in glob.glob(os.path.join(self.drive_c, "users", "*", "Temp")):
            for folder, _, files in os.walk(top):
                found += [os.path.join(folder, name) for name in files]
        return sorted(found)

    def install(self, installer, *args):
        code = self.run(installer, "/S", *args)
        check(code == 0, "the installer ended with %d" % code)

    def uninstall(self, *args):
        check(os.path.exists(os.path.join(self.install_dir, "uninstall.exe")),
              "no uninstaller in " + self.install_dir)
        code = self.run(UNINSTALLER_WINDOWS_PATH, "/S", *args)
        check(code == 0, "the uninstaller ended with %d" % code)

    # --- registry ---------------------------------------------------------

    def reg(self, *args):
        """wine reg's exit code and output. The output goes through a file: a
        Wine service that reg starts would hold a pipe open, and reading it
        would wait for the service."""
        with tempfile.TemporaryFile("w+", errors="replace") as output:
            code = subprocess.run(self.session.reg_command(*args), env=self.session.env,
                                  timeout=120, stdout=output,
                                  stderr=subprocess.DEVNULL).returncode
            output.seek(0)
            return code, output.read()

    def values(self, key):
        """The values of key as {name: data}, or None without the key. A
        REG_DWORD's data is its number."""
        code, output = self.reg("query", key)
        if code != 0:
            return None
        values = {}
        for line in output.splitlines():
            fields = line.strip().split("    ")
            if len(fields) == 3 and fields[1].startswith("REG_"):
                name, kind, data = fields
                values[name] = int(data, 16) if kind == "REG_DWORD" else data
        return values

    def value(self, key, name):
        return (self.values(key) or {}).get(name)

    def set_value(self, key, name, data):
        check(self.reg("add", key, "/v", name, "/d", data, "/f")[0] == 0,
              "cannot set %s\\%s" % (key, name))

    def delete_value(self, key, name):
        self.reg("delete", key, "/v", name, "/f")

    def flowball_entries(self):
        """The display versions of the uninstall entries named Flowball."""
        _, output = self.reg("query", UNINSTALL_KEY, "/s")
        versions, in_flowball = [], False
        for line in output.splitlines():
            if line.startswith("HKEY_"):
                in_flowball = False
            fields = line.strip().split("    ")
            if fields == ["DisplayName", "REG_SZ", "Flowball"]:
                in_flowball = True
                versions.append(None)
            if in_flowball and fields[:2] == ["DisplayVersion", "REG_SZ"]:
                versions[-1] = fields[2]
        return versions

    # --- state ------------------------------------------------------------

    def reset(self):
        """Back to "never installed": no saver, no entry, no uninstaller, no
        settings, and no current saver, its switch off."""
        if os.path.exists(self.saver):
            os.remove(self.saver)
        shutil.rmtree(self.install_dir, ignore_errors=True)
        self.reg("delete", ENTRY_KEY, "/f")
        self.reg("delete", SETTINGS_KEY, "/f")
        self.delete_value(DESKTOP_KEY, "SCRNSAVE.EXE")
        self.set_value(DESKTOP_KEY, "ScreenSaveActive", "0")

    def snapshot(self):
        """Everything the installer may change."""
        return {
            "saver": os.path.exists(self.saver),
            "install folder": os.path.exists(self.install_dir),
            "entry": self.values(ENTRY_KEY),
            "current saver": self.value(DESKTOP_KEY, "SCRNSAVE.EXE"),
            "saver active": self.value(DESKTOP_KEY, "ScreenSaveActive"),
            "settings": self.values(SETTINGS_KEY),
        }

    def check_uninstalled(self):
        check(not os.path.exists(self.saver), "the saver is still in the system folder")
        check(not os.path.exists(self.install_dir), "the install folder is still there")
        check(self.values(ENTRY_KEY) is None, "the uninstall entry is still there")


class Release:
    """The installers the cases use, made once."""

    def __init__(self, build_dir, work_dir):
        dist = os.path.join(work_dir, "dist")
        package(build_dir, "dist", "--out", dist)
        self.version, arch = build_release(build_dir)
        self.installer = os.path.join(dist, "flowball-setup-%s-%s.exe" % (self.version, arch))
        with zipfile.ZipFile(os.path.join(dist, "flowball-%s-windows.zip" % self.version)) as z:
            self.saver_bytes = z.read("flowball-%s/%s/flowball.scr" % (self.version, arch))
        # The earlier version carries a stand-in file so that the upgrade shows
        # which file it left.
        self.old_saver = os.path.join(work_dir, "old-flowball.scr")
        with open(self.old_saver, "wb") as stand_in:
            stand_in.write(b"Flowball %s stand-in\n" % OLD_VERSION.encode())
        self.old_installer = os.path.join(work_dir, "flowball-setup-%s.exe" % OLD_VERSION)
        package(build_dir, "installer", "--out", self.old_installer, "--version", OLD_VERSION,
                "--saver", self.old_saver)
        self.not_admin_installer = os.path.join(work_dir, "flowball-setup-not-admin.exe")
        package(build_dir, "installer", "--out", self.not_admin_installer,
                "--define", "FLOWBALL_TEST_NOT_ADMIN")


def build_release(build_dir):
    """The version and the architecture (x64 or x86) of the build's release."""
    with open(os.path.join(build_dir, "packaging.json")) as info:
        release = json.load(info)
    return release["version"], release["arch"]


# --- cases under Wine ----------------------------------------------------------

def case_not_administrator_refuses_and_changes_nothing(prefix, release):
    prefix.set_value(SETTINGS_KEY, "Marker", "kept")
    before = prefix.snapshot()
    code = prefix.run(release.not_admin_installer, "/S")
    check(code == EXIT_NEEDS_ADMINISTRATOR, "exit code %d, not %d" % (code, EXIT_NEEDS_ADMINISTRATOR))
    after = prefix.snapshot()
    check(after == before, "changed: %s -> %s" % (before, after))


def case_silent_install_registers_and_makes_current(prefix, release):
    prefix.install(release.installer)
    check(os.path.exists(prefix.saver), "no flowball.scr in the system folder")
    check(read(prefix.saver) == release.saver_bytes, "the installed saver is not the release's")
    entry = prefix.values(ENTRY_KEY)
    check(entry is not None, "no uninstall entry")
    uninstaller = '"%s"' % UNINSTALLER_WINDOWS_PATH
    expected = {
        "DisplayName": "Flowball",
        "DisplayVersion": release.version,
        "Publisher": "Flowball developers",
        "DisplayIcon": SAVER_WINDOWS_PATH + ",0",
        "UninstallString": uninstaller,
        "QuietUninstallString": uninstaller + " /S",
        "NoModify": 1,
        "NoRepair": 1,
    }
    for name, value in expected.items():
        check(entry.get(name) == value, "%s is %r, not %r" % (name, entry.get(name), value))
    # The installer sums whole kilobytes file by file.
    size_kb = len(release.saver_bytes) // 1024 + os.path.getsize(
        os.path.join(prefix.install_dir, "uninstall.exe")) // 1024
    check(size_kb <= entry.get("EstimatedSize", 0) <= size_kb + 2,
          "EstimatedSize %r KB for %d KB of files" % (entry.get("EstimatedSize"), size_kb))
    current = prefix.value(DESKTOP_KEY, "SCRNSAVE.EXE")
    check(current is not None and current.lower() == SAVER_WINDOWS_PATH.lower(),
          "SCRNSAVE.EXE is %r" % current)
    check(prefix.value(DESKTOP_KEY, "ScreenSaveActive") == "1", "ScreenSaveActive is not 1")

    # The installed saver runs as Windows starts it and ends on a key press.
    session = prefix.session
    run_e2e.pointer_to_centre(session)
    saver = session.start(SAVER_WINDOWS_PATH, "/s")
    session.wait_window("Screen Saver")
    wait_for(lambda: run_e2e.frame_shows_scene(session.screenshot("installed.png"))
             or saver.poll() is not None, "the installed saver's first frame",
             run_e2e.STARTUP_TIMEOUT, 0.3)
    check(saver.poll() is None, "the installed saver ended by itself")
    run_e2e.end_with_key(session, saver)


def case_no_set_current_leaves_current_saver(prefix, release):
    prefix.set_value(DESKTOP_KEY, "SCRNSAVE.EXE", r"C:\windows\system32\other.scr")
    prefix.install(release.installer, "/NOSETCURRENT")
    check(os.path.exists(prefix.saver), "no flowball.scr in the system folder")
    check(prefix.values(ENTRY_KEY) is not None, "no uninstall entry")
    check(prefix.value(DESKTOP_KEY, "SCRNSAVE.EXE") == r"C:\windows\system32\other.scr",
          "SCRNSAVE.EXE changed")
    check(prefix.value(DESKTOP_KEY, "ScreenSaveActive") == "0", "ScreenSaveActive changed")
    # Another saver is current: the uninstaller leaves it so.
    prefix.uninstall()
    prefix.check_uninstalled()
    check(prefix.value(DESKTOP_KEY, "SCRNSAVE.EXE") == r"C:\windows\system32\other.scr",
          "the uninstaller changed another saver's SCRNSAVE.EXE")
    check(prefix.value(DESKTOP_KEY, "ScreenSaveActive") == "0", "ScreenSaveActive changed")


def case_silent_uninstall_removes_everything_but_settings(prefix, release):
    prefix.restart()
    temporary_before = prefix.temporary_files()
    prefix.install(release.installer)
    prefix.set_value(SETTINGS_KEY, "Marker", "kept")
    prefix.uninstall()
    prefix.check_uninstalled()
    # The uninstaller ran from a copy of itself in the temporary folder, which
    # goes at the next restart.
    prefix.restart()
    check(prefix.temporary_files() == temporary_before,
          "left in the temporary folder: %s" % sorted(
              set(prefix.temporary_files()) - set(temporary_before)))
    check(prefix.value(DESKTOP_KEY, "SCRNSAVE.EXE") is None, "SCRNSAVE.EXE is still set")
    check(prefix.value(DESKTOP_KEY, "ScreenSaveActive") == "0", "ScreenSaveActive is not 0")
    check(prefix.values(SETTINGS_KEY) == {"Marker": "kept"}, "the settings key changed")


def case_uninstall_with_remove_settings_removes_settings_key(prefix, release):
    prefix.install(release.installer)
    prefix.set_value(SETTINGS_KEY, "Marker", "gone")
    prefix.uninstall("/REMOVESETTINGS")
    prefix.check_uninstalled()
    check(prefix.values(SETTINGS_KEY) is None, "the settings key is still there")


def case_uninstall_knows_its_saver_in_other_spellings(prefix, release):
    spellings = [SAVER_WINDOWS_PATH.upper(),
                 r"c:\windows\system32\..\system32\flowball.scr"]
    for spelling in spellings:
        prefix.reset()
        prefix.install(release.installer, "/NOSETCURRENT")
        prefix.set_value(DESKTOP_KEY, "SCRNSAVE.EXE", spelling)
        prefix.set_value(DESKTOP_KEY, "ScreenSaveActive", "1")
        prefix.uninstall()
        prefix.check_uninstalled()
        check(prefix.value(DESKTOP_KEY, "SCRNSAVE.EXE") is None,
              "SCRNSAVE.EXE %s is still set" % spelling)
        check(prefix.value(DESKTOP_KEY, "ScreenSaveActive") == "0",
              "ScreenSaveActive is not 0 after %s" % spelling)


def case_upgrade_keeps_one_entry_and_the_new_file(prefix, release):
    prefix.install(release.old_installer)
    check(prefix.flowball_entries() == [OLD_VERSION], "entries %s" % prefix.flowball_entries())
    check(read(prefix.saver) == read(release.old_saver), "the earlier version's file is not in")
    prefix.install(release.installer)
    check(prefix.flowball_entries() == [release.version],
          "entries after the upgrade: %s" % prefix.flowball_entries())
    check(read(prefix.saver) == release.saver_bytes, "the upgrade left the earlier file")
    prefix.uninstall()
    prefix.check_uninstalled()
    check(prefix.flowball_entries() == [], "entries left: %s" % prefix.flowball_entries())


def system_ini_saver(prefix):
    """SYSTEM.INI's [boot] SCRNSAVE.EXE, or None; Windows 9x reads the current
    saver there. Wine finds the file whatever its case."""
    windows = os.path.join(prefix.drive_c, "windows")
    names = [name for name in os.listdir(windows) if name.lower() == "system.ini"]
    if not names:
        return None
    section = None
    with open(os.path.join(windows, names[0]), errors="replace") as ini:
        for line in ini:
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                section = line[1:-1].lower()
            elif section == "boot" and line.lower().startswith("scrnsave.exe="):
                return line.split("=", 1)[1]
    return None


def case_windows_9x_keeps_the_current_saver_in_system_ini(prefix, release):
    # Wine answers the version query as Windows 98 for every program of the
    # prefix, the uninstaller's copy of itself included.
    check(system_ini_saver(prefix) is None, "SYSTEM.INI names a saver before the install")
    prefix.set_value(WINE_KEY, "Version", "win98")
    try:
        prefix.install(release.installer)
        current = system_ini_saver(prefix)
        check(current is not None and current.lower() == SAVER_WINDOWS_PATH.lower(),
              "SYSTEM.INI's SCRNSAVE.EXE is %r" % current)
        check(prefix.value(DESKTOP_KEY, "SCRNSAVE.EXE") is None,
              "the installer set SCRNSAVE.EXE in the registry on 9x")
        prefix.uninstall()
        prefix.check_uninstalled()
        check(system_ini_saver(prefix) is None, "SYSTEM.INI still names the saver")
    finally:
        prefix.delete_value(WINE_KEY, "Version")


WINE_CASES = [
    case_not_administrator_refuses_and_changes_nothing,
    case_silent_install_registers_and_makes_current,
    case_no_set_current_leaves_current_saver,
    case_silent_uninstall_removes_everything_but_settings,
    case_uninstall_with_remove_settings_removes_settings_key,
    case_uninstall_knows_its_saver_in_other_spellings,
    case_upgrade_keeps_one_entry_and_the_new_file,
    case_windows_9x_keeps_the_current_saver_in_system_ini,
]


def run_wine_group(build_dir, only):
    prefix = Prefix(build_dir)
    passed = failed = 0
    try:
        release = Release(build_dir, prefix.work_dir)

        def run(case):
            prefix.reset()
            case(prefix, release)

        named_cases = [(case.__name__[len("case_"):], case) for case in WINE_CASES]
        passed, failed = run_e2e.run_cases(named_cases, only, run, prefix.session)
    finally:
        prefix.close()
    print("%d passed, %d failed" % (passed, failed))
    return failed == 0 and passed > 0


# --- the release rebuilt ---------------------------------------------------------

def fixed_file_version(program):
    """The file version of a Windows program's version resource, from the
    fixed part that starts with the signature 0xFEEF04BD."""
    start = program.find(struct.pack("<I", 0xFEEF04BD))
    check(start >= 0, "no version resource")
    most, least = struct.unpack_from("<II", program, start + 8)
    return (most >> 16, most & 0xFFFF, least >> 16, least & 0xFFFF)


def wide_imports(objdump, program):
    """The wide-character functions a program imports (names ending in W)."""
    listing = subprocess.run([objdump, "-p", program], check=True, capture_output=True,
                             text=True).stdout
    return sorted(line.split()[-1] for line in listing.splitlines()
                  if len(line.split()) == 3 and line.split()[1].isdigit()
                  and line.split()[-1].endswith("W"))


def check_installer_width(objdump, arch, installer):
    """The x64 installer is a 64-bit program; the x86 one an ANSI 32-bit one
    whose imports Windows 9x has: it imports no wide-character function."""
    header = subprocess.run([objdump, "-f", installer], check=True, capture_output=True,
                            text=True).stdout
    expected_format = "pei-x86-64" if arch == "x64" else "pei-i386"
    check("file format %s" % expected_format in header,
          "%s is not %s: %s" % (installer, expected_format, header.strip()))
    if arch == "x86":
        wide = wide_imports(objdump, installer)
        check(not wide, "%s imports wide-character functions: %s" % (installer, ", ".join(wide)))


def run_release_group(build_dir):
    """Two builds of the release from one build folder and commit give the
    same bytes, SHA256SUMS matches them, and the archive holds the saver (in
    the folder of its architecture), the README and the licence under one
    folder, all with the commit's time. The installer has the width of its
    build; the 32-bit one is ANSI, for Windows 9x."""
    work_dir = os.path.join(build_dir, "installer", "release")
    shutil.rmtree(work_dir, ignore_errors=True)
    first, second = os.path.join(work_dir, "first"), os.path.join(work_dir, "second")
    package(build_dir, "dist", "--out", first)
    package(build_dir, "dist", "--out", second)
    version, arch = build_release(build_dir)
    installer = "flowball-setup-%s-%s.exe" % (version, arch)
    archive = "flowball-%s-windows.zip" % version
    names = sorted(os.listdir(first))
    check(names == sorted([installer, archive, "SHA256SUMS"]), "dist holds %s" % names)
    for name in names:
        check(read(os.path.join(first, name)) == read(os.path.join(second, name)),
              name + " differs between two builds")
    result = subprocess.run(["sha256sum", "-c", "--strict", "SHA256SUMS"], cwd=first,
                            capture_output=True, text=True, timeout=60)
    check(result.returncode == 0, "sha256sum -c: " + result.stdout + result.stderr)
    with open(os.path.join(build_dir, "packaging.json")) as info:
        objdump = json.load(info)["strip"].replace("-strip", "-objdump")
    check_installer_width(objdump, arch, os.path.join(first, installer))
    # The width check must be able to fail: the installer is not of the other
    # width.
    other_arch = "x86" if arch == "x64" else "x64"
    try:
        check_installer_width(objdump, other_arch, os.path.join(first, installer))
    except Failure:
        pass
    else:
        raise Failure("the width check took the %s installer for an %s one" % (arch, other_arch))
    with zipfile.ZipFile(os.path.join(first, archive)) as z:
        folder = "flowball-%s/" % version
        entries = z.infolist()
        saver_entry = "%s%s/flowball.scr" % (folder, arch)
        check([e.filename for e in entries] == [saver_entry, folder + "README.txt",
                                                folder + "LICENSE.txt"],
              "archive entries %s" % [e.filename for e in entries])
        release_time = int(os.environ.get("SOURCE_DATE_EPOCH") or subprocess.run(
            ["git", "-C", SOURCE_DIR, "log", "-1", "--format=%ct"],
            capture_output=True, text=True, check=True).stdout)
        expected_time = time.gmtime(release_time)[:6]
        # Zip times have two-second steps.
        expected_time = expected_time[:5] + (expected_time[5] - expected_time[5] % 2,)
        for entry in entries:
            check(entry.date_time == expected_time,
                  "%s carries %s, not the release time %s" % (entry.filename, entry.date_time,
                                                              expected_time))
        saver = z.read(saver_entry)
        check(saver[:2] == b"MZ", "flowball.scr is no program")
        # The project's version, in the saver and in the installer.
        numbers = tuple(int(n) for n in version.split(".")) + (0,)
        for name, program in (("flowball.scr", saver),
                              (installer, read(os.path.join(first, installer)))):
            check(fixed_file_version(program) == numbers,
                  "%s has version %s, not %s" % (name, fixed_file_version(program), numbers))
        check(("%s.0" % version).encode("utf-16-le") in saver,
              "flowball.scr's version text is not %s.0" % version)
        readme = z.read(folder + "README.txt").decode()
        for named_arch in ("x64", "x86"):
            check("flowball-setup-%s-%s.exe" % (version, named_arch) in readme,
                  "the README does not name the %s installer" % named_arch)
        check("\r\n" in readme and "\n" not in readme.replace("\r\n", ""),
              "the README has no Windows line ends")
        check("MIT License" in z.read(folder + "LICENSE.txt").decode(), "not the licence")
    print("PASS release_rebuilds_byte_identical")
    return True


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--group", choices=["wine", "release"], required=True)
    parser.add_argument("--case")
    args = parser.parse_args()
    build_dir = os.path.abspath(args.build_dir)
    if args.group == "release":
        try:
            ok = run_release_group(build_dir)
        except Failure as error:
            print("FAIL release_rebuilds_byte_identical: %s" % error)
            ok = False
    else:
        ok = run_wine_group(build_dir, args.case)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
