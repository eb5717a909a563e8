#!/usr/bin/env bash
# The project windows on the one-hour file (made by run.sh): its import through the project bin
# (the scan under the progress window) against the same open and scan without a window, both in
# one process after Qt's start-up (project_windows_bench), beside `slicewell-cli scan` of the
# file as a whole process; and 10,000 cues appearing in the cue list window. Writes the
# "project-windows" section of docs/benchmarks.md. Usage: bench/project_windows.sh [--quick]
# SW_BENCH_BUILD names the Release build folder (default build-bench).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/bench/lib.sh"
build="${SW_BENCH_BUILD:-$root/build-bench}"
work="$root/bench/work"
runs="$(bench_runs 3 "$@")"
bench_require hyperfine python3 cmake ninja

"$root/bench/run.sh" --make-only >/dev/null
hour="$work/hour_128k.mp3"
windows_bin="$(bench_build "$build" project_windows_bench)"
cli="$(bench_build "$build" slicewell-cli)"
machine="$(bench_machine)"
cat "$hour" >/dev/null
# The program's own medians, in one process after start-up.
measured="$(QT_QPA_PLATFORM=offscreen "$windows_bin" "$hour" 2>"$work/project_windows_bench.txt")" || {
    cat "$work/project_windows_bench.txt" >&2
    exit 1
}
# The command line's scan as a user runs it, start-up included; no index file is written, as the
# import above writes none.
hyperfine -N --warmup 3 --runs "$runs" --output=null --style basic \
    --export-json "$work/project_windows_cli.json" "$cli scan $hour --no-index" >/dev/null \
    2>"$work/hyperfine.txt" || { tail -5 "$work/hyperfine.txt" >&2; exit 1; }

section="$(python3 - "$measured" "$work/project_windows_cli.json" "$runs" "$machine" \
    "$(date +%F)" <<'PY'
import json, re, sys
measured, cli_json, runs, machine, day = sys.argv[1:6]

def figure(pattern):
    m = re.search(pattern, measured)
    return float(m.group(1)) if m else None

batch = figure(r"one batch: ([0-9.]+) ms")
single = figure(r"one by one: ([0-9.]+) ms")
import_ms = figure(r"import through the bin[^:]*: ([0-9.]+) ms")
core_ms = figure(r"scanned by the core: ([0-9.]+) ms")
median_runs = figure(r"median of ([0-9]+)")
cli_ms = json.load(open(cli_json))["results"][0]["median"] * 1000.0
if None in (batch, single, import_ms, core_ms):
    # The program's lines changed: show them as they are rather than guess.
    print("## Project bin and cue list windows\n\n`bench/project_windows.sh` on %s; "
          "`project_windows_bench` printed:\n\n```\n%s\n```" % (day, measured.strip()))
    sys.exit(0)
ratio = import_ms / core_ms
lines = [
    "## Project bin and cue list windows", "",
    "`bench/project_windows.sh` on %s: `project_windows_bench FILE` (Release build, offscreen "
    "platform, in one process after Qt's start-up, median of %d runs) on the one-hour file, "
    "which it links into a folder of its own so that no index file beside it spares the scan; "
    "beside it `slicewell-cli scan FILE --no-index` as a whole process (hyperfine, %s runs, "
    "median). Machine: %s." % (day, int(median_runs or 0), runs, machine), "",
    "| measurement | ms | ratio to the scan in one process | goal |",
    "|---|---:|---:|---|",
    "| import through the project bin: the scan under the progress window, the new row | "
    "%.1f | %.2f | at most 1.3 |" % (import_ms, ratio),
    "| the same open and scan without a window (what `slicewell-cli scan` does after its "
    "start-up) | %.1f | 1.00 | |" % core_ms,
    "| `slicewell-cli scan FILE --no-index`, whole process, start-up included | %.1f | %.2f | |"
    % (cli_ms, cli_ms / core_ms),
    "| 10,000 cues into the shown cue list window, one batch (as the auto-cut adds them), "
    "until painted | %.1f | | at most 1000 |" % batch,
    "| 10,000 cues into the shown cue list window, one by one, until painted | %.1f | | "
    "at most 1000 |" % single,
    "",
    "| target | result |", "|---|---|",
    "| import through the bin <= 1.3 x the scan in one process (%.2f x) | %s |"
    % (ratio, "met" if ratio <= 1.3 else "**missed**"),
    "| 10,000 cues appear in the cue list window within 1 s (%.0f ms one by one) | %s |"
    % (max(batch, single), "met" if max(batch, single) <= 1000 else "**missed**"),
    "",
    "The import costs the scan plus a few fixed milliseconds (the worker thread's start, the "
    "progress window's show and paint, the new row), so its ratio is largest for a short "
    "file and varies with the machine's load more than the scan does.",
]
print("\n".join(lines))
PY
)"
bench_section project-windows <<<"$section"
printf '%s\n' "$section"
