#!/usr/bin/env bash
# The Wine session of one Windows build folder: its prefix and its display.
#
#   wine-session.sh start BUILD_DIR   prints the X display for Wine programs;
#                                      starts an Xvfb and boots the prefix
#                                      (BUILD_DIR/wineprefix, 32- or 64-bit
#                                      as the build's cache says) when needed
#   wine-session.sh stop BUILD_DIR    ends the prefix's wineserver and the Xvfb
#
# start is safe to call from several test processes at once: a lock serialises
# it, and a running Xvfb is reused. Everything the session keeps lives in
# BUILD_DIR/wine-session (display number, Xvfb pid and log).
set -euo pipefail

usage() {
    echo "usage: $0 start|stop BUILD_DIR" >&2
    exit 2
}

[[ $# -eq 2 ]] || usage
action=$1
build_dir=$(cd "$2" && pwd)
session_dir=$build_dir/wine-session
export WINEPREFIX=${WINEPREFIX:-$build_dir/wineprefix}
# Stopping needs no architecture; a build folder whose configuration failed
# still has its session stopped.
if arch=$("$(dirname "${BASH_SOURCE[0]}")/wine-arch.sh" "$build_dir" 2>/dev/null); then
    export WINEARCH=$arch
elif [[ $action == start ]]; then
    "$(dirname "${BASH_SOURCE[0]}")/wine-arch.sh" "$build_dir"
    exit 2
fi
export WINEDEBUG=-all
# No Mono or Gecko: skips the download prompts when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="

# The pid of our Xvfb when it is still running, else nothing.
running_xvfb_pid() {
    local pid
    pid=$(cat "$session_dir/xvfb.pid" 2>/dev/null) || return 0
    # A pid file can outlive its server and the pid be reused: check the name.
    if [[ -n $pid && $(cat "/proc/$pid/comm" 2>/dev/null) == Xvfb ]]; then
        echo "$pid"
    fi
}

start_xvfb() {
    rm -f "$session_dir/display" "$session_dir/xvfb.pid"
    # -displayfd picks a free display number and writes it once the server
    # accepts connections. Xvfb gets no descriptor of ours: a test runner
    # waits for its output pipes to close, and a lingering server would hold
    # them open.
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
        3>"$session_dir/display" >"$session_dir/xvfb.log" 2>&1 </dev/null 9>&- &
    local pid=$!
    local waited=0
    until grep -q '^[0-9][0-9]*$' "$session_dir/display" 2>/dev/null; do
        if ! kill -0 "$pid" 2>/dev/null || ((waited >= 200)); then
            echo "wine-session: Xvfb did not start; its log:" >&2
            cat "$session_dir/xvfb.log" >&2
            kill "$pid" 2>/dev/null || true
            exit 1
        fi
        sleep 0.05
        waited=$((waited + 1))
    done
    echo "$pid" >"$session_dir/xvfb.pid"
}

start() {
    mkdir -p "$session_dir"
    exec 9>"$session_dir/lock"
    flock -w 300 9 || { echo "wine-session: lock timed out" >&2; exit 1; }
    if [[ -z $(running_xvfb_pid) ]]; then
        start_xvfb
    fi
    export DISPLAY=:$(cat "$session_dir/display")
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
        # A fresh prefix takes some seconds to boot; doing it here, under the
        # lock, keeps parallel tests from racing to create it.
        wine wineboot --init >"$session_dir/wineboot.log" 2>&1 </dev/null 9>&- || {
            echo "wine-session: wineboot failed; its log:" >&2
            cat "$session_dir/wineboot.log" >&2
            exit 1
        }
        wineserver -w 9>&-
    fi
    # One wineserver for the whole session, started here with our log as its
    # output. A server that a test started would keep the test's output pipe
    # open after the test ends, and the test runner would wait for it; and a
    # server that exits between tests makes each test pay Wine's start-up.
    if wineserver -p >>"$session_dir/wineserver.log" 2>&1 </dev/null 9>&-; then
        # A new server: start Wine's own services now, under our log too.
        wine wineboot >>"$session_dir/wineserver.log" 2>&1 </dev/null 9>&-
    fi
    echo "$DISPLAY"
}

stop() {
    if [[ -d $WINEPREFIX ]]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
    fi
    local pid
    pid=$(running_xvfb_pid)
    if [[ -n $pid ]]; then
        kill "$pid"
        local waited=0
        while kill -0 "$pid" 2>/dev/null && ((waited < 100)); do
            sleep 0.05
            waited=$((waited + 1))
        done
        kill -9 "$pid" 2>/dev/null || true
    fi
    rm -f "$session_dir/xvfb.pid" "$session_dir/display"
}

case $action in
    start) start ;;
    stop) stop ;;
    *) usage ;;
esac
