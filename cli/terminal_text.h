#pragma once

#include <cstddef>
#include <string>

namespace sw::cli {

// Bytes from files (names, tags, cue names, comments) made safe to print on a terminal: every
// control character is shown as "\xNN" instead of being obeyed, so that a name holding
// ESC ] 0 ; ... BEL cannot retitle the terminal nor ESC [ 2 J clear it. Escaped are C0 controls
// (with keepLineBreaks, LF stays: the text is a report whose lines are ours), DEL, and the C1
// controls, encoded as UTF-8 or as lone bytes (which 8-bit terminals obey). Everything else stays
// as it was, invalid UTF-8 included.
std::string TerminalText(const std::string& bytes, bool keepLineBreaks = false);

}  // namespace sw::cli
