#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "TempFolder.h"
#include "app/TrayEvents.h"
#include "settings/SettingsCommands.h"

namespace zapnix {
namespace {

namespace fs = std::filesystem;

TEST(SettingsDelay, PlusStopsAtTheBoundMinusAtOneAndAnEnabledKillerNeedsADelay) {
    struct Case {
        std::int32_t shown, plus, minus;
    };
    for (const Case& c : {Case{0, 1, 0}, {1, 2, 1}, {2, 3, 1}, {65, 65, 64}, {300, 300, 299}}) {
        EXPECT_EQ(RaiseDelay(c.shown), c.plus) << c.shown;
        EXPECT_EQ(LowerDelay(c.shown), c.minus) << c.shown;
    }
    EXPECT_TRUE(ApplyRefusal({0, false, false, true}));
    EXPECT_FALSE(ApplyRefusal({1, false, false, true}));
    EXPECT_FALSE(ApplyRefusal({0, true, true, false})) << "a stopped killer needs no delay";
}

TEST(RunEntry, NamedAfterTheExecutableAndQuotedOnlyWhenThePathHasASpace) {
    EXPECT_EQ(RunEntryFor("C:\\Tools\\Zapnix.exe").data, "C:\\Tools\\Zapnix.exe");
    const RunEntry spaced = RunEntryFor("C:\\Program Files\\Pop.Killer.EXE");
    EXPECT_EQ(spaced.name, "Pop.Killer");
    EXPECT_EQ(spaced.data, "\"C:\\Program Files\\Pop.Killer.exe\"");
}

constexpr auto kMachine = RegistryRoot::LocalMachine;
constexpr auto kUser = RegistryRoot::CurrentUser;
using Values = std::map<std::pair<RegistryRoot, std::string>, std::string>;

// The Run keys of both roots; a refused root can be read but not changed. `meanwhile` runs before each
// change.
class FakeRunKeys : public RunKeyRegistry {
public:
    bool SetRunValue(RegistryRoot root, const std::string& name, const std::string& data) override {
        if (meanwhile) meanwhile();
        if (!refused.count(root)) values[{root, name}] = data;
        return !refused.count(root);
    }
    bool DeleteRunValue(RegistryRoot root, const std::string& name) override {
        if (meanwhile) meanwhile();
        if (!refused.count(root)) values.erase({root, name});
        return !values.count({root, name});
    }
    std::set<RegistryRoot> refused;
    Values values;
    std::function<void()> meanwhile;
};

class ApplySettingsTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        path_ = PathOf("quorb.ini");
    }
    void TearDown() override {
        MakeReadOnly(false);
        TempFolderTest::TearDown();
    }
    // No write bits: read-only even to root, and on Windows the read-only attribute.
    void MakeReadOnly(bool readOnly = true) {
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        readOnly ? fs::perm_options::remove : fs::perm_options::add, ignored);
    }
    std::string Stored() const { return Load(path_); }
    AppliedSettings Apply(bool startup) { return ApplySettings({1, false, startup, true}, path_, keys_, entry_); }
    std::string Message(bool startup) { return MessageFor(Apply(startup), path_).text; }

    std::string path_;
    FakeRunKeys keys_;
    const RunEntry entry_{"Zapnix", "C:\\Tools\\Zapnix.exe"};
};

TEST_F(ApplySettingsTest, RegistersForEveryUserOrElseForTheCurrentOneAndSaysSoWhenNeitherWorks) {
    keys_.values[{kUser, "Zapnix"}] = "old";
    EXPECT_EQ(Message(true), "All setings have been updated successfully!");
    EXPECT_EQ(keys_.values, (Values{{{kMachine, "Zapnix"}, entry_.data}})) << "no second start for the user";

    keys_.values.clear();
    keys_.refused = {kMachine};
    EXPECT_FALSE(Apply(true).registrationFailed);
    EXPECT_EQ(keys_.values, (Values{{{kUser, "Zapnix"}, entry_.data}}));

    keys_.values.clear();
    keys_.refused = {kMachine, kUser};
    const AppliedSettings applied = Apply(true);
    EXPECT_EQ(Stored(), "[Settings]\r\nInterval=1\r\nMinimized=0\r\nStartup=0\r\nEnabled=1\r\n");
    EXPECT_EQ(applied.checkPeriodMs, 1000u) << "the rest still applies";
    EXPECT_TRUE(MessageFor(applied, path_).error);

    keys_.refused.clear();
    EXPECT_FALSE(RegisterRunEntry(keys_, RunEntryFor(""))) << "an unknown executable path names nothing";
    EXPECT_TRUE(keys_.values.empty());
}

TEST_F(ApplySettingsTest, UnregisteringDeletesFromBothRootsAndAValueThatStaysKeepsTheBoxTicked) {
    keys_.values = {{{kMachine, "Zapnix"}, "a"}, {{kUser, "Zapnix"}, "b"}, {{kUser, "Other"}, "c"}};
    EXPECT_FALSE(Apply(false).registrationFailed);
    EXPECT_EQ(keys_.values, (Values{{{kUser, "Other"}, "c"}}));

    keys_.refused = {kMachine};
    EXPECT_FALSE(Apply(false).registrationFailed) << "nothing there: nothing refused";
    keys_.values[{kMachine, "Zapnix"}] = "a";
    EXPECT_NE(Message(false).find("could not be removed"), std::string::npos);
    EXPECT_TRUE(ReadSettings(IniDocument::Parse(Stored())).startup) << "Windows will still start it";
}

// Nothing that lasts changes when the file cannot take the settings: not the file, not the registration.
TEST_F(ApplySettingsTest, AProfileThatCannotBeReadOrWrittenLeavesItAndTheRegistrationAsTheyWere) {
    Store(path_, "[Settings]\r\nInterval=9\r\n");
    MakeReadOnly();
    AppliedSettings applied = Apply(true);
    EXPECT_EQ(applied.profile, ProfileSave::NotWritten);
    EXPECT_EQ(applied.checkPeriodMs, 1000u) << "the running timer takes the new values all the same";
    EXPECT_EQ(Stored(), "[Settings]\r\nInterval=9\r\n");
    EXPECT_TRUE(keys_.values.empty()) << "registered under a tick that the dialog will not show";
    std::string text = MessageFor(applied, path_).text;
    EXPECT_NE(text.find(path_ + ", and starting with Windows has been left as it was."), std::string::npos) << text;

    // A folder in the file's place exists but cannot be read as a file.
    MakeReadOnly(false);
    fs::remove(path_);
    fs::create_directory(path_);
    keys_.values = {{{kMachine, "Zapnix"}, "a"}};
    applied = Apply(false);
    EXPECT_EQ(applied.profile, ProfileSave::Unreadable);
    EXPECT_TRUE(fs::is_directory(path_));
    EXPECT_EQ(keys_.values.size(), 1u);
    text = MessageFor(applied, path_).text;
    EXPECT_NE(text.find(path_ + " could not be read and has been left as it was, and so has starting with Windows."),
              std::string::npos)
        << text;
}

// The registration is refused, and by then the file cannot be written again to store the tick as the
// system has it: the message says what the file holds.
TEST_F(ApplySettingsTest, ATickThatCannotBeCorrectedAfterARefusedRegistrationIsNamed) {
    keys_.refused = {kMachine, kUser};
    keys_.meanwhile = [&] { MakeReadOnly(); };
    AppliedSettings applied = Apply(true);
    EXPECT_EQ(applied.profile, ProfileSave::StartupNotStored);
    EXPECT_EQ(Stored(), "[Settings]\r\nInterval=1\r\nMinimized=0\r\nStartup=1\r\nEnabled=1\r\n");
    EXPECT_EQ(MessageFor(applied, path_).text,
              "Zapnix could not be registered to start with Windows: the system refused to write its Run value. "
              "\"Enabled at system startup:\" is stored ticked all the same: " +
                  path_ + " could not be written again to untick it.");
}

// The flags wrap as the profile functions' numbers do; the delay never wraps round to a short one: one too
// long for the timer (2147483 s, USER_TIMER_MAXIMUM in whole seconds) is the longest it takes, a negative
// one none, and a period of 0 never fires.
TEST(Settings, AtStartUpTheTimerRunsOnlyWhenEnabledIsExactlyOneAndHidingOnlyWhenMinimizedIsExactlyOne) {
    const struct {
        const char* settings;
        std::int32_t delay;
        std::optional<std::uint32_t> periodMs;
        bool hidden;
    } cases[] = {
        {"Enabled=1\r\nInterval=5\r\nMinimized=1\r\n", 5, 5000, true},
        {"Enabled=1\r\nInterval=0\r\nMinimized=2\r\n", 0, std::nullopt, false},
        {"Enabled=1\r\nInterval=-5\r\nMinimized=yes\r\n", 0, std::nullopt, false},
        {"Enabled=2\r\nInterval=5\r\n", 5, std::nullopt, false},
        {"Interval=5\r\n", 5, std::nullopt, false},
        {"Enabled=1abc\r\nInterval=7 seconds\r\n", 7, 7000, false},  // leading digits count
        {"Enabled=1\r\nInterval=+0000000000000000000042\r\n", 42, 42000, false},
        {"Enabled=4294967297\r\nInterval=4294967297\r\nMinimized=4294967297\r\n", 2147483, 2147483000, true},
        {"Enabled=1\r\nInterval=2147484\r\n", 2147483, 2147483000, false},
        {"Enabled=1\r\nInterval=99999999999\r\n", 2147483, 2147483000, false},
        {"Enabled=1\r\nInterval=-4294967295\r\n", 0, std::nullopt, false},
        {"Enabled=1\r\nInterval=soon\r\n", 0, std::nullopt, false},
    };
    for (const auto& c : cases) {
        const Settings read = ReadSettings(IniDocument::Parse(std::string("[Settings]\r\n") + c.settings));
        EXPECT_EQ(read.interval, c.delay) << c.settings;
        EXPECT_EQ(CheckPeriodOf(read), c.periodMs) << c.settings;
        EXPECT_EQ(read.minimized, c.hidden) << c.settings;
    }
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
