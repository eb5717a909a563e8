#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "stream/cut_object.h"

namespace sw {

// A source file as it is at one moment: which file (device and inode, links followed), its size
// and its modification time to the nanosecond. A file written since, in place or replaced, has
// another stamp.
struct SourceStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedSeconds = 0;
    int64_t modifiedNanoseconds = 0;
    auto operator<=>(const SourceStamp&) const = default;
};

// The stamp of the file the name leads to; nothing when it cannot be looked at.
std::optional<SourceStamp> StampOf(const std::string& fileName);

// The complete scans the bin holds, by the file they describe. Importing a file the bin has
// already scanned, unchanged since, takes that scan instead of scanning again, and shares its
// index instead of copying it: a playlist naming one file 30,000 times costs one scan and one
// index, where it took 30,000 of each. Only indexes in memory are shared; "IndexAsFileStream"
// asks for a file per entry. A scan is forgotten once no entry holds its index any more.
class ScannedSources {
  public:
    // Remembers the cut object's scan when it is complete, its index is in memory and its file
    // still has the stamp it had before it was read (before a scan, or before an index was
    // checked against it).
    void Remember(TCutObject& cut, const SourceStamp& before);
    // A new cut object of fileName from a remembered scan of the file as it is now: its source
    // opened (and held) for it, the scan's summary and shared index, marks over the whole file.
    // nullptr when there is none or the source cannot be opened.
    CutObjectPtr Reuse(const std::string& fileName);

  private:
    struct Scan {
        TCutObject summary;  // without streams
        std::weak_ptr<const std::vector<uint8_t>> index;
    };
    void ForgetUnused();

    std::map<SourceStamp, Scan> scans_;
    size_t forgetAt_ = 64;
};

}  // namespace sw
