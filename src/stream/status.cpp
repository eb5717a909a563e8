#include "stream/status.h"

#include "stream/prompts.h"

namespace sw {

std::string StatusText(int code) {
    switch (code) {
        case kStatusOk:
            return "Operation successful";
        case kStatusFailed:
            return "Operation failed";
        case kStatusAborted:
            return "Operation aborted";
        case kStatusUnknownError:
            return "Unknown error at operation";
        case kStatusFileNotFound:
            return "File not found";
        case kStatusNotInitialized:
            return "Object not initialized";
        case kStatusOutOfMemory:
            return "Out of memory";
        default:
            return "Unknown error at operation";
    }
}

void ShowStatusMessage(Prompts& prompts, int code) {
    if (code != kStatusOk) {
        prompts.Error("Error", StatusText(code));
    }
}

}  // namespace sw
