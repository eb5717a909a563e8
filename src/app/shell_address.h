#pragma once

#include <string>

namespace sw {

// The one rule for handing an address to the desktop: only "http://" and "https://" addresses
// with a host, and "mailto:" with a plain address, all without blanks, quotes, backslashes or
// control characters. A settings value edited to "file:///..." or to a command line is refused.
bool IsOpenableAddress(const std::string& address);

// A plain e-mail address: one "@" between a local part of letters, digits and ".!#$'*+-=^_`{|}~"
// (no leading, trailing or doubled dot) and a host of dot-separated labels of letters, digits
// and "-". Nothing that would add recipients, headers or a query to a mailto address.
bool IsPlainEmailAddress(const std::string& email);

// "mailto:" + email for a plain address, else "".
std::string MailtoAddress(const std::string& email);

}  // namespace sw
