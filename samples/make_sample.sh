#!/usr/bin/env bash
# Remakes samples/sample.mp3: a short chime, spoken sentences with pauses to cut at, and a closing
# chime, encoded by lame at 64 kbit/s mono (MPEG-1 Layer III, 44.1 kHz). Deterministic: the same
# tools give the same bytes.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:-$here/sample.mp3}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

sox -R -q -n -r 44100 -c 1 -b 16 "$work/chime.wav" synth 0.6 sine 880 fade 0 0.6 0.5 gain -8
sox -R -q -n -r 44100 -c 1 -b 16 "$work/pause.wav" trim 0 0.8
espeak-ng -s 160 -w "$work/s1.wav" \
    "Welcome to Slicewell. This sample is short spoken audio for trying out the cutter."
espeak-ng -s 160 -w "$work/s2.wav" \
    "Set a mark in at the start of this sentence, and a mark out at its end."
espeak-ng -s 160 -w "$work/s3.wav" "Export the range: its frames are copied without decoding."
for s in s1 s2 s3; do
    sox -R -q "$work/$s.wav" -r 44100 "$work/$s.44.wav"
done
sox -R -q "$work/chime.wav" "$work/pause.wav" "$work/s1.44.wav" "$work/pause.wav" \
    "$work/s2.44.wav" "$work/pause.wav" "$work/s3.44.wav" "$work/pause.wav" \
    "$work/chime.wav" "$work/all.wav"
lame --quiet --nohist -b 64 --cbr -m m --tt "Slicewell sample" --ta "Slicewell" \
    --id3v1-only "$work/all.wav" "$out"
