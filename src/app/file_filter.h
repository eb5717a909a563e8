#pragma once

#include <string>

namespace sw {

// Turns the program's dialog filters, "Name|*.a;*.b|Name2|*.c", into Qt's form,
// "Name (*.a *.b);;Name2 (*.c)". A name that already ends with its own pattern list in
// parentheses ("MP3 files (*.mp3)") keeps it only once. Pairs without a pattern are dropped, and
// so is a trailing name without one.
std::string ConvertFileFilter(const std::string& filter);

// The one extension a Qt filter entry names ("wav" for "WAV Files (*.wav)"); "" for an entry of
// several patterns or of a wildcard one ("All Files (*.*)"). A save dialog's chosen filter
// decides the kind of file written: a name typed without an extension takes this one.
std::string FilterExtension(const std::string& qtFilter);

}  // namespace sw
