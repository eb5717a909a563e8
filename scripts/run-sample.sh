#!/usr/bin/env bash
# Sets everything up and shows what the program does on the bundled sample: the file's
# properties, its frame index, a frame-exact cut, and playback when a sound server is running.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
BUILD_DIR="$root/build" bash scripts/build.sh
cli="$root/build/cli/slicewell-cli"
sample="$root/samples/sample.mp3"
out=$(mktemp -d)

echo "== Properties of the sample"
"$cli" info "$sample"
echo
echo "== Frame index"
"$cli" scan "$sample" --index "$out/sample.m3i"
echo
echo "== Frames 100 to 299, cut without re-encoding"
"$cli" export "$sample" "$out/cut.mp3" --range 100-299
ls -l "$out/cut.mp3"
echo
echo "== Playback (Ctrl+C stops)"
"$cli" play "$sample" || echo "(no sound server reachable: playback skipped)"
