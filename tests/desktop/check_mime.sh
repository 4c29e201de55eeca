#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds a private shared-mime-info database from our type and checks that it knows *.krm as a
# register file, a kind of RTF, shown with the application's icon.
set -u
command -v update-mime-database >/dev/null 2>&1 || { echo "SKIP: update-mime-database is not installed"; exit 77; }
db=$(mktemp -d)
trap 'rm -rf "$db"' EXIT
mkdir -p "$db/packages"
cp "$1" "$db/packages/krambol.xml"
update-mime-database "$db" >/dev/null 2>&1 || { echo "update-mime-database refused the type"; exit 1; }
fail=0
grep -q ':application/x-krambol:\*\.krm' "$db/globs2" || { echo "no *.krm glob"; fail=1; }
grep -q '^application/x-krambol application/rtf$' "$db/subclasses" || { echo "not a sub-class of application/rtf"; fail=1; }
grep -q '^application/x-krambol:krambol$' "$db/icons" || { echo "no icon krambol"; fail=1; }
grep -q 'Список должников' "$db/application/x-krambol.xml" || { echo "no Russian comment"; fail=1; }
exit $fail
