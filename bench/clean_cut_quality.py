#!/usr/bin/env python3
"""How cut pieces sound, side by side: the same ranges of a few files cut by `mp3splt -f`,
`ffmpeg -c copy`, `slicewell-cli export --raw` and the clean `slicewell-cli export`, each piece
decoded by ffmpeg and mpg123 and compared with the source decoded whole over the frames the piece
holds (found by their bytes, whatever the tool chose).

    clean_cut_quality.py SLICEWELL_CLI WORKDIR OUT.json [--ranges N]

Per tool: the share of pieces that decode sample-exact (ffmpeg to the sample, mpg123 within one
step), the worst error in the first 100 ms (of full scale, ffmpeg), and the worst difference
between the length ffprobe reports and the length of the audio frames the piece holds.
The decoding and frame reading are tests/corpus/clean_cut_check.py's.
"""
import json
import random
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "corpus"))
from clean_cut_check import (Stream, decode_ffmpeg, decode_mpg123, probed_seconds,  # noqa: E402
                             worst_step)

FILES = [
    ("lame_cbr128_tagged", ["lame", "--quiet", "-b", "128", "--cbr"]),
    ("lame_vbr_v2", ["lame", "--quiet", "-V", "2"]),
    ("lame_cbr192_untagged", ["lame", "--quiet", "-t", "-b", "192", "--cbr"]),
    ("lame_mpeg2_22k_64", ["lame", "--quiet", "--resample", "22.05", "-b", "64"]),
    ("shine_128", ["shineenc", "-q", "-b", "128"]),
]
TOOLS = ["mp3splt -f", "ffmpeg -c copy", "slicewell-cli --raw", "slicewell-cli (clean)"]


def make_files(work):
    """Forty seconds: tones that swell and fade over noise, then speech, three times over."""
    work.mkdir(parents=True, exist_ok=True)
    source = work / "music.wav"
    if not source.exists():
        parts = []
        for n in range(3):
            part = work / f"part{n}.wav"
            subprocess.run(["sox", "-R", "-q", "-n", "-r", "44100", "-c", "2", "-b", "16",
                            str(part), "synth", "9", "sine", f"{180 + 60 * n}-{1400 + 200 * n}",
                            "sine", "440", "pinknoise", "tremolo", str(1 + n), "70", "gain",
                            "-10"], check=True)
            said = work / f"said{n}.wav"
            subprocess.run(["espeak-ng", "-w", str(said), "A clean cut plays exactly its frames."
                            f" Part {n + 1}."], check=True)
            spoken = work / f"spoken{n}.wav"
            subprocess.run(["sox", "-R", "-q", str(said), "-r", "44100", "-c", "2", str(spoken)],
                           check=True)
            parts += [str(part), str(spoken)]
        subprocess.run(["sox", "-R", "-q", *parts, str(source)], check=True)
    files = []
    for name, command in FILES:
        target = work / f"{name}.mp3"
        if not target.exists():
            subprocess.run(command + [str(source), str(target)], check=True, capture_output=True)
        files.append(target)
    return files


def frames_held(source, piece):
    """The source frames (first, last index numbers) a piece plays, found by their bytes: the
    run of the source's frames it ends with, less those its own gapless header skips (a clean
    piece's lead-in)."""
    if piece is None or len(piece.frames) <= piece.first_audio:
        return None
    last = None
    for index in range(len(source.frames) - 1, source.first_audio - 1, -1):
        if source.frame_bytes(index) == piece.frame_bytes(len(piece.frames) - 1):
            last = index
            break
    if last is None:
        return None
    first, k = last, len(piece.frames) - 2
    while k >= piece.first_audio and first - 1 >= source.first_audio and \
            piece.frame_bytes(k) == source.frame_bytes(first - 1):
        first, k = first - 1, k - 1
    before = k + 1 - piece.first_audio  # the piece's frames in front of the run
    skipped = piece.kept_begin // piece.spf
    return first + max(0, skipped - before), last


def seconds(frame, source):
    return max(frame - source.first_audio, 0) * source.spf / source.rate


def mp3splt_time(t):
    return "%d.%02d.%02d" % (int(t // 60), int(t % 60), int(round((t % 1) * 100)) % 100)


def cut(tool, cli, source, first, last, target):
    start, end = seconds(first, source), seconds(last + 1, source)
    if tool == "mp3splt -f":
        subprocess.run(["mp3splt", "-q", "-f", "-n", "-d", str(target.parent), "-o",
                        target.stem, str(source.path), mp3splt_time(start), mp3splt_time(end)],
                       capture_output=True)
    elif tool == "ffmpeg -c copy":
        subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-y", "-ss", "%.6f" % start, "-to",
                        "%.6f" % end, "-i", str(source.path), "-c", "copy", str(target)],
                       capture_output=True)
    else:
        extra = ["--raw"] if tool.endswith("--raw") else []
        subprocess.run([cli, "export", str(source.path), str(target), "--range",
                        f"{first}-{last}", *extra], capture_output=True)
    return Stream(target) if target.exists() and target.stat().st_size > 0 else None


def main():
    cli, work, out = sys.argv[1], Path(sys.argv[2]).resolve(), Path(sys.argv[3])
    count = int(sys.argv[sys.argv.index("--ranges") + 1]) if "--ranges" in sys.argv else 12
    files = make_files(work)
    results = {tool: {"pieces": 0, "exact": 0, "worst_start": 0.0, "worst_length_ms": 0.0}
               for tool in TOOLS}
    for path in files:
        source = Stream(path)
        whole_ff, _ = decode_ffmpeg(path)
        whole_mp = decode_mpg123(path)
        ch = source.channels
        rng = random.Random(path.stem)
        frames = len(source.frames)
        per_second = source.rate / source.spf
        for number in range(count):
            length = int(per_second * rng.uniform(1, 12))
            first = rng.randrange(int(per_second), frames - length - 1)
            last = first + length
            for tool in TOOLS:
                target = work / "pieces" / tool.split()[0].replace("-", "_") / \
                    f"{path.stem}_{number}{'_raw' if tool.endswith('raw') else ''}.mp3"
                target.parent.mkdir(parents=True, exist_ok=True)
                target.unlink(missing_ok=True)
                piece = cut(tool, cli, source, first, last, target)
                entry = results[tool]
                entry["pieces"] += 1
                held = frames_held(source, piece)
                if held is None:
                    entry["worst_start"] = 1.0
                    continue
                lo, hi = source.span(held[0], held[1])
                expected_ff, expected_mp = whole_ff[lo * ch:hi * ch], whole_mp[lo * ch:hi * ch]
                got_ff, got_mp = decode_ffmpeg(target)[0], decode_mpg123(target)
                step = worst_step(got_mp, expected_mp)
                if got_ff == expected_ff and step is not None and step <= 1:
                    entry["exact"] += 1
                # The first 100 ms of what plays, against what the source plays there.
                window = min(len(got_ff), len(expected_ff), source.rate // 10 * ch)
                start_error = max((abs(a - b) for a, b in
                                   zip(got_ff[:window], expected_ff[:window])), default=0)
                if len(got_ff) == 0 and len(expected_ff) > 0:
                    start_error = 32768
                entry["worst_start"] = max(entry["worst_start"], start_error / 32768.0)
                true_seconds = (len(piece.frames) - piece.first_audio) * piece.spf / piece.rate
                probed = probed_seconds(target)
                error_ms = abs(probed - true_seconds) * 1000 if probed is not None else 1e9
                entry["worst_length_ms"] = max(entry["worst_length_ms"], error_ms)
    json.dump({"files": [p.stem for p in files], "ranges": count, "tools": results},
              open(out, "w"), indent=1)
    return 0


if __name__ == "__main__":
    sys.exit(main())
