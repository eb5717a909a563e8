#pragma once

#include "json_writer.h"
#include "stream/cut_object.h"

namespace sw::cli {

// An ID3v1 tag's fields, its Latin-1 texts as UTF-8.
JsonObject TagJson(const TID3Tag& tag);

// The scan summary of a cut object as JSON members and as the plain text of "scan".
void AddScanSummary(JsonObject& json, TCutObject& cut, int status);
std::string ScanSummaryText(TCutObject& cut, int status);

}  // namespace sw::cli
