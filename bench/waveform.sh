#!/usr/bin/env bash
# The waveform's levels of the one-hour file (made by run.sh): how soon the window draws the
# estimate of every frame after the cutter opens the file, and how long the decoded levels take,
# in the window and in the core, against `mpg123 -t FILE` (the same library decoding the same
# file to nowhere) in the same run; and the peak memory of a whole decode against mpg123's.
# Writes the "waveform" section of docs/benchmarks.md and prints it.
#   bench/waveform.sh [--quick]   (--quick: 3 runs instead of 30, and 2 decodes instead of 5)
# SW_BENCH_BUILD names the Release build folder (default build-bench).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/bench/lib.sh"
build="${SW_BENCH_BUILD:-$root/build-bench}"
work="$root/bench/work"
runs="$(bench_runs 3 "$@")"
decodes=5
[[ "$runs" == 3 ]] && decodes=2
bench_require hyperfine mpg123 python3 cmake ninja /usr/bin/time

"$root/bench/run.sh" --make-only >/dev/null
hour="$work/hour_128k.mp3"
bench_bin="$(bench_build "$build" waveform_bench)"
machine="$(bench_machine)"
rm -f "${hour%.mp3}.m3i"
cat "$hour" >/dev/null

measured="$(QT_QPA_PLATFORM=offscreen "$bench_bin" "$hour" --runs "$runs" \
    2>"$work/waveform_bench.txt")" || { cat "$work/waveform_bench.txt" >&2; exit 1; }
hyperfine -N --warmup 1 --runs "$decodes" --output=null --style basic \
    --export-json "$work/waveform_mpg123.json" "mpg123 -q -t $hour" >/dev/null \
    2>"$work/hyperfine.txt" || { tail -5 "$work/hyperfine.txt" >&2; exit 1; }
hyperfine -N --warmup 1 --runs "$decodes" --output=null --style basic \
    --export-json "$work/waveform_decode.json" "$bench_bin $hour --decode" >/dev/null \
    2>"$work/hyperfine.txt" || { tail -5 "$work/hyperfine.txt" >&2; exit 1; }
peak() {  # peak NAME COMMAND...: the command's maximum resident set, in KiB, into NAME.rss
    local name="$1"
    shift
    /usr/bin/time -v "$@" >/dev/null 2>"$work/time.txt" || true
    awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt" >"$work/$name.rss"
}
peak waveform_mpg123 mpg123 -q -t "$hour"
peak waveform_decode "$bench_bin" "$hour" --decode
# The same program on the 697-frame sample: what it takes before any file's levels.
peak waveform_baseline "$bench_bin" "$root/samples/sample.mp3" --decode

section="$(BENCH_DIR="$root/bench" python3 - "$measured" "$work" "$runs" "$decodes" "$machine" \
    "$(date +%F)" <<'PY'
import os, re, sys
sys.path.insert(0, os.environ["BENCH_DIR"])
from hyperfine_results import peak_memory_mib, timing
measured, work, runs, decodes, machine, day = sys.argv[1:7]

def figure(pattern):
    m = re.search(pattern, measured, re.M)
    return float(m.group(1)) if m else None

frames = figure(r"^([0-9]+) frames")
drawn = figure(r"estimate drawn in the window: ([0-9.]+) ms")
drawn_max = figure(r"estimate drawn in the window: [0-9.]+ ms \(median of [0-9]+, max ([0-9.]+)")
estimate = figure(r"estimate in the core: ([0-9.]+) ms")
window = figure(r"decoded levels drawn in the window: ([0-9.]+) ms")
core = figure(r"decoded levels in the core: ([0-9.]+) ms")
per_frame = figure(r"envelope: ([0-9]+) bytes a frame")
while_made = figure(r"envelope: [0-9]+ bytes a frame, ([0-9]+) more")
mpg123_ms, mpg123_cpu = timing(work, "waveform_mpg123")
decode_ms, decode_cpu = timing(work, "waveform_decode")
mpg123_mib = peak_memory_mib(work, "waveform_mpg123")
decode_mib = peak_memory_mib(work, "waveform_decode")
baseline_mib = peak_memory_mib(work, "waveform_baseline")
if None in (frames, drawn, drawn_max, estimate, window, core, per_frame, while_made, mpg123_ms,
            decode_ms, mpg123_mib, decode_mib, baseline_mib):
    # The program's lines changed: show them as they are rather than guess.
    print("## Waveform levels\n\n`bench/waveform.sh` on %s; `waveform_bench` printed:\n\n```\n%s\n```"
          % (day, measured.strip()))
    sys.exit(0)

def met(value, goal):
    return "met" if value <= goal else "**missed**"

levels_mib = frames * per_frame / 2**20
lines = [
    "## Waveform levels", "",
    "`bench/waveform.sh` on %s: `waveform_bench FILE` (Release build, offscreen platform) opens "
    "the one-hour file (%d frames) in the real cutter and the real waveform window (1200 pixels "
    "wide, a new window and an empty cache for every run) and times from the cutter's open to "
    "the first picture that shows every frame's estimate (median of %s runs), and to the first "
    "that shows every frame decoded (one run); beside it the core's two steps without a window. "
    "`mpg123 -q -t FILE` decodes the same file with the same library to nowhere, as a whole "
    "process (hyperfine, %s runs, median); so does `waveform_bench FILE --decode`, which scans "
    "the file and decodes its levels in the core without a window system. Peak memory: maximum "
    "resident set of one run under `/usr/bin/time -v`. Machine: %s."
    % (day, frames, runs, decodes, machine), "",
    "| measurement | ms | ratio to `mpg123 -t` |",
    "|---|---:|---:|",
    "| estimate drawn in the window (max of the runs: %.1f ms) | %.1f | |" % (drawn_max, drawn),
    "| estimate in the core (index copy and every frame read) | %.1f | |" % estimate,
    "| decoded levels drawn in the window | %.1f | %.2f |" % (window, window / mpg123_ms),
    "| decoded levels in the core, in one process (median of %s) | %.1f | %.2f |"
    % (decodes, core, core / mpg123_ms),
    "| `waveform_bench FILE --decode`, whole process, scan included | %.1f | %.2f |"
    % (decode_ms, decode_ms / mpg123_ms),
    "| `mpg123 -q -t FILE`, whole process | %.1f | 1.00 |" % mpg123_ms,
    "",
    "| memory | MiB |",
    "|---|---:|",
    "| the levels of the file: %d bytes a frame (%d more for the index copy while the worker runs) "
    "| %.2f |" % (per_frame, while_made, levels_mib),
    "| peak of `waveform_bench FILE --decode` | %.1f |" % decode_mib,
    "| peak of `waveform_bench sample.mp3 --decode` (697 frames: the program and its libraries) "
    "| %.1f |" % baseline_mib,
    "| what the hour adds: the bin's index, its copy, the levels, the read block (%.1f bytes a "
    "frame) | %.1f |" % ((decode_mib - baseline_mib) * 2**20 / frames, decode_mib - baseline_mib),
    "| peak of `mpg123 -q -t FILE` | %.1f |" % mpg123_mib,
    "",
    "| target | result |", "|---|---|",
    "| estimate drawn within 100 ms of opening the file (%.1f ms) | %s |"
    % (drawn, met(drawn, 100)),
    "| decoded levels of the whole file in at most 1.3 x `mpg123 -t` (window %.2f x, core %.2f x) "
    "| %s |" % (window / mpg123_ms, core / mpg123_ms, met(window / mpg123_ms, 1.3)),
    "| the same in CPU time, which other load disturbs less (`--decode` %.2f x) | %s |"
    % (decode_cpu / mpg123_cpu, met(decode_cpu / mpg123_cpu, 1.3)),
    "| levels at most 16 bytes a frame (%d, %d while made) | %s |"
    % (per_frame, per_frame + while_made, met(per_frame + while_made, 16)),
]
print("\n".join(lines))
PY
)"
bench_section waveform <<<"$section"
printf '%s\n' "$section"
