# Sourced by the scripts that run Windows builds under Wine: a private prefix and a private
# X server.

export WINEDEBUG=-all
# Without this a fresh prefix offers to download .NET and a browser engine.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Wine refuses a prefix that is not owned by the user running it, and a checkout may sit on a
# share that shows root's files under another owner or lacks what Wine needs of a file system.
# A prefix that cannot be used under build/ is therefore made again in a private folder under
# the temporary directory.
prepare_prefix() {
    local prefix=$1
    mkdir -p -m 700 "$prefix" || return 1
    if [[ "$(stat -c %u "$prefix")" != "$(id -u)" ]]; then
        echo "wine: $prefix is not owned by $(id -un), so Wine would refuse it" >&2
        return 1
    fi
    [[ -e "$prefix/.gantrylux-ready" ]] && return 0
    echo "wine: preparing the Wine prefix $prefix"
    local log
    log=$(mktemp)
    # -w: until the prefix is written out in full
    if ! { WINEPREFIX=$prefix wineboot -i && WINEPREFIX=$prefix wineserver -w; } >"$log" 2>&1; then
        echo "wine: Wine could not prepare $prefix:" >&2
        tail -n 20 "$log" >&2
        rm -f "$log"
        return 1
    fi
    rm -f "$log"
    touch "$prefix/.gantrylux-ready"
}

# use_prefix NAME: the prefix build/NAME/wine-prefix, or one under the temporary directory.
use_prefix() {
    WINEPREFIX=
    local candidate
    for candidate in "$PWD/build/$1/wine-prefix" "${TMPDIR:-/tmp}/gantrylux-wine-$1-$(id -u)"; do
        if prepare_prefix "$candidate"; then
            WINEPREFIX=$candidate
            break
        fi
    done
    [[ -n "$WINEPREFIX" ]] || { echo "wine: no usable Wine prefix" >&2; return 1; }
    export WINEPREFIX
}

# A private X server on a free display (Xvfb picks the number), stopped on exit. Wine draws
# windows only with a display; without one, creating a window fails.
start_xvfb() {
    local size=${1:-1024x768x24} fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    local number
    read -r number <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$number"
    unset WAYLAND_DISPLAY
}

# One server for every Wine process of the run, and Wine's background services started with
# the display set: started by a test instead, they would hold the pipe that ctest reads.
start_wine() {
    wineserver -p || [[ $? == 2 ]]  # 2: one is already running for this prefix
    if ! wineboot >/dev/null 2>&1 </dev/null; then
        echo "wine: Wine could not start its services in $WINEPREFIX" >&2
        return 1
    fi
}

stop_wine() {
    wineserver -k 2>/dev/null || true
    if [[ -n "${XVFB_PID:-}" ]]; then
        kill "$XVFB_PID" 2>/dev/null || true
    fi
}
