#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package into a scratch folder and checks it the way Debian does: lintian
# (pedantic, with its informational tags) reports nothing that the package does not override,
# and every file in it that names the version names the same one.
#   check_package.sh BUILD_DIR RELEASE_VERSION PACKAGE_VERSION
set -u
build=$1
release=$2
package_version=$3
for tool in cpack dpkg-deb lintian; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; echo "cpack failed"; exit 1; }
deb="$work/krambol_${package_version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { ls "$work"; echo "no package named $(basename "$deb")"; exit 1; }

fail=0
# lintian warns on stderr when run as root; the tags go to stdout.
tags=$(lintian --pedantic --display-info "$deb" 2>/dev/null)
rc=$?
[ -n "$tags" ] && { printf 'lintian:\n%s\n' "$tags"; fail=1; }
[ $rc -eq 0 ] || { echo "lintian exited with $rc"; fail=1; }

same() { [ "$2" = "$3" ] || { echo "$1: '$2', expected '$3'"; fail=1; }; }
same "package version" "$(dpkg-deb -f "$deb" Version)" "$package_version"
dpkg-deb -x "$deb" "$work/root"
root="$work/root/usr/share"
same "metainfo release" \
    "$(grep -o '<release version="[^"]*"' "$root/metainfo/"*.metainfo.xml | head -n1)" "<release version=\"$release\""
same "changelog.Debian" "$(zcat "$root/doc/krambol/changelog.Debian.gz" | head -n1 | cut -d';' -f1)" \
    "krambol ($package_version) unstable"
same "changelog" "$(zcat "$root/doc/krambol/changelog.gz" | head -n1 | cut -d' ' -f1-2)" "Krambol $release"
for page in man/man1/krambol.1.gz man/ru/man1/krambol.1.gz; do
    same "$page" "$(zcat "$root/$page" | grep '^\.TH ' | grep -o '"Krambol [^"]*"')" "\"Krambol $release\""
done
exit $fail
