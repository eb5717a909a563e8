#include "app/instance_request.h"

namespace sw {

namespace {

constexpr std::string_view kRaise = "raise\n";
constexpr std::string_view kImport = "import\n";

}  // namespace

std::string EncodeInstanceRequest(const std::vector<std::string>& files) {
    if (files.empty()) {
        return std::string(kRaise);
    }
    std::string request(kImport);
    for (const std::string& file : files) {
        request += file;
        request += '\0';
    }
    request += '\0';
    return request;
}

InstanceRequestReader::State InstanceRequestReader::Feed(std::string_view bytes) {
    if (state_ != State::Incomplete) {
        return state_;
    }
    if (buffer_.size() + bytes.size() > kLimit) {
        state_ = State::Bad;
        return state_;
    }
    buffer_.append(bytes);
    state_ = Parse();
    return state_;
}

InstanceRequestReader::State InstanceRequestReader::Parse() {
    const size_t line = buffer_.find('\n');
    if (line == std::string::npos) {
        return buffer_.size() < kImport.size() ? State::Incomplete : State::Bad;
    }
    const std::string_view head(buffer_.data(), line + 1);
    if (head == kRaise) {
        return buffer_.size() == kRaise.size() ? State::Raise : State::Bad;
    }
    if (head != kImport) {
        return State::Bad;
    }
    std::vector<std::string> files;
    size_t start = kImport.size();
    while (true) {
        const size_t end = buffer_.find('\0', start);
        if (end == std::string::npos) {
            return State::Incomplete;
        }
        if (end == start) {
            if (end + 1 != buffer_.size() || files.empty()) {
                return State::Bad;
            }
            files_ = std::move(files);
            return State::Import;
        }
        // The later start made its names absolute in its own folder; a relative one would be
        // taken in this instance's folder instead.
        if (buffer_[start] != '/') {
            return State::Bad;
        }
        files.emplace_back(buffer_, start, end - start);
        start = end + 1;
    }
}

}  // namespace sw
