#pragma once

#include <string>

namespace sw {

// Status codes returned by operations that can fail; 0 is success.
enum Status : int {
    kStatusOk = 0,
    kStatusFailed = 1,
    kStatusAborted = 2,
    kStatusUnknownError = 3,
    kStatusFileNotFound = 4,
    kStatusNotInitialized = 5,
    kStatusOutOfMemory = 6,
};

// "Operation successful" .. "Out of memory"; codes outside 0..6 give "Unknown error at operation".
std::string StatusText(int code);

class Prompts;
// Shows the code's text in an error box captioned "Error"; code 0 shows nothing.
void ShowStatusMessage(Prompts& prompts, int code);

}  // namespace sw
