#!/bin/sh
# Builds the fuzz targets into build-fuzz and runs each for the given number of seconds,
# starting from a small seed corpus made on the spot. Prints the executions of every target;
# exits non-zero when a target found a crash, a leak or a sanitizer report (the input that
# caused it is kept in build-fuzz/work/artifacts).
#   fuzz/run.sh [SECONDS]   (default 20)
set -eu

seconds=${1:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
work="$build/work"

cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DSLICEWELL_CORE_ONLY=ON \
    -DSLICEWELL_BUILD_TESTS=OFF \
    -DSLICEWELL_FUZZ=ON >/dev/null
ninja -C "$build" fuzz_scan fuzz_id3 fuzz_load_cut_object fuzz_cue_file fuzz_cue_sheet \
    fuzz_playlist fuzz_project_file fuzz_wave_file fuzz_update_record fuzz_message_box \
    fuzz_coarse_level fuzz_seeds >/dev/null

rm -rf "$work"
mkdir -p "$work/seeds" "$work/artifacts"
"$build/fuzz/fuzz_seeds" "$work/seeds"

status=0
for target in scan id3 load_cut_object cue_file cue_sheet playlist project_file wave_file \
    update_record message_box coarse_level; do
    corpus="$work/corpus/$target"
    mkdir -p "$corpus"
    # A target without seeds starts from nothing; libFuzzer finds its way from there.
    if [ -d "$work/seeds/$target" ]; then
        cp "$work/seeds/$target"/* "$corpus/"
    fi
    log="$work/$target.log"
    if "$build/fuzz/fuzz_$target" "$corpus" \
        -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$work/artifacts/$target-" >"$log" 2>&1; then
        result=ok
    else
        result=FAILED
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    echo "fuzz_$target: ${runs:-?} executions in ${seconds} s, $result"
    if [ "$result" = FAILED ]; then
        grep -E "ERROR|SUMMARY|runtime error|deadly signal" "$log" | head -n 5 || true
        echo "  log: $log"
    fi
done
exit $status
