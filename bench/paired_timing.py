#!/usr/bin/env python3
"""Times two commands against each other, their runs taken in turns.

    paired_timing.py OUT.json RUNS NAME_A NAME_B -- COMMAND_A... -- COMMAND_B...

On a machine shared with other work, hyperfine's "all runs of one, then all of the other" lets a
change of load, or the disk's write-back of what the first command wrote, fall on one side
only: two exports of 57 MB each, 33 runs in a row, measured 1.7 times apart although they cost
the same CPU time within 9 %. Here every run starts after `sync` (not timed), so no run pays for
an earlier one's writing, and the commands take turns, so a change of load falls on both.
Writes {NAME: {"median_ms", "cpu_ms"}} (wall-clock median; mean user + system time).
"""
import json
import os
import statistics
import subprocess
import sys
import time


def one_run(command):
    subprocess.run(["sync"], check=True)
    before = os.times()
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    after = os.times()
    cpu = (after.children_user - before.children_user) + (after.children_system -
                                                            before.children_system)
    return wall * 1000.0, cpu * 1000.0


def main():
    out, runs, name_a, name_b = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
    rest = sys.argv[5:]
    split = [i for i, arg in enumerate(rest) if arg == "--"]
    if len(split) != 2 or split[0] != 0:
        print(__doc__, file=sys.stderr)
        return 2
    commands = {name_a: rest[1:split[1]], name_b: rest[split[1] + 1:]}
    samples = {name: [] for name in commands}
    for name, command in commands.items():  # one warm-up each
        one_run(command)
    for _ in range(runs):
        for name, command in commands.items():
            samples[name].append(one_run(command))
    json.dump({name: {"median_ms": statistics.median(w for w, _ in values),
                      "cpu_ms": statistics.mean(c for _, c in values)}
               for name, values in samples.items()}, open(out, "w"), indent=1)
    return 0


if __name__ == "__main__":
    sys.exit(main())
