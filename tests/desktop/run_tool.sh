#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a validator and fails on any message it prints; skips when the tool is not installed.
tool=$1
command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
out=$("$@" 2>&1)
rc=$?
printf '%s\n' "$out"
[ $rc -eq 0 ] || exit 1
# desktop-file-validate reports hints and warnings with a zero exit code.
if printf '%s\n' "$out" | grep -Eq '(error|warning|hint):'; then
    exit 1
fi
exit 0
