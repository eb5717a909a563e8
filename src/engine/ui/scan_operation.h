#pragma once

#include "stream/cut_object.h"
#include "stream/prompts.h"

namespace sw {

// Scans a cut object on a worker thread under the modal progress window; call on the GUI thread
// with the player suspended. Returns 1 (nothing done) when the source is missing or a stream is
// missing, 6 when no worker could be started, else the worker's status (0, 2 aborted, 3 error).
// Sets CompletelyScanned to (status == 0) and saves the index beside the source by the one rule
// the command line follows too (SaveIndexAfterScan): with "SaveIndexStream" on and a writable
// source, after a complete or an aborted scan, not after a failed one. Shows no message.
int ScanCutObject(TCutObject* cut, Prompts& prompts);

}  // namespace sw
