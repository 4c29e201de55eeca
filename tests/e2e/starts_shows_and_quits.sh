#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the built executable in its own Xvfb server, waits for the "Крамбол" window, checks its
# client size, sees the splash window come and go, and ends the program with Ctrl+F4 on an empty
# register. Every wait has a limit; whatever was started is killed on the way out.
set -u
app=$1

source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"

started=$SECONDS
start_app

wait_main_window || { xwininfo -root -tree; fail "no window named Крамбол"; }
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

quit_app "$main"
echo "ended with code 0"
exit 0
