#!/usr/bin/env python3
"""The Debian packages, flowball (the program) and flowball-settings (its
settings window), built and taken apart as a user's machine would: built
with cpack from the build folder, checked for their control fields and
files, checked by Debian's lintian (no error or warning tag), installed with
dpkg into a throwaway root, their programs run from there, then removed,
leaving nothing behind. The lintian check is shown to catch a package
without its copyright file, and the AppStream check a description without
its summary; systemd-analyze checks the idle watcher's user service.

  package_test.py BUILD_DIR VERSION
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

SAVER_FILES = {
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
SETTINGS_FILES = {
    "usr/bin/flowball-settings",
    "usr/share/applications/io.github.flowball.Settings.desktop",
    "usr/share/metainfo/io.github.flowball.Settings.metainfo.xml",
    "usr/share/man/man1/flowball-settings.1.gz",
    "usr/share/doc/flowball-settings/copyright",
    "usr/share/doc/flowball-settings/changelog.gz",
}
PACKAGE_FILES = {"flowball": SAVER_FILES, "flowball-settings": SETTINGS_FILES}
# The window's toolkit stays out of the saver's dependencies.
WINDOW_LIBRARIES = ("libgtk-4-1", "libadwaita-1-0")


def run(command, **options):
    return subprocess.run(command, check=True, capture_output=True, text=True, timeout=600, **options).stdout


def build_packages(build_dir, work):
    """name -> path of each package cpack made: the saver's and the
    settings window's."""
    run(["cpack", "-G", "DEB", "-B", work, "--config", os.path.join(build_dir, "CPackConfig.cmake")])
    made = {}
    for name in os.listdir(work):
        if name.endswith(".deb"):
            path = os.path.join(work, name)
            made[run(["dpkg-deb", "-f", path, "Package"]).strip()] = path
    assert set(made) == set(PACKAGE_FILES), "cpack made %s" % sorted(made.values())
    return made


def build_package(build_dir, work):
    """The saver's package alone (cpack makes the window's beside it)."""
    return build_packages(build_dir, work)["flowball"]


def control_fields(package):
    return {name: run(["dpkg-deb", "-f", package, name]).strip()
            for name in ("Package", "Version", "Architecture", "Depends")}


def check_control(package, version):
    fields = control_fields(package)
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
    for library in WINDOW_LIBRARIES:
        assert not re.search(r"\b%s\b" % re.escape(library), fields["Depends"]), fields["Depends"]


def check_settings_control(package, version):
    fields = control_fields(package)
    assert fields["Package"] == "flowball-settings", fields
    assert fields["Version"] == version and fields["Architecture"] == "amd64", fields
    assert "flowball (= %s)" % version in fields["Depends"], fields["Depends"]
    for library in WINDOW_LIBRARIES + ("libegl1",):
        assert re.search(r"\b%s\b" % re.escape(library), fields["Depends"]), fields["Depends"]


def check_contents(package, expected):
    listing = run(["dpkg-deb", "-c", package])
    files = set()
    for line in listing.splitlines():
        path = line.split()[5].lstrip("./")
        if not line.startswith("d"):
            files.add(path)
    assert files == expected, "package files: %s" % sorted(files)


def lintian_complaints(package):
    """lintian's error and warning tags for the package, one line each."""
    result = subprocess.run(["lintian", "--no-cfg", "--display-level", ">=warning", package],
                            capture_output=True, text=True, timeout=600)
    output = result.stdout + result.stderr
    print("lintian %s:\n%s" % (os.path.basename(package), output.strip() or "(no tags)"))
    return [line for line in output.splitlines() if line.startswith(("E: ", "W: "))]


def check_lintian(package):
    complaints = lintian_complaints(package)
    assert not complaints, "lintian:\n" + "\n".join(complaints)


def check_lintian_refuses(package, work):
    """The same package without its copyright file must be refused."""
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
    # --idle: the time comes from the settings file, as the settings window
    # sets it, and a running watcher follows it.
    assert command[0] == "/usr/bin/flowball" and "--idle" in command, command
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


def appstream_complaints(path):
    result = subprocess.run(["appstreamcli", "validate", "--no-net", "--no-color", path], capture_output=True,
                            text=True, timeout=120)
    return result.returncode, result.stdout + result.stderr


def check_settings_window(root, work):
    """The window's desktop entry runs the installed window under the name
    people look for; AppStream takes its description, and would refuse one
    without its summary."""
    entry = os.path.join(root, "usr/share/applications/io.github.flowball.Settings.desktop")
    complaints = desktop_file_complaints(entry)
    assert not complaints, "desktop-file-validate %s:\n%s" % (entry, complaints)
    desktop = open(entry).read()
    assert "\nName=Flowball Settings\n" in desktop and "\nExec=flowball-settings\n" in desktop, desktop
    # The saver's package installs the icon the entry names.
    assert "\nIcon=flowball\n" in desktop, desktop
    metainfo = os.path.join(root, "usr/share/metainfo/io.github.flowball.Settings.metainfo.xml")
    status, output = appstream_complaints(metainfo)
    assert status == 0, "appstreamcli:\n" + output
    broken = os.path.join(work, "io.github.flowball.Settings.metainfo.xml")
    with open(broken, "w") as out:
        out.write(re.sub(r"<summary>.*</summary>", "", open(metainfo).read()))
    status, output = appstream_complaints(broken)
    assert status != 0, "appstreamcli let a description without its summary pass:\n" + output
    manual = run(["zcat", os.path.join(root, "usr/share/man/man1/flowball-settings.1.gz")])
    assert manual.startswith(".TH FLOWBALL\\-SETTINGS 1"), manual[:40]
    usage = run([os.path.join(root, "usr/bin/flowball-settings"), "--help"])
    assert "--dump-preview" in usage, usage


def dpkg_in(root):
    """dpkg working on the throwaway root. The root has none of the
    dependencies: they are the real system's (the program runs with its
    libraries)."""
    return ["dpkg", "--root=" + root, "--force-not-root", "--force-depends", "--log=/dev/null"]


def install_into_throwaway_root(*packages):
    """A new folder with the packages installed in it by dpkg; answers the
    folder, which the caller removes."""
    root = tempfile.mkdtemp(prefix="flowball-root-")
    admin = os.path.join(root, "var/lib/dpkg")
    for folder in ("info", "updates", "triggers"):
        os.makedirs(os.path.join(admin, folder))
    open(os.path.join(admin, "status"), "w").close()
    run(dpkg_in(root) + ["--install"] + list(packages))
    return root


def install_remove(packages, work):
    root = install_into_throwaway_root(*[packages[name] for name in sorted(PACKAGE_FILES)])
    try:
        dpkg = dpkg_in(root)
        installed = {os.path.relpath(os.path.join(folder, name), root)
                     for folder, _, names in os.walk(root) for name in names
                     if not os.path.relpath(folder, root).startswith("var/lib/dpkg")}
        assert installed == SAVER_FILES | SETTINGS_FILES, "installed: %s" % sorted(installed)
        assert os.readlink(os.path.join(root, "usr/bin/flowball")) == "../libexec/xscreensaver/flowball"

        environment = dict(os.environ)
        environment.pop("DISPLAY", None)
        usage = run([os.path.join(root, "usr/bin/flowball"), "--help"], env=environment)
        assert usage.startswith("Usage: flowball"), usage[:80]
        check_daemon_settings(root)
        check_manual_and_desktop(root)
        check_desktop_entries(root, work)
        check_idle_service(root)
        check_settings_window(root, work)

        run(dpkg + ["--remove", "flowball-settings", "flowball"])
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
        packages = build_packages(build_dir, work)
        for name, package in packages.items():
            assert os.path.basename(package) == "%s_%s_amd64.deb" % (name, version), package
        check_control(packages["flowball"], version)
        check_settings_control(packages["flowball-settings"], version)
        for name, package in packages.items():
            check_contents(package, PACKAGE_FILES[name])
            check_lintian(package)
        check_lintian_refuses(packages["flowball"], work)
        install_remove(packages, work)
    finally:
        shutil.rmtree(work)
    print("PASS both packages build, install, run --help and remove cleanly")
    return 0


if __name__ == "__main__":
    sys.exit(main())
