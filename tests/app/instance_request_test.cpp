// What a later start asks of the running instance, as bytes over the local socket.
#include "app/instance_request.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sw {
namespace {

using State = InstanceRequestReader::State;

TEST(InstanceRequest, HandedOverNamesArriveWholeWhateverBytesTheyHold) {
    // Breaks when a name with a line break, a blank or UTF-8 is cut or split, or when a request
    // cut into pieces by the socket is taken before its end.
    const std::vector<std::string> files = {"/music/a b.mp3", "/x/line\nbreak.mp3",
                                            "/Grüße/\xff.mp3"};
    const std::string bytes = EncodeInstanceRequest(files);
    InstanceRequestReader reader;
    for (size_t i = 0; i + 1 < bytes.size(); ++i) {
        ASSERT_EQ(reader.Feed(std::string_view(&bytes[i], 1)), State::Incomplete) << i;
    }
    EXPECT_EQ(reader.Feed(std::string_view(&bytes.back(), 1)), State::Import);
    EXPECT_EQ(reader.Files(), files);

    InstanceRequestReader raise;
    EXPECT_EQ(raise.Feed(EncodeInstanceRequest({})), State::Raise);
    EXPECT_TRUE(raise.Files().empty());
}

TEST(InstanceRequest, AnythingButAWholeRequestOfAbsoluteNamesIsRefused) {
    // Breaks when the running instance acts on a name it would take in its own folder, on a
    // request with bytes after its end, or keeps reading a peer that never stops.
    const std::string nul(1, '\0');
    for (const std::string& bytes :
         {std::string("hello\n"), std::string("raise\nmore"), "import\n" + nul,
          "import\nrelative.mp3" + nul + nul, "import\n/a.mp3" + nul + nul + "x",
          std::string("RAISE\n"), std::string(64, 'x')}) {
        InstanceRequestReader reader;
        EXPECT_EQ(reader.Feed(bytes), State::Bad) << bytes;
        EXPECT_EQ(reader.Feed("raise\n"), State::Bad) << "a bad request stays bad";
    }
    InstanceRequestReader endless;
    const std::string chunk = "import\n/" + std::string(1 << 20, 'n');
    State state = State::Incomplete;
    for (int i = 0; i < 8 && state == State::Incomplete; ++i) {
        state = endless.Feed(chunk);
    }
    EXPECT_EQ(state, State::Bad);
}

}  // namespace
}  // namespace sw
