# Shared by the benchmark scripts (sourced, not run).

# bench_build DIR TARGET [CMAKE ARGS...]: configures DIR as a Release build without tests, builds
# TARGET and prints the path of its executable. What cmake and ninja say goes to
# bench/work/cmake_TARGET.txt.
bench_build() {
    local dir="$1" target="$2"
    shift 2
    local log="$root/bench/work/cmake_$target.txt"
    mkdir -p "$root/bench/work"
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSLICEWELL_BUILD_TESTS=OFF \
        "$@" >"$log" 2>&1 || { cat "$log" >&2; return 1; }
    ninja -C "$dir" "$target" >>"$log" 2>&1 || { tail -30 "$log" >&2; return 1; }
    local binary
    binary="$(find "$dir" -name "$target" -type f -perm -u+x | head -1)"
    [[ -x "$binary" ]] || { echo "bench: $target was not built" >&2; return 1; }
    printf '%s\n' "$binary"
}

# bench_section NAME: stdin becomes the page's section NAME (docs/benchmarks.md), the rest of the
# page staying as it is.
bench_section() {
    python3 "$root/bench/page_section.py" "$1"
}

# bench_machine: one line naming the machine and its load, for a section's text.
bench_machine() {
    local cpu
    cpu="$(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo)"
    printf '%s, %s cores (`nproc`), Linux %s; load average %s at the start\n' \
        "${cpu:-unknown}" "$(nproc)" "$(uname -r)" "$(cut -d' ' -f1-3 /proc/loadavg)"
}

# bench_runs QUICK_RUNS [ARG]: prints 30, or QUICK_RUNS for --quick; anything else is a usage
# error that ends the script.
bench_runs() {
    case "${2:-}" in
        --quick) echo "$1" ;;
        "") echo 30 ;;
        *) echo "usage: $(basename "$0") [--quick]" >&2; exit 2 ;;
    esac
}

# bench_require TOOL...: ends the script unless every tool is installed.
bench_require() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "bench: $tool is not installed" >&2; exit 1; }
    done
}
