#pragma once

#include <string>

namespace sw {

struct AssociationPlace;

// The "/r" option: deletes the window placements and then the whole settings store, and takes
// away the associations of "mp3", "wav", "m3u", "m3q", "m3p" and "m3i". The report:
// "Removed Slicewell registry entries" or "Unable to remove Slicewell registry entries", then
// "\r\n". The store counts as removed when it is gone afterwards, also when it was never there.
std::string RemoveStoreEntries(const AssociationPlace& place);
// The same at the user's own place.
std::string RemoveStoreEntries();

}  // namespace sw
