#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine and runs the whole test suite:
# packages, the layer check and the Qt-free core build (a Qt include in the core fails here),
# the full build and its tests, a short run of every fuzz target, and the Debian package: built
# from the tested build tree, checked by lintian, installed, used, and removed again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh

echo "== Layers"
bash scripts/check-layers.sh

echo "== Core libraries without Qt"
cmake -S . -B build-core -G Ninja -DSLICEWELL_CORE_ONLY=ON -DSLICEWELL_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Debug >/dev/null
ninja -C build-core

echo "== Full build"
BUILD_DIR="$root/build" bash scripts/build.sh

echo "== Fuzz targets"
bash fuzz/run.sh "${FUZZ_SECONDS:-15}"

echo "== Tests"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j 2 --timeout 600

echo "== Debian package"
deb=$(bash scripts/package.sh | tail -1)
lintian --fail-on error "$deb" ||
    { echo "lintian found errors in $deb" >&2; exit 1; }
bash scripts/check-package.sh "$deb"
