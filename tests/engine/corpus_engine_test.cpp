#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "engine/export.h"
#include "engine/scan.h"
#include "engine/wave_header.h"
#include "engine_fixture.h"
#include "stream/status.h"

namespace sw::test {
namespace {

// Real encoder output (lame, twolame, ffmpeg), made once for this suite by the corpus recipe, with
// facts from an independent walk of the bytes. Hand-built frames cannot show Info/Xing frames,
// MPEG-2.5 sizes, a cover picture in an ID3v2 tag or another program's WAV layout.
class CorpusEngine : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir();
        const std::string command = std::string("bash '") + SLICEWELL_SOURCE_DIR +
                                    "/tests/corpus/make_corpus.sh' '" + dir_->Path() +
                                    "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) {
            return;
        }
        std::ifstream in(dir_->File("corpus_facts.txt"));
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string file, key, value;
            std::getline(fields, file, '\t');
            std::getline(fields, key, '\t');
            std::getline(fields, value);
            facts_[file][key] = value;
        }
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
        facts_.clear();
    }
    void SetUp() override {
        if (facts_.empty()) {
            GTEST_SKIP() << "the corpus could not be made (lame, twolame, sox, ffmpeg missing?)";
        }
    }

    static CutObjectPtr Scanned(const std::string& name, int* status = nullptr) {
        CutObjectPtr cut(CreateCutObject(dir_->File(name)));
        EXPECT_TRUE(cut) << name;
        if (cut) {
            WorkerControl control;
            const int result = ScanFrames(*cut, control);
            if (status != nullptr) {
                *status = result;
            }
        }
        return cut;
    }
    static std::vector<uint8_t> WholeExport(TCutObject& cut, bool wave = false) {
        MemoryStream target;
        WorkerControl control;
        EXPECT_EQ(ExportCutObjectFrames(target, wave, cut, 0, cut.FrameCount() - 1, control).status,
                  kStatusOk);
        return target.Bytes();
    }
    static std::vector<uint8_t> FileBytes(const std::string& name, size_t from, size_t to) {
        const std::vector<uint8_t> bytes = ReadFileBytes(dir_->File(name));
        return std::vector<uint8_t>(bytes.begin() + from, bytes.begin() + to);
    }

    static TempDir* dir_;
    static std::map<std::string, std::map<std::string, std::string>> facts_;
};

TempDir* CorpusEngine::dir_ = nullptr;
std::map<std::string, std::map<std::string, std::string>> CorpusEngine::facts_;

TEST_F(CorpusEngine, ScanAgreesWithTheIndependentWalkOnEveryFile) {
    int checked = 0;
    for (const auto& [name, facts] : facts_) {
        if (!facts.count("frames")) {
            continue;
        }
        SCOPED_TRACE(name);
        int status = -1;
        CutObjectPtr cut = Scanned(name, &status);
        ASSERT_TRUE(cut);
        EXPECT_EQ(status, kStatusOk);
        const int frames = std::stoi(facts.at("frames"));
        EXPECT_EQ(cut->FrameCount(), frames);
        EXPECT_EQ(cut->MarkOut, frames - 1);
        EXPECT_EQ(cut->DroppedFrames, std::stoi(facts.at("dropped")));
        if (frames > 0) {
            const std::vector<int32_t> entries = IndexEntries(*cut);
            EXPECT_EQ(entries.front(), std::stoi(facts.at("first_offset")));
            EXPECT_EQ(entries.back(), std::stoi(facts.at("last_offset")));
            EXPECT_EQ(cut->Vbr, facts.at("vbr") == "1");
            EXPECT_NEAR(cut->PlayTime, std::stod(facts.at("play_time")), 1e-4);
        }
        ++checked;
    }
    EXPECT_GE(checked, 20);
}

TEST_F(CorpusEngine, PcmWaveScansToTheEndWithStatusZero) {
    int status = -1;
    CutObjectPtr cut = Scanned("pcm.wav", &status);
    EXPECT_EQ(status, kStatusOk);
    EXPECT_FALSE(IsMpegWaveFile(dir_->File("pcm.wav")));
    EXPECT_TRUE(IsMpegWaveFile(dir_->File("layer3_wav70.wav")));
}

// Whole exports of damaged or tagged files give exactly the clean frames, byte for byte.
TEST_F(CorpusEngine, WholeExportsGiveBackTheCleanFrames) {
    const std::vector<uint8_t> plain = ReadFileBytes(dir_->File("cbr128_plain.mp3"));
    EXPECT_EQ(WholeExport(*Scanned("cbr128_plain.mp3")), plain);
    EXPECT_EQ(WholeExport(*Scanned("garbage_middle.mp3")), plain);
    EXPECT_EQ(WholeExport(*Scanned("junk_start.mp3")), plain);
    EXPECT_EQ(WholeExport(*Scanned("layer3_ffmpeg.wav")), plain);
    EXPECT_EQ(WholeExport(*Scanned("truncated_last.mp3")),
              std::vector<uint8_t>(plain.begin(), plain.begin() + 48065));

    const size_t tagged = ReadFileBytes(dir_->File("id3v1_track.mp3")).size();
    EXPECT_EQ(WholeExport(*Scanned("id3v1_track.mp3")),
              FileBytes("id3v1_track.mp3", 0, tagged - 128));
    const size_t covered = ReadFileBytes(dir_->File("id3v2_cover.mp3")).size();
    EXPECT_EQ(WholeExport(*Scanned("id3v2_cover.mp3")),
              FileBytes("id3v2_cover.mp3", 2048, covered));
}

// Our own WAV export of real frames scans back to the same frames at offset 70.
TEST_F(CorpusEngine, WaveExportOfRealFramesScansBackToTheSameFrames) {
    CutObjectPtr source = Scanned("mpeg25_8000_mono.mp3");
    const std::vector<uint8_t> wave = WholeExport(*source, true);
    EXPECT_EQ((wave[20] | wave[21] << 8), 0x55);
    EXPECT_EQ(wave[22], 1);
    auto again = MemoryCut(wave);
    WorkerControl control;
    ASSERT_EQ(ScanFrames(*again, control), kStatusOk);
    EXPECT_EQ(again->FrameCount(), source->FrameCount());
    EXPECT_EQ(IndexEntries(*again).front(), kWaveHeaderSize);
}

}  // namespace
}  // namespace sw::test
