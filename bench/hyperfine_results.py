"""Reads what a benchmark script left in its results folder: hyperfine's JSON export
(NAME.json) and the peak memory /usr/bin/time measured (NAME.rss, in KiB). Imported by the
scripts' report steps, so each reads the figures the same way."""
import json
import os


def timing(folder, name):
    """(median wall ms, CPU ms) of NAME's runs, or (None, None) when it was not measured."""
    path = os.path.join(folder, name + ".json")
    if not os.path.exists(path):
        return None, None
    with open(path) as stream:
        result = json.load(stream)["results"][0]
    return result["median"] * 1000.0, (result["user"] + result["system"]) * 1000.0


def peak_memory_mib(folder, name):
    """NAME's peak resident memory in MiB, or None when it was not measured."""
    try:
        with open(os.path.join(folder, name + ".rss")) as stream:
            return int(stream.read().strip()) / 1024.0
    except (OSError, ValueError):
        return None
