# Shared by the run scripts, sourced: bounded waits and a virtual X display
# for when there is no display of one's own.

# Waits up to $2 tenths of a second for condition $1 (a command) to succeed.
wait_until() {
    local tries=$2
    until eval "$1"; do
        ((tries-- > 0)) || return 1
        sleep 0.1
    done
}

# Starts an Xvfb of 1024x768 with any further Xvfb arguments, sets
# xvfb_pid and exports DISPLAY; $1 names the caller in messages. Ending the
# server is the caller's (kill "$xvfb_pid").
start_virtual_display() {
    local caller=$1
    shift
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 "$@" -nolisten tcp 3>"$display_file" >/dev/null 2>&1 </dev/null &
    xvfb_pid=$!
    wait_until "grep -q '^[0-9]' '$display_file'" 100 || { echo "$caller: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=:$(cat "$display_file")
    rm -f "$display_file"
}
