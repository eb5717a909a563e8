#!/usr/bin/env bash
# Sets everything up and starts Slicewell on the bundled sample. Without a display it says how
# to get one and shows instead what the command-line tool does with the sample: the file's
# properties, its frame index, a frame-exact cut, and playback when a sound server is running.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
BUILD_DIR="$root/build" bash scripts/build.sh
sample="$root/samples/sample.mp3"

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    echo "== Starting slicewell on $sample (close its window to end)"
    exec "$root/build/app/slicewell" "$sample"
fi

cat <<'TEXT'
== No display: neither DISPLAY nor WAYLAND_DISPLAY is set, so the window cannot be shown.
   Run this script again from a terminal inside a desktop session (X11 or Wayland), or over
   "ssh -X", or start the program on a virtual display yourself:
       Xvfb :99 & DISPLAY=:99 build/app/slicewell samples/sample.mp3
   Meanwhile, this is what slicewell-cli does with the sample.

TEXT

cli="$root/build/cli/slicewell-cli"
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
