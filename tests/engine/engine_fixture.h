#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/worker_control.h"
#include "file_size_limit.h"
#include "frame_builder.h"
#include "stream/cut_object.h"
#include "stream/memory_stream.h"

namespace sw::test {

// A cut object over bytes held in memory, as the workers see a scanned file.
inline std::unique_ptr<TCutObject> MemoryCut(const std::vector<uint8_t>& bytes) {
    auto cut = std::make_unique<TCutObject>();
    cut->FileName = "memory.mp3";
    cut->FileStream = std::make_unique<MemoryStream>(bytes);
    cut->IndexStream = std::make_unique<MemoryStream>();
    return cut;
}

inline std::vector<int32_t> IndexEntries(TCutObject& cut) {
    std::vector<int32_t> entries;
    cut.IndexStream->Seek(0, SeekOrigin::Begin);
    for (int32_t i = 0; i < cut.FrameCount(); ++i) {
        entries.push_back(cut.IndexStream->ReadInt32());
    }
    return entries;
}

// Frames that differ in their body bytes, so a copy that swaps, repeats or drops one shows.
inline std::vector<std::vector<uint8_t>> NumberedFrames(int count, const HeaderSpec& spec = {},
                                                        uint8_t firstFill = 0x10) {
    std::vector<std::vector<uint8_t>> frames;
    for (int i = 0; i < count; ++i) {
        frames.push_back(MakeFrame(spec, static_cast<uint8_t>(firstFill + i % 100)));
    }
    return frames;
}

inline std::vector<uint8_t> Join(const std::vector<std::vector<uint8_t>>& parts) {
    std::vector<uint8_t> out;
    for (const auto& part : parts) {
        Append(out, part);
    }
    return out;
}

// Bytes that never contain 0xFF, so no header can form in them.
inline std::vector<uint8_t> Junk(size_t count) {
    std::vector<uint8_t> junk(count);
    for (size_t i = 0; i < count; ++i) {
        junk[i] = static_cast<uint8_t>(0x20 + i % 90);
    }
    return junk;
}

// The start of an index file that records describedFile as its source: all that decides whether
// an export may delete it as the index of its target.
inline std::vector<uint8_t> IndexFileNaming(const std::string& describedFile) {
    std::vector<uint8_t> bytes(kIndexFileMagic, kIndexFileMagic + 16);
    bytes.push_back(static_cast<uint8_t>(describedFile.size() & 0xFF));
    bytes.push_back(static_cast<uint8_t>(describedFile.size() >> 8));
    bytes.insert(bytes.end(), describedFile.begin(), describedFile.end());
    return bytes;
}

}  // namespace sw::test
