#pragma once
// What the update check and the package download decide, apart from any window or network: reading the
// version that the update manifest announces, comparing it with the installed one, the lines the update
// window reports, and how far the window goes with the server.

#include <chrono>
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

// How much the update window takes from the server, and for how long it waits.
struct UpdateLimits {
    // The packages are small; a server that sends without end must not fill the disk.
    std::uint64_t largestPackage = 256ull * 1024 * 1024;
    // Each request's whole time, however slowly the server trickles its answer: a check is a few bytes;
    // a download leaves time for a slow line, and the user can cancel it sooner.
    std::chrono::milliseconds checkTime = std::chrono::minutes(1);
    std::chrono::milliseconds downloadTime = std::chrono::minutes(30);
};

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

// What a finished check request reports, from the response and the manifest's first bytes (at most
// kManifestBytes). Only an answer of status 200 is a manifest. Five bytes are all that is needed; a
// manifest that ended before them counts only as long as it announced: nothing else tells a short
// manifest from one cut short. A manifest cut short is reported as a transfer that broke off
// (kConnectionAborted): what came may be right as far as it goes, and trying again is the remedy.
struct CheckVerdict {
    std::vector<std::string> lines;             // appended to the status box one by one, after kConnectingStatus
    std::optional<std::string> offeredVersion;  // set when the server offers a newer version: its text
};
inline constexpr std::uint32_t kConnectionAborted = 12030;  // ERROR_INTERNET_CONNECTION_ABORTED
CheckVerdict JudgeManifest(const HttpResponse& response, std::string_view firstBytes);

// The server path of the package of version text `version`, and the file name proposed for it.
std::string PackagePath(std::string_view version);
std::string PackageFileName(std::string_view version);

// "Received 1024 of 4096 bytes", or without a total when the server announced none.
std::string ProgressText(std::uint64_t received, std::optional<std::uint64_t> total);

// The text of the box that reports a failure of the check itself (not of the transfer): the description,
// its number and the last system error code, each on its own line.
std::string UnexpectedFailureText(std::string_view description, long number, std::uint32_t lastSystemError);

}  // namespace zapnix
