#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "install_layout.h"

namespace sw::cli {
namespace {

constexpr char kPlaybackTool[] = "slicewell-cli-playback";

// The folder this executable was started from, so the sibling is found wherever both live.
std::string OwnFolder() {
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) {
        return "";
    }
    path.resize(static_cast<size_t>(length));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// Beside this executable in a build folder; in its private folder once installed.
std::string HelperPath(const char* helper) {
    const std::string sibling = OwnFolder() + helper;
    if (::access(sibling.c_str(), X_OK) == 0) {
        return sibling;
    }
    return OwnFolder() + kHelperFolderFromPrograms + "/" + helper;
}

}  // namespace

int RunInPlaybackTool(const char* command, const Arguments& args) {
    return RunInHelper(kPlaybackTool, "playback", command, args);
}

int RunInHelper(const char* helper, const char* what, const char* command, const Arguments& args) {
    const std::string tool = HelperPath(helper);
    std::vector<std::string> words = {"slicewell-cli", command};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    std::fflush(nullptr);
    ::execv(tool.c_str(), argv.data());
    std::fprintf(stderr, "slicewell-cli: %s is not available: cannot start %s: %s\n", what,
                 tool.c_str(), std::strerror(errno));
    return 1;
}

}  // namespace sw::cli
