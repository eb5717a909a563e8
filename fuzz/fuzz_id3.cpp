// ReadId3Tag over arbitrary bytes. The tag read must fit its areas, and writing it back and
// reading again must give the same tag: what the reader accepts, the writer can reproduce.
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_check.h"
#include "stream/id3_tag.h"
#include "stream/memory_stream.h"

using sw::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sw::MemoryStream stream(std::vector<uint8_t>(data, data + size));
    sw::TID3Tag tag;
    const bool found = sw::ReadId3Tag(stream, tag);
    Check(stream.Position() == stream.Size());
    const bool marked = size >= 128 && std::memcmp(data + size - 128, "TAG", 3) == 0;
    Check(found == marked);
    if (!found) {
        Check(tag == sw::TID3Tag{});
        return 0;
    }
    Check(tag.Title.size() <= 30 && tag.Artist.size() <= 30 && tag.Album.size() <= 30);
    Check(tag.Year.size() <= 4 && tag.Comment.size() <= 30);
    Check(tag.Track == 0 || tag.Comment.size() <= 28);

    // Writing over the tag keeps the size; the audio before it is untouched.
    Check(sw::WriteId3Tag(stream, tag));
    Check(stream.Size() == static_cast<int64_t>(size));
    Check(std::memcmp(stream.Bytes().data(), data, size - 128) == 0);
    sw::TID3Tag again;
    Check(sw::ReadId3Tag(stream, again));
    Check(again == tag);
    return 0;
}
