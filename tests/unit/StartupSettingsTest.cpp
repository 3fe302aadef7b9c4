#include <gtest/gtest.h>

#include <optional>

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

TEST(TrayEvents, DoubleClickRestoresAndRightPressThenReleaseShowsTheMenu) {
    TrayEvents tray;
    EXPECT_EQ(tray.OnNotify(false, 0x203), TrayAction::Restore);
    EXPECT_EQ(tray.OnNotify(false, 0x205), TrayAction::None) << "a release without its press";
    EXPECT_EQ(tray.OnNotify(false, 0x204), TrayAction::None);
    EXPECT_EQ(tray.OnNotify(false, 0x205), TrayAction::ShowMenu);
    EXPECT_EQ(tray.LastTrayEvent(), 0x205);
}

TEST(TrayEvents, AnyEventBetweenPressAndReleaseCancelsTheMenu) {
    TrayEvents tray;
    tray.OnNotify(false, 0x204);
    EXPECT_EQ(tray.OnNotify(false, 0x200), TrayAction::None);
    EXPECT_EQ(tray.OnNotify(false, 0x205), TrayAction::None);
    tray.OnNotify(false, 0x204);
    tray.OnNotify(false, 0x201);  // a left click
    EXPECT_EQ(tray.OnNotify(false, 0x205), TrayAction::None);
}

TEST(TrayEvents, NothingCountsWhileTheWindowIsVisibleNotEvenForTheLastEvent) {
    TrayEvents tray;
    EXPECT_EQ(tray.OnNotify(true, 0x203), TrayAction::None);
    tray.OnNotify(false, 0x204);
    EXPECT_EQ(tray.OnNotify(true, 0x200), TrayAction::None);
    EXPECT_EQ(tray.LastTrayEvent(), 0x204) << "an ordinary mouse move must not replace the tray event";
    EXPECT_EQ(tray.OnNotify(false, 0x205), TrayAction::ShowMenu);
}

}  // namespace
}  // namespace zapnix
