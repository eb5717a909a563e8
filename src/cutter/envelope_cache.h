#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cutter/level_envelope.h"
#include "stream/cut_object.h"

namespace sw {

// The envelopes of the files the waveform has shown, one per cut object, kept while the file
// stays in the bin: going back to a file or to one of its cues shows its levels at once, and a
// decode stopped half way goes on from where it stood.
//
// An entry is known by its cut object and by what identifies the file behind it (name, size,
// frames), so an object freed without the cache being told, and another one made at the same
// address, is never handed the old file's levels.
class EnvelopeCache {
  public:
    // The cut object's envelope, made empty when there is none yet.
    std::shared_ptr<LevelEnvelope> Take(const TCutObject& cut);
    // The cut object's envelope, none when there is none.
    std::shared_ptr<LevelEnvelope> Find(const TCutObject& cut) const;
    // Drops every entry whose cut object listed() does not know any more.
    void KeepOnly(const std::function<bool(const TCutObject*)>& listed);
    int Count() const { return int(entries_.size()); }

  private:
    struct Entry {
        const TCutObject* cut;
        std::string fileName;
        int32_t fileSize;
        int32_t frames;
        std::shared_ptr<LevelEnvelope> envelope;
    };
    static bool Matches(const Entry& entry, const TCutObject& cut);

    std::vector<Entry> entries_;
};

}  // namespace sw
