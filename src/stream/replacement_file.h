#pragma once

#include <string>

namespace sw {

// A new file made beside a target (same folder, so the rename stays on one file system) that
// replaces the target only when the writer says it is complete; until then the target, if any,
// is untouched. The new file gets an existing target's permission bits, or what any new file
// gets. Abandoned (destroyed without Replace), the temporary file is removed.
class ReplacementFile {
  public:
    // Throws FileCreateError for shownName (targetName when "": the name the user asked for,
    // where that differs from the file a link leads to) when no temporary file can be made there.
    explicit ReplacementFile(const std::string& targetName, const std::string& shownName = "");
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // "~hl" and six random characters, in the target's folder.
    const std::string& TempName() const { return tempName_; }

    // How the finished file takes the target's place.
    enum class Commit {
        // Its data reaches the disk first, then it is renamed over the target: a crash leaves the
        // old file or the new one, never an empty one. For documents, which are small.
        Durable,
        // The old target is removed and the new file renamed into its place at once, with no
        // wait for the disk. Renaming over an existing file would make the file system write the
        // whole new file out first (ext4 does, to guard programs that never flush), which for an
        // export of an hour of audio costs more than the export itself; exports do not flush
        // their data in any case. Only the instant between the two steps has no target.
        Fast,
    };

    // Puts the temporary file in the target's place. Throws StreamWriteError when that fails
    // (the temporary file is then removed).
    void Replace(Commit how);

  private:
    std::string targetName_;
    std::string tempName_;
    bool committed_ = false;
};

// True when a rename may put a new file in the target's place without changing what the name
// means: the target is missing or a writable regular file with no other name, and its folder
// takes new files. A symbolic link would become a file of its own, and the other names of a
// hard-linked file would keep the old contents; those targets are written in place instead.
bool CanReplaceByRename(const std::string& targetName);

}  // namespace sw
