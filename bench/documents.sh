#!/usr/bin/env bash
# Times the command-line document commands on the one-hour file (made by run.sh), with a warm
# cache, against the tools people would otherwise use, and writes the "Command-line documents"
# section of docs/benchmarks.md ("documents", through bench/page_section.py; the rest of the
# page stays as it is):
#   - slicewell-cli autocut FILE (the index beside it, and without one: scan, then search)
#     against cat of the file and mp3splt's silence split, with peak memory;
#   - slicewell-cli autocut FILE --split DIR against mp3splt -s;
#   - slicewell-cli project of 20 one-hour files with their index files beside them against cat
#     of those 20 index files.
#   bench/documents.sh [--quick]    (--quick: 3 runs instead of 30)
# SW_BENCH_BUILD names the Release build folder of the core (default build-bench-core).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/bench/lib.sh"
work="$root/bench/work"
build="${SW_BENCH_BUILD:-$root/build-bench-core}"
# The section, which bench/page_section.py puts into docs/benchmarks.md.
report="$work/documents_section.md"
runs="$(bench_runs 3 "$@")"
# mp3splt decodes the whole hour for its silence search: some 9 s a run.
peer_runs=3
bench_require hyperfine mp3splt /usr/bin/time cmake ninja python3
"$root/bench/run.sh" --make-only >/dev/null
hour="$work/hour_128k.mp3"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSLICEWELL_BUILD_TESTS=OFF \
    -DSLICEWELL_CORE_ONLY=ON >"$work/cmake_documents.txt" 2>&1 ||
    { cat "$work/cmake_documents.txt" >&2; exit 1; }
ninja -C "$build" slicewell-cli >/dev/null
cli="$(find "$build" -name slicewell-cli -type f -perm -u+x | head -1)"

docs="$work/documents"
json="$docs/json"
rm -rf "$docs"
mkdir -p "$json" "$docs/split" "$docs/mp3splt" "$docs/twenty"

timed() {  # timed NAME RUNS PREPARE COMMAND...: PREPARE (may be empty) runs before every run
    local name="$1" count="$2" prepare="$3"
    shift 3
    local extra=()
    [[ -n "$prepare" ]] && extra=(--prepare "$prepare")
    hyperfine -N --warmup 1 --runs "$count" --output=null --style basic "${extra[@]}" \
        --export-json "$json/$name.json" "$*" >/dev/null 2>"$docs/hyperfine.txt" ||
        { echo "documents bench: WARNING $name failed" >&2; tail -5 "$docs/hyperfine.txt" >&2; }
    [[ -n "$prepare" ]] && bash -c "$prepare"
    /usr/bin/time -v "$@" >/dev/null 2>"$docs/time.txt" || true
    awk -F': ' '/Maximum resident set size/ {print $2}' "$docs/time.txt" >"$json/$name.rss"
    echo "documents bench: $name done" >&2
}

# The index file beside the hour, as an imported file has it (the first autocut writes it).
index="${hour%.mp3}.m3i"
rm -f "$index"
"$cli" autocut "$hour" >/dev/null
# Twenty names of the hour (hard links: one file's pages in the cache, as twenty copies would
# be after a first read), each with an index of its own name beside it. Links are one file to
# the bin: it loads the first one's index and gives the other nineteen that scan, sharing its
# bytes, so this measures one index load and nineteen shared ones, not twenty loads.
items=()
for n in $(seq -w 1 20); do
    ln "$hour" "$docs/twenty/hour$n.mp3"
    "$cli" scan "$docs/twenty/hour$n.mp3" >/dev/null
    items+=("$docs/twenty/hour$n.mp3")
done
indexes=("${items[@]/%.mp3/.m3i}")

cat "$hour" "${indexes[@]}" >/dev/null
load_at_start="$(cut -d' ' -f1-3 /proc/loadavg)"
timed cat "$runs" "" cat "$hour"
timed autocut "$runs" "" "$cli" autocut "$hour"
# Without an index beside it the file is scanned first; --no-index keeps it from being written.
timed autocut_scan "$runs" "rm -f $index" "$cli" autocut "$hour" --no-index --json
"$cli" scan "$hour" >/dev/null
timed split "$runs" "" "$cli" autocut "$hour" --split "$docs/split" --force
timed cat20 "$runs" "" cat "${indexes[@]}"
timed project20 "$runs" "" "$cli" project "$docs/twenty.m3p" "${items[@]}"
# mp3splt keeps the silence it found in mp3splt.log in the current folder and reads it back on
# the next run instead of decoding again: each run starts without it.
cd "$docs"
timed mp3splt_s "$peer_runs" "rm -f $docs/mp3splt.log" \
    mp3splt -q -f -s -d "$docs/mp3splt" "$hour"
rm -f "$docs/mp3splt.log"
cd "$root"

# Sanity: what was timed did what it claims.
found="$("$cli" autocut "$hour")"
split_files="$(find "$docs/split" -type f | wc -l)"
peer_files="$(find "$docs/mp3splt" -type f | wc -l)"
project_files="$("$cli" info "$docs/twenty.m3p" --json | python3 -c \
    'import json,sys; print(len(json.load(sys.stdin)["files"]))')"
[[ "$project_files" == 20 ]] || echo "documents bench: WARNING the project holds $project_files files" >&2
index_bytes="$(stat -c %s "$index")"
rm -f "$index"

BENCH_DIR="$root/bench" python3 - "$json" "$report" "$runs" "$peer_runs" "$load_at_start" "$found" "$split_files" \
    "$peer_files" "$index_bytes" <<'PY'
import json, os, sys
jdir, report, runs, peer_runs, load, found, split_files, peer_files, index_bytes = sys.argv[1:10]

sys.path.insert(0, os.environ["BENCH_DIR"])
from hyperfine_results import peak_memory_mib, timing

def get(name):
    return timing(jdir, name)

def rss(name):
    return peak_memory_mib(jdir, name)

def table(rows, base, base_name):
    base_ms, _ = get(base)
    out = [f"| tool | median ms | ratio to {base_name} | CPU ms | max RSS MiB |",
           "|---|---:|---:|---:|---:|"]
    for name, label in rows:
        ms, cpu = get(name)
        if ms is None:
            out.append(f"| {label} | failed | - | - | - |")
            continue
        m = rss(name)
        out.append(f"| {label} | {ms:.1f} | {ms / base_ms:.4g} | {cpu:.1f} | "
                   f"{m:.1f} |" if m is not None else f"| {label} | {ms:.1f} | - | - | - |")
    return out

cues = len(found.splitlines())
lines = ["## Command-line documents", "",
         f"`bench/documents.sh`: the one-hour file; {runs} runs a command ({peer_runs} for "
         f"mp3splt, which takes seconds a run); load average {load} at the start. The file is a "
         f"tone sweep over pink noise, so no frame is silent: the search finds {cues} cue "
         f"(`{found.splitlines()[0] if cues else ''}`), `--split` writes {split_files} file and "
         f"mp3splt -s {peer_files}. Index file: {int(index_bytes) / 1048576:.2f} MiB.", "",
         "### Auto-cut search and split", ""]
lines += table([
    ("cat", "`cat FILE`"),
    ("autocut", "`slicewell-cli autocut FILE` (index file beside it)"),
    ("autocut_scan", "`slicewell-cli autocut FILE --no-index --json` (no index beside it: scan, then search)"),
    ("split", "`slicewell-cli autocut FILE --split DIR --force` (index beside it)"),
    ("mp3splt_s", "`mp3splt -s -d DIR FILE` (silence split, decodes)"),
], "cat", "cat")
lines += ["", "### Project of 20 one-hour files, index files beside them", ""]
lines += table([
    ("cat20", "`cat` of the 20 index files"),
    ("project20", "`slicewell-cli project OUT.m3p` of the 20 files"),
], "cat20", "cat")

PROJECT_NOTE = ("The twenty names are hard links of one file, and the bin knows a file it has already scanned by its identity, size and modification time: it loads the first index file and gives the other nineteen entries that scan, sharing its bytes, where it used to load twenty indexes of 0.53 MiB each (11 MB of fresh memory, about half of the command's CPU time in faulting those pages in). Twenty different files would still cost twenty loads.")

def cpu(name):
    return get(name)[1]

ms = {n: get(n)[0] for n in ["cat", "autocut", "split", "mp3splt_s", "cat20", "project20"]}
index_mib = int(index_bytes) / 1048576.0
targets = [
    (f"autocut <= 2 x cat ({ms['autocut'] / ms['cat']:.2f} x)", ms["autocut"] <= 2 * ms["cat"]),
    (f"the same in CPU time ({cpu('autocut') / cpu('cat'):.2f} x)",
     cpu("autocut") <= 2 * cpu("cat")),
    (f"autocut >= 100 x faster than mp3splt -s ({ms['mp3splt_s'] / ms['autocut']:.0f} x)",
     ms["mp3splt_s"] >= 100 * ms["autocut"]),
    (f"autocut peak memory <= 8 MiB + the index ({8 + index_mib:.2f} MiB): "
     f"{rss('autocut'):.1f} MiB", rss("autocut") <= 8 + index_mib),
    (f"autocut --split >= 50 x faster than mp3splt -s ({ms['mp3splt_s'] / ms['split']:.0f} x)",
     ms["mp3splt_s"] >= 50 * ms["split"]),
    (f"project of 20 <= 2 x cat of their index files ({ms['project20'] / ms['cat20']:.2f} x)",
     ms["project20"] <= 2 * ms["cat20"]),
    (f"the same in CPU time ({cpu('project20') / cpu('cat20'):.2f} x)",
     cpu("project20") <= 2 * cpu("cat20")),
]
lines += ["", "| target | result |", "|---|---|"]
lines += [f"| {t} | {'met' if ok else '**missed**'} |" for t, ok in targets]
lines += ["", PROJECT_NOTE]
section = "\n".join(lines) + "\n"

open(report, "w").write(section)
print(section)
PY
python3 "$root/bench/page_section.py" documents <"$report"
