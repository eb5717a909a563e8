#include "update/update_check.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

#include "app/shell_address.h"
#include "stream/text_encoding.h"
#include "update/http_request.h"

namespace sw {

namespace {

std::string VersionLine(const char* lead, unsigned major, unsigned minor, unsigned build,
                        uint32_t flags) {
    return lead + std::to_string(major) + "." + std::to_string(minor) + " build " +
           std::to_string(build) + " " + VersionFlagsText(flags);
}

// The desktop rule takes http, https and mailto addresses; a web page is one of the first two.
bool IsWebPage(const std::string& address) {
    std::string scheme = address.substr(0, address.find(':'));
    for (char& c : scheme) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return IsOpenableAddress(address) && (scheme == "http" || scheme == "https");
}

}  // namespace

std::string UpdateUserAgent(const VersionInfo& version) {
    return VersionLine("Slicewell ", static_cast<unsigned>(version.Major),
                       static_cast<unsigned>(version.Minor), static_cast<unsigned>(version.Build),
                       version.Flags);
}

int DaysSinceLastCheck(double now, double lastCheck) {
    const double days = std::trunc(now - lastCheck);
    if (!std::isfinite(days) || days <= 0) {
        return 0;
    }
    if (days >= std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(days);
}

std::string LastCheckText(double now, double lastCheck) {
    return "It has been " + std::to_string(DaysSinceLastCheck(now, lastCheck)) +
           " days since the last\r\nupdate-check of Slicewell";
}

std::string HttpStateText(int state) {
    static constexpr const char* kTexts[] = {
        "Winsock Ready",   "Not Connected",  "Connected",    "DNS Lookup",
        "DNS Lookup Done", "Waiting Header", "Waiting Body", "Aborting",
    };
    return state >= 0 && state < 8 ? kTexts[state] : "";
}

bool IsNewerRecord(const UpdateRecord& record, double lastUpdateCheck) {
    return record.Date > lastUpdateCheck;
}

std::string CurrentVersionText(const VersionInfo& version) {
    return VersionLine("Current version: ", static_cast<unsigned>(version.Major),
                       static_cast<unsigned>(version.Minor), static_cast<unsigned>(version.Build),
                       version.Flags);
}

std::string LatestVersionText(const UpdateRecord& record) {
    return VersionLine("Latest version: ", static_cast<unsigned>(record.Major()),
                       static_cast<unsigned>(record.Minor()), record.Build, record.Flags);
}

unsigned TakeRecordSettings(const UpdateRecord& record, TGlobalSettings& settings) {
    unsigned taken = 0;
    if (IsPlainEmailAddress(record.Email)) {
        settings.Email = record.Email;
        taken |= kTookEmail;
    }
    if (IsWebPage(record.DownloadURL)) {
        settings.DownloadURL = record.DownloadURL;
        taken |= kTookDownloadURL;
    }
    if (IsWebPage(record.SlicewellURL)) {
        settings.SlicewellURL = record.SlicewellURL;
        taken |= kTookSlicewellURL;
    }
    const std::optional<HttpAddress> updates = ParseHttpAddress(record.UpdatesURL);
    const std::optional<HttpAddress> current = ParseHttpAddress(settings.UpdatesURL);
    if (updates && (updates->Secure || !current || !current->Secure)) {
        settings.UpdatesURL = record.UpdatesURL;
        taken |= kTookUpdatesURL;
    }
    return taken;
}

std::string RecordTextForDisplay(const std::string& text) {
    std::string lines;
    lines.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            lines += text[i];
        }
    }
    return Latin1ToUtf8(lines);
}

}  // namespace sw
