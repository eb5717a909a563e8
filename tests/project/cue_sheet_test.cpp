#include "project/cue_sheet.h"

#include <gtest/gtest.h>

#include <string>

namespace sw::test {
namespace {

CueSheet Parsed(const std::string& text) {
    CueSheet sheet;
    CueSheetError error;
    EXPECT_TRUE(ParseCueSheet(text, sheet, error)) << error.Text();
    return sheet;
}

int64_t Time(int64_t minutes, int64_t seconds, int64_t frames) {
    return (minutes * 60 + seconds) * 75 + frames;
}

TEST(CueSheetRead, RipperSheetWithRemarksPregapsAndQuotesKeepsEveryField) {
    // A ripper's sheet as people find it next to an album: byte order mark, CR LF, REM lines by
    // the dozen, flags, ISRC, pregaps, and titles with quotes in them (escaped and not).
    const std::string text =
        "\xEF\xBB\xBFREM GENRE \"Progressive Rock\"\r\n"
        "REM DATE 1973\r\n"
        "REM DISCID 8A0B5E0C\r\n"
        "REM COMMENT \"ExactAudioCopy v1.6\"\r\n"
        "CATALOG 0724384260927\r\n"
        "PERFORMER \"The Band\"\r\n"
        "TITLE \"The Album\"\r\n"
        "FILE \"The Band - The Album.mp3\" MP3\r\n"
        "  TRACK 01 AUDIO\r\n"
        "    TITLE \"Speak to Me\"\r\n"
        "    FLAGS DCP\r\n"
        "    ISRC GBAYE7300001\r\n"
        "    REM COMPOSER \"nobody\"\r\n"
        "    INDEX 01 00:00:00\r\n"
        "  TRACK 02 AUDIO\r\n"
        "    TITLE \"He said \"Breathe\"\"\r\n"
        "    PERFORMER \"Guest \\\"X\\\" Singer\"\r\n"
        "    SONGWRITER \"Someone\"\r\n"
        "    INDEX 00 01:07:50\r\n"
        "    INDEX 01 01:09:12\r\n"
        "    INDEX 02 02:00:00\r\n"
        "  TRACK 03 AUDIO\r\n"
        "    PREGAP 00:02:00\r\n"
        "    INDEX 01 04:00:74\r\n"
        "    POSTGAP 00:01:00\r\n";
    const CueSheet sheet = Parsed(text);
    EXPECT_EQ(sheet.Genre, "Progressive Rock");
    EXPECT_EQ(sheet.Date, "1973");
    EXPECT_EQ(sheet.Comment, "ExactAudioCopy v1.6");
    EXPECT_EQ(sheet.Catalog, "0724384260927");
    EXPECT_EQ(sheet.Performer, "The Band");
    EXPECT_EQ(sheet.Title, "The Album");
    ASSERT_EQ(sheet.Files.size(), 1u);
    EXPECT_EQ(sheet.Files[0].Name, "The Band - The Album.mp3");
    EXPECT_EQ(sheet.Files[0].Type, "MP3");
    ASSERT_EQ(sheet.Tracks.size(), 3u);
    EXPECT_EQ(sheet.Tracks[0].Title, "Speak to Me");
    EXPECT_EQ(sheet.Tracks[1].Title, "He said \"Breathe\"");
    EXPECT_EQ(sheet.Tracks[1].Performer, "Guest \"X\" Singer");
    EXPECT_EQ(sheet.Tracks[1].Songwriter, "Someone");
    EXPECT_EQ(sheet.Tracks[1].Start, Time(1, 9, 12));  // INDEX 01, not the pregap's 00
    EXPECT_EQ(sheet.Tracks[1].StartLine, 20);
    EXPECT_EQ(sheet.Tracks[2].Start, Time(4, 0, 74));
    EXPECT_EQ(sheet.Tracks[2].Title, "");
    EXPECT_EQ(sheet.Tracks[2].Number, 3);
}

TEST(CueSheetRead, LongMixLatin1AndLooseWritingAllRead) {
    // A two-hour mix typed by hand: lower-case keywords, bare values with blanks, LF only, tabs,
    // times past 99 minutes, Latin-1 text, Windows folder separators, a data track.
    const std::string text =
        "title Nachtschicht Mix\n"
        "performer DJ K\xF6lsch\n"
        "file mixes\\nacht.mp3 mp3\n"
        "\ttrack 1 audio\n"
        "\t\ttitle Caf\xE9 del Mar\n"
        "\t\tindex 1 0:00:00\n"
        "\ttrack 2 audio\n"
        "\t\tindex 01 99:59:74\n"
        "\ttrack 3 MODE1/2352\n"
        "\t\tindex 01 100:00:00\n"
        "\ttrack 4 audio\n"
        "\t\tindex 01 120:00:00\n";
    const CueSheet sheet = Parsed(text);
    EXPECT_EQ(sheet.Title, "Nachtschicht Mix");
    EXPECT_EQ(sheet.Performer, "DJ K\xC3\xB6lsch");
    ASSERT_EQ(sheet.Files.size(), 1u);
    EXPECT_EQ(sheet.Files[0].Name, "mixes/nacht.mp3");
    EXPECT_EQ(sheet.Files[0].Type, "MP3");
    ASSERT_EQ(sheet.Tracks.size(), 4u);
    EXPECT_EQ(sheet.Tracks[0].Title, "Caf\xC3\xA9 del Mar");
    EXPECT_EQ(sheet.Tracks[1].Start, Time(99, 59, 74));
    EXPECT_FALSE(sheet.Tracks[2].Audio);
    EXPECT_EQ(sheet.Tracks[3].Start, Time(120, 0, 0));
    EXPECT_EQ(SheetTimeText(sheet.Tracks[3].Start), "120:00:00");
    EXPECT_EQ(SheetTimeText(Time(3, 7, 5)), "03:07:05");
}

TEST(CueSheetRead, TrackBelongsToTheFileOfItsIndex01) {
    // Sheets of one file per track that append each gap to the file before: TRACK 02 and its
    // pregap are in the first file, its INDEX 01 opens the second.
    const std::string text =
        "FILE \"01 One.mp3\" WAVE\n"
        "  TRACK 01 AUDIO\n"
        "    INDEX 01 00:00:00\n"
        "  TRACK 02 AUDIO\n"
        "    TITLE \"Two\"\n"
        "    INDEX 00 03:58:20\n"
        "FILE \"02 Two.mp3\" WAVE\n"
        "    INDEX 01 00:00:00\n"
        "  TRACK 03 AUDIO\n"
        "    INDEX 01 02:10:00\n"
        "FILE \"disc.bin\" BINARY\n"
        "  TRACK 04 MODE1/2352\n"
        "    INDEX 01 00:00:00\n";
    const CueSheet sheet = Parsed(text);
    ASSERT_EQ(sheet.Files.size(), 3u);
    EXPECT_EQ(sheet.Files[2].Type, "BINARY");
    EXPECT_EQ(sheet.Files[2].Line, 11);
    ASSERT_EQ(sheet.Tracks.size(), 4u);
    EXPECT_EQ(sheet.Tracks[0].File, 0);
    EXPECT_EQ(sheet.Tracks[1].File, 1);
    EXPECT_EQ(sheet.Tracks[1].Title, "Two");
    EXPECT_EQ(sheet.Tracks[2].File, 1);
    EXPECT_EQ(sheet.Tracks[2].Start, Time(2, 10, 0));
    EXPECT_EQ(sheet.Tracks[3].File, 2);
}

TEST(CueSheetRead, Utf16SheetsAndTenThousandTracksRead) {
    // Some Windows tools save sheets as UTF-16; a long radio archive can list thousands of
    // tracks, far past the 99 of a CD.
    const std::string utf8 =
        "FILE \"r\xC3\xA1"
        "dio.mp3\" MP3\r\nTRACK 01 AUDIO\r\nINDEX 01 00:00:00\r\n";
    std::string le = "\xFF\xFE";
    std::string be = "\xFE\xFF";
    for (const char c : std::string("FILE \"r\xE1"
                                    "dio.mp3\" MP3\r\nTRACK 01 AUDIO\r\nINDEX 01 00:00:00\r\n")) {
        le += c;
        le += '\0';
        be += '\0';
        be += c;
    }
    for (const std::string& text : {le, be}) {
        const CueSheet sheet = Parsed(text);
        ASSERT_EQ(sheet.Files.size(), 1u);
        EXPECT_EQ(sheet.Files[0].Name,
                  "r\xC3\xA1"
                  "dio.mp3");
    }
    EXPECT_EQ(CueSheetText(le), utf8);

    std::string many = "FILE \"archive.mp3\" MP3\n";
    for (int track = 1; track <= 10000; ++track) {
        many += "TRACK " + std::to_string(track) + " AUDIO\nTITLE \"Part " + std::to_string(track) +
                "\"\nINDEX 01 " + SheetTimeText(Time(track, 0, 0)) + "\n";
    }
    const CueSheet sheet = Parsed(many);
    ASSERT_EQ(sheet.Tracks.size(), 10000u);
    EXPECT_EQ(sheet.Tracks.back().Number, 10000);
    EXPECT_EQ(sheet.Tracks.back().Title, "Part 10000");
    EXPECT_EQ(sheet.Tracks.back().Start, Time(10000, 0, 0));
}

TEST(CueSheetRead, BrokenSheetsAreRefusedNamingTheLine) {
    // Nothing is taken from a sheet that is broken anywhere: the user is told the line to fix.
    const std::string head = "FILE \"a.mp3\" MP3\nTRACK 01 AUDIO\n";
    const struct {
        std::string text;
        int line;
        const char* says;
    } cases[] = {
        {head + std::string("TITLE \"A\0B\"\nINDEX 01 00:00:00\n", 28), 3, "NUL byte"},
        {head + "TITLE \"" + std::string(70000, 'x') + "\"\nINDEX 01 00:00:00\n", 3,
         "text longer than 65535"},
        {"TRACK 01 AUDIO\nINDEX 01 00:00:00\n", 1, "TRACK before any FILE"},
        {"FILE \"a.mp3\" MP3\nINDEX 01 00:00:00\n", 2, "INDEX outside a TRACK"},
        {head + "INDEX 01 03:60:00\n", 3, "not \"03:60:00\""},
        {head + "INDEX 01 03:00:75\n", 3, "frames 0-74"},
        {head + "INDEX 01 3:00\n", 3, "mm:ss:ff"},
        {head + "INDEX 01 00:00:00\nINDEX 01 00:01:00\n", 4, "second INDEX 01"},
        {head + "INDEX 00 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:01:00\n", 2,
         "track 1 has no INDEX 01"},
        {head + "INDEX 01 05:00:00\nTRACK 02 AUDIO\nINDEX 01 04:00:00\n", 5,
         "track 2 starts at 04:00:00, before track 1 (05:00:00)"},
        {"FILE \"a.mp3\"\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", 1, "needs a name and a type"},
        {"FILE \"a.mp3 MP3\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", 1, "quote is not closed"},
        {"TRACK 0 AUDIO\n", 1, "TRACK before any FILE"},
        {"FILE a.mp3 MP3\nTRACK x AUDIO\n", 2, "track number"},
        {"REM just a comment\nFILE a.mp3 MP3\n", 0, "holds no TRACK"},
    };
    for (const auto& c : cases) {
        CueSheet sheet;
        CueSheetError error;
        EXPECT_FALSE(ParseCueSheet(c.text, sheet, error)) << c.says;
        EXPECT_EQ(error.Line, c.line) << c.says;
        EXPECT_NE(error.Message.find(c.says), std::string::npos)
            << error.Message << " / " << c.says;
    }
    CueSheetError error{7, "INDEX outside a TRACK"};
    EXPECT_EQ(error.Text(), "line 7: INDEX outside a TRACK");
}

}  // namespace
}  // namespace sw::test
