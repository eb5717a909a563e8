#!/usr/bin/env bash
# Installs the Debian package given as $1 on this machine (as root), checks the installed
# programs from PATH, their manual, the desktop's knowledge of the entry and the file types,
# then removes the package and checks that nothing of it is left.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deb=$(realpath "$1")

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
fail() {
    echo "check-package.sh: $*" >&2
    exit 1
}

if dpkg-query -W -f='${Status}' slicewell 2>/dev/null | grep -q "install ok installed"; then
    echo "== slicewell is already installed on this machine: its installation is left alone"
    exit 0
fi

echo "== Installing $deb"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$deb" >/dev/null
# A failed check must not leave the package behind for the next run to take for the user's.
remove() {
    DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq slicewell >/dev/null
}
trap remove EXIT
mapfile -t files < <(dpkg -L slicewell | while read -r f; do [ -d "$f" ] || echo "$f"; done)

echo "== The installed programs, from PATH"
[ "$(command -v slicewell)" = /usr/bin/slicewell ] || fail "slicewell is not /usr/bin/slicewell"
home=$(mktemp -d)
# No display, and a home of its own: the options need neither, and an installed program must
# not copy the package's desktop entry or file types into the user's folders.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_DATA_HOME -u XDG_CONFIG_HOME \
    -u XDG_DATA_DIRS -u QT_QPA_PLATFORM HOME="$home" slicewell --version)
grep -q "Slicewell version" <<<"$version" || fail "slicewell --version printed: $version"
echo "$version" | tr -d '\r' | grep .
[ ! -e "$home/.local/share/applications" ] && [ ! -e "$home/.local/share/mime" ] ||
    fail "the installed slicewell wrote its own desktop files into the home folder"
rm -rf "$home"
info=$(slicewell-cli info "$root/samples/sample.mp3") || fail "slicewell-cli info failed"
head -3 <<<"$info"
slicewell-cli devices --help >/dev/null || fail "slicewell-cli cannot start its playback helper"

echo "== The manual"
manual=$(MANWIDTH=80 man -P cat slicewell-cli 2>&1) || fail "man slicewell-cli failed: $manual"
grep -Eq "slicewell-cli +- scan, cut and split" <<<"$manual" ||
    fail "man slicewell-cli rendered: $(head -5 <<<"$manual")"

echo "== The desktop knows the entry and the file types"
grep -q "^application/x-slicewell-project=.*slicewell.desktop" \
    /usr/share/applications/mimeinfo.cache || fail "the desktop entry is not registered"
[ -f /usr/share/mime/application/x-slicewell-project.xml ] ||
    fail "the MIME database does not know the project type"
if command -v gio >/dev/null; then
    handlers=$(gio mime application/x-slicewell-project 2>&1)
    grep -q slicewell.desktop <<<"$handlers" || fail "gio does not offer slicewell: $handlers"
fi

echo "== Removing the package"
trap - EXIT
remove
! dpkg-query -W slicewell >/dev/null 2>&1 || fail "the package is still known to dpkg"
for f in "${files[@]}"; do
    [ ! -e "$f" ] || fail "$f is left after removal"
done
[ ! -e /usr/share/mime/application/x-slicewell-project.xml ] ||
    fail "the MIME database still knows the project type"
! grep -q slicewell.desktop /usr/share/applications/mimeinfo.cache ||
    fail "the desktop still lists the entry"
echo "== Package installed, checked and removed"
