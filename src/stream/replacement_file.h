#pragma once

#include <string>

namespace sw {

// A new file made beside a target (same folder, so the rename stays on one file system) that
// replaces the target only when the writer says it is complete; until then the target, if any,
// is untouched. The new file gets an existing target's permission bits, or what any new file
// gets. Abandoned (destroyed without Replace), the temporary file is removed.
//
// Writers that each make their own replacement of one target never mix their bytes: each
// writes its own file, and the last rename wins whole.
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
    // The temporary file, open for reading and writing: the descriptor its creation returned
    // (the name is made with O_EXCL, which never follows a link). Writers that can use it should:
    // opening TempName again would write through whatever was planted under that name meanwhile.
    int Descriptor() const { return fd_; }

    // How the finished file takes the target's place. Either way it is renamed over the target,
    // which is never removed first: at every moment the name holds the old file or the new one.
    enum class Commit {
        // The data reaches the disk first, and the folder's new entry after the rename: a crash
        // leaves the old file or the new one, never an empty one. For documents and exports.
        Durable,
        // No wait for the disk: for a file that only spares work (an index file), where one a
        // crash damaged is found out on its next load and made anew.
        Fast,
    };

    // Puts the temporary file in the target's place. Throws FileWriteError for the shown name,
    // with the system's reason, when the data cannot be made to reach the disk or the rename
    // fails: the temporary file is removed then and the target is as it was.
    void Replace(Commit how);

  private:
    std::string targetName_;
    std::string shownName_;
    std::string tempName_;
    int fd_ = -1;
    bool committed_ = false;
};

}  // namespace sw
