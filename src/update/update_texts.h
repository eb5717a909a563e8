#pragma once

namespace sw::update_texts {

inline constexpr char kInformationCaption[] = "Information";
inline constexpr char kWarningCaption[] = "Warning";
inline constexpr char kConfirmCaption[] = "Confirm";
inline constexpr char kErrorCaption[] = "Error";

inline constexpr char kCheckCaption[] = "Checking for updates...";
inline constexpr char kCheckingWeb[] = "Checking web for updates, please wait...";
inline constexpr char kAbort[] = "Abort";
inline constexpr char kNoNewerVersion[] = "Sorry, no newer version available";
inline constexpr char kUnableToRetrieve[] = "Unable to retrieve update-info";
inline constexpr char kReadMessage[] = "Do you want to read The Harrowlight's latest message ?";

inline constexpr char kInfoCaption[] = "Update information";
inline constexpr char kFound[] = "There is an updated Slicewell version available";
inline constexpr char kInformationLabel[] = "Update information:";
inline constexpr char kGetNew[] = "Get this version";
inline constexpr char kGetNewHint[] =
    "Go to the download-page to obtain the latest version (internet connection required)";
inline constexpr char kOnlyUpdate[] = "Update version info";
inline constexpr char kOnlyUpdateHint[] =
    "Update version check so you won't be bothered about this newer version next time you check";
inline constexpr char kUnableToOpenBrowser[] =
    "Unable to open browser\r\nPlease check your internet settings";

}  // namespace sw::update_texts
