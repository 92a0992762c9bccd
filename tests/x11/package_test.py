#!/usr/bin/env python3
"""The Debian package of the X11 program, built and taken apart as a user's
machine would: built with cpack from the build folder, checked for its
control fields and files, checked by Debian's lintian (no error or warning
tag), installed with dpkg into a throwaway root, its program run from there,
then removed, leaving nothing behind. The lintian check is shown to catch a
package without its copyright file; systemd-analyze checks the idle
watcher's user service.

  package_test.py BUILD_DIR VERSION
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

EXPECTED_FILES = {
    "usr/bin/flowball",
    "usr/libexec/xscreensaver/flowball",
    "usr/share/xscreensaver/config/flowball.xml",
    "usr/share/applications/flowball.desktop",
    "usr/share/applications/screensavers/flowball.desktop",
    "usr/share/icons/hicolor/scalable/apps/flowball.svg",
    "usr/share/man/man6/flowball.6.gz",
    "usr/share/doc/flowball/copyright",
    "usr/share/doc/flowball/changelog.gz",
    "usr/lib/systemd/user/flowball-idle.service",
}


def run(command, **options):
    return subprocess.run(command, check=True, capture_output=True, text=True, timeout=600, **options).stdout


def build_package(build_dir, work):
    run(["cpack", "-G", "DEB", "-B", work, "--config", os.path.join(build_dir, "CPackConfig.cmake")])
    packages = [name for name in os.listdir(work) if name.endswith(".deb")]
    assert len(packages) == 1, "cpack made %s" % packages
    return os.path.join(work, packages[0])


def check_control(package, version):
    assert os.path.basename(package) == "flowball_%s_amd64.deb" % version, package
    fields = {}
    for name in ("Package", "Version", "Architecture", "Depends"):
        fields[name] = run(["dpkg-deb", "-f", package, name]).strip()
    assert fields["Package"] == "flowball", fields
    assert fields["Version"] == version, fields
    assert fields["Architecture"] == "amd64", fields
    # The libraries the program links, found by dpkg-shlibdeps.
    # Xlib for the X11 host; the Wayland client library and EGL for the
    # Wayland host.
    # sd-bus for the idle watcher's session bus.
    for library in ("libx11-6", "libc6", "libstdc++6", "libwayland-client0", "libwayland-egl1", "libegl1",
                    "libsystemd0"):
        assert re.search(r"\b%s\b" % re.escape(library), fields["Depends"]), fields["Depends"]
    assert re.search(r"\blibglx0\b|\blibgl1\b", fields["Depends"]), fields["Depends"]


def check_contents(package):
    listing = run(["dpkg-deb", "-c", package])
    files = set()
    for line in listing.splitlines():
        path = line.split()[5].lstrip("./")
        if not line.startswith("d"):
            files.add(path)
    assert files == EXPECTED_FILES, "package files: %s" % sorted(files)


def lintian_complaints(package):
    """lintian's error and warning tags for the package, one line each."""
    result = subprocess.run(["lintian", "--no-cfg", "--display-level", ">=warning", package],
                            capture_output=True, text=True, timeout=600)
    output = result.stdout + result.stderr
    print("lintian %s:\n%s" % (os.path.basename(package), output.strip() or "(no tags)"))
    return [line for line in output.splitlines() if line.startswith(("E: ", "W: "))]


def check_lintian(package, work):
    complaints = lintian_complaints(package)
    assert not complaints, "lintian:\n" + "\n".join(complaints)
    # The same package without its copyright file must be refused.
    unpacked = os.path.join(work, "unpacked")
    run(["dpkg-deb", "-R", package, unpacked])
    os.remove(os.path.join(unpacked, "usr/share/doc/flowball/copyright"))
    broken = os.path.join(work, "broken", os.path.basename(package))
    os.makedirs(os.path.dirname(broken))
    run(["dpkg-deb", "--root-owner-group", "-b", unpacked, broken])
    complaints = lintian_complaints(broken)
    assert any("no-copyright-file" in line for line in complaints), (
        "lintian let a package without its copyright file pass: %s" % complaints)


def check_daemon_settings(root):
    """The daemon's settings page offers every option of the program, in the
    daemon's format: each argument it can insert is one the program takes."""
    tree = ElementTree.parse(os.path.join(root, "usr/share/xscreensaver/config/flowball.xml"))
    top = tree.getroot()
    assert top.tag == "screensaver" and top.get("name") == "flowball", top.attrib
    arguments = []
    for element in top.iter():
        if element.tag == "number":
            # A slider inserts its value for %: its ends and its default.
            arguments += [element.get("arg").replace("%", element.get(end))
                          for end in ("low", "high", "default")]
        else:
            arguments += [element.get(name) for name in ("arg", "arg-set", "arg-unset") if element.get(name)]
    options = {argument.split()[0] for argument in arguments}
    for option in ("-root", "-fps", "-texture", "-colour", "-speed", "-no-bars", "-detail", "-stars",
                   "-particles", "-fog", "-underlay", "-overlay", "-frame-rate", "-monitors"):
        assert option in options, "the settings page lacks " + option
    # --help first: the program checks every option and prints its help
    # without opening a display, or refuses a bad one with status 2.
    program = os.path.join(root, "usr/libexec/xscreensaver/flowball")
    for argument in arguments:
        result = subprocess.run([program, "--help"] + argument.split(), capture_output=True, text=True,
                                timeout=60)
        assert result.returncode == 0, "the program refuses %s: %s" % (argument, result.stderr)


def check_manual_and_desktop(root):
    manual = run(["zcat", os.path.join(root, "usr/share/man/man6/flowball.6.gz")])
    assert manual.startswith(".TH FLOWBALL 6"), manual[:40]
    for option in ("wayland", "x11", "root", "window\\-id", "fps", "texture", "colour", "speed", "no\\-bars", "detail",
                   "stars", "particles", "fog", "underlay", "overlay", "frame\\-rate", "monitors"):
        assert "\\-" + option in manual, "the manual page lacks -" + option
    assert ".BR xscreensaver (1)" in manual and "xscreensaver\\-settings (1)" in manual, "no SEE ALSO"
    desktop = open(os.path.join(root, "usr/share/applications/flowball.desktop")).read()
    assert "\nExec=flowball\n" in desktop and "\nName=Flowball\n" in desktop, desktop
    # The icon the entry names is the one the package installs.
    assert "\nIcon=flowball\n" in desktop, desktop
    icon = open(os.path.join(root, "usr/share/icons/hicolor/scalable/apps/flowball.svg")).read()
    assert ElementTree.fromstring(icon).tag == "{http://www.w3.org/2000/svg}svg", icon[:80]


def unit_problems(service, program):
    """What systemd-analyze finds wrong in the unit, with its ExecStart
    pointed at program: its complaints, or "" for none. The system
    manager's rules, since no user manager runs here; a user unit's keys
    are the same."""
    folder = tempfile.mkdtemp(prefix="flowball-unit-")
    try:
        path = os.path.join(folder, "flowball-idle.service")
        with open(path, "w") as unit:
            unit.write(re.sub(r"^ExecStart=/usr/bin/flowball", "ExecStart=" + program, service, flags=re.MULTILINE))
        result = subprocess.run(["systemd-analyze", "verify", "--man=no", path], capture_output=True, text=True,
                                timeout=60)
        return (result.stderr + ("status %d" % result.returncode if result.returncode else "")).strip()
    finally:
        shutil.rmtree(folder)


def desktop_entry(path):
    """The keys of a desktop entry's [Desktop Entry] group."""
    keys = {}
    group = None
    for line in open(path):
        line = line.strip()
        if line.startswith("["):
            group = line
        elif group == "[Desktop Entry]" and "=" in line and not line.startswith("#"):
            key, _, value = line.partition("=")
            keys[key] = value
    return keys


def desktop_file_complaints(path):
    """desktop-file-validate's complaints about an entry ("" when none)."""
    result = subprocess.run(["desktop-file-validate", path], capture_output=True, text=True, timeout=60)
    return "" if result.returncode == 0 else (result.stdout + result.stderr).strip() or "status %d" % (
        result.returncode)


def check_desktop_entries(root, work):
    """Both entries pass desktop-file-validate, which refuses an entry
    without its Type. The screen-saver list's entry runs the program in
    the folder the savers' host looks in, with options it takes."""
    entries = [os.path.join(root, "usr/share/applications", name)
               for name in ("flowball.desktop", "screensavers/flowball.desktop")]
    for entry in entries:
        complaints = desktop_file_complaints(entry)
        assert not complaints, "desktop-file-validate %s:\n%s" % (entry, complaints)
    broken = os.path.join(work, "broken.desktop")
    with open(broken, "w") as out:
        out.writelines(line for line in open(entries[1]) if not line.startswith("Type="))
    assert desktop_file_complaints(broken), "desktop-file-validate let an entry without Type pass"

    saver = desktop_entry(entries[1])
    assert saver["Categories"].split(";")[:-1] == ["Screensaver"], saver
    assert saver["Name"] == "Flowball" and saver["Icon"] == "flowball", saver
    command = saver["Exec"].split()
    assert command[0] == "/usr/libexec/xscreensaver/flowball" == saver["TryExec"], saver
    program = os.path.join(root, command[0].lstrip("/"))
    assert not os.path.islink(program), program
    result = subprocess.run([program, "--help"] + command[1:], capture_output=True, text=True, timeout=60)
    assert result.returncode == 0, "the program refuses %s: %s" % (command[1:], result.stderr)


def check_idle_service(root):
    """The idle watcher's user service runs the installed program with
    options it takes, restarts it after a failure but not when the session
    has no idle source (status 3) nor without end, systemd finds nothing
    wrong in it, and the package enables it for nobody. The unit check is
    shown to catch a misspelt key."""
    service = open(os.path.join(root, "usr/lib/systemd/user/flowball-idle.service")).read()
    command = re.search(r"^ExecStart=(.*)$", service, re.MULTILINE).group(1).split()
    assert command[0] == "/usr/bin/flowball" and "--idle-after" in command, command
    program = os.path.join(root, command[0].lstrip("/"))
    result = subprocess.run([program, "--help"] + command[1:], capture_output=True, text=True, timeout=60)
    assert result.returncode == 0, "the program refuses %s: %s" % (command[1:], result.stderr)
    assert "\nWantedBy=graphical-session.target\n" in service, service
    for line in ("Restart=on-failure", "RestartPreventExitStatus=3"):
        assert "\n%s\n" % line in service, "the service lacks " + line
    assert re.search(r"^StartLimitBurst=\d+$", service, re.MULTILINE), "the service restarts without end"
    problems = unit_problems(service, program)
    assert not problems, problems
    assert "RestartSecs" in unit_problems(service.replace("RestartSec=", "RestartSecs="), program), (
        "the unit check misses a misspelt key")
    assert not any("wants" in folder for folder, _, _ in os.walk(os.path.join(root, "usr/lib/systemd"))), (
        "the package enables the service")


def dpkg_in(root):
    """dpkg working on the throwaway root. The root has none of the
    dependencies: they are the real system's (the program runs with its
    libraries)."""
    return ["dpkg", "--root=" + root, "--force-not-root", "--force-depends", "--log=/dev/null"]


def install_into_throwaway_root(package):
    """A new folder with the package installed in it by dpkg; answers the
    folder, which the caller removes."""
    root = tempfile.mkdtemp(prefix="flowball-root-")
    admin = os.path.join(root, "var/lib/dpkg")
    for folder in ("info", "updates", "triggers"):
        os.makedirs(os.path.join(admin, folder))
    open(os.path.join(admin, "status"), "w").close()
    run(dpkg_in(root) + ["--install", package])
    return root


def install_remove(package, work):
    root = install_into_throwaway_root(package)
    try:
        dpkg = dpkg_in(root)
        installed = {os.path.relpath(os.path.join(folder, name), root)
                     for folder, _, names in os.walk(root) for name in names
                     if not os.path.relpath(folder, root).startswith("var/lib/dpkg")}
        assert installed == EXPECTED_FILES, "installed: %s" % sorted(installed)
        assert os.readlink(os.path.join(root, "usr/bin/flowball")) == "../libexec/xscreensaver/flowball"

        environment = dict(os.environ)
        environment.pop("DISPLAY", None)
        usage = run([os.path.join(root, "usr/bin/flowball"), "--help"], env=environment)
        assert usage.startswith("Usage: flowball"), usage[:80]
        check_daemon_settings(root)
        check_manual_and_desktop(root)
        check_desktop_entries(root, work)
        check_idle_service(root)

        run(dpkg + ["--remove", "flowball"])
        left = [os.path.relpath(os.path.join(folder, name), root)
                for folder, folders, names in os.walk(root) for name in names + folders
                if not os.path.relpath(os.path.join(folder, name), root).startswith("var")]
        assert not left, "left after removal: %s" % left
    finally:
        shutil.rmtree(root)


def main():
    build_dir, version = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp(prefix="flowball-package-")
    try:
        package = build_package(build_dir, work)
        check_control(package, version)
        check_contents(package)
        check_lintian(package, work)
        install_remove(package, work)
    finally:
        shutil.rmtree(work)
    print("PASS the package builds, installs, runs --help and removes cleanly")
    return 0


if __name__ == "__main__":
    sys.exit(main())
