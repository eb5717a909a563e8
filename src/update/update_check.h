#pragma once

#include <string>

#include "app/settings/global_settings.h"
#include "stream/version_text.h"
#include "update/update_record.h"

namespace sw {

// The rules of the update check that need no window: the texts it shows and what it takes from
// a record. The windows (update/ui) only show these.

// "Slicewell %d.%d build %d %s": major, minor, build and flags text of the version.
std::string UpdateUserAgent(const VersionInfo& version = ProgramVersion());

// "It has been %d days since the last\r\nupdate-check of Slicewell" for the whole days from
// lastCheck to now, truncated toward zero. A last check in the future (a clock set back) counts
// as 0 days, and a value that is no date-time at all never makes a number out of range.
int DaysSinceLastCheck(double now, double lastCheck);
std::string LastCheckText(double now, double lastCheck);

// The state texts of the client's states 0..7; "" for any other number.
std::string HttpStateText(int state);

// A record is newer only when its date is later than "LastUpdateCheck"; versions are shown but
// never compared.
bool IsNewerRecord(const UpdateRecord& record, double lastUpdateCheck);

// "Current version: %d.%d build %d %s" and "Latest version: %d.%d build %d %s".
std::string CurrentVersionText(const VersionInfo& version = ProgramVersion());
std::string LatestVersionText(const UpdateRecord& record);

// Which settings a record could replace.
enum RecordSetting : unsigned {
    kTookEmail = 1,
    kTookDownloadURL = 2,
    kTookSlicewellURL = 4,
    kTookUpdatesURL = 8,
};

// Takes the record's four addresses into the settings, each only when it is well-formed: the
// download and home page addresses as http or https addresses the desktop may open, the update
// address as an address the client can fetch (never an http one in place of an https one), the
// e-mail address as a plain address. Any
// other value, an empty one included, is ignored and the setting keeps its value: the record
// comes from the network and must not point the program anywhere else. Returns the settings
// taken (RecordSetting bits).
unsigned TakeRecordSettings(const UpdateRecord& record, TGlobalSettings& settings);

// The record's texts, which are Latin-1 bytes, as UTF-8 for the windows and the prompts; CR LF
// and lone CR become LF.
std::string RecordTextForDisplay(const std::string& text);

}  // namespace sw
