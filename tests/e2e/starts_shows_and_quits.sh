#!/usr/bin/env bash
# Starts the built executable in its own Xvfb server, waits for the "Крамбол" window, checks its
# client size, sees the splash window come and go, and ends the program with Ctrl+F4 on an empty
# register. Every wait has a limit; whatever was started is killed on the way out.
set -u
app=$1

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
started=$SECONDS
LC_ALL=$app_locale "$app" >"$work/app.log" 2>&1 &
app_pid=$!

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

waitfor 60 has_window "Крамбол" || { cat "$work/app.log"; xwininfo -root -tree; fail "no window named Крамбол"; }
main=$(window_named "Крамбол")
echo "main window $main after $((SECONDS - started)) s"

# The splash shows with the main window and closes itself after two seconds.
has_window "Form3" || fail "no splash window beside the main window"

# Without a window manager the top-level window is the client area plus the menu bar.
geometry=$(xwininfo -id "$main")
width=$(awk '/Width:/ {print $2}' <<<"$geometry")
height=$(awk '/Height:/ {print $2}' <<<"$geometry")
echo "main window ${width} x ${height}"
[ "$width" = 517 ] || fail "client width $width, expected 517"
((height > 389 && height < 389 + 60)) || fail "window height $height, expected 389 plus a menu bar"

# The window carries the application's icon, the large renderings included.
icons=$(xprop -id "$main" _NET_WM_ICON 2>/dev/null | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
echo "window icons: $icons"
[[ $icons == *"Icon (48 x 48)"* && $icons == *"Icon (128 x 128)"* ]] || fail "the window lacks its icon"

waitfor 30 lacks_window "Form3" || fail "the splash window is still there"
echo "splash gone after $((SECONDS - started)) s"

# Ctrl+F4 is "Выход"; with an empty register the program ends at once.
xdotool windowfocus --sync "$main" 2>/dev/null || xdotool windowfocus "$main"
sleep 0.5
xdotool key --clearmodifiers ctrl+F4
exited() { ! kill -0 "$app_pid" 2>/dev/null; }
waitfor 20 exited || fail "the program did not end after Ctrl+F4"
wait "$app_pid"
rc=$?
app_pid=
[ $rc -eq 0 ] || { cat "$work/app.log"; fail "exit code $rc"; }
echo "ended with code 0"
exit 0
