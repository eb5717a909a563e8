#!/usr/bin/env python3
"""Checks clean cuts from outside, by ear as far as a program can listen: real encoder output of
every kind this machine can make, cut by `slicewell-cli export` at seeded random ranges (the first
frame, the last, a single one and the whole file among them), decoded by ffmpeg and mpg123 and
compared with the source decoded whole:

- ffmpeg decodes each piece to exactly the samples it decodes the source to over those frames;
- mpg123 does the same within one step (its synthesis rounds by where decoding began);
- ffprobe reports the length of the audio frames the piece holds;
- the piece ends with the source's frames, byte for byte;
- the pieces of a split, decoded one by one and put end to end, give the source's decode;
- a WAV piece says how many samples its frames hold;
- in a project export that joins cues, every frame's main data, rebuilt through the bit
  reservoir from side information, is the main data of its source frame; joins of different
  streams are warned about.

Layer II has no reservoir and no gapless convention: its pieces are the plain frames, and the
decoders agree with the source once their synthesis filter has filled (512 samples).

Everything here (frame walk, side information, reservoir, the LAME tag) is a second, plain
implementation, independent of the program's.

usage: clean_cut_check.py SLICEWELL_CLI WORKDIR [--seed N]
"""
import array
import concurrent.futures
import hashlib
import os
import random
import shutil
import struct
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import corpus_tool  # noqa: E402  (its header tables, independent of the program's)

DECODER_DELAY = 529
WARM_UP = 512  # Layer II: samples before the synthesis filter holds only the piece's own data

# name, encoder command (IN and OUT replaced), source wav
ENCODES = [
    ("lame_cbr128", ["lame", "-b", "128", "--cbr"], "stereo44"),
    ("lame_cbr320", ["lame", "-b", "320", "--cbr"], "stereo44"),
    ("lame_cbr32_mono", ["lame", "-m", "m", "-b", "32", "--cbr"], "stereo44"),
    ("lame_vbr_v0", ["lame", "-V", "0"], "stereo44"),
    ("lame_vbr_v7", ["lame", "-V", "7"], "stereo44"),
    ("lame_abr96", ["lame", "--abr", "96"], "stereo44"),
    ("lame_crc", ["lame", "-p", "-b", "160", "--cbr"], "stereo44"),
    ("lame_notag", ["lame", "-t", "-b", "128", "--cbr"], "stereo44"),
    ("lame_notag_vbr", ["lame", "-t", "-V", "5"], "stereo44"),
    ("lame_48k", ["lame", "--resample", "48", "-b", "192"], "stereo44"),
    ("lame_32k_crc", ["lame", "-p", "--resample", "32", "-V", "4"], "stereo44"),
    ("lame_mpeg2_22k", ["lame", "--resample", "22.05", "-b", "64"], "stereo44"),
    ("lame_mpeg2_16k_mono_vbr", ["lame", "-m", "m", "--resample", "16", "-V", "6"], "stereo44"),
    ("lame_mpeg2_24k_notag", ["lame", "-t", "--resample", "24", "-b", "48"], "stereo44"),
    ("lame_mpeg25_8k_mono", ["lame", "-m", "m", "--resample", "8", "-b", "8"], "stereo44"),
    ("lame_mpeg25_11k_crc", ["lame", "-p", "--resample", "11.025", "-b", "32"], "stereo44"),
    ("shine_128", ["shineenc", "-q", "-b", "128"], "stereo44"),
    ("shine_mpeg2_mono", ["shineenc", "-q", "-b", "32"], "mono22"),
    ("ffmpeg_lame_cbr", ["ffmpeg", "-c:a", "libmp3lame", "-b:a", "128k"], "stereo44"),
    ("ffmpeg_lame_vbr", ["ffmpeg", "-c:a", "libmp3lame", "-q:a", "4"], "stereo44"),
    ("twolame_192", ["twolame", "--quiet", "-b", "192"], "stereo44"),
]


# --- Frames ------------------------------------------------------------------------------------

def parse_header(b, pos):
    """corpus_tool's header, with the samples a frame decodes to and the channel mode."""
    h = corpus_tool.parse_header(b, pos)
    if h is not None:
        h["spf"] = 384 if h["layer"] == 1 else 1152 if (h["layer"] == 2 or h["version"] == 1) \
            else 576
        h["mode"] = b[pos + 3] >> 6
    return h


def walk(b):
    """(offset, header) of the frames chained from the first header after any ID3v2 tag, up to
    the first non-frame (an ID3v1 tag, the end)."""
    pos = 0
    if b[:3] == b"ID3":
        size = 0
        for x in b[6:10]:
            size = (size << 7) | x
        pos = 10 + size + (10 if b[5] & 0x10 else 0)
    while pos < len(b) - 4 and parse_header(b, pos) is None:
        pos += 1
    frames = []
    while True:
        h = parse_header(b, pos)
        if h is None or pos + h["length"] > len(b):
            return frames
        frames.append((pos, h))
        pos += h["length"]


def side_size(h):
    if h["version"] == 1:
        return 17 if h["mono"] else 32
    return 9 if h["mono"] else 17


def side_info(b, pos, h):
    """(main_data_begin, part2_3_length summed, side information bytes)."""
    start = pos + 4 + (2 if h["crc"] else 0)
    bits = int.from_bytes(b[start:start + side_size(h)], "big")
    width = side_size(h) * 8
    at = 0

    def take(n):
        nonlocal at
        at += n
        return (bits >> (width - at)) & ((1 << n) - 1)

    channels = 1 if h["mono"] else 2
    if h["version"] == 1:
        begin = take(9)
        take(5 if channels == 1 else 3)
        take(4 * channels)
        granules = 2
    else:
        begin = take(8)
        take(1 if channels == 1 else 2)
        granules = 1
    total = 0
    for _ in range(granules * channels):
        total += take(12)
        take(9 + 8 + (4 if h["version"] == 1 else 9))
        take(1)  # window switching: either way 22 more bits of tables and counts
        take(22)
        take(3 if h["version"] == 1 else 2)
    return begin, total, b[start:start + side_size(h)]


def tag_frame(b, pos, h):
    """The summary frame's record: None, or {kind, frames, lame (36 bytes or None)}."""
    if h["layer"] != 3:
        return None
    for at in (pos + 4 + side_size(h), pos + 6 + side_size(h)):
        kind = b[at:at + 4]
        if kind in (b"Info", b"Xing"):
            flags = struct.unpack(">I", b[at + 4:at + 8])[0]
            cursor = at + 8
            frames = None
            if flags & 1:
                frames = struct.unpack(">I", b[cursor:cursor + 4])[0]
                cursor += 4
            cursor += (4 if flags & 2 else 0) + (100 if flags & 4 else 0) + (4 if flags & 8 else 0)
            lame = b[cursor:cursor + 36]
            return {"kind": kind.decode(), "frames": frames, "at": at,
                    "lame": lame if lame[:4] in (b"LAME", b"Lavf", b"Lavc") else None,
                    "lame_at": cursor}
    return None


class Stream:
    """A file as its frames, with what decoders make of its start and end."""

    def __init__(self, path):
        self.path = path
        self.bytes = Path(path).read_bytes()
        self.frames = walk(self.bytes)
        first = self.frames[0][1]
        self.tag = tag_frame(self.bytes, *self.frames[0])
        self.first_audio = 1 if self.tag else 0
        self.spf = first["spf"]
        self.rate = first["rate"]
        self.channels = 1 if first["mono"] else 2
        self.layer = first["layer"]
        audio = len(self.frames) - self.first_audio
        self.kept_begin, self.kept_end = 0, audio * self.spf
        if self.tag and self.tag["lame"]:
            gapless = int.from_bytes(self.tag["lame"][21:24], "big")
            self.kept_begin = (gapless >> 12) + DECODER_DELAY
            self.kept_end = audio * self.spf - (gapless & 0xFFF) + DECODER_DELAY

    def frame_bytes(self, index):
        pos, h = self.frames[index]
        return self.bytes[pos:pos + h["length"]]

    def span(self, first, last):
        """Samples of the whole decode that frames first..last (index numbers) stand for."""
        first = max(first, self.first_audio) - self.first_audio
        last -= self.first_audio
        lo = max(first * self.spf - self.kept_begin, 0)
        hi = max(min((last + 1) * self.spf, self.kept_end) - self.kept_begin, lo)
        return lo, hi

    def main_data(self):
        """Each frame's main data rebuilt through the reservoir, None where it lies before the
        stream or for a frame that is not Layer III."""
        reservoir = bytearray()
        result = []
        for pos, h in self.frames:
            if h["layer"] != 3:
                result.append(None)
                continue
            begin, bits, _ = side_info(self.bytes, pos, h)
            area = pos + 4 + (2 if h["crc"] else 0) + side_size(h)
            start = len(reservoir) - begin
            reservoir += self.bytes[area:pos + h["length"]]
            result.append(None if start < 0 else bytes(reservoir[start:start + (bits + 7) // 8]))
        return result


# --- Tools -------------------------------------------------------------------------------------

def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, **kwargs)


def decode_ffmpeg(path):
    r = run(["ffmpeg", "-nostdin", "-v", "error", "-i", str(path), "-f", "s16le", "-"])
    samples = array.array("h")
    samples.frombytes(r.stdout)
    return samples, r.stderr.decode(errors="replace").strip()


def decode_mpg123(path):
    r = run(["mpg123", "-q", "-s", str(path)])
    samples = array.array("h")
    samples.frombytes(r.stdout)
    return samples


def probed_seconds(path):
    r = run(["ffprobe", "-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0",
             str(path)], text=True)
    try:
        return float(r.stdout.strip())
    except ValueError:
        return None


def worst_step(a, b):
    if len(a) != len(b):
        return None
    if a == b:
        return 0
    return max(abs(x - y) for x, y in zip(a, b))


# --- The corpus --------------------------------------------------------------------------------

def make_sources(work):
    """Four seconds of swept tones over noise that comes and goes, then speech: a changing
    bitrate and a busy reservoir."""
    noise = work / "noise.wav"
    speech = work / "speech.wav"
    subprocess.run(["sox", "-R", "-q", "-n", "-r", "44100", "-c", "2", "-b", "16", str(noise),
                    "synth", "2.5", "sine", "220-1760", "pinknoise", "tremolo", "2", "90",
                    "gain", "-9"], check=True)
    subprocess.run(["espeak-ng", "-w", str(work / "said.wav"),
                    "Every piece plays exactly its frames, from the first to the last."],
                   check=True)
    subprocess.run(["sox", "-R", "-q", str(work / "said.wav"), "-r", "44100", "-c", "2",
                    str(speech), "trim", "0", "1.8"], check=True)
    subprocess.run(["sox", "-R", "-q", str(noise), str(speech), str(work / "stereo44.wav")],
                   check=True)
    subprocess.run(["sox", "-R", "-q", str(work / "stereo44.wav"), "-r", "22050", "-c", "1",
                    str(work / "mono22.wav")], check=True)


def make_corpus(work):
    stamp = hashlib.sha256(Path(__file__).read_bytes()).hexdigest()[:16]
    done = work / ".stamp"
    if done.exists() and done.read_text() == stamp:
        return
    if work.exists():
        shutil.rmtree(work)
    work.mkdir(parents=True)
    make_sources(work)
    for name, command, source in ENCODES:
        if shutil.which(command[0]) is None:
            print(f"clean-cut check: {command[0]} is not installed; {name} left out")
            continue
        wav, out = str(work / f"{source}.wav"), str(work / f"{name}.mp3")
        if command[0] == "ffmpeg":
            args = ["ffmpeg", "-nostdin", "-v", "error", "-y", "-i", wav] + command[1:] + [out]
        elif command[0] == "lame":
            args = command[:1] + ["--quiet", "--nohist"] + command[1:] + [wav, out]
        else:
            args = command + [wav, out]
        subprocess.run(args, check=True, capture_output=True)
    done.write_text(stamp)


# --- Checks ------------------------------------------------------------------------------------

class Checker:
    def __init__(self, cli, work, seed):
        self.cli, self.work, self.seed = cli, work, seed
        self.pieces = 0

    def export(self, source, target, first, last, extra=()):
        r = run([self.cli, "export", str(source), str(target), "--range", f"{first}-{last}",
                 *extra], text=True)
        return r.returncode, r.stderr

    def check_file(self, path):
        failures = []
        source = Stream(path)
        name = path.stem
        whole_ff, errors = decode_ffmpeg(path)
        whole_mp = decode_mpg123(path)
        # A frame cut short at the end (shine writes one) is decoded but never exported: the
        # source's decode is that of its whole frames.
        end = source.span(0, len(source.frames) - 1)[1] * source.channels
        if errors and len(whole_ff) <= end:
            failures.append(f"{name}: ffmpeg complains about the source: {errors}")
        whole_ff, whole_mp = whole_ff[:end], whole_mp[:end]
        count = len(source.frames)
        rng = random.Random(f"{self.seed}:{name}")
        ranges = [(0, rng.randrange(count)), (0, 0), (0, 1), (count - 1, count - 1),
                  (rng.randrange(count), count - 1), (count // 2, count // 2), (0, count - 1)]
        for _ in range(2):
            a, b = rng.randrange(count), rng.randrange(count)
            ranges.append((min(a, b), max(a, b)))
        out = self.work / "out" / name
        out.mkdir(parents=True, exist_ok=True)
        for number, (first, last) in enumerate(ranges):
            failures += self.check_piece(source, whole_ff, whole_mp, first, last,
                                         out / f"piece{number}.mp3")
        cuts = sorted(rng.sample(range(1, count), min(3, count - 1)))
        failures += self.check_split(source, whole_ff, whole_mp, [0] + cuts + [count], out)
        failures += self.check_wave_and_raw(source, rng, out)
        return failures

    def check_piece(self, source, whole_ff, whole_mp, first, last, target):
        what = f"{source.path.stem} {first}-{last}"
        self.pieces += 1
        code, errors = self.export(source.path, target, first, last)
        if code != 0 or "warning" in errors:
            return [f"{what}: export said {code}: {errors.strip()}"]
        piece = Stream(target) if target.stat().st_size else None
        failures = []
        audio = list(range(max(first, source.first_audio), last + 1))
        ch = source.channels
        lo, hi = source.span(first, last)
        if source.layer != 3:
            plain = b"".join(source.frame_bytes(i) for i in range(first, last + 1))
            if piece is None or piece.bytes != plain:
                failures.append(f"{what}: a Layer {source.layer} piece is not its plain frames")
            if first == last:
                return failures  # one frame is no stream to either decoder, whatever it holds
            lo, hi = first * source.spf, (last + 1) * source.spf
            skip = 0 if first == 0 else WARM_UP
            for decoder, whole, samples in (
                    ("ffmpeg", whole_ff, decode_ffmpeg(target)[0]),
                    ("mpg123", whole_mp, decode_mpg123(target))):
                expected = whole[lo * ch:hi * ch]
                step = worst_step(samples[skip * ch:], expected[skip * ch:])
                if step is None or step > 1:
                    failures.append(f"{what}: {decoder} differs from the source after the "
                                    f"warm-up (worst {step})")
            return failures
        if not audio:
            if piece is not None:
                failures.append(f"{what}: a piece without audio frames is not empty")
            return failures
        if piece is None:
            return [f"{what}: the piece is empty"]
        if piece.tag is None or piece.tag["lame"] is None:
            failures.append(f"{what}: the piece has no header frame with a LAME extension")
        tail = b"".join(source.frame_bytes(i) for i in audio)
        if not piece.bytes.endswith(tail):
            failures.append(f"{what}: the piece does not end with the source's frames")
        samples, errors = decode_ffmpeg(target)
        if errors:
            failures.append(f"{what}: ffmpeg complains: {errors}")
        if samples != whole_ff[lo * ch:hi * ch]:
            failures.append(f"{what}: ffmpeg decodes {len(samples) // ch} samples, not the "
                            f"source's {hi - lo} from {lo}"
                            + ("" if len(samples) != (hi - lo) * ch else
                               f" (worst step {worst_step(samples, whole_ff[lo * ch:hi * ch])})"))
        step = worst_step(decode_mpg123(target), whole_mp[lo * ch:hi * ch])
        if step is None or step > 1:
            failures.append(f"{what}: mpg123 differs from the source's decode (worst {step})")
        held = (len(piece.frames) - piece.first_audio) * piece.spf / piece.rate
        probed = probed_seconds(target)
        if probed is None or abs(probed - held) > 0.0005:
            failures.append(f"{what}: ffprobe says {probed} s for {held:.6f} s of frames")
        return failures

    def check_split(self, source, whole_ff, whole_mp, bounds, out):
        """Consecutive pieces covering the file, each decoded on its own, put end to end."""
        if source.layer != 3:
            return []
        joined_ff, joined_mp = array.array("h"), array.array("h")
        for number in range(len(bounds) - 1):
            target = out / f"split{number}.mp3"
            first, last = bounds[number], bounds[number + 1] - 1
            code, errors = self.export(source.path, target, first, last)
            if code != 0:
                return [f"{source.path.stem}: split piece {first}-{last} said {code}: {errors}"]
            if target.stat().st_size:
                joined_ff += decode_ffmpeg(target)[0]
                joined_mp += decode_mpg123(target)
        failures = []
        if joined_ff != whole_ff:
            failures.append(f"{source.path.stem}: split at {bounds[1:-1]}, joined, is not the "
                            f"source's ffmpeg decode ({len(joined_ff)} of {len(whole_ff)})")
        step = worst_step(joined_mp, whole_mp)
        if step is None or step > 1:
            failures.append(f"{source.path.stem}: split, joined, is not the source's mpg123 "
                            f"decode (worst {step})")
        return failures

    def check_wave_and_raw(self, source, rng, out):
        count = len(source.frames)
        a, b = sorted((rng.randrange(count), rng.randrange(count)))
        failures = []
        code, errors = self.export(source.path, out / "piece.wav", 0, b)
        wave = (out / "piece.wav").read_bytes()
        audio = list(range(source.first_audio, b + 1))
        frames = b"".join(source.frame_bytes(i) for i in audio)
        samples = struct.unpack("<I", wave[58:62])[0] if len(wave) >= 70 else None
        if code != 0 or wave[70:] != frames or (audio and samples != len(audio) * source.spf):
            failures.append(f"{source.path.stem}: WAV 0-{b} holds {samples} samples for "
                            f"{len(audio)} frames, or other frames ({errors.strip()})")
        code, errors = self.export(source.path, out / "raw.mp3", a, b, ("--raw",))
        raw = b"".join(source.frame_bytes(i) for i in range(a, b + 1))
        if code != 0 or (out / "raw.mp3").read_bytes() != raw:
            failures.append(f"{source.path.stem}: --raw {a}-{b} is not the frames as they are")
        return failures

    def check_joins(self, streams):
        """Project exports joining cues of several files: the main data of every frame."""
        failures = []
        groups = [["lame_vbr_v0", "lame_cbr320", "lame_abr96", "lame_crc"],
                  ["lame_mpeg2_22k", "lame_mpeg2_22k"], ["lame_notag_vbr", "lame_48k"]]
        for number, group in enumerate(groups):
            members = [streams[n] for n in group if n in streams]
            if len(members) < 2:
                continue
            rng = random.Random(f"{self.seed}:join{number}")
            cues = []
            for index, stream in enumerate(members):
                count = len(stream.frames)
                a, b = sorted(rng.sample(range(stream.first_audio, count), 2))
                cue = self.work / "out" / f"join{number}_{index}.m3q"
                r = run([self.cli, "export", str(stream.path), str(cue), "--range", f"{a}-{b}",
                         "--name", f"cue{index}"], text=True)
                if r.returncode != 0:
                    failures.append(f"join {number}: cue file: {r.stderr}")
                cues.append((stream, a, b, cue))
            project = self.work / "out" / f"join{number}.m3p"
            target = self.work / "out" / f"join{number}.mp3"
            run([self.cli, "project", str(project), *[str(c[3]) for c in cues],
                 "--export-flags", "2", "--copyright"], check=True)
            r = run([self.cli, "export-project", str(project), str(target)], text=True)
            mismatched = "differ from the frames before them" in r.stderr
            formats = {(s.spf, s.rate, s.channels) for s, _, _, _ in cues}
            if r.returncode != 0 or mismatched != (len(formats) > 1):
                failures.append(f"join {number}: export-project said {r.returncode}, warned "
                                f"{mismatched} for {len(formats)} stream formats: {r.stderr}")
            elif len(formats) == 1:
                failures += self.compare_main_data(number, Stream(target), cues)
        return failures

    def compare_main_data(self, number, output, cues):
        failures = []
        expected = [(stream, i) for stream, a, b, _ in cues for i in range(a, b + 1)]
        audio = output.frames[output.first_audio:]
        prefix = len(audio) - len(expected)
        first_stream, first_frame = cues[0][0], cues[0][1]
        lead = min(first_frame - first_stream.first_audio, 1 if first_stream.spf == 1152 else 2)
        if prefix not in (lead, lead + 1):
            return [f"join {number}: {prefix} frames before the cues, not the lead-in of {lead}"]
        mapped = [None] * (prefix - lead) + \
            [(first_stream, first_frame - lead + k) for k in range(lead)] + expected
        rebuilt = output.main_data()[output.first_audio:]
        sources = {}
        for k, (pos, h) in enumerate(audio):
            if h["crc"]:
                _, _, side = side_info(output.bytes, pos, h)
                crc = 0xFFFF
                for byte in output.bytes[pos + 2:pos + 4] + side:
                    for bit in range(7, -1, -1):
                        top = (crc >> 15) & 1
                        crc = (crc << 1) & 0xFFFF
                        if top ^ ((byte >> bit) & 1):
                            crc ^= 0x8005
                if crc != struct.unpack(">H", output.bytes[pos + 4:pos + 6])[0]:
                    failures.append(f"join {number}: frame {k} carries a wrong CRC word")
            if mapped[k] is None:
                begin, bits, side = side_info(output.bytes, pos, h)
                if any(side):
                    failures.append(f"join {number}: the carrier's side information is not zero")
                continue
            stream, index = mapped[k]
            if stream.path not in sources:
                sources[stream.path] = stream.main_data()
            if rebuilt[k] is None or rebuilt[k] != sources[stream.path][index]:
                failures.append(f"join {number}: frame {k} ({stream.path.stem} frame {index}) "
                                f"does not find its main data")
        return failures


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    cli, work = sys.argv[1], Path(sys.argv[2]).resolve()
    seed = int(sys.argv[sys.argv.index("--seed") + 1]) if "--seed" in sys.argv else 1
    for tool in ("ffmpeg", "ffprobe", "mpg123", "lame", "sox", "espeak-ng"):
        if shutil.which(tool) is None:
            print(f"clean-cut check: {tool} is not installed")
            return 77
    corpus = work / "corpus"
    make_corpus(corpus)
    if (work / "out").exists():
        shutil.rmtree(work / "out")
    checker = Checker(cli, work, seed)
    files = sorted(corpus.glob("*.mp3"))
    failures = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        for result in pool.map(checker.check_file, files):
            failures += result
    failures += checker.check_joins({f.stem: Stream(f) for f in files})
    for failure in failures:
        print("FAIL", failure)
    print(f"clean-cut check: {len(files)} files, {checker.pieces} pieces, seed {seed}: "
          f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
