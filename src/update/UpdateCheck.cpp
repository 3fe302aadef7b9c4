#include "update/UpdateCheck.h"

#include <charconv>

namespace zapnix {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

}  // namespace

std::optional<double> ReadOfferedVersion(std::string_view body) {
    std::string_view text = body.substr(0, kManifestBytes);
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

    // At most five digits: the whole part and the fraction are exact in a double, and so is the power
    // of ten, so the one division below is correctly rounded, as a decimal reader's result would be.
    std::uint32_t digits = 0;
    int digitCount = 0;
    int fractionDigits = 0;
    bool seenPoint = false;
    for (const char c : text) {
        if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else if (c >= '0' && c <= '9') {
            digits = digits * 10 + static_cast<std::uint32_t>(c - '0');
            ++digitCount;
            if (seenPoint) ++fractionDigits;
        } else {
            return std::nullopt;
        }
    }
    if (digitCount == 0) return std::nullopt;
    static constexpr double kPowersOfTen[] = {1, 10, 100, 1000, 10000};
    return static_cast<double>(digits) / kPowersOfTen[fractionDigits];
}

std::string VersionText(double version) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof(text), version, std::chars_format::general, 15);
    if (result.ec != std::errc{}) return {};
    return std::string(text, result.ptr);
}

CheckVerdict JudgeManifest(const HttpResponse& response, std::string_view firstBytes) {
    CheckVerdict verdict;
    // Only a delivered manifest is read: an error page whose text happens to start with digits ("404")
    // is not a version on offer, and neither is a partial answer (206) or one that says it has none (204).
    const bool delivered = response.transferError == 0 && response.status == 200;
    const bool whole =
        firstBytes.size() >= kManifestBytes || (response.endReached && response.announcedLength == firstBytes.size());
    const std::uint32_t transferError = delivered && !whole ? kConnectionAborted : response.transferError;
    const std::optional<double> offered = delivered && whole ? ReadOfferedVersion(firstBytes) : std::nullopt;
    if (!offered) {
        if (transferError == 0) {
            verdict.lines.push_back(
                "Invalid response received from download server.\r\nA connection was made but the wrong data was "
                "returned.");
        } else {
            verdict.lines.push_back("Invalid response received from download server (" + std::to_string(transferError) +
                                    "). Quitting.");
        }
        return verdict;
    }
    verdict.lines.push_back("Response received from download server...");
    verdict.lines.push_back("Verifying version information...");
    if (*offered <= kInstalledVersion) {
        verdict.lines.push_back("You are using the latest version of Zapnix!");
    } else {
        verdict.lines.push_back("An update is available. Please click the download button to continue!");
        verdict.offeredVersion = VersionText(*offered);
    }
    return verdict;
}

std::string PackagePath(std::string_view version) {
    return "/zapnix/" + PackageFileName(version);
}

std::string PackageFileName(std::string_view version) {
    return "Zapnix-" + std::string(version) + ".zip";
}

std::string ProgressText(std::uint64_t received, std::optional<std::uint64_t> total) {
    std::string text = "Received " + std::to_string(received);
    if (total) text += " of " + std::to_string(*total);
    return text + " bytes";
}

std::string UnexpectedFailureText(std::string_view description, long number, std::uint32_t lastSystemError) {
    return "An error occured: \r\n" + std::string(description) + "\r\n" + std::to_string(number) + "\r\n" +
           std::to_string(lastSystemError);
}

}  // namespace zapnix
