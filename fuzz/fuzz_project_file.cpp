// ReadProject over arbitrary bytes in memory. Whatever the bytes, the read either refuses the
// signature, throws the read error, or succeeds; a successful read holds no more entries than
// the bytes could carry, and writing it out and reading it again gives the same project.
#include <cstdint>
#include <vector>

#include "fuzz_check.h"
#include "project/project_file.h"
#include "stream/file_errors.h"
#include "stream/memory_stream.h"

using sw::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sw::MemoryStream stream(std::vector<uint8_t>(data, data + size));
    sw::ProjectFileContents contents;
    sw::ProjectReadResult result;
    try {
        result = sw::ReadProject(stream, contents);
    } catch (const sw::StreamReadError&) {
        Check(contents.Cues.empty());
        return 0;
    }
    if (result != sw::ProjectReadResult::Ok) {
        Check(size < 16 || contents.Files.empty());
        return 0;
    }
    Check(contents.Files.size() <= size / 2);
    Check(contents.Cues.size() <= size / 12);
    Check(contents.UnreadCues >= 0);

    sw::MemoryStream written;
    sw::WriteProject(written, contents);
    Check(written.Size() <= static_cast<int64_t>(size));
    written.Seek(0, sw::SeekOrigin::Begin);
    sw::ProjectFileContents again;
    Check(sw::ReadProject(written, again) == sw::ProjectReadResult::Ok);
    Check(again.Properties.Comment == contents.Properties.Comment);
    Check(again.Properties.ExportFlags == contents.Properties.ExportFlags);
    Check(again.Files == contents.Files);
    Check(again.Cues == contents.Cues);
    Check(again.UnreadCues == 0);
    return 0;
}
