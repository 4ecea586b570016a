#!/usr/bin/env bash
# Builds the whole tree with sanitizers and runs every test under them:
#   scripts/sanitize.sh address,undefined    into build-asan/
#   scripts/sanitize.sh thread               into build-tsan/
# Any report fails the run.
set -euo pipefail

sanitizers=${1:?usage: scripts/sanitize.sh address,undefined|thread}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
case "$sanitizers" in
    thread) build="$root/build-tsan" ;;
    *) build="$root/build-asan" ;;
esac
source "$root/scripts/packages.sh"
ensure_packages "${base_packages[@]}"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/scripts/tsan.supp"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOLK_SANITIZE="$sanitizers" >/dev/null
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 900
