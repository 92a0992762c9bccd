#!/usr/bin/env bash
# Runs the native program, for people: on your Wayland desktop, on your X
# display, or on a virtual X display.
#
#   run-linux.sh BUILD_DIR [OPTIONS...]    BUILD_DIR/flowball with OPTIONS
#
# On a Wayland desktop ($WAYLAND_DISPLAY) the program covers every output
# until any input. With an X display ($DISPLAY), the program opens its window
# there and runs until you close it (Escape, q or the close button). Without one it runs on
# a virtual display for a few seconds, a screenshot is saved to
# BUILD_DIR/../flowball-linux-screenshot.png (build/flowball-linux-screenshot.png
# for make run-linux), the program is ended with SIGTERM, and the script says
# where the picture is.
set -euo pipefail

if [[ $# -lt 1 ]]; then
    echo "usage: $0 BUILD_DIR [OPTIONS...]" >&2
    exit 2
fi
build_dir=$(cd "$1" && pwd)
shift
program=$build_dir/flowball
if [[ ! -x $program ]]; then
    echo "run-linux: $program is missing; build first" >&2
    exit 1
fi

screenshot=$(cd "$build_dir/.." && pwd)/flowball-linux-screenshot.png
seconds_shown=${FLOWBALL_RUN_SECONDS:-4}

# shellcheck source=scripts/virtual-display.sh
source "$(dirname "${BASH_SOURCE[0]}")/virtual-display.sh"

if [[ -n ${WAYLAND_DISPLAY:-} ]]; then
    echo "run-linux: flowball $* on the Wayland display $WAYLAND_DISPLAY, full screen on every output;" \
         "any key, click or movement ends it (--x11 for a window on X11)"
    status=0
    "$program" "$@" || status=$?
    echo "run-linux: exit code $status"
    exit "$status"
fi
if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
    echo "run-linux: flowball $* on display $DISPLAY; Escape, q or the close button ends it"
    status=0
    "$program" "$@" || status=$?
    echo "run-linux: exit code $status"
    exit "$status"
fi

# No display: a virtual one for a few seconds.
xvfb_pid=
flowball_pid=
cleanup() {
    [[ -n $flowball_pid ]] && kill "$flowball_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

start_virtual_display run-linux +extension GLX
echo "run-linux: no display; running flowball $* on the virtual display $DISPLAY"

"$program" --x11 "$@" &
flowball_pid=$!
if ! wait_until "xdotool search --name '^Flowball\$' >/dev/null 2>&1 || ! kill -0 $flowball_pid 2>/dev/null" 600 ||
    ! kill -0 "$flowball_pid" 2>/dev/null; then
    echo "run-linux: flowball did not open its window" >&2
    exit 1
fi
sleep "$seconds_shown"
import -display "$DISPLAY" -window root "$screenshot"
echo "run-linux: screenshot saved to $screenshot"

kill -TERM "$flowball_pid"
status=0
wait "$flowball_pid" || status=$?
flowball_pid=
echo "run-linux: ended with SIGTERM, exit code $status"
echo "run-linux: the picture is $screenshot"
