#include "update/http_response.h"

#include <algorithm>

namespace sw {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// "HTTP/1.0 200 OK": the version's digits, one blank, three digits, then a blank or the end.
int StatusOf(const std::string& line) {
    if (line.size() < 12 || line.compare(0, 5, "HTTP/") != 0 || !IsDigit(line[5]) ||
        line[6] != '.' || !IsDigit(line[7]) || line[8] != ' ') {
        return 0;
    }
    if (!IsDigit(line[9]) || !IsDigit(line[10]) || !IsDigit(line[11]) ||
        (line.size() > 12 && line[12] != ' ')) {
        return 0;
    }
    const int status = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
    return status >= 100 ? status : 0;
}

}  // namespace

HttpResponseReader::Progress HttpResponseReader::Feed(const char* data, size_t size) {
    if (state_ == Progress::WaitingHeader) {
        // Only what can still belong to the header is looked at; the rest is body.
        const size_t before = header_.size();
        header_.append(data, std::min(size, headerLimit_ + 4 - std::min(before, headerLimit_ + 4)));
        size_t end = header_.find("\r\n\r\n", before >= 3 ? before - 3 : 0);
        size_t separator = 4;
        const size_t bare = header_.find("\n\n", before >= 1 ? before - 1 : 0);
        if (bare != std::string::npos && (end == std::string::npos || bare < end)) {
            end = bare;
            separator = 2;
        }
        if (end == std::string::npos) {
            if (header_.size() > headerLimit_) {
                state_ = Progress::BadHeader;
            }
            return state_;
        }
        if (end > headerLimit_) {
            state_ = Progress::BadHeader;
            return state_;
        }
        const size_t used = end + separator - before;
        header_.resize(end);
        if (ParseHeader() == Progress::BadHeader) {
            return state_;
        }
        data += used;
        size -= used;
    }
    if (state_ == Progress::WaitingBody) {
        const size_t room = bodyLimit_ - body_.size();
        body_.append(data, std::min(size, room));
        if (size >= room) {
            state_ = Progress::BodyFull;
        }
    }
    return state_;
}

HttpResponseReader::Progress HttpResponseReader::ParseHeader() {
    const size_t lineEnd = header_.find('\n');
    std::string line = header_.substr(0, lineEnd);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    status_ = StatusOf(line);
    state_ = status_ == 0 ? Progress::BadHeader : Progress::WaitingBody;
    return state_;
}

}  // namespace sw
