#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the built executable twice in its own Xvfb server with a home of its own; each run opens the
# "Открыть" file dialog with Ctrl+L, cancels it and ends with Ctrl+F4. The toolkit's dialogs would
# keep their history and folder in a settings file there; the program keeps none, so afterwards the
# home holds no file at all (caches apart).
set -u
app=$1

source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"

export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config
mkdir -p "$HOME"

for run in 1 2; do
    start_app
    wait_main_window || fail "run $run: no window named Крамбол"
    main=$(window_named "Крамбол")
    waitfor 30 lacks_window "Form3" || fail "run $run: the splash window is still there"

    keys_to "$main" ctrl+l
    waitfor 30 has_window "Открыть" || { cat "$work/app.log"; fail "run $run: Ctrl+L showed no file dialog"; }
    keys_to "$(window_named "Открыть")" Escape
    waitfor 20 lacks_window "Открыть" || fail "run $run: Escape did not close the file dialog"

    quit_app "$main"
    echo "run $run: dialog shown and cancelled, ended with code 0"
done

written=$(find "$HOME" -path "$HOME/.cache" -prune -o -type f -print)
[ -z "$written" ] || fail "files written in the home: $written"
echo "nothing written in the home"
exit 0
