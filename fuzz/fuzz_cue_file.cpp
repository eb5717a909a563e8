// ReadCueRecord on the input, and LoadCueFile on the input written to a file. Whatever the bytes
// say, nothing is read past their end; a record that comes back is written again byte for byte
// as the input's first 28 + n + m bytes, and the file loader agrees with the stream reader.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_source.h"
#include "project/cue_file.h"
#include "stream/memory_stream.h"

namespace {

using sw::fuzz::Check;

std::string g_cueFile;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string folder =
        (std::filesystem::temp_directory_path() / "slicewell-fuzz-cue-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        std::abort();
    }
    g_cueFile = folder + "/input.m3q";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sw::MemoryStream stream(std::vector<uint8_t>(data, data + size));
    sw::CueFileRecord record;
    const bool read = sw::ReadCueRecord(stream, record);
    if (read) {
        sw::MemoryStream written;
        sw::WriteCueRecord(written, record);
        const std::vector<uint8_t>& bytes = written.Bytes();
        Check(bytes.size() == 28 + record.SourcePath.size() + record.Name.size());
        Check(bytes.size() <= size && std::memcmp(bytes.data(), data, bytes.size()) == 0);
    }

    sw::fuzz::WriteInputFile(g_cueFile, data, size);
    std::string source;
    const auto cue = sw::LoadCueFile(g_cueFile, source);
    Check(static_cast<bool>(cue) == read);
    if (cue) {
        Check(cue->CutObject == nullptr && source == record.SourcePath &&
              cue->Name == record.Name && cue->MarkIn == record.MarkIn &&
              cue->MarkOut == record.MarkOut);
    }
    return 0;
}
