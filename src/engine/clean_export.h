#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/frame_copy.h"
#include "engine/frame_span.h"
#include "engine/piece_plan.h"
#include "stream/byte_stream.h"
#include "stream/cut_object.h"

namespace sw {

// Keeps count of the frames that reach a clean export's target: where each starts, what they
// decode to, whether they share one bitrate, and the LAME music CRC over their bytes. The last
// frame written is held out of the CRC until the next one comes, because a join may still give
// it a larger bitrate and the next piece's reservoir bytes.
class StreamTally : public CopiedFramesObserver {
  public:
    // With summary, starts and the CRC are kept too (for the header frame of an MPEG target).
    void Summarise(bool summary) { summary_ = summary; }
    void Written(int64_t position, const uint8_t* bytes, int64_t size, const int32_t* starts,
                 size_t count) override;

    int32_t Frames() const { return frames_; }
    int64_t Samples() const { return samples_; }
    const std::vector<int64_t>& Starts() const { return starts_; }
    bool HasHeld() const { return !held_.empty(); }
    const std::vector<uint8_t>& Held() const { return held_; }
    int64_t HeldAt() const { return heldAt_; }
    void ReplaceHeld(std::vector<uint8_t> frame) { held_ = std::move(frame); }
    // Every frame, the held one included, is in these.
    uint16_t MusicCrc();
    bool ConstantBitrate();

  private:
    void Settle();
    void NoteBitrate(uint32_t word);

    bool summary_ = false;
    int32_t frames_ = 0;
    int64_t samples_ = 0;
    std::vector<int64_t> starts_;
    uint16_t crc_ = 0;
    int bitrateIndex_ = -1;
    bool constant_ = true;
    std::vector<uint8_t> held_;
    int64_t heldAt_ = 0;
};

// Writes pieces of sources one after the other as a clean file, through the export's frame
// copier:
// - an MPEG target of Layer III starts with our header frame (Info or Xing and the LAME
//   extension), written over the room kept for it once the frames are all there;
// - its first piece gets the lead-in and, where needed, the carrier (see PlanPiece);
// - every later piece is joined: the frame before the join takes the reservoir bytes the first
//   frames after it read (MakeRoomForReservoir); neighbours of different stream formats are
//   joined as they are, with a note;
// - the source's own Info or Xing frame is never copied;
// - a WAV target gets neither header frame nor lead-in, and the sample count of its frames.
class CleanStreamWriter {
  public:
    // The target stands where the first frame goes. flags: the project's header flags, or none.
    CleanStreamWriter(ByteStream& target, FrameCopier& copier, bool wave, const HeaderFlags* flags);
    ~CleanStreamWriter();
    CleanStreamWriter(const CleanStreamWriter&) = delete;
    CleanStreamWriter& operator=(const CleanStreamWriter&) = delete;

    // Frames span of cut; false when a frame could not be copied whole (the piece ended there).
    bool Add(TCutObject& cut, FrameSpan span);
    // Writes the header frame; false when it did not reach the target. Leaves the target at its
    // end.
    bool Finish();

    // What the pieces' own frames amount to, lead-in and carrier not counted.
    int32_t PieceFrames() const { return copier_.FramesCopied() - leadInCopied_; }
    int64_t Samples() const { return tally_.Samples(); }
    const TFrameInfo& LastFrame() const { return last_; }
    // What the user should know: pieces copied plainly, joins of different streams.
    const std::vector<std::string>& Notes() const { return notes_; }

  private:
    bool Begin(const PiecePlan& plan);
    bool Join(TCutObject& cut, const PiecePlan& plan);
    bool WriteAt(int64_t position, const std::vector<uint8_t>& bytes);

    ByteStream& target_;
    FrameCopier& copier_;
    bool wave_;
    bool stamp_ = false;
    HeaderFlags flags_;
    StreamTally tally_;
    TFrameInfo last_ = kNoFrame;
    int pieces_ = 0;
    bool header_ = false;
    int64_t headerAt_ = 0;
    uint32_t streamWord_ = 0;
    PiecePlan first_;
    int32_t leadInCopied_ = 0;
    PiecePlan lastPlan_;
    const TCutObject* lastCut_ = nullptr;
    int32_t lastFrame_ = -1;  // index of the last frame copied from lastCut_
    std::vector<std::string> notes_;
};

}  // namespace sw
