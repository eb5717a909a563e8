#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/frame_copy.h"
#include "engine/worker_control.h"
#include "stream/cut_object.h"
#include "stream/project_properties.h"

namespace sw {

// The export's kind of target: "wav" (first three characters of the extension, any case) is a
// WAV file with the 70-byte MPEG header, anything else plain MPEG audio.
bool IsWaveTarget(const std::string& fileName);

struct ExportOutcome {
    // 0; 2 aborted (the file is kept, shorter, still well-formed); 3 a range ended early, the tag
    // or the final flush failed, or any other error; 5 the cut object has no streams.
    int status = 0;
    bool waveHeaderFailed = false;  // the caller shows "Unable to write wave-header"
    int32_t framesCopied = 0;
    // Why the export failed, in the user's words ("Cannot write file x.mp3: No space left on
    // device", "a.mp3 ends before frame 812: ..."); "" when it did not, or nothing more is known.
    std::string failure;
};

// The file export worker: frames first..last of one cut object, behind a WAV header when wave.
ExportOutcome ExportCutObjectFrames(ByteStream& target, bool wave, TCutObject& cut, int32_t first,
                                    int32_t last, WorkerControl& control);

// The project export worker: the cues in order, with the project's header flags and tag as its
// ExportFlags say. Cues without a cut object or streams are skipped. The tag is always appended
// after the last frame. Both workers write the WAV header from the last frame copied whole.
ExportOutcome ExportProjectFrames(ByteStream& target, bool wave, const TProjectProperties& project,
                                  const std::vector<const TCueObject*>& cues,
                                  WorkerControl& control);

}  // namespace sw
