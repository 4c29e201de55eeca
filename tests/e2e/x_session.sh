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

# The server picks a free display itself and writes its number to fd 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
waitfor 30 test -s "$work/display" || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
export DISPLAY=":$(head -n1 "$work/display")"
echo "display $DISPLAY"

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
