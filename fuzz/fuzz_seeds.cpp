// Writes the seed corpora for the fuzz targets: fuzz_seeds <folder> makes one folder per target
// (<folder>/scan, <folder>/id3, ...; the list is in main). Seeds are small real-shaped inputs:
// frames of every version, garbage between them, tags of both versions, index files that load,
// cue files whole and cut short, CUE sheets of one and several files, playlists of every line
// kind, file names that look like markup.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/wave_header.h"
#include "fuzz_source.h"
#include "project/project_file.h"
#include "stream/cut_object.h"
#include "stream/file_stream.h"
#include "stream/id3_tag.h"
#include "stream/memory_stream.h"

namespace {

using sw::fuzz::Frames;

void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    sw::FileStream out(name, sw::FileMode::Create);
    out.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

std::vector<uint8_t> Tagged(std::vector<uint8_t> bytes, uint8_t track) {
    sw::TID3Tag tag;
    tag.Title = "  Title";
    tag.Artist = "Artist";
    tag.Year = "2001";
    tag.Comment = std::string(30, 'c');
    tag.Genre = 17;
    tag.Track = track;
    sw::MemoryStream stream(std::move(bytes));
    sw::WriteId3Tag(stream, tag);
    return stream.Bytes();
}

void ScanSeeds(const std::string& dir) {
    WriteFile(dir + "/mpeg1_l3", Frames(sw::fuzz::kMpeg1Layer3, 4));
    std::vector<uint8_t> mixed = {0xFF, 0xFB, 0x00, 0x64, 0xFF, 0xFF, 0x12};
    Append(mixed, Frames(0x4480F3FFu, 3));  // MPEG-2 Layer III, 64 kbit/s, 22050 Hz
    Append(mixed, Frames(0x4418E3FFu, 3));  // MPEG-2.5 Layer III, 8 kbit/s, 8000 Hz
    mixed.resize(mixed.size() - 100);       // a truncated last frame
    WriteFile(dir + "/mixed_versions", mixed);
    std::vector<uint8_t> layers = Frames(0x44E4FDFFu, 2);  // MPEG-1 Layer II, 384 kbit/s
    Append(layers, Frames(0x0414FFFFu, 2));                // MPEG-1 Layer I, 32 kbit/s
    WriteFile(dir + "/layers_1_2", layers);
    WriteFile(dir + "/tagged", Tagged(Frames(sw::fuzz::kMpeg1Layer3, 2), 3));
}

// Projects of each shape the reader meets: empty, with files and cues, cut inside its cues.
void ProjectFileSeeds(const std::string& dir) {
    sw::ProjectFileContents project;
    sw::MemoryStream empty;
    sw::WriteProject(empty, project);
    WriteFile(dir + "/empty", empty.Bytes());
    project.Properties.Comment = "comment";
    project.Properties.Tag.Title = "Title";
    project.Files = {"/music/a.mp3", "", "/music/b.mp3"};
    project.Cues = {{"/music/a.mp3", "Intro", 0, 99}, {"/music/b.mp3", "", 5, 5}};
    sw::MemoryStream full;
    sw::WriteProject(full, project);
    WriteFile(dir + "/files_and_cues", full.Bytes());
    std::vector<uint8_t> cut = full.Bytes();
    cut.resize(cut.size() - 6);
    WriteFile(dir + "/cut_in_a_cue", cut);
}

// WAV files as exports write them, one too short, one of another format.
void WaveFileSeeds(const std::string& dir) {
    const std::vector<uint8_t> frames = Frames(sw::fuzz::kMpeg1Layer3, 2);
    const auto header = sw::BuildWaveHeader(sw::DecodeFrameHeader(sw::fuzz::kMpeg1Layer3),
                                            int64_t(sw::kWaveHeaderSize + frames.size()));
    std::vector<uint8_t> wave(header.begin(), header.end());
    Append(wave, frames);
    WriteFile(dir + "/mpeg", wave);
    WriteFile(dir + "/short", std::vector<uint8_t>(wave.begin(), wave.begin() + 69));
    wave[20] = 1;
    WriteFile(dir + "/pcm", wave);
}

void Id3Seeds(const std::string& dir) {
    WriteFile(dir + "/v11", Tagged(Frames(sw::fuzz::kMpeg1Layer3, 1), 7));
    WriteFile(dir + "/v10", Tagged({}, 0));
    std::vector<uint8_t> lower = Tagged({}, 0);
    lower[0] = 't';
    WriteFile(dir + "/lower_case", lower);
}

// Index files of the source the load target keeps in its working folder.
void LoadSeeds(const std::string& dir) {
    const std::string work = dir + "/.work";
    std::filesystem::create_directories(work);
    const std::filesystem::path back = std::filesystem::current_path();
    std::filesystem::current_path(work);
    WriteFile(sw::fuzz::kSourceName, sw::fuzz::SourceBytes());
    sw::CutObjectPtr cut(sw::CreateCutObject(sw::fuzz::kSourceName, {false, work}));
    if (!cut) {
        std::perror("cannot create the seed cut object");
        std::exit(1);
    }
    const int32_t length = sw::DecodeFrameHeader(sw::fuzz::kMpeg1Layer3).FrameLength;
    for (int i = 0; i < sw::fuzz::kSourceFrames; ++i) {
        cut->IndexStream->WriteInt32(i * length);
    }
    cut->FileSize = length * sw::fuzz::kSourceFrames;
    cut->PlayTime = 0.31f;
    cut->FrameInfo = sw::DecodeFrameHeader(sw::fuzz::kMpeg1Layer3);
    cut->Tag.Title = "Title";
    cut->Tag.Track = 2;
    cut->CompletelyScanned = true;
    sw::SaveCutObject(cut.get(), dir + "/full.m3i");
    cut->IndexStream.reset();
    sw::SaveCutObject(cut.get(), dir + "/no_index.m3i");
    cut.reset();

    std::filesystem::current_path(back);
    std::filesystem::remove_all(work);
}

// A cue file of the exact layout, one cut short in its frame numbers, and one with a count
// that promises more than the file holds.
void CueFileSeeds(const std::string& dir) {
    std::vector<uint8_t> cue = {'S', 'l', 'i', 'c', 'e', 'w', 'e', 'l',
                                'l', '4', '-', 'Q', 'F', 'i', 'l', 'e'};
    const std::string path = "/music/a.mp3";
    const std::string name = "Cue 1: a";
    cue.push_back(static_cast<uint8_t>(path.size()));
    cue.push_back(0);
    Append(cue, std::vector<uint8_t>(path.begin(), path.end()));
    cue.push_back(static_cast<uint8_t>(name.size()));
    cue.push_back(0);
    Append(cue, std::vector<uint8_t>(name.begin(), name.end()));
    Append(cue, {0x10, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F});
    WriteFile(dir + "/whole", cue);
    std::vector<uint8_t> cut(cue.begin(), cue.end() - 3);
    WriteFile(dir + "/short", cut);
    std::vector<uint8_t> promise(cue.begin(), cue.begin() + 16);
    Append(promise, {0xFF, 0xFF, 'x', 'y'});
    WriteFile(dir + "/promise", promise);
}

void WriteText(const std::string& name, const std::string& text) {
    WriteFile(name, std::vector<uint8_t>(text.begin(), text.end()));
}

void PlaylistSeeds(const std::string& dir) {
    WriteText(dir + "/extended",
              "# Playlist\r\n# Version\r\n\r\n#EXTM3U\r\n#EXTINF:3,a, b\r\na.mp3\r\n"
              "#EXTINF:200,c\r\n/music/c.mp3\r\n");
    WriteText(dir + "/mixed_ends",
              "\xEF\xBB\xBF"
              "a.mp3\rsub\\b.mp3\n \t\n #x\r\n\\root\\c.mp3");
    WriteText(dir + "/comments_only", "#EXTM3U\n# nothing here\n");
}

// File names that markup would turn into an endless read, a hang, a false alarm and lost text.
void MessageBoxSeeds(const std::string& dir) {
    WriteText(dir + "/image", "<img src=\"/dev/zero\">.mp3");
    WriteText(dir + "/alarm", "<h1 style='color:red'>DISK FAILURE</h1>\r\n&amp; <b>x</b>");
    WriteText(dir + "/rich_marker", "<qt>a\rb\xC3\xA9\xFF</qt>");
}

void CueSheetSeeds(const std::string& dir) {
    WriteText(dir + "/album",
              "\xEF\xBB\xBFREM GENRE Rock\r\nREM DATE 1999\r\nPERFORMER \"Band\"\r\n"
              "TITLE \"Album\"\r\nFILE \"album.mp3\" MP3\r\n  TRACK 01 AUDIO\r\n"
              "    TITLE \"He said \"hi\"\"\r\n    INDEX 01 00:00:00\r\n  TRACK 02 AUDIO\r\n"
              "    PERFORMER \"Guest\"\r\n    INDEX 00 03:58:20\r\n    INDEX 01 04:00:00\r\n");
    WriteText(dir + "/files",
              "file one.mp3 wave\ntrack 1 audio\nindex 1 0:00:00\ntrack 2 audio\n"
              "index 0 3:00:00\nfile \"two.mp3\" WAVE\nindex 01 00:00:00\n"
              "FILE disc.bin BINARY\nTRACK 3 MODE1/2352\nINDEX 01 120:00:74\n");
    WriteText(dir + "/broken", "FILE a.mp3 MP3\nINDEX 01 00:00:00\nTRACK 01\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    const std::string root = std::filesystem::absolute(argv[1]).string();
    for (const char* name : {"scan", "id3", "load_cut_object", "cue_file", "cue_sheet", "playlist",
                             "project_file", "wave_file", "message_box"}) {
        std::filesystem::create_directories(root + "/" + name);
    }
    ScanSeeds(root + "/scan");
    ProjectFileSeeds(root + "/project_file");
    WaveFileSeeds(root + "/wave_file");
    Id3Seeds(root + "/id3");
    LoadSeeds(root + "/load_cut_object");
    CueFileSeeds(root + "/cue_file");
    PlaylistSeeds(root + "/playlist");
    MessageBoxSeeds(root + "/message_box");
    CueSheetSeeds(root + "/cue_sheet");
    return 0;
}
