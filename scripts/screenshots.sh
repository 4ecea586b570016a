#!/usr/bin/env bash
# Takes the user guide's pictures from the real windows under Xvfb into docs/images/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
ensure_packages xvfb xauth
rm -rf "$root/docs/images"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tests/guide/olkmixer-guidetour" "$root/docs/images"
ls "$root/docs/images"
