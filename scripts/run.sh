#!/usr/bin/env bash
# Sets up, builds and runs the program with the built-in desk simulator as COM1, so it works with
# no desk attached. The simulator stops when the window closes. Arguments go to the program.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

coproc DESK { exec "$build/desk/olkdesk" --publish COM1; }
trap 'kill "$DESK_PID" 2>/dev/null || true' EXIT
read -r device <&"${DESK[0]}"
read -r simulator <&"${DESK[0]}"
echo "Desk simulator on $device" >&2

# The user's own entries stand; COM1 is otherwise the simulator, and every other name maps to no
# device, so nothing opens this machine's own serial ports unless the user asked for it.
ports="${OLKMIXER_PORTS:-}"
for n in 1 2 3 4 5 6 7 8; do
    [[ ";$ports" == *";COM$n="* ]] && continue
    if ((n == 1)); then entry=$simulator; else entry="COM$n="; fi
    ports="${ports:+$ports;}$entry"
done
export OLKMIXER_PORTS="$ports"
"$build/app/olkmixer" "$@"
