#include <gtest/gtest.h>

#include "settings/StartupSettings.h"
#include "app/TrayEvents.h"

namespace zapnix {
namespace {

StartupSettings Read(std::string_view settings) {
    return ReadStartupSettings(IniDocument::Parse(std::string("[Settings]\r\n").append(settings)));
}

TEST(StartupSettings, TheTimerRunsOnlyWhenEnabledIsExactlyOneAndTheIntervalIsPositive) {
    EXPECT_EQ(Read("Enabled=1\r\nInterval=5\r\n").checkPeriodMs, 5000u);
    EXPECT_EQ(Read("Enabled=1\r\nInterval=1\r\n").checkPeriodMs, 1000u);
    EXPECT_FALSE(Read("Enabled=1\r\nInterval=0\r\n").checkPeriodMs) << "a period of 0 never fires";
    EXPECT_FALSE(Read("Enabled=1\r\n").checkPeriodMs);
    EXPECT_FALSE(Read("Enabled=1\r\nInterval=-5\r\n").checkPeriodMs);
    EXPECT_FALSE(Read("Enabled=2\r\nInterval=5\r\n").checkPeriodMs);
    EXPECT_FALSE(Read("Enabled=true\r\nInterval=5\r\n").checkPeriodMs);
    EXPECT_FALSE(Read("Interval=5\r\n").checkPeriodMs);
    EXPECT_EQ(Read("Enabled=1abc\r\nInterval=7 seconds\r\n").checkPeriodMs, 7000u) << "leading digits count";
    EXPECT_FALSE(ReadStartupSettings(IniDocument{}).checkPeriodMs);
}

TEST(StartupSettings, LongIntervalsAreClampedToTheLongestTimerPeriodInsteadOfOverflowing) {
    EXPECT_EQ(CheckPeriodMs(2147483), 2147483000u);
    EXPECT_EQ(CheckPeriodMs(2147484), kLongestTimerPeriodMs);
    EXPECT_EQ(CheckPeriodMs(2147483647), kLongestTimerPeriodMs);
    EXPECT_EQ(Read("Enabled=1\r\nInterval=4294967297\r\n").checkPeriodMs, 1000u) << "read numbers wrap first";
}

TEST(StartupSettings, MinimizedHidesOnlyForExactlyOne) {
    EXPECT_TRUE(Read("Minimized=1\r\n").startHidden);
    EXPECT_FALSE(Read("Minimized=2\r\n").startHidden);
    EXPECT_FALSE(Read("Minimized=0\r\n").startHidden);
    EXPECT_FALSE(Read("Minimized=yes\r\n").startHidden);
    EXPECT_FALSE(Read("").startHidden);
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
