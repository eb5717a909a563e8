#include "stream/status.h"

#include <gtest/gtest.h>

#include "scripted_prompts.h"

namespace sw {
namespace {

using test::ScriptedPrompts;

TEST(Status, TextsOfEveryCode) {
    // Breaks the messages every failing operation shows.
    EXPECT_EQ(StatusText(0), "Operation successful");
    EXPECT_EQ(StatusText(1), "Operation failed");
    EXPECT_EQ(StatusText(2), "Operation aborted");
    EXPECT_EQ(StatusText(3), "Unknown error at operation");
    EXPECT_EQ(StatusText(4), "File not found");
    EXPECT_EQ(StatusText(5), "Object not initialized");
    EXPECT_EQ(StatusText(6), "Out of memory");
    EXPECT_EQ(StatusText(7), "Unknown error at operation");
    EXPECT_EQ(StatusText(-1), "Unknown error at operation");
}

TEST(Status, SuccessShowsNothing) {
    // Breaks every successful command with a pointless "Operation successful" box.
    ScriptedPrompts prompts;  // fails the test on any prompt
    ShowStatusMessage(prompts, 0);
    EXPECT_TRUE(prompts.History().empty());
}

TEST(Status, FailuresShowAnErrorBoxCaptionedError) {
    // Breaks the error display of failed scans, exports and loads.
    for (int code = 1; code <= 6; ++code) {
        ScriptedPrompts prompts;
        prompts.ExpectError();
        ShowStatusMessage(prompts, code);
        ASSERT_EQ(prompts.History().size(), 1u);
        EXPECT_EQ(prompts.History()[0].kind, ScriptedPrompts::Kind::Error);
        EXPECT_EQ(prompts.History()[0].caption, "Error");
        EXPECT_EQ(prompts.History()[0].text, StatusText(code));
    }
}

}  // namespace
}  // namespace sw
