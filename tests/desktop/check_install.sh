#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch prefix and checks that every file the desktop needs is there.
set -u
build=$1
app_id=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null || exit 1
fail=0
for f in bin/krambol share/applications/krambol.desktop share/metainfo/$app_id.metainfo.xml \
         share/mime/packages/krambol.xml share/doc/krambol/copyright share/doc/krambol/changelog.gz \
         share/doc/krambol/changelog.Debian.gz share/man/man1/krambol.1.gz share/man/ru/man1/krambol.1.gz; do
    [ -f "$prefix/$f" ] || { echo "missing: $f"; fail=1; }
done
[ -x "$prefix/bin/krambol" ] || { echo "bin/krambol is not executable"; fail=1; }
for size in 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/krambol.png"
    [ -f "$png" ] || { echo "missing icon: $size"; fail=1; continue; }
    # The PNG header carries the width and height as big-endian words at bytes 16 and 20.
    dims=$(od -An -tu1 -j16 -N8 "$png" | tr -s ' ' | sed 's/^ //')
    expected="0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))"
    [ "$dims" = "$expected" ] || { echo "icon $size is $dims"; fail=1; }
done
# Nothing but the application itself goes into bin/.
extra=$(ls "$prefix/bin" | grep -vx krambol)
[ -z "$extra" ] || { echo "unexpected in bin/: $extra"; fail=1; }
exit $fail
