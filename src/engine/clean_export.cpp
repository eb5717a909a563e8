#include "engine/clean_export.h"

#include <algorithm>

#include "engine/crc16.h"
#include "engine/gapless.h"
#include "engine/header_frame.h"
#include "engine/join_repair.h"
#include "engine/layer3_side_info.h"

namespace sw {
namespace {

// Samples per channel of a frame, from the layer and version bits of its header word.
int32_t SamplesOfWord(uint32_t word) {
    switch ((word >> 9) & 3) {
        case 3:
            return 384;
        case 2:
            return 1152;
        case 1:
            return ((word >> 11) & 3) == 3 ? 1152 : 576;
        default:
            return 0;
    }
}

std::string FrameRange(const FrameSpan& span) {
    return std::to_string(span.first) + "-" + std::to_string(span.last);
}

}  // namespace

void StreamTally::Written(int64_t position, const uint8_t* bytes, int64_t size,
                          const int32_t* starts, size_t count) {
    if (count == 0) {
        return;
    }
    Settle();
    for (size_t i = 0; i < count; ++i) {
        const uint32_t word = HeaderWordFromBytes(bytes + starts[i]);
        samples_ += SamplesOfWord(word);
        if (summary_) {
            starts_.push_back(position + starts[i]);
            if (i + 1 < count) {
                NoteBitrate(word);
            }
        }
    }
    frames_ += static_cast<int32_t>(count);
    const int32_t lastStart = starts[count - 1];
    if (summary_) {
        crc_ = TagCrc16(bytes, static_cast<size_t>(lastStart), crc_);
    }
    held_.assign(bytes + lastStart, bytes + size);
    heldAt_ = position + lastStart;
}

void StreamTally::Settle() {
    if (held_.empty()) {
        return;
    }
    if (summary_) {
        NoteBitrate(HeaderWordFromBytes(held_.data()));
        crc_ = TagCrc16(held_.data(), held_.size(), crc_);
    }
    held_.clear();
}

void StreamTally::NoteBitrate(uint32_t word) {
    const int index = BitrateIndexOf(word);
    if (bitrateIndex_ < 0) {
        bitrateIndex_ = index;
    } else if (index != bitrateIndex_) {
        constant_ = false;
    }
}

uint16_t StreamTally::MusicCrc() {
    Settle();
    return crc_;
}

bool StreamTally::ConstantBitrate() {
    Settle();
    return constant_;
}

CleanStreamWriter::CleanStreamWriter(ByteStream& target, FrameCopier& copier, bool wave,
                                     const HeaderFlags* flags)
    : target_(target), copier_(copier), wave_(wave), stamp_(flags != nullptr) {
    if (flags != nullptr) {
        flags_ = *flags;
        flags_.renewCrc = true;
    }
    copier_.SetObserver(&tally_);
}

CleanStreamWriter::~CleanStreamWriter() {
    copier_.SetObserver(nullptr);
}

bool CleanStreamWriter::WriteAt(int64_t position, const std::vector<uint8_t>& bytes) {
    try {
        target_.Seek(position, SeekOrigin::Begin);
        return target_.Write(bytes.data(), int64_t(bytes.size())) == int64_t(bytes.size());
    } catch (...) {
        return false;
    }
}

bool CleanStreamWriter::Add(TCutObject& cut, FrameSpan span) {
    const bool first = pieces_ == 0;
    const PiecePlan plan = PlanPiece(cut, span, first && !wave_);
    if (plan.kind == PiecePlan::Kind::Empty) {
        return true;
    }
    if (!plan.problem.empty()) {
        notes_.push_back("warning: " + cut.FileName + ": " + plan.problem + "; frames " +
                         FrameRange(plan.audio) + " are copied as they are");
    }
    if (first ? !Begin(plan) : !Join(cut, plan)) {
        return false;
    }
    const int32_t before = copier_.FramesCopied();
    const bool whole = copier_.CopyFrameRange(cut, stamp_ ? &flags_ : nullptr, last_,
                                              plan.copyFirst, plan.audio.last);
    const int32_t copied = copier_.FramesCopied() - before;
    if (first) {
        first_ = plan;
        leadInCopied_ = std::min(copied, plan.leadIn);
    }
    lastPlan_ = plan;
    lastCut_ = copied > 0 ? &cut : nullptr;
    lastFrame_ = plan.copyFirst + copied - 1;
    ++pieces_;
    return whole;
}

bool CleanStreamWriter::Begin(const PiecePlan& plan) {
    const bool clean = plan.kind == PiecePlan::Kind::Clean && plan.source.samplesPerFrame > 0;
    header_ = clean && !wave_;
    tally_.Summarise(header_);
    int64_t position = target_.Position();
    if (header_) {
        streamWord_ = stamp_ ? StampHeaderFlags(plan.firstWord, flags_) : plan.firstWord;
        headerAt_ = position;
        // Room for the header frame, written once the frames are all there.
        const std::vector<uint8_t> room(static_cast<size_t>(HeaderFrameLength(streamWord_)), 0);
        if (!WriteAt(position, room)) {
            header_ = false;
            return false;
        }
        position += int64_t(room.size());
    }
    if (clean && plan.carrier) {
        const uint32_t next =
            stamp_ ? StampHeaderFlags(plan.copyFirstWord, flags_) : plan.copyFirstWord;
        const std::vector<uint8_t> carrier = BuildCarrierFrame(next, plan.reservoir);
        if (!WriteAt(position, carrier)) {
            return false;
        }
        const int32_t start = 0;
        tally_.Written(position, carrier.data(), int64_t(carrier.size()), &start, 1);
        position += int64_t(carrier.size());
    }
    return true;
}

bool CleanStreamWriter::Join(TCutObject& cut, const PiecePlan& plan) {
    // Without a frame before the join, or with a first frame that cannot be read (the copy ends
    // there), there is nothing to join.
    if (!tally_.HasHeld() || plan.firstWord == 0) {
        return true;
    }
    const TFrameInfo before = DecodeFrameHeader(HeaderWordFromBytes(tally_.Held().data()));
    const TFrameInfo after = DecodeFrameHeader(plan.firstWord);
    if (!SameStreamFormat(before, after)) {
        notes_.push_back("warning: frames " + FrameRange(plan.audio) + " of " + cut.FileName +
                         " differ from the frames before them in version, layer, sample rate "
                         "or channel mode: joined as they are, and players misread such a file");
        return true;
    }
    // Frames that follow each other in their source find the right bytes in front already.
    if (before.Layer != 3 || plan.kind != PiecePlan::Kind::Clean ||
        (lastCut_ == &cut && plan.audio.first == lastFrame_ + 1)) {
        return true;
    }
    const Reservoir reservoir =
        ReservoirInFront(cut, plan.audio.first, plan.audio.last, plan.firstAudio);
    if (!reservoir.found) {
        notes_.push_back("warning: " + cut.FileName + ": " + reservoir.problem +
                         "; joined as it is");
        return true;
    }
    if (reservoir.bytes.empty()) {
        return true;
    }
    std::vector<uint8_t> frame = tally_.Held();
    if (!MakeRoomForReservoir(frame, reservoir.bytes)) {
        notes_.push_back("warning: " + cut.FileName + ": the frame before frame " +
                         std::to_string(plan.audio.first) +
                         " has no room for its bit reservoir; joined as it is");
        return true;
    }
    // The held frame is the last one in the target, so it may grow.
    if (!WriteAt(tally_.HeldAt(), frame)) {
        return false;
    }
    tally_.ReplaceHeld(std::move(frame));
    return true;
}

bool CleanStreamWriter::Finish() {
    if (!header_) {
        return true;
    }
    try {
        const int64_t end = target_.Size();
        const int32_t spf = first_.source.samplesPerFrame;
        const int64_t lastAudio = int64_t{lastFrame_} - lastPlan_.firstAudio;
        PieceGapless gapless;
        if (pieces_ == 1) {
            gapless = GaplessOfPiece(first_.source, first_.AudioFirst(), lastAudio,
                                     first_.FramesBefore());
        } else {
            gapless.delay = static_cast<int32_t>(
                LeadingSkip(first_.source, first_.AudioFirst(), first_.FramesBefore()) -
                kDecoderDelay);
            gapless.padding = static_cast<int32_t>((lastPlan_.source.samplesPerFrame == spf
                                                        ? TrailingDrop(lastPlan_.source, lastAudio)
                                                        : 0) +
                                                   kDecoderDelay);
        }
        std::vector<int64_t> starts = tally_.Starts();
        for (int64_t& start : starts) {
            start -= headerAt_;
        }
        HeaderFrameFields fields;
        fields.streamWord = streamWord_;
        fields.constantBitrate = tally_.ConstantBitrate();
        fields.frames = static_cast<uint32_t>(tally_.Frames());
        fields.bytes = static_cast<uint32_t>(std::min<int64_t>(end - headerAt_, 0xFFFFFFFFLL));
        fields.seekTable = SeekTable(starts, end - headerAt_);
        fields.delay = gapless.delay;
        fields.padding = gapless.padding;
        fields.musicCrc = tally_.MusicCrc();
        fields.source = &first_.source.tag;
        const bool written = WriteAt(headerAt_, BuildHeaderFrame(fields));
        target_.Seek(end, SeekOrigin::Begin);
        return written;
    } catch (...) {
        return false;
    }
}

}  // namespace sw
