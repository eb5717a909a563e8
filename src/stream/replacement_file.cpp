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

// Makes a rename in the folder survive a crash. The target has been replaced already when this
// runs, so a folder that cannot be synced (some file systems refuse) fails nothing.
void SyncFolderOf(const std::string& fileName) {
    const std::string folder = ExtractFilePath(fileName);
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

ReplacementFile::ReplacementFile(const std::string& targetName, const std::string& shownName)
    : targetName_(targetName), shownName_(shownName.empty() ? targetName : shownName) {
    const std::string pattern = ExtractFilePath(targetName) + "~hlXXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    fd_ = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd_ < 0) {
        throw FileCreateError(shownName_);
    }
    tempName_ = buffer.data();
    ::fchmod(fd_, NewFileMode(targetName));
}

ReplacementFile::~ReplacementFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!committed_) {
        ::unlink(tempName_.c_str());
    }
}

void ReplacementFile::Replace(Commit how) {
    const int fd = fd_;
    fd_ = -1;
    const bool synced = how != Commit::Durable || ::fsync(fd) == 0;
    const int syncError = errno;
    // A network file system may report a failed write only when the file is closed.
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed) {
        throw FileWriteError(shownName_, synced ? errno : syncError);
    }
    if (std::rename(tempName_.c_str(), targetName_.c_str()) != 0) {
        throw FileWriteError(shownName_, errno);
    }
    committed_ = true;
    if (how == Commit::Durable) {
        SyncFolderOf(targetName_);
    }
}

}  // namespace sw
