#!/usr/bin/env bash
# Builds the Debian package of Slicewell from the build tree in build/ (or $BUILD_DIR), building
# what is not built yet, and prints the package's path as its last line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

{
    bash "$root/scripts/install-deps.sh"
    BUILD_DIR="$build" bash "$root/scripts/build.sh"
} >&2

# CPack reuses the tested build tree: no second compilation, and the package holds exactly the
# binaries the tests ran (stripped of their debugging information).
log=$(cd "$build" && cpack -G DEB -C RelWithDebInfo -B "$build" 2>&1) || {
    echo "$log" >&2
    exit 1
}
echo "$log" >&2
deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' <<<"$log" | tail -1)
[ -f "$deb" ] || { echo "package.sh: cpack named no package" >&2; exit 1; }
echo "$deb"
