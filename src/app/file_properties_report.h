#pragma once

#include <cstdint>
#include <string>

#include "stream/cut_object.h"
#include "stream/source_tags.h"

namespace sw {

// The plain-text report of the "Properties" command: the scan summary, the MPEG properties of
// the reference frame and the ID3v1.1 tag, then, when the source's own tags (read by the caller
// with TagLib) hold an ID3v2 tag with a title or an artist, an "ID3v2 tag:" block with both. The
// text is UTF-8 with "\n" line ends and ends with one: file and display names are passed through as
// the file system's bytes, the tag's texts are read as Latin-1 (the tag's custom) and the emphasis
// "50/15µs" gets a UTF-8 micro sign.
//
// Works on any cut object: without frames the two offset lines read "none"; without a source
// stream the file size is the one recorded by the scan; field values that no header can hold
// (from a damaged index file) read "Invalid". Moves the positions of the cut object's streams.
std::string FilePropertiesReport(TCutObject& cut, const std::string& thousandsSeparator,
                                 const SourceTags* sourceTags = nullptr);

// value with the separator between groups of three digits ("4,123,456").
std::string GroupThousands(int64_t value, const std::string& separator);

// The thousands separator of the user's LC_NUMERIC locale (from the environment, without
// changing the process's locale). The C and POSIX locales define none; "," stands in then, so
// that a large size stays readable in a bare environment.
std::string UserThousandsSeparator();

}  // namespace sw
