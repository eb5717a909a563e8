#!/usr/bin/env bash
# Makes the real-file corpus in OUTDIR: short files from Debian's encoders plus damaged variants,
# and corpus_facts.json with what the tests assert against. Re-running with an unchanged script
# and tool does nothing; every output is rebuilt otherwise.
set -euo pipefail

if [[ $# -ne 1 ]]; then
    echo "usage: $0 OUTDIR" >&2
    exit 2
fi
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="$1"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

for tool in lame twolame sox espeak-ng ffmpeg python3; do
    command -v "$tool" >/dev/null || { echo "make_corpus: $tool is not installed" >&2; exit 1; }
done

stamp="$(cat "$here/make_corpus.sh" "$here/corpus_tool.py" | sha256sum | cut -c1-16)"
if [[ -f "$out/corpus_facts.json" && "$(cat "$out/.stamp" 2>/dev/null)" == "$stamp" ]]; then
    exit 0
fi
rm -f "$out/.stamp" "$out/corpus_facts.json"

work="$(mktemp -d "$out/.work.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# Sources: a two-tone stereo signal and espeak-ng speech. Fixed seeds keep the outputs the same.
sox -R -q -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 3 sine 440 sine 660 gain -6
sox -R -q -n -r 44100 -c 2 -b 16 "$work/pcm.wav" synth 1 sine 330 gain -12
espeak-ng -w "$work/speech22.wav" \
    "Slicewell cuts audio frames without decoding them. Every frame keeps its bytes."
sox -R -q "$work/speech22.wav" -r 44100 -c 2 "$work/speech44.wav"
sox -R -q "$work/speech22.wav" -c 1 "$work/speech_mono.wav"

enc() { lame --quiet --nohist "$@"; }

enc -b 128 --cbr "$work/tone.wav" "$out/cbr128_info.mp3"
enc -t -b 128 --cbr "$work/tone.wav" "$out/cbr128_plain.mp3"
enc -V 4 "$work/speech44.wav" "$out/vbr_v4.mp3"
enc -t -b 192 --cbr "$work/speech44.wav" "$work/speech_192_plain.mp3"
enc -m m --resample 22.05 -b 32 "$work/speech_mono.wav" "$out/mpeg2_22050_mono.mp3"
enc -m m --resample 24 -b 40 "$work/speech_mono.wav" "$out/mpeg2_24000_mono.mp3"
enc -m m --resample 16 -b 24 "$work/speech_mono.wav" "$out/mpeg2_16000_mono.mp3"
enc -m m --resample 11.025 -b 16 "$work/speech_mono.wav" "$out/mpeg25_11025_mono.mp3"
enc -m m --resample 8 -b 8 "$work/speech_mono.wav" "$out/mpeg25_8000_mono.mp3"
enc -p -b 128 --cbr "$work/tone.wav" "$out/crc_protected.mp3"
twolame --quiet -b 192 "$work/tone.wav" "$out/layer2_twolame.mp2"
enc -b 128 --cbr --id3v1-only --tt "Corpus Title" --ta "Corpus Artist" --tl "Corpus Album" \
    --ty 2024 --tc "Track seven of the corpus" --tn 7 --tg 101 \
    "$work/tone.wav" "$out/id3v1_track.mp3"
python3 "$here/corpus_tool.py" png "$work/cover.png"
enc -b 128 --cbr --id3v2-only --tt "Cover Title" --ta "Cover Artist" --ti "$work/cover.png" \
    "$work/tone.wav" "$out/id3v2_cover.mp3"
ffmpeg -nostdin -v error -y -i "$out/cbr128_plain.mp3" -map_metadata -1 -fflags +bitexact \
    -c:a copy -f wav "$out/layer3_ffmpeg.wav"
cp "$work/pcm.wav" "$out/pcm.wav"

python3 "$here/corpus_tool.py" build "$work" "$out"
echo "$stamp" >"$out/.stamp"
