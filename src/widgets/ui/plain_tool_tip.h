#pragma once

#include <QString>

namespace sw {

// A tool tip that shows text as the characters it is made of. Qt decides per tool tip whether it
// is rich text by how it looks, so a file or cue name such as <img src="/dev/zero"> would be
// rendered, and read; escaped inside our own paragraph it cannot be. Spaces and line breaks stay
// as they are. An empty text gives an empty tip, which shows nothing.
QString PlainToolTip(const QString& text);

}  // namespace sw
