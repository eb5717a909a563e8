#include "stream/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "stream/file_errors.h"
#include "stream/file_names.h"

namespace sw {

namespace {

mode_t NewFileMode(const std::string& fileName) {
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0) {
        return st.st_mode & 07777;
    }
    // mkstemp makes the file private; a saved file should get what any new file gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool SyncFile(const std::string& fileName) {
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

}  // namespace

ReplacementFile::ReplacementFile(const std::string& targetName, const std::string& shownName)
    : targetName_(targetName) {
    const std::string pattern = ExtractFilePath(targetName) + "~hlXXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkstemp(buffer.data());
    if (fd < 0) {
        throw FileCreateError(shownName.empty() ? targetName : shownName);
    }
    tempName_ = buffer.data();
    ::fchmod(fd, NewFileMode(targetName));
    ::close(fd);
}

ReplacementFile::~ReplacementFile() {
    if (!committed_) {
        ::unlink(tempName_.c_str());
    }
}

void ReplacementFile::Replace(Commit how) {
    if (how == Commit::Durable && !SyncFile(tempName_)) {
        throw StreamWriteError();
    }
    if (how == Commit::Fast && ::unlink(targetName_.c_str()) != 0 && errno != ENOENT) {
        throw StreamWriteError();
    }
    if (std::rename(tempName_.c_str(), targetName_.c_str()) != 0) {
        throw StreamWriteError();
    }
    committed_ = true;
}

bool CanReplaceByRename(const std::string& targetName) {
    struct stat st {};
    if (::lstat(targetName.c_str(), &st) == 0) {
        // A file that may not be written must not be replaced either.
        if (!S_ISREG(st.st_mode) || st.st_nlink != 1 || ::access(targetName.c_str(), W_OK) != 0) {
            return false;
        }
    } else if (errno != ENOENT) {
        return false;
    }
    std::string folder = ExtractFilePath(targetName);
    if (folder.empty()) {
        folder = ".";
    }
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace sw
