#!/usr/bin/env python3
"""Flowball's Windows release files, made from the Windows build folders.

    package.py dist --build-dir build/win64 --build-dir build/win32 --out dist
        the installers flowball-setup-VERSION-x64.exe and
        flowball-setup-VERSION-x86.exe, the archive flowball-VERSION-windows.zip
        (x64/flowball.scr, x86/flowball.scr, the README and the licence) and
        SHA256SUMS, in a fresh OUT folder; a release of one build folder
        carries that build's installer and saver only
    package.py installer --build-dir DIR --out FILE [--version V] [--saver FILE]
                         [--define NAME]...
        one installer of the build's saver; the tests make older versions and
        test builds with it

Each build folder's packaging.json gives the version, the architecture (x64
or x86), the saver, its icon and the strip tool. The release carries the
savers without their debug information, which names the build's folders. Two
runs on one commit give the same bytes: nothing carries the time of the build.
The stripped savers' headers and the archive's entries carry the time of the
last commit, or SOURCE_DATE_EPOCH when that is set.
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
# The release's order of architectures: installers, archive folders, sums.
ARCHITECTURES = ("x64", "x86")
# The earliest time a zip entry can carry.
ZIP_EPOCH = (1980, 1, 1, 0, 0, 0)


def build_info(build_dir):
    with open(os.path.join(build_dir, "packaging.json")) as info:
        return json.load(info)


def installer_name(version, arch):
    return "flowball-setup-%s-%s.exe" % (version, arch)


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
    subprocess.run([info["strip"], "--strip-debug", "-o", saver, info["saver"]], check=True,
                   env=env)
    return saver


def make_installer(info, out, epoch, version=None, saver=None, defines=()):
    """An installer of the build's saver, or of another file given as saver
    (packed as it is)."""
    version = version or info["version"]
    with tempfile.TemporaryDirectory() as stage:
        _, license_text = stage_texts(stage, version)
        saver = os.path.abspath(saver) if saver else stage_saver(info, stage, epoch)
        command = ["makensis", "-V2", "-INPUTCHARSET", "UTF8",
                   "-DARCH=" + info["arch"],
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


def make_archive(infos, out, epoch):
    """The archive of every build's saver, in a folder named for its
    architecture, beside the README and the licence."""
    version = infos[0]["version"]
    folder = "flowball-%s" % version
    date_time = max(ZIP_EPOCH, time.gmtime(epoch)[:6])
    with tempfile.TemporaryDirectory() as stage:
        readme, license_text = stage_texts(stage, version)
        entries = []
        for info in infos:
            saver_stage = os.path.join(stage, info["arch"])
            os.makedirs(saver_stage)
            entries.append((info["arch"] + "/flowball.scr", stage_saver(info, saver_stage, epoch)))
        entries += [("README.txt", readme), ("LICENSE.txt", license_text)]
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


def release_builds(build_dirs):
    """The builds' packaging.json contents in the release's order of
    architectures; one build per architecture, all of one version."""
    infos = [build_info(build_dir) for build_dir in build_dirs]
    archs = [info["arch"] for info in infos]
    if len(set(archs)) != len(archs):
        sys.exit("package: two build folders of one architecture: %s" % ", ".join(build_dirs))
    if len({info["version"] for info in infos}) != 1:
        sys.exit("package: the build folders are of different versions")
    return sorted(infos, key=lambda info: ARCHITECTURES.index(info["arch"]))


def make_dist(infos, out_dir):
    epoch = source_date_epoch()
    shutil.rmtree(out_dir, ignore_errors=True)
    os.makedirs(out_dir)
    version = infos[0]["version"]
    names = []
    for info in infos:
        names.append(installer_name(version, info["arch"]))
        make_installer(info, os.path.join(out_dir, names[-1]), epoch)
    names.append(archive_name(version))
    make_archive(infos, os.path.join(out_dir, names[-1]), epoch)
    # The format that sha256sum -c reads.
    with open(os.path.join(out_dir, "SHA256SUMS"), "w", newline="\n") as sums:
        for name in names:
            sums.write("%s  %s\n" % (sha256(os.path.join(out_dir, name)), name))
    for name in names + ["SHA256SUMS"]:
        print(os.path.join(out_dir, name))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("what", choices=["dist", "installer"])
    parser.add_argument("--build-dir", action="append", required=True,
                        help="a Windows build folder; dist takes one per architecture")
    parser.add_argument("--out", required=True)
    parser.add_argument("--version", help="installer: another version number")
    parser.add_argument("--saver", help="installer: another file to pack, as it is, as flowball.scr")
    parser.add_argument("--define", action="append", default=[],
                        help="installer: a makensis define, e.g. FLOWBALL_TEST_NOT_ADMIN")
    args = parser.parse_args()
    if args.what == "dist":
        make_dist(release_builds(args.build_dir), args.out)
    else:
        if len(args.build_dir) != 1:
            parser.error("installer takes one --build-dir")
        make_installer(build_info(args.build_dir[0]), args.out, source_date_epoch(),
                       args.version, args.saver, args.define)
    return 0


if __name__ == "__main__":
    sys.exit(main())
