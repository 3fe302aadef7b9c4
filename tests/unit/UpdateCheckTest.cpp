#include <gtest/gtest.h>

#include "TempFolder.h"
#include "update/UpdateCheck.h"
#include "update/UpdateReceivers.h"

namespace zapnix {
namespace {

TEST(UpdateCheck, OnlyAPlainDecimalNumberInTheFirstFiveBytesIsAVersion) {
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
}

TEST(UpdateCheck, VersionTextIsTheShortestFormUpToFifteenDigits) {
    EXPECT_EQ(VersionText(0.1 + 0.2), "0.3") << "17 digits would show 0.30000000000000004";
    EXPECT_EQ(VersionText(1.0 / 3), "0.333333333333333");
}

// The answers' wording, what counts as a whole manifest, and error pages are seen through the update
// window; here the comparison itself.
TEST(UpdateCheck, AVersionIsNewerByItsValueAsOneNumber) {
    HttpResponse delivered;
    delivered.status = 200;
    EXPECT_EQ(JudgeManifest(delivered, "1.171").offeredVersion, "1.171");
    EXPECT_FALSE(JudgeManifest(delivered, "1.100").offeredVersion) << "one number, not dotted parts";
}

TEST(UpdateCheck, TheManifestReceiverKeepsTheFirstFiveBytesAndReadsNoFurther) {
    ManifestReceiver manifest;
    EXPECT_FALSE(manifest.Begin(206, 4)) << "only a 200 answer is read";
    EXPECT_TRUE(manifest.Begin(200, std::nullopt));
    EXPECT_TRUE(manifest.Take("1."));
    EXPECT_FALSE(manifest.Take("2345")) << "enough";
    EXPECT_EQ(manifest.FirstBytes(), "1.234");
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
    EXPECT_EQ(download(200, 8, {"PK\x03\x04", "1234"}), "kept") << "exactly the largest";
    EXPECT_EQ(Load(target),
              "PK\x03\x04"
              "1234");

    EXPECT_EQ(download(200, 8, {"PK\x03\x04"}), "incomplete") << "cut short";
    EXPECT_EQ(download(200, 9, {"PK\x03\x04", "12345"}), "refused") << "larger than the largest";
    EXPECT_EQ(download(200, std::nullopt, {"PK\x03\x04"}), "refused") << "its end could not be checked";
    EXPECT_EQ(download(404, 8, {"PK\x03\x04", "1234"}), "refused");
    // A chunked body that runs past the length announced beside it: stopped at the first byte too many.
    EXPECT_EQ(download(200, 4, {"PK\x03\x04", "1"}), "stopped");
    EXPECT_EQ(Load(target), "earlier");
    EXPECT_EQ(FolderNames(), std::set<std::string>{"Zapnix-1.2.zip"}) << "no new file left behind";
}

}  // namespace
}  // namespace zapnix
