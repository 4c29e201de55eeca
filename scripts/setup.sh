#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared set-up of the run and test commands: installs what is missing (Debian 12, as root),
# then configures and builds one build folder.
#   scripts/setup.sh BUILD_DIR [extra cmake arguments...] [--target TARGET...]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Everything the project needs to build, run and test on a fresh Debian 12.
packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
    fonts-dejavu-core fonts-liberation2
    xvfb xauth
    libx11-dev
    clang libclang-rt-14-dev
    poppler-utils
    pandoc libreoffice-writer-nogui
    desktop-file-utils appstream shared-mime-info dpkg-dev lintian xdotool x11-utils
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    if [[ $(id -u) -ne 0 ]]; then
        echo "These Debian packages are missing and installing them needs root: ${missing[*]}" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_dir=$1
shift
configure=()
build=()
while (($#)); do
    if [[ $1 == --target ]]; then
        build=("$@")
        break
    fi
    configure+=("$1")
    shift
done
cmake -S "$here" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${configure[@]}" >/dev/null
cmake --build "$build_dir" -j"$(nproc)" "${build[@]}"
