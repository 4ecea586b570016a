#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and builds
# into build/. Sourced by run.sh and test.sh; also runs on its own.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${OLK_BUILD_DIR:-$root/build}"
packages=(cmake ninja-build g++ binutils libgtest-dev libgmock-dev qt6-base-dev libx11-dev fonts-liberation
          shared-mime-info desktop-file-utils)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if ((${#missing[@]})); then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing ${missing[*]}" >&2
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}"
fi

cmake -S "$root" -B "$build" -G Ninja -DOLK_WERROR=ON >/dev/null
cmake --build "$build"
