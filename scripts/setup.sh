#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and builds
# into build/. Sourced by run.sh and test.sh; also runs on its own.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${OLK_BUILD_DIR:-$root/build}"
source "$root/scripts/packages.sh"
ensure_packages "${base_packages[@]}"

# A caller may add options of its own in setup_options.
cmake -S "$root" -B "$build" -G Ninja -DOLK_WERROR=ON ${setup_options[@]+"${setup_options[@]}"} >/dev/null
cmake --build "$build"
