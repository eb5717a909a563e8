// LoadCutObject on an index file written from the input. Whatever the file says, a cut object
// that comes back must have an index that rises strictly and whose every header lies inside
// the source it names, so that no later lookup reads outside the frames. The working folder
// holds the source that the seed index files name, and the temporary folder for file indexes.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_source.h"
#include "stream/cut_object.h"

namespace {

using sw::fuzz::Check;

std::string g_indexFile;
sw::CutObjectOptions g_options;

// Plain POSIX writes: a buffered FileStream would cost a 128 KiB buffer per execution.
void WriteFile(const std::string& name, const uint8_t* data, size_t size) {
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    Check(fd >= 0);
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        Check(n > 0);
        data += n;
        size -= static_cast<size_t>(n);
    }
    ::close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string folder =
        (std::filesystem::temp_directory_path() / "slicewell-fuzz-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr || ::chdir(folder.c_str()) != 0) {
        std::abort();
    }
    const std::vector<uint8_t> source = sw::fuzz::SourceBytes();
    WriteFile(sw::fuzz::kSourceName, source.data(), source.size());
    g_indexFile = folder + "/input.m3i";
    g_options.TempFolder = folder;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteFile(g_indexFile, data, size);
    // Both index kinds, chosen by a bit the loader never reads from a well-formed file.
    g_options.IndexAsFileStream = size % 2 == 1;

    sw::TCutObject* cut = sw::LoadCutObject(g_indexFile, g_options);
    if (cut == nullptr) {
        return 0;
    }
    const int32_t count = cut->FrameCount();
    if (cut->IndexStream) {
        Check(cut->IndexStream->Size() % 4 == 0);
        Check(cut->MarkIn == 0 && cut->MarkOut == count - 1);
    }
    const int64_t sourceSize = cut->FileStream ? cut->FileStream->Size() : -1;
    int64_t previous = -1;
    for (int32_t frame = 0; frame < count; ++frame) {
        const int64_t offset = sw::FrameOffset(cut, frame);
        Check(offset > previous);
        Check(offset + 4 <= cut->FileSize);
        if (sourceSize >= 0) {
            Check(offset + 4 <= sourceSize);
            sw::FrameHeader(cut, frame);  // must not throw: the header lies inside the source
        }
        previous = offset;
    }
    const std::string indexName = cut->IndexFileName;
    sw::FreeCutObject(cut);
    Check(indexName.empty() || !std::filesystem::exists(indexName));
    return 0;
}
