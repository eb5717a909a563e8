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

}  // namespace
}  // namespace sw
