#!/usr/bin/env bash
# The auto-cut dialog's search of the one-hour file (made by run.sh), in one process after Qt's
# start-up (autocut_dialog_bench), against `slicewell-cli autocut FILE` as a whole process, both
# with the index file beside the source that an imported file has. Writes the "autocut-dialog"
# section of docs/benchmarks.md and prints it.
#   bench/autocut_dialog.sh [--quick]   (--quick: 3 runs instead of 30)
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
dialog_bin="$(bench_build "$build" autocut_dialog_bench)"
cli="$(bench_build "$build" slicewell-cli)"
machine="$(bench_machine)"
index="${hour%.mp3}.m3i"
# The tool's first search writes the index file beside the source; later runs of both load it.
"$cli" autocut "$hour" >/dev/null
trap 'rm -f "$index"' EXIT
cat "$hour" "$index" >/dev/null

measured="$(QT_QPA_PLATFORM=offscreen "$dialog_bin" "$hour" --runs "$runs" \
    2>"$work/autocut_dialog_bench.txt")" || { cat "$work/autocut_dialog_bench.txt" >&2; exit 1; }
hyperfine -N --warmup 3 --runs "$runs" --output=null --style basic \
    --export-json "$work/autocut_dialog_cli.json" "$cli autocut $hour" >/dev/null \
    2>"$work/hyperfine.txt" || { tail -5 "$work/hyperfine.txt" >&2; exit 1; }

section="$(python3 - "$measured" "$work/autocut_dialog_cli.json" "$runs" "$machine" \
    "$(date +%F)" <<'PY'
import json, re, sys
measured, cli_json, runs, machine, day = sys.argv[1:6]

def figure(pattern):
    m = re.search(pattern, measured, re.M)
    return float(m.group(1)) if m else None

first = figure(r"first search in the dialog: ([0-9.]+) ms")
dialog = figure(r"^search in the dialog: ([0-9.]+) ms")
core = figure(r"search by the core into the cue list: ([0-9.]+) ms")
found = re.search(r"^([0-9]+ frames, [0-9]+ cues)", measured, re.M)
cli = json.load(open(cli_json))["results"][0]["median"] * 1000.0
if None in (first, dialog, core) or not found:
    # The program's lines changed: show them as they are rather than guess.
    print("## Auto-cut dialog\n\n`bench/autocut_dialog.sh` on %s; `autocut_dialog_bench` "
          "printed:\n\n```\n%s\n```" % (day, measured.strip()))
    sys.exit(0)
ratio = dialog / cli
lines = [
    "## Auto-cut dialog", "",
    "`bench/autocut_dialog.sh` on %s: `autocut_dialog_bench FILE` (Release build, offscreen "
    "platform, in one process after Qt's start-up, median of %s runs) on the one-hour file "
    "(%s), from the press of \"Search\" until the dialog is ready for the next search with "
    "every cue on the cue list; beside it `slicewell-cli autocut FILE` as a whole process "
    "(hyperfine, %s runs, median). Both load the index file beside the source, as for a file "
    "already in the bin. Machine: %s." % (day, runs, found.group(1), runs, machine), "",
    "| measurement | ms | ratio to `slicewell-cli autocut` |",
    "|---|---:|---:|",
    "| the dialog's search | %.1f | %.2f |" % (dialog, ratio),
    "| the dialog's first search in the process | %.1f | %.2f |" % (first, first / cli),
    "| the core's search into the same cue list, no window | %.1f | %.2f |" % (core, core / cli),
    "| `slicewell-cli autocut FILE`, whole process, start-up included | %.1f | 1.00 |" % cli,
    "",
    "| target | result |", "|---|---|",
    "| the dialog's search <= 1.5 x `slicewell-cli autocut` (%.2f x) | %s |"
    % (ratio, "met" if ratio <= 1.5 else "**missed**"),
    "",
    "What the dialog adds to the core's search is its worker thread's start and the lateness "
    "of its last look at the search, which comes after a quarter of the time searched so far "
    "(at most every 30 ms): at a fixed 30 ms tick a search this short waited for the tick, "
    "about 30 ms, 1.5 x the command line's whole run.",
]
print("\n".join(lines))
PY
)"
bench_section autocut-dialog <<<"$section"
printf '%s\n' "$section"
