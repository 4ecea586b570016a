#!/usr/bin/env bash
# Cross-builds the core and a statically linked olkmixer-cli.exe for 64-bit Windows into
# build-win/ with Debian's mingw-w64, installing it and Wine first where they are missing.
# Sets windows_cli to the program's path when sourced; prints it when run.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
windows_build="${OLK_WINDOWS_BUILD_DIR:-$root/build-win}"
source "$root/scripts/packages.sh"
ensure_packages cmake ninja-build "${windows_packages[@]}"

cmake -S "$root" -B "$windows_build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DOLK_WERROR=ON >/dev/null
cmake --build "$windows_build"
windows_cli="$windows_build/cli/olkmixer-cli.exe"
[[ "${BASH_SOURCE[0]}" != "$0" ]] || echo "$windows_cli"
