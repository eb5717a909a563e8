// IsMpegWaveFile on a file written from the input: true exactly when the file holds at least 70
// bytes with the MPEG Layer-3 format tag 85 at offset 20, never an error for a regular file.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/wave_header.h"
#include "fuzz_check.h"

namespace {

using sw::fuzz::Check;

std::string g_file;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string folder =
        (std::filesystem::temp_directory_path() / "slicewell-fuzz-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        std::abort();
    }
    g_file = folder + "/input.wav";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Plain POSIX writes: a buffered FileStream would cost a 128 KiB buffer per execution.
    const int fd = ::open(g_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    Check(fd >= 0);
    for (size_t done = 0; done < size;) {
        const ssize_t n = ::write(fd, data + done, size - done);
        Check(n > 0);
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    const bool expected = size >= 70 && data[20] == 85 && data[21] == 0;
    Check(sw::IsMpegWaveFile(g_file) == expected);
    return 0;
}
