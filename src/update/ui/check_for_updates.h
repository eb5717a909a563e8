#pragma once

#include <functional>
#include <string>

#include "app/settings/global_settings.h"
#include "stream/prompts.h"
#include "update/http/http_get.h"
#include "update/update_record.h"

class QWidget;

namespace sw {

// What the update check takes from its surroundings; the defaults are the program's own.
struct UpdateCheckOptions {
    int stallTimeout = HttpGet::kDefaultStallTimeout;  // milliseconds without a byte
    int deadline = HttpGet::kDefaultDeadline;          // milliseconds for the whole download
    std::function<double()> now;                       // the current time as days; NowAsDays
    // Hands the download page to the desktop; OpenAddress (http, https and mailto only).
    std::function<bool(const std::string&)> openAddress;
};

// The whole check, modally: downloads the record from "UpdatesURL" under the "Checking for
// updates..." window, then offers a record newer than "LastUpdateCheck" (ShowUpdateInfo) or
// says "Sorry, no newer version available", and finally offers the maker's message of the
// record just fetched. Changes settings in memory only. The main window's "Check for &updates"
// and the about box's updates link call it.
void CheckForUpdates(TGlobalSettings& settings, Prompts& prompts, QWidget* parent = nullptr,
                     const UpdateCheckOptions& options = {});

// The second half of the check for a newer record: takes its well-formed addresses into the
// settings, shows "Update information", and with "Update version info" stores the record's
// date in "LastUpdateCheck" so that this version is not offered again.
void ShowUpdateInfo(const UpdateRecord& record, TGlobalSettings& settings, Prompts& prompts,
                    QWidget* parent = nullptr, const UpdateCheckOptions& options = {});

}  // namespace sw
