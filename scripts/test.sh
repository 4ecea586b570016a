#!/usr/bin/env bash
# Sets up, builds and runs every test.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
