#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "engine/export.h"
#include "engine/export_target_file.h"
#include "engine/scan.h"
#include "engine/scan_export.h"
#include "engine/wave_header.h"
#include "engine_fixture.h"
#include "project/export_planning.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/file_stream.h"
#include "stream/status.h"

namespace sw::test {
namespace {

// Runs the operations' work where they are called, as the windows' and the command line's front
// ends do on their worker.
class DirectFrontEnd : public OperationFrontEnd {
  public:
    int Run(const WorkerTask&, const std::function<int(WorkerControl&)>& work) override {
        WorkerControl control;
        return work(control);
    }
    void Note(const std::string&) override {}
};

CutObjectPtr NewCut(const std::string& fileName) {
    CutObjectPtr cut(CreateCutObject(fileName, {}));
    EXPECT_TRUE(cut && cut->FileStream && cut->IndexStream);
    return cut;
}

struct Exported {
    CutObjectPtr cut;
    int scanStatus = -1;
    ExportOutcome outcome;
    std::vector<uint8_t> bytes;
};

// What the export writes when it waits for the scan: the reference for the combined one.
Exported ScanThenExport(const std::string& source, const std::string& target, bool wave) {
    Exported result;
    result.cut = NewCut(source);
    WorkerControl control;
    result.scanStatus = ScanFrames(*result.cut, control);
    {
        ExportTargetFile file(target);
        result.outcome =
            ExportCutObjectFrames(file.Stream(), wave, *result.cut,
                                  {0, result.cut->FrameCount() - 1}, ExportStyle::Raw, control);
        file.Finish(result.outcome);
    }
    result.bytes = ReadFileBytes(target);
    return result;
}

Exported ScanWhileExporting(const std::string& source, const std::string& target, bool wave) {
    Exported result;
    result.cut = NewCut(source);
    WorkerControl control;
    const ScanExportOutcome outcome = ScanAndExportAll(*result.cut, target, wave, control);
    result.scanStatus = outcome.scanStatus;
    result.outcome = outcome.exported;
    result.bytes = ReadFileBytes(target);
    return result;
}

void ExpectSameExport(const Exported& combined, const Exported& reference) {
    EXPECT_EQ(combined.scanStatus, reference.scanStatus);
    EXPECT_EQ(combined.outcome.status, reference.outcome.status);
    EXPECT_EQ(combined.outcome.framesCopied, reference.outcome.framesCopied);
    EXPECT_EQ(combined.outcome.waveHeaderFailed, reference.outcome.waveHeaderFailed);
    ASSERT_EQ(combined.bytes.size(), reference.bytes.size());
    EXPECT_TRUE(combined.bytes == reference.bytes);
    // The cut object comes out scanned exactly as by the scan alone, with its own index.
    EXPECT_EQ(IndexEntries(*combined.cut), IndexEntries(*reference.cut));
    EXPECT_EQ(combined.cut->PlayTime, reference.cut->PlayTime);
    EXPECT_EQ(combined.cut->DroppedFrames, reference.cut->DroppedFrames);
    EXPECT_EQ(combined.cut->MarkOut, reference.cut->MarkOut);
    EXPECT_EQ(combined.cut->HasTag, reference.cut->HasTag);
}

std::vector<std::string> TempFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("~hl", 0) == 0) {
            names.push_back(name);
        }
    }
    return names;
}

class ScanAndExportAllTest : public ::testing::Test {
  protected:
    // Everything a scan must leave out and resynchronise over: an ID3v2 tag, junk before the
    // first frame and between frames, more frames than one stretch holds, a change of bitrate,
    // a last frame cut short by the ID3v1 tag.
    void SetUp() override {
        std::vector<uint8_t> bytes = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 20};
        Append(bytes, std::vector<uint8_t>(20, 0xFF));
        Append(bytes, Junk(33));
        Append(bytes, Join(NumberedFrames(FrameStretchSink::kMaxFrames + 300)));
        Append(bytes, Junk(7));
        HeaderSpec low;
        low.bitrateIndex = 1;
        Append(bytes, Join(NumberedFrames(40, low)));
        const std::vector<uint8_t> last = MakeFrame();
        bytes.insert(bytes.end(), last.begin(), last.begin() + 100);
        Append(bytes, MakeId3v1("tagged"));
        WriteFileBytes(source_, bytes);
    }

    TempDir dir_;
    std::string source_ = dir_.File("source.mp3");
};

TEST_F(ScanAndExportAllTest, WritesWhatScanningThenExportingWrites) {
    for (const bool wave : {false, true}) {
        SCOPED_TRACE(wave ? "wav" : "mp3");
        const std::string name = wave ? "out.wav" : "out.mp3";
        const Exported reference = ScanThenExport(source_, dir_.File("reference-" + name), wave);
        const Exported combined = ScanWhileExporting(source_, dir_.File(name), wave);
        ASSERT_EQ(reference.outcome.framesCopied, FrameStretchSink::kMaxFrames + 340);
        ExpectSameExport(combined, reference);
        EXPECT_EQ(combined.outcome.status, kStatusOk);
    }
    EXPECT_TRUE(TempFilesIn(dir_.Path()).empty());
}

TEST_F(ScanAndExportAllTest, SourceWithoutFramesGivesAnEmptyExport) {
    WriteFileBytes(source_, Junk(5000));
    for (const bool wave : {false, true}) {
        const std::string name = wave ? "out.wav" : "out.mp3";
        const Exported reference = ScanThenExport(source_, dir_.File("reference-" + name), wave);
        const Exported combined = ScanWhileExporting(source_, dir_.File(name), wave);
        ExpectSameExport(combined, reference);
        EXPECT_EQ(combined.outcome.framesCopied, 0);
    }
}

TEST_F(ScanAndExportAllTest, ReplacedTargetKeepsItsPermissionsAndLosesItsStaleIndex) {
    const std::string target = dir_.File("out.mp3");
    WriteFileBytes(target, {1, 2, 3});
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    WriteFileBytes(dir_.File("out.m3i"), IndexFileNaming(AbsolutePath(target)));
    const Exported combined = ScanWhileExporting(source_, target, false);
    EXPECT_EQ(combined.outcome.status, kStatusOk);
    EXPECT_EQ(combined.bytes.size(),
              ScanThenExport(source_, dir_.File("ref.mp3"), false).bytes.size());
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_FALSE(std::filesystem::exists(dir_.File("out.m3i")));
}

// A scan that does not complete would export a file that silently ends early: the target and
// its index stay as they were, and nothing is left behind.
TEST_F(ScanAndExportAllTest, ScanThatDoesNotCompleteLeavesTheTargetAlone) {
    const std::string target = dir_.File("out.mp3");
    WriteFileBytes(target, {1, 2, 3});
    WriteFileBytes(dir_.File("out.m3i"), {4, 5, 6});
    CutObjectPtr cut = NewCut(source_);
    WorkerControl control;
    control.RequestTerminate();
    const ScanExportOutcome outcome = ScanAndExportAll(*cut, target, false, control);
    EXPECT_EQ(outcome.scanStatus, kStatusAborted);
    EXPECT_EQ(ReadFileBytes(target), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_TRUE(std::filesystem::exists(dir_.File("out.m3i")));
    EXPECT_TRUE(TempFilesIn(dir_.Path()).empty());
}

TEST_F(ScanAndExportAllTest, SourceAsTargetIsRefusedBeforeAnythingIsWritten) {
    const std::vector<uint8_t> before = ReadFileBytes(source_);
    CutObjectPtr cut = NewCut(source_);
    WorkerControl control;
    EXPECT_THROW(ScanAndExportAll(*cut, source_, false, control), FileCreateError);
    EXPECT_EQ(ReadFileBytes(source_), before);
    EXPECT_TRUE(TempFilesIn(dir_.Path()).empty());
}

// An abort at any moment: before the scan completes it leaves the target as it was; after, the
// target holds a well-formed prefix of the export (whole frames, in order, with a header that
// says how many), wherever the two copying threads were. The timing varies from run to run;
// these must hold in every case.
TEST_F(ScanAndExportAllTest, AbortAtAnyMomentLeavesTheTargetOrAWholePrefix) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 12; ++i) {
        Append(bytes, Join(NumberedFrames(2000, {}, uint8_t(0x10 + i))));
        Append(bytes, Junk(5));  // gaps, so that there are many stretches
    }
    WriteFileBytes(source_, bytes);
    const Exported whole = ScanThenExport(source_, dir_.File("whole.wav"), true);
    const std::string target = dir_.File("out.wav");
    for (const int delay : {0, 100, 300, 1000, 2000, 4000, 8000, 16000}) {
        SCOPED_TRACE(delay);
        WriteFileBytes(target, {1, 2, 3});
        CutObjectPtr cut = NewCut(source_);
        WorkerControl control;
        auto running = std::async(std::launch::async,
                                  [&] { return ScanAndExportAll(*cut, target, true, control); });
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
        control.RequestTerminate();
        const ScanExportOutcome outcome = running.get();
        const std::vector<uint8_t> written = ReadFileBytes(target);
        if (outcome.scanStatus != kStatusOk) {
            EXPECT_EQ(outcome.scanStatus, kStatusAborted);
            EXPECT_EQ(written, (std::vector<uint8_t>{1, 2, 3}));
            continue;
        }
        const int32_t frames = outcome.exported.framesCopied;
        if (outcome.exported.status == kStatusOk) {
            EXPECT_EQ(frames, whole.outcome.framesCopied);  // done before the abort came
        } else {
            EXPECT_EQ(outcome.exported.status, kStatusAborted);
        }
        size_t size = kWaveHeaderSize;
        for (int32_t i = 0; i < frames; ++i) {
            size += size_t(FrameHeader(cut.get(), i).FrameLength);
        }
        ASSERT_EQ(written.size(), size);
        EXPECT_TRUE(std::equal(written.begin() + kWaveHeaderSize, written.end(),
                               whole.bytes.begin() + kWaveHeaderSize));
        const auto header =
            BuildWaveHeader(frames > 0 ? FrameHeader(cut.get(), frames - 1) : kNoFrame, size);
        EXPECT_TRUE(std::equal(header.begin(), header.end(), written.begin()));
    }
    EXPECT_TRUE(TempFilesIn(dir_.Path()).empty());
}

// Between two kinds of file system the kernel may refuse to copy by itself; the bytes must then
// come through the process, unchanged.
TEST_F(ScanAndExportAllTest, CopiesAcrossFileSystemsToo) {
    struct stat here {};
    struct stat shm {};
    if (::stat(dir_.Path().c_str(), &here) != 0 || ::stat("/dev/shm", &shm) != 0 ||
        here.st_dev == shm.st_dev || ::access("/dev/shm", W_OK) != 0) {
        GTEST_SKIP() << "no second file system to export to";
    }
    char pattern[] = "/dev/shm/slicewell-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    for (const bool wave : {false, true}) {
        const std::string name = wave ? "out.wav" : "out.mp3";
        const Exported reference = ScanThenExport(source_, dir_.File(name), wave);
        const Exported combined = ScanWhileExporting(source_, folder + "/" + name, wave);
        ExpectSameExport(combined, reference);
    }
    std::filesystem::remove_all(folder);
}

// A full disk emptied the target the export was to replace (a 0-byte old.mp3 after "Unknown error
// at operation"), and a failure part way left part of the export in its place. Writes past a size
// limit fail as on a full disk: every kind of export must leave the old target byte for byte and
// no temporary file, and name the system's reason.
TEST_F(ScanAndExportAllTest, FailedWriteLeavesTheOldTargetAndSaysWhy) {
    DirectFrontEnd frontEnd;
    CutObjectPtr scanned = NewCut(source_);
    WorkerControl control;
    ASSERT_EQ(ScanFrames(*scanned, control), kStatusOk);
    const TCueObject cue{scanned.get(), "cue", 0, scanned->FrameCount() - 1};
    const std::vector<std::pair<std::string, std::function<ExportOutcome(const std::string&)>>>
        exports = {
            {"while scanning",
             [&](const std::string& target) {
                 CutObjectPtr cut = NewCut(source_);
                 WorkerControl own;
                 return ScanAndExportAll(*cut, target, IsWaveTarget(target), own).exported;
             }},
            {"a range",
             [&](const std::string& target) {
                 return ExportCutObjectRange(*scanned, {0, scanned->FrameCount() - 1}, target,
                                             ExportStyle::Clean, frontEnd);
             }},
            {"cues",
             [&](const std::string& target) {
                 return ExportCues({&cue}, TProjectProperties{}, target, "", ExportStyle::Raw,
                                   frontEnd);
             }},
        };
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    for (const auto& [what, run] : exports) {
        for (const char* name : {"old.mp3", "old.wav"}) {
            SCOPED_TRACE(what + " to " + name);
            const std::string target = dir_.File(name);
            WriteFileBytes(target, old);
            ExportOutcome outcome;
            {
                const FileSizeLimit full(100000);  // inside a frame of the first stretch
                outcome = run(target);
            }
            EXPECT_EQ(outcome.status, kStatusUnknownError);
            EXPECT_EQ(outcome.failure, "Cannot write file " + target + ": File too large");
            EXPECT_EQ(outcome.framesCopied, 0);
            EXPECT_EQ(ReadFileBytes(target), old);
            EXPECT_TRUE(TempFilesIn(dir_.Path()).empty());
        }
    }
}

}  // namespace
}  // namespace sw::test
