#!/usr/bin/env bash
# Sets up, builds and runs every test: the Linux programs', and the command line's again with the
# Windows program, cross-built into build-win/, under Wine.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/windows.sh"
setup_options=(-DOLK_WINE_CLI="$windows_cli")
source "$root/scripts/setup.sh"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
