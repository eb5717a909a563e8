#include "app/shell_address.h"

#include <cctype>
#include <cstring>

namespace sw {

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    const size_t length = std::strlen(prefix);
    if (text.size() < length) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

bool IsLabelCharacter(unsigned char c) {
    return std::isalnum(c) != 0 || c == '-';
}

bool IsLocalCharacter(unsigned char c) {
    return std::isalnum(c) != 0 || std::strchr(".!#$'*+-=^_`{|}~", c) != nullptr;
}

// Dot-separated labels, none empty, none starting or ending with "-".
bool IsHostName(const std::string& host) {
    if (host.empty()) {
        return false;
    }
    size_t start = 0;
    while (true) {
        const size_t dot = host.find('.', start);
        const std::string label =
            host.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (label.empty() || label.front() == '-' || label.back() == '-') {
            return false;
        }
        for (const unsigned char c : label) {
            if (!IsLabelCharacter(c)) {
                return false;
            }
        }
        if (dot == std::string::npos) {
            return true;
        }
        start = dot + 1;
    }
}

// What may appear anywhere in an address handed on: printable ASCII without blanks, quotes,
// angle brackets or backslashes.
bool IsCleanAddress(const std::string& address) {
    for (const unsigned char c : address) {
        if (c <= 0x20 || c >= 0x7F || c == '"' || c == '\'' || c == '<' || c == '>' || c == '\\' ||
            c == '`') {
            return false;
        }
    }
    return true;
}

bool IsWebAddress(const std::string& address) {
    size_t hostStart = 0;
    if (StartsWithNoCase(address, "http://")) {
        hostStart = 7;
    } else if (StartsWithNoCase(address, "https://")) {
        hostStart = 8;
    } else {
        return false;
    }
    const size_t hostEnd = address.find_first_of(":/?#", hostStart);
    std::string host = address.substr(
        hostStart, hostEnd == std::string::npos ? std::string::npos : hostEnd - hostStart);
    // A user part ("user@host") is a way to disguise where an address leads.
    return host.find('@') == std::string::npos && IsHostName(host);
}

}  // namespace

bool IsPlainEmailAddress(const std::string& email) {
    const size_t at = email.find('@');
    if (at == std::string::npos || email.find('@', at + 1) != std::string::npos) {
        return false;
    }
    const std::string local = email.substr(0, at);
    if (local.empty() || local.front() == '.' || local.back() == '.' ||
        local.find("..") != std::string::npos) {
        return false;
    }
    for (const unsigned char c : local) {
        if (!IsLocalCharacter(c)) {
            return false;
        }
    }
    return IsHostName(email.substr(at + 1));
}

std::string MailtoAddress(const std::string& email) {
    return IsPlainEmailAddress(email) ? "mailto:" + email : std::string();
}

bool IsOpenableAddress(const std::string& address) {
    if (!IsCleanAddress(address)) {
        return false;
    }
    if (StartsWithNoCase(address, "mailto:")) {
        return IsPlainEmailAddress(address.substr(7));
    }
    return IsWebAddress(address);
}

}  // namespace sw
