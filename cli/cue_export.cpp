#include "cue_export.h"

#include <sys/stat.h>

#include <cstdio>

#include "cli_error.h"
#include "json_writer.h"
#include "progress.h"
#include "project/cue_file.h"
#include "project/source_opening.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw::cli {

int ExportCueFile(const std::string& sourceName, const std::string& targetName,
                  const std::optional<FrameRange>& range, const std::optional<std::string>& name,
                  bool json) {
    if (name && name->size() > 65535) {
        throw UsageError("--name: a cue name holds at most 65535 bytes");
    }
    CheckAudioKind(sourceName);
    CliFrontEnd frontEnd;
    const OpenedSource source = OpenSource(sourceName, CliCutObjectOptions(), frontEnd);
    if (source.status != kStatusOk) {
        std::fprintf(stderr, "slicewell-cli: scanning %s: %s\n", sourceName.c_str(),
                     StatusText(source.status).c_str());
        return source.status;
    }
    const int32_t frames = source.cut->FrameCount();
    const FrameSpan wanted = range.value_or(FrameSpan{0, frames - 1});
    const FrameSpan marks = ClampFrameSpan(wanted, frames);
    if (frames == 0 || marks.first > marks.last) {
        throw CommandError(kStatusFailed, frames == 0
                                              ? sourceName + " holds no MPEG audio frames"
                                              : "the range " + std::to_string(wanted.first) + "-" +
                                                    std::to_string(wanted.last) +
                                                    " holds none of the frames 0-" +
                                                    std::to_string(frames - 1));
    }
    if (marks.first != wanted.first || marks.last != wanted.last) {
        std::fprintf(stderr,
                     "slicewell-cli: warning: the range %d-%d reaches past the last frame; the "
                     "cue holds frames %d-%d\n",
                     wanted.first, wanted.last, marks.first, marks.last);
    }
    CueFileRecord record;
    record.SourcePath = AbsolutePath(sourceName);
    record.Name = name.value_or(DisplayName(record.SourcePath));
    record.MarkIn = marks.first;
    record.MarkOut = marks.last;
    // Written while the source is open: a target that is the source by another name is refused.
    SaveCueFile(record, targetName);

    struct stat st {};
    const int64_t bytes = ::stat(targetName.c_str(), &st) == 0 ? int64_t{st.st_size} : 0;
    if (json) {
        JsonObject object;
        object.Add("source", record.SourcePath);
        object.Add("target", AbsolutePath(targetName));
        object.Add("name", record.Name);
        object.Add("first", record.MarkIn);
        object.Add("last", record.MarkOut);
        object.Add("frames", record.MarkOut - record.MarkIn + 1);
        object.Add("bytes", bytes);
        object.Add("from_index", source.fromIndex);
        object.Add("status", kStatusOk);
        object.Add("status_text", StatusText(kStatusOk));
        std::printf("%s\n", object.Text().c_str());
    } else {
        std::printf("Saved the cue \"%s\" of frames %d-%d to %s\n", record.Name.c_str(),
                    record.MarkIn, record.MarkOut, targetName.c_str());
    }
    return 0;
}

}  // namespace sw::cli
