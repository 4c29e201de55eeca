#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that every folder of src/ includes only headers of the folders below it (CONTRIBUTING.md,
# "Layering"). Prints each include that breaks the rule and fails if there is one.
set -euo pipefail
src="$(cd "$(dirname "$0")/../src" && pwd)"

declare -A allowed=(
    [rtf]=""
    [design]=""
    [widgets]="design"
    [platform]="design"
    [textpane]="design platform"
    [register]="rtf design widgets platform textpane"
    [cursors]="design widgets platform"
    [windows]="rtf design widgets platform textpane register cursors"
    [shell]="rtf design widgets platform textpane register cursors windows"
)

broken=0
for folder in "${!allowed[@]}"; do
    [ -d "$src/$folder" ] || continue
    while IFS= read -r line; do
        file=${line%%:*}
        target=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"$line")
        [ "$target" = "$folder" ] && continue
        [ -d "$src/$target" ] || continue
        if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
            echo "${file#"$src"/} includes $target/, which lies above or beside $folder/" >&2
            broken=1
        fi
    done < <(grep -rHE '^#include "[a-z]+/' "$src/$folder" || true)
done
for folder in "$src"/*/; do
    name=$(basename "$folder")
    if [ -z "${allowed[$name]+set}" ] && [ "$name" != win ]; then
        echo "src/$name/ has no place in the layering (scripts/layers.sh)" >&2
        broken=1
    fi
done
exit $broken
