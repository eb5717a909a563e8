#include "document_info.h"

#include <cstdio>

#include "app/file_properties_report.h"
#include "cli_error.h"
#include "json_writer.h"
#include "project/cue_file.h"
#include "project/project_file.h"
#include "stream/file_names.h"
#include "stream/id3_tag.h"
#include "stream/regular_file.h"
#include "stream/status.h"
#include "stream/text_encoding.h"
#include "summary.h"
#include "terminal_text.h"

namespace sw::cli {

namespace {

// Refuses what no reader should wait on or can read, with the reason, before reading.
void CheckReadable(const std::string& fileName) {
    const ReadOpenResult probe = ProbeRegularFile(fileName);
    if (probe != ReadOpenResult::Opened) {
        throw CommandError(probe == ReadOpenResult::NotFound ? kStatusFileNotFound : kStatusFailed,
                           ReadOpenFailureText(probe, fileName));
    }
}

// Names in documents are bytes and may hold a NUL, which must not end the output early.
void PrintBytes(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

const char* YesNo(bool value) {
    return value ? "Yes" : "No";
}

// The cue's frame count as the cue list counts it; 64 bits, a reversed range gives 0 or less.
int64_t CueFrameCount(int32_t markIn, int32_t markOut) {
    return int64_t{markOut} - markIn + 1;
}

// The comment's lines (CR LF or LF), each indented, with whatever else they hold escaped.
std::string IndentedLines(const std::string& text) {
    std::string out;
    for (size_t start = 0;;) {
        const size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        if (end != std::string::npos && !line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        out += "  " + TerminalText(line) + "\n";
        if (end == std::string::npos) {
            return out;
        }
        start = end + 1;
    }
}

void PrintProjectText(const std::string& fileName, const ProjectFileContents& contents) {
    const TProjectProperties& p = contents.Properties;
    std::string text = "Project file: " + TerminalText(AbsolutePath(fileName)) + "\n";
    text += "Project comment:\n";
    if (!p.Comment.empty()) {
        text += IndentedLines(p.Comment);
    }
    text += "\nID3v1.1 tag (exported: " + std::string(YesNo(p.ExportFlags & kExportTag)) + "):\n";
    text += "Title: " + TerminalText(Latin1ToUtf8(p.Tag.Title)) + "\n";
    text += "Artist: " + TerminalText(Latin1ToUtf8(p.Tag.Artist)) + "\n";
    text += "Album: " + TerminalText(Latin1ToUtf8(p.Tag.Album)) + "\n";
    text += "Year: " + TerminalText(Latin1ToUtf8(p.Tag.Year)) + "\n";
    text += "Comment: " + TerminalText(Latin1ToUtf8(p.Tag.Comment)) + "\n";
    text += "Genre: " + std::to_string(p.Tag.Genre) + " (" + GenreName(p.Tag.Genre) + ")\n";
    text += "Track: " + std::to_string(p.Tag.Track) + "\n";
    text += "\nMPEG flags (exported: " + std::string(YesNo(p.ExportFlags & kExportFlags)) + "):\n";
    text += "Private: " + std::string(YesNo(p.Private)) + "\n";
    text += "Copyright: " + std::string(YesNo(p.Copyright)) + "\n";
    text += "Original: " + std::string(YesNo(p.Original)) + "\n";
    text += "Export flags: " + std::to_string(p.ExportFlags) + "\n";
    text += "\nFiles: " + std::to_string(contents.Files.size()) + "\n";
    for (const std::string& file : contents.Files) {
        text += "  " + TerminalText(file) + "\n";
    }
    text += "\nCues: " + std::to_string(contents.Cues.size()) + "\n";
    for (const ProjectFileCue& cue : contents.Cues) {
        text += "  " + TerminalText(cue.Name) + "\t" + std::to_string(cue.MarkIn) + "\t" +
                std::to_string(cue.MarkOut) + "\t" + TerminalText(cue.FileName) + "\n";
    }
    PrintBytes(text);
}

void PrintProjectJson(const std::string& fileName, const ProjectFileContents& contents) {
    const TProjectProperties& p = contents.Properties;
    JsonObject json;
    json.Add("file", AbsolutePath(fileName));
    json.Add("kind", "project");
    json.Add("comment", p.Comment);
    json.AddObject("tag", TagJson(p.Tag));
    json.Add("private", int32_t{p.Private});
    json.Add("copyright", int32_t{p.Copyright});
    json.Add("original", int32_t{p.Original});
    json.Add("export_flags", p.ExportFlags);
    JsonArray files;
    for (const std::string& file : contents.Files) {
        files.Add(file);
    }
    json.AddArray("files", files);
    JsonArray cues;
    for (const ProjectFileCue& cue : contents.Cues) {
        JsonObject object;
        object.Add("file", cue.FileName);
        object.Add("name", cue.Name);
        object.Add("mark_in", cue.MarkIn);
        object.Add("mark_out", cue.MarkOut);
        cues.Add(object);
    }
    json.AddArray("cues", cues);
    json.Add("unread_cues", contents.UnreadCues);
    std::printf("%s\n", json.Text().c_str());
}

}  // namespace

int PrintCueFileInfo(const std::string& fileName, bool json) {
    CheckReadable(fileName);
    std::string source;
    const std::unique_ptr<TCueObject> cue = LoadCueFile(fileName, source);
    if (!cue) {
        throw CommandError(kStatusFailed, fileName + " is no cue file (" +
                                              std::string(kCueFileMagic, 16) +
                                              "), or it is cut short");
    }
    if (json) {
        JsonObject object;
        object.Add("file", AbsolutePath(fileName));
        object.Add("kind", "cue");
        object.Add("source", source);
        object.Add("name", cue->Name);
        object.Add("mark_in", cue->MarkIn);
        object.Add("mark_out", cue->MarkOut);
        object.Add("frames", CueFrameCount(cue->MarkIn, cue->MarkOut));
        std::printf("%s\n", object.Text().c_str());
    } else {
        PrintBytes("Cue file: " + TerminalText(AbsolutePath(fileName)) +
                   "\nName: " + TerminalText(cue->Name) + "\nSource: " + TerminalText(source) +
                   "\nFrames: " + std::to_string(cue->MarkIn) + "-" + std::to_string(cue->MarkOut) +
                   " (" + std::to_string(CueFrameCount(cue->MarkIn, cue->MarkOut)) + " frames)\n");
    }
    return 0;
}

int PrintProjectFileInfo(const std::string& fileName, bool json) {
    CheckReadable(fileName);
    ProjectFileContents contents;
    if (ReadProjectFile(fileName, contents) != ProjectReadResult::Ok) {
        throw CommandError(kStatusFailed, fileName + " is no project file (" +
                                              std::string(kProjectFileMagic, 16) + ")");
    }
    if (json) {
        PrintProjectJson(fileName, contents);
    } else {
        PrintProjectText(fileName, contents);
    }
    if (contents.UnreadCues > 0) {
        std::fprintf(stderr, "slicewell-cli: %d of %zu cues could not be read\n",
                     contents.UnreadCues, contents.Cues.size() + contents.UnreadCues);
    }
    return 0;
}

}  // namespace sw::cli
