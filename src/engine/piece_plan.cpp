#include "engine/piece_plan.h"

#include <algorithm>

#include "engine/header_frame.h"
#include "engine/layer3_side_info.h"
#include "engine/reservoir_map.h"
#include "stream/frame_header.h"
#include "stream/time_code.h"

namespace sw {
namespace {

int32_t LeadInFrames(const TFrameInfo& info) {
    // Decoding a granule exactly needs the two granules before it: one MPEG-1 frame holds two.
    return info.Version == 1 ? 1 : 2;
}

// A piece whose start cannot be made clean is copied as it is: its own frames, no lead-in.
PiecePlan Plainly(PiecePlan plan, const std::string& problem) {
    plan.kind = PiecePlan::Kind::Plain;
    plan.problem = problem;
    plan.leadIn = 0;
    plan.copyFirst = plan.audio.first;
    plan.copyFirstWord = plan.firstWord;
    plan.carrier = false;
    plan.reservoir.clear();
    return plan;
}

}  // namespace

bool ReadIndexedFrame(TCutObject& cut, int32_t frame, std::vector<uint8_t>& bytes) {
    if (!cut.FileStream || !cut.IndexStream || frame < 0 || frame >= cut.FrameCount()) {
        return false;
    }
    try {
        const int64_t offset = FrameOffset(&cut, frame);
        ByteStream& source = *cut.FileStream;
        uint8_t head[4];
        source.Seek(offset, SeekOrigin::Begin);
        if (source.Read(head, 4) != 4 || !IsValidFrameHeader(HeaderWordFromBytes(head))) {
            return false;
        }
        const int32_t length = DecodeFrameHeader(HeaderWordFromBytes(head)).FrameLength;
        if (offset + length > source.Size()) {
            return false;
        }
        bytes.assign(head, head + 4);
        bytes.resize(static_cast<size_t>(length));
        return source.Read(bytes.data() + 4, length - 4) == length - 4;
    } catch (...) {
        return false;
    }
}

Reservoir ReservoirInFront(TCutObject& cut, int32_t first, int32_t last, int32_t firstAudio) {
    Reservoir result;
    std::vector<uint8_t> bytes;
    if (!ReadIndexedFrame(cut, first, bytes)) {
        return result;  // nothing to rebuild: the copy ends at this frame
    }
    const TFrameInfo info = DecodeFrameHeader(HeaderWordFromBytes(bytes.data()));
    const int32_t reach = MaxMainDataBegin(info);

    // Frames before first, newest first, until they hold as much as any main data can reach.
    std::vector<std::vector<uint8_t>> before;
    int64_t held = 0;
    bool damaged = false;
    for (int32_t frame = first - 1; frame >= firstAudio && held < reach; --frame) {
        std::vector<uint8_t> earlier;
        if (!ReadIndexedFrame(cut, frame, earlier)) {
            damaged = true;
            break;
        }
        const TFrameInfo earlierInfo = DecodeFrameHeader(HeaderWordFromBytes(earlier.data()));
        if (earlierInfo.Layer != 3) {
            damaged = true;
            break;
        }
        held += earlierInfo.FrameLength - MainDataAreaOffset(earlierInfo);
        before.push_back(std::move(earlier));
    }
    ReservoirMap map;
    for (auto frame = before.rbegin(); frame != before.rend(); ++frame) {
        map.Append(frame->data(), static_cast<int32_t>(frame->size()));
    }
    const size_t at = map.Count();
    if (!map.Append(bytes.data(), static_cast<int32_t>(bytes.size()))) {
        return result;
    }
    // The frames after first whose main data could still start before it.
    for (int32_t frame = first + 1; frame <= last; ++frame) {
        if (map.AreaStart(map.Count() - 1) - map.AreaStart(at) >= reach ||
            !ReadIndexedFrame(cut, frame, bytes) ||
            !map.Append(bytes.data(), static_cast<int32_t>(bytes.size()))) {
            break;
        }
    }
    const int32_t needed = map.BytesNeededBefore(at);
    if (needed > map.AreaStart(at)) {
        result.found = false;
        result.problem = damaged ? "a damaged frame lies in the bit reservoir before frame " +
                                       std::to_string(first)
                                 : "the bit reservoir of frame " + std::to_string(first) +
                                       " reaches before the start of the file";
        return result;
    }
    result.bytes = map.Bytes(map.AreaStart(at) - needed, map.AreaStart(at));
    return result;
}

PiecePlan PlanPiece(TCutObject& cut, FrameSpan span, bool leadIn) {
    PiecePlan plan;
    const int32_t frames = cut.FrameCount();
    span = ClampFrameSpan(span, frames);
    if (span.first > span.last) {
        return plan;
    }
    std::vector<uint8_t> bytes;
    if (ReadIndexedFrame(cut, 0, bytes)) {
        plan.source.tag = ReadSourceTag(bytes.data(), static_cast<int32_t>(bytes.size()));
    }
    plan.firstAudio = plan.source.tag.tagFrame ? 1 : 0;
    plan.audio = FrameSpan{std::max(span.first, plan.firstAudio), span.last};
    if (plan.audio.first > plan.audio.last) {
        return plan;
    }
    plan.kind = PiecePlan::Kind::Clean;
    plan.copyFirst = plan.audio.first;
    if (!ReadIndexedFrame(cut, plan.audio.first, bytes)) {
        return plan;  // the copy ends at this frame, as a plain one would
    }
    const TFrameInfo info = DecodeFrameHeader(HeaderWordFromBytes(bytes.data()));
    plan.firstWord = HeaderWordFromBytes(bytes.data());
    plan.copyFirstWord = plan.firstWord;
    if (info.Layer != 3) {
        plan.kind = PiecePlan::Kind::Plain;
        return plan;
    }
    plan.source.audioFrames = frames - plan.firstAudio;
    plan.source.samplesPerFrame = FrameSamples(info);
    if (!leadIn) {
        return plan;
    }
    plan.leadIn = std::min(plan.audio.first - plan.firstAudio, LeadInFrames(info));
    plan.copyFirst = plan.audio.first - plan.leadIn;
    if (!ReadIndexedFrame(cut, plan.copyFirst, bytes)) {
        return plan;  // a damaged lead-in ends the range
    }
    plan.copyFirstWord = HeaderWordFromBytes(bytes.data());
    Reservoir reservoir = ReservoirInFront(cut, plan.copyFirst, plan.audio.last, plan.firstAudio);
    if (!reservoir.found) {
        return Plainly(plan, reservoir.problem);
    }
    plan.reservoir = std::move(reservoir.bytes);
    // The carrier also lets a piece of a source without gapless information begin at its first
    // frame: decoders skip at least their own 529 samples, and the carrier's frame is that much.
    // And ffmpeg opens no stream that holds a single frame after its Info frame.
    const int32_t framesCopied = plan.leadIn + (plan.audio.last - plan.audio.first + 1);
    plan.carrier = !plan.reservoir.empty() ||
                   LeadingSkip(plan.source, plan.AudioFirst(), plan.leadIn) < kDecoderDelay ||
                   framesCopied < 2;
    if (!GaplessOfPiece(plan.source, plan.AudioFirst(), plan.AudioLast(), plan.FramesBefore())
             .Fits()) {
        return Plainly(plan, "the source's encoder delay is too long for a lead-in before frame " +
                                 std::to_string(plan.audio.first));
    }
    return plan;
}

std::vector<uint8_t> BuildCarrierFrame(uint32_t next, const std::vector<uint8_t>& reservoir) {
    const TFrameInfo nextInfo = DecodeFrameHeader(next);
    const int32_t need = MainDataAreaOffset(nextInfo) + static_cast<int32_t>(reservoir.size());
    uint32_t word = WithoutPadding(next);
    if (DecodeFrameHeader(word).FrameLength < need) {
        for (int index = 1; index <= 14; ++index) {
            word = WithBitrateIndex(word, index);
            if (DecodeFrameHeader(word).FrameLength >= need) {
                break;
            }
        }
    }
    const TFrameInfo info = DecodeFrameHeader(word);
    std::vector<uint8_t> frame(static_cast<size_t>(info.FrameLength), 0);
    StoreHeaderWord(frame.data(), word);
    std::copy(reservoir.begin(), reservoir.end(), frame.end() - int64_t(reservoir.size()));
    if (info.Crc) {
        StoreLayer3FrameCrc(frame.data(), info);
    }
    return frame;
}

}  // namespace sw
