#!/usr/bin/env bash
# Clean cuts against the plain copy and the peers, in one run, and writes the "clean-cuts" section
# of docs/benchmarks.md:
#   - how pieces sound: the same seeded ranges of five files cut by mp3splt -f, ffmpeg -c copy,
#     slicewell-cli export --raw and the clean export, decoded by ffmpeg and mpg123 against the
#     source decoded whole (bench/clean_cut_quality.py);
#   - what the clean cut costs: minutes 20-30 of the one-hour file (made by run.sh) exported clean
#     and plain, with and without the index beside it, and autocut --split of the whole hour.
#   bench/clean_cuts.sh [--quick]    (--quick: 3 runs and 4 ranges a file)
# SW_BENCH_BUILD names the Release build folder of the core (default build-bench-core).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/bench/lib.sh"
work="$root/bench/work"
build="${SW_BENCH_BUILD:-$root/build-bench-core}"
runs="$(bench_runs 3 "${1:-}")"
ranges=12
[[ "${1:-}" == "--quick" ]] && ranges=4
bench_require mp3splt ffmpeg ffprobe mpg123 lame shineenc sox espeak-ng cmake ninja \
    python3

"$root/bench/run.sh" --make-only >/dev/null
hour="$work/hour_128k.mp3"
cli="$(bench_build "$build" slicewell-cli -DSLICEWELL_CORE_ONLY=ON)"
json="$work/json_clean_cuts"
out="$work/clean_cuts"
rm -rf "$json" "$out"
mkdir -p "$json" "$out/split"

echo "clean-cuts bench: cutting and decoding $ranges ranges of five files with four tools" >&2
python3 "$root/bench/clean_cut_quality.py" "$cli" "$work/clean_cut_quality" "$json/quality.json" \
    --ranges "$ranges"

# Each clean export against the same plain one, their runs in turns, each after a sync.
paired() {  # paired NAME RUNS -- PLAIN COMMAND... -- CLEAN COMMAND...
    local name="$1" count="$2"
    shift 2
    python3 "$root/bench/paired_timing.py" "$json/$name.json" "$count" plain clean "$@" ||
        echo "clean-cuts bench: WARNING $name failed" >&2
    echo "clean-cuts bench: $name done" >&2
}

# Minutes 20 to 30, as run.sh exports them.
first=$(python3 -c "print(int(1200 * 38.28125))")
last=$(python3 -c "print(int(1800 * 38.28125) - 1)")
index="${hour%.mp3}.m3i"
rm -f "$index"
cat "$hour" >/dev/null
load_at_start="$(cut -d' ' -f1-3 /proc/loadavg)"
# Without an index the export scans first, as the command line does for a file it has not seen.
paired range "$runs" -- "$cli" export "$hour" "$out/plain.mp3" --range "$first-$last" --raw \
    -- "$cli" export "$hour" "$out/clean.mp3" --range "$first-$last"
"$cli" scan "$hour" >/dev/null
paired range_indexed "$runs" -- "$cli" export "$hour" "$out/plain.mp3" --range "$first-$last" \
    --raw -- "$cli" export "$hour" "$out/clean.mp3" --range "$first-$last"
paired split "$runs" -- "$cli" autocut "$hour" --split "$out/split" --force --raw \
    -- "$cli" autocut "$hour" --split "$out/split" --force
rm -f "$index"

# Sanity: what was timed did what it claims.
ffmpeg -nostdin -v error -i "$out/clean.mp3" -f null - ||
    echo "clean-cuts bench: WARNING the clean range does not decode" >&2
[[ "$(stat -c %s "$out/plain.mp3")" -lt "$(stat -c %s "$out/clean.mp3")" ]] ||
    echo "clean-cuts bench: WARNING the clean range holds no header frame or lead-in" >&2

python3 - "$json" "$runs" "$load_at_start" "$(bench_machine)" \
    "$first" "$last" <<'PY' | bench_section clean-cuts
import json, os, sys
jdir, runs, load, machine, first, last = sys.argv[1:7]

quality = json.load(open(os.path.join(jdir, "quality.json")))
print("## Clean cuts\n")
print("`bench/clean_cuts.sh`: %s, %s.\n" % (machine.strip(), "%s runs a command" % runs))
print("### How the pieces sound\n")
print("The same %d seeded ranges (1 to 12 s) of each of five files (lame 128 kbit/s CBR with its "
      "Info frame, lame -V 2, lame 192 kbit/s without a tag, lame MPEG-2 at 22.05 kHz, shine "
      "128 kbit/s; 40 s of tones, noise and speech), cut by each tool and decoded by ffmpeg and "
      "mpg123 against the source decoded whole over the frames the piece plays (found by their "
      "bytes). Sample-exact: ffmpeg to the sample and mpg123 within one step. Start error: the "
      "largest difference in the first 100 ms, of full scale. Length: the largest difference "
      "between what ffprobe reports and the length of the audio frames the piece holds.\n"
      % quality["ranges"])
print("| tool | pieces | sample-exact | worst start error | worst ffprobe length error |")
print("|---|---:|---:|---:|---:|")
for tool, r in quality["tools"].items():
    print("| `%s` | %d | %d (%.0f %%) | %.1f %% | %.1f ms |" % (
        tool, r["pieces"], r["exact"], 100.0 * r["exact"] / max(r["pieces"], 1),
        100.0 * r["worst_start"], r["worst_length_ms"]))
print("")
print("### What the clean cut costs\n")
print("The one-hour file of `bench/run.sh` (MPEG-1 Layer III, 128 kbit/s, no Info frame); "
      "load average %s at the start. `bench/paired_timing.py`: the plain and the clean command "
      "take turns, %s runs each after a warm-up, every run after a `sync`; medians of the wall "
      "time, means of the CPU time (user + system).\n" % (load, runs))
print("| export | plain ms (`--raw`) | clean ms | clean / plain | CPU ms plain | CPU ms clean |")
print("|---|---:|---:|---:|---:|---:|")
ratios = {}
for key, label in (("range", "minutes 20-30 (frames %s-%s), scan included" % (first, last)),
                   ("range_indexed", "minutes 20-30, index beside the file"),
                   ("split", "`autocut --split` of the hour (one cue, index beside the file)")):
    path = os.path.join(jdir, key + ".json")
    if not os.path.exists(path):
        continue
    t = json.load(open(path))
    plain, clean = t["plain"], t["clean"]
    ratios[key] = clean["median_ms"] / plain["median_ms"]
    print("| %s | %.1f | %.1f | %.2f | %.1f | %.1f |" % (
        label, plain["median_ms"], clean["median_ms"], ratios[key], plain["cpu_ms"],
        clean["cpu_ms"]))
print("")
print("| target | result |")
print("|---|---|")
def check(text, ok):
    print("| %s | %s |" % (text, "met" if ok else "**missed**"))
if "range" in ratios:
    check("clean export of 10 minutes <= 1.1 x the plain one (%.2f x; %.2f x with the index "
          "beside the file)" % (ratios["range"], ratios.get("range_indexed", 0)),
          ratios["range"] <= 1.1)
if "split" in ratios:
    check("autocut --split of the hour clean <= 1.2 x plain (%.2f x)" % ratios["split"],
          ratios["split"] <= 1.2)
clean = quality["tools"].get("slicewell-cli (clean)", {})
check("every clean piece sample-exact (%d of %d)" % (clean.get("exact", 0), clean.get("pieces", 0)),
      clean.get("exact", 0) == clean.get("pieces", -1))
PY
