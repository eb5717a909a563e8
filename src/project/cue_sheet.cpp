#include "project/cue_sheet.h"

#include <cstdio>

#include "project/regular_file_bytes.h"
#include "project/text_lines.h"
#include "stream/text_encoding.h"

namespace sw {

namespace {

// A sheet lists tracks; 10,000 of them take about 600 kB. Anything this large is not a sheet.
constexpr int64_t kMaxSheetSize = 16 << 20;
// Counted strings in cue and project files hold at most this many bytes.
constexpr size_t kMaxTextLength = 0xFFFF;
// More digits than this cannot be a track number or a time anyone wrote.
constexpr size_t kMaxDigits = 7;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

// The first word and what follows it, trimmed.
std::string_view FirstWord(std::string_view text, std::string_view& rest) {
    text = Trimmed(text);
    size_t end = 0;
    while (end < text.size() && !IsBlank(text[end])) {
        ++end;
    }
    rest = Trimmed(text.substr(end));
    return text.substr(0, end);
}

// A value as sheets write it: "quoted", or bare. Writers disagree on quotes inside quotes; the
// outer pair is taken off, an escaped \" is a quote, and any other quote is part of the text.
std::string Unquoted(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    } else if (!value.empty() && value.front() == '"') {
        value.remove_prefix(1);  // a quote never closed: the rest of the line
    }
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == '"') {
            ++i;
        }
        out += value[i];
    }
    return out;
}

bool ParseDigits(std::string_view text, int64_t& value) {
    if (text.empty() || text.size() > kMaxDigits) {
        return false;
    }
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    return true;
}

// "mm:ss:ff" with any number of minute digits, in 1/75 s.
bool ParseTime(std::string_view text, int64_t& time) {
    const size_t first = text.find(':');
    const size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
    if (second == std::string_view::npos) {
        return false;
    }
    int64_t minutes, seconds, frames;
    if (!ParseDigits(text.substr(0, first), minutes) ||
        !ParseDigits(text.substr(first + 1, second - first - 1), seconds) ||
        !ParseDigits(text.substr(second + 1), frames) || seconds > 59 ||
        frames >= kSheetFramesPerSecond) {
        return false;
    }
    time = (minutes * 60 + seconds) * kSheetFramesPerSecond + frames;
    return true;
}

class Parser {
  public:
    Parser(CueSheet& sheet, CueSheetError& error) : sheet_(sheet), error_(error) {}

    bool Line(std::string_view line) {
        ++number_;
        std::string_view rest;
        const std::string keyword = Upper(FirstWord(line, rest));
        if (keyword.empty()) {
            return true;
        }
        if (rest.size() > kMaxTextLength + 2) {  // the text and its quotes
            return Fail("a text longer than 65535 bytes");
        }
        if (keyword == "FILE") {
            return File(rest);
        }
        if (keyword == "TRACK") {
            return Track(rest);
        }
        if (keyword == "INDEX") {
            return Index(rest);
        }
        if (keyword == "TITLE" || keyword == "PERFORMER" || keyword == "SONGWRITER") {
            Text(keyword, Unquoted(rest));
        } else if (keyword == "CATALOG" && track_ == nullptr) {
            sheet_.Catalog = Unquoted(rest);
        } else if (keyword == "REM" && track_ == nullptr) {
            Remark(rest);
        }
        return true;  // FLAGS, ISRC, PREGAP, POSTGAP, CDTEXTFILE and the unknown: not needed
    }

    bool Finish() {
        if (sheet_.Tracks.empty()) {
            number_ = 0;
            return Fail("the sheet holds no TRACK");
        }
        return EndTrack();
    }

    bool Fail(const std::string& message) {
        error_.Line = number_;
        error_.Message = message;
        return false;
    }

  private:
    bool File(std::string_view rest) {
        CueSheetFile file;
        file.Line = number_;
        std::string_view type;
        if (!rest.empty() && rest.front() == '"') {
            const size_t close = rest.rfind('"');
            if (close == 0) {
                return Fail("the FILE name's quote is not closed");
            }
            file.Name = std::string(rest.substr(1, close - 1));
            type = Trimmed(rest.substr(close + 1));
        } else {
            size_t blank = rest.size();
            while (blank > 0 && !IsBlank(rest[blank - 1])) {
                --blank;
            }
            file.Name = std::string(Trimmed(rest.substr(0, blank)));
            type = rest.substr(blank);
        }
        file.Name = WithSlashes(file.Name);
        if (file.Name.empty() || type.empty()) {
            return Fail("FILE needs a name and a type (MP3, WAVE ...)");
        }
        file.Type = Upper(type);
        sheet_.Files.push_back(std::move(file));
        return true;
    }

    bool Track(std::string_view rest) {
        if (sheet_.Files.empty()) {
            return Fail("TRACK before any FILE");
        }
        if (!EndTrack()) {
            return false;
        }
        std::string_view type;
        int64_t number;
        if (!ParseDigits(FirstWord(rest, type), number) || number == 0) {
            return Fail("TRACK needs a track number from 1 on");
        }
        CueSheetTrack track;
        track.Number = static_cast<int>(number);
        track.Audio = type.empty() || Upper(type) == "AUDIO";
        track.Line = number_;
        sheet_.Tracks.push_back(std::move(track));
        track_ = &sheet_.Tracks.back();
        return true;
    }

    bool Index(std::string_view rest) {
        if (track_ == nullptr) {
            return Fail("INDEX outside a TRACK");
        }
        std::string_view timeText;
        int64_t index;
        int64_t time;
        if (!ParseDigits(FirstWord(rest, timeText), index) || index > 99) {
            return Fail("INDEX needs an index number from 0 to 99");
        }
        if (!ParseTime(timeText, time)) {
            return Fail("INDEX needs a time mm:ss:ff (seconds 0-59, frames 0-74), not \"" +
                        std::string(timeText) + "\"");
        }
        if (index != 1) {
            return true;  // a pregap (00) belongs to the track before; 02 and up mark nothing
        }
        if (track_->Start >= 0) {
            return Fail("a second INDEX 01 in track " + std::to_string(track_->Number));
        }
        track_->Start = time;
        track_->File = static_cast<int>(sheet_.Files.size()) - 1;
        track_->StartLine = number_;
        return true;
    }

    void Text(const std::string& keyword, std::string value) {
        const bool disc = track_ == nullptr;
        if (keyword == "TITLE") {
            (disc ? sheet_.Title : track_->Title) = std::move(value);
        } else if (keyword == "PERFORMER") {
            (disc ? sheet_.Performer : track_->Performer) = std::move(value);
        } else {
            (disc ? sheet_.Songwriter : track_->Songwriter) = std::move(value);
        }
    }

    void Remark(std::string_view rest) {
        std::string_view value;
        const std::string what = Upper(FirstWord(rest, value));
        if (what == "DATE") {
            sheet_.Date = Unquoted(value);
        } else if (what == "GENRE") {
            sheet_.Genre = Unquoted(value);
        } else if (what == "COMMENT") {
            sheet_.Comment = Unquoted(value);
        }
    }

    // Checks the track that ends here: it must have started, and not before the track before
    // it in the same file.
    bool EndTrack() {
        if (track_ == nullptr) {
            return true;
        }
        const CueSheetTrack& track = *track_;
        if (track.Start < 0) {
            number_ = track.Line;
            return Fail("track " + std::to_string(track.Number) + " has no INDEX 01");
        }
        if (sheet_.Tracks.size() >= 2) {
            const CueSheetTrack& before = sheet_.Tracks[sheet_.Tracks.size() - 2];
            if (before.File == track.File && track.Start < before.Start) {
                number_ = track.StartLine;
                return Fail("track " + std::to_string(track.Number) + " starts at " +
                            SheetTimeText(track.Start) + ", before track " +
                            std::to_string(before.Number) + " (" + SheetTimeText(before.Start) +
                            ")");
            }
        }
        return true;
    }

    CueSheet& sheet_;
    CueSheetError& error_;
    CueSheetTrack* track_ = nullptr;  // the open track, always sheet_.Tracks.back()
    int number_ = 0;
};

}  // namespace

std::string CueSheetError::Text() const {
    return Line > 0 ? "line " + std::to_string(Line) + ": " + Message : Message;
}

std::string CueSheetText(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        return Utf16ToUtf8(bytes.substr(2), bytes[0] == '\xFE');
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    return IsValidUtf8(bytes) ? std::string(bytes) : Latin1ToUtf8(bytes);
}

bool ParseCueSheet(std::string_view bytes, CueSheet& sheet, CueSheetError& error) {
    sheet = CueSheet{};
    error = CueSheetError{};
    const std::string text = CueSheetText(bytes);
    Parser parser(sheet, error);
    const bool read = ForEachLine(text, [&parser](std::string_view line) {
        if (line.find('\0') != std::string_view::npos) {
            parser.Line("");  // counts the line
            return parser.Fail("a NUL byte: this is no text file");
        }
        return parser.Line(line);
    });
    if (!read) {
        return false;
    }
    return parser.Finish();
}

std::string SheetTimeText(int64_t time) {
    if (time < 0) {
        time = 0;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld",
                  static_cast<long long>(time / (60 * kSheetFramesPerSecond)),
                  static_cast<long long>(time / kSheetFramesPerSecond % 60),
                  static_cast<long long>(time % kSheetFramesPerSecond));
    return text;
}

CueSheetRead ReadCueSheetFile(const std::string& fileName, CueSheet& sheet, CueSheetError& error) {
    std::string bytes;
    switch (ReadRegularFile(fileName, bytes, kMaxSheetSize)) {
        case RegularFileRead::Ok:
            break;
        case RegularFileRead::NotFound:
            return CueSheetRead::NotFound;
        case RegularFileRead::TooLarge:
            return CueSheetRead::TooLarge;
        case RegularFileRead::NotRegular:
            return CueSheetRead::NotRegular;
        default:
            return CueSheetRead::CannotOpen;
    }
    return ParseCueSheet(bytes, sheet, error) ? CueSheetRead::Ok : CueSheetRead::Invalid;
}

}  // namespace sw
