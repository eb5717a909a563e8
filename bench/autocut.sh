#!/usr/bin/env bash
# Times the auto-cut search of the one-hour file (made by run.sh) against cat of the file and
# mp3splt's silence split of it, with a warm cache, and writes the "autocut" section of
# docs/benchmarks.md through bench/page_section.py (the rest of the page stays as it is).
#   bench/autocut.sh [--quick | --report-only]
#   --quick        3 runs instead of 30
#   --report-only  write the section again from the last run's measurements
# SW_BENCH_BUILD names the Release build folder of the core (default build-bench-core).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/bench/lib.sh"
work="$root/bench/work"
build="${SW_BENCH_BUILD:-$root/build-bench-core}"
runs=30
# mp3splt decodes the whole hour for its silence search: some 9 s a run.
peer_runs=3
report_only=0
case "${1:-}" in
    --quick) runs=3 ;;
    --report-only) report_only=1 ;;
    "") ;;
    *) echo "usage: $0 [--quick | --report-only]" >&2; exit 2 ;;
esac
json="$work/json_autocut"

bench_require hyperfine mp3splt strace /usr/bin/time cmake ninja python3
hour="$work/hour_128k.mp3"
if ((!report_only)); then
"$root/bench/run.sh" --make-only >/dev/null

bench_bin="$(bench_build "$build" autocut_bench -DSLICEWELL_CORE_ONLY=ON)"

rm -rf "$json" "$work/mp3splt_s" "$work/mp3splt.log"
mkdir -p "$json" "$work/mp3splt_s"
# The index file beside the source is what an imported file has; the search reads it.
index="${hour%.mp3}.m3i"
"$bench_bin" "$hour" --save-index

timed() {  # timed NAME RUNS PREPARE COMMAND...: PREPARE (may be empty) runs before every run
    local name="$1" count="$2" prepare="$3"
    shift 3
    local extra=()
    [[ -n "$prepare" ]] && extra=(--prepare "$prepare")
    hyperfine -N --warmup 1 --runs "$count" --output=null --style basic "${extra[@]}" \
        --export-json "$json/$name.json" "$*" >/dev/null 2>"$work/hyperfine.txt" ||
        { echo "autocut bench: WARNING $name failed" >&2; tail -5 "$work/hyperfine.txt" >&2; }
    [[ -n "$prepare" ]] && bash -c "$prepare"
    /usr/bin/time -v "$@" >/dev/null 2>"$work/time.txt" || true
    awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt" >"$json/$name.rss"
}

cat "$hour" >/dev/null
load_at_start="$(cut -d' ' -f1-3 /proc/loadavg)"
timed cat "$runs" "" cat "$hour"
timed search "$runs" "" "$bench_bin" "$hour"
timed scan_search "$runs" "" "$bench_bin" "$hour" --scan
# mp3splt keeps the silence it found in mp3splt.log in the current folder and reads it back on
# the next run instead of decoding again: each run starts without it.
cd "$work"
timed mp3splt_s "$peer_runs" "rm -f $work/mp3splt.log" mp3splt -q -f -s -d "$work/mp3splt_s" "$hour"
rm -f "$work/mp3splt.log"
cd "$root"
found="$("$bench_bin" "$hour")"
# System calls of one search: the frames are read through the buffered stream.
syscalls="$(strace -f -c -o "$work/strace.txt" "$bench_bin" "$hour" >/dev/null 2>&1;
    awk '/total/ {print $4}' "$work/strace.txt")"
rm -f "$index"
printf '%s\n' "$runs" "$peer_runs" "$load_at_start" "$found" "$syscalls" >"$json/run.txt"
fi
mapfile -t run <"$json/run.txt"

section="$(BENCH_DIR="$root/bench" python3 - "$json" "${run[0]}" "${run[1]}" "${run[2]}" "${run[3]}" "${run[4]}" \
    "$(stat -c %s "$hour")" <<'PY'
import json, os, sys
jdir, runs, peer_runs, load, found, syscalls, size = sys.argv[1:8]

sys.path.insert(0, os.environ["BENCH_DIR"])
from hyperfine_results import peak_memory_mib, timing

def get(name):
    return timing(jdir, name)

def rss(name):
    return peak_memory_mib(jdir, name)

rows = [
    ("cat", "`cat FILE`"),
    ("search", "`autocut_bench FILE` (index file beside it, then the search at 20 %)"),
    ("scan_search", "`autocut_bench FILE --scan` (scan, then the search)"),
    ("mp3splt_s", "`mp3splt -s FILE` (silence split, decodes)"),
]
cat_ms, _ = get("cat")
split_ms, _ = get("mp3splt_s")
lines = ["## Auto-cut search", "",
         f"The same one-hour file; {runs} runs a command ({peer_runs} for mp3splt, which takes "
         f"seconds a run); load average {load} at the start. `{found}` "
         "(the file is a tone sweep over pink noise: no frame is silent, so the whole file is one "
         f"run). One search makes {syscalls} system calls in all, for the 137820 frames.", "",
         "| tool | median ms | ratio to cat | ratio to mp3splt -s | CPU ms | max RSS MiB |",
         "|---|---:|---:|---:|---:|---:|"]
for name, label in rows:
    ms, cpu = get(name)
    if ms is None:
        continue
    m = rss(name)
    lines.append(f"| {label} | {ms:.1f} | {ms / cat_ms:.2f} | {ms / split_ms:.4f} | {cpu:.1f} | "
                 f"{m:.1f} |" if m is not None else f"| {label} | {ms:.1f} | - | - | - | - |")
search_ms, search_cpu = get("search")
_, cat_cpu = get("cat")
index_mib = 137820 * 4 / 1048576.0
targets = [
    (f"search <= 2 x cat ({search_ms / cat_ms:.2f} x)", search_ms <= 2 * cat_ms),
    (f"the same in CPU time, which other load on the machine disturbs less "
     f"({search_cpu / cat_cpu:.2f} x)", search_cpu <= 2 * cat_cpu),
    (f"search >= 100 x faster than mp3splt -s ({split_ms / search_ms:.0f} x)",
     split_ms >= 100 * search_ms),
    (f"search peak memory <= 8 MiB + the index ({index_mib:.2f} MiB): {rss('search'):.1f} MiB",
     rss("search") <= 8 + index_mib),
]
lines += ["", "| target | result |", "|---|---|"]
lines += [f"| {t} | {'met' if ok else '**missed**'} |" for t, ok in targets]
print("\n".join(lines))
PY
)"
python3 "$root/bench/page_section.py" autocut <<<"$section"
printf '%s\n' "$section"
