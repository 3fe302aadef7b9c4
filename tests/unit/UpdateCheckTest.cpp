#include <gtest/gtest.h>

#include "update/UpdateCheck.h"

namespace zapnix {
namespace {

TEST(UpdateCheck, OnlyThePlainDecimalNumberInTheFirstFiveBytesIsAVersion) {
    const struct {
        std::string_view body;
        std::optional<double> version;
    } cases[] = {
        // clang-format off
        {"1.17", 1.17},          {"1.17\r\n", 1.17},    {" 1.2\t", 1.2},       {"1.1799", 1.179},
        {"1.18 and more", 1.18}, {"2", 2.0},            {"00.50", 0.5},        {".5", 0.5},
        {"3.", 3.0},             {"99999", 99999.0},    {"\r\n1.2", 1.2},      {"", std::nullopt},
        {"   ", std::nullopt},   {".", std::nullopt},   {"v1.2", std::nullopt}, {"<html>", std::nullopt},
        {"1,17", std::nullopt},  {"1.1.7", std::nullopt}, {"-1.2", std::nullopt}, {"+1.2", std::nullopt},
        {"1e3", std::nullopt},   {"1 2", std::nullopt}, {"1.2x", std::nullopt},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.body));
        EXPECT_EQ(ReadOfferedVersion(c.body), c.version);
    }
}

TEST(UpdateCheck, VersionTextIsTheShortestFormUpToFifteenDigits) {
    EXPECT_EQ(VersionText(1.20), "1.2");
    EXPECT_EQ(VersionText(2.00), "2");
    EXPECT_EQ(VersionText(1.179), "1.179");
    EXPECT_EQ(VersionText(0.5), "0.5");
    EXPECT_EQ(VersionText(99999), "99999");
    EXPECT_EQ(VersionText(0.1 + 0.2), "0.3") << "17 digits would show 0.30000000000000004";
    EXPECT_EQ(VersionText(1.0 / 3), "0.333333333333333");
}

TEST(UpdateCheck, TheVerdictNamesTheStepsAndTheOfferedVersion) {
    const std::vector<std::string> upToDate = {"Response received from download server...",
                                               "Verifying version information...",
                                               "You are using the latest version of Zapnix!"};
    const std::vector<std::string> newer = {"Response received from download server...",
                                            "Verifying version information...",
                                            "An update is available. Please click the download button to continue!"};
    const std::vector<std::string> wrongData = {
        "Invalid response received from download server.\r\nA connection was made but the wrong data was returned."};

    EXPECT_EQ(JudgeManifest("1.17", 200, 0).lines, upToDate) << "equal counts as up to date";
    EXPECT_FALSE(JudgeManifest("1.17", 200, 0).offeredVersion);
    EXPECT_EQ(JudgeManifest("1.100", 200, 0).lines, upToDate) << "one number, not dotted parts";
    EXPECT_EQ(JudgeManifest("1.20", 200, 0).lines, newer);
    EXPECT_EQ(JudgeManifest("1.20", 200, 0).offeredVersion, "1.2");
    EXPECT_EQ(JudgeManifest("1.171", 200, 0).offeredVersion, "1.171");
    EXPECT_EQ(JudgeManifest("<html><body>", 200, 0).lines, wrongData);
    EXPECT_EQ(JudgeManifest("1.20", 404, 0).lines, wrongData) << "an error page is no manifest";
    EXPECT_FALSE(JudgeManifest("1.20", 404, 0).offeredVersion);
    EXPECT_EQ(JudgeManifest("", 0, 12029).lines,
              std::vector<std::string>{"Invalid response received from download server (12029). Quitting."});
    EXPECT_EQ(JudgeManifest("1.2", 200, 12002).lines.size(), 1u) << "a failed transfer is never read";
}

TEST(UpdateCheck, OnlyAWholeAnswerOfTwoHundredIsAPackage) {
    HttpResponse whole;
    whole.status = 200;
    whole.announcedLength = 4;
    whole.body = "PK\x03\x04";
    whole.endReached = true;
    EXPECT_TRUE(PackageComplete(whole));

    auto changed = [&](auto change) {
        HttpResponse r = whole;
        change(r);
        return PackageComplete(r);
    };
    EXPECT_TRUE(changed([](HttpResponse& r) { r.announcedLength.reset(); })) << "no length announced";
    EXPECT_FALSE(changed([](HttpResponse& r) { r.status = 404; }));
    EXPECT_FALSE(changed([](HttpResponse& r) { r.body.pop_back(); })) << "cut short";
    EXPECT_FALSE(changed([](HttpResponse& r) { r.endReached = false; })) << "stopped at the size limit";
    EXPECT_FALSE(changed([](HttpResponse& r) { r.cancelled = true; }));
    EXPECT_FALSE(changed([](HttpResponse& r) { r.transferError = 12002; }));
    EXPECT_FALSE(changed([](HttpResponse& r) { r.failure = HttpFailure{"no session", 5, 5}; }));
}

TEST(UpdateCheck, TextsBuiltFromParts) {
    EXPECT_EQ(PackagePath("1.2"), "/zapnix/Zapnix-1.2.zip");
    EXPECT_EQ(PackageFileName("2"), "Zapnix-2.zip");
    EXPECT_EQ(ProgressText(1024, 4096), "Received 1024 of 4096 bytes");
    EXPECT_EQ(ProgressText(7, std::nullopt), "Received 7 bytes");
    EXPECT_EQ(UnexpectedFailureText("The address is not an HTTP address.", 12006, 87),
              "An error occured: \r\nThe address is not an HTTP address.\r\n12006\r\n87");
}

}  // namespace
}  // namespace zapnix
