# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the end-to-end scripts: sourced, with the program's path as $app. Starts an Xvfb server
# of its own, gives the wait and window helpers, and kills whatever was started on the way out.

for tool in Xvfb xdotool xwininfo xprop; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
done

# The X tools compare window names as UTF-8 text, whatever locale the test runs the program in.
app_locale=${LC_ALL:-}
export LC_ALL=C.UTF-8

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill -9 "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 2' INT TERM HUP
fail() { echo "FAIL: $*"; exit 1; }

# waitfor SECONDS COMMAND...: retries the command every 0.1 s until it succeeds or time runs out.
waitfor() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# What a failed start leaves to read: the server's log, the servers running, the sockets.
server_report() {
    echo "-- Xvfb log"; cat "$work/xvfb.log" 2>/dev/null
    echo "-- X servers running"; pgrep -a Xvfb || true; pgrep -a Xorg || true
    echo "-- sockets"; ls -la /tmp/.X11-unix 2>&1 || true
}

# The server answers on $DISPLAY, and it is ours: its root window has the size we gave it. A
# display number can look free here (no lock file) and still be held elsewhere (an abstract
# socket of a server in another container sharing the network), or a server can end right after
# it started; the clients would then find nothing or a stranger there.
server_is_ours() {
    kill -0 "$xvfb_pid" 2>/dev/null || return 1
    local root
    root=$(xwininfo -root 2>/dev/null) || return 1
    [[ $root == *"Width: 1280"* && $root == *"Height: 1024"* ]]
}

# Starts the server: first on a display it picks itself (it writes the number to fd 3), then, if
# that server is not reachable as ours, on display numbers drawn at random from a high range.
start_server() {
    local attempt number
    for attempt in 1 2 3 4 5; do
        rm -f "$work/display"
        if ((attempt == 1)); then
            Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
        else
            number=$((200 + RANDOM % 700))
            echo "$number" >"$work/display"
            Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp 2>"$work/xvfb.log" &
        fi
        xvfb_pid=$!
        if waitfor 30 test -s "$work/display"; then
            export DISPLAY=":$(head -n1 "$work/display")"
            if waitfor 10 server_is_ours; then
                echo "display $DISPLAY"
                return 0
            fi
        fi
        echo "attempt $attempt: no X server of our own at ${DISPLAY:-(none)}"
        server_report
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=
    done
    return 1
}
start_server || fail "Xvfb did not start"

unset QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb
# Under the sanitizer build, the X libraries trip two checks that are not about our code: they
# keep allocations to the end (leaks are the unit tests' business), and libxkbcommon-x11 copies
# key names with strndup from buffers that are not NUL-terminated (flagged by strict string checks).
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0:strict_string_checks=0"

# Starts the program in the test's locale; its output goes to $work/app.log.
start_app() {
    LC_ALL=$app_locale "$app" >"$work/app.log" 2>&1 &
    app_pid=$!
}

# The first viewable top-level window of the program with this name. The tree lists the names as
# the desktop reads them (_NET_WM_NAME); only the program's own windows carry its class.
window_named() {
    local id
    for id in $(xwininfo -root -tree 2>/dev/null | awk -v n="\"$1\": (\"krambol\"" 'index($0, n) {print $1}'); do
        if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
            echo "$id"
            return
        fi
    done
}
has_window() { [ -n "$(window_named "$1")" ]; }

# Waits for the program's main window; stops early, with what there is to read, if the program
# ended before showing it.
app_running() { kill -0 "$app_pid" 2>/dev/null; }
main_window_or_exit() { has_window "Крамбол" || ! app_running; }
wait_main_window() {
    waitfor 60 main_window_or_exit && has_window "Крамбол" && return 0
    echo "-- program log"; cat "$work/app.log"
    app_running || echo "the program ended before it showed its window"
    server_report
    return 1
}
lacks_window() { [ -z "$(window_named "$1")" ]; }

# Gives a window the keyboard and presses keys there.
keys_to() {
    local window=$1
    shift
    xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
    sleep 0.5
    xdotool key --clearmodifiers "$@"
}

# Ends the program with Ctrl+F4 ("Выход"; with an empty register it ends at once) and checks its code.
quit_app() {
    keys_to "$1" ctrl+F4
    exited() { ! kill -0 "$app_pid" 2>/dev/null; }
    waitfor 20 exited || fail "the program did not end after Ctrl+F4"
    wait "$app_pid"
    local rc=$?
    app_pid=
    [ $rc -eq 0 ] || { cat "$work/app.log"; fail "exit code $rc"; }
}
