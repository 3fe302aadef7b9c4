#include <gtest/gtest.h>

#include <charconv>

#include "TempFolder.h"
#include "update/UpdateCheck.h"
#include "update/UpdateReceivers.h"

namespace zapnix {
namespace {

TEST(UpdateCheck, OnlyAPlainDecimalNumberInTheFirstFiveBytesIsAVersionAndNewerByItsValue) {
    const struct {
        std::string_view body;
        std::optional<double> version;
    } cases[] = {
        // clang-format off
        {"1.17\r\n", 1.17}, {" 1.2\t", 1.2},  {"1.1799", 1.179}, {"1.18 and more", 1.18}, {"2", 2.0},
        {".5", 0.5},        {"3.", 3.0},      {"", std::nullopt}, {"  ", std::nullopt},   {".", std::nullopt},
        {"v1.2", std::nullopt}, {"1,17", std::nullopt}, {"1.1.7", std::nullopt}, {"-1.2", std::nullopt},
        {"+1.2", std::nullopt}, {"1e3", std::nullopt},  {"1 2", std::nullopt},
        {"  1.19", 1.1},  // five bytes first, then the blanks around them
        // clang-format on
    };
    for (const auto& c : cases) EXPECT_EQ(ReadOfferedVersion(c.body), c.version) << c.body;
    // Newer by its value as one number, not by dotted parts. (The answers' wording, and what counts as a
    // whole manifest of a 200 answer, are seen through the update window: tests/win.)
    HttpResponse delivered;
    delivered.status = 200;
    EXPECT_EQ(JudgeManifest(delivered, "1.171").offeredVersion, "1.171");
    EXPECT_FALSE(JudgeManifest(delivered, "1.100").offeredVersion);
}

// scripts/release.sh publishes a version (the shortest text of a decimal number, five characters at most, as
// cmake/ZapnixVersion.cmake accepts it) as that text and a line break, and its package under that text. For
// every such version, of every length, the update check must read the number back from the manifest, name
// the same package, and find it equal to a program built with that version.
TEST(ReleaseManifest, EveryVersionOfFiveCharactersAtMostReadsBackAsItselfAndNamesItsOwnPackage) {
    int checked = 0;
    const auto check = [&](const std::string& version) {
        const std::optional<double> read = ReadOfferedVersion(version + "\r\n");
        double built = 0;  // what the compiler makes of the same text in ZapnixVersion.h
        std::from_chars(version.data(), version.data() + version.size(), built);
        if (!read || *read != built || PackageFileName(VersionText(*read)) != "Zapnix-" + version + ".zip")
            ADD_FAILURE() << version;
        ++checked;
    };
    for (int whole = 0; whole <= 99999; ++whole) {
        const std::string wholeText = std::to_string(whole);
        check(wholeText);
        // The fractions that fit, none ending in zero.
        for (int digits = 1; wholeText.size() + 1 + digits <= 5; ++digits) {
            int count = 1;
            for (int d = 0; d < digits; ++d) count *= 10;
            for (int fraction = 1; fraction < count; ++fraction) {
                if (fraction % 10 == 0) continue;
                std::string text = std::to_string(fraction);
                check(wholeText + "." + std::string(digits - text.size(), '0') + text);
            }
        }
    }
    // The whole numbers, and those with a fraction after a whole part of one, two or three digits.
    EXPECT_EQ(checked, 100000 + 10 * 999 + 90 * 99 + 900 * 9);
}

using PackageReceiverTest = TempFolderTest;

TEST_F(PackageReceiverTest, OnlyAWholePackageOfAnnouncedLengthWithinTheLargestIsWrittenAndKept) {
    const std::string target = PathOf("Zapnix-1.2.zip");
    // Hands a receiver a response as the request machinery would: its head, then its pieces as long as
    // the receiver takes them, then the body's end once all are in; keeps the package where it is complete.
    const auto download = [&](unsigned status, std::optional<std::uint64_t> length,
                              const std::vector<std::string>& pieces) -> std::string {
        Store(target, "earlier");
        PackageReceiver package(target, 8);
        EXPECT_TRUE(package.Started());
        if (!package.Begin(status, length)) return "refused";
        for (const std::string& piece : pieces)
            if (!package.Take(piece)) return "stopped";
        HttpResponse response;
        response.endReached = true;
        if (!package.Complete(response)) return "incomplete";
        return package.Commit() ? "kept" : "not saved";
    };
    // The update window's tests (tests/win) go through the cases WinINet lets reach the receiver; a body
    // that runs past the length announced beside it is not among them: stopped at the first byte too many.
    EXPECT_EQ(download(200, 4, {"PK\x03\x04", "1"}), "stopped");
    EXPECT_EQ(download(200, 8, {"PK\x03\x04"}), "incomplete");
    EXPECT_EQ(Load(target), "earlier");
    EXPECT_EQ(download(200, 8, {"PK\x03\x04", "1234"}), "kept") << "exactly the largest";
    EXPECT_EQ(FolderNames(), std::set<std::string>{"Zapnix-1.2.zip"}) << "no new file left behind";
}

}  // namespace
}  // namespace zapnix
