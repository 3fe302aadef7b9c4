#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "settings/SettingsCommands.h"

namespace zapnix {
namespace {

namespace fs = std::filesystem;

TEST(SettingsModel, EveryKeyReadsAsAWholeNumberAndFlagsOnlyAsExactlyOne) {
    const Settings read =
        ReadSettings(IniDocument::Parse("[Settings]\r\nInterval=12 s\r\nMinimized=Yes\r\nStartup=1\r\nEnabled=2\r\n"));
    EXPECT_EQ(read.interval, 12);
    EXPECT_FALSE(read.minimized) << "a word is not the number 1";
    EXPECT_TRUE(read.startup);
    EXPECT_FALSE(read.enabled);
    const Settings none = ReadSettings(IniDocument{});
    EXPECT_EQ(none.interval, 0);
    EXPECT_FALSE(none.minimized || none.startup || none.enabled);
}

TEST(SettingsDelay, PlusStopsAtTheBoundAndMinusNeverGoesBelowOne) {
    struct Case {
        std::int32_t shown, plus, minus;
    };
    const Case cases[] = {
        {0, 1, 0}, {1, 2, 1}, {2, 3, 1}, {64, 65, 63}, {65, 65, 64}, {300, 300, 299}, {-5, -4, -5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RaiseDelay(c.shown), c.plus) << c.shown;
        EXPECT_EQ(LowerDelay(c.shown), c.minus) << c.shown;
    }
    EXPECT_EQ(CheckPeriodMs(kLongestDelaySeconds), 65000u) << "the bound fits a 16-bit millisecond timer";
}

TEST(SettingsDelay, AnEnabledKillerNeedsADelayOfAtLeastOneSecond) {
    EXPECT_TRUE(ApplyRefusal({0, false, false, true}));
    EXPECT_TRUE(ApplyRefusal({-3, false, false, true}));
    EXPECT_FALSE(ApplyRefusal({1, false, false, true}));
    EXPECT_FALSE(ApplyRefusal({0, true, true, false})) << "a stopped killer needs no delay";
}

TEST(RunEntry, NamedAfterTheExecutableWithItsPathQuotedOnlyWhenItHasASpace) {
    struct Case {
        const char* executable;
        const char* name;
        const char* data;
    };
    const Case cases[] = {
        {"C:\\Tools\\Zapnix.exe", "Zapnix", "C:\\Tools\\Zapnix.exe"},
        {"C:\\Program Files\\Quorb\\Zapnix.exe", "Zapnix", "\"C:\\Program Files\\Quorb\\Zapnix.exe\""},
        {"D:\\a.b\\Pop.Killer.EXE", "Pop.Killer", "D:\\a.b\\Pop.Killer.exe"},
    };
    for (const Case& c : cases) {
        const RunEntry entry = RunEntryFor(c.executable);
        EXPECT_EQ(entry.name, c.name);
        EXPECT_EQ(entry.data, c.data);
    }
}

// The Run keys of both roots; a root can refuse writes.
class FakeRunKeys : public RunKeyRegistry {
public:
    bool SetRunValue(RegistryRoot root, const std::string& name, const std::string& data) override {
        if (refused.count(root)) return false;
        values[{root, name}] = data;
        return true;
    }
    bool DeleteRunValue(RegistryRoot root, const std::string& name) override {
        if (refused.count(root)) return !values.count({root, name});
        values.erase({root, name});
        return true;
    }
    std::set<RegistryRoot> refused;
    std::map<std::pair<RegistryRoot, std::string>, std::string> values;
};

constexpr auto kMachine = RegistryRoot::LocalMachine;
constexpr auto kUser = RegistryRoot::CurrentUser;
using Values = std::map<std::pair<RegistryRoot, std::string>, std::string>;

class ApplySettingsTest : public testing::Test {
protected:
    void SetUp() override {
        std::random_device entropy;
        folder_ = fs::temp_directory_path() / ("zapnix-settings-" + std::to_string(entropy()));
        ASSERT_TRUE(fs::create_directory(folder_));
        path_ = (folder_ / "quorb.ini").string();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(folder_, ignored);
    }
    void Store(const std::string& bytes) const { std::ofstream(path_, std::ios::binary) << bytes; }
    std::string Stored() const {
        std::ostringstream bytes;
        bytes << std::ifstream(path_, std::ios::binary).rdbuf();
        return bytes.str();
    }
    AppliedSettings Apply(const Settings& chosen) { return ApplySettings(chosen, path_, keys_, entry_); }

    fs::path folder_;
    std::string path_;
    FakeRunKeys keys_;
    const RunEntry entry_{"Zapnix", "C:\\Tools\\Zapnix.exe"};
};

TEST_F(ApplySettingsTest, ANewFileGetsTheFourKeysInOrderAndAnOldOneKeepsEverythingElse) {
    const AppliedSettings applied = Apply({5, false, false, true});
    EXPECT_EQ(Stored(), "[Settings]\r\nInterval=5\r\nMinimized=0\r\nStartup=0\r\nEnabled=1\r\n");
    EXPECT_EQ(applied.checkPeriodMs, 5000u);
    EXPECT_EQ(MessageFor(applied, path_).text, "All setings have been updated successfully!");
    EXPECT_FALSE(MessageFor(applied, path_).error);

    Store("[Windows]\r\nTotal=0\r\n[Settings]\r\nEnabled=1\r\nOther=x\r\nInterval=5\r\n[Later]\r\nk=v");
    EXPECT_FALSE(Apply({3, true, false, false}).checkPeriodMs) << "unticked stops the checks";
    EXPECT_EQ(Stored(),
              "[Windows]\r\nTotal=0\r\n[Settings]\r\nEnabled=0\r\nOther=x\r\nInterval=3\r\nMinimized=1\r\n"
              "Startup=0\r\n[Later]\r\nk=v");
}

TEST_F(ApplySettingsTest, RegistersForEveryUserOrElseForTheCurrentOneAndSaysSoWhenNeitherWorks) {
    keys_.values[{kUser, "Zapnix"}] = "old";
    EXPECT_FALSE(Apply({1, false, true, false}).registrationFailed);
    EXPECT_EQ(keys_.values, (Values{{{kMachine, "Zapnix"}, entry_.data}})) << "no second start for the user";

    keys_.values.clear();
    keys_.refused = {kMachine};
    EXPECT_FALSE(Apply({1, false, true, false}).registrationFailed);
    EXPECT_EQ(keys_.values, (Values{{{kUser, "Zapnix"}, entry_.data}}));

    keys_.values.clear();
    keys_.refused = {kMachine, kUser};
    const AppliedSettings applied = Apply({1, false, true, true});
    EXPECT_EQ(Stored(), "[Settings]\r\nInterval=1\r\nMinimized=0\r\nStartup=0\r\nEnabled=1\r\n");
    EXPECT_EQ(applied.checkPeriodMs, 1000u) << "the rest still applies";
    const AppliedMessage message = MessageFor(applied, path_);
    EXPECT_TRUE(message.error);
    EXPECT_NE(message.text.find("could not be registered"), std::string::npos) << message.text;
}

TEST_F(ApplySettingsTest, UnregisteringDeletesFromBothRootsAndAValueThatStaysKeepsTheBoxTicked) {
    keys_.values = {{{kMachine, "Zapnix"}, "a"}, {{kUser, "Zapnix"}, "b"}, {{kUser, "Other"}, "c"}};
    EXPECT_FALSE(Apply({1, false, false, false}).registrationFailed);
    EXPECT_EQ(keys_.values, (Values{{{kUser, "Other"}, "c"}}));

    keys_.refused = {kMachine};
    EXPECT_FALSE(Apply({1, false, false, false}).registrationFailed) << "nothing there: nothing refused";
    keys_.values[{kMachine, "Zapnix"}] = "a";
    const AppliedSettings applied = Apply({1, false, false, false});
    EXPECT_TRUE(applied.registrationFailed);
    EXPECT_EQ(ReadSettings(IniDocument::Parse(Stored())).startup, true) << "Windows will still start it";
    EXPECT_NE(MessageFor(applied, path_).text.find("could not be removed"), std::string::npos);
}

TEST_F(ApplySettingsTest, AProfileThatCannotBeReadOrWrittenIsLeftAsItWasAndNamedInTheError) {
    Store("[Settings]\r\nInterval=9\r\n");
    fs::permissions(path_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    AppliedSettings applied = Apply({2, false, false, true});
    EXPECT_EQ(applied.profile, ProfileSave::NotWritten);
    EXPECT_EQ(applied.checkPeriodMs, 2000u) << "the running timer takes the new values all the same";
    EXPECT_EQ(Stored(), "[Settings]\r\nInterval=9\r\n");
    AppliedMessage message = MessageFor(applied, path_);
    EXPECT_TRUE(message.error);
    EXPECT_NE(message.text.find(path_), std::string::npos) << message.text;

    // A folder in the file's place exists but cannot be read as a file.
    fs::permissions(path_, fs::perms::owner_write, fs::perm_options::add);
    fs::remove(path_);
    fs::create_directory(path_);
    applied = Apply({2, false, false, true});
    EXPECT_EQ(applied.profile, ProfileSave::Unreadable);
    EXPECT_TRUE(fs::is_directory(path_));
    message = MessageFor(applied, path_);
    EXPECT_TRUE(message.error);
    EXPECT_NE(message.text.find(path_), std::string::npos) << message.text;
}

}  // namespace
}  // namespace zapnix
