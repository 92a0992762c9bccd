#!/usr/bin/env bash
# Installs what building and testing Flowball needs on Debian 12 (bookworm).
#
# Idempotent and quick when everything is there: it asks dpkg first and calls
# apt only for what is missing. Needs root (or sudo) only when it installs.
# Never prompts; works without standard input.
set -euo pipefail

packages=(
    make cmake g++
    # The Windows build draws the saver's icon with a Python script.
    python3
    # The Windows cross compilers, 32-bit and 64-bit (the win32 thread model
    # for the saver, posix for GoogleTest and the test programs), their
    # objdump for the import and header checks, and GoogleTest's source to
    # build it with them.
    g++-mingw-w64-i686-win32 g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    g++-mingw-w64-x86-64-win32 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    googletest
    libgtest-dev libbenchmark-dev
    libgl-dev libegl-dev libglu1-mesa-dev libpng-dev libegl-mesa0 libgl1-mesa-dri
    # The X11 program: Xlib and GLX; its Debian package's dependencies are
    # found by dpkg-shlibdeps.
    libx11-dev libxrandr-dev libxext-dev libglx-dev libglx-mesa0 dpkg-dev
    # The Wayland host: the client library, EGL's Wayland platform and the
    # protocol descriptions wayland-scanner turns into code at build time
    # (the layer shell's and the virtual pointer's only ship inside the Rust
    # crate's package in Debian 12).
    libwayland-dev wayland-protocols libegl-dev librust-wayland-protocols-dev
    # Its tests: headless sway with screenshots, typed keys and the idle
    # daemon; Mutter headless in a D-Bus session for the xdg-shell smoke run.
    sway swayidle grim wtype mutter dbus
    # The idle watcher (flowball --idle-after): KDE's idle protocol's
    # description, and sd-bus for GNOME's idle monitor on the session bus.
    plasma-wayland-protocols libsystemd-dev
    # The settings window (flowball-settings): GTK 4 and libadwaita; its
    # test drives it through the accessibility bus in a session bus, and its
    # AppStream file is checked by appstreamcli.
    libgtk-4-dev libadwaita-1-dev python3-pyatspi at-spi2-core dbus appstream
    # The Debian package's checks (lintian, desktop-file-validate for its
    # desktop entries, systemd-analyze for its user service), and the X11
    # saver daemon its tests run.
    lintian desktop-file-utils systemd xscreensaver xscreensaver-gl
    xvfb xdotool x11-utils imagemagick
    # Two monitors for the end-to-end tests: Xorg with the dummy driver (Wine
    # sees monitors only as XRandR outputs), and xrandr to change them.
    xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
    # The fuzz targets (make fuzz): clang with its libFuzzer runtime.
    clang libclang-rt-14-dev
    # Wine runs the 64-bit Windows build everywhere.
    wine wine64
    # The Windows installer.
    nsis
)

# The 32-bit half of Wine is installed only where this machine can run 32-bit
# programs at all (many kernels refuse them): it runs the 32-bit build's
# tests. Without the i386 GL libraries its OpenGL finds no pixel format.
if "$(dirname "${BASH_SOURCE[0]}")/can-run-32bit.sh"; then
    packages+=(wine32:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386)
fi

# Installed without their recommendations, which would bring a whole desktop:
# KWin for the idle watcher's test of ext-idle-notify-v1; MATE's screen saver
# and the GSettings back-end that keeps its settings, for the test that runs
# Flowball from its list.
lean_packages=(kwin-wayland mate-screensaver dconf-gsettings-backend)

if ! command -v dpkg-query >/dev/null; then
    echo "setup-debian: not a Debian system; install these yourself: ${packages[*]} ${lean_packages[*]}" >&2
    exit 1
fi

native_arch=$(dpkg --print-architecture)
declare -A installed=()
while read -r name status; do
    [[ $status == installed ]] && installed[$name]=1
done < <(dpkg-query -W -f='${binary:Package} ${db:Status-Status}\n')

# A name without an architecture is met by the native package; dpkg lists
# multi-arch packages with their architecture, the others without.
is_missing() {
    local package=$1
    if [[ -n ${installed[$package]:-} ]]; then
        return 1
    fi
    if [[ $package != *:* && -n ${installed[$package:$native_arch]:-} ]]; then
        return 1
    fi
    return 0
}
missing=()
for package in "${packages[@]}"; do
    if is_missing "$package"; then
        missing+=("$package")
    fi
done
lean_missing=()
for package in "${lean_packages[@]}"; do
    if is_missing "$package"; then
        lean_missing+=("$package")
    fi
done

need_i386=0
if [[ " ${packages[*]} " == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    need_i386=1
fi

if [[ ${#missing[@]} -eq 0 && ${#lean_missing[@]} -eq 0 && $need_i386 -eq 0 ]]; then
    echo "setup-debian: all $((${#packages[@]} + ${#lean_packages[@]})) packages present"
    exit 0
fi

as_root=(env DEBIAN_FRONTEND=noninteractive)
if [[ $(id -u) -ne 0 ]]; then
    if ! command -v sudo >/dev/null; then
        echo "setup-debian: missing ${missing[*]} ${lean_missing[*]}; run as root to install them" >&2
        exit 1
    fi
    as_root=(sudo -n "${as_root[@]}")
fi

if [[ $need_i386 -eq 1 ]]; then
    echo "setup-debian: adding the i386 architecture"
    "${as_root[@]}" dpkg --add-architecture i386
fi
echo "setup-debian: installing ${missing[*]} ${lean_missing[*]}"
"${as_root[@]}" apt-get update -q </dev/null
apt_install=("${as_root[@]}" apt-get install -y -q
    -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold)
if [[ ${#missing[@]} -gt 0 ]]; then
    "${apt_install[@]}" "${missing[@]}" </dev/null
fi
if [[ ${#lean_missing[@]} -gt 0 ]]; then
    "${apt_install[@]}" --no-install-recommends "${lean_missing[@]}" </dev/null
fi
