#include "app/file_filter.h"

#include <gtest/gtest.h>

namespace sw {
namespace {

TEST(FileFilter, PairsBecomeQtFiltersWithBlankSeparatedPatterns) {
    // Qt splits patterns at blanks only: a ";" left in would make "*.a;*.b" one pattern that
    // matches nothing.
    EXPECT_EQ(ConvertFileFilter("Name|*.a;*.b|Name2|*.c"), "Name (*.a *.b);;Name2 (*.c)");
    EXPECT_EQ(ConvertFileFilter("MPEG audio|*.mp3"), "MPEG audio (*.mp3)");
    EXPECT_EQ(ConvertFileFilter("All files|*.*"), "All files (*.*)");
    EXPECT_EQ(ConvertFileFilter("Sound| *.mp3 ; *.wav ;"), "Sound (*.mp3 *.wav)");
}

TEST(FileFilter, NameShowingItsPatternsDoesNotListThemTwice) {
    EXPECT_EQ(ConvertFileFilter("MP3 files (*.mp3)|*.mp3"), "MP3 files (*.mp3)");
    EXPECT_EQ(ConvertFileFilter("Sound (*.mp3;*.wav)|*.mp3;*.wav"), "Sound (*.mp3 *.wav)");
    // A parenthesised remark that is not the pattern list stays part of the name.
    EXPECT_EQ(ConvertFileFilter("Cues (old)|*.m3q"), "Cues (old) (*.m3q)");
}

TEST(FileFilter, IncompletePairsAreDroppedInsteadOfBecomingEmptyFilters) {
    EXPECT_EQ(ConvertFileFilter(""), "");
    EXPECT_EQ(ConvertFileFilter("Name"), "");
    EXPECT_EQ(ConvertFileFilter("Name|*.a|Dangling"), "Name (*.a)");
    EXPECT_EQ(ConvertFileFilter("Empty||Name|*.a"), "Name (*.a)");
    EXPECT_EQ(ConvertFileFilter("Name|*.a|"), "Name (*.a)");
    EXPECT_EQ(ConvertFileFilter("|*.a"), "(*.a)");
}

TEST(FileFilter, OnlyASingleConcretePatternNamesAnExtension) {
    // A wildcard taken for an extension would name the saved file "cut.*".
    EXPECT_EQ(FilterExtension("WAV Files (*.wav)"), "wav");
    EXPECT_EQ(FilterExtension("MP3 Cues (*.m3q)"), "m3q");
    EXPECT_EQ(FilterExtension("All Files (*.*)"), "");
    EXPECT_EQ(FilterExtension("All Supported Files (*.mp3 *.wav)"), "");
    EXPECT_EQ(FilterExtension("Odd (*.mp?)"), "");
    EXPECT_EQ(FilterExtension("No patterns"), "");
}

}  // namespace
}  // namespace sw
