#!/usr/bin/env bash
# Fuzzes one reader for a while: scripts/fuzz.sh TARGET [SECONDS]
# TARGET is one of hexreader datafile fixturefile fixturelist descriptionstore desklink. The seeds
# in fuzz/corpus/TARGET are read, never written; what the fuzzer finds new goes to
# build-fuzz/corpus/TARGET, and an input that breaks something to build-fuzz/faults/TARGET. Such
# an input belongs in fuzz/corpus/TARGET, where every test run replays it, before the fix.
set -euo pipefail

target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS]}
seconds=${2:-60}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-fuzz"
source "$root/scripts/packages.sh"
ensure_packages "${base_packages[@]}" clang libclang-rt-14-dev

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DOLK_FUZZ=ON -DOLK_SANITIZE=address,undefined >/dev/null
cmake --build "$build" --target "fuzz_$target"
mkdir -p "$build/corpus/$target" "$build/faults/$target"
"$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=90 -artifact_prefix="$build/faults/$target/" \
    "$build/corpus/$target" "$root/fuzz/corpus/$target"
