#include "cutter/envelope_cache.h"

#include <algorithm>

namespace sw {

bool EnvelopeCache::Matches(const Entry& entry, const TCutObject& cut) {
    return entry.cut == &cut && entry.fileName == cut.FileName && entry.fileSize == cut.FileSize &&
           entry.frames == cut.FrameCount();
}

std::shared_ptr<LevelEnvelope> EnvelopeCache::Find(const TCutObject& cut) const {
    for (const Entry& entry : entries_) {
        if (Matches(entry, cut)) {
            return entry.envelope;
        }
    }
    return nullptr;
}

std::shared_ptr<LevelEnvelope> EnvelopeCache::Take(const TCutObject& cut) {
    if (std::shared_ptr<LevelEnvelope> found = Find(cut)) {
        return found;
    }
    // An entry of the same address that no longer matches is another file's: it goes.
    std::erase_if(entries_, [&](const Entry& entry) { return entry.cut == &cut; });
    auto envelope = std::make_shared<LevelEnvelope>(cut.FrameCount());
    entries_.push_back({&cut, cut.FileName, cut.FileSize, cut.FrameCount(), envelope});
    return envelope;
}

void EnvelopeCache::KeepOnly(const std::function<bool(const TCutObject*)>& listed) {
    std::erase_if(entries_, [&](const Entry& entry) { return !listed(entry.cut); });
}

}  // namespace sw
