#!/usr/bin/env bash
# Makes the Wine prefix the Windows program's tests run in: HOME/prefix, whose COM1 to COM8 lead
# through the links HOME/ports/com1 to com8, which the tests point at their pseudo-terminals or
# at an empty directory that opens as no device. Every other COM number is switched off, and the
# links Wine made to this machine's own serial devices are removed, so that nothing of Wine's
# opens them.
set -euo pipefail

home=${1:?usage: scripts/wineprefix.sh HOME}
prefix=$home/prefix
ports=$home/ports
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

mkdir -p "$ports/none"
for n in 1 2 3 4 5 6 7 8; do
    ln -sfn "$ports/none" "$ports/com$n"
done

# A server left running by an earlier run would keep the old settings, and never let -w return.
wineserver -k 2>/dev/null || true
[ -f "$prefix/system.reg" ] || wineboot -i >/dev/null 2>&1

registry=$home/ports.reg
{
    printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n'
    for n in $(seq 1 256); do
        if ((n <= 8)); then printf '"COM%d"="%s"\n' "$n" "$ports/com$n"; else printf '"COM%d"=""\n' "$n"; fi
    done
} >"$registry"
wine regedit /S "$registry" >/dev/null 2>&1
wineserver -w

# The device manager reads the overrides when Wine starts next; it also links what it finds of
# this machine's serial devices to the first number left free, so those links go.
wineserver -k || true
wine cmd /c exit >/dev/null 2>&1 || true
for link in "$prefix"/dosdevices/com*; do
    [ -L "$link" ] || continue
    case "$(readlink "$link")" in
        "$ports"/*) ;;
        *) rm -f "$link" ;;
    esac
done
ls -l "$prefix/dosdevices"

# One server for the whole run, until the wine.stop test ends it: a server started afresh for
# each program takes seconds once a program has left a serial device behind it.
# Its services start with this program and hold its output, not the output of a test's program.
wineserver -k 2>/dev/null || true
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
