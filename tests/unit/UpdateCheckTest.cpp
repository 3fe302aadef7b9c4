#include <gtest/gtest.h>

#include "update/UpdateCheck.h"

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
        // clang-format on
    };
    for (const auto& c : cases) EXPECT_EQ(ReadOfferedVersion(c.body), c.version) << c.body;
}

TEST(UpdateCheck, VersionTextIsTheShortestFormUpToFifteenDigits) {
    EXPECT_EQ(VersionText(0.1 + 0.2), "0.3") << "17 digits would show 0.30000000000000004";
    EXPECT_EQ(VersionText(1.0 / 3), "0.333333333333333");
}

// The answers' wording, an equal version and error pages are seen through the update window; here the
// comparison itself.
TEST(UpdateCheck, AVersionIsNewerByItsValueAsOneNumber) {
    EXPECT_EQ(JudgeManifest("1.171", 200, 0).offeredVersion, "1.171");
    EXPECT_FALSE(JudgeManifest("1.100", 200, 0).offeredVersion) << "one number, not dotted parts";
}

TEST(UpdateCheck, OnlyAWholeAnswerOfTwoHundredIsAPackage) {
    const HttpResponse whole{
        .failure = {}, .status = 200, .announcedLength = 4, .body = "PK\x03\x04", .endReached = true};
    const auto completeAfter = [&](auto change) {
        HttpResponse r = whole;
        change(r);
        return PackageComplete(r);
    };
    // A missing length, a 404, a cut and a cancel come through the update window's downloads.
    EXPECT_TRUE(PackageComplete(whole));
    EXPECT_FALSE(completeAfter([](HttpResponse& r) { r.endReached = false; })) << "stopped at the size limit";
    EXPECT_FALSE(completeAfter([](HttpResponse& r) { r.transferError = 12030; }));
    EXPECT_FALSE(completeAfter([](HttpResponse& r) { r.failure = HttpFailure{}; }));
}

}  // namespace
}  // namespace zapnix
