#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and builds
# into build/. Sourced by run.sh and test.sh; also runs on its own.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${OLK_BUILD_DIR:-$root/build}"
source "$root/scripts/packages.sh"
ensure_packages "${base_packages[@]}"

cmake -S "$root" -B "$build" -G Ninja -DOLK_WERROR=ON >/dev/null
cmake --build "$build"
