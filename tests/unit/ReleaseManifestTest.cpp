#include <gtest/gtest.h>

#include <charconv>
#include <string>

#include "update/UpdateCheck.h"

namespace zapnix {
namespace {

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

}  // namespace
}  // namespace zapnix
