#!/usr/bin/env bash
# Sets up, builds and runs the program against the built-in desk simulator on COM1, so it works
# with no desk attached. The simulator stops when the program ends.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

coproc DESK { exec "$build/desk/olkdesk" --publish COM1; }
trap 'kill "$DESK_PID" 2>/dev/null || true' EXIT
read -r device <&"${DESK[0]}"
read -r entry <&"${DESK[0]}"
echo "Desk simulator on $device" >&2

# Only the simulator is reachable: no other COM name opens a device of this machine.
export OLKMIXER_PORTS="$entry;COM2=;COM3=;COM4=;COM5=;COM6=;COM7=;COM8="
"$build/cli/olkmixer-cli" --port COM1 info
