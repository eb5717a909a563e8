#pragma once

#include <cstddef>
#include <string>

namespace sw {

// Reads an HTTP/1.0 response as its bytes arrive: the status line and the header lines up to
// the empty line, then the body up to the end of the connection. Both parts are bounded, since
// the bytes come from the network: a header longer than headerLimit is refused, and a body is
// kept only up to bodyLimit bytes (the caller then ends the connection).
class HttpResponseReader {
  public:
    enum class Progress {
        WaitingHeader,
        WaitingBody,
        BodyFull,   // bodyLimit bytes are kept; whatever else comes is not
        BadHeader,  // no "HTTP/<d>.<d> <status>" line, or a header past its limit
    };

    explicit HttpResponseReader(size_t bodyLimit, size_t headerLimit = 8192)
        : bodyLimit_(bodyLimit), headerLimit_(headerLimit) {}

    // Takes the next bytes of the connection; returns where the response stands. After
    // BodyFull or BadHeader nothing more is taken.
    Progress Feed(const char* data, size_t size);

    Progress State() const { return state_; }
    // The status code (200, 404, ...), 0 until the header has been read.
    int Status() const { return status_; }
    const std::string& Body() const { return body_; }

  private:
    Progress ParseHeader();

    size_t bodyLimit_;
    size_t headerLimit_;
    Progress state_ = Progress::WaitingHeader;
    std::string header_;
    std::string body_;
    int status_ = 0;
};

}  // namespace sw
