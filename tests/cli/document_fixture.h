#pragma once

#include <string>
#include <vector>

#include "cli_fixture.h"
#include "project/cue_file.h"
#include "project/inline_front_end.h"
#include "project/playlist.h"
#include "project/project_file.h"
#include "project/source_opening.h"
#include "stream/memory_stream.h"

namespace sw::test {

// One frame of the default header whose first `zeros` body bytes are 0 and whose other body
// bytes never equal their neighbour (nor 0), so the share of equal neighbouring pairs, which
// the silence search compares with its threshold, is set by zeros alone.
inline std::vector<uint8_t> FrameWithZeros(size_t zeros, int seed = 0) {
    std::vector<uint8_t> frame = MakeFrame({}, 0);
    for (size_t i = 4 + zeros; i < frame.size(); ++i) {
        frame[i] = static_cast<uint8_t>(((i * 37 + static_cast<size_t>(seed) * 11) & 0x7F) | 1);
    }
    return frame;
}

// Frames after a pattern, for the 417-byte frames of the default header:
//   'S' sound: no equal pairs, never silent;
//   'l' 10 zero bytes: 9 equal pairs, silent only at threshold 1 (limit 4);
//   'h' half zeros: 205 equal pairs, silent up to threshold 49 (limit 204), sound from 50;
//   '.' all zeros: silent below threshold 99.
inline std::vector<std::vector<uint8_t>> PatternFrames(const std::string& pattern) {
    std::vector<std::vector<uint8_t>> frames;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        const size_t zeros = c == 'S' ? 0 : c == 'l' ? 10 : c == 'h' ? 206 : 413;
        frames.push_back(FrameWithZeros(zeros, static_cast<int>(i)));
    }
    return frames;
}

inline std::vector<uint8_t> AllFrames(const std::vector<std::vector<uint8_t>>& frames) {
    return Join(frames, 0, static_cast<int>(frames.size()) - 1);
}

// What the core's writers make of these contents: the bytes the command's file must hold.
inline std::vector<uint8_t> CueFileBytes(const CueFileRecord& record) {
    MemoryStream stream;
    WriteCueRecord(stream, record);
    return stream.Bytes();
}

inline std::vector<uint8_t> ProjectFileBytes(const ProjectFileContents& contents) {
    MemoryStream stream;
    WriteProject(stream, contents);
    return stream.Bytes();
}

inline std::vector<uint8_t> PlaylistBytes(const std::string& playlistPath,
                                          const std::vector<PlaylistEntry>& entries) {
    const std::string text = PlaylistText(playlistPath, entries);
    return std::vector<uint8_t>(text.begin(), text.end());
}

// The play time the program's scan gives a file, which a playlist's "#EXTINF" line rounds.
inline float ScannedPlayTime(const std::string& fileName) {
    InlineFrontEnd frontEnd;
    return ScanSource(fileName, CutObjectOptions{}, frontEnd).cut->PlayTime;
}

}  // namespace sw::test
