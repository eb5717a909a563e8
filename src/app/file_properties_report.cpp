#include "app/file_properties_report.h"

#include <langinfo.h>
#include <locale.h>

#include <cinttypes>
#include <cstdio>

#include "stream/frame_header.h"
#include "stream/id3_tag.h"
#include "stream/text_encoding.h"
#include "stream/time_code.h"

namespace sw {

namespace {

const char* YesNo(bool value) {
    return value ? "Yes" : "No";
}

// The emphasis names hold the Windows-1252 micro sign; the report is UTF-8 throughout.
std::string NameOf(const char* const (&names)[4], unsigned value) {
    if (value >= 4) {
        return "Invalid";
    }
    return Latin1ToUtf8(names[value]);
}

std::string Hex8(int32_t offset) {
    char text[16];
    std::snprintf(text, sizeof text, "%.8Xh", static_cast<uint32_t>(offset));
    return text;
}

int32_t IndexEntry(ByteStream& index, int32_t frame) {
    index.Seek(int64_t{frame} * 4, SeekOrigin::Begin);
    return index.ReadInt32();
}

}  // namespace

std::string GroupThousands(int64_t value, const std::string& separator) {
    const bool negative = value < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : value;
    const std::string digits = std::to_string(magnitude);
    std::string out = negative ? "-" : "";
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            out += separator;
        }
        out += digits[i];
    }
    return out;
}

std::string UserThousandsSeparator() {
    std::string separator;
    if (locale_t user = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0))) {
        if (const char* sep = ::nl_langinfo_l(THOUSEP, user)) {
            separator = sep;
        }
        ::freelocale(user);
    }
    return separator.empty() ? "," : separator;
}

std::string FilePropertiesReport(TCutObject& cut, const std::string& thousandsSeparator,
                                 const SourceTags* sourceTags) {
    const int32_t frames = cut.FrameCount();
    std::string first = "none";
    std::string last = "none";
    if (frames > 0 && cut.IndexStream) {
        first = Hex8(IndexEntry(*cut.IndexStream, 0));
        last = Hex8(IndexEntry(*cut.IndexStream, frames - 1));
    }
    const int64_t fileSize = cut.FileStream ? cut.FileStream->Size() : cut.FileSize;
    const TFrameInfo& info = cut.FrameInfo;

    std::string r;
    r += "Properties for '" + cut.Name + "':\n\n";
    r += "Filename: " + cut.FileName + "\n";
    r += "Filesize: " + GroupThousands(fileSize, thousandsSeparator) + " bytes\n";
    r += "Playtime (exact): " + PlayTimeToText(cut.PlayTime) + "\n\n";
    r += "Number of frames: " + std::to_string(frames) + "\n";
    r += "Dropped frames: " + std::to_string(cut.DroppedFrames) + "\n";
    r += std::string("Completely scanned: ") + YesNo(cut.CompletelyScanned) + "\n";
    r += "First valid frame at: " + first + "\n";
    r += "Last valid frame at: " + last + "\n\n";
    r += "MPEG properties:\n\n";
    r += "MPEG " + NameOf(kVersionNames, info.Version) + " Layer " +
         NameOf(kLayerNames, info.Layer) + "\n";
    r += std::string("VBR: ") + YesNo(cut.Vbr) + "\n";
    r += "Bit rate: " + std::to_string(info.Bitrate) + " kbit/s\n";
    r += "Sample rate: " + std::to_string(info.SampleRate) + " Hz\n";
    r += "Channels: " + NameOf(kChannelModeNames, info.ChannelMode) + "\n";
    r += "Emphasis: " + NameOf(kEmphasisNames, info.Emphasis) + "\n\n";
    r += std::string("CRC's: ") + YesNo(info.Crc) + "\n";
    r += std::string("Private: ") + YesNo(info.Private) + "\n";
    r += std::string("Copyrighted: ") + YesNo(info.Copyright) + "\n";
    r += std::string("Original: ") + YesNo(info.Original) + "\n\n";
    r += "ID3v1.1 tag:\n";
    if (cut.HasTag) {
        const TID3Tag& tag = cut.Tag;
        r += "Title: " + Latin1ToUtf8(tag.Title) + "\n";
        r += "Artist: " + Latin1ToUtf8(tag.Artist) + "\n";
        r += "Album: " + Latin1ToUtf8(tag.Album) + "\n";
        r += "Year: " + Latin1ToUtf8(tag.Year) + "\n";
        r += "Genre: " + GenreName(tag.Genre) + "\n";
        r += "Comment: " + Latin1ToUtf8(tag.Comment) + "\n";
        r += "Track: " + std::to_string(tag.Track) + "\n";
    } else {
        r += "No ID3v1.1 tag found\n";
    }
    if (sourceTags != nullptr && sourceTags->HasId3v2 &&
        (!sourceTags->Title.empty() || !sourceTags->Artist.empty())) {
        r += "\nID3v2 tag:\n";
        r += "Title: " + sourceTags->Title + "\n";
        r += "Artist: " + sourceTags->Artist + "\n";
    }
    return r;
}

}  // namespace sw
