#!/usr/bin/env bash
# Makes the README's screenshots in docs/images from the built program, under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export SLICEWELL=${SLICEWELL:-$root/build/app/slicewell}
[ -x "$SLICEWELL" ] || { echo "Build first: bash scripts/build.sh" >&2; exit 1; }
PYTHONWARNINGS=ignore dbus-run-session -- /usr/bin/python3 "$root/scripts/screenshots.py" 2>/dev/null
