#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "settings/StartupSettings.h"
#include "app/TrayEvents.h"

namespace zapnix {
namespace {

StartupSettings Read(std::string_view settings) {
    return ReadStartupSettings(IniDocument::Parse(std::string("[Settings]\r\n").append(settings)));
}

TEST(StartupSettings, TheTimerRunsOnlyWhenEnabledIsExactlyOneAndHidingOnlyWhenMinimizedIsExactlyOne) {
    const struct {
        const char* settings;
        std::optional<std::uint32_t> periodMs;
        bool hidden;
    } cases[] = {
        {"Enabled=1\r\nInterval=5\r\nMinimized=1\r\n", 5000, true},
        {"Enabled=1\r\nInterval=0\r\nMinimized=2\r\n", std::nullopt, false},  // a period of 0 never fires
        {"Enabled=1\r\nInterval=-5\r\nMinimized=yes\r\n", std::nullopt, false},
        {"Enabled=2\r\nInterval=5\r\n", std::nullopt, false},
        {"Enabled=true\r\nInterval=5\r\n", std::nullopt, false},
        {"Interval=5\r\n", std::nullopt, false},
        {"Enabled=1abc\r\nInterval=7 seconds\r\n", 7000, false},  // leading digits count
        {"Enabled=1\r\nInterval=4294967297\r\n", 1000, false},    // read numbers wrap first
        {"", std::nullopt, false},
    };
    for (const auto& c : cases) {
        const StartupSettings read = Read(c.settings);
        EXPECT_EQ(read.checkPeriodMs, c.periodMs) << c.settings;
        EXPECT_EQ(read.startHidden, c.hidden) << c.settings;
    }
    // Long intervals are clamped to the longest timer period instead of overflowing.
    EXPECT_EQ(CheckPeriodMs(2147483), 2147483000u);
    EXPECT_EQ(CheckPeriodMs(2147484), kLongestTimerPeriodMs);
    EXPECT_EQ(CheckPeriodMs(2147483647), kLongestTimerPeriodMs);
}

// Feeds (main window visible, code) events to one TrayEvents: what each asked for, "R" restore, "M" menu.
std::string Actions(std::initializer_list<std::pair<bool, std::int32_t>> events) {
    TrayEvents tray;
    std::string actions;
    for (const auto& [visible, code] : events) actions += "-RM"[static_cast<int>(tray.OnNotify(visible, code))];
    return actions;
}

TEST(TrayEvents, WhileHiddenADoubleClickRestoresAndOnlyARightPressThenItsReleaseShowTheMenu) {
    EXPECT_EQ(Actions({{false, 0x203}, {false, 0x205}, {false, 0x204}, {false, 0x205}}), "R--M")
        << "a release without its press shows nothing";
    EXPECT_EQ(Actions({{false, 0x204}, {false, 0x200}, {false, 0x205}}), "---") << "a move in between cancels";
    EXPECT_EQ(Actions({{false, 0x204}, {false, 0x201}, {false, 0x205}}), "---") << "and so does a left click";
    EXPECT_EQ(Actions({{true, 0x203}, {true, 0x204}, {false, 0x205}}), "---") << "nothing counts while visible";
    EXPECT_EQ(Actions({{false, 0x204}, {true, 0x200}, {false, 0x205}}), "--M")
        << "an ordinary mouse move must not replace the tray event";
}

}  // namespace
}  // namespace zapnix
