#include "profile/ProfileFile.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "TempFolder.h"

namespace zapnix {
namespace {

namespace fs = std::filesystem;
using ProfileFileTest = TempFolderTest;

// A file that exists but cannot be read is not an empty one: it is never written over. A file this
// user may not write (no write bit: read-only even to root) stays as it was.
TEST_F(ProfileFileTest, WritesOnlyOverAFileItCouldReadAndMayWrite) {
    Store(PathOf("file.ini"), "[s]\r\nk=v\r\nn=-1\r\n");
    EXPECT_EQ(ReadIniNumber(PathOf("file.ini"), "s", "n"), -1) << "numbers come back signed";
    Store(PathOf("readonly.ini"), "[s]\r\nk=v\r\n");
    fs::permissions(PathOf("readonly.ini"), fs::perms::owner_read | fs::perms::group_read);
    ASSERT_TRUE(fs::create_directory(PathOf("folder.ini")));
    const struct {
        const char* name;
        FileState state;
        const char* value;
        bool changed;  // the write got the document to change
        bool written;
    } cases[] = {
        {"missing.ini", FileState::Missing, "", true, true},
        {"file.ini", FileState::Ok, "v", true, true},
        {"readonly.ini", FileState::Ok, "v", true, false},
        {"folder.ini", FileState::Unreadable, "", false, false},
        {"missing-folder/x.ini", FileState::Missing, "", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadedIni loaded = LoadIniFileWithState(PathOf(c.name));
        EXPECT_EQ(loaded.state, c.state);
        EXPECT_EQ(loaded.document.ReadString("s", "k"), c.value);
        bool changed = false;
        const auto change = [&](IniDocument& document) {
            changed = true;
            document.WriteString("s", "k", "w");
        };
        EXPECT_EQ(UpdateIniFile(PathOf(c.name), change), c.written);
        EXPECT_EQ(changed, c.changed);
        EXPECT_EQ(ReadIniString(PathOf(c.name), "s", "k"), c.written ? "w" : c.value);
    }
    EXPECT_TRUE(fs::is_directory(PathOf("folder.ini")));
    fs::permissions(PathOf("readonly.ini"), fs::perms::owner_write, fs::perm_options::add);  // so that it can go
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"file.ini", "folder.ini", "missing.ini", "readonly.ini"}));
}

}  // namespace
}  // namespace zapnix
