#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sw {

// Where an "http://" or "https://" address leads: the host as written, the port (80, or 443 for
// https, unless the address names one), the path part sent in the request line (the path with
// its query, "/" when the address has none; a fragment is never sent), and whether the request
// goes over TLS.
struct HttpAddress {
    std::string Host;
    uint16_t Port = 80;
    std::string Path;
    bool Secure = false;
    bool operator==(const HttpAddress&) const = default;
};

// The parts of an "http://" or "https://" address (the scheme in any case). Nothing for any
// other scheme, for an address the desktop rule of shell_address.h refuses (blanks, quotes,
// control characters, a user part, a malformed host), or for a port outside 1..65535.
std::optional<HttpAddress> ParseHttpAddress(const std::string& address);

// The bytes of the GET request for the address: the request line, the "Accept", "User-Agent"
// and "Host" header lines, an empty line, every line ended by CR LF. Control characters in the
// user agent are dropped, so it cannot end its line early.
std::string BuildGetRequest(const HttpAddress& address, const std::string& userAgent);

}  // namespace sw
