#pragma once

#include <initializer_list>
#include <string>

namespace sw {

// The message format with each "%s" or "%d" replaced, in order, by the next value (already
// turned into text); placeholders beyond the values stay as they are.
std::string FillText(const char* format, std::initializer_list<std::string> values);

}  // namespace sw
