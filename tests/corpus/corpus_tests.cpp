// The engine against real encoder output: what hand-built frames cannot show (lame's Info and
// Xing frames, bit reservoirs, MPEG-2.5 frame sizes, ID3v2 with a picture, ffmpeg's WAV layout)
// and the damaged files users actually bring. The files and their facts come from
// make_corpus.sh, run by CTest as this executable's fixture.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/export.h"
#include "engine/scan.h"
#include "engine/scan_export.h"
#include "frame_builder.h"
#include "stream/file_stream.h"
#include "stream/frame_header.h"
#include "stream/memory_stream.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string CorpusDir() {
    if (const char* dir = std::getenv("SW_CORPUS_DIR")) {
        return dir;
    }
    return SW_CORPUS_DIR;
}

std::string CorpusFile(const std::string& name) {
    return CorpusDir() + "/" + name;
}

// corpus_facts.txt: "file<TAB>key<TAB>value" lines written by the corpus tool.
class Facts {
  public:
    static const Facts& Get() {
        static const Facts facts(CorpusDir() + "/corpus_facts.txt");
        return facts;
    }
    bool Has(const std::string& file, const std::string& key) const {
        auto it = values_.find(file);
        return it != values_.end() && it->second.count(key) != 0;
    }
    std::string Text(const std::string& file, const std::string& key) const {
        auto it = values_.find(file);
        if (it == values_.end() || it->second.count(key) == 0) {
            ADD_FAILURE() << "corpus_facts.txt has no " << key << " for " << file;
            return "";
        }
        return it->second.at(key);
    }
    int64_t Int(const std::string& file, const std::string& key) const {
        return std::stoll(Text(file, key));
    }
    bool Known(const std::string& file) const { return values_.count(file) != 0; }
    std::vector<std::string> Files() const {
        std::vector<std::string> files;
        for (const auto& entry : values_) {
            files.push_back(entry.first);
        }
        return files;
    }

  private:
    explicit Facts(const std::string& fileName) {
        std::ifstream in(fileName);
        std::string line;
        while (std::getline(in, line)) {
            const size_t a = line.find('\t');
            const size_t b = line.find('\t', a + 1);
            if (a == std::string::npos || b == std::string::npos) {
                continue;
            }
            values_[line.substr(0, a)][line.substr(a + 1, b - a - 1)] = line.substr(b + 1);
        }
    }
    std::map<std::string, std::map<std::string, std::string>> values_;
};

struct Scanned {
    sw::CutObjectPtr cut;
    int status = -1;
};

Scanned Scan(const std::string& name) {
    Scanned result;
    result.cut.reset(sw::CreateCutObject(CorpusFile(name), {}));
    if (result.cut) {
        sw::WorkerControl control;
        result.status = sw::ScanFrames(*result.cut, control);
    }
    return result;
}

std::vector<int32_t> Offsets(sw::TCutObject& cut) {
    std::vector<int32_t> offsets;
    for (int32_t i = 0; i < cut.FrameCount(); ++i) {
        offsets.push_back(sw::FrameOffset(&cut, i));
    }
    return offsets;
}

uint32_t WordAt(const Bytes& bytes, size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
           (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

// The frames first..last as the index says they are, cut straight out of the source bytes.
Bytes FramesFromIndex(sw::TCutObject& cut, const Bytes& source, int32_t first, int32_t last) {
    Bytes out;
    for (int32_t i = first; i <= last; ++i) {
        const size_t at = static_cast<size_t>(sw::FrameOffset(&cut, i));
        const int32_t length = sw::DecodeFrameHeader(WordAt(source, at)).FrameLength;
        EXPECT_LE(at + length, source.size()) << "frame " << i << " runs past the file";
        if (at + length > source.size()) {
            break;
        }
        out.insert(out.end(), source.begin() + at, source.begin() + at + length);
    }
    return out;
}

Bytes Export(sw::TCutObject& cut, int32_t first, int32_t last, bool wave = false) {
    sw::MemoryStream target;
    sw::WorkerControl control;
    const sw::ExportOutcome outcome =
        sw::ExportCutObjectFrames(target, wave, cut, {first, last}, sw::ExportStyle::Raw, control);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.framesCopied, last - first + 1);
    return target.Bytes();
}

struct ToolRun {
    int exitCode = -1;
    std::string errors;
};

// Runs a program with its standard error captured; no shell, so file names need no quoting.
ToolRun RunTool(const std::vector<std::string>& args, const std::string& errorFile) {
    ToolRun run;
    const pid_t pid = fork();
    if (pid == 0) {
        const int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        std::vector<char*> argv;
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    }
    std::ifstream in(errorFile);
    std::stringstream text;
    text << in.rdbuf();
    run.errors = text.str();
    return run;
}

bool ToolInstalled(const std::string& name) {
    const std::string command = "command -v " + name + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// Every file of the corpus; the facts say which of them hold frames worth exporting.
const char* const kCorpusFiles[] = {
    "cbr128_info.mp3",
    "cbr128_plain.mp3",
    "vbr_v4.mp3",
    "mpeg2_22050_mono.mp3",
    "mpeg2_24000_mono.mp3",
    "mpeg2_16000_mono.mp3",
    "mpeg25_11025_mono.mp3",
    "mpeg25_8000_mono.mp3",
    "crc_protected.mp3",
    "layer2_twolame.mp2",
    "id3v1_track.mp3",
    "id3v2_cover.mp3",
    "layer3_wav70.wav",
    "layer3_ffmpeg.wav",
    "pcm.wav",
    "garbage_middle.mp3",
    "junk_start.mp3",
    "truncated_last.mp3",
    "bitrate_switch.mp3",
    "empty.mp3",
    "seven_bytes.mp3",
    "no_header.mp3",
};

// A file added to the recipe but not to the list above would go untested without a sound.
TEST(CorpusFacts, EveryFileTheRecipeMakesIsTested) {
    std::vector<std::string> listed(std::begin(kCorpusFiles), std::end(kCorpusFiles));
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(Facts::Get().Files(), listed);
}

class CorpusFileTest : public testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        name_ = GetParam();
        ASSERT_TRUE(Facts::Get().Known(name_))
            << "no facts for " << name_ << " in " << CorpusDir() << ": did make_corpus.sh run?";
    }
    std::string name_;
};

// The summary the scan leaves must agree with an independent walk of the same bytes: a wrong
// frame-length formula for one version or layer shows up as a wrong count or offset here.
TEST_P(CorpusFileTest, ScanAgreesWithTheFramesTheEncoderWrote) {
    const Facts& facts = Facts::Get();
    Scanned s = Scan(name_);
    ASSERT_TRUE(s.cut) << "CreateCutObject refused " << name_;
    ASSERT_EQ(s.status, 0);
    sw::TCutObject& cut = *s.cut;
    EXPECT_EQ(cut.FileSize, facts.Int(name_, "size"));
    if (!facts.Has(name_, "frames")) {
        return;  // not MPEG: only a clean status is promised
    }
    const int32_t frames = static_cast<int32_t>(facts.Int(name_, "frames"));
    ASSERT_EQ(cut.FrameCount(), frames);
    EXPECT_EQ(cut.DroppedFrames, facts.Int(name_, "dropped"));
    EXPECT_EQ(cut.MarkIn, 0);
    EXPECT_EQ(cut.MarkOut, frames - 1);
    if (frames == 0) {
        return;
    }
    EXPECT_EQ(sw::FrameOffset(&cut, 0), facts.Int(name_, "first_offset"));
    EXPECT_EQ(sw::FrameOffset(&cut, frames - 1), facts.Int(name_, "last_offset"));
    EXPECT_EQ(cut.Vbr, facts.Int(name_, "vbr") != 0);
    EXPECT_NEAR(cut.PlayTime, std::stod(facts.Text(name_, "play_time")), 1e-3);

    const std::vector<int32_t> offsets = Offsets(cut);
    for (size_t i = 1; i < offsets.size(); ++i) {
        ASSERT_LT(offsets[i - 1], offsets[i]) << "index not rising at frame " << i;
    }
    if (facts.Has(name_, "sample_rate")) {
        EXPECT_EQ(cut.FrameInfo.SampleRate, facts.Int(name_, "sample_rate"));
        EXPECT_EQ(cut.FrameInfo.Layer, facts.Int(name_, "layer"));
        EXPECT_EQ(cut.FrameInfo.Crc, facts.Int(name_, "crc"));
        EXPECT_EQ(cut.FrameInfo.ChannelMode == 3, facts.Int(name_, "mono") != 0);
        const std::string version = facts.Text(name_, "version");
        EXPECT_EQ(cut.FrameInfo.Version, version == "1" ? 1 : version == "2" ? 2 : 3);
    }
}

// A whole-file export is exactly the indexed frames, byte for byte, and nothing else: no junk,
// no tag, no bytes between resynchronised frames.
TEST_P(CorpusFileTest, WholeExportIsTheIndexedFramesByteForByte) {
    Scanned s = Scan(name_);
    ASSERT_TRUE(s.cut);
    ASSERT_EQ(s.status, 0);
    const int32_t frames = s.cut->FrameCount();
    if (frames == 0) {
        GTEST_SKIP() << name_ << " holds no frames";
    }
    const Bytes source = sw::test::ReadFileBytes(CorpusFile(name_));
    const Bytes expected = FramesFromIndex(*s.cut, source, 0, frames - 1);
    const Bytes exported = Export(*s.cut, 0, frames - 1);
    ASSERT_EQ(exported.size(), expected.size());
    EXPECT_TRUE(exported == expected);
}

// Scanning and copying at once must write what scanning first and exporting then writes, for
// plain MPEG and WAV targets alike, and leave the same scan behind.
TEST_P(CorpusFileTest, ExportDuringTheScanEqualsExportAfterIt) {
    Scanned s = Scan(name_);
    ASSERT_TRUE(s.cut);
    ASSERT_EQ(s.status, 0);
    const int32_t frames = s.cut->FrameCount();
    sw::test::TempDir dir;
    for (const bool wave : {false, true}) {
        const std::string target = dir.File(wave ? "out.wav" : "out.mp3");
        sw::CutObjectPtr cut(sw::CreateCutObject(CorpusFile(name_), {}));
        ASSERT_TRUE(cut);
        sw::WorkerControl control;
        const sw::ScanExportOutcome outcome = sw::ScanAndExportAll(*cut, target, wave, control);
        EXPECT_EQ(outcome.scanStatus, 0);
        EXPECT_EQ(outcome.exported.status, 0);
        EXPECT_EQ(outcome.exported.framesCopied, frames);
        EXPECT_EQ(Offsets(*cut), Offsets(*s.cut));
        EXPECT_EQ(cut->PlayTime, s.cut->PlayTime);
        const Bytes expected = Export(*s.cut, 0, frames - 1, wave);
        const Bytes written = sw::test::ReadFileBytes(target);
        ASSERT_EQ(written.size(), expected.size()) << (wave ? "wav" : "mp3");
        EXPECT_TRUE(written == expected) << (wave ? "wav" : "mp3");
    }
}

// Cutting a file into adjacent pieces and joining them must lose or repeat no frame.
TEST_P(CorpusFileTest, AdjacentRangeExportsJoinToTheUnionsExport) {
    Scanned s = Scan(name_);
    ASSERT_TRUE(s.cut);
    const int32_t frames = s.cut->FrameCount();
    if (frames < 3) {
        GTEST_SKIP() << name_ << " holds too few frames to cut";
    }
    const int32_t a = frames / 3;
    const int32_t b = 2 * frames / 3;
    Bytes joined = Export(*s.cut, 0, a - 1);
    sw::test::Append(joined, Export(*s.cut, a, b));
    sw::test::Append(joined, Export(*s.cut, b + 1, frames - 1));
    const Bytes whole = Export(*s.cut, 0, frames - 1);
    ASSERT_EQ(joined.size(), whole.size());
    EXPECT_TRUE(joined == whole);

    const Bytes single = Export(*s.cut, a, a);
    const Bytes source = sw::test::ReadFileBytes(CorpusFile(name_));
    EXPECT_TRUE(single == FramesFromIndex(*s.cut, source, a, a));
}

// What we write must play elsewhere: two independent decoders read every whole export, as MPEG
// and behind our WAV header, without a complaint.
TEST_P(CorpusFileTest, WholeExportsDecodeWithFfmpegAndMpg123) {
    const Facts& facts = Facts::Get();
    if (facts.Int(name_, "decodable") == 0) {
        GTEST_SKIP() << name_ << " is not audio a decoder should accept";
    }
    if (!ToolInstalled("ffmpeg") || !ToolInstalled("mpg123")) {
        GTEST_SKIP() << "ffmpeg or mpg123 missing";
    }
    Scanned s = Scan(name_);
    ASSERT_TRUE(s.cut);
    const int32_t frames = s.cut->FrameCount();
    ASSERT_GT(frames, 0);
    sw::test::TempDir dir;
    const std::string mpeg = dir.File("whole.mp3");
    const std::string wave = dir.File("whole.wav");
    sw::test::WriteFileBytes(mpeg, Export(*s.cut, 0, frames - 1));
    sw::test::WriteFileBytes(wave, Export(*s.cut, 0, frames - 1, true));
    // One ffmpeg run for both files: its start-up costs more than decoding three seconds.
    const ToolRun ffmpeg =
        RunTool({"ffmpeg", "-nostdin", "-v", "error", "-i", mpeg, "-i", wave, "-map", "0:a", "-f",
                 "null", "-", "-map", "1:a", "-f", "null", "-"},
                dir.File("e"));
    EXPECT_EQ(ffmpeg.exitCode, 0) << ffmpeg.errors;
    EXPECT_EQ(ffmpeg.errors, "");
    for (const std::string& file : {mpeg, wave}) {
        const ToolRun mpg123 = RunTool({"mpg123", "-t", "-q", file}, dir.File("e"));
        EXPECT_EQ(mpg123.exitCode, 0) << file << ": " << mpg123.errors;
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusFileTest, testing::ValuesIn(kCorpusFiles),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) {
                                     c = '_';
                                 }
                             }
                             return name;
                         });

// The damaged and wrapped files are all made from cbr128_plain.mp3, so their whole exports must
// give back exactly that file (or its complete frames).
Bytes WholeExportOf(const std::string& name) {
    Scanned s = Scan(name);
    EXPECT_TRUE(s.cut);
    if (!s.cut) {
        return {};
    }
    return Export(*s.cut, 0, s.cut->FrameCount() - 1);
}

TEST(CorpusRepair, ExportsOfWrappedAndDamagedCopiesGiveBackTheCleanFile) {
    const Bytes plain = sw::test::ReadFileBytes(CorpusFile("cbr128_plain.mp3"));
    EXPECT_TRUE(WholeExportOf("junk_start.mp3") == plain) << "leading junk leaked or cut a frame";
    EXPECT_TRUE(WholeExportOf("garbage_middle.mp3") == plain) << "garbage leaked into the export";
    EXPECT_TRUE(WholeExportOf("layer3_wav70.wav") == plain) << "WAV header leaked";
    EXPECT_TRUE(WholeExportOf("layer3_ffmpeg.wav") == plain) << "RIFF chunks leaked";

    const Facts& facts = Facts::Get();
    const Bytes truncated = WholeExportOf("truncated_last.mp3");
    const auto cut = static_cast<size_t>(facts.Int("truncated_last.mp3", "truncated_frame_offset"));
    EXPECT_TRUE(truncated == Bytes(plain.begin(), plain.begin() + cut));
}

// A cover picture is a few kilobytes of arbitrary bytes; ours even carries a valid-looking frame
// header. None of it may become a frame, or every position in the file shifts.
TEST(CorpusTags, Id3v2CoverYieldsNoBogusFrames) {
    const std::string name = "id3v2_cover.mp3";
    const Facts& facts = Facts::Get();
    Scanned s = Scan(name);
    ASSERT_TRUE(s.cut);
    ASSERT_EQ(s.status, 0);
    const int64_t tagEnd = facts.Int(name, "id3v2_end");
    ASSERT_GT(tagEnd, 10);
    EXPECT_EQ(s.cut->DroppedFrames, 0);
    EXPECT_FALSE(s.cut->Vbr);
    ASSERT_GT(s.cut->FrameCount(), 0);
    EXPECT_EQ(sw::FrameOffset(s.cut.get(), 0), tagEnd);
    EXPECT_EQ(s.cut->FrameCount(), facts.Int(name, "frames"));

    sw::FileStream stream(CorpusFile(name), sw::FileMode::OpenRead);
    EXPECT_EQ(sw::Id3v2TagEnd(stream), tagEnd);
    sw::FileStream untagged(CorpusFile("cbr128_info.mp3"), sw::FileMode::OpenRead);
    EXPECT_EQ(sw::Id3v2TagEnd(untagged), 0);
}

TEST(CorpusTags, Id3v1TrackTagIsReadAndNotIndexed) {
    const std::string name = "id3v1_track.mp3";
    const Facts& facts = Facts::Get();
    Scanned s = Scan(name);
    ASSERT_TRUE(s.cut);
    ASSERT_TRUE(s.cut->HasTag);
    const sw::TID3Tag& tag = s.cut->Tag;
    EXPECT_EQ(tag.Title, facts.Text(name, "id3v1_title"));
    EXPECT_EQ(tag.Artist, facts.Text(name, "id3v1_artist"));
    EXPECT_EQ(tag.Album, facts.Text(name, "id3v1_album"));
    EXPECT_EQ(tag.Year, facts.Text(name, "id3v1_year"));
    EXPECT_EQ(tag.Comment, facts.Text(name, "id3v1_comment"));
    EXPECT_EQ(tag.Track, facts.Int(name, "id3v1_track"));
    EXPECT_EQ(tag.Genre, facts.Int(name, "id3v1_genre"));

    const Bytes exported = Export(*s.cut, 0, s.cut->FrameCount() - 1);
    EXPECT_EQ(static_cast<int64_t>(exported.size()), facts.Int(name, "size") - 128)
        << "the export must stop where the tag begins";
}

// The frame after a damaged stretch must be indexed where it really starts, and the damage
// counted once.
TEST(CorpusDamage, GarbageInTheMiddleResynchronisesOnce) {
    const std::string name = "garbage_middle.mp3";
    const Facts& facts = Facts::Get();
    Scanned s = Scan(name);
    ASSERT_TRUE(s.cut);
    EXPECT_EQ(s.cut->DroppedFrames, 1);
    const int32_t before = static_cast<int32_t>(facts.Int(name, "frames_before_garbage"));
    ASSERT_GT(s.cut->FrameCount(), before);
    EXPECT_EQ(sw::FrameOffset(s.cut.get(), before), facts.Int(name, "frame_after_garbage_offset"));
    const int64_t garbageStart = facts.Int(name, "garbage_offset");
    const int64_t garbageEnd = garbageStart + facts.Int(name, "garbage_length");
    for (int32_t offset : Offsets(*s.cut)) {
        EXPECT_FALSE(offset >= garbageStart && offset < garbageEnd) << "frame inside garbage";
    }
}

TEST(CorpusDamage, TruncatedLastFrameIsNotIndexed) {
    const std::string name = "truncated_last.mp3";
    const Facts& facts = Facts::Get();
    Scanned s = Scan(name);
    ASSERT_TRUE(s.cut);
    EXPECT_EQ(s.cut->FrameCount(), facts.Int(name, "frames"));
    const std::vector<int32_t> offsets = Offsets(*s.cut);
    ASSERT_FALSE(offsets.empty());
    EXPECT_NE(offsets.back(), facts.Int(name, "truncated_frame_offset"));
}

TEST(CorpusDamage, BitrateSwitchSetsVbrAndKeepsBothHalves) {
    const std::string name = "bitrate_switch.mp3";
    const Facts& facts = Facts::Get();
    Scanned s = Scan(name);
    ASSERT_TRUE(s.cut);
    EXPECT_TRUE(s.cut->Vbr);
    EXPECT_EQ(s.cut->DroppedFrames, 0);
    const std::vector<int32_t> offsets = Offsets(*s.cut);
    const int32_t switchAt = static_cast<int32_t>(facts.Int(name, "switch_offset"));
    EXPECT_NE(std::find(offsets.begin(), offsets.end(), switchAt), offsets.end())
        << "the first frame of the second encode is missing";
    EXPECT_EQ(s.cut->FrameInfo.Bitrate, 192);  // the summary holds the last frame's header
}

TEST(CorpusDamage, FilesWithoutFramesScanCleanlyToAnEmptyIndex) {
    for (const char* name : {"empty.mp3", "seven_bytes.mp3", "no_header.mp3"}) {
        SCOPED_TRACE(name);
        Scanned s = Scan(name);
        ASSERT_TRUE(s.cut);
        EXPECT_EQ(s.status, 0);
        EXPECT_EQ(s.cut->FrameCount(), 0);
        EXPECT_EQ(s.cut->MarkOut, -1);
        EXPECT_EQ(s.cut->DroppedFrames, -1);
    }
}

// The WAV written by an export carries the frames behind exactly 70 header bytes, and a scan of
// that WAV finds them all again: export and import agree on the container.
TEST(CorpusWave, WaveExportScansBackToTheSameFrames) {
    Scanned s = Scan("vbr_v4.mp3");
    ASSERT_TRUE(s.cut);
    const int32_t frames = s.cut->FrameCount();
    const Bytes mpeg = Export(*s.cut, 0, frames - 1);
    const Bytes wave = Export(*s.cut, 0, frames - 1, true);
    ASSERT_EQ(wave.size(), mpeg.size() + 70);
    EXPECT_TRUE(Bytes(wave.begin() + 70, wave.end()) == mpeg);
    EXPECT_EQ(wave[20] | (wave[21] << 8), 0x55);

    sw::test::TempDir dir;
    const std::string file = dir.File("back.wav");
    sw::test::WriteFileBytes(file, wave);
    sw::CutObjectPtr back(sw::CreateCutObject(file, {}));
    ASSERT_TRUE(back);
    sw::WorkerControl control;
    ASSERT_EQ(sw::ScanFrames(*back, control), 0);
    EXPECT_EQ(back->FrameCount(), frames);
    EXPECT_EQ(sw::FrameOffset(back.get(), 0), 70);
    EXPECT_EQ(back->DroppedFrames, 0);
}

}  // namespace
