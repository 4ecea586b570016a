#!/usr/bin/env bash
# Builds the Debian package into build-package/, then proves it and the plain install: each goes
# into a scratch root, which must hold every file, and the command-line programs run from there.
# Prints the package's path.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-package"
source "$root/scripts/packages.sh"
ensure_packages "${base_packages[@]}" dpkg-dev

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DBUILD_TESTING=OFF -DOLK_WERROR=ON >/dev/null
cmake --build "$build"
rm -rf "$build/package"
(cd "$build" && cpack -G DEB -B "$build/package" >/dev/null)
package=$(ls "$build"/package/olkmixer_*.deb)

check_installed() {
    local scratch=$1 file
    for file in usr/bin/olkmixer usr/bin/olkmixer-cli usr/bin/olkdesk usr/share/applications/olkmixer.desktop \
                usr/share/mime/packages/Olk.wrk.xml usr/share/icons/hicolor/96x96/apps/olkmixer.png \
                usr/share/man/man1/olkmixer.1 usr/share/man/man1/olkmixer-cli.1 usr/share/man/man1/olkdesk.1; do
        [ -e "$scratch/$file" ] || { echo "$2 lacks $file" >&2; exit 1; }
    done
    "$scratch/usr/bin/olkmixer-cli" --help >/dev/null
    "$scratch/usr/bin/olkdesk" --help >/dev/null
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$package" "$scratch/package"
check_installed "$scratch/package" "the package"
DESTDIR="$scratch/install" cmake --install "$build" >/dev/null
check_installed "$scratch/install" "cmake --install"
echo "$package"
