#include "frame_builder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace sw::test {

uint32_t MakeHeaderWord(const HeaderSpec& s) {
    uint32_t word = 0xE0FF;
    word |= uint32_t(s.versionBits & 3) << 11;
    word |= uint32_t(s.layerBits & 3) << 9;
    word |= uint32_t(s.protection ? 1 : 0) << 8;
    word |= uint32_t(s.bitrateIndex & 15) << 20;
    word |= uint32_t(s.rateIndex & 3) << 18;
    word |= uint32_t(s.padding ? 1 : 0) << 17;
    word |= uint32_t(s.privateBit ? 1 : 0) << 16;
    word |= uint32_t(s.channelMode & 3) << 30;
    word |= uint32_t(s.modeExtension & 3) << 28;
    word |= uint32_t(s.copyright ? 1 : 0) << 27;
    word |= uint32_t(s.original ? 1 : 0) << 26;
    word |= uint32_t(s.emphasis & 3) << 24;
    return word;
}

std::vector<uint8_t> MakeFrame(const HeaderSpec& spec, uint8_t fill) {
    const uint32_t word = MakeHeaderWord(spec);
    const TFrameInfo info = DecodeFrameHeader(word);
    if (info.FrameLength < 4) {
        throw std::invalid_argument("MakeFrame: header has no frame length");
    }
    std::vector<uint8_t> frame(static_cast<size_t>(info.FrameLength), fill);
    for (int i = 0; i < 4; ++i) {
        frame[i] = static_cast<uint8_t>(word >> (8 * i));
    }
    return frame;
}

std::vector<uint8_t> MakeFrames(int count, const HeaderSpec& spec, uint8_t fill) {
    std::vector<uint8_t> out;
    const std::vector<uint8_t> frame = MakeFrame(spec, fill);
    for (int i = 0; i < count; ++i) {
        Append(out, frame);
    }
    return out;
}

void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

std::vector<uint8_t> MakeId3v1(const std::string& title, uint8_t genre, uint8_t track) {
    std::vector<uint8_t> tag(128, 0);
    tag[0] = 'T';
    tag[1] = 'A';
    tag[2] = 'G';
    for (size_t i = 0; i < title.size() && i < 30; ++i) {
        tag[3 + i] = static_cast<uint8_t>(title[i]);
    }
    if (track != 0) {
        tag[125] = 0;
        tag[126] = track;
    }
    tag[127] = genre;
    return tag;
}

void WriteFileBytes(const std::string& fileName, const std::vector<uint8_t>& bytes) {
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + fileName);
    }
}

std::vector<uint8_t> ReadFileBytes(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + fileName);
    }
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

int OpenDescriptorCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "slicewell-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace sw::test
