#!/usr/bin/env bash
# Sets up, builds in Release into build-bench/ and prints the performance tables as markdown: every
# operation paced at every rate against olkdesk, the turnaround unpaced, the window's longest stall
# and the firmware upload at 9600 baud. The whole run takes about 12 minutes; --quick keeps to
# 115200 baud and faster and checks the firmware pieces without the whole image (about a minute).
# Arguments go to olkbench: --quick, and --only paced, unpaced, window or firmware. This is
# not a test and CI does not run it: the figures depend on the machine.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${OLK_BENCH_DIR:-$root/build-bench}"
source "$root/scripts/packages.sh"
ensure_packages "${base_packages[@]}"

cmake -S "$root" -B "$build" -G Ninja -DOLK_WERROR=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target olkbench olkdesk >/dev/null
exec "$build/bench/olkbench" "$@"
