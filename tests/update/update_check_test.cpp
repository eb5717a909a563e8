#include "update/update_check.h"

#include <gtest/gtest.h>

#include <limits>

namespace sw {
namespace {

// Would break if the days line rounded instead of truncating, or turned a clock set back or a
// damaged "LastUpdateCheck" into a negative or undefined number.
TEST(LastCheckDays, WholeDaysTruncatedAndAlwaysANumber) {
    EXPECT_EQ(DaysSinceLastCheck(45000.99, 45000.0), 0);
    EXPECT_EQ(DaysSinceLastCheck(45001.0, 45000.0), 1);
    EXPECT_EQ(DaysSinceLastCheck(45010.4, 45000.5), 9);
    EXPECT_EQ(DaysSinceLastCheck(45000.0, 45003.0), 0);
    EXPECT_EQ(DaysSinceLastCheck(45000.0, std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(DaysSinceLastCheck(45000.0, -std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(DaysSinceLastCheck(1e300, 0), std::numeric_limits<int>::max());
    EXPECT_EQ(LastCheckText(45002.5, 45000.0),
              "It has been 2 days since the last\r\nupdate-check of Slicewell");
}

// Would break if an equal date counted as newer, or versions were compared instead of dates.
TEST(NewerRecord, OnlyALaterDateIsNewer) {
    UpdateRecord record;
    record.Date = 45000.5;
    record.Version = 1u << 16;  // an older version number does not matter
    EXPECT_TRUE(IsNewerRecord(record, 45000.4));
    EXPECT_FALSE(IsNewerRecord(record, 45000.5));
    EXPECT_FALSE(IsNewerRecord(record, 45001.0));
}

// Would break if a format lost its fields or order, or the flags text were missing.
TEST(VersionTexts, UserAgentAndVersionLinesFromTheirNumbers) {
    const VersionInfo version{4, 1, 534, kVersionBeta | kVersionPatched};
    EXPECT_EQ(UpdateUserAgent(version), "Slicewell 4.1 build 534 Beta, Patched");
    EXPECT_EQ(UpdateUserAgent({4, 0, 1, 0}), "Slicewell 4.0 build 1 ");
    EXPECT_EQ(CurrentVersionText(version), "Current version: 4.1 build 534 Beta, Patched");
    UpdateRecord record;
    record.Version = (5u << 16) | 3u;
    record.Build = 4000000000u;  // unsigned in the record, never shown negative
    record.Flags = kVersionSpecial;
    EXPECT_EQ(LatestVersionText(record), "Latest version: 5.3 build 4000000000 Special");
    EXPECT_EQ(HttpStateText(0), "Winsock Ready");
    EXPECT_EQ(HttpStateText(7), "Aborting");
    EXPECT_EQ(HttpStateText(8), "");
    EXPECT_EQ(HttpStateText(-1), "");
}

TGlobalSettings OldSettings() {
    TGlobalSettings settings;
    settings.Email = "old@example.org";
    settings.DownloadURL = "https://old.example.org/get";
    settings.SlicewellURL = "https://old.example.org/";
    settings.UpdatesURL = "http://old.example.org/update.dat";
    return settings;
}

// Would break if a well-formed address in the record were not taken.
TEST(RecordSettings, WellFormedAddressesReplaceTheSettings) {
    TGlobalSettings settings = OldSettings();
    UpdateRecord record;
    record.Email = "new@example.org";
    record.DownloadURL = "http://new.example.org/get";
    record.SlicewellURL = "HTTPS://new.example.org/";
    record.UpdatesURL = "http://new.example.org:8080/update.dat";
    EXPECT_EQ(TakeRecordSettings(record, settings),
              kTookEmail | kTookDownloadURL | kTookSlicewellURL | kTookUpdatesURL);
    EXPECT_EQ(settings.Email, record.Email);
    EXPECT_EQ(settings.DownloadURL, record.DownloadURL);
    EXPECT_EQ(settings.SlicewellURL, record.SlicewellURL);
    EXPECT_EQ(settings.UpdatesURL, record.UpdatesURL);
}

// Would break if the network could point the program at a local file, a command, a mail with
// extra recipients or headers, or an address the client cannot fetch, or blank a setting.
TEST(RecordSettings, AnythingElseIsIgnoredAndTheOldValueKept) {
    const TGlobalSettings old = OldSettings();
    const std::vector<std::string> badWeb = {"",
                                             "file:///etc/passwd",
                                             "javascript:alert(1)",
                                             "mailto:a@example.org",
                                             "http://user@evil.example/",
                                             "http://exa mple.org/",
                                             "xdg-open /bin/sh",
                                             "http://host/\"quoted\"",
                                             "ftp://example.org/",
                                             "https://",
                                             std::string(256, 'h')};
    for (const std::string& bad : badWeb) {
        TGlobalSettings settings = old;
        UpdateRecord record;
        record.DownloadURL = bad;
        record.SlicewellURL = bad;
        record.UpdatesURL = bad;
        record.Email = bad;
        EXPECT_EQ(TakeRecordSettings(record, settings), 0u) << bad;
        EXPECT_EQ(settings.DownloadURL, old.DownloadURL);
        EXPECT_EQ(settings.SlicewellURL, old.SlicewellURL);
        EXPECT_EQ(settings.UpdatesURL, old.UpdatesURL);
        EXPECT_EQ(settings.Email, old.Email);
    }
    TGlobalSettings settings = old;
    UpdateRecord record;
    for (const char* email : {"a@b.org?cc=c@d.org", "a@b.org,c@d.org", "a b@c.org",
                              "mailto:a@b.org", "a@b.org\r\nBcc: c@d.org", "@b.org", "a@"}) {
        record.Email = email;
        EXPECT_EQ(TakeRecordSettings(record, settings), 0u) << email;
    }
    EXPECT_EQ(settings.Email, old.Email);
    // A record may move the update address to https, never from https back to plain http,
    // where anyone on the way could answer for the maker from then on.
    record = UpdateRecord{};
    record.UpdatesURL = "https://new.example.org/update.dat";
    EXPECT_EQ(TakeRecordSettings(record, settings), unsigned(kTookUpdatesURL));
    record.UpdatesURL = "http://plain.example.org/update.dat";
    EXPECT_EQ(TakeRecordSettings(record, settings), 0u);
    EXPECT_EQ(settings.UpdatesURL, "https://new.example.org/update.dat");
}

// Would break if the record's Latin-1 bytes reached the windows as invalid UTF-8, or its CR LF
// line ends showed as stray characters.
TEST(RecordDisplayText, Latin1BecomesUtf8AndLinesEndInLF) {
    EXPECT_EQ(RecordTextForDisplay("Caf\xE9\r\nline\rend"), "Caf\xC3\xA9\nline\nend");
}

}  // namespace
}  // namespace sw
