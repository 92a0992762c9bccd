#!/usr/bin/env bash
# Runs the Windows build of the saver under Wine, for people.
#
#   run-saver.sh BUILD_DIR [SWITCHES...]    flowball.scr with SWITCHES (default /s)
#   run-saver.sh BUILD_DIR --preview        the preview host: the saver drawn
#                                           in a small window as the settings
#                                           dialog's preview does
#
# With a display ($DISPLAY), the program runs there until you end it: any key,
# click or mouse movement ends the full-screen saver. Without one it runs on a
# virtual display for a few seconds, a screenshot is saved to
# BUILD_DIR/../flowball-screenshot.png (build/flowball-screenshot.png for
# make run), the full-screen saver is ended with a key press, and the script
# says where the picture is.
#
# Wine uses the build folder's prefix (BUILD_DIR/wineprefix, 32- or 64-bit as
# the build is), made on first use.
set -euo pipefail

if [[ $# -lt 1 ]]; then
    echo "usage: $0 BUILD_DIR [SWITCHES... | --preview]" >&2
    exit 2
fi
build_dir=$(cd "$1" && pwd)
shift
if [[ $# -eq 0 ]]; then
    set -- /s
fi

export WINEPREFIX=${WINEPREFIX:-$build_dir/wineprefix}
# A 64-bit build runs in a 64-bit prefix, the 32-bit one in a 32-bit prefix.
WINEARCH=$("$(dirname "${BASH_SOURCE[0]}")/wine-arch.sh" "$build_dir")
export WINEARCH
if [[ $WINEARCH == win32 ]] && ! "$(dirname "${BASH_SOURCE[0]}")/can-run-32bit.sh"; then
    echo "run-saver: this machine cannot run 32-bit programs; run the 64-bit build (make run)" >&2
    exit 1
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

screenshot=$(cd "$build_dir/.." && pwd)/flowball-screenshot.png
seconds_shown=${FLOWBALL_RUN_SECONDS:-4}

# The window to wait for, by title, and whether it is the full-screen saver.
full_screen=0
case $1 in
    --preview)
        program=("$build_dir/preview-host.exe")
        title="Flowball preview host" ;;
    /s | /S | -s | -S | s | S)
        program=("$build_dir/flowball.scr" "$@")
        title="Screen Saver"
        full_screen=1 ;;
    /c* | /C* | -c* | -C* | "")
        program=("$build_dir/flowball.scr" "$@")
        title="Flowball Setup" ;;
    *)
        echo "run-saver: use /s, /c or --preview (the preview needs a parent window)" >&2
        exit 2 ;;
esac
if [[ ! -f ${program[0]} ]]; then
    echo "run-saver: ${program[0]} is missing; build first" >&2
    exit 1
fi

described="${program[0]##*/}${program[1]:+ ${program[*]:1}}"

# shellcheck source=scripts/virtual-display.sh
source "$(dirname "${BASH_SOURCE[0]}")/virtual-display.sh"

if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
    echo "run-saver: $described on display $DISPLAY"
    if ((full_screen)); then
        echo "run-saver: a key press, a click or a mouse movement ends it"
    fi
    status=0
    wine "${program[@]}" || status=$?
    echo "run-saver: exit code $status"
    exit 0
fi

# No display: a virtual one for a few seconds.
xvfb_pid=
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

start_virtual_display run-saver
echo "run-saver: no display; running $described on the virtual display $DISPLAY"

if [[ ! -f $WINEPREFIX/system.reg ]]; then
    echo "run-saver: preparing the wine prefix $WINEPREFIX (once)"
    wine wineboot --init >/dev/null 2>&1
fi

wine "${program[@]}" >/dev/null 2>&1 &
wine_pid=$!
if ! wait_until "xdotool search --name '^$title\$' >/dev/null 2>&1" 600; then
    echo "run-saver: no window titled '$title' appeared" >&2
    exit 1
fi
sleep "$seconds_shown"
import -display "$DISPLAY" -window root "$screenshot"
echo "run-saver: screenshot saved to $screenshot"

if ((full_screen)); then
    xdotool key space
    if wait_until "! kill -0 $wine_pid 2>/dev/null" 200; then
        status=0
        wait "$wine_pid" || status=$?
        echo "run-saver: ended with a key press, exit code $status"
    else
        echo "run-saver: the saver did not end on a key press" >&2
        exit 1
    fi
fi
echo "run-saver: the picture is $screenshot"
