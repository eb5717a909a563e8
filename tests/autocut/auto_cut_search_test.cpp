#include "autocut/auto_cut_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame_builder.h"
#include "stream/file_errors.h"
#include "stream/memory_stream.h"

namespace sw::test {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr int64_t kFrameSize = 417;

// Data bytes with no two equal neighbours, and none equal to a header's bytes at the seams.
void FillSound(Bytes& frame, size_t from) {
    for (size_t i = from; i < frame.size(); ++i) {
        frame[i] = static_cast<uint8_t>(0x10 + (i % 7) * 0x11);
    }
}

// One MPEG-1 Layer III frame (128 kbit/s, 44.1 kHz, no padding): 's' sound, '.' silence (zero data
// bytes).
Bytes Frame(char kind) {
    Bytes frame = MakeFrame({}, 0x00);
    if (kind == 's') {
        FillSound(frame, 4);
    }
    return frame;
}

struct FoundCue {
    std::string name;
    int32_t in;
    int32_t out;
    bool operator==(const FoundCue&) const = default;
};

std::ostream& operator<<(std::ostream& os, const FoundCue& cue) {
    return os << cue.name << " " << cue.in << "-" << cue.out;
}

// A cut object over memory streams whose index lists every frame of the pattern. The tail (by
// default 4 bytes, as a tag would give) lets the last frame's test read the 4 bytes after it.
struct PatternFile {
    TCutObject cut;
    std::vector<FoundCue> cues;

    explicit PatternFile(const std::string& pattern, const Bytes& tail = {0, 0, 0, 0}) {
        cut.Name = "take";
        Bytes file;
        auto index = std::make_unique<MemoryStream>();
        for (const char kind : pattern) {
            index->WriteInt32(static_cast<int32_t>(file.size()));
            Append(file, Frame(kind));
        }
        Append(file, tail);
        cut.FileStream = std::make_unique<MemoryStream>(file);
        cut.IndexStream = std::move(index);
    }

    AutoCutSink Sink() {
        return [this](TCutObject* owner, const std::string& name, int32_t in, int32_t out) {
            EXPECT_EQ(owner, &cut);
            cues.push_back({name, in, out});
            return true;
        };
    }

    AutoCutResult Search(int32_t threshold = 20) {
        WorkerControl control;
        return ProcessFile(&cut, threshold, Sink(), control);
    }
};

std::vector<FoundCue> CuesOf(const std::string& pattern, int32_t threshold = 20) {
    PatternFile file(pattern);
    const AutoCutResult result = file.Search(threshold);
    EXPECT_EQ(result.Outcome, AutoCutOutcome::Completed);
    EXPECT_EQ(result.CuesAdded, static_cast<int32_t>(file.cues.size()));
    return file.cues;
}

TEST(EmptyFrameLimit, IsComputedInExtendedPrecisionWithTiesToEven) {
    // A double or exact-decimal product, or rounding halves up, moves frames across the line.
    EXPECT_EQ(EmptyFrameLimit(75, 626), 469);  // double arithmetic gives 470
    EXPECT_EQ(EmptyFrameLimit(30, 5), 1);      // exact 1.5, but 0.01 rounds down in extended
    EXPECT_EQ(EmptyFrameLimit(25, 418), 104);  // 104.5 ties to the even 104, not 105
    EXPECT_EQ(EmptyFrameLimit(75, 182), 136);  // 136.5
    EXPECT_EQ(EmptyFrameLimit(50, 3), 2);      // 1.5 ties up to the even 2
    EXPECT_EQ(EmptyFrameLimit(50, 1), 0);      // 0.5 ties down to 0
    EXPECT_EQ(EmptyFrameLimit(20, 418), 84);   // 83.6
    EXPECT_EQ(EmptyFrameLimit(100, 418), 418);
    EXPECT_EQ(EmptyFrameLimit(1, 72), 1);
}

// A Layer II 192 kbit/s frame (626 bytes) whose first `equal` + 1 data bytes repeat.
Bytes LayerTwoFrameWithEqualPairs(int equal) {
    HeaderSpec spec;
    spec.layerBits = 2;
    spec.bitrateIndex = 10;
    Bytes frame = MakeFrame(spec, 0x00);
    EXPECT_EQ(frame.size(), 626u);
    // The test reads FrameLength bytes after the header: 4 beyond the frame.
    frame.resize(frame.size() + 4);
    FillSound(frame, 4 + equal + 1);
    return frame;
}

TEST(IsEmptyFrame, CountsAgainstTheExtendedLimitInclusive) {
    // An off-by-one at the limit, or a limit from double arithmetic, flips these frames.
    MemoryStream atLimit(LayerTwoFrameWithEqualPairs(469));
    EXPECT_TRUE(IsEmptyFrame(atLimit, 75));
    MemoryStream belowLimit(LayerTwoFrameWithEqualPairs(468));
    EXPECT_FALSE(IsEmptyFrame(belowLimit, 75));
}

TEST(IsEmptyFrame, ReadsFrameLengthBytesAfterTheHeaderAndFailsShortOfThem) {
    // Reading only the frame's own data would call a silent last frame empty.
    Bytes silent = Frame('.');
    MemoryStream alone(silent);
    EXPECT_FALSE(IsEmptyFrame(alone, 20));
    Append(silent, {0, 0, 0, 0});
    MemoryStream followed(silent);
    EXPECT_TRUE(IsEmptyFrame(followed, 20));
    EXPECT_EQ(followed.Position(), 4 + kFrameSize);
}

TEST(IsEmptyFrame, InvalidHeadersAndShortHeadersAreNotEmpty) {
    // Zero bytes that are no frame must not pass for silence.
    MemoryStream zeros(Bytes(1000, 0));
    EXPECT_FALSE(IsEmptyFrame(zeros, 1));
    MemoryStream threeBytes(Bytes{0xFF, 0xFB, 0x90});
    EXPECT_FALSE(IsEmptyFrame(threeBytes, 1));
    MemoryStream empty;
    EXPECT_FALSE(IsEmptyFrame(empty, 1));
}

TEST(IsEmptyFrame, ThresholdHundredMakesNoFrameEmpty) {
    // n - 1 pairs can never reach the limit n.
    Bytes silent = Frame('.');
    Append(silent, {0, 0, 0, 0});
    MemoryStream stream(silent);
    EXPECT_FALSE(IsEmptyFrame(stream, 100));
    stream.Seek(0, SeekOrigin::Begin);
    EXPECT_TRUE(IsEmptyFrame(stream, 99));
}

TEST(ProcessFileRuns, SoundBetweenSilencesBecomesNumberedCues) {
    // Wrong numbering, inclusive ends or names break every auto-cut project.
    EXPECT_EQ(CuesOf("..sss...ssss.."),
              (std::vector<FoundCue>{{"Auto1: take", 2, 4}, {"Auto2: take", 8, 11}}));
    EXPECT_TRUE(CuesOf("........").empty());
}

TEST(ProcessFileRuns, NoRunOpensAtFrameZero) {
    // Frame 0 stands for "unset": sound from the first frame starts its cue at frame 1.
    EXPECT_EQ(CuesOf("sss..."), (std::vector<FoundCue>{{"Auto1: take", 1, 2}}));
    EXPECT_EQ(CuesOf("s.ss.."), (std::vector<FoundCue>{{"Auto1: take", 2, 3}}));
    EXPECT_TRUE(CuesOf("ss...").empty());
}

TEST(ProcessFileRuns, ASingleSoundFrameStaysOpenAndTakesInTheSilence) {
    // A run needs its second non-empty frame before silence can close it.
    EXPECT_EQ(CuesOf("..s..s..."), (std::vector<FoundCue>{{"Auto1: take", 2, 5}}));
    EXPECT_TRUE(CuesOf("..s....").empty());
}

TEST(ProcessFileRuns, SoundToTheEndIsClosedAfterTheLoop) {
    // A run still open at the end is a cue too; the last frame of a file without a tag counts
    // as sound (its test reads past the end), but alone after a silence it yields nothing.
    PatternFile endsInSound("..ss", {});
    EXPECT_EQ(endsInSound.Search().Outcome, AutoCutOutcome::Completed);
    EXPECT_EQ(endsInSound.cues, (std::vector<FoundCue>{{"Auto1: take", 2, 3}}));
    PatternFile silentToTheEnd("....", {});
    silentToTheEnd.Search();
    EXPECT_TRUE(silentToTheEnd.cues.empty());
    PatternFile loneSoundThenSilence("..s...", {});
    loneSoundThenSilence.Search();
    EXPECT_EQ(loneSoundThenSilence.cues, (std::vector<FoundCue>{{"Auto1: take", 2, 5}}));
}

TEST(ProcessFileRuns, ThresholdsOneTwentyAndHundredClassDifferently) {
    // A frame with a tenth of its pairs repeating is silence at 1 %, sound at 20 %.
    Bytes quiet = Frame('s');
    std::fill(quiet.begin() + 4, quiet.begin() + 4 + 43, 0x00);  // 42 equal pairs of 417
    Bytes file;
    auto index = std::make_unique<MemoryStream>();
    const std::string pattern = ".ssqqsss.qs";
    for (const char kind : pattern) {
        index->WriteInt32(static_cast<int32_t>(file.size()));
        Append(file, kind == 'q' ? quiet : Frame(kind));
    }
    const auto run = [&](int32_t threshold) {
        TCutObject cut;
        cut.Name = "q";
        cut.FileStream = std::make_unique<MemoryStream>(file);
        cut.IndexStream =
            std::make_unique<MemoryStream>(static_cast<MemoryStream&>(*index).Bytes());
        std::vector<FoundCue> cues;
        WorkerControl control;
        ProcessFile(
            &cut, threshold,
            [&](TCutObject*, const std::string& name, int32_t in, int32_t out) {
                cues.push_back({name, in, out});
                return true;
            },
            control);
        return cues;
    };
    EXPECT_EQ(run(1), (std::vector<FoundCue>{{"Auto1: q", 1, 2}, {"Auto2: q", 5, 7}}));
    EXPECT_EQ(run(20), (std::vector<FoundCue>{{"Auto1: q", 1, 7}, {"Auto2: q", 9, 10}}));
    EXPECT_EQ(run(100), (std::vector<FoundCue>{{"Auto1: q", 1, 10}}));
}

TEST(ProcessFileRuns, ASecondSearchStartsNumberingAgain) {
    // Numbers belong to one search, not to the file.
    PatternFile file("..ss..");
    file.Search();
    file.Search();
    ASSERT_EQ(file.cues.size(), 2u);
    EXPECT_EQ(file.cues[0], file.cues[1]);
}

// Requests termination when the search positions the file on the given frame, so the abort
// lands exactly after that frame was examined.
class AbortingStream : public MemoryStream {
  public:
    AbortingStream(std::vector<uint8_t> bytes, int64_t abortAt, WorkerControl& control)
        : MemoryStream(std::move(bytes)), abortAt_(abortAt), control_(control) {}
    int64_t Seek(int64_t offset, SeekOrigin origin) override {
        if (origin == SeekOrigin::Begin && offset == abortAt_) {
            control_.RequestTerminate();
        }
        return MemoryStream::Seek(offset, origin);
    }

  private:
    int64_t abortAt_;
    WorkerControl& control_;
};

std::vector<FoundCue> AbortedAt(const std::string& pattern, int frame, AutoCutResult* result) {
    PatternFile file(pattern);
    WorkerControl control;
    const auto& bytes = static_cast<MemoryStream&>(*file.cut.FileStream).Bytes();
    file.cut.FileStream =
        std::make_unique<AbortingStream>(bytes, int64_t(frame) * kFrameSize, control);
    *result = ProcessFile(&file.cut, 20, file.Sink(), control);
    EXPECT_EQ(control.progress.load(), frame) << "the last frame examined is the one published";
    return file.cues;
}

TEST(ProcessFileAbort, KeepsTheRunSeenSoFarWhenBothEndsAreSet) {
    // An abort must neither lose the cue in progress nor invent one from a single frame.
    AutoCutResult result;
    EXPECT_EQ(AbortedAt("..ssssss..ss..", 4, &result),
              (std::vector<FoundCue>{{"Auto1: take", 2, 4}}));
    EXPECT_EQ(result.Outcome, AutoCutOutcome::Aborted);
    EXPECT_EQ(result.CuesAdded, 1);
    EXPECT_TRUE(AbortedAt("..ssssss..", 2, &result).empty());
    EXPECT_EQ(result.Outcome, AutoCutOutcome::Aborted);
}

TEST(ProcessFileRefusals, MissingPartsAreRefusedWithTheirMessages) {
    // A search over a missing stream would crash; an unscanned entry must say why it refuses.
    const AutoCutSink never = [](TCutObject*, const std::string&, int32_t, int32_t) {
        ADD_FAILURE() << "no cue expected";
        return true;
    };
    WorkerControl control;
    AutoCutResult none = ProcessFile(nullptr, 20, never, control);
    EXPECT_EQ(none.Outcome, AutoCutOutcome::InvalidCutObject);
    EXPECT_EQ(none.Message, "Invalid TCutObject");

    PatternFile noFile("..ss..");
    noFile.cut.FileStream.reset();
    EXPECT_EQ(ProcessFile(&noFile.cut, 20, never, control).Message, "Invalid TCutObject");

    PatternFile unscanned("..ss..");
    unscanned.cut.IndexStream.reset();
    const AutoCutResult refused = ProcessFile(&unscanned.cut, 20, never, control);
    EXPECT_EQ(refused.Outcome, AutoCutOutcome::NoIndex);
    EXPECT_EQ(refused.Message,
              "The file \"take\" has no frame index\r\nRescan it before "
              "cutting, auto-cutting or exporting it");
}

// A file stream whose reads fail once they reach a given byte, like a disk error mid-file.
class FailingStream : public MemoryStream {
  public:
    FailingStream(std::vector<uint8_t> bytes, int64_t from)
        : MemoryStream(std::move(bytes)), from_(from) {}
    int64_t Read(void* buffer, int64_t count) override {
        if (Position() + count > from_) {
            throw StreamReadError();
        }
        return MemoryStream::Read(buffer, count);
    }

  private:
    int64_t from_;
};

TEST(ProcessFileErrors, AReadErrorEndsTheSearchKeepingCuesSoFar) {
    // An escaping exception would take the window down; losing found cues loses work.
    // Far enough into the file that the search reads it in more than one go.
    const std::string sound = "..ss..";
    PatternFile file(sound + std::string(2000, '.') + sound);
    const auto& bytes = static_cast<MemoryStream&>(*file.cut.FileStream).Bytes();
    file.cut.FileStream = std::make_unique<FailingStream>(bytes, 1500 * kFrameSize);
    const AutoCutResult result = file.Search();
    EXPECT_EQ(result.Outcome, AutoCutOutcome::SearchError);
    EXPECT_EQ(result.Message, "Error while searching take");
    EXPECT_EQ(file.cues, (std::vector<FoundCue>{{"Auto1: take", 2, 3}}));
}

TEST(ProcessFileErrors, ACueTheListRefusesEndsTheSearch) {
    // Going on after a refused cue would number cues the user never sees.
    PatternFile file("..ss..ss..");
    int calls = 0;
    WorkerControl control;
    const AutoCutResult result = ProcessFile(
        &file.cut, 20,
        [&](TCutObject*, const std::string&, int32_t, int32_t) { return ++calls > 1; }, control);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(result.Outcome, AutoCutOutcome::SearchError);
    EXPECT_EQ(result.CuesAdded, 0);
}

TEST(ProcessFileIndex, UnreachableOffsetsEndQuietlyAndPartialEntriesAreIgnored) {
    // A damaged index must end the walk, not read garbage or report an error.
    PatternFile negative("..ss...ss..");
    MemoryStream& index = static_cast<MemoryStream&>(*negative.cut.IndexStream);
    index.Seek(4 * 5, SeekOrigin::Begin);
    index.WriteInt32(-1);
    EXPECT_EQ(negative.Search().Outcome, AutoCutOutcome::Completed);
    EXPECT_EQ(negative.cues, (std::vector<FoundCue>{{"Auto1: take", 2, 3}}));

    PatternFile ragged("..sss");
    MemoryStream& raggedIndex = static_cast<MemoryStream&>(*ragged.cut.IndexStream);
    raggedIndex.Seek(0, SeekOrigin::End);
    raggedIndex.WriteByte(0);  // three bytes short of an entry
    ragged.Search();
    EXPECT_EQ(ragged.cues, (std::vector<FoundCue>{{"Auto1: take", 2, 4}}));
}

}  // namespace
}  // namespace sw::test
