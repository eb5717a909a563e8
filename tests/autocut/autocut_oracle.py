#!/usr/bin/env python3
"""Expected auto-cut cues for the corpus, from a model of its own: exact rational arithmetic with
explicit rounding to a 64-bit mantissa stands in for the x87 extended type, and the run rules are
written out from their definition. Usage: autocut_oracle.py CORPUS_DIR OUT_FILE

OUT_FILE gets "file<TAB>threshold<TAB>first-last,first-last,..." lines (empty list: no cue)."""
import functools
import sys
from fractions import Fraction
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "corpus"))
import corpus_tool  # noqa: E402  (its frame walk and header tables, not the engine's)

THRESHOLDS = (1, 20, 100)


def round_half_even(x):
    whole = x.numerator // x.denominator
    rest = x - whole
    if rest > Fraction(1, 2) or (rest == Fraction(1, 2) and whole % 2 == 1):
        whole += 1
    return whole


def to_extended(x):
    """x rounded to the nearest value with a 64-bit mantissa, ties to even."""
    if x == 0:
        return Fraction(0)
    shift = 0
    while x * Fraction(2) ** shift >= 2 ** 64:
        shift -= 1
    while x * Fraction(2) ** shift < 2 ** 63:
        shift += 1
    return Fraction(round_half_even(x * Fraction(2) ** shift)) / Fraction(2) ** shift


HUNDREDTH = to_extended(Fraction(1, 100))


@functools.lru_cache(maxsize=None)
def limit(threshold, n):
    return round_half_even(to_extended(threshold * to_extended(n * HUNDREDTH)))


def is_empty(b, offset, threshold):
    h = corpus_tool.parse_header(b, offset)
    if h is None:
        return False
    n = h["length"]
    data = b[offset + 4:offset + 4 + n]
    if len(data) < n:
        return False
    equal = sum(1 for i in range(1, n) if data[i] == data[i - 1])
    return equal >= limit(threshold, n)


def cues(b, offsets, threshold):
    found = []
    start = end = 0  # 0: unset
    for k, offset in enumerate(offsets):
        if not is_empty(b, offset, threshold):
            if start:
                end = k
            else:
                start = k
        elif start and end:
            found.append((start, end))
            start = end = 0
    if start and end:
        found.append((start, end))
    return found


def main(corpus, out_file):
    facts = {}
    for line in (Path(corpus) / "corpus_facts.txt").read_text().splitlines():
        name, key, value = line.split("\t", 2)
        facts.setdefault(name, {})[key] = value
    lines = []
    for name, f in sorted(facts.items()):
        if "first_offset" not in f or not f.get("frames"):
            continue
        b = (Path(corpus) / name).read_bytes()
        limit_at = len(b) - (128 if corpus_tool.read_id3v1(b) else 0)
        offsets = corpus_tool.frame_chain(b, int(f["first_offset"]), limit_at)
        # Only where this walk finds the very frames the scan indexes; a resynchronising file
        # would need the scan's own rules, which are not this model's business.
        if len(offsets) != int(f["frames"]):
            continue
        for t in THRESHOLDS:
            ranges = ",".join(f"{s}-{e}" for s, e in cues(b, offsets, t))
            lines.append(f"{name}\t{t}\t{ranges}")
    Path(out_file).write_text("\n".join(lines) + "\n")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
