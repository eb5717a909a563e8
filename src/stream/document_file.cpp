#include "stream/document_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/file_stream.h"

namespace sw {

namespace {

mode_t NewFileMode(const std::string& fileName) {
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0) {
        return st.st_mode & 07777;
    }
    // mkstemp makes the file private; a saved document should get what any new file gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Flushes the file's data to the disk before the rename makes it the document, so a crash
// cannot leave a renamed but empty file behind.
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

void WriteDocumentFile(const std::string& fileName, const std::function<void(ByteStream&)>& write) {
    if (fileName.empty() || IsHeldSource(fileName)) {
        throw FileCreateError(fileName);
    }
    std::string pattern = ExtractFilePath(fileName) + "~hlXXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkstemp(buffer.data());
    if (fd < 0) {
        throw FileCreateError(fileName);
    }
    const std::string tempName(buffer.data());
    ::fchmod(fd, NewFileMode(fileName));
    ::close(fd);
    try {
        {
            FileStream stream(tempName, FileMode::Create);
            write(stream);
            stream.Flush();
        }
        if (!SyncFile(tempName) || std::rename(tempName.c_str(), fileName.c_str()) != 0) {
            throw StreamWriteError();
        }
    } catch (...) {
        ::unlink(tempName.c_str());
        throw;
    }
}

}  // namespace sw
