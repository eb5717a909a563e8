#!/usr/bin/env bash
# Measures the scan and the exports on a one-hour MPEG-1 Layer III 128 kbit/s file against the
# tools people would otherwise use, with a warm cache, and writes its sections of
# docs/benchmarks.md ("scan-export", "player"); then runs the other benchmark scripts, which
# write theirs. Usage: bench/run.sh [--quick | --make-only | --export-only]
#   --quick        3 runs per command instead of 30, for trying the script
#   --make-only    only make (or check) the one-hour file
#   --export-only  only this script's own sections, not the other benchmark scripts
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/bench/lib.sh"
work="$root/bench/work"
build="$root/build-bench"
sections="$work/sections"
runs=30  # this machine shares its host: ten runs gave medians 30 % apart from one run to the next
make_only=0
export_only=0
case "${1:-}" in
    --quick) runs=3 ;;
    --make-only) make_only=1 ;;
    --export-only) export_only=1 ;;
    "") ;;
    *) echo "usage: $0 [--quick | --make-only | --export-only]" >&2; exit 2 ;;
esac
mkdir -p "$work"

bench_require hyperfine lame sox python3 mp3val mp3splt ffmpeg ffprobe cmake ninja /usr/bin/time

# --- The one-hour file -------------------------------------------------------------------------
# One minute of a swept tone on the left and pink noise on the right, encoded once without an Info
# frame; then exactly 2297 of its frames, sixty times over. Each copy starts with a frame whose
# bit reservoir is empty, so the joins decode cleanly. 60 x 2297 = 137,820 frames = 3600.2 s.
hour="$work/hour_128k.mp3"
frames_per_minute=2297
if [[ ! -s "$hour" ]]; then
    echo "bench: making $hour"
    sox -R -q -n -r 44100 -c 2 -b 16 "$work/minute.wav" synth 60 sine 220-1760 pinknoise gain -10
    lame --quiet --nohist -t -b 128 --cbr "$work/minute.wav" "$work/minute.mp3"
    python3 - "$work/minute.mp3" "$hour.tmp" "$frames_per_minute" <<'PY'
import sys
src, dst, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
data = open(src, "rb").read()
pos = 0
for _ in range(count):
    # MPEG-1 Layer III, 44.1 kHz: 144000 x 128 / 44100 bytes, plus the padding bit.
    assert data[pos] == 0xFF and (data[pos + 1] & 0xFE) == 0xFA, f"no frame at {pos}"
    pos += 144000 * 128 // 44100 + ((data[pos + 2] >> 1) & 1)
with open(dst, "wb") as out:
    for _ in range(60):
        out.write(data[:pos])
PY
    mv "$hour.tmp" "$hour"
    rm -f "$work/minute.wav" "$work/minute.mp3"
fi
total_frames=$((frames_per_minute * 60))
# Minutes 20 to 30 as frame numbers: 38.28125 frames per second.
range_first=$(python3 -c "print(int(1200 * 38.28125))")
range_last=$(python3 -c "print(int(1800 * 38.28125) - 1)")
if ((make_only)); then
    echo "$hour: $total_frames frames, minutes 20-30 are frames $range_first-$range_last"
    exit 0
fi

# --- Release build -----------------------------------------------------------------------------
# Without the tests: the benchmark needs none of them, and the build is quicker.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSLICEWELL_BUILD_TESTS=OFF \
    >"$work/cmake.txt" 2>&1 || { cat "$work/cmake.txt" >&2; exit 1; }
targets=(slicewell-cli)
# The list is read whole first: grep -q closing the pipe early would fail it under pipefail.
all_targets="$(ninja -C "$build" -t targets all 2>/dev/null || true)"
if grep -q '^scan_dialog_bench:' <<<"$all_targets"; then
    targets+=(scan_dialog_bench)
fi
if grep -q '^player_bench:' <<<"$all_targets"; then
    targets+=(player_bench)
fi
ninja -C "$build" "${targets[@]}" >/dev/null
cli="$(find "$build" -name slicewell-cli -type f -perm -u+x | head -1)"
[[ -x "$cli" ]] || { echo "bench: slicewell-cli was not built" >&2; exit 1; }
dialog="$(find "$build" -name scan_dialog_bench -type f -perm -u+x | head -1)"
player="$(find "$build" -name player_bench -type f -perm -u+x | head -1)"

out="$work/out"
rm -rf "$out"
mkdir -p "$out/mp3splt"
json="$work/json"
rm -rf "$json"
mkdir -p "$json"

# Every command runs without a shell (-N) and with its output discarded by hyperfine, so no
# command pays for a redirect the others do not.
# A command that fails loses its row in the table (with a warning) instead of ending the run.
timed() {  # timed NAME PREPARE COMMAND...: PREPARE (may be empty) runs before every run
    local name="$1"
    local prepare="$2"
    shift 2
    local extra=()
    [[ -n "$prepare" ]] && extra=(--prepare "$prepare")
    rm -f "$json/$name.json"
    if hyperfine -N --warmup 3 --runs "$runs" --output=null --style basic "${extra[@]}" \
        --export-json "$json/$name.json" "$*" >/dev/null 2>"$work/hyperfine.txt"; then
        echo "bench: $name done" >&2
    else
        rm -f "$json/$name.json"
        echo "bench: WARNING $name failed:" >&2
        tail -5 "$work/hyperfine.txt" >&2
    fi
}
bench() {  # bench NAME COMMAND...
    local name="$1"
    shift
    timed "$name" "" "$@"
}
bench_new() {  # bench_new NAME OUT COMMAND...: OUT is removed before every run
    local name="$1"
    local target="$2"
    shift 2
    timed "$name" "rm -f $target" "$@"
}
rss() {  # rss NAME COMMAND...: peak resident set of one run, in KiB
    local name="$1"
    shift
    /usr/bin/time -v "$@" >/dev/null 2>"$work/time.txt" || true
    awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt" >"$json/$name.rss"
}

# The export must scan (no index file beside the source may spare it that); warm the cache once.
rm -f "${hour%.mp3}.m3i"
cat "$hour" >/dev/null
load_at_start="$(cut -d' ' -f1-3 /proc/loadavg)"

bench cat cat "$hour"
rss cat cat "$hour"
bench startup "$cli" --version
rss startup "$cli" --version
bench scan "$cli" scan "$hour" --index "$out/x.m3i"
rss scan "$cli" scan "$hour" --index "$out/x.m3i"
bench mp3val mp3val "$hour"
rss mp3val mp3val "$hour"
bench ffprobe ffprobe -v error -count_packets -show_entries stream=nb_read_packets "$hour"
rss ffprobe ffprobe -v error -count_packets -show_entries stream=nb_read_packets "$hour"

# The plain copy throughout this section (the copy while scanning is the plain copy's); what the
# clean cut adds is clean_cuts.sh's.
bench range_export "$cli" export "$hour" "$out/range.mp3" --range "$range_first-$range_last" --raw
rss range_export "$cli" export "$hour" "$out/range.mp3" --range "$range_first-$range_last" --raw
bench mp3splt mp3splt -q -f -d "$out/mp3splt" -o range "$hour" 20.00 30.00
rss mp3splt mp3splt -q -f -d "$out/mp3splt" -o range "$hour" 20.00 30.00
bench ffmpeg_copy ffmpeg -nostdin -v error -y -ss 1200 -to 1800 -i "$hour" -c copy "$out/ff.mp3"
rss ffmpeg_copy ffmpeg -nostdin -v error -y -ss 1200 -to 1800 -i "$hour" -c copy "$out/ff.mp3"

bench cp cp "$hour" "$out/copy.mp3"
rss cp cp "$hour" "$out/copy.mp3"
# The export waits for its file to reach the disk before it takes the target's name; a copy that
# waits too is its fair peer.
bench dd_fsync dd "if=$hour" "of=$out/dd.mp3" bs=1M conv=fsync status=none
rss dd_fsync dd "if=$hour" "of=$out/dd.mp3" bs=1M conv=fsync status=none
bench whole_export "$cli" export "$hour" "$out/whole.mp3" --raw
rss whole_export "$cli" export "$hour" "$out/whole.mp3" --raw
# The same frames as a range: the export then waits for the whole scan before it copies.
bench whole_after_scan "$cli" export "$hour" "$out/after.mp3" --range "0-$((total_frames - 1))" --raw
rss whole_after_scan "$cli" export "$hour" "$out/after.mp3" --range "0-$((total_frames - 1))" --raw
bench_new cp_new "$out/new_copy.mp3" cp "$hour" "$out/new_copy.mp3"
bench_new dd_fsync_new "$out/new_dd.mp3" dd "if=$hour" "of=$out/new_dd.mp3" bs=1M conv=fsync \
    status=none
bench_new whole_export_new "$out/new_whole.mp3" "$cli" export "$hour" "$out/new_whole.mp3" --raw

if [[ -n "$dialog" ]]; then
    export QT_QPA_PLATFORM=offscreen
    bench dialog_scan "$dialog" "$hour"
    rss dialog_scan "$dialog" "$hour"
    dialog_text="$("$dialog" "$hour" 2>/dev/null || true)"
fi

# Sanity: the outputs are what they claim to be, so the timings compare like with like.
range_frames=$((range_last - range_first + 1))
"$cli" scan "$hour" --no-index | grep -q "^Frames: $total_frames " ||
    echo "bench: WARNING the scan did not find all $total_frames frames" >&2
[[ "$(stat -c %s "$out/whole.mp3")" == "$(stat -c %s "$hour")" ]] ||
    echo "bench: WARNING whole export differs in size from the source" >&2
cmp -s "$out/whole.mp3" "$out/after.mp3" ||
    echo "bench: WARNING copying while scanning wrote other bytes than scanning first" >&2
"$cli" scan "$out/range.mp3" --no-index | grep -q "^Frames: $range_frames " ||
    echo "bench: WARNING the range export does not hold $range_frames frames" >&2
ffmpeg -nostdin -v error -i "$out/range.mp3" -f null - ||
    echo "bench: WARNING the range export does not decode" >&2

player_text=""
dialog_text="${dialog_text:-}"
if [[ -n "$player" ]]; then
    player_text="$("$player" "$hour" 2>/dev/null || true)"
elif [[ -x "$root/bench/player_bench.sh" ]]; then
    player_text="$("$root/bench/player_bench.sh" "$hour" 2>/dev/null || true)"
fi

rm -rf "$sections"
mkdir -p "$sections"
python3 - "$json" "$sections" "$hour" "$total_frames" "$range_first" "$range_last" \
    "$range_frames" "$runs" "$player_text" "$load_at_start" "$dialog_text" <<'PY'
import json, os, platform, subprocess, sys, datetime
jdir, sections, hour, total, first, last, range_frames, runs, player, load, dialog = sys.argv[1:12]

def median_ms(name):
    path = os.path.join(jdir, name + ".json")
    if not os.path.exists(path):
        return None
    return json.load(open(path))["results"][0]["median"] * 1000.0

def cpu_ms(name):
    path = os.path.join(jdir, name + ".json")
    if not os.path.exists(path):
        return None
    result = json.load(open(path))["results"][0]
    return (result["user"] + result["system"]) * 1000.0

def rss_mib(name):
    path = os.path.join(jdir, name + ".rss")
    try:
        return int(open(path).read().strip()) / 1024.0
    except (OSError, ValueError):
        return None

def cpu_model():
    for line in open("/proc/cpuinfo"):
        if line.startswith("model name"):
            return line.split(":", 1)[1].strip()
    return platform.processor() or "unknown"

def os_name():
    try:
        for line in open("/etc/os-release"):
            if line.startswith("PRETTY_NAME="):
                return line.split("=", 1)[1].strip().strip('"')
    except OSError:
        pass
    return platform.system()

rows = [
    ("Scan (index of every frame)", "cat", [
        ("`cat FILE`", "cat"),
        ("`slicewell-cli --version` (process start-up alone, no scan)", "startup"),
        ("`slicewell-cli scan FILE --index x.m3i`", "scan"),
        ("`mp3val FILE`", "mp3val"),
        ("`ffprobe -count_packets` (nb_read_packets)", "ffprobe"),
        ("`scan_dialog_bench FILE` (scan behind the progress window, offscreen)", "dialog_scan"),
    ]),
    ("Export minutes 20-30 (frames %s-%s, scan included)" % (first, last), "mp3splt", [
        ("`slicewell-cli export FILE OUT --range %s-%s --raw`" % (first, last), "range_export"),
        ("`mp3splt -f FILE 20.00 30.00`", "mp3splt"),
        ("`ffmpeg -ss 1200 -to 1800 -i FILE -c copy OUT`", "ffmpeg_copy"),
    ]),
    ("Export of the whole file over an existing OUT (scan included)", "cp", [
        ("`cp FILE OUT`", "cp"),
        ("`dd if=FILE of=OUT bs=1M conv=fsync` (waits for the disk, as the export does)",
         "dd_fsync"),
        ("`slicewell-cli export FILE OUT --raw` (copies while it scans)", "whole_export"),
        ("`slicewell-cli export FILE OUT --range 0-%d --raw` (scans, then copies)" % (int(total) - 1),
         "whole_after_scan"),
    ]),
    ("Export of the whole file to a new OUT (removed before every run, scan included)", "cp_new", [
        ("`cp FILE OUT`", "cp_new"),
        ("`dd if=FILE of=OUT bs=1M conv=fsync`", "dd_fsync_new"),
        ("`slicewell-cli export FILE OUT --raw`", "whole_export_new"),
    ]),
]

lines = []
lines.append("Made by `bench/run.sh` on %s." % datetime.date.today().isoformat())
lines.append("Machine: %s, %d cores (`nproc`), %s, Linux %s; load average %s when the "
             "measurements started.\n" % (cpu_model(), os.cpu_count(), os_name(),
                                          platform.release(), load))
size = os.path.getsize(hour)
lines.append("Input: one hour of MPEG-1 Layer III, 128 kbit/s CBR, 44.1 kHz stereo, %d frames, "
             "%.1f MB (`bench/work/hour_128k.mp3`, made by the script from lame output). "
             "Warm cache: hyperfine `--warmup 3 --runs %s -N --output=null`; medians. "
             "CPU ms: mean user + system time per run, which other load on the machine disturbs "
             "less than the wall-clock median. "
             "Peak memory: maximum resident set size of one run under `/usr/bin/time -v`.\n"
             % (int(total), size / 1e6, runs))
results = {}
for title, base, tools in rows:
    lines.append("## %s\n" % title)
    lines.append("| tool | median ms | ratio to %s | CPU ms | max RSS MiB |"
                 % base.replace("_new", ""))
    lines.append("|---|---:|---:|---:|---:|")
    base_ms = median_ms(base)
    for label, key in tools:
        ms = median_ms(key)
        if ms is None:
            continue
        results[key] = ms
        ratio = "%.2f" % (ms / base_ms) if base_ms else "-"
        mem = rss_mib(key)
        lines.append("| %s | %.1f | %s | %.1f | %s |" % (
            label, ms, ratio, cpu_ms(key), "%.1f" % mem if mem is not None else "-"))
    if title.startswith("Scan") and dialog.strip():
        lines.append("")
        lines.append("`scan_dialog_bench`'s own timing, in one process after Qt's start-up: %s"
                     % dialog.strip())
    lines.append("")

def check(text, ok):
    return "| %s | %s |" % (text, "met" if ok else "**missed**")

lines.append("## Targets\n")
lines.append("| target | result |")
lines.append("|---|---|")
r = results
if "scan" in r and "cat" in r:
    lines.append(check("scan <= 1.5 x cat (%.2f x)" % (r["scan"] / r["cat"]),
                       r["scan"] <= 1.5 * r["cat"]))
if "range_export" in r and "mp3splt" in r:
    lines.append(check("range export <= 0.5 x mp3splt -f (%.2f x)" % (r["range_export"] / r["mp3splt"]),
                       r["range_export"] <= 0.5 * r["mp3splt"]))
if "whole_export" in r and "cp" in r:
    lines.append(check("whole export <= 1.2 x cp, over an existing file (%.2f x)"
                       % (r["whole_export"] / r["cp"]), r["whole_export"] <= 1.2 * r["cp"]))
if "whole_export_new" in r and "cp_new" in r:
    lines.append(check("whole export <= 1.2 x cp, to a new file (%.2f x)"
                       % (r["whole_export_new"] / r["cp_new"]),
                       r["whole_export_new"] <= 1.2 * r["cp_new"]))
if "whole_export" in r and "dd_fsync" in r:
    lines.append(check("whole export <= 1.2 x dd conv=fsync, over an existing file (%.2f x)"
                       % (r["whole_export"] / r["dd_fsync"]),
                       r["whole_export"] <= 1.2 * r["dd_fsync"]))
scan_rss = rss_mib("scan")
if scan_rss is not None:
    lines.append(check("scan peak memory <= 8 MiB (%.1f MiB)" % scan_rss, scan_rss <= 8.0))
import re
m = re.search(r"ratio ([0-9.]+)", dialog)
if m:
    ratio = float(m.group(1))
    lines.append(check("scan behind the progress window <= 1.2 x the same scan without it "
                       "(%.2f x, in one process)" % ratio, ratio <= 1.2))
lines.append("")
text = "\n".join(lines)
open(os.path.join(sections, "scan-export.md"), "w").write(text)
print(text)
# Without the player's figures this run leaves the last ones on the page.
if player.strip():
    player_text = "\n".join([
        "## Player\n",
        "`player_bench FILE` on the same file (its own table):\n",
        player.strip(), ""])
    open(os.path.join(sections, "player.md"), "w").write(player_text)
    print(player_text)
PY
python3 "$root/bench/page_section.py" scan-export <"$sections/scan-export.md"
if [[ -s "$sections/player.md" ]]; then
    python3 "$root/bench/page_section.py" player <"$sections/player.md"
fi
if ((export_only)); then
    exit 0
fi

# The other benchmarks write their own sections. The auto-cut search times mp3splt's silence
# split, which decodes, so it runs its peer only a few times.
SW_BENCH_BUILD="${SW_BENCH_BUILD:-$root/build-bench-core}" "$root/bench/autocut.sh"
# The command line's auto-cut, split and project commands, on the same core build.
SW_BENCH_BUILD="${SW_BENCH_BUILD:-$root/build-bench-core}" "$root/bench/documents.sh"
# Thousands of sources in one bin, through the command line's playlist command.
SW_BENCH_BUILD="${SW_BENCH_BUILD:-$root/build-bench-core}" "$root/bench/many_sources.sh"
# Clean cuts: how pieces sound against the peers, and what they cost against the plain copy.
SW_BENCH_BUILD="${SW_BENCH_BUILD:-$root/build-bench-core}" "$root/bench/clean_cuts.sh"
# The windowed program's start to its first painted main window, under Xvfb.
"$root/bench/startup.sh"
# The cutter window plays on a private sound server of its own.
"$root/bench/cutter.sh" || echo "bench: WARNING the cutter benchmark failed" >&2
# The project bin's import and the cue list window under 10,000 cues.
"$root/bench/project_windows.sh" || echo "bench: WARNING the project windows benchmark failed" >&2
# The auto-cut dialog's search against the command line's.
"$root/bench/autocut_dialog.sh" || echo "bench: WARNING the auto-cut dialog benchmark failed" >&2
# The waveform's levels of the one-hour file against mpg123's decode of it.
"$root/bench/waveform.sh" || echo "bench: WARNING the waveform benchmark failed" >&2
