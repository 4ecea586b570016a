#!/usr/bin/env bash
# The Debian packages the build needs, and a function that installs those that are missing.
# Sourced by the other scripts.

base_packages=(cmake ninja-build g++ binutils libgtest-dev libgmock-dev qt6-base-dev libx11-dev fonts-liberation
               shared-mime-info desktop-file-utils)
# The Windows command-line program's cross-build, and Wine to run its tests.
windows_packages=(g++-mingw-w64-x86-64 mingw-w64-x86-64-dev wine wine64)

ensure_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    ((${#missing[@]})) || return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing ${missing[*]}" >&2
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}"
}
