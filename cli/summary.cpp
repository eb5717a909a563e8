#include "summary.h"

#include "app/file_properties_report.h"
#include "stream/frame_header.h"
#include "stream/status.h"
#include "stream/text_encoding.h"
#include "stream/time_code.h"
#include "terminal_text.h"

namespace sw::cli {

namespace {

std::string NameOf(const char* const (&names)[4], unsigned value) {
    return value < 4 ? Latin1ToUtf8(names[value]) : "Invalid";
}

}  // namespace

JsonObject TagJson(const TID3Tag& tag) {
    JsonObject json;
    json.Add("title", Latin1ToUtf8(tag.Title));
    json.Add("artist", Latin1ToUtf8(tag.Artist));
    json.Add("album", Latin1ToUtf8(tag.Album));
    json.Add("year", Latin1ToUtf8(tag.Year));
    json.Add("comment", Latin1ToUtf8(tag.Comment));
    json.Add("genre", int32_t{tag.Genre});
    json.Add("genre_name", GenreName(tag.Genre));
    json.Add("track", int32_t{tag.Track});
    return json;
}

void AddScanSummary(JsonObject& json, TCutObject& cut, int status) {
    const int32_t frames = cut.FrameCount();
    json.Add("file", cut.FileName);
    json.Add("frames", frames);
    json.Add("dropped_frames", cut.DroppedFrames);
    json.Add("vbr", cut.Vbr);
    json.Add("has_tag", cut.HasTag);
    json.Add("play_time", static_cast<double>(cut.PlayTime));
    json.Add("play_time_text", PlayTimeToText(cut.PlayTime));
    if (frames > 0) {
        json.Add("first_offset", FrameOffset(&cut, 0));
        json.Add("last_offset", FrameOffset(&cut, frames - 1));
    } else {
        json.AddNull("first_offset");
        json.AddNull("last_offset");
    }
    json.Add("file_size", int64_t{cut.FileSize});
    json.Add("completely_scanned", cut.CompletelyScanned);
    json.Add("status", status);
    json.Add("status_text", StatusText(status));
    const TFrameInfo& info = cut.FrameInfo;
    json.Add("mpeg_version", NameOf(kVersionNames, info.Version));
    json.Add("layer", NameOf(kLayerNames, info.Layer));
    json.Add("bitrate", info.Bitrate);
    json.Add("sample_rate", info.SampleRate);
    json.Add("channel_mode", NameOf(kChannelModeNames, info.ChannelMode));
    if (cut.HasTag) {
        json.AddObject("tag", TagJson(cut.Tag));
    } else {
        json.AddNull("tag");
    }
}

std::string ScanSummaryText(TCutObject& cut, int status) {
    const TFrameInfo& info = cut.FrameInfo;
    std::string text;
    text += "File: " + TerminalText(cut.FileName) + "\n";
    text += "Frames: " + std::to_string(cut.FrameCount()) + " (dropped " +
            std::to_string(cut.DroppedFrames) + ")" + (cut.Vbr ? ", VBR" : "") + "\n";
    if (cut.FrameCount() > 0) {
        text += "Format: MPEG " + NameOf(kVersionNames, info.Version) + " Layer " +
                NameOf(kLayerNames, info.Layer) + ", " + std::to_string(info.Bitrate) +
                " kbit/s, " + std::to_string(info.SampleRate) + " Hz, " +
                NameOf(kChannelModeNames, info.ChannelMode) + "\n";
    }
    text += "Play time: " + PlayTimeToText(cut.PlayTime) + "\n";
    text +=
        "Tag: " + (cut.HasTag ? "\"" + TerminalText(Latin1ToUtf8(cut.Tag.Title)) + "\"" : "none") +
        "\n";
    text += "Status: " + StatusText(status) + "\n";
    return text;
}

}  // namespace sw::cli
