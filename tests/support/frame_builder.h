#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stream/frame_header.h"

namespace sw::test {

// Header word fields for building frames in tests. Defaults: MPEG-1 Layer III, 128 kbit/s,
// 44100 Hz, joint stereo with mode extension 0, no CRC, original set (FF FB 90 44).
struct HeaderSpec {
    int versionBits = 3;     // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    int layerBits = 1;       // 1 Layer III, 2 Layer II, 3 Layer I
    bool protection = true;  // true: no CRC
    int bitrateIndex = 9;
    int rateIndex = 0;
    bool padding = false;
    bool privateBit = false;
    int channelMode = 1;
    int modeExtension = 0;
    bool copyright = false;
    bool original = true;
    int emphasis = 0;
};

uint32_t MakeHeaderWord(const HeaderSpec& spec);
// A whole frame: the header bytes followed by FrameLength - 4 body bytes filled with fill (a
// value that never forms a sync pattern by default).
std::vector<uint8_t> MakeFrame(const HeaderSpec& spec = {}, uint8_t fill = 0x55);
// count frames back to back.
std::vector<uint8_t> MakeFrames(int count, const HeaderSpec& spec = {}, uint8_t fill = 0x55);
void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes);
// A 128-byte ID3v1 tag block.
std::vector<uint8_t> MakeId3v1(const std::string& title, uint8_t genre = 12, uint8_t track = 0);

void WriteFileBytes(const std::string& fileName, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadFileBytes(const std::string& fileName);
// How many descriptors the process has open now (the entries of /proc/self/fd).
int OpenDescriptorCount();

// A fresh folder below the system temporary folder, removed with its contents on destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

}  // namespace sw::test
