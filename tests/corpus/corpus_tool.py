#!/usr/bin/env python3
"""Byte-level helpers for make_corpus.sh: the damaged variants, the hand-built containers, the
cover picture, and corpus_facts.json with what the tests assert against.

Frame walking here is deliberately independent of the engine (a second, plain implementation of
the header tables), so a fault in the engine's tables does not also hide in the expected values.
"""
import json
import random
import struct
import sys
import zlib
from pathlib import Path

BITRATES = {
    (1, 1): [0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0],
    (1, 2): [0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0],
    (1, 3): [0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0],
    (2, 1): [0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0],
    (2, 2): [0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0],
}
RATES = {1: [44100, 48000, 32000], 2: [22050, 24000, 16000], 3: [11025, 12000, 8000]}
VERSION_OF_BITS = [3, 0, 2, 1]  # 2.5, reserved, 2, 1
LAYER_OF_BITS = [0, 3, 2, 1]


def parse_header(b, pos):
    """The decoded header at pos as a dict, or None when it is not a usable header."""
    if pos + 4 > len(b):
        return None
    b0, b1, b2, b3 = b[pos:pos + 4]
    if b0 != 0xFF or (b1 & 0xE0) != 0xE0:
        return None
    version = VERSION_OF_BITS[(b1 >> 3) & 3]
    layer = LAYER_OF_BITS[(b1 >> 1) & 3]
    if version == 0 or layer == 0:
        return None
    row = (1, layer) if version == 1 else (2, 1 if layer == 1 else 2)
    bitrate = BITRATES[row][b2 >> 4]
    rate_index = (b2 >> 2) & 3
    emphasis = b3 & 3
    if bitrate == 0 or rate_index == 3 or emphasis == 2:
        return None
    rate = RATES[version][rate_index]
    padding = (b2 >> 1) & 1
    if layer == 1:
        length = (12000 * bitrate // rate + padding) * 4
    elif layer == 2 or version == 1:
        length = 144000 * bitrate // rate + padding
    else:
        length = (144000 * bitrate // rate) // 2 + padding
    return {
        "version": version, "layer": layer, "bitrate": bitrate, "rate": rate,
        "mono": (b3 >> 6) == 3, "crc": not (b1 & 1), "length": length,
    }


def id3v2_end(b):
    if len(b) < 10 or b[:3] != b"ID3":
        return 0
    size = 0
    for byte in b[6:10]:
        if byte & 0x80:
            return 0
        size = (size << 7) | byte
    footer = 10 if b[5] & 0x10 else 0
    return 10 + size + footer


def frame_chain(b, start, limit):
    """Offsets of the frames that chain from the header at start and lie wholly before limit."""
    offsets = []
    pos = start
    while True:
        h = parse_header(b, pos)
        if h is None or pos + h["length"] > limit:
            return offsets
        offsets.append(pos)
        pos += h["length"]


def first_header(b, start=0):
    for pos in range(start, len(b) - 7):
        if parse_header(b, pos):
            return pos
    return None


def tag_kind(b, offset, h):
    """"Info", "Xing" or "" for the frame at offset: where the encoder's summary frame keeps its
    marker depends on the side-information size."""
    if h["layer"] != 3:
        return ""
    if h["version"] == 1:
        side = 17 if h["mono"] else 32
    else:
        side = 9 if h["mono"] else 17
    # lame puts the marker where it would be without the CRC word even in a protected frame.
    for at in (offset + 4 + side, offset + 6 + side):
        marker = bytes(b[at:at + 4])
        if marker in (b"Info", b"Xing"):
            return marker.decode("ascii")
    return ""


def no_sync_bytes(count, seed):
    """Junk that can never hold a frame header: no 0xFF anywhere."""
    rng = random.Random(seed)
    return bytes(rng.randrange(0, 0xFF) for _ in range(count))


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def make_png(path):
    """A 32x32 gradient. Its private ancillary chunk carries a valid-looking frame header
    (FF FB 90 64), so a scan that walks into the tag instead of skipping it finds a bogus frame."""
    w = h = 32
    raw = b"".join(b"\x00" + b"".join(bytes((x * 8, y * 8, 128)) for x in range(w))
                   for y in range(h))
    png = b"\x89PNG\r\n\x1a\n"
    png += png_chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
    png += png_chunk(b"swFk", b"\xff\xfb\x90\x64" + b"\x00" * 60)
    png += png_chunk(b"IDAT", zlib.compress(raw, 9))
    png += png_chunk(b"IEND", b"")
    Path(path).write_bytes(png)


def wave70(frames, h):
    """The 70-byte MPEG Layer-3 WAV header in front of the frames."""
    size = 70 + len(frames)
    avg = h["bitrate"] * 1000 // 8
    header = b"RIFF" + struct.pack("<I", size - 8) + b"WAVE"
    header += b"fmt " + struct.pack("<IHHIIHHHHIHHH", 30, 0x55, 1 if h["mono"] else 2, h["rate"],
                                    avg, 1, 0, 12, 1, 2, h["length"] & 0xFFFF, 1, 1393)
    header += b"fact" + struct.pack("<II", 4, ((size - 70) // avg) * h["rate"])
    header += b"data" + struct.pack("<I", size - 70)
    assert len(header) == 70
    return header + frames


def riff_data_offset(b):
    pos = 12
    while pos + 8 <= len(b):
        kind = b[pos:pos + 4]
        size = struct.unpack("<I", b[pos + 4:pos + 8])[0]
        if kind == b"data":
            return pos + 8
        pos += 8 + size + (size & 1)
    return None


def read_id3v1(b):
    if len(b) < 128 or b[-128:-125] != b"TAG":
        return None
    t = b[-128:]

    def text(lo, hi):
        area = t[lo:hi].split(b"\x00")[0]
        return area.strip(b" \t\r\n").decode("latin-1")

    return {
        "title": text(3, 33), "artist": text(33, 63), "album": text(63, 93),
        "year": text(93, 97), "comment": text(97, 127 if t[125] else 125),
        "track": t[126] if t[125] == 0 else 0, "genre": t[127],
    }


def play_time(b, chain):
    """Seconds the way the scan adds them up: frame bytes over bytes per second, per frame."""
    total = 0.0
    for offset in chain:
        h = parse_header(b, offset)
        total += h["length"] / (h["bitrate"] * 125.0)
    return round(total, 6)


def write_flat(facts, path):
    """The same facts as "file<TAB>key<TAB>value" lines, for readers without a JSON parser.
    Lists are comma-separated; absent values are left out."""
    lines = []
    for f in facts:
        for key, value in f.items():
            if key == "file" or value is None:
                continue
            if key == "id3v1":
                for tag_key, tag_value in value.items():
                    lines.append(f"{f['file']}\tid3v1_{tag_key}\t{tag_value}")
                continue
            if isinstance(value, bool):
                value = int(value)
            elif isinstance(value, list):
                value = ",".join(str(v) for v in value)
            lines.append(f"{f['file']}\t{key}\t{value}")
    Path(path).write_text("\n".join(lines) + "\n")


def describe(path, purpose, **extra):
    """The facts of one corpus file. Frame facts describe the clean chain the scan should find."""
    b = Path(path).read_bytes()
    facts = {"file": Path(path).name, "size": len(b), "purpose": purpose}
    tag = read_id3v1(b)
    facts["id3v1"] = tag
    facts["id3v2_end"] = id3v2_end(b)
    facts.update(extra)
    if facts.get("frames") is None and facts.get("chain_start") is not None:
        limit = len(b) - (128 if tag else 0)
        chain = frame_chain(b, facts["chain_start"], limit)
        facts["frames"] = len(chain)
        facts["first_offset"] = chain[0] if chain else None
        facts["last_offset"] = chain[-1] if chain else None
        if chain:
            h = parse_header(b, chain[0])
            facts["version"] = {1: "1", 2: "2", 3: "2.5"}[h["version"]]
            facts["layer"] = h["layer"]
            facts["sample_rate"] = h["rate"]
            facts["mono"] = h["mono"]
            facts["crc"] = h["crc"]
            facts["first_frame_tag"] = tag_kind(b, chain[0], h)
            rates = {parse_header(b, o)["bitrate"] for o in chain}
            facts["bitrates"] = sorted(rates)
            facts["play_time"] = play_time(b, chain)
    facts.pop("chain_start", None)
    return facts


def build(work, out):
    work, out = Path(work), Path(out)
    facts = []

    def add(name, purpose, **extra):
        facts.append(describe(out / name, purpose, **extra))

    # Clean encoder output.
    for name, purpose in [
        ("cbr128_info.mp3", "lame CBR 128 kbit/s 44.1 kHz joint stereo; frame 0 is lame's Info frame"),
        ("cbr128_plain.mp3", "lame CBR 128 kbit/s without Info frame or tag: the plainest file"),
        ("vbr_v4.mp3", "lame -V 4 speech; frame 0 is the Xing frame; bitrate varies"),
        ("mpeg2_22050_mono.mp3", "MPEG-2 Layer III 22.05 kHz mono, 576-sample frames"),
        ("mpeg2_24000_mono.mp3", "MPEG-2 Layer III 24 kHz mono"),
        ("mpeg2_16000_mono.mp3", "MPEG-2 Layer III 16 kHz mono"),
        ("mpeg25_11025_mono.mp3", "MPEG-2.5 Layer III 11.025 kHz mono"),
        ("mpeg25_8000_mono.mp3", "MPEG-2.5 Layer III 8 kHz mono, smallest frames"),
        ("crc_protected.mp3", "lame -p: every frame carries a CRC after its header"),
        ("layer2_twolame.mp2", "twolame MPEG-1 Layer II 192 kbit/s stereo"),
        ("id3v1_track.mp3", "ID3v1.1 tag with track number at the end; its 128 bytes are not frames"),
    ]:
        add(name, purpose, chain_start=first_header((out / name).read_bytes()), decodable=True,
            dropped=0)

    cover = (out / "id3v2_cover.mp3").read_bytes()
    add("id3v2_cover.mp3",
        "ID3v2.3 tag with a PNG cover whose private chunk holds a fake frame header; the first "
        "frame starts right after the tag",
        chain_start=id3v2_end(cover), decodable=True, dropped=0)

    # Layer III frames behind the fixed 70-byte MPEG WAV header, and behind ffmpeg's RIFF layout.
    plain = (out / "cbr128_plain.mp3").read_bytes()
    (out / "layer3_wav70.wav").write_bytes(wave70(plain, parse_header(plain, 0)))
    add("layer3_wav70.wav", "MPEG WAV with the 70-byte header (format tag 0x55, fact, data)",
        chain_start=70, decodable=True, dropped=0)
    ffwav = (out / "layer3_ffmpeg.wav").read_bytes()
    add("layer3_ffmpeg.wav", "Layer III frames in a WAV written by ffmpeg -c:a copy",
        chain_start=riff_data_offset(ffwav), decodable=True, dropped=0)
    add("pcm.wav", "16-bit PCM WAV: not MPEG; whatever the sync search finds is noise",
        decodable=False)

    # Damaged files, all made from the plain CBR file.
    chain = frame_chain(plain, 0, len(plain))
    middle = chain[len(chain) // 2]
    garbage = no_sync_bytes(1000, seed=1)
    (out / "garbage_middle.mp3").write_bytes(plain[:middle] + garbage + plain[middle:])
    facts.append(describe(
        out / "garbage_middle.mp3",
        "1000 junk bytes (no 0xFF) inserted at a frame boundary in the middle",
        decodable=True, dropped=1, frames=len(chain), first_offset=0,
        last_offset=chain[-1] + len(garbage), garbage_offset=middle, garbage_length=len(garbage),
        frame_after_garbage_offset=middle + len(garbage),
        frames_before_garbage=len(chain) // 2, vbr=False))

    junk = no_sync_bytes(1500, seed=2)
    (out / "junk_start.mp3").write_bytes(junk + plain)
    facts.append(describe(
        out / "junk_start.mp3", "1500 junk bytes (no 0xFF) before the first frame",
        decodable=True, dropped=0, frames=len(chain), first_offset=len(junk),
        last_offset=len(junk) + chain[-1], vbr=False))

    last_length = len(plain) - chain[-1]
    (out / "truncated_last.mp3").write_bytes(plain[:len(plain) - last_length // 2])
    facts.append(describe(
        out / "truncated_last.mp3",
        "the last frame cut to half its length: only its first half is in the file",
        decodable=True, dropped=0, frames=len(chain) - 1, first_offset=0,
        last_offset=chain[-2], truncated_frame_offset=chain[-1], vbr=False))

    high = (work / "speech_192_plain.mp3").read_bytes()
    high_chain = frame_chain(high, 0, len(high))
    (out / "bitrate_switch.mp3").write_bytes(plain + high)
    facts.append(describe(
        out / "bitrate_switch.mp3",
        "two tagless CBR encodes back to back: 128 kbit/s tone, then 192 kbit/s speech",
        decodable=True, dropped=0, switch_offset=len(plain),
        frames=len(chain) + len(high_chain), first_offset=0, last_offset=len(plain) + high_chain[-1],
        vbr=True, bitrates=[128, 192]))

    (out / "empty.mp3").write_bytes(b"")
    (out / "seven_bytes.mp3").write_bytes(b"\xff\xfb\x90\x64\x00\x00\x00")
    (out / "no_header.mp3").write_bytes(no_sync_bytes(4096, seed=3))
    for name, purpose in [
        ("empty.mp3", "zero bytes"),
        ("seven_bytes.mp3", "a valid header word in a 7-byte file: too short for the sync search"),
        ("no_header.mp3", "4096 junk bytes without any 0xFF: no frame at all"),
    ]:
        facts.append(describe(out / name, purpose, decodable=False, frames=0, dropped=-1,
                              first_offset=None))

    for f in facts:
        if "vbr" not in f and f.get("bitrates") is not None and f.get("frames"):
            # Only a bitrate change between neighbours sets the flag; the summary frames of lame
            # carry the stream's own bitrate in CBR, so one rate means no change.
            f["vbr"] = len(f["bitrates"]) > 1
    for f in facts:
        if f["file"] in ("garbage_middle.mp3", "junk_start.mp3", "truncated_last.mp3",
                         "bitrate_switch.mp3"):
            b = (out / f["file"]).read_bytes()
            start = f["first_offset"]
            chain = frame_chain(b, start, len(b))
            if f["file"] == "garbage_middle.mp3":
                chain += frame_chain(b, f["frame_after_garbage_offset"], len(b))
            f["play_time"] = play_time(b, chain)
    write_flat(facts, out / "corpus_facts.txt")
    (out / "corpus_facts.json").write_text(json.dumps({"files": facts}, indent=1) + "\n")


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "png":
        make_png(sys.argv[2])
    elif len(sys.argv) == 4 and sys.argv[1] == "build":
        build(sys.argv[2], sys.argv[3])
    else:
        sys.exit("usage: corpus_tool.py png OUT.png | build WORKDIR OUTDIR")
