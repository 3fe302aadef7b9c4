#pragma once
// What the update check and the package download decide, apart from any window or network: reading the
// version that the update manifest announces, comparing it with the installed one, the lines the update
// window reports, and when a downloaded package counts as complete.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ZapnixVersion.h"
#include "platform/HttpClient.h"

namespace zapnix {

// The running program's version for the comparison, as the build sets it: one number, not dotted parts (1.2
// is newer, 1.100 reads as 1.1 and is older).
inline constexpr double kInstalledVersion = kVersionNumber;

inline constexpr char kManifestPath[] = "/zapnix/updates.txt";
// Only the manifest's first five bytes count; whatever follows them is ignored.
inline constexpr std::size_t kManifestBytes = 5;

inline constexpr char kWaitingStatus[] = "Waiting for user action...";
inline constexpr char kConnectingStatus[] = "Connecting to download server....";
inline constexpr char kDownloadSuccess[] = "Download success!";
inline constexpr char kDownloadFailure[] = "Download failed or was cancelled.";

// The number at the start of the manifest: its first five bytes with surrounding blanks removed, read as
// plain decimal digits with at most one point as the separator (whatever the user's locale). A sign, an
// exponent, a thousands separator or anything else makes it no number: the manifest is the maker's own
// file and always a plain version, so anything else is more likely an error page than a version.
std::optional<double> ReadOfferedVersion(std::string_view body);

// The shortest decimal text of `version` with at most 15 significant digits: 1.20 gives "1.2", 2.00 "2".
std::string VersionText(double version);

// What a finished check request reports. `transferError` is 0 when the transfer itself went through,
// otherwise the system's error code; `status` is the server's HTTP status (0 when none arrived).
struct CheckVerdict {
    std::vector<std::string> lines;             // appended to the status box one by one, after kConnectingStatus
    std::optional<std::string> offeredVersion;  // set when the server offers a newer version: its text
};
CheckVerdict JudgeManifest(std::string_view body, unsigned status, std::uint32_t transferError);

// The server path of the package of version text `version`, and the file name proposed for it.
std::string PackagePath(std::string_view version);
std::string PackageFileName(std::string_view version);

// A package download counts only when the server answered 200, nothing failed, nobody cancelled it, and
// the whole body arrived: to its end, and as many bytes as announced where a length was announced.
bool PackageComplete(const HttpResponse& response);

// "Received 1024 of 4096 bytes", or without a total when the server announced none.
std::string ProgressText(std::uint64_t received, std::optional<std::uint64_t> total);

// The text of the box that reports a failure of the check itself (not of the transfer): the description,
// its number and the last system error code, each on its own line.
std::string UnexpectedFailureText(std::string_view description, long number, std::uint32_t lastSystemError);

}  // namespace zapnix
