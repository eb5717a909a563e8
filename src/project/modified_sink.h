#pragma once

namespace sw {

// Where the bin and the cue list report that they changed the project. The project document
// implements it (and ignores it while a project loads); tests count the calls.
class ModifiedSink {
  public:
    virtual ~ModifiedSink() = default;
    virtual void MarkModified() = 0;
};

}  // namespace sw
