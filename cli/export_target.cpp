#include "export_target.h"

#include "cli_error.h"
#include "stream/file_names.h"
#include "stream/file_stream.h"

namespace sw::cli {

void CheckExportTarget(const std::string& targetName) {
    if (targetName.empty()) {
        throw UsageError("the target file name is empty");
    }
    if (FileKind(targetName) == "m3q") {
        throw UsageError("cue files (.m3q) cannot be exported yet; choose an .mp3 or .wav target");
    }
}

void FinishTarget(std::unique_ptr<ByteStream>& target) {
    if (auto* file = dynamic_cast<FileStream*>(target.get())) {
        file->Flush();
    }
    target.reset();
}

}  // namespace sw::cli
