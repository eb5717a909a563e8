#pragma once

#include <functional>

#include "stream/prompts.h"

namespace sw {

// Runs one command of a window. A file error (or any other error) that the core lets reach the
// command ends that command with its text in an error box, as the program's top-level error
// display does; an exception must never unwind through Qt's event handling.
void RunCommand(Prompts& prompts, const std::function<void()>& command);

}  // namespace sw
