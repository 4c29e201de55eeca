#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the pictures of Крамбол shown in the README: builds the program (installing what is
# missing, as root on Debian 12), starts it in its own Xvfb server, types two entries and saves
# PNG screenshots into docs/screenshots/:
#   main.png          the main window with the two entries
#   cursor-panel.png  the same window widened by "Курсор >>", the cursor panel in view
#   tips.png          the tips window ("Подсказки", F1)
#   about.png         the about window ("О проекте")
# Run it again whenever a window changes, and commit the pictures.
#   bash scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$here/build}
out=$here/docs/screenshots

"$here/scripts/setup.sh" "$build" --target krambol
app=$build/src/krambol

# ImageMagick's import saves one X window as PNG; nothing else in the project needs it.
if ! command -v import >/dev/null 2>&1; then
    if [[ $(id -u) -ne 0 ]]; then
        echo "ImageMagick (the Debian package imagemagick) is missing and installing it needs root." >&2
        exit 1
    fi
    echo "Installing: imagemagick"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends imagemagick >/dev/null
fi

# The X session of the end-to-end tests: an Xvfb server of its own, the wait and window helpers,
# and whatever was started killed on the way out. The program runs with the Russian regional
# settings it is made for.
export LC_ALL=ru_RU.UTF-8
source "$here/tests/e2e/x_session.sh"
start_app

width_of() { xwininfo -id "$1" | awk '/Width:/ {print $2}'; }

waitfor 60 has_window "Крамбол" || fail "the main window did not show"
main=$(window_named "Крамбол")
waitfor 30 lacks_window "Form3" || fail "the splash window did not close"

# Without a window manager the top-level window is the menu bar over the client area, which is
# 389 pixels high at start. Controls are placed in twips, 15 to a pixel: click(X, Y) clicks the
# client-area point given in twips.
menu_height=$(($(xwininfo -id "$main" | awk '/Height:/ {print $2}') - 389))
click() {
    xdotool mousemove --window "$main" $(($1 / 15)) $((menu_height + $2 / 15)) click 1
    sleep 0.3
}
# type_into X Y TEXT: replaces the text of the field at that point.
type_into() {
    click "$1" "$2"
    xdotool key --clearmodifiers End shift+Home
    # Letters outside the keyboard map are typed by remapping a spare key each time; slowly, so
    # that none is lost.
    xdotool type --delay 80 "$3"
}
shoot() {
    # The pointer passes over the bare main window, which gives every button back its plain look,
    # and leaves the windows.
    xdotool mousemove --window "$main" 360 $((menu_height + 250))
    sleep 0.2
    xdotool mousemove 1270 1010
    sleep 0.5
    # Without the time stamps ImageMagick would write, an unchanged window gives the same file.
    import -window "$1" -strip "$work/shot.png"
    mv "$work/shot.png" "$out/$2"
    echo "saved docs/screenshots/$2 ($(identify -format '%w x %h' "$out/$2"))"
}
mkdir -p "$out"
xdotool windowfocus --sync "$main" 2>/dev/null || xdotool windowfocus "$main"

# Name (Text1 in Frame1), disc (Text2 in Frame2), "Сегодня" (Check2 in Frame5), "Принять" (Command1).
click 270 1920
type_into 1800 1080 "Иван Петров"
type_into 5640 1080 "Сталкер, 2 DVD"
click 4560 1740
type_into 1800 1080 "Мария Соколова"
type_into 5640 1080 "Чайки, CD"
click 4560 1740
shoot "$main" main.png

# "Курсор >>" (Command10) widens the window to show the cursor panel; "<< Курсор " narrows it.
narrow=$(width_of "$main")
click 7080 3180
waitfor 5 test "$(width_of "$main")" -gt "$narrow" || fail "the cursor panel did not come into view"
shoot "$main" cursor-panel.png
click 7080 3180

# F1 opens the tips; Enter presses its OK.
xdotool key --clearmodifiers F1
waitfor 10 has_window "Подсказки" || fail "the tips window did not open"
tips=$(window_named "Подсказки")
shoot "$tips" tips.png
xdotool windowfocus --sync "$tips" 2>/dev/null || true
xdotool key --clearmodifiers Return
waitfor 10 lacks_window "Подсказки" || fail "the tips window did not close"

# "О проекте" is the last entry of the menu bar and a command of its own, which the keyboard
# cannot choose: click along the bar from its right end until the about window opens. A press on
# the about window closes it.
x=$(($(width_of "$main") - 4))
until has_window "Form2"; do
    ((x > 0)) || fail "the about window did not open"
    xdotool mousemove --window "$main" "$x" $((menu_height / 2)) click 1
    sleep 0.3
    x=$((x - 8))
done
about=$(window_named "Form2")
shoot "$about" about.png
xdotool mousemove --window "$about" 40 40 click 1
waitfor 10 lacks_window "Form2" || fail "the about window did not close"
