#!/usr/bin/env python3
"""Flowball's Windows release files, made from a Windows build folder.

    package.py dist --build-dir build/win32 --out dist
        the installer flowball-setup-VERSION.exe, the archive
        flowball-VERSION-windows.zip and SHA256SUMS, in a fresh OUT folder
    package.py installer --build-dir DIR --out FILE [--version V] [--saver FILE]
                         [--define NAME]...
        one installer; the tests make older versions and test builds with it

The build folder's packaging.json gives the version, the saver and its icon.
The release carries the saver without its debug information, which names the
build's folders. Two runs on one commit give the same bytes: nothing carries
the time of the build. The stripped saver's header and the archive's entries
carry the time of the last commit, or SOURCE_DATE_EPOCH when that is set.
"""
import argparse
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
NSIS_SCRIPT = os.path.join(HERE, "flowball.nsi")
WINDOWS_README = os.path.join(HERE, "README-windows.txt")
SOURCE_DIR = os.path.dirname(os.path.dirname(HERE))
LICENSE = os.path.join(SOURCE_DIR, "LICENSE")
STRIP = "i686-w64-mingw32-strip"
# The earliest time a zip entry can carry.
ZIP_EPOCH = (1980, 1, 1, 0, 0, 0)


def build_info(build_dir):
    with open(os.path.join(build_dir, "packaging.json")) as info:
        return json.load(info)


def installer_name(version):
    return "flowball-setup-%s.exe" % version


def archive_name(version):
    return "flowball-%s-windows.zip" % version


def source_date_epoch():
    """SOURCE_DATE_EPOCH, else the time of the checkout's last commit."""
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    result = subprocess.run(["git", "-C", SOURCE_DIR, "log", "-1", "--format=%ct"],
                            capture_output=True, text=True)
    if result.returncode != 0 or not result.stdout.strip():
        sys.exit("package: not a git checkout; set SOURCE_DATE_EPOCH to the release time")
    return int(result.stdout)


def windows_text(source, target, version):
    """A text file with Windows line ends, for Notepad and the licence page."""
    with open(source, encoding="utf-8") as text:
        content = text.read().replace("@VERSION@", version)
    with open(target, "w", encoding="utf-8", newline="\r\n") as out:
        out.write(content)


def stage_texts(stage, version):
    """README.txt and LICENSE.txt in stage; returns their paths."""
    readme = os.path.join(stage, "README.txt")
    license_text = os.path.join(stage, "LICENSE.txt")
    windows_text(WINDOWS_README, readme, version)
    windows_text(LICENSE, license_text, version)
    return readme, license_text


def stage_saver(info, stage, epoch):
    """The build's saver without debug information; strip writes epoch as
    the time in its header."""
    saver = os.path.join(stage, "flowball.scr")
    env = dict(os.environ, SOURCE_DATE_EPOCH=str(epoch))
    subprocess.run([STRIP, "--strip-debug", "-o", saver, info["saver"]], check=True, env=env)
    return saver


def make_installer(info, out, epoch, version=None, saver=None, defines=()):
    """An installer of the build's saver, or of another file given as saver
    (packed as it is)."""
    version = version or info["version"]
    with tempfile.TemporaryDirectory() as stage:
        _, license_text = stage_texts(stage, version)
        saver = os.path.abspath(saver) if saver else stage_saver(info, stage, epoch)
        command = ["makensis", "-V2", "-INPUTCHARSET", "UTF8",
                   "-DVERSION=" + version,
                   "-DSAVER=" + saver,
                   "-DICON=" + info["icon"],
                   "-DLICENSE_FILE=" + license_text,
                   "-DOUTFILE=" + os.path.abspath(out)]
        command += ["-D" + name for name in defines]
        command.append(NSIS_SCRIPT)
        # A fixed environment: nothing of the caller's locale or settings
        # reaches the installer.
        subprocess.run(command, check=True, env={"PATH": os.environ["PATH"], "LC_ALL": "C"})


def make_archive(info, out, epoch):
    version = info["version"]
    folder = "flowball-%s" % version
    date_time = max(ZIP_EPOCH, time.gmtime(epoch)[:6])
    with tempfile.TemporaryDirectory() as stage:
        readme, license_text = stage_texts(stage, version)
        entries = [("flowball.scr", stage_saver(info, stage, epoch)), ("README.txt", readme),
                   ("LICENSE.txt", license_text)]
        with zipfile.ZipFile(out, "w") as archive:
            for name, path in entries:
                entry = zipfile.ZipInfo(folder + "/" + name, date_time)
                entry.compress_type = zipfile.ZIP_DEFLATED
                entry.create_system = 0
                with open(path, "rb") as data:
                    archive.writestr(entry, data.read(), compresslevel=9)


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as data:
        for block in iter(lambda: data.read(1 << 16), b""):
            digest.update(block)
    return digest.hexdigest()


def make_dist(info, out_dir):
    epoch = source_date_epoch()
    shutil.rmtree(out_dir, ignore_errors=True)
    os.makedirs(out_dir)
    names = [installer_name(info["version"]), archive_name(info["version"])]
    make_installer(info, os.path.join(out_dir, names[0]), epoch)
    make_archive(info, os.path.join(out_dir, names[1]), epoch)
    # The format that sha256sum -c reads.
    with open(os.path.join(out_dir, "SHA256SUMS"), "w", newline="\n") as sums:
        for name in names:
            sums.write("%s  %s\n" % (sha256(os.path.join(out_dir, name)), name))
    for name in names + ["SHA256SUMS"]:
        print(os.path.join(out_dir, name))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("what", choices=["dist", "installer"])
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--version", help="installer: another version number")
    parser.add_argument("--saver", help="installer: another file to pack, as it is, as flowball.scr")
    parser.add_argument("--define", action="append", default=[],
                        help="installer: a makensis define, e.g. FLOWBALL_TEST_NOT_ADMIN")
    args = parser.parse_args()
    info = build_info(args.build_dir)
    if args.what == "dist":
        make_dist(info, args.out)
    else:
        make_installer(info, args.out, source_date_epoch(), args.version, args.saver,
                       args.define)
    return 0


if __name__ == "__main__":
    sys.exit(main())
