#!/usr/bin/env bash
# The cutter window on a private PulseAudio server with a null sink, on the one-hour file (made
# by run.sh): first audio after a click on "Play complete file", the jog timer's seeks, and the
# CPU share while it plays beside the player alone and mpg123 playing the same file. Writes the
# "cutter" section of docs/benchmarks.md. Usage: bench/cutter.sh
# SW_BENCH_BUILD names the Release build folder (default build-bench).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/bench/lib.sh"
build="${SW_BENCH_BUILD:-$root/build-bench}"
case "${1:-}" in
    "") ;;
    *) echo "usage: $0" >&2; exit 2 ;;
esac
bench_require pulseaudio pactl mpg123 sox lame python3 cmake ninja

"$root/bench/run.sh" --make-only >/dev/null
hour="$root/bench/work/hour_128k.mp3"
bench_bin="$(bench_build "$build" cutter_bench)"
machine="$(bench_machine)"
table="$(QT_QPA_PLATFORM=offscreen "$bench_bin" "$hour" 2>"$root/bench/work/cutter_bench.txt")" || {
    cat "$root/bench/work/cutter_bench.txt" >&2
    exit 1
}

bench_section cutter <<SECTION
## The cutter window

\`bench/cutter.sh\` on $(date +%F): \`cutter_bench FILE\` runs the real cutter window (offscreen
platform) in one process with its player on a private PulseAudio server with a null sink, over
the one-hour file. Machine: $machine.

"First buffer played" is the wave-output layer handing the first buffer back done: the service
returns a buffer once the stream's playback clock (which counts the sink's latency) has passed
its last sample; buffers that a seek or a pause hands back unplayed do not count. Each click
starts from "Pausing" at another position; each jog figure is a tick of the cutter's own 250 ms
jog timer with the knob held at one end while the file plays. CPU: user and system time of the
whole process (every thread: decoding, the sound server's client, painting) over 10 s of wall
clock, as a share of one core; for mpg123 (\`mpg123 -q -o pulse FILE\` to the same server) its
own process from /proc. Neither figure includes the sound server's own process.

$table

The first buffer of a click or a seek cannot come back before its own 26.1 ms (1152 samples at
44.1 kHz) have played. What the cutter takes above the player alone is the window's work: the
labels, the status bar and the seek bar set for every buffer and painted in software by the
offscreen platform.
SECTION
printf '%s\n' "$table"
