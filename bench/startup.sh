#!/usr/bin/env bash
# Times the start of slicewell to its first painted main window on a private Xvfb display, with
# the splash off, and writes the "startup" section of docs/benchmarks.md through
# bench/page_section.py. The program reports the moment its first paint is done when
# SLICEWELL_FIRST_PAINT asks for it ("quit" also ends it there); the time counts from just
# before the process is spawned, so loading the program and its libraries is included.
#   bench/startup.sh [--quick]
#   --quick  5 runs instead of 30
# SW_BENCH_GUI_BUILD names the build folder (default build-bench, a Release build made here).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/bench/lib.sh"
build="${SW_BENCH_GUI_BUILD:-$root/build-bench}"
runs="$(bench_runs 5 "$@")"
bench_require Xvfb python3 cmake ninja

if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSLICEWELL_BUILD_TESTS=OFF \
        >/dev/null
fi
ninja -C "$build" -j2 slicewell >/dev/null
program="$build/app/slicewell"
build_type="$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")"

section="$(python3 - "$program" "$runs" "${build_type:-RelWithDebInfo}" <<'PY'
import os, shutil, statistics, subprocess, sys, tempfile, time

program, runs, build_type = sys.argv[1], int(sys.argv[2]), sys.argv[3]
root = tempfile.mkdtemp(prefix="sw-startup-")
read_fd, write_fd = os.pipe()
xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x800x24",
                         "-nolisten", "tcp", "-noreset"], pass_fds=(write_fd,),
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
os.close(write_fd)
with os.fdopen(read_fd) as pipe:
    display = ":" + pipe.readline().strip()
try:
    home = os.path.join(root, "home")
    runtime = os.path.join(root, "runtime")
    os.makedirs(os.path.join(home, ".config", "Harrowlight"))
    os.makedirs(runtime, mode=0o700)
    with open(os.path.join(home, ".config", "Harrowlight", "Slicewell.conf"), "w") as store:
        store.write("[General]\nSplashDelay=0\n")
    env = {k: v for k, v in os.environ.items()
           if k not in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY")}
    env.update({"DISPLAY": display, "HOME": home, "XDG_RUNTIME_DIR": runtime,
                "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
                "SLICEWELL_FIRST_PAINT": "quit"})

    def once():
        start = time.time_ns()
        done = subprocess.run([program], env=env, capture_output=True, text=True, timeout=60)
        for line in done.stdout.splitlines():
            if line.startswith("first paint "):
                return (int(line.split()[2]) - start) / 1e6
        raise SystemExit("slicewell reported no first paint: " + done.stderr.strip())

    first = once()  # the very first start also writes the desktop files
    for _ in range(2):
        once()  # warm the page cache
    times = [once() for _ in range(runs)]
finally:
    xvfb.terminate()
    xvfb.wait()
    shutil.rmtree(root, ignore_errors=True)

median = statistics.median(times)
load = " ".join(open("/proc/loadavg").read().split()[:3])
print("## Start-up to the first painted main window\n")
print("`bench/startup.sh`: `slicewell` (%s build) on a private Xvfb display (1280x800), private"
      % build_type)
print("home and XDG folders, \"SplashDelay\" 0, no file on the command line. From just before")
print("the process is spawned to the end of the main window's first paint, which the program")
print("reports when `SLICEWELL_FIRST_PAINT` is set. %d runs after three unmeasured ones; load"
      % runs)
print("average %s at the end.\n" % load)
print("| start | ms |")
print("|---|---:|")
print("| very first start (desktop files written, databases refreshed) | %.0f |" % first)
print("| later starts, median (min-max) | %.0f (%.0f-%.0f) |" % (median, min(times), max(times)))
print("\n| target | result |")
print("|---|---|")
print("| first painted main window <= 300 ms (%.0f ms) | %s |"
      % (median, "met" if median <= 300 else "**missed**"))
PY
)"
echo "$section"
python3 "$root/bench/page_section.py" startup <<<"$section"
