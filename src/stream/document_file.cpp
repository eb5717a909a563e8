#include "stream/document_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "stream/cut_object.h"
#include "stream/descriptor_stream.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/file_stream.h"

namespace sw {

namespace {

// Links deeper than this are taken for a loop, as the kernel does (ELOOP at 40).
constexpr int kMaxLinkHops = 40;

// The contents of a symbolic link, or "" when it cannot be read.
std::string LinkText(const std::string& link) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink(link.c_str(), buffer.data(), buffer.size());
        if (n < 0) {
            return "";
        }
        if (static_cast<size_t>(n) < buffer.size()) {
            return std::string(buffer.data(), static_cast<size_t>(n));
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool FolderTakesNewFiles(const std::string& fileName) {
    const std::string path = ExtractFilePath(fileName);
    const char* folder = path.empty() ? "." : path.c_str();
    struct stat st {};
    // The owner's write bit is the folder's read-only attribute, as for files: root's ability to
    // write anyway does not make a folder the user marked read-only writable here.
    return ::stat(folder, &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_IWUSR) != 0 &&
           ::access(folder, W_OK | X_OK) == 0;
}

}  // namespace

std::string ProgramDocumentBySignature(const std::string& fileName) {
    int fd = -1;
    if (OpenRegularFile(fileName, false, fd) != ReadOpenResult::Opened) {
        return "";
    }
    char head[16];
    const ssize_t got = ::pread(fd, head, sizeof head, 0);
    ::close(fd);
    if (got != ssize_t(sizeof head)) {
        return "";
    }
    const auto is = [&head](const char* magic) { return std::memcmp(head, magic, 16) == 0; };
    return is(kIndexFileMagic)     ? "index file"
           : is(kCueFileMagic)     ? "cue file"
           : is(kProjectFileMagic) ? "project file"
                                   : "";
}

std::string LinkedFile(const std::string& fileName) {
    // Followed by hand: a link whose file is missing (dangling) still names where a new file
    // goes, which realpath would refuse.
    std::string target = fileName;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return target;
        }
        const std::string text = LinkText(target);
        if (text.empty() || hops == kMaxLinkHops) {
            return "";
        }
        target = text.front() == '/' ? text : ExtractFilePath(target) + text;
    }
}

std::string DocumentTarget(const std::string& fileName) {
    const std::string target = fileName.empty() ? "" : LinkedFile(fileName);
    if (target.empty()) {
        throw FileCreateError(fileName);
    }
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            throw FileCreateError(fileName);
        }
    } else if (!S_ISREG(st.st_mode) || IsReadOnly(target)) {
        // A device, FIFO, socket or folder is no document: a rename would put a regular file in
        // its place (root once replaced /dev/full that way).
        throw FileCreateError(fileName);
    }
    if (IsHeldSource(target) || !FolderTakesNewFiles(target)) {
        throw FileCreateError(fileName);
    }
    return target;
}

void WriteDocumentFile(const std::string& fileName, const std::function<void(ByteStream&)>& write,
                       ReplacementFile::Commit how) {
    const std::string target = DocumentTarget(fileName);
    ReplacementFile replacement(target, fileName);
    DescriptorStream stream(replacement.Descriptor(), fileName);
    write(stream);
    stream.Flush();
    replacement.Replace(how);
}

}  // namespace sw
