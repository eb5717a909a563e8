#include "update/http_request.h"

#include <cctype>
#include <string_view>

#include "app/shell_address.h"

namespace sw {

namespace {

bool StartsWithScheme(const std::string& address, std::string_view scheme) {
    if (address.size() < scheme.size()) {
        return false;
    }
    for (size_t i = 0; i < scheme.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(address[i])) != scheme[i]) {
            return false;
        }
    }
    return true;
}

std::optional<uint16_t> ParsePort(const std::string& digits, uint16_t standard) {
    if (digits.empty()) {
        return standard;
    }
    if (digits.size() > 5) {
        return std::nullopt;
    }
    uint32_t port = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        port = port * 10 + static_cast<uint32_t>(c - '0');
    }
    if (port == 0 || port > 65535) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(port);
}

}  // namespace

std::optional<HttpAddress> ParseHttpAddress(const std::string& address) {
    const bool secure = StartsWithScheme(address, "https://");
    if ((!secure && !StartsWithScheme(address, "http://")) || !IsOpenableAddress(address)) {
        return std::nullopt;
    }
    const std::string rest = address.substr(secure ? 8 : 7);
    const size_t authorityEnd = rest.find_first_of("/?#");
    const std::string authority = rest.substr(0, authorityEnd);
    HttpAddress parts;
    parts.Secure = secure;
    const size_t colon = authority.find(':');
    parts.Host = authority.substr(0, colon);
    const std::optional<uint16_t> port =
        ParsePort(colon == std::string::npos ? std::string() : authority.substr(colon + 1),
                  secure ? 443 : 80);
    if (!port || parts.Host.empty()) {
        return std::nullopt;
    }
    parts.Port = *port;
    if (authorityEnd != std::string::npos) {
        parts.Path = rest.substr(authorityEnd);
        parts.Path = parts.Path.substr(0, parts.Path.find('#'));
    }
    if (parts.Path.empty() || parts.Path.front() != '/') {
        parts.Path = "/" + parts.Path;
    }
    return parts;
}

std::string BuildGetRequest(const HttpAddress& address, const std::string& userAgent) {
    std::string agent;
    for (const char c : userAgent) {
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) {
            agent += c;
        }
    }
    return "GET " + address.Path + " HTTP/1.0\r\n" +
           "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n" +
           "User-Agent: " + agent + "\r\n" + "Host: " + address.Host + "\r\n" + "\r\n";
}

}  // namespace sw
