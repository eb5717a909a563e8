#pragma once

#include <string>

#include "stream/cut_object.h"

namespace sw {

// Where the index of a scan is to go.
struct IndexSaveRequest {
    // "SaveIndexStream": write the index file beside the source (its name with ".m3i").
    bool besideSource = false;
    // A file the user named for the index instead; it is written whatever the source's
    // attributes, as the user asked for it. Empty: beside the source, if at all.
    std::string fileName;
};

struct IndexSaveOutcome {
    std::string fileName;  // the index file written; "" when none was
    std::string failure;   // why the index asked for was not written ("Cannot create file ..."),
                           // "" when it was or when none was asked for
    bool readOnlySource = false;  // none was written beside the source because it is read-only
};

// The one rule for saving a scan's index, for the windows and the command line alike. The index
// is written after a complete scan and after an aborted one (LoadIndexFor refuses it then, as it
// is marked incomplete), never after a failed one: a scan that broke off on a read error holds a
// partial index that nothing should take for the file. Beside the source it is written only
// when asked and when the source is not read-only (a read-only file's folder is not ours to
// write in). A failed save never changes the scan's result; it is returned for the caller to
// show. Never throws a file error.
IndexSaveOutcome SaveIndexAfterScan(TCutObject& cut, int scanStatus,
                                    const IndexSaveRequest& request);

}  // namespace sw
