// The bin's import of real encoder output: what the scan indexes of each file, and the index
// files beside them when fresh, stale, damaged, or left behind by a moved source. The corpus and
// its facts come from make_corpus.sh, run by CTest as this executable's fixture.

#include <sys/stat.h>

#include <cstdio>
#include <fstream>

#include "model_fixture.h"
#include "project/index_beside.h"

namespace sw::test {
namespace {

using Answer = Prompts::Answer;

std::string CorpusFile(const std::string& name) {
    return std::string(SW_CORPUS_DIR) + "/" + name;
}

// The "frames" fact of a corpus file (corpus_facts.txt: "file<TAB>key<TAB>value").
int FramesFact(const std::string& name) {
    std::ifstream in(CorpusFile("corpus_facts.txt"));
    std::string line;
    const std::string prefix = name + "\tframes\t";
    while (std::getline(in, line)) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            return std::stoi(line.substr(prefix.size()));
        }
    }
    ADD_FAILURE() << "no frames fact for " << name;
    return -1;
}

class BinCorpusTest : public ModelFixture {
  protected:
    // A copy of a corpus file in the test's folder, where index files may be written.
    std::string Copy(const std::string& name, const std::string& as) {
        const std::string target = dir.File(as);
        WriteFileBytes(target, ReadFileBytes(CorpusFile(name)));
        return target;
    }
};

TEST_F(BinCorpusTest, RealFilesImportWithTheFramesTheirFactsCount) {
    // An import that indexed other frames than the scan of each kind of file would cut wrong.
    for (const char* name :
         {"cbr128_info.mp3", "vbr_v4.mp3", "mpeg25_8000_mono.mp3", "id3v1_track.mp3",
          "id3v2_cover.mp3", "layer3_wav70.wav", "layer3_ffmpeg.wav", "truncated_last.mp3"}) {
        SCOPED_TRACE(name);
        const int before = bin.Count();
        ASSERT_EQ(bin.ParseMP3List(SW_CORPUS_DIR, {name}), kImportAdded);
        ASSERT_EQ(bin.Count(), before + 1);
        EXPECT_EQ(bin.At(before)->FrameCount(), FramesFact(name));
        EXPECT_TRUE(bin.At(before)->CompletelyScanned);
    }
    prompts.ExpectError();  // PCM is no MPEG wave file
    EXPECT_EQ(bin.ParseMP3List(SW_CORPUS_DIR, {"pcm.wav"}), kImportUnsupported);
}

TEST_F(BinCorpusTest, IndexFilesBesideRealFilesAreUsedFreshAndRebuiltWhenStaleOrDamaged) {
    // A stale index taken as it is cuts at offsets of another file; a damaged one blocked imports.
    settings.SaveIndexStream = true;
    const std::string mp3 = Copy("vbr_v4.mp3", "speech.mp3");
    const std::string index = IndexFileBeside(mp3);
    ASSERT_EQ(bin.ParseMP3List("", {mp3}), kImportAdded);
    ASSERT_TRUE(FileExists(index));
    EXPECT_EQ(scans.scans, 1);

    bin.DeleteAll();
    ASSERT_EQ(bin.ParseMP3List("", {mp3}), kImportAdded);  // fresh: no scan
    EXPECT_EQ(scans.scans, 1);
    EXPECT_EQ(bin.At(0)->FrameCount(), FramesFact("vbr_v4.mp3"));

    bin.DeleteAll();
    Copy("bitrate_switch.mp3", "speech.mp3");  // another file under the same name
    ASSERT_EQ(bin.ParseMP3List("", {mp3}), kImportAdded);
    EXPECT_EQ(scans.scans, 2);
    EXPECT_EQ(bin.At(0)->FrameCount(), FramesFact("bitrate_switch.mp3"));
    CutObjectPtr rewritten(LoadCutObject(index, CutObjectOptionsOf(settings)));
    ASSERT_TRUE(rewritten);
    EXPECT_EQ(rewritten->FrameCount(), FramesFact("bitrate_switch.mp3"));

    bin.DeleteAll();
    auto bytes = ReadFileBytes(index);
    bytes.resize(bytes.size() / 2);
    WriteFileBytes(index, bytes);
    ASSERT_EQ(bin.ParseMP3List("", {mp3}), kImportAdded);
    EXPECT_EQ(scans.scans, 3);
    EXPECT_EQ(bin.At(0)->FrameCount(), FramesFact("bitrate_switch.mp3"));
    EXPECT_TRUE(prompts.Done());
    EXPECT_TRUE(prompts.History().empty());
}

TEST_F(BinCorpusTest, AnIndexLeftBehindByAMovedRealFileFindsItAgain) {
    // Refusing the index of a moved file would make the user scan what the index already holds.
    settings.SaveIndexStream = true;
    const std::string mp3 = Copy("id3v1_track.mp3", "tagged.mp3");
    ASSERT_EQ(bin.ParseMP3List("", {mp3}), kImportAdded);
    const std::string title = bin.At(0)->Tag.Title;
    bin.DeleteAll();
    ASSERT_EQ(::mkdir(dir.File("moved").c_str(), 0700), 0);
    const std::string now = dir.File("moved/tagged.mp3");
    ASSERT_EQ(std::rename(mp3.c_str(), now.c_str()), 0);

    prompts.ExpectYesNo(Answer::Yes);
    prompts.ExpectOpenFiles({now});
    ASSERT_EQ(bin.ParseMP3List("", {IndexFileBeside(mp3)}), kImportAdded);
    EXPECT_EQ(bin.At(0)->FileName, now);
    EXPECT_EQ(bin.At(0)->FrameCount(), FramesFact("id3v1_track.mp3"));
    EXPECT_EQ(bin.At(0)->Tag.Title, title);
    EXPECT_EQ(scans.scans, 1);
    // The found file gets its own index beside it.
    EXPECT_TRUE(FileExists(IndexFileBeside(now)));
}

}  // namespace
}  // namespace sw::test
