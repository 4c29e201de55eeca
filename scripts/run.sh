#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Крамбол (installing what is missing) and starts it on the current display.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

"$here/scripts/setup.sh" "$here/build"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "There is no display to show the window on (DISPLAY is not set)." >&2
    echo "Start it in a virtual X server instead:  xvfb-run -a bash scripts/run.sh" >&2
    exit 1
fi
exec "$here/build/src/krambol"
