// The project bin model: import states and questions, index files beside sources, playlists,
// rescan and delete.

#include <sys/stat.h>

#include <unistd.h>

#include <cstdio>

#include "model_fixture.h"
#include "project/cue_file.h"
#include "project/index_beside.h"
#include "project/inline_front_end.h"
#include "project/playlist.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/file_stream.h"
#include "stream/lazy_file_stream.h"
#include "stream/memory_stream.h"

namespace sw::test {
namespace {

using Answer = Prompts::Answer;

class BinModelTest : public ModelFixture {
  protected:
    void WriteText(const std::string& fileName, const std::string& text) {
        WriteFileBytes(fileName, std::vector<uint8_t>(text.begin(), text.end()));
    }
    // An index file of the file as it is now, written beside it.
    void WriteIndexBeside(const std::string& fileName) {
        CutObjectPtr cut(CreateCutObject(fileName, CutObjectOptionsOf(settings)));
        ASSERT_TRUE(cut);
        ASSERT_EQ(scans.Scan(*cut), 0);
        ASSERT_EQ(SaveCutObject(cut.get(), IndexFileBeside(fileName)), 0);
        scans.scans = 0;
    }
};

TEST_F(BinModelTest, EachKindOfNameEndsInItsImportState) {
    // A wrong state picks the wrong message, or stops an import that should go on.
    const std::string mp3 = WriteMp3("song.mp3", 5);
    const std::string longExtension = WriteMp3("other.mp3x", 5);
    EXPECT_EQ(bin.ParseMP3List("", {mp3}), kImportAdded);
    EXPECT_EQ(bin.ParseMP3List("", {longExtension}), kImportAdded);  // three characters count

    prompts.ExpectErrorYesNo(Answer::Yes);
    EXPECT_EQ(bin.ParseMP3List(dir.Path(), {"missing.mp3"}), kImportNotFound);
    EXPECT_EQ(prompts.Texts().back(),
              "Unable to find file " + dir.File("missing.mp3") + "\r\nDo you want to continue?");

    WriteText(dir.File("list.pls"), "[playlist]\n");
    prompts.ExpectError();
    EXPECT_EQ(bin.ParseMP3List("", {dir.File("list.pls")}), kImportUnsupported);
    EXPECT_EQ(prompts.Texts().back(),
              "Slicewell only supports MP3 encoded wave-files\r\nThe file \"" +
                  dir.File("list.pls") + "\" has another format and will be skipped");

    std::vector<uint8_t> pcm(70, 0);
    pcm[20] = 1;  // PCM, not MPEG Layer-3
    WriteFileBytes(dir.File("pcm.wav"), pcm);
    prompts.ExpectError();
    EXPECT_EQ(bin.ParseMP3List("", {dir.File("pcm.wav")}), kImportUnsupported);

    EXPECT_EQ(bin.ParseMP3List("", {"# only", "  ", ""}), kImportFailed);  // nothing handled
    EXPECT_EQ(bin.Count(), 2);
    EXPECT_TRUE(prompts.Done());
}

TEST_F(BinModelTest, AnsweringNoToAMissingFileStopsTheImport) {
    // Going on after No would import files the user chose not to wait for.
    const std::string mp3 = WriteMp3("later.mp3", 5);
    prompts.ExpectErrorYesNo(Answer::No);
    EXPECT_EQ(bin.ParseMP3List(dir.Path(), {"missing.mp3", mp3}), kImportNotFound);
    EXPECT_EQ(bin.Count(), 0);
}

TEST_F(BinModelTest, NamesResolveAgainstTheBaseFolderWhole) {
    // Cutting long names or mis-joining folders imports the wrong file or none.
    const std::string folder = std::string(200, 'f');
    const std::string longName = folder + "/" + std::string(200, 'n') + ".mp3";
    ASSERT_EQ(::mkdir(dir.File(folder).c_str(), 0700), 0);
    WriteMp3(longName, 3);
    EXPECT_EQ(bin.ParseMP3List(dir.Path(), {longName}), kImportAdded);
    EXPECT_EQ(bin.At(0)->FileName, dir.File(longName));
}

TEST_F(BinModelTest, APlaylistReachedByARelativeNameJoinsItsFolderOnce) {
    // Joined twice, "lists/a.mp3" became "lists/lists/a.mp3", which is not there.
    ASSERT_EQ(::mkdir(dir.File("lists").c_str(), 0700), 0);
    WriteMp3("lists/a.mp3", 3);
    WriteText(dir.File("lists/p.m3u"), "a.mp3\r\n");
    const std::string here = AbsolutePath(".");
    ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
    const int state = bin.ParseMP3List("", {"lists/p.m3u"});
    ASSERT_EQ(::chdir(here.c_str()), 0);
    EXPECT_EQ(state, kImportAdded);
    ASSERT_EQ(bin.Count(), 1);
    EXPECT_EQ(bin.At(0)->FileName, "lists/a.mp3");
}

TEST_F(BinModelTest, TheNameMatchQuestionIsCaseSensitiveAndNoDeclines) {
    // A case-blind match would ask about a different file; a declined match must not be added.
    settings.CheckMatch = true;
    ASSERT_EQ(::mkdir(dir.File("a").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(dir.File("b").c_str(), 0700), 0);
    ASSERT_EQ(bin.ParseMP3List("", {WriteMp3("a/take.mp3", 3)}), kImportAdded);
    EXPECT_EQ(bin.ParseMP3List("", {WriteMp3("b/Take.mp3", 3)}), kImportAdded);  // not asked

    prompts.ExpectYesNo(Answer::No);
    EXPECT_EQ(bin.ParseMP3List("", {WriteMp3("b/take.mp3", 3)}), kImportNotClean);
    EXPECT_EQ(prompts.Texts().back(),
              "The selected file \"take\" \r\nhas the same name as one in the current "
              "project\r\n\r\nDo you still wish to add it?");
    EXPECT_EQ(bin.Count(), 2);

    // Declined with names to follow: the pending-scans question; Yes stops there.
    prompts.ExpectYesNo(Answer::No);
    prompts.ExpectYesNo(Answer::Yes);
    EXPECT_EQ(bin.ParseMP3List("", {dir.File("b/take.mp3"), WriteMp3("b/next.mp3", 3)}),
              kImportNotClean);
    EXPECT_EQ(prompts.Texts().back(), "Do you want to abort all pending scans ?");
    EXPECT_EQ(bin.Count(), 2);
}

TEST_F(BinModelTest, AnAbortedLastScanAddsThePartialFileWithoutAQuestion) {
    // Asking about pending scans after the last one, or dropping its partial index, is wrong.
    const std::string first = WriteMp3("first.mp3", 3);
    const std::string last = WriteMp3("last.mp3", 3);
    scans.forcedStatus[last] = 2;
    prompts.ExpectOpenFiles({first, last});
    prompts.ExpectInformation();
    bin.ImportCommand();
    EXPECT_EQ(prompts.Texts().back(), "Operation aborted");
    EXPECT_EQ(bin.Count(), 2);
    EXPECT_EQ(settings.LastOpenFolder, dir.Path());
}

TEST_F(BinModelTest, AFreshIndexBesideTheFileSparesTheScan) {
    // Scanning a file whose index matches costs an hour-long file's read for nothing.
    const std::string mp3 = WriteMp3("indexed.mp3", 7);
    WriteIndexBeside(mp3);
    EXPECT_EQ(bin.ParseMP3List("", {mp3}), kImportAdded);
    EXPECT_EQ(scans.scans, 0);
    EXPECT_EQ(bin.At(0)->FrameCount(), 7);
    EXPECT_EQ(bin.At(0)->MarkOut, 6);
}

TEST_F(BinModelTest, AStaleIndexBesideTheFileIsScannedAndReplacedUnasked) {
    // A cache describing the file before it changed would cut at wrong offsets.
    settings.SaveIndexStream = true;
    const std::string mp3 = WriteMp3("grown.mp3", 4);
    WriteIndexBeside(mp3);
    WriteMp3("grown.mp3", 9);
    EXPECT_EQ(bin.ParseMP3List("", {mp3}), kImportAdded);
    EXPECT_EQ(scans.scans, 1);
    EXPECT_EQ(bin.At(0)->FrameCount(), 9);
    CutObjectPtr saved(LoadCutObject(IndexFileBeside(mp3), CutObjectOptionsOf(settings)));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->FrameCount(), 9);
    EXPECT_TRUE(prompts.Done());
}

TEST_F(BinModelTest, ADamagedIndexBesideTheFileDoesNotBlockItsImport) {
    // A broken cache file made an intact MP3 impossible to import.
    const std::string mp3 = WriteMp3("intact.mp3", 5);
    WriteText(IndexFileBeside(mp3), "Slicewell4-Index\x05garbage");
    EXPECT_EQ(bin.ParseMP3List("", {mp3}), kImportAdded);
    EXPECT_EQ(bin.At(0)->FrameCount(), 5);
    EXPECT_EQ(scans.scans, 1);
}

TEST_F(BinModelTest, AnIndexWhoseSourceMovedAsksForTheFile) {
    // Without the question the user's index would be refused though the audio still exists.
    const std::string mp3 = WriteMp3("moved.mp3", 6);
    WriteIndexBeside(mp3);
    const std::string index = dir.File("kept.m3i");
    ASSERT_EQ(std::rename(IndexFileBeside(mp3).c_str(), index.c_str()), 0);
    const std::string now = dir.File("now.mp3");
    ASSERT_EQ(std::rename(mp3.c_str(), now.c_str()), 0);

    prompts.ExpectYesNo(Answer::Yes);
    prompts.ExpectOpenFiles({now});
    EXPECT_EQ(bin.ParseMP3List("", {index}), kImportAdded);
    EXPECT_EQ(prompts.Texts().front(),
              "Unable to find original file referenced by index\r\nDo you want to find the file "
              "yourself ?");
    EXPECT_EQ(prompts.LastFileDialog().fileName, mp3);
    EXPECT_EQ(bin.At(0)->FileName, now);
    EXPECT_EQ(bin.At(0)->FrameCount(), 6);
    EXPECT_EQ(scans.scans, 0);

    // Declining the search refuses the index, and the list reports the failed line.
    prompts.ExpectYesNo(Answer::No);
    prompts.ExpectError();
    prompts.ExpectError();
    ASSERT_EQ(std::rename(now.c_str(), dir.File("elsewhere.mp3").c_str()), 0);
    EXPECT_EQ(bin.ParseMP3List("", {index}), kImportFailed);
    EXPECT_EQ(prompts.Texts()[prompts.Texts().size() - 2], "Unable to load file from index");
    EXPECT_EQ(prompts.Texts().back(), "Unable to add file to project");
}

TEST_F(BinModelTest, AnIndexOfAFileThatChangedSizeAtItsPlaceMeetsTheSizeQuestion) {
    // Taking the old offsets for the rewritten file would cut in the middle of frames.
    const std::string mp3 = WriteMp3("changed.mp3", 4);
    WriteIndexBeside(mp3);
    const std::string index = dir.File("changed-copy.m3i");
    ASSERT_EQ(std::rename(IndexFileBeside(mp3).c_str(), index.c_str()), 0);
    WriteMp3("changed.mp3", 8);

    prompts.ExpectYesNoCancel(Answer::Yes);  // rescan
    prompts.ExpectYesNo(Answer::Yes);        // scan now
    EXPECT_EQ(bin.ParseMP3List("", {index}), kImportAdded);
    EXPECT_EQ(prompts.Texts()[0],
              "Size of selected file differs from size referenced by index-file\r\nDo you want "
              "to rescan the file ?");
    EXPECT_EQ(bin.At(0)->FrameCount(), 8);
    EXPECT_EQ(bin.At(0)->FileSize, 8 * 417);
    EXPECT_FLOAT_EQ(bin.At(0)->PlayTime, 8 * 417 / 16000.0f);

    prompts.ExpectYesNoCancel(Answer::Cancel);
    prompts.ExpectError();
    prompts.ExpectError();
    EXPECT_EQ(bin.ParseMP3List("", {index}), kImportFailed);
    EXPECT_EQ(bin.Count(), 1);
}

TEST_F(BinModelTest, AnEntryWhoseScanWasDeclinedHasNoFramesAndRefusesToBeCut) {
    // Cutting or exporting an entry without an index would read an index that is not there.
    const std::string mp3 = WriteMp3("unscanned.mp3", 4);
    WriteIndexBeside(mp3);
    const std::string index = dir.File("copy.m3i");
    ASSERT_EQ(std::rename(IndexFileBeside(mp3).c_str(), index.c_str()), 0);
    WriteMp3("unscanned.mp3", 5);
    prompts.ExpectYesNoCancel(Answer::Yes);
    prompts.ExpectYesNo(Answer::No);
    ASSERT_EQ(bin.ParseMP3List("", {index}), kImportAdded);
    EXPECT_EQ(bin.At(0)->FrameCount(), 0);
    EXPECT_EQ(bin.StatusText(0), "0 frames - NOT completely scanned");

    RecordingCutter cutter;
    bin.SetCutter(&cutter);
    const std::string refusal =
        "The file \"unscanned\" has no frame index\r\nRescan it before cutting, auto-cutting or "
        "exporting it";
    prompts.ExpectError();
    EXPECT_EQ(bin.Cut(0), nullptr);
    EXPECT_EQ(prompts.Texts().back(), refusal);
    prompts.ExpectError();
    EXPECT_EQ(bin.AutoCutTarget(0), nullptr);
    InlineFrontEnd frontEnd;
    CoreCutExporter exporter(frontEnd);
    prompts.ExpectSaveFile(dir.File("out.mp3"));
    prompts.ExpectError();
    bin.ExportCommand(0, exporter);
    EXPECT_EQ(prompts.Texts().back(), refusal);
    EXPECT_FALSE(FileExists(dir.File("out.mp3")));
    EXPECT_EQ(cutter.calls, (std::vector<std::string>{"pause", "resume"}));
    bin.SetCutter(nullptr);
}

TEST_F(BinModelTest, PlaylistsThatNameThemselvesAreReportedAndReadOnce) {
    // Following a playlist ring would recurse until the stack runs out.
    WriteMp3("x.mp3", 3);
    WriteText(dir.File("a.m3u"), "b.m3u\r\nx.mp3\r\n");
    WriteText(dir.File("b.m3u"), "#EXTM3U\r\n" + dir.File("a.m3u") + "\r\n");
    prompts.ExpectError();
    prompts.ExpectError();  // b.m3u added nothing, as a nested list's state says
    EXPECT_EQ(bin.ParseMP3List(dir.Path(), {"a.m3u"}), kImportAdded);
    EXPECT_EQ(prompts.Texts(),
              (std::vector<std::string>{"The playlist \"" + dir.File("a.m3u") +
                                            "\" names itself, directly or through other "
                                            "playlists\r\nIt is not read again",
                                        "Unable to add file to project"}));
    EXPECT_EQ(bin.Count(), 1);

    // A playlist with only comments adds nothing and says so.
    WriteText(dir.File("empty.m3u"), "#EXTM3U\r\n# nothing\r\n");
    prompts.ExpectError();
    EXPECT_EQ(bin.ParseMP3List(dir.Path(), {"empty.m3u"}), kImportFailed);
    EXPECT_EQ(prompts.Texts().back(), "Unable to add file to project");
}

TEST_F(BinModelTest, AnImportStopsAtItsLimitOfFilesAndOfPlaylistsWithOneMessage) {
    // Playlists naming others twice multiply: 17 of them made 65,536 entries and 2.6 GB.
    bin.SetImportLimit(5);
    WriteMp3("x.mp3", 3);
    WriteText(dir.File("flat.m3u"),
              "x.mp3\r\nx.mp3\r\nx.mp3\r\nx.mp3\r\nx.mp3\r\nx.mp3\r\nx.mp3\r\n");
    const std::string limit =
        "The import stopped at 5 files or playlists, the most one import takes\r\nThe rest of "
        "the list was not imported";
    prompts.ExpectError();
    EXPECT_EQ(bin.ParseMP3List(dir.Path(), {"flat.m3u"}), kImportFailed);
    EXPECT_EQ(bin.Count(), 5);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{limit});

    // Playlists count apart from files: a names b twice, b names c twice, c names x. The sixth
    // playlist (the third c) is one too many; the two x of the first two c are in.
    WriteText(dir.File("a.m3u"), "b.m3u\r\nb.m3u\r\n");
    WriteText(dir.File("b.m3u"), "c.m3u\r\nc.m3u\r\n");
    WriteText(dir.File("c.m3u"), "x.mp3\r\n");
    prompts.ExpectError();
    EXPECT_EQ(bin.ParseMP3List(dir.Path(), {"a.m3u"}), kImportFailed);
    EXPECT_EQ(bin.Count(), 7);
    EXPECT_EQ(prompts.Texts().back(), limit);

    // The next import counts afresh.
    EXPECT_EQ(bin.ParseMP3List(dir.Path(), {"c.m3u"}), kImportAdded);
    EXPECT_EQ(bin.Count(), 8);
}

TEST_F(BinModelTest, AFileImportedManyTimesIsScannedOnceAndItsEntriesShareOneIndex) {
    // A playlist of 30,000 lines naming one file scanned it 30,000 times and kept 30,000 copies
    // of its index.
    const std::string song = WriteMp3("song.mp3", 20);
    EXPECT_EQ(bin.ParseMP3List("", std::vector<std::string>(40, song)), kImportAdded);
    EXPECT_EQ(scans.scans, 1);
    ASSERT_EQ(bin.Count(), 40);
    const auto& first = dynamic_cast<MemoryStream&>(*bin.At(0)->IndexStream).Bytes();
    EXPECT_EQ(&dynamic_cast<MemoryStream&>(*bin.At(39)->IndexStream).Bytes(), &first);
    EXPECT_EQ(bin.At(39)->MarkOut, 19);
    EXPECT_EQ(bin.At(39)->PlayTime, bin.At(0)->PlayTime);
    EXPECT_TRUE(bin.At(39)->CompletelyScanned);

    // A file written since is scanned again, and an entry changed later is its own.
    WriteMp3("song.mp3", 21);
    EXPECT_EQ(bin.ParseMP3List("", {song}), kImportAdded);
    EXPECT_EQ(scans.scans, 2);
    EXPECT_EQ(bin.At(40)->FrameCount(), 21);
    bin.At(0)->IndexStream->SetSize(4);
    EXPECT_EQ(bin.At(1)->FrameCount(), 20);
}

TEST_F(BinModelTest, ImportedEntriesHoldNoDescriptorsButStillHoldTheirSources) {
    // Every entry kept its source open with a 128 KiB buffer: about 1,000 entries took the
    // window past the descriptor limit, and lost the user's work with it.
    settings.IndexAsFileStream = true;
    const int before = OpenDescriptorCount();
    std::vector<std::string> sources;
    for (int i = 0; i < kMaxOpenLazyStreams + 8; ++i) {
        sources.push_back(WriteMp3("s" + std::to_string(i) + ".mp3", 3));
    }
    EXPECT_EQ(bin.ParseMP3List("", sources), kImportAdded);
    EXPECT_EQ(bin.Count(), kMaxOpenLazyStreams + 8);
    EXPECT_EQ(OpenDescriptorCount(), before);
    EXPECT_TRUE(IsHeldSource(sources[0]));
    EXPECT_THROW(FileStream(sources[0], FileMode::Create), FileCreateError);
    EXPECT_EQ(FrameHeader(bin.At(0), 2).FrameLength, 417);
    bin.DeleteAll();
    EXPECT_FALSE(IsHeldSource(sources[0]));
    EXPECT_EQ(OpenDescriptorCount(), before);
}

TEST_F(BinModelTest, CueFilesAndPlaylistsNamingEachOtherEndAndKeepThePlayerPaused) {
    // A cue file naming itself as its source recursed without end; an inner import resumed the
    // player while the outer one was still reading sources.
    RecordingCutter cutter;
    bin.SetCutter(&cutter);
    const std::string cueFile = dir.File("self.m3q");
    SaveCueFile(CueFileRecord{cueFile, "self", 0, 1}, cueFile);
    prompts.ExpectError();
    EXPECT_EQ(bin.ParseMP3List("", {cueFile}), kImportFailed);

    WriteText(dir.File("ring.m3u"), "ring.m3q\r\n");
    SaveCueFile(CueFileRecord{dir.File("ring.m3u"), "ring", 0, 1}, dir.File("ring.m3q"));
    WriteMp3("song.mp3", 3);
    const std::string songCue = dir.File("song.m3q");
    SaveCueFile(CueFileRecord{dir.File("song.mp3"), "song", 0, 1}, songCue);
    prompts.ExpectError();  // ring.m3q gives no cue
    prompts.ExpectError();  // so ring.m3u added nothing
    EXPECT_EQ(bin.ParseMP3List(dir.Path(), {"ring.m3u", "song.m3q"}), kImportAdded);
    EXPECT_EQ(bin.Count(), 1);  // the song, imported for its cue
    EXPECT_EQ(cues.Count(), 1);
    EXPECT_EQ(cutter.calls, (std::vector<std::string>{"pause", "resume", "pause", "resume"}));
    bin.SetCutter(nullptr);
}

TEST_F(BinModelTest, ASavedBinReadsBackFromItsPlaylist) {
    // A playlist the bin cannot read back loses the project's file list.
    ASSERT_EQ(::mkdir(dir.File("far").c_str(), 0700), 0);
    bin.ParseMP3List("", {WriteMp3("near.mp3", 3), WriteMp3("far/away.mp3", 4)});
    bin.Rename(0, "edited");
    const std::string list = dir.File("bin.m3u");
    ASSERT_TRUE(bin.SaveMP3List(list));
    const auto bytes = ReadFileBytes(list);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("#EXTINF:0,edited\r\nnear.mp3\r\n"), std::string::npos);
    EXPECT_NE(text.find("#EXTINF:0,away\r\n" + dir.File("far/away.mp3") + "\r\n"),
              std::string::npos);

    CountingSink otherChanges;
    CueListModel otherCues(settings, prompts, otherChanges);
    ProjectBinModel other(settings, prompts, scans, otherCues, otherChanges);
    EXPECT_EQ(other.ParseMP3List("", {list}), kImportAdded);
    ASSERT_EQ(other.Count(), 2);
    EXPECT_EQ(other.At(0)->FileName, dir.File("near.mp3"));
    EXPECT_EQ(other.At(0)->Name, "near");
    EXPECT_EQ(other.At(1)->FrameCount(), 4);
}

TEST_F(BinModelTest, RescanMovesTheCuesToTheNewCutObjectAndKeepsTheName) {
    // Cues left on the freed cut object would be dangling; a lost name loses the user's edit.
    RecordingCutter cutter;
    bin.SetCutter(&cutter);
    const std::string mp3 = WriteMp3("take.mp3", 4);
    bin.ParseMP3List("", {mp3});
    bin.Rename(0, "named");
    TCutObject* old = bin.At(0);
    cues.AddCue(old, "beyond", 2, 8);
    WriteMp3("take.mp3", 6);
    bin.Rescan(0);
    TCutObject* now = bin.At(0);
    EXPECT_NE(now, old);
    EXPECT_EQ(now->Name, "named");
    EXPECT_EQ(now->FrameCount(), 6);
    EXPECT_EQ(cues.At(0)->CutObject, now);
    EXPECT_EQ(cues.At(0)->MarkOut, 8);  // kept past the end: exports clamp
    ASSERT_EQ(cutter.replaced.size(), 1u);
    EXPECT_EQ(cutter.replaced[0], std::make_pair(old, now));
    bin.SetCutter(nullptr);
}

TEST_F(BinModelTest, DeletingAnEntryTellsTheCutterAndTakesItsCues) {
    // A cue surviving its file would refer to freed memory.
    RecordingCutter cutter;
    bin.SetCutter(&cutter);
    bin.ParseMP3List("", {WriteMp3("a.mp3", 3), WriteMp3("b.mp3", 3)});
    cutter.calls.clear();
    cues.AddCue(bin.At(0), "a cue", 0, 1);
    cues.AddCue(bin.At(1), "b cue", 0, 1);
    bin.Move(1, 0);
    EXPECT_EQ(bin.At(0)->Name, "b");
    bin.Delete({1});
    EXPECT_EQ(cutter.calls, (std::vector<std::string>{"deleted a"}));
    ASSERT_EQ(cues.Count(), 1);
    EXPECT_EQ(cues.At(0)->Name, "b cue");
    bin.SetCutter(nullptr);
}

}  // namespace
}  // namespace sw::test
