#include "stream/file_names.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace sw {
namespace {

size_t NameStart(const std::string& fileName) {
    const size_t slash = fileName.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// The position of the extension's dot within the name part, or npos.
size_t ExtensionDot(const std::string& fileName) {
    const size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || dot < NameStart(fileName)) {
        return std::string::npos;
    }
    return dot;
}

}  // namespace

std::string FileKind(const std::string& fileName) {
    const size_t dot = ExtensionDot(fileName);
    if (dot == std::string::npos) {
        return "";
    }
    std::string kind = fileName.substr(dot + 1, 3);
    for (char& c : kind) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return kind;
}

std::string ChangeFileExt(const std::string& fileName, const std::string& extension) {
    const size_t dot = ExtensionDot(fileName);
    const std::string stem = dot == std::string::npos ? fileName : fileName.substr(0, dot);
    return stem + "." + extension;
}

std::string ExtractFileName(const std::string& fileName) {
    return fileName.substr(NameStart(fileName));
}

std::string ExtractFilePath(const std::string& fileName) {
    return fileName.substr(0, NameStart(fileName));
}

std::string DisplayName(const std::string& fileName) {
    const std::string name = ExtractFileName(fileName);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string SafeFileName(const std::string& name) {
    std::string safe = name;
    for (char& c : safe) {
        switch (c) {
            case '"':
            case '*':
            case '/':
            case ':':
            case '<':
            case '>':
            case '?':
            case '\\':
            case '|':
                c = '_';
                break;
            default:
                break;
        }
    }
    return safe;
}

bool IsReadOnly(const std::string& fileName) {
    struct stat st;
    if (::stat(fileName.c_str(), &st) != 0) {
        return true;
    }
    // The owner's write bit is the file's read-only attribute; root's ability to write anyway
    // does not make a file the user marked read-only writable in the program's eyes.
    if ((st.st_mode & S_IWUSR) == 0) {
        return true;
    }
    return ::access(fileName.c_str(), W_OK) != 0;
}

bool FileExists(const std::string& fileName) {
    struct stat st;
    if (fileName.empty()) {
        return false;
    }
    if (::stat(fileName.c_str(), &st) == 0) {
        return !S_ISDIR(st.st_mode);
    }
    // Something is there that cannot be reached: "not found" would send the user looking for a
    // file whose trouble is another (opening it says which).
    return errno == ELOOP || errno == ENAMETOOLONG;
}

std::string AbsolutePath(const std::string& fileName) {
    if (fileName.empty()) {
        return fileName;
    }
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(fileName, error);
    if (error) {
        return fileName;
    }
    return absolute.lexically_normal().string();
}

std::string ResolvePath(const std::string& baseFolder, const std::string& name) {
    if (name.empty() || name.front() == '/' || baseFolder.empty()) {
        return name;
    }
    if (baseFolder.back() == '/') {
        return baseFolder + name;
    }
    return baseFolder + "/" + name;
}

std::string SystemTempFolder() {
    // Blanks around the variable's value come from shell profiles, not from folder names.
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = tmp != nullptr ? tmp : "";
    const size_t first = folder.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return "/tmp";
    }
    return folder.substr(first, folder.find_last_not_of(" \t") - first + 1);
}

}  // namespace sw
